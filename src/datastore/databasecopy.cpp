#include "databasecopy.h"

#include "dataset.h"
#include "integritycheck.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace datastore {

namespace {

// Rows written by one statement, and the values bound to it at most (SQLite
// takes up to 32766; a few thousand keep a statement small on a server).
constexpr int kRowsPerStatement = 200;
constexpr int kValuesPerStatement = 2000;

// Why the copy stops: the message is the user's.
struct CopyFailure {
    QString message;
};

QString shown(const QString& dir)
{
    return QDir::toNativeSeparators(dir);
}

QString fieldList(const TableDef& def)
{
    QStringList names;
    for (const FieldDef& f : def.fields)
        names << u'"' + f.name + u'"';
    return names.join(QStringLiteral(", "));
}

// INSERT INTO "T.DB" ("A", "B") VALUES (:v0, :v1), (:v2, :v3), ...
QString insertStatement(const TableDef& def, int rows)
{
    QStringList tuples;
    int n = 0;
    for (int r = 0; r < rows; ++r) {
        QStringList values;
        for (qsizetype c = 0; c < def.fields.size(); ++c)
            values << QStringLiteral(":v%1").arg(n++);
        tuples << u'(' + values.join(QStringLiteral(", ")) + u')';
    }
    return QStringLiteral("INSERT INTO \"%1\" (%2) VALUES %3").arg(def.name, fieldList(def), tuples.join(QStringLiteral(", ")));
}

qint64 rowCount(Database& db, const QString& table)
{
    return db.scalar(QStringLiteral("SELECT COUNT(*) FROM \"%1\"").arg(table)).toLongLong();
}

// The rows of `def` from `from` into the same table of `to`; returns the rows written.
qint64 copyRows(Database& from, Database& to, const TableDef& def, qint64 total, const CopyProgress& progress)
{
    const int columns = int(def.fields.size());
    const int perStatement = std::clamp(kValuesPerStatement / std::max(columns, 1), 1, kRowsPerStatement);
    const QString full = insertStatement(def, perStatement);
    QVariantHash values;
    int pending = 0;
    qint64 copied = 0;
    const auto write = [&] {
        if (pending == 0)
            return;
        if (pending == perStatement) {
            to.exec(full, values);
        } else {
            // The last rows: only their own values.
            QVariantHash last;
            for (int i = 0; i < pending * columns; ++i)
                last.insert(QStringLiteral("v%1").arg(i), values.value(QStringLiteral("v%1").arg(i)));
            to.exec(insertStatement(def, pending), last);
        }
        copied += pending;
        pending = 0;
        if (progress)
            progress(def.name, copied, total);
    };
    Query rows = from.query(QStringLiteral("SELECT %1 FROM \"%2\"").arg(fieldList(def), def.name));
    while (rows.next()) {
        const int base = pending * columns;
        for (int c = 0; c < columns; ++c)
            values.insert(QStringLiteral("v%1").arg(base + c), rows.value(c));
        if (++pending == perStatement)
            write();
    }
    write();
    if (copied == 0 && progress)
        progress(def.name, 0, total);
    return copied;
}

// The SQLite files a failed copy must not leave behind.
QStringList sqliteFiles(const QString& dir)
{
    const QString db = QDir(dir).filePath(QLatin1String(kDatabaseFileName));
    return {db, db + QStringLiteral("-wal"), db + QStringLiteral("-shm"), db + QStringLiteral("-journal")};
}

void copyInto(Database& from, Database& to, const CopyCheck& check, const CopyProgress& progress, CopyReport& report)
{
    const QStringList tables = from.tableNames();
    UnitOfWork work(to);
    for (const QString& table : tables) {
        const TableDef def = from.readTableDef(table);
        TableDef bare = def; // the secondary indexes come after the rows
        bare.indexes.removeIf([](const IndexDef& ix) { return !ix.isPrimary(); });
        to.createTable(bare);
        const qint64 total = rowCount(from, def.name);
        const qint64 copied = copyRows(from, to, def, total, progress);
        for (const IndexDef& ix : def.indexes)
            if (!ix.isPrimary())
                to.addIndex(def.name, ix);
        for (const FieldDef& f : def.fields)
            if (f.type == FieldType::AutoIncrement)
                to.advanceAutoIncrement(def.name, f.name, from.autoIncrementValue(def.name, f.name));
        report.tables.append({def.name, copied});
        report.rows += copied;
    }
    // Every table holds on both sides the rows the copy wrote.
    for (const TableCopy& t : std::as_const(report.tables)) {
        const qint64 source = rowCount(from, t.table);
        const qint64 copy = rowCount(to, t.table);
        if (source != t.rows || copy != t.rows)
            throw CopyFailure{QStringLiteral("Tabela %1 are %2 rinduri in sursa si %3 in copie.").arg(t.table).arg(source).arg(copy)};
    }
    if (check) {
        const QStringList problems = check(from, to);
        if (!problems.isEmpty())
            throw CopyFailure{problems.join(u'\n')};
    }
    work.commit();
}

} // namespace

