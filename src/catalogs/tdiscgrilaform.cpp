#include "tdiscgrilaform.h"

#include <QApplication>
#include <QChildEvent>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QPointer>
#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QLineEdit>
#include <QVBoxLayout>

namespace catalogs {

namespace {

const QString kGridLayout = QStringLiteral("Grile");
const QString kGroupLayout = QStringLiteral("Discounturi");

// True when the cell editor of `grid` holds something typed that is not yet
// in its record: reading the rows again would throw it away.
bool typing(const ui::DataGrid* grid)
{
    QWidget* editor = grid->openEditor();
    if (!editor)
        return false;
    const QString stored = grid->currentIndex().data(Qt::EditRole).toString();
    if (auto* combo = qobject_cast<QComboBox*>(editor))
        return combo->currentText() != stored;
    if (auto* line = qobject_cast<QLineEdit*>(editor))
        return line->text() != stored;
    return true;
}

// Keeps the cell editor of the focused grid open on its current cell, and
// the selection one cell: moving to a cell opens its editor, and an editor
// closed by a commit, by Esc or by the rows being read again opens again.
// An editor closes when the focus leaves its grid (another grid's editor
// takes it) and opens again when the focus comes back. Ctrl-Delete in an
// editor deletes the row (the line edit would take it as "delete word");
// Esc in an editor holding nothing typed gives up the row (asking first
// when it holds typed values).
class AlwaysEditing : public QObject {
public:
    explicit AlwaysEditing(ui::DataGrid* grid) : QObject(grid), m_grid(grid), m_viewport(grid->viewport())
    {
        grid->setSelectionBehavior(QAbstractItemView::SelectItems);
        grid->installEventFilter(this);
        grid->viewport()->installEventFilter(this);
        connect(grid->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] { reopenLater(); });
        connect(grid->itemDelegate(), &QAbstractItemDelegate::closeEditor, this, [this] { reopenLater(); });
        QAbstractItemModel* model = grid->model();
        connect(model, &QAbstractItemModel::modelReset, this, [this] { reopenLater(); });
        connect(model, &QAbstractItemModel::rowsInserted, this, [this] { reopenLater(); });
        connect(model, &QAbstractItemModel::rowsRemoved, this, [this] { reopenLater(); });
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_grid) {
            if (event->type() == QEvent::FocusIn)
                reopenLater();
            return false;
        }
        // The viewport as it was when installed: while the grid is being
        // destroyed its children still send events, and the grid can no
        // longer be asked for anything.
        if (watched == m_viewport) {
            if (event->type() == QEvent::ChildAdded)
                if (auto* child = qobject_cast<QWidget*>(static_cast<QChildEvent*>(event)->child()))
                    watchLater(child); // an editor; a drop-down makes its line edit after
            return false;
        }
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Delete && key->modifiers() == Qt::ControlModifier) {
            m_grid->deleteRow();
            return true;
        }
        if (key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier && m_grid->dataset().isEditing()
            && !typing(m_grid)) {
            m_grid->commitEditor(); // nothing typed in it: it only closes
            m_grid->escape();       // the row, after the question when it holds typed values
            return true;
        }
        return false;
    }

private:
    void watchLater(QWidget* editor)
    {
        QMetaObject::invokeMethod(
            this, [this, editor = QPointer<QWidget>(editor)] { watch(editor); }, Qt::QueuedConnection);
    }
    void watch(QWidget* editor)
    {
        if (!editor)
            return;
        editor->installEventFilter(this);
        for (QWidget* part : editor->findChildren<QWidget*>())
            part->installEventFilter(this);
    }
    void reopenLater()
    {
        QMetaObject::invokeMethod(this, [this] { reopen(); }, Qt::QueuedConnection);
    }
    void reopen()
    {
        const QModelIndex current = m_grid->currentIndex();
        QWidget* focus = QApplication::focusWidget();
        const bool focused = focus && (focus == m_grid || m_grid->isAncestorOf(focus));
        if (!focused || !m_grid->isVisible() || !current.isValid() || m_grid->openEditor() || !m_grid->dataset().isOpen()
            || !(m_grid->model()->flags(current) & Qt::ItemIsEditable))
            return;
        m_grid->edit(current);
        watch(m_grid->openEditor());
    }
    ui::DataGrid* m_grid;
    QObject* m_viewport;
};

} // namespace

