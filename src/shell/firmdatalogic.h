#pragma once
// Firm data ("Date de firma"): the records of Firmdata.DB and the choice of
// the current firm, FirmNo of the database's TBXDEF.INI.

#include "common/dialogs.h"
#include "datastore/dataset.h"

#include <functional>

namespace shell {

class TFirmDataDlgLogic {
public:
    // firmNo: the current firm (parameter FirmNo).
    TFirmDataDlgLogic(datastore::Database& db, common::Dialogs& dialogs, int firmNo);

    // Opens the table on the current firm (the first record when there is
    // none); false after the error box when it cannot be opened.
    bool FormCreate();
    // "&Valideaza": stores a pending edit; on success the record's Cod
    // becomes FirmNo and the table is closed. FirmNo (new or kept) is then
    // written to the definition file. Returns whether the record was stored:
    // when it was refused the dialog stays open on it, so that what was
    // typed is not lost.
    bool Valideaza(const QString& definitionFile);
    // Any other way of closing: a pending edit is discarded.
    void FormClose();

    int firmNo() const { return m_firmNo; }
    datastore::Dataset firms;
    std::function<void(const QString& field)> focusField; // the widget puts the focus on a field

    void FirmdataBeforePost();
    void CodValidate(); // a firm number is not negative

private:
    common::Dialogs& m_dialogs;
    int m_firmNo;
};

} // namespace shell
