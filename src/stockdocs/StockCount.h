#pragma once

#include <QDate>
#include <QString>
#include <optional>

#include "data/TableData.h"

namespace zodra {
class Database;
class Prompter;
class Session;
}  // namespace zodra

// A stock count ("Inventura") compares the book quantity of every lot of the session's warehouse
// and year with the counted one. It is prepared from the lots into the session's working copy
// (STAVKE_INVENTURA_PRIVREMENO): one line per lot with its cost and selling price and its book
// quantity at that moment, the counted quantity equal to the book one or to one quantity for
// all. Only the counted quantity is edited. Posting sets every lot to its counted quantity and
// books the change of selling value, Σ (counted − book) × selling price, in the wholesale trade
// book as "INVENTURA"; a posted count can be deleted (StockCountRemoval.h), not cancelled.
namespace zodra::stockdocs {

// "Inventura": the question at the start, title and text.
QString StockCountTitle();        // "Inventura"
QString ZeroCountQuestion();      // "Želite li prikaz stvarnog stanja nula?"
QString CountedQuantityPrompt();  // "Ako želite postavljanje stanja artikala na neku drugu …"
QString StockCountPostedMessage(int number);  // "Inventura je proknjižena pod brojem " n
QString StockCountNoLinesMessage();           // "Inventura nema niti jedne stavke !"
QString OnlyCountedEditableMessage();         // "Mijenjati možete samo stvarnu količinu."

// The number proposed: the highest of the warehouse and year plus one.
int NextStockCountNumber(Session& session);
// The number box: a whole number ("Nije ispravno upisan broj !") of no count already posted
// ("Inventura pod ovim brojem je već napravljena !").
int CheckStockCountNumber(Database& db, int warehouse, int year, const QString& typed);

// Clears the session's working copy and fills it from the lots under the number given: the
// counted quantity equal to the book quantity, or (`allCountedAs`) that quantity for every lot.
// One transaction. Returns the number of lines.
int PrepareStockCount(Session& session, int number, std::optional<double> allCountedAs);
// The same with the questions of the start: "Želite li prikaz stvarnog stanja nula?" (No: the
// book quantities), Yes asks for the quantity (default "0"; not a number: "Nije ispravno upisan
// broj !", nothing prepared). False when the quantity was not given.
bool PrepareStockCount(Session& session, Prompter& prompter, int number);

// Sets the counted quantity of one working line (by row id) and its value at the line's selling
// price. The quantity is held to the input limits of a quantity and may not be negative
// ("Stvarna količina nesmije biti negativna !").
void SetCountedQuantity(Session& session, qint64 row, double counted);
// The counted quantity of the working line of a lot (for files and tests); refused with
// "Artikal … nije na inventuri." when the lot has no line.
void SetCountedQuantityOfLot(Session& session, int article, int lot, double counted);

// The grid: row id (hidden), "Šifra", "Naziv", "JM", "Primka", "Nab. cijena", "Prod. cijena",
// "Knjižno", "Knjižna vr.", "Stvarno", "Stvarna vr.", "Razlika vr." — "Stvarno" (column 9) is
// the one that may be edited.
TableData WorkingStockCountGrid(Session& session);
constexpr int kCountedColumn = 9;
// "Nabavna vr.: … EUR   Prodajna vr.: … EUR": the counted quantities at cost and at selling
// price.
QString WorkingStockCountTotals(Session& session);

struct StockCountHeaderData {
    int number = 0;  // 0: the next number
    QDate date;
};

// Posts the working copy under `sessionCode` in one transaction: the number (the one given while
// it is free, else the next), the header with its trade-book position, each lot checked — gone
// ("Napravljen je storno primke po kojoj je ušao artikal " name), its quantity no longer the
// book quantity of the line ("Količina artikla " name " se promijenila.") or its selling price
// no longer the line's ("Promijenjena je cijena artikla " name) refuses the whole posting — and
// set to the counted quantity (its free quantity moves by as much, so that open documents keep
// what they hold), the lines copied with their tax groups, the working copy cleared, the entry
// "INVENTURA" and the consistency check. A refusal leaves nothing written and the working copy
// as it was. Returns the number.
int PostWorkingStockCount(Session& session, const StockCountHeaderData& header, int sessionCode);
int PostStockCount(Session& session, const StockCountHeaderData& header);

void ClearWorkingStockCount(Session& session);

}  // namespace zodra::stockdocs
