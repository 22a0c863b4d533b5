#include "common/formats.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using common::Formats;

namespace {

Formats periodFormats()
{
    Formats f = Formats::romanian();
    f.setDecimalSeparator(u'.');
    return f;
}

} // namespace

TEST(Formats, RomanianValues)
{
    const Formats f = Formats::romanian();
    EXPECT_EQ(f.thousandSeparator, u'.');
    EXPECT_EQ(f.decimalSeparator, u',');
    EXPECT_EQ(f.dateSeparator, u'.');
    EXPECT_EQ(f.shortDateFormat, "d.m.yyyy");
    EXPECT_EQ(f.longDateFormat, "dd.mm.yyyy");
    const QStringList shortMonths{"IAN", "FEB", "MAR", "APR", "MAI", "IUN",
                                  "IUL", "AUG", "SEP", "OCT", "NOI", "DEC"};
    const QStringList longMonths{"Ianuarie", "Februarie", "Martie", "Aprilie", "Mai", "Iunie", "Iulie",
                                 "August", "Septembrie", "Octombrie", "Noiembrie", "Decembrie"};
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(f.shortMonthNames.at(i), shortMonths.at(i)) << i;
        EXPECT_EQ(f.longMonthNames.at(i), longMonths.at(i)) << i;
    }
    const QStringList shortDays{"Dum", "Lun", "Mar", "Mie", "Joi", "Vin", "Sîm"};
    const QStringList longDays{"Duminica", "Luni", "Marti", "Miercuri", "Joi", "Vineri", "Sîmbata"};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(f.shortDayNames.at(i), shortDays.at(i)) << i;
        EXPECT_EQ(f.longDayNames.at(i), longDays.at(i)) << i;
    }
    // A default-constructed value carries the same formats.
    EXPECT_EQ(Formats().longMonthNames, f.longMonthNames);
}

TEST(Formats, DecimalSeparatorPicksTheOtherForThousands)
{
    Formats f;
    f.setDecimalSeparator(u'.');
    EXPECT_EQ(f.decimalSeparator, u'.');
    EXPECT_EQ(f.thousandSeparator, u',');
    f.setDecimalSeparator(u',');
    EXPECT_EQ(f.decimalSeparator, u',');
    EXPECT_EQ(f.thousandSeparator, u'.');
}

// ---------------------------------------------------------------------------

struct FloatCase {
    const char* mask;
    double value;
    const char* expected;
    bool period = false; // decimal separator '.' instead of ','
};

class FormatFloatTest : public ::testing::TestWithParam<FloatCase> {};

TEST_P(FormatFloatTest, PrintsMask)
{
    const FloatCase& c = GetParam();
    const Formats f = c.period ? periodFormats() : Formats::romanian();
    EXPECT_EQ(common::formatFloat(QString::fromUtf8(c.mask), c.value, f), QString::fromUtf8(c.expected))
        << "mask " << c.mask << " value " << c.value;
}

