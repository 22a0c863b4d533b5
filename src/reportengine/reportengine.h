#pragma once
// The banded report engine: every print and report is a Report definition
// laid out once into a PageList, which is then shown, printed, saved as PDF or
// exported (HTML, comma-delimited).
//
// A definition reads like the description of the print:
//
//   using namespace reportengine;
//   Report r;
//   r.page(kPaperA4, Orientation::Portrait).margins(10, 10, 10, 10).font("Arial", 8);
//   r.calculated("Valoare", [](const Row& row) { return row.number("Cantitate") * row.number("Pret"); });
//
//   Band& h = r.band(BandKind::PageHeader, 14);
//   h.label(0, 0, 0, "Situatia stocurilor").bold().fontSize(12);
//   h.label(0, 8, 20, "Articol");
//   h.label(150, 8, 40, "Valoare").right();
//
//   Group& g = r.group("Cod_gestiune").newPage();           // each warehouse on a new page
//   g.header(6).field(0, 0, 60, "Gestiune").bold();
//   Band& gf = g.footer(6);
//   gf.label(0, 0, 0, "Total gestiune");
//   gf.sum(150, 0, 40, "Valoare", "#,##0.00").right();      // restarts after the footer prints
//
//   Band& d = r.band(BandKind::Detail, 5);
//   d.count(0, 0, 8).resetAfter(gf).right();                 // running number within the warehouse
//   d.field(10, 0, 20, "Cod_articol");
//   d.field(35, 0, 100, "Denumire").wrap();                  // long names wrap, the band grows
//   d.field(150, 0, 40, "Valoare", "#,##0.00").right();
//
//   r.band(BandKind::Summary, 6).sum(150, 0, 40, "Valoare", "#,##0.00").right();
//   r.band(BandKind::PageFooter, 5).pageNumber(0, 0, 190, "Pagina %1 din %2").center();
//
//   PageList pages = r.layout(rows);   // rows: any RowSource (a query, a working table, a ListSource)
//   writePdf(pages, path);             // or ReportPreview, printPages, exportReport (output.h, exportfilters.h)
//
// Units are millimetres: an element's x is measured from the left margin, its
// y from the top of its band; a width of 0 sizes the element to its text and
// a height of 0 makes it one line of its font. Field names ignore case.
// Laying out measures text, so it needs a QGuiApplication.
//
// Printing order on a page: page header, title (first page only), column
// header, then the bands of the rows, and the page footer at the bottom of the
// page (a page header or footer with skipFirstPage() only from the second
// page on). For each row: the footers of the groups that end (innermost first; a
// change of an outer group ends every group inside it), the headers of the
// groups that start (outermost first), the detail band, then the sub-detail
// bands. After the last row: the remaining group footers and the summary.
// A band that does not fit above the page footer moves to the next page; a
// group with newPage() starts its header on a new page unless nothing but the
// page header, title, column header and the headers of the outer groups
// opening with it is on the page yet. Each band is
// followed by its child bands, on the same page. A switched-off band
// (setEnabled(false)) is skipped but its group still opens and closes, so a
// group can print its footer without its header. A band taller than an empty
// page is placed there anyway (it runs over the page footer).
//
// No band is left alone on a page:
// - The group headers that open for a row keep with the band printed after
//   them (the row's detail line, or whatever prints next while the detail is
//   switched off): when that band does not fit under them, the headers go to
//   the next page with it. Headers that would not fit on an empty page
//   together with that band stay where they are (the band moves alone), and
//   headers already at the top of a page never move again.
// - Totals never stand alone at the top of a page: when a band that closes a
//   page (a group footer or the summary after the last row, or a footer
//   before a group that starts a new page) does not fit, the last detail line
//   moves to the next page with it, with its children, its sub-detail lines
//   and the footers already printed after it (with the detail switched off:
//   the last row's group headers), unless it is the first line of its page or
//   it and the band would not fit on an empty page.
// A band is laid out once: keeping it with the next one moves its items to
// the next page, so laying out stays linear in the rows. Page footers hold
// what stays on their page: its last row, and page sums without the rows that
// moved on.
//
// Text that does not fit its element (single line, width given): a text
// value of a data or calculated field is cut with "…" at its end so that it
// ends 1 mm inside the element's width, measured as the layout measures: it
// never runs into the next column and keeps a gap before it. Numbers and
// dates get no "…": right-aligned and centred ones (amounts) run over their
// box, so that no digit is lost. elide(true) cuts any element's text so
// (labels too); without it, other texts wider than their box are cut at the
// box without a sign when left-aligned and run over it otherwise. The cut
// text is the text printed, exported and captured.
//
// Aggregates (sum, count, min, max, avg) take in every row of the report (not
// the rows of sub-detail lists), also while the detail band is switched off,
// and restart after their band prints
// (or is skipped): a group footer's sum covers its group, a page footer's sum
// its page. resetAfter() ties the restart to another band, running() never
// restarts. A row is taken in just before its detail band is placed, after
// any page break it causes, so page sums hold the rows printed on the page.

