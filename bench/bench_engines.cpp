// The two engines side by side: SQLite (a file on disk) and PostgreSQL (a
// fresh schema on the cluster whose socket folder MIRAFEL_PG_SOCKET_DIR
// names, dropped at the end; without the variable only SQLite is measured).
//
// 1. Posting: 20 000 document lines through the stock ledger as the windows
//    post them (each line one unit of work with its stock change), from one
//    process and from 4 processes at once (5 000 lines each, every process
//    on the same 200 stock keys). Each document of 50 lines takes its counter
//    first. Afterwards the stock of every key must equal its inputs minus
//    its outputs, and no line, document or counter may be missing.
// 2. The stock at a date (reports::BuildStockAtDate) on the ten-year test
//    database of 1 000 000 lines, run in a process of its own so that its
//    time and peak memory are its alone (best of two runs per engine); next
//    to it the same aggregate only counted on the database connection, its
//    derived table named, which every engine reads.
//
// Figures are lines/s and milliseconds, with the ratios PG / SQLite and
// 4 processes / 1 process.
//
//   bench_engines [--posted N] [--lines N] [--articles A] [--warehouses W] [--skip-posting] [--skip-stock]
//
// The workers are this program started again:
//   bench_engines --worker post DIR FIRST_LINE_SEED LINES
//   bench_engines --worker stock DIR PRIVATE_DIR DATE
//   bench_engines --worker aggregate DIR DATE

#include "benchdatabase.h"
#include "common/formats.h"
#include "common/parameters.h"
#include "common/scripteddialogs.h"
#include "common/tolerance.h"
#include "datastore/dataset.h"
#include "datastore/tablecatalog.h"
#include "reports/reportrun.h"
#include "reports/stockatdate.h"
#include "stock/ledger.h"
#include "stock/lineposting.h"
#include "stock/numbering.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QSettings>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QThread>
#include <QUuid>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <optional>

namespace {

constexpr int kKeys = 200;          // stock keys shared by every process
constexpr int kDocumentLines = 50;  // lines of one document
constexpr double kOpening = 1e6;    // the initial stock of each key
constexpr double kIn = 3, kOut = 1; // quantity of an input line, of an output line

QString article(int key) { return QStringLiteral("ART%1").arg(key, 3, 10, QLatin1Char('0')); }

// ---- where the tables live --------------------------------------------------

// A database directory: a temporary folder, holding a gestiune.pg that names
// a fresh schema when on the server; the schema is dropped with it.
class Place {
public:
    Place(const QString& base, bool server) : m_dir(base + QStringLiteral("/bench-engines-XXXXXX"))
    {
        if (!server)
            return;
        m_schema = QStringLiteral("bench_") + QUuid::createUuid().toString(QUuid::Id128).left(12);
        QSettings file(QDir(m_dir.path()).filePath(QString::fromLatin1(datastore::kServerFileName)), QSettings::IniFormat);
        file.setValue(QStringLiteral("host"), socketDir());
        file.setValue(QStringLiteral("database"), serverDatabase());
        file.setValue(QStringLiteral("schema"), m_schema);
    }
    ~Place()
    {
        if (m_schema.isEmpty())
            return;
        const QString connection = QStringLiteral("drop-") + m_schema;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connection);
            db.setHostName(socketDir());
            db.setDatabaseName(serverDatabase());
            if (db.open() && QSqlQuery(db).exec(QStringLiteral("SET client_min_messages TO warning")))
                QSqlQuery(db).exec(QStringLiteral("DROP SCHEMA IF EXISTS \"%1\" CASCADE").arg(m_schema));
            db.close();
        }
        QSqlDatabase::removeDatabase(connection);
    }
    Place(const Place&) = delete;
    Place& operator=(const Place&) = delete;

    QString path() const { return m_dir.path(); }
    static QString socketDir() { return qEnvironmentVariable("MIRAFEL_PG_SOCKET_DIR"); }
    static QString serverDatabase() { return qEnvironmentVariable("MIRAFEL_PG_DATABASE", QStringLiteral("mirafel")); }
    // The server's settings that weigh on a commit, "fsync=on synchronous_commit=on".
    static QString commitSettings()
    {
        QString text;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("settings"));
            db.setHostName(socketDir());
            db.setDatabaseName(serverDatabase());
            QSqlQuery q(db);
            if (db.open() && q.exec(QStringLiteral("SELECT name, setting FROM pg_settings WHERE name IN "
                                                   "('fsync', 'synchronous_commit') ORDER BY name")))
                while (q.next())
                    text += q.value(0).toString() + u'=' + q.value(1).toString() + u' ';
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("settings"));
        return text.trimmed();
    }

