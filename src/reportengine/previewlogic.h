#pragma once
// The rules of the report preview window, without widgets: the page shown,
// the zoom, the caption "Pagina x din n" and saving the report to a file
// (HTML, comma-delimited, PDF). Messages go through common::Dialogs.

#include "pagelist.h"

#include "common/dialogs.h"

#include <QSizeF>
#include <QString>
#include <QStringList>

namespace reportengine {

class PreviewLogic {
public:
    enum class ZoomMode { Percent, PageWidth, WholePage };
    enum class SaveFormat { Html, Csv, Pdf };
    static constexpr double kMinZoom = 10;
    static constexpr double kMaxZoom = 400;

    PreviewLogic(const PageList& pages, common::Dialogs& dialogs);

    const PageList& pages() const { return m_pages; }
    int page() const { return m_page; } // 0-based
    int pageCount() const { return m_pages.pageCount(); }
    void goTo(int page);                // kept within the pages
    void first() { goTo(0); }
    void previous() { goTo(m_page - 1); }
    void next() { goTo(m_page + 1); }
    void last() { goTo(pageCount() - 1); }
    bool canGoBack() const { return m_page > 0; }
    bool canGoForward() const { return m_page < pageCount() - 1; }
    QString pageText() const; // "Pagina 2 din 5"

    ZoomMode zoomMode() const { return m_mode; }
    void setZoomMode(ZoomMode mode) { m_mode = mode; }
    void setZoom(double percent); // Percent mode, kept within kMinZoom..kMaxZoom
    void zoomIn();                // the next step of 25, 50, 75, 100, 150, 200, 300, 400
    void zoomOut();
    // The zoom in percent for a viewport of that size in pixels at `dpi`.
    double effectiveZoom(const QSizeF& viewport, double dpi) const;

    // The save dialog's file types, in SaveFormat order.
    static QStringList saveFilters();
    // The format of a save-dialog filter (or, when it matches none, of the file's extension).
    static SaveFormat formatFor(const QString& filter, const QString& path);
    // Writes the report; the format's extension is added when the name has
    // none. Shows an error and returns false when the file cannot be written.
    bool save(const QString& path, SaveFormat format);
    // The file name written by the last successful save.
    const QString& savedPath() const { return m_saved; }

    // The folder the save dialog starts in: the one a report was last saved
    // to, else the database folder, else the user's documents folder (never
    // the folder the program happened to be started in).
    static QString saveFolder(const QString& lastSaved, const QString& databaseFolder);

private:
    const PageList& m_pages;
    common::Dialogs& m_dialogs;
    int m_page = 0;
    ZoomMode m_mode = ZoomMode::PageWidth;
    double m_zoom = 100;
    QString m_saved;
};

} // namespace reportengine
