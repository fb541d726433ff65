#pragma once

#include "stock/LotMethod.h"

namespace zodra::stock {

// Average price: one pooled lot per article whose cost and selling price are quantity-weighted
// averages of what came in. Deleting a receipt un-averages both prices; a lot brought exactly
// to zero by the deletion is deleted.
class AverageMethod final : public LotMethod {
public:
    StockMethod Kind() const override { return StockMethod::Average; }
    int LotOfReceipt(int) const override { return kPooledLot; }
    void Receive(LotTable& lots, const ReceiptHeader& receipt, const ReceiptLine& line) override;
    void Remove(LotTable& lots, const ReceiptHeader& receipt,
                const ReceiptArticle& article) override;
};

}  // namespace zodra::stock
