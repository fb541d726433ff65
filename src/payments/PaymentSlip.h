#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>
#include <vector>

#include "registers/IdentityNumbers.h"
#include "reports/ReportEngine.h"

namespace zodra {
class Database;
}

// The HUB-3A payment slip: the form Croatian banks take for a payment in euro, with its PDF417
// bar code that a banking application scans to fill in the payment. The bar code carries the
// HUB-3 data block: fourteen fields in a fixed order, each on its own line (ended by LF), in the
// ISO 8859-2 code page, each cut to the length the standard gives it.
namespace zodra::payments {

struct SlipParty {
    QString name;
    QString address;  // street and number
    QString place;    // postal code and place
};

struct PaymentSlip {
    double amount = 0;  // euro; the block carries it in cents
    SlipParty payer;
    SlipParty payee;
    QString iban;       // the payee's account; blanks are dropped
    QString model;      // "HR00" … "HR99"
    QString reference;  // the payee's payment reference: digits and hyphens
    QString purpose;    // four capitals, e.g. "GDSV" (goods and services)
    QString description;
};

// The lengths of the block's fields, in its order after the header, the currency and the
// amount: payer name, address, place; payee name, address, place; IBAN, model, reference,
// purpose, description.
constexpr int kHub3PayerName = 30;
constexpr int kHub3PayerAddress = 27;
constexpr int kHub3PayerPlace = 27;
constexpr int kHub3PayeeName = 25;
constexpr int kHub3PayeeAddress = 25;
constexpr int kHub3PayeePlace = 27;
constexpr int kHub3Iban = 21;
constexpr int kHub3Reference = 22;
constexpr int kHub3Description = 35;

// Whether the text is an IBAN whose check digits hold (ISO 13616, modulo 97), blanks ignored.
inline bool IbanValid(const QString& iban) {
    return registers::IsValidIban(iban);
}

// Refuses a slip a bank would not take, with the reason: no IBAN of the payee ("Uplatnica se
// ne može ispisati: primatelj X nema upisan IBAN."), an IBAN that does not check, an amount
// that is not a number, not above zero or beyond fifteen digits of cents, a model other than HR
// and two digits, a reference of other characters or longer than 22, a purpose code that is
// not four capitals.
void CheckPaymentSlip(const PaymentSlip& slip);

// The HUB-3 data block of a slip (checked first): "HRVHUB30", "EUR", the amount in cents as
// 15 digits, then the fields above, each ended by LF. Line breaks inside a text become blanks;
// letters outside ISO 8859-2 become "?".
QByteArray Hub3DataBlock(const PaymentSlip& slip);

enum class SlipKind {
    OutputInvoiceOrder,  // ira_virman.rpt: the customer pays a wholesale invoice
    OutputInvoiceCash,   // ira_uplatnica.rpt: the customer pays a retail invoice
    InputInvoiceOrder,   // ura_virman.rpt: the company pays a supplier's invoice
};

QString PaymentSlipFile(SlipKind kind);

// The output invoices of a book, warehouse and year in a range of numbers and dates that are
// not cancelled and not yet paid in full: one slip each for what is still owed, the company as
// payee (the invoice's own account when it names one), the customer as payer, the invoice's
// payment reference.
struct OutputSlipRange {
    int warehouse = 0;
    int book = 0;
    int year = 0;
    int firstNumber = 0;
    int lastNumber = 0;
    QDate from;
    QDate to;
};
std::vector<PaymentSlip> OutputInvoiceSlips(Database& db, const OutputSlipRange& range);

// The input invoices of a book and year by serial number not yet paid in full: the supplier as
// payee, the company as payer, model HR99 (no reference) and "Plaćanje po računu br. " with the
// supplier's invoice number.
std::vector<PaymentSlip> InputInvoiceSlips(Database& db, int book, int year, int first, int last);

// What to print: each slip checked and given its bar code, handed to the slip's layout as the
// program's query of bound values. No slip: "Nema neplaćenih računa za ispis uplatnica.".
reports::ReportRequest PaymentSlipRequest(SlipKind kind, const std::vector<PaymentSlip>& slips);

}  // namespace zodra::payments
