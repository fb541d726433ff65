#include <gtest/gtest.h>

#include <cmath>

#include "purchasing/PriceCalculation.h"
#include "purchasing/ReceiptRow.h"

using namespace zodra::purchasing;
using Box = PriceCalculation::Box;

namespace {

// The worked line: invoice price 10.00 for 5 units, 10 % discount, 5 % customs, no
// forwarding, 2 % other costs, 25 % margin, 25 % tax, 10 % retail margin.
PriceCalculation WorkedLine(CalculationMode mode = CalculationMode::Entry, double rate = 1.0,
                            double packaging = 0.0) {
    PriceCalculation c(mode, 5, rate, packaging);
    c.Preset(Box::DiscountPercent, 10);
    c.Preset(Box::CustomsPercent, 5);
    c.Preset(Box::ForwardingPercent, 0);
    c.Preset(Box::OtherCostsPercent, 2);
    c.Preset(Box::MarginPercent, 25);
    c.Preset(Box::TaxPercent, 25);
    c.Preset(Box::RetailMarginPercent, 10);
    c.Type(Box::InvoicePrice, 10.00);
    return c;
}

// Every box holds a finite number, whatever was typed.
void ExpectDefined(const PriceCalculation& c) {
    for (int b = 0; b < static_cast<int>(Box::Count); ++b) {
        EXPECT_TRUE(std::isfinite(c.Value(static_cast<Box>(b)))) << "box " << b;
    }
}

// The boxes given hold exactly the values given.
void ExpectBoxes(const PriceCalculation& c, std::initializer_list<std::pair<Box, double>> boxes) {
    for (const auto& [box, value] : boxes) {
        EXPECT_DOUBLE_EQ(c.Value(box), value) << "box " << static_cast<int>(box);
    }
}

}  // namespace

TEST(PriceCalculation, TheWorkedLineForwardsToTheRetailPriceUnrounded) {
    const PriceCalculation c = WorkedLine();
    ExpectBoxes(c, {{Box::InvoiceValue, 50.00},
                    {Box::CurrencyPrice, 10.00},
                    {Box::DiscountUnit, 1.00},
                    {Box::DiscountTotal, 5.00},
                    {Box::NetPrice, 9.00},
                    {Box::NetValue, 45.00},
                    {Box::CustomsUnit, 0.45},
                    {Box::CustomsTotal, 2.25},
                    {Box::ForwardingUnit, 0.0},
                    {Box::OtherCostsUnit, 0.18},
                    {Box::OtherCostsTotal, 0.90},
                    {Box::CostPrice, 9.63},
                    {Box::CostValue, 48.15},
                    {Box::MarginUnit, 2.4075},
                    {Box::Price, 12.0375},
                    {Box::TaxUnit, 3.009375},
                    {Box::PriceWithTax, 15.046875},
                    {Box::PriceWithTaxAndPackaging, 15.046875},
                    {Box::RetailMarginUnit, 1.20375},
                    {Box::RetailPrice, 16.5515625}});
    // The typed margin is kept as typed, not recomputed from the price it gave.
    EXPECT_EQ(c.Value(Box::MarginPercent), 25.0);
    // The line it writes: value P × Q, margin on cost (P / NC − 1) × 100.
    const ReceiptRow row = ReceiptRow::FromCalculation(7, c, 10.0);
    EXPECT_DOUBLE_EQ(row.value, 60.1875);
    EXPECT_DOUBLE_EQ(row.marginAmount, 60.1875 - 48.15);
    EXPECT_NEAR(row.marginPercent, 25.0, 1e-12);
    EXPECT_DOUBLE_EQ(row.costValue, row.invoiceValue - row.discountAmount + row.customsAmount +
                                        row.forwardingAmount + row.otherAmount);
}

TEST(PriceCalculation, TypedPricesDeriveTheMarginsBackwards) {
    PriceCalculation c = WorkedLine();
    c.Type(Box::Price, 12.00);
    EXPECT_EQ(c.Value(Box::Price), 12.00);  // the typed price stays exactly
    EXPECT_NEAR(c.Value(Box::MarginPercent), 24.610591900311526, 1e-12);
    EXPECT_NEAR(c.Value(Box::MarginUnit), 2.37, 1e-12);
    EXPECT_DOUBLE_EQ(c.Value(Box::PriceWithTax), 15.00);

    c = WorkedLine();
    c.Type(Box::RetailPrice, 16.50);
    EXPECT_NEAR(c.Value(Box::RetailMarginUnit), 1.1625, 1e-12);
    EXPECT_NEAR(c.Value(Box::RetailMarginPercent), 9.6573208722741433, 1e-12);
    EXPECT_NEAR(c.Value(Box::RetailPrice), 16.50, 1e-12);
    EXPECT_DOUBLE_EQ(c.Value(Box::Price), 12.0375);  // the retail price moves only its margin

    // A price with tax typed over an invoice price: the price and margin follow it.
    c = WorkedLine();
    c.Type(Box::PriceWithTax, 15.00);
    EXPECT_NEAR(c.Value(Box::Price), 12.00, 1e-12);
    EXPECT_NEAR(c.Value(Box::TaxUnit), 3.00, 1e-12);
    EXPECT_NEAR(c.Value(Box::MarginUnit), 12.00 - 9.63, 1e-12);
    EXPECT_NEAR(c.Value(Box::MarginPercent), 24.610591900311526, 1e-12);
}

