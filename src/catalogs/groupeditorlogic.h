#pragma once
// The material classes and article groups window ("Clase si grupe de
// articole"), headless: the classes (Materiale.db) and the groups of the
// current class (Grup.db), both edited in place. Checks: code and name
// filled, the synthetic account by CheckAccountSymbol, a group code used by
// one class only (articles, stock and document lines name a group by its
// code alone), no delete and no change of code of a group that articles,
// stock rows, document lines, recipes, targets or discount grids still use,
// nor of a class that still has groups. The `Target` flag of a group marks it
// for the sales targets. TGroupEditorForm binds it to the controls.

#include "common/dialogs.h"
#include "datastore/dataset.h"
#include "ui/datagrid.h"

#include <QList>
#include <QString>
#include <functional>

namespace catalogs {

inline constexpr const char* kGroupEditorCaption = "Clase si grupe de articole";
inline constexpr const char* kGroupEditorLayoutFile = "grupe.cfg";

// A table whose rows name an article group, and what its rows are to the user.
struct GroupUse {
    const char* table;
    const char* field;
    const char* what; // "catalogul de articole", "stocuri", ...
};
// Every table that names a group, in the order a refusal looks at them.
const QList<GroupUse>& groupUses();

class TGroupEditorLogic {
public:
    TGroupEditorLogic(datastore::Database& db, common::Dialogs& dialogs);
    TGroupEditorLogic(const TGroupEditorLogic&) = delete;
    TGroupEditorLogic& operator=(const TGroupEditorLogic&) = delete;

    datastore::Dataset classes; // Materiale.db, by code
    datastore::Dataset groups;  // Grup.db, the groups of the current class, by code

    // Opens both lists, on `group` (and its class) when given. False after the
    // error box "Eroare de acces la clasele si grupele de articole!" + line
    // break + "<" + engine message + ">" when a table cannot be opened.
    bool FormCreate(const QString& group = {});
    QList<ui::GridColumn> classColumns() const;
    QList<ui::GridColumn> groupColumns() const;

    // Where a group is used: the description of the first table that still
    // names `group`; empty when none does.
    QString groupUsedIn(const QString& group) const;
    // The class that already has a group with this code, other than `ownClass`; empty when none.
    QString classOfGroup(const QString& group, const QString& ownClass) const;

    // Called after a class or a group was written or deleted (the article
    // window reads its lists again).
    std::function<void()> onChanged;

    // The refresh tick: the lists that are open and not being edited read their tables again.
    void RefreshTick();
    // Closing: pending rows are posted (an untouched new one is dropped);
    // false, after the message, when one is refused.
    bool FormCloseQuery();
    void FormClose();

    // --- handlers ---------------------------------------------------------
    void ClassBeforePost();
    void ClassBeforeDelete();
    void GroupBeforePost();
    void GroupBeforeDelete();
    void AccountValidate(datastore::Dataset& table, const QString& field);

private:
    void changed();
    datastore::Database& m_db;
    common::Dialogs& m_dialogs;
};

} // namespace catalogs
