#include "datedialogs.h"

#include <QCalendarWidget>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

namespace ui {

namespace {

constexpr int kDateChars = 10;

QLineEdit* makeDateEdit(const QString& text, QWidget* parent)
{
    auto* edit = new QLineEdit(text, parent);
    edit->setMaxLength(kDateChars);
    edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("00.00.00000")) + 16);
    return edit;
}

void focusField(QLineEdit* edit)
{
    edit->setFocus();
    edit->selectAll();
}

} // namespace

QString intervalError(const QDate& first, const QDate& last)
{
    if (!first.isValid() || !last.isValid() || first <= last)
        return {};
    return QStringLiteral("Intervalul de timp nu este corect! ") + last.toString(QStringLiteral("dd.MM.yyyy")) +
           QStringLiteral(" < ") + first.toString(QStringLiteral("dd.MM.yyyy"));
}

QString dateFieldText(const QDate& date, const common::Formats& formats)
{
    return common::formatDate(QStringLiteral("dd/mm/yyyy"), date, formats);
}

std::optional<QDate> readDateField(const QString& text, const common::Formats& formats, common::Dialogs& dialogs)
{
    const QString t = text.trimmed();
    if (t.isEmpty()) {
        dialogs.warning(QStringLiteral("Specificati data!"));
        return std::nullopt;
    }
    const auto date = common::parseDate(t, formats);
    if (!date)
        dialogs.warning(QStringLiteral("'%1' nu este o data valida").arg(t));
    return date;
}

// --- IntervalDlgLogic ----------------------------------------------------------------------------

IntervalDlgLogic::IntervalDlgLogic(common::Dialogs& dialogs, const common::Formats& formats, const QDate& first,
                                   const QDate& last)
    : firstText(dateFieldText(first, formats)), lastText(dateFieldText(last, formats)), m_dialogs(dialogs),
      m_formats(formats), m_first(first), m_last(last)
{
}

bool IntervalDlgLogic::accept()
{
    m_refused = Field::First;
    const auto first = readDateField(firstText, m_formats, m_dialogs);
    if (!first)
        return false;
    m_refused = Field::Last;
    const auto last = readDateField(lastText, m_formats, m_dialogs);
    if (!last)
        return false;
    const QString error = intervalError(*first, *last);
    if (!error.isEmpty()) {
        m_refused = Field::First;
        m_dialogs.warning(error);
        return false;
    }
    m_refused = Field::None;
    m_first = *first;
    m_last = *last;
    return true;
}

// --- SelDateDlgLogic -----------------------------------------------------------------------------

SelDateDlgLogic::SelDateDlgLogic(common::Dialogs& dialogs, const common::Formats& formats, const QDate& date)
    : text(dateFieldText(date, formats)), m_dialogs(dialogs), m_formats(formats), m_date(date)
{
}

bool SelDateDlgLogic::accept()
{
    const auto date = readDateField(text, m_formats, m_dialogs);
    if (!date)
        return false;
    m_date = *date;
    return true;
}

// --- TIntervalDlg --------------------------------------------------------------------------------

TIntervalDlg::TIntervalDlg(IntervalDlgLogic& logic, QWidget* parent) : QDialog(parent), m_logic(logic)
{
    setObjectName(QStringLiteral("TIntervalDlg"));
    setWindowTitle(QStringLiteral("Setati intervalul dorit:"));

    m_first = makeDateEdit(logic.firstText, this);
    m_last = makeDateEdit(logic.lastText, this);
    auto* firstLabel = new QLabel(QStringLiteral("&De la data de :"), this);
    firstLabel->setBuddy(m_first);
    auto* lastLabel = new QLabel(QStringLiteral("&pana în data:"), this);
    lastLabel->setBuddy(m_last);

    auto* fields = new QGridLayout;
    fields->addWidget(firstLabel, 0, 0);
    fields->addWidget(m_first, 0, 1);
    fields->addWidget(lastLabel, 1, 0);
    fields->addWidget(m_last, 1, 1);
    fields->setColumnStretch(2, 1);

    auto* buttons = new QDialogButtonBox(this);
    m_open = buttons->addButton(QStringLiteral("&Deschide"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("&Renunta"), QDialogButtonBox::RejectRole);
    m_open->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &TIntervalDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TIntervalDlg::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addStretch(1);
    layout->addWidget(buttons);
    setFixedSize(sizeHint().expandedTo(QSize(300, 0)));
    focusField(m_first);
}

void TIntervalDlg::keyPressEvent(QKeyEvent* event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        if (focusWidget() == m_first) {
            focusField(m_last);
            return;
        }
        if (focusWidget() == m_last) {
            accept();
            return;
        }
    }
    QDialog::keyPressEvent(event);
}