INSTANTIATE_TEST_SUITE_P(Masks, FormatFloatTest, ::testing::Values(
    // money
    FloatCase{"#,##0.00", 1234567.891, "1.234.567,89"},
    FloatCase{"#,##0.00", -0.004, "0,00"},
    FloatCase{"#,##0.00", 0, "0,00"},
    FloatCase{"#,##0.00", -1234.5, "-1.234,50"},
    FloatCase{"#,##0.00", 123, "123,00"},
    FloatCase{"#,##0.00", 0.005, "0,01"},
    FloatCase{"#,##0.00", 1.005, "1,01"},
    FloatCase{"#,##0.00", -2.675, "-2,68"},
    FloatCase{"#,##0.00", 999.995, "1.000,00"},
    FloatCase{"#,##0.00", 1234567.891, "1,234,567.89", true},
    FloatCase{"#,###0.00", 1234.5, "1.234,50"},
    FloatCase{"#,##0.000", 0.0005, "0,001"},
    // quantities
    FloatCase{"0.######", 1.5, "1,5"},
    FloatCase{"0.######", 2, "2"},
    FloatCase{"0.######", 0.0000004, "0"},
    FloatCase{"0.######", 0.0000005, "0,000001"},
    FloatCase{"0.######", -0.25, "-0,25"},
    FloatCase{"0.######", 1234567.1234567, "1234567,123457"},
    FloatCase{"0.###########", 0.001, "0,001"},
    FloatCase{"0.######", 2.5, "2.5", true},
    // fixed decimals
    FloatCase{"0.00", 3.14159, "3,14"},
    FloatCase{"0.00", -0.001, "0,00"},
    FloatCase{"0.00", 12345.678, "12345,68"},
    FloatCase{"000", 7, "007"},
    // whole numbers with grouping
    FloatCase{"#,##0", 1234.5, "1.235"},
    FloatCase{"#,##0", 999, "999"},
    FloatCase{"#,##0", 1000, "1.000"},
    FloatCase{"#,##0", -1000000, "-1.000.000"},
    FloatCase{"#,##0", 0.4, "0"},
    FloatCase{"#,##0", 1e15, "1.000.000.000.000.000"},
    FloatCase{"#,###", 0, ""},
    FloatCase{"#,###", 1234, "1.234"},
    // optional digits only
    FloatCase{"#.##", 1234.567, "1234,57"},
    FloatCase{"#.##", 0.5, ",5"},
    FloatCase{"#.##", 0, ""},
    FloatCase{"#.##", 3, "3"},
    // sections
    FloatCase{"0.000;(0.000);zero", 1.5, "1,500"},
    FloatCase{"0.000;(0.000);zero", -1.5, "(1,500)"},
    FloatCase{"0.000;(0.000);zero", 0, "zero"},
    FloatCase{"0.000;(0.000);zero", -0.0001, "zero"},
    FloatCase{"0.000;(0.000)", -0.0001, "0,000"},
    FloatCase{"0.00;;'nimic'", -2, "-2,00"},
    FloatCase{"0.00;;'nimic'", 0, "nimic"},
    // literals
    FloatCase{"0.##%", 12.345, "12,35%"},
    FloatCase{"0.##%", 50, "50%"},
    FloatCase{"'Total: '#,##0.00", 5, "Total: 5,00"},
    FloatCase{"0\" lei\"", 5, "5 lei"},
    FloatCase{"'a;b' 0", 5, "a;b 5"},
    // no mask: general format
    FloatCase{"", 1.5, "1,5"},
    FloatCase{"", -20, "-20"}));

TEST(FormatFloat, NonFiniteValues)
{
    const Formats f;
    EXPECT_EQ(common::formatFloat("#,##0.00", std::numeric_limits<double>::quiet_NaN(), f), "NAN");
    EXPECT_EQ(common::formatFloat("#,##0.00", std::numeric_limits<double>::infinity(), f), "INF");
    EXPECT_EQ(common::formatFloat("#,##0.00", -std::numeric_limits<double>::infinity(), f), "-INF");
}

// ---------------------------------------------------------------------------

struct DateCase {
    const char* format;
    QDate date;
    const char* expected;
};

TEST(FormatDate, Tokens)
{
    const QDate tuesday(2024, 3, 5);
    const std::vector<DateCase> cases{
        {"d.m.yyyy", tuesday, "5.3.2024"},
        {"dd.mm.yyyy", tuesday, "05.03.2024"},
        {"d.m.yy", tuesday, "5.3.24"},
        {"dd/mm/yy", tuesday, "05.03.24"},
        {"DD.MM.YYYY", tuesday, "05.03.2024"},
        {"ddd dddd", tuesday, "Mar Marti"},
        {"mmm mmmm", tuesday, "MAR Martie"},
        {"mmm", QDate(2024, 1, 9), "IAN"},
        {"mmm", QDate(2024, 11, 9), "NOI"},
        {"mmmm", QDate(2024, 12, 9), "Decembrie"},
        {"ddd dddd", QDate(2024, 3, 3), "Dum Duminica"},
        {"ddd dddd", QDate(2024, 3, 2), "Sîm Sîmbata"},
        {"'Data:' dd.mm.yyyy", tuesday, "Data: 05.03.2024"},
        {"\"d\" d", tuesday, "d 5"},
        {"ddddd", tuesday, "5.3.2024"},
        {"dddddd", tuesday, "05.03.2024"},
        {"yyyy", QDate(987, 6, 1), "0987"},
        {"yy", QDate(2000, 6, 1), "00"},
        {"dd.mm.yyyy", QDate(), ""},
    };
    const Formats f;
    for (const DateCase& c : cases)
        EXPECT_EQ(common::formatDate(QString::fromUtf8(c.format), c.date, f), QString::fromUtf8(c.expected))
            << c.format << " " << c.date.toString(Qt::ISODate).toStdString();
}

