#include "prints/printsettings.h"
#include "prints/printstore.h"
#include "prints/tqrprndlg.h"

#include "printstest.h"

#include "common/scripteddialogs.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <vector>

using namespace prints;
using printstest::FakePrinters;
using common::Answer;
using common::ScriptedDialogs;

namespace {

QByteArray contents(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

const PrinterLimits kLaserPortrait{4, 5, 6, 7, 210, 297};
const PrinterLimits kLaserLandscape{5, 6, 7, 4, 297, 210};

} // namespace

// ---------------------------------------------------------------------------
// One print's section of the application INI file

class PrintSection : public ::testing::Test {
protected:
    QString path() const { return dir.file("mirafel.INI"); }
    testsupport::TempDir dir;
};

TEST_F(PrintSection, AbsentKeysKeepTheSettingsGiven)
{
    writeBytes(path(), "[Options]\r\nRefresh=30\r\n[Print invoice]\r\nFontSize=9\r\n");
    PrintSettings current;
    current.fontName = "Tahoma";
    current.printer = "Laser";
    current.paperSize = 11;
    current.orientation = PageOrientation::Landscape;
    current.topMargin = 11;
    current.leftMargin = 12;
    current.bottomMargin = 13;
    current.rightMargin = 14;
    current.preview = false;
    current.copies = 3;
    current.firstPage = 2;
    current.lastPage = 4;

    const common::IniFile ini(path());
    EXPECT_EQ(readPrintSettings(ini, "Print consumption-note", current), current) << "no section of its own";
    PrintSettings expected = current;
    expected.fontSize = 9;
    EXPECT_EQ(readPrintSettings(ini, "print INVOICE", current), expected) << "sections ignore case";
    EXPECT_EQ(readPrintSettings(common::IniFile(dir.file("none.INI")), "Print invoice", current), current);
}

TEST_F(PrintSection, ValuesComeBackByteForByte)
{
    const QByteArray file = "[Options]\r\n"
                            "Refresh=30\r\n"
                            "[Print consumption-note]\r\n"
                            "FontName=Courier New\r\n"
                            "FontSize=9\r\n"
                            "FontPitch=2\r\n"
                            "PageOrientation=1\r\n"
                            "PaperSize=11\r\n"
                            "TopMargin=12\r\n"
                            "LeftMargin=8\r\n"
                            "BottomMargin=15\r\n"
                            "RightMargin=0\r\n"
                            "[XZip]\r\n"
                            "Path=/tmp\r\n";
    writeBytes(path(), file);
    common::IniFile ini(path());
    const QString section = "Print consumption-note";
    const PrintSettings s = readPrintSettings(ini, section, PrintSettings{});
    EXPECT_EQ(s.fontName, "Courier New");
    EXPECT_EQ(s.fontSize, 9);
    EXPECT_EQ(s.fontPitch, FontPitch::Fixed);
    EXPECT_EQ(s.orientation, PageOrientation::Landscape);
    EXPECT_EQ(s.paperSize, 11);
    EXPECT_EQ(s.topMargin, 12);
    EXPECT_EQ(s.leftMargin, 8);
    EXPECT_EQ(s.bottomMargin, 15);
    EXPECT_EQ(s.rightMargin, 0);

    ASSERT_TRUE(writePrintSettings(ini, section, s));
    EXPECT_EQ(contents(path()), file);

    // Into a file that has no such section: the keys in their order.
    common::IniFile fresh(dir.file("fresh.INI"));
    ASSERT_TRUE(writePrintSettings(fresh, section, s));
    const qsizetype from = file.indexOf("[Print consumption-note]");
    EXPECT_EQ(contents(fresh.path()), file.mid(from, file.indexOf("[XZip]") - from));

    // Without the page (a pre-printed form's page is its layout file's): the font alone.
    common::IniFile fontOnly(dir.file("font.INI"));
    ASSERT_TRUE(writePrintSettings(fontOnly, section, s, false));
    EXPECT_EQ(contents(fontOnly.path()), "[Print consumption-note]\r\nFontName=Courier New\r\nFontSize=9\r\nFontPitch=2\r\n");
    const PrintSettings fontRead = readPrintSettings(ini, section, PrintSettings{}, false);
    PrintSettings expected;
    expected.fontName = "Courier New";
    expected.fontSize = 9;
    expected.fontPitch = FontPitch::Fixed;
    EXPECT_EQ(fontRead, expected);
}

TEST_F(PrintSection, UnusableValuesAreReadAsAbsent)
{
    struct Case {
        const char* line;
        PrintSettings expected;
    };
    PrintSettings current;
    current.topMargin = 20;
    current.leftMargin = 21;
    const auto with = [&current](auto change) {
        PrintSettings s = current;
        change(s);
        return s;
    };
    const std::vector<Case> cases{
        {"FontSize=0", current},
        {"FontSize=-8", current},
        {"FontSize=zece", current},
        {"FontPitch=3", current},
        {"FontPitch=-1", current},
        {"PageOrientation=2", current},
        {"PaperSize=-1", current},
        {"TopMargin=-4", current},
        {"LeftMargin=abc", current},
        {"FontName=", current},
        {"FontName=   ", current},
        {"FontName=Un nume de font mult prea lung pentru raport",
         with([](PrintSettings& s) { s.fontName = "Un nume de font mult prea lung"; })},
    };
    for (const Case& c : cases) {
        writeBytes(path(), QByteArray("[Print invoice]\r\n") + c.line + "\r\n");
        EXPECT_EQ(readPrintSettings(common::IniFile(path()), "Print invoice", current), c.expected) << c.line;
    }
}

TEST_F(PrintSection, AFileThatCannotBeWrittenIsReported)
{
    common::IniFile ini(dir.file("no-such-folder/mirafel.INI"));
    EXPECT_FALSE(writePrintSettings(ini, "Print invoice", PrintSettings{}));
}

// ---------------------------------------------------------------------------
// Printer limits

TEST(PrinterLimits, MarginsCoverTheUnprintableEdgesAndTurnWithThePage)
{
    struct Case {
        QMarginsF edges; // left, top, right, bottom of the upright paper
        QSizeF paper;
        PageOrientation orientation;
        PrinterLimits expected;
    };
    const std::vector<Case> cases{
        {{0, 0, 0, 0}, {210, 297}, PageOrientation::Portrait, {0, 0, 0, 0, 210, 297}},
        {{3.2, 4.1, 5.4, 6.6}, {210, 297}, PageOrientation::Portrait, {4, 5, 6, 7, 210, 297}},
        {{3.2, 4.1, 5.4, 6.6}, {210, 297}, PageOrientation::Landscape, {5, 6, 7, 4, 297, 210}},
        {{4.23, 6.35, 0.2, 12.7}, {215.9, 279.4}, PageOrientation::Portrait, {5, 7, 1, 13, 216, 279}},
        {{-1, 0, 0, 0}, {148.4, 209.6}, PageOrientation::Portrait, {0, 0, 0, 0, 148, 210}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(printerLimits(c.edges, c.paper, c.orientation), c.expected)
            << c.edges.left() << " " << c.edges.top() << " " << static_cast<int>(c.orientation);
}

TEST(PaperSizes, AnIndexIsAnEntryOfTheReportEnginesList)
{
    const QList<reportengine::PaperSize>& papers = reportengine::paperSizes();
    EXPECT_FALSE(paperSizeOf(0)) << "the printer's default";
    EXPECT_FALSE(paperSizeOf(-3));
    EXPECT_FALSE(paperSizeOf(int(papers.size())));
    EXPECT_EQ(paperSizeOf(kA4PaperSize)->id(), QPageSize::A4);
    EXPECT_EQ(paperSizeOf(11)->id(), QPageSize::A5);
    for (int i = 1; i < papers.size(); ++i) {
        const QSizeF size = paperSizeOf(i)->size(QPageSize::Millimeter);
        EXPECT_NEAR(size.width(), papers.at(i).size.width(), 1) << i;
        EXPECT_NEAR(size.height(), papers.at(i).size.height(), 1) << i;
    }
}

// This computer's printers: with none installed, the PDF file.
TEST(QtPrintersTest, PdfIsAlwaysOffered)
{
    QtPrinters printers;
    const QString pdf = QString::fromLatin1(kPdfPrinterName);
    EXPECT_EQ(printers.names().last(), pdf);
    EXPECT_EQ(printers.resolve(pdf), pdf);
    if (QPrinterInfo::availablePrinterNames().isEmpty()) {
        EXPECT_EQ(printers.resolve(QString()), pdf);
    }
    EXPECT_EQ(printers.limits({pdf, kA4PaperSize, PageOrientation::Portrait}), (PrinterLimits{0, 0, 0, 0, 210, 297}));
    EXPECT_EQ(printers.limits({pdf, 11, PageOrientation::Landscape}), (PrinterLimits{0, 0, 0, 0, 210, 148}));
    EXPECT_EQ(printers.paperIndex({pdf, 11, PageOrientation::Portrait}), 11);
    EXPECT_GT(printers.paperIndex({pdf, 0, PageOrientation::Portrait}), 0); // A4 or Letter
}

// ---------------------------------------------------------------------------
// The print-settings dialog

class PrintSetup : public ::testing::Test {
protected:
    PrintSetup()
    {
        settings.fontName = "Arial";
        settings.fontSize = 8;
        settings.topMargin = settings.leftMargin = settings.bottomMargin = settings.rightMargin = 10;
    }
    void setMargins(PrintSetupLogic& logic, int top, int left, int bottom, int right)
    {
        logic.setMargin(MarginSide::Top, top);
        logic.setMargin(MarginSide::Left, left);
        logic.setMargin(MarginSide::Bottom, bottom);
        logic.setMargin(MarginSide::Right, right);
    }
    static std::array<int, 4> margins(const PrintSetupLogic& logic)
    {
        return {logic.margin(MarginSide::Top), logic.margin(MarginSide::Left), logic.margin(MarginSide::Bottom),
                logic.margin(MarginSide::Right)};
    }
    static std::array<int, 4> margins(const PrintSettings& s)
    {
        return {s.topMargin, s.leftMargin, s.bottomMargin, s.rightMargin};
    }

    PrintSettings settings;
    FakePrinters printers;
    ScriptedDialogs dialogs;
};

TEST_F(PrintSetup, StoredMarginsOutsideThePrinterLimitsOpenAtTheMinimum)
{
    struct Case {
        std::array<int, 4> stored; // top, left, bottom, right
        std::array<int, 4> shown;
    };
    const std::vector<Case> cases{
        {{10, 10, 10, 10}, {10, 10, 10, 10}},
        {{5, 4, 7, 6}, {5, 4, 7, 6}},
        {{2, 0, 6, 5}, {5, 4, 7, 6}},             // below the minimum
        {{298, 211, 20, 20}, {5, 4, 20, 20}},     // above the paper
        {{100, 150, 100, 100}, {100, 4, 100, 6}}, // left + right wider than the paper
        {{200, 10, 100, 10}, {5, 10, 7, 10}},     // top + bottom taller than the paper
    };
    for (const Case& c : cases) {
        settings.topMargin = c.stored[0];
        settings.leftMargin = c.stored[1];
        settings.bottomMargin = c.stored[2];
        settings.rightMargin = c.stored[3];
        PrintSetupLogic logic(settings, printers, dialogs);
        EXPECT_EQ(logic.limits(), kLaserPortrait);
        EXPECT_EQ(margins(logic), c.shown) << c.stored[0] << " " << c.stored[1];
        EXPECT_EQ(margins(settings), c.stored) << "nothing is stored before Printeaza";
    }
}

TEST_F(PrintSetup, TheEditedMarginGivesWayToThePaper)
{
    PrintSetupLogic logic(settings, printers, dialogs);
    EXPECT_EQ(logic.marginMaximum(MarginSide::Left), 210);
    EXPECT_EQ(logic.marginMaximum(MarginSide::Top), 297);
    EXPECT_EQ(logic.setMargin(MarginSide::Left, 250), 200);
    EXPECT_EQ(logic.setMargin(MarginSide::Right, 30), 10);
    EXPECT_EQ(logic.setMargin(MarginSide::Left, 40), 40);
    EXPECT_EQ(logic.setMargin(MarginSide::Right, 30), 30);
    EXPECT_EQ(logic.setMargin(MarginSide::Bottom, 290), 287);
    EXPECT_EQ(logic.setMargin(MarginSide::Top, -3), 0); // below the minimum is allowed while editing

    logic.setOrientation(PageOrientation::Landscape);
    EXPECT_EQ(logic.limits(), kLaserLandscape);
    EXPECT_EQ(logic.marginMaximum(MarginSide::Left), 297);
    // 287 is now below the sheet: the bottom margin goes back to its minimum
    EXPECT_EQ(margins(logic), (std::array<int, 4>{0, 40, 4, 30}));

    logic.setPrinter("Matrix");
    EXPECT_EQ(logic.limits(), (PrinterLimits{10, 10, 10, 10, 305, 203}));
    logic.setPrinter("Nu exista");
    EXPECT_EQ(logic.printer(), "Laser");
}

TEST_F(PrintSetup, PrintAsksToAdjustMarginsThePrinterCannotReach)
{
    struct Case {
        const char* name;
        std::array<int, 4> typed; // top, left, bottom, right
        std::optional<Answer> answer; // nullopt: no question
        bool closes;
        std::array<int, 4> after;
        MarginSide focus;
    };
    const std::vector<Case> cases{
        {"all reachable", {5, 4, 7, 6}, std::nullopt, true, {5, 4, 7, 6}, MarginSide::Top},
        {"kept as typed", {10, 2, 10, 10}, Answer::No, true, {10, 2, 10, 10}, MarginSide::Top},
        {"raised", {1, 2, 10, 10}, Answer::Yes, false, {5, 4, 10, 10}, MarginSide::Left},
        {"raised, then too wide", {10, 2, 10, 206}, Answer::Yes, false, {10, 4, 10, 6}, MarginSide::Right},
        {"raised, then too tall", {0, 10, 292, 10}, Answer::Yes, false, {5, 10, 7, 10}, MarginSide::Bottom},
        {"bottom last", {0, 10, 3, 10}, Answer::Yes, false, {5, 10, 7, 10}, MarginSide::Bottom},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PrintSettings before = settings;
        PrintSettings s = settings;
        dialogs.clear();
        if (c.answer)
            dialogs.queueAnswer(*c.answer);
        PrintSetupLogic logic(s, printers, dialogs);
        setMargins(logic, c.typed[0], c.typed[1], c.typed[2], c.typed[3]);
        ASSERT_EQ(margins(logic), c.typed);

        EXPECT_EQ(logic.print(), c.closes);
        EXPECT_EQ(margins(logic), c.after);
        if (c.answer) {
            ASSERT_EQ(dialogs.messages.size(), 1);
            EXPECT_EQ(dialogs.last().icon, common::Icon::Warning);
            EXPECT_EQ(dialogs.last().buttons, common::Buttons::YesNo);
            EXPECT_EQ(dialogs.last().text, QString::fromUtf8("Cel putin o margine este prea mica pentru a intra "
                                                             "în zona imprimabila!\rDoriti ajustarea marginilor "
                                                             "respective?"));
        } else {
            EXPECT_TRUE(dialogs.messages.isEmpty());
        }
        if (c.closes) {
            EXPECT_EQ(margins(s), c.after);
        } else {
            EXPECT_EQ(s, before) << "nothing is stored while the dialog stays open";
            EXPECT_EQ(logic.focusMargin(), c.focus);
            // The adjusted margins are all reachable: the next Printeaza closes without asking.
            EXPECT_TRUE(logic.print());
            EXPECT_EQ(dialogs.messages.size(), 1);
            EXPECT_EQ(margins(s), c.after);
        }
    }
}

TEST_F(PrintSetup, PrintStoresTheParameters)
{
    settings.paperSize = 0;
    settings.printer.clear();
    PrintSetupLogic logic(settings, printers, dialogs);
    EXPECT_EQ(logic.printer(), "Laser");
    EXPECT_FALSE(logic.partial());
    logic.setPartial(true);
    logic.setFirstPage(3);
    EXPECT_EQ(logic.lastPage(), 3);
    logic.setLastPage(2);
    EXPECT_EQ(logic.lastPage(), 3);
    logic.setLastPage(12000);
    EXPECT_EQ(logic.lastPage(), kMaxPage);
    logic.setFirstPage(0);
    EXPECT_EQ(logic.firstPage(), 1);
    logic.setCopies(0);
    EXPECT_EQ(logic.copies(), 1);
    logic.setCopies(5000);
    EXPECT_EQ(logic.copies(), kMaxCopies);
    logic.setCopies(2);
    logic.setPreview(false);
    logic.setFont("Courier New", 60, FontPitch::Variable);
    EXPECT_EQ(logic.fontText(), "Courier New   48");
    logic.setFont("Courier New", 2, FontPitch::Variable);
    EXPECT_EQ(logic.fontSize(), kMinFontSize);
    logic.setFont("Courier New", 11, FontPitch::Variable);
    logic.setOrientation(PageOrientation::Landscape);
    EXPECT_FALSE(settings.userChoice);

    ASSERT_TRUE(logic.print());
    EXPECT_TRUE(settings.userChoice) << "the print's own choice from now on";
    EXPECT_EQ(settings.fontName, "Courier New");
    EXPECT_EQ(settings.fontSize, 11);
    EXPECT_EQ(settings.fontPitch, FontPitch::Variable);
    EXPECT_FALSE(settings.preview);
    EXPECT_EQ(settings.copies, 2);
    EXPECT_EQ(settings.firstPage, 1);
    EXPECT_EQ(settings.lastPage, kMaxPage);
    EXPECT_EQ(settings.orientation, PageOrientation::Landscape);
    EXPECT_EQ(settings.paperSize, kA4PaperSize) << "the paper the printer uses";
    EXPECT_EQ(settings.printer, "") << "still the default printer";

    // All pages store 0 and 0; another printer is stored by name.
    PrintSetupLogic again(settings, printers, dialogs);
    EXPECT_TRUE(again.partial());
    EXPECT_EQ(again.firstPage(), 1);
    EXPECT_EQ(again.lastPage(), kMaxPage);
    again.setPartial(false);
    again.setPrinter("Matrix");
    ASSERT_TRUE(again.print());
    EXPECT_EQ(settings.firstPage, 0);
    EXPECT_EQ(settings.lastPage, 0);
    EXPECT_EQ(settings.printer, "Matrix");
}

TEST_F(PrintSetup, AMissingPrinterIsNotForgotten)
{
    settings.printer = "Imprimanta de la etaj";
    PrintSetupLogic logic(settings, printers, dialogs);
    EXPECT_EQ(logic.printer(), "Laser");
    ASSERT_TRUE(logic.print());
    EXPECT_EQ(settings.printer, "Imprimanta de la etaj");
}

// The prints are laid out for a proportional font: without a font of
// their own they never open on the printer's fixed-pitch font (at 10
// points it garbled the receipt note: columns over each other, value and
// VAT run together).
TEST_F(PrintSetup, WithoutAFontTheDialogOpensOnTheDefaultFont)
{
    settings.fontName.clear();
    settings.fontSize = 10;
    settings.fontPitch = FontPitch::Fixed;
    PrintSetupLogic logic(settings, printers, dialogs);
    EXPECT_EQ(logic.fontName(), "Arial");
    EXPECT_EQ(logic.fontSize(), 8);
    EXPECT_EQ(logic.fontPitch(), FontPitch::Default);
    EXPECT_EQ(logic.fontText(), "Arial   8");
    EXPECT_TRUE(settings.fontName.isEmpty()) << "nothing stored before \"&Printeaza\"";

    // Settings nobody has chosen yet are in that font too.
    EXPECT_EQ(PrintSettings{}.fontName, "Arial");
    EXPECT_EQ(PrintSettings{}.fontSize, 8);
    EXPECT_EQ(PrintSettings{}.fontPitch, FontPitch::Default);
}

// The window binds its controls to the rules.
TEST_F(PrintSetup, WindowShowsWhatTheRulesKeep)
{
    TQRPrnDlg dlg(settings, printers, dialogs);
    EXPECT_EQ(dlg.windowTitle(), "Setari pentru listarea rapoarte");
    EXPECT_EQ(dlg.pages()->tabText(0), "Listare ");
    EXPECT_EQ(dlg.pages()->tabText(1), "Pagina");
    EXPECT_EQ(dlg.printButton()->toolTip(), "Sunt de acord");
    EXPECT_EQ(dlg.closeButton()->toolTip(), "Renunt");
    EXPECT_EQ(dlg.fontLabel()->text(), "Arial   8");
    EXPECT_EQ(dlg.printerBox()->currentText(), "Laser");
    EXPECT_EQ(dlg.printerBox()->count(), 3);
    EXPECT_TRUE(dlg.allPagesButton()->isChecked());
    EXPECT_FALSE(dlg.firstPageBox()->isEnabled());

    dlg.partialButton()->setChecked(true);
    EXPECT_TRUE(dlg.firstPageBox()->isEnabled());
    dlg.firstPageBox()->setValue(3);
    EXPECT_EQ(dlg.lastPageBox()->value(), 3);

    dlg.marginBox(MarginSide::Right)->setValue(30);
    dlg.marginBox(MarginSide::Left)->setValue(200);
    EXPECT_EQ(dlg.marginBox(MarginSide::Left)->value(), 180);
    dlg.landscapeButton()->setChecked(true);
    EXPECT_EQ(dlg.marginBox(MarginSide::Left)->maximum(), 297);

    // Closing stores nothing.
    const PrintSettings before = settings;
    dlg.closeButton()->click();
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
    EXPECT_EQ(settings, before);
}

TEST_F(PrintSetup, WindowStaysOnPageMarginsAfterAnAdjustment)
{
    TQRPrnDlg dlg(settings, printers, dialogs);
    dlg.marginBox(MarginSide::Top)->setValue(1);
    dialogs.queueAnswer(Answer::Yes);
    dlg.printClicked();
    EXPECT_EQ(dlg.result(), QDialog::Rejected) << "still open";
    EXPECT_EQ(dlg.pages()->currentIndex(), 1);
    EXPECT_EQ(dlg.marginBox(MarginSide::Top)->value(), 5);

    dlg.printButton()->click();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(settings.topMargin, 5);
}

// A picture of both pages for a look by eye: written only when
// MIRAFEL_SHOTS_DIR names a folder.
TEST_F(PrintSetup, Screenshots)
{
    const QString shots = qEnvironmentVariable("MIRAFEL_SHOTS_DIR");
    if (shots.isEmpty())
        GTEST_SKIP() << "MIRAFEL_SHOTS_DIR not set";
    QDir().mkpath(shots);
    QtPrinters real;
    TQRPrnDlg dlg(settings, real, dialogs);
    dlg.show();
    QApplication::processEvents();
    EXPECT_TRUE(dlg.grab().save(QDir(shots).filePath("printsetup_listare.png")));
    dlg.pages()->setCurrentIndex(1);
    QApplication::processEvents();
    EXPECT_TRUE(dlg.grab().save(QDir(shots).filePath("printsetup_pagina.png")));
}
