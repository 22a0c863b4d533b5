// Laying reports out: groups, aggregates, pagination and the page furniture,
// read back from the text capture (what was printed where).

#include <gtest/gtest.h>

#include "reporttest.h"

#include "reportengine/canvas.h"
#include "reportengine/exportfilters.h"
#include "reportengine/reportengine.h"
#include "reportengine/textmeasure.h"

#include <functional>

using namespace reportengine;
using namespace reporttest;

namespace {

// Warehouse, article group, value: the inner key "y" repeats across the
// change of warehouse.
ListSource stockRows()
{
    return ListSource({"Gest", "Grupa", "Val"},
                      {{"A", "x", 1}, {"A", "x", 2}, {"A", "y", 3}, {"B", "y", 4}});
}

QVariant tagged(const char* tag, const Row& row, const char* field)
{
    return QString::fromLatin1(tag) + row.text(field);
}

// Two nested groups with a header and a footer each, values in the detail,
// a total in the summary.
struct NestedReport {
    Report r;
    Group* outer = nullptr;
    Group* inner = nullptr;
    Band* detail = nullptr;

    NestedReport()
    {
        smallPage(r);
        outer = &r.group("Gest");
        outer->header(5).calc(0, 0, 20, [](const Row& row) { return tagged("H:", row, "Gest"); });
        Band& of = outer->footer(5);
        of.calc(0, 0, 20, [](const Row& row) { return tagged("F:", row, "Gest"); });
        of.sum(50, 0, 20, "Val");
        inner = &r.group("Grupa");
        inner->header(5).calc(0, 0, 20, [](const Row& row) { return tagged("h:", row, "Grupa"); });
        Band& inf = inner->footer(5);
        inf.calc(0, 0, 20, [](const Row& row) { return tagged("f:", row, "Grupa"); });
        inf.sum(50, 0, 20, "Val");
        detail = &r.band(BandKind::Detail, 5);
        detail->field(50, 0, 20, "Val");
        Band& s = r.band(BandKind::Summary, 5);
        s.label(0, 0, 20, "Total");
        s.sum(50, 0, 20, "Val");
    }
};

} // namespace

TEST(ReportGroups, NestedGroupsOpenAndCloseInOrder)
{
    struct Case {
        const char* name;
        std::function<void(NestedReport&)> tweak;
        QStringList expected;
    };
    const QList<Case> cases{
        {"both headers and footers", [](NestedReport&) {},
         {"H:A", "h:x", "1", "2", "f:x", "3", "h:y", "3", "f:y", "3", "F:A", "6",
          // the change of warehouse closes and reopens the inner group although its key stays "y"
          "H:B", "h:y", "4", "f:y", "4", "F:B", "4", "Total", "10"}},
        {"inner header switched off: its footer still prints",
         [](NestedReport& n) { n.inner->headerBand()->setEnabled(false); },
         {"H:A", "1", "2", "f:x", "3", "3", "f:y", "3", "F:A", "6", "H:B", "4", "f:y", "4", "F:B", "4", "Total",
          "10"}},
        {"detail switched off: the sums still count every row",
         [](NestedReport& n) { n.detail->setEnabled(false); },
         {"H:A", "h:x", "f:x", "3", "h:y", "f:y", "3", "F:A", "6", "H:B", "h:y", "f:y", "4", "F:B", "4", "Total",
          "10"}},
        {"a band printed only for some rows",
         [](NestedReport& n) { n.detail->printWhen([](const Row& row) { return row.number("Val") > 2; }); },
         {"H:A", "h:x", "f:x", "3", "h:y", "3", "f:y", "3", "F:A", "6", "H:B", "h:y", "4", "f:y", "4", "F:B", "4",
          "Total", "10"}},
    };
    for (const Case& c : cases) {
        NestedReport n;
        c.tweak(n);
        ListSource rows = stockRows();
        const TextCapture printed = capture(n.r.layout(rows));
        EXPECT_EQ(bodyTexts(printed), c.expected) << c.name;
    }
}

