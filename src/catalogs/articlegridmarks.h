#pragma once
// The keys and mouse of an article list with marks, and the marks shown as
// the list's selection: Space (or Shift+Down) marks the current row and moves
// to the next, Shift+Up marks it and moves up, Ctrl+click inverts the mark of
// the clicked row, a double click asks for the window's OK. Only while
// marks can be made (`active`); otherwise the list behaves as usual.

#include "ui/datagrid.h"

#include <QObject>
#include <QPointer>
#include <functional>

namespace catalogs {

class ArticleGridMarks : public QObject {
    Q_OBJECT
public:
    struct Actions {
        std::function<bool()> active;        // marks can be made now
        std::function<bool(int row)> isMarked;
        std::function<void()> markNext;      // Space, Shift+Down
        std::function<void()> markPrior;     // Shift+Up
        std::function<void()> toggleCurrent; // Ctrl+click (on the row made current)
    };
    ArticleGridMarks(ui::DataGrid* grid, Actions actions);

    // Shows the marked rows of the list as its selection (none when inactive).
    void sync();

signals:
    void activated(); // double click on a row while marks are active

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void run(const std::function<void()>& action);
    ui::DataGrid* m_grid;
    // The list's viewport, kept from the start: while the list is being
    // destroyed the filter still sees its viewport's last events, and the
    // list must not be asked anything then (nor the window that owns the
    // actions, already half gone).
    QPointer<QWidget> m_viewport;
    Actions m_actions;
};

} // namespace catalogs
