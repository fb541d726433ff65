#pragma once

#include <QString>
#include <vector>

#include "data/TableData.h"

namespace zodra {
class Database;
}

// The posted receipts of a warehouse and year as "Izbor primke" and its table view "Primke"
// show them, and the tax summary of one receipt for the input-invoice book.
namespace zodra::purchasing {

// "Izbor primke": one row per receipt ordered by number (the number in column 0).
TableData ReceiptChoice(Database& db, int warehouse, int year);
// What selecting one shows: its date, supplier and supplier's document.
QString ReceiptChoiceDetails(Database& db, int warehouse, int year, int number);

// The table view "Primke": "Broj", "Dobavljač", "Datum", "Dokument dobavljača", "Datum
// dokumenta dobavljača" and the sums over its lines "Fakturna vrijednost", "Rabat", "Neto
// fakturna vrijednost", "Carina", "Špedicija", "Zavisni trošak", "Nabavna vrijednost", "Ruc",
// "Vrijednost bez poreza", ordered by receipt number. Each sum is the receipt's total as its
// window, printout and trade-book entry show it: the lines' amounts rounded to the cent, added.
TableData ReceiptTable(Database& db, int warehouse, int year);
// The same sums over all receipts of the warehouse and year, as the line under the table.
QString ReceiptTableTotals(Database& db, int warehouse, int year);

// The supplier's invoice as the input-invoice book takes it from a receipt: the net invoice
// value of its article lines per tax rate (the rate the line was posted with), the packaging
// lines as a base of their own, and the supplier's payment delay.
// Bases and taxes are amounts at the cent: a base is the sum of its lines' net values each
// rounded to the cent, a tax is rounded from its base, and the totals add those.
struct TaxBase {
    double rate = 0;  // percent
    double base = 0;  // Σ NETTO_FAKTURNA_VRIJEDNOST
    double Tax() const;
};
struct ReceiptTaxSummary {
    std::vector<TaxBase> perRate;  // ascending by rate
    double packagingBase = 0;
    int paymentDelay = 0;  // PARTNERI.ODGODA of the supplier, days
    double Base() const;
    double Tax() const;
};
ReceiptTaxSummary TaxSummary(Database& db, int warehouse, int year, int number);

}  // namespace zodra::purchasing