TEST(ReportGroups, NewPageGroupStartsEachGroupOnItsOwnPage)
{
    NestedReport n;
    n.outer->newPage();
    // The page header shows the warehouse of the rows the page starts with.
    n.r.band(BandKind::PageHeader, 10).field(40, 0, 20, "Gest");
    ListSource rows = stockRows();
    const PageList pages = n.r.layout(rows);
    const TextCapture printed = capture(pages);

    ASSERT_EQ(pages.pageCount(), 2);
    EXPECT_EQ(pageOf(printed, "H:A"), 0) << "the first group does not leave an empty page";
    EXPECT_EQ(pageOf(printed, "H:B"), 1);
    EXPECT_DOUBLE_EQ(yOf(printed, "H:B"), kBodyTop);
    EXPECT_EQ(pageOf(printed, "F:A"), 0);
    EXPECT_EQ(printed.onPage(0, BandKind::PageHeader).last().text, "A");
    EXPECT_EQ(printed.onPage(1, BandKind::PageHeader).last().text, "B");
    EXPECT_EQ(printed.textsOn(1).last(), "Pagina 2 din 2");
}

TEST(ReportAggregates, RestartAfterTheirBand)
{
    struct Case {
        const char* name;
        std::function<void(Report&, Band& footer, Band& detail)> define;
        QStringList expected;
    };
    const QList<Case> cases{
        {"group footer sum covers its group", [](Report&, Band& f, Band&) { f.sum(0, 0, 20, "Val"); }, {"6", "4"}},
        {"summary sum covers the report",
         [](Report& r, Band&, Band&) { r.band(BandKind::Summary, 5).sum(0, 0, 20, "Val"); },
         {"10"}},
        {"running total in the detail restarting after each group",
         [](Report&, Band& f, Band& d) { d.sum(0, 0, 20, "Val").resetAfter(f); },
         {"1", "3", "6", "4"}},
        {"a sum tied to a band that printed last holds nothing since",
         [](Report& r, Band& f, Band&) { r.band(BandKind::Summary, 5).sum(0, 0, 20, "Val").resetAfter(f); },
         {"0"}},
        {"running number restarting after each group",
         [](Report&, Band& f, Band& d) { d.count(0, 0, 10).resetAfter(f); },
         {"1", "2", "3", "1"}},
        {"running number over the whole report", [](Report&, Band&, Band& d) { d.count(0, 0, 10).running(); },
         {"1", "2", "3", "4"}},
        {"min, max and avg per group",
         [](Report&, Band& f, Band&) {
             f.min(0, 0, 10, "Val");
             f.max(20, 0, 10, "Val");
             f.avg(40, 0, 10, "Val", "0.0");
         },
         {"1", "3", "2,0", "4", "4", "4,0"}},
        {"empty values are skipped, count counts rows",
         [](Report& r, Band& f, Band&) {
             r.calculated("Poate", [](const Row& row) {
                 return row.number("Val") == 2 ? QVariant() : row.value("Val");
             });
             f.sum(0, 0, 10, "Poate");
             f.count(20, 0, 10);
             f.avg(40, 0, 10, "Poate");
         },
         {"4", "3", "2", "4", "1", "4"}},
        {"calculated field summed",
         [](Report& r, Band& f, Band&) {
             r.calculated("Dublu", [](const Row& row) { return row.number("Val") * 2; });
             f.sum(0, 0, 20, "Dublu", "#,##0.00");
         },
         {"12,00", "8,00"}},
        {"detail switched off still counts",
         [](Report&, Band& f, Band& d) {
             d.setEnabled(false);
             f.sum(0, 0, 20, "Val");
         },
         {"6", "4"}},
    };
    for (const Case& c : cases) {
        Report r;
        smallPage(r);
        Band& footer = r.group("Gest").footer(5);
        Band& detail = r.band(BandKind::Detail, 5);
        c.define(r, footer, detail);
        ListSource rows = stockRows();
        EXPECT_EQ(bodyTexts(capture(r.layout(rows))), c.expected) << c.name;
    }
}

namespace {

// Rows 1..n in a 10 mm detail: six rows fill the 60 mm body of the small page.
PageList numberedRows(Report& r, int n, double detailHeight = 10)
{
    r.band(BandKind::Detail, detailHeight).field(0, 0, 20, "Nr");
    ListSource rows({"Nr"});
    for (int i = 1; i <= n; ++i)
        rows.add({i});
    return r.layout(rows);
}

} // namespace

