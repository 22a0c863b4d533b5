// Text as a search compares it: no case, no diacritics, both forms of ș and ț.

#include "common/textsearch.h"

#include <gtest/gtest.h>

namespace {

TEST(FoldForSearch, CaseAndDiacriticsGo)
{
    const struct {
        const char16_t* text;
        const char16_t* folded;
    } cases[] = {
        {u"Șervetele", u"servetele"},
        {u"ȘERVETELE", u"servetele"},
        {u"Şervetele", u"servetele"},  // S with a cedilla, as older data holds it
        {u"şerveţele", u"servetele"},
        {u"ȚUICĂ", u"tuica"},
        {u"Ţuică", u"tuica"},
        {u"Îngheţată în cutie", u"inghetata in cutie"},
        {u"Pâine", u"paine"},
        {u"Crème brûlée", u"creme brulee"},
        {u"PIX 0,5 mm", u"pix 0,5 mm"},
        {u"", u""},
    };
    for (const auto& c : cases) {
        const QString text = QString::fromUtf16(c.text);
        EXPECT_EQ(common::foldForSearch(text), QString::fromUtf16(c.folded)) << text.toStdString();
    }
    // What is typed meets what is stored whichever form either has.
    EXPECT_EQ(common::foldForSearch(QString::fromUtf16(u"ş")), common::foldForSearch(QString::fromUtf16(u"Ș")));
    EXPECT_EQ(common::foldForSearch(QString::fromUtf16(u"ț")), common::foldForSearch(QString::fromUtf16(u"Ţ")));
}

} // namespace
