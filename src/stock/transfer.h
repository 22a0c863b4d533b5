#pragma once
// Transfers between warehouses. An output document takes the goods from
// their source warehouses; the transfer turns it into a transfer note ("BT")
// and generates the matching input document "BT" that adds the same
// quantities, at the same acquisition prices, lots and budgets, to the
// receiving warehouse:
//
//   output header   Tip "BT", Explicatie "Transfer", Client = the receiving
//                   warehouse, the due date cleared;
//   output lines    repriced at their acquisition price, TVA and the currency
//                   price 0 (their stock does not move: key and quantity stay);
//   input header    a new input counter, the output's registration date,
//                   number and date, Tip "BT", Explicatie "Transfer din
//                   gestiunea " + the source warehouse's name;
//   input lines     0, 1, 2, ... in the order of the output lines, in the
//                   receiving warehouse, with the catalog accounts of the
//                   output line's article; inventory objects of group "3031"
//                   sent "in folosinta" arrive as "3032", those of "3032"
//                   sent "in magazie" as "3031" (the catalog gains the
//                   article under the new group when it lacks it);
//   receiving stock each input line's quantity added to its stock row.
//
// All of it is one unit of work: a failure anywhere leaves the database as it
// was. Headless; the transfer dialog (TTransferDocDlg) only chooses the
// receiving warehouse and the state of inventory objects.

#include "common/dialogs.h"
#include "common/formats.h"
#include "common/parameters.h"
#include "datastore/database.h"

#include <QDate>
#include <QList>
#include <QString>
#include <functional>

namespace stock {

// The state inventory objects are transferred into.
enum class InventoryState {
    InUse,     // "in folosinta": group "3031" becomes "3032"
    InStorage, // "in magazie": group "3032" becomes "3031"
};

// What the transfer dialog chooses.
struct TransferOptions {
    QString receivingWarehouse; // Gest.db Cod
    InventoryState state = InventoryState::InUse;
};

struct TransferRequest {
    double contor = 0;         // the output document (Doc_out.DB)
    TransferOptions options;
    QString sourceWarehouse;   // the warehouse of the output line current when the command runs
};

struct TransferResult {
    bool ok = false;
    double inputContor = 0; // the generated input document
    int lines = 0;
};

// An input document generated earlier from an output document.
struct GeneratedInput {
    double contor = 0;
    double number = 0;
    QDate registered;
};

// The group an article of `group` arrives under in the receiving warehouse.
QString TransferredGroup(const QString& group, InventoryState state);

// "Transfer din gestiunea " + the warehouse's name.
QString TransferExplanation(datastore::Database& db, const QString& warehouse);

// The input documents already generated from the output document `contor`:
// type "BT", the same number, registration date and date, and an explanation
// naming one of the warehouses its lines come from. In counter order.
QList<GeneratedInput> GeneratedTransferInputs(datastore::Database& db, double contor);

// Generates the input document of a transfer (see above). Messages through
// `dialogs`, the status line through `showProgress`. On failure nothing is
// written and `ok` is false.
TransferResult TransferDocument(datastore::Database& db, const common::Parameters& parameters,
                                const common::Formats& formats, common::Dialogs& dialogs,
                                const TransferRequest& request,
                                const std::function<void(const QString&)>& showProgress = {});

// Texts.
inline constexpr const char* kTransferWorking = "Operez transferul; generez un document de intrare...";
inline constexpr const char* kTransferDone = "OK. Transfer incheiat.";
inline constexpr const char* kTransferAccessError = "Eroare de acces la documentele de intrare!\r";
// Asked (default No) when the document was already transferred: %1 the
// number, %2 the registration date of the input document generated last.
inline constexpr const char* kTransferAgain =
    "Pentru acest document a fost deja generat documentul de intrare BT nr. %1 din %2!\r"
    "Generati inca un document de intrare?";

} // namespace stock