private:
    QTemporaryDir m_dir;
    QString m_schema;
};

// ---- the workers ------------------------------------------------------------

// The peak resident memory of this program image, MB: VmHWM starts again at
// exec, while getrusage keeps the parent's figure from before it.
double peakOfProcess(const QString& pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (status.open(QIODevice::ReadOnly))
        for (const QByteArray& line : status.readAll().split('\n'))
            if (line.startsWith("VmHWM:"))
                return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return 0;
}
double ownPeakMb()
{
    const double peak = peakOfProcess(QStringLiteral("self"));
    return peak > 0 ? peak : benchsupport::peakMb();
}
// On a server on this machine, the peak memory of the server process serving
// this connection (the shared buffers it touched included); 0 elsewhere.
double serverPeakMb(datastore::Database& db)
{
    return db.onServer() ? peakOfProcess(db.scalar(QStringLiteral("SELECT pg_backend_pid()")).toString()) : 0;
}

// Posts `count` lines in documents of kDocumentLines, inputs and outputs in
// turn, on keys spread from `seed`; waits for the file "go" in the directory.
// When no counter can be taken the document numbers its own (a million per
// worker) and goes on, so that the lines are still measured. Prints
// "<lines written> <lines refused> <start ms> <end ms> <counters refused>" and
// the first refusal of each kind on the error stream.
int postWorker(const QString& dir, int seed, int count)
{
    datastore::Database db;
    db.setDirectory(dir);
    common::Parameters parameters;
    common::Formats formats;
    common::ScriptedDialogs dialogs;
    stock::Ledger ledger(db, parameters, formats, dialogs);
    datastore::Dataset inLines(db, QStringLiteral("Item_in.DB"));
    datastore::Dataset outLines(db, QStringLiteral("Item_out.DB"));
    stock::LinePosting inPosting(inLines, stock::LineKind::Input, ledger);
    stock::LinePosting outPosting(outLines, stock::LineKind::Output, ledger);
    db.scalar(QStringLiteral("SELECT COUNT(*) FROM STOC")); // connected before the start

    const QString go = dir + QStringLiteral("/go");
    for (int wait = 0; wait < 60000 && !QFile::exists(go); ++wait)
        QThread::msleep(2);
    const qint64 start = QDateTime::currentMSecsSinceEpoch();
    int written = 0, refused = 0, counterRefused = 0;
    QString firstError, counterError;
    for (int document = 0; document * kDocumentLines < count; ++document) {
        const bool output = (document + seed) % 2 == 1;
        datastore::Dataset& lines = output ? outLines : inLines;
        double contor = 0;
        try {
            contor = stock::TakeCounter(db, output ? stock::CounterField::Out : stock::CounterField::In);
        } catch (const std::exception& e) {
            if (counterError.isEmpty())
                counterError = QStringLiteral("counter: ") + datastore::errorText(e);
            ++counterRefused;
            contor = (seed + 1) * 1e6 + document + 1;
        }
        try {
            datastore::UnitOfWork work(db);
            db.exec(output ? QStringLiteral("INSERT INTO DOC_OUT (Contor, Data_inregistrarii, Tip) VALUES (:c, :d, :t)")
                           : QStringLiteral("INSERT INTO DOC_IN (Contor, Data_inregistrarii, Tip) VALUES (:c, :d, :t)"),
                    {{QStringLiteral("c"), contor},
                     {QStringLiteral("d"), QDate(2025, 6, 2)},
                     {QStringLiteral("t"), output ? QStringLiteral("BMC") : QStringLiteral("NR")}});
            work.commit();
        } catch (const std::exception& e) {
            if (firstError.isEmpty())
                firstError = QStringLiteral("document: ") + datastore::errorText(e);
            refused += std::min(kDocumentLines, count - document * kDocumentLines);
            continue;
        }
        try {
            lines.close();
            lines.setFilter(QStringLiteral("Contor = :c"), {{QStringLiteral("c"), contor}});
            lines.open();
        } catch (const std::exception& e) {
            if (firstError.isEmpty())
                firstError = QStringLiteral("lines of a document: ") + datastore::errorText(e);
            refused += std::min(kDocumentLines, count - document * kDocumentLines);
            continue;
        }
        for (int i = 0; i < kDocumentLines && document * kDocumentLines + i < count; ++i) {
            const int n = document * kDocumentLines + i;
            const int key = (n * 7 + seed * 13) % kKeys;
            try {
                lines.append();
                lines.setValue(QStringLiteral("Contor"), contor);
                lines.setValue(QStringLiteral("Contor_secundar"), i + 1);
                lines.setValue(QStringLiteral("Cod_gestiune"), QStringLiteral("M01"));
                lines.setValue(QStringLiteral("Cod_grupa"), QStringLiteral("G"));
                lines.setValue(QStringLiteral("Cod_articol"), article(key));
                lines.setValue(output ? QStringLiteral("Pret_achizitie") : QStringLiteral("Pret_achizitie_lei"), 5.0);
                lines.setValue(QStringLiteral("Cantitate"), output ? kOut : kIn);
                lines.post();
                ++written;
            } catch (const std::exception& e) {
                if (firstError.isEmpty())
                    firstError = QStringLiteral("line: ") + datastore::errorText(e);
                ++refused;
                if (lines.isEditing())
                    lines.cancel();
            }
        }
    }
    const qint64 end = QDateTime::currentMSecsSinceEpoch();
    if (!dialogs.messages.isEmpty() && firstError.isEmpty())
        firstError = QStringLiteral("message: ") + dialogs.messages.first().text;
    for (const QString& error : {counterError, firstError})
        if (!error.isEmpty())
            std::fprintf(stderr, "%s\n", qPrintable(error.simplified()));
    std::printf("%d %d %lld %lld %d\n", written, refused, static_cast<long long>(start), static_cast<long long>(end),
                counterRefused);
    return 0;
}

