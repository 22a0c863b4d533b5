#pragma once
// Suppliers, budgets and warehouses: three small catalogs kept in lookup
// windows of one design (a single editable list, the order combo, the search
// box and, as a picker, "OK", "&Renunta" and "&Editeaza"). What differs from
// one catalog to the other is written once, in the description table below;
// the logic (TPartnerLookupLogic) and the window (TLookupForm) read it.

#include "common/dialogs.h"
#include "common/formats.h"
#include "common/parameters.h"
#include "datastore/database.h"
#include "ui/datagrid.h"

#include <QList>
#include <QString>

namespace catalogs {

enum class PartnerKind { Suppliers, Budgets, Warehouses };

// The two orders of the lists (the items of the order combo).
enum class PartnerOrder { ByCode, ByName };
inline constexpr const char* kOrderByCodeCaption = "dupa Cod";
inline constexpr const char* kOrderByNameCaption = "dupa Denumire";
// The index behind "dupa Denumire".
inline constexpr const char* kByNameIndex = "ByName";
// Longest text of the search box.
inline constexpr int kSearchMaxLength = 30;

struct PartnerCatalogDef {
    PartnerKind kind = PartnerKind::Suppliers;
    const char* windowClass = ""; // "TFurnLookupForm"
    QString table;             // as the table catalog writes it ("Furn.DB")
    QString codeField;         // primary key
    QString nameField;         // the field of the ByName index
    QString pickerCaption;     // caption in the picker role
    QString childCaption;      // caption as a child window of the main window
    QString gridHint;          // hint of the list in the picker role
    QList<ui::GridColumn> columns;
    // Account field checked by CheckAccountSymbol and filled on a new row
    // from a parameter; empty when the catalog has none.
    QString accountField;
    QString common::Parameters::*defaultAccount = nullptr;
    // Warning shown when a row is saved without its code (or without its
    // name, when `nameRequired`); empty: no check.
    QString saveCheckMessage;
    bool nameRequired = true;
    // Codes longer than this are refused when typed, with `codeLengthMessage`
    // (budget codes: documents and stock keep 3 characters); 0: no limit.
    int codeLength = 0;
    QString codeLengthMessage;
    QString layoutFile;        // in the private directory; empty: no layout file
    QString emptyWarning;      // shown when the window opens on an empty table
    QString openError;         // first line of the error box when the table cannot be opened
    bool reactsToRefresh = false;
};

const PartnerCatalogDef& partnerCatalog(PartnerKind kind);

// What the windows of these catalogs need from the application: the
// database connection, the message boxes, the regional formats, the
// parameters (default accounts) and the private directory (layout files).
struct PartnerServices {
    datastore::Database& database;
    common::Dialogs& dialogs;
    const common::Formats& formats;
    const common::Parameters& parameters;
    QString privateDir; // ends in '/'
};

} // namespace catalogs
