#include "payments/ui/PaymentEntryDialog.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "data/Errors.h"
#include "data/Prompter.h"
#include "data/Rounding.h"
#include "data/Session.h"
#include "ui/DateBox.h"
#include "ui/DialogButtonRow.h"
#include "ui/NumberBox.h"
#include "ui/WindowHost.h"

namespace zodra::payments::ui {

QString PaymentEntryCaption(PaymentEntryKind kind) {
    switch (kind) {
        case PaymentEntryKind::InvoiceCollection:
            return QStringLiteral("Upis naplate računa");
        case PaymentEntryKind::CustomerPayment:
            return QStringLiteral("Upis uplate kupca");
        case PaymentEntryKind::CustomerPayAndClose:
            return QStringLiteral("Upis uplate i zatvaranje izlaznog računa");
        case PaymentEntryKind::InputInvoicePayment:
            return QStringLiteral("Upis plaćanja ulaznog računa");
        case PaymentEntryKind::OwnUsePayment:
            return QStringLiteral("Upis plaćanja ulaznog računa za vlastitu potrošnju");
        case PaymentEntryKind::SupplierPayment:
            return QStringLiteral("Upis uplate dobavljaču");
        case PaymentEntryKind::SupplierPayAndClose:
            return QStringLiteral("Upis uplate i zatvaranje ulaznog računa");
    }
    return QString();
}

PaymentEntryDialog::PaymentEntryDialog(zodra::ui::WindowHost& host, PaymentEntryKind kind,
                                       std::optional<InvoiceKey> invoice,
                                       std::optional<InputInvoiceKey> input, QWidget* parent)
    : QDialog(parent), m_host(host), m_kind(kind), m_invoice(invoice), m_input(input) {
    setWindowTitle(PaymentEntryCaption(kind));
    setObjectName(QStringLiteral("PaymentEntryDialog"));
    Session& session = host.CurrentSession();
    Database& db = session.Db();
    Prompter& prompter = host.UserPrompter();
    auto* form = new QFormLayout;

    m_info = new QLabel(this);
    m_info->setObjectName(QStringLiteral("Podaci"));
    if (m_invoice) {
        const InvoiceBalance b = InvoiceBalanceOf(db, *m_invoice);
        m_info->setText(QStringLiteral("Račun %1/%2, iznos %3, %4")
                            .arg(m_invoice->number)
                            .arg(m_invoice->year)
                            .arg(MoneyText(b.amount), OwedText(b)));
        form->addRow(m_info);
    } else if (m_input) {
        const InvoiceBalance b = InputInvoiceBalanceOf(db, *m_input);
        m_info->setText(QStringLiteral("Ulazni račun %1, iznos %2, dugovanje %3")
                            .arg(m_input->serial)
                            .arg(MoneyText(b.amount), MoneyText(b.Open())));
        form->addRow(m_info);
    }
    if (PicksPartner()) {
        m_partner = new QComboBox(this);
        m_partner->setObjectName(QStringLiteral("Partner"));
        m_partner->addItem(QString(), QVariant());
        for (const Choice& c : PartnerChoices(db)) {
            m_partner->addItem(c.name, c.code);
        }
        form->addRow(Supplier() ? QStringLiteral("&Dobavljač :") : QStringLiteral("&Kupac :"),
                     m_partner);
    }
    if (PicksInvoice()) {
        m_book = new QComboBox(this);
        m_book->setObjectName(QStringLiteral("Knjiga"));
        for (const Choice& c : Supplier() ? InputBookChoices(db) : OutputBookChoices(db)) {
            m_book->addItem(c.name, c.code);
        }
        m_invoices = new QComboBox(this);
        m_invoices->setObjectName(QStringLiteral("Racun"));
        form->addRow(QStringLiteral("K&njiga :"), m_book);
        form->addRow(QStringLiteral("&Račun :"), m_invoices);
        connect(m_partner, &QComboBox::currentIndexChanged, this, [this] { FillInvoices(); });
        connect(m_book, &QComboBox::currentIndexChanged, this, [this] { FillInvoices(); });
    }
    if (kind == PaymentEntryKind::CustomerPayment || kind == PaymentEntryKind::SupplierPayment) {
        m_entryKind = new QComboBox(this);
        m_entryKind->setObjectName(QStringLiteral("Vrsta"));
        m_entryKind->addItems(CustomerEntryKinds());
        form->addRow(QStringLiteral("&Vrsta upisa :"), m_entryKind);
    }
    m_model = new QComboBox(this);
    m_model->setObjectName(QStringLiteral("Model"));
    // Where the windows name no default the model starts unchosen, so a forgotten choice is
    // refused instead of being booked as the first of the list.
    const bool withDefault =
        kind == PaymentEntryKind::CustomerPayment || kind == PaymentEntryKind::SupplierPayment;
    if (!withDefault) {
        m_model->addItem(QString());
    }
    m_model->addItems(Supplier() ? SupplierModels() : CustomerModels());
    form->addRow(QStringLiteral("&Model plaćanja :"), m_model);
    m_card = new QComboBox(this);
    m_card->setObjectName(QStringLiteral("TipKartice"));
    m_card->addItem(QString(), QVariant());
    for (const Choice& c : CardTypeChoices(db)) {
        m_card->addItem(c.name, c.code);
    }
    if (!Supplier()) {
        form->addRow(QStringLiteral("&Tip kartice :"), m_card);
    } else {
        m_card->hide();
    }
    connect(m_model, &QComboBox::currentIndexChanged, this, [this] { ModelChanged(); });
    m_date = new zodra::ui::DateBox(prompter, this);
    m_date->setObjectName(QStringLiteral("Datum"));
    m_date->SetDate(QDate::currentDate());
    form->addRow(QStringLiteral("D&atum :"), m_date);
    m_text = new QLineEdit(this);
    m_text->setObjectName(QStringLiteral("Opis"));
    form->addRow(QStringLiteral("Opis dok&umenta :"), m_text);
    m_amount = new zodra::ui::NumberBox(prompter, this);
    m_amount->setObjectName(QStringLiteral("Iznos"));
    m_amount->SetDecimals(2);
    m_amount->SetValue(0);
    form->addRow(QStringLiteral("&Iznos :"), m_amount);
    if (Supplier() && kind != PaymentEntryKind::SupplierPayment) {
        m_purpose = new QLineEdit(this);
        m_purpose->setObjectName(QStringLiteral("Svrha"));
        if (m_input) {
            m_purpose->setText(DefaultPurpose(db, *m_input));
        }
        form->addRow(QStringLiteral("&Svrha doznake :"), m_purpose);
    }
    if (m_invoice) {
        m_amount->SetValue(InvoiceBalanceOf(db, *m_invoice).Open());
    } else if (m_input) {
        m_amount->SetValue(InputInvoiceBalanceOf(db, *m_input).Open());
    }
    if (withDefault) {
        m_model->setCurrentIndex(0);  // "žiro račun"
    }
    ModelChanged();
    if (PicksInvoice()) {
        FillInvoices();
    }

    auto* buttons = new zodra::ui::DialogButtonRow(this);
    connect(buttons->AcceptButton(), &QPushButton::clicked, this, [this] { Accept(); });
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    (m_partner ? static_cast<QWidget*>(m_partner) : m_model)->setFocus();
}

bool PaymentEntryDialog::Supplier() const {
    return m_kind == PaymentEntryKind::InputInvoicePayment ||
           m_kind == PaymentEntryKind::OwnUsePayment ||
           m_kind == PaymentEntryKind::SupplierPayment ||
           m_kind == PaymentEntryKind::SupplierPayAndClose;
}

bool PaymentEntryDialog::PicksPartner() const {
    return m_kind == PaymentEntryKind::CustomerPayment ||
           m_kind == PaymentEntryKind::SupplierPayment || PicksInvoice();
}

bool PaymentEntryDialog::PicksInvoice() const {
    return m_kind == PaymentEntryKind::CustomerPayAndClose ||
           m_kind == PaymentEntryKind::SupplierPayAndClose;
}

void PaymentEntryDialog::FillInvoices() {
    m_invoices->clear();
    m_open = {};
    const std::optional<int> partner = Partner();
    if (!partner || m_book->currentIndex() < 0) {
        return;
    }
    Database& db = m_host.CurrentSession().Db();
    const int book = m_book->currentData().toInt();
    m_open = Supplier() ? OpenInputInvoices(db, *partner, book) : OpenInvoices(db, *partner, book);
    for (int r = 0; r < m_open.RowCount(); ++r) {
        m_invoices->addItem(m_open.Value(r, 0).toString() + QStringLiteral("  ") +
                                MoneyText(m_open.Value(r, 3).toDouble()),
                            r);
    }
}

void PaymentEntryDialog::ModelChanged() {
    const bool card = m_model->currentText() == CardModel();
    m_card->setEnabled(card);
    if (!card) {
        m_card->setCurrentIndex(0);
    }
}

std::optional<int> PaymentEntryDialog::Partner() const {
    if (!m_partner || !m_partner->currentData().isValid()) {
        return std::nullopt;
    }
    return m_partner->currentData().toInt();
}

PaymentEntry PaymentEntryDialog::Entry() const {
    PaymentEntry e;
    e.date = m_date->Date();
    e.model = m_model->currentText();
    if (m_card->currentData().isValid()) {
        e.cardType = m_card->currentData().toInt();
    }
    e.text = m_text->text();
    e.amount = m_amount->Value();
    return e;
}

bool PaymentEntryDialog::Accept() {
    m_amount->Commit();
    m_date->Commit();
    Session& session = m_host.CurrentSession();
    Prompter& prompter = m_host.UserPrompter();
    const PaymentEntry entry = Entry();
    const QString purpose = m_purpose ? m_purpose->text() : QString();
    try {
        switch (m_kind) {
            case PaymentEntryKind::InvoiceCollection:
                m_result = RecordCollection(session, *m_invoice, entry);
                break;
            case PaymentEntryKind::InputInvoicePayment:
            case PaymentEntryKind::OwnUsePayment:
                m_result = RecordInputInvoicePayment(session, *m_input, entry, purpose);
                break;
            case PaymentEntryKind::CustomerPayAndClose:
            case PaymentEntryKind::SupplierPayAndClose: {
                std::optional<int> row;
                if (m_invoices->currentIndex() >= 0 && m_open.RowCount() > 0) {
                    row = m_invoices->currentData().toInt();
                }
                if (m_kind == PaymentEntryKind::CustomerPayAndClose) {
                    std::optional<InvoiceKey> key;
                    if (row) {
                        const TableData& t = m_open;
                        key = InvoiceKey{t.Value(*row, 4).toInt(), m_book->currentData().toInt(),
                                         t.Value(*row, 5).toInt(), t.Value(*row, 6).toInt()};
                    }
                    m_result = RecordPaymentAndClose(session, Partner(), key, entry);
                } else {
                    std::optional<InputInvoiceKey> key;
                    if (row) {
                        const TableData& t = m_open;
                        key = InputInvoiceKey{m_book->currentData().toInt(),
                                              t.Value(*row, 4).toInt(), t.Value(*row, 5).toInt()};
                    }
                    m_result =
                        RecordSupplierPaymentAndClose(session, Partner(), key, entry, purpose);
                }
                break;
            }
            case PaymentEntryKind::CustomerPayment:
            case PaymentEntryKind::SupplierPayment: {
                const bool supplier = m_kind == PaymentEntryKind::SupplierPayment;
                const int kindIndex = m_entryKind->currentIndex();
                if (kindIndex > 0) {
                    RecordOpeningBalance(session, supplier, Partner(),
                                         kindIndex == 1 ? OpeningSide::Debit : OpeningSide::Credit,
                                         entry.date, entry.text, entry.amount);
                    m_result = {};
                } else {
                    m_result = supplier ? RecordSupplierPayment(session, Partner(), entry)
                                        : RecordCustomerPayment(session, Partner(), entry);
                }
                prompter.Inform(PaymentRecordedMessage());
                break;
            }
        }
    } catch (const UserError& e) {
        prompter.Inform(e.message());
        return false;
    }
    if (m_result.bookEntry) {
        prompter.Inform(QStringLiteral("Upisano u knjigu primitaka i izdataka pod rednim brojem "
                                       "%1.")
                            .arg(*m_result.bookEntry));
    }
    accept();
    return true;
}

}  // namespace zodra::payments::ui
