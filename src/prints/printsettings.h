#pragma once
// The print parameters of one print or report (each print keeps its own, see
// printstore.h); the printers they can go to, with the margins each printer
// can reach; and the rules of the print-settings dialog (TQRPrnDlg) shown
// before each print, without widgets.

#include "common/dialogs.h"
#include "common/inifile.h"
#include "reportengine/papersizes.h"

#include <QMarginsF>
#include <QPageSize>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <optional>

class QPrinter;

namespace reportengine {
class PageList;
class Report;
} // namespace reportengine

namespace prints {

enum class FontPitch { Default = 0, Variable = 1, Fixed = 2 };
enum class PageOrientation { Portrait = 0, Landscape = 1 };

inline constexpr int kMaxFontNameLength = 30;
inline constexpr int kMinFontSize = 5;  // sizes offered by the font choice
inline constexpr int kMaxFontSize = 48;
inline constexpr int kMaxCopies = 1000;
inline constexpr int kMaxPage = 9999;
inline constexpr int kA4PaperSize = reportengine::kPaperA4;
// The font the prints and reports are laid out for. Where it is not
// installed the system gives the font with its metrics (Liberation Sans).
inline constexpr const char* kDefaultFontName = "Arial";
inline constexpr int kDefaultFontSize = 8;

struct PrintSettings {
    QString fontName = QString::fromLatin1(kDefaultFontName); // empty: the default font
    int fontSize = kDefaultFontSize; // points
    FontPitch fontPitch = FontPitch::Default;
    bool preview = true;     // show the preview instead of printing
    int copies = 1;          // 1 to 1000
    int firstPage = 0;       // 0 and 0: all pages
    int lastPage = 0;
    PageOrientation orientation = PageOrientation::Portrait;
    int paperSize = 0;       // index into the paper list; 0 = the printer's default paper
    int topMargin = 5;       // millimetres
    int leftMargin = 5;
    int bottomMargin = 5;
    int rightMargin = 5;
    QString printer;         // the printer's name as listed; empty: the default printer
    // Chosen by the user in the print setup of this print (now or at an
    // earlier run): the print's defaults no longer apply.
    bool userChoice = false;

    bool operator==(const PrintSettings&) const = default;
};

// The parameters most documents start from: "Arial", 8 points, default
// pitch, A4, portrait ("Parametrii de listare impliciti: Arial, 8, A4,
// Portret"). Settings the user chose for the print (userChoice) are kept.
void useDocumentDefaults(PrintSettings& settings);

// ---------------------------------------------------------------------------
// Paper sizes: the index kept in the parameters is an entry of the report
// engine's paper list (reportengine::paperSizes()), 0 the printer's default.

// The paper of an index; nullopt for 0 and for an index outside the list.
std::optional<QPageSize> paperSizeOf(int index);

// ---------------------------------------------------------------------------
// Printers.

// The four margins, in the order of their boxes on the page "Pagina".
enum class MarginSide { Top, Bottom, Left, Right };

// The margins a printer can reach and the paper size, in whole millimetres,
// for one paper and orientation.
struct PrinterLimits {
    int minLeft = 0;
    int minTop = 0;
    int minRight = 0;
    int minBottom = 0;
    int paperWidth = 0;
    int paperHeight = 0;

    int minimum(MarginSide side) const;
    bool operator==(const PrinterLimits&) const = default;
};

// The limits from the unprintable edges of the paper held upright and its
// size, in millimetres: a minimum margin is the edge + 0.5 rounded to the
// nearest whole mm (so never below the edge), the paper its size rounded. A
// landscape page is the upright paper turned a quarter to the left: its left
// edge is the paper's top, its top the paper's right side.
PrinterLimits printerLimits(const QMarginsF& unprintableMm, const QSizeF& paperMm, PageOrientation orientation);

// The printer, paper and orientation a report goes to.
struct PrinterChoice {
    QString printer;
    int paperSize = 0;
    PageOrientation orientation = PageOrientation::Portrait;
};

// What the print settings need to know of the printers of this computer.
class Printers {
public:
    virtual ~Printers() = default;
    // The printers offered, in the order shown.
    virtual QStringList names() const = 0;
    // The printer a stored name stands for: that printer when it is
    // installed, otherwise the default one.
    virtual QString resolve(const QString& name) const = 0;
    virtual PrinterLimits limits(const PrinterChoice& choice) const = 0;
    // The index of the paper the printer uses for this choice (its default
    // paper for index 0); 0 when it reports none or one not in the list.
    virtual int paperIndex(const PrinterChoice& choice) const = 0;
};

// Printing to a PDF file: offered after the installed printers, and the
// default when none is installed.
inline constexpr const char* kPdfPrinterName = "Fisier PDF";

// Points `printer` at the choice: an installed printer by name, a PDF file
// for kPdfPrinterName (or an empty name), its paper and orientation.
void configurePrinter(QPrinter& printer, const PrinterChoice& choice);

// The printers of this computer, through Qt's print support.
class QtPrinters : public Printers {
public:
    QStringList names() const override;
    QString resolve(const QString& name) const override;
    PrinterLimits limits(const PrinterChoice& choice) const override;
    int paperIndex(const PrinterChoice& choice) const override;
};

// ---------------------------------------------------------------------------
// The rules of the print-settings dialog.

inline constexpr const char* kMarginQuestion =
    "Cel putin o margine este prea mica pentru a intra în zona imprimabila!\r"
    "Doriti ajustarea marginilor respective?";

class PrintSetupLogic {
public:
    // Opens on `settings`: an empty font name becomes the default font (Arial,
    // 8 points), never the printer's own fixed-pitch font, which the prints
    // are not laid out for; the limits are computed for the stored
    // printer, paper and orientation, and a margin below its minimum or
    // above the paper is replaced by the minimum. `settings` changes only
    // when print() closes the dialog.
    PrintSetupLogic(PrintSettings& settings, Printers& printers, common::Dialogs& dialogs);

