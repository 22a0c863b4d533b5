#include "layoutfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cmath>

namespace prints {

using reportengine::Band;
using reportengine::BandKind;
using reportengine::Element;
using reportengine::Report;

// ---------------------------------------------------------------------------
// The file

LayoutFile::~LayoutFile() = default;

bool LayoutFile::OpenLayoutFile(const QString& fileName)
{
    CloseLayoutFile();
    if (!QFileInfo::exists(fileName)) {
        QFile f(fileName);
        if (!f.open(QIODevice::WriteOnly))
            return false;
        f.write(QByteArray(kLayoutFileComment) + "\r\n\r\n");
        if (!f.flush())
            return false;
    }
    m_ini = std::make_unique<common::IniFile>(fileName);
    m_fileName = fileName;
    return true;
}

void LayoutFile::CloseLayoutFile()
{
    m_ini.reset();
    m_fileName.clear();
}

// ---------------------------------------------------------------------------
// The page of a form

namespace {

constexpr int kDefaultTop = 10;
constexpr int kDefaultLeft = 8;
constexpr int kDefaultRight = 8;
constexpr int kDefaultBottom = 10;

int wholeMm(double mm)
{
    return int(std::lround(mm));
}

} // namespace

PrintSettings layoutPageSettings(const common::IniFile& layout, const PrintSettings& settings)
{
    const QString margins = QString::fromLatin1(kMarginsSection);
    PrintSettings s = settings;
    s.topMargin = layout.readInteger(margins, QString::fromLatin1(kMarginTopKey), kDefaultTop);
    s.leftMargin = layout.readInteger(margins, QString::fromLatin1(kMarginLeftKey), kDefaultLeft);
    s.rightMargin = layout.readInteger(margins, QString::fromLatin1(kMarginRightKey), kDefaultRight);
    s.bottomMargin = layout.readInteger(margins, QString::fromLatin1(kMarginBottomKey), kDefaultBottom);
    s.paperSize = layout.readInteger(QString::fromLatin1(kPageSection), QString::fromLatin1(kPaperKey), kA4PaperSize);
    s.orientation = PageOrientation::Portrait;
    return s;
}

bool writeLayoutPage(common::IniFile& layout, const Report& report, const QString& footerSection)
{
    const QString margins = QString::fromLatin1(kMarginsSection);
    const QMarginsF m = report.pageMargins();
    bool ok = layout.writeInteger(margins, QString::fromLatin1(kMarginTopKey), wholeMm(m.top()));
    ok = layout.writeInteger(margins, QString::fromLatin1(kMarginLeftKey), wholeMm(m.left())) && ok;
    ok = layout.writeInteger(margins, QString::fromLatin1(kMarginRightKey), wholeMm(m.right())) && ok;
    ok = layout.writeInteger(margins, QString::fromLatin1(kMarginBottomKey), wholeMm(m.bottom())) && ok;
    ok = layout.writeInteger(QString::fromLatin1(kPageSection), QString::fromLatin1(kPaperKey), report.paperIndex()) && ok;
    if (const Band* header = report.findBand(BandKind::PageHeader))
        ok = layout.writeInteger(QString::fromLatin1(kHeaderSection), QString::fromLatin1(kHeightKey),
                                 wholeMm(header->height())) && ok;
    if (const Band* footer = report.findBand(BandKind::PageFooter); footer && !footerSection.isEmpty())
        ok = layout.writeInteger(footerSection, QString::fromLatin1(kHeightKey), wholeMm(footer->height())) && ok;
    return ok;
}

// ---------------------------------------------------------------------------
// Keys

namespace {

// The key in use: the element's name and the suffix when the property is
// empty or holds only a suffix.
QString keyName(const QString& property, const QString& name, const QString& suffix,
                const QStringList& suffixes)
{
    if (property.isEmpty() || suffixes.contains(property, Qt::CaseInsensitive))
        return name + suffix;
    return property;
}

bool isRightAligned(const Element& e)
{
    return e.alignment() == reportengine::Align::Right;
}

} // namespace

QString LayoutKeys::leftKey(const Element& element) const
{
    return keyName(IniLeftTopic, element.name(),
                   QString::fromLatin1(isRightAligned(element) ? kRightSuffix : kLeftSuffix),
                   {QString::fromLatin1(kLeftSuffix), QString::fromLatin1(kRightSuffix)});
}

QString LayoutKeys::topKey(const Element& element) const
{
    return keyName(IniTopTopic, element.name(), QString::fromLatin1(kTopSuffix), {QString::fromLatin1(kTopSuffix)});
}

QString LayoutKeys::widthKey(const Element& element) const
{
    return keyName(IniWidthTopic, element.name(), QString::fromLatin1(kWidthSuffix),
                   {QString::fromLatin1(kWidthSuffix)});
}

// ---------------------------------------------------------------------------
// Placement

double bandOrigin(const Report& report, const Band* band)
{
    if (!band)
        return 0;
    if (band->kind() == BandKind::PageFooter)
        return report.paperSize().height() - band->height() - report.pageMargins().bottom();
    double origin = 0;
    for (const Band* b : report.bands()) {
        if (b == band)
            return origin;
        origin += b->height();
    }
    return origin;
}

void placeElement(Element& element, const LayoutKeys& keys, common::IniFile* file, const Report& report)
{
    if (!file)
        return;
    const QString& section = keys.IniSection;
    auto whole = [](double mm) { return int(std::lround(mm)); };
    Band* band = element.band();

    if (band && band->kind() == BandKind::PageFooter && file->valueExists(section, QString::fromLatin1(kHeightKey)))
        band->setHeight(file->readInteger(section, QString::fromLatin1(kHeightKey), whole(band->height())));
    const double origin = bandOrigin(report, band);

    // The width is read first, so that a right edge read from the file stays
    // where the file puts it; missing keys are still written left, top, width.
    // A value that is not a whole number keeps the element where it is.
    const bool sized = !element.sizesItself();
    const QString widthKey = keys.widthKey(element);
    const bool widthKnown = sized && file->valueExists(section, widthKey);
    if (widthKnown)
        element.setWidth(file->readInteger(section, widthKey, whole(element.width())));

    const bool right = isRightAligned(element);
    const QString leftKey = keys.leftKey(element);
    const double edge = right ? element.x() + element.width() : element.x();
    if (file->valueExists(section, leftKey)) {
        const int value = file->readInteger(section, leftKey, whole(edge));
        element.setX(right ? value - element.width() : value);
    } else {
        file->writeInteger(section, leftKey, whole(edge));
    }

    const QString topKey = keys.topKey(element);
    if (file->valueExists(section, topKey)) {
        const double top = file->readInteger(section, topKey, whole(origin + element.y())) - origin;
        element.setY(top < 0 ? 0 : top);
    } else {
        file->writeInteger(section, topKey, whole(origin + element.y()));
    }

    if (sized && !widthKnown)
        file->writeInteger(section, widthKey, whole(element.width()));
}

// ---------------------------------------------------------------------------
// Elements

void LayoutElement::place(const Report& report)
{
    Element& e = element();
    if (!m_designKnown) {
        m_designKnown = true;
        m_designX = e.x();
        m_designY = e.y();
        m_designWidth = e.width();
    } else {
        e.setX(m_designX).setY(m_designY).setWidth(m_designWidth);
    }
    placeElement(e, *this, m_file->ini(), report);
}

namespace {

void nameElement(Element& e, LayoutKeys& keys, const QString& section, const QString& elementName)
{
    e.named(elementName);
    keys.IniSection = section;
}

} // namespace

TQRIniLabel::TQRIniLabel(LayoutFile& file, const QString& section, const QString& elementName, double x, double y,
                         double width, const QString& caption)
    : Label(x, y, width, caption), LayoutElement(file)
{
    nameElement(*this, *this, section, elementName);
}

TQRIniDBText::TQRIniDBText(LayoutFile& file, const QString& section, const QString& elementName, double x, double y,
                           double width, const QString& field, const QString& mask)
    : DataField(x, y, width, field, mask), LayoutElement(file)
{
    nameElement(*this, *this, section, elementName);
}

TQRIniDBCalc::TQRIniDBCalc(LayoutFile& file, const QString& section, const QString& elementName, double x, double y,
                           double width, reportengine::CalcFn calc, const QString& mask)
    : CalcField(x, y, width, std::move(calc), mask), LayoutElement(file)
{
    nameElement(*this, *this, section, elementName);
}

TQRIniExpr::TQRIniExpr(LayoutFile& file, const QString& section, const QString& elementName, double x, double y,
                       double width, reportengine::Aggregate aggregate, const QString& field, const QString& mask)
    : ExprField(x, y, width, aggregate, field, mask), LayoutElement(file)
{
    nameElement(*this, *this, section, elementName);
}

} // namespace prints