// The stock at `date` into the private directory's ANSW_ST. Prints
// "<milliseconds> <rows> <peak MB> <server peak MB>".
int stockWorker(const QString& dir, const QString& privateDir, const QDate& date)
{
    datastore::Database db;
    db.setDirectory(dir);
    datastore::Database privateDb{QString::fromLatin1(datastore::kPrivateAlias)};
    privateDb.setDirectory(privateDir);
    reports::connectPrivateDirectory(db, privateDb, dir + u'/', privateDir + u'/');
    common::Parameters parameters;
    try {
        QElapsedTimer t;
        t.start();
        if (!reports::BuildStockAtDate(privateDb, parameters, {date, {}, {}, reports::StockKey::Full})) {
            std::fprintf(stderr, "no input line up to %s\n", qPrintable(date.toString(Qt::ISODate)));
            return 1;
        }
        const double elapsed = t.nsecsElapsed() / 1e6;
        const long long rows = privateDb.scalar(QStringLiteral("SELECT COUNT(*) FROM ANSW_ST")).toLongLong();
        std::printf("%.1f %lld %.1f %.1f\n", elapsed, rows, ownPeakMb(), serverPeakMb(privateDb));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", qPrintable(datastore::errorText(e).simplified()));
        return 1;
    }
    return 0;
}

