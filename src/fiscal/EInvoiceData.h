#pragma once

#include <QDate>
#include <QString>
#include <QTime>
#include <vector>

#include "registers/IdentityNumbers.h"

namespace zodra {
class Database;
}

// What a business e-invoice says, read from a posted output invoice: the seller (the company),
// the buyer (the invoice's partner), the operator who issued it, the lines with their product
// classification (KPD) and VAT category, and the payment. Everything that the e-invoice needs
// and the company file lacks is refused here with a message that says what to fill in.
namespace zodra::fiscal {

// A party of the invoice as the e-invoice names it.
struct EInvoiceParty {
    QString name;
    QString oib;
    QString street;
    QString postalCode;
    QString city;
    QString legalForm;  // the seller's registration text; empty for the buyer
};

// The VAT category of a line under the Croatian rules: the category code (S standard or
// reduced rate, Z zero rate, E exempt, AE reverse charge, K intra-EU supply, G export, O outside
// the scope of VAT), its Croatian mark ("HR:PDV25", "HR:E" …; empty when the rate has none) and,
// for every category but S, the reason of the exemption.
struct EInvoiceTaxCategory {
    QString code;
    QString mark;
    double rate = 0;
    QString exemptionReason;
    bool operator==(const EInvoiceTaxCategory& other) const;
};

struct EInvoiceLine {
    int position = 0;
    QString name;
    QString description;  // the line's own text, when it has one
    QString kpd;          // product classification, "dd.dd.dd"
    QString unitCode;     // UN/ECE recommendation 20 code of the unit
    double quantity = 0;
    double price = 0;   // net price per unit, after the line's discount
    double amount = 0;  // net amount at the cent, as the invoice holds it
    double tax = 0;     // VAT at the cent
    EInvoiceTaxCategory category;
};

// One row of the VAT breakdown: the lines of one category and rate.
struct EInvoiceTaxSubtotal {
    EInvoiceTaxCategory category;
    double taxable = 0;
    double tax = 0;
};

struct EInvoiceData {
    QString id;  // EInvoiceId: "number-warehouse-book-year"
    int warehouse = 0, book = 0, year = 0, number = 0;
    QDate issueDate;
    QTime issueTime;
    QDate dueDate;
    QDate deliveryDate;  // null when the invoice names none
    bool cancelled = false;
    QDate cancellationDate;
    EInvoiceParty seller;
    EInvoiceParty buyer;
    QString operatorName;
    QString operatorOib;
    QString iban;
    QString paymentReference;  // "HR00 15-2-2026"
    QString paymentNote;       // the invoice's payment method text
    QString orderReference;    // the customer's order number
    std::vector<EInvoiceLine> lines;
    std::vector<EInvoiceTaxSubtotal> taxes;  // in the order of first appearance
    double lineTotal = 0;                    // Σ line amounts
    double taxTotal = 0;                     // Σ line taxes
    double prepaid = 0;                      // already paid, as the header records it
    double Payable() const;
};

// The configuration name of the register-wide default product classification, which every
// article without a KPD code of its own, every service and every packaging line takes.
QString DefaultKpdSetting();

// The operator of an invoice's e-invoice: the user who posted it ("admin" when the invoice
// names none); empty when there is no such invoice.
QString InvoiceOperator(Database& db, int warehouse, int book, int year, int number);

// A KPD code as the e-invoice accepts it: six digits written "dd.dd.dd".
bool IsKpdCode(const QString& code);
// An IBAN (spaces ignored) whose check digits hold (ISO 13616, MOD 97-10).
using registers::IsValidIban;

// "10000 Zagreb" → postal code "10000", city "Zagreb"; a place without a leading number is
// the city alone.
void SplitPlace(const QString& place, QString* postalCode, QString* city);

// Reads a posted invoice of `book` and `year` in `warehouse` for its e-invoice. Refused, each
// with its message: no such posted invoice, an invoice in a foreign currency, a buyer without a
// valid OIB or address, a company without OIB, name or a valid IBAN, an operator without OIB,
// a line without a KPD code (and no default), an invoice without lines.
EInvoiceData ReadEInvoiceData(Database& db, int warehouse, int book, int year, int number);

}  // namespace zodra::fiscal
