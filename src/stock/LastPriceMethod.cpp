#include "stock/LastPriceMethod.h"

#include "data/Database.h"
#include "data/Errors.h"
#include "data/Numbering.h"
#include "data/Rounding.h"
#include "stock/LotTable.h"
#include "stock/Lots.h"
#include "stock/NumberText.h"
#include "stock/TradeBook.h"

namespace zodra::stock {

QString LastPriceMethod::CostMismatchMessage(const QString& name, double lotCost, double lineCost) {
    return QStringLiteral("Nabavna cijena artikla '") + name + QStringLiteral("' na zalihi (") +
           NumberText(lotCost) + QStringLiteral(") nije ista nabavnoj cijeni na stavci (") +
           NumberText(lineCost) +
           QStringLiteral(") a zbroj količina je nula. Nije dozvoljeno knjiženje.");
}

QString LastPriceMethod::PriceMismatchMessage(const QString& name, double lotPrice,
                                              double linePrice) {
    return QStringLiteral("Prodajna cijena artikla '") + name + QStringLiteral("' na zalihi (") +
           NumberText(lotPrice) + QStringLiteral(") nije ista prodajnoj cijeni na stavci (") +
           NumberText(linePrice) +
           QStringLiteral(") a zbroj količina je nula. Nije dozvoljeno knjiženje.");
}

QString LastPriceMethod::BelowZeroMessage(const QString& name) {
    return QStringLiteral("Ovu primku nemožete izbrisati jer bi količina artikla ") + name +
           QStringLiteral(" pala ispod nule.");
}

void LastPriceMethod::AddPriceChangeLine(LotTable& lots, const ReceiptHeader& receipt,
                                         const Lot& lot, double newPrice) {
    Database& db = lots.Db();
    const int w = receipt.key.warehouse;
    const int y = receipt.key.year;
    if (!m_priceChange) {
        // The receipt's own entry is already in the book, so this one follows it.
        PriceChangeHeader header;
        header.warehouse = w;
        header.year = y;
        header.number = numbering::NextDocumentNumber(db, DocumentKind::PriceChange, w, y);
        header.date = receipt.date;
        header.position = tradebook::NextBookNumber(db, tradebook::Book::Wholesale, w, y);
        header.receipt = receipt.key.number;
        m_priceChange = std::make_unique<PriceChangeWriter>(db, header);
        db.Exec(QStringLiteral("UPDATE \"PRIMKE\" SET \"IZMJENA_CIJENA\" = ? WHERE \"SKLADISTE\" = "
                               "? AND \"GODINA\" = ? AND \"BROJ PRIMKE\" = ?"),
                {header.number, w, y, receipt.key.number});
    }
    // The line reprices the pooled lot (BROJ_PRIMKE 0) it names; the receipt that generated it
    // is on the header.
    m_priceChange->AddLine({kPooledLot, lot.key.article, lot.quantity, lot.sellingPrice, newPrice});
}

void LastPriceMethod::Receive(LotTable& lots, const ReceiptHeader& receipt,
                              const ReceiptLine& line) {
    const LotKey key{receipt.key.warehouse, receipt.key.year, kPooledLot, line.article};
    std::optional<Lot> lot = lots.Find(key);
    if (!lot) {
        AddWeighted(lots, key, line);
        return;
    }
    // Stock on hand at another selling price is repriced before the line joins it. A lot whose
    // price was 0 is repriced too: otherwise its stock would gain value that neither the trade
    // book nor the article card ever records.
    if (RoundQuantity(line.sellingPrice) != RoundQuantity(lot->sellingPrice) &&
        !QuantityIsZero(lot->quantity)) {
        AddPriceChangeLine(lots, receipt, *lot, line.sellingPrice);
    }
    const double sum = lot->quantity + line.quantity;
    if (!QuantityIsZero(sum)) {
        lot->costPrice = (lot->quantity * lot->costPrice + line.quantity * line.cost) / sum;
        lot->sellingPrice = line.sellingPrice;
    } else {
        // A line that brings the lot to exactly zero cannot carry a price of its own: the
        // prices must already agree.
        if (RoundQuantity(lot->costPrice) != RoundQuantity(line.cost)) {
            throw UserError(CostMismatchMessage(ArticleName(lots.Db(), line.article),
                                                lot->costPrice, line.cost));
        }
        if (RoundQuantity(lot->sellingPrice) != RoundQuantity(line.sellingPrice)) {
            throw UserError(PriceMismatchMessage(ArticleName(lots.Db(), line.article),
                                                 lot->sellingPrice, line.sellingPrice));
        }
    }
    lot->retailMargin = line.retailMargin;
    lot->quantity = RoundQuantity(sum);
    lot->freeQuantity = RoundQuantity(lot->freeQuantity + line.quantity);
    lots.Update(*lot);
}

void LastPriceMethod::FinishReceipt(LotTable&, const ReceiptHeader&) {
    if (m_priceChange) {
        m_priceChange->Finish();
    }
}

void LastPriceMethod::Remove(LotTable& lots, const ReceiptHeader& receipt,
                             const ReceiptArticle& article) {
    Lot lot = PooledLotToRemoveFrom(lots, receipt, article.article);
    const double rest = lot.quantity - article.quantity;
    const double restRounded = RoundQuantity(rest);
    if (restRounded < 0) {
        throw UserError(BelowZeroMessage(ArticleName(lots.Db(), article.article)));
    }
    if (restRounded == 0) {
        lots.Delete(lot.key);
        return;
    }
    // The repricing of the stock that was on hand goes out with the receipt that caused it.
    lot.costPrice = (lot.quantity * lot.costPrice - article.costValue) / rest;
    lot.sellingPrice =
        (lot.quantity * lot.sellingPrice - article.sellingValue - article.repricingValue) / rest;
    lot.quantity = restRounded;
    lot.freeQuantity = RoundQuantity(lot.freeQuantity - article.quantity);
    lots.Update(lot);
}

}  // namespace zodra::stock
