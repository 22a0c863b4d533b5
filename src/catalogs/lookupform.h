#pragma once
// TLookupForm: the window of the supplier, budget and warehouse catalogs.
// It only binds controls to TPartnerLookupLogic:
//
//   the list (a data grid over the catalog's table), to its right the order
//   combo "Or&dine de afisare:" ("dupa Cod" / "dupa Denumire"), the search
//   box "&Cauta:" and the buttons "OK" (default), "&Renunta" (cancel) and the
//   toggle "&Editeaza".
//
// As a child window of the main window (LookupRole::Child) the buttons are
// hidden and the list is always editable; the main window puts the widget
// into an MDI sub-window, calls refreshTick() at every refresh tick, and the
// close request (closeEvent) posts a pending row first: a refusal keeps the
// window open. As a picker (LookupRole::Picker) the window is shown modally
// by execPicker(); a double click on the list or "OK" confirms.

#include "partnerlookuplogic.h"
#include "ui/refreshtarget.h"

#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace catalogs {

class TLookupForm : public QWidget, public ui::RefreshTarget {
    Q_OBJECT
public:
    TLookupForm(const PartnerCatalogDef& def, const PartnerServices& services, LookupRole role,
                QWidget* parent = nullptr);
    ~TLookupForm() override;

    // Opens the table and shows the empty-table warning when there are no
    // rows; false (after the error box) when the table cannot be opened: the
    // window must then be released without being shown.
    bool prepare();

    TPartnerLookupLogic& logic() { return m_logic; }
    LookupRole role() const { return m_logic.role(); }
    QString currentCode() const { return m_logic.currentCode(); }

    // The refresh tick of the main window (suppliers and budgets re-read
    // their table when it is not being edited).
    void refreshTick() override;

    // Picker: shows the window modally over `owner`; true unless it was
    // closed with "&Renunta" (or Esc, or its close box), and only when the
    // list has a current row.
    bool execPicker(QWidget* owner);
    // Picker: positions the list on `code` (exact key; when there is none the
    // list stays on its first row) and shows the window modally. Confirmed,
    // the code of the current row replaces `code` and the result is true;
    // otherwise `code` is unchanged and the result is false.
    bool pick(QWidget* owner, QString& code);
    // The close request of either role: a cell being typed goes to the row
    // and a pending row is posted; false (after the message) when refused.
    bool closeQuery();

    // Controls, for the window's owner and for tests.
    ui::DataGrid* grid() const { return m_grid; }
    QComboBox* orderCombo() const { return m_order; }
    QLineEdit* searchEdit() const { return m_search; }
    QPushButton* okButton() const { return m_ok; }
    QPushButton* cancelButton() const { return m_cancel; }
    QPushButton* editButton() const { return m_edit; }

signals:
    void okRequested();     // picker: "OK", Enter or a double click
    void cancelRequested(); // picker: "&Renunta" or Esc

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void syncEditControls(); // grid, "OK" and "&Editeaza" after the edit mode
    void editToggled(bool down);
    void orderChanged(int index);
    void searchChanged(const QString& text);
    QWidget* openEditor() const; // the editor of the current cell, when one is open
    QString layoutPath() const;

    const PartnerServices m_services;
    TPartnerLookupLogic m_logic;
    std::unique_ptr<ui::DatasetModel> m_model;
    ui::DataGrid* m_grid = nullptr;
    QComboBox* m_order = nullptr;
    QLineEdit* m_search = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
    QPushButton* m_edit = nullptr;
    bool m_closed = false;
};

} // namespace catalogs
