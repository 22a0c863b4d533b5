#pragma once
// The report preview window: the pages at a chosen zoom, page navigation
// ("Pagina x din n"), printing through the printer dialog and saving as HTML,
// comma-delimited or PDF. Its rules are PreviewLogic; this class binds the
// controls.
//
// It opens over the whole of its owner's window (the main window), and the
// zoom of "Latimea paginii" / "Toata pagina" follows the room the page has.
// The save dialog starts in the folder a report was last saved to, else in
// the database folder: both are properties of the owner's window
// (kSaveFolderProperty, kDatabaseFolderProperty); the main window answers
// the second and keeps the first for the whole run.

#include "pagelist.h"
#include "previewlogic.h"

#include "common/dialogs.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QScrollArea;
class QToolButton;

namespace reportengine {

inline constexpr const char* kDatabaseFolderProperty = "databaseFolder";
inline constexpr const char* kSaveFolderProperty = "reportSaveFolder";

class ReportPreview : public QDialog {
    Q_OBJECT
public:
    ReportPreview(const PageList& pages, common::Dialogs& dialogs, QWidget* parent = nullptr);

    PreviewLogic& logic() { return m_logic; }
    QLabel* pageLabel() const { return m_pageLabel; }
    QComboBox* zoomBox() const { return m_zoom; }
    QToolButton* firstButton() const { return m_first; }
    QToolButton* previousButton() const { return m_previous; }
    QToolButton* nextButton() const { return m_next; }
    QToolButton* lastButton() const { return m_last; }
    QLabel* pageView() const { return m_view; }

    void showPage(int page); // 0-based
    void print();            // the printer dialog, then the pages chosen there
    void save();             // the save dialog, then the file

    // The folder the save dialog starts in.
    QString saveFolder() const;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void refresh();
    void zoomChosen(int index);

    PreviewLogic m_logic;
    QScrollArea* m_scroll = nullptr;
    QLabel* m_view = nullptr;
    QLabel* m_pageLabel = nullptr;
    QComboBox* m_zoom = nullptr;
    QToolButton* m_first = nullptr;
    QToolButton* m_previous = nullptr;
    QToolButton* m_next = nullptr;
    QToolButton* m_last = nullptr;
    int m_shown = -1;
};

// Shows the preview window modally.
void showPreview(const PageList& pages, common::Dialogs& dialogs, QWidget* parent = nullptr);

} // namespace reportengine
