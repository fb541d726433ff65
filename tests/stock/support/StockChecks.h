#pragma once

#include <QString>

#include "stock/Lot.h"

namespace zodra {
class Database;
}

namespace zodra::test {

// The reference for pooled valuation: replays the article card of lot 0 from its first movement
// of the year, in trade-book order, each movement once (receipts and cancellations come in at
// their own cost and are averaged, unless the rounded quantity is 0; every other movement goes
// at the average of its moment), and expects every issue row to carry the replay's cost at its
// moment and the pooled lot to hold the replay's quantity and cost at the end. Written apart
// from the library's recomputation on purpose.
void ExpectPooledLotFollowsReplay(Database& db, int warehouse, int year, int article);

// Lots, card and trade book agree for a warehouse and year: no article whose lots and card
// differ in quantity, cost or selling value; every stored balance of the wholesale book is the
// running sum; and the last balance is the stock at selling value the lots hold.
void ExpectBooksAgree(Database& db, int warehouse, int year);

// The lot as stored; a failed expectation and an empty lot when there is none.
stock::Lot LotOf(Database& db, int warehouse, int year, int lot, int article);
bool LotExists(Database& db, int warehouse, int year, int lot, int article);

// The cost stored on the lines of a document (first line of the article).
double LineCost(Database& db, const QString& lineTable, const QString& numberColumn,
                const QString& articleColumn, int warehouse, int year, int number, int article);

}  // namespace zodra::test
