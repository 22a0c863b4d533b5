#include "reportengine.h"

namespace reportengine {

// ---------------------------------------------------------------------------
// Elements

Element::Element(ElementKind kind, double x, double y, double width, QString text)
    : m_kind(kind), m_x(x), m_y(y), m_width(width), m_text(std::move(text))
{
}

Element::~Element() = default;

QFont Element::fontOver(const QFont& base) const
{
    QFont f = base;
    if (!m_fontFamily.isEmpty())
        f.setFamily(m_fontFamily);
    if (m_fontSize > 0)
        f.setPointSizeF(m_fontSize);
    if (m_bold)
        f.setBold(*m_bold);
    if (m_italic)
        f.setItalic(*m_italic);
    if (m_underline)
        f.setUnderline(*m_underline);
    return f;
}

Element& Element::frame(unsigned sides, double lineWidth)
{
    m_frame = sides;
    m_frameWidth = lineWidth;
    return *this;
}

const Band* Element::resetBand() const
{
    if (m_running)
        return nullptr;
    return m_resetBand ? m_resetBand : m_band;
}

void Element::prepare(Report&) {}

Label::Label(double x, double y, double width, const QString& caption)
    : Element(ElementKind::Label, x, y, width, caption)
{
}

DataField::DataField(double x, double y, double width, const QString& field, const QString& mask)
    : Element(ElementKind::Field, x, y, width, field)
{
    m_mask = mask;
}

CalcField::CalcField(double x, double y, double width, CalcFn calc, const QString& mask)
    : Element(ElementKind::Calc, x, y, width)
{
    m_calc = std::move(calc);
    m_mask = mask;
}

ExprField::ExprField(double x, double y, double width, Aggregate aggregate, const QString& field,
                     const QString& mask)
    : Element(ElementKind::Expression, x, y, width, field)
{
    m_aggregate = aggregate;
    m_mask = mask;
}

SystemField::SystemField(ElementKind kind, double x, double y, double width, const QString& text)
    : Element(kind, x, y, width, text)
{
}

Shape::Shape(ElementKind kind, double x1, double y1, double x2, double y2, double lineWidth)
    : Element(kind, x1, y1, x2 - x1)
{
    m_x2 = x2;
    m_y2 = y2;
    m_height = y2 - y1;
    m_lineWidth = lineWidth;
}

// ---------------------------------------------------------------------------
// Bands

Band::Band(Report& report, BandKind kind, double height) : m_report(&report), m_kind(kind), m_height(height) {}

Band::~Band() = default;

Band& Band::frame(unsigned sides, double lineWidth)
{
    m_frame = sides;
    m_frameWidth = lineWidth;
    return *this;
}

Element& Band::adopt(std::unique_ptr<Element> element)
{
    element->m_band = this;
    m_elements.push_back(std::move(element));
    return *m_elements.back();
}

Element& Band::label(double x, double y, double width, const QString& text)
{
    return add<Label>(x, y, width, text);
}

Element& Band::field(double x, double y, double width, const QString& field, const QString& mask)
{
    return add<DataField>(x, y, width, field, mask);
}

Element& Band::calc(double x, double y, double width, CalcFn calc, const QString& mask)
{
    return add<CalcField>(x, y, width, std::move(calc), mask);
}

Element& Band::aggregate(Aggregate a, double x, double y, double width, const QString& field, const QString& mask)
{
    return add<ExprField>(x, y, width, a, field, mask);
}

Element& Band::sum(double x, double y, double width, const QString& field, const QString& mask)
{
    return aggregate(Aggregate::Sum, x, y, width, field, mask);
}

Element& Band::min(double x, double y, double width, const QString& field, const QString& mask)
{
    return aggregate(Aggregate::Min, x, y, width, field, mask);
}

Element& Band::max(double x, double y, double width, const QString& field, const QString& mask)
{
    return aggregate(Aggregate::Max, x, y, width, field, mask);
}

Element& Band::avg(double x, double y, double width, const QString& field, const QString& mask)
{
    return aggregate(Aggregate::Avg, x, y, width, field, mask);
}

Element& Band::count(double x, double y, double width, const QString& mask)
{
    return aggregate(Aggregate::Count, x, y, width, QString(), mask);
}

Element& Band::pageNumber(double x, double y, double width, const QString& text)
{
    return add<SystemField>(ElementKind::PageNumber, x, y, width, text);
}

Element& Band::date(double x, double y, double width, const QString& format)
{
    return add<SystemField>(ElementKind::Date, x, y, width, format);
}

Element& Band::time(double x, double y, double width, const QString& format)
{
    return add<SystemField>(ElementKind::Time, x, y, width, format);
}

Element& Band::line(double x1, double y1, double x2, double y2, double lineWidth)
{
    return add<Shape>(ElementKind::Line, x1, y1, x2, y2, lineWidth);
}

Element& Band::box(double x, double y, double width, double height, double lineWidth)
{
    return add<Shape>(ElementKind::Box, x, y, x + width, y + height, lineWidth);
}

Element& Band::vline(double x, double lineWidth)
{
    return add<Shape>(ElementKind::VLine, x, 0, x, 0, lineWidth);
}

Band& Band::child(double height)
{
    auto b = std::unique_ptr<Band>(new Band(*m_report, BandKind::Child, height));
    b->m_parent = this;
    m_children.push_back(std::move(b));
    return *m_children.back();
}

// ---------------------------------------------------------------------------
// Groups

Group::Group(Report& report, QString field, CalcFn key)
    : m_report(&report), m_field(std::move(field)), m_key(std::move(key))
{
}

Group::~Group() = default;

Band& Group::header(double height)
{
    if (!m_header) {
        m_header.reset(new Band(*m_report, BandKind::GroupHeader, height));
        m_header->m_group = this;
    }
    m_header->setHeight(height);
    return *m_header;
}

Band& Group::footer(double height)
{
    if (!m_footer) {
        m_footer.reset(new Band(*m_report, BandKind::GroupFooter, height));
        m_footer->m_group = this;
    }
    m_footer->setHeight(height);
    return *m_footer;
}

// ---------------------------------------------------------------------------
// Report

Report::Report() : m_printDate(QDateTime::currentDateTime())
{
    m_setup.font = QFont(QStringLiteral("Arial"));
    m_setup.font.setPointSizeF(10);
    applyPaper();
}

Report::~Report() = default;

void Report::applyPaper()
{
    const QSizeF portrait = m_customPaper.isValid() ? m_customPaper : reportengine::paperSize(m_setup.paperIndex).size;
    m_setup.paper = m_setup.orientation == Orientation::Landscape ? portrait.transposed() : portrait;
}

Report& Report::page(int paperIndex, Orientation orientation)
{
    m_setup.paperIndex = paperIndex;
    m_setup.orientation = orientation;
    m_customPaper = QSizeF();
    applyPaper();
    return *this;
}

Report& Report::page(const QSizeF& portraitPaper, Orientation orientation)
{
    m_customPaper = portraitPaper.width() > portraitPaper.height() ? portraitPaper.transposed() : portraitPaper;
    m_setup.orientation = orientation;
    applyPaper();
    return *this;
}

Report& Report::orientation(Orientation orientation)
{
    m_setup.orientation = orientation;
    applyPaper();
    return *this;
}

Report& Report::margins(double left, double top, double right, double bottom)
{
    m_setup.margins = QMarginsF(left, top, right, bottom);
    return *this;
}

Report& Report::font(const QString& family, double pointSize, FontPitch pitch)
{
    if (!family.isEmpty())
        m_setup.font.setFamily(family);
    if (pointSize > 0)
        m_setup.font.setPointSizeF(pointSize);
    switch (pitch) {
    case FontPitch::Default:
        break;
    case FontPitch::Variable:
        m_setup.font.setFixedPitch(false);
        break;
    case FontPitch::Fixed:
        m_setup.font.setFixedPitch(true);
        m_setup.font.setStyleHint(QFont::TypeWriter);
        break;
    }
    return *this;
}

Report& Report::formats(const common::Formats& formats)
{
    m_formats = formats;
    return *this;
}

Report& Report::title(const QString& title)
{
    m_title = title;
    return *this;
}

Report& Report::printDate(const QDateTime& when)
{
    m_printDate = when;
    return *this;
}

Report& Report::value(const QString& name, const QVariant& value)
{
    for (auto& v : m_values) {
        if (v.first.compare(name, Qt::CaseInsensitive) == 0) {
            v.second = value;
            return *this;
        }
    }
    m_values.append({name, value});
    return *this;
}

Report& Report::calculated(const QString& name, CalcFn calc)
{
    m_calculated.append(Calculated{name, std::move(calc)});
    return *this;
}

Band& Report::band(BandKind kind, double height)
{
    std::unique_ptr<Band>* slot = nullptr;
    switch (kind) {
    case BandKind::Title: slot = &m_titleBand; break;
    case BandKind::PageHeader: slot = &m_pageHeader; break;
    case BandKind::ColumnHeader: slot = &m_columnHeader; break;
    case BandKind::Detail: slot = &m_detail; break;
    case BandKind::Summary: slot = &m_summary; break;
    case BandKind::PageFooter: slot = &m_pageFooter; break;
    case BandKind::GroupHeader:
    case BandKind::GroupFooter:
        throw ReportError(QStringLiteral("Benzile de grup se fac cu group().header() si group().footer()"));
    case BandKind::SubDetail:
        throw ReportError(QStringLiteral("Benzile de sub-detaliu se fac cu subDetail()"));
    case BandKind::Child:
        throw ReportError(QStringLiteral("Benzile copil se fac cu child() pe banda parinte"));
    }
    if (!*slot)
        slot->reset(new Band(*this, kind, height));
    (*slot)->setHeight(height);
    return **slot;
}

Band* Report::findBand(BandKind kind) const
{
    switch (kind) {
    case BandKind::Title: return m_titleBand.get();
    case BandKind::PageHeader: return m_pageHeader.get();
    case BandKind::ColumnHeader: return m_columnHeader.get();
    case BandKind::Detail: return m_detail.get();
    case BandKind::Summary: return m_summary.get();
    case BandKind::PageFooter: return m_pageFooter.get();
    default: return nullptr;
    }
}

Group& Report::group(const QString& field)
{
    m_groups.push_back(std::unique_ptr<Group>(new Group(*this, field, [field](const Row& row) {
        return row.value(field);
    })));
    return *m_groups.back();
}

Group& Report::group(CalcFn key)
{
    m_groups.push_back(std::unique_ptr<Group>(new Group(*this, QString(), std::move(key))));
    return *m_groups.back();
}

Band& Report::subDetail(double height, SourceFn source)
{
    m_subDetails.push_back(std::unique_ptr<Band>(new Band(*this, BandKind::SubDetail, height)));
    m_subDetails.back()->m_source = std::move(source);
    return *m_subDetails.back();
}

double Report::printableWidth() const
{
    return m_setup.paper.width() - m_setup.margins.left() - m_setup.margins.right();
}

namespace {

void appendWithChildren(QList<Band*>& out, Band* band)
{
    if (!band)
        return;
    out.append(band);
    for (const auto& c : band->children())
        appendWithChildren(out, c.get());
}

} // namespace

QList<Band*> Report::bands() const
{
    QList<Band*> out;
    appendWithChildren(out, m_pageHeader.get());
    appendWithChildren(out, m_titleBand.get());
    appendWithChildren(out, m_columnHeader.get());
    for (const auto& g : m_groups)
        appendWithChildren(out, g->headerBand());
    appendWithChildren(out, m_detail.get());
    for (const auto& s : m_subDetails)
        appendWithChildren(out, s.get());
    for (auto it = m_groups.rbegin(); it != m_groups.rend(); ++it)
        appendWithChildren(out, (*it)->footerBand());
    appendWithChildren(out, m_summary.get());
    appendWithChildren(out, m_pageFooter.get());
    return out;
}

QList<Group*> Report::groups() const
{
    QList<Group*> out;
    for (const auto& g : m_groups)
        out.append(g.get());
    return out;
}

QList<Element*> Report::elements() const
{
    QList<Element*> out;
    for (Band* b : bands())
        for (const auto& e : b->elements())
            out.append(e.get());
    return out;
}

} // namespace reportengine
