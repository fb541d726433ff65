#pragma once

#include "stock/Receipt.h"

namespace zodra {
class Database;
}

namespace zodra::stock {

// After the cost of a posted receipt's lines of an article changed (a correction of its
// summary data, a transfer that generated it being revalued), the lots and issues follow:
//  - FIFO (the method stored on the receipt): its lot takes the lines' quantity-weighted cost
//    and every line of the cost-following families that took the article from that lot gets
//    it; transfers pass it on to their destination receipts;
//  - pooled methods: RecomputeAverageCost from the receipt's trade-book position.
void ApplyReceiptCostChange(Database& db, const ReceiptKey& receipt, int article);

}  // namespace zodra::stock
