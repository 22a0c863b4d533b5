#pragma once
// Canvases a page list is drawn on: a QPainter (preview, printer, PDF) and a
// text capture that records every text with its page and place (the export
// filters and the tests read it).

#include "pagelist.h"

#include <QList>
#include <QPainter>
#include <functional>

namespace reportengine {

class Canvas {
public:
    virtual ~Canvas() = default;
    virtual void beginPage(int page, const PageList& pages) = 0;
    virtual void text(const PageItem& item, const QFont& font) = 0;
    virtual void line(const QLineF& line, double lineWidth) = 0; // millimetres
    virtual void rect(const QRectF& rect, double lineWidth) = 0;
    virtual void endPage() {}
};

// Draws the pages first..last (0-based; last -1: to the end) in order.
void draw(const PageList& pages, Canvas& canvas, int first = 0, int last = -1);

// Draws with a painter whose origin is the paper's top-left corner.
// `dotsPerMm` converts millimetres to the device's units; fonts keep their
// point sizes through the device's resolution.
class PainterCanvas : public Canvas {
public:
    PainterCanvas(QPainter& painter, double dotsPerMm);
    // Called between two pages (a printer's or PDF writer's newPage()).
    void onNewPage(std::function<void()> newPage) { m_newPage = std::move(newPage); }

    void beginPage(int page, const PageList& pages) override;
    void text(const PageItem& item, const QFont& font) override;
    void line(const QLineF& line, double lineWidth) override;
    void rect(const QRectF& rect, double lineWidth) override;

private:
    QPen pen(double lineWidth) const;
    QPainter& m_painter;
    double m_k;
    std::function<void()> m_newPage;
    bool m_started = false;
    const QFont* m_font = nullptr;
};

// Records every text as it is printed.
class TextCapture : public Canvas {
public:
    struct Text {
        int page = 0;      // 0-based
        double x = 0;      // where the text starts, mm from the paper's left edge
        double y = 0;      // top of the text, mm from the paper's top edge
        double width = 0;  // the text's width, mm
        QRectF box;        // the element's box for this line
        QString text;
        BandKind band = BandKind::Detail;
        Align align = Align::Left;
        bool bold = false;
    };
    QList<Text> texts;
    int pageCount = 0;

    QStringList textsOn(int page) const;        // in printing order
    QList<Text> find(const QString& text) const; // every text equal to `text`
    QList<Text> onPage(int page, BandKind band) const;

    void beginPage(int page, const PageList& pages) override;
    void text(const PageItem& item, const QFont& font) override;
    void line(const QLineF&, double) override {}
    void rect(const QRectF&, double) override {}

private:
    int m_page = 0;
};

// The page list's texts, captured.
TextCapture capture(const PageList& pages);

} // namespace reportengine
