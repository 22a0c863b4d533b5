#pragma once
// The record-editing layer every window is built on.
//
// A Dataset holds the rows of one table (optionally filtered and ordered) or
// of a read-only query, a current record, and a state:
//
//   Browse  - looking at rows;
//   Edit    - the current record is being changed (values are in memory only);
//   Insert  - a new record is being filled in (it sits in the rows already).
//
// post() writes the record in one unit of work; cancel() throws the changes
// away. A written record takes its place in the order of the rows at once
// (as the next refresh would show it) and stays the current record; a move
// that wrote it (moveTo) leaves it current. Windows keep their rules in handlers named after the dataset and the
// event (`DocInBeforePost`, `ItemsCantValidate`) and attach them to the event
// slots below. A handler refuses by throwing Abort (after showing its own
// message through Dialogs): the record then stays in editing, the value that a
// field handler refused is put back.
//
// Example, the logic class of a small window:
//
//   class TUserFormLogic {
//   public:
//       TUserFormLogic(datastore::Database& db, common::Dialogs& dialogs)
//           : m_dialogs(dialogs), users(db, "User.db")
//       {
//           users.field("Name").onChange = [this] { UserNameChange(); };
//           users.beforePost = [this] { UserBeforePost(); };
//       }
//       void UserNameChange() { users.setValue("Init", initialsOf(users.value("Name").toString())); }
//       void UserBeforePost()
//       {
//           if (users.value("Name").isNull()) {
//               m_dialogs.warning("...");
//               throw datastore::Abort();  // stays in editing
//           }
//       }
//       datastore::Dataset users;
//   private:
//       common::Dialogs& m_dialogs;
//   };
//
// Writes happen in a UnitOfWork; whilePosting / whileDeleting run inside it,
// after the row was written and before the commit, so that a change to
// another table (a stock row) commits together with the record or not at all.

#include "database.h"

#include "common/formats.h"

#include <QDate>
#include <QObject>
#include <QStringList>
#include <QVariant>
#include <exception>
#include <functional>
#include <memory>
#include <vector>

namespace datastore {

// Thrown by a handler to abandon the action silently (its message, if any,
// was already shown). The dataset keeps its state.
class Abort : public std::exception {
public:
    const char* what() const noexcept override { return "Abort"; }
};

// A value that cannot be taken by a field ("abc" for a number) or an action
// that the dataset's state does not allow. The message is Romanian.
class DatasetError : public std::runtime_error {
public:
    explicit DatasetError(const QString& message)
        : std::runtime_error(message.toStdString()), m_message(message)
    {
    }
    const QString& message() const { return m_message; }

private:
    QString m_message;
};

// The record was changed or deleted by another workstation since this one
// read it. The write or delete was refused and changed nothing; the dataset
// has read the record again (or dropped it, when it is gone) and is in Browse.
class StaleRecord : public DatasetError {
public:
    StaleRecord() : DatasetError(staleRecordMessage()) {}
    static QString staleRecordMessage();
};

// Thrown inside a write (from beforeWrite, whilePosting) to have it rolled back
// and started again from beforePost: a question whose answer depends on what
// the database holds is asked there, outside the write transaction, with the
// fresh figures. A write is tried at most Dataset::kWriteAttempts times.
class Retry : public std::exception {
public:
    const char* what() const noexcept override { return "Retry"; }
};

// The duplicate-record warning shown for an engine key violation.
QString duplicateKeyMessage();
// The warning shown when another workstation held the database longer than
// the wait allows (nothing was written).
QString busyMessage();

// The refusal of a text that is no number ("Valoare numerica incorecta: OD-4512").
QString invalidNumberMessage(const QString& text);
// The refusal of a negative or fractional document number or counter.
QString invalidDocumentNumberMessage(const QString& text);

// The text of an error as the user is shown it: the engine's own message of a
// DbError, the dataset's message of a DatasetError, what() of anything else.
QString errorText(const std::exception& error);

enum class DatasetState { Inactive, Browse, Edit, Insert };

enum class FieldKind { Data, Calculated, Lookup };

struct DatasetField {
    QString name;
    FieldType type = FieldType::Text;
    int size = 0;
    FieldKind kind = FieldKind::Data;
    bool readOnly = false;
    // A document number or a counter (`Numar`, `Contor`, ...): a text typed
    // into it must be a whole number, never below zero. Set from the name of
    // a float field when a table's fields are read.
    bool documentNumber = false;

    // Lookup fields: the value of `resultField` in the row of `lookupTable`
    // whose `lookupKey` equals this dataset's `keyField`.
    QString keyField;
    QString lookupTable;
    QString lookupKey;
    QString resultField;
    int keyIndex = -1; // position of keyField, found when the dataset opens

