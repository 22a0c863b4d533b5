#include "stockcheck.h"

#include "numbering.h"

#include "common/tolerance.h"

#include <QDate>
#include <cmath>
#include <optional>

namespace stock {

bool StockComparison::differs() const
{
    return !common::isWithinTolerance(stock - documents, epsilon);
}

namespace {

QString number(double x)
{
    return QString::number(x, 'g', 15);
}

// The lines the stock counts: their header exists and they name an article.
const QString kCountedInputs =
    QStringLiteral("FROM DOC_IN D, ITEM_IN D1 WHERE D1.Contor = D.Contor AND D1.Cod_articol IS NOT NULL");
const QString kCountedOutputs =
    QStringLiteral("FROM DOC_OUT D, ITEM_OUT D1 WHERE D1.Contor = D.Contor AND D1.Cod_articol IS NOT NULL");

} // namespace

QList<StockComparison> CompareStockWithDocuments(datastore::Database& db, double epsilon)
{
    const QString keys = QStringLiteral("D1.Cod_gestiune AS Cod_gestiune, D1.Cod_grupa AS Cod_grupa, "
                                        "D1.Cod_articol AS Cod_articol, D1.%1 AS Pret, COALESCE(D1.Lot, '') AS Lot, "
                                        "COALESCE(D1.Agent, '') AS Agent");
    const QString sql =
        QStringLiteral("SELECT Cod_gestiune, Cod_grupa, Cod_articol, Pret, Lot, Agent, SUM(Stoc), SUM(Docs) FROM ("
                       "SELECT %1, D1.Cantitate AS Stoc, 0 AS Docs FROM STOC D1 "
                       "UNION ALL SELECT %2, 0, D1.Cantitate %4 "
                       "UNION ALL SELECT %3, 0, -D1.Cantitate %5) S "
                       "GROUP BY Cod_gestiune, Cod_grupa, Cod_articol, Pret, Lot, Agent "
                       "ORDER BY Cod_gestiune, Cod_grupa, Cod_articol, Pret, Lot, Agent")
            .arg(keys.arg(QStringLiteral("Pret_achizitie")), keys.arg(QStringLiteral("Pret_achizitie_lei")),
                 keys.arg(QStringLiteral("Pret_achizitie")), kCountedInputs, kCountedOutputs);
    QList<StockComparison> rows;
    datastore::Query q = db.query(sql);
    while (q.next()) {
        StockComparison c;
        c.warehouse = q.value(0).toString();
        c.group = q.value(1).toString();
        c.article = q.value(2).toString();
        c.price = q.value(3).toDouble();
        c.lot = q.value(4).toString();
        c.budget = q.value(5).toString();
        c.stock = q.value(6).toDouble();
        c.documents = q.value(7).toDouble();
        c.epsilon = epsilon;
        if (c.stock == 0 && c.documents == 0)
            continue;
        rows << c;
    }
    return rows;
}

QString faultHeading(DocumentFault::Kind kind)
{
    switch (kind) {
    case DocumentFault::Kind::StockDiffers: return QStringLiteral("Stocuri diferite de documente");
    case DocumentFault::Kind::LineWithoutHeader: return QStringLiteral("Linii fara antet de document");
    case DocumentFault::Kind::HeaderWithoutLines: return QStringLiteral("Documente fara linii");
    case DocumentFault::Kind::CounterBehind: return QStringLiteral("Contoare mai mici decit cel mai mare document");
    case DocumentFault::Kind::NumberGivenTwice: return QStringLiteral("Numere de serie date de doua ori");
    case DocumentFault::Kind::SerialWithoutLine: return QStringLiteral("Serii fara document");
    }
    return QString();
}

namespace {

using Kind = DocumentFault::Kind;

struct Side {
    const char* name;   // "intrare", "iesire"
    const char* header; // table names as written in statements
    const char* lines;
};
const Side kSides[] = {{"intrare", "Doc_in.DB", "Item_in.DB"}, {"iesire", "Doc_out.DB", "Item_out.DB"}};

void stockFaults(datastore::Database& db, double epsilon, QList<DocumentFault>& faults)
{
    for (const StockComparison& c : CompareStockWithDocuments(db, epsilon)) {
        if (!c.differs())
            continue;
        QString key = QStringLiteral("Gestiunea %1, articolul %2.%3, pret %4")
                          .arg(c.warehouse, c.group, c.article, number(c.price));
        if (!c.lot.isEmpty())
            key += QStringLiteral(", lot ") + c.lot;
        if (!c.budget.isEmpty())
            key += QStringLiteral(", buget ") + c.budget;
        faults << DocumentFault{Kind::StockDiffers, QStringLiteral("%1: stoc %2, documente %3")
                                                        .arg(key, number(c.stock), number(c.documents))};
    }
}

void linesWithoutHeader(datastore::Database& db, QList<DocumentFault>& faults)
{
    for (const Side& s : kSides) {
        datastore::Query q = db.query(
            QStringLiteral("SELECT D1.Contor, COUNT(*) FROM \"%1\" D1 WHERE NOT EXISTS "
                           "(SELECT 1 FROM \"%2\" D WHERE D.Contor = D1.Contor) GROUP BY D1.Contor ORDER BY D1.Contor")
                .arg(QLatin1String(s.lines), QLatin1String(s.header)));
        while (q.next()) {
            const QString contor = q.value(0).isNull() ? QStringLiteral("(gol)") : number(q.value(0).toDouble());
            faults << DocumentFault{Kind::LineWithoutHeader,
                                    QStringLiteral("Document de %1, contor %2: %3 linii fara antet")
                                        .arg(QLatin1String(s.name), contor)
                                        .arg(q.value(1).toLongLong())};
        }
    }
}

void headersWithoutLines(datastore::Database& db, QList<DocumentFault>& faults)
{
    for (const Side& s : kSides) {
        datastore::Query q = db.query(
            QStringLiteral("SELECT D.Contor, D.Tip, D.Numar, D.Data_inregistrarii FROM \"%1\" D WHERE D.Contor <> -1 "
                           "AND NOT EXISTS (SELECT 1 FROM \"%2\" D1 WHERE D1.Contor = D.Contor) ORDER BY D.Contor")
                .arg(QLatin1String(s.header), QLatin1String(s.lines)));
        while (q.next()) {
            QString document = q.value(1).toString();
            if (!q.value(2).isNull())
                document += u' ' + number(q.value(2).toDouble());
            if (const QDate registered = q.value(3).toDate(); registered.isValid())
                document += QStringLiteral(" din ") + registered.toString(QStringLiteral("dd.MM.yyyy"));
            faults << DocumentFault{Kind::HeaderWithoutLines,
                                    QStringLiteral("Document de %1, contor %2 (%3): nu are linii")
                                        .arg(QLatin1String(s.name), number(q.value(0).toDouble()), document.trimmed())};
        }
    }
}

void countersBehind(datastore::Database& db, QList<DocumentFault>& faults)
{
    struct Counted {
        CounterField field;
        const char* what;
        QStringList tables;
    };
    const Counted counted[] = {
        {CounterField::In, "document de intrare", {QStringLiteral("Doc_in.DB"), QStringLiteral("Item_in.DB")}},
        {CounterField::Out, "document de iesire", {QStringLiteral("Doc_out.DB"), QStringLiteral("Item_out.DB")}},
        {CounterField::Com, "comanda", {QStringLiteral("Doc_Com.Db"), QStringLiteral("Item_Com.DB")}},
        {CounterField::Prof, "document proforma", {QStringLiteral("Doc_prof.DB"), QStringLiteral("Item_prof.DB")}},
        {CounterField::Off, "oferta", {QStringLiteral("Offer.DB"), QStringLiteral("Of_item.DB")}},
        {CounterField::OffC, "oferta (C)", {QStringLiteral("OfferC.DB"), QStringLiteral("OfC_item.DB")}},
    };
    const bool hasCounter = db.tableExists(QStringLiteral("Counter.DB"));
    for (const Counted& c : counted) {
        std::optional<double> largest;
        for (const QString& table : c.tables) {
            if (!db.tableExists(table))
                continue;
            const QVariant max = db.scalar(QStringLiteral("SELECT MAX(Contor) FROM \"%1\"").arg(table));
            if (max.isValid() && !max.isNull())
                largest = std::max(largest.value_or(max.toDouble()), max.toDouble());
        }
        if (!largest || *largest < 1)
            continue;
        const QString field = counterFieldName(c.field);
        double counter = 0;
        if (hasCounter) {
            // The first record: Counter.DB has no index, a plain read starts with it.
            const QVariant v = db.scalar(QStringLiteral("SELECT %1 FROM COUNTER").arg(field));
            counter = v.toDouble();
        }
        if (counter < *largest)
            faults << DocumentFault{Kind::CounterBehind,
                                    QStringLiteral("%1 = %2 in Counter.DB, dar cel mai mare contor de %3 este %4")
                                        .arg(field, number(counter), QLatin1String(c.what), number(*largest))};
    }
}

void numbersGivenTwice(datastore::Database& db, QList<DocumentFault>& faults)
{
    struct Series {
        const char* table;
        const char* what;
        bool hasSeries;
    };
    const Series series[] = {{"Fctser.DB", "Factura", true}, {"Aeser.DB", "Avizul de expeditie", true},
                             {"Chser.db", "Chitanta", false}};
    for (const Series& s : series) {
        const QString table = QString::fromLatin1(s.table);
        if (!db.tableExists(table))
            continue;
        // Read in key order and grouped here: one statement that every engine reads alike.
        const QString key = s.hasSeries ? QStringLiteral("Serie, Number") : QStringLiteral("Numar");
        const int keyColumns = s.hasSeries ? 2 : 1;
        datastore::Query q = db.query(QStringLiteral("SELECT %1, Contor FROM \"%2\" ORDER BY %1, Contor").arg(key, table));
        QVariantList current;
        QStringList counters;
        const auto report = [&] {
            if (counters.size() < 2)
                return;
            QString what = QString::fromLatin1(s.what);
            if (s.hasSeries)
                what += QStringLiteral(" seria %1").arg(current.value(0).toString());
            what += QStringLiteral(" numarul %1").arg(number(current.value(keyColumns - 1).toDouble()));
            faults << DocumentFault{Kind::NumberGivenTwice, QStringLiteral("%1: data de %2 ori (contoarele %3)")
                                                                .arg(what)
                                                                .arg(counters.size())
                                                                .arg(counters.join(QStringLiteral(", ")))};
        };
        while (q.next()) {
            QVariantList k;
            for (int i = 0; i < keyColumns; ++i)
                k << q.value(i);
            if (k != current || counters.isEmpty()) {
                report();
                current = k;
                counters.clear();
            }
            counters << QString::number(qint64(q.value(keyColumns).toDouble()));
        }
        report();
    }
}

// Serial rows belong to an input line: rows whose document, or whose line,
// is gone are found by neither the serial window nor the search.
void serialsWithoutLine(datastore::Database& db, QList<DocumentFault>& faults)
{
    if (!db.tableExists(QStringLiteral("Serie.DB")))
        return;
    datastore::Query q = db.query(QStringLiteral(
        "SELECT S.Contor, S.ContorSec, COUNT(*), COUNT(D.Contor) FROM \"Serie.DB\" S "
        "LEFT JOIN \"Doc_in.DB\" D ON (D.Contor = S.Contor) WHERE NOT EXISTS (SELECT 1 FROM \"Item_in.DB\" I "
        "WHERE (I.Contor = S.Contor) AND (I.Contor_secundar = S.ContorSec)) GROUP BY S.Contor, S.ContorSec "
        "ORDER BY S.Contor, S.ContorSec"));
    while (q.next()) {
        const auto shown = [&](int column) {
            return q.value(column).isNull() ? QStringLiteral("(gol)") : number(q.value(column).toDouble());
        };
        faults << DocumentFault{Kind::SerialWithoutLine,
                                QStringLiteral("Document de intrare, contor %1, linia %2: %3 serii, %4")
                                    .arg(shown(0), shown(1))
                                    .arg(q.value(2).toLongLong())
                                    .arg(q.value(3).toLongLong() > 0 ? QStringLiteral("linia nu exista")
                                                                     : QStringLiteral("documentul nu exista"))};
    }
}

} // namespace

QList<DocumentFault> CheckDocuments(datastore::Database& db, double epsilon)
{
    QList<DocumentFault> faults;
    const bool documents = db.tableExists(QStringLiteral("Stoc.DB")) && db.tableExists(QStringLiteral("Doc_in.DB"))
        && db.tableExists(QStringLiteral("Item_in.DB")) && db.tableExists(QStringLiteral("Doc_out.DB"))
        && db.tableExists(QStringLiteral("Item_out.DB"));
    if (documents) {
        stockFaults(db, epsilon, faults);
        linesWithoutHeader(db, faults);
        headersWithoutLines(db, faults);
    }
    countersBehind(db, faults);
    numbersGivenTwice(db, faults);
    if (db.tableExists(QStringLiteral("Doc_in.DB")) && db.tableExists(QStringLiteral("Item_in.DB")))
        serialsWithoutLine(db, faults);
    return faults;
}

} // namespace stock
