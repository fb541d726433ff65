#pragma once

#include "stock/LotMethod.h"

namespace zodra::stock {

// FIFO: one lot per receipt and article. A second line of the same article on one receipt adds
// to that receipt's lot with weighted prices, since the lot key holds the article only once.
// Deleting the receipt deletes its lots.
class FifoMethod final : public LotMethod {
public:
    StockMethod Kind() const override { return StockMethod::Fifo; }
    int LotOfReceipt(int receiptNumber) const override { return receiptNumber; }
    void Receive(LotTable& lots, const ReceiptHeader& receipt, const ReceiptLine& line) override;
    void Remove(LotTable& lots, const ReceiptHeader& receipt,
                const ReceiptArticle& article) override;
};

}  // namespace zodra::stock
