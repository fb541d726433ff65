#pragma once

#include <QString>

namespace zodra {
class Database;
class Prompter;
class Session;
}  // namespace zodra

// Deleting a posted stock count of the session's warehouse and year puts every lot back to the
// quantity it would have without the count: quantity − counted + book (the free quantity moves by
// as much). A count is not cancelled; it is deleted.
//  - Every lot must still exist ("Napravljen je storno primke po kojoj je ušao artikal " name)
//    and carry the selling price the count found ("Ovu inventuru nemožete izbrisati jer neki
//    artikal iz inventure više nema istu cijenu na skladištu."), since its value in the trade
//    book was taken at that price.
//  - A lot whose quantity would fall below zero is allowed only after "Količine nekih artikala
//    će pasti ispod nule. Želite li svejedno izbrisati inventuru!"; one whose free quantity would
//    fall below zero is refused outright ("Ovu inventuru nemožete izbrisati jer bi količine
//    nekih artikala pale ispod nule."): open documents of other workstations hold those goods.
// The trade-book entry "INVENTURA" goes and the balances are recomputed, the pooled lots'
// average cost is replayed from the count's position, header and lines go, then the
// consistency check — in one transaction, after every question.
namespace zodra::stockdocs {

QString StockCountDeleteQuestion();  // "Želite li izbrisati inventuru!"
QString StockCountDeleteTitle();     // "Brisanje inventure"
QString BelowZeroQuestion();         // "Količine nekih artikala će pasti ispod nule. …"
QString BelowZeroRefusal();          // "Ovu inventuru nemožete izbrisati jer bi …"
QString StockCountPriceRefusal();    // "Ovu inventuru nemožete izbrisati jer neki artikal …"
QString NoSuchStockCountMessage(int number);   // "Ne postoji proknjižena inventura broj " n
QString StockCountDeletedMessage(int number);  // "Inventura broj " n " je izbrisana."

// The guards of a deletion without changing anything; true when some lot would fall below zero
// (the question to ask).
bool CheckStockCountCanBeDeleted(Session& session, int number);

// Deletes the count; `belowZeroAllowed` is the answer to the below-zero question (without it a
// lot that would fall below zero refuses the deletion).
void DeleteStockCount(Session& session, int number, bool belowZeroAllowed);
// The list's "Izbriši": the guards, the question (No by default), the below-zero question when
// it applies, then the deletion. False when the user answered No.
bool DeleteStockCount(Session& session, Prompter& prompter, int number);

}  // namespace zodra::stockdocs
