#pragma once
// Keepers and beneficiaries ("Gestionari, Beneficiari"): the people of
// User.db, their initials derived from the name, the access level picked
// from the levels of Acces.DB; and the record check of an access level.

#include "common/dialogs.h"
#include "datastore/dataset.h"

#include <QStringList>

namespace shell {

// Up to three initials from a name: the first character of each word, words
// separated by blanks, commas, periods and semicolons (a hyphen joins).
QString initialsOf(const QString& name);

class TUserFormLogic {
public:
    TUserFormLogic(datastore::Database& db, common::Dialogs& dialogs);

    // Opens User.db and reads the access levels for the "Acces" pick list;
    // false (after the error box) when the tables cannot be opened.
    bool FormCreate();
    // Closing: a pending row is posted; false (the window stays) when the
    // row is refused.
    bool FormCloseQuery();

    datastore::Dataset users;
    const QStringList& accessLevels() const { return m_levels; } // Niv_acces values, in key order

    void UserNameChange();
    void UserPswChange();

private:
    common::Dialogs& m_dialogs;
    QStringList m_levels;
};

// The rights that an access level record must have set (Da or Nu) before it is stored.
const QStringList& requiredAccessRights();
// Before an access level record is stored: every required right set and the level filled.
void AccesBeforePost(datastore::Dataset& acces, common::Dialogs& dialogs);

} // namespace shell
