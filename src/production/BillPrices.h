#pragma once

#include <QString>

namespace zodra {
class Session;
}

// The prices a bill of materials window and the product entry window show for a product of
// the session's warehouse and year.
namespace zodra::production {

struct BillPrices {
    // One unit's parts at their cost price: a fixed lot's own price, otherwise the average over
    // the lots with stock, otherwise the price of the part's last receipt (0 without one).
    double materialPrice = 0;
    double sellingPrice = 0;         // the product's wholesale price without tax
    double sellingPriceWithTax = 0;  // with the tax of its group
    double taxRate = 0;              // percent
};
BillPrices PricesOf(Session& session, int bill);

// The selling price with and without the tax rate (percent), as the two boxes convert.
double WithTax(double price, double taxRate);
double WithoutTax(double priceWithTax, double taxRate);

// A bill's fixed lot for a part must hold that part in the session's warehouse and year:
// "Primka broj " n " nema artikla " name " na ovom skladištu." Lot 0 (any lot) passes.
void CheckPartLot(Session& session, int article, int lot);

}  // namespace zodra::production
