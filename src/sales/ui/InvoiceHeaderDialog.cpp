#include "sales/ui/InvoiceHeaderDialog.h"

#include "sales/OutgoingPosting.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "data/Prompter.h"
#include "data/Session.h"
#include "sales/InvoiceEntry.h"
#include "ui/DialogButtonRow.h"
#include "ui/Guard.h"
#include "ui/NumberBox.h"
#include "ui/WindowHost.h"

namespace zodra::sales::ui {

namespace {

QLineEdit* Line(QWidget* parent, const QString& name, const QString& text) {
    auto* e = new QLineEdit(text, parent);
    e->setObjectName(name);
    return e;
}

// A box that offers the register's texts and takes a typed one.
QComboBox* Offer(QWidget* parent, const QString& name, const QStringList& texts,
                 const QString& text) {
    auto* c = new QComboBox(parent);
    c->setObjectName(name);
    c->setEditable(true);
    c->setInsertPolicy(QComboBox::NoInsert);
    c->addItems(texts);
    c->setCurrentText(text);
    return c;
}

}  // namespace

InvoiceHeaderDialog::InvoiceHeaderDialog(zodra::ui::WindowHost& host,
                                         const OutgoingDocument& document,
                                         const InvoiceDraft& draft, const InvoiceHeader& p,
                                         bool printingOffered, QWidget* parent)
    : QDialog(parent),
      m_host(host),
      m_document(document),
      m_draft(draft),
      m_proposedNumber(p.number) {
    setObjectName(QStringLiteral("frmZaglavljeRacuna"));
    setWindowTitle(document.headerTitle);
    Database& db = host.CurrentSession().Db();
    auto* layout = new QVBoxLayout(this);
    auto* columns = new QHBoxLayout;
    auto* left = new QFormLayout;
    auto* right = new QFormLayout;
    m_number = new zodra::ui::NumberBox(host.UserPrompter(), this);
    m_number->setObjectName(QStringLiteral("Broj"));
    m_number->SetDecimals(0);
    m_number->SetInvalidMessage(QStringLiteral("Nije ispravno upisan broj !"));
    m_number->SetValue(p.number, 0);
    m_number->setMaximumWidth(120);
    left->addRow(QStringLiteral("Broj :"), m_number);
    left->addRow(QStringLiteral("Isporuka naziv :"),
                 Line(this, QStringLiteral("IsporukaNaziv"), p.deliveryName));
    left->addRow(QStringLiteral("Isporuka adresa :"),
                 Line(this, QStringLiteral("IsporukaAdresa"), p.deliveryAddress));
    left->addRow(QStringLiteral("Isporuka mjesto :"),
                 Line(this, QStringLiteral("IsporukaMjesto"), p.deliveryPlace));
    left->addRow(QStringLiteral("Datum isporuke :"),
                 Line(this, QStringLiteral("DatumIsporuke"), p.deliveryDate));
    left->addRow(QStringLiteral("Način isporuke :"), Offer(this, QStringLiteral("NacinIsporuke"),
                                                           DeliveryMethods(db), p.deliveryMethod));
    left->addRow(QStringLiteral("Robu preuzeo :"),
                 Line(this, QStringLiteral("RobuPreuzeo"), p.takenBy));
    left->addRow(QStringLiteral("Narudžbenica :"),
                 Line(this, QStringLiteral("Narudzbenica"), p.orderNumber));
    left->addRow(QStringLiteral("Otpremnica :"),
                 Line(this, QStringLiteral("Otpremnica"), p.deliveryNote));
    right->addRow(QStringLiteral("Rok plaćanja :"),
                  Line(this, QStringLiteral("RokPlacanja"), p.paymentTerm));
    right->addRow(document.dueDateLabel, Line(this, QStringLiteral("DospijeceRacuna"), p.dueDate));
    right->addRow(QStringLiteral("Način plaćanja :"), Offer(this, QStringLiteral("NacinPlacanja"),
                                                            PaymentMethods(db), p.paymentMethod));
    right->addRow(QStringLiteral("Poziv na broj :"),
                  Line(this, QStringLiteral("PozivNaBroj"), p.paymentReference));
    right->addRow(QStringLiteral("Već plaćeno :"),
                  Line(this, QStringLiteral("VecPlaceno"), p.alreadyPaid));
    right->addRow(QStringLiteral("Žiro račun :"),
                  Offer(this, QStringLiteral("ZiroRacun"), BankAccounts(db), p.bankAccount));
    {
        // The currency the invoice is issued in: the home currency first.
        auto* currency = new QComboBox(this);
        currency->setObjectName(QStringLiteral("Valuta"));
        currency->addItems(Currencies(db));
        const int chosen = currency->findText(p.currency);
        currency->setCurrentIndex(chosen >= 0 ? chosen : 0);
        right->addRow(QStringLiteral("Valuta :"), currency);
    }
    right->addRow(QStringLiteral("Dodatni tekst :"), Offer(this, QStringLiteral("DodatniTekst"),
                                                           AdditionalTexts(db), p.additionalText));
    if (document.kind == OutgoingKind::DeliveryNote) {
        // The delivery note carries no payment data and no delivery-note number of its own.
        for (const char* name :
             {"Otpremnica", "RokPlacanja", "DospijeceRacuna", "PozivNaBroj", "VecPlaceno"}) {
            QWidget* box = Field(QString::fromLatin1(name));
            (left->labelForField(box) ? left : right)->setRowVisible(box, false);
        }
        for (const char* name : {"NacinPlacanja", "ZiroRacun"}) {
            right->setRowVisible(Choice(QString::fromLatin1(name)), false);
        }
    }
    columns->addLayout(left);
    columns->addSpacing(16);
    columns->addLayout(right);
    layout->addLayout(columns);

    auto* print = new QGroupBox(QStringLiteral("Ispis nakon knjiženja"), this);
    print->setObjectName(QStringLiteral("Ispis"));
    auto* printRow = new QHBoxLayout(print);
    m_printInvoice = new QCheckBox(QStringLiteral(" računa"), print);
    m_printInvoiceDeliveryNote = new QCheckBox(QStringLiteral(" računa-otpremnice"), print);
    m_printDeliveryNote = new QCheckBox(QStringLiteral(" otpremnice"), print);
    m_printForeign = new QCheckBox(QStringLiteral(" deviznog računa"), print);
    m_copies = new QSpinBox(print);
    m_copies->setObjectName(QStringLiteral("BrojKopija"));
    m_copies->setRange(1, 99);
    for (QCheckBox* b :
         {m_printInvoice, m_printInvoiceDeliveryNote, m_printDeliveryNote, m_printForeign}) {
        printRow->addWidget(b);
        b->setVisible(document.kind == OutgoingKind::Invoice);
    }
    // An offer, pro-forma or delivery note prints its own layout, the offer also without
    // discount columns and the delivery note also with purchase values.
    switch (document.kind) {
        case OutgoingKind::Invoice:
            break;
        case OutgoingKind::Offer:
            m_printDocument = new QCheckBox(QStringLiteral(" Ispis ponude"), print);
            m_printVariant = new QCheckBox(QStringLiteral(" bez rabata"), print);
            break;
        case OutgoingKind::ProForma:
            m_printDocument = new QCheckBox(QStringLiteral(" Ispis predračuna"), print);
            break;
        case OutgoingKind::DeliveryNote:
            m_printDocument = new QCheckBox(QStringLiteral(" Ispis otpremnice"), print);
            m_printVariant = new QCheckBox(QStringLiteral(" s nabavnim vrijednostima"), print);
            break;
    }
    for (QCheckBox* b : {m_printDocument, m_printVariant}) {
        if (b) {
            printRow->addWidget(b);
        }
    }
    printRow->addSpacing(12);
    printRow->addWidget(new QLabel(QStringLiteral("Broj kopija :"), print));
    printRow->addWidget(m_copies);
    printRow->addStretch();
    print->setEnabled(printingOffered);
    layout->addWidget(print);

    auto* buttons = new zodra::ui::DialogButtonRow(this);
    layout->addWidget(buttons);
    connect(buttons->AcceptButton(), &QPushButton::clicked, this,
            &InvoiceHeaderDialog::AcceptHeader);
    connect(Field(QStringLiteral("RokPlacanja")), &QLineEdit::editingFinished, this,
            &InvoiceHeaderDialog::TermLeft);
    resize(720, sizeHint().height());
    m_number->setFocus();
}

QLineEdit* InvoiceHeaderDialog::Field(const QString& objectName) const {
    return findChild<QLineEdit*>(objectName, Qt::FindDirectChildrenOnly);
}

QComboBox* InvoiceHeaderDialog::Choice(const QString& objectName) const {
    return findChild<QComboBox*>(objectName, Qt::FindDirectChildrenOnly);
}

// A new payment term moves the due date with it.
void InvoiceHeaderDialog::TermLeft() {
    bool ok = false;
    const int days = Field(QStringLiteral("RokPlacanja"))->text().trimmed().toInt(&ok);
    if (ok && m_draft.date.isValid()) {
        Field(QStringLiteral("DospijeceRacuna"))
            ->setText(m_draft.date.addDays(days).toString(QStringLiteral("dd.MM.yyyy")));
    }
}

InvoiceHeader InvoiceHeaderDialog::Header() const {
    InvoiceHeader h;
    h.number = static_cast<int>(m_number->Value());
    h.deliveryName = Field(QStringLiteral("IsporukaNaziv"))->text();
    h.deliveryAddress = Field(QStringLiteral("IsporukaAdresa"))->text();
    h.deliveryPlace = Field(QStringLiteral("IsporukaMjesto"))->text();
    h.deliveryDate = Field(QStringLiteral("DatumIsporuke"))->text();
    h.deliveryMethod = Choice(QStringLiteral("NacinIsporuke"))->currentText();
    h.takenBy = Field(QStringLiteral("RobuPreuzeo"))->text();
    h.orderNumber = Field(QStringLiteral("Narudzbenica"))->text();
    h.deliveryNote = Field(QStringLiteral("Otpremnica"))->text();
    h.paymentTerm = Field(QStringLiteral("RokPlacanja"))->text();
    h.dueDate = Field(QStringLiteral("DospijeceRacuna"))->text();
    h.paymentMethod = Choice(QStringLiteral("NacinPlacanja"))->currentText();
    h.paymentReference = Field(QStringLiteral("PozivNaBroj"))->text();
    h.alreadyPaid = Field(QStringLiteral("VecPlaceno"))->text();
    h.additionalText = Choice(QStringLiteral("DodatniTekst"))->currentText();
    h.bankAccount = Choice(QStringLiteral("ZiroRacun"))->currentText();
    h.currency = Choice(QStringLiteral("Valuta"))->currentText();
    return h;
}

InvoicePrintChoice InvoiceHeaderDialog::PrintChoice() const {
    InvoicePrintChoice c;
    c.invoice = m_printInvoice->isChecked();
    c.invoiceDeliveryNote = m_printInvoiceDeliveryNote->isChecked();
    c.deliveryNote = m_printDeliveryNote->isChecked();
    c.foreignCurrency = m_printForeign->isChecked();
    c.copies = m_copies->value();
    c.document = m_printDocument && m_printDocument->isChecked();
    const bool variant = c.document && m_printVariant && m_printVariant->isChecked();
    c.withoutDiscount = variant && m_document.kind == OutgoingKind::Offer;
    c.purchaseValues = variant && m_document.kind == OutgoingKind::DeliveryNote;
    return c;
}

bool InvoiceHeaderDialog::AcceptHeader() {
    if (!m_number->Commit()) {
        return false;
    }
    Session& session = m_host.CurrentSession();
    const InvoiceHeader header = Header();
    bool posted = zodra::ui::Guarded(m_host.UserPrompter(), [&] {
        if (header.number != m_proposedNumber) {
            CheckOutgoingNumber(session.Db(), m_document, m_draft, m_number->text());
        }
        m_alreadyPaid = CheckOutgoingHeader(m_document, header).alreadyPaid;
        m_posted = PostOutgoing(session, m_document, m_draft, header);
    });
    if (!posted) {
        return false;
    }
    QDialog::accept();
    return true;
}

}  // namespace zodra::sales::ui
