#pragma once
// The data grid every list uses: a Qt model over a datastore::Dataset and a
// table view on it.
//
//   DatasetModel  - the columns of the grid (field, title, width, hidden,
//                   read-only, pick list, print mask) over the dataset's
//                   rows; a value typed into a cell goes through the
//                   dataset (edit, setValue with its field checks).
//   DataGrid      - the view: its current row is the dataset's current
//                   record; Insert adds a row, Down on the last row appends,
//                   Esc gives up the cell being typed, else the row (after
//                   a question when it holds typed values), Ctrl-Delete
//                   deletes after a question,
//                   Ctrl-Enter or a double click in a picker column asks the
//                   window for its picker, Ctrl-G asks for the search by name.
//   Layouts       - the column order, widths and hidden columns are saved to
//                   and restored from the window's .cfg file; a missing or
//                   broken file leaves the built-in layout. Re-reading the
//                   rows (the refresh tick, a saved row taking its place in
//                   the order) keeps the layout the user made; the last
//                   column stretches to the right edge.
//
// A value being typed goes to its record before the row is written or left,
// whatever leaves it: Down, Up, Page Down, a click on another row, Tab off
// the last column, Insert, closing the window (commitEditor).
//
// Errors met while editing (a refused value, a check that refused the
// record, a duplicate key) are shown through common::Dialogs and the record
// stays in editing. A refused value stays in its cell, being typed, so that
// it can be corrected (Esc gives the old value back); the cursor does not
// move on. A new row starts in its first editable column; typing into a
// read-only cell beeps.

#include "common/dialogs.h"
#include "common/formats.h"
#include "datastore/dataset.h"

#include <QAbstractTableModel>
#include <QStyledItemDelegate>
#include <QTableView>
#include <exception>
#include <functional>

namespace ui {

struct GridColumn {
    QString field;           // dataset field
    QString title;           // column title; the field name when empty
    int width = 0;           // pixels; 0 = from the field's size
    bool visible = true;
    bool readOnly = false;
    QStringList pickList;    // values offered by a drop-down
    QString mask;            // print mask of a number ("#,##0.00") or date ("dd.mm.yyyy")
    bool picker = false;     // Ctrl-Enter / double click open a picker for this column
    QString hint;            // status-line hint while the column is current
    // A lookup column the user sets by its shown text (a name from the pick
    // list): keyOf turns the text into the value of keyField, or throws
    // datastore::DatasetError when nothing has that name.
    QString keyField;
    std::function<QVariant(const QString&)> keyOf;

    GridColumn() = default;
    GridColumn(QString fieldName, QString columnTitle = {}, int columnWidth = 0)
        : field(std::move(fieldName)), title(std::move(columnTitle)), width(columnWidth)
    {
    }
    GridColumn& withMask(const QString& m) { mask = m; return *this; }
    GridColumn& withPickList(const QStringList& values) { pickList = values; return *this; }
    GridColumn& withPicker() { picker = true; return *this; }
    GridColumn& withHint(const QString& h) { hint = h; return *this; }
    GridColumn& asHidden() { visible = false; return *this; }
    GridColumn& asReadOnly() { readOnly = true; return *this; }
    GridColumn& settingKey(const QString& key, std::function<QVariant(const QString&)> toKey)
    {
        keyField = key;
        keyOf = std::move(toKey);
        return *this;
    }
};

// Shows an error of the record-editing layer the way every window shows it:
// a refusal that already spoke (datastore::Abort) says nothing; an engine key
// violation is the duplicate-record warning; anything else an error box.
void reportDataError(common::Dialogs& dialogs, std::exception_ptr error);

class DatasetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    DatasetModel(datastore::Dataset& dataset, const common::Formats& formats, common::Dialogs& dialogs,
                 QObject* parent = nullptr);

    datastore::Dataset& dataset() const { return m_dataset; }
    common::Dialogs& dialogs() const { return m_dialogs; }

    // The columns; without a call, one column per field of the dataset.
    void setColumns(const QList<GridColumn>& columns);
    const QList<GridColumn>& columns() const { return m_columns; }
    GridColumn& column(int index) { return m_columns[index]; }
    int columnOf(const QString& field) const; // -1 when absent

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Puts the typed text in the record (starting an edit); false, after the
    // message, when the value or the record was refused.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

    // The text shown for a value of a column.
    QString displayText(int column, const QVariant& value) const;
    // The value a typed text stands for; throws DatasetError when it cannot be read.
    QVariant parseText(int column, const QString& text) const;

    // The dataset field of a column; -1 when the dataset has no such field.
    int fieldOf(int column) const { return m_fieldOf.value(column, -1); }

    // Runs an action of the dataset and shows what it throws; false after an error.
    bool guarded(const std::function<void()>& action);
    // True while the dataset is adding or removing a row.
    bool isChangingRows() const { return m_changingRows; }

signals:
    // The columns were set (or made from the fields): the view applies their widths.
    void columnsChanged();
    // A text typed into a cell was refused (after the message).
    void valueRefused(const QModelIndex& index, const QString& text);

private:
    void defaultColumns();
    void resolveFields(); // field positions of the columns, once per reset
    datastore::Dataset& m_dataset;
    const common::Formats& m_formats;
    common::Dialogs& m_dialogs;
    QList<GridColumn> m_columns;
    QList<int> m_fieldOf; // dataset field of each column
    bool m_changingRows = false;
};

class DataGrid : public QTableView {
    Q_OBJECT
public:
    explicit DataGrid(DatasetModel* model, QWidget* parent = nullptr);

    DatasetModel* datasetModel() const { return m_model; }
    datastore::Dataset& dataset() const { return m_model->dataset(); }
    QString currentField() const;
    void setCurrentField(const QString& field); // moves the cell cursor to a column

    // Column order, widths and hidden columns; `name` tells two grids of one
    // window apart in the same file.
    void saveLayout(const QString& cfgPath, const QString& name) const;
    bool restoreLayout(const QString& cfgPath, const QString& name); // false: built-in layout kept
    // Applies the widths and visibility of the model's columns (the built-in layout).
    void applyColumns();
    // The first visible column (in the order shown) that takes typing; -1 when none.
    int firstEditableColumn() const;
    // A cell being typed goes to its record; false when its value was refused
    // (the cell then stays open with it, after the message).
    bool commitEditor();
    // The editor of the cell being typed in; null when none is open.
    QWidget* openEditor() const;

    // Wide enough for every visible column, tall enough for a few rows.
    QSize sizeHint() const override;

    // Key actions, also reachable from buttons and tests.
    void insertRow();
    void appendRow();
    void deleteRow(); // asks first
    void cancelRow(); // without a question
    // Esc: an open cell editor gives its old value back and nothing else; a
    // row holding typed values is given up after kCancelRowQuestion; a row
    // being edited without a change, or a new untouched one, is dropped.
    void escape();
    static const QString kCancelRowQuestion;

signals:
    void pickerRequested(const QString& field);
    void searchRequested();
    void hintChanged(const QString& hint);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void commitData(QWidget* editor) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

private:
    void followDataset(int row, int preferredColumn = -1);
    void reopenRefused(); // the refused text back in its cell, being typed
    DatasetModel* m_model;
    bool m_syncing = false;
    int m_columnBeforeReset = -1;
    // The value refused while an editor was being committed.
    struct Refusal {
        QWidget* editor = nullptr;
        QPersistentModelIndex index;
        QString text;
    };
    QWidget* m_committing = nullptr;
    Refusal m_refused;
    bool m_reopenPending = false;
};

} // namespace ui
