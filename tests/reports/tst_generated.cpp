// The stock at a date of the ten-year test database, checked line by line
// against the documents read one by one.

#include "reportstest.h"

#include "reports/stockatdate.h"
#include "testdatabase.h"

#include <QHash>
#include <cmath>

using namespace reports;

namespace {

TEST(StockAtDateOnGeneratedData, EqualsTheDocumentsSummedOneByOne)
{
    reportstest::GeneratedDatabase generated(4000, 80, 3);
    datastore::Database& db = generated.db;
    datastore::Database& privateDb = generated.privateDb;

    for (const bool lots : {true, false}) {
        SCOPED_TRACE(lots ? "lots in use" : "lots off");
        common::Parameters parameters;
        parameters.CLot = lots;
        const QDate date(2021, 3, 15);
        ASSERT_TRUE(BuildStockAtDate(privateDb, parameters, {date, {}, {}, StockKey::Full}));

        QHash<QString, double> expected;
        const auto add = [&](const char* sql, double sign, bool undatedCounts) {
            datastore::Query q = db.query(QString::fromLatin1(sql));
            while (q.next()) {
                const QDate d = q.value(6).toDate();
                if (d.isValid() ? d > date : !undatedCounts)
                    continue;
                const QString key = QStringList{q.value(0).toString(), q.value(1).toString(), q.value(2).toString(),
                                                QString::number(q.value(3).toDouble()), q.value(4).toString(),
                                                lots ? q.value(5).toString() : QString()}
                                        .join('|');
                expected[key] += sign * q.value(7).toDouble();
            }
        };
        add("SELECT I.Cod_gestiune, I.Cod_grupa, I.Cod_articol, I.Pret_achizitie_lei, I.Agent, I.Lot, D.Data_inregistrarii, "
            "I.Cantitate FROM ITEM_IN I, DOC_IN D WHERE I.Contor = D.Contor", 1, true);
        add("SELECT I.Cod_gestiune, I.Cod_grupa, I.Cod_articol, I.Pret_achizitie, I.Agent, I.Lot, D.Data_inregistrarii, "
            "I.Cantitate FROM ITEM_OUT I, DOC_OUT D WHERE I.Contor = D.Contor", -1, false);
        QHash<QString, double> actual;
        datastore::Query a = privateDb.query("SELECT Cod_gestiune, Cod_grupa, Cod_articol, Pret_achizitie, Agent, Lot, "
                                             "QIn - QOut FROM ANSW_ST");
        while (a.next())
            actual.insert(QStringList{a.value(0).toString(), a.value(1).toString(), a.value(2).toString(),
                                      QString::number(a.value(3).toDouble()), a.value(4).toString(), a.value(5).toString()}
                              .join('|'),
                          a.value(6).toDouble());
        int kept = 0;
        for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
            if (std::abs(it.value()) <= parameters.Epsilon) {
                EXPECT_FALSE(actual.contains(it.key())) << qPrintable(it.key());
                continue;
            }
            ++kept;
            ASSERT_TRUE(actual.contains(it.key())) << qPrintable(it.key());
            EXPECT_NEAR(actual.value(it.key()), it.value(), 1e-9) << qPrintable(it.key());
        }
        EXPECT_EQ(actual.size(), kept);
        EXPECT_GT(kept, 50);
    }
}

} // namespace
