#include "registers/ui/ArticlePicker.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListView>

#include "data/Prompter.h"
#include "data/Session.h"
#include "registers/ArticleListModel.h"
#include "registers/Catalogue.h"
#include "registers/RegisterStore.h"
#include "ui/Guard.h"
#include "ui/InputConventions.h"
#include "ui/WindowHost.h"

namespace zodra::registers::ui {

ArticlePicker::ArticlePicker(zodra::ui::WindowHost& host, QWidget* parent)
    : QWidget(parent), m_host(host) {
    Session& session = host.CurrentSession();
    m_model =
        std::make_unique<ArticleListModel>(session.Db(), session.options.articleDisplayExpression);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_search = new QLineEdit(this);
    m_search->setObjectName(QStringLiteral("TraziArtikal"));
    m_search->setPlaceholderText(QStringLiteral("barkod, šifra ili naziv"));
    m_search->setMinimumWidth(110);
    m_search->setMaximumWidth(160);
    zodra::ui::KeepEnter(m_search);
    m_box = new QComboBox(this);
    m_box->setObjectName(QStringLiteral("Artikal"));
    // The box never measures every article to size itself.
    m_box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_box->setMinimumContentsLength(30);
    auto* view = new QListView(m_box);
    view->setUniformItemSizes(true);
    m_box->setView(view);
    m_box->setModel(m_model.get());
    m_box->setCurrentIndex(-1);
    layout->addWidget(m_search);
    layout->addWidget(m_box, 1);
    connect(m_search, &QLineEdit::textEdited, this, &ArticlePicker::Typed);
    connect(m_search, &QLineEdit::returnPressed, this, &ArticlePicker::Entered);
    connect(m_box, &QComboBox::activated, this, [this] { Q_EMIT chosen(Code()); });
}

ArticlePicker::~ArticlePicker() {
    // The box goes before the model it shows.
    delete m_box;
}

void ArticlePicker::SetOrder(const QString& order) {
    const int code = Code();
    auto model = std::make_unique<ArticleListModel>(m_host.CurrentSession().Db(),
                                                    ArticleDisplayExpression(order));
    m_box->setModel(model.get());
    m_model = std::move(model);
    SetCode(code);
}

int ArticlePicker::Code() const {
    const int row = m_box->currentIndex();
    return row < 0 ? 0 : m_model->index(row).data(ArticleListModel::CodeRole).toInt();
}

bool ArticlePicker::SetCode(int code) {
    const int row = code == 0 ? -1 : m_model->RowOfCode(code);
    m_box->setCurrentIndex(row);
    return row >= 0;
}

void ArticlePicker::Reload() {
    const int code = Code();
    m_model->Reload();
    SetCode(code);
}

void ArticlePicker::ShowGroupFilter() {
    if (m_groups) {
        return;
    }
    m_groups = new QComboBox(this);
    m_groups->setObjectName(QStringLiteral("GrupaArtikala"));
    m_groups->setMinimumContentsLength(14);
    m_groups->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_groups->addItem(QStringLiteral("Svi artikli"), 0);
    zodra::ui::Guarded(m_host.UserPrompter(), [&] {
        for (const SavedRow& row : List(m_host.CurrentSession().Db(), catalogue::ArticleGroups())) {
            m_groups->addItem(row.name, row.code);
        }
    });
    static_cast<QHBoxLayout*>(layout())->insertWidget(0, m_groups);
    setTabOrder(m_groups, m_search);
    connect(m_groups, &QComboBox::activated, this,
            [this](int index) { ChooseGroup(m_groups->itemData(index).toInt()); });
}

void ArticlePicker::ChooseGroup(int group) {
    if (m_groups) {
        const int index = m_groups->findData(group);
        m_groups->setCurrentIndex(index >= 0 ? index : 0);
    }
    const int code = Code();
    m_model->SetGroup(group > 0 ? std::optional<int>(group) : std::nullopt);
    SetCode(code);
}

void ArticlePicker::SetStockPlace(std::optional<int> warehouse, int year) {
    const int code = Code();
    zodra::ui::Guarded(m_host.UserPrompter(), [&] {
        m_model->SetStockPlace(warehouse ? std::optional<ArticleList::StockPlace>(
                                               ArticleList::StockPlace{*warehouse, year})
                                         : std::nullopt);
    });
    SetCode(code);
}

bool ArticlePicker::StockFiltered() const {
    return m_model->List().StockFilter().has_value();
}

void ArticlePicker::Typed(const QString& text) {
    if (text.trimmed().isEmpty()) {
        return;
    }
    std::optional<ArticleRow> found;
    if (zodra::ui::Guarded(m_host.UserPrompter(),
                           [&] { found = m_model->List().FindFirst(text); }) &&
        found) {
        SetCode(found->code);
    }
}

void ArticlePicker::Entered() {
    std::optional<ArticleRow> found;
    if (!zodra::ui::Guarded(m_host.UserPrompter(),
                            [&] { found = m_model->List().Lookup(m_search->text()); })) {
        return;
    }
    if (!found) {
        m_host.UserPrompter().Inform(QStringLiteral("Artikal sa ovom šifrom nije upisan."));
        return;
    }
    if (!SetCode(found->code)) {
        // An article of another group: all articles are shown to show it.
        ChooseGroup(0);
        if (!SetCode(found->code) && StockFiltered()) {
            SetStockPlace(std::nullopt);
            SetCode(found->code);
            Q_EMIT stockFilterChanged(false);
        }
    }
    Q_EMIT chosen(found->code);
}

}  // namespace zodra::registers::ui