TEST(ReportPagination, ADetailThatDoesNotFitMovesToTheNextPage)
{
    Report r;
    smallPage(r);
    const TextCapture printed = capture(numberedRows(r, 3, 25)); // 20..45, 45..70, then 70..95 does not fit
    EXPECT_EQ(printed.pageCount, 2);
    EXPECT_DOUBLE_EQ(yOf(printed, "1"), kBodyTop);
    EXPECT_DOUBLE_EQ(yOf(printed, "2"), kBodyTop + 25);
    EXPECT_EQ(pageOf(printed, "3"), 1);
    EXPECT_DOUBLE_EQ(yOf(printed, "3"), kBodyTop);
}

TEST(ReportPagination, FurnitureAndPageNumbersOnEveryPage)
{
    Report r;
    smallPage(r);
    r.band(BandKind::Title, 10).label(0, 0, 0, "Titlu");
    r.band(BandKind::ColumnHeader, 5).label(0, 0, 0, "Coloane");
    r.band(BandKind::PageFooter, 10).sum(60, 0, 20, "Nr"); // restarts on every page
    const TextCapture printed = capture(numberedRows(r, 10)); // page 1: title + 4 rows, then 5, then 1

    ASSERT_EQ(printed.pageCount, 3);
    EXPECT_EQ(printed.textsOn(0), (QStringList{"Antet", "Titlu", "Coloane", "1", "2", "3", "4",
                                               "Pagina 1 din 3", "10"}));
    EXPECT_EQ(printed.textsOn(1), (QStringList{"Antet", "Coloane", "5", "6", "7", "8", "9",
                                               "Pagina 2 din 3", "35"}));
    EXPECT_EQ(printed.textsOn(2), (QStringList{"Antet", "Coloane", "10", "Pagina 3 din 3", "10"}));
    for (int page = 0; page < 3; ++page) {
        EXPECT_DOUBLE_EQ(printed.onPage(page, BandKind::PageHeader).first().y, 10) << page;
        EXPECT_DOUBLE_EQ(printed.onPage(page, BandKind::PageFooter).first().y, kBodyBottom) << page;
    }
    EXPECT_DOUBLE_EQ(yOf(printed, "5"), kBodyTop + 5);
}

// A document names itself in its title on the first page and in a small
// page header on the pages after it; a footer left off the first page still
// restarts its page sums there.
TEST(ReportPagination, FurnitureLeftOffTheFirstPage)
{
    Report r;
    smallPage(r);
    r.band(BandKind::PageHeader, 10).skipFirstPage();
    r.band(BandKind::Title, 10).label(0, 0, 0, "Titlu");
    r.band(BandKind::PageFooter, 10).skipFirstPage().sum(60, 0, 20, "Nr");
    const TextCapture printed = capture(numberedRows(r, 10)); // page 1: title + 6 rows, then 4 more

    ASSERT_EQ(printed.pageCount, 2);
    EXPECT_EQ(printed.textsOn(0), (QStringList{"Titlu", "1", "2", "3", "4", "5", "6"}));
    EXPECT_EQ(printed.textsOn(1), (QStringList{"Antet", "7", "8", "9", "10", "Pagina 2 din 2", "34"}));
    EXPECT_DOUBLE_EQ(printed.find("Titlu").first().y, 10);
}


TEST(ReportPagination, ABandTallerThanThePagePrintsOnceOnItsOwnPage)
{
    Report r;
    smallPage(r);
    const PageList pages = numberedRows(r, 2, 150);
    EXPECT_EQ(pages.pageCount(), 2);
    EXPECT_EQ(bodyTexts(capture(pages)), (QStringList{"1", "2"}));
}

TEST(ReportPagination, EmptySourcePrintsOnePageWithTheSummary)
{
    Report r;
    smallPage(r);
    r.band(BandKind::Title, 10).label(0, 0, 0, "Titlu");
    r.group("Nr").footer(5).label(0, 0, 0, "Nu apare");
    r.band(BandKind::Summary, 10).sum(0, 0, 20, "Nr", "#,##0.00");
    const TextCapture printed = capture(numberedRows(r, 0));
    EXPECT_EQ(printed.pageCount, 1);
    EXPECT_EQ(printed.textsOn(0), (QStringList{"Antet", "Titlu", "0,00", "Pagina 1 din 1"}));
}

