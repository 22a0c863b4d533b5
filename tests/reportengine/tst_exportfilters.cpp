// The HTML and comma-delimited export filters: texts gathered into rows by
// their place, then written page by page.

#include <gtest/gtest.h>

#include "reporttest.h"
#include "testsupport.h"

#include "reportengine/exportfilters.h"
#include "reportengine/reportengine.h"

#include <QFile>

using namespace reportengine;
using namespace reporttest;

namespace {

constexpr double kCell = 10 * 3.5278; // tenths of a millimetre, for a 10-point report font

struct Placed {
    double x; // tenths of a millimetre
    double y;
    const char* text;
};

QStringList rowsOf(const TextRows& rows)
{
    QStringList out;
    for (const TextRows::Line& line : rows.rows()) {
        QStringList texts;
        for (const TextRows::Item& item : line.items)
            texts << item.text;
        out << texts.join(u',');
    }
    return out;
}

// A page list of texts placed by hand (millimetres), one list per page.
PageList placedPages(const QList<QList<std::tuple<double, double, QString>>>& pages)
{
    PageList list;
    list.setup.font = QFont("DejaVu Sans");
    list.setup.font.setPointSizeF(10);
    list.fonts = {list.setup.font};
    for (const auto& texts : pages) {
        Page page;
        for (const auto& [x, y, text] : texts) {
            PageItem item;
            item.textX = x;
            item.box = QRectF(x, y, 20, 4);
            item.text = text;
            page.items.append(item);
        }
        list.pages.append(page);
    }
    return list;
}

QString readUtf8(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QStringLiteral("<missing>");
    QByteArray bytes = f.readAll();
    if (!bytes.startsWith("\xEF\xBB\xBF"))
        return QStringLiteral("<no byte-order mark>");
    return QString::fromUtf8(bytes.mid(3));
}

} // namespace

TEST(ExportRows, TextsGatherIntoRowsByLineAndColumn)
{
    struct Case {
        const char* name;
        QList<Placed> texts;
        QStringList rows;
    };
    const QList<Case> cases{
        {"one line, ordered by column", {{200, 100, "b"}, {100, 100, "a"}, {300, 100, "c"}}, {"a,b,c"}},
        {"within 1.5 lines joins the row", {{100, 100, "a"}, {200, 100 + 1.5 * kCell - 1, "b"}}, {"a,b"}},
        {"beyond 1.5 lines starts a row", {{100, 100, "a"}, {200, 100 + 1.5 * kCell + 1, "b"}}, {"a", "b"}},
        {"the same column goes before", {{100, 100, "a"}, {100, 100, "b"}}, {"b,a"}},
        {"a row keeps the line of its first text",
         {{0, 0, "a"}, {10, 1.4 * kCell, "b"}, {20, 2.8 * kCell, "c"}},
         {"a,b", "c"}},
        {"the first near row is joined, rows stay in the order they began",
         {{0, 3 * kCell, "sus"}, {0, 5 * kCell, "jos"}, {50, 4.3 * kCell, "intre"}, {0, 0, "primul"}},
         {"sus,intre", "jos", "primul"}},
    };
    for (const Case& c : cases) {
        TextRows rows(10);
        EXPECT_DOUBLE_EQ(rows.cell(), kCell);
        for (const Placed& p : c.texts)
            rows.add(p.x, p.y, p.text);
        EXPECT_EQ(rowsOf(rows), c.rows) << c.name;
    }
}

TEST(ExportFilters, HtmlAndCommaDelimitedFiles)
{
    const PageList pages = placedPages({
        {{10, 10, "Titlu"}, {10, 20, "a"}, {50, 20, "b"}, {10, 30, "c"}, {50, 30, "d"},
         {10, 40, "Total <A&B>"}, {10, 50, "x"}, {50, 50, "y; \"z\""}},
        {{10, 10, "p"}, {50, 10, "q"}, {10, 30, "ultimul"}},
    });
    testsupport::TempDir dir;

    HtmlExportFilter html;
    EXPECT_EQ(html.name(), "HTML filter");
    EXPECT_EQ(html.files(), "HTML files");
    EXPECT_EQ(html.extension(), "HTML");
    QString error;
    ASSERT_TRUE(exportReport(pages, html, dir.file("r.HTML"), &error)) << error.toStdString();
    EXPECT_EQ(readUtf8(dir.file("r.HTML")),
              "<html>\n"
              "Titlu<BR>\n"
              "<TABLE BORDER=1 WIDTH=100%><TD>a<TD>b\n"
              "<TR><TD>c<TD>d\n"
              "</TABLE>Total &lt;A&amp;B&gt;<BR>\n"
              "<TABLE BORDER=1 WIDTH=100%><TD>x<TD>y; &quot;z&quot;</TABLE>\n"
              "<TABLE BORDER=1 WIDTH=100%><TD>p<TD>q\n"
              "</TABLE>ultimul<BR>\n"
              "</HTML>\n");

    CsvExportFilter csv;
    EXPECT_EQ(csv.name(), "Comma delimited filter");
    EXPECT_EQ(csv.files(), "Comma delimited files");
    EXPECT_EQ(csv.extension(), "CSV");
    ASSERT_TRUE(exportReport(pages, csv, dir.file("r.CSV"), &error)) << error.toStdString();
    EXPECT_EQ(readUtf8(dir.file("r.CSV")),
              "Titlu\n"
              "a;b\n"
              "c;d\n"
              "Total <A&B>\n"
              "x;\"y; \"\"z\"\"\"\n"
              "p;q\n"
              "ultimul\n"
              "</CSV>\n");

    EXPECT_FALSE(exportReport(pages, csv, dir.file("lipsa/r.CSV"), &error));
    EXPECT_TRUE(error.contains("r.CSV")) << error.toStdString();
}

TEST(ExportFilters, LaidOutReportExportsRowByRow)
{
    Report r;
    smallPage(r);
    Band& d = r.band(BandKind::Detail, 5);
    d.field(0, 0, 10, "Nr").right();
    d.field(15, 0, 30, "Den");
    d.field(50, 0, 25, "Pret", "#,##0.00").right();
    ListSource rows({"Nr", "Den", "Pret"}, {{1, "Hartie", 2.5}, {2, "Creioane, cutie", 1234.5}});
    testsupport::TempDir dir;
    CsvExportFilter csv;
    ASSERT_TRUE(exportReport(r.layout(rows), csv, dir.file("r.CSV")));
    EXPECT_EQ(readUtf8(dir.file("r.CSV")),
              "Antet\n"
              "1;Hartie;2,50\n"
              "2;Creioane, cutie;1.234,50\n"
              "Pagina 1 din 1\n"
              "</CSV>\n");
}

// The plain text of the command line and the golden files: rows by the tops
// of their texts, texts at the column of their left edge, pages marked.
TEST(PlainText, RowsColumnsAndPages)
{
    const PageList pages = placedPages({
        {{40, 30.4, "right"}, {10, 30, "left"}, {10, 20, "top"}, {11, 40, "touching"}, {12, 40, "next"}},
        {},
        {{0, 10, "last"}},
    });
    EXPECT_EQ(plainText(pages), QStringLiteral("--- pagina 1 ---\n"
                                               "     top\n"
                                               "     left           right\n"
                                               "      touching next\n"
                                               "--- pagina 2 ---\n"
                                               "--- pagina 3 ---\n"
                                               "last\n"));
}
