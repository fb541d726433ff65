#pragma once

// The numeric boxes of an invoice line dialog and how they follow one another. With Q the
// quantity, P the net price before discount, R the discount percent, V the value before
// discount, D the discount amount, PT the price with tax, VT the value with tax and t the tax
// rate, leaving a box recomputes the others from it:
//   from P:  V = Q × P; P' = P − P × R / 100; PT = P' × (1 + t / 100); VT = Q × PT; D = V × R / 100
//   from Q:  the purchase value Q × cost price, then as from P
//   from R:  as from P
//   from V:  P = V / Q, then as from P
//   from D:  R = D / V × 100, then as from P
//   from PT: P' = PT / (1 + t / 100); P = P' / (1 − R / 100), then as from P
//   from VT: PT = VT / Q; V = VT / (1 + t / 100) + D; P = V / Q; R = D / V × 100, then as from P
// Every division whose divisor is 0 leaves the box it would set as it was (a quantity of 0 is
// refused when the line is accepted). Values stay unrounded.
namespace zodra::sales {

struct InvoiceLineBoxes {
    double quantity = 0;
    double price = 0;
    double discountPercent = 0;
    double value = 0;
    double discount = 0;
    double priceWithTax = 0;
    double valueWithTax = 0;
    double taxRate = 0;
    double costPrice = 0;
    double costValue = 0;

    // A fresh proposal: the price, discount and tax of a chosen article or service.
    void Propose(double proposedPrice, double proposedDiscount, double rate, double cost);

    void TypeQuantity(double q);
    void TypePrice(double p);
    void TypeDiscountPercent(double r);
    void TypeValue(double v);
    void TypeDiscount(double d);
    void TypePriceWithTax(double pt);
    void TypeValueWithTax(double vt);

    // The net price after discount.
    double NetPrice() const { return price - price * discountPercent / 100; }
    // The net price after discount is below the purchase price.
    bool BelowCost() const;

private:
    void FromPrice();
};

}  // namespace zodra::sales
