#include "app/ui/CompanyDataDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/CompanyConfig.h"
#include "app/CompanyData.h"
#include "app/WorkstationConfig.h"
#include "app/ui/Guard.h"
#include "app/ui/WindowHost.h"
#include "data/Database.h"
#include "data/Paths.h"
#include "data/Prompter.h"

namespace zodra::ui {

namespace {

QString T(const char16_t* text) {
    return QString::fromUtf16(text);
}

QPushButton* Button(const QString& caption, const QString& name, QWidget* parent) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    return b;
}

}  // namespace

// --- Upis podataka poduzeća ---

CompanyDataDialog::CompanyDataDialog(Database& db, Prompter& prompter, QWidget* parent,
                                     WindowHost* host)
    : QDialog(parent), m_db(db), m_prompter(prompter), m_host(host) {
    setObjectName(QStringLiteral("Podaci_poduzeca"));
    setWindowTitle(T(u"Upis podataka poduzeća"));
    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    const struct {
        const char16_t* column;
        const char16_t* label;
    } texts[] = {
        {u"NAZIV", u"Naziv :"},
        {u"ADRESA", u"Adresa :"},
        {u"MJESTO", u"Mjesto :"},
        {u"TELEFON", u"Telefon :"},
        {u"TELEFAX", u"Telefax :"},
        {u"DJELATNOST", u"Djelatnost :"},
        {u"ZIRO_RACUN", u"Žiro račun :"},
        {u"EMAIL", u"E-mail :"},
        {u"URL", u"URL :"},
        {u"MB/JMBG", u"MB/JMBG :"},
        {u"OIB", u"OIB :"},
        {u"DIREKTOR", u"Direktor :"},
    };
    int row = 0;
    int column = 0;
    for (const auto& t : texts) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(T(t.column));
        m_fields.insert(T(t.column), edit);
        auto* label = new QLabel(T(t.label), this);
        label->setBuddy(edit);
        grid->addWidget(label, row, column * 2);
        grid->addWidget(edit, row, column * 2 + 1);
        if (++column == 2) {
            column = 0;
            ++row;
        }
    }
    auto* registration = new QPlainTextEdit(this);
    registration->setObjectName(QStringLiteral("TEKST O REGISTRACIJI"));
    registration->setTabChangesFocus(true);
    registration->setMaximumHeight(registration->fontMetrics().height() * 4);
    m_fields.insert(QStringLiteral("TEKST O REGISTRACIJI"), registration);
    grid->addWidget(new QLabel(T(u"Tekst o registraciji :"), this), row, 0);
    grid->addWidget(registration, row, 1, 1, 3);
    ++row;
    auto* mark = new QComboBox(this);
    mark->setObjectName(QStringLiteral("OZNAKA_NA_RACUNU"));
    mark->addItems({QStringLiteral("R-1"), QStringLiteral("R-2")});
    m_fields.insert(QStringLiteral("OZNAKA_NA_RACUNU"), mark);
    grid->addWidget(new QLabel(T(u"Oznaka na računu :"), this), row, 0);
    grid->addWidget(mark, row, 1);
    auto* order = new QComboBox(this);
    order->setObjectName(QStringLiteral("ARTIKLI"));
    order->addItems({T(u"po nazivu"), T(u"po nazivu i šifri"), T(u"po šifri i nazivu")});
    m_fields.insert(QStringLiteral("ARTIKLI"), order);
    grid->addWidget(new QLabel(T(u"Redoslijed artikala :"), this), row, 2);
    grid->addWidget(order, row, 3);
    ++row;
    auto* backup = new QCheckBox(T(u"Automatski backup kod zatvaranja"), this);
    backup->setObjectName(QStringLiteral("AutoBackup"));
    m_fields.insert(QStringLiteral("AutoBackup"), backup);
    grid->addWidget(backup, row, 1, 1, 3);
    layout->addLayout(grid);

    auto* accountsBox = new QGroupBox(T(u"Ostali žiro računi"), this);
    auto* accountsLayout = new QHBoxLayout(accountsBox);
    m_accounts = new QListWidget(accountsBox);
    m_accounts->setObjectName(QStringLiteral("ZIRO_RACUNI"));
    m_accounts->setMaximumHeight(m_accounts->fontMetrics().height() * 5);
    accountsLayout->addWidget(m_accounts, 1);
    auto* accountButtons = new QVBoxLayout;
    auto* addAccount = Button(T(u"Dodaj račun"), QStringLiteral("DodajRacun"), accountsBox);
    auto* deleteAccount = Button(T(u"Izbriši račun"), QStringLiteral("IzbrisiRacun"), accountsBox);
    accountButtons->addWidget(addAccount);
    accountButtons->addWidget(deleteAccount);
    accountButtons->addStretch();
    accountsLayout->addLayout(accountButtons);
    layout->addWidget(accountsBox);

    auto* buttons = new QHBoxLayout;
    auto* settings = Button(T(u"P&ostavke"), QStringLiteral("Postavke"), this);
    buttons->addWidget(settings);
    buttons->addStretch();
    auto* acceptButton = Button(T(u"&Prihvati"), QStringLiteral("Prihvati"), this);
    auto* cancelButton = Button(T(u"Od&ustani"), QStringLiteral("Odustani"), this);
    buttons->addWidget(acceptButton);
    buttons->addWidget(cancelButton);
    layout->addLayout(buttons);

    connect(addAccount, &QPushButton::clicked, this, &CompanyDataDialog::AddAccount);
    connect(deleteAccount, &QPushButton::clicked, this, &CompanyDataDialog::DeleteAccount);
    connect(settings, &QPushButton::clicked, this, &CompanyDataDialog::ShowSettings);
    connect(acceptButton, &QPushButton::clicked, this, [this] {
        if (Accept()) {
            accept();
        }
    });
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    Load();
    m_fields.value(QStringLiteral("NAZIV"))->setFocus();
    resize(720, sizeHint().height());
}