// The aggregate of the stock at a date read on the database connection, its
// derived table named (as every engine accepts it): the engines compared on the
// same rows without the working table. Prints as stockWorker.
int aggregateWorker(const QString& dir, const QDate& date)
{
    datastore::Database db;
    db.setDirectory(dir);
    const QString sql = QStringLiteral(
        "SELECT COUNT(*) FROM (SELECT Cod_gestiune, Cod_grupa, Cod_articol, Pret_achizitie, Agent, Lot, "
        "SUM(QOut) AS QOut, SUM(QIn) AS QIn FROM ("
        "SELECT D1.Cod_gestiune, D1.Cod_grupa, D1.Cod_articol, D1.Pret_achizitie_lei AS Pret_achizitie, D1.Agent, "
        "NULL AS Lot, 0 AS QOut, D1.Cantitate AS QIn FROM DOC_IN D, ITEM_IN D1 WHERE D1.Contor = D.Contor AND "
        "((D.Data_inregistrarii <= :Date) OR (D.Data_inregistrarii IS NULL)) "
        "UNION ALL SELECT D1.Cod_gestiune, D1.Cod_grupa, D1.Cod_articol, D1.Pret_achizitie, D1.Agent, NULL, "
        "D1.Cantitate, 0 FROM DOC_OUT D, ITEM_OUT D1 WHERE D1.Contor = D.Contor AND D.Data_inregistrarii <= :Date) AS L "
        "GROUP BY Cod_gestiune, Cod_grupa, Cod_articol, Pret_achizitie, Agent, Lot "
        "HAVING (SUM(QIn) - SUM(QOut) < :Low) OR (SUM(QIn) - SUM(QOut) > :High)) AS S");
    const common::Parameters parameters;
    try {
        QElapsedTimer t;
        t.start();
        const long long rows = db.scalar(sql, {{QStringLiteral("Date"), date},
                                               {QStringLiteral("Low"), -common::toleranceLimit(parameters.Epsilon)},
                                               {QStringLiteral("High"), common::toleranceLimit(parameters.Epsilon)}})
                                   .toLongLong();
        std::printf("%.1f %lld %.1f %.1f\n", t.nsecsElapsed() / 1e6, rows, ownPeakMb(), serverPeakMb(db));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", qPrintable(datastore::errorText(e).simplified()));
        return 1;
    }
    return 0;
}

// ---- the parent -------------------------------------------------------------

struct WorkerResult {
    bool ok = false;
    QStringList fields; // what it printed, split at blanks
    QString error;      // its error stream
};

QList<WorkerResult> runWorkers(const QList<QStringList>& arguments, const QString& goFile)
{
    std::vector<std::unique_ptr<QProcess>> processes;
    for (const QStringList& args : arguments) {
        processes.push_back(std::make_unique<QProcess>());
        processes.back()->start(QCoreApplication::applicationFilePath(), QStringList{QStringLiteral("--worker")} + args);
    }
    if (!goFile.isEmpty()) {
        QThread::msleep(500); // every worker connected
        QFile go(goFile);
        go.open(QIODevice::WriteOnly);
    }
    QList<WorkerResult> results;
    for (auto& p : processes) {
        WorkerResult r;
        r.ok = p->waitForFinished(-1) && p->exitStatus() == QProcess::NormalExit && p->exitCode() == 0;
        r.fields = QString::fromLocal8Bit(p->readAllStandardOutput()).simplified().split(u' ', Qt::SkipEmptyParts);
        r.error = QString::fromLocal8Bit(p->readAllStandardError()).trimmed();
        results << r;
    }
    return results;
}

const char* engineName(bool server) { return server ? "PostgreSQL" : "SQLite"; }

