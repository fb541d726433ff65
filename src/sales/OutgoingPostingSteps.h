#pragma once

#include <QString>
#include <optional>
#include <tuple>
#include <vector>

#include "data/BoundRows.h"
#include "sales/InvoiceLines.h"
#include "stock/Lot.h"

namespace zodra {
class Database;
class Session;
}  // namespace zodra

namespace zodra::stock {
class LotTable;
}

namespace zodra::documents {
struct TakenLine;
}

// The steps an outgoing document's posting shares with the invoice's: reading the working copy's
// article lines, the last guard on its numbers, and the price change for lines sold off their
// lot's price. Each runs inside the caller's posting transaction.
namespace zodra::sales::steps {

// An article line of the working copy as posting reads it.
struct WorkingArticle {
    qint64 id = 0;
    int article = 0;
    std::optional<int> lot;
    double quantity = 0;
    double priceBeforeDiscount = 0;
    double value = 0;
};

std::vector<WorkingArticle> WorkingArticles(Database& db, int sessionCode);

// No line without a number where the books need one, none outside the input limits.
void CheckWorkingNumbers(Database& db, int sessionCode);

// One line of the generated price change: a lot repriced from the old to the new price for the
// quantity it held at that moment.
struct Repricing {
    stock::LotKey lot;
    double quantity = 0;
    double oldPrice = 0;
    double newPrice = 0;
};

using LotId = std::tuple<int, int>;  // lot number, article

// Plans the price change line by line (a line without a lot gets the article's default lot);
// `leftAt` receives the price each line leaves its lot at. Writes nothing.
std::vector<Repricing> PlanRepricing(stock::LotTable& table, const InvoiceDraft& draft, int terms,
                                     std::vector<WorkingArticle>& lines,
                                     std::vector<double>& leftAt);

// Writes the planned price change (tied to the invoice when one is given) and puts the lots at
// their new prices. Returns its number.
int WritePriceChange(Session& session, stock::LotTable& lots, const InvoiceDraft& draft,
                     std::optional<int> book, std::optional<int> invoice,
                     const std::vector<Repricing>& repricings);

// What each taken line records in its working row: the lot, the lot's cost, cost value and
// margin, and the price the line left the lot at. Written for every line with one statement
// once the lines are taken.
class TakenRecords {
public:
    TakenRecords();
    void Add(const WorkingArticle& line, const documents::TakenLine& taken, double leftAt);
    void Write(Database& db);

private:
    BoundRows m_rows;
};

QString CustomerName(Database& db, int customer);

// A line of a generated price change: the lot and the price it had before the change.
struct OldPrice {
    stock::LotKey lot;
    double price = 0;
};

// The lines of the price change, in the order its posting wrote them.
std::vector<OldPrice> PriceChangeOldPrices(Database& db, int warehouse, int year, int priceChange);

// The lots go back to the prices they had before the change (the first line of a lot holds its
// price before the change, so the lines are undone last to first).
void RestorePrices(Database& db, const std::vector<OldPrice>& lines);

// Deletes the price change generated with a document that is being deleted: its lots' prices
// are restored, its trade-book entry, lines and header go. Returns the trade-book position it
// had, if any.
std::optional<int> DeleteGeneratedPriceChange(Database& db, int warehouse, int year,
                                              int priceChange);

}  // namespace zodra::sales::steps