TEST(PriceCalculation, WithoutAnInvoicePriceTheTypedPriceGivesIt) {
    PriceCalculation c(CalculationMode::Entry, 4);
    c.Preset(Box::TaxPercent, 25);
    c.Preset(Box::MarginPercent, 25);
    c.Recalculate();
    c.Type(Box::PriceWithTax, 12.50);
    ExpectBoxes(c, {{Box::InvoicePrice, 8.00},
                    {Box::InvoiceValue, 32.00},
                    {Box::CurrencyPrice, 8.00},
                    {Box::Price, 10.00},
                    {Box::PriceWithTax, 12.50}});

    PriceCalculation p(CalculationMode::Entry, 2);
    p.Preset(Box::MarginPercent, 20);
    p.Recalculate();
    p.Type(Box::Price, 6.00);
    ExpectBoxes(p, {{Box::InvoicePrice, 5.00}, {Box::CostPrice, 5.00}, {Box::Price, 6.00}});
}

TEST(PriceCalculation, ForeignCurrencyAndPackagingBoxes) {
    PriceCalculation c(CalculationMode::Entry, 10, 7.5, 0.40);
    c.Type(Box::CurrencyPrice, 2.00);
    ExpectBoxes(c, {{Box::InvoicePrice, 15.00},
                    {Box::CurrencyValue, 20.00},
                    {Box::InvoiceValue, 150.00},
                    {Box::PackagedPrice, 2.40},
                    {Box::PackagedValue, 24.00}});

    // A home-currency price typed is divided back by the rate.
    c.Type(Box::InvoicePrice, 30.00);
    ExpectBoxes(c, {{Box::CurrencyPrice, 4.00}, {Box::CurrencyValue, 40.00}});
    c.Type(Box::InvoiceValue, 450.00);
    ExpectBoxes(c, {{Box::InvoicePrice, 45.00}, {Box::CurrencyPrice, 6.00}});
    c.Type(Box::CurrencyValue, 50.00);
    ExpectBoxes(c, {{Box::CurrencyPrice, 5.00}, {Box::InvoicePrice, 37.50}});

    // The price with packaging: the packaging comes off before the currency price.
    c.Type(Box::PackagedPrice, 3.40);
    ExpectBoxes(
        c, {{Box::CurrencyPrice, 3.00}, {Box::CurrencyValue, 30.00}, {Box::InvoicePrice, 22.50}});
    c.Type(Box::PackagedValue, 44.00);
    ExpectBoxes(
        c, {{Box::PackagedPrice, 4.40}, {Box::CurrencyPrice, 4.00}, {Box::CurrencyValue, 40.00}});
    c.Preset(Box::TaxPercent, 25);
    c.Type(Box::MarginPercent, 0);
    ExpectBoxes(c, {{Box::PriceWithTax, 37.50}, {Box::PriceWithTaxAndPackaging, 37.90}});
    // Price with tax and packaging typed: the packaging comes off first.
    c.Type(Box::PriceWithTaxAndPackaging, 50.40);
    ExpectBoxes(c, {{Box::PriceWithTax, 50.00}, {Box::Price, 40.00}});
}

