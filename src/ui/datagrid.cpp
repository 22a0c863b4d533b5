#include "datagrid.h"

#include "common/inifile.h"
#include "fieldedit.h"

#include <QComboBox>
#include <QFile>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QStyle>
#include <utility>

namespace ui {

using datastore::Dataset;
using datastore::DatasetError;
using datastore::FieldKind;
using datastore::FieldType;

void reportDataError(common::Dialogs& dialogs, std::exception_ptr error)
{
    if (!error)
        return;
    try {
        std::rethrow_exception(error);
    } catch (const datastore::Abort&) {
        // the check that refused already said why
    } catch (const datastore::DbError& e) {
        if (e.isKeyViolation())
            dialogs.warning(datastore::duplicateKeyMessage());
        else if (e.kind() == datastore::DbErrorKind::Busy)
            dialogs.warning(datastore::busyMessage());
        else
            dialogs.error(e.message());
    } catch (const datastore::StaleRecord& e) {
        dialogs.warning(e.message()); // changed elsewhere: read again, nothing written
    } catch (const DatasetError& e) {
        dialogs.error(e.message());
    } catch (const std::exception& e) {
        dialogs.error(QString::fromUtf8(e.what()));
    }
}

// --- model -------------------------------------------------------------------------

DatasetModel::DatasetModel(Dataset& dataset, const common::Formats& formats, common::Dialogs& dialogs,
                           QObject* parent)
    : QAbstractTableModel(parent), m_dataset(dataset), m_formats(formats), m_dialogs(dialogs)
{
    connect(&m_dataset, &Dataset::aboutToReset, this, [this] { beginResetModel(); });
    connect(&m_dataset, &Dataset::reset, this, [this] {
        const bool made = m_columns.isEmpty();
        if (made)
            defaultColumns();
        resolveFields();
        endResetModel();
        if (made)
            emit columnsChanged();
    });
    connect(&m_dataset, &Dataset::rowAboutToBeInserted, this, [this](int row) {
        m_changingRows = true;
        beginInsertRows({}, row, row);
    });
    connect(&m_dataset, &Dataset::rowInserted, this, [this](int) {
        endInsertRows();
        m_changingRows = false;
    });
    connect(&m_dataset, &Dataset::rowAboutToBeRemoved, this, [this](int row) {
        m_changingRows = true;
        beginRemoveRows({}, row, row);
    });
    connect(&m_dataset, &Dataset::rowRemoved, this, [this](int) {
        endRemoveRows();
        m_changingRows = false;
    });
    connect(&m_dataset, &Dataset::rowChanged, this, [this](int row) {
        if (row >= 0 && !m_columns.isEmpty())
            emit dataChanged(index(row, 0), index(row, columnCount() - 1));
        emit headerDataChanged(Qt::Vertical, row, row);
    });
    connect(&m_dataset, &Dataset::stateChanged, this, [this] {
        const int row = m_dataset.recNo();
        if (row >= 0)
            emit headerDataChanged(Qt::Vertical, row, row);
    });
    connect(&m_dataset, &Dataset::currentChanged, this, [this](int) {
        if (rowCount() > 0)
            emit headerDataChanged(Qt::Vertical, 0, rowCount() - 1);
    });
    if (m_dataset.isOpen())
        defaultColumns();
}

void DatasetModel::defaultColumns()
{
    QList<GridColumn> cols;
    for (int i = 0; i < m_dataset.fieldCount(); ++i) {
        GridColumn c;
        c.field = m_dataset.fieldAt(i).name;
        cols << c;
    }
    m_columns = cols;
    resolveFields();
}

void DatasetModel::resolveFields()
{
    m_fieldOf.clear();
    for (const GridColumn& c : std::as_const(m_columns))
        m_fieldOf << m_dataset.fieldIndex(c.field);
}

void DatasetModel::setColumns(const QList<GridColumn>& columns)
{
    beginResetModel();
    m_columns = columns;
    resolveFields();
    endResetModel();
    emit columnsChanged();
}

int DatasetModel::columnOf(const QString& field) const
{
    for (int i = 0; i < m_columns.size(); ++i)
        if (m_columns[i].field.compare(field, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

int DatasetModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_dataset.recordCount();
}

int DatasetModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
}

QString DatasetModel::displayText(int column, const QVariant& value) const
{
    if (value.isNull() || column < 0 || column >= m_columns.size())
        return QString();
    const GridColumn& c = m_columns[column];
    const int fi = fieldOf(column);
    const FieldType type = fi >= 0 ? m_dataset.fieldAt(fi).type : FieldType::Text;
    switch (type) {
    case FieldType::Float:
        return common::formatFloat(c.mask.isEmpty() ? QStringLiteral("0.##########") : c.mask, value.toDouble(),
                                   m_formats);
    case FieldType::Date:
        return common::formatDate(c.mask.isEmpty() ? QStringLiteral("dd.mm.yyyy") : c.mask, value.toDate(),
                                  m_formats);
    case FieldType::Boolean: return value.toBool() ? QStringLiteral("Da") : QStringLiteral("Nu");
    default: return value.toString();
    }
}

QVariant DatasetModel::parseText(int column, const QString& text) const
{
    const int fi = fieldOf(column);
    if (fi < 0)
        return text;
    return datastore::valueFromText(m_dataset.fieldAt(fi), text, m_formats);
}

QVariant DatasetModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.column() >= m_columns.size())
        return {};
    const GridColumn& c = m_columns[index.column()];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole: {
        const QVariant v = m_dataset.value(index.row(), fieldOf(index.column()));
        return displayText(index.column(), v);
    }
    case Qt::TextAlignmentRole: {
        const int fi = fieldOf(index.column());
        const FieldType t = fi >= 0 ? m_dataset.fieldAt(fi).type : FieldType::Text;
        const bool number = t == FieldType::Float || t == FieldType::Integer || t == FieldType::SmallInt
            || t == FieldType::AutoIncrement;
        return QVariant::fromValue(Qt::AlignVCenter | (number ? Qt::AlignRight : Qt::AlignLeft));
    }
    case Qt::ToolTipRole: return c.hint.isEmpty() ? QVariant() : QVariant(c.hint);
    default: return {};
    }
}

