// Laying a report out into pages.

#include "reportengine.h"
#include "textmeasure.h"

#include <QHash>
#include <algorithm>
#include <cmath>
#include <limits>

namespace reportengine {

QStringList PageList::texts(int page) const
{
    QStringList out;
    if (page < 0 || page >= pages.size())
        return out;
    for (const PageItem& item : pages.at(page).items)
        if (item.kind == PageItem::Text)
            out << item.text;
    return out;
}

namespace {

constexpr double kEpsilon = 1e-6;
constexpr double kElisionGap = 1.0; // mm a cut text leaves free in its field

// The lines of a frame around `r`, one per side asked for.
void appendFrame(QList<PageItem>& items, const QRectF& r, unsigned sides, double width)
{
    const std::pair<unsigned, QLineF> edges[] = {
        {FrameTop, QLineF(r.topLeft(), r.topRight())},
        {FrameBottom, QLineF(r.bottomLeft(), r.bottomRight())},
        {FrameLeft, QLineF(r.topLeft(), r.bottomLeft())},
        {FrameRight, QLineF(r.topRight(), r.bottomRight())},
    };
    for (const auto& [side, line] : edges) {
        if (!(sides & side))
            continue;
        PageItem f;
        f.kind = PageItem::Line;
        f.line = line;
        f.lineWidth = width;
        items.append(f);
    }
}


// A value printed as a text (not a number or a date).
bool isText(const QVariant& v)
{
    if (v.isNull() || !v.isValid() || common::isNumber(v))
        return false;
    const int type = v.metaType().id();
    return type != QMetaType::QDate && type != QMetaType::QDateTime;
}

// A value as printed with a mask.
QString formatValue(const QVariant& v, const QString& mask, const common::Formats& formats)
{
    if (v.isNull() || !v.isValid())
        return {};
    if (common::isNumber(v))
        return common::formatFloat(mask, v.toDouble(), formats);
    switch (v.metaType().id()) {
    case QMetaType::QDate:
        return common::formatDate(mask.isEmpty() ? formats.shortDateFormat : mask, v.toDate(), formats);
    case QMetaType::QDateTime:
        return common::formatDate(mask.isEmpty() ? formats.shortDateFormat : mask, v.toDateTime().date(), formats);
    default:
        return v.toString();
    }
}

struct Accumulator {
    Aggregate kind = Aggregate::Sum;
    int column = -1;                    // in the main rows; -1 for a count
    const Band* resetBand = nullptr;    // null: never restarts
    qint64 rows = 0;
    qint64 values = 0;
    double sum = 0;
    double min = 0;
    double max = 0;

    void take(const Row& row)
    {
        ++rows;
        if (column < 0)
            return;
        const QVariant v = row.at(column);
        if (v.isNull())
            return;
        bool ok = false;
        const double d = v.toDouble(&ok);
        if (!ok)
            return;
        if (values == 0) {
            min = max = d;
        } else {
            min = std::min(min, d);
            max = std::max(max, d);
        }
        sum += d;
        ++values;
    }
    void reset() { rows = values = 0; sum = min = max = 0; }
    QVariant result() const
    {
        switch (kind) {
        case Aggregate::Sum: return sum;
        case Aggregate::Count: return double(rows);
        case Aggregate::Min: return values ? QVariant(min) : QVariant();
        case Aggregate::Max: return values ? QVariant(max) : QVariant();
        case Aggregate::Avg: return values ? QVariant(sum / double(values)) : QVariant();
        }
        return {};
    }
};

struct ElementPlan {
    Element* element = nullptr;
    int font = 0;
    int column = -1;      // data fields of the main rows
    int accumulator = -1; // aggregates
};

struct BandPlan {
    std::vector<ElementPlan> elements;
    bool main = true;                  // prints main rows (not a sub-detail list)
    BandKind root = BandKind::Detail;  // the kind of the band, or of its parent for a child band
};

// A place in the laid-out pages where a run of bands that keep together
// begins, with what the page footer needs should the run move on.
struct Mark {
    bool valid = false;
    int page = 0;
    qsizetype item = 0;         // the run's first item on its page
    double y = 0;               // its top
    bool pageHadBody = false;   // something printed above it: moving it leaves no empty page
    Row lastPlaced;             // the row the page footer shows without the run
    size_t pageNumbers = 0;     // the run's first pending page number
    qint64 row = 0;             // the row its bands opened for
    std::vector<Accumulator> accumulators; // as they were before the run
    std::vector<Accumulator> since;        // page aggregates over the rows taken since
};

// A band's contents before it is placed: items measured from the band's top.
struct Built {
    QList<PageItem> items;
    double height = 0;
    std::vector<const ElementPlan*> aggregates; // evaluated when placed
    struct PageNumber {
        qsizetype item;
        const Element* element; // its text has %1 (the page) and %2 (the pages)
    };
    std::vector<PageNumber> pageNumbers;
};

class LayoutRun {
public:
    explicit LayoutRun(Report& report) : m_report(report) {}
    PageList run(RowSource* rows);

private:
    void plan();
    void planBand(Band* band, bool main);
    Row readRow(RowSource& rows);

