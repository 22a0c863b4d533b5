#include "serials.h"

#include "common/rounding.h"

#include <cmath>

namespace stock {

int serialRowCount(double quantity)
{
    if (!std::isfinite(quantity))
        return -1;
    if (quantity <= 0)
        return 0; // nothing received, or goods given back: no unit to number
    const double n = common::roundHalfEven(quantity);
    return n > kMaxSerialRows ? -1 : static_cast<int>(n);
}

QString tooManySerialsMessage(double quantity)
{
    return QStringLiteral("Cantitatea %1 nu poate avea numere de serie: o linie are cel mult %2 numere de serie!")
        .arg(QString::number(quantity, 'f', 0))
        .arg(kMaxSerialRows);
}

void DeleteSerialRows(datastore::Database& db, double contor, double lineNumber)
{
    db.exec(QStringLiteral("DELETE FROM \"Serie.db\" WHERE (Contor = :C) AND (ContorSec = :CS)"),
            {{QStringLiteral("C"), contor}, {QStringLiteral("CS"), lineNumber}});
}

namespace {

void appendRows(datastore::Database& db, const SerialLine& line, int count)
{
    if (count <= 0)
        return;
    // Internal numbers go on from the largest one given, read inside the write.
    const double last = db.scalar(QStringLiteral("SELECT MAX(Serie) FROM \"Serie.db\"")).toDouble();
    // One statement for all the rows: a recursive sequence of `count` numbers.
    db.exec(QStringLiteral("INSERT INTO \"Serie.db\" (Contor, ContorSec, Grupa, Cod_articol, SerieFurn, Serie) "
                           "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < :count) "
                           "SELECT :C, :CS, :G, :A, 0, :last + i FROM n"),
            {{QStringLiteral("count"), count},
             {QStringLiteral("C"), line.contor},
             {QStringLiteral("CS"), line.lineNumber},
             {QStringLiteral("G"), line.group},
             {QStringLiteral("A"), line.article},
             {QStringLiteral("last"), std::floor(last)}});
}

} // namespace

void SyncSerialRows(datastore::Database& db, const SerialLine& before, const SerialLine& now)
{
    const QVariantHash key{{QStringLiteral("C"), now.contor}, {QStringLiteral("CS"), now.lineNumber}};
    if (!now.flag) {
        if (before.flag)
            DeleteSerialRows(db, now.contor, now.lineNumber);
        return;
    }
    const int wanted = serialRowCount(now.quantity);
    if (wanted < 0)
        throw std::invalid_argument("serial row count out of range"); // checked by the window before writing
    if (before.flag && (before.group != now.group || before.article != now.article))
        db.exec(QStringLiteral("UPDATE \"Serie.db\" SET Grupa = :G, Cod_articol = :A "
                               "WHERE (Contor = :C) AND (ContorSec = :CS)"),
                {{QStringLiteral("C"), now.contor}, {QStringLiteral("CS"), now.lineNumber},
                 {QStringLiteral("G"), now.group}, {QStringLiteral("A"), now.article}});
    // What the line owns now (a flag set again finds none, a changed
    // quantity the rows it had).
    const int have = db.scalar(QStringLiteral("SELECT COUNT(*) FROM \"Serie.db\" WHERE (Contor = :C) AND (ContorSec = :CS)"),
                               key)
                         .toInt();
    if (have > wanted) {
        // Keep the first rows by their internal number; rows without one last.
        QVariantHash params = key;
        params.insert(QStringLiteral("keep"), wanted);
        db.exec(QStringLiteral("DELETE FROM \"Serie.db\" WHERE rowid IN (SELECT rowid FROM \"Serie.db\" "
                               "WHERE (Contor = :C) AND (ContorSec = :CS) "
                               "ORDER BY Serie IS NULL, Serie, rowid LIMIT -1 OFFSET :keep)"),
                params);
    } else {
        appendRows(db, now, wanted - have);
    }
}

} // namespace stock