QVariant DatasetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (orientation == Qt::Horizontal) {
        if (section < 0 || section >= m_columns.size())
            return {};
        return m_columns[section].title.isEmpty() ? m_columns[section].field : m_columns[section].title;
    }
    // The record indicator: the current record, and whether it is being edited or inserted.
    if (section != m_dataset.recNo())
        return QString();
    switch (m_dataset.state()) {
    case datastore::DatasetState::Insert: return QStringLiteral("*");
    case datastore::DatasetState::Edit: return QStringLiteral("I");
    default: return QStringLiteral("\u25BA");
    }
}

Qt::ItemFlags DatasetModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    const GridColumn& c = m_columns[index.column()];
    const int fi = fieldOf(index.column());
    if (!c.readOnly && !m_dataset.isReadOnly() && fi >= 0 && m_dataset.fieldAt(fi).kind == FieldKind::Data
        && !m_dataset.fieldAt(fi).readOnly)
        f |= Qt::ItemIsEditable;
    if (!c.readOnly && !m_dataset.isReadOnly() && !c.keyField.isEmpty() && c.keyOf)
        f |= Qt::ItemIsEditable;
    return f;
}

bool DatasetModel::guarded(const std::function<void()>& action)
{
    try {
        action();
        return true;
    } catch (...) {
        reportDataError(m_dialogs, std::current_exception());
        return false;
    }
}

bool DatasetModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable))
        return false;
    const int column = index.column();
    const int row = index.row();
    // An unchanged text is no edit.
    if (value.toString() == data(index, Qt::EditRole).toString())
        return true;
    const bool taken = guarded([&] {
        if (m_dataset.recNo() != row)
            m_dataset.moveTo(row);
        if (!m_dataset.isEditing())
            m_dataset.edit();
        const GridColumn& c = m_columns[column];
        if (!c.keyField.isEmpty() && c.keyOf)
            m_dataset.setValue(c.keyField, c.keyOf(value.toString()));
        else
            m_dataset.setValue(c.field, parseText(column, value.toString()));
    });
    if (!taken)
        emit valueRefused(index, value.toString());
    return taken;
}

// --- editors ------------------------------------------------------------------------

