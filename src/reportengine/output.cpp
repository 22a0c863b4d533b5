#include "output.h"

#include "canvas.h"
#include "papersizes.h"

#include <QFileInfo>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <cmath>

namespace reportengine {

QPageLayout pageLayout(const PageSetup& setup)
{
    const QSizeF portrait = setup.portraitPaper();
    const PaperSize& known = paperSize(setup.paperIndex);
    QPageSize size;
    if (known.id != QPageSize::Custom && std::abs(known.size.width() - portrait.width()) < 0.5
        && std::abs(known.size.height() - portrait.height()) < 0.5)
        size = QPageSize(known.id);
    else
        size = QPageSize(portrait, QPageSize::Millimeter, QString(), QPageSize::ExactMatch);
    return QPageLayout(size,
                       setup.orientation == Orientation::Landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                       QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
}

bool writePdf(const PageList& pages, const QString& path, QString* error)
{
    QPdfWriter writer(path);
    writer.setPageLayout(pageLayout(pages.setup));
    writer.setTitle(pages.title);
    writer.setCreator(QStringLiteral("Mirafel"));
    QPainter painter;
    if (!painter.begin(&writer)) {
        if (error)
            *error = QStringLiteral("Fisierul %1 nu poate fi scris!").arg(QFileInfo(path).absoluteFilePath());
        return false;
    }
    PainterCanvas canvas(painter, writer.resolution() / 25.4);
    canvas.onNewPage([&writer] { writer.newPage(); });
    draw(pages, canvas);
    return painter.end();
}

bool printPages(const PageList& pages, QPrinter& printer, int first, int last)
{
    printer.setFullPage(true);
    printer.setPageLayout(pageLayout(pages.setup));
    if (printer.docName().isEmpty())
        printer.setDocName(pages.title);
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    PainterCanvas canvas(painter, printer.resolution() / 25.4);
    canvas.onNewPage([&printer] { printer.newPage(); });
    draw(pages, canvas, first, last);
    return painter.end();
}

QImage renderPage(const PageList& pages, int page, double dpi)
{
    const double k = dpi / 25.4;
    const QSizeF paper = pages.setup.paper;
    QImage image(std::max(1, int(std::lround(paper.width() * k))), std::max(1, int(std::lround(paper.height() * k))),
                 QImage::Format_RGB32);
    const int dotsPerMeter = int(std::lround(dpi / 0.0254));
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    image.fill(Qt::white);
    if (page < 0 || page >= pages.pageCount())
        return image;
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    PainterCanvas canvas(painter, k);
    draw(pages, canvas, page, page);
    return image;
}

} // namespace reportengine
