#include "common/rounding.h"

#include <gtest/gtest.h>

namespace {

struct MoneyCase {
    double value;
    int decimals;
    double expected;
};

class RoundMoneyTest : public ::testing::TestWithParam<MoneyCase> {};

TEST_P(RoundMoneyTest, HalvesGoToTheEvenNeighbour)
{
    const MoneyCase c = GetParam();
    EXPECT_DOUBLE_EQ(common::roundMoney(c.value, c.decimals), c.expected) << c.value << " to " << c.decimals;
}

INSTANTIATE_TEST_SUITE_P(Cases, RoundMoneyTest, ::testing::Values(
    MoneyCase{1.005, 2, 1.00},     // 100.49999999999999 in binary: a half on paper, to the even 100
    MoneyCase{1.015, 2, 1.02},     // 101.49999999999999: to the even 102
    MoneyCase{1.025, 2, 1.02},
    MoneyCase{2.675, 2, 2.68},     // 267.49999999999997
    MoneyCase{-1.005, 2, -1.00},
    MoneyCase{-2.675, 2, -2.68},
    MoneyCase{0.004999, 2, 0.00},
    MoneyCase{0.005001, 2, 0.01},
    MoneyCase{12.5, 0, 12},
    MoneyCase{13.5, 0, 14},
    MoneyCase{6.15 * 2, 2, 12.30},
    MoneyCase{71.05 * 7, 2, 497.35},
    MoneyCase{9999999999999.99, 2, 9999999999999.99},
    MoneyCase{123.4567, 3, 123.457},
    MoneyCase{0.0, 2, 0.0}));

TEST(RoundMoney, LineValueIsQuantityTimesPriceRoundedOnce)
{
    EXPECT_DOUBLE_EQ(common::lineValue(3, 0.335, 2), 1.00);   // 1.005 on paper: to the even 1.00
    EXPECT_DOUBLE_EQ(common::lineValue(7, 71.05, 2), 497.35);
    EXPECT_DOUBLE_EQ(common::lineValue(0.333, 1.5, 2), 0.50); // 0.4995
    // The sum of three such lines is what a pencil gives, not the rounded sum of the products.
    const double lines = common::lineValue(1, 0.334, 2) * 3;
    EXPECT_DOUBLE_EQ(lines, 0.99);
    EXPECT_DOUBLE_EQ(common::roundMoney(0.334 * 3, 2), 1.00);
}

} // namespace
