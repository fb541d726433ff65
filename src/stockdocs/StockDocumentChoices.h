#pragma once

#include <QString>
#include <vector>

#include "data/TableData.h"

namespace zodra {
class Database;
class Session;
}  // namespace zodra

// What the windows of the transfer and of the five simple stock documents share: the lots of an
// article that hold stock in the session's warehouse and year ("Primka :" of the line dialogs),
// the quantity box's bound — the lot's free quantity, its quantity less what open working copies
// hold, so that two workstations never promise the same goods — and amounts in the home
// currency as the windows show them.
namespace zodra::stockdocs {

struct LotChoice {
    int lot = 0;              // BROJ_PRIMKE (0: the pooled lot)
    double quantity = 0;      // KOLICINA
    double freeQuantity = 0;  // KOLICINA_PRIVREMENO
    double costPrice = 0;
    double sellingPrice = 0;
};

// The lots of the article with stock, in lot order.
std::vector<LotChoice> LotsWithStock(Session& session, int article);

// "Nedovoljna zaliha artikla. Količina će biti postavljena na najveću dopuštenu vrijednost."
QString QuantityCutMessage();

// The quantity box left: a quantity above the lot's free quantity is cut to it with
// QuantityCutMessage; a lot that is gone leaves the quantity as typed (accepting the line says
// why). A return note (`inbound`) puts goods back: only a negative quantity that would take the
// lot below zero is cut (to minus the free quantity) with "Količina artikla bi pala ispod
// nule.".
struct QuantityCheck {
    double quantity = 0;
    QString message;  // empty: the quantity stands
};
QuantityCheck CheckLineQuantity(Session& session, int article, int lot, double quantity,
                                bool inbound = false);

// The posted receipts of the session's warehouse and year that still hold goods free in a lot
// of theirs, for "Uč. primku": the number (column 0), "Datum", "Dobavljač", "Dokument
// dobavljača". Under the pooled methods every receipt with article lines is offered (its goods
// are in the pooled lot).
TableData ReceiptsWithStock(Session& session);

// "1.234,50 EUR": an amount in the home currency (currency 1), rounded to the cent.
QString HomeCurrencyAmount(Database& db, double amount);

}  // namespace zodra::stockdocs
