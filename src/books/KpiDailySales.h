#pragma once

#include <QDate>
#include <QString>
#include <optional>

#include "books/KpiBook.h"

namespace zodra {
class Database;
class Session;
}  // namespace zodra

// The entries of the book of receipts and expenditures that other documents give rise to, for
// companies taxed on collection ("R-2"): the one automatic entry per day of retail collections,
// and the proposals for the entry of any other collection or payment, which the user confirms
// in the entry window.
namespace zodra::books {

// The day's retail takings: the collections dated that day ("gotovina", "ček", "kartica",
// counter-rows of cancellations included) of the year's invoices with sales terms 1, and the
// net part of them by the ratio of net to gross over the lines of the invoices collected that
// day. In summing mode the detail invoices' collections count until the day end carries them
// over to the summary invoice, and the summary's afterwards.
struct DailyCashSales {
    bool anyCollection = false;
    double gross = 0;  // PRIMICI U GOTOVINI
    double net = 0;    // UKUPNI PRIMICI
    double vat = 0;    // PDV U PRIMICIMA = gross − net
};
DailyCashSales ComputeDailyCashSales(Database& db, int year, const QDate& date);

// Rewrites the day's entry "promet u gotovini" (under its own number, or a new one with the
// next number) from the day's collections, in one transaction; a day left with no retail
// collection loses its entry. Returns the entry's number, or nothing when the day has none.
std::optional<int> RebuildDailyCashSales(Database& db, int year, const QDate& date);
// The same for every date of the year with a retail collection; returns how many days.
int RebuildAllDailyCashSales(Database& db, int year);

// What the program runs after the retail collections of a date changed (a retail payment, a
// cancellation or deletion of an invoice, a detail invoice's too): the day's entry is rebuilt
// when the company is "R-2", nothing otherwise.
void AfterRetailCollections(Session& session, const QDate& date);

// The column a payment model puts its amount in: "gotovina", "kartica", "ček" (cash), "žiro
// račun" (bank), "u naravi" (in kind); receipts or expenditures. Nothing for another model.
std::optional<KpiAmount> KpiColumnForModel(const QString& model, bool receipt);

// The proposed entry of a collection of an output invoice (not a retail one: those make the
// day's entry): the next number, the date, "<customer>, rn. <number>", the amount in the
// model's column, and the amount without tax by the invoice's ratio of net to gross (a ratio
// that cannot be taken, an invoice without lines, leaves the tax 0). Totals computed.
KpiEntry ProposeCollectionEntry(Database& db, int warehouse, int book, int year, int number,
                                const QDate& date, double amount, const QString& model);
// A customer's payment without an invoice: "<customer>, -" and the whole amount as receipt.
KpiEntry ProposeCustomerPaymentEntry(Database& db, int year, int partner, const QDate& date,
                                     double amount, const QString& model);
// A payment of an input invoice: "<supplier>, rn. <invoice number>", the amount in the model's
// expenditure column and the invoice's deductible input tax scaled by amount / invoice total
// as the expenditure's VAT (a total of 0 leaves the tax 0).
KpiEntry ProposeSupplierPaymentEntry(Database& db, int book, int year, int serial,
                                     const QDate& date, double amount, const QString& model);

}  // namespace zodra::books