TEST(ParseDate, AcceptedAndRefused)
{
    struct Case {
        const char* text;
        QDate expected; // null: refused
    };
    const std::vector<Case> cases{
        {"5.3.2024", QDate(2024, 3, 5)},
        {"05.03.2024", QDate(2024, 3, 5)},
        {" 5.3.24 ", QDate(2024, 3, 5)},
        {"1.1.0", QDate(2000, 1, 1)},
        {"1.1.49", QDate(2049, 1, 1)},
        {"1.1.50", QDate(1950, 1, 1)},
        {"31.12.99", QDate(1999, 12, 31)},
        {"29.2.2024", QDate(2024, 2, 29)},
        {"29.2.2023", QDate()},
        {"31.4.2024", QDate()},
        {"5.13.2024", QDate()},
        {"0.1.2024", QDate()},
        {"5/3/2024", QDate()},
        {"5.3", QDate()},
        {"5.3.2024.1", QDate()},
        {"5.3.02024", QDate()},
        {"005.3.2024", QDate()},
        {"a.3.2024", QDate()},
        {"-5.3.2024", QDate()},
        {"", QDate()},
        {"  ", QDate()},
    };
    const Formats f;
    for (const Case& c : cases) {
        const std::optional<QDate> got = common::parseDate(QString::fromUtf8(c.text), f);
        if (c.expected.isNull())
            EXPECT_FALSE(got.has_value()) << c.text;
        else
            EXPECT_EQ(got, std::optional<QDate>(c.expected)) << c.text;
    }
}

TEST(ParseDate, FollowsTheOrderAndSeparatorOfTheFormats)
{
    Formats f;
    f.shortDateFormat = "m/d/yyyy";
    f.dateSeparator = u'/';
    EXPECT_EQ(common::parseDate("3/5/2024", f), std::optional<QDate>(QDate(2024, 3, 5)));
    EXPECT_FALSE(common::parseDate("5.3.2024", f).has_value());
}

TEST(ParseFloat, AcceptedAndRefused)
{
    struct Case {
        const char* text;
        std::optional<double> expected;
        bool period = false;
    };
    const std::vector<Case> cases{
        {"1,5", 1.5},
        {"1.5", 1.5},
        {"1.234,56", 1234.56},
        {"1.234.567", 1234567},
        {"12.345.678,9", 12345678.9},
        {" -2,5 ", -2.5},
        {"+3", 3},
        {",5", 0.5},
        {"5,", 5},
        {"1,5E3", 1500},
        {"2e-3", 0.002},
        {"1,2,3", std::nullopt},
        {"12.34.5", std::nullopt},
        {"1234.567.890", std::nullopt},
        {"1.234,5,6", std::nullopt},
        {"1 234", std::nullopt},
        {"abc", std::nullopt},
        {"1a", std::nullopt},
        {"-", std::nullopt},
        {",", std::nullopt},
        {"1e", std::nullopt},
        {"", std::nullopt},
        {"   ", std::nullopt},
        {"1,234.5", 1234.5, true},
        {"1.5", 1.5, true},
        {"1,5", std::nullopt, true},
        {"1.234,5", std::nullopt, true},
    };
    for (const Case& c : cases) {
        const Formats f = c.period ? periodFormats() : Formats::romanian();
        const std::optional<double> got = common::parseFloat(QString::fromUtf8(c.text), f);
        ASSERT_EQ(got.has_value(), c.expected.has_value()) << c.text;
        if (got) {
            EXPECT_DOUBLE_EQ(*got, *c.expected) << c.text;
        }
    }
}

