// Cost of the report engine on a long report: a 10 000-row stock list with
// two nested groups, sums and "Pagina x din n", laid out and written to PDF.
// Baselines in the same run: the layout alone (no drawing), and drawing the
// same number of texts straight with QPainter onto a QPdfWriter. Each figure
// is the best of three runs (the machine is shared).
//
//   bench_report [rows]

#include "benchsupport.h"
#include "reportengine/canvas.h"
#include "reportengine/output.h"
#include "reportengine/reportengine.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

using benchsupport::ms;

using namespace reportengine;

namespace {

void define(Report& r)
{
    r.page(kPaperA4).margins(15, 10, 10, 10).font("DejaVu Sans", 8).title("Situatia stocurilor");
    r.calculated("Valoare", [](const Row& row) { return row.number("Cantitate") * row.number("Pret"); });
    Band& h = r.band(BandKind::PageHeader, 14);
    h.label(0, 0, 185, "Situatia stocurilor").bold().fontSize(12).center();
    h.field(0, 7, 185, "Gestiune").center();
    Band& c = r.band(BandKind::ColumnHeader, 6);
    c.box(0, 0, 185, 5);
    c.label(1, 0.5, 10, "Nr.");
    c.label(12, 0.5, 20, "Articol");
    c.label(34, 0.5, 70, "Denumire");
    c.label(118, 0.5, 20, "Cantitate").right();
    c.label(140, 0.5, 20, "Pret").right();
    c.label(162, 0.5, 22, "Valoare").right();

    Group& gest = r.group("Cod_gestiune").newPage();
    Band& gf = gest.footer(7);
    gf.label(34, 1, 0, "Total gestiune").bold();
    gf.sum(162, 1, 22, "Valoare", "#,##0.00").right().bold();
    Group& grupa = r.group("Cod_grupa");
    grupa.header(6).field(0, 1, 40, "Cod_grupa").bold();
    Band& grf = grupa.footer(6);
    grf.label(34, 1, 0, "Total pe grupa :");
    grf.sum(118, 1, 20, "Cantitate", "#,##0.00").right();
    grf.sum(162, 1, 22, "Valoare", "#,##0.00").right();

    Band& d = r.band(BandKind::Detail, 4.5);
    d.count(0, 0, 9).resetAfter(gf).right();
    d.field(12, 0, 20, "Cod_articol");
    d.field(34, 0, 80, "Denumire");
    d.field(118, 0, 20, "Cantitate", "#,##0.00").right();
    d.field(140, 0, 20, "Pret", "#,##0.00").right();
    d.field(162, 0, 22, "Valoare", "#,##0.00").right();

    r.band(BandKind::Summary, 8).sum(150, 2, 34, "Valoare", "#,##0.00").right().bold();
    Band& f = r.band(BandKind::PageFooter, 6);
    f.date(0, 1, 30);
    f.pageNumber(0, 1, 185, "Pagina %1 din %2").right();
}

ListSource rowsOf(int n)
{
    static const char* names[] = {"Hartie copiator A4 80 g/mp", "Pix albastru", "Toner imprimanta laser",
                                  "Dosar plic", "Capsator", "Burete tabla", "Marker permanent negru"};
    ListSource rows({"Cod_gestiune", "Gestiune", "Cod_grupa", "Cod_articol", "Denumire", "Cantitate", "Pret"});
    for (int i = 0; i < n; ++i) {
        const int gestiune = i * 4 / n + 1;
        rows.add({QString("G%1").arg(gestiune), QString("Gestiunea %1").arg(gestiune),
                  QString("GR%1").arg(i / 250), QString("A%1").arg(10000 + i), names[i % 7], 1.0 + i % 9,
                  2.5 + (i % 13) * 1.25});
    }
    return rows;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const int n = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 10000;
    QTemporaryDir dir;

    // Layout only.
    Report r;
    define(r);
    PageList pages;
    double layoutMs = 1e300;
    for (int i = 0; i < 3; ++i) {
        ListSource rows = rowsOf(n);
        QElapsedTimer t;
        t.start();
        pages = r.layout(rows);
        layoutMs = std::min(layoutMs, ms(t));
    }
    int texts = 0;
    for (const Page& p : pages.pages)
        for (const PageItem& item : p.items)
            texts += item.kind == PageItem::Text;

    // Drawing the page list to PDF.
    double drawMs = 1e300;
    for (int i = 0; i < 3; ++i) {
        QElapsedTimer t;
        t.start();
        writePdf(pages, dir.filePath("engine.pdf"));
        drawMs = std::min(drawMs, ms(t));
    }

    // The whole: definition, layout and PDF.
    double totalMs = 1e300;
    for (int i = 0; i < 3; ++i) {
        ListSource rows = rowsOf(n);
        QElapsedTimer t;
        t.start();
        Report r2;
        define(r2);
        writePdf(r2.layout(rows), dir.filePath("engine2.pdf"));
        totalMs = std::min(totalMs, ms(t));
    }

    // Baseline: the same texts drawn straight with QPainter, at their places,
    // with the same fonts and page breaks.
    double plainMs = 1e300;
    for (int i = 0; i < 3; ++i) {
        QElapsedTimer t;
        t.start();
        QPdfWriter writer(dir.filePath("plain.pdf"));
        writer.setPageLayout(pageLayout(pages.setup));
        QPainter painter(&writer);
        const double k = writer.resolution() / 25.4;
        int font = -1;
        for (int p = 0; p < pages.pageCount(); ++p) {
            if (p > 0)
                writer.newPage();
            for (const PageItem& item : pages.pages.at(p).items) {
                if (item.kind != PageItem::Text)
                    continue;
                if (item.font != font) {
                    painter.setFont(pages.fonts.at(item.font));
                    font = item.font;
                }
                painter.drawText(QPointF(item.textX * k, item.baseline * k), item.text);
            }
        }
        painter.end();
        plainMs = std::min(plainMs, ms(t));
    }

    std::printf("rows %d, pages %d, texts %d, PDF %.0f KB\n", n, pages.pageCount(), texts,
                QFileInfo(dir.filePath("engine.pdf")).size() / 1024.0);
    std::printf("layout only           %8.1f ms\n", layoutMs);
    std::printf("draw page list to PDF %8.1f ms\n", drawMs);
    std::printf("layout + PDF          %8.1f ms  (%.1f pages/s)\n", totalMs, pages.pageCount() / totalMs * 1000);
    std::printf("plain QPainter texts  %8.1f ms\n", plainMs);
    std::printf("ratios: layout + PDF / plain QPainter %.2f, drawing the page list / plain QPainter %.2f,"
                " layout share of the whole %.0f%%\n",
                totalMs / plainMs, drawMs / plainMs, layoutMs / totalMs * 100);
    return 0;
}
