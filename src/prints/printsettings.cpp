#include "printsettings.h"

#include "reportengine/output.h"
#include "reportengine/reportengine.h"

#include <QPageLayout>
#include <QPrinter>
#include <QPrinterInfo>
#include <algorithm>
#include <array>
#include <cmath>

namespace prints {

void useDocumentDefaults(PrintSettings& settings)
{
    if (settings.userChoice)
        return;
    settings.fontName = QString::fromLatin1(kDefaultFontName);
    settings.fontSize = kDefaultFontSize;
    settings.fontPitch = FontPitch::Default;
    settings.paperSize = kA4PaperSize;
    settings.orientation = PageOrientation::Portrait;
}

// ---------------------------------------------------------------------------
// Paper sizes

std::optional<QPageSize> paperSizeOf(int index)
{
    const QList<reportengine::PaperSize>& papers = reportengine::paperSizes();
    if (index <= reportengine::kDefaultPaper || index >= papers.size())
        return std::nullopt;
    // By its size, which the list is sure of; a standard size gets its standard name and code.
    const reportengine::PaperSize& paper = papers.at(index);
    return QPageSize(paper.size, QPageSize::Millimeter, paper.name, QPageSize::FuzzyMatch);
}

// ---------------------------------------------------------------------------
// Printers

int PrinterLimits::minimum(MarginSide side) const
{
    switch (side) {
    case MarginSide::Top:
        return minTop;
    case MarginSide::Bottom:
        return minBottom;
    case MarginSide::Left:
        return minLeft;
    case MarginSide::Right:
        return minRight;
    }
    return 0;
}

PrinterLimits printerLimits(const QMarginsF& unprintableMm, const QSizeF& paperMm, PageOrientation orientation)
{
    // The edge + 0.5 to the nearest whole number (ties to even): never below the edge.
    const auto margin = [](qreal mm) { return static_cast<int>(std::nearbyint(std::max<qreal>(mm, 0) + 0.5)); };
    PrinterLimits l;
    if (orientation == PageOrientation::Landscape) {
        l.minLeft = margin(unprintableMm.top());
        l.minTop = margin(unprintableMm.right());
        l.minRight = margin(unprintableMm.bottom());
        l.minBottom = margin(unprintableMm.left());
        l.paperWidth = qRound(paperMm.height());
        l.paperHeight = qRound(paperMm.width());
    } else {
        l.minLeft = margin(unprintableMm.left());
        l.minTop = margin(unprintableMm.top());
        l.minRight = margin(unprintableMm.right());
        l.minBottom = margin(unprintableMm.bottom());
        l.paperWidth = qRound(paperMm.width());
        l.paperHeight = qRound(paperMm.height());
    }
    return l;
}

namespace {

bool isPdf(const QString& name)
{
    return name == QLatin1String(kPdfPrinterName);
}

} // namespace

void configurePrinter(QPrinter& printer, const PrinterChoice& choice)
{
    if (isPdf(choice.printer) || choice.printer.isEmpty())
        printer.setOutputFormat(QPrinter::PdfFormat);
    else
        printer.setPrinterName(choice.printer);
    if (const auto paper = paperSizeOf(choice.paperSize))
        printer.setPageSize(*paper);
    printer.setPageOrientation(choice.orientation == PageOrientation::Landscape ? QPageLayout::Landscape
                                                                                : QPageLayout::Portrait);
}

QStringList QtPrinters::names() const
{
    QStringList names = QPrinterInfo::availablePrinterNames();
    names.append(QString::fromLatin1(kPdfPrinterName));
    return names;
}

QString QtPrinters::resolve(const QString& name) const
{
    if (isPdf(name))
        return name;
    const QStringList installed = QPrinterInfo::availablePrinterNames();
    if (!name.isEmpty() && installed.contains(name))
        return name;
    const QString def = QPrinterInfo::defaultPrinterName();
    if (!def.isEmpty() && installed.contains(def))
        return def;
    if (!installed.isEmpty())
        return installed.first();
    return QString::fromLatin1(kPdfPrinterName);
}

PrinterLimits QtPrinters::limits(const PrinterChoice& choice) const
{
    QPrinter printer(QPrinter::HighResolution);
    configurePrinter(printer, PrinterChoice{resolve(choice.printer), choice.paperSize, PageOrientation::Portrait});
    QPageLayout layout = printer.pageLayout();
    layout.setOrientation(QPageLayout::Portrait);
    layout.setUnits(QPageLayout::Millimeter);
    return printerLimits(layout.minimumMargins(), layout.fullRect(QPageLayout::Millimeter).size(),
                         choice.orientation);
}

int QtPrinters::paperIndex(const PrinterChoice& choice) const
{
    if (paperSizeOf(choice.paperSize))
        return choice.paperSize;
    QPrinter printer(QPrinter::HighResolution);
    configurePrinter(printer, PrinterChoice{resolve(choice.printer), choice.paperSize, choice.orientation});
    return reportengine::paperIndexOf(printer.pageLayout().pageSize());
}

// ---------------------------------------------------------------------------
// The print-settings dialog

PrintSetupLogic::PrintSetupLogic(PrintSettings& settings, Printers& printers, common::Dialogs& dialogs)
    : m_settings(settings), m_printers(printers), m_dialogs(dialogs)
{
    m_choice = PrinterChoice{printers.resolve(settings.printer), settings.paperSize, settings.orientation};
    if (settings.fontName.isEmpty()) {
        m_fontName = QString::fromLatin1(kDefaultFontName);
        m_fontSize = kDefaultFontSize;
        m_fontPitch = FontPitch::Default;
    } else {
        m_fontName = settings.fontName.left(kMaxFontNameLength);
        m_fontSize = settings.fontSize;
        m_fontPitch = settings.fontPitch;
    }
    m_preview = settings.preview;
    m_copies = std::clamp(settings.copies, 1, kMaxCopies);
    m_partial = settings.firstPage != 0 || settings.lastPage != 0;
    m_firstPage = std::clamp(settings.firstPage, 1, kMaxPage);
    m_lastPage = std::clamp(settings.lastPage, m_firstPage, kMaxPage);

    m_top = settings.topMargin;
    m_left = settings.leftMargin;
    m_bottom = settings.bottomMargin;
    m_right = settings.rightMargin;
    m_limits = m_printers.limits(m_choice);
    for (MarginSide side : {MarginSide::Top, MarginSide::Bottom, MarginSide::Left, MarginSide::Right}) {
        int& m = marginRef(side);
        if (m < m_limits.minimum(side) || m > marginMaximum(side))
            m = m_limits.minimum(side);
    }
    recomputeLimits(); // margins that together exceed the paper
}

void PrintSetupLogic::setPartial(bool partial)
{
    m_partial = partial;
}

void PrintSetupLogic::setFirstPage(int page)
{
    m_firstPage = std::clamp(page, 1, kMaxPage);
    m_lastPage = std::max(m_lastPage, m_firstPage);
}

void PrintSetupLogic::setLastPage(int page)
{
    m_lastPage = std::clamp(page, m_firstPage, kMaxPage);
}

void PrintSetupLogic::setCopies(int copies)
{
    m_copies = std::clamp(copies, 1, kMaxCopies);
}

void PrintSetupLogic::setPrinter(const QString& name)
{
    m_choice.printer = m_printers.resolve(name);
    recomputeLimits();
}

void PrintSetupLogic::setFont(const QString& name, int size, FontPitch pitch)
{
    if (!name.isEmpty())
        m_fontName = name.left(kMaxFontNameLength);
    m_fontSize = std::clamp(size, kMinFontSize, kMaxFontSize);
    m_fontPitch = pitch;
}

QString PrintSetupLogic::fontText() const
{
    return m_fontName + QStringLiteral("   ") + QString::number(m_fontSize);
}

int& PrintSetupLogic::marginRef(MarginSide side)
{
    switch (side) {
    case MarginSide::Top:
        return m_top;
    case MarginSide::Bottom:
        return m_bottom;
    case MarginSide::Left:
        return m_left;
    case MarginSide::Right:
        break;
    }
    return m_right;
}

int PrintSetupLogic::margin(MarginSide side) const
{
    return const_cast<PrintSetupLogic*>(this)->marginRef(side);
}

int PrintSetupLogic::marginMaximum(MarginSide side) const
{
    return side == MarginSide::Left || side == MarginSide::Right ? m_limits.paperWidth : m_limits.paperHeight;
}

int PrintSetupLogic::setMargin(MarginSide side, int value)
{
    const bool horizontal = side == MarginSide::Left || side == MarginSide::Right;
    const int other = horizontal ? (side == MarginSide::Left ? m_right : m_left)
                                 : (side == MarginSide::Top ? m_bottom : m_top);
    int& m = marginRef(side);
    m = std::clamp(value, 0, std::max(0, marginMaximum(side) - other));
    return m;
}

void PrintSetupLogic::setOrientation(PageOrientation orientation)
{
    m_choice.orientation = orientation;
    recomputeLimits();
}

void PrintSetupLogic::setPaper(int paperSize, PageOrientation orientation)
{
    m_choice.paperSize = paperSizeOf(paperSize) ? paperSize : 0;
    m_choice.orientation = orientation;
    recomputeLimits();
}

// New limits: a margin now above the paper is replaced by its minimum, and
// two margins that together exceed the paper are both set to their minimums.
void PrintSetupLogic::recomputeLimits()
{
    m_limits = m_printers.limits(m_choice);
    for (MarginSide side : {MarginSide::Top, MarginSide::Bottom, MarginSide::Left, MarginSide::Right}) {
        int& m = marginRef(side);
        if (m > marginMaximum(side))
            m = m_limits.minimum(side);
    }
    if (m_left + m_right > m_limits.paperWidth) {
        m_left = m_limits.minLeft;
        m_right = m_limits.minRight;
    }
    if (m_top + m_bottom > m_limits.paperHeight) {
        m_top = m_limits.minTop;
        m_bottom = m_limits.minBottom;
    }
}

bool PrintSetupLogic::print()
{
    recomputeLimits();
    const std::array sides{MarginSide::Top, MarginSide::Bottom, MarginSide::Left, MarginSide::Right};
    const bool fits = std::all_of(sides.begin(), sides.end(),
                                  [this](MarginSide s) { return margin(s) >= m_limits.minimum(s); });
    if (fits || !m_dialogs.confirm(QString::fromUtf8(kMarginQuestion), common::Buttons::YesNo,
                                   common::Icon::Warning)) {
        store();
        return true;
    }
    const auto set = [this](MarginSide side, int value) {
        int& m = marginRef(side);
        if (m != value) {
            m = value;
            m_focus = side;
        }
    };
    for (MarginSide side : sides)
        set(side, std::max(margin(side), m_limits.minimum(side)));
    if (m_left + m_right >= m_limits.paperWidth) {
        set(MarginSide::Left, m_limits.minLeft);
        set(MarginSide::Right, m_limits.minRight);
    }
    if (m_top + m_bottom >= m_limits.paperHeight) {
        set(MarginSide::Top, m_limits.minTop);
        set(MarginSide::Bottom, m_limits.minBottom);
    }
    return false;
}

void PrintSetupLogic::store()
{
    m_settings.fontName = m_fontName;
    m_settings.fontSize = m_fontSize;
    m_settings.fontPitch = m_fontPitch;
    m_settings.preview = m_preview;
    m_settings.copies = m_copies;
    m_settings.firstPage = m_partial ? m_firstPage : 0;
    m_settings.lastPage = m_partial ? m_lastPage : 0;
    m_settings.paperSize = m_printers.paperIndex(m_choice);
    m_settings.orientation = m_choice.orientation;
    m_settings.topMargin = m_top;
    m_settings.leftMargin = m_left;
    m_settings.bottomMargin = m_bottom;
    m_settings.rightMargin = m_right;
    m_settings.userChoice = true;
    // A stored name that still stands for the printer shown is kept as it is:
    // empty stays "the default printer", and a printer missing today is not
    // forgotten unless another one was chosen.
    if (m_printers.resolve(m_settings.printer) != m_choice.printer)
        m_settings.printer = m_choice.printer;
}

// ---------------------------------------------------------------------------
// Applying the parameters to a report

void applyPageSettings(reportengine::Report& report, const PrintSettings& settings, int paperIndex,
                       const PrinterLimits& limits)
{
    using reportengine::Orientation;
    const auto pitch = settings.fontPitch == FontPitch::Fixed      ? reportengine::FontPitch::Fixed
                       : settings.fontPitch == FontPitch::Variable ? reportengine::FontPitch::Variable
                                                                   : reportengine::FontPitch::Default;
    report.font(settings.fontName, settings.fontSize, pitch);
    report.page(paperIndex, settings.orientation == PageOrientation::Landscape ? Orientation::Landscape
                                                                               : Orientation::Portrait);
    report.margins(std::max(settings.leftMargin, limits.minLeft), std::max(settings.topMargin, limits.minTop),
                   std::max(settings.rightMargin, limits.minRight),
                   std::max(settings.bottomMargin, limits.minBottom));
}

bool printReportPages(const reportengine::PageList& pages, const PrintSettings& settings, const QString& printerName,
                      const QString& pdfFile)
{
    QPrinter printer(QPrinter::HighResolution);
    configurePrinter(printer, PrinterChoice{printerName, 0, PageOrientation::Portrait});
    if (isPdf(printerName) || printerName.isEmpty())
        printer.setOutputFileName(pdfFile);
    if (!pages.title.isEmpty())
        printer.setDocName(pages.title);

    // The pages chosen, once or as many times as the printer cannot copy them itself.
    const int count = pages.pageCount();
    if (count == 0)
        return reportengine::printPages(pages, printer);
    const int first = settings.firstPage > 0 ? std::min(settings.firstPage, count) - 1 : 0;
    const int last = settings.lastPage > 0 ? std::min(settings.lastPage, count) - 1 : count - 1;
    const int copies = std::clamp(settings.copies, 1, kMaxCopies);
    printer.setCopyCount(copies);
    if (copies == 1 || printer.supportsMultipleCopies())
        return reportengine::printPages(pages, printer, first, last);
    reportengine::PageList repeated = pages;
    repeated.pages.clear();
    for (int c = 0; c < copies; ++c)
        for (int p = first; p <= last; ++p)
            repeated.pages.append(pages.pages.at(p));
    printer.setCopyCount(1);
    return reportengine::printPages(repeated, printer, 0, -1);
}

} // namespace prints
