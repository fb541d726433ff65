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
#include "app/ui/SettingsDialog.h"
#include "data/Database.h"
#include "data/Paths.h"
#include "data/Prompter.h"
#include "ui/DialogButtonRow.h"
#include "ui/Guard.h"
#include "ui/WindowHost.h"
#include "ui/WindowTools.h"

namespace zodra::ui {

namespace {

QString T(const char16_t* text) {
    return QString::fromUtf16(text);
}

}  // namespace

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
    auto* addAccount = MakeButton(T(u"Dodaj račun"), QStringLiteral("DodajRacun"), accountsBox);
    auto* deleteAccount =
        MakeButton(T(u"Izbriši račun"), QStringLiteral("IzbrisiRacun"), accountsBox);
    accountButtons->addWidget(addAccount);
    accountButtons->addWidget(deleteAccount);
    accountButtons->addStretch();
    accountsLayout->addLayout(accountButtons);
    layout->addWidget(accountsBox);

    auto* buttons = new QHBoxLayout;
    auto* settings = MakeButton(T(u"Po&stavke"), QStringLiteral("Postavke"), this);
    buttons->addWidget(settings);
    auto* acceptCancel = new DialogButtonRow(this);
    buttons->addWidget(acceptCancel, 1);
    layout->addLayout(buttons);

    connect(addAccount, &QPushButton::clicked, this, &CompanyDataDialog::AddAccount);
    connect(deleteAccount, &QPushButton::clicked, this, &CompanyDataDialog::DeleteAccount);
    connect(settings, &QPushButton::clicked, this, &CompanyDataDialog::ShowSettings);
    connect(acceptCancel->AcceptButton(), &QPushButton::clicked, this, [this] {
        if (Accept()) {
            accept();
        }
    });
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

}  // namespace zodra::ui
