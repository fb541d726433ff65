#pragma once

namespace zodra {
class Database;
}

namespace zodra::stock {

// Rebuilds the pooled lot (lot 0) of an article in a warehouse and year, and the cost of every
// issue line taken from it at or after a trade-book position, after something in the past
// changed: a document deleted or cancelled, a receipt corrected.
//
// The article's card is replayed from its first movement of the year in trade-book order
// (RBR_TK), each movement exactly once, by the same rules posting applies:
//  - a pooled receipt line brings goods in at its own cost; the cost becomes the quantity-
//    weighted average of the stock and the line, unless the rounded sum is 0, when it stays;
//  - a cancellation (storno of an invoice or a service consumption) brings goods back at the
//    cost they went out at, averaged the same way;
//  - every other movement of the families that follow the pooled average (see CostFamilies)
//    goes out (return notes and stock-count surpluses: in) at the average of that moment, and
//    lines at or after the position that carry another cost are rewritten with it;
//  - quantities are rounded to 10 decimals after every movement, as the lot stores them.
// Movements before the position are applied as they are stored and not rewritten, so the state
// at the first affected receipt is what the replay reaches there, not the card's sums to which
// the issues in between would be added a second time. Finally the pooled lot gets the replay's
// quantity and cost (its free quantity moves by the same amount as its quantity, so
// reservations stay). Transfers whose cost changed pass it on to their destination receipt,
// whose own lots and issues follow in turn.
//
// Nothing changes when no pooled receipt and no cancellation of the article lies at or after
// the position: issues alone never move the average. Runs in the caller's transaction (or its
// own). Returns the number of documents whose lines got another cost.
int RecomputeAverageCost(Database& db, int warehouse, int year, int article, int position);

}  // namespace zodra::stock
