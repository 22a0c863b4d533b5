// Pages on real outputs: a PDF file, pictures, the preview window and its
// rules. With MIRAFEL_SHOTS_DIR set, the sample report is also written there
// as PDF, HTML and CSV, with a picture of the preview window.

#include <gtest/gtest.h>

#include "reporttest.h"
#include "testsupport.h"

#include "common/scripteddialogs.h"
#include "reportengine/exportfilters.h"
#include "reportengine/output.h"
#include "reportengine/reportengine.h"
#include "reportengine/reportpreview.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QToolButton>

using namespace reportengine;
using namespace reporttest;

namespace {

// A stock list: warehouses (each on a new page) and article groups, a running
// number per warehouse, sums per group, warehouse and report, "Pagina x din n".
struct StockList {
    Report r;
    ListSource rows{{"Cod_gestiune", "Gestiune", "Cod_grupa", "Cod_articol", "Denumire", "UM", "Cantitate", "Pret"}};

    StockList()
    {
        r.page(kPaperA4).margins(15, 10, 10, 10).font("DejaVu Sans", 8).title("Situatia stocurilor");
        r.printDate(QDateTime(QDate(2024, 12, 31), QTime(10, 30)));
        r.calculated("Valoare", [](const Row& row) { return row.number("Cantitate") * row.number("Pret"); });

        Band& h = r.band(BandKind::PageHeader, 24);
        h.label(0, 0, 0, "Scoala Gimnaziala nr. 5").bold();
        h.label(0, 4, 0, "Adresa Str. Lunga 12, Brasov");
        h.label(0, 10, 185, "Situatia stocurilor în gestiunea :").bold().fontSize(12).center();
        h.field(0, 16, 185, "Gestiune").center().bold();
        Band& c = r.band(BandKind::ColumnHeader, 7);
        c.box(0, 0, 185, 6);
        c.label(1, 1, 10, "Nr.");
        c.label(12, 1, 20, "Articol");
        c.label(34, 1, 70, "Denumire");
        c.label(106, 1, 10, "U.M.");
        c.label(118, 1, 20, "Cantitate").right();
        c.label(140, 1, 20, "Pret").right();
        c.label(162, 1, 22, "Valoare").right();

        Group& gest = r.group("Cod_gestiune").newPage();
        Band& gf = gest.footer(8);
        gf.line(0, 1, 185, 1, 0.3);
        gf.label(34, 2, 0, "Total gestiune").bold();
        gf.field(60, 2, 50, "Gestiune").bold();
        gf.sum(162, 2, 22, "Valoare", "#,##0.00").right().bold();

        Group& grupa = r.group("Cod_grupa");
        grupa.header(6).label(0, 1, 0, "Grupa :").bold();
        grupa.header(6).field(14, 1, 30, "Cod_grupa").bold();
        Band& grf = grupa.footer(7);
        grf.label(34, 1, 0, "Total pe grupa :");
        grf.field(60, 1, 20, "Cod_grupa");
        grf.sum(118, 1, 20, "Cantitate", "#,##0.00").right();
        grf.sum(162, 1, 22, "Valoare", "#,##0.00").right().frame(FrameTop);

        Band& d = r.band(BandKind::Detail, 5);
        d.count(0, 0, 9).resetAfter(gf).right();
        d.field(12, 0, 20, "Cod_articol");
        d.field(34, 0, 70, "Denumire").wrap();
        d.field(106, 0, 10, "UM");
        d.field(118, 0, 20, "Cantitate", "#,##0.00").right();
        d.field(140, 0, 20, "Pret", "#,##0.00").right();
        d.field(162, 0, 22, "Valoare", "#,##0.00").right();

        Band& s = r.band(BandKind::Summary, 10);
        s.line(0, 1, 185, 1, 0.5);
        s.label(34, 3, 0, "Total general").bold().fontSize(10);
        s.sum(150, 3, 34, "Valoare", "#,##0.00").right().bold().fontSize(10);

        Band& f = r.band(BandKind::PageFooter, 8);
        f.line(0, 0, 185, 0, 0.2);
        f.date(0, 2, 30);
        f.pageNumber(0, 2, 185, "Pagina %1 din %2").right();

        const char* names[] = {"Hartie copiator A4 80 g/mp", "Pix albastru", "Toner imprimanta laser, cartus original",
                               "Dosar plic", "Capsator", "Burete tabla"};
        for (int i = 0; i < 70; ++i) {
            const int gestiune = i < 45 ? 1 : 2;
            const int group = i % 45 < 20 ? 1 : (i % 45 < 38 ? 2 : 3);
            rows.add({QString("G%1").arg(gestiune), gestiune == 1 ? "Magazie centrala" : "Cantina",
                      QString("GR%1").arg(group), QString("A%1").arg(100 + i), names[i % 6], "buc", 1.0 + i % 7,
                      2.5 + (i % 11) * 1.25});
        }
    }
};

int pdfPageCount(const QByteArray& pdf)
{
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page[^s]"));
    int n = 0;
    auto it = page.globalMatch(QString::fromLatin1(pdf));
    while (it.hasNext()) {
        it.next();
        ++n;
    }
    return n;
}

} // namespace

