#pragma once
// The logic of the supplier, budget and warehouse windows, headless: the
// table of the catalog in one of two orders, the search as you type, the
// position on a code, the checks of a row (account symbol, code and name),
// the default account of a new row, the "&Editeaza" toggle of the picker,
// the close request and the refresh tick.

#include "partnercatalogs.h"

#include "datastore/dataset.h"

namespace catalogs {

// A catalog window is either a child window of the main window (the list
// always editable) or a modal picker (the list read-only until "&Editeaza").
enum class LookupRole { Child, Picker };

class TPartnerLookupLogic {
public:
    TPartnerLookupLogic(const PartnerCatalogDef& def, datastore::Database& db, common::Dialogs& dialogs,
                        const common::Parameters& parameters, LookupRole role);

    const PartnerCatalogDef& def() const { return m_def; }
    LookupRole role() const { return m_role; }

    // Opens the table in the order "dupa Cod". False, after the error box
    // (the catalog's sentence, a line break, "<", the engine's message, ">"),
    // when it cannot be opened: the window is then released.
    bool FormCreate();
    // On an empty table the list starts in editing (the picker's
    // "&Editeaza" pressed, "OK" disabled) and the catalog's warning is shown.
    // True when that happened.
    bool FormShow();

    // --- order combo and search box --------------------------------------
    PartnerOrder order() const { return m_order; }
    // "dupa Cod": the primary key; "dupa Denumire": the index ByName (then the
    // code). A pending row is posted first (a refusal throws, the order
    // stays); the current record stays current.
    void setOrder(PartnerOrder order);
    // Moves to the nearest key at or after `text` on the current order,
    // compared as text (without regard to case where the index ByName is
    // case-insensitive); past the last key, to the last row. An empty text
    // does not move. A pending row is posted first (a refusal throws).
    void SearchChange(const QString& text);
    // Moves to the row whose code is exactly `code`; false (no move) when none.
    bool locateCode(const QString& code);
    // The code of the current row; empty when the list is empty.
    QString currentCode() const;

    // --- the "&Editeaza" toggle -------------------------------------------
    // True while the list can be edited: always for a child window; for a
    // picker while "&Editeaza" is down ("OK" is then disabled).
    bool isEditMode() const { return !table.isReadOnly(); }
    // Picker: pressing the toggle. Down: the list becomes writable. Up: a
    // row in editing is posted and the list becomes read-only; when the row
    // is refused (message shown) the list stays in editing and the result is
    // false. A child window's list stays writable.
    bool setEditMode(bool on);

    // --- life ---------------------------------------------------------------
    // The close request: a pending row is posted first (an untouched new row
    // is dropped); false, after the message, when it is refused.
    bool FormCloseQuery();
    void FormClose(); // closes the table
    // The refresh tick: suppliers and budgets re-read the table when it is
    // not being edited. True when the rows were read again.
    bool refreshTick();

    // --- handlers of the table ----------------------------------------------
    void TableNewRecord();   // the default account
    void TableBeforePost();  // code and name filled
    void AccountValidate();  // CheckAccountSymbol
    void CodeValidate();     // a code that fits where it is carried

    datastore::Dataset table;

private:
    QString orderBy(PartnerOrder order) const;
    void settle(); // posts a pending row; an untouched new one is dropped

    const PartnerCatalogDef& m_def;
    common::Dialogs& m_dialogs;
    const common::Parameters& m_parameters;
    LookupRole m_role;
    PartnerOrder m_order = PartnerOrder::ByCode;
    bool m_nameCaseInsensitive = true;
};

} // namespace catalogs
