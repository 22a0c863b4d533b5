#pragma once
// Text measurement in millimetres, on a reference device of 1200 dots per
// inch (the resolution the PDF writer uses), so that a page list measures
// the same wherever it is drawn.

#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QList>
#include <QStringList>
#include <vector>

namespace reportengine {

class TextMeasure {
public:
    static constexpr double kDpi = 1200;

    TextMeasure();
    // The index of a font in fonts(), added when new.
    int fontIndex(const QFont& font);
    const QList<QFont>& fonts() const { return m_fonts; }

    double width(int font, const QString& text) const;
    double ascent(int font) const { return m_metrics.at(font).ascent; }
    double height(int font) const { return m_metrics.at(font).height; }
    double lineSpacing(int font) const { return m_metrics.at(font).lineSpacing; }

    // The text broken into lines no wider than `width`: at line breaks, then
    // between words; a word wider than the line is cut between characters.
    QStringList wrap(int font, const QString& text, double width) const;

    // The text cut to `width` with "…" at its end (after the last whole
    // character that leaves room for it, blanks before it dropped); the text
    // itself when it fits, "…" alone when nothing more fits.
    QString elide(int font, const QString& text, double width) const;

private:
    struct Metrics {
        double ascent = 0;
        double height = 0;
        double lineSpacing = 0;
    };
    QImage m_device;
    QList<QFont> m_fonts;
    std::vector<QFontMetricsF> m_fm;
    std::vector<Metrics> m_metrics;
};

} // namespace reportengine