    void startPage();
    void endPage();
    void printFurniture(BandKind kind, const Row& row); // the page header or footer
    void ensureRoom(double height);
    void mark(Mark& m);
    bool canMove(const Mark& m, double nextHeight) const;
    void moveToNextPage(Mark& m);
    void printBand(Band* band, const Row& row, bool takeRow = false);
    Built build(const Band& band, const BandPlan& plan, const Row& row);
    void place(Built& built, const Band& band, const Row& row);
    void resetAfter(const Band* band);
    void take(const Row& row);

    QStringList evaluate(const ElementPlan& p, const Row& row, bool* text = nullptr) const;
    void addTextLines(Built& out, const ElementPlan& p, const QStringList& lines, double top, double& bottom);
    void alignItem(PageItem& item, double textWidth, double boxWidth) const;
    QVariant fieldValue(const ElementPlan& p, const Row& row) const;

    Report& m_report;
    const common::Formats* m_formats = nullptr;
    TextMeasure m_measure;
    PageList m_out;
    QHash<const Band*, BandPlan> m_plans;
    std::vector<Accumulator> m_accumulators;
    QHash<const Band*, std::vector<int>> m_resets; // band -> accumulators that restart after it
    std::shared_ptr<const Columns> m_columns;
    int m_sourceColumns = 0;

