#pragma once
// A line edit bound to a field of a dataset's current record: it shows the
// value, typing starts an edit of the record (the first record of an empty
// list), and leaving the edit puts the text in the field through the
// dataset's checks (read by datastore::valueFromText, as a grid cell is). Errors are shown the way the grid shows them.

#include "common/dialogs.h"
#include "common/formats.h"
#include "datastore/dataset.h"

#include <QLineEdit>

namespace ui {

// Sizes of text fields limit the length; a date takes only digits and
// separators. A number takes whatever is typed, so that a text that is no
// number ("OD-4512") is refused with its message rather than cut down to
// the digits it holds.
void fitEditorToField(QLineEdit* editor, const datastore::DatasetField& field);

class FieldEdit : public QLineEdit {
    Q_OBJECT
public:
    FieldEdit(datastore::Dataset& dataset, QString field, common::Dialogs& dialogs, QWidget* parent = nullptr);
    const QString& field() const { return m_field; }
    // Dates are shown and read in the regional form ("dd.mm.yyyy").
    void setFormats(const common::Formats* formats);
    // Puts a pending text in the field; false after an error.
    bool commit();
    void showValue();

private:
    datastore::Dataset& m_dataset;
    QString m_field;
    common::Dialogs& m_dialogs;
    bool m_dirty = false;
    const common::Formats* m_formats = nullptr;
    bool isDate() const;
    void fitToField(); // the field's limits on the editor, once the dataset is open
    bool m_fitted = false;
};

} // namespace ui