#include "pagelist.h"
#include "papersizes.h"
#include "rowsource.h"

#include "common/formats.h"

#include <QDateTime>
#include <QFont>
#include <QList>
#include <QMarginsF>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace reportengine {

class Band;
class Group;
class Report;

using CalcFn = std::function<QVariant(const Row&)>;
using RowTest = std::function<bool(const Row&)>;
// The list a sub-detail band prints for one row of the report.
using SourceFn = std::function<std::unique_ptr<RowSource>(const Row& master)>;

enum class FontPitch { Default, Variable, Fixed };
enum class Aggregate { Sum, Count, Min, Max, Avg };
enum class ElementKind { Label, Field, Calc, Expression, PageNumber, Date, Time, Line, Box, VLine };

enum Frame : unsigned {
    NoFrame = 0,
    FrameLeft = 1,
    FrameTop = 2,
    FrameRight = 4,
    FrameBottom = 8,
    FrameAll = 15,
};

// Something a band prints. Setters return the element so that a definition
// can chain them: d.field(150, 0, 40, "Valoare", "#,##0.00").right().bold();
class Element {
public:
    virtual ~Element();
    Element(const Element&) = delete;
    Element& operator=(const Element&) = delete;

    ElementKind kind() const { return m_kind; }
    Band* band() const { return m_band; }

    // Geometry, millimetres.
    double x() const { return m_x; }
    double y() const { return m_y; }
    double width() const { return m_width; }
    double height() const { return m_height; }
    Element& setX(double x) { m_x = x; return *this; }
    Element& setY(double y) { m_y = y; return *this; }
    Element& setWidth(double w) { m_width = w; return *this; }
    Element& setHeight(double h) { m_height = h; return *this; }
    // An element of width 0 takes the width of its text.
    bool sizesItself() const { return m_width <= 0; }

    // Alignment of the text within the element's width.
    Element& left() { m_align = Align::Left; return *this; }
    Element& right() { m_align = Align::Right; return *this; }
    Element& center() { m_align = Align::Center; return *this; }
    Element& setAlignment(Align a) { m_align = a; return *this; }
    Align alignment() const { return m_align; }

    // Font: the report's font with these changes.
    Element& bold(bool on = true) { m_bold = on; return *this; }
    Element& italic(bool on = true) { m_italic = on; return *this; }
    Element& underline(bool on = true) { m_underline = on; return *this; }
    Element& fontSize(double points) { m_fontSize = points; return *this; }
    Element& fontFamily(const QString& family) { m_fontFamily = family; return *this; }
    QFont fontOver(const QFont& base) const;

    // Lines on the sides of the element's box (Frame flags).
    Element& frame(unsigned sides = FrameAll, double lineWidth = 0.2);
    unsigned frameSides() const { return m_frame; }
    double frameWidth() const { return m_frameWidth; }

    // Word-wrap within the width; the element grows downwards and its band
    // with it.
    Element& wrap(bool on = true) { m_wrap = on; return *this; }
    bool wraps() const { return m_wrap; }

    // A text wider than the element ends in "…" 1 mm inside its width (see
    // the rules above for the default: text values of data and calculated fields).
    Element& elide(bool on = true) { m_elide = on; return *this; }
    std::optional<bool> elision() const { return m_elide; } // unset: the default