namespace {

class GridDelegate : public QStyledItemDelegate {
public:
    GridDelegate(DatasetModel* model, QObject* parent) : QStyledItemDelegate(parent), m_model(model) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const GridColumn& c = m_model->columns()[index.column()];
        const int fi = m_model->fieldOf(index.column());
        QStringList pick = c.pickList;
        if (pick.isEmpty() && fi >= 0 && m_model->dataset().fieldAt(fi).type == FieldType::Boolean)
            pick = {QStringLiteral("Da"), QStringLiteral("Nu")};
        if (!pick.isEmpty()) {
            auto* combo = new QComboBox(parent);
            combo->setEditable(true);
            combo->addItems(pick);
            combo->setFrame(false);
            return combo;
        }
        QWidget* w = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto* line = qobject_cast<QLineEdit*>(w); line && fi >= 0)
            fitEditorToField(line, m_model->dataset().fieldAt(fi));
        return w;
    }

    void setEditorData(QWidget* editor, const QModelIndex& index) const override
    {
        if (auto* combo = qobject_cast<QComboBox*>(editor)) {
            combo->setCurrentText(index.data(Qt::EditRole).toString());
            return;
        }
        QStyledItemDelegate::setEditorData(editor, index);
    }

    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override
    {
        if (auto* combo = qobject_cast<QComboBox*>(editor)) {
            model->setData(index, combo->currentText(), Qt::EditRole);
            return;
        }
        QStyledItemDelegate::setModelData(editor, model, index);
    }

private:
    DatasetModel* m_model;
};

} // namespace

// --- view ----------------------------------------------------------------------------

DataGrid::DataGrid(DatasetModel* model, QWidget* parent) : QTableView(parent), m_model(model)
{
    setModel(model);
    setItemDelegate(new GridDelegate(model, this));
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::EditKeyPressed
                    | QAbstractItemView::SelectedClicked);
    setAlternatingRowColors(false);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    verticalHeader()->setFixedWidth(fontMetrics().horizontalAdvance(QStringLiteral("WW")));
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setSectionsMovable(true);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setStretchLastSection(true); // no empty strip right of the last column
    setTabKeyNavigation(true);
    connect(&model->dataset(), &Dataset::currentChanged, this, [this](int row) { followDataset(row); });
    // Rows read again keep the layout the user made and the current column;
    // only new columns take their built-in widths.
    connect(model, &QAbstractItemModel::modelAboutToBeReset, this,
            [this] { m_columnBeforeReset = currentIndex().isValid() ? currentIndex().column() : -1; });
    connect(model, &QAbstractItemModel::modelReset, this,
            [this] { followDataset(dataset().recNo(), m_columnBeforeReset); });
    connect(model, &DatasetModel::columnsChanged, this, [this] {
        applyColumns();
        followDataset(dataset().recNo());
    });
    connect(model, &DatasetModel::valueRefused, this, [this](const QModelIndex& index, const QString& text) {
        if (m_committing)
            m_refused = {m_committing, index, text};
    });
    applyColumns();
}

int DataGrid::firstEditableColumn() const
{
    const int row = std::max(dataset().recNo(), 0);
    for (int v = 0; v < m_model->columnCount(); ++v) {
        const int logical = horizontalHeader()->logicalIndex(v);
        if (!isColumnHidden(logical) && (m_model->flags(m_model->index(row, logical)) & Qt::ItemIsEditable))
            return logical;
    }
    return -1;
}

QSize DataGrid::sizeHint() const
{
    int width = verticalHeader()->width() + 2 * frameWidth() + verticalScrollBar()->sizeHint().width();
    for (int c = 0; c < m_model->columnCount(); ++c)
        if (!isColumnHidden(c))
            width += columnWidth(c);
    const int height = horizontalHeader()->sizeHint().height() + 12 * verticalHeader()->defaultSectionSize()
        + 2 * frameWidth() + horizontalScrollBar()->sizeHint().height();
    return {width, height};
}

namespace {

// The room a column's title takes in the header.
int titleWidth(const DataGrid& grid, int column)
{
    const GridColumn& c = grid.datasetModel()->columns()[column];
    const QString title = c.title.isEmpty() ? c.field : c.title;
    const QHeaderView* header = grid.horizontalHeader();
    return header->fontMetrics().horizontalAdvance(title)
        + 2 * header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header) + 6;
}

