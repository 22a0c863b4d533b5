#pragma once
// The stock ledger: the current stock table (Stoc.DB) as a running balance
// per stock key, and the three adjustments that every posting window makes
// when a document line is written, changed or deleted.
//
//   AdjustStockIn       input documents; refuses to make a row negative.
//   AdjustStockOut      output documents and transfers; a take larger than the
//                       row at the chosen price can continue at the other
//                       prices of the article (TakeRemainder).
//   AdjustStockInitial  the initial stock; never refuses.
//
// The adjustments run inside the unit of work that writes the document line
// (the dataset's whilePosting / whileDeleting), so a line and the stock change
// it causes are committed together or not at all. Every lookup reads the table
// inside that write transaction: the balance is the latest one, and a second
// workstation posting against the same row waits for the first to finish.
//
// The tolerance is the one rule of common/tolerance.h, for every adjustment
// alike: a row is kept only while its balance lies outside Epsilon (a key
// without a row counts as zero, so an adjustment that leaves it within
// Epsilon writes nothing); a take is refused or split over prices only when
// it would leave the row below zero by more than Epsilon; CheckLine refuses a
// line whose quantity lies within Epsilon of zero (but is not zero).
//
// A refusal shows its message through Dialogs and throws datastore::Abort.

#include "common/dialogs.h"
#include "common/formats.h"
#include "common/parameters.h"
#include "datastore/database.h"

#include <QList>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

namespace stock {

// The six values that identify a stock row, in the order of the table's key.
struct StockKey {
    QString warehouse; // Cod_gestiune
    QString group;     // Cod_grupa
    QString article;   // Cod_articol
    double price = 0;  // Pret_achizitie, compared exactly
    QString lot;       // Lot, empty when lots are not used
    QString budget;    // Agent, empty allowed

    bool operator==(const StockKey& other) const = default;
};

// A document line as the stock reflects it: taken when the line enters
// editing (the "old" side of a reconciliation). A new line starts empty.
struct ItemSnapshot {
    StockKey key;
    double quantity = 0;
    QString barCode; // input lines only

    bool isEmpty() const { return key.article.isEmpty(); }
};

// One output line being written, as the ledger sees it. The posting of a
// document's lines implements it (see LinePosting); tests may too.
class OutputLine {
public:
    virtual ~OutputLine() = default;
    // The line's current values (key and quantity).
    virtual ItemSnapshot values() const = 0;
    // The line now takes `quantity` (all there is at its price); the change
    // is written with the line.
    virtual void setQuantity(double quantity) = 0;
    // The price question was answered No: the window puts its cursor on the
    // quantity column.
    virtual void focusQuantity() = 0;
    // A new line of the same document for the rest of a take at another
    // price, written in the same unit of work; the ledger reconciles it.
    virtual std::unique_ptr<OutputLine> insertSplitLine(const StockKey& key, double quantity) = 0;
    // A split line whose take was refused is taken out again.
    virtual void discard() {}
};

class Ledger {
public:
    Ledger(datastore::Database& db, const common::Parameters& parameters, const common::Formats& formats,
           common::Dialogs& dialogs);

    // --- the three adjustments ------------------------------------------
    void AdjustStockIn(const StockKey& key, double delta, const QString& barCode);
    // Outside the reconciliation of a line (a deleted line given back, a
    // transfer filling a warehouse) there is no line to split: a take larger
    // than the row is refused with the negative-stock error.
    void AdjustStockOut(const StockKey& key, double delta);
    void AdjustStockInitial(const StockKey& key, double delta);

    // Continues an output at the next price: the lowest-priced row of the
    // article whose values begin with the given ones. `remaining` is negative
    // (what is still missing).
    void TakeRemainder(const QString& warehouse, const QString& group, double remaining, const QString& budget,
                       const QString& lot, const QString& article, OutputLine& line);

    // --- reconciliation of a line before it is written ------------------
    // `reflected` is the line as the stock holds it now (the snapshot); it
    // follows each adjustment that succeeds, so that a line written again
    // within the same action never gives its old quantity back twice.
    void ReconcileInputLine(ItemSnapshot& reflected, const ItemSnapshot& line);
    void ReconcileOutputLine(ItemSnapshot& reflected, OutputLine& line);
    void ReconcileInitialLine(ItemSnapshot& reflected, const ItemSnapshot& line);

    // Ask before an output is split over prices. One flag for the whole run:
    // set when the output documents window is created, cleared after the first
    // Yes, set again when a split ends on a row that holds more than the rest.
    bool AskOtherPrice = true;

    // The main window's status line (" Actualizez stocurile...", " OK.").
    std::function<void(const QString&)> showProgress;

    // Asks the price question of an output line before its write begins, so
    // that no workstation waits on the write lock while the user decides.
    // No: the window's cursor goes to the quantity and Abort is thrown. Yes
    // is remembered for the write that follows (within it the question is
    // asked again only when the stock changed meanwhile).
    void AskBeforeWriting(const ItemSnapshot& reflected, OutputLine& line);
    // The checks of a line before its write: a quantity or price that is not a
    // finite number or reaches common::kLargestNumber, a non-zero quantity
    // within the tolerance of zero (its stock row could never be told from
    // zero, and two of them add up above it), a line value (quantity x
    // price) too large to print. Refusal: the message, then Abort.
    void CheckLine(const ItemSnapshot& line);

    // Messages of the adjustments wait until the write transaction around
    // them has ended (a box left open must not hold the other workstations'
    // postings); the one who ends it shows them. LinePosting does.
    void flushMessages();
    bool hasPendingMessages() const { return !m_pending.isEmpty(); }

    // The stock row of a key, when there is one.
    struct Row {
        qint64 rowid = 0;
        StockKey key;
        double quantity = 0;
        QString barCode;
    };
    std::optional<Row> findRow(const StockKey& key);

    // Unit of measure of an article (Catalog.DB), for the price question.
    QString unitOfMeasure(const QString& group, const QString& article);

    // The message texts.
    static const QString kNegativeStock;
    static const QString kOtherPriceQuestion;
    static const QString kNoStockAtPrice;
    static const QString kNoStockLeft;
    static const QString kInvalidNumber;
    static const QString kBelowTolerance;
    static const QString kLineValueTooLarge;

private:
    struct OutputWrite; // the output line being written and its snapshot
    void adjustOut(const StockKey& key, double delta, OutputWrite* write);
    void reconcileOut(ItemSnapshot& reflected, OutputLine& line);
    double epsilon() const { return m_parameters.Epsilon; }
    void inUnitOfWork(const std::function<void()>& work);
    void say(common::Icon icon, const QString& text, bool beep = false);
    bool askOtherPrice(const QString& question);
    void requireSound(const StockKey& key, double delta, std::optional<double> result = std::nullopt);
    void store(const Row& row, double quantity);
    void insertRow(const StockKey& key, double quantity, const QString& barCode);
    QString text(const QString& templ, const QVariantList& args) const;

    datastore::Database& m_db;
    const common::Parameters& m_parameters;
    const common::Formats& m_formats;
    common::Dialogs& m_dialogs;
    struct PendingMessage {
        common::Icon icon;
        QString text;
        bool beep;
    };
    QList<PendingMessage> m_pending;
    bool m_answeredYes = false; // the price question, asked before the write
};

// True when a and b identify the same stock row and an input line's bar code is the same.
bool sameInputKey(const ItemSnapshot& a, const ItemSnapshot& b);

} // namespace stock
