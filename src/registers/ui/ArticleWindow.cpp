#include "registers/ui/ArticleWindow.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

#include "data/InputRules.h"
#include "data/Prompter.h"
#include "data/Rounding.h"
#include "data/Session.h"
#include "registers/ArticleListModel.h"
#include "registers/Articles.h"
#include "registers/Catalogue.h"
#include "registers/RegisterStore.h"
#include "registers/ui/ArticleDialogs.h"
#include "registers/ui/RefillingComboBox.h"
#include "registers/ui/RegisterBoxes.h"
#include "ui/CommandRegistry.h"
#include "ui/FieldForm.h"
#include "ui/Guard.h"
#include "ui/InputConventions.h"
#include "ui/WindowHost.h"

namespace zodra::registers::ui {

namespace {

// The rows of the information block: object name and label.
const std::vector<std::pair<QString, QString>>& InfoRows() {
    static const std::vector<std::pair<QString, QString>> rows = {
        {QStringLiteral("Zaliha"), QStringLiteral("Zaliha :")},
        {QStringLiteral("Rezervirano"), QStringLiteral("Rezervirano :")},
        {QStringLiteral("NabavnaCijena"), QStringLiteral("Nabavna cijena :")},
        {QStringLiteral("VeleprodajnaCijena"), QStringLiteral("Veleprodajna cijena :")},
        {QStringLiteral("VeleprodajnaCijenaSPorezom"), QStringLiteral("Cijena s porezom :")},
        {QStringLiteral("Marza"), QStringLiteral("Marža % :")},
        {QStringLiteral("Dobavljac"), QStringLiteral("Dobavljač :")},
        {QStringLiteral("CijenaUValuti"), QStringLiteral("Cijena u valuti s porezom :")},
    };
    return rows;
}

}  // namespace

ArticleWindow::ArticleWindow(zodra::ui::WindowHost& host,
                             const zodra::ui::CommandRegistry* registry, QWidget* parent)
    : QWidget(parent), m_host(host), m_registry(registry) {
    setObjectName(catalogue::Articles().command);
    setWindowTitle(catalogue::Articles().listCaption);
    Session& session = host.CurrentSession();
    m_model =
        std::make_unique<ArticleListModel>(session.Db(), session.options.articleDisplayExpression);

    auto* layout = new QHBoxLayout(this);
    auto* left = new QVBoxLayout;
    m_groups = new RefillingComboBox(
        [this] {
            const QVariant current = m_groups->currentData();
            FillGroups();
            const int index = m_groups->findData(current);
            m_groups->setCurrentIndex(index >= 0 ? index : 0);
        },
        this);
    m_groups->setObjectName(QStringLiteral("GrupaArtikala"));
    left->addWidget(new QLabel(QStringLiteral("Grupa artikala :"), this));
    left->addWidget(m_groups);
    m_count = new QLabel(this);
    m_count->setObjectName(QStringLiteral("Broj"));
    left->addWidget(m_count);
    auto* searchRow = new QHBoxLayout;
    m_search = new QLineEdit(this);
    m_search->setObjectName(QStringLiteral("Trazi_tekst"));
    m_search->setPlaceholderText(QStringLiteral("naziv (* bilo što) ili barkod i Enter"));
    // The hint is read whole, not cut at the box's edge.
    m_search->setMinimumWidth(
        m_search->fontMetrics().horizontalAdvance(m_search->placeholderText()) +
        4 * m_search->fontMetrics().averageCharWidth());
    m_search->setToolTip(m_search->placeholderText());
    zodra::ui::KeepEnter(m_search);
    auto* again = new QPushButton(QStringLiteral("&Traži"), this);
    again->setObjectName(QStringLiteral("Trazi"));
    searchRow->addWidget(m_search, 1);
    searchRow->addWidget(again);
    left->addLayout(searchRow);
    m_list = new QListView(this);
    m_list->setObjectName(QStringLiteral("List1"));
    m_list->setModel(m_model.get());
    m_list->setUniformItemSizes(true);
    m_list->setMinimumWidth(280);
    left->addWidget(m_list, 1);
    layout->addLayout(left, 2);

    auto* right = new QVBoxLayout;
    m_form = new zodra::ui::FieldForm(host, FieldBoxes(catalogue::Articles()), registry, this);
    right->addWidget(m_form);
    auto* extras = new QHBoxLayout;
    m_vehicle = new QCheckBox(QStringLiteral("Vozilo"), this);
    m_vehicle->setObjectName(QStringLiteral("Vozilo"));
    m_vehicleData = new QPushButton(QStringLiteral("Podaci"), this);
    m_vehicleData->setObjectName(QStringLiteral("Podaci"));
    auto* extra = new QPushButton(QStringLiteral("Dodatni podaci"), this);
    extra->setObjectName(QStringLiteral("DodatniPodaci"));
    auto* packaging = new QPushButton(QStringLiteral("Ambalaža"), this);
    packaging->setObjectName(QStringLiteral("Ambalaza"));
    extras->addWidget(m_vehicle);
    extras->addWidget(m_vehicleData);
    extras->addStretch();
    extras->addWidget(extra);
    extras->addWidget(packaging);
    right->addLayout(extras);

    auto* infoBox = new QGroupBox(QStringLiteral("Stanje u aktivnom skladištu"), this);
    m_info = infoBox;
    auto* infoLayout = new QFormLayout(infoBox);
    for (const auto& [name, label] : InfoRows()) {
        auto* value = new QLabel(infoBox);
        value->setObjectName(name);
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        infoLayout->addRow(label, value);
    }
    right->addWidget(infoBox);
    right->addStretch();

    auto* buttons = new QHBoxLayout;
    auto* add = new QPushButton(QStringLiteral("&Dodaj"), this);
    add->setObjectName(QStringLiteral("Dodaj"));
    m_save = new QPushButton(QStringLiteral("&Spremi"), this);
    m_save->setObjectName(QStringLiteral("Spremi"));
    m_save->setEnabled(false);
    m_delete = new QPushButton(QStringLiteral("&Izbriši"), this);
    m_delete->setObjectName(QStringLiteral("Izbrisi"));
    auto* closeButton = new QPushButton(QStringLiteral("&Zatvori"), this);
    closeButton->setObjectName(QStringLiteral("Zatvori"));
    buttons->addWidget(add);
    buttons->addWidget(m_save);
    buttons->addWidget(m_delete);
    buttons->addStretch();
    buttons->addWidget(closeButton);
    right->addLayout(buttons);
    layout->addLayout(right, 3);

    connect(m_groups, &QComboBox::activated, this, &ArticleWindow::ChooseGroup);
    connect(m_search, &QLineEdit::textEdited, this, &ArticleWindow::SearchTyped);
    connect(m_search, &QLineEdit::returnPressed, this, &ArticleWindow::BarcodeEntered);
    connect(again, &QPushButton::clicked, this, &ArticleWindow::SearchAgain);
    connect(m_list->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { OnCurrentChanged(); });
    connect(m_form, &zodra::ui::FieldForm::edited, this, [this] {
        m_dirty = m_shownCode != 0;
        m_save->setEnabled(m_dirty);
    });
    connect(m_vehicle, &QCheckBox::clicked, this, [this](bool checked) {
        if (m_shownCode == 0) {
            return;
        }
        zodra::ui::Guarded(m_host.UserPrompter(), [&] {
            articles::SetVehicle(m_host.CurrentSession().Db(), m_shownCode, checked);
        });
        m_vehicleData->setEnabled(checked);
    });
    connect(m_vehicleData, &QPushButton::clicked, this, [this] {
        if (m_shownCode != 0) {
            VehicleDialog dialog(m_host, m_shownCode, this);
            dialog.exec();
        }
    });
    connect(extra, &QPushButton::clicked, this, [this] {
        if (m_shownCode != 0) {
            ExtraDataDialog dialog(m_host, m_shownCode, this);
            dialog.exec();
        }
    });
    connect(packaging, &QPushButton::clicked, this, [this] {
        if (m_shownCode != 0) {
            PackagingDialog dialog(m_host, m_shownCode, m_registry, this);
            dialog.exec();
        }
    });
    connect(add, &QPushButton::clicked, this, &ArticleWindow::AddNew);
    connect(m_save, &QPushButton::clicked, this, [this] { Save(); });
    connect(m_delete, &QPushButton::clicked, this, &ArticleWindow::DeleteCurrent);
    connect(closeButton, &QPushButton::clicked, this, [this] {
        if (QWidget* frame = parentWidget()) {
            frame->close();
        } else {
            close();
        }
    });
    auto* saveKey = new QShortcut(QKeySequence::Save, this);
    connect(saveKey, &QShortcut::activated, this, [this] { Save(); });

    FillGroups();
    ChooseGroup(0);
}

ArticleWindow::~ArticleWindow() {
    // The list goes before the model it shows.
    delete m_list;
}

QLabel* ArticleWindow::InfoLabel(const QString& name) const {
    return m_info->findChild<QLabel*>(name);
}

void ArticleWindow::FillGroups() {
    m_groups->clear();
    m_groups->addItem(QStringLiteral("Svi artikli"), QVariant());
    for (const SavedRow& row : List(m_host.CurrentSession().Db(), catalogue::ArticleGroups())) {
        m_groups->addItem(row.name, row.code);
    }
}

void ArticleWindow::ChooseGroup(int index) {
    if (m_dirty && !Save()) {
        return;
    }
    const QVariant group = m_groups->itemData(index);
    articles::GroupChoice choice;
    if (!zodra::ui::Guarded(m_host.UserPrompter(), [&] {
            choice = articles::ChooseGroup(
                m_host.CurrentSession().Db(),
                group.isNull() ? std::nullopt : std::optional<int>(group.toInt()));
        })) {
        return;
    }
    if (!choice.message.isEmpty()) {
        m_host.UserPrompter().Inform(choice.message);
        m_groups->setCurrentIndex(0);
    }
    m_count->setText(choice.label);
    const int keep = m_shownCode;
    m_model->SetGroup(choice.group);
    if (!SelectCode(keep) && m_model->rowCount() > 0) {
        m_list->setCurrentIndex(m_model->index(0));
    }
    if (m_model->rowCount() == 0) {
        ShowArticle(0);
    }
}

bool ArticleWindow::SelectCode(int code) {
    if (code == 0) {
        return false;
    }
    const int row = m_model->RowOfCode(code);
    if (row < 0) {
        return false;
    }
    const QModelIndex index = m_model->index(row);
    m_list->setCurrentIndex(index);
    m_list->scrollTo(index, QAbstractItemView::PositionAtCenter);
    return m_shownCode == code;
}

void ArticleWindow::Select(const std::optional<ArticleRow>& row) {
    if (row) {
        SelectCode(row->code);
    }
}

void ArticleWindow::SearchTyped(const QString& text) {
    if (text.trimmed().isEmpty()) {
        return;
    }
    std::optional<ArticleRow> found;
    if (zodra::ui::Guarded(m_host.UserPrompter(),
                           [&] { found = m_model->List().FindFirst(text); })) {
        Select(found);
    }
}

void ArticleWindow::SearchAgain() {
    const QString text = m_search->text();
    if (text.trimmed().isEmpty()) {
        return;
    }
    ArticleList::SearchStep step;
    if (!zodra::ui::Guarded(m_host.UserPrompter(), [&] {
            const auto shown = m_shownCode != 0 ? m_model->List().Row(m_shownCode) : std::nullopt;
            step = m_model->List().SearchAgain(text, shown);
        })) {
        return;
    }
    if (!step.message.isEmpty()) {
        m_host.UserPrompter().Inform(step.message);
    }
    Select(step.row);
}

void ArticleWindow::BarcodeEntered() {
    ArticleList::SearchStep step;
    if (!zodra::ui::Guarded(m_host.UserPrompter(),
                            [&] { step = m_model->List().BarcodeEnter(m_search->text()); })) {
        return;
    }
    if (!step.message.isEmpty()) {
        m_host.UserPrompter().Inform(step.message);
        return;
    }
    if (step.row && !SelectCode(step.row->code)) {
        // An article of another group: all articles are shown to show it.
        m_groups->setCurrentIndex(0);
        ChooseGroup(0);
        SelectCode(step.row->code);
    }
}

void ArticleWindow::OnCurrentChanged() {
    if (m_moving) {
        return;
    }
    const QModelIndex current = m_list->currentIndex();
    const int code = current.isValid() ? current.data(ArticleListModel::CodeRole).toInt() : 0;
    if (code == m_shownCode) {
        return;
    }
    if (m_dirty && !Save()) {
        // Refused: stay on the article with everything typed.
        m_moving = true;
        const int row = m_model->RowOfCode(m_shownCode);
        if (row >= 0) {
            m_list->setCurrentIndex(m_model->index(row));
        }
        m_moving = false;
        return;
    }
    ShowArticle(code);
}

void ArticleWindow::ShowArticle(int code) {
    m_shownCode = 0;
    m_dirty = false;
    m_save->setEnabled(false);
    m_delete->setEnabled(code != 0);
    m_form->setEnabled(code != 0);
    if (code == 0) {
        m_form->Reset();
        ShowInformation(0);
        return;
    }
    Database& db = m_host.CurrentSession().Db();
    std::optional<Values> values;
    bool vehicle = false;
    if (!zodra::ui::Guarded(m_host.UserPrompter(),
                            [&] {
                                values = Load(db, catalogue::Articles(), code);
                                vehicle = articles::IsVehicle(db, code);
                            }) ||
        !values) {
        return;
    }
    m_form->RefillChoices();
    m_form->SetValues(ShownValues(catalogue::Articles(), *values));
    m_vehicle->setChecked(vehicle);
    m_vehicleData->setEnabled(vehicle);
    m_shownCode = code;
    ShowInformation(code);
}

void ArticleWindow::ShowInformation(int code) {
    const auto set = [this](const QString& name, const QString& text) {
        if (QLabel* label = InfoLabel(name)) {
            label->setText(text);
        }
    };
    if (code == 0) {
        for (const auto& [name, label] : InfoRows()) {
            set(name, QString());
        }
        return;
    }
    Session& session = m_host.CurrentSession();
    articles::Information info;
    if (!zodra::ui::Guarded(m_host.UserPrompter(), [&] {
            info = articles::Info(session.Db(), code, session.activeWarehouse.code,
                                  session.businessYear);
        })) {
        return;
    }
    set(QStringLiteral("Zaliha"), inputrules::FormatNumber(info.stock, 3));
    set(QStringLiteral("Rezervirano"), inputrules::FormatNumber(info.reserved, 3));
    // Purchase prices only for users who may see them.
    const bool purchase = session.rights.purchasePricesVisible;
    set(QStringLiteral("NabavnaCijena"),
        info.hasReceipt && purchase ? MoneyText(info.purchasePrice) : QString());
    set(QStringLiteral("VeleprodajnaCijena"),
        info.hasReceipt ? MoneyText(info.wholesalePrice) : QString());
    set(QStringLiteral("VeleprodajnaCijenaSPorezom"),
        info.hasReceipt ? MoneyText(info.wholesalePriceWithTax) : QString());
    set(QStringLiteral("Marza"),
        info.hasReceipt && purchase ? inputrules::FormatNumber(info.marginPercent, 2) : QString());
    set(QStringLiteral("Dobavljac"), info.supplier);
    set(QStringLiteral("CijenaUValuti"),
        MoneyText(info.currencyPriceWithTax) + QLatin1Char(' ') + info.currencyName);
}

bool ArticleWindow::Save() {
    if (!m_dirty || m_shownCode == 0) {
        return true;
    }
    const QVariantMap values = m_form->Values();
    const int code = m_shownCode;
    if (!zodra::ui::Guarded(m_host.UserPrompter(), [&] {
            Update(m_host.CurrentSession().Db(), catalogue::Articles(), code, values,
                   ContextOf(m_host.CurrentSession()));
        })) {
        return false;
    }
    m_dirty = false;
    m_save->setEnabled(false);
    Reload(code);
    return true;
}

void ArticleWindow::Reload(int selectCode) {
    m_moving = true;
    m_model->Reload();
    m_moving = false;
    m_shownCode = 0;
    m_count->setText(
        articles::ChooseGroup(m_host.CurrentSession().Db(), m_model->List().Group()).label);
    if (!SelectCode(selectCode)) {
        if (m_model->rowCount() > 0) {
            m_list->setCurrentIndex(m_model->index(0));
            OnCurrentChanged();
        } else {
            ShowArticle(0);
        }
    }
}

void ArticleWindow::AddNew() {
    if (m_dirty && !Save()) {
        return;
    }
    if (m_registry == nullptr) {
        return;
    }
    const auto row = m_registry->OpenEntry(QStringLiteral("ARTIKLI"), m_host, this);
    if (!row) {
        return;
    }
    FillGroups();
    m_groups->setCurrentIndex(0);
    m_model->SetGroup(std::nullopt);
    Reload(row->code);
}

void ArticleWindow::DeleteCurrent() {
    if (m_shownCode == 0) {
        return;
    }
    const int code = m_shownCode;
    bool deleted = false;
    if (!zodra::ui::Guarded(m_host.UserPrompter(),
                            [&] {
                                deleted = Delete(m_host.CurrentSession().Db(),
                                                 catalogue::Articles(), code, m_host.UserPrompter(),
                                                 ContextOf(m_host.CurrentSession()));
                            }) ||
        !deleted) {
        return;
    }
    const int row = m_list->currentIndex().row();
    m_dirty = false;
    Reload(0);
    if (m_model->rowCount() > 0) {
        m_list->setCurrentIndex(m_model->index(qMin(row, m_model->rowCount() - 1)));
    }
}

void ArticleWindow::closeEvent(QCloseEvent* event) {
    if (m_dirty && !Save() &&
        !m_host.UserPrompter().AskYesNo(
            QStringLiteral("Promjene nisu spremljene. Želite li zatvoriti prozor bez spremanja?"),
            windowTitle(), false)) {
        event->ignore();
        return;
    }
    event->accept();
}

}  // namespace zodra::registers::ui
