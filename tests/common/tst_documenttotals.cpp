#include "common/documenttotals.h"

#include <gtest/gtest.h>

namespace {

using common::PricedLine;

PricedLine line(const char* article, double price, double quantity, double vat, double rate = 19)
{
    PricedLine l;
    l.group = QStringLiteral("G1");
    l.article = QString::fromLatin1(article);
    l.price = price;
    l.quantity = quantity;
    l.vat = vat;
    l.vatRate = rate;
    return l;
}

TEST(DocumentTotals, TotalIsTheSumOfTheRoundedLines)
{
    // Three lines of 1/3 leu each: the lines print 0.33, the total 0.99, not 1.00.
    const QList<PricedLine> lines{line("A", 0.3333, 1, 0.06), line("B", 0.3333, 1, 0.06), line("C", 0.3333, 1, 0.06)};
    const auto printed = common::valuedLines(lines, 2);
    ASSERT_EQ(printed.size(), 3);
    EXPECT_DOUBLE_EQ(printed[0].value, 0.33);
    const auto totals = common::totalsOf(printed);
    EXPECT_DOUBLE_EQ(totals.value, 0.99);
    EXPECT_DOUBLE_EQ(totals.vat, 0.18);
    EXPECT_DOUBLE_EQ(totals.total(), 1.17);
}

TEST(DocumentTotals, SumsCarryNoBinaryNoise)
{
    // 2 × 6.15 and 7 × 71.05: the paid-in-full amount and the check agree to the last bit.
    const QList<PricedLine> lines{line("A", 6.15, 2, 2.34), line("B", 71.05, 7, 94.5)};
    const auto totals = common::totalsOf(common::valuedLines(lines, 2));
    EXPECT_EQ(totals.value, 509.65);
    EXPECT_EQ(totals.vat, 96.84);
    EXPECT_EQ(totals.total(), 606.49);
}

TEST(DocumentTotals, InvoiceMergesTheSameArticleAtTheSamePrice)
{
    const QList<PricedLine> lines{line("A", 0.335, 1, 0.06), line("B", 2, 1, 0.38), line("A", 0.335, 2, 0.13),
                                  line("A", 0.5, 1, 0.1)};
    const auto printed = common::mergedInvoiceLines(lines, 2);
    ASSERT_EQ(printed.size(), 3);
    EXPECT_EQ(printed[0].article, QStringLiteral("A"));
    EXPECT_DOUBLE_EQ(printed[0].quantity, 3);
    EXPECT_DOUBLE_EQ(printed[0].value, 1.00); // 1.005 rounded once, on the merged line
    EXPECT_DOUBLE_EQ(printed[0].vat, 0.19);
    EXPECT_EQ(printed[1].article, QStringLiteral("B"));
    EXPECT_DOUBLE_EQ(printed[2].price, 0.5);
    EXPECT_DOUBLE_EQ(common::totalsOf(printed).value, 3.5);
}

TEST(DocumentTotals, BreakdownByRate)
{
    const QList<PricedLine> lines{line("A", 100, 1, 19, 19), line("B", 50, 1, 4.5, 9), line("C", 10, 1, 0, 0),
                                  line("D", 20, 2, 7.6, 19), line("E", 10, 1, 0.5, 5)};
    const auto totals = common::totalsOf(common::valuedLines(lines, 2));
    ASSERT_EQ(totals.byRate.size(), 4);
    EXPECT_EQ(totals.byRate[0].rate, 0);
    EXPECT_EQ(totals.byRate[1].rate, 5);
    EXPECT_EQ(totals.byRate[2].rate, 9);
    EXPECT_EQ(totals.byRate[3].rate, 19);
    EXPECT_DOUBLE_EQ(totals.byRate[3].base, 140);
    EXPECT_DOUBLE_EQ(totals.byRate[3].vat, 26.6);
    EXPECT_DOUBLE_EQ(totals.value, 210);
    EXPECT_DOUBLE_EQ(totals.vat, 31.6);
}

} // namespace