    // Print mask: numbers through common::formatFloat ("#,##0.00"), dates
    // through common::formatDate ("dd.mm.yyyy"); texts print as they are.
    Element& mask(const QString& mask) { m_mask = mask; return *this; }
    const QString& printMask() const { return m_mask; }

    // Aggregates: restart after `band` prints instead of their own band;
    // running(): never restart.
    Element& resetAfter(const Band& band) { m_resetBand = &band; m_running = false; return *this; }
    Element& running() { m_running = true; m_resetBand = nullptr; return *this; }
    const Band* resetBand() const;  // null for running aggregates

    Element& setEnabled(bool on) { m_enabled = on; return *this; }
    bool isEnabled() const { return m_enabled; }

    Element& named(const QString& name) { m_name = name; return *this; }
    const QString& name() const { return m_name; }

    // What it prints: the caption of a label, the field of a data field or
    // aggregate, the format of a date or time, the text of a page number.
    const QString& text() const { return m_text; }
    Element& setText(const QString& text) { m_text = text; return *this; }
    // A label with lines prints them, one under the other, instead of its text.
    const QStringList& lines() const { return m_lines; }
    Element& setLines(const QStringList& lines) { m_lines = lines; return *this; }
    const CalcFn& calculation() const { return m_calc; }
    Aggregate aggregate() const { return m_aggregate; }
    // Lines and boxes: the second corner and the line width.
    double x2() const { return m_x2; }
    double y2() const { return m_y2; }
    double lineWidth() const { return m_lineWidth; }

    // Called on every element before a layout, in band order, with the
    // report's page settings final: elements that take their place from
    // elsewhere (layout files) set it here.
    virtual void prepare(Report& report);

protected:
    Element(ElementKind kind, double x, double y, double width, QString text = {});

private:
    friend class Band;
    ElementKind m_kind;
    Band* m_band = nullptr;
    double m_x = 0;
    double m_y = 0;
    double m_width = 0;
    double m_height = 0;
    Align m_align = Align::Left;
    std::optional<bool> m_bold;
    std::optional<bool> m_italic;
    std::optional<bool> m_underline;
    double m_fontSize = 0;
    QString m_fontFamily;
    unsigned m_frame = NoFrame;
    double m_frameWidth = 0.2;
    bool m_wrap = false;
    std::optional<bool> m_elide;
    QString m_mask;
    const Band* m_resetBand = nullptr;
    bool m_running = false;
    bool m_enabled = true;
    QString m_name;
    QString m_text;
    QStringList m_lines;
    CalcFn m_calc;
    Aggregate m_aggregate = Aggregate::Sum;
    double m_x2 = 0;
    double m_y2 = 0;
    double m_lineWidth = 0.2;

    friend class Label;
    friend class DataField;
    friend class CalcField;
    friend class ExprField;
    friend class Shape;
    friend class SystemField;
};

// A fixed caption (or its lines).
class Label : public Element {
public:
    Label(double x, double y, double width, const QString& caption);
};

// A field of the current row, printed with the element's mask.
class DataField : public Element {
public:
    DataField(double x, double y, double width, const QString& field, const QString& mask = {});
};

// A value computed from the current row.
class CalcField : public Element {
public:
    CalcField(double x, double y, double width, CalcFn calc, const QString& mask = {});
};

// An aggregate of a field over the rows since its band last printed.
class ExprField : public Element {
public:
    ExprField(double x, double y, double width, Aggregate aggregate, const QString& field,
              const QString& mask = {});
};

// Page number ("%1" the page, "%2" the number of pages), printing date or time.
class SystemField : public Element {
public:
    SystemField(ElementKind kind, double x, double y, double width, const QString& text);
};

// Lines and boxes.
class Shape : public Element {
public:
    Shape(ElementKind kind, double x1, double y1, double x2, double y2, double lineWidth);
};

class Band {
public:
    Band(const Band&) = delete;
    Band& operator=(const Band&) = delete;
    ~Band();

    BandKind kind() const { return m_kind; }
    Report& report() const { return *m_report; }
    Band* parent() const { return m_parent; } // child bands
    Group* group() const { return m_group; }  // group headers and footers