    double m_left = 0;       // left margin
    double m_bodyWidth = 0;  // printable width
    double m_y = 0;
    double m_bodyBottom = 0;
    double m_footerHeight = 0;
    double m_pageBodyTop = 0; // where the body of the current page starts
    bool m_pageHasBody = false;
    bool m_furniture = false;
    bool m_closing = false;   // placing the bands that close a page
    qint64 m_rowIndex = 0;    // the main row being processed, from 1
    Mark m_headers;           // the group headers just opened, kept with the next band
    Mark m_lastLine;          // the last detail line, kept with the totals
    std::vector<int> m_pageResets; // accumulators that restart after the page footer
    bool m_trackPage = false;      // the page footer prints aggregates or restarts some
    Row m_context;       // the row being processed
    Row m_lastPlaced;    // the main row of the last band placed in the body
    struct PendingNumber {
        int page;
        qsizetype item;
        QString text;
        bool autoWidth;
    };
    std::vector<PendingNumber> m_pageNumbers;
};

double childrenHeight(const Band& band)
{
    double h = 0;
    for (const auto& c : band.children())
        if (c->isEnabled())
            h += c->height() + childrenHeight(*c);
    return h;
}

void LayoutRun::planBand(Band* band, bool main)
{
    if (!band)
        return;
    BandPlan plan;
    plan.main = main;
    const Band* root = band;
    while (root->parent())
        root = root->parent();
    plan.root = root->kind();
    const QFont base = m_report.reportFont();
    for (const auto& e : band->elements()) {
        ElementPlan p;
        p.element = e.get();
        p.font = m_measure.fontIndex(e->fontOver(base));
        if (main && e->kind() == ElementKind::Field) {
            p.column = m_columns->indexOf(e->text());
            if (p.column < 0)
                throw ReportError(QStringLiteral("Campul \"%1\" nu exista in datele raportului").arg(e->text()));
        }
        if (e->kind() == ElementKind::Expression) {
            Accumulator a;
            a.kind = e->aggregate();
            a.resetBand = e->resetBand();
            if (a.kind != Aggregate::Count) {
                a.column = m_columns->indexOf(e->text());
                if (a.column < 0)
                    throw ReportError(QStringLiteral("Campul \"%1\" nu exista in datele raportului").arg(e->text()));
            }
            p.accumulator = int(m_accumulators.size());
            m_accumulators.push_back(a);
            if (a.resetBand)
                m_resets[a.resetBand].push_back(p.accumulator);
        }
        plan.elements.push_back(p);
    }
    m_plans.insert(band, std::move(plan));
    for (const auto& c : band->children())
        planBand(c.get(), main);
}

void LayoutRun::plan()
{
    for (Band* b : m_report.bands()) {
        if (b->parent())
            continue; // planned with its parent
        planBand(b, b->kind() != BandKind::SubDetail);
    }
    for (Group* g : m_report.groups())
        if (!g->field().isEmpty() && m_columns->indexOf(g->field()) < 0)
            throw ReportError(QStringLiteral("Campul \"%1\" nu exista in datele raportului").arg(g->field()));
}

Row LayoutRun::readRow(RowSource& rows)
{
    QVariantList values;
    values.reserve(m_columns->size());
    for (int i = 0; i < m_sourceColumns; ++i)
        values.append(rows.value(i));
    for (qsizetype i = 0; i < m_report.calculatedFields().size(); ++i)
        values.append(QVariant());
    for (const auto& v : m_report.values())
        values.append(v.second);
    Row row(m_columns, std::move(values));
    const auto& calculated = m_report.calculatedFields();
    for (qsizetype i = 0; i < calculated.size(); ++i)
        row.values()[m_sourceColumns + i] = calculated.at(i).calc(row);
    return row;
}

PageList LayoutRun::run(RowSource* rows)
{
    for (Element* e : m_report.elements())
        e->prepare(m_report);

    m_formats = &m_report.numberFormats();
    QStringList names = rows ? rows->columnNames() : QStringList();
    m_sourceColumns = int(names.size());
    for (const auto& c : m_report.calculatedFields())
        names << c.name;
    for (const auto& v : m_report.values())
        names << v.first;
    m_columns = std::make_shared<const Columns>(names);
    plan();

    m_out.setup = m_report.pageSetup();
    m_out.title = m_report.documentTitle();
    m_left = m_out.setup.margins.left();
    m_bodyWidth = m_report.printableWidth();
    if (Band* pf = m_report.findBand(BandKind::PageFooter); pf && pf->isEnabled())
        m_footerHeight = pf->height() + childrenHeight(*pf);
    // What a page footer prints and restarts, for the bands that move on.
    std::vector<const Band*> footerBands;
    if (Band* pf = m_report.findBand(BandKind::PageFooter))
        footerBands.push_back(pf);
    for (size_t i = 0; i < footerBands.size(); ++i) {
        const Band* b = footerBands[i];
        for (const auto& c : b->children())
            footerBands.push_back(c.get());
        for (const auto& e : b->elements())
            m_trackPage = m_trackPage || e->kind() == ElementKind::Expression;
        if (const auto it = m_resets.constFind(b); it != m_resets.constEnd())
            m_pageResets.insert(m_pageResets.end(), it->begin(), it->end());
    }
    m_trackPage = m_trackPage || !m_pageResets.empty();
    m_bodyBottom = m_out.setup.paper.height() - m_out.setup.margins.bottom() - m_footerHeight;

    // The context of bands printed before the first row or without rows.
    QVariantList empty;
    for (int i = 0; i < m_columns->size(); ++i)
        empty.append(QVariant());
    for (qsizetype i = 0; i < m_report.values().size(); ++i)
        empty[m_columns->size() - m_report.values().size() + i] = m_report.values().at(i).second;
    const Row emptyRow(m_columns, empty);

    const QList<Group*> groups = m_report.groups();
    const int groupCount = int(groups.size());
    Band* detail = m_report.findBand(BandKind::Detail);
    std::vector<Band*> subDetails;
    for (Band* b : m_report.bands())
        if (b->kind() == BandKind::SubDetail)
            subDetails.push_back(b);

    Row current;
    bool have = rows && rows->next();
    if (have)
        current = readRow(*rows);
    m_context = have ? current : emptyRow;
    m_lastPlaced = m_context;
    startPage();

    Row previous;
    std::vector<QVariant> previousKeys(groupCount);
    std::vector<QVariant> keys(groupCount);
    bool first = true;
    while (have) {
        ++m_rowIndex;
        for (int g = 0; g < groupCount; ++g)
            keys[g] = groups[g]->key(current);
        int changed = first ? 0 : groupCount;
        if (!first) {
            for (int g = 0; g < groupCount; ++g) {
                if (keys[g] != previousKeys[g]) {
                    changed = g;
                    break;
                }
            }
            // A change of a group ends every group inside it, innermost first;
            // before a group that starts a new page, its footers close the page.
            m_context = previous;
            for (int g = changed; g < groupCount; ++g)
                m_closing = m_closing || groups[g]->startsNewPage();
            for (int g = groupCount - 1; g >= changed; --g)
                printBand(groups[g]->footerBand(), previous);
            m_closing = false;
        }
        m_context = current;
        for (int g = changed; g < groupCount; ++g) {
            if (groups[g]->startsNewPage() && m_pageHasBody) {
                // The outer headers of this row go with it; when they are all
                // the page holds, the group starts here.
                const bool ownHeaders = m_headers.valid && m_headers.row == m_rowIndex
                                        && m_headers.page == m_out.pages.size() - 1;
                if (ownHeaders && canMove(m_headers, 0)) {
                    moveToNextPage(m_headers);
                } else if (!ownHeaders || m_headers.pageHadBody) {
                    endPage();
                    startPage();
                }
            }
            printBand(groups[g]->headerBand(), current);
        }
        printBand(detail, current, true);
        for (Band* sub : subDetails) {
            if (!sub->isEnabled() || !sub->source())
                continue;
            std::unique_ptr<RowSource> list = sub->source()(current);
            if (!list)
                continue;
            auto columns = std::make_shared<const Columns>(list->columnNames());
            const int n = columns->size();
            while (list->next()) {
                QVariantList values;
                values.reserve(n);
                for (int i = 0; i < n; ++i)
                    values.append(list->value(i));
                printBand(sub, Row(columns, std::move(values), &current));
            }
        }
        previous = current;
        previousKeys = keys;
        first = false;
        have = rows->next();
        if (have)
            current = readRow(*rows);
    }
    m_closing = true;
    if (!first) {
        m_context = previous;
        for (int g = groupCount - 1; g >= 0; --g)
            printBand(groups[g]->footerBand(), previous);
    }
    printBand(m_report.findBand(BandKind::Summary), first ? emptyRow : previous);
    m_closing = false;
    endPage();

    // Page numbers, now that the number of pages is known.
    const QString total = QString::number(m_out.pages.size());
    for (const PendingNumber& p : m_pageNumbers) {
        PageItem& item = m_out.pages[p.page].items[p.item];
        QString text = p.text;
        text.replace(QStringLiteral("%2"), total);
        text.replace(QStringLiteral("%1"), QString::number(p.page + 1));
        item.text = text;
        const double w = m_measure.width(item.font, text);
        if (p.autoWidth)
            item.box.setWidth(w);
        alignItem(item, w, item.box.width());
    }
    m_out.fonts = m_measure.fonts();
    return std::move(m_out);
}

void LayoutRun::printFurniture(BandKind kind, const Row& row)
{
    Band* band = m_report.findBand(kind);
    if (band && band->skipsFirstPage() && m_out.pages.size() == 1) {
        resetAfter(band); // as a switched-off band: its page sums start again
        return;
    }
    printBand(band, row);
}

void LayoutRun::startPage()
{
    m_out.pages.append(Page{});
    m_y = m_out.setup.margins.top();
    m_pageHasBody = false;
    m_furniture = true;
    printFurniture(BandKind::PageHeader, m_context);
    if (m_out.pages.size() == 1)
        printBand(m_report.findBand(BandKind::Title), m_context);
    printBand(m_report.findBand(BandKind::ColumnHeader), m_context);
    m_furniture = false;
    m_pageBodyTop = m_y;
}

void LayoutRun::endPage()
{
    m_furniture = true;
    m_y = m_bodyBottom;
    printFurniture(BandKind::PageFooter, m_lastPlaced);
    m_furniture = false;
}

void LayoutRun::ensureRoom(double height)
{
    if (m_furniture || !m_pageHasBody)
        return; // page furniture has its place; a band taller than an empty page prints there anyway
    if (m_y + height <= m_bodyBottom + kEpsilon)
        return;
    // Headers go with the band after them; totals take the last line along.
    Mark* keep = m_headers.valid ? &m_headers : (m_closing && m_lastLine.valid ? &m_lastLine : nullptr);
    if (keep && canMove(*keep, height)) {
        moveToNextPage(*keep);
        if (m_y + height <= m_bodyBottom + kEpsilon)
            return;
    }
    endPage();
    startPage();
}

void LayoutRun::mark(Mark& m)
{
    m.valid = true;
    m.page = int(m_out.pages.size() - 1);
    m.item = m_out.pages.last().items.size();
    m.y = m_y;
    m.pageHadBody = m_pageHasBody;
    m.lastPlaced = m_lastPlaced;
    m.pageNumbers = m_pageNumbers.size();
    m.row = m_rowIndex;
    if (m_trackPage) {
        m.accumulators = m_accumulators;
        m.since = m_accumulators;
        for (int i : m_pageResets)
            m.since[size_t(i)].reset();
    }
}

// The run from `m` to here can move to a new page, and there leave room for
// a band `nextHeight` tall (the body of this page measures the next one).
bool LayoutRun::canMove(const Mark& m, double nextHeight) const
{
    return m.valid && m.pageHadBody && m.page == m_out.pages.size() - 1
           && (m_y - m.y) + nextHeight <= m_bodyBottom - m_pageBodyTop + kEpsilon;
}

void LayoutRun::moveToNextPage(Mark& m)
{
    Page& old = m_out.pages.last();
    QList<PageItem> moved = old.items.mid(m.item);
    old.items.resize(m.item);
    const double height = m_y - m.y;
    const size_t numbersEnd = m_pageNumbers.size();

    // The page left behind ends as if the run had not been printed on it.
    const Row last = m_lastPlaced;
    m_lastPlaced = m.lastPlaced;
    std::vector<Accumulator> now;
    if (m_trackPage) {
        now = std::move(m_accumulators);
        m_accumulators = m.accumulators;
    }
    endPage();
    if (m_trackPage) {
        for (int i : m_pageResets)
            now[size_t(i)] = m.since[size_t(i)];
        m_accumulators = std::move(now);
    }
    startPage();

    Page& page = m_out.pages.last();
    const int pageIndex = int(m_out.pages.size() - 1);
    const double dy = m_y - m.y;
    const qsizetype base = page.items.size();
    for (PageItem& item : moved) {
        item.box.translate(0, dy);
        item.line.translate(0, dy);
        item.baseline += dy;
        page.items.append(std::move(item));
    }
    for (size_t k = m.pageNumbers; k < numbersEnd; ++k) {
        m_pageNumbers[k].page = pageIndex;
        m_pageNumbers[k].item += base - m.item;
    }
    m.page = pageIndex;
    m.item = base;
    m.y = m_y;
    m.pageHadBody = false; // at the top of its page now: it never moves again
    m_y += height;
    m_pageHasBody = true;
    m_lastPlaced = last;
}

void LayoutRun::take(const Row& row)
{
    for (Accumulator& a : m_accumulators)
        a.take(row);
    if (!m_trackPage)
        return;
    for (Mark* m : {&m_headers, &m_lastLine}) {
        if (!m->valid)
            continue;
        for (int i : m_pageResets)
            m->since[size_t(i)].take(row);
    }
}

void LayoutRun::resetAfter(const Band* band)
{
    const auto it = m_resets.constFind(band);
    if (it == m_resets.constEnd())
        return;
    for (int i : *it)
        m_accumulators[i].reset();
}

void LayoutRun::printBand(Band* band, const Row& row, bool takeRow)
{
    if (!band || !band->isEnabled() || (band->condition() && !band->condition()(row))) {
        if (takeRow)
            take(row);
        if (band)
            resetAfter(band);
        return;
    }
    const BandPlan& plan = m_plans[band];
    Built built = build(*band, plan, row);
    const bool header = plan.root == BandKind::GroupHeader;
    if (!m_furniture && header && m_headers.valid && m_headers.row != m_rowIndex)
        m_headers.valid = false; // an earlier row's headers, complete without a line
    ensureRoom(built.height + childrenHeight(*band)); // a band keeps its children on its page
    if (!m_furniture) {
        if (header) {
            if (!m_headers.valid) {
                mark(m_headers);
                m_lastLine = m_headers; // the last line, while no detail line follows
            }
        } else {
            if (band->kind() == BandKind::Detail) {
                if (m_headers.valid)
                    m_lastLine = m_headers; // the line keeps its headers
                else
                    mark(m_lastLine);
            }
            m_headers.valid = false;
        }
    }
    if (takeRow)
        take(row);
    place(built, *band, row);
    resetAfter(band);
    for (const auto& c : band->children())
        printBand(c.get(), row);
}

QVariant LayoutRun::fieldValue(const ElementPlan& p, const Row& row) const
{
    if (p.column >= 0 && row.columns() == m_columns.get())
        return row.at(p.column);
    return row.value(p.element->text());
}

QStringList LayoutRun::evaluate(const ElementPlan& p, const Row& row, bool* text) const
{
    const Element& e = *p.element;
    const auto field = [&](const QVariant& v) {
        if (text)
            *text = isText(v);
        return QStringList{formatValue(v, e.printMask(), *m_formats)};
    };
    switch (e.kind()) {
    case ElementKind::Label:
        return e.lines().isEmpty() ? e.text().split(u'\n') : e.lines();
    case ElementKind::Field:
        return field(fieldValue(p, row));
    case ElementKind::Calc:
        return field(e.calculation() ? e.calculation()(row) : QVariant());
    case ElementKind::Expression:
        return {formatValue(m_accumulators[p.accumulator].result(), e.printMask(), *m_formats)};
    case ElementKind::Date:
        return {common::formatDate(e.text(), m_report.when().date(), *m_formats)};
    case ElementKind::Time:
        return {m_report.when().time().toString(e.text())};
    case ElementKind::PageNumber:
        return {e.text()};
    case ElementKind::Line:
    case ElementKind::Box:
    case ElementKind::VLine:
        break;
    }
    return {};
}

void LayoutRun::alignItem(PageItem& item, double textWidth, double boxWidth) const
{
    item.textWidth = textWidth;
    switch (item.align) {
    case Align::Left: item.textX = item.box.left(); break;
    case Align::Right: item.textX = item.box.left() + boxWidth - textWidth; break;
    case Align::Center: item.textX = item.box.left() + (boxWidth - textWidth) / 2; break;
    }
    // A left-aligned text wider than its box is cut at the box's right edge;
    // right-aligned and centred texts (amounts, mostly) run over their box
    // instead, so that a number is never printed with digits missing.
    item.clip = item.align == Align::Left && textWidth > boxWidth + kEpsilon;
}

void LayoutRun::addTextLines(Built& out, const ElementPlan& p, const QStringList& lines, double top, double& bottom)
{
    const Element& e = *p.element;
    const double spacing = m_measure.lineSpacing(p.font);
    const double lineHeight = m_measure.height(p.font);
    double boxWidth = e.width();
    std::vector<double> widths;
    widths.reserve(lines.size());
    for (const QString& l : lines) {
        widths.push_back(m_measure.width(p.font, l));
        if (e.sizesItself())
            boxWidth = std::max(boxWidth, widths.back());
    }
    for (qsizetype i = 0; i < lines.size(); ++i) {
        PageItem item;
        item.kind = PageItem::Text;
        item.align = e.alignment();
        item.font = p.font;
        const double y = top + double(i) * spacing;
        item.box = QRectF(m_left + e.x(), y, boxWidth, lineHeight);
        item.baseline = y + m_measure.ascent(p.font);
        item.text = lines.at(i);
        alignItem(item, widths[size_t(i)], boxWidth);
        out.items.append(std::move(item));
    }
    const double textHeight = lines.isEmpty() ? lineHeight : double(lines.size() - 1) * spacing + lineHeight;
    const double height = e.height() > 0 ? std::max(e.height(), lines.size() > 1 ? textHeight : 0.0) : textHeight;
    bottom = top + height;
    appendFrame(out.items, QRectF(m_left + e.x(), top, boxWidth, height), e.frameSides(), e.frameWidth());
}

Built LayoutRun::build(const Band& band, const BandPlan& plan, const Row& row)
{
    Built out;
    out.height = band.height();
    for (const ElementPlan& p : plan.elements) {
        const Element& e = *p.element;
        if (!e.isEnabled())
            continue;
        switch (e.kind()) {
        case ElementKind::Line:
        case ElementKind::Box:
        case ElementKind::VLine:
            continue; // drawn when placed, over the final height
        case ElementKind::Expression:
            out.aggregates.push_back(&p);
            continue;
        default:
            break;
        }
        bool text = false;
        QStringList lines = evaluate(p, row, &text);
        if (e.wraps() && !e.sizesItself()) {
            QStringList wrapped;
            for (const QString& l : lines)
                wrapped << m_measure.wrap(p.font, l, e.width());
            lines = wrapped;
        } else if (!e.sizesItself() && e.elision().value_or(text)) {
            for (QString& l : lines)
                if (m_measure.width(p.font, l) > e.width() + kEpsilon)
                    l = m_measure.elide(p.font, l, e.width() - kElisionGap);
        }
        const qsizetype first = out.items.size();
        double bottom = 0;
        addTextLines(out, p, lines, e.y(), bottom);
        if (e.kind() == ElementKind::PageNumber && first < out.items.size())
            out.pageNumbers.push_back(Built::PageNumber{first, &e});
        if (e.wraps() || lines.size() > 1) // growing elements stretch their band
            out.height = std::max(out.height, bottom);
    }
    return out;
}

void LayoutRun::place(Built& built, const Band& band, const Row& row)
{
    // Aggregates, now that the row is taken in.
    for (const ElementPlan* p : built.aggregates) {
        double bottom = 0;
        addTextLines(built, *p, evaluate(*p, row), p->element->y(), bottom);
    }
    const double height = built.height;
    for (const auto& e : band.elements()) {
        if (!e->isEnabled())
            continue;
        PageItem item;
        item.lineWidth = e->lineWidth();
        switch (e->kind()) {
        case ElementKind::Line:
            item.kind = PageItem::Line;
            item.line = QLineF(m_left + e->x(), e->y(), m_left + e->x2(), e->y2());
            break;
        case ElementKind::VLine:
            item.kind = PageItem::Line;
            item.line = QLineF(m_left + e->x(), 0, m_left + e->x(), height);
            break;
        case ElementKind::Box:
            item.kind = PageItem::Rect;
            item.box = QRectF(m_left + e->x(), e->y(), e->x2() - e->x(), e->y2() - e->y());
            break;
        default:
            continue;
        }
        built.items.append(item);
    }
    appendFrame(built.items, QRectF(m_left, 0, m_bodyWidth, height), band.frameSides(), band.frameWidth());

    Page& page = m_out.pages.last();
    const int pageIndex = int(m_out.pages.size() - 1);
    const qsizetype base = page.items.size();
    const double y0 = m_y;
    for (PageItem& item : built.items) {
        item.band = band.kind();
        item.box.translate(0, y0);
        item.line.translate(0, y0);
        item.baseline += y0;
        page.items.append(std::move(item));
    }
    for (const Built::PageNumber& n : built.pageNumbers)
        m_pageNumbers.push_back(PendingNumber{pageIndex, base + n.item, n.element->text(), n.element->sizesItself()});
    m_y += height;
    if (!m_furniture) {
        m_pageHasBody = true;
        m_lastPlaced = row.master() ? *row.master() : row;
    }
}

} // namespace

PageList Report::layout(RowSource& rows)
{
    LayoutRun run(*this);
    return run.run(&rows);
}

PageList Report::layout()
{
    LayoutRun run(*this);
    return run.run(nullptr);
}

} // namespace reportengine
