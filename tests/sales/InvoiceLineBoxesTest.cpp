// The boxes of the invoice line dialogs: whichever box is typed, the others follow, and a box
// that would divide by zero leaves what it would set as it was.
#include <gtest/gtest.h>

#include <cmath>

#include "sales/InvoiceEntry.h"
#include "sales/InvoiceLineBoxes.h"

using zodra::sales::InvoiceLineBoxes;

namespace {

InvoiceLineBoxes TenAtTwelve() {
    InvoiceLineBoxes b;
    b.TypeQuantity(10);
    b.Propose(12, 10, 25, 8);  // P 12, R 10 %, t 25 %, cost 8
    return b;
}

}  // namespace

TEST(InvoiceLineBoxesTest, EveryBoxGivesTheOthers) {
    InvoiceLineBoxes b = TenAtTwelve();
    EXPECT_DOUBLE_EQ(b.value, 120);
    EXPECT_DOUBLE_EQ(b.discount, 12);
    EXPECT_DOUBLE_EQ(b.priceWithTax, 13.5);  // 10.80 × 1.25
    EXPECT_DOUBLE_EQ(b.valueWithTax, 135);
    EXPECT_DOUBLE_EQ(b.costValue, 80);

    b.TypeValue(150);  // P = 15
    EXPECT_DOUBLE_EQ(b.price, 15);
    EXPECT_DOUBLE_EQ(b.discount, 15);

    b.TypeDiscount(30);  // R = 30 / 150 × 100
    EXPECT_DOUBLE_EQ(b.discountPercent, 20);
    EXPECT_DOUBLE_EQ(b.priceWithTax, 15);  // 12 × 1.25

    b.TypePriceWithTax(18.75);  // P' = 15, P = 15 / 0.8
    EXPECT_DOUBLE_EQ(b.price, 18.75);
    EXPECT_DOUBLE_EQ(b.value, 187.5);

    // From the value with tax the discount amount is kept: V = 250 / 1.25 + D.
    const double kept = b.discount;
    b.TypeValueWithTax(250);
    EXPECT_DOUBLE_EQ(b.value, 200 + kept);
    EXPECT_DOUBLE_EQ(b.discount, kept);
    EXPECT_DOUBLE_EQ(b.valueWithTax, 250);
}

TEST(InvoiceLineBoxesTest, QuantityMovesTheValuesAndTheCostNotThePrices) {
    InvoiceLineBoxes b = TenAtTwelve();
    b.TypeQuantity(4);
    EXPECT_DOUBLE_EQ(b.price, 12);
    EXPECT_DOUBLE_EQ(b.value, 48);
    EXPECT_DOUBLE_EQ(b.costValue, 32);
    EXPECT_FALSE(b.BelowCost());
    b.TypeDiscountPercent(40);  // 7.20 after discount, below the cost of 8
    EXPECT_TRUE(b.BelowCost());
}

TEST(InvoiceLineBoxesTest, ADivisionByZeroLeavesTheBoxAsItWas) {
    InvoiceLineBoxes b = TenAtTwelve();
    b.TypeDiscountPercent(100);
    EXPECT_DOUBLE_EQ(b.priceWithTax, 0);
    b.TypePriceWithTax(5);  // no price before a 100 % discount gives it
    EXPECT_DOUBLE_EQ(b.price, 12);
    b.TypeQuantity(0);
    b.TypeValue(50);  // no quantity to divide by
    EXPECT_DOUBLE_EQ(b.price, 12);
    b.TypeValueWithTax(50);
    EXPECT_DOUBLE_EQ(b.price, 12);
}

// The label of the largest discount that still sells at the purchase price: the share of the
// price above the cost, under the retail terms named as a markdown; never negative.
TEST(InvoiceLineBoxesTest, TheMaximumDiscountIsThePriceAboveTheCost) {
    using zodra::sales::MaxDiscountLabel;
    EXPECT_EQ(MaxDiscountLabel(125, 100, false), QStringLiteral("Max. rabat : 20,00 %"));
    EXPECT_EQ(MaxDiscountLabel(12, 8, true), QStringLiteral("Max. popust : 33,33 %"));
    EXPECT_EQ(MaxDiscountLabel(100, 120, false), QStringLiteral("Max. rabat : 0,00 %"));
    EXPECT_EQ(MaxDiscountLabel(0, 0, false), QStringLiteral("Max. rabat : 0,00 %"));
    EXPECT_EQ(MaxDiscountLabel(std::nan(""), 1, false), QStringLiteral("Max. rabat : 0,00 %"));
}