TEST(ReportOutput, PdfHasEveryPage)
{
    StockList s;
    const PageList pages = s.r.layout(s.rows);
    ASSERT_GE(pages.pageCount(), 3);
    testsupport::TempDir dir;
    const QString path = dir.file("stoc.pdf");
    QString error;
    ASSERT_TRUE(writePdf(pages, path, &error)) << error.toStdString();
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray pdf = f.readAll();
    EXPECT_TRUE(pdf.startsWith("%PDF-"));
    EXPECT_TRUE(pdf.trimmed().endsWith("%%EOF"));
    EXPECT_EQ(pdfPageCount(pdf), pages.pageCount());

    const QString pdfinfo = QStandardPaths::findExecutable("pdfinfo");
    if (!pdfinfo.isEmpty()) {
        QProcess p;
        p.start(pdfinfo, {path});
        ASSERT_TRUE(p.waitForFinished(30000));
        const QString info = QString::fromUtf8(p.readAllStandardOutput());
        EXPECT_EQ(p.exitCode(), 0) << info.toStdString();
        EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+%1\\n").arg(pages.pageCount()))))
            << info.toStdString();
        EXPECT_TRUE(info.contains("(A4)")) << info.toStdString();
        EXPECT_TRUE(info.contains("Situatia stocurilor")) << info.toStdString();
    }
}

TEST(ReportOutput, PdfLandscapeAndUnwritablePath)
{
    Report r;
    r.page(kPaperA4, Orientation::Landscape);
    r.band(BandKind::Title, 10).label(0, 0, 0, "Peisaj");
    const PageList pages = r.layout();
    EXPECT_DOUBLE_EQ(pages.setup.paper.width(), 297);
    testsupport::TempDir dir;
    ASSERT_TRUE(writePdf(pages, dir.file("peisaj.pdf")));
    const QString pdfinfo = QStandardPaths::findExecutable("pdfinfo");
    if (!pdfinfo.isEmpty()) {
        QProcess p;
        p.start(pdfinfo, {dir.file("peisaj.pdf")});
        ASSERT_TRUE(p.waitForFinished(30000));
        EXPECT_TRUE(QString::fromUtf8(p.readAllStandardOutput()).contains("842 x 595")) << "landscape A4";
    }

    QString error;
    EXPECT_FALSE(writePdf(pages, dir.file("nu-exista/peisaj.pdf"), &error));
    EXPECT_TRUE(error.contains("nu poate fi scris")) << error.toStdString();
}

TEST(ReportOutput, RenderedPageShowsInk)
{
    StockList s;
    const PageList pages = s.r.layout(s.rows);
    const QImage image = renderPage(pages, 0, 50);
    EXPECT_EQ(image.width(), qRound(210 * 50 / 25.4));
    int dark = 0;
    for (int y = 0; y < image.height(); y += 2)
        for (int x = 0; x < image.width(); x += 2)
            dark += qGray(image.pixel(x, y)) < 128;
    EXPECT_GT(dark, 200);
}

