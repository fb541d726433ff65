#pragma once

#include <optional>

namespace zodra::stock {

// A purchase lot is a row of NABAVE: the stock of one article in one warehouse and business
// year that came in by one receipt (FIFO: BROJ_PRIMKE = the receipt number) or by all receipts
// together (the pooled methods: BROJ_PRIMKE = 0). It carries the quantity on stock, the
// quantity still free while documents are being drawn up, and the unit prices the goods of the
// lot go out at.
struct LotKey {
    int warehouse = 0;
    int year = 0;
    int lot = 0;  // BROJ_PRIMKE
    int article = 0;
};

struct Lot {
    LotKey key;
    double quantity = 0;                 // KOLICINA: posted documents only
    double freeQuantity = 0;             // KOLICINA_PRIVREMENO: less what open working copies hold
    double costPrice = 0;                // NABAVNA CIJENA
    double sellingPrice = 0;             // VELEPRODAJNA CIJENA, without tax
    std::optional<double> retailMargin;  // MALOPRODAJNA_MARZA, percent
};

// The lot number of the pooled lot of an article.
constexpr int kPooledLot = 0;

}  // namespace zodra::stock
