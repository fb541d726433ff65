#include "stock/AverageMethod.h"

#include "data/Rounding.h"
#include "stock/LotTable.h"

namespace zodra::stock {

void AverageMethod::Receive(LotTable& lots, const ReceiptHeader& receipt, const ReceiptLine& line) {
    AddWeighted(lots, {receipt.key.warehouse, receipt.key.year, kPooledLot, line.article}, line);
}

void AverageMethod::Remove(LotTable& lots, const ReceiptHeader& receipt,
                           const ReceiptArticle& article) {
    Lot lot = PooledLotToRemoveFrom(lots, receipt, article.article);
    const double rest = lot.quantity - article.quantity;
    if (QuantityIsZero(rest)) {
        lots.Delete(lot.key);
        return;
    }
    lot.costPrice = (lot.quantity * lot.costPrice - article.costValue) / rest;
    lot.sellingPrice = (lot.quantity * lot.sellingPrice - article.sellingValue) / rest;
    lot.quantity = RoundQuantity(rest);
    lot.freeQuantity = RoundQuantity(lot.freeQuantity - article.quantity);
    lots.Update(lot);
}

}  // namespace zodra::stock
