#pragma once
// The parts every document window builds the same way: the header's date
// edits with their calendar buttons, the navigator over the documents, the
// small "Caut..." window shown while a search runs, and the keys a document
// window keeps for itself even inside a line edit.

#include "documentwindow.h"

#include "ui/fieldedit.h"

#include <QKeyCombination>
#include <functional>

class QLabel;
class QToolBar;
class QToolButton;
class QWidget;

namespace stock {

// The display mask of an amount with `decimals` decimals ("#,##0.00").
inline QString moneyMask(int decimals)
{
    return QStringLiteral("#,##0.") + QString(qMax(decimals, 0), u'0');
}

// A date field of the header: "dd.mm.yyyy", wide enough for it.
ui::FieldEdit* makeDateEdit(datastore::Dataset& docs, const QString& field, common::Dialogs& dialogs,
                            const common::Formats& formats, QWidget* parent);

// The calendar button beside a date edit: the date chosen in the calendar
// goes into the header (edited first), or the dataset's message is shown.
QToolButton* makeCalendarButton(ui::FieldEdit* edit, datastore::Dataset& docs, common::Dialogs& dialogs,
                                QWidget* parent);

// The navigator: first, prior, next, last; new, delete, edit, save, cancel,
// refresh, with their hints. `commit` writes a cell or field being typed
// (false: refused, nothing runs); `editHeader` puts the cursor in the header.
QToolBar* makeNavigator(QWidget* window, datastore::Dataset& docs, DocumentWindowLogic& logic,
                        common::Dialogs& dialogs, std::function<bool()> commit, std::function<void()> editHeader);

// The borderless "Caut..." window in the middle of `window` with the wait cursor.
class SearchingIndicator {
public:
    void show(QWidget* window, bool on);

private:
    QLabel* m_label = nullptr;
};

// Ctrl-Ins and Ctrl-Z are the window's commands (new document, search), not a
// line edit's copy and undo; `more` adds the window's own.
bool isDocumentWindowKey(QKeyCombination combo, const QList<QKeyCombination>& more = {});

} // namespace stock
