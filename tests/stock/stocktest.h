#pragma once
// A database on disk with the stock, document line and numbering tables, an
// input document and an output document whose lines post through the ledger.

#include "common/formats.h"
#include "common/parameters.h"
#include "common/scripteddialogs.h"
#include "common/tolerance.h"
#include "datastore/dataset.h"
#include "datastore/tablecatalog.h"
#include "stock/ledger.h"
#include "stock/lineposting.h"
#include "stock/numbering.h"
#include "testsupport.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <map>

// Readable failures.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace stocktest {

inline void createStockTables(datastore::Database& db)
{
    for (const char* t : {"Stoc.DB", "Item_in.DB", "Item_out.DB", "Catalog.DB", "Counter.DB", "Fctser.DB",
                          "Aeser.DB", "Chser.db", "Doc_in.DB", "Doc_out.DB"})
        db.createTable(*datastore::findTableDef(QString::fromLatin1(t)));
}

// Appends a line of document `contor` in warehouse A, group G, with the next
// line number (not yet written).
inline void appendLine(datastore::Dataset& lines, double contor, double price, double quantity,
                       const QString& article = QStringLiteral("ART"), const QString& lot = {})
{
    const bool input = lines.tableName().startsWith(QLatin1String("Item_in"), Qt::CaseInsensitive);
    lines.append();
    lines.setValue(QStringLiteral("Contor"), contor);
    lines.setValue(QStringLiteral("Contor_secundar"), stock::NextLineNumber(lines.database(), lines.tableName(), contor));
    lines.setValue(QStringLiteral("Cod_gestiune"), QStringLiteral("A"));
    lines.setValue(QStringLiteral("Cod_grupa"), QStringLiteral("G"));
    lines.setValue(QStringLiteral("Cod_articol"), article);
    lines.setValue(input ? QStringLiteral("Pret_achizitie_lei") : QStringLiteral("Pret_achizitie"), price);
    lines.setValue(QStringLiteral("Lot"), lot);
    lines.setValue(QStringLiteral("Cantitate"), quantity);
}

// Records what the ledger asked of the window.
struct RecordingWindow : stock::PostingWindow {
    int quantityFocus = 0;
    void focusQuantityColumn() override { ++quantityFocus; }
    void prepareSplitLine(QVariantHash& values) override { values.insert(QStringLiteral("Pret_vinzare"), 99.0); }
};

class LedgerFixture : public ::testing::Test {
protected:
    static constexpr double kInputDoc = 100;
    static constexpr double kOutputDoc = 200;

    void SetUp() override
    {
        db.setDirectory(dir.path());
        createStockTables(db);
        db.exec(QStringLiteral("INSERT INTO CATALOG (Grupa, Cod, Denumire, Unitate_masura) VALUES ('G', 'ART', 'Hartie', 'top')"));
        inLines.setFilter(QStringLiteral("Contor = :c"), {{QStringLiteral("c"), kInputDoc}});
        inLines.setOrderBy(QStringLiteral("Contor_secundar"));
        outLines.setFilter(QStringLiteral("Contor = :c"), {{QStringLiteral("c"), kOutputDoc}});
        outLines.setOrderBy(QStringLiteral("Contor_secundar"));
        inLines.open();
        outLines.open();
    }

    // A new input line of `quantity` at `price`, posted; false when refused.
    bool receive(double price, double quantity, const QString& article = QStringLiteral("ART"),
                 const QString& lot = {})
    {
        return write(inLines, [&] { appendLine(inLines, kInputDoc, price, quantity, article, lot); });
    }
    // A new output line; false when refused (it then stays in editing).
    bool issue(double price, double quantity, const QString& article = QStringLiteral("ART"),
               const QString& lot = {})
    {
        return write(outLines, [&] { appendLine(outLines, kOutputDoc, price, quantity, article, lot); });
    }
    // Changes the line `row` of a dataset; false when refused.
    bool change(datastore::Dataset& lines, int row, const QString& field, const QVariant& value)
    {
        return write(lines, [&] {
            lines.moveTo(row);
            lines.edit();
            lines.setValue(field, value);
        });
    }
    bool removeLine(datastore::Dataset& lines, int row)
    {
        lines.moveTo(row);
        try {
            lines.remove();
            return true;
        } catch (const datastore::Abort&) {
            return false;
        }
    }

