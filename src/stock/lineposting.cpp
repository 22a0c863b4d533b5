#include "lineposting.h"

#include "numbering.h"

#include "datastore/dberror.h"
#include "ui/datagrid.h"

namespace stock {

namespace {

// Runs `own` and then the handler that was there before.
void chain(std::function<void()>& slot, std::function<void()> own)
{
    std::function<void()> before = std::move(slot);
    slot = [own = std::move(own), before = std::move(before)] {
        own();
        if (before)
            before();
    };
}

// Runs the handler that was there before, then `own`.
void chainAfter(std::function<void()>& slot, std::function<void()> own)
{
    std::function<void()> before = std::move(slot);
    slot = [own = std::move(own), before = std::move(before)] {
        if (before)
            before();
        own();
    };
}

} // namespace

// The line the dataset is writing.
class LinePosting::DatasetLine : public OutputLine {
public:
    explicit DatasetLine(LinePosting& posting) : m_posting(posting) {}
    ItemSnapshot values() const override { return m_posting.currentLine(); }
    void setQuantity(double quantity) override
    {
        m_posting.m_lines.setValue(QStringLiteral("Cantitate"), quantity);
    }
    void focusQuantity() override
    {
        if (m_posting.m_window)
            m_posting.m_window->focusQuantityColumn();
    }
    std::unique_ptr<OutputLine> insertSplitLine(const StockKey& key, double quantity) override
    {
        return m_posting.insertSplitLine(m_posting.currentValues(), key, quantity);
    }

private:
    LinePosting& m_posting;
};

// A line of a price split, written straight to the table.
class LinePosting::WrittenLine : public OutputLine {
public:
    WrittenLine(LinePosting& posting, qint64 rowid, QVariantHash values)
        : m_posting(posting), m_rowid(rowid), m_values(std::move(values))
    {
    }
    ItemSnapshot values() const override
    {
        auto text = [this](const char* f) { return m_values.value(QLatin1String(f)).toString(); };
        ItemSnapshot s;
        s.key = {text("Cod_gestiune"), text("Cod_grupa"), text("Cod_articol"),
                 m_values.value(m_posting.priceField()).toDouble(), text("Lot"), text("Agent")};
        s.quantity = m_values.value(QStringLiteral("Cantitate")).toDouble();
        return s;
    }
    void setQuantity(double quantity) override
    {
        m_values.insert(QStringLiteral("Cantitate"), quantity);
        QVariantHash values = m_values;
        if (m_posting.m_window)
            m_posting.m_window->splitLineCut(values);
        // The key of the line stays; the quantity and what the window derived from it change.
        QStringList sets;
        QVariantHash params{{QStringLiteral("r"), m_rowid}};
        int i = 0;
        for (auto it = values.cbegin(); it != values.cend(); ++it, ++i) {
            if (it.value() == m_values.value(it.key()) && it.key() != QLatin1String("Cantitate"))
                continue;
            sets << QStringLiteral("\"%1\" = :p%2").arg(it.key()).arg(i);
            params.insert(QStringLiteral("p%1").arg(i), it.value());
        }
        m_posting.m_lines.database().exec(QStringLiteral("UPDATE \"%1\" SET %2 WHERE rowid = :r")
                                              .arg(m_posting.m_lines.tableName(), sets.join(QStringLiteral(", "))),
                                          params);
        m_values = std::move(values);
    }
    void focusQuantity() override
    {
        if (m_posting.m_window)
            m_posting.m_window->focusQuantityColumn();
    }
    std::unique_ptr<OutputLine> insertSplitLine(const StockKey& key, double quantity) override
    {
        return m_posting.insertSplitLine(m_values, key, quantity);
    }
    void discard() override
    {
        m_posting.m_splitLines.removeAll(qMakePair(m_values.value(QStringLiteral("Contor")),
                                                   m_values.value(QStringLiteral("Contor_secundar"))));
    }

private:
    LinePosting& m_posting;
    qint64 m_rowid;
    QVariantHash m_values;
};

LinePosting::LinePosting(datastore::Dataset& lines, LineKind kind, Ledger& ledger, PostingWindow* window)
    : m_lines(lines), m_kind(kind), m_ledger(ledger), m_window(window)
{
    chain(m_lines.afterEdit, [this] {
        m_snapshot = currentLine();
        m_beforeWrite.reset();
    });
    chain(m_lines.afterInsert, [this] {
        m_snapshot = ItemSnapshot();
        m_beforeWrite.reset();
    });
    // The window's own checks first; then the price question, before the write lock is taken.
    chainAfter(m_lines.beforePost, [this] {
        if (!enabled)
            return;
        m_ledger.CheckLine(currentLine());
        if (m_kind == LineKind::Output) {
            DatasetLine line(*this);
            m_ledger.AskBeforeWriting(m_snapshot, line);
        }
    });
    // A new line takes its number inside the write transaction, so that two
    // workstations adding lines to one document never take the same one.
    // Every attempt of a write starts from the snapshot the first one found:
    // an attempt that was rolled back left the stock as it was.
    chain(m_lines.beforeWrite, [this] {
        if (m_beforeWrite)
            m_snapshot = *m_beforeWrite;
        else
            m_beforeWrite = m_snapshot;
        numberNewLine();
    });
    chain(m_lines.whilePosting, [this] { linePosting(); });
    chain(m_lines.whileDeleting, [this] { lineDeleting(); });
    // The messages of the adjustments, once the write is over.
    chain(m_lines.afterPost, [this] {
        m_beforeWrite.reset();
        m_ledger.flushMessages();
        lineWritten();
    });
    // A write rolled back after the line was reconciled (a handler after
    // this one refused or failed): the stock is as it was, and so must be
    // the snapshot, or the next write would miss the difference.
    chain(m_lines.onPostError, [this] {
        if (m_beforeWrite)
            m_snapshot = *m_beforeWrite;
        m_beforeWrite.reset();
        m_ledger.flushMessages();
    });
    chain(m_lines.afterDelete, [this] { m_ledger.flushMessages(); });
    chain(m_lines.onDeleteError, [this] { m_ledger.flushMessages(); });
    // A refused write was rolled back with the stock it had changed: the
    // stored line is what the stock reflects, so a cancel has nothing to undo.
    chain(m_lines.afterCancel, [this] {
        m_beforeWrite.reset();
        if (m_lines.state() == datastore::DatasetState::Browse && !m_lines.isEmpty())
            m_snapshot = currentLine();
    });
}

QString LinePosting::priceField() const
{
    return m_kind == LineKind::Output ? QStringLiteral("Pret_achizitie") : QStringLiteral("Pret_achizitie_lei");
}

ItemSnapshot LinePosting::currentLine() const
{
    auto text = [this](const char* f) { return m_lines.value(QLatin1String(f)).toString(); };
    ItemSnapshot s;
    s.key = {text("Cod_gestiune"), text("Cod_grupa"), text("Cod_articol"), m_lines.value(priceField()).toDouble(),
             text("Lot"), text("Agent")};
    s.quantity = m_lines.value(QStringLiteral("Cantitate")).toDouble();
    if (m_kind != LineKind::Output)
        s.barCode = text("Cod_bare");
    return s;
}

QVariantHash LinePosting::currentValues() const
{
    QVariantHash values;
    for (int i = 0; i < m_lines.fieldCount(); ++i) {
        const datastore::DatasetField& f = m_lines.fieldAt(i);
        if (f.kind == datastore::FieldKind::Data)
            values.insert(f.name, m_lines.value(f.name));
    }
    return values;
}

void LinePosting::numberNewLine()
{
    if (!numberLines || m_lines.state() != datastore::DatasetState::Insert)
        return;
    const QVariant contor = m_lines.value(QStringLiteral("Contor"));
    if (contor.isNull())
        return;
    datastore::Database& db = m_lines.database();
    const QVariant number = m_lines.value(QStringLiteral("Contor_secundar"));
    if (!number.isNull()
        && !db.scalar(QStringLiteral("SELECT COUNT(*) FROM \"%1\" WHERE Contor = :c AND Contor_secundar = :n")
                          .arg(m_lines.tableName()),
                      {{QStringLiteral("c"), contor}, {QStringLiteral("n"), number}})
                .toInt())
        return; // the number the window gave is still free
    m_lines.setValue(QStringLiteral("Contor_secundar"), NextLineNumber(db, m_lines.tableName(), contor.toDouble()));
}

void LinePosting::linePosting()
{
    if (!enabled)
        return;
    const ItemSnapshot before = m_snapshot;
    const QVariant quantityBefore = m_lines.value(QStringLiteral("Cantitate"));
    m_splitLines.clear();
    try {
        switch (m_kind) {
        case LineKind::Input:
            m_ledger.ReconcileInputLine(m_snapshot, currentLine());
            break;
        case LineKind::Output: {
            DatasetLine line(*this);
            m_ledger.ReconcileOutputLine(m_snapshot, line);
            break;
        }
        case LineKind::Initial:
            m_ledger.ReconcileInitialLine(m_snapshot, currentLine());
            break;
        }
    } catch (...) {
        // The unit of work is rolled back: so is what the snapshot followed.
        m_snapshot = before;
        m_splitLines.clear();
        try {
            if (m_lines.value(QStringLiteral("Cantitate")) != quantityBefore)
                m_lines.setValue(QStringLiteral("Cantitate"), quantityBefore);
        } catch (...) {
            // the quantity stays as the split left it; the user sees it
        }
        throw;
    }
}

void LinePosting::lineDeleting()
{
    if (!enabled)
        return;
    const ItemSnapshot gone = m_lines.state() == datastore::DatasetState::Edit ? m_snapshot : currentLine();
    switch (m_kind) {
    case LineKind::Input:
        m_ledger.AdjustStockIn(gone.key, -gone.quantity, gone.barCode);
        break;
    case LineKind::Output:
        m_ledger.AdjustStockOut(gone.key, gone.quantity);
        break;
    case LineKind::Initial:
        m_ledger.AdjustStockInitial(gone.key, -gone.quantity);
        break;
    }
}

void LinePosting::lineWritten()
{
    m_snapshot = currentLine();
    if (m_splitLines.isEmpty())
        return;
    // The lines of a split are in the table: show them, the cursor on the last.
    const QPair<QVariant, QVariant> last = m_splitLines.last();
    m_splitLines.clear();
    m_lines.refresh();
    m_lines.locate({QStringLiteral("Contor"), QStringLiteral("Contor_secundar")}, {last.first, last.second});
    m_snapshot = currentLine();
}

std::unique_ptr<OutputLine> LinePosting::insertSplitLine(QVariantHash values, const StockKey& key, double quantity)
{
    datastore::Database& db = m_lines.database();
    const QVariant contor = values.value(QStringLiteral("Contor"));
    values.insert(QStringLiteral("Contor_secundar"), NextLineNumber(db, m_lines.tableName(), contor.toDouble()));
    values.insert(QStringLiteral("Cod_gestiune"), key.warehouse);
    values.insert(QStringLiteral("Cod_grupa"), key.group);
    values.insert(QStringLiteral("Cod_articol"), key.article);
    values.insert(priceField(), key.price);
    values.insert(QStringLiteral("Lot"), key.lot);
    values.insert(QStringLiteral("Agent"), key.budget);
    values.insert(QStringLiteral("Cantitate"), quantity);
    if (m_window)
        m_window->prepareSplitLine(values);

    QStringList names, marks;
    QVariantHash params;
    int i = 0;
    for (auto it = values.cbegin(); it != values.cend(); ++it, ++i) {
        if (it.value().isNull())
            continue;
        names << u'"' + it.key() + u'"';
        marks << QStringLiteral(":p%1").arg(i);
        params.insert(QStringLiteral("p%1").arg(i), it.value());
    }
    db.exec(QStringLiteral("INSERT INTO \"%1\" (%2) VALUES (%3)")
                .arg(m_lines.tableName(), names.join(QStringLiteral(", ")), marks.join(QStringLiteral(", "))),
            params);
    const qint64 rowid = db.scalar(QStringLiteral("SELECT last_insert_rowid()")).toLongLong();
    m_splitLines.append(qMakePair(contor, values.value(QStringLiteral("Contor_secundar"))));
    return std::make_unique<WrittenLine>(*this, rowid, values);
}

void InsertSelectionLines(datastore::Dataset& lines, LinePosting& posting, const QString& lineTable, double contor,
                          const QList<QVariantHash>& articles, const std::function<void(const QVariantHash&)>& fill,
                          common::Dialogs& dialogs, const std::function<void(const QString&)>& progress)
{
    QVariant backTo;
    try {
        lines.settle();
        if (!lines.isEmpty())
            backTo = lines.value(QStringLiteral("Contor_secundar"));
    } catch (...) {
        ui::reportDataError(dialogs, std::current_exception());
        return;
    }
    progress(QStringLiteral("Inserez articolele selectate..."));
    posting.enabled = false;
    struct PostingBackOn {
        LinePosting& posting;
        ~PostingBackOn() { posting.enabled = true; }
    } backOn{posting};
    auto cancel = [&lines] {
        try {
            lines.cancel();
        } catch (...) {
        }
    };
    double number = NextLineNumber(lines.database(), lineTable, contor);
    bool stopped = false;
    for (const QVariantHash& a : articles) {
        for (int attempt = 0; attempt < 1000; ++attempt) {
            try {
                lines.append();
                lines.setValue(QStringLiteral("Contor_secundar"), number);
                fill(a);
                lines.post();
                break;
            } catch (const datastore::DbError& e) {
                cancel();
                if (e.kind() != datastore::DbErrorKind::KeyViolation) {
                    ui::reportDataError(dialogs, std::current_exception());
                    stopped = true;
                    break;
                }
                number += 1; // taken meanwhile by another workstation: the next number
            } catch (...) {
                cancel();
                ui::reportDataError(dialogs, std::current_exception());
                stopped = true;
                break;
            }
        }
        if (stopped)
            break;
        number = std::max(number, lines.value(QStringLiteral("Contor_secundar")).toDouble()) + 1;
    }
    posting.enabled = true;
    if (!backTo.isNull())
        lines.locate({QStringLiteral("Contor_secundar")}, {backTo});
    progress(QStringLiteral(" OK."));
}

} // namespace stock
