#pragma once

#include <QString>
#include <optional>
#include <vector>

namespace zodra {
class Database;
class Session;
}  // namespace zodra

namespace zodra::stock {

// The consistency check between the lots and the article card: for a warehouse and year, the
// stock at cost and at selling value held in the lots must equal what the card's movements add
// up to. A posting or deletion that would leave a difference of more than 0.004 is refused
// with "S ovom promjenom pojavila bi se razlika stanja skladišta i kartica artikala u nabavnoj
// vrijednosti." (or "… u prodajnoj vrijednosti."), which rolls it back.
//
// Runs only when the workstation's "Debug Mode" is on (the session carries the setting); call
// it at the end of every posting and deletion, before the commit. The session's warehouse and
// year are checked, and any further warehouses the document touched (a transfer's
// destination).
void CheckStockAgainstCard(Session& session, const std::vector<int>& alsoWarehouses = {});
// The check itself, whatever the setting.
void CheckStockAgainstCard(Database& db, int warehouse, int year);

QString CostDifferenceMessage();
QString SellingDifferenceMessage();

// One article whose lots and card disagree, for diagnostics (zodractl stockcheck).
struct StockDifference {
    int warehouse = 0;
    int year = 0;
    int article = 0;
    double lotQuantity = 0;
    double cardQuantity = 0;
    double lotCostValue = 0;
    double cardCostValue = 0;
    double lotSellingValue = 0;
    double cardSellingValue = 0;
};

// Articles whose quantity differs (at 10 decimals) or whose cost or selling value differs by
// more than 0.004, in all warehouses and years or in the ones given.
std::vector<StockDifference> StockDifferences(Database& db, std::optional<int> warehouse,
                                              std::optional<int> year);

// A stored number that cannot be: none (NULL) where the books need one, infinite or not a
// number. Every balance computed from such a value is meaningless (an infinite lot makes the
// lots and the card "agree" at infinity), so it is a fault of its own, found per row.
struct BrokenNumber {
    QString table;   // the table or view: STAVKE_PRIMKI, NABAVE, KARTICA_ARTIKLA, a trade book
    QString row;     // the row in words: "primka 3, stavka 2", "nabava 3, artikal 7", "RBR 5"
    QString column;  // the column as stored
    QString value;   // "NULL", "inf", "-inf" or "nan"
};

// The broken numbers of the receipt lines, lots, article card and both trade books of a
// warehouse and year.
std::vector<BrokenNumber> BrokenNumbers(Database& db, int warehouse, int year);

}  // namespace zodra::stock