    // Stock rows as "ART@5=13" (lot after a slash), in key order.
    QStringList stockRows()
    {
        QStringList rows;
        datastore::Query q = db.query(QStringLiteral(
            "SELECT Cod_articol, Pret_achizitie, Lot, Cantitate FROM STOC ORDER BY Cod_gestiune, Cod_grupa, "
            "Cod_articol, Pret_achizitie, Lot, Agent"));
        while (q.next())
            rows << describe(q.value(0), q.value(1), q.value(2), q.value(3));
        return rows;
    }
    // Lines of a document as stored, in line order.
    QStringList storedLines(const QString& table, const QString& priceField, double contor)
    {
        QStringList lines;
        datastore::Query q = db.query(QStringLiteral("SELECT Cod_articol, %1, Lot, Cantitate FROM \"%2\" "
                                                     "WHERE Contor = :c ORDER BY Contor_secundar")
                                          .arg(priceField, table),
                                      {{QStringLiteral("c"), contor}});
        while (q.next())
            lines << describe(q.value(0), q.value(1), q.value(2), q.value(3));
        return lines;
    }
    QStringList outputLines() { return storedLines(QStringLiteral("Item_out.DB"), QStringLiteral("Pret_achizitie"), kOutputDoc); }
    QStringList inputLines() { return storedLines(QStringLiteral("Item_in.DB"), QStringLiteral("Pret_achizitie_lei"), kInputDoc); }

    // Every key outside the tolerance has a row equal to its input lines minus
    // its output lines; a key within it has none.
    ::testing::AssertionResult ledgerMatchesDocuments()
    {
        std::map<QString, double> expected;
        auto add = [&](const QString& sql, double sign) {
            datastore::Query q = db.query(sql);
            while (q.next())
                expected[key(q)] += sign * q.value(6).toDouble();
        };
        add(QStringLiteral("SELECT Cod_gestiune, Cod_grupa, Cod_articol, Pret_achizitie_lei, Lot, Agent, Cantitate FROM ITEM_IN"), 1);
        add(QStringLiteral("SELECT Cod_gestiune, Cod_grupa, Cod_articol, Pret_achizitie, Lot, Agent, Cantitate FROM ITEM_OUT"), -1);
        std::map<QString, double> actual;
        datastore::Query q = db.query(QStringLiteral("SELECT Cod_gestiune, Cod_grupa, Cod_articol, Pret_achizitie, Lot, Agent, Cantitate FROM STOC"));
        while (q.next())
            actual[key(q)] += q.value(6).toDouble();
        for (const auto& [k, qty] : expected) {
            const auto it = actual.find(k);
            const double have = it == actual.end() ? 0 : it->second;
            const bool zero = common::isWithinTolerance(qty, parameters.Epsilon);
            if (zero && it != actual.end())
                return ::testing::AssertionFailure() << k.toStdString() << ": a row at zero";
            if (!zero && std::abs(have - qty) > 1e-9)
                return ::testing::AssertionFailure() << k.toStdString() << ": stock " << have << ", documents " << qty;
        }
        for (const auto& [k, qty] : actual)
            if (!expected.count(k))
                return ::testing::AssertionFailure() << k.toStdString() << ": a row without lines (" << qty << ")";
        return ::testing::AssertionSuccess();
    }

    testsupport::TempDir dir{testsupport::TempDir::Database};
    datastore::Database db;
    common::Parameters parameters;
    common::Formats formats;
    common::ScriptedDialogs dialogs;
    RecordingWindow window;
    stock::Ledger ledger{db, parameters, formats, dialogs};
    datastore::Dataset inLines{db, QStringLiteral("Item_in.DB")};
    datastore::Dataset outLines{db, QStringLiteral("Item_out.DB")};
    stock::LinePosting inPosting{inLines, stock::LineKind::Input, ledger, &window};
    stock::LinePosting outPosting{outLines, stock::LineKind::Output, ledger, &window};

private:
    static QString describe(const QVariant& article, const QVariant& price, const QVariant& lot, const QVariant& qty)
    {
        QString s = article.toString() + u'@' + QString::number(price.toDouble()) + u'=' + QString::number(qty.toDouble());
        if (!lot.toString().isEmpty())
            s.insert(s.indexOf(u'='), u'/' + lot.toString());
        return s;
    }
    static QString key(const datastore::Query& q)
    {
        QStringList parts;
        for (int i = 0; i < 6; ++i)
            parts << (i == 3 ? QString::number(q.value(i).toDouble(), 'g', 17) : q.value(i).toString());
        return parts.join(u'|');
    }
    template <class F>
    static bool write(datastore::Dataset& lines, F&& fill)
    {
        fill();
        try {
            lines.post();
            return true;
        } catch (const datastore::Abort&) {
            return false;
        }
    }
};

} // namespace stocktest
