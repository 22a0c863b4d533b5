#include "stockatdate.h"

#include "answertables.h"
#include "common/tolerance.h"
#include "datastore/dberror.h"
#include "datastore/tabledef.h"

namespace reports {

using namespace datastore;

TableDef stockTableDef(StockKey key, bool lots)
{
    TableDef def;
    def.name = QString::fromLatin1(kStockTable);
    def.fields = {text(QStringLiteral("Cod_gestiune"), 4), text(QStringLiteral("Cod_grupa"), 8),
                  text(QStringLiteral("Cod_articol"), 30)};
    if (key == StockKey::Full) {
        def.fields << floating(QStringLiteral("Pret_achizitie")) << text(QStringLiteral("Agent"), 3)
                   << text(QStringLiteral("Lot"), 30);
        def.indexes << primaryKey(lots ? QStringLiteral("Cod_gestiune;Cod_grupa;Cod_articol;Pret_achizitie;Agent;Lot")
                                       : QStringLiteral("Cod_gestiune;Cod_grupa;Cod_articol;Pret_achizitie;Agent"));
    } else {
        def.indexes << primaryKey(QStringLiteral("Cod_gestiune;Cod_grupa;Cod_articol"));
    }
    def.fields << floating(QStringLiteral("QOut")) << floating(QStringLiteral("QIn"));
    return def;
}

namespace {

// The conditions every line of both kinds must meet, beyond its date.
QString lineConditions(bool warehouses, bool budget)
{
    QString c;
    if (warehouses)
        c += QStringLiteral(" AND (D1.Cod_gestiune IN (SELECT Cod FROM SELGEST))");
    if (budget)
        c += QStringLiteral(" AND (D1.Agent = :Buget)");
    return c;
}

} // namespace

bool BuildStockAtDate(Database& privateDb, const common::Parameters& parameters, const StockAtDateRequest& request)
{
    // The private file is made on first use (an empty selection table).
    if (!privateDb.fileExists())
        privateDb.createTable(TableDef{QString::fromLatin1(kWarehouseTable), {text(QStringLiteral("Cod"), 4)}, {}});
    const bool warehouses = SelectionTables(privateDb).writeWarehouses(request.warehouses);
    const bool budget = !request.budget.isEmpty();
    QVariantHash params{{QStringLiteral("Date"), request.date}};
    if (budget)
        params.insert(QStringLiteral("Buget"), request.budget);
    const QString conditions = lineConditions(warehouses, budget);
    const QString inputDate = QStringLiteral("((D.Data_inregistrarii <= :Date) OR (D.Data_inregistrarii IS NULL))");

    const QVariant any = privateDb.scalar(
        QStringLiteral("SELECT 1 FROM \":TSTOCK:Doc_in.DB\" D, \":TSTOCK:Item_in.DB\" D1 WHERE (D1.Contor = D.Contor) AND ")
            + inputDate + conditions + QStringLiteral(" LIMIT 1"),
        params);
    if (!any.isValid())
        return false;

    const bool full = request.key == StockKey::Full;
    const QString lot = parameters.CLot ? QStringLiteral("D1.Lot") : QStringLiteral("NULL");
    const QString inKey = full ? QStringLiteral("D1.Cod_gestiune, D1.Cod_grupa, D1.Cod_articol, D1.Pret_achizitie_lei AS "
                                                "Pret_achizitie, D1.Agent, %1 AS Lot").arg(lot)
                               : QStringLiteral("D1.Cod_gestiune, D1.Cod_grupa, D1.Cod_articol");
    const QString outKey = full ? QStringLiteral("D1.Cod_gestiune, D1.Cod_grupa, D1.Cod_articol, D1.Pret_achizitie, "
                                                 "D1.Agent, %1").arg(lot)
                                : QStringLiteral("D1.Cod_gestiune, D1.Cod_grupa, D1.Cod_articol");
    const QString key = full ? QStringLiteral("Cod_gestiune, Cod_grupa, Cod_articol, Pret_achizitie, Agent, Lot")
                             : QStringLiteral("Cod_gestiune, Cod_grupa, Cod_articol");
    const QString select =
        QStringLiteral("SELECT %1, SUM(QOut), SUM(QIn) FROM ("
                       "SELECT %2, 0 AS QOut, D1.Cantitate AS QIn FROM \":TSTOCK:Doc_in.DB\" D, \":TSTOCK:Item_in.DB\" D1 "
                       "WHERE (D1.Contor = D.Contor) AND %4%5 "
                       "UNION ALL "
                       "SELECT %3, D1.Cantitate, 0 FROM \":TSTOCK:Doc_out.DB\" D, \":TSTOCK:Item_out.DB\" D1 "
                       "WHERE (D1.Contor = D.Contor) AND (D.Data_inregistrarii <= :Date)%5) "
                       "GROUP BY %1 "
                       "HAVING (SUM(QIn) - SUM(QOut) < -:Eps) OR (SUM(QIn) - SUM(QOut) > :Eps)")
            .arg(key, inKey, outKey, inputDate, conditions);
    params.insert(QStringLiteral("Eps"), common::toleranceLimit(parameters.Epsilon));
    AnswerTables(privateDb).copyQuery(stockTableDef(request.key, parameters.CLot), select, params);
    return true;
}

bool ComputeStockAtDate(ReportContext& ctx, QDate& date, QString& warehouses, bool askWarehouses, const QString& budget)
{
    QString chosenWarehouses = warehouses;
    if (askWarehouses && !ctx.ui.selectWarehouses(chosenWarehouses))
        return false;
    QDate chosenDate = date;
    if (!ctx.ui.selectDate(chosenDate))
        return false;
    warehouses = chosenWarehouses;
    date = chosenDate;

    ctx.ui.showWorking(QStringLiteral("Procesez datele..."));
    ctx.ui.showProgress(QStringLiteral(" Insumez intrarile si stocurile initiale..."));
    bool built = false;
    try {
        built = BuildStockAtDate(ctx.privateDb, ctx.parameters, {date, warehouses, budget, StockKey::Full});
    } catch (const DbError& e) {
        ctx.ui.closeWorking();
        ctx.dialogs.error(reportErrorText(e.engineText()));
        return false;
    }
    if (!built) {
        ctx.ui.closeWorking();
        ctx.dialogs.warning(QString::fromLatin1(kNoDocuments));
        return false;
    }
    ctx.ui.showProgress(QStringLiteral(" Insumez iesirile..."));
    ctx.ui.showProgress(QStringLiteral(" Calculez stocurile..."));
    ctx.ui.closeWorking();
    return true;
}

} // namespace reports
