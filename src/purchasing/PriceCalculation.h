#pragma once

#include <array>

namespace zodra::purchasing {

// How the calculation window was opened: a new line of the working copy ("UPIS"), a new line
// of a posted receipt under correction ("ISPRAVAK"), or a change of an existing line
// ("PROMJENA").
enum class CalculationMode { Entry, Correction, Change };

// The price calculation of one article line of a goods receipt: from the supplier's invoice
// price, through discount, customs, forwarding and other dependent costs, to the purchase cost;
// from the cost with the wholesale margin to the selling price without tax; with the tax rate
// to the price with tax; with the retail margin to the retail price.
//
// Every box holds its exact value (nothing in the chain is rounded). Any box may be typed
// into: the box typed derives what it depends on backwards (a typed discount amount gives the
// discount percent, a typed retail price the retail margin …), then the whole chain is
// recalculated forwards. Every division has a zero guard: a derivation whose base is 0 (no
// quantity, no invoice price, no cost, no price, a rate of 0) gives 0 for what it derives, so
// every box is always in a defined state.
//
// Which of price and margin follows the other: a typed price (P, PT, PTA) keeps the price and
// the margin follows; a typed margin (M%, Mu) keeps the margin and the price follows. For every
// other box the price follows the margin when a new line is calculated, and the price stays
// (the margin follows) when an existing line is changed, so that correcting a cost does not
// move the selling price the goods are already marked with.
class PriceCalculation {
public:
    enum class Box {
        Quantity,                  // Q       "Količina" (given; read-only in the window)
        CurrencyPrice,             // FPv     invoice unit price in the document currency
        CurrencyValue,             // FVv     invoice value in the document currency
        PackagedPrice,             // FPa     currency price including the article's packaging
        PackagedValue,             // FVa
        InvoicePrice,              // FP      "FAKT. CIJ." in the home currency
        InvoiceValue,              // FV
        DiscountPercent,           // R%
        DiscountUnit,              // Ru
        DiscountTotal,             // Rt
        NetPrice,                  // NP      "Netto fak.c."
        NetValue,                  // NV
        CustomsPercent,            // C%
        CustomsUnit,               // Cu
        CustomsTotal,              // Ct
        ForwardingPercent,         // S%      "Špedicija"
        ForwardingUnit,            // Su
        ForwardingTotal,           // St
        OtherCostsPercent,         // Z%      "Zavisni troškovi"
        OtherCostsUnit,            // Zu
        OtherCostsTotal,           // Zt
        CostPrice,                 // NC      "NABAVNA C."
        CostValue,                 // NCV
        MarginPercent,             // M%      wholesale margin on cost
        MarginUnit,                // Mu
        Price,                     // P       "Cijena bez poreza"
        TaxPercent,                // T%
        TaxUnit,                   // Tu
        PriceWithTax,              // PT
        PriceWithTaxAndPackaging,  // PTA
        RetailMarginPercent,       // MM%
        RetailMarginUnit,          // MMu
        RetailPrice,               // MPC
        Count
    };

    // `rate` is the receipt's exchange rate (1 for the home currency; a rate that is not above
    // 0 counts as 1), `packagingPerUnit` the value of the packaging that goes with one unit.
    PriceCalculation(CalculationMode mode, double quantity, double rate = 1.0,
                     double packagingPerUnit = 0.0);

    CalculationMode Mode() const { return m_mode; }
    double Rate() const { return m_rate; }
    double PackagingPerUnit() const { return m_packaging; }

    double Value(Box box) const { return m_values[static_cast<int>(box)]; }

    // Sets boxes without deriving anything (defaults when an article is chosen, the values of
    // a line being changed); call Recalculate() afterwards.
    void Preset(Box box, double value);
    // A box typed by the user: its backward derivation, then the forward chain.
    void Type(Box box, double value);
    // The forward chain from the invoice price in the document currency to the retail price.
    void Recalculate();

    // The values a receipt line stores beyond the boxes: the selling value P × Q and the
    // margin on cost as a line carries it, (P / NC − 1) × 100 (0 without a cost).
    double SellingValue() const;
    double LineMarginPercent() const;

    // Whether the box can be typed into (the quantity cannot).
    static bool Editable(Box box) { return box != Box::Quantity; }

private:
    double& V(Box box) { return m_values[static_cast<int>(box)]; }
    double Get(Box box) const { return Value(box); }
    // The home-currency invoice price was set: its value and the currency boxes follow.
    void FromInvoicePrice();
    void FromCurrencyPrice();
    void Forward(bool priceStays);

    CalculationMode m_mode;
    double m_rate;
    double m_packaging;
    std::array<double, static_cast<int>(Box::Count)> m_values{};
};

// a / b, or 0 when b is 0 (at 10 decimals): the guard every derivation of the calculation and
// of receipt lines divides through.
double SafeDivide(double a, double b);

}  // namespace zodra::purchasing