void CompanyDataDialog::Load() {
    QVariantMap values;
    if (!Guarded(m_prompter, [&] { values = companydata::Read(m_db); })) {
        return;
    }
    for (auto it = m_fields.begin(); it != m_fields.end(); ++it) {
        const QVariant v = values.value(it.key());
        if (auto* line = qobject_cast<QLineEdit*>(it.value())) {
            line->setText(v.toString());
        } else if (auto* text = qobject_cast<QPlainTextEdit*>(it.value())) {
            text->setPlainText(v.toString());
        } else if (auto* box = qobject_cast<QComboBox*>(it.value())) {
            const int index = box->findText(v.toString());
            box->setCurrentIndex(index >= 0 ? index : 0);
        } else if (auto* check = qobject_cast<QCheckBox*>(it.value())) {
            check->setChecked(v.toBool());
        }
    }
    LoadAccounts();
}

void CompanyDataDialog::LoadAccounts() {
    m_accounts->clear();
    Guarded(m_prompter, [&] {
        for (const auto& a : companydata::BankAccounts(m_db)) {
            auto* item = new QListWidgetItem(
                a.bank.isEmpty() ? a.account
                                 : a.account + QStringLiteral(" (") + a.bank + QStringLiteral(")"),
                m_accounts);
            item->setData(Qt::UserRole, a.code);
        }
    });
}

bool CompanyDataDialog::Accept() {
    QVariantMap values;
    for (auto it = m_fields.begin(); it != m_fields.end(); ++it) {
        if (auto* line = qobject_cast<QLineEdit*>(it.value())) {
            values[it.key()] = line->text();
        } else if (auto* text = qobject_cast<QPlainTextEdit*>(it.value())) {
            values[it.key()] = text->toPlainText();
        } else if (auto* box = qobject_cast<QComboBox*>(it.value())) {
            values[it.key()] = box->currentText();
        } else if (auto* check = qobject_cast<QCheckBox*>(it.value())) {
            values[it.key()] = check->isChecked();
        }
    }
    if (!Guarded(m_prompter, [&] { companydata::Save(m_db, values); })) {
        return false;
    }
    if (m_host) {
        m_host->ReloadCompanyOptions();
    }
    return true;
}