TEST(PriceCalculation, AmountsTypedGiveTheirPercents) {
    PriceCalculation c = WorkedLine();
    c.Type(Box::DiscountUnit, 2.00);  // of an invoice price of 10
    ExpectBoxes(c,
                {{Box::DiscountPercent, 20.0}, {Box::DiscountTotal, 10.00}, {Box::NetPrice, 8.00}});
    c.Type(Box::DiscountTotal, 2.50);  // of an invoice value of 50
    ExpectBoxes(c, {{Box::DiscountPercent, 5.0}, {Box::NetPrice, 9.50}});

    // Customs, forwarding and other costs against the net price and net value.
    c.Type(Box::CustomsUnit, 0.95);
    EXPECT_DOUBLE_EQ(c.Value(Box::CustomsPercent), 10.0);
    c.Type(Box::ForwardingTotal, 4.75);  // of a net value of 47.50
    ExpectBoxes(c, {{Box::ForwardingPercent, 10.0}, {Box::ForwardingUnit, 0.95}});
    c.Type(Box::OtherCostsUnit, 0.19);
    EXPECT_DOUBLE_EQ(c.Value(Box::OtherCostsPercent), 2.0);
    c.Type(Box::OtherCostsTotal, 9.50);
    EXPECT_DOUBLE_EQ(c.Value(Box::OtherCostsPercent), 20.0);
    c.Type(Box::CustomsTotal, 0);
    c.Type(Box::ForwardingUnit, 0);
    EXPECT_DOUBLE_EQ(c.Value(Box::CostPrice), 9.50 * 1.2);

    // The margin typed as an amount, then as a percent; the price follows both.
    c.Type(Box::MarginUnit, 2.85);  // of a cost of 11.40
    ExpectBoxes(c, {{Box::MarginPercent, 25.0}, {Box::Price, 14.25}});
    c.Type(Box::MarginPercent, 50);
    ExpectBoxes(c, {{Box::MarginUnit, 5.70}, {Box::Price, 17.10}});

    // Retail margin as an amount; tax as an amount.
    c.Type(Box::RetailMarginUnit, 1.71);
    EXPECT_DOUBLE_EQ(c.Value(Box::RetailMarginPercent), 10.0);
    c.Type(Box::TaxUnit, 2.223);
    ExpectBoxes(c, {{Box::TaxPercent, 13.0}, {Box::RetailPrice, (17.10 + 1.71) * 1.13}});
}

TEST(PriceCalculation, NetAndCostTypedDeriveDiscountAndCosts) {
    PriceCalculation c = WorkedLine();
    c.Type(Box::NetPrice, 8.50);
    EXPECT_DOUBLE_EQ(c.Value(Box::DiscountPercent), 15.0);
    c.Type(Box::NetValue, 40.00);
    ExpectBoxes(c, {{Box::NetPrice, 8.00}, {Box::DiscountPercent, 20.0}});
    // Cost typed: the other dependent costs take the difference.
    c.Type(Box::CostPrice, 9.00);
    ExpectBoxes(c, {{Box::CostPrice, 9.00}, {Box::OtherCostsUnit, 9.00 - 8.00 - 0.40}});
    c.Type(Box::CostValue, 50.00);
    EXPECT_DOUBLE_EQ(c.Value(Box::CostPrice), 10.00);

    // Without an invoice price the net price and the cost give it.
    PriceCalculation n(CalculationMode::Entry, 2);
    n.Preset(Box::DiscountPercent, 10);
    n.Recalculate();
    n.Type(Box::NetPrice, 9.00);
    ExpectBoxes(n, {{Box::InvoicePrice, 9.00}, {Box::DiscountPercent, 0.0}});
    PriceCalculation k(CalculationMode::Entry, 2);
    k.Preset(Box::DiscountPercent, 20);
    k.Preset(Box::CustomsPercent, 25);
    k.Recalculate();
    k.Type(Box::CostPrice, 10.00);
    ExpectBoxes(k, {{Box::InvoicePrice, 10.00}, {Box::CostPrice, 10.00}});
}

TEST(PriceCalculation, ChangingALineKeepsItsPriceUnlessAMarginIsTyped) {
    PriceCalculation c = WorkedLine(CalculationMode::Change);
    c.Preset(Box::Price, 12.00);
    c.Recalculate();
    EXPECT_EQ(c.Value(Box::Price), 12.00);
    EXPECT_NEAR(c.Value(Box::MarginPercent), 24.610591900311526, 1e-12);
    // A cost changes: the price stays, the margin follows.
    c.Type(Box::CustomsPercent, 0);
    EXPECT_EQ(c.Value(Box::Price), 12.00);
    EXPECT_DOUBLE_EQ(c.Value(Box::CostPrice), 9.18);
    EXPECT_NEAR(c.Value(Box::MarginPercent), (12.00 - 9.18) * 100 / 9.18, 1e-12);
    // A margin typed moves the price.
    c.Type(Box::MarginPercent, 10);
    EXPECT_NEAR(c.Value(Box::Price), 10.098, 1e-12);
    // In a new line the same cost change moves the price with the margin.
    PriceCalculation e = WorkedLine();
    e.Type(Box::CustomsPercent, 0);
    EXPECT_DOUBLE_EQ(e.Value(Box::Price), 9.18 * 1.25);
}

