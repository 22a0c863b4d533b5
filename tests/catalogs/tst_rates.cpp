// Exchange-rate look-ups on a real rate table: the rate of a currency on a
// date (exact date, between two rates, after the last, before the first, no
// rate at all), read from the table or asked in one statement, the latest
// rate read once per currency and run, and the warning for a missing rate.

#include "catalogs/rates.h"
#include "common/scripteddialogs.h"
#include "datastore/tablecatalog.h"
#include "testsupport.h"

#include <gtest/gtest.h>
#include <cmath>
#include <limits>
#include <ostream>

[[maybe_unused]] static void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

[[maybe_unused]] static void PrintTo(const QDate& d, std::ostream* os)
{
    *os << d.toString(Qt::ISODate).toStdString();
}

using namespace catalogs;
using namespace datastore;

namespace {

class RatesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        db.setDirectory(dir.path());
        db.createTable(*findTableDef("Curs.db"));
        db.createTable(*findTableDef("Valuta.db"));
        // Rates of three currencies, written out of order: the look-ups rely
        // on the table's order, not on the order of writing.
        addRate("USD", QDate(2025, 3, 10), 4.6);
        addRate("EUR", QDate(2025, 3, 1), 4.97);
        addRate("USD", QDate(2025, 3, 1), 4.5);
        addRate("LEI", QDate(2001, 1, 1), 1.0);
    }

    void addRate(const QString& currency, const QDate& date, double rate)
    {
        db.exec("INSERT INTO \"Curs.db\" (Valuta, Data, Curs) VALUES (:v, :d, :c)",
                {{"v", currency}, {"d", date}, {"c", rate}});
    }

    testsupport::TempDir dir;
    Database db;
};

} // namespace

TEST_F(RatesTest, RateAtADate)
{
    auto rates = OpenRateTable(db);
    const struct {
        const char* currency;
        QDate date;
        QDate found; // invalid: no rate
        double rate;
    } cases[] = {
        {"USD", QDate(2025, 3, 5), QDate(2025, 3, 1), 4.5},    // between two rates: the earlier
        {"USD", QDate(2025, 3, 10), QDate(2025, 3, 10), 4.6},  // the very date
        {"USD", QDate(2025, 3, 1), QDate(2025, 3, 1), 4.5},
        {"USD", QDate(2025, 3, 20), QDate(2025, 3, 10), 4.6},  // after the last: the latest
        {"USD", QDate(2025, 2, 15), QDate(2025, 3, 1), 4.5},   // before the first: the earliest
        {"EUR", QDate(2030, 1, 1), QDate(2025, 3, 1), 4.97},   // a single rate serves every date
        {"EUR", QDate(2020, 1, 1), QDate(2025, 3, 1), 4.97},
        {"LEI", QDate(2025, 3, 5), QDate(2001, 1, 1), 1.0},
        {"CHF", QDate(2025, 3, 5), QDate(), 0},                // no rate at all
        {"usd", QDate(2025, 3, 5), QDate(), 0},                // codes are exact
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.currency) + " " + c.date.toString(Qt::ISODate).toStdString());
        rates->moveTo(0);
        const bool found = FindRateAtDate(*rates, "Data", c.currency, c.date);
        EXPECT_EQ(found, c.found.isValid());
        if (found) {
            EXPECT_EQ(rates->value("Valuta").toString(), c.currency);
            EXPECT_EQ(rates->value("Data").toDate(), c.found);
            EXPECT_DOUBLE_EQ(rates->value("Curs").toDouble(), c.rate);
        } else {
            EXPECT_EQ(rates->recNo(), 0) << "no rate: the position is unchanged";
        }
        // The same choice asked of the database in one statement.
        const std::optional<double> rate = RateAtDate(db, c.currency, c.date);
        EXPECT_EQ(rate.has_value(), c.found.isValid());
        if (rate) {
            EXPECT_DOUBLE_EQ(*rate, c.rate);
        }
    }
}

TEST_F(RatesTest, HalvingFindsTheLatestRateOnOrBeforeEveryDate)
{
    // Many rates of one currency, with gaps, between other currencies' rates.
    QList<QDate> dates;
    for (int i = 0; i < 23; ++i)
        dates << QDate(2024, 1, 1).addDays(i * 7 + (i % 3));
    for (int i = 0; i < dates.size(); ++i)
        addRate("GBP", dates[i], 5.0 + i / 100.0);
    auto rates = OpenRateTable(db);
    for (QDate d = dates.first().addDays(-3); d <= dates.last().addDays(3); d = d.addDays(1)) {
        QDate expected = dates.first();
        for (const QDate& r : dates)
            if (r <= d)
                expected = r;
        ASSERT_TRUE(FindRateAtDate(*rates, "Data", "GBP", d));
        EXPECT_EQ(rates->value("Valuta").toString(), "GBP");
        EXPECT_EQ(rates->value("Data").toDate(), expected) << "for " << d.toString(Qt::ISODate).toStdString();
    }
}

