#pragma once

#include <QByteArray>
#include <QChar>
#include <QString>
#include <optional>
#include <vector>

namespace zodra {
class Database;
class Session;
}  // namespace zodra

// Counting by scanner and from hand-held terminals into an open stock count (the working copy of
// a session, StockCount.h). A code is an article's barcode or, failing that, its code. A counted
// quantity is added, never set: scanning the same article twice counts two pieces.
//
// Which lot gets it: the article's lines on the count are taken oldest lot first (by receipt
// number); each takes what it still lacks up to its book quantity, and what is beyond every
// book quantity goes to the newest lot. A count begun at zero and scanned through thus ends with
// the oldest lots full and the surplus or shortage on the newest ones, as the goods went out
// oldest first.
namespace zodra::stockdocs {

// One entry of the scanner box: "barcode" counts one piece, "quantity*barcode" that quantity
// ("5*3850001234567", "2,5*PI-015"). Refused: an empty code ("Upišite barkod ili šifru
// artikla."), a quantity that is not a number ("Nije ispravno upisan broj !") or is negative
// ("Količina nesmije biti negativna !").
struct ScannedEntry {
    QString code;
    double quantity = 1;
};
ScannedEntry ParseScannedEntry(const QString& typed);

// The article of a barcode or code; refused with "Artikal sa barkodom ili šifrom " code
// " nije pronađen." when there is none.
int FindCountedArticle(Database& db, const QString& code);

// What one addition did: the article and the working row that took (the first part of) it.
struct CountedAddition {
    int article = 0;
    QString articleName;
    qint64 row = 0;
    double quantity = 0;
};

// Adds the quantity to the article's lines of the count under `sessionCode` as described above,
// inside the caller's transaction. Refused when the article has no line on the count ("Artikal "
// name " nije na inventuri.") or when a counted quantity would leave the input limits.
CountedAddition AddCountedQuantity(Database& db, int sessionCode, int article, double quantity);

// The scanner box of the window: parses, finds the article and adds, in one transaction. A
// refusal writes nothing.
CountedAddition AddScannedEntry(Session& session, const QString& typed);

// The counts being drawn up: one per session code with lines in the working copy.
struct OpenStockCount {
    int sessionCode = 0;
    int warehouse = 0;
    int year = 0;
    int number = 0;
    int lines = 0;
};
// `warehouse` 0: of every warehouse.
std::vector<OpenStockCount> OpenStockCounts(Database& db, int warehouse);

// A file of counted quantities (docs/stock-count-import.md): one "code;quantity" per line,
// UTF-8, ';' or ',' between the two (the separator given, else the one the first line uses).
// Every line is checked before anything is written; all refusals come together in one UserError
// naming their line numbers. Then one transaction adds every quantity to the count under
// `sessionCode`. Returns the number of lines added.
int ImportCountedQuantities(Database& db, int sessionCode, const QByteArray& file,
                            std::optional<QChar> separator = std::nullopt);

}  // namespace zodra::stockdocs