// The tables the posting needs, the counters at zero and an opening stock of
// kOpening on each key (the initial-stock document, counter -1).
void preparePosting(const QString& dir)
{
    datastore::Database db;
    db.setDirectory(dir);
    for (const char* t : {"Stoc.DB", "Item_in.DB", "Item_out.DB", "Doc_in.DB", "Doc_out.DB", "Catalog.DB", "Counter.DB"})
        db.createTable(*datastore::findTableDef(QString::fromLatin1(t)));
    datastore::UnitOfWork work(db);
    db.exec(QStringLiteral("INSERT INTO COUNTER (NewCounterIn, NewCounterOut, NewCounterOff, NewCounterCom, "
                           "NewCounterOffC, NewCounterProf) VALUES (:z, :z, :z, :z, :z, :z)"),
            {{QStringLiteral("z"), 0.0}});
    db.exec(QStringLiteral("INSERT INTO DOC_IN (Contor, Tip, Data) VALUES (:c, :t, :d)"),
            {{QStringLiteral("c"), -1.0}, {QStringLiteral("t"), QStringLiteral("XXX")}, {QStringLiteral("d"), QDate(2024, 12, 31)}});
    for (int key = 0; key < kKeys; ++key) {
        const QVariantHash values{{QStringLiteral("n"), double(key + 1)},
                                  {QStringLiteral("a"), article(key)},
                                  {QStringLiteral("p"), 5.0},
                                  {QStringLiteral("q"), kOpening}};
        db.exec(QStringLiteral("INSERT INTO ITEM_IN (Contor, Contor_secundar, Cod_gestiune, Cod_grupa, Cod_articol, "
                               "Pret_achizitie_lei, Cantitate) VALUES (-1, :n, 'M01', 'G', :a, :p, :q)"),
                values);
        db.exec(QStringLiteral("INSERT INTO STOC (Cod_gestiune, Cod_grupa, Cod_articol, Pret_achizitie, Cantitate) "
                               "VALUES ('M01', 'G', :a, :p, :q)"),
                values);
    }
    work.commit();
}

// What the posting left: every key's stock against its lines, the lines, the
// documents (when every line was written) and the counters (when every one was
// taken). Empty when everything adds up.
QStringList postingFaults(const QString& dir, int expectedLines, bool counters, int expectedDocs)
{
    datastore::Database db;
    db.setDirectory(dir);
    QStringList faults;
    QHash<QString, double> documents; // article -> inputs - outputs
    for (const auto& [sql, sign] :
         {std::pair{"SELECT Cod_articol, SUM(Cantitate) AS Q FROM ITEM_IN GROUP BY Cod_articol", 1.0},
          std::pair{"SELECT Cod_articol, SUM(Cantitate) AS Q FROM ITEM_OUT GROUP BY Cod_articol", -1.0}}) {
        datastore::Query q = db.query(QString::fromLatin1(sql));
        while (q.next())
            documents[q.value(0).toString()] += sign * q.value(1).toDouble();
    }
    int keys = 0, wrong = 0;
    datastore::Query stock = db.query(QStringLiteral("SELECT Cod_articol, Cantitate FROM STOC"));
    while (stock.next()) {
        ++keys;
        const double held = stock.value(1).toDouble();
        const double expected = documents.value(stock.value(0).toString());
        if (std::abs(held - expected) > 1e-6 && wrong++ < 3)
            faults << QStringLiteral("stock of %1: %2, documents say %3")
                          .arg(stock.value(0).toString()).arg(held, 0, 'f', 2).arg(expected, 0, 'f', 2);
    }
    if (wrong > 3)
        faults << QStringLiteral("... %1 keys in all whose stock differs").arg(wrong);
    if (keys != kKeys)
        faults << QStringLiteral("%1 stock rows, %2 keys").arg(keys).arg(kKeys);
    const auto count = [&](const char* sql) { return db.scalar(QString::fromLatin1(sql)).toLongLong(); };
    const long long lines = count("SELECT COUNT(*) FROM ITEM_IN WHERE Contor > 0") + count("SELECT COUNT(*) FROM ITEM_OUT");
    if (lines != expectedLines)
        faults << QStringLiteral("%1 lines written, %2 posted").arg(lines).arg(expectedLines);
    const long long inDocs = count("SELECT COUNT(*) FROM DOC_IN WHERE Contor > 0");
    const long long outDocs = count("SELECT COUNT(*) FROM DOC_OUT");
    if (expectedDocs >= 0 && inDocs + outDocs != expectedDocs)
        faults << QStringLiteral("%1 documents, %2 expected").arg(inDocs + outDocs).arg(expectedDocs);
    if (counters && (count("SELECT NewCounterIn FROM COUNTER") != inDocs || count("SELECT NewCounterOut FROM COUNTER") != outDocs
        || count("SELECT MAX(Contor) FROM DOC_IN") != inDocs || count("SELECT MAX(Contor) FROM DOC_OUT") != outDocs))
        faults << QStringLiteral("counters %1 / %2 for %3 input and %4 output documents")
                      .arg(count("SELECT NewCounterIn FROM COUNTER")).arg(count("SELECT NewCounterOut FROM COUNTER"))
                      .arg(inDocs).arg(outDocs);
    return faults;
}