TEST_F(RatesTest, TheRateTableMustBeInDateOrder)
{
    // Ordered by date only, the rows of one currency are not together.
    addRate("EUR", QDate(2025, 3, 5), 4.98);
    Dataset byDate(db, "Curs.db");
    byDate.setOrderBy("Data");
    byDate.open();
    EXPECT_THROW(FindRateAtDate(byDate, "Data", "USD", QDate(2025, 3, 5)), DatasetError);
    // The exact date needs no order.
    EXPECT_TRUE(FindRateAtDate(byDate, "Data", "USD", QDate(2025, 3, 10)));
}

TEST_F(RatesTest, LatestRateIsReadOncePerCurrency)
{
    RateCache cache;
    auto rates = OpenRateTable(db);
    EXPECT_DOUBLE_EQ(GetLatestRate(cache, *rates, "USD"), 4.6);
    EXPECT_EQ(rates->value("Data").toDate(), QDate(2025, 3, 10)) << "left on the record read";
    EXPECT_DOUBLE_EQ(GetLatestRate(cache, *rates, "CHF"), 0.0) << "no rate";

    // Rates written later: GetLatestRate keeps what it read, FindRateAtDate sees them at once.
    addRate("USD", QDate(2025, 3, 15), 4.7);
    addRate("CHF", QDate(2025, 3, 15), 5.1);
    EXPECT_DOUBLE_EQ(GetLatestRate(cache, *rates, "USD"), 4.6);
    EXPECT_DOUBLE_EQ(GetLatestRate(cache, *rates, "CHF"), 0.0);
    ASSERT_TRUE(FindRateAtDate(*rates, "Data", "USD", QDate(2025, 3, 20)));
    EXPECT_DOUBLE_EQ(rates->value("Curs").toDouble(), 4.7);
    ASSERT_TRUE(FindRateAtDate(*rates, "Data", "CHF", QDate(2025, 3, 20)));
    EXPECT_DOUBLE_EQ(rates->value("Curs").toDouble(), 5.1);

    // The cache compares codes without regard to case; a new currency is read.
    EXPECT_DOUBLE_EQ(GetLatestRate(cache, *rates, "usd"), 4.6);
    EXPECT_DOUBLE_EQ(GetLatestRate(cache, *rates, "eur"), 4.97) << "read from the table in any letter case";
    EXPECT_DOUBLE_EQ(GetLatestRate(cache, *rates, "EUR"), 4.97);
    EXPECT_EQ(cache.currencies(), QStringList({"CHF", "eur", "USD"}));
    EXPECT_EQ(cache.size(), 3);

    // Another rate table, the same cache: still answered from the cache.
    auto other = OpenRateTable(db);
    EXPECT_DOUBLE_EQ(GetLatestRate(cache, *other, "USD"), 4.6);
    RateCache fresh; // a new run
    EXPECT_DOUBLE_EQ(GetLatestRate(fresh, *other, "USD"), 4.7);
    EXPECT_DOUBLE_EQ(GetLatestRate(fresh, *other, "CHF"), 5.1);

    Dataset closed(db, "Curs.db");
    RateCache none;
    EXPECT_THROW(GetLatestRate(none, closed, "USD"), DatasetError);
    EXPECT_EQ(none.size(), 0) << "a closed table caches nothing";
}

TEST_F(RatesTest, AMissingRateIsReportedBeforeADivision)
{
    common::ScriptedDialogs dialogs;
    const struct {
        double rate;
        bool usable;
    } cases[] = {
        {4.6, true},
        {-1.0, true},
        {0.0, false},
        {std::numeric_limits<double>::quiet_NaN(), false},
        {std::numeric_limits<double>::infinity(), false},
    };
    for (const auto& c : cases) {
        dialogs.clear();
        EXPECT_EQ(CheckRate(c.rate, "CHF", dialogs), c.usable) << c.rate;
        if (c.usable) {
            EXPECT_TRUE(dialogs.messages.isEmpty());
        } else {
            EXPECT_EQ(dialogs.texts(), QStringList{"Nu exista curs valutar pentru moneda CHF!"});
            EXPECT_EQ(dialogs.last().icon, common::Icon::Warning);
        }
    }
    EXPECT_EQ(MissingRateMessage("USD"), "Nu exista curs valutar pentru moneda USD!");
    RateCache cache;
    auto rates = OpenRateTable(db);
    dialogs.clear();
    EXPECT_FALSE(CheckRate(GetLatestRate(cache, *rates, "CHF"), "CHF", dialogs));
}
