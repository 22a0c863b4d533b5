// A second workstation for the concurrency tests: takes counters, invoice
// numbers or posts output lines against a database directory, printing what
// it received, one value a line.
//
//   stock_worker <dir> counters <n>
//   stock_worker <dir> invoices <n> <first document counter>
//   stock_worker <dir> post <n> <document counter>
//   stock_worker <dir> shared <n> <document counter> <seed>
//       adds, changes and deletes lines of one document that another worker
//       shares, as a window does (a line's number is proposed when it starts,
//       its list is refreshed now and then); starts when the file "go"
//       appears in <dir>, and prints
//       "<added> <stale> <collisions> <refused> <start ms> <end ms>" at the end.

#include "common/formats.h"
#include "common/parameters.h"
#include "common/scripteddialogs.h"
#include "datastore/dataset.h"
#include "stock/ledger.h"
#include "stock/lineposting.h"
#include "stock/numbering.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QRandomGenerator>
#include <QThread>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 4)
        return 2;
    datastore::Database db;
    db.setDirectory(args[1]);
    const QString op = args[2];
    const int n = args[3].toInt();
    common::Parameters parameters;
    parameters.SerFact = QStringLiteral("AB");
    parameters.FactN1 = 1;
    parameters.FactN2 = 100000;
    common::ScriptedDialogs dialogs;
    try {
        if (op == QLatin1String("counters")) {
            for (int i = 0; i < n; ++i)
                std::printf("%.0f\n", stock::TakeCounter(db, stock::CounterField::In));
        } else if (op == QLatin1String("invoices")) {
            const double first = args.value(4).toDouble();
            for (int i = 0; i < n; ++i) {
                const stock::SeriesNumber s = stock::GetInvoiceNumber(db, parameters, dialogs, first + i);
                std::printf("%.0f\n", s.ok ? s.number : -1.0);
            }
        } else if (op == QLatin1String("post")) {
            const double contor = args.value(4).toDouble();
            common::Formats formats;
            stock::Ledger ledger(db, parameters, formats, dialogs);
            datastore::Dataset lines(db, QStringLiteral("Item_out.DB"));
            lines.setFilter(QStringLiteral("Contor = :c"), {{QStringLiteral("c"), contor}});
            lines.open();
            stock::LinePosting posting(lines, stock::LineKind::Output, ledger);
            for (int i = 0; i < n; ++i) {
                lines.append();
                lines.setValue(QStringLiteral("Contor"), contor);
                lines.setValue(QStringLiteral("Contor_secundar"), i + 1);
                lines.setValue(QStringLiteral("Cod_gestiune"), QStringLiteral("A"));
                lines.setValue(QStringLiteral("Cod_grupa"), QStringLiteral("G"));
                lines.setValue(QStringLiteral("Cod_articol"), QStringLiteral("ART"));
                lines.setValue(QStringLiteral("Pret_achizitie"), 5.0);
                lines.setValue(QStringLiteral("Cantitate"), 1.0);
                lines.post();
                std::printf("%d\n", i + 1);
            }
        } else if (op == QLatin1String("shared")) {
            const double contor = args.value(4).toDouble();
            QRandomGenerator random(args.value(5).toUInt());
            common::Formats formats;
            stock::Ledger ledger(db, parameters, formats, dialogs);
            datastore::Dataset lines(db, QStringLiteral("Item_out.DB"));
            lines.setFilter(QStringLiteral("Contor = :c"), {{QStringLiteral("c"), contor}});
            lines.setOrderBy(QStringLiteral("Contor_secundar"));
            lines.open();
            stock::LinePosting posting(lines, stock::LineKind::Output, ledger);
            int added = 0, stale = 0, collisions = 0, refused = 0;
            const QString go = args[1] + QStringLiteral("/go");
            for (int wait = 0; wait < 12000 && !QFile::exists(go); ++wait)
                QThread::msleep(5);
            const qint64 start = QDateTime::currentMSecsSinceEpoch();
            for (int i = 0; i < n; ++i) {
                const int action = random.bounded(10);
                try {
                    if (action < 6 || lines.isEmpty()) {
                        lines.append();
                        lines.setValue(QStringLiteral("Contor"), contor);
                        // proposed when the line starts, as the window shows it
                        lines.setValue(QStringLiteral("Contor_secundar"),
                                       stock::NextLineNumber(db, lines.tableName(), contor));
                        lines.setValue(QStringLiteral("Cod_gestiune"), QStringLiteral("A"));
                        lines.setValue(QStringLiteral("Cod_grupa"), QStringLiteral("G"));
                        lines.setValue(QStringLiteral("Cod_articol"), QStringLiteral("ART"));
                        lines.setValue(QStringLiteral("Pret_achizitie"), 5.0);
                        lines.setValue(QStringLiteral("Cantitate"), 1.0 + random.bounded(3));
                        QThread::usleep(random.bounded(3000)); // the user types
                        lines.post();
                        ++added;
                    } else if (action < 8) {
                        lines.moveTo(random.bounded(lines.recordCount()));
                        lines.edit();
                        lines.setValue(QStringLiteral("Cantitate"), 1.0 + random.bounded(4));
                        QThread::usleep(random.bounded(3000));
                        lines.post();
                    } else if (action < 9) {
                        lines.moveTo(random.bounded(lines.recordCount()));
                        lines.remove();
                    } else {
                        lines.refresh();
                    }
                } catch (const datastore::StaleRecord&) {
                    ++stale;
                } catch (const datastore::DbError& e) {
                    if (e.kind() != datastore::DbErrorKind::KeyViolation)
                        throw;
                    ++collisions;
                    lines.cancel();
                } catch (const datastore::Abort&) {
                    ++refused;
                    lines.cancel();
                }
            }
            std::printf("%d %d %d %d %lld %lld\n", added, stale, collisions, refused, static_cast<long long>(start),
                        static_cast<long long>(QDateTime::currentMSecsSinceEpoch()));
        } else {
            return 2;
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    std::fflush(stdout);
    return 0;
}
