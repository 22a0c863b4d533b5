#include "fieldedit.h"

#include "datagrid.h"

#include <QRegularExpressionValidator>

namespace ui {

void fitEditorToField(QLineEdit* editor, const datastore::DatasetField& field)
{
    using datastore::FieldType;
    switch (field.type) {
    case FieldType::Text:
        if (field.size > 0)
            editor->setMaxLength(field.size);
        break;
    case FieldType::SmallInt:
    case FieldType::Integer:
    case FieldType::AutoIncrement:
    case FieldType::Float:
        // Whatever is typed stays visible: a text that is no number is
        // refused with a message when it is put in the field, never cut
        // down to the digits it holds.
        editor->setMaxLength(40);
        break;
    case FieldType::Date:
        editor->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9./-]*")), editor));
        break;
    default:
        break;
    }
}

FieldEdit::FieldEdit(datastore::Dataset& dataset, QString field, common::Dialogs& dialogs, QWidget* parent)
    : QLineEdit(parent), m_dataset(dataset), m_field(std::move(field)), m_dialogs(dialogs)
{
    fitToField();
    connect(this, &QLineEdit::textEdited, this, [this] {
        if (!m_dataset.isEditing()) {
            // Starting the edit re-reads the record (or starts a new one):
            // what was just typed must survive it.
            const QString typed = text();
            const int cursor = cursorPosition();
            try {
                m_dataset.edit();
            } catch (...) {
                reportDataError(m_dialogs, std::current_exception());
                showValue();
                return;
            }
            setText(typed);
            setCursorPosition(cursor);
        }
        m_dirty = true;
    });
    connect(this, &QLineEdit::editingFinished, this, [this] { commit(); });
    connect(&m_dataset, &datastore::Dataset::rowChanged, this, [this](int row) {
        if (row == m_dataset.recNo() && !m_dirty)
            showValue();
    });
    connect(&m_dataset, &datastore::Dataset::currentChanged, this, [this] { showValue(); });
    connect(&m_dataset, &datastore::Dataset::reset, this, [this] { showValue(); });
    showValue();
}

void FieldEdit::fitToField()
{
    // A table's fields are known once its dataset is open.
    if (m_fitted || !m_dataset.isOpen())
        return;
    const int fi = m_dataset.fieldIndex(m_field);
    if (fi >= 0)
        fitEditorToField(this, m_dataset.fieldAt(fi));
    m_fitted = true;
}

void FieldEdit::showValue()
{
    fitToField();
    m_dirty = false;
    if (!m_dataset.isOpen() || m_dataset.recNo() < 0) {
        clear();
        return;
    }
    const QVariant v = m_dataset.value(m_field);
    if (m_formats && isDate() && !v.isNull())
        setText(common::formatDate(QStringLiteral("dd.mm.yyyy"), v.toDate(), *m_formats));
    else
        setText(v.isNull() ? QString() : v.toString());
}

bool FieldEdit::commit()
{
    if (!m_dirty)
        return true;
    try {
        if (!m_dataset.isEditing())
            m_dataset.edit();
        // Read as the grid reads a cell: in the regional formats (a date
        // shown in the storage's form is read in that form).
        const datastore::DatasetField& f = m_dataset.field(m_field);
        const common::Formats regional;
        if (f.type == datastore::FieldType::Date && !m_formats)
            m_dataset.setValue(m_field, text());
        else
            m_dataset.setValue(m_field, datastore::valueFromText(f, text(), m_formats ? *m_formats : regional));
        m_dirty = false;
        return true;
    } catch (...) {
        reportDataError(m_dialogs, std::current_exception());
        selectAll();
        setFocus();
        return false;
    }
}

} // namespace ui

namespace ui {

void FieldEdit::setFormats(const common::Formats* formats)
{
    m_formats = formats;
    if (!m_dirty)
        showValue();
}

bool FieldEdit::isDate() const
{
    const int fi = m_dataset.fieldIndex(m_field);
    return fi >= 0 && m_dataset.fieldAt(fi).type == datastore::FieldType::Date;
}

} // namespace ui