// Posts `total` lines from `processes` workers; lines/s, or nullopt when anything failed.
std::optional<double> measurePosting(const QString& base, bool server, int processes, int total, bool& failed)
{
    Place place(base, server);
    try {
        preparePosting(place.path());
    } catch (const std::exception& e) {
        std::printf("%-10s %d process(es): FAILED preparing: %s\n", engineName(server), processes,
                    qPrintable(datastore::errorText(e).simplified()));
        failed = true;
        return std::nullopt;
    }
    QList<QStringList> arguments;
    int documents = 0;
    for (int p = 0; p < processes; ++p) {
        const int lines = total / processes + (p < total % processes ? 1 : 0);
        documents += (lines + kDocumentLines - 1) / kDocumentLines;
        arguments << QStringList{QStringLiteral("post"), place.path(), QString::number(p), QString::number(lines)};
    }
    const QList<WorkerResult> results = runWorkers(arguments, place.path() + QStringLiteral("/go"));
    int written = 0, refused = 0, counterRefused = 0;
    qint64 start = std::numeric_limits<qint64>::max(), end = 0;
    QStringList errors;
    for (const WorkerResult& r : results) {
        if (!r.error.isEmpty())
            errors << QString(r.error).replace(u'\n', QStringLiteral("\n    error: "));
        if (!r.ok || r.fields.size() != 5) {
            errors << QStringLiteral("a worker stopped");
            continue;
        }
        written += r.fields[0].toInt();
        refused += r.fields[1].toInt();
        start = std::min(start, r.fields[2].toLongLong());
        end = std::max(end, r.fields[3].toLongLong());
        counterRefused += r.fields[4].toInt();
    }
    QStringList faults;
    try {
        faults = postingFaults(place.path(), written, counterRefused == 0, refused == 0 ? documents : -1);
    } catch (const std::exception& e) {
        faults << QStringLiteral("the check failed: ") + datastore::errorText(e).simplified();
    }
    const double seconds = std::max<qint64>(1, end - start) / 1000.0;
    std::printf("%-10s %d process(es): %6d lines in %7.2f s  %8.0f lines/s; %d refused%s%s\n", engineName(server),
                processes, written, seconds, written / seconds, refused,
                counterRefused ? "; no counter taken (the documents numbered themselves)" : "",
                !faults.isEmpty() || written == 0 ? ""
                : counterRefused                  ? "; stock and lines add up"
                                                  : "; stock, lines and counters add up");
    for (const QString& e : errors)
        std::printf("    error: %s\n", qPrintable(e));
    for (const QString& f : faults)
        std::printf("    FAULT: %s\n", qPrintable(f));
    failed |= !errors.isEmpty() || !faults.isEmpty() || refused > 0 || counterRefused > 0;
    if (written == 0 || !faults.isEmpty())
        return std::nullopt;
    return written / seconds; // measured even when some refusal is reported above
}

struct Timing {
    double ms = 1e300; // the best run
    long long rows = 0;
    double peakMb = 0;       // of the process, the larger run
    double serverPeakMb = 0; // of the server process serving it
};