    // Runs after a new value was put in the record; throwing puts the old one back.
    std::function<void()> onValidate;
    // Runs after a value was accepted.
    std::function<void()> onChange;
};

// The value a text typed into `field` stands for, read in the regional
// formats: a number ("1.234,5", or "1234.5"), a date ("5.4.2026"), a logical
// value ("Da"/"Nu"); an empty text is an empty value (a text field keeps the
// text as it is). A text that is not a value of the field is refused with a
// Romanian message (DatasetError): letters in a number, a negative or
// fractional document number. Every editor of the windows reads text so.
QVariant valueFromText(const DatasetField& field, const QString& text, const common::Formats& formats);

class Dataset : public QObject {
    Q_OBJECT
public:
    // A table of `db`, named as the windows name it ("User.db", ":TBX_PRIV:Answ1").
    Dataset(Database& db, QString table);
    // A read-only query.
    static std::unique_ptr<Dataset> fromQuery(Database& db, QString select, QVariantHash params = {});
    // Another statement and values for a query dataset (a list that changes
    // its order or its warehouse). Another statement closes an open dataset
    // (its fields are read again when it opens); the same statement with
    // other values is read by the next open or refresh. A table dataset
    // refuses it (DatasetError).
    void setQuery(const QString& select, const QVariantHash& params = {});
    ~Dataset() override;

    Database& database() const { return m_db; }
    const QString& tableName() const { return m_table; }
    bool isReadOnly() const { return m_readOnly; }
    void setReadOnly(bool readOnly) { m_readOnly = readOnly; }

    // --- definition (before open) ---------------------------------------
    // A condition on the rows, in the windows' SQL dialect ("Tip = :t").
    void setFilter(const QString& where, const QVariantHash& params = {});
    void setOrderBy(const QString& orderBy); // "Cod_articol, Lot"
    // Detail of `master`: pairs (detail field, master field). The rows follow
    // the master's current record; a new row takes the master's values. A
    // detail row that starts editing writes its master's pending record first.
    void setMaster(Dataset* master, const QList<QPair<QString, QString>>& links);
    Dataset* master() const { return m_master; }
    DatasetField& addCalculatedField(const QString& name, FieldType type, int size = 0);
    DatasetField& addLookupField(const QString& name, const QString& keyField, const QString& lookupTable,
                                 const QString& lookupKey, const QString& resultField,
                                 FieldType type = FieldType::Text);

    // --- fields -----------------------------------------------------------
    // Fields are known from the table's definition once constructed (a query's
    // once opened). Lookup is case-insensitive; an unknown name is a DatasetError.
    DatasetField& field(const QString& name);
    const DatasetField& field(const QString& name) const;
    int fieldIndex(const QString& name) const; // -1 when unknown
    int fieldCount() const { return static_cast<int>(m_fields.size()); }
    const DatasetField& fieldAt(int index) const { return m_fields[static_cast<size_t>(index)]; }

    // --- life -------------------------------------------------------------
    void open();
    void close();
    bool isOpen() const { return m_state != DatasetState::Inactive; }
    // Reads the rows again (what other workstations wrote), keeping the
    // current record when it still exists. Only in Browse and while no detail
    // is being edited; returns false otherwise.
    bool refresh();
    // Writes a pending edit; a new record left untouched is dropped.
    void settle();

    DatasetState state() const { return m_state; }
    bool isEditing() const { return m_state == DatasetState::Edit || m_state == DatasetState::Insert; }
    bool isModified() const { return m_modified; }
    // True while this record is being written because one of its details
    // started editing (a document header written as its first line begins:
    // a check that wants the lines to exist does not apply yet).
    bool isPostingForDetail() const { return m_postingForDetail; }

    // --- navigation (a pending edit is posted first) -----------------------
    int recordCount() const { return static_cast<int>(m_rows.size()); }
    bool isEmpty() const { return m_rows.empty(); }
    int recNo() const { return m_current; } // -1 when empty
    bool bof() const { return m_bof; }
    bool eof() const { return m_eof; }
    void first();
    void last();
    void next();
    void prior();
    void moveTo(int row);
    // Moves to the first row whose fields equal the values; false (and no move) when none.
    bool locate(const QStringList& fields, const QVariantList& values);

    // --- values -----------------------------------------------------------
    QVariant value(const QString& name) const;         // of the current record
    QVariant value(int row, const QString& name) const;
    QVariant value(int row, int fieldIndex) const;
    // The value of the current record when it was read (before this edit).
    QVariant oldValue(const QString& name) const;
    // Sets a value of the current record, converting it to the field's type;
    // the record must be in Edit or Insert. Runs onValidate and onChange.
    // A number that is not finite, or whose magnitude reaches
    // common::kLargestNumber, is refused (DatasetError).
    void setValue(const QString& name, const QVariant& value);
    // Calculated fields: set from onCalcFields.
    void setCalculated(const QString& name, const QVariant& value);
    bool isNull(const QString& name) const { return value(name).isNull(); }

