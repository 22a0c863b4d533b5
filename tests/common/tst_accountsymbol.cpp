#include "common/accountsymbol.h"

#include <gtest/gtest.h>

using common::CheckAccountSymbol;

TEST(AccountSymbol, SegmentsAndLimits)
{
    struct Case {
        const char* text;
        bool accepted;
        const char* synthetic;
        const char* rest;
        const char* second;
        const char* third;
    };
    const std::vector<Case> cases{
        {"", true, "", "", "", ""},
        {"40", true, "40", "", "", ""},
        {"401", true, "401", "", "", ""},
        {"4426", true, "442", "6", "", ""},
        {"4011234567", true, "401", "1234567", "", ""},  // first segment of 10
        {"40112345678", false, "", "", "", ""},          // 11
        {"401.01", true, "401", "", "01", ""},
        {"4111.02.003", true, "411", "1", "02", "003"},
        {"411.", true, "411", "", "", ""},               // empty segments are allowed
        {".01.02", true, "", "", "01", "02"},
        {"..", true, "", "", "", ""},
        {"401.01.02.03", false, "", "", "", ""},         // three dots
        {"...", false, "", "", "", ""},
        {"401.12345678901234567890", true, "401", "", "12345678901234567890", ""},   // 20
        {"401.123456789012345678901", false, "", "", "", ""},                        // 21
        {"401.1.12345678901234567890", true, "401", "", "1", "12345678901234567890"},
        {"401.1.123456789012345678901", false, "", "", "", ""},
        {"ABC-x.ț", true, "ABC", "-x", "ț", ""},         // digits are not enforced
        {"1234567890.", true, "123", "4567890", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const common::AccountSymbol s = CheckAccountSymbol(QString::fromUtf8(c.text));
        EXPECT_EQ(s.accepted, c.accepted);
        EXPECT_EQ(s.synthetic, QString::fromUtf8(c.synthetic));
        EXPECT_EQ(s.rest, QString::fromUtf8(c.rest));
        EXPECT_EQ(s.second, QString::fromUtf8(c.second));
        EXPECT_EQ(s.third, QString::fromUtf8(c.third));
    }
}
