#include "periodlists.h"

#include "answertables.h"
#include "stockatdate.h"
#include "stockreports.h"

#include "common/tolerance.h"
#include "datastore/dberror.h"

namespace reports {

using namespace datastore;
using namespace reportengine;

TableDef inputsOutputsTableDef()
{
    TableDef def;
    def.name = QString::fromLatin1(kInOutTable);
    def.fields = {text(QStringLiteral("Cod_grupa"), 8), text(QStringLiteral("Cod_Articol"), 30),
                  text(QStringLiteral("Denumire"), 255), floating(QStringLiteral("TotalIn")),
                  floating(QStringLiteral("TotalOut"))};
    def.indexes << primaryKey(QStringLiteral("Cod_grupa;Cod_Articol;Denumire"));
    return def;
}

int BuildInputsOutputs(Database& privateDb, const QDate& first, const QDate& last, const QString& budget)
{
    const QString lines = QStringLiteral(
        "SELECT D2.Cod_grupa AS Cod_grupa, D2.Cod_articol AS Cod_Articol, %1 "
        "FROM \":TSTOCK:%2\" D1, \":TSTOCK:%3\" D2 WHERE (D1.Data_inregistrarii >= :Start) AND "
        "(D1.Data_inregistrarii <= :Stop) AND (D2.Contor = D1.Contor)%4");
    const QString budgetCondition = budget.isEmpty() ? QString() : QStringLiteral(" AND (D2.Agent = :Buget)");
    const QString select =
        QStringLiteral("SELECT M.Cod_grupa, M.Cod_Articol, C.Denumire, SUM(M.TotalIn), SUM(M.TotalOut) FROM (%1 UNION ALL %2) M "
                       "LEFT JOIN \":TSTOCK:Catalog.DB\" C ON (C.Grupa = M.Cod_grupa) AND (C.Cod = M.Cod_Articol) "
                       "GROUP BY M.Cod_grupa, M.Cod_Articol, C.Denumire")
            .arg(lines.arg(QStringLiteral("D2.Cantitate AS TotalIn, 0 AS TotalOut"), QStringLiteral("Doc_in.DB"),
                           QStringLiteral("Item_in.DB"), budgetCondition),
                 lines.arg(QStringLiteral("0, D2.Cantitate"), QStringLiteral("Doc_out.DB"), QStringLiteral("Item_out.DB"),
                           budgetCondition));
    QVariantHash params{{QStringLiteral("Start"), first}, {QStringLiteral("Stop"), last}};
    if (!budget.isEmpty())
        params.insert(QStringLiteral("Buget"), budget);
    return AnswerTables(privateDb).copyQuery(inputsOutputsTableDef(), select, params);
}

namespace {

QString dateText(const QDate& date, const common::Formats& formats)
{
    return common::formatDate(QStringLiteral("dd.mm.yyyy"), date, formats);
}

PreparedReport buildInputsOutputs(ReportContext& ctx, const QDate& first, const QDate& last, const QString& budget)
{
    auto r = std::make_unique<Report>();
    r->formats(ctx.formats).title(QStringLiteral("Lista intrarilor si iesirilor"));
    Band& h = r->band(BandKind::PageHeader, 0);
    double y = addFirmHeader(h, readFirmData(ctx.db, ctx.parameters.FirmNo));
    h.label(0, y, 0, QStringLiteral("Lista intrarilor si iesirilor")).bold().fontSize(12);
    h.label(75, y + 1, 20, QStringLiteral("în perioada"));
    h.label(95, y + 1, 60, dateText(first, ctx.formats) + QStringLiteral(" - ") + dateText(last, ctx.formats)).bold();
    y += 7;
    h.label(0, y, 150, budgetLine(ctx.db, budget));
    y += 6;
    h.label(0, y, 20, QStringLiteral("Cod grupa")).bold();
    h.label(21, y, 30, QStringLiteral("Cod articol")).bold();
    h.label(52, y, 90, QStringLiteral("Denumire")).bold();
    h.label(143, y, 23, QStringLiteral("Intrari")).bold().right();
    h.label(167, y, 23, QStringLiteral("Iesiri")).bold().right();
    h.line(0, y + 5, 190, y + 5);
    h.setHeight(y + 6);
    Band& d = r->band(BandKind::Detail, 4.5);
    d.field(0, 0, 20, QStringLiteral("Cod_grupa"));
    d.field(21, 0, 30, QStringLiteral("Cod_Articol"));
    d.field(52, 0, 90, QStringLiteral("Denumire"));
    d.field(143, 0, 23, QStringLiteral("TotalIn"), kQuantityMask).right();
    d.field(167, 0, 23, QStringLiteral("TotalOut"), kQuantityMask).right();
    r->band(BandKind::PageFooter, 5).pageNumber(0, 0, 0, QStringLiteral("Pagina %1 din %2"));

    QStringList sql{QStringLiteral("SELECT Cod_grupa, Cod_Articol, Denumire, TotalIn, TotalOut FROM TotalInOut"),
                    QStringLiteral("ORDER BY Cod_grupa, Cod_Articol, Denumire")};
    QualifyAnswerTable(sql, QString::fromLatin1(kInOutTable), ctx.privateDir);
    return {std::move(r), std::make_unique<QueryRows>(ctx.db.query(sql.join(u'\n')))};
}

PreparedReport buildCentraliser(ReportContext& ctx, const QDate& date, const QString& budget)
{
    auto r = std::make_unique<Report>();
    r->formats(ctx.formats).title(QStringLiteral("Raport centralizator gestiuni"));
    Band& h = r->band(BandKind::PageHeader, 0);
    double y = addFirmHeader(h, readFirmData(ctx.db, ctx.parameters.FirmNo));
    h.label(0, y, 0, QStringLiteral("Centralizator inventar valoric")).bold().fontSize(12);
    h.label(80, y + 1, 15, QStringLiteral("la data"));
    h.label(95, y + 1, 30, dateText(date, ctx.formats)).bold();
    y += 7;
    h.label(0, y, 150, budgetLine(ctx.db, budget));
    y += 6;
    h.label(0, y, 12, QStringLiteral("Nr. crt.")).bold().right();
    h.label(15, y, 25, QStringLiteral("Cod gestiune")).bold();
    h.label(42, y, 100, QStringLiteral("Denumire gestiune")).bold();
    h.label(150, y, 40, QStringLiteral("Valoare")).bold().right();
    h.line(0, y + 5, 190, y + 5);
    h.setHeight(y + 6);
    Band& d = r->band(BandKind::Detail, 4.5);
    d.count(0, 0, 12).running().right();
    d.field(15, 0, 25, QStringLiteral("Cod_Gestiune"));
    d.field(42, 0, 100, QStringLiteral("Denumire"));
    d.field(150, 0, 40, QStringLiteral("Valoare"), kMoneyMask).right();
    Band& s = r->band(BandKind::Summary, 7);
    s.line(0, 0.5, 190, 0.5);
    s.label(0, 1.5, 40, QStringLiteral("Total general")).bold();
    s.sum(150, 1.5, 40, QStringLiteral("Valoare"), kMoneyMask).bold().right();
    r->band(BandKind::PageFooter, 5).pageNumber(0, 0, 0, QStringLiteral("Pagina %1 din %2"));

    QStringList sql{
        QStringLiteral("SELECT A.Cod_Gestiune, SUM(ROUND_MONEY(A.Pret_achizitie * (A.QIn - A.QOut), :Dec)) AS Valoare, "
                       "G.Denumire"),
        QStringLiteral("FROM ANSW_ST A LEFT JOIN GEST G ON (A.Cod_gestiune = G.Cod)"),
        QStringLiteral("WHERE ((A.QIn - A.QOut < -:Eps) OR (A.QIn - A.QOut > :Eps))")
            + (budget.isEmpty() ? QString() : QStringLiteral(" AND (A.Agent = :PBuget)")),
        QStringLiteral("GROUP BY A.Cod_Gestiune, G.Denumire"),
        QStringLiteral("ORDER BY G.Denumire, A.Cod_Gestiune")};
    QualifyAnswerTable(sql, QString::fromLatin1(kStockTable), ctx.privateDir);
    QVariantHash params{{QStringLiteral("Eps"), common::toleranceLimit(ctx.parameters.Epsilon)},
                        {QStringLiteral("Dec"), ctx.parameters.nrZecimaleLei}};
    if (!budget.isEmpty())
        params.insert(QStringLiteral("PBuget"), budget);
    return {std::move(r), std::make_unique<QueryRows>(ctx.db.query(sql.join(u'\n'), params))};
}

} // namespace

bool InputsOutputsList(ReportContext& ctx)
{
    QDate first = ctx.selection.from;
    QDate last = ctx.selection.to;
    if (!ctx.ui.selectInterval(first, last))
        return false;
    ctx.selection.from = first;
    ctx.selection.to = last;
    useDefaultPrintParameters(ctx, prints::PageOrientation::Portrait);
    if (!ctx.ui.printSetup(ctx.printSettings))
        return false;
    ctx.ui.showProgress(QStringLiteral(" Listez..."));
    QString budget;
    if (!chooseBudget(ctx, budget))
        return false;
    ctx.selection.budget = budget;
    try {
        BuildInputsOutputs(ctx.privateDb, first, last, budget);
    } catch (const DbError& e) {
        ctx.dialogs.error(reportErrorText(e.engineText()));
        return false;
    }
    return finishReport(ctx, [&] { return buildInputsOutputs(ctx, first, last, budget); }, QString());
}

bool InventoryCentraliser(ReportContext& ctx)
{
    useDefaultPrintParameters(ctx, prints::PageOrientation::Portrait);
    QString budget;
    if (!PrepareStockAtDatePrint(ctx, budget))
        return false;
    return finishReport(ctx, [&] { return buildCentraliser(ctx, ctx.selection.stockDate, budget); }, QString());
}

} // namespace reports
