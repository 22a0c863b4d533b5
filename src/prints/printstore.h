#pragma once
// Every print and report keeps its own print settings.
//
// A print starts from its design: the font and page it is laid out for
// (PageDesign, declared with the print in documentPrintKinds() and, for the
// reports, by the report). What the user chooses for it in the print setup
// is kept for that print alone: in memory for the run, and at exit in its
// own section of the application INI file ("Print consumption-note",
// "Report inventory-list"), from which it comes back at the next start. The
// printer is shared by all prints: section PrinterSettings, key Printer.
//
// Preview, copies and pages are kept per print for the run only. A print on
// a pre-printed form takes margins, paper and orientation from its layout
// file (Factura.INI, Aviz.INI): its section keeps only the font.

#include "printsettings.h"

#include "common/inifile.h"

#include <QString>
#include <map>
#include <memory>

namespace prints {

// The font and page a print or report is designed for.
struct PageDesign {
    PageOrientation orientation = PageOrientation::Portrait;
    int paperSize = kA4PaperSize;
    QString fontName = QString::fromLatin1(kDefaultFontName);
    int fontSize = kDefaultFontSize;
    int topMargin = 10; // millimetres
    int leftMargin = 10;
    int bottomMargin = 10;
    int rightMargin = 10;
    // The page (margins, paper, orientation) comes from the print's layout
    // file, which keeps it; the print shows the print setup itself, opened
    // on that page.
    bool pageFromLayoutFile = false;
};

// A document's page: A4, Arial 8, margins of 10 mm.
PageDesign documentPage(PageOrientation orientation = PageOrientation::Portrait);
// A report's page: A4, Arial 8, margins of 5 mm.
PageDesign reportPage(PageOrientation orientation = PageOrientation::Portrait);
// A pre-printed form's page, kept by its layout file; Arial 8.
PageDesign layoutFilePage();

// The settings of a print the user has chosen nothing for.
PrintSettings designedSettings(const PageDesign& design);

// The INI sections: a print of documentPrintKinds() and a report of the
// reports' table, by their command-line names.
QString printSection(const QString& printName);
QString reportSection(const QString& reportName);

// The shared section: the printer.
inline constexpr const char* kPrinterSettingsSection = "PrinterSettings";

// One print's section: FontName, FontSize, FontPitch and, with `page`,
// PageOrientation, PaperSize, TopMargin, LeftMargin, BottomMargin,
// RightMargin, read over `current`. An absent key keeps the value of
// `current`, and so does a value that cannot be used: a font size below 1, a
// paper below 0, a pitch or orientation outside its values, a negative
// margin. A font name is cut to 30 characters.
PrintSettings readPrintSettings(const common::IniFile& ini, const QString& section, const PrintSettings& current,
                                bool page = true);
// Writes the same keys, in that order. False when the file cannot be written.
bool writePrintSettings(common::IniFile& ini, const QString& section, const PrintSettings& settings,
                        bool page = true);

class PrintSettingsStore {
public:
    // In memory only: every print starts from its design, nothing is read or written.
    PrintSettingsStore();
    // Over the application INI file, which lives longer than the store; reads the printer.
    explicit PrintSettingsStore(common::IniFile& ini);
    PrintSettingsStore(const PrintSettingsStore&) = delete;
    PrintSettingsStore& operator=(const PrintSettingsStore&) = delete;
    ~PrintSettingsStore();

    // Reads the printer again from section PrinterSettings (at start-up).
    void read();

    // The settings of the print or report of `section`. At its first use they
    // are made from `design` and then what the user chose for it at an earlier
    // run (its section of the INI file); afterwards they are the same object,
    // changed by the print setup, for as long as the store lives. The printer
    // is the one last chosen in the print setup of any print.
    PrintSettings& settings(const QString& section, const PageDesign& design);

    // The printer every print goes to (empty: the default printer).
    QString printer();

    // At exit: the printer to PrinterSettings (where the keys of the former
    // single set of parameters are removed) and each print's settings that
    // the user chose to its own section. False when the file cannot be
    // written; true without a file.
    bool write();

private:
    struct Entry {
        QString section;
        PrintSettings settings;
        bool pageFromLayoutFile = false;
    };
    void sharePrinter();

    common::IniFile* m_ini = nullptr;
    QString m_printer;
    std::map<QString, std::unique_ptr<Entry>> m_entries; // by section, in lower case
};

} // namespace prints
