// A second workstation for the concurrency tests: takes counters, invoice
// numbers or posts output lines against a database directory, printing what
// it received, one value a line.
//
//   stock_worker <dir> counters <n>
//   stock_worker <dir> invoices <n> <first document counter>
//   stock_worker <dir> post <n> <document counter>

#include "common/formats.h"
#include "common/parameters.h"
#include "common/scripteddialogs.h"
#include "datastore/dataset.h"
#include "stock/ledger.h"
#include "stock/lineposting.h"
#include "stock/numbering.h"

#include <QCoreApplication>
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
