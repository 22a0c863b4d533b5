#pragma once
// The discount grids window ("Editare grila discount"), headless: the grids
// (grila.DB, by number) and the group percentages of the current grid
// (item_grila.DB), both edited in place. A percentage is signed: the output
// documents multiply a sale price by (percentage / 100 + 1) when the
// parameter GrilaCalculDisc is on and the budget names the grid.
//
// Checks: a grid needs its number and its name; a group line needs its
// group (the percentage may be empty, negative or above 100, and the group
// need not exist in Grup.db); a group occurs at most once in a grid.
// Deleting a grid that still has group lines, or that a budget names, asks
// first and removes the grid with its lines in one unit of work.
// TDiscGrilaForm binds it to the controls.

#include "common/dialogs.h"
#include "datastore/dataset.h"
#include "ui/datagrid.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace catalogs {

inline constexpr const char* kDiscGrilaCaption = "Editare grila discount";
inline constexpr const char* kDiscGrilaLayoutFile = "discgrila.cfg";
inline constexpr const char* kDiscGrilaOpenError = "Eroare de acces la grila de discounturi!";
// Shown when a grid without number or name, or a group line without its group, is saved.
inline constexpr const char* kDiscGrilaMissingCode = "Introduceti atît codul si denumirea grilei!";

class DiscGrilaFormLogic {
public:
    DiscGrilaFormLogic(datastore::Database& db, common::Dialogs& dialogs);
    DiscGrilaFormLogic(const DiscGrilaFormLogic&) = delete;
    DiscGrilaFormLogic& operator=(const DiscGrilaFormLogic&) = delete;

    datastore::Dataset grids;  // grila.DB, by Grila
    datastore::Dataset groups; // item_grila.DB, the lines of the current grid, by group

    // Opens both lists and reads the group codes of Grup.db. False after the
    // error box "Eroare de acces la grila de discounturi!" + line break +
    // engine message + ">": the window is to be released.
    bool open();
    // Every Cod_grupa of Grup.db in that table's key order (class, then group),
    // as read by open(): the drop-down of the group column.
    const QStringList& groupCodes() const { return m_groupCodes; }
    QList<ui::GridColumn> gridColumns() const;
    QList<ui::GridColumn> groupColumns() const; // the group column offers groupCodes()

    // The refresh tick: every write is committed when it is made, so nothing
    // waits in a buffer; the lists that are open and not being edited read
    // their tables again.
    void refreshTick();
    // Closing: pending rows are posted (an untouched new one is dropped);
    // false, after the message, when one is refused.
    bool closeQuery();
    void close();

    // --- handlers ---------------------------------------------------------
    void GridBeforePost();
    void GridBeforeDelete();   // the question when lines or budgets depend on the grid
    void GridWhileDeleting();  // the grid's lines go in the same unit of work
    void GroupBeforePost();

    // The question asked before a grid with `lines` group lines, named by
    // `budgets` budgets, is deleted.
    static QString deleteQuestion(int grid, const QString& name, int lines, int budgets);

private:
    int countLines(const QVariant& grid) const;
    int countBudgets(const QVariant& grid) const;
    datastore::Database& m_db;
    common::Dialogs& m_dialogs;
    QStringList m_groupCodes;
    int m_linesAsked = 0; // the lines the delete question named
};

} // namespace catalogs