// ---------------------------------------------------------------------------

struct MessageCase {
    const char* templ;
    QVariantList args;
    const char* expected;
    bool period = false;
};

class FormatMessageTest : public ::testing::TestWithParam<MessageCase> {};

TEST_P(FormatMessageTest, Fills)
{
    const MessageCase& c = GetParam();
    const Formats f = c.period ? periodFormats() : Formats::romanian();
    EXPECT_EQ(common::formatMessage(QString::fromUtf8(c.templ), c.args, f), QString::fromUtf8(c.expected))
        << c.templ;
}

INSTANTIATE_TEST_SUITE_P(Templates, FormatMessageTest, ::testing::Values(
    MessageCase{"Tabela %s nu exista!%s", {QString("Stoc.DB"), QString("\r<eroare>")}, "Tabela Stoc.DB nu exista!\r<eroare>"},
    MessageCase{"Versiunea %d.%d.%d.%d", {1, 0, 0, 12}, "Versiunea 1.0.0.12"},
    MessageCase{"cu pret de achizitie %m !", {1234.5}, "cu pret de achizitie 1.234,50 !"},
    MessageCase{"%m", {-1234567.891}, "-1.234.567,89"},
    MessageCase{"%n", {1234567.891}, "1.234.567,89"},
    MessageCase{"%n", {1234.5}, "1,234.50", true},
    MessageCase{"Total: Valoare = %.3n\rTVA = %n", {1234.5, 19.0}, "Total: Valoare = 1.234,500\rTVA = 19,00"},
    MessageCase{"%.0n", {1234.5}, "1.235"},
    MessageCase{"%f", {1234.5}, "1234,50"},
    MessageCase{"%f", {3}, "3,00"},
    MessageCase{"%f", {-0.001}, "0,00"},
    MessageCase{"%.4f", {2.0 / 3}, "0,6667"},
    MessageCase{"%s %-12.0f|", {QString("Nr."), 42.5}, "Nr. 43          |"},
    MessageCase{"[%5d][%-5d][%.4d]", {42, 42, -42}, "[   42][42   ][-0042]"},
    MessageCase{"%d", {qlonglong(1000000000000)}, "1000000000000"},
    MessageCase{"%u", {-1}, "4294967295"},
    MessageCase{"%x %.4x %X", {255, 10, -1}, "FF 000A FFFFFFFF"},
    MessageCase{"%1:s %0:s %s", {QString("a"), QString("b")}, "b a b"},
    MessageCase{"[%.2s][%6s][%-6s]", {QString("abcdef"), QString("ab"), QString("ab")}, "[ab][    ab][ab    ]"},
    MessageCase{"%*d", {5, 42}, "   42"},
    MessageCase{"100%% din %s", {QString("stoc")}, "100% din stoc"},
    MessageCase{"%e", {1.5}, "1,50000000000000E+000"},
    MessageCase{"%.3e", {-12345.0}, "-1,23E+004"},
    MessageCase{"%g|%g|%g", {1234.5, 0.5, 100.0}, "1234,5|0,5|100"},
    MessageCase{"%S %D", {QString("mare"), 7}, "mare 7"},
    MessageCase{"%s", {QChar(u'x')}, "x"},
    MessageCase{"Sîmbata %s", {QString("ăîşţâ")}, "Sîmbata ăîşţâ"},
    // wrong calls show in the text
    MessageCase{"Lipsa: %s si %d", {QString("unu")}, "Lipsa: unu si %d"},
    MessageCase{"%s", {}, "%s"},
    MessageCase{"%d %s", {1.5, QString("a")}, "%d a"},
    MessageCase{"%s", {5}, "%s"},
    MessageCase{"%n", {QString("5")}, "%n"},
    MessageCase{"%5.2k %s", {QString("a")}, "%5.2k a"},
    MessageCase{"abc%", {}, "abc%"},
    MessageCase{"%5", {1}, "%5"},
    MessageCase{"%*d", {QString("x"), 5}, "%*d"}));