void TIntervalDlg::accept()
{
    m_logic.firstText = m_first->text();
    m_logic.lastText = m_last->text();
    if (m_logic.accept()) {
        QDialog::accept();
        return;
    }
    focusField(m_logic.refusedField() == IntervalDlgLogic::Field::Last ? m_last : m_first);
}

// --- TSelDateDlg ---------------------------------------------------------------------------------

TSelDateDlg::TSelDateDlg(SelDateDlgLogic& logic, QWidget* parent) : QDialog(parent), m_logic(logic)
{
    setObjectName(QStringLiteral("TSelDateDlg"));
    setWindowTitle(QStringLiteral("Selectie"));

    m_date = makeDateEdit(logic.text, this);
    auto* label = new QLabel(QStringLiteral("&Specificati data:"), this);
    label->setBuddy(m_date);
    auto* row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(m_date);
    row->addStretch(1);

    auto* buttons = new QDialogButtonBox(this);
    m_ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("&Renunta"), QDialogButtonBox::RejectRole);
    m_ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &TSelDateDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TSelDateDlg::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addStretch(1);
    layout->addWidget(buttons);
    setFixedSize(sizeHint().expandedTo(QSize(260, 0)));
    focusField(m_date);
}

void TSelDateDlg::accept()
{
    m_logic.text = m_date->text();
    if (m_logic.accept())
        QDialog::accept();
    else
        focusField(m_date);
}

// --- TCalendarDlg --------------------------------------------------------------------------------

TCalendarDlg::TCalendarDlg(const QDate& initial, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TCalendarDlg"));
    setWindowTitle(QStringLiteral("Alegeti data"));
    m_calendar = new QCalendarWidget(this);
    m_calendar->setLocale(QLocale(QLocale::Romanian, QLocale::Romania));
    m_calendar->setFirstDayOfWeek(Qt::Monday);
    m_calendar->setGridVisible(true);
    m_calendar->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    m_calendar->setSelectedDate(initial.isValid() ? initial : QDate::currentDate());
    connect(m_calendar, &QCalendarWidget::activated, this, &TCalendarDlg::accept);

    auto* buttons = new QDialogButtonBox(this);
    auto* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("&Renunta"), QDialogButtonBox::RejectRole);
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &TCalendarDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TCalendarDlg::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_calendar);
    layout->addWidget(buttons);
    m_calendar->setFocus();
}

QDate TCalendarDlg::selectedDate() const { return m_calendar->selectedDate(); }

// --- entry points --------------------------------------------------------------------------------

bool SelectInterval(QWidget* owner, common::Dialogs& dialogs, const common::Formats& formats, QDate& first,
                    QDate& last)
{
    IntervalDlgLogic logic(dialogs, formats, first, last);
    TIntervalDlg dialog(logic, owner);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    first = logic.first();
    last = logic.last();
    return true;
}

bool SelectDate(QWidget* owner, common::Dialogs& dialogs, const common::Formats& formats, QDate& date)
{
    SelDateDlgLogic logic(dialogs, formats, date);
    TSelDateDlg dialog(logic, owner);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    date = logic.date();
    return true;
}

std::optional<QDate> PickCalendarDate(QWidget* owner, const QDate& initial)
{
    TCalendarDlg dialog(initial, owner);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.selectedDate();
}

} // namespace ui
