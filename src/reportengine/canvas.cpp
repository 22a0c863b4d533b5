#include "canvas.h"

#include <algorithm>

namespace reportengine {

void draw(const PageList& pages, Canvas& canvas, int first, int last)
{
    const int count = pages.pageCount();
    if (last < 0 || last >= count)
        last = count - 1;
    first = std::max(first, 0);
    for (int p = first; p <= last; ++p) {
        canvas.beginPage(p, pages);
        for (const PageItem& item : pages.pages.at(p).items) {
            switch (item.kind) {
            case PageItem::Text:
                canvas.text(item, pages.fonts.at(item.font));
                break;
            case PageItem::Line:
                canvas.line(item.line, item.lineWidth);
                break;
            case PageItem::Rect:
                canvas.rect(item.box, item.lineWidth);
                break;
            }
        }
        canvas.endPage();
    }
}

// ---------------------------------------------------------------------------

PainterCanvas::PainterCanvas(QPainter& painter, double dotsPerMm) : m_painter(painter), m_k(dotsPerMm) {}

void PainterCanvas::beginPage(int, const PageList&)
{
    if (m_started && m_newPage)
        m_newPage();
    m_started = true;
    m_font = nullptr;
    m_painter.setPen(Qt::black);
    m_painter.setBrush(Qt::NoBrush);
}

void PainterCanvas::text(const PageItem& item, const QFont& font)
{
    if (m_font != &font) {
        m_painter.setFont(font);
        m_painter.setPen(Qt::black);
        m_font = &font;
    }
    const QPointF at(item.textX * m_k, item.baseline * m_k);
    if (!item.clip) {
        m_painter.drawText(at, item.text);
        return;
    }
    m_painter.save();
    m_painter.setClipRect(QRectF(item.box.left() * m_k, item.box.top() * m_k, item.box.width() * m_k,
                                 item.box.height() * m_k));
    m_painter.drawText(at, item.text);
    m_painter.restore();
}

QPen PainterCanvas::pen(double lineWidth) const
{
    QPen p(Qt::black);
    p.setWidthF(std::max(lineWidth * m_k, 1.0));
    p.setCapStyle(Qt::SquareCap);
    return p;
}

void PainterCanvas::line(const QLineF& line, double lineWidth)
{
    m_painter.setPen(pen(lineWidth));
    m_painter.drawLine(QLineF(line.p1() * m_k, line.p2() * m_k));
    m_font = nullptr; // the pen changed: the next text sets its own
}

void PainterCanvas::rect(const QRectF& rect, double lineWidth)
{
    m_painter.setPen(pen(lineWidth));
    m_painter.setBrush(Qt::NoBrush);
    m_painter.drawRect(QRectF(rect.topLeft() * m_k, rect.size() * m_k));
    m_font = nullptr;
}

// ---------------------------------------------------------------------------

void TextCapture::beginPage(int page, const PageList&)
{
    m_page = page;
    pageCount = std::max(pageCount, page + 1);
}

void TextCapture::text(const PageItem& item, const QFont& font)
{
    texts.append(Text{m_page, item.textX, item.box.top(), item.textWidth, item.box, item.text, item.band, item.align,
                      font.bold()});
}

QStringList TextCapture::textsOn(int page) const
{
    QStringList out;
    for (const Text& t : texts)
        if (t.page == page)
            out << t.text;
    return out;
}

QList<TextCapture::Text> TextCapture::find(const QString& text) const
{
    QList<Text> out;
    for (const Text& t : texts)
        if (t.text == text)
            out << t;
    return out;
}

QList<TextCapture::Text> TextCapture::onPage(int page, BandKind band) const
{
    QList<Text> out;
    for (const Text& t : texts)
        if (t.page == page && t.band == band)
            out << t;
    return out;
}

TextCapture capture(const PageList& pages)
{
    TextCapture c;
    draw(pages, c);
    return c;
}

} // namespace reportengine
