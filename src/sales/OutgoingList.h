#pragma once

#include <QString>
#include <optional>

#include "data/TableData.h"
#include "sales/OutgoingDocument.h"

namespace zodra {
class Database;
}

// The posted offers, pro-formas and delivery notes of a warehouse and year as their choice
// windows and table views show them, a page at a time in number order (a page starts after the
// last number of the one before). Offers and pro-formas are kept per IRA book; a delivery note's
// key has no book, so `book` is ignored for it.
namespace zodra::sales {

// The choice list, key first:
//  offer:         "Broj", "Datum", "Kupac", "Vrijedi do", "Stanje" ("Realizirano" or empty)
//  pro-forma:     "Broj", "Datum", "Kupac", "Vrijedi do"
//  delivery note: "Broj", "Datum", "Kupac", "Račun" (the invoice it was billed on, "n/book", or
//                 empty while it is open)
TableData OutgoingChoicePage(Database& db, const OutgoingDocument& document, int warehouse,
                             int book, int year, std::optional<int> after, int limit);

// What selecting one shows: date, customer, sales terms, total; an offer's validity and
// "Realizirano", a delivery note's invoice ("Račun br. " n "/" book) when billed. Empty when
// there is no such document.
QString OutgoingChoiceDetails(Database& db, const OutgoingDocument& document, int warehouse,
                              int book, int year, int number);

// The table view ("Tablično"), a page at a time. Offers and pro-formas: "Broj", "Kupac",
// "Datum", "Vrijedi do", "Dodatni tekst", "Nabavna vrijednost", "Prodajna vrijednost", "Rabat",
// "Osnovica", "Porez", "Ukupno", "Uvjet prodaje". Delivery notes: "Broj", "Datum", "Kupac",
// "Uvjet prodaje", "Nabavna vrijednost", "Osnovica", "Porez", "Ukupno", "Račun". Each sum is the
// document's lines' amounts added.
TableData OutgoingTablePage(Database& db, const OutgoingDocument& document, int warehouse, int book,
                            int year, std::optional<int> after, int limit);
// The sums of every document of the table ("Ukupno: nabavna … osnovica … porez … ukupno …";
// delivery notes add what of it is still open, "Nefakturirano: ukupno …").
QString OutgoingTableTotals(Database& db, const OutgoingDocument& document, int warehouse, int book,
                            int year);

}  // namespace zodra::sales
