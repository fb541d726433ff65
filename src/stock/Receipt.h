#pragma once

#include <QDate>
#include <optional>

#include "data/StockMethod.h"

namespace zodra::stock {

// A posted goods receipt as the lots see it: its key, date, the stock-keeping method it was
// posted under (stored on it, so that its deletion undoes exactly what its posting did, whatever
// the method is today), its trade-book position and the price change it generated, if any.
struct ReceiptKey {
    int warehouse = 0;
    int year = 0;
    int number = 0;  // BROJ PRIMKE
};

struct ReceiptHeader {
    ReceiptKey key;
    QDate date;
    StockMethod method = StockMethod::Fifo;
    int tradeBookPosition = 0;  // RBR_TK
    int priceChange = 0;        // IZMJENA_CIJENA: generated under the last-price method, else 0
};

// One article line of a receipt.
struct ReceiptLine {
    int article = 0;
    double quantity = 0;
    double cost = 0;          // NABAVNA_CIJENA
    double sellingPrice = 0;  // CIJENA, without tax
    std::optional<double> retailMargin;
};

// All lines of one article of a receipt being deleted, summed.
struct ReceiptArticle {
    int article = 0;
    double quantity = 0;      // Σ KOLICINA
    double costValue = 0;     // Σ KOLICINA × NABAVNA_CIJENA
    double sellingValue = 0;  // Σ KOLICINA × CIJENA
    // Σ (NOVA_CIJENA − STARA_CIJENA) × KOLICINA of the lines of the price change the receipt
    // generated for this article (last-price method), else 0.
    double repricingValue = 0;
};

}  // namespace zodra::stock