    // --- editing ----------------------------------------------------------
    void edit();
    void insert(); // before the current record
    void append(); // after the last record
    void post();
    void cancel();
    void remove(); // deletes the current record

    // Writing and deleting compare the stored record, read inside the write
    // transaction, with the record as this dataset read it (when the edit
    // began, or when the rows were last read). When another workstation
    // changed or deleted it meanwhile, nothing is written: StaleRecord. So a
    // window that changes a row with its own statement reads it again
    // (refresh) before the user may delete it.
    static constexpr int kWriteAttempts = 4;

    // --- events (one handler each; the window logic sets them) ------------
    std::function<void()> afterOpen;
    std::function<void()> beforeClose;
    std::function<void()> beforeInsert;
    std::function<void()> onNewRecord; // defaults of a new record
    std::function<void()> afterInsert;
    std::function<void()> beforeEdit;
    std::function<void()> afterEdit;
    std::function<void()> beforePost;
    // Inside the write transaction, before the row is written (an edited
    // record was found as it was read); values it sets are written with it.
    std::function<void()> beforeWrite;
    // Inside the write transaction, after the row was written; values it still
    // sets on the record are written before the commit.
    std::function<void()> whilePosting;
    std::function<void()> afterPost;
    std::function<void()> onPostError; // the write failed and was rolled back; the error goes on to the caller
    std::function<void()> beforeCancel;
    std::function<void()> afterCancel;
    std::function<void()> beforeDelete;
    std::function<void()> whileDeleting; // inside the write transaction, after the row was deleted
    std::function<void()> afterDelete;
    std::function<void()> onDeleteError; // the delete failed and was rolled back
    std::function<void()> beforeScroll;
    std::function<void()> afterScroll;
    std::function<void()> onCalcFields; // reads value(), sets setCalculated()

signals:
    void aboutToReset();
    void reset();
    void rowAboutToBeInserted(int row);
    void rowInserted(int row);
    void rowAboutToBeRemoved(int row);
    void rowRemoved(int row);
    void rowChanged(int row);
    void currentChanged(int row);
    void stateChanged(datastore::DatasetState state);

private:
    struct Row {
        qint64 rowid = 0; // 0 for a row not yet written
        QVariantList values;
    };

    Dataset(Database& db, QString select, QVariantHash params, bool isQuery);
    void loadTableFields();
    void load();
    void calcRow(Row& row);
    void requireOpen() const;
    void requireEditing(const char* action) const;
    void checkBrowseMode(); // posts a pending edit
    void setCurrent(int row);
    void setState(DatasetState state);
    void removePendingInsert();
    QString selectStatement(bool rowidOnly = false) const;
    void placeByOrder(); // the written current row to where the order puts it
    QVariantHash selectParams() const;
    QVariant coerce(const DatasetField& f, const QVariant& v) const;
    QVariant lookup(int fieldIndex, const QVariant& key) const;
    void resolveLookupKeys();
    void rereadRow(Row& row);
    bool readStored(qint64 rowid, QVariantList& values) const; // false when the row is gone
    void checkStored(const Row& base) const;                     // throws StaleRecord
    void writeCurrent();
    int updateChanged(const Row& row, const QVariantList& before);
    void reloadAfterConflict();
    void dropCurrentRow();
    void postMaster();
    bool detailEditing() const;
    bool inPlace() const;
    void masterChanged();
    QVariantList masterValues() const;

    Database& m_db;
    QString m_table;      // table name, or the query text
    bool m_isQuery = false;
    bool m_readOnly = false;
    QString m_filter;
    QVariantHash m_filterParams;
    QString m_orderBy;
    std::vector<DatasetField> m_fields;
    int m_dataFieldCount = 0; // data fields come first
    std::vector<Row> m_rows;
    int m_current = -1;
    bool m_bof = true;
    bool m_eof = true;
    DatasetState m_state = DatasetState::Inactive;
    bool m_modified = false;
    bool m_postingForDetail = false;
    Row m_saved;           // the current record before Edit
    Row* m_calcTarget = nullptr; // the row onCalcFields is computing
    Dataset* m_master = nullptr;
    QList<QPair<QString, QString>> m_links;
    std::vector<Dataset*> m_details;
    QVariantList m_loadedMasterValues;
    mutable QHash<int, QHash<QString, QVariant>> m_lookupCache; // field index -> key -> result
};

} // namespace datastore
