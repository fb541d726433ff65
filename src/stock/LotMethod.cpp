#include "stock/LotMethod.h"

#include "data/Errors.h"
#include "data/Rounding.h"
#include "stock/AverageMethod.h"
#include "stock/FifoMethod.h"
#include "stock/LastPriceMethod.h"
#include "stock/LotTable.h"
#include "stock/Lots.h"

namespace zodra::stock {

void LotMethod::FinishReceipt(LotTable&, const ReceiptHeader&) {}

void LotMethod::AddWeighted(LotTable& lots, const LotKey& key, const ReceiptLine& line) {
    std::optional<Lot> lot = lots.Find(key);
    if (!lot) {
        Lot added;
        added.key = key;
        added.quantity = RoundQuantity(line.quantity);
        added.freeQuantity = added.quantity;
        added.costPrice = line.cost;
        added.sellingPrice = line.sellingPrice;
        added.retailMargin = line.retailMargin;
        lots.Insert(added);
        return;
    }
    const double q = lot->quantity;
    const double sum = q + line.quantity;
    if (!QuantityIsZero(sum)) {
        lot->costPrice = (q * lot->costPrice + line.quantity * line.cost) / sum;
        lot->sellingPrice = (q * lot->sellingPrice + line.quantity * line.sellingPrice) / sum;
    }
    lot->retailMargin = line.retailMargin;
    lot->quantity = RoundQuantity(sum);
    lot->freeQuantity = RoundQuantity(lot->freeQuantity + line.quantity);
    lots.Update(*lot);
}

Lot LotMethod::PooledLotToRemoveFrom(LotTable& lots, const ReceiptHeader& receipt, int article) {
    std::optional<Lot> lot =
        lots.Find({receipt.key.warehouse, receipt.key.year, kPooledLot, article});
    if (!lot) {
        throw UserError(MissingLotMessage(ArticleName(lots.Db(), article)));
    }
    return *lot;
}

std::unique_ptr<LotMethod> MakeLotMethod(StockMethod method) {
    switch (method) {
        case StockMethod::Average:
            return std::make_unique<AverageMethod>();
        case StockMethod::LastPrice:
            return std::make_unique<LastPriceMethod>();
        case StockMethod::Fifo:
            break;
    }
    return std::make_unique<FifoMethod>();
}

}  // namespace zodra::stock