// Runs a worker twice; its best time, or nullopt (with the reason printed).
std::optional<Timing> timeWorker(const QStringList& arguments, const char* engine, const char* what)
{
    Timing timing;
    for (int round = 0; round < 2; ++round) {
        const QList<WorkerResult> r = runWorkers({arguments}, {});
        if (!r[0].ok || r[0].fields.size() != 4) {
            std::printf("%-10s %s: FAILED: %s\n", engine, what, qPrintable(r[0].error));
            return std::nullopt;
        }
        timing.ms = std::min(timing.ms, r[0].fields[0].toDouble());
        timing.rows = r[0].fields[1].toLongLong();
        timing.peakMb = std::max(timing.peakMb, r[0].fields[2].toDouble());
        timing.serverPeakMb = std::max(timing.serverPeakMb, r[0].fields[3].toDouble());
    }
    const QByteArray server = timing.serverPeakMb > 0 ? QStringLiteral(", of its server process %1 MB")
                                                            .arg(timing.serverPeakMb, 0, 'f', 0).toLatin1()
                                                      : QByteArray();
    std::printf("%-10s %s: %8.0f ms (best of 2), %lld rows, peak memory of the process %.0f MB%s\n", engine, what,
                timing.ms, timing.rows, timing.peakMb, server.constData());
    return timing;
}

struct StockFigures {
    double generatedS = 0;
    std::optional<Timing> program;   // BuildStockAtDate into ANSW_ST
    std::optional<Timing> aggregate; // the same rows counted, on the database connection
};

std::optional<StockFigures> measureStockAtDate(const QString& base, bool server, const testdata::GenerateOptions& options)
{
    Place place(base, server);
    Place privatePlace(base, server);
    StockFigures figures;
    QDate middle;
    try {
        datastore::Database db;
        db.setDirectory(place.path());
        std::printf("%-10s ", engineName(server));
        QElapsedTimer t;
        t.start();
        const testdata::GenerateSummary summary = benchsupport::generateBenchDatabase(db, options);
        figures.generatedS = t.nsecsElapsed() / 1e9;
        middle = summary.first.addDays(summary.first.daysTo(summary.last) / 2);
    } catch (const std::exception& e) {
        std::printf("%-10s FAILED generating: %s\n", engineName(server), qPrintable(datastore::errorText(e).simplified()));
        return std::nullopt;
    }
    const QString date = middle.toString(Qt::ISODate);
    const QByteArray stockAt = "stock at " + date.toLatin1() + " (BuildStockAtDate)";
    figures.program = timeWorker({QStringLiteral("stock"), place.path(), privatePlace.path(), date}, engineName(server),
                                 stockAt.constData());
    figures.aggregate = timeWorker({QStringLiteral("aggregate"), place.path(), date}, engineName(server),
                                   "its aggregate counted, derived table named");
    return figures;
}

