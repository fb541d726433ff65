#pragma once

#include <memory>

#include "data/StockMethod.h"
#include "stock/Lot.h"
#include "stock/Receipt.h"

namespace zodra::stock {

class LotTable;

// One stock-keeping method: how a receipt's lines enter lots, how a deleted receipt leaves
// them, and what an issue costs. Every document calls the same operations whatever the method;
// the method in force when a receipt was posted is stored on it and chooses the strategy for
// its deletion.
//
//  - FIFO: one lot per receipt and article (lot number = receipt number); an issue takes the
//    cost of the lot it is taken from, the oldest with stock unless the user chooses.
//  - Average price: one pooled lot per article (lot 0) whose cost and selling price are moving
//    quantity-weighted averages.
//  - Last price: one pooled lot whose cost is the moving average and whose selling price is the
//    last receipt's; stock on hand repriced by a receipt gets a generated price change.
class LotMethod {
public:
    virtual ~LotMethod() = default;

    virtual StockMethod Kind() const = 0;

    // The lot a receipt's lines go into.
    virtual int LotOfReceipt(int receiptNumber) const = 0;

    // Receipt in: one article line of a receipt being posted enters its lot.
    virtual void Receive(LotTable& lots, const ReceiptHeader& receipt, const ReceiptLine& line) = 0;
    // After the receipt's last line.
    virtual void FinishReceipt(LotTable& lots, const ReceiptHeader& receipt);

    // Receipt out: all lines of one article of a receipt being deleted leave its lot.
    virtual void Remove(LotTable& lots, const ReceiptHeader& receipt,
                        const ReceiptArticle& article) = 0;

    // Issue cost: the unit cost an issue records is the cost of the lot it takes from (FIFO:
    // that receipt's cost; pooled: the moving average at that moment).
    static double IssueCost(const Lot& lot) { return lot.costPrice; }

protected:
    // A line added into a lot: a new lot takes the line as it is; an existing one grows by the
    // quantity and its prices become quantity-weighted averages (unchanged when the sum is 0).
    static void AddWeighted(LotTable& lots, const LotKey& key, const ReceiptLine& line);
    // The pooled lot of a receipt being deleted must exist; else the deletion is refused with
    // the missing-lot message.
    static Lot PooledLotToRemoveFrom(LotTable& lots, const ReceiptHeader& receipt, int article);
};

// A fresh strategy for one posting or deletion (the last-price method keeps the price change it
// generates while the receipt's lines are posted).
std::unique_ptr<LotMethod> MakeLotMethod(StockMethod method);

}  // namespace zodra::stock