namespace {

// The body texts of each page, joined by blanks.
QStringList pagesOf(const TextCapture& c)
{
    QStringList out;
    for (int page = 0; page < c.pageCount; ++page) {
        QStringList texts;
        for (const auto& t : c.texts)
            if (t.page == page && t.band != BandKind::PageHeader && t.band != BandKind::PageFooter)
                texts << t.text;
        out << texts.join(' ');
    }
    return out;
}

// Rows "G" (group), "S" (inner group), "Nr" (value), "Den" (a name); groups with a header
// "H:" / "h:" of `headerHeight` mm, a 10 mm detail.
struct GroupedRows {
    Report r;
    Group* outer = nullptr;
    Group* inner = nullptr;
    Band* detail = nullptr;
    ListSource rows{{"G", "S", "Nr", "Den"}};

    explicit GroupedRows(double headerHeight)
    {
        smallPage(r);
        outer = &r.group("G");
        outer->header(headerHeight).calc(0, 0, 20, [](const Row& row) { return tagged("H:", row, "G"); });
        detail = &r.band(BandKind::Detail, 10);
        detail->field(0, 0, 20, "Nr");
    }
    void innerGroup(double headerHeight)
    {
        inner = &r.group("S");
        inner->header(headerHeight).calc(0, 0, 20, [](const Row& row) { return tagged("h:", row, "S"); });
    }
    void add(const char* g, const char* sub, int nr) { rows.add({g, sub, nr}); }
    QStringList pages() { return pagesOf(capture(r.layout(rows))); }
};

} // namespace

