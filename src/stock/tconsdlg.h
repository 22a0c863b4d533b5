#pragma once
// The consolidation dialogs: TConsInDlg "Consolidare factura (documente de
// intrare)" over the delivery notes of a supplier, TConsOutDlg
// "Consolidare factura (documente de iesire)" over those of a budget. The
// partner list and the period (today - 30 to today) with "Selecteaza" and
// "&Renunta"; after a selection the dialog grows to show the notes, marked by
// a double click or Space (marked rows in bold), a status text and
// "Consolideaza". Every rule is ConsolidationLogic's (consolidation.h).

#include "consolidation.h"

#include "common/formats.h"

#include <QDialog>
#include <memory>
#include <optional>

class QDateEdit;
class QLabel;
class QListWidget;
class QPushButton;
class QTableWidget;

namespace stock {

class TConsDlg : public QDialog {
    Q_OBJECT
public:
    TConsDlg(datastore::Database& db, datastore::Database& privateDb, const common::Parameters& parameters,
             const common::Formats& formats, common::Dialogs& dialogs, NoteSide side, QWidget* parent = nullptr,
             const QDate& today = QDate::currentDate());
    ~TConsDlg() override;

    // False, after the error box, when the partners cannot be read.
    bool prepare();
    // The invoice made by "Consolideaza"; nothing otherwise.
    std::optional<double> invoice() const { return m_invoice; }

    ConsolidationLogic& logic() { return *m_logic; }
    QListWidget* partnerList() const { return m_partners; }
    QDateEdit* fromEdit() const { return m_from; }
    QDateEdit* toEdit() const { return m_to; }
    QPushButton* selectButton() const { return m_select; }
    QPushButton* cancelButton() const { return m_cancel; }
    QTableWidget* noteList() const { return m_notes; }
    QLabel* statusText() const { return m_status; }
    QPushButton* consolidateButton() const { return m_consolidate; }
    QWidget* notesPart() const { return m_lower; }

    void selectNotes();      // "Selecteaza"
    void consolidateNotes(); // "Consolideaza"

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void toggle(int row);
    void showMarks();

    std::unique_ptr<ConsolidationLogic> m_logic;
    const common::Formats& m_formats;
    common::Dialogs& m_dialogs;
    QDate m_today;
    std::optional<double> m_invoice;
    QListWidget* m_partners = nullptr;
    QDateEdit* m_from = nullptr;
    QDateEdit* m_to = nullptr;
    QPushButton* m_select = nullptr;
    QPushButton* m_cancel = nullptr;
    QWidget* m_lower = nullptr;
    QTableWidget* m_notes = nullptr;
    QLabel* m_status = nullptr;
    QPushButton* m_consolidate = nullptr;
};

// Input delivery notes of a supplier.
class TConsInDlg : public TConsDlg {
    Q_OBJECT
public:
    TConsInDlg(datastore::Database& db, datastore::Database& privateDb, const common::Parameters& parameters,
               const common::Formats& formats, common::Dialogs& dialogs, QWidget* parent = nullptr,
               const QDate& today = QDate::currentDate())
        : TConsDlg(db, privateDb, parameters, formats, dialogs, NoteSide::Input, parent, today)
    {
    }
};

// Output delivery notes of a budget.
class TConsOutDlg : public TConsDlg {
    Q_OBJECT
public:
    TConsOutDlg(datastore::Database& db, datastore::Database& privateDb, const common::Parameters& parameters,
                const common::Formats& formats, common::Dialogs& dialogs, QWidget* parent = nullptr,
                const QDate& today = QDate::currentDate())
        : TConsDlg(db, privateDb, parameters, formats, dialogs, NoteSide::Output, parent, today)
    {
    }
};

// Shows the dialog of `side`; the counter of the invoice when it ended with
// "Consolideaza", nothing when cancelled or after an error.
std::optional<double> ConsolidateNotes(QWidget* owner, datastore::Database& db, datastore::Database& privateDb,
                                       const common::Parameters& parameters, const common::Formats& formats,
                                       common::Dialogs& dialogs, NoteSide side);

} // namespace stock