TEST(ReportPreviewLogic, NavigationZoomAndSaving)
{
    StockList s;
    const PageList pages = s.r.layout(s.rows);
    common::ScriptedDialogs dialogs;
    PreviewLogic logic(pages, dialogs);
    const int n = pages.pageCount();

    EXPECT_EQ(logic.pageText(), QString("Pagina 1 din %1").arg(n));
    EXPECT_FALSE(logic.canGoBack());
    logic.previous();
    EXPECT_EQ(logic.page(), 0);
    logic.next();
    EXPECT_EQ(logic.pageText(), QString("Pagina 2 din %1").arg(n));
    logic.last();
    EXPECT_FALSE(logic.canGoForward());
    logic.next();
    EXPECT_EQ(logic.page(), n - 1);
    logic.goTo(99);
    EXPECT_EQ(logic.page(), n - 1);
    logic.first();
    EXPECT_EQ(logic.page(), 0);

    // Page width at 96 dpi: 210 mm are 793.7 pixels.
    EXPECT_NEAR(logic.effectiveZoom(QSizeF(793.7, 400), 96), 100, 0.1);
    logic.setZoomMode(PreviewLogic::ZoomMode::WholePage);
    EXPECT_NEAR(logic.effectiveZoom(QSizeF(793.7, 561.3), 96), 50, 0.1);
    logic.zoomIn();
    EXPECT_DOUBLE_EQ(logic.effectiveZoom({}, 96), 150);
    logic.zoomOut();
    logic.zoomOut();
    EXPECT_DOUBLE_EQ(logic.effectiveZoom({}, 96), 75);
    logic.setZoom(1000);
    EXPECT_DOUBLE_EQ(logic.effectiveZoom({}, 96), PreviewLogic::kMaxZoom);

    const QStringList filters = PreviewLogic::saveFilters();
    EXPECT_EQ(PreviewLogic::formatFor(filters.at(0), "x"), PreviewLogic::SaveFormat::Html);
    EXPECT_EQ(PreviewLogic::formatFor(filters.at(1), "x"), PreviewLogic::SaveFormat::Csv);
    EXPECT_EQ(PreviewLogic::formatFor(QString(), "raport.csv"), PreviewLogic::SaveFormat::Csv);
    EXPECT_EQ(PreviewLogic::formatFor(QString(), "raport"), PreviewLogic::SaveFormat::Pdf);

    testsupport::TempDir dir;
    ASSERT_TRUE(logic.save(dir.file("raport"), PreviewLogic::SaveFormat::Csv));
    EXPECT_EQ(logic.savedPath(), dir.file("raport.CSV")) << "the format's extension is added";
    EXPECT_TRUE(QFile::exists(dir.file("raport.CSV")));
    EXPECT_TRUE(dialogs.messages.isEmpty());

    EXPECT_FALSE(logic.save(dir.file("lipsa/raport.HTML"), PreviewLogic::SaveFormat::Html));
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.last().icon, common::Icon::Error);
    EXPECT_TRUE(dialogs.last().text.contains("raport.HTML"));
}

TEST(ReportPreviewWindow, BindsTheControls)
{
    StockList s;
    const PageList pages = s.r.layout(s.rows);
    common::ScriptedDialogs dialogs;
    ReportPreview preview(pages, dialogs);
    preview.resize(900, 700);
    preview.show();
    QApplication::processEvents();

    const QString total = QString::number(pages.pageCount());
    EXPECT_EQ(preview.pageLabel()->text(), "Pagina 1 din " + total);
    EXPECT_FALSE(preview.previousButton()->isEnabled());
    preview.nextButton()->click();
    EXPECT_EQ(preview.pageLabel()->text(), "Pagina 2 din " + total);
    EXPECT_TRUE(preview.previousButton()->isEnabled());
    preview.lastButton()->click();
    EXPECT_FALSE(preview.nextButton()->isEnabled());
    preview.firstButton()->click();
    EXPECT_EQ(preview.logic().page(), 0);
    ASSERT_FALSE(preview.pageView()->pixmap().isNull());
    EXPECT_GT(preview.pageView()->pixmap().width(), 500) << "page width fills the window";

    if (!shotsDir().isEmpty()) {
        QDir().mkpath(shotsDir());
        EXPECT_TRUE(preview.grab().save(QDir(shotsDir()).filePath("report_preview.png")));
    }
}

TEST(ReportSample, WrittenForALookByEye)
{
    if (shotsDir().isEmpty())
        GTEST_SKIP() << "MIRAFEL_SHOTS_DIR not set";
    QDir().mkpath(shotsDir());
    const QDir out(shotsDir());
    StockList s;
    const PageList pages = s.r.layout(s.rows);
    EXPECT_TRUE(writePdf(pages, out.filePath("sample_report.pdf")));
    HtmlExportFilter html;
    EXPECT_TRUE(exportReport(pages, html, out.filePath("sample_report.HTML")));
    CsvExportFilter csv;
    EXPECT_TRUE(exportReport(pages, csv, out.filePath("sample_report.CSV")));
}