CopyReport copyDatabase(const QString& fromDir, const QString& toDir, const CopyProgress& progress, const CopyCheck& check)
{
    CopyReport report;
    QElapsedTimer timer;
    timer.start();
    const auto failed = [&](const QString& message) {
        report.ok = false;
        report.error = message;
        report.tables.clear();
        report.rows = 0;
        report.milliseconds = timer.elapsed();
        return report;
    };

    Database from;
    from.setDirectory(fromDir);
    if (const QString problem = from.accessProblem(); !problem.isEmpty())
        return failed(problem);
    if (!from.fileExists())
        return failed(QStringLiteral("Nu exista baza de date in directorul %1").arg(shown(fromDir)));
    if (QFileInfo(fromDir).canonicalFilePath() == QFileInfo(toDir).canonicalFilePath())
        return failed(QStringLiteral("Directorul destinatie este chiar directorul sursa."));

    // What the target held before, so that a failure can leave it so.
    const bool madeDirectory = !QFileInfo::exists(toDir);
    if (madeDirectory && !QDir().mkpath(toDir))
        return failed(QStringLiteral("Nu pot crea directorul %1").arg(shown(toDir)));
    QStringList leftOver;
    for (const QString& file : sqliteFiles(toDir))
        if (!QFileInfo::exists(file))
            leftOver << file;

    Database to;
    to.setDirectory(toDir);
    const auto undo = [&] {
        to.close();
        if (to.onServer())
            return;
        for (const QString& file : std::as_const(leftOver))
            QFile::remove(file);
        if (madeDirectory)
            QDir().rmdir(toDir);
    };
    try {
        if (const QString problem = to.accessProblem(); !problem.isEmpty()) {
            undo();
            return failed(problem);
        }
        if (const QStringList present = to.tableNames(); !present.isEmpty()) {
            undo();
            return failed(QStringLiteral("Directorul destinatie %1 contine deja o baza de date (%2 tabele); "
                                         "copierea se face numai intr-o baza de date goala.")
                              .arg(shown(toDir))
                              .arg(present.size()));
        }
        const IntegrityReport integrity = from.integrityCheck(IntegrityDepth::Quick);
        if (!integrity.sound()) {
            undo();
            return failed(integrity.damaged() ? damagedDatabaseMessage(fromDir, integrity)
                                              : QStringLiteral("Nu pot citi baza de date din directorul %1.\r<%2>")
                                                    .arg(shown(fromDir), integrity.problems.join(QStringLiteral("; "))));
        }
        copyInto(from, to, check, progress, report);
    } catch (const CopyFailure& f) {
        undo();
        return failed(f.message);
    } catch (const std::exception& e) {
        undo();
        return failed(QStringLiteral("Copierea bazei de date a esuat: %1").arg(errorText(e).trimmed()));
    }
    from.close();
    to.close();
    report.ok = true;
    report.milliseconds = timer.elapsed();
    return report;
}

} // namespace datastore
