#pragma once
// The stock recalculation: Stoc.DB rebuilt from every input line (the initial
// stock included) and every output line, restoring the ledger's invariant
// after an interrupted posting, a restore or a conversion.
//
// One unit of work on the database. Its write transaction begins first, so
// no workstation posts while the documents are read: the others wait for it
// (and it waits for them, up to the busy timeout; past that, the warning
// about another user). Inside it the stock table is emptied and refilled by
// one statement that sums the inputs and the negated outputs per stock key
// and keeps the balances outside Epsilon by the ledger's own rule
// (common/tolerance.h), negative ones too; bar codes stay
// empty. A failure anywhere rolls all of it back: Stoc.DB stays exactly as it
// was, the error is shown, and there is no success message. Lines whose
// document header is missing, and lines without an article, are not counted
// (CheckDocuments reports the first).
//
// Being one statement, it needs no working table in the private directory.

#include "common/dialogs.h"
#include "common/parameters.h"
#include "datastore/database.h"

#include <QString>

namespace stock {

// What the recalculation shows while it works: its own borderless window
// ("Recalculez stocurile...") with the hourglass, and the status line.
class RecalculationView {
public:
    virtual ~RecalculationView() = default;
    virtual void showWorking(bool on) { Q_UNUSED(on); }
    virtual void showProgress(const QString& text) { Q_UNUSED(text); }
};

struct RecalculationResult {
    bool ok = false;
    qint64 stockRows = 0; // rows of Stoc.DB afterwards
    QString error;        // the engine's text when it failed
};

// Rebuilds Stoc.DB of `db`. Call it outside any unit of work of `db`.
// Messages go through `dialogs`: the warning about another user when the
// stock table cannot be taken, the error, the beep and the success message.
RecalculationResult RecalculateStock(datastore::Database& db, const common::Parameters& parameters,
                                     common::Dialogs& dialogs, RecalculationView* view = nullptr);

// The texts.
extern const QString kStockInUse;
extern const QString kRecalculationDone;

} // namespace stock
