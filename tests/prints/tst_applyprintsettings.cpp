#include "printstest.h"

#include "prints/printsettings.h"
#include "prints/tqrprndlg.h"

#include "common/scripteddialogs.h"
#include "reportengine/reportengine.h"
#include "reportengine/reportpreview.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QRegularExpression>
#include <QTimer>
#include <functional>
#include <optional>
#include <vector>

using namespace prints;
using printstest::FakePrinters;

namespace {

// A report of `rows` numbered rows, two rows to an A4 page.
void defineReport(reportengine::Report& report)
{
    report.title(QStringLiteral("Proba"));
    report.band(reportengine::BandKind::Detail, 120).field(0, 0, 30, QStringLiteral("Nr"));
}

reportengine::ListSource numbers(int rows)
{
    reportengine::ListSource source(QStringList{QStringLiteral("Nr")});
    for (int i = 1; i <= rows; ++i)
        source.add({i});
    return source;
}

int pdfPageCount(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QString text = QString::fromLatin1(f.readAll());
    return int(text.count(QRegularExpression(QStringLiteral("/Type\\s*/Page(?!s)"))));
}

// Runs `action` on the next modal window (the preview or the file dialog) as
// soon as it is open, then lets it close.
void onNextModal(std::function<void(QWidget*)> action)
{
    QTimer::singleShot(0, [action] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) {
            onNextModal(action);
            return;
        }
        action(modal);
    });
}

} // namespace

