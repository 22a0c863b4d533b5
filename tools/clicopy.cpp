// mirafel-cli copy FROM TO: a whole database moved to another directory,
// from SQLite to a PostgreSQL server or back, checked before it is kept.

#include "clicommon.h"

#include "datastore/databasecopy.h"
#include "stock/stockcheck.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

namespace cli {

namespace {

// The stock keys whose quantity differs from their documents, one line each, sorted.
QStringList differingStock(const QList<stock::StockComparison>& rows)
{
    QStringList keys;
    for (const stock::StockComparison& c : rows)
        if (c.differs())
            keys << QStringLiteral("%1 %2.%3 pret %4 lot %5 buget %6: stoc %7, documente %8")
                        .arg(c.warehouse, c.group, c.article, QString::number(c.price, 'g', 15), c.lot, c.budget,
                             QString::number(c.stock, 'g', 15), QString::number(c.documents, 'g', 15));
    std::sort(keys.begin(), keys.end());
    return keys;
}

// The directory's other files (parameters TBXDEF.INI, layouts of pre-printed
// forms, invoice footer) that TO does not have yet; never the storage's own.
void copyDirectoryFiles(const QString& fromDir, const QString& toDir)
{
    const QString db = QString::fromLatin1(datastore::kDatabaseFileName);
    for (const QFileInfo& file : QDir(fromDir).entryInfoList(QDir::Files | QDir::Hidden)) {
        const QString name = file.fileName();
        if (name.startsWith(db) || name == QLatin1String(datastore::kServerFileName))
            continue;
        const QString target = QDir(toDir).filePath(name);
        if (QFileInfo::exists(target))
            continue;
        if (QFile::copy(file.filePath(), target))
            out() << "Copiat fisierul " << name << Qt::endl;
        else
            out() << "Atentie: nu pot copia fisierul " << name << Qt::endl;
    }
}

bool holdsDocuments(datastore::Database& db)
{
    for (const char* table : {"Stoc.DB", "Doc_in.DB", "Item_in.DB", "Doc_out.DB", "Item_out.DB"})
        if (!db.tableExists(QString::fromLatin1(table)))
            return false;
    return true;
}

} // namespace

int copyCommand(const QStringList& args)
{
    if (args.size() != 2)
        return 2;
    const QString fromDir = args.at(0);
    const QString toDir = args.at(1);
    const double epsilon = directorySettings(fromDir).parameters.Epsilon;
    int stockKeys = 0;

    // The stock of the copy must equal its documents as it does on the source:
    // a copy whose stock differs where the source's does not is no copy.
    const datastore::CopyCheck check = [&](datastore::Database& from, datastore::Database& to) -> QStringList {
        if (!holdsDocuments(to))
            return {};
        out() << "Compar stocurile cu documentele in copie..." << Qt::endl;
        const QList<stock::StockComparison> rows = stock::CompareStockWithDocuments(to, epsilon);
        const QStringList onCopy = differingStock(rows);
        if (onCopy.isEmpty()) {
            stockKeys = int(rows.size());
            return {};
        }
        if (onCopy == differingStock(stock::CompareStockWithDocuments(from, epsilon))) {
            out() << "Atentie: stocul difera de documente la " << onCopy.size()
                  << " chei, la fel ca in baza de date sursa (vedeti mirafel-cli verify)." << Qt::endl;
            return {};
        }
        QStringList problems{QStringLiteral("Stocul copiei difera de documente la %1 chei:").arg(onCopy.size())};
        for (const QString& key : onCopy.mid(0, 20))
            problems << QStringLiteral("  ") + key;
        return problems;
    };
    const datastore::CopyProgress progress = [](const QString& table, qint64 copied, qint64 total) {
        if (copied == total)
            out() << table << ": " << copied << " rinduri" << Qt::endl;
    };

    out() << "Copiez baza de date din " << QDir::toNativeSeparators(fromDir) << " in "
          << QDir::toNativeSeparators(toDir) << "..." << Qt::endl;
    const datastore::CopyReport report = datastore::copyDatabase(fromDir, toDir, progress, check);
    if (!report.ok) {
        out() << "error: " << QString(report.error).replace(u'\r', u' ') << Qt::endl;
        out() << "Directorul destinatie a ramas neschimbat." << Qt::endl;
        return 1;
    }
    copyDirectoryFiles(fromDir, toDir);
    out() << "OK: " << report.tables.size() << " tabele, " << report.rows << " rinduri copiate in "
          << QString::number(report.milliseconds / 1000.0, 'f', 1) << " s; numarul de rinduri este acelasi in "
          << "fiecare tabela" << (stockKeys > 0 ? QStringLiteral(", stocul corespunde documentelor (%1 chei)").arg(stockKeys)
                                                : QString())
          << "." << Qt::endl;
    return 0;
}

} // namespace cli
