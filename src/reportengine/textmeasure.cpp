#include "textmeasure.h"

#include <QTextBoundaryFinder>
#include <vector>

namespace reportengine {

namespace {

constexpr double kMmPerDot = 25.4 / TextMeasure::kDpi;
constexpr double kTolerance = 1e-6; // mm, as the layout compares widths

} // namespace

TextMeasure::TextMeasure() : m_device(1, 1, QImage::Format_ARGB32)
{
    const int dotsPerMeter = int(kDpi / 0.0254 + 0.5);
    m_device.setDotsPerMeterX(dotsPerMeter);
    m_device.setDotsPerMeterY(dotsPerMeter);
}

int TextMeasure::fontIndex(const QFont& font)
{
    const qsizetype i = m_fonts.indexOf(font);
    if (i >= 0)
        return int(i);
    m_fonts.append(font);
    m_fm.emplace_back(font, &m_device);
    const QFontMetricsF& fm = m_fm.back();
    m_metrics.push_back(Metrics{fm.ascent() * kMmPerDot, fm.height() * kMmPerDot, fm.lineSpacing() * kMmPerDot});
    return int(m_fonts.size() - 1);
}

double TextMeasure::width(int font, const QString& text) const
{
    return m_fm.at(font).horizontalAdvance(text) * kMmPerDot;
}

QStringList TextMeasure::wrap(int font, const QString& text, double width) const
{
    QStringList out;
    const QStringList paragraphs = text.split(u'\n');
    for (const QString& paragraph : paragraphs) {
        if (width <= 0 || this->width(font, paragraph) <= width) {
            out << paragraph;
            continue;
        }
        QString line;
        const QStringList words = paragraph.split(u' ');
        for (const QString& word : words) {
            const QString candidate = line.isEmpty() ? word : line + u' ' + word;
            if (this->width(font, candidate) <= width) {
                line = candidate;
                continue;
            }
            if (!line.isEmpty())
                out << line;
            // A word longer than the line is cut between characters.
            QString rest = word;
            while (!rest.isEmpty() && this->width(font, rest) > width) {
                qsizetype n = 1;
                while (n < rest.size() && this->width(font, rest.left(n + 1)) <= width)
                    ++n;
                out << rest.left(n);
                rest = rest.mid(n);
            }
            line = rest;
        }
        out << line;
    }
    return out;
}

QString TextMeasure::elide(int font, const QString& text, double width) const
{
    if (this->width(font, text) <= width + kTolerance)
        return text;
    const QString dots(QChar(0x2026));
    // Cut only between characters as the reader sees them (a letter and its
    // accents stay together).
    std::vector<qsizetype> cuts;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    for (qsizetype at = finder.toNextBoundary(); at > 0 && at < text.size(); at = finder.toNextBoundary())
        cuts.push_back(at);
    const auto candidate = [&](size_t i) {
        QString head = text.left(cuts[i]);
        while (!head.isEmpty() && head.back().isSpace())
            head.chop(1);
        return head + dots;
    };
    const auto fits = [&](size_t i) { return this->width(font, candidate(i)) <= width + kTolerance; };
    // The longest head that fits, by halving; a longer head is never narrower.
    size_t lo = 0;
    size_t hi = cuts.size();
    while (lo < hi) {
        const size_t mid = (lo + hi) / 2;
        if (fits(mid))
            lo = mid + 1;
        else
            hi = mid;
    }
    while (lo > 0 && !fits(lo - 1)) // kerning may make a head wider than a longer one
        --lo;
    return lo == 0 ? dots : candidate(lo - 1);
}

} // namespace reportengine
