#include <gtest/gtest.h>

#include "data/Rounding.h"

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
