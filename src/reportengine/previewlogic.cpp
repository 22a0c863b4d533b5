#include "previewlogic.h"

#include "exportfilters.h"
#include "output.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <algorithm>
#include <array>

namespace reportengine {

namespace {

constexpr std::array<double, 8> kSteps{25, 50, 75, 100, 150, 200, 300, 400};

} // namespace

PreviewLogic::PreviewLogic(const PageList& pages, common::Dialogs& dialogs) : m_pages(pages), m_dialogs(dialogs) {}

void PreviewLogic::goTo(int page)
{
    m_page = std::clamp(page, 0, std::max(0, pageCount() - 1));
}

QString PreviewLogic::pageText() const
{
    return QStringLiteral("Pagina %1 din %2").arg(pageCount() ? m_page + 1 : 0).arg(pageCount());
}

void PreviewLogic::setZoom(double percent)
{
    m_mode = ZoomMode::Percent;
    m_zoom = std::clamp(percent, kMinZoom, kMaxZoom);
}

void PreviewLogic::zoomIn()
{
    const double now = m_mode == ZoomMode::Percent ? m_zoom : 100;
    for (double s : kSteps) {
        if (s > now + 0.5) {
            setZoom(s);
            return;
        }
    }
    setZoom(kSteps.back());
}

void PreviewLogic::zoomOut()
{
    const double now = m_mode == ZoomMode::Percent ? m_zoom : 100;
    for (auto it = kSteps.rbegin(); it != kSteps.rend(); ++it) {
        if (*it < now - 0.5) {
            setZoom(*it);
            return;
        }
    }
    setZoom(kSteps.front());
}

double PreviewLogic::effectiveZoom(const QSizeF& viewport, double dpi) const
{
    if (m_mode == ZoomMode::Percent)
        return m_zoom;
    const QSizeF paper = m_pages.setup.paper * (dpi / 25.4); // pixels at 100%
    if (paper.isEmpty() || viewport.isEmpty())
        return 100;
    double z = viewport.width() / paper.width() * 100;
    if (m_mode == ZoomMode::WholePage)
        z = std::min(z, viewport.height() / paper.height() * 100);
    return std::clamp(z, kMinZoom, kMaxZoom);
}

QStringList PreviewLogic::saveFilters()
{
    return {QStringLiteral("HTML files (*.HTML *.html *.htm)"),
            QStringLiteral("Comma delimited files (*.CSV *.csv)"),
            QStringLiteral("PDF files (*.PDF *.pdf)")};
}

PreviewLogic::SaveFormat PreviewLogic::formatFor(const QString& filter, const QString& path)
{
    const QStringList filters = saveFilters();
    if (filter == filters.at(0))
        return SaveFormat::Html;
    if (filter == filters.at(1))
        return SaveFormat::Csv;
    if (filter == filters.at(2))
        return SaveFormat::Pdf;
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == u"csv")
        return SaveFormat::Csv;
    if (suffix == u"html" || suffix == u"htm")
        return SaveFormat::Html;
    return SaveFormat::Pdf;
}

bool PreviewLogic::save(const QString& path, SaveFormat format)
{
    QString file = path;
    if (QFileInfo(file).suffix().isEmpty()) {
        switch (format) {
        case SaveFormat::Html: file += QStringLiteral(".HTML"); break;
        case SaveFormat::Csv: file += QStringLiteral(".CSV"); break;
        case SaveFormat::Pdf: file += QStringLiteral(".pdf"); break;
        }
    }
    QString error;
    bool ok = false;
    switch (format) {
    case SaveFormat::Html: {
        HtmlExportFilter html;
        ok = exportReport(m_pages, html, file, &error);
        break;
    }
    case SaveFormat::Csv: {
        CsvExportFilter csv;
        ok = exportReport(m_pages, csv, file, &error);
        break;
    }
    case SaveFormat::Pdf:
        ok = writePdf(m_pages, file, &error);
        break;
    }
    if (!ok) {
        m_dialogs.error(error);
        return false;
    }
    m_saved = file;
    return true;
}

QString PreviewLogic::saveFolder(const QString& lastSaved, const QString& databaseFolder)
{
    for (const QString& folder : {lastSaved, databaseFolder})
        if (!folder.isEmpty() && QFileInfo(folder).isDir())
            return QDir(folder).absolutePath();
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
}

} // namespace reportengine
