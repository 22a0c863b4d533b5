#include "documentchrome.h"

#include "ui/datagrid.h"
#include "ui/datedialogs.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>

namespace stock {

ui::FieldEdit* makeDateEdit(datastore::Dataset& docs, const QString& field, common::Dialogs& dialogs,
                            const common::Formats& formats, QWidget* parent)
{
    auto* e = new ui::FieldEdit(docs, field, dialogs, parent);
    e->setFormats(&formats);
    e->setMaxLength(10);
    e->setFixedWidth(e->fontMetrics().horizontalAdvance(QStringLiteral("00.00.00000")) + 12);
    return e;
}

QToolButton* makeCalendarButton(ui::FieldEdit* edit, datastore::Dataset& docs, common::Dialogs& dialogs,
                                QWidget* parent)
{
    auto* b = new QToolButton(parent);
    b->setIcon(b->style()->standardIcon(QStyle::SP_FileDialogDetailedView));
    b->setToolTip(QStringLiteral("Calendar"));
    b->setFocusPolicy(Qt::NoFocus);
    QObject::connect(b, &QToolButton::clicked, b, [edit, &docs, &dialogs, b] {
        if (docs.recNo() < 0)
            return;
        const QDate current = docs.value(edit->field()).toDate();
        const std::optional<QDate> chosen =
            ui::PickCalendarDate(b->window(), current.isValid() ? current : QDate::currentDate());
        if (!chosen)
            return;
        try {
            if (!docs.isEditing())
                docs.edit();
            docs.setValue(edit->field(), *chosen);
        } catch (...) {
            ui::reportDataError(dialogs, std::current_exception());
        }
        edit->setFocus();
    });
    return b;
}

QToolBar* makeNavigator(QWidget* window, datastore::Dataset& docs, DocumentWindowLogic& logic,
                        common::Dialogs& dialogs, std::function<bool()> commit, std::function<void()> editHeader)
{
    auto* nav = new QToolBar(window);
    nav->setIconSize(QSize(16, 16));
    auto add = [&](QStyle::StandardPixmap icon, const QString& hint, std::function<void()> run) {
        QAction* a = nav->addAction(window->style()->standardIcon(icon), hint);
        a->setToolTip(hint);
        a->setStatusTip(hint);
        QObject::connect(a, &QAction::triggered, window, [commit, run = std::move(run), &dialogs] {
            if (!commit())
                return;
            try {
                run();
            } catch (...) {
                ui::reportDataError(dialogs, std::current_exception());
            }
        });
    };
    add(QStyle::SP_MediaSkipBackward, QStringLiteral("Primul document"), [&docs] { docs.first(); });
    add(QStyle::SP_MediaSeekBackward, QStringLiteral("Precedentul document"), [&docs] { docs.prior(); });
    add(QStyle::SP_MediaSeekForward, QStringLiteral("Urmatorul document"), [&docs] { docs.next(); });
    add(QStyle::SP_MediaSkipForward, QStringLiteral("Ultimul document"), [&docs] { docs.last(); });
    nav->addSeparator();
    add(QStyle::SP_FileIcon, QStringLiteral("Document nou"), [&logic] { logic.newDocument(); });
    add(QStyle::SP_TrashIcon, QStringLiteral("Sterge document"), [&logic] { logic.deleteDocument(); });
    add(QStyle::SP_FileDialogContentsView, QStringLiteral("Editeaza document"), [&docs, editHeader] {
        if (!docs.isEmpty() && !docs.isEditing())
            docs.edit();
        editHeader();
    });
    add(QStyle::SP_DialogSaveButton, QStringLiteral("Salveaza document"), [&logic] { logic.saveDocument(); });
    add(QStyle::SP_DialogCancelButton, QStringLiteral("Anuleaza modificarile"), [&logic] { logic.cancelDocument(); });
    add(QStyle::SP_BrowserReload, QStringLiteral("Actualizeaza datele"), [&logic] { logic.refreshTick(); });
    return nav;
}

void SearchingIndicator::show(QWidget* window, bool on)
{
    if (!on) {
        if (m_label)
            m_label->hide();
        QApplication::restoreOverrideCursor();
        return;
    }
    if (!m_label) {
        m_label = new QLabel(QStringLiteral("Caut..."), window, Qt::ToolTip | Qt::FramelessWindowHint);
        m_label->setFrameStyle(QFrame::Box | QFrame::Plain);
        m_label->setMargin(12);
    }
    m_label->adjustSize();
    m_label->move(window->mapToGlobal(window->rect().center()) - m_label->rect().center());
    m_label->show();
    m_label->repaint();
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

bool isDocumentWindowKey(QKeyCombination combo, const QList<QKeyCombination>& more)
{
    return combo == QKeyCombination(Qt::ControlModifier, Qt::Key_Insert)
        || combo == QKeyCombination(Qt::ControlModifier, Qt::Key_Z) || more.contains(combo);
}

} // namespace stock