TEST(ReportPagination, GroupHeadersKeepWithTheBandAfterThem)
{
    struct Case {
        const char* name;
        std::function<QStringList()> run;
        QStringList expected;
    };
    const QList<Case> cases{
        {"a header at the foot of the page goes over with its first line",
         [] {
             GroupedRows g(8); // H:A 20-28, rows 28-68, H:B 68-76, its line would end at 86
             for (int i = 1; i <= 4; ++i)
                 g.add("A", "", i);
             g.add("B", "", 5);
             return g.pages();
         },
         {"H:A 1 2 3 4", "H:B 5"}},
        {"the headers of all the groups that open go over together",
         [] {
             GroupedRows g(8); // H:A, h:x 20-33, rows 33-63, H:B h:z 63-76, its line would end at 86
             g.innerGroup(5);
             for (int i = 1; i <= 3; ++i)
                 g.add("A", "x", i);
             g.add("B", "z", 4);
             return g.pages();
         },
         {"H:A h:x 1 2 3", "H:B h:z 4"}},
        {"with the detail switched off a header keeps with its footer",
         [] {
             GroupedRows g(6); // each group 16 mm: D's header at 68-74, its footer would end at 84
             g.detail->setEnabled(false);
             g.outer->footer(10).calc(0, 0, 20, [](const Row& row) { return tagged("F:", row, "G"); });
             for (const char* key : {"A", "B", "C", "D", "E"})
                 g.add(key, "", 1);
             return g.pages();
         },
         {"H:A F:A H:B F:B H:C F:C", "H:D F:D H:E F:E"}},
        {"an outer header stays with an inner group that starts a new page",
         [] {
             GroupedRows g(8);
             g.innerGroup(5);
             g.inner->newPage();
             g.add("A", "x", 1);
             g.add("A", "y", 2);
             g.add("B", "z", 3);
             return g.pages();
         },
         {"H:A h:x 1", "h:y 2", "H:B h:z 3"}},
        {"headers already at the top of a page do not move again",
         [] {
             GroupedRows g(8);
             g.detail->setHeight(55); // H:A and its line do not fit on any page
             g.add("A", "", 1);
             g.add("A", "", 2);
             return g.pages();
         },
         {"H:A", "1", "2"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.run(), c.expected) << c.name;
}

TEST(ReportPagination, AHeaderThatCannotFitWithItsLineStaysAndTheLinePrintsOnce)
{
    GroupedRows g(8);
    // The second line wraps over more than a page.
    g.detail->field(25, 0, 10, "Den").wrap();
    g.add("A", "", 1);
    g.rows.add({"B", "", 2, QString("cuvant ").repeated(25).trimmed()});
    const TextCapture printed = capture(g.r.layout(g.rows));
    EXPECT_EQ(printed.pageCount, 2);
    EXPECT_EQ(pageOf(printed, "H:B"), 0);
    EXPECT_EQ(pageOf(printed, "2"), 1);
    EXPECT_DOUBLE_EQ(yOf(printed, "2"), kBodyTop);
}

TEST(ReportPagination, TotalsTakeTheLastLineAlong)
{
    struct Case {
        const char* name;
        int rows;
        std::function<void(Report&)> define;
        QStringList expected;
    };
    const auto summary = [](double height) {
        return [height](Report& r) {
            Band& s = r.band(BandKind::Summary, height);
            s.label(30, 0, 20, "Total");
            s.sum(0, 0, 20, "Nr");
        };
    };
    const auto groupFooter = [](Report& r) {
        Band& f = r.group(QStringLiteral("G")).footer(10);
        f.label(30, 0, 20, "Grupa");
        f.sum(0, 0, 20, "Nr");
    };
    const QList<Case> cases{
        {"the summary after a full page", 6, summary(10), {"1 2 3 4 5", "6 Total 21"}},
        {"a group footer after a full page", 6, groupFooter, {"1 2 3 4 5", "6 Grupa 21"}},
        {"the footer fits, the summary does not: both go with the line", 5,
         [&](Report& r) {
             groupFooter(r);
             summary(10)(r);
         },
         {"1 2 3 4", "5 Grupa 15 Total 15"}},
        {"a last line first on its page stays, the totals follow it", 7, summary(55),
         {"1 2 3 4 5 6", "7", "Total 28"}},
        {"a line and totals taller than a page: the totals go alone", 5, summary(55),
         {"1 2 3 4 5", "Total 15"}},
        {"totals that fit stay where they are", 5, summary(10), {"1 2 3 4 5 Total 15"}},
    };
    for (const Case& c : cases) {
        Report r;
        smallPage(r);
        c.define(r);
        r.band(BandKind::Detail, 10).field(0, 0, 20, "Nr");
        ListSource rows({"Nr", "G"});
        for (int i = 1; i <= c.rows; ++i)
            rows.add({i, "g"});
        EXPECT_EQ(pagesOf(capture(r.layout(rows))), c.expected) << c.name;
    }
}

TEST(ReportPagination, TheLastLineOfAGroupGoesWithItsFooterBeforeANewPage)
{
    GroupedRows g(0);
    g.outer->headerBand()->setEnabled(false);
    g.outer->newPage().footer(10).calc(0, 0, 20, [](const Row& row) { return tagged("F:", row, "G"); });
    for (int i = 1; i <= 6; ++i)
        g.add("A", "", i);
    g.add("B", "", 7);
    EXPECT_EQ(g.pages(), (QStringList{"1 2 3 4 5", "6 F:A", "7 F:B"}));
}

TEST(ReportPagination, ALineThatMovesOnCountsOnItsNewPage)
{
    Report r;
    smallPage(r);
    Band& pf = r.band(BandKind::PageFooter, 10);
    pf.sum(30, 0, 20, "Nr"); // the page's rows
    pf.calc(60, 0, 20, [](const Row& row) { return "ultimul " + row.text("Nr"); }); // its last row
    r.band(BandKind::Summary, 10).label(0, 0, 20, "Total");
    Band& d = r.band(BandKind::Detail, 10);
    d.field(0, 0, 20, "Nr");
    d.pageNumber(30, 0, 20, "p%1"); // the line's own page
    ListSource rows({"Nr"});
    for (int i = 1; i <= 6; ++i)
        rows.add({i});
    const TextCapture printed = capture(r.layout(rows));
    ASSERT_EQ(printed.pageCount, 2);
    EXPECT_EQ(printed.textsOn(0), (QStringList{"Antet", "1", "p1", "2", "p1", "3", "p1", "4", "p1", "5", "p1",
                                               "Pagina 1 din 2", "ultimul 5", "15"}));
    EXPECT_EQ(printed.textsOn(1), (QStringList{"Antet", "6", "p2", "Total", "Pagina 2 din 2", "ultimul 6", "6"}));
    EXPECT_DOUBLE_EQ(yOf(printed, "6"), kBodyTop);
    EXPECT_DOUBLE_EQ(yOf(printed, "Total"), kBodyTop + 10);
}

TEST(ReportElements, ValuesPrintThroughTheirMasks)
{
    struct Case {
        QVariant value;
        const char* mask;
        const char* printed;
    };
    const QList<Case> cases{
        {1234.5, "#,##0.00", "1.234,50"},
        {-7.125, "#,##0.00", "-7,13"},
        {0.0, "#,##0.00;-#,##0.00;''", ""},
        {12, "", "12"},
        {2.5, "", "2,5"},
        {QDate(2024, 3, 5), "dd.mm.yy", "05.03.24"},
        {QDate(2024, 3, 5), "", "5.3.2024"},
        {QVariant(), "#,##0.00", ""},
        {QString("0012"), "#,##0.00", "0012"},
    };
    for (const Case& c : cases) {
        Report r;
        smallPage(r);
        r.band(BandKind::Detail, 5).field(0, 0, 40, "V", c.mask);
        ListSource rows({"V"}, {{c.value}});
        EXPECT_EQ(bodyTexts(capture(r.layout(rows))), QStringList{c.printed}) << c.mask << " " << c.printed;
    }
}

TEST(ReportElements, ReportValuesDateTimeAndAlignment)
{
    Report r;
    smallPage(r);
    r.value("Numar", 17.0).printDate(QDateTime(QDate(2024, 12, 31), QTime(9, 5)));
    Band& t = r.band(BandKind::Title, 20);
    t.field(0, 0, 20, "numar", "0000");
    t.date(0, 5, 30);
    t.time(40, 5, 20);
    t.label(0, 10, 80, "dreapta").right();
    t.label(0, 15, 80, "centru").center();
    const TextCapture printed = capture(r.layout());
    EXPECT_EQ(bodyTexts(printed), (QStringList{"0017", "31.12.2024", "09:05", "dreapta", "centru"}));

    const auto right = printed.find("dreapta").first();
    const auto center = printed.find("centru").first();
    EXPECT_DOUBLE_EQ(right.box.left(), 10);
    EXPECT_DOUBLE_EQ(right.box.right(), 90);
    EXPECT_GT(right.width, 5);
    EXPECT_NEAR(right.x + right.width, 90, 1e-9) << "a right-aligned text ends at its box's right edge";
    EXPECT_NEAR(center.x + center.width / 2, 50, 1e-9) << "a centred text is centred in its box";
    EXPECT_DOUBLE_EQ(printed.find("0017").first().x, 10) << "x is measured from the left margin";
}

TEST(ReportElements, WrappedTextGrowsItsBand)
{
    Report r;
    smallPage(r);
    Band& d = r.band(BandKind::Detail, 5);
    d.field(0, 0, 25, "Den").wrap();
    d.field(50, 0, 20, "Nr");
    ListSource rows({"Den", "Nr"}, {{"Hartie copiator alba format A4", 1}, {"Toner", 2}});
    const TextCapture printed = capture(r.layout(rows));
    const QStringList body = bodyTexts(printed);
    const qsizetype lines = body.indexOf("1");
    ASSERT_GE(lines, 2) << "the name wraps: " << body.join('|').toStdString();
    EXPECT_EQ(QStringList(body.mid(0, lines)).join(' '), "Hartie copiator alba format A4");
    EXPECT_TRUE(body.first().startsWith("Hartie"));
    const double firstLineY = yOf(printed, body.first());
    const double lastLineY = yOf(printed, body.at(lines - 1));
    EXPECT_GT(lastLineY, firstLineY);
    EXPECT_GT(yOf(printed, "Toner"), lastLineY) << "the next row starts below the grown band";
}

TEST(ReportBands, ChildBandsFollowTheirParent)
{
    Report r;
    smallPage(r);
    Band& d = r.band(BandKind::Detail, 10);
    d.field(0, 0, 20, "Nr");
    d.child(5).calc(0, 0, 20, [](const Row& row) { return "sub " + row.text("Nr"); });
    r.band(BandKind::PageFooter, 10).child(5).label(0, 0, 0, "Semnaturile");
    Band& hidden = r.band(BandKind::Summary, 5);
    hidden.setEnabled(false);
    hidden.child(5).label(0, 0, 0, "Nu apare");
    ListSource rows({"Nr"}, {{1}, {2}, {3}, {4}});
    const TextCapture printed = capture(r.layout(rows));

    // The page footer and its child take 15 mm: the body ends at 75, so the
    // fourth row (15 mm with its child, from 65) goes to page 2 whole.
    EXPECT_EQ(bodyTexts(printed), (QStringList{"1", "sub 1", "2", "sub 2", "3", "sub 3", "Semnaturile", "4", "sub 4",
                                               "Semnaturile"}));
    EXPECT_DOUBLE_EQ(yOf(printed, "sub 2"), kBodyTop + 15 + 10);
    EXPECT_EQ(pageOf(printed, "4"), 1);
    EXPECT_EQ(pageOf(printed, "sub 4"), 1);
    const auto signatures = printed.find("Semnaturile");
    ASSERT_EQ(signatures.size(), 2);
    EXPECT_DOUBLE_EQ(signatures.at(0).y, 75 + 10);
    EXPECT_EQ(signatures.at(1).page, 1);
}

TEST(ReportBands, SubDetailListsPrintUnderEachRow)
{
    Report r;
    smallPage(r);
    r.band(BandKind::Detail, 5).field(0, 0, 20, "Cod");
    Band& docs = r.subDetail(5, [](const Row& master) -> std::unique_ptr<RowSource> {
        auto list = std::make_unique<ListSource>(QStringList{"Numar"});
        for (int i = 1; i <= master.number("Documente"); ++i)
            list->add({QString("%1-%2").arg(master.text("Cod")).arg(i)});
        return list;
    });
    docs.field(10, 0, 20, "Numar");
    docs.field(40, 0, 20, "cod"); // the master row's field
    r.band(BandKind::Summary, 5).sum(0, 0, 20, "Documente");
    ListSource rows({"Cod", "Documente"}, {{"A", 2}, {"B", 0}, {"C", 1}});
    EXPECT_EQ(bodyTexts(capture(r.layout(rows))),
              (QStringList{"A", "A-1", "A", "A-2", "A", "B", "C", "C-1", "C", "3"}));
}

TEST(ReportDefinition, FaultsNameTheirField)
{
    struct Case {
        const char* name;
        std::function<void(Report&)> define;
        const char* field;
    };
    const QList<Case> cases{
        {"data field", [](Report& r) { r.band(BandKind::Detail, 5).field(0, 0, 10, "Cantitat"); }, "Cantitat"},
        {"sum", [](Report& r) { r.band(BandKind::Summary, 5).sum(0, 0, 10, "Valoarea"); }, "Valoarea"},
        {"group", [](Report& r) { r.group("Gestiune"); }, "Gestiune"},
        {"calculated field",
         [](Report& r) { r.calculated("V", [](const Row& row) { return row.number("Pretul"); }); },
         "Pretul"},
    };
    for (const Case& c : cases) {
        Report r;
        c.define(r);
        ListSource rows({"Cantitate", "Pret"}, {{1, 2.0}});
        try {
            r.layout(rows);
            ADD_FAILURE() << c.name << ": no error";
        } catch (const ReportError& e) {
            EXPECT_TRUE(e.message().contains(QString("\"%1\"").arg(c.field))) << c.name << ": " << e.what();
        }
    }
    Report r;
    EXPECT_THROW(r.band(BandKind::GroupHeader, 5), ReportError);
    EXPECT_THROW(r.band(BandKind::Child, 5), ReportError);
}

TEST(ReportElements, ANumberWiderThanItsBoxKeepsEveryDigit)
{
    Report r;
    smallPage(r);
    Band& d = r.band(BandKind::Detail, 5);
    d.field(0, 0, 5, "Den").elide(false); // printed whole: cut at its box without a sign
    d.field(40, 0, 5, "Suma", "#,##0.00").right();
    ListSource rows({"Den", "Suma"}, {{"Hartie copiator", 1234567.5}});
    const PageList pages = r.layout(rows);
    const auto find = [&](const QString& text) {
        for (const PageItem& item : pages.pages.first().items)
            if (item.text == text)
                return item;
        return PageItem();
    };
    const PageItem name = find("Hartie copiator");
    EXPECT_TRUE(name.clip) << "a long name asked to print whole is cut at its box";
    EXPECT_DOUBLE_EQ(name.textX, 10);
    const PageItem amount = find("1.234.567,50");
    EXPECT_FALSE(amount.clip) << "an amount is never cut";
    EXPECT_NEAR(amount.textX + amount.textWidth, 55, 1e-9);
    EXPECT_LT(amount.textX, 50);
}

TEST(ReportElements, TextsWiderThanTheirFieldEndInAnEllipsis)
{
    const QString name = QStringLiteral("Hartie copiator alba format A4 80 g/mp");
    struct Case {
        const char* name;
        std::function<void(Band&)> define;
        QVariant value;
        bool elided;
    };
    const QList<Case> cases{
        {"a name in a data field", [](Band& d) { d.field(0, 0, 20, "V"); }, name, true},
        {"right-aligned", [](Band& d) { d.field(0, 0, 20, "V").right(); }, name, true},
        {"centred", [](Band& d) { d.field(0, 0, 20, "V").center(); }, name, true},
        {"a calculated text", [](Band& d) { d.calc(0, 0, 20, [](const Row& row) { return row.value("V"); }); }, name,
         true},
        {"a label asked to", [&](Band& d) { d.label(0, 0, 20, name).elide(); }, QVariant(), true},
        {"a text that fits", [](Band& d) { d.field(0, 0, 20, "V"); }, QString("Toner"), false},
        {"a field asked not to", [](Band& d) { d.field(0, 0, 20, "V").elide(false); }, name, false},
        {"a label", [&](Band& d) { d.label(0, 0, 20, name); }, QVariant(), false},
        {"a wrapped field", [](Band& d) { d.field(0, 0, 20, "V").wrap(); }, name, false},
        {"a field sized to its text", [](Band& d) { d.field(0, 0, 0, "V"); }, name, false},
        {"an amount", [](Band& d) { d.field(0, 0, 5, "V", "#,##0.00"); }, 1234567.5, false},
        {"a date", [](Band& d) { d.field(0, 0, 5, "V"); }, QDate(2024, 3, 5), false},
    };
    for (const Case& c : cases) {
        Report r;
        smallPage(r);
        c.define(r.band(BandKind::Detail, 5));
        ListSource rows({"V"}, {{c.value}});
        const PageList pages = r.layout(rows);
        const TextCapture printed = capture(pages);
        const auto body = printed.onPage(0, BandKind::Detail);
        ASSERT_FALSE(body.isEmpty()) << c.name;
        const TextCapture::Text& t = body.first();
        EXPECT_EQ(t.text.endsWith(u'…'), c.elided) << c.name << ": " << t.text.toStdString();
        EXPECT_EQ(plainText(pages).contains(u'…'), c.elided) << c.name;
        if (!c.elided)
            continue;
        EXPECT_LE(t.width, t.box.width() - 1 + 1e-6) << c.name << ": 1 mm of the field stays free";
        EXPECT_LE(t.x + t.width, t.box.right() + 1e-6) << c.name << ": the text stays in its field";
        EXPECT_GE(t.x, t.box.left() - 1e-6) << c.name;
        EXPECT_TRUE(name.startsWith(t.text.chopped(1))) << c.name << ": " << t.text.toStdString();
        EXPECT_GT(t.text.size(), 8) << c.name << ": cut where the width ends";
        for (const PageItem& item : pages.pages.first().items) {
            if (item.text == t.text) {
                EXPECT_FALSE(item.clip) << c.name << ": nothing left to cut";
            }
        }
    }
}

TEST(TextMeasureTest, ElisionCutsBetweenWholeCharactersAndFitsEveryWidth)
{
    TextMeasure measure;
    const int font = measure.fontIndex(QFont("DejaVu Sans", 8));
    // "Ș" written as S and a combining comma: the two never part.
    const QString text = QString::fromUtf8("S\xCC\xA6tiin\xC5\xA3\x61 materialelor de constructie  S\xCC\xA6");
    const double full = measure.width(font, text);
    for (double w = 0; w < full + 1; w += 0.25) {
        const QString e = measure.elide(font, text, w);
        if (w >= full) {
            EXPECT_EQ(e, text) << w;
            continue;
        }
        ASSERT_TRUE(e.endsWith(u'…')) << w;
        const QString head = e.chopped(1);
        EXPECT_TRUE(text.startsWith(head)) << w;
        EXPECT_FALSE(head.endsWith(u' ')) << w << ": blanks before the sign are dropped";
        EXPECT_FALSE(text.at(head.size()).isMark()) << w << ": " << head.toStdString();
        if (!head.isEmpty()) {
            EXPECT_LE(measure.width(font, e), w + 1e-6) << w;
        }
    }
}
