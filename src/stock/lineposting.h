#pragma once
// The calling order every posting window follows for its document lines,
// bound to the window's line dataset:
//
//   a line enters editing      -> its ItemSnapshot is taken (a new line: empty);
//   a line is written          -> its values are checked (CheckLine), the
//                                 output price question is asked, and, inside
//                                 the unit of work that writes it, a new line
//                                 takes its number and the line is reconciled
//                                 with the snapshot;
//   a line is deleted          -> its quantity is reversed (the snapshot's
//                                 values when it was being edited), inside
//                                 the unit of work that deletes it;
//   editing is cancelled       -> nothing: a refused write left no trace.
//
// An output that spans prices writes one line per price; the extra lines are
// written in the same unit of work as the line that was split, and the cursor
// is left on the last of them.
//
// Install LinePosting after the window's own dataset handlers: it keeps them
// and runs them after its own work.

#include "ledger.h"

#include "datastore/dataset.h"

#include "common/dialogs.h"

#include <QList>
#include <QPair>
#include <functional>
#include <optional>

namespace stock {

enum class LineKind {
    Input,   // Item_in.DB lines of input documents: AdjustStockIn
    Output,  // Item_out.DB lines of output documents: AdjustStockOut
    Initial, // Item_in.DB lines of the initial stock: AdjustStockInitial
};

// The parts of a price split that depend on the window.
class PostingWindow {
public:
    virtual ~PostingWindow() = default;
    // The price question was answered No: the grid goes to the quantity column.
    virtual void focusQuantityColumn() {}
    // A new line of a price split, with the values of the line it continues
    // and its own key, quantity and line number; the window may fill in more.
    virtual void prepareSplitLine(QVariantHash& values) { Q_UNUSED(values); }
    // A line of a price split, already written, is cut to a smaller quantity:
    // the window may change what follows the quantity (its taxes). The line
    // is written again with every value.
    virtual void splitLineCut(QVariantHash& values) { Q_UNUSED(values); }
};

class LinePosting {
public:
    LinePosting(datastore::Dataset& lines, LineKind kind, Ledger& ledger, PostingWindow* window = nullptr);
    LinePosting(const LinePosting&) = delete;
    LinePosting& operator=(const LinePosting&) = delete;

    // The current record of the lines, as a snapshot.
    ItemSnapshot currentLine() const;
    // The line as the stock reflects it.
    const ItemSnapshot& snapshot() const { return m_snapshot; }

    // Off while lines are written that carry no quantity yet (a multi-row
    // article selection): they are written without any adjustment.
    bool enabled = true;

    // A new line keeps the number (Contor_secundar) the window gave it while
    // that number is free when the line is written; otherwise, or when it has
    // none, it takes the next one of its document, inside the write.
    bool numberLines = true;

    // Field names of the line table for this kind.
    QString priceField() const;

private:
    class DatasetLine;
    class WrittenLine;
    void numberNewLine();
    void linePosting();
    void lineDeleting();
    void lineWritten();
    std::unique_ptr<OutputLine> insertSplitLine(QVariantHash values, const StockKey& key, double quantity);
    QVariantHash currentValues() const;

    datastore::Dataset& m_lines;
    LineKind m_kind;
    Ledger& m_ledger;
    PostingWindow* m_window;
    ItemSnapshot m_snapshot;
    std::optional<ItemSnapshot> m_beforeWrite; // the snapshot when the write began
    QList<QPair<QVariant, QVariant>> m_splitLines; // (Contor, Contor_secundar) written by a split
};

// The lines of a multi-row article selection: one new line per article,
// numbered from the next free number of document `contor` in `lineTable` (a
// number taken meanwhile by another workstation moves on to the next one),
// written with the posting off, since they carry no quantity yet. `fill`
// gives a new line its values from the article (Grupa, Cod). The first error
// is reported and stops the insertion; the cursor goes back to the line that
// was current, and `progress` ends with " OK.".
void InsertSelectionLines(datastore::Dataset& lines, LinePosting& posting, const QString& lineTable, double contor,
                          const QList<QVariantHash>& articles, const std::function<void(const QVariantHash&)>& fill,
                          common::Dialogs& dialogs, const std::function<void(const QString&)>& progress);

} // namespace stock
