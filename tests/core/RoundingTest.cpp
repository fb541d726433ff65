#include <gtest/gtest.h>

#include <QLocale>
#include <cmath>
#include <limits>

#include "data/Rounding.h"

using namespace Qt::StringLiterals;

using namespace zodra;

TEST(Rounding, MoneyRoundsHalfAwayFromZeroAsTyped) {
    // Values whose binary form lies just below the half.
    EXPECT_DOUBLE_EQ(RoundMoney(2.675), 2.68);
    EXPECT_DOUBLE_EQ(RoundMoney(1.005), 1.01);
    EXPECT_DOUBLE_EQ(RoundMoney(99.995), 100.00);
    EXPECT_DOUBLE_EQ(RoundMoney(-2.675), -2.68);
    EXPECT_DOUBLE_EQ(RoundMoney(1234567.895), 1234567.90);
    EXPECT_DOUBLE_EQ(RoundMoney(0.005), 0.01);
    EXPECT_DOUBLE_EQ(RoundMoney(0.0049999), 0.0);
    EXPECT_DOUBLE_EQ(RoundMoney(2.674999), 2.67);
    EXPECT_DOUBLE_EQ(RoundMoney(9.999), 10.0);
    EXPECT_DOUBLE_EQ(RoundMoney(0.0), 0.0);
}

TEST(Rounding, QuantitiesCompareAtTenDecimals) {
    // 0.1 + 0.2 is 0.30000000000000004 in binary; stock must still see 0.3.
    EXPECT_DOUBLE_EQ(RoundQuantity(0.1 + 0.2), 0.3);
    EXPECT_TRUE(QuantityIsZero(0.3 - 0.1 - 0.2));
    EXPECT_FALSE(QuantityIsZero(1e-9));
    EXPECT_TRUE(QuantityIsZero(4e-11));
    EXPECT_TRUE(QuantitiesEqual(0.1 + 0.2, 0.3));
    EXPECT_DOUBLE_EQ(RoundQuantity(1.23456789015), 1.2345678902);
    EXPECT_DOUBLE_EQ(RoundQuantity(-0.00000000005), -0.0000000001);
}

TEST(Rounding, MoneyComparisonIgnoresDifferencesBelowACent) {
    EXPECT_TRUE(MoneyEqual(99.995, 100.0));
    EXPECT_FALSE(MoneyEqual(99.99, 100.0));
    EXPECT_TRUE(MoneyEqual(0.1 + 0.2, 0.3));
}

namespace {
// 1 × 12.0375 and then 9 × 12.0375 added to the same line: 120.37499999999999 in binary, the
// value a merged receipt line holds. With 0.10 and 29.90 beside it the lines add up to
// 150.37499999999997, just below the half cent.
double MergedLine() {
    double value = 1 * 12.0375;
    value += 9 * 12.0375;
    return value;
}
}  // namespace

TEST(Rounding, ValuesJustBelowTheHalfCentRoundUpAsTyped) {
    EXPECT_DOUBLE_EQ(RoundMoney(10 * 12.0375), 120.38);
    const double line = MergedLine();
    ASSERT_LT(line, 120.375);  // the binary value the faulty formatting rounded down
    EXPECT_EQ(RoundMoney(line), 120.38);
    const double sum = line + 0.10 + 29.90;
    ASSERT_LT(sum, 150.375);
    EXPECT_EQ(RoundMoney(sum), 150.38);
}

TEST(Rounding, FixedTextsRoundBeforeTheyWrite) {
    // QString::number and QLocale round the binary value: these would read 2,67, 1,00, 120,37.
    EXPECT_EQ(MoneyText(2.675), u"2,68"_s);
    EXPECT_EQ(MoneyText(1.005), u"1,01"_s);
    EXPECT_EQ(MoneyText(MergedLine()), u"120,38"_s);
    EXPECT_EQ(MoneyText(-2.675), u"-2,68"_s);
    EXPECT_EQ(MoneyText(1234567.895), u"1234567,90"_s);
    EXPECT_EQ(MoneyText(-0.004), u"0,00"_s);
    EXPECT_EQ(MoneyText(-0.005), u"-0,01"_s);

    const QLocale hr(QLocale::Croatian, QLocale::Croatia);
    EXPECT_EQ(FixedNumberText(1234567.895, 2, hr), u"1.234.567,90"_s);
    EXPECT_EQ(FixedNumberText(MergedLine() + 0.10 + 29.90, 2, hr), u"150,38"_s);
    EXPECT_EQ(FixedNumberText(0.0005, 3, hr), u"0,001"_s);
    EXPECT_EQ(FixedNumberText(-0.001, 2, hr), u"0,00"_s);
    EXPECT_EQ(FixedNumberText(2.675, 2, QLocale::c()), u"2.68"_s);

    // The shown number drops trailing zeros but rounds the same way.
    EXPECT_EQ(ShownNumber(2.675, 2), u"2,68"_s);
    EXPECT_EQ(ShownNumber(2.5, 2), u"2,5"_s);
    EXPECT_EQ(ShownNumber(-0.004, 2), u"0"_s);
}

TEST(Rounding, ATotalIsTheSumOfItsAmountsRoundedToTheCent) {
    MoneyTotal lines;
    lines += MergedLine();
    lines += 0.10;
    lines += 29.90;
    EXPECT_EQ(lines.Value(), 150.38);

    // Amounts below the cent: each counts as it is shown, not as the unrounded sum would.
    MoneyTotal halves;
    halves += 0.125;
    halves += 0.125;
    EXPECT_EQ(halves.Value(), 0.26);
    EXPECT_EQ(RoundMoney(0.125 + 0.125), 0.25);

    // A thousand lines: no binary remainder accumulates, and the total is exactly the sum of
    // what the lines show.
    MoneyTotal dimes;
    MoneyTotal prices;
    double unroundedDimes = 0;
    double unroundedPrices = 0;
    for (int i = 0; i < 1000; ++i) {
        dimes += 0.1;
        prices += 12.0375;
        unroundedDimes += 0.1;
        unroundedPrices += 12.0375;
    }
    EXPECT_NE(unroundedDimes, 100.0);
    EXPECT_EQ(dimes.Value(), 100.0);
    EXPECT_EQ(prices.Value(), 12040.0);  // 1000 × 12,04
    EXPECT_EQ(RoundMoney(unroundedPrices), 12037.5);

    // Signs and amounts that are no amounts.
    MoneyTotal mixed;
    mixed += 2.675;
    mixed += -2.675;
    mixed += -0.125;
    EXPECT_EQ(mixed.Value(), -0.13);
    EXPECT_EQ(MoneyTotal().Value(), 0.0);
    MoneyTotal broken;
    broken += 5.0;
    broken += std::numeric_limits<double>::infinity();
    EXPECT_TRUE(std::isinf(broken.Value()));
}