TDiscGrilaForm::TDiscGrilaForm(const PartnerServices& services, QWidget* parent)
    : QWidget(parent), m_services(services), m_logic(services.database, services.dialogs)
{
    setObjectName(QStringLiteral("TDiscGrilaForm"));
    setWindowTitle(QString::fromLatin1(kDiscGrilaCaption));
    m_gridModel = std::make_unique<ui::DatasetModel>(m_logic.grids, services.formats, services.dialogs);
    m_gridModel->setColumns(m_logic.gridColumns());
    m_groupModel = std::make_unique<ui::DatasetModel>(m_logic.groups, services.formats, services.dialogs);
    m_groupModel->setColumns(m_logic.groupColumns());

    auto* top = new QWidget(this);
    top->setObjectName(QStringLiteral("TopPanel"));
    auto* topLayout = new QVBoxLayout(top);
    topLayout->setContentsMargins(0, 0, 0, 0);
    m_gridList = new ui::DataGrid(m_gridModel.get(), top);
    topLayout->addWidget(m_gridList);
    top->setFixedHeight(m_gridList->horizontalHeader()->sizeHint().height()
                        + 6 * m_gridList->verticalHeader()->defaultSectionSize() + 2 * m_gridList->frameWidth() + 4);
    m_groupList = new ui::DataGrid(m_groupModel.get(), this);
    new AlwaysEditing(m_gridList);
    new AlwaysEditing(m_groupList);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(top);
    layout->addWidget(m_groupList, 1);
    resize(360, 420);

    m_logic.grids.afterInsert = [this] { m_gridList->setCurrentField(QStringLiteral("Grila")); };
    m_logic.groups.afterInsert = [this] { m_groupList->setCurrentField(QStringLiteral("Cod_grupa")); };
}

TDiscGrilaForm::~TDiscGrilaForm()
{
    m_closed = true;
    m_logic.close();
}

QString TDiscGrilaForm::layoutPath() const
{
    return QDir(m_services.privateDir).filePath(QString::fromLatin1(kDiscGrilaLayoutFile));
}

bool TDiscGrilaForm::prepare()
{
    if (!m_logic.open())
        return false;
    // The drop-down of the group column is known once Grup.db was read.
    m_groupModel->setColumns(m_logic.groupColumns());
    m_gridList->restoreLayout(layoutPath(), kGridLayout);
    m_groupList->restoreLayout(layoutPath(), kGroupLayout);
    m_gridList->setFocus();
    return true;
}

std::unique_ptr<TDiscGrilaForm> TDiscGrilaForm::createChild(const PartnerServices& services)
{
    auto form = std::make_unique<TDiscGrilaForm>(services);
    if (!form->prepare())
        return nullptr;
    return form;
}

void TDiscGrilaForm::refreshTick()
{
    // The cell editors are always open; only one holding a typed value waits.
    if (m_closed || typing(m_gridList) || typing(m_groupList))
        return;
    m_logic.refreshTick();
}

bool TDiscGrilaForm::closeQuery()
{
    if (m_closed)
        return true;
    if (!m_gridList->commitEditor() || !m_groupList->commitEditor())
        return false; // the refused value stays in its cell
    if (!m_logic.closeQuery())
        return false;
    if (m_logic.grids.isOpen()) {
        m_gridList->saveLayout(layoutPath(), kGridLayout);
        m_groupList->saveLayout(layoutPath(), kGroupLayout);
    }
    return true;
}

void TDiscGrilaForm::closeEvent(QCloseEvent* event)
{
    if (!m_closed) {
        if (!closeQuery()) {
            event->ignore();
            return;
        }
        m_logic.close();
        m_closed = true;
    }
    event->accept();
}

} // namespace catalogs