TEST(ApplyPrintSettings, ThePageOfTheReportFollowsTheParameters)
{
    struct Case {
        const char* name;
        PageOrientation orientation;
        int paperIndex;
        std::array<int, 4> margins; // top, left, bottom, right
        PrinterLimits limits;
        QSizeF paper;               // as printed
        QMarginsF expected;         // left, top, right, bottom
    };
    const std::vector<Case> cases{
        {"within the printer", PageOrientation::Portrait, 9, {10, 12, 14, 16}, {4, 5, 6, 7, 210, 297},
         {210, 297}, {12, 10, 16, 14}},
        {"raised to the minimum", PageOrientation::Portrait, 9, {0, 3, 7, 5}, {4, 5, 6, 7, 210, 297},
         {210, 297}, {4, 5, 6, 7}},
        {"landscape A5", PageOrientation::Landscape, 11, {1, 20, 1, 0}, {5, 6, 7, 4, 210, 148}, {210, 148},
         {20, 6, 7, 4}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PrintSettings s;
        s.orientation = c.orientation;
        s.topMargin = c.margins[0];
        s.leftMargin = c.margins[1];
        s.bottomMargin = c.margins[2];
        s.rightMargin = c.margins[3];
        reportengine::Report report;
        applyPageSettings(report, s, c.paperIndex, c.limits);
        EXPECT_EQ(report.paperIndex(), c.paperIndex);
        EXPECT_EQ(report.paperSize(), c.paper);
        EXPECT_EQ(report.pageOrientation(), c.orientation == PageOrientation::Landscape
                                                ? reportengine::Orientation::Landscape
                                                : reportengine::Orientation::Portrait);
        EXPECT_EQ(report.pageMargins(), c.expected);
    }

    struct FontCase {
        FontPitch pitch;
        bool fixed;
    };
    for (const FontCase& c : {FontCase{FontPitch::Fixed, true}, FontCase{FontPitch::Variable, false}}) {
        PrintSettings s;
        s.fontName = QStringLiteral("Courier New");
        s.fontSize = 9;
        s.fontPitch = c.pitch;
        reportengine::Report report;
        applyPageSettings(report, s, kA4PaperSize, PrinterLimits{});
        EXPECT_EQ(report.reportFont().family(), "Courier New");
        EXPECT_EQ(report.reportFont().pointSizeF(), 9);
        EXPECT_EQ(report.reportFont().fixedPitch(), c.fixed);
    }
}

TEST(ApplyPrintSettings, PrintsTheChosenPagesAndCopies)
{
    testsupport::TempDir dir;
    reportengine::Report report;
    defineReport(report);
    reportengine::ListSource rows = numbers(6);
    const reportengine::PageList pages = report.layout(rows);
    ASSERT_EQ(pages.pageCount(), 3);

    struct Case {
        int first, last, copies;
        int printed;
    };
    const std::vector<Case> cases{
        {0, 0, 1, 3},
        {2, 3, 1, 2},
        {2, 0, 1, 2}, // no last page: to the end
        {0, 0, 2, 6},
        {2, 3, 3, 6},
        {3, 9, 1, 1}, // beyond the last page: up to the last one
    };
    int n = 0;
    for (const Case& c : cases) {
        PrintSettings s;
        s.firstPage = c.first;
        s.lastPage = c.last;
        s.copies = c.copies;
        const QString file = dir.file(QStringLiteral("proba%1.pdf").arg(++n));
        ASSERT_TRUE(printReportPages(pages, s, QString::fromLatin1(kPdfPrinterName), file));
        EXPECT_EQ(pdfPageCount(file), c.printed) << c.first << ".." << c.last << " x" << c.copies;
    }
}

TEST(ApplyPrintSettings, PreviewShowsTheReportOnThePrintersPaper)
{
    FakePrinters printers;
    common::ScriptedDialogs dialogs;
    PrintSettings s;
    s.fontName = QStringLiteral("Arial");
    s.fontSize = 8;
    s.paperSize = 0; // the printer's own paper: A4
    s.orientation = PageOrientation::Landscape;
    s.topMargin = s.leftMargin = s.bottomMargin = s.rightMargin = 2;
    reportengine::Report report;
    defineReport(report);
    reportengine::ListSource rows = numbers(3);

    std::optional<reportengine::PageSetup> shown;
    onNextModal([&shown](QWidget* w) {
        if (auto* preview = qobject_cast<reportengine::ReportPreview*>(w))
            shown = preview->logic().pages().setup;
        w->close();
    });
    EXPECT_TRUE(ApplyPrintSettings(report, &rows, s, printers, dialogs));
    ASSERT_TRUE(shown);
    EXPECT_EQ(shown->paperIndex, kA4PaperSize);
    EXPECT_EQ(shown->paper, QSizeF(297, 210));
    EXPECT_EQ(shown->margins, QMarginsF(5, 6, 7, 4)) << "the Laser's landscape minimums";
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST(ApplyPrintSettings, PrintingToPdfAsksForTheFile)
{
    testsupport::TempDir dir;
    FakePrinters printers;
    common::ScriptedDialogs dialogs;
    PrintSettings s;
    s.preview = false;
    s.printer = QString::fromLatin1(kPdfPrinterName);
    const QString file = dir.file(QStringLiteral("raport.pdf"));

    for (bool give : {false, true}) {
        reportengine::Report report;
        defineReport(report);
        reportengine::ListSource rows = numbers(3);
        onNextModal([&](QWidget* w) {
            auto* fileDialog = qobject_cast<QFileDialog*>(w);
            ASSERT_TRUE(fileDialog);
            if (give) {
                fileDialog->selectFile(file);
                static_cast<QDialog*>(fileDialog)->accept(); // QFileDialog::accept checks the name
            } else {
                fileDialog->reject();
            }
        });
        EXPECT_EQ(ApplyPrintSettings(report, &rows, s, printers, dialogs), give);
        EXPECT_EQ(QFile::exists(file), give);
    }
    EXPECT_EQ(pdfPageCount(file), 2);
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST(ApplyPrintSettings, AFileThatCannotBeWrittenIsReported)
{
    testsupport::TempDir dir;
    reportengine::Report report;
    defineReport(report);
    reportengine::ListSource rows = numbers(1);
    const reportengine::PageList pages = report.layout(rows);
    EXPECT_FALSE(printReportPages(pages, PrintSettings{}, QString::fromLatin1(kPdfPrinterName),
                                  dir.file(QStringLiteral("nu/exista/raport.pdf"))));
}
