#pragma once

#include <QDate>
#include <QString>
#include <optional>
#include <vector>

#include "purchasing/ReceiptLines.h"

namespace zodra {
class Database;
class Session;
}  // namespace zodra

namespace zodra::purchasing {

// A dependent-cost item of a receipt (PRIMKE_ZAVISNI_TROSKOVI): a cost that is not on the
// supplier's invoice (transport, bank charges …), printed with the receipt.
struct DependentCost {
    QString description;  // Opis
    double amount = 0;    // Iznos
};

// The summary data of a receipt ("Zbirni podaci primke"): the totals of the supplier's
// invoice as the clerk reads them off it, which serve twice: they are spread over the article
// lines as whole-receipt percentages, and at posting they are compared with the sums over the
// lines (a control function). Amounts are in the home currency; for a document in a foreign
// currency the invoice value and discount are typed in that currency and converted at the rate.
struct ReceiptSummary {
    double invoiceValue = 0;  // "Fakturna vrijednost"
    double discount = 0;      // "Rabat iznos"
    double otherCosts = 0;    // "Zavisni troškovi"
    double customs = 0;       // "Carina iznos"
    double forwarding = 0;    // "Špedicija iznos"
    int currency = 1;         // VALUTE.SIFRA; 1 is the home currency
    double currencyInvoiceValue = 0;
    double currencyDiscount = 0;
    double rate = 1;                   // "Tečaj"
    QDate rateDate;                    // the date of the rate used
    bool customsFromArticles = false;  // "Carina % iz artikala"
    std::vector<DependentCost> items;

    bool IsForeign() const { return currency != 1; }
    // The sum of the dependent-cost items, each at the cent.
    double ItemsTotal() const;
};

// The whole-receipt percentages the summary amounts become, written into every article line.
//
// How amounts become percentages: the discount percent is the discount amount over the
// invoice value of the goods; customs, forwarding and other dependent costs are percentages of
// the goods' net invoice value (invoice value less discount), because the lines compute them
// on their net value. "The goods" are the invoice value less the packaging lines of the
// receipt, which carry neither discount nor costs. Spread this way over lines whose invoice
// values add up to the invoice value typed, the line sums equal the amounts typed, which is
// exactly what the control totals check at posting. A base of 0 gives 0 %.
struct SummaryPercentages {
    double discount = 0;    // r
    double customs = 0;     // c
    double forwarding = 0;  // f
    double otherCosts = 0;  // z
};
SummaryPercentages PercentagesOf(const ReceiptSummary& summary, double packagingInvoiceValue);

// The rate of a currency on a date (the home currency always 1). A foreign currency without a
// rate on the date is refused with "Nije upisan tečaj " + currency + " za " + date + ".".
double RateOn(Database& db, int currency, const QDate& date);
QString CurrencyName(Database& db, int currency);
QString MissingRateMessage(const QString& currency, const QDate& date);

// Checks the summary as the dialog accepts it: an invoice value of 0 is refused with
// "Fakturna vrijednost nesmije biti nula !"; a foreign currency takes its rate on the date (or
// is refused), and the home-currency invoice value and discount follow from the currency
// amounts. Returns the summary as accepted.
ReceiptSummary AcceptSummary(Database& db, ReceiptSummary summary);

// Writes the whole-receipt percentages into every article line (the customs percent only when
// it does not come from the articles) and derives the lines' amounts, net values, costs and
// margins from them; selling prices stay. For the working copy, or for the lines of a posted
// receipt (the caller then brings its lots and issues in step: ReceiptCorrection). Call it in a
// transaction: a line brought outside the input limits is refused (CheckReceiptRow).
void ApplyPercentages(Database& db, const ReceiptTarget& target, const SummaryPercentages& p,
                      bool customsFromArticles);

// The dependent-cost items of a posted receipt, and replacing them.
std::vector<DependentCost> ReadDependentCosts(Database& db, int warehouse, int year, int number);
void WriteDependentCosts(Database& db, int warehouse, int year, int number,
                         const std::vector<DependentCost>& items);

// The summary of a posted receipt as correction opens it: its currency and rate date from the
// header, its items, and the line sums as the amounts.
ReceiptSummary PostedSummary(Database& db, int warehouse, int year, int number);

}  // namespace zodra::purchasing