void printRatio(const char* what, const std::optional<double>& a, const std::optional<double>& b)
{
    if (a && b)
        std::printf("  %-58s x%.2f\n", what, *a / *b);
    else
        std::printf("  %-58s -\n", what);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() > 2 && args[1] == QLatin1String("--worker")) {
        if (args[2] == QLatin1String("post") && args.size() == 6)
            return postWorker(args[3], args[4].toInt(), args[5].toInt());
        if (args[2] == QLatin1String("stock") && args.size() == 6)
            return stockWorker(args[3], args[4], QDate::fromString(args[5], Qt::ISODate));
        if (args[2] == QLatin1String("aggregate") && args.size() == 5)
            return aggregateWorker(args[3], QDate::fromString(args[4], Qt::ISODate));
        return 2;
    }

    int posted = 20000;
    bool posting = true, stockAtDate = true;
    testdata::GenerateOptions options;
    options.lines = 1000000;
    options.articles = 5000;
    options.warehouses = 10;
    for (int i = 1; i < args.size(); ++i) {
        const QString a = args[i];
        const auto number = [&] { return i + 1 < args.size() ? args[++i].toLongLong() : 0; };
        if (a == QLatin1String("--posted"))
            posted = int(std::max(8LL, number()));
        else if (a == QLatin1String("--lines"))
            options.lines = std::max(1000LL, number());
        else if (a == QLatin1String("--articles"))
            options.articles = int(std::clamp(number(), 1LL, 999999LL));
        else if (a == QLatin1String("--warehouses"))
            options.warehouses = int(std::clamp(number(), 1LL, 999LL));
        else if (a == QLatin1String("--skip-posting"))
            posting = false;
        else if (a == QLatin1String("--skip-stock"))
            stockAtDate = false;
        else {
            std::fprintf(stderr, "usage: bench_engines [--posted N] [--lines N] [--articles A] [--warehouses W] "
                                 "[--skip-posting] [--skip-stock]\n");
            return 2;
        }
    }
    const bool server = !Place::socketDir().isEmpty();
    if (!server)
        std::printf("MIRAFEL_PG_SOCKET_DIR is not set: SQLite only.\n");
    else
        std::printf("SQLite: WAL, synchronous=FULL, a file in %s; PostgreSQL: %s\n", qPrintable(QDir::tempPath()),
                    qPrintable(Place::commitSettings()));
    const QString base = QDir::tempPath();
    QList<bool> engines{false};
    if (server)
        engines << true;
    bool failed = false;

    if (posting) {
        std::printf("Posting %d lines through the stock ledger, one unit of work each, %d shared stock keys:\n", posted,
                    kKeys);
        std::optional<double> rate[2][2]; // [engine][1 process, 4 processes]
        for (bool onServer : engines)
            for (int mode = 0; mode < 2; ++mode) {
                rate[onServer][mode] = measurePosting(base, onServer, mode ? 4 : 1, posted, failed);
            }
        std::printf("ratios of lines/s:\n");
        printRatio("SQLite, 4 processes / 1 process", rate[0][1], rate[0][0]);
        if (server) {
            printRatio("PostgreSQL, 4 processes / 1 process", rate[1][1], rate[1][0]);
            printRatio("PostgreSQL / SQLite, 1 process", rate[1][0], rate[0][0]);
            printRatio("PostgreSQL / SQLite, 4 processes", rate[1][1], rate[0][1]);
        }
    }

    if (stockAtDate) {
        std::printf("The stock at a date on a generated database:\n");
        std::optional<StockFigures> figures[2];
        for (bool onServer : engines) {
            figures[onServer] = measureStockAtDate(base, onServer, options);
            failed |= !figures[onServer];
        }
        for (const auto& f : figures)
            if (f)
                failed |= !f->program || !f->aggregate;
        if (server && figures[0] && figures[1]) {
            std::printf("ratios PostgreSQL / SQLite:\n");
            std::printf("  %-58s x%.2f\n", "generation time", figures[1]->generatedS / figures[0]->generatedS);
            for (const auto& [name, part] : {std::pair{"stock at the date", &StockFigures::program},
                                             std::pair{"its aggregate counted", &StockFigures::aggregate}}) {
                const std::optional<Timing>& file = *figures[0].*part;
                const std::optional<Timing>& onServer = *figures[1].*part;
                const QByteArray time = QByteArray(name) + ", time";
                const QByteArray memory = QByteArray(name) + ", peak memory (client)";
                printRatio(time.constData(), onServer ? std::optional(onServer->ms) : std::nullopt,
                           file ? std::optional(file->ms) : std::nullopt);
                printRatio(memory.constData(), onServer ? std::optional(onServer->peakMb) : std::nullopt,
                           file ? std::optional(file->peakMb) : std::nullopt);
                const QByteArray total = QByteArray(name) + ", peak memory (client + server process)";
                printRatio(total.constData(), onServer ? std::optional(onServer->peakMb + onServer->serverPeakMb) : std::nullopt,
                           file ? std::optional(file->peakMb) : std::nullopt);
                if (file && onServer && file->rows != onServer->rows) {
                    std::printf("  FAULT: %s: %lld rows on the server, %lld in the file\n", name, onServer->rows,
                                file->rows);
                    failed = true;
                }
            }
        }
    }
    return failed ? 1 : 0;
}
