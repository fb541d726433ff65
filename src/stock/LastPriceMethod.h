#pragma once

#include <QString>
#include <memory>

#include "stock/LotMethod.h"
#include "stock/PriceChangeWriter.h"

namespace zodra::stock {

// Last price: one pooled lot per article with the moving-average cost and the selling price of
// the last receipt. When a receipt brings a new selling price while the lot holds stock, the
// stock on hand is repriced by a price change generated with the receipt (one per receipt, one
// line per repriced article, KOLICINA = the stock before the line), which gets a trade-book
// entry of its own after the receipt's.
class LastPriceMethod final : public LotMethod {
public:
    StockMethod Kind() const override { return StockMethod::LastPrice; }
    int LotOfReceipt(int) const override { return kPooledLot; }
    void Receive(LotTable& lots, const ReceiptHeader& receipt, const ReceiptLine& line) override;
    void FinishReceipt(LotTable& lots, const ReceiptHeader& receipt) override;
    void Remove(LotTable& lots, const ReceiptHeader& receipt,
                const ReceiptArticle& article) override;

    static QString CostMismatchMessage(const QString& name, double lotCost, double lineCost);
    static QString PriceMismatchMessage(const QString& name, double lotPrice, double linePrice);
    static QString BelowZeroMessage(const QString& name);

private:
    void AddPriceChangeLine(LotTable& lots, const ReceiptHeader& receipt, const Lot& lot,
                            double newPrice);

    // The generated price change, from the first repriced line on.
    std::unique_ptr<PriceChangeWriter> m_priceChange;
};

}  // namespace zodra::stock