// The width a column is built with: its own, or one made from its field's
// size; never narrower than its title.
int builtInWidth(const DataGrid& grid, int column)
{
    const GridColumn& c = grid.datasetModel()->columns()[column];
    const int titleRoom = titleWidth(grid, column);
    int w = c.width;
    if (w <= 0) {
        const int fi = grid.dataset().fieldIndex(c.field);
        int chars = 10;
        if (fi >= 0) {
            const auto& f = grid.dataset().fieldAt(fi);
            chars = f.type == FieldType::Text ? std::clamp(f.size, 4, 30) : f.type == FieldType::Date ? 10 : 12;
        }
        w = grid.fontMetrics().horizontalAdvance(QLatin1Char('0')) * chars + 12;
    }
    return std::max(w, titleRoom);
}

} // namespace

void DataGrid::applyColumns()
{
    const auto& cols = m_model->columns();
    for (int i = 0; i < cols.size(); ++i) {
        setColumnHidden(i, !cols[i].visible);
        setColumnWidth(i, builtInWidth(*this, i));
    }
    updateGeometry(); // the room the columns need has changed
}

void DataGrid::followDataset(int row, int preferredColumn)
{
    if (m_syncing)
        return;
    QScopedValueRollback guard(m_syncing, true);
    if (row < 0) {
        setCurrentIndex({});
        return;
    }
    int column = currentIndex().isValid() ? currentIndex().column() : preferredColumn;
    if (column >= m_model->columnCount())
        column = -1;
    // A new row starts in its first column that can be typed into.
    if (dataset().state() == datastore::DatasetState::Insert && firstEditableColumn() >= 0)
        column = firstEditableColumn();
    if (column < 0 || isColumnHidden(column))
        for (int v = 0; v < m_model->columnCount(); ++v) {
            const int logical = horizontalHeader()->logicalIndex(v);
            if (!isColumnHidden(logical)) {
                column = logical;
                break;
            }
        }
    if (column < 0)
        return;
    const QModelIndex target = m_model->index(row, column);
    if (target != currentIndex())
        setCurrentIndex(target);
}

void DataGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTableView::currentChanged(current, previous);
    if (current.isValid() && current.column() < m_model->columns().size())
        emit hintChanged(m_model->columns()[current.column()].hint);
    // A cursor moved by rows coming or going is not the user's move; after a
    // refused value it goes back to that cell.
    if (m_syncing || m_model->isChangingRows() || !current.isValid() || current.row() == dataset().recNo()
        || m_reopenPending)
        return;
    // Moving to another row posts the pending record; when that is refused
    // the cursor goes back to it.
    const int wanted = current.row();
    const bool ok = m_model->guarded([&] { dataset().moveTo(wanted); });
    if (!ok || dataset().recNo() != wanted) {
        const int back = dataset().recNo();
        QMetaObject::invokeMethod(this, [this, back] { followDataset(back); }, Qt::QueuedConnection);
    }
}

void DataGrid::commitData(QWidget* editor)
{
    QScopedValueRollback committing(m_committing, editor);
    m_refused = {};
    QTableView::commitData(editor);
}

void DataGrid::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint)
{
    if (!editor || editor != m_refused.editor || hint == QAbstractItemDelegate::RevertModelCache) {
        if (editor && editor == m_refused.editor)
            m_refused = {}; // Esc: the old value stays
        QTableView::closeEditor(editor, hint);
        return;
    }
    // The refused text is typed again in its cell; the cursor does not move on.
    QTableView::closeEditor(editor, QAbstractItemDelegate::NoHint);
    m_reopenPending = true;
    QMetaObject::invokeMethod(this, [this] { reopenRefused(); }, Qt::QueuedConnection);
}

void DataGrid::reopenRefused()
{
    m_reopenPending = false;
    const Refusal refused = std::exchange(m_refused, {});
    if (!refused.index.isValid() || !dataset().isOpen())
        return;
    const QModelIndex index = refused.index;
    {
        QScopedValueRollback guard(m_syncing, true);
        setCurrentIndex(index);
    }
    edit(index);
    QWidget* editor = indexWidget(index);
    if (auto* combo = qobject_cast<QComboBox*>(editor)) {
        combo->setCurrentText(refused.text);
        editor = combo->lineEdit();
    }
    if (auto* line = qobject_cast<QLineEdit*>(editor)) {
        line->setText(refused.text);
        line->selectAll();
    }
}

