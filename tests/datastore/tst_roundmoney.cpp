// ROUND_MONEY(x, d) of the dialect gives exactly common::roundMoney on both
// engines: bound values, line values computed in the statement, totals of
// rounded line values, NULL.

#include "common/rounding.h"
#include "datastore/database.h"
#include "datastore/tablecatalog.h"
#include "testsupport.h"

#include <QVariant>
#include <cmath>
#include <gtest/gtest.h>

using namespace datastore;

namespace {

enum class Backend { Sqlite, Postgres };

class RoundMoneyTest : public ::testing::TestWithParam<Backend> {
protected:
    void SetUp() override
    {
        if (GetParam() == Backend::Postgres) {
            if (testsupport::ServerSchema::socketDir().isEmpty())
                GTEST_SKIP() << "no PostgreSQL cluster (MIRAFEL_PG_SOCKET_DIR)";
            server.useIn(dir.path());
        }
        db.setDirectory(dir.path());
        db.createTable(*findTableDef("Item_out.DB"));
    }

    // What the program computes for `x` at `decimals` as the statement gives them.
    static double expected(double x, double decimals)
    {
        const double places = std::trunc(decimals);
        return common::roundMoney(x, places < 0 ? 0 : places > 9 ? 9 : static_cast<int>(places));
    }

    testsupport::TempDir dir;
    testsupport::ServerSchema server;
    Database db;
};

TEST_P(RoundMoneyTest, BoundValuesRoundAsTheProgramDoes)
{
    const struct {
        double x;
        double decimals;
        double result; // the rounding a person makes on paper
    } cases[] = {
        // halves that binary holds a hair below or above: to the even neighbour
        {1.005, 2, 1.00},
        {2.675, 2, 2.68},
        {1.015, 2, 1.02},
        {1.025, 2, 1.02},
        {0.125, 2, 0.12},
        {0.135, 2, 0.14},
        {2.5, 0, 2},
        {3.5, 0, 4},
        {0.5, 0, 0},
        // negatives: the half to the even neighbour as well
        {-1.005, 2, -1.00},
        {-2.675, 2, -2.68},
        {-2.5, 0, -2},
        {-3.5, 0, -4},
        {-0.004, 2, 0},
        // beside a half by more than the tolerance: the nearest neighbour
        {1.004999, 2, 1.00},
        {1.005001, 2, 1.01},
        {-1.005001, 2, -1.01},
        // large values: the halves of the last place still go to the even one
        {1234567890123.455, 2, 1234567890123.46},
        {99999999999999.985, 2, 99999999999999.98},
        {-7777777777.125, 2, -7777777777.12},
        {4503599627370497.0, 2, 4503599627370497.0},
        // the decimals: 0..9, a fraction cut off
        {2.71828182845, 3, 2.718},
        {0.0000000015, 9, 0.000000002},
        {0.1234567891234, 12, 0.123456789},
        {15.5, -1, 16},
        {1.235, 2.9, 1.24},
        {0, 2, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << " at " << c.decimals);
        const QVariant v = db.scalar("SELECT ROUND_MONEY(:X, :D)", {{"X", c.x}, {"D", c.decimals}});
        ASSERT_FALSE(v.isNull());
        EXPECT_EQ(v.toDouble(), expected(c.x, c.decimals));
        EXPECT_NEAR(v.toDouble(), c.result, std::abs(c.result) * 1e-15 + 1e-12);
    }
    // Whole-number decimals as the reports bind them, and the name in any case.
    EXPECT_EQ(db.scalar("SELECT round_money(:X, :D)", {{"X", 2.675}, {"D", 2}}).toDouble(), expected(2.675, 2));
    EXPECT_EQ(db.scalar("SELECT ROUND_MONEY(:X, 2)", {{"X", 1.015}}).toDouble(), expected(1.015, 2));
}

TEST_P(RoundMoneyTest, NullGivesNull)
{
    EXPECT_TRUE(db.scalar("SELECT ROUND_MONEY(:X, :D)", {{"X", QVariant()}, {"D", 2}}).isNull());
    EXPECT_TRUE(db.scalar("SELECT ROUND_MONEY(:X, :D)", {{"X", 1.5}, {"D", QVariant()}}).isNull());
    EXPECT_TRUE(db.scalar("SELECT ROUND_MONEY(NULL, 2)").isNull());
}

// Line values computed in the statement and their total, as the reports sum
// them: each line rounded once, the total the sum of the rounded values.
TEST_P(RoundMoneyTest, LineValuesAndTheirTotal)
{
    const struct {
        double quantity;
        double price;
    } lines[] = {
        {3, 0.335}, {201, 0.005}, {1, 2.675}, {7, 1.015}, {0.5, 0.01}, {-3, 0.335}, {12.5, 13.17}, {1000, 1.0005},
        {3, 1.0 / 3}, {0.001, 0.5},
    };
    double total = 0;
    int n = 0;
    for (const auto& l : lines) {
        ++n;
        db.exec("INSERT INTO ITEM_OUT (Contor, Contor_secundar, Cantitate, Pret_achizitie) VALUES (1, :N, :Q, :P)",
                {{"N", n}, {"Q", l.quantity}, {"P", l.price}});
        total += common::lineValue(l.quantity, l.price, 2);
    }
    // A line without a price has no value.
    db.exec("INSERT INTO ITEM_OUT (Contor, Contor_secundar, Cantitate) VALUES (1, 99, 4)");

    Query q = db.query("SELECT Cantitate, Pret_achizitie, ROUND_MONEY(Cantitate * Pret_achizitie, :Dec) AS Val "
                       "FROM ITEM_OUT ORDER BY Contor_secundar",
                       {{"Dec", 2}});
    int read = 0;
    while (q.next()) {
        ++read;
        SCOPED_TRACE(read);
        if (q.value(1).isNull()) {
            EXPECT_TRUE(q.value(2).isNull());
            continue;
        }
        EXPECT_EQ(q.value(2).toDouble(), common::lineValue(q.value(0).toDouble(), q.value(1).toDouble(), 2));
    }
    EXPECT_EQ(read, n + 1);
    EXPECT_NEAR(db.scalar("SELECT SUM(ROUND_MONEY(Cantitate * Pret_achizitie, :Dec)) FROM ITEM_OUT", {{"Dec", 2}})
                    .toDouble(),
                total, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(Engines, RoundMoneyTest, ::testing::Values(Backend::Sqlite, Backend::Postgres),
                         [](const ::testing::TestParamInfo<Backend>& p) {
                             return p.param == Backend::Sqlite ? "Sqlite" : "Postgres";
                         });

} // namespace
