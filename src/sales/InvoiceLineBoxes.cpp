#include "sales/InvoiceLineBoxes.h"

#include "data/Rounding.h"

namespace zodra::sales {

void InvoiceLineBoxes::Propose(double proposedPrice, double proposedDiscount, double rate,
                               double cost) {
    price = proposedPrice;
    discountPercent = proposedDiscount;
    taxRate = rate;
    costPrice = cost;
    costValue = quantity * costPrice;
    FromPrice();
}

void InvoiceLineBoxes::FromPrice() {
    value = quantity * price;
    priceWithTax = NetPrice() * (1 + taxRate / 100);
    valueWithTax = quantity * priceWithTax;
    discount = value * discountPercent / 100;
}

void InvoiceLineBoxes::TypeQuantity(double q) {
    quantity = q;
    costValue = quantity * costPrice;
    FromPrice();
}

void InvoiceLineBoxes::TypePrice(double p) {
    price = p;
    FromPrice();
}

void InvoiceLineBoxes::TypeDiscountPercent(double r) {
    discountPercent = r;
    FromPrice();
}

void InvoiceLineBoxes::TypeValue(double v) {
    if (quantity != 0) {
        price = v / quantity;
    }
    FromPrice();
}

void InvoiceLineBoxes::TypeDiscount(double d) {
    if (value != 0) {
        discountPercent = d / value * 100;
    }
    FromPrice();
}

void InvoiceLineBoxes::TypePriceWithTax(double pt) {
    const double net = pt / (1 + taxRate / 100);
    if (discountPercent != 100) {
        price = net / (1 - discountPercent / 100);
    }
    FromPrice();
}

void InvoiceLineBoxes::TypeValueWithTax(double vt) {
    if (quantity == 0) {
        return;
    }
    const double kept = discount;
    const double before = vt / (1 + taxRate / 100) + kept;
    price = before / quantity;
    if (before != 0) {
        discountPercent = kept / before * 100;
    }
    FromPrice();
}

bool InvoiceLineBoxes::BelowCost() const {
    return RoundMoney(NetPrice()) < RoundMoney(costPrice);
}

}  // namespace zodra::sales
