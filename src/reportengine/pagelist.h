#pragma once
// A report laid out into pages: every text, line and box with its place on
// the paper in millimetres from the paper's top-left corner. A page list is
// made once and then drawn on any canvas (preview, printer, PDF, text
// capture for the export filters and the tests).

#include <QFont>
#include <QLineF>
#include <QList>
#include <QMarginsF>
#include <QRectF>
#include <QSizeF>
#include <QString>

namespace reportengine {

enum class BandKind {
    Title,        // once, at the top of the first page
    PageHeader,   // at the top of every page
    ColumnHeader, // under the page header (and the title) on every page
    GroupHeader,  // when a group starts
    Detail,       // once per row
    SubDetail,    // once per row of a list that belongs to the current row
    GroupFooter,  // when a group ends
    Summary,      // once, after the last row
    PageFooter,   // at the bottom of every page
    Child,        // right after its parent band, whenever the parent prints
};

enum class Orientation { Portrait, Landscape };
enum class Align { Left, Center, Right };

// The paper and margins a report was laid out on.
struct PageSetup {
    int paperIndex = 9;                       // entry of paperSizes()
    QSizeF paper{210, 297};                   // millimetres, as printed (landscape: wide)
    Orientation orientation = Orientation::Portrait;
    QMarginsF margins{10, 10, 10, 10};        // millimetres
    QFont font;                               // the report's font
    QSizeF portraitPaper() const { return paper.width() <= paper.height() ? paper : paper.transposed(); }
};

struct PageItem {
    enum Kind : quint8 { Text, Line, Rect };
    Kind kind = Text;
    Align align = Align::Left;
    BandKind band = BandKind::Detail; // the band that printed it
    bool clip = false;                // left-aligned text wider than its box: cut at the box
    int font = 0;                     // index into PageList::fonts
    double lineWidth = 0;             // lines and boxes, millimetres
    QRectF box;                       // text: the box of this line of text; box: the rectangle
    QLineF line;                      // lines
    double textX = 0;                 // where the text starts after alignment (mm)
    double textWidth = 0;             // the text's width (mm)
    double baseline = 0;              // text baseline (mm)
    QString text;
};

struct Page {
    QList<PageItem> items;
};

class PageList {
public:
    PageSetup setup;
    QString title;        // the document's name (preview caption, PDF title)
    QList<QFont> fonts;   // the fonts items refer to
    QList<Page> pages;

    int pageCount() const { return int(pages.size()); }
    // Every text of a page in the order it was laid out.
    QStringList texts(int page) const;
};

} // namespace reportengine
