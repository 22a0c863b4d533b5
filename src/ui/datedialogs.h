#pragma once
// The small date dialogs of the reports and document windows:
//
//   SelectInterval   - TIntervalDlg "Setati intervalul dorit:", a first and a
//                      last date; Enter in the first field goes to the second,
//                      Enter in the second confirms like "&Deschide".
//   SelectDate       - TSelDateDlg "Selectie", one date.
//   PickCalendarDate - a month calendar to pick a date with the mouse.
//
// The dates are typed in the regional short form (day.month.year). A date
// that cannot be read, or an interval whose first date is later than its
// last, is refused with a warning and the dialog stays open on the field to
// correct. The checks live in IntervalDlgLogic and SelDateDlgLogic, which
// need no widgets; the dialogs only bind the fields to them.

#include "common/dialogs.h"
#include "common/formats.h"

#include <QDate>
#include <QDialog>
#include <QString>
#include <optional>

class QCalendarWidget;
class QLineEdit;
class QPushButton;

namespace ui {

// "Intervalul de timp nu este corect! " + last (dd.mm.yyyy) + " < " + first
// (dd.mm.yyyy); empty when first <= last.
QString intervalError(const QDate& first, const QDate& last);

// The text a date field shows for a date (day.month.year with the regional
// date separator, two-digit day and month); "" for a null date.
QString dateFieldText(const QDate& date, const common::Formats& formats);

// Reads a date field; nullopt, after a warning, when the text is empty or is
// not a date ("31.02.2026", "abc").
std::optional<QDate> readDateField(const QString& text, const common::Formats& formats,
                                   common::Dialogs& dialogs);

// The rules of TIntervalDlg.
class IntervalDlgLogic {
public:
    enum class Field { None, First, Last };

    IntervalDlgLogic(common::Dialogs& dialogs, const common::Formats& formats, const QDate& first,
                     const QDate& last);

    QString firstText; // the fields as typed
    QString lastText;

    // "&Deschide": reads both fields and checks the interval. False after the
    // warning; refusedField() is the field to correct.
    bool accept();
    Field refusedField() const { return m_refused; }
    QDate first() const { return m_first; } // after accept()
    QDate last() const { return m_last; }

private:
    common::Dialogs& m_dialogs;
    const common::Formats& m_formats;
    QDate m_first;
    QDate m_last;
    Field m_refused = Field::None;
};

// The rules of TSelDateDlg.
class SelDateDlgLogic {
public:
    SelDateDlgLogic(common::Dialogs& dialogs, const common::Formats& formats, const QDate& date);

    QString text; // the field as typed

    bool accept(); // false after the warning
    QDate date() const { return m_date; }

private:
    common::Dialogs& m_dialogs;
    const common::Formats& m_formats;
    QDate m_date;
};

class TIntervalDlg : public QDialog {
    Q_OBJECT
public:
    TIntervalDlg(IntervalDlgLogic& logic, QWidget* parent = nullptr);

    QLineEdit* firstEdit() const { return m_first; }
    QLineEdit* lastEdit() const { return m_last; }
    QPushButton* openButton() const { return m_open; }

    void accept() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    IntervalDlgLogic& m_logic;
    QLineEdit* m_first = nullptr;
    QLineEdit* m_last = nullptr;
    QPushButton* m_open = nullptr;
};

class TSelDateDlg : public QDialog {
    Q_OBJECT
public:
    TSelDateDlg(SelDateDlgLogic& logic, QWidget* parent = nullptr);

    QLineEdit* dateEdit() const { return m_date; }
    QPushButton* okButton() const { return m_ok; }

    void accept() override;

private:
    SelDateDlgLogic& m_logic;
    QLineEdit* m_date = nullptr;
    QPushButton* m_ok = nullptr;
};

// The month calendar of PickCalendarDate: a double click or Enter on a day,
// or "OK", chooses it.
class TCalendarDlg : public QDialog {
    Q_OBJECT
public:
    explicit TCalendarDlg(const QDate& initial, QWidget* parent = nullptr);
    QCalendarWidget* calendar() const { return m_calendar; }
    QDate selectedDate() const;

private:
    QCalendarWidget* m_calendar = nullptr;
};

// In/out; true when confirmed ("&Deschide"); the dates change only then.
bool SelectInterval(QWidget* owner, common::Dialogs& dialogs, const common::Formats& formats, QDate& first,
                    QDate& last);
// In/out; true when confirmed.
bool SelectDate(QWidget* owner, common::Dialogs& dialogs, const common::Formats& formats, QDate& date);
// nullopt when cancelled. An invalid initial date opens on today.
std::optional<QDate> PickCalendarDate(QWidget* owner, const QDate& initial);

} // namespace ui
