#include "payments/ui/CollectionLaterDialog.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "data/Errors.h"
#include "data/Prompter.h"
#include "data/Session.h"
#include "payments/CollectionBook.h"
#include "ui/DataGrid.h"
#include "ui/DialogButtonRow.h"
#include "ui/NumberBox.h"
#include "ui/WindowHost.h"

namespace zodra::payments::ui {

CollectionLaterDialog::CollectionLaterDialog(zodra::ui::WindowHost& host, QWidget* parent)
    : QDialog(parent), m_host(host) {
    setWindowTitle(QStringLiteral("Naknadno zatvaranje izlaznih računa"));
    setObjectName(QStringLiteral("CollectionLaterDialog"));
    Database& db = host.CurrentSession().Db();
    m_customer = new QComboBox(this);
    m_customer->setObjectName(QStringLiteral("Partner"));
    m_customer->addItem(QString(), QVariant());
    for (const Choice& c : PartnerChoices(db)) {
        m_customer->addItem(c.name, c.code);
    }
    m_book = new QComboBox(this);
    m_book->setObjectName(QStringLiteral("Knjiga"));
    for (const Choice& c : OutputBookChoices(db)) {
        m_book->addItem(c.name, c.code);
    }
    m_invoices = new zodra::ui::DataGrid(this);
    m_invoices->setObjectName(QStringLiteral("Racuni"));
    m_payments = new zodra::ui::DataGrid(this);
    m_payments->setObjectName(QStringLiteral("Uplate"));
    m_amount = new zodra::ui::NumberBox(host.UserPrompter(), this);
    m_amount->setObjectName(QStringLiteral("Iznos"));
    m_amount->SetDecimals(2);
    m_amount->SetValue(0);
    connect(m_customer, &QComboBox::currentIndexChanged, this, [this] { Refill(); });
    connect(m_book, &QComboBox::currentIndexChanged, this, [this] { Refill(); });

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Kupac :"), m_customer);
    form->addRow(QStringLiteral("K&njiga :"), m_book);
    form->addRow(QStringLiteral("&Računi :"), m_invoices);
    form->addRow(QStringLiteral("&Uplate :"), m_payments);
    form->addRow(QStringLiteral("&Iznos :"), m_amount);
    auto* buttons = new zodra::ui::DialogButtonRow(this);
    connect(buttons->AcceptButton(), &QPushButton::clicked, this, [this] { Accept(); });
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    resize(640, 480);
    Refill();
    m_customer->setFocus();
}

void CollectionLaterDialog::Refill() {
    Database& db = m_host.CurrentSession().Db();
    const int customer =
        m_customer->currentData().isValid() ? m_customer->currentData().toInt() : 0;
    m_invoices->SetData(OpenInvoices(db, customer, m_book->currentData().toInt()));
    m_payments->SetData(CustomerPayments(db, customer));
    if (m_invoices->CurrentRow() < 0 && m_invoices->Data().RowCount() > 0) {
        m_invoices->SelectRow(0);
    }
    if (m_payments->CurrentRow() < 0 && m_payments->Data().RowCount() > 0) {
        m_payments->SelectRow(0);
    }
}

bool CollectionLaterDialog::Accept() {
    m_amount->Commit();
    std::optional<int> customer;
    if (m_customer->currentData().isValid()) {
        customer = m_customer->currentData().toInt();
    }
    std::optional<InvoiceKey> invoice;
    if (const int r = m_invoices->CurrentRow(); r >= 0) {
        const TableData& t = m_invoices->Data();
        invoice = InvoiceKey{t.Value(r, 4).toInt(), m_book->currentData().toInt(),
                             t.Value(r, 5).toInt(), t.Value(r, 6).toInt()};
    }
    std::optional<int> payment;
    if (const int r = m_payments->CurrentRow(); r >= 0) {
        payment = m_payments->Data().Value(r, 4).toInt();
    }
    Prompter& prompter = m_host.UserPrompter();
    try {
        CloseLater(m_host.CurrentSession(), customer, invoice, payment, m_amount->Value());
    } catch (const UserError& e) {
        prompter.Inform(e.message());
        return false;
    }
    prompter.Inform(PaymentRecordedMessage());
    m_amount->SetValue(0);
    Refill();
    return true;
}

}  // namespace zodra::payments::ui