    // Page "Listare ".
    bool partial() const { return m_partial; }
    void setPartial(bool partial);
    int firstPage() const { return m_firstPage; }
    void setFirstPage(int page);    // 1 to 9999; the last page follows when below
    int lastPage() const { return m_lastPage; }
    void setLastPage(int page);     // the first page to 9999
    int copies() const { return m_copies; }
    void setCopies(int copies);     // 1 to 1000
    bool preview() const { return m_preview; }
    void setPreview(bool preview) { m_preview = preview; }
    QStringList printerNames() const { return m_printers.names(); }
    QString printer() const { return m_choice.printer; }
    void setPrinter(const QString& name); // recomputes the limits
    QString fontName() const { return m_fontName; }
    int fontSize() const { return m_fontSize; }
    FontPitch fontPitch() const { return m_fontPitch; }
    void setFont(const QString& name, int size, FontPitch pitch); // 30 characters, 5 to 48 points
    QString fontText() const;       // the name, three blanks and the size

    // Page "Pagina".
    int margin(MarginSide side) const;
    // The box being edited gives way: left + right never exceed the paper
    // width, top + bottom never its height. Returns the value kept.
    int setMargin(MarginSide side, int value);
    int marginMaximum(MarginSide side) const; // the paper width or height
    PageOrientation orientation() const { return m_choice.orientation; }
    void setOrientation(PageOrientation orientation); // recomputes the limits
    int paperSize() const { return m_choice.paperSize; }
    // After the printer setup: the paper and orientation chosen there.
    void setPaper(int paperSize, PageOrientation orientation);
    PrinterChoice choice() const { return m_choice; }
    const PrinterLimits& limits() const { return m_limits; }

    // "&Printeaza": true when the dialog closes with the parameters stored
    // (and marked as the user's choice).
    // When a margin is below its minimum the user is asked whether to
    // adjust; on "Da" the margins are adjusted and the dialog stays open on
    // page "Pagina" with the focus on focusMargin() (false).
    bool print();
    MarginSide focusMargin() const { return m_focus; }

private:
    void recomputeLimits();
    int& marginRef(MarginSide side);
    void store();

    PrintSettings& m_settings;
    Printers& m_printers;
    common::Dialogs& m_dialogs;

    bool m_partial = false;
    int m_firstPage = 1;
    int m_lastPage = 1;
    int m_copies = 1;
    bool m_preview = true;
    QString m_fontName;
    int m_fontSize = 10;
    FontPitch m_fontPitch = FontPitch::Default;
    PrinterChoice m_choice;
    PrinterLimits m_limits;
    int m_top = 0;
    int m_left = 0;
    int m_bottom = 0;
    int m_right = 0;
    MarginSide m_focus = MarginSide::Top;
};

// ---------------------------------------------------------------------------
// Applying the parameters to a report.

// Sets the page of a report from the parameters: the font (name, size,
// pitch), the paper `paperIndex` (the paper the printer uses, see
// Printers::paperIndex) and the orientation, and the margins, each raised to
// the printer's minimum.
void applyPageSettings(reportengine::Report& report, const PrintSettings& settings, int paperIndex,
                       const PrinterLimits& limits);

// Prints laid-out pages on `printer` (an installed printer's name, or
// kPdfPrinterName to write the PDF file `pdfFile`) with the copies and the
// pages of the parameters (first and last page from 1; 0 and 0 all pages).
// Copies that the printer cannot make itself are sent as repeated pages.
// False when the printer or the file cannot be started.
bool printReportPages(const reportengine::PageList& pages, const PrintSettings& settings, const QString& printer,
                      const QString& pdfFile = {});

} // namespace prints
