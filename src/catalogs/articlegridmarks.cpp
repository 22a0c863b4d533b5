#include "articlegridmarks.h"

#include <QItemSelection>
#include <QKeyEvent>
#include <QMouseEvent>

namespace catalogs {

ArticleGridMarks::ArticleGridMarks(ui::DataGrid* grid, Actions actions)
    : QObject(grid), m_grid(grid), m_viewport(grid->viewport()), m_actions(std::move(actions))
{
    grid->installEventFilter(this);
    m_viewport->installEventFilter(this);
    // Rows read again (another group, order or refresh): the marks of the new rows.
    connect(&grid->dataset(), &datastore::Dataset::reset, this, [this] { sync(); });
}

void ArticleGridMarks::sync()
{
    QItemSelection selection;
    const bool active = m_actions.active && m_actions.active();
    const int columns = m_grid->model()->columnCount();
    if (active && columns > 0) {
        const int rows = m_grid->dataset().recordCount();
        int start = -1;
        for (int row = 0; row <= rows; ++row) {
            const bool marked = row < rows && m_actions.isMarked(row);
            if (marked && start < 0)
                start = row;
            if (!marked && start >= 0) {
                selection.select(m_grid->model()->index(start, 0), m_grid->model()->index(row - 1, columns - 1));
                start = -1;
            }
        }
    }
    m_grid->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
}

void ArticleGridMarks::run(const std::function<void()>& action)
{
    m_grid->datasetModel()->guarded(action);
    sync();
}

bool ArticleGridMarks::eventFilter(QObject* watched, QEvent* event)
{
    // Only keys and mouse presses, which never reach a list being destroyed:
    // every other event (hide, child removed, ...) passes without a look at
    // the list or the window. The objects are compared, never called.
    const QEvent::Type type = event->type();
    const bool onList = watched == m_grid && type == QEvent::KeyPress;
    const bool onViewport = m_viewport && watched == m_viewport.data() &&
                            (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick);
    if (!onList && !onViewport)
        return false;
    if (!m_actions.active || !m_actions.active())
        return false;
    if (onList) {
        auto* key = static_cast<QKeyEvent*>(event);
        const auto mods = key->modifiers() & ~Qt::KeypadModifier;
        if (key->key() == Qt::Key_Space && mods == Qt::NoModifier) {
            run(m_actions.markNext);
            return true;
        }
        if (key->key() == Qt::Key_Down && mods == Qt::ShiftModifier) {
            run(m_actions.markNext);
            return true;
        }
        if (key->key() == Qt::Key_Up && mods == Qt::ShiftModifier) {
            run(m_actions.markPrior);
            return true;
        }
        return false;
    }
    if (onViewport) {
        if (type == QEvent::MouseButtonPress) {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() != Qt::LeftButton || !(mouse->modifiers() & Qt::ControlModifier))
                return false;
            const QModelIndex at = m_grid->indexAt(mouse->position().toPoint());
            if (!at.isValid())
                return true;
            const int row = at.row();
            run([this, row] {
                m_grid->dataset().moveTo(row);
                if (m_grid->dataset().recNo() == row)
                    m_actions.toggleCurrent();
            });
            return true;
        }
        if (type == QEvent::MouseButtonDblClick) {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (m_grid->indexAt(mouse->position().toPoint()).isValid())
                emit activated();
            return true;
        }
    }
    return false;
}

} // namespace catalogs
