#include "textmeasure.h"

namespace reportengine {

namespace {

constexpr double kMmPerDot = 25.4 / TextMeasure::kDpi;

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

} // namespace reportengine
