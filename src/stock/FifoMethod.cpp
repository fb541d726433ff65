#include "stock/FifoMethod.h"

#include "stock/LotTable.h"

namespace zodra::stock {

void FifoMethod::Receive(LotTable& lots, const ReceiptHeader& receipt, const ReceiptLine& line) {
    AddWeighted(lots, {receipt.key.warehouse, receipt.key.year, receipt.key.number, line.article},
                line);
}

void FifoMethod::Remove(LotTable& lots, const ReceiptHeader& receipt,
                        const ReceiptArticle& article) {
    lots.Delete({receipt.key.warehouse, receipt.key.year, receipt.key.number, article.article});
}

}  // namespace zodra::stock