    double height() const { return m_height; }
    Band& setHeight(double mm) { m_height = mm; return *this; }
    bool isEnabled() const { return m_enabled; }
    Band& setEnabled(bool on) { m_enabled = on; return *this; }
    // Prints only for rows that pass the test (it counts as switched off for the others).
    Band& printWhen(RowTest test) { m_condition = std::move(test); return *this; }
    // Page headers and footers: left off the first page (a document whose
    // title names it there repeats its number on the pages that follow).
    Band& skipFirstPage(bool on = true) { m_skipFirstPage = on; return *this; }
    bool skipsFirstPage() const { return m_skipFirstPage; }
    const RowTest& condition() const { return m_condition; }
    // Lines on the sides of the band, across the printable width and its whole height.
    Band& frame(unsigned sides = FrameAll, double lineWidth = 0.2);
    unsigned frameSides() const { return m_frame; }
    double frameWidth() const { return m_frameWidth; }

    Element& label(double x, double y, double width, const QString& text);
    Element& field(double x, double y, double width, const QString& field, const QString& mask = {});
    Element& calc(double x, double y, double width, CalcFn calc, const QString& mask = {});
    Element& aggregate(Aggregate a, double x, double y, double width, const QString& field,
                       const QString& mask = {});
    Element& sum(double x, double y, double width, const QString& field, const QString& mask = {});
    Element& min(double x, double y, double width, const QString& field, const QString& mask = {});
    Element& max(double x, double y, double width, const QString& field, const QString& mask = {});
    Element& avg(double x, double y, double width, const QString& field, const QString& mask = {});
    Element& count(double x, double y, double width, const QString& mask = {});
    // Pages are numbered "Pagina N din M" on every print and report.
    Element& pageNumber(double x, double y, double width, const QString& text = QStringLiteral("Pagina %1 din %2"));
    Element& date(double x, double y, double width, const QString& format = QStringLiteral("dd.mm.yyyy"));
    Element& time(double x, double y, double width, const QString& format = QStringLiteral("hh:mm"));
    Element& line(double x1, double y1, double x2, double y2, double lineWidth = 0.2);
    Element& box(double x, double y, double width, double height, double lineWidth = 0.2);
    // A vertical line over the band's whole height, also when the band grows.
    Element& vline(double x, double lineWidth = 0.2);

    // Adds an element of any kind (layout-file elements, for instance).
    template <class T, class... Args>
    T& add(Args&&... args)
    {
        auto e = std::make_unique<T>(std::forward<Args>(args)...);
        T& ref = *e;
        adopt(std::move(e));
        return ref;
    }
    Element& adopt(std::unique_ptr<Element> element);
    const std::vector<std::unique_ptr<Element>>& elements() const { return m_elements; }

    // A new band printed right after this one.
    Band& child(double height);
    const std::vector<std::unique_ptr<Band>>& children() const { return m_children; }

    // Sub-detail bands: the list printed for each row.
    const SourceFn& source() const { return m_source; }

private:
    friend class Report;
    friend class Group;
    Band(Report& report, BandKind kind, double height);
    Report* m_report;
    BandKind m_kind;
    double m_height;
    bool m_enabled = true;
    bool m_skipFirstPage = false;
    RowTest m_condition;
    unsigned m_frame = NoFrame;
    double m_frameWidth = 0.2;
    Band* m_parent = nullptr;
    Group* m_group = nullptr;
    SourceFn m_source;
    std::vector<std::unique_ptr<Element>> m_elements;
    std::vector<std::unique_ptr<Band>> m_children;
};

// Rows with the same key form a group; groups nest in the order they are defined.
class Group {
public:
    Group(const Group&) = delete;
    Group& operator=(const Group&) = delete;
    ~Group();

