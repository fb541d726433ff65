#pragma once

#include <QString>
#include <optional>
#include <vector>

#include "data/TableData.h"

namespace zodra {
class Database;
}

// The posted invoices of a warehouse, IRA book and year as "Izbor računa" and its table view
// show them. A year may hold a hundred thousand invoices, so both are read a page at a time in
// number order: a page starts after the last number of the one before (by the key's index, so
// the first page costs the same however many invoices there are).
namespace zodra::sales {

struct IraBookChoice {
    int code = 0;
    QString name;
};
std::vector<IraBookChoice> IraBookChoices(Database& db);

// "Broj", "Datum", "Kupac", "Storno" of the invoices numbered after `after` (all when none), at
// most `limit` of them.
TableData InvoiceChoicePage(Database& db, int warehouse, int book, int year,
                            std::optional<int> after, int limit);

// What selecting one shows: date, customer, sales terms, its total and, when cancelled, the
// cancellation date.
QString InvoiceChoiceDetails(Database& db, int warehouse, int book, int year, int number);

// The table view "Računi": "Broj", "Datum", "Kupac", "Uvjet prodaje", "Vrijednost", "Porez",
// "Ukupno", "Storno", a page at a time like the list; each sum is the invoice's total as it is
// printed (its lines' amounts at the cent, added).
TableData InvoiceTablePage(Database& db, int warehouse, int book, int year,
                           std::optional<int> after, int limit);
// The sums of all invoices of the book and year, the cancelled ones apart.
QString InvoiceTableTotals(Database& db, int warehouse, int book, int year);

}  // namespace zodra::sales
