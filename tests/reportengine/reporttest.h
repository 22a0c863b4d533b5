#pragma once
// Helpers shared by the report engine tests.

#include "reportengine/canvas.h"
#include "reportengine/reportengine.h"

#include <QDir>
#include <QString>
#include <QStringList>
#include <ostream>

// Readable texts in the test messages.
inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}
inline void PrintTo(const QStringList& l, std::ostream* os)
{
    *os << '[' << l.join(QStringLiteral("|")).toStdString() << ']';
}

namespace reporttest {

// Pictures and sample files for a look by eye: written only when
// MIRAFEL_SHOTS_DIR names a folder.
inline QString shotsDir()
{
    return qEnvironmentVariable("MIRAFEL_SHOTS_DIR");
}

// A small page with round numbers: paper 100 × 100 mm, margins 10 mm, a page
// header of 10 mm and a page footer of 10 mm, so that bands print between
// y = 20 and y = 80 (60 mm of body) and the page footer at y = 80.
constexpr double kBodyTop = 20;
constexpr double kBodyBottom = 80;

inline void smallPage(reportengine::Report& r)
{
    using namespace reportengine;
    r.page(QSizeF(100, 100)).margins(10, 10, 10, 10).font("DejaVu Sans", 8);
    r.band(BandKind::PageHeader, 10).label(0, 0, 0, "Antet");
    r.band(BandKind::PageFooter, 10).pageNumber(0, 0, 80, "Pagina %1 din %2");
}

// The texts of the bands between the page furniture, in printing order.
inline QStringList bodyTexts(const reportengine::TextCapture& c)
{
    using reportengine::BandKind;
    QStringList out;
    for (const auto& t : c.texts)
        if (t.band != BandKind::PageHeader && t.band != BandKind::PageFooter && t.band != BandKind::ColumnHeader)
            out << t.text;
    return out;
}

// The page (0-based) of the first text equal to `text`; -1 when none.
inline int pageOf(const reportengine::TextCapture& c, const QString& text)
{
    const auto found = c.find(text);
    return found.isEmpty() ? -1 : found.first().page;
}

inline double yOf(const reportengine::TextCapture& c, const QString& text)
{
    const auto found = c.find(text);
    return found.isEmpty() ? -1 : found.first().y;
}

} // namespace reporttest