    // The group's header starts a new page.
    Group& newPage(bool on = true) { m_newPage = on; return *this; }
    bool startsNewPage() const { return m_newPage; }
    // The header and footer bands, made on the first call (a later call sets the height).
    Band& header(double height);
    Band& footer(double height);
    Band* headerBand() const { return m_header.get(); }
    Band* footerBand() const { return m_footer.get(); }
    // The key of a row; rows whose keys are equal belong to the same group.
    QVariant key(const Row& row) const { return m_key(row); }
    const QString& field() const { return m_field; } // the field the group is on, when it is one

private:
    friend class Report;
    Group(Report& report, QString field, CalcFn key);
    Report* m_report;
    QString m_field;
    CalcFn m_key;
    bool m_newPage = false;
    std::unique_ptr<Band> m_header;
    std::unique_ptr<Band> m_footer;
};

class Report {
public:
    Report();
    ~Report();
    Report(const Report&) = delete;
    Report& operator=(const Report&) = delete;

    // Paper (an entry of paperSizes(); 0, the printer's default, lays out on A4).
    Report& page(int paperIndex, Orientation orientation = Orientation::Portrait);
    // A paper of any size, given in portrait (width <= height).
    Report& page(const QSizeF& portraitPaper, Orientation orientation = Orientation::Portrait);
    Report& orientation(Orientation orientation);
    Report& margins(double left, double top, double right, double bottom);
    Report& font(const QString& family, double pointSize, FontPitch pitch = FontPitch::Default);
    Report& formats(const common::Formats& formats);
    Report& title(const QString& title);
    // The date and time that date() and time() elements print (default: when the report is made).
    Report& printDate(const QDateTime& when);
    // A value every band can print as a field (a header query's columns, a chosen date).
    Report& value(const QString& name, const QVariant& value);
    // A field computed for each row from the fields before it.
    Report& calculated(const QString& name, CalcFn calc);

    // The band of a kind that a report has at most once (title, page header,
    // column header, detail, summary, page footer), made on the first call;
    // a later call sets its height. Throws ReportError for other kinds.
    Band& band(BandKind kind, double height);
    Band* findBand(BandKind kind) const; // null when there is none
    // Groups nest in the order they are made (the first is the outermost).
    Group& group(const QString& field);
    Group& group(CalcFn key);
    // A band printed after the detail band once for each row of the list
    // `source` gives for the current row.
    Band& subDetail(double height, SourceFn source);

    // Lays the report out over the rows (or over no rows).
    PageList layout(RowSource& rows);
    PageList layout();

    // Settings as given.
    const PageSetup& pageSetup() const { return m_setup; }
    int paperIndex() const { return m_setup.paperIndex; }
    QSizeF paperSize() const { return m_setup.paper; } // as printed
    Orientation pageOrientation() const { return m_setup.orientation; }
    QMarginsF pageMargins() const { return m_setup.margins; }
    QFont reportFont() const { return m_setup.font; }
    const common::Formats& numberFormats() const { return m_formats; }
    const QString& documentTitle() const { return m_title; }
    const QDateTime& when() const { return m_printDate; }
    double printableWidth() const;

    // Every band in the order of a first page: page header, title, column
    // header, group headers (outermost first), detail, sub-details, group
    // footers (innermost first), summary, page footer; children after their parent.
    QList<Band*> bands() const;
    QList<Group*> groups() const;
    // Every element of every band, in band order.
    QList<Element*> elements() const;

    // What calculated() and value() defined.
    struct Calculated {
        QString name;
        CalcFn calc;
    };
    const QList<Calculated>& calculatedFields() const { return m_calculated; }
    const QList<std::pair<QString, QVariant>>& values() const { return m_values; }

private:
    void applyPaper();
    PageSetup m_setup;
    common::Formats m_formats;
    QString m_title;
    QDateTime m_printDate;
    QList<Calculated> m_calculated;
    QList<std::pair<QString, QVariant>> m_values;
    std::unique_ptr<Band> m_titleBand;
    std::unique_ptr<Band> m_pageHeader;
    std::unique_ptr<Band> m_columnHeader;
    std::unique_ptr<Band> m_detail;
    std::unique_ptr<Band> m_summary;
    std::unique_ptr<Band> m_pageFooter;
    std::vector<std::unique_ptr<Group>> m_groups;
    std::vector<std::unique_ptr<Band>> m_subDetails;
    QSizeF m_customPaper; // empty unless page(QSizeF)
};

} // namespace reportengine