QWidget* DataGrid::openEditor() const
{
    const QModelIndex current = currentIndex();
    return current.isValid() ? indexWidget(current) : nullptr;
}

bool DataGrid::commitEditor()
{
    QWidget* editor = openEditor();
    if (!editor)
        return true;
    commitData(editor);
    const bool refused = m_refused.editor == editor;
    closeEditor(editor, QAbstractItemDelegate::NoHint);
    return !refused;
}

QString DataGrid::currentField() const
{
    const QModelIndex i = currentIndex();
    if (!i.isValid() || i.column() >= m_model->columns().size())
        return QString();
    return m_model->columns()[i.column()].field;
}

void DataGrid::setCurrentField(const QString& field)
{
    const int c = m_model->columnOf(field);
    if (c < 0 || dataset().recNo() < 0)
        return;
    QScopedValueRollback guard(m_syncing, true);
    setCurrentIndex(m_model->index(dataset().recNo(), c));
}

void DataGrid::insertRow()
{
    // The value being typed belongs to the row that is written first.
    if (!commitEditor())
        return;
    m_model->guarded([this] { dataset().insert(); });
}

void DataGrid::appendRow()
{
    if (!commitEditor())
        return;
    m_model->guarded([this] { dataset().append(); });
}

void DataGrid::cancelRow()
{
    m_model->guarded([this] { dataset().cancel(); });
}

const QString DataGrid::kCancelRowQuestion = QStringLiteral("Renuntati la modificarile liniei curente?");

void DataGrid::escape()
{
    if (QWidget* editor = openEditor()) {
        // Only the cell: its old value comes back, the row stays as it was.
        closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
        return;
    }
    if (!dataset().isEditing())
        return;
    if (dataset().isModified() && !m_model->dialogs().confirm(kCancelRowQuestion, common::Buttons::YesNoDefaultNo))
        return;
    cancelRow();
}

void DataGrid::deleteRow()
{
    if (dataset().isEmpty())
        return;
    if (dataset().state() == datastore::DatasetState::Insert) {
        cancelRow();
        return;
    }
    if (!m_model->dialogs().confirm(QStringLiteral("Stergeti inregistrarea?"), common::Buttons::OkCancel))
        return;
    m_model->guarded([this] { dataset().remove(); });
}

void DataGrid::keyPressEvent(QKeyEvent* event)
{
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    const int key = event->key();
    if (ctrl && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
        const QString f = currentField();
        const int c = m_model->columnOf(f);
        if (c >= 0 && m_model->columns()[c].picker)
            emit pickerRequested(f);
        return;
    }
    if (ctrl && key == Qt::Key_G) {
        emit searchRequested();
        return;
    }
    if (ctrl && key == Qt::Key_Delete) {
        deleteRow();
        return;
    }
    if (key == Qt::Key_Insert && event->modifiers() == Qt::NoModifier) {
        if (!dataset().isReadOnly())
            insertRow();
        return;
    }
    if (key == Qt::Key_Escape && event->modifiers() == Qt::NoModifier && dataset().isEditing()) {
        escape();
        return;
    }
    const bool typing = !event->text().isEmpty() && event->text()[0].isPrint()
        && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
    // Typing into an empty list starts its first row, with what was typed.
    if (dataset().isEmpty() && !dataset().isReadOnly() && typing) {
        appendRow();
        if (dataset().isEmpty())
            return;
        followDataset(dataset().recNo());
        QTableView::keyPressEvent(event);
        return;
    }
    // Typing into a cell that takes nothing is not lost without a word.
    if (typing && state() != QAbstractItemView::EditingState && !dataset().isReadOnly() && currentIndex().isValid()
        && !(m_model->flags(currentIndex()) & Qt::ItemIsEditable)) {
        m_model->dialogs().beep();
        return;
    }
    // Keys that leave the row (or write it) take the value being typed along
    // first; a refused value keeps the cursor in its cell.
    const bool leavesRow = key == Qt::Key_Down || key == Qt::Key_Up || key == Qt::Key_PageDown
        || key == Qt::Key_PageUp || (ctrl && (key == Qt::Key_Home || key == Qt::Key_End));
    if (leavesRow && openEditor() && !commitEditor())
        return;
    if (key == Qt::Key_Down && event->modifiers() == Qt::NoModifier && !dataset().isReadOnly()
        && (dataset().isEmpty() || dataset().recNo() == dataset().recordCount() - 1)) {
        // Down on the last row starts a new one, unless that row is an untouched new one.
        if (!(dataset().state() == datastore::DatasetState::Insert && !dataset().isModified())) {
            appendRow();
            return;
        }
        return;
    }
    QTableView::keyPressEvent(event);
}

