#include "balance.h"

#include "answertables.h"

#include "common/tolerance.h"
#include "datastore/dberror.h"
#include "datastore/tabledef.h"

namespace reports {

using namespace datastore;
using namespace reportengine;

TableDef balanceTableDef(BalanceForm form)
{
    const bool detailed = form == BalanceForm::Detailed;
    TableDef def;
    def.name = QString::fromLatin1(kBalanceTable);
    def.fields = {text(QStringLiteral("Cod_gestiune"), 4), text(QStringLiteral("Cod_grupa"), 8),
                  text(QStringLiteral("Cod_articol"), 30), floating(QStringLiteral("Pret_achizitie")),
                  text(QStringLiteral("Agent"), 3)};
    if (detailed)
        def.fields << text(QStringLiteral("Lot"), 30);
    for (const char* f : {"RQIn", "RQOut", "QInit", "VInit", "Vin", "QFin", "VOut", "VFin"})
        def.fields << floating(QString::fromLatin1(f));
    // Without the lot, lines of one key that differ only in their lot are
    // separate rows: the index is not unique then.
    if (detailed)
        def.indexes << primaryKey(QStringLiteral("Cod_gestiune;Cod_grupa;Cod_articol;Pret_achizitie;Agent;Lot"));
    else
        def.indexes << secondary(QStringLiteral("ByKey"), QStringLiteral("Cod_gestiune;Cod_grupa;Cod_articol;Pret_achizitie;Agent"),
                                 false);
    return def;
}

TableDef balanceDocumentsDef(const QString& name)
{
    TableDef def;
    def.name = name;
    def.fields = {text(QStringLiteral("Cod_gestiune"), 4), text(QStringLiteral("Cod_grupa"), 8),
                  text(QStringLiteral("Cod_articol"), 30), floating(QStringLiteral("Pret_achizitie")),
                  text(QStringLiteral("Agent"), 3), text(QStringLiteral("Lot"), 30),
                  date(QStringLiteral("Data_inregistrarii")), floating(QStringLiteral("Numar")),
                  text(QStringLiteral("Tip"), 3), date(QStringLiteral("Data")), floating(QStringLiteral("Contor")),
                  floating(QStringLiteral("Contor_secundar")), floating(QStringLiteral("Cantitate"))};
    // One row per document line: two documents alike in dates, number and
    // type are both kept.
    def.indexes << primaryKey(QStringLiteral("Contor;Contor_secundar"))
                << secondary(QStringLiteral("ByKey"), QStringLiteral("Cod_gestiune;Cod_grupa;Cod_articol;Pret_achizitie;Agent;Lot"),
                             false);
    return def;
}

namespace {

const QString kKey = QStringLiteral("Cod_gestiune, Cod_grupa, Cod_articol, Pret_achizitie, Agent, Lot");

QString warehouseCondition(bool warehouses)
{
    return warehouses ? QStringLiteral(" AND (D1.Cod_gestiune IN (SELECT Cod FROM SELGEST))") : QString();
}

// The balance rows of every key: the lines up to the last day, each counted
// before the interval (opening) or within it, grouped by the key.
QString balanceSelect(bool detailed, bool warehouses)
{
    const QString wh = warehouseCondition(warehouses);
    const QString within = QStringLiteral("(D.Data_inregistrarii >= :First)");
    const QString lines =
        QStringLiteral("SELECT D1.Cod_gestiune, D1.Cod_grupa, D1.Cod_articol, D1.Pret_achizitie_lei AS Pret_achizitie, D1.Agent, "
                       "D1.Lot, CASE WHEN %1 THEN 0 ELSE D1.Cantitate END AS QIn, 0 AS QOut, "
                       "CASE WHEN %1 THEN D1.Cantitate ELSE 0 END AS RQIn, 0 AS RQOut, CASE WHEN %1 THEN 1 ELSE 0 END AS Moved "
                       "FROM \":TSTOCK:Doc_in.DB\" D, \":TSTOCK:Item_in.DB\" D1 WHERE (D1.Contor = D.Contor) AND "
                       "((D.Data_inregistrarii <= :Last) OR (D.Data_inregistrarii IS NULL))%2 "
                       "UNION ALL "
                       "SELECT D1.Cod_gestiune, D1.Cod_grupa, D1.Cod_articol, D1.Pret_achizitie, D1.Agent, D1.Lot, 0, "
                       "CASE WHEN %1 THEN 0 ELSE D1.Cantitate END, 0, CASE WHEN %1 THEN D1.Cantitate ELSE 0 END, "
                       "CASE WHEN %1 THEN 1 ELSE 0 END "
                       "FROM \":TSTOCK:Doc_out.DB\" D, \":TSTOCK:Item_out.DB\" D1 WHERE (D1.Contor = D.Contor) AND "
                       "(D.Data_inregistrarii <= :Last)%2")
            .arg(within, wh);
    // An opening within +-Eps is no stock (0); a negative one stays.
    const QString grouped =
        QStringLiteral("SELECT %1, SUM(RQIn) AS RQIn, SUM(RQOut) AS RQOut, "
                       "CASE WHEN ABS(SUM(QIn) - SUM(QOut)) > :Eps THEN SUM(QIn) - SUM(QOut) ELSE 0 END AS QInit, "
                       "SUM(Moved) AS Moved FROM (%2) GROUP BY %1")
            .arg(kKey, lines);
    const QString lot = detailed ? QStringLiteral("Lot, ") : QString();
    // Each value is its line's price times its quantity, rounded once.
    return QStringLiteral("SELECT Cod_gestiune, Cod_grupa, Cod_articol, Pret_achizitie, Agent, %1RQIn, RQOut, QInit, "
                          "ROUND_MONEY(Pret_achizitie * QInit, :Dec), ROUND_MONEY(Pret_achizitie * RQIn, :Dec), "
                          "QInit + RQIn - RQOut, ROUND_MONEY(Pret_achizitie * RQOut, :Dec), "
                          "ROUND_MONEY(Pret_achizitie * (QInit + RQIn - RQOut), :Dec) FROM (%2) "
                          "WHERE ((QInit <> 0) OR (Moved > 0)) "
                          "AND NOT ((Cod_gestiune IS NULL) AND (Cod_grupa IS NULL) AND (Cod_articol IS NULL)) "
                          "ORDER BY %3")
        .arg(lot, grouped, kKey); // rows of one key written in lot order on every engine
}

// Every input (or output) line of the interval.
QString documentsSelect(bool inputs, bool warehouses)
{
    return QStringLiteral("SELECT D1.Cod_gestiune, D1.Cod_grupa, D1.Cod_articol, %1, D1.Agent, D1.Lot, D.Data_inregistrarii, "
                          "D.Numar, D.Tip, D.Data, D1.Contor, D1.Contor_secundar, D1.Cantitate "
                          "FROM \":TSTOCK:%2\" D, \":TSTOCK:%3\" D1 WHERE (D1.Contor = D.Contor) AND "
                          "(D.Data_inregistrarii >= :First) AND (D.Data_inregistrarii <= :Last)%4")
        .arg(inputs ? QStringLiteral("D1.Pret_achizitie_lei") : QStringLiteral("D1.Pret_achizitie"),
             inputs ? QStringLiteral("Doc_in.DB") : QStringLiteral("Doc_out.DB"),
             inputs ? QStringLiteral("Item_in.DB") : QStringLiteral("Item_out.DB"), warehouseCondition(warehouses));
}

} // namespace

void BuildBalance(Database& privateDb, const common::Parameters& parameters, const BalanceRequest& request,
                  const std::function<void(const QString&)>& progress)
{
    const auto show = [&](const char* text) {
        if (progress)
            progress(QString::fromLatin1(text));
    };
    if (!privateDb.fileExists())
        privateDb.createTable(TableDef{QString::fromLatin1(kWarehouseTable), {text(QStringLiteral("Cod"), 4)}, {}});
    const bool warehouses = SelectionTables(privateDb).writeWarehouses(request.warehouses);
    const bool detailed = request.form == BalanceForm::Detailed;
    const QVariantHash params{{QStringLiteral("First"), request.first},
                              {QStringLiteral("Last"), request.last},
                              {QStringLiteral("Eps"), common::toleranceLimit(parameters.Epsilon)},
                              {QStringLiteral("Dec"), parameters.nrZecimaleLei}};
    AnswerTables tables(privateDb);
    show(" Calculez rulajele...");
    tables.copyQuery(balanceTableDef(request.form), balanceSelect(detailed, warehouses), params);
    show(" Finisez...");
    const QVariantHash interval{{QStringLiteral("First"), request.first}, {QStringLiteral("Last"), request.last}};
    if (detailed) {
        show(" Selectez intrarile pentru detaliu...");
        tables.copyQuery(balanceDocumentsDef(QString::fromLatin1(kBalanceInputs)), documentsSelect(true, warehouses),
                         interval);
        show(" Selectez iesirile pentru detaliu...");
        tables.copyQuery(balanceDocumentsDef(QString::fromLatin1(kBalanceOutputs)), documentsSelect(false, warehouses),
                         interval);
    } else {
        tables.remove(QString::fromLatin1(kBalanceInputs), true);
        tables.remove(QString::fromLatin1(kBalanceOutputs), true);
    }
}

bool ComputeBalance(ReportContext& ctx, QDate& first, QDate& last, QString& warehouses, BalanceForm form)
{
    QString chosenWarehouses = warehouses;
    if (!ctx.ui.selectWarehouses(chosenWarehouses))
        return false;
    QDate from = first, to = last;
    if (!ctx.ui.selectInterval(from, to))
        return false;
    warehouses = chosenWarehouses;
    first = from;
    last = to;
    ctx.ui.showWorking(QStringLiteral("Procesez datele..."));
    try {
        BuildBalance(ctx.privateDb, ctx.parameters, {first, last, warehouses, form},
                     [&](const QString& text) { ctx.ui.showProgress(text); });
    } catch (const DbError& e) {
        ctx.ui.closeWorking();
        ctx.dialogs.error(reportErrorText(e.engineText()));
        return false;
    }
    ctx.ui.showProgress(QStringLiteral(" Listez..."));
    return true;
}

namespace {

QString dateText(const QDate& date, const common::Formats& formats)
{
    return common::formatDate(QStringLiteral("dd.mm.yyyy"), date, formats);
}

// Column positions (mm, portrait A4).
constexpr double kCode = 0, kName = 17, kPrice = 51, kUnit = 64, kPairs = 71, kPair = 29.75, kQty = 11, kVal = 17.5;
const char* const kValues[] = {"VVInit", "VVin", "VVout", "VVFin"};
const char* const kQuantities[] = {"QInit", "RQIn", "RQOut", "QFin"};

double valueX(int i) { return kPairs + i * kPair + kQty + 0.5; }

void sums(Band& b, double y, bool bold)
{
    for (int i = 0; i < 4; ++i)
        b.sum(valueX(i), y, kVal, QString::fromLatin1(kValues[i]), kMoneyMask).right().bold(bold);
}

void balanceLine(Band& b)
{
    b.field(kCode, 0, kName - kCode - 1, QStringLiteral("Cod_articol"));
    b.field(kName, 0, kPrice - kName - 1, QStringLiteral("Denumire")).elide(); // a long name ends in "…" before the price
    b.field(kPrice, 0, kUnit - kPrice - 1, QStringLiteral("Pret_achizitie"), kMoneyMask).right();
    b.field(kUnit + 0.5, 0, kPairs - kUnit - 1, QStringLiteral("Unitate_masura"));
    for (int i = 0; i < 4; ++i) {
        b.field(kPairs + i * kPair, 0, kQty, QString::fromLatin1(kQuantities[i]), kQuantityMask).right();
        b.field(valueX(i), 0, kVal, QString::fromLatin1(kValues[i]), kMoneyMask).right();
    }
}

// Firm, title, warehouse, period, selection, budget and the column headings.
void balancePageHeader(Report& r, ReportContext& ctx, const QDate& first, const QDate& last,
                       const ArticleSelection& articles, const QString& budget, bool documents)
{
    Band& h = r.band(BandKind::PageHeader, 0);
    double y = addFirmHeader(h, readFirmData(ctx.db, ctx.parameters.FirmNo));
    h.label(0, y, 0, QStringLiteral("Balanta intrarilor si iesirilor pentru gestiunea")).bold().fontSize(11);
    h.field(100, y + 0.5, 90, QStringLiteral("DenGest")).bold();
    y += 6;
    h.label(0, y, 25, QStringLiteral("pentru perioada"));
    h.label(25, y, 18, dateText(first, ctx.formats)).bold();
    h.label(44, y, 3, QStringLiteral("-"));
    h.label(48, y, 18, dateText(last, ctx.formats)).bold();
    y += 4.5;
    const QString selection = articles.isEmpty()
                                  ? QStringLiteral("toate articolele din catalog")
                                  : QStringLiteral("Grupa ") + articles.groups + QStringLiteral(" Cod ") + articles.codes
                                        + QStringLiteral(" Denumire ") + articles.names;
    h.label(0, y, 190, QStringLiteral("pentru selectia: ") + selection).wrap();
    y += 4.5;
    const QString budgetText = budgetLine(ctx.db, budget);
    if (!budgetText.isEmpty()) {
        h.label(0, y, 190, budgetText);
        y += 4.5;
    }
    y += 1;
    h.line(0, y, 190, y);
    const char* const pairs[] = {"Initial", "Intrari", "Iesiri", "Final"};
    for (int i = 0; i < 4; ++i)
        h.label(kPairs + i * kPair, y + 0.5, kPair, QString::fromLatin1(pairs[i])).bold().center();
    y += 4.5;
    h.label(kCode, y, kName - 1, QStringLiteral("Cod")).bold();
    h.label(kName, y, 30, QStringLiteral("Denumire")).bold();
    h.label(kPrice, y, kUnit - kPrice - 1, QStringLiteral("Pret")).bold().right();
    h.label(kUnit + 0.5, y, 6, QStringLiteral("U.M.")).bold();
    for (int i = 0; i < 4; ++i) {
        h.label(kPairs + i * kPair, y, kQty, QStringLiteral("Cantitate")).bold().right().fontSize(6.5);
        h.label(valueX(i), y, kVal, QStringLiteral("Valoare")).bold().right();
    }
    if (documents) {
        y += 4;
        h.label(kName, y, 30, QStringLiteral("Document")).bold();
    }
    y += 4.5;
    h.line(0, y, 190, y);
    h.setHeight(y + 1);
}

void balancePageFooter(Report& r)
{
    Band& f = r.band(BandKind::PageFooter, 5);
    f.date(0, 1, 30);
    f.pageNumber(160, 1, 30, QStringLiteral("Pagina %1 din %2")).right();
}

struct BalanceRowsQuery {
    bool detailed = false;
    bool articles = false;
    bool budget = false;
    bool openingWithoutVat = false; // an interval starting on 1 January 2009
};

// The four printed values, VAT included at the article's rate, each its
// line's price times its quantity rounded once; the opening value of an
// interval starting on 1 January 2009 without VAT (VInit). `valuesOf`: the
// rows that carry values (the others print 0).
QStringList printedValues(const BalanceRowsQuery& q, const QString& valuesOf)
{
    const auto withVat = [](const char* quantity) {
        return QStringLiteral("ROUND_MONEY(A.Pret_achizitie * A.%1 * (1 + COALESCE(C.Coef_TVA, 0) / 100.0), :Dec)")
            .arg(QString::fromLatin1(quantity));
    };
    const QStringList values{q.openingWithoutVat ? QStringLiteral("A.VInit") : withVat("QInit"), withVat("RQIn"),
                             withVat("RQOut"), withVat("QFin")};
    QStringList items;
    for (int i = 0; i < 4; ++i) {
        const QString name = QString::fromLatin1(kValues[i]);
        items << (valuesOf.isEmpty() ? QStringLiteral("%1 AS %2").arg(values.at(i), name)
                                     : QStringLiteral("CASE WHEN %1 THEN %2 ELSE 0 END AS %3").arg(valuesOf, values.at(i), name));
    }
    return items;
}

// The balance lines with the article, the warehouse and the group of the
// article (the group of its class in the catalog: the first class, by code,
// that holds the group code), in the order warehouse, group, article name,
// then article code so that the lines of an article stay together.
QStringList balanceLineSql(const BalanceRowsQuery& q, const QString& valuesOf, const QString& extra)
{
    QStringList lines;
    const QString lot = q.detailed ? QStringLiteral(" A.Lot,") : QString();
    QStringList values;
    for (const char* f : {"RQIn", "RQOut", "QInit", "VInit", "Vin", "QFin", "VOut", "VFin"})
        values << (valuesOf.isEmpty() ? QStringLiteral("A.%1").arg(QString::fromLatin1(f))
                                      : QStringLiteral("CASE WHEN %1 THEN A.%2 ELSE 0 END AS %2")
                                            .arg(valuesOf, QString::fromLatin1(f)));
    values << printedValues(q, valuesOf);
    lines << QStringLiteral("SELECT A.Cod_gestiune, A.Cod_grupa, A.Cod_articol, A.Pret_achizitie, A.Agent,%1 %2,")
                 .arg(lot, values.join(QStringLiteral(", ")))
          << QStringLiteral("C.Cod, C.Denumire, C.Unitate_masura, C.Coef_TVA, G.Denumire AS DenGest,")
          << QStringLiteral("COALESCE((SELECT R.Denumire FROM GRUP R WHERE R.Cod_grupa = A.Cod_grupa "
                            "ORDER BY R.Cod_material LIMIT 1), (SELECT R.Denumire FROM GRUP R WHERE "
                            "UPPER(R.Cod_grupa) = UPPER(A.Cod_grupa) ORDER BY R.Cod_material LIMIT 1)) AS DenGrupa")
                 + extra
          << QStringLiteral("FROM ANSW_B A LEFT JOIN CATALOG C ON (A.Cod_grupa = C.Grupa) AND (A.Cod_articol = C.Cod)")
          << QStringLiteral("LEFT JOIN GEST G ON (G.Cod = A.Cod_gestiune)");
    return lines;
}

QString balanceConditions(const BalanceRowsQuery& q)
{
    QString c = q.detailed ? QStringLiteral("WHERE ((A.QInit <> 0) OR (A.RQIn <> 0) OR (A.RQOut <> 0))")
                           : QStringLiteral("WHERE (1 = 1)");
    if (q.articles)
        c += QStringLiteral(" AND EXISTS (SELECT 1 FROM SELART S WHERE (S.Grupa = A.Cod_grupa) AND (S.Cod = A.Cod_articol))");
    if (q.budget)
        c += QStringLiteral(" AND (A.Agent = :PBuget)");
    return c;
}

const QString kLineOrder =
    QStringLiteral("A.Cod_gestiune, A.Cod_grupa, C.Denumire, A.Cod_articol, A.Pret_achizitie, A.Agent");

QString simpleRowsSql(const BalanceRowsQuery& q, const QString& privateDir)
{
    QStringList lines = balanceLineSql(q, {}, {});
    // Lines of one key that differ in their lot come in the lot's order, as
    // written, on every engine.
    lines << balanceConditions(q)
          << QStringLiteral("ORDER BY ") + kLineOrder + (q.detailed ? QStringLiteral(", A.Lot") : QStringLiteral(", A.rowid"));
    QualifyAnswerTable(lines, QString::fromLatin1(kBalanceTable), privateDir);
    QualifyAnswerTable(lines, QString::fromLatin1(kArticleTable), privateDir);
    return lines.join(u'\n');
}

// One ordered statement: each balance line (Sir 0, with its values) followed
// by its input lines (Sir 1) and output lines (Sir 2) of the interval, which
// carry the line's key and names and zero values.
QString verificationRowsSql(const BalanceRowsQuery& q, const QString& privateDir)
{
    const auto doc = [](const char* field) {
        return QStringLiteral("CASE S.Sir WHEN 1 THEN B1.%1 WHEN 2 THEN B2.%1 END AS %1").arg(QString::fromLatin1(field));
    };
    const QString extra = QStringLiteral(", S.Sir, ") + doc("Tip") + QStringLiteral(", ") + doc("Numar")
                          + QStringLiteral(", ") + doc("Data") + QStringLiteral(", ") + doc("Data_inregistrarii")
                          + QStringLiteral(", ") + doc("Contor") + QStringLiteral(", ") + doc("Contor_secundar")
                          + QStringLiteral(", ") + doc("Cantitate");
    QStringList lines = balanceLineSql(q, QStringLiteral("S.Sir = 0"), extra);
    const auto match = [](const QString& b) {
        QStringList c;
        for (const QString& f : kKey.split(QStringLiteral(", ")))
            c << QStringLiteral("(%1.%2 IS A.%2)").arg(b, f);
        return c.join(QStringLiteral(" AND "));
    };
    lines << QStringLiteral("CROSS JOIN (SELECT 0 AS Sir UNION ALL SELECT 1 UNION ALL SELECT 2) S")
          << QStringLiteral("LEFT JOIN ANSW_B1 B1 ON (S.Sir = 1) AND ") + match(QStringLiteral("B1"))
          << QStringLiteral("LEFT JOIN ANSW_B2 B2 ON (S.Sir = 2) AND ") + match(QStringLiteral("B2"))
          << balanceConditions(q)
                 + QStringLiteral(" AND ((S.Sir = 0) OR (B1.Contor IS NOT NULL) OR (B2.Contor IS NOT NULL))")
          << QStringLiteral("ORDER BY ") + kLineOrder
                 + QStringLiteral(", A.Lot, S.Sir, Data_inregistrarii, Numar, Tip, Data, Contor, Contor_secundar");
    QualifyAnswerTable(lines, QString::fromLatin1(kBalanceTable), privateDir);
    QualifyAnswerTable(lines, QString::fromLatin1(kBalanceInputs), privateDir);
    QualifyAnswerTable(lines, QString::fromLatin1(kBalanceOutputs), privateDir);
    QualifyAnswerTable(lines, QString::fromLatin1(kArticleTable), privateDir);
    return lines.join(u'\n');
}

std::unique_ptr<RowSource> openBalanceRows(ReportContext& ctx, const BalanceRowsQuery& q, const QString& budget)
{
    QVariantHash params{{QStringLiteral("Dec"), ctx.parameters.nrZecimaleLei}};
    if (q.budget)
        params.insert(QStringLiteral("PBuget"), budget);
    const QString sql = q.detailed ? verificationRowsSql(q, ctx.privateDir) : simpleRowsSql(q, ctx.privateDir);
    return std::make_unique<QueryRows>(ctx.db.query(sql, params));
}

struct BalanceRun {
    QDate first;
    QDate last;
    ArticleSelection articles;
    bool selected = false;
    QString budget;
    bool groupTotalsOnly = false;
};

PreparedReport buildBalance(ReportContext& ctx, const BalanceRun& run, bool detailed)
{
    auto r = std::make_unique<Report>();
    r->formats(ctx.formats).title(QStringLiteral("Balanta intrarilor si iesirilor"));
    balancePageHeader(*r, ctx, run.first, run.last, run.articles, run.budget, detailed);

    Group& wh = r->group(QStringLiteral("Cod_gestiune")).newPage();
    Group& gr = r->group(QStringLiteral("Cod_grupa"));
    Band& gh = gr.header(5);
    gh.field(kCode, 0.5, 16, QStringLiteral("Cod_grupa")).bold();
    gh.field(kName, 0.5, 120, QStringLiteral("DenGrupa")).bold();

    if (!detailed) {
        Band& af = r->group(QStringLiteral("Cod_articol")).footer(5);
        af.field(kCode, 0.5, kName - 1, QStringLiteral("Cod_articol")).italic();
        af.field(kName, 0.5, kPrice - kName - 1, QStringLiteral("Denumire")).italic().elide();
        af.label(kPrice, 0.5, kPairs - kPrice - 1, QStringLiteral("Total")).italic().right();
        sums(af, 0.5, false);
        af.line(kPairs, 0.3, 190, 0.3, 0.1);
        af.setEnabled(!run.groupTotalsOnly);
        Band& d = r->band(BandKind::Detail, 4.5);
        balanceLine(d);
        d.setEnabled(!run.groupTotalsOnly);
    } else {
        // The balance line heads the documents that moved it.
        Group& line = r->group([](const Row& row) {
            return QVariant(QStringList{row.text("Cod_gestiune"), row.text("Cod_grupa"), row.text("Cod_articol"),
                                        QString::number(row.number("Pret_achizitie"), 'g', 17), row.text("Agent"),
                                        row.text("Lot")}
                                .join(QChar(0x1f)));
        });
        Band& lh = line.header(4.5);
        balanceLine(lh);
        lh.setEnabled(!run.groupTotalsOnly);
        Band& d = r->band(BandKind::Detail, 4);
        d.printWhen([](const Row& row) { return row.number("Sir") > 0; });
        d.field(kName + 3, 0, 8, QStringLiteral("Tip")).italic();
        d.field(kName + 12, 0, 12, QStringLiteral("Numar"), QStringLiteral("0")).italic().right();
        d.calc(
             kName + 26, 0, 18, [](const Row& row) { return QVariant(QDate::fromString(row.text("Data").left(10), Qt::ISODate)); },
             QStringLiteral("dd.mm.yyyy"))
            .italic();
        d.calc(
             kPairs + kPair, 0, kQty,
             [](const Row& row) { return row.number("Sir") == 1 ? QVariant(row.number("Cantitate")) : QVariant(); },
             kQuantityMask)
            .italic()
            .right();
        d.calc(
             kPairs + 2 * kPair, 0, kQty,
             [](const Row& row) { return row.number("Sir") == 2 ? QVariant(row.number("Cantitate")) : QVariant(); },
             kQuantityMask)
            .italic()
            .right();
        d.setEnabled(!run.groupTotalsOnly);
    }

    Band& gf = gr.footer(6);
    if (detailed) {
        gf.label(kCode, 1, 16, QStringLiteral("TOTAL")).bold();
        gf.field(kName, 1, kPairs - kName - 1, QStringLiteral("DenGrupa")).bold();
    } else {
        gf.label(kCode, 1, 40, QStringLiteral("TOTAL GRUPA:")).bold();
    }
    sums(gf, 1, true);
    gf.line(0, 0.5, 190, 0.5);
    Band& wf = wh.footer(7);
    wf.label(kCode, 1.5, 50, QStringLiteral("TOTAL GESTIUNE:")).bold();
    sums(wf, 1.5, true);
    wf.line(0, 1, 190, 1);
    Band& s = r->band(BandKind::Summary, 8);
    s.label(kCode, 2, 50, QStringLiteral("TOTAL GENERAL:")).bold();
    sums(s, 2, true);
    s.line(0, 1, 190, 1, 0.4);
    balancePageFooter(*r);

    BalanceRowsQuery q;
    q.detailed = detailed;
    q.articles = run.selected;
    q.budget = !run.budget.isEmpty();
    q.openingWithoutVat = run.first == QDate(2009, 1, 1);
    return {std::move(r), openBalanceRows(ctx, q, run.budget)};
}

bool runBalance(ReportContext& ctx, BalanceForm form)
{
    const bool detailed = form == BalanceForm::Detailed;
    useDefaultPrintParameters(ctx, prints::PageOrientation::Portrait);
    BalanceRun run;
    if (!ctx.ui.selectArticles(run.articles)) {
        ctx.ui.showProgress(QStringLiteral(" OK."));
        return false;
    }
    ctx.selection.articles = run.articles;
    if (!ComputeBalance(ctx, ctx.selection.from, ctx.selection.to, ctx.selection.warehouses, form)) {
        ctx.ui.showProgress(QStringLiteral(" OK."));
        return false;
    }
    ctx.ui.closeWorking();
    if (!detailed)
        ctx.ui.showProgress(QStringLiteral(" OK."));
    if (!ctx.ui.printSetup(ctx.printSettings)) {
        ctx.ui.showProgress(QStringLiteral(" OK."));
        return false;
    }
    if (!chooseBudget(ctx, run.budget))
        return false;
    ctx.selection.budget = run.budget;
    run.first = ctx.selection.from;
    run.last = ctx.selection.to;
    run.selected = SelectionTables(ctx.privateDb).writeArticles(run.articles);
    try {
        ctx.privateDb.exec(QStringLiteral("DELETE FROM ANSW_B WHERE (ABS(QInit) <= :Eps) AND (ABS(RQIn) <= :Eps) "
                                          "AND (ABS(RQOut) <= :Eps)"),
                           {{QStringLiteral("Eps"), common::toleranceLimit(ctx.parameters.Epsilon)}});
    } catch (const DbError& e) {
        ctx.dialogs.error(reportErrorText(e.engineText()));
        return false;
    }
    run.groupTotalsOnly = ctx.ui.askGroupTotalsOnly();
    const bool shown =
        finishReport(ctx, [&] { return buildBalance(ctx, run, detailed); }, detailed ? QString::fromLatin1(kBalanceTable) : QString());
    if (shown && detailed) {
        AnswerTables tables(ctx.privateDb);
        tables.remove(QString::fromLatin1(kBalanceInputs), true);
        tables.remove(QString::fromLatin1(kBalanceOutputs), true);
    }
    return shown;
}

} // namespace

bool TurnoverBalance(ReportContext& ctx)
{
    return runBalance(ctx, BalanceForm::Simple);
}

bool VerificationBalance(ReportContext& ctx)
{
    return runBalance(ctx, BalanceForm::Detailed);
}

} // namespace reports
