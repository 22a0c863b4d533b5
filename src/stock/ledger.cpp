#include "ledger.h"

#include "common/numberlimits.h"
#include "common/tolerance.h"
#include "datastore/dataset.h"

#include <cmath>
#include <utility>

namespace stock {

using datastore::Abort;

const QString Ledger::kNegativeStock = QStringLiteral(
    "Atentie!\rPrin aceasta operatiune stocul devine negativ!\r"
    "Stergeti mai întîi operatiunile corespunzatoare de iesire din stoc!");
const QString Ledger::kOtherPriceQuestion = QStringLiteral(
    "La pretul ales nu puteti lua din stoc o cantitate mai mare de %f %s ! "
    "DORITI CAUTAREA CANTITATII SOLICITATE CU ALT PRET? ");
const QString Ledger::kNoStockAtPrice =
    QStringLiteral("Nu exista stoc în gestiunea %s pentru articolul %s.%s cu pret de achizitie %m !");
const QString Ledger::kNoStockLeft = QStringLiteral("Nu exista stoc în gestiunea %s pentru articolul %s.%s!");
const QString Ledger::kInvalidNumber = QStringLiteral(
    "Cantitatea sau pretul nu este un numar valid ori depaseste limita admisa (100.000.000.000.000)! "
    "Stocul nu a fost modificat.");
const QString Ledger::kBelowTolerance = QStringLiteral(
    "Cantitatea %s nu depaseste toleranta de calcul (%s)! Introduceti zero sau o cantitate mai mare.");
const QString Ledger::kLineValueTooLarge = QStringLiteral(
    "Valoarea liniei (cantitate x pret) depaseste limita admisa de 100.000.000.000.000 lei!");

namespace {

// Empty text is stored as NULL: keys are compared with IS.
QVariant keyText(const QString& value)
{
    return value.isEmpty() ? QVariant(QMetaType(QMetaType::QString)) : QVariant(value);
}

// A prefix to match: never NULL, so that an empty one matches every value.
QString prefix(const QString& value)
{
    return value.isNull() ? QStringLiteral("") : value;
}

QVariantHash keyParams(const StockKey& key)
{
    return {{QStringLiteral("g"), keyText(key.warehouse)}, {QStringLiteral("gr"), keyText(key.group)},
            {QStringLiteral("a"), keyText(key.article)},   {QStringLiteral("p"), key.price},
            {QStringLiteral("l"), keyText(key.lot)},       {QStringLiteral("ag"), keyText(key.budget)}};
}

} // namespace

bool sameInputKey(const ItemSnapshot& a, const ItemSnapshot& b)
{
    return a.key == b.key && a.barCode == b.barCode;
}

Ledger::Ledger(datastore::Database& db, const common::Parameters& parameters, const common::Formats& formats,
               common::Dialogs& dialogs)
    : m_db(db), m_parameters(parameters), m_formats(formats), m_dialogs(dialogs)
{
}

// Runs `work` in the caller's unit of work, or in one of its own; in the
// latter case its messages are shown once the unit has ended.
void Ledger::inUnitOfWork(const std::function<void()>& work)
{
    if (m_db.inTransaction()) {
        work();
        return;
    }
    try {
        datastore::UnitOfWork unit(m_db);
        work();
        unit.commit();
    } catch (...) {
        flushMessages();
        throw;
    }
    flushMessages();
}

void Ledger::say(common::Icon icon, const QString& message, bool beep)
{
    m_pending.append({icon, message, beep});
    if (!m_db.inTransaction())
        flushMessages();
}

void Ledger::flushMessages()
{
    m_answeredYes = false; // the write it was given for is over
    const QList<PendingMessage> pending = std::exchange(m_pending, {});
    for (const PendingMessage& m : pending) {
        if (m.beep)
            m_dialogs.beep();
        m_dialogs.message(m.icon, m.text);
    }
}

bool Ledger::askOtherPrice(const QString& question)
{
    if (std::exchange(m_answeredYes, false))
        return true;
    if (m_db.inTransaction()) {
        // The stock changed since the question asked before the write: never
        // ask under the write lock. The write is rolled back (its messages
        // with it) and started again, which asks with the fresh figures.
        m_pending.clear();
        throw datastore::Retry();
    }
    flushMessages(); // what was said before comes first
    return m_dialogs.confirm(question);
}

void Ledger::CheckLine(const ItemSnapshot& line)
{
    if (!common::isAcceptableNumber(line.quantity) || !common::isAcceptableNumber(line.key.price)) {
        m_dialogs.error(kInvalidNumber);
        throw Abort();
    }
    if (line.quantity != 0 && common::isWithinTolerance(line.quantity, epsilon())) {
        m_dialogs.warning(text(kBelowTolerance, {QString::number(line.quantity, 'g', 6), QString::number(epsilon(), 'g', 6)}));
        throw Abort();
    }
    if (!common::isAcceptableNumber(line.quantity * line.key.price)) {
        m_dialogs.warning(kLineValueTooLarge);
        throw Abort();
    }
}

// The last defence: a quantity or price that is not a number, or too large,
// never reaches a stock row.
void Ledger::requireSound(const StockKey& key, double delta, std::optional<double> result)
{
    if (common::isAcceptableNumber(delta) && common::isAcceptableNumber(key.price)
        && (!result || common::isAcceptableNumber(*result)))
        return;
    say(common::Icon::Error, kInvalidNumber);
    throw Abort();
}

void Ledger::AskBeforeWriting(const ItemSnapshot& reflected, OutputLine& line)
{
    m_answeredYes = false;
    const ItemSnapshot now = line.values();
    const double delta = reflected.key == now.key ? reflected.quantity - now.quantity : -now.quantity;
    if (!AskOtherPrice || now.key.article.isEmpty() || delta >= 0)
        return;
    const std::optional<Row> row = findRow(now.key);
    if (!row || row->quantity <= 0 || !common::isBelowTolerance(row->quantity + delta, epsilon()))
        return;
    if (!m_dialogs.confirm(text(kOtherPriceQuestion, {row->quantity, unitOfMeasure(now.key.group, now.key.article)}))) {
        line.focusQuantity();
        throw Abort();
    }
    m_answeredYes = true;
}

QString Ledger::text(const QString& templ, const QVariantList& args) const
{
    return common::formatMessage(templ, args, m_formats);
}

std::optional<Ledger::Row> Ledger::findRow(const StockKey& key)
{
    datastore::Query q = m_db.query(
        QStringLiteral("SELECT rowid, Cantitate, Cod_bare FROM STOC WHERE Cod_gestiune IS :g AND Cod_grupa IS :gr "
                       "AND Cod_articol IS :a AND Pret_achizitie = :p AND Lot IS :l AND Agent IS :ag"),
        keyParams(key));
    if (!q.next())
        return std::nullopt;
    Row row;
    row.rowid = q.value(0).toLongLong();
    row.key = key;
    row.quantity = q.value(1).toDouble();
    row.barCode = q.value(2).toString();
    return row;
}

QString Ledger::unitOfMeasure(const QString& group, const QString& article)
{
    return m_db
        .scalar(QStringLiteral("SELECT Unitate_masura FROM CATALOG WHERE Grupa IS :g AND Cod IS :c"),
                {{QStringLiteral("g"), keyText(group)}, {QStringLiteral("c"), keyText(article)}})
        .toString();
}

// A row is kept only while its balance lies outside the tolerance.
void Ledger::store(const Row& row, double quantity)
{
    if (!common::isWithinTolerance(quantity, epsilon()))
        m_db.exec(QStringLiteral("UPDATE STOC SET Cantitate = :q WHERE rowid = :r"),
                  {{QStringLiteral("q"), quantity}, {QStringLiteral("r"), row.rowid}});
    else
        m_db.exec(QStringLiteral("DELETE FROM STOC WHERE rowid = :r"), {{QStringLiteral("r"), row.rowid}});
}

void Ledger::insertRow(const StockKey& key, double quantity, const QString& barCode)
{
    QVariantHash params = keyParams(key);
    params.insert(QStringLiteral("q"), quantity);
    params.insert(QStringLiteral("b"), keyText(barCode));
    m_db.exec(QStringLiteral("INSERT INTO STOC (Cod_gestiune, Cod_grupa, Cod_articol, Pret_achizitie, Lot, Agent, "
                             "Cantitate, Cod_bare) VALUES (:g, :gr, :a, :p, :l, :ag, :q, :b)"),
              params);
}

// ---- the adjustments ---------------------------------------------------------

void Ledger::AdjustStockIn(const StockKey& key, double delta, const QString& barCode)
{
    if (key.article.isEmpty() || delta == 0)
        return;
    inUnitOfWork([&] {
        requireSound(key, delta);
        const std::optional<Row> row = findRow(key);
        if (row) {
            const double sum = row->quantity + delta;
            requireSound(key, delta, sum);
            if (delta < 0 && common::isBelowTolerance(sum, epsilon())) {
                say(common::Icon::Error, kNegativeStock);
                throw Abort();
            }
            store(*row, sum);
        } else if (common::isWithinTolerance(delta, epsilon())) {
            // No row, and the balance still counts as zero: nothing to write.
        } else if (delta < 0) {
            say(common::Icon::Error, kNegativeStock, /*beep*/ true);
            throw Abort();
        } else {
            insertRow(key, delta, barCode);
        }
    });
}

struct Ledger::OutputWrite {
    OutputLine& line;
    ItemSnapshot& reflected;
};

void Ledger::AdjustStockOut(const StockKey& key, double delta)
{
    inUnitOfWork([&] { adjustOut(key, delta, nullptr); });
}

void Ledger::adjustOut(const StockKey& key, double delta, OutputWrite* write)
{
    if (key.article.isEmpty() || delta == 0)
        return;
    requireSound(key, delta);
    const std::optional<Row> row = findRow(key);
    if (row)
        requireSound(key, delta, row->quantity + delta);
    if (row && row->quantity > 0 && common::isBelowTolerance(row->quantity + delta, epsilon())) {
        if (!write) {
            say(common::Icon::Error, kNegativeStock);
            throw Abort();
        }
        if (AskOtherPrice
            && !askOtherPrice(text(kOtherPriceQuestion, {row->quantity, unitOfMeasure(key.group, key.article)}))) {
            write->line.focusQuantity();
            throw Abort();
        }
        AskOtherPrice = false;
        const double remaining = row->quantity + delta;
        // All there is at this price for this line: the row, and what the line
        // already holds of it.
        const double held = write->reflected.key == key ? write->reflected.quantity : 0;
        write->line.setQuantity(row->quantity + held);
        reconcileOut(write->reflected, write->line); // takes exactly the row
        const ItemSnapshot now = write->line.values();
        try {
            TakeRemainder(now.key.warehouse, now.key.group, remaining, now.key.budget, now.key.lot,
                          now.key.article, write->line);
        } catch (const Abort&) {
            // The rest could not be taken: the lines written so far stay.
        }
        return;
    }
    if (row) {
        store(*row, row->quantity + delta);
    } else if (common::isWithinTolerance(delta, epsilon())) {
        // No row, and the balance still counts as zero: nothing to write.
    } else if (delta < 0) {
        say(common::Icon::Warning, text(kNoStockAtPrice, {key.warehouse, key.group, key.article, key.price}));
        throw Abort();
    } else {
        insertRow(key, delta, QString());
    }
}

void Ledger::AdjustStockInitial(const StockKey& key, double delta)
{
    if (key.article.isEmpty() || delta == 0)
        return;
    if (showProgress)
        showProgress(QStringLiteral(" Actualizez stocurile..."));
    inUnitOfWork([&] {
        requireSound(key, delta);
        const std::optional<Row> row = findRow(key);
        if (row) {
            const double sum = row->quantity + delta;
            requireSound(key, delta, sum);
            store(*row, sum);
        } else if (!common::isWithinTolerance(delta, epsilon())) {
            insertRow(key, delta, QString());
        }
    });
    if (showProgress)
        showProgress(QStringLiteral(" OK."));
}

void Ledger::TakeRemainder(const QString& warehouse, const QString& group, double remaining, const QString& budget,
                           const QString& lot, const QString& article, OutputLine& line)
{
    inUnitOfWork([&] {
        double price = 0;
        double quantity = 0;
        {
        // First row, in key order (so at the lowest price), whose values begin
        // with the given ones: an empty lot or budget matches any.
        datastore::Query q = m_db.query(
            QStringLiteral(
                "SELECT Pret_achizitie, Cantitate FROM STOC "
                "WHERE COALESCE(substr(Cod_gestiune, 1, length(:g)), '') = :g "
                "AND COALESCE(substr(Cod_grupa, 1, length(:gr)), '') = :gr "
                "AND COALESCE(substr(Cod_articol, 1, length(:a)), '') = :a "
                "AND COALESCE(substr(Lot, 1, length(:l)), '') = :l "
                "AND COALESCE(substr(Agent, 1, length(:ag)), '') = :ag "
                "ORDER BY Cod_gestiune, Cod_grupa, Cod_articol, Pret_achizitie, Lot, Agent LIMIT 1"),
            {{QStringLiteral("g"), prefix(warehouse)},
             {QStringLiteral("gr"), prefix(group)},
             {QStringLiteral("a"), prefix(article)},
             {QStringLiteral("l"), prefix(lot)},
             {QStringLiteral("ag"), prefix(budget)}});
        if (!q.next()) {
            const StockKey current = line.values().key;
            say(common::Icon::Warning, text(kNoStockLeft, {current.warehouse, current.group, current.article}));
            AskOtherPrice = true;
            throw Abort();
        }
        price = q.value(0).toDouble();
        quantity = q.value(1).toDouble();
        }
        if (common::isAboveTolerance(quantity + remaining, epsilon()))
            AskOtherPrice = true;

        const StockKey key{warehouse, group, article, price, lot, budget};
        datastore::Savepoint step(m_db);
        std::unique_ptr<OutputLine> next = line.insertSplitLine(key, -remaining);
        ItemSnapshot reflected; // a new line
        try {
            reconcileOut(reflected, *next);
        } catch (...) {
            next->discard();
            throw; // the savepoint takes the line and its stock change back
        }
        step.release();
    });
}

// ---- reconciliation ------------------------------------------------------------

void Ledger::ReconcileInputLine(ItemSnapshot& reflected, const ItemSnapshot& line)
{
    inUnitOfWork([&] {
        if (sameInputKey(reflected, line)) {
            AdjustStockIn(line.key, line.quantity - reflected.quantity, line.barCode);
        } else {
            AdjustStockIn(reflected.key, -reflected.quantity, reflected.barCode);
            reflected = ItemSnapshot{line.key, 0, line.barCode};
            AdjustStockIn(line.key, line.quantity, line.barCode);
        }
        reflected = line;
    });
}

void Ledger::ReconcileOutputLine(ItemSnapshot& reflected, OutputLine& line)
{
    inUnitOfWork([&] { reconcileOut(reflected, line); });
}

void Ledger::reconcileOut(ItemSnapshot& reflected, OutputLine& line)
{
    const ItemSnapshot now = line.values();
    OutputWrite write{line, reflected};
    if (reflected.key == now.key) {
        adjustOut(now.key, reflected.quantity - now.quantity, &write);
    } else {
        adjustOut(reflected.key, reflected.quantity, nullptr);
        reflected = ItemSnapshot{now.key, 0, QString()};
        adjustOut(now.key, -now.quantity, &write);
    }
    reflected = line.values();
}

void Ledger::ReconcileInitialLine(ItemSnapshot& reflected, const ItemSnapshot& line)
{
    if (reflected.key == line.key && reflected.quantity == line.quantity)
        return;
    inUnitOfWork([&] {
        if (reflected.key == line.key) {
            AdjustStockInitial(line.key, line.quantity - reflected.quantity);
        } else {
            AdjustStockInitial(reflected.key, -reflected.quantity);
            reflected = ItemSnapshot{line.key, 0, line.barCode};
            AdjustStockInitial(line.key, line.quantity);
        }
        reflected = line;
    });
}

} // namespace stock
