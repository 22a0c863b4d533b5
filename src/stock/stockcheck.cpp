#include "stockcheck.h"

#include <cmath>

namespace stock {

bool StockComparison::differs() const
{
    return std::abs(stock - documents) > 1e-6;
}

QList<StockComparison> CompareStockWithDocuments(datastore::Database& db)
{
    const QString keys = QStringLiteral("Cod_gestiune, Cod_grupa, Cod_articol, %1 AS Pret, COALESCE(Lot, '') AS Lot, "
                                        "COALESCE(Agent, '') AS Agent");
    const QString sql =
        QStringLiteral("SELECT Cod_gestiune, Cod_grupa, Cod_articol, Pret, Lot, Agent, SUM(Stoc), SUM(Docs) FROM ("
                       "SELECT %1, Cantitate AS Stoc, 0 AS Docs FROM STOC "
                       "UNION ALL SELECT %2, 0, Cantitate FROM ITEM_IN "
                       "UNION ALL SELECT %3, 0, -Cantitate FROM ITEM_OUT) "
                       "GROUP BY Cod_gestiune, Cod_grupa, Cod_articol, Pret, Lot, Agent "
                       "ORDER BY Cod_gestiune, Cod_grupa, Cod_articol, Pret, Lot, Agent")
            .arg(keys.arg(QStringLiteral("Pret_achizitie")), keys.arg(QStringLiteral("Pret_achizitie_lei")),
                 keys.arg(QStringLiteral("Pret_achizitie")));
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
        if (c.stock == 0 && c.documents == 0)
            continue;
        rows << c;
    }
    return rows;
}

} // namespace stock
