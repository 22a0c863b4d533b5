#include "prints/amountinwords.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

using prints::AmountInWords;
using prints::GroupText;

namespace {

// '.' stands for one blank, so that leading, trailing and double blanks show.
QString dotted(const char* text)
{
    return QString::fromLatin1(text).replace(u'.', u' ');
}

struct AmountCase {
    double amount;
    const char* text; // '.' = one blank
};

} // namespace

TEST(AmountInWords, WritesTheAmountAsOnTheReceipt)
{
    const std::vector<AmountCase> cases{
        // Lei alone.
        {1, ".un.leu."},
        {2, ".doi.lei."},
        {3, "trei.lei."},
        {9, "noua.lei."},
        {10, "zece.lei."},
        {11, "unsprezece.lei."},
        {12, "doisprezece.lei."},
        {13, "treisprezece.lei."},
        {16, "sasesprezece.lei."},
        {19, "nouasprezece.lei."},
        {20, "douazecide.lei."},
        {21, "douazecisiunude.lei."},
        {22, "douazecisidoide.lei."},
        {100, "osuta.lei."},
        {101, "osutaunu.lei."},
        {102, "osutadoi.lei."},
        {111, "osutaunsprezece.lei."},
        {200, "douasute.lei."},
        {345, "treisutepatruzecisicincide.lei."},
        {999, "nouasutenouazecisinouade.lei."},
        // Thousands and up.
        {1000, ".o.mie.lei"},
        {1001, ".o.mie..un.leu."},
        {1002, ".o.mie..doi.lei."},
        {2000, "doua.mii.lei"},
        {2500, "doua.mii.cincisute.lei."},
        {12000, "doisprezece.mii.lei"},
        {20000, "douazecide.mii.lei"},
        {21000, "douazecisiunade.mii.lei"},
        {101000, "osutauna.mii.lei"},
        {202202, "douasutedoua.mii.douasutedoi.lei."},
        {1000000, ".un.milion.lei"},
        {1001000, ".un.milion..o.mie.lei"},
        {2000000, "doua.milioane.lei"},
        {1000000000, ".un.miliard.lei"},
        {1e12, ".un.trilion.lei"},
        {99999999999999.0, "nouazecisinouade.trilioane.nouasutenouazecisinouade.miliarde."
                           "nouasutenouazecisinouade.milioane.nouasutenouazecisinouade.mii."
                           "nouasutenouazecisinouade.lei."},
        {99999999999999.9, "nouazecisinouade.trilioane.nouasutenouazecisinouade.miliarde."
                           "nouasutenouazecisinouade.milioane.nouasutenouazecisinouade.mii."
                           "nouasutenouazecisinouade.lei.si.nouazecide.bani"},
        // Lei and bani.
        {1.01, ".un.leu.si.un.ban"},
        {1.50, ".un.leu.si.cincizecide.bani"},
        {2.05, ".doi.lei.si.cincibani"},
        {4.02, "patru.lei.si.doibani"},
        {13.30, "treisprezece.lei.si.treizecide.bani"},
        {110.10, "osutazece.lei.si.zecebani"},
        {119.99, "osutanouasprezece.lei.si.nouazecisinouade.bani"},
        {5.11, "cinci.lei.si.unsprezecebani"},
        {3.20, "trei.lei.si.douazecide.bani"},
        {1e12 + 0.99, ".un.trilion.lei.si.nouazecisinouade.bani"},
        // Bani with no units of lei.
        {0.01, "un.ban"},
        {0.02, "doibani"},
        {0.50, "cincizecide.bani"},
        {1000.05, ".o.mie.lei.si.cincibani"},
        {2000000.01, "doua.milioane.lei.si.un.ban"},
        // Rounded to the nearest ban as the document prints the figures.
        {2.999, "trei.lei."},
        {1.005, ".un.leu.si.un.ban"},
        {1.015, ".un.leu.si.doibani"},
        {0.995, ".un.leu."},
        {0.004, ""},
        {0, ""},
    };
    for (const AmountCase& c : cases)
        EXPECT_EQ(AmountInWords(c.amount), dotted(c.text)) << c.amount;
}

TEST(AmountInWords, GroupTextsDependOnTheGroup)
{
    struct Case {
        int a, b, c, g;
        const char* text;
    };
    const std::vector<Case> cases{
        {3, 4, 5, 1, "treisutepatruzecisicinci"},
        {9, 9, 9, 1, "nouasutenouazecisinoua"},
        {2, 0, 2, 1, "douasutedoi"},
        {2, 0, 2, 2, "douasutedoua"},
        {1, 2, 1, 1, "osutadouazecisiunu"},
        {1, 2, 1, 2, "osutadouazecisiuna"},
        {0, 0, 1, 2, "unu"},   // a lone one keeps "unu": the scale word says "o mie"
        {0, 0, 2, 3, "doua"},
        {0, 1, 2, 3, "doisprezece"},
        {0, 0, 0, 2, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(GroupText(c.a, c.b, c.c, c.g), QLatin1String(c.text)) << c.a << c.b << c.c << " g" << c.g;
}

TEST(AmountInWords, AmountsWithoutTextAreRefused)
{
    for (double amount : {1e14, 99999999999999.98 /* prints as 100.000.000.000.000,00 */, 1e20, -1.0, -0.001, std::nan(""), HUGE_VAL})
        EXPECT_THROW(AmountInWords(amount), std::out_of_range) << amount;
}
