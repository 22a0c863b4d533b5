#pragma once
// The report preview window: the pages at a chosen zoom, page navigation
// ("Pagina x din n"), printing through the printer dialog and saving as HTML,
// comma-delimited or PDF. Its rules are PreviewLogic; this class binds the
// controls.

#include "pagelist.h"
#include "previewlogic.h"

#include "common/dialogs.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QScrollArea;
class QToolButton;

namespace reportengine {

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

protected:
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

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
    QString m_lastDir;
    int m_shown = -1;
};

// Shows the preview window modally.
void showPreview(const PageList& pages, common::Dialogs& dialogs, QWidget* parent = nullptr);

} // namespace reportengine