void CompanyDataDialog::AddAccount() {
    const auto account = m_prompter.AskText(T(u"Upišite žiro račun:"), windowTitle());
    if (!account) {
        return;
    }
    const auto bank = m_prompter.AskText(T(u"Upišite naziv banke:"), windowTitle());
    if (Guarded(m_prompter,
                [&] { companydata::AddBankAccount(m_db, *account, bank.value_or(QString())); })) {
        LoadAccounts();
    }
}

void CompanyDataDialog::DeleteAccount() {
    QListWidgetItem* item = m_accounts->currentItem();
    if (!item || !m_prompter.AskYesNo(T(u"Sigurno želite izbrisati žiro račun ") + item->text() +
                                          QStringLiteral(" ?"),
                                      QStringLiteral("BRISANJE"), false)) {
        return;
    }
    const int code = item->data(Qt::UserRole).toInt();
    if (Guarded(m_prompter, [&] { companydata::DeleteBankAccount(m_db, code); })) {
        LoadAccounts();
    }
}

void CompanyDataDialog::ShowSettings() {
    SettingsDialog settings(m_db, m_prompter, this);
    settings.exec();
}

// --- Postavke ---

SettingsDialog::SettingsDialog(Database& db, Prompter& prompter, QWidget* parent)
    : QDialog(parent), m_db(db), m_prompter(prompter) {
    setObjectName(QStringLiteral("Postavke"));
    setWindowTitle(QStringLiteral("Postavke"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    const struct {
        const char16_t* column;
        const char16_t* label;
    } texts[] = {{u"REPORT VRACUNA", u"Report veleprodajnog računa :"},
                 {u"REPORT MRACUNA", u"Report maloprodajnog računa :"},
                 {u"REPORT RACUNA VOZILA", u"Report računa za vozilo :"},
                 {u"POS PORT", u"POS port :"},
                 {u"FormatBroj", u"Format brojeva :"}};
    QVariantMap values;
    Guarded(m_prompter, [&] { values = companydata::Read(m_db); });
    for (const auto& t : texts) {
        auto* edit = new QLineEdit(values.value(T(t.column)).toString(), this);
        edit->setObjectName(T(t.column));
        m_fields.insert(T(t.column), edit);
        form->addRow(T(t.label), edit);
    }
    layout->addLayout(form);
    auto* row = new QHBoxLayout;
    auto* logo = Button(T(u"Izbor &logotipa"), QStringLiteral("IzborLogotipa"), this);
    auto* detail = Button(T(u"Baza za &detaljne račune"), QStringLiteral("DetaljniRacuni"), this);
    auto* configuration = Button(T(u"&Konfiguracija"), QStringLiteral("Konfiguracija"), this);
    row->addWidget(logo);
    row->addWidget(detail);
    row->addWidget(configuration);
    layout->addLayout(row);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    auto* save = Button(T(u"&Spremi"), QStringLiteral("Spremi"), this);
    auto* closeButton = Button(T(u"&Zatvori"), QStringLiteral("Zatvori"), this);
    buttons->addWidget(save);
    buttons->addWidget(closeButton);
    layout->addLayout(buttons);
    connect(logo, &QPushButton::clicked, this, &SettingsDialog::ChooseLogo);
    connect(detail, &QPushButton::clicked, this, &SettingsDialog::RelinkDetail);
    connect(configuration, &QPushButton::clicked, this, [this] {
        ConfigurationDialog dialog(m_db, m_prompter, paths::WorkstationConfigFile(), this);
        dialog.exec();
    });
    connect(save, &QPushButton::clicked, this, [this] {
        if (Save()) {
            accept();
        }
    });
    connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);
    resize(520, sizeHint().height());
}

bool SettingsDialog::Save() {
    QVariantMap values;
    for (auto it = m_fields.begin(); it != m_fields.end(); ++it) {
        values[it.key()] = it.value()->text();
    }
    return Guarded(m_prompter, [&] { companydata::SaveSettings(m_db, values); });
}

void SettingsDialog::ChooseLogo() {
    const QString path = m_prompter.ChooseFileToOpen(
        T(u"Izbor logotipa"), T(u"Bitmap datoteke|*.bmp"), paths::ProgramFolder());
    if (path.isEmpty()) {
        return;
    }
    if (Guarded(m_prompter, [&] { companydata::StoreLogo(m_db, path); })) {
        m_prompter.Inform(T(u"Logo je unesen u bazu podataka."), windowTitle());
    }
}

void SettingsDialog::RelinkDetail() {
    const QString path = m_prompter.ChooseFileToOpen(T(u"Baza podataka za detaljne račune"),
                                                     T(u"Zodra datoteke|*.det"),
                                                     QFileInfo(m_db.Path()).absolutePath());
    if (path.isEmpty()) {
        return;
    }
    if (Guarded(m_prompter, [&] { companydata::RelinkDetailFile(m_db, path); })) {
        m_prompter.Inform(T(u"Baza podataka za detaljne račune je povezana: ") + path,
                          windowTitle());
    }
}

// --- Konfiguracija ---

ConfigurationDialog::ConfigurationDialog(Database& db, Prompter& prompter,
                                         const QString& workstationFile, QWidget* parent)
    : QDialog(parent), m_db(db), m_prompter(prompter), m_workstationFile(workstationFile) {
    setObjectName(QStringLiteral("Konfiguracija"));
    setWindowTitle(QStringLiteral("Konfiguracija"));
    auto* layout = new QVBoxLayout(this);
    std::vector<std::pair<QString, QString>> companyRows;
    std::vector<std::pair<QString, QString>> workstationRows;
    Guarded(m_prompter, [&] {
        companyRows = companyconfig::ReadAll(m_db);
        workstationRows = workstationconfig::ReadAll(m_workstationFile);
    });
    layout->addWidget(new QLabel(T(u"Postavke poduzeća (za sva računala):"), this));
    m_company = MakeGrid(companyRows);
    m_company->setObjectName(QStringLiteral("KonfiguracijaPoduzeca"));
    layout->addWidget(m_company, 3);
    layout->addWidget(new QLabel(T(u"Postavke ovog računala:"), this));
    m_workstation = MakeGrid(workstationRows);
    m_workstation->setObjectName(QStringLiteral("KonfiguracijaRacunala"));
    layout->addWidget(m_workstation, 2);
    auto* closeButton = Button(T(u"&Zatvori"), QStringLiteral("Zatvori"), this);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(closeButton, 0, Qt::AlignRight);

    connect(m_company, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (item->column() == 1) {
            const QString key = m_company->item(item->row(), 0)->text();
            Guarded(m_prompter, [&] { companyconfig::Write(m_db, key, item->text()); });
        }
    });
    connect(m_workstation, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (item->column() == 1) {
            const QString key = m_workstation->item(item->row(), 0)->text();
            Guarded(m_prompter,
                    [&] { workstationconfig::Write(m_workstationFile, key, item->text()); });
        }
    });
    for (QTableWidget* grid : {m_company, m_workstation}) {
        connect(grid, &QTableWidget::cellDoubleClicked, this, [this](int, int column) {
            if (column == 0) {
                m_prompter.Inform(T(u"Mijenjati možete samo polje vrijednosti."), windowTitle());
            }
        });
    }
    resize(680, 640);
}

QTableWidget* ConfigurationDialog::MakeGrid(const std::vector<std::pair<QString, QString>>& rows) {
    auto* grid = new QTableWidget(static_cast<int>(rows.size()), 2, this);
    grid->setHorizontalHeaderLabels({QStringLiteral("Naziv"), QStringLiteral("Vrijednost")});
    grid->verticalHeader()->setVisible(false);
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 8);
    grid->horizontalHeader()->setStretchLastSection(true);
    grid->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                          QAbstractItemView::AnyKeyPressed);
    const QSignalBlocker block(grid);
    for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
        auto* name = new QTableWidgetItem(rows[i].first);
        name->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        grid->setItem(i, 0, name);
        grid->setItem(i, 1, new QTableWidgetItem(rows[i].second));
    }
    grid->resizeColumnToContents(0);
    return grid;
}

}  // namespace zodra::ui