TEST(PriceCalculation, ZeroBasesLeaveEveryBoxDefined) {
    // No quantity: values typed give no unit price.
    PriceCalculation q(CalculationMode::Entry, 0);
    q.Type(Box::InvoiceValue, 100);
    EXPECT_EQ(q.Value(Box::InvoicePrice), 0.0);
    q.Type(Box::PackagedValue, 10);
    q.Type(Box::CurrencyValue, 10);
    q.Type(Box::NetValue, 10);
    q.Type(Box::CostValue, 10);
    ExpectDefined(q);

    // No invoice price: amounts typed give 0 %.
    PriceCalculation z(CalculationMode::Entry, 3);
    z.Type(Box::DiscountUnit, 1);
    z.Type(Box::DiscountTotal, 1);
    z.Type(Box::CustomsUnit, 1);
    z.Type(Box::ForwardingTotal, 1);
    z.Type(Box::MarginUnit, 1);
    EXPECT_EQ(z.Value(Box::DiscountPercent), 0.0);
    EXPECT_EQ(z.Value(Box::CustomsPercent), 0.0);
    EXPECT_EQ(z.Value(Box::ForwardingPercent), 0.0);
    EXPECT_EQ(z.Value(Box::MarginPercent), 0.0);
    // No price: retail margin and tax amounts give 0 %.
    z.Type(Box::RetailMarginUnit, 1);
    z.Type(Box::TaxUnit, 1);
    z.Type(Box::RetailPrice, 5);
    EXPECT_EQ(z.Value(Box::RetailMarginPercent), 0.0);
    EXPECT_EQ(z.Value(Box::TaxPercent), 0.0);
    ExpectDefined(z);

    // A margin of −100 % and a tax of −100 % divide by zero when a price gives the invoice
    // price: nothing is derived.
    PriceCalculation m(CalculationMode::Entry, 1);
    m.Preset(Box::MarginPercent, -100);
    m.Preset(Box::TaxPercent, -100);
    m.Recalculate();
    m.Type(Box::Price, 5);
    m.Type(Box::PriceWithTax, 5);
    EXPECT_EQ(m.Value(Box::InvoicePrice), 0.0);
    ExpectDefined(m);

    // A price changed on a line without a cost: the margin is 0, not infinite.
    PriceCalculation p(CalculationMode::Change, 1);
    p.Preset(Box::Price, 5);
    p.Recalculate();
    EXPECT_EQ(p.Value(Box::MarginPercent), 0.0);
    EXPECT_EQ(p.LineMarginPercent(), 0.0);
    ExpectDefined(p);

    // A rate of 0 counts as 1.
    PriceCalculation r(CalculationMode::Entry, 2, 0.0);
    r.Type(Box::InvoicePrice, 3);
    EXPECT_DOUBLE_EQ(r.Value(Box::CurrencyPrice), 3.0);
    ExpectDefined(r);
}

TEST(ReceiptRow, MergingARepeatedArticleAddsAmountsAndDerivesPrices) {
    ReceiptRow a = ReceiptRow::FromCalculation(3, WorkedLine(), 10.0);
    PriceCalculation second(CalculationMode::Entry, 5);
    second.Preset(Box::MarginPercent, 50);
    second.Type(Box::InvoicePrice, 12.00);
    const ReceiptRow b = ReceiptRow::FromCalculation(3, second, 15.0);
    a.Merge(b);
    EXPECT_DOUBLE_EQ(a.quantity, 10);
    EXPECT_DOUBLE_EQ(a.invoiceValue, 110.00);
    EXPECT_DOUBLE_EQ(a.invoicePrice, 11.00);
    EXPECT_DOUBLE_EQ(a.discountAmount, 5.00);
    EXPECT_NEAR(a.discountPercent, 5.0 / 110.0 * 100, 1e-12);
    EXPECT_DOUBLE_EQ(a.netValue, 105.00);
    EXPECT_DOUBLE_EQ(a.netPrice, 10.50);
    EXPECT_NEAR(a.customsPercent, 2.25 / 105.0 * 100, 1e-12);
    EXPECT_DOUBLE_EQ(a.costValue, 48.15 + 60.00);
    EXPECT_DOUBLE_EQ(a.costPrice, 10.815);
    EXPECT_DOUBLE_EQ(a.value, 60.1875 + 90.00);
    EXPECT_DOUBLE_EQ(a.price, 15.01875);
    EXPECT_DOUBLE_EQ(a.marginAmount, a.value - a.costValue);
    EXPECT_NEAR(a.marginPercent, (a.value - a.costValue) / a.costValue * 100, 1e-12);
    EXPECT_EQ(a.retailMargin, std::optional<double>(15.0));

    // A merge down to quantity 0 leaves prices at 0 instead of dividing by it.
    ReceiptRow minus = b;
    minus.quantity = -10;
    minus.invoiceValue = -a.invoiceValue;
    minus.netValue = -a.netValue;
    minus.costValue = -a.costValue;
    minus.value = -a.value;
    minus.discountAmount = -a.discountAmount;
    minus.customsAmount = -a.customsAmount;
    minus.otherAmount = -a.otherAmount;
    a.Merge(minus);
    EXPECT_EQ(a.quantity, 0.0);
    EXPECT_EQ(a.invoicePrice, 0.0);
    EXPECT_EQ(a.costPrice, 0.0);
    EXPECT_EQ(a.marginPercent, 0.0);
}