void DataGrid::mouseDoubleClickEvent(QMouseEvent* event)
{
    const QModelIndex i = indexAt(event->position().toPoint());
    if (i.isValid() && i.column() < m_model->columns().size() && m_model->columns()[i.column()].picker) {
        emit pickerRequested(m_model->columns()[i.column()].field);
        return;
    }
    QTableView::mouseDoubleClickEvent(event);
}

// --- layouts -------------------------------------------------------------------------

void DataGrid::saveLayout(const QString& cfgPath, const QString& name) const
{
    QStringList fields, widths, hidden;
    const QHeaderView* h = horizontalHeader();
    // The last column shown, while it stretches to the right edge, is as
    // wide as the window leaves it: what is kept is its own width, or every
    // opening would widen the window by it.
    int stretched = -1;
    if (h->stretchLastSection() && isVisible() && h->length() == viewport()->width())
        for (int v = h->count() - 1; v >= 0 && stretched < 0; --v)
            if (!isColumnHidden(h->logicalIndex(v)))
                stretched = h->logicalIndex(v);
    for (int v = 0; v < h->count(); ++v) {
        const int logical = h->logicalIndex(v);
        const QString field = m_model->columns()[logical].field;
        fields << field;
        int width = columnWidth(logical);
        if (isColumnHidden(logical))
            width = m_model->columns()[logical].width;
        else if (logical == stretched)
            width = builtInWidth(*this, logical);
        widths << QString::number(width);
        if (isColumnHidden(logical))
            hidden << field;
    }
    common::IniFile ini(cfgPath);
    ini.eraseSection(name);
    ini.writeString(name, QStringLiteral("Columns"), fields.join(u';'));
    ini.writeString(name, QStringLiteral("Widths"), widths.join(u';'));
    ini.writeString(name, QStringLiteral("Hidden"), hidden.join(u';'));
}

bool DataGrid::restoreLayout(const QString& cfgPath, const QString& name)
{
    if (!QFile::exists(cfgPath))
        return false;
    const common::IniFile ini(cfgPath);
    const QStringList fields = ini.readString(name, QStringLiteral("Columns")).split(u';', Qt::SkipEmptyParts);
    const QStringList widths = ini.readString(name, QStringLiteral("Widths")).split(u';', Qt::SkipEmptyParts);
    const QStringList hidden = ini.readString(name, QStringLiteral("Hidden")).split(u';', Qt::SkipEmptyParts);
    if (fields.isEmpty() || fields.size() != widths.size())
        return false;
    QList<int> w;
    for (const QString& s : widths) {
        bool ok = false;
        const int n = s.toInt(&ok);
        if (!ok || n < 0 || n > 5000)
            return false; // a broken file: the built-in layout stays
        w << n;
    }
    QHeaderView* h = horizontalHeader();
    int visual = 0;
    for (int i = 0; i < fields.size(); ++i) {
        const int logical = m_model->columnOf(fields[i]);
        if (logical < 0)
            continue; // a column this version no longer has
        h->moveSection(h->visualIndex(logical), visual++);
        if (w[i] > 0) // a width kept from before never cuts the title
            setColumnWidth(logical, std::max(w[i], titleWidth(*this, logical)));
        // Columns hidden by the program stay hidden whatever the file says.
        const bool hide = !m_model->columns()[logical].visible
            || hidden.contains(fields[i], Qt::CaseInsensitive);
        setColumnHidden(logical, hide);
    }
    updateGeometry();
    return true;
}

} // namespace ui
