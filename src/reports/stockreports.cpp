#include "stockreports.h"

#include "answertables.h"
#include "crosstab.h"
#include "stockatdate.h"

#include "catalogs/rates.h"
#include "common/rounding.h"
#include "common/tolerance.h"
#include "datastore/dberror.h"
#include "datastore/tabledef.h"

#include <QHash>

namespace reports {

using namespace reportengine;

namespace {

// One column of a listing: where it prints, its heading and what it shows.
struct Column {
    double x;
    double width;
    QString heading;
    QString field; // empty: a column left blank, filled in by hand
    QString mask;
    bool right = false;
};

void headings(Band& band, double y, const QList<Column>& columns)
{
    for (const Column& c : columns) {
        Element& e = band.label(c.x, y, c.width, c.heading).bold().wrap();
        if (c.right)
            e.right();
    }
}

void details(Band& band, const QList<Column>& columns)
{
    for (const Column& c : columns) {
        if (c.field.isEmpty())
            continue;
        Element& e = band.field(c.x, 0, c.width, c.field, c.mask);
        if (c.right)
            e.right();
    }
}

QString dateText(const QDate& date, const common::Formats& formats)
{
    return common::formatDate(QStringLiteral("dd.mm.yyyy"), date, formats);
}

// The rates of the stock reports in currency: the latest rate of each
// currency (GetLatestRate), read once per currency and run of the program
// into the context's rate cache (a cache of this report when the context
// has none). Every currency of the catalog and the reference currency are
// read before the report lays out its rows; an empty currency is the lei
// (1), a currency without a rate 0.
class RateTable {
public:
    RateTable(ReportContext& ctx) : m_cache(ctx.rates ? ctx.rates : &m_own)
    {
        QStringList currencies{ctx.parameters.CVal};
        datastore::Query q = ctx.db.query(QStringLiteral("SELECT DISTINCT Moneda FROM CATALOG WHERE Moneda IS NOT NULL"));
        while (q.next())
            currencies << q.value(0).toString();
        std::unique_ptr<datastore::Dataset> table;
        for (const QString& currency : currencies) {
            if (currency.isEmpty() || m_rates.contains(currency.toCaseFolded()))
                continue;
            if (!m_cache->find(currency) && !table)
                table = catalogs::OpenRateTable(ctx.db);
            m_rates.insert(currency.toCaseFolded(), table ? catalogs::GetLatestRate(*m_cache, *table, currency)
                                                          : *m_cache->find(currency));
        }
    }
    double rate(const QString& currency) const
    {
        if (currency.isEmpty())
            return 1;
        return m_rates.value(currency.toCaseFolded(), 0);
    }

private:
    catalogs::RateCache m_own;
    catalogs::RateCache* m_cache;
    QHash<QString, double> m_rates; // folded code -> rate
};

QString warehouseName(datastore::Database& db, const QString& code)
{
    return db.scalar(QStringLiteral("SELECT Denumire FROM \"Gest.db\" WHERE Cod = :c"), {{QStringLiteral("c"), code}})
        .toString();
}

// How the rows of ANSW_ST are read.
enum class Rows {
    PerKey,   // one line per key of ANSW_ST
    PerPrice, // summed per warehouse, group, article and price
    PerLot,   // summed per warehouse, group, article and lot
};

struct StockRowsQuery {
    Rows rows = Rows::PerKey;
    bool warehouses = false;
    bool budget = false;
    bool articles = false;
    QString orderBy;
};

// The report statement over ANSW_ST, the catalog, the warehouse and the
// group name; selections joined through the private selection tables.
QString stockRowsSql(const StockRowsQuery& q, const QString& privateDir)
{
    const bool perKey = q.rows == Rows::PerKey;
    const QString qIn = perKey ? QStringLiteral("A.QIn") : QStringLiteral("SUM(A.QIn) AS QIn");
    const QString qOut = perKey ? QStringLiteral("A.QOut") : QStringLiteral("SUM(A.QOut) AS QOut");
    const QString price = q.rows == Rows::PerLot ? QStringLiteral("MIN(A.Pret_achizitie) AS Pret_achizitie")
                                                 : QStringLiteral("A.Pret_achizitie");
    const QString lot = q.rows == Rows::PerPrice ? QStringLiteral("MIN(A.Lot) AS Lot") : QStringLiteral("A.Lot");
    const QString agent = perKey ? QStringLiteral("A.Agent") : QStringLiteral("MIN(A.Agent) AS Agent");
    QStringList lines;
    lines << QStringLiteral("SELECT A.Cod_gestiune, A.Cod_grupa, A.Cod_articol, %1, %2, %3, %4, %5,").arg(price, lot, agent, qIn, qOut)
          << QStringLiteral("C.Denumire, C.Unitate_masura, C.Pret_vinzare, C.Moneda, C.Coef_TVA, G.Denumire AS DenGest, G.Gestionar,")
          << QStringLiteral("(SELECT MIN(R.Denumire) FROM GRUP R WHERE R.Cod_grupa = A.Cod_grupa) AS DenGrupa,")
          // The budget of a grouped row is its first one (an ungrouped column
          // of the outer query is no key of a subquery on every server).
          << QStringLiteral("(SELECT MIN(K.Nume_client) FROM CLIENT K WHERE K.Cod_client = %1) AS DenBuget")
                 .arg(perKey ? QStringLiteral("A.Agent") : QStringLiteral("MIN(A.Agent)"))
          << QStringLiteral("FROM ANSW_ST A LEFT JOIN CATALOG C ON (A.Cod_grupa = C.Grupa) AND (A.Cod_articol = C.Cod)")
          << QStringLiteral("LEFT JOIN GEST G ON (G.Cod = A.Cod_gestiune)")
          << QStringLiteral("WHERE ((A.QIn - A.QOut < -:Eps) OR (A.QIn - A.QOut > :Eps))")
          << (q.warehouses ? QStringLiteral(" AND (A.Cod_gestiune IN (SELECT Cod FROM SELGEST))") : QString())
          << (q.budget ? QStringLiteral(" AND (A.Agent = :PBuget)") : QString())
          << (q.articles ? QStringLiteral(" AND EXISTS (SELECT 1 FROM SELART S WHERE (S.Grupa = A.Cod_grupa) AND (S.Cod = A.Cod_articol))")
                         : QString());
    if (q.rows == Rows::PerPrice)
        lines << QStringLiteral("GROUP BY A.Cod_gestiune, A.Cod_grupa, A.Cod_articol, A.Pret_achizitie");
    else if (q.rows == Rows::PerLot)
        lines << QStringLiteral("GROUP BY A.Cod_gestiune, A.Cod_grupa, A.Cod_articol, A.Lot");
    if (!perKey)
        lines << QStringLiteral("HAVING (SUM(A.QIn) - SUM(A.QOut) < -:Eps) OR (SUM(A.QIn) - SUM(A.QOut) > :Eps)");
    // The rest of the key last: rows equal in the chosen order come in the
    // same order whatever the engine.
    const QString rest = perKey                     ? QStringLiteral(", A.Pret_achizitie, A.Lot, A.Agent")
        : q.rows == Rows::PerPrice                  ? QStringLiteral(", A.Pret_achizitie")
                                                    : QStringLiteral(", A.Lot");
    lines << QStringLiteral("ORDER BY ") + q.orderBy + rest;
    QualifyAnswerTable(lines, QString::fromLatin1(kStockTable), privateDir);
    QualifyAnswerTable(lines, QString::fromLatin1(kWarehouseTable), privateDir);
    QualifyAnswerTable(lines, QString::fromLatin1(kArticleTable), privateDir);
    return lines.join(u'\n');
}

std::unique_ptr<RowSource> openRows(ReportContext& ctx, const StockRowsQuery& q, const QString& budget)
{
    QVariantHash params{{QStringLiteral("Eps"), common::toleranceLimit(ctx.parameters.Epsilon)}};
    if (q.budget)
        params.insert(QStringLiteral("PBuget"), budget);
    return std::make_unique<QueryRows>(ctx.db.query(stockRowsSql(q, ctx.privateDir), params));
}

std::unique_ptr<Report> newReport(ReportContext& ctx, const QString& title)
{
    auto r = std::make_unique<Report>();
    r->formats(ctx.formats).title(title);
    r->calculated(QStringLiteral("Cantitate"), [](const Row& row) { return row.number("QIn") - row.number("QOut"); });
    return r;
}

// Every value of a line is rounded once to "Nr zecimale lei" from its own
// factors (never from another rounded value), so that every total, the sum
// of the values printed above it, can be checked with a pencil.

// Valoare: the acquisition value.
void addAcquisitionValue(Report& r, const common::Parameters& parameters)
{
    const int decimals = parameters.nrZecimaleLei;
    r.calculated(QStringLiteral("Valoare"), [decimals](const Row& row) {
        return common::lineValue(row.number("Cantitate"), row.number("Pret_achizitie"), decimals);
    });
}

// VVal: the sale value; DifVal: the mark-up.
void addSaleValue(Report& r, const common::Parameters& parameters, std::shared_ptr<RateTable> rates)
{
    const bool calc = parameters.SellPrice == common::SellPriceMode::Calc;
    const int decimals = parameters.nrZecimaleLei;
    r.calculated(QStringLiteral("VVal"), [calc, rates, decimals](const Row& row) {
        if (calc)
            return common::roundMoney(
                row.number("Pret_achizitie") * row.number("Cantitate") * (1 + row.number("Pret_vinzare") / 100), decimals);
        return common::roundMoney(row.number("Pret_vinzare") * row.number("Cantitate") * rates->rate(row.text("Moneda")),
                                  decimals);
    });
    r.calculated(QStringLiteral("DifVal"), [decimals](const Row& row) {
        return common::roundMoney(row.number("VVal") - row.number("Valoare"), decimals);
    });
}

// The currency reports: Valoare in the article's currency, ValoareLei, ValoareUSD.
void addCurrencyValues(Report& r, const common::Parameters& parameters, std::shared_ptr<RateTable> rates)
{
    const QString reference = parameters.CVal;
    const int decimals = parameters.nrZecimaleLei;
    const auto inCurrency = [](const Row& row) { return row.number("Pret_vinzare") * row.number("Cantitate"); };
    r.calculated(QStringLiteral("Valoare"),
                 [=](const Row& row) { return common::roundMoney(inCurrency(row), decimals); });
    r.calculated(QStringLiteral("ValoareLei"), [=](const Row& row) {
        return common::roundMoney(inCurrency(row) * rates->rate(row.text("Moneda")), decimals);
    });
    r.calculated(QStringLiteral("ValoareUSD"), [=](const Row& row) {
        return common::roundMoney(divideOrZero(inCurrency(row) * rates->rate(row.text("Moneda")), rates->rate(reference)),
                                  decimals);
    });
}

// The common first lines of a page header: firm, title, warehouse and date.
// The article group inside a warehouse: its code and name above its rows,
// "Total pe grupa" with its code below them. The footer is returned for the
// report's own sums.
Band& articleGroupBands(Report& r)
{
    Group& gr = r.group(QStringLiteral("Cod_grupa"));
    Band& gh = gr.header(5);
    gh.label(0, 0, 15, QStringLiteral("Grupa :")).bold();
    gh.field(16, 0, 20, QStringLiteral("Cod_grupa")).bold();
    gh.field(37, 0, 100, QStringLiteral("DenGrupa")).bold();
    Band& gf = gr.footer(6);
    gf.label(0, 0, 30, QStringLiteral("Total pe grupa : ")).bold();
    gf.field(31, 0, 20, QStringLiteral("Cod_grupa"));
    return gf;
}

double stockPageHeader(Band& h, ReportContext& ctx, const QString& title, const QDate& date, const QString& budgetText,
                       bool warehouseLine, bool keeper)
{
    const FirmData firm = readFirmData(ctx.db, ctx.parameters.FirmNo);
    double y = addFirmHeader(h, firm);
    h.label(0, y, 0, title).bold().fontSize(12);
    if (warehouseLine) {
        h.field(95, y + 1, 80, QStringLiteral("DenGest")).bold();
        if (keeper)
            h.field(95, y + 5, 80, QStringLiteral("Gestionar"));
    }
    y += 9;
    h.label(0, y, 15, QStringLiteral("la data"));
    h.label(15, y, 25, dateText(date, ctx.formats)).bold();
    h.label(45, y, 120, budgetText);
    return y + 6;
}

// ---------------------------------------------------------------------------

PreparedReport buildInventoryList(ReportContext& ctx, const QDate& date, bool warehouses, const QString& budget,
                                  bool signaturesOnEveryPage)
{
    auto r = newReport(ctx, QStringLiteral("Lista de inventariere"));
    addAcquisitionValue(*r, ctx.parameters);
    const int decimals = ctx.parameters.nrZecimaleLei;
    r->calculated(QStringLiteral("VVal"), [decimals](const Row& row) {
        return common::roundMoney(
            row.number("Pret_achizitie") * row.number("Cantitate") * (1 + row.number("Coef_TVA") / 100), decimals);
    });
    const QList<Column> cols{
        {0, 8, QStringLiteral("Nr. crt."), {}, {}, true},
        {9, 27, QStringLiteral("   Cod articol  (nr. de inventar)"), QStringLiteral("Cod_articol"), {}},
        {37, 56, QStringLiteral("Denumire produs"), QStringLiteral("Denumire"), {}},
        {94, 22, QStringLiteral("Lot (data folosinta)"), QStringLiteral("Lot"), {}},
        {117, 8, QStringLiteral("U.M."), QStringLiteral("Unitate_masura"), {}},
        {126, 16, QStringLiteral("Scriptic"), QStringLiteral("Cantitate"), kQuantityMask, true},
        {143, 13, QStringLiteral("Faptic"), {}, {}, true},
        {157, 13, QStringLiteral("Dif. plus"), {}, {}, true},
        {171, 13, QStringLiteral("Dif. min."), {}, {}, true},
        {185, 17, QStringLiteral(" Pret unitar"), QStringLiteral("Pret_achizitie"), kMoneyMask, true},
        {203, 19, QStringLiteral("Valoare"), QStringLiteral("VVal"), kMoneyMask, true},
        {223, 11, QStringLiteral("Dif. pl"), {}, {}, true},
        {235, 11, QStringLiteral("Dif. min"), {}, {}, true},
        {247, 19, QStringLiteral("  Valoare de inventar"), QStringLiteral("VVal"), kMoneyMask, true},
        {267, 10, QStringLiteral("Coef. uzura"), {}, {}, true},
    };
    Band& h = r->band(BandKind::PageHeader, 0);
    double y = stockPageHeader(h, ctx, QStringLiteral("Lista de inventariere"), date, budgetLine(ctx.db, budget), true, true);
    h.label(126, y, 60, QStringLiteral("Stoc cantitativ")).bold();
    h.label(203, y, 45, QStringLiteral("Stoc valoric")).bold();
    headings(h, y + 4, cols);
    h.line(0, y + 12, 277, y + 12);
    h.setHeight(y + 13);

    const FirmData firm = readFirmData(ctx.db, ctx.parameters.FirmNo);
    Group& wh = r->group(QStringLiteral("Cod_gestiune")).newPage();
    Band& gf = articleGroupBands(*r);
    gf.field(52, 0, 100, QStringLiteral("DenGrupa"));
    gf.sum(247, 0, 19, QStringLiteral("VVal"), kMoneyMask).right().bold();
    Band& wf = wh.footer(0);
    wf.label(0, 1, 35, QStringLiteral("Total pe gestiunea ")).bold();
    wf.field(36, 1, 80, QStringLiteral("DenGest")).bold();
    wf.sum(247, 1, 19, QStringLiteral("VVal"), kMoneyMask).right().bold();
    wf.setHeight(addSignatureBlock(wf, 8, firm, QStringLiteral("Gestionar")));

    Band& d = r->band(BandKind::Detail, 4.5);
    d.count(cols[0].x, 0, cols[0].width).resetAfter(wf).right();
    details(d, cols);
    Band& s = r->band(BandKind::Summary, 7);
    s.label(0, 1, 40, QStringLiteral("Total general")).bold();
    s.sum(247, 1, 19, QStringLiteral("VVal"), kMoneyMask).right().bold();
    addInventoryPageFooter(*r, signaturesOnEveryPage, date, ctx.formats);

    StockRowsQuery q;
    q.warehouses = warehouses;
    q.budget = !budget.isEmpty();
    q.orderBy = QStringLiteral("A.Cod_gestiune, A.Cod_grupa, C.Denumire, A.Cod_articol");
    return {std::move(r), openRows(ctx, q, budget)};
}

PreparedReport buildStockSituation(ReportContext& ctx, const QDate& date, bool warehouses, const QString& budget,
                                   bool articles)
{
    auto r = newReport(ctx, QStringLiteral("Situatia stocurilor"));
    addAcquisitionValue(*r, ctx.parameters);
    const QList<Column> cols{
        {0, 25, QStringLiteral("Articol"), QStringLiteral("Cod_articol"), {}},
        {26, 64, QStringLiteral("Denumire"), QStringLiteral("Denumire"), {}},
        {91, 20, QStringLiteral("Cantitate"), QStringLiteral("Cantitate"), kQuantityMask, true},
        {113, 9, QStringLiteral("U.M."), QStringLiteral("Unitate_masura"), {}},
        {123, 20, QStringLiteral("Pret achizitie"), QStringLiteral("Pret_achizitie"), kMoneyMask, true},
        {144, 22, QStringLiteral("Valoare"), QStringLiteral("Valoare"), kMoneyMask, true},
        {168, 22, QStringLiteral("Lot"), QStringLiteral("Lot"), {}},
    };
    Band& h = r->band(BandKind::PageHeader, 0);
    double y = stockPageHeader(h, ctx, QStringLiteral("Situatia stocurilor în gestiunea :"), date,
                               budgetLine(ctx.db, budget), true, false);
    headings(h, y, cols);
    h.line(0, y + 9, 190, y + 9);
    h.setHeight(y + 10);
    Group& wh = r->group(QStringLiteral("Cod_gestiune")).newPage();
    Band& wf = wh.footer(7);
    wf.label(0, 1, 40, QStringLiteral("Total gestiune")).bold();
    wf.sum(91, 1, 20, QStringLiteral("Cantitate"), kQuantityMask).right().bold();
    wf.sum(144, 1, 22, QStringLiteral("Valoare"), kMoneyMask).right().bold();
    details(r->band(BandKind::Detail, 4.5), cols);
    Band& s = r->band(BandKind::Summary, 7);
    s.label(0, 1, 40, QStringLiteral("Total general")).bold();
    s.sum(91, 1, 20, QStringLiteral("Cantitate"), kQuantityMask).right().bold();
    s.sum(144, 1, 22, QStringLiteral("Valoare"), kMoneyMask).right().bold();
    r->band(BandKind::PageFooter, 5).pageNumber(0, 0, 0, QStringLiteral("Pagina %1 din %2"));

    StockRowsQuery q;
    q.warehouses = warehouses;
    q.budget = !budget.isEmpty();
    q.articles = articles;
    q.orderBy = QStringLiteral("A.Cod_gestiune, A.Cod_grupa, C.Denumire, A.Cod_articol");
    return {std::move(r), openRows(ctx, q, budget)};
}

// The reports in the article's currency: per price or per lot.
PreparedReport buildCurrencyReport(ReportContext& ctx, const QDate& date, bool warehouses, bool perLot)
{
    auto r = newReport(ctx, QStringLiteral("Situatia stocurilor"));
    auto rates = std::make_shared<RateTable>(ctx);
    addCurrencyValues(*r, ctx.parameters, rates);
    const QString mask = perLot ? QStringLiteral("#,##0.") : kMoneyMask;
    QList<Column> cols{
        {0, 22, QStringLiteral("Articol"), QStringLiteral("Cod_articol"), {}},
        {23, 50, QStringLiteral("Denumire"), QStringLiteral("Denumire"), {}},
        {74, 16, QStringLiteral("Cantitate"), QStringLiteral("Cantitate"), kQuantityMask, true},
        {91, 8, QStringLiteral("U.M."), QStringLiteral("Unitate_masura"), {}},
        {100, 18, QStringLiteral("Pret vînzare"), QStringLiteral("Pret_vinzare"), kMoneyMask, true},
        {119, 6, QString(), QStringLiteral("Moneda"), {}},
        {126, 20, QStringLiteral("Valoare"), QStringLiteral("Valoare"), mask, true},
        {147, 21, QStringLiteral("Valoare în lei"), QStringLiteral("ValoareLei"), mask, true},
        {169, 21, ctx.parameters.CVal, QStringLiteral("ValoareUSD"), mask, true},
    };
    if (perLot)
        cols = {
            {0, 18, QStringLiteral("Articol"), QStringLiteral("Cod_articol"), {}},
            {19, 38, QStringLiteral("Denumire"), QStringLiteral("Denumire"), {}},
            {58, 15, QStringLiteral("Cantitate"), QStringLiteral("Cantitate"), kQuantityMask, true},
            {74, 7, QStringLiteral("U.M."), QStringLiteral("Unitate_masura"), {}},
            {82, 16, QStringLiteral("Pret vînzare"), QStringLiteral("Pret_vinzare"), kMoneyMask, true},
            {99, 6, QString(), QStringLiteral("Moneda"), {}},
            {106, 17, QStringLiteral("Valoare"), QStringLiteral("Valoare"), mask, true},
            {124, 18, QStringLiteral("Valoare în lei"), QStringLiteral("ValoareLei"), mask, true},
            {143, 18, ctx.parameters.CVal, QStringLiteral("ValoareUSD"), mask, true},
            {162, 28, QStringLiteral("Lot"), QStringLiteral("Lot"), {}},
        };
    Band& h = r->band(BandKind::PageHeader, 0);
    double y = stockPageHeader(h, ctx, QStringLiteral("Situatia stocurilor în gestiunea :"), date, QString(), true, false);
    headings(h, y, cols);
    h.line(0, y + 9, 190, y + 9);
    h.setHeight(y + 10);
    const double lei = cols[7].x, ref = cols[8].x, w = cols[7].width;
    Group& wh = r->group(QStringLiteral("Cod_gestiune")).newPage();
    Band& gf = articleGroupBands(*r);
    gf.sum(lei, 0, w, QStringLiteral("ValoareLei"), mask).right();
    gf.sum(ref, 0, w, QStringLiteral("ValoareUSD"), mask).right();
    Band& wf = wh.footer(7);
    wf.label(0, 1, 40, QStringLiteral("Total pe gestiune")).bold();
    wf.sum(lei, 1, w, QStringLiteral("ValoareLei"), mask).right().bold();
    wf.sum(ref, 1, w, QStringLiteral("ValoareUSD"), mask).right().bold();
    details(r->band(BandKind::Detail, 4.5), cols);
    Band& s = r->band(BandKind::Summary, 7);
    s.label(0, 1, 40, QStringLiteral("Total general")).bold();
    s.sum(lei, 1, w, QStringLiteral("ValoareLei"), mask).right().bold();
    s.sum(ref, 1, w, QStringLiteral("ValoareUSD"), mask).right().bold();
    r->band(BandKind::PageFooter, 5).pageNumber(0, 0, 0, QStringLiteral("Pagina %1 din %2"));

    StockRowsQuery q;
    q.rows = perLot ? Rows::PerLot : Rows::PerPrice;
    q.warehouses = warehouses;
    q.orderBy = perLot ? QStringLiteral("A.Cod_gestiune, A.Cod_grupa, C.Denumire, A.Cod_articol, A.Lot")
                       : QStringLiteral("A.Cod_gestiune, A.Cod_grupa, C.Denumire, A.Cod_articol, A.Pret_achizitie");
    return {std::move(r), openRows(ctx, q, QString())};
}

// Sale value and mark-up, per key: per lot ("in Lei") or per budget.
PreparedReport buildSaleValueReport(ReportContext& ctx, const QDate& date, bool warehouses, const QString& budget,
                                    bool perBudget, bool withLot)
{
    auto r = newReport(ctx, QStringLiteral("Situatia stocurilor"));
    addAcquisitionValue(*r, ctx.parameters);
    addSaleValue(*r, ctx.parameters, std::make_shared<RateTable>(ctx));
    QList<Column> cols{
        {0, 20, QStringLiteral("Articol"), QStringLiteral("Cod_articol"), {}},
        {21, 48, QStringLiteral("Denumire"), QStringLiteral("Denumire"), {}},
        {70, 15, QStringLiteral("Cantitate"), QStringLiteral("Cantitate"), kQuantityMask, true},
        {86, 8, QStringLiteral("U.M."), QStringLiteral("Unitate_masura"), {}},
        {95, 16, QStringLiteral("Pret achizitie"), QStringLiteral("Pret_achizitie"), kMoneyMask, true},
        {112, 17, QStringLiteral("Valoare"), QStringLiteral("Valoare"), kMoneyMask, true},
        {130, 19, QStringLiteral("Valoare vînzare"), QStringLiteral("VVal"), kMoneyMask, true},
        {150, 19, QStringLiteral("Adaos comercial"), QStringLiteral("DifVal"), kMoneyMask, true},
    };
    if (withLot)
        cols << Column{170, 20, QStringLiteral("Lot"), QStringLiteral("Lot"), {}};
    Band& h = r->band(BandKind::PageHeader, 0);
    const QString title = perBudget ? QStringLiteral("Situatia stocurilor pe bugetul :")
                                    : QStringLiteral("Situatia stocurilor în gestiunea :");
    double y = stockPageHeader(h, ctx, title, date, QString(), !perBudget, false);
    if (perBudget) {
        h.field(95, y - 14, 20, QStringLiteral("Agent")).bold();
        h.field(110, y - 14, 80, QStringLiteral("DenBuget")).bold();
    }
    headings(h, y, cols);
    h.line(0, y + 9, 190, y + 9);
    h.setHeight(y + 10);
    const auto totals = [](Band& b, double top, bool bold) {
        b.sum(112, top, 17, QStringLiteral("Valoare"), kMoneyMask).right().bold(bold);
        b.sum(130, top, 19, QStringLiteral("VVal"), kMoneyMask).right().bold(bold);
        b.sum(150, top, 19, QStringLiteral("DifVal"), kMoneyMask).right().bold(bold);
    };
    if (perBudget) {
        Group& ag = r->group(QStringLiteral("Agent")).newPage();
        Band& af = ag.footer(7);
        af.label(0, 1, 40, QStringLiteral("Total pe buget")).bold();
        totals(af, 1, true);
    }
    Group& wh = r->group(QStringLiteral("Cod_gestiune"));
    if (!perBudget)
        wh.newPage();
    if (perBudget) {
        Band& whh = wh.header(5);
        whh.label(0, 0, 20, QStringLiteral("Gestiunea :")).bold();
        whh.field(21, 0, 80, QStringLiteral("DenGest")).bold();
    }
    Band& gf = articleGroupBands(*r);
    totals(gf, 0, false);
    Band& wf = wh.footer(7);
    wf.label(0, 1, 40, perBudget ? QStringLiteral("Total pe gestiune") : QStringLiteral("Total pe Gestiune")).bold();
    totals(wf, 1, true);
    details(r->band(BandKind::Detail, 4.5), cols);
    Band& s = r->band(BandKind::Summary, 7);
    s.label(0, 1, 40, QStringLiteral("Total general")).bold();
    totals(s, 1, true);
    r->band(BandKind::PageFooter, 5).pageNumber(0, 0, 0, QStringLiteral("Pagina %1 din %2"));

    StockRowsQuery q;
    q.warehouses = warehouses;
    q.budget = !budget.isEmpty();
    q.orderBy = perBudget ? QStringLiteral("A.Agent, A.Cod_gestiune, A.Cod_grupa, C.Denumire, A.Cod_articol, A.Pret_achizitie")
                          : QStringLiteral("A.Cod_gestiune, A.Cod_grupa, C.Denumire, A.Cod_articol, A.Pret_achizitie");
    return {std::move(r), openRows(ctx, q, budget)};
}

// Runs a report over the stock at a date: warehouses and date, print
// settings, the report.
bool runAtDate(ReportContext& ctx, const std::function<PreparedReport(bool warehouses)>& build)
{
    if (!ComputeStockAtDate(ctx, ctx.selection.stockDate, ctx.selection.warehouses))
        return false;
    if (!ctx.ui.printSetup(ctx.printSettings))
        return false;
    ctx.ui.showProgress(QStringLiteral("Listez..."));
    const bool warehouses = SelectionTables(ctx.privateDb).writeWarehouses(ctx.selection.warehouses);
    return finishReport(ctx, [&] { return build(warehouses); }, QString::fromLatin1(kStockTable));
}

} // namespace

bool PrepareStockAtDatePrint(ReportContext& ctx, QString& budget)
{
    if (!ComputeStockAtDate(ctx, ctx.selection.stockDate, ctx.selection.warehouses))
        return false;
    if (!ctx.ui.printSetup(ctx.printSettings))
        return false;
    ctx.ui.showProgress(QStringLiteral("Listez..."));
    if (!chooseBudget(ctx, budget))
        return false;
    ctx.selection.budget = budget;
    return true;
}

QStringList stockTotalsSortFields()
{
    return {QStringLiteral("Denumire"), QStringLiteral("Descriere")};
}

bool InventoryList(ReportContext& ctx)
{
    useDefaultPrintParameters(ctx, prints::PageOrientation::Landscape);
    QString budget;
    if (!PrepareStockAtDatePrint(ctx, budget))
        return false;
    const bool signatures = ctx.ui.askSignaturesOnEveryPage();
    const bool warehouses = SelectionTables(ctx.privateDb).writeWarehouses(ctx.selection.warehouses);
    return finishReport(
        ctx, [&] { return buildInventoryList(ctx, ctx.selection.stockDate, warehouses, budget, signatures); },
        QString::fromLatin1(kStockTable));
}

bool StockSituation(ReportContext& ctx)
{
    useDefaultPrintParameters(ctx, prints::PageOrientation::Portrait);
    ArticleSelection articles;
    if (!ctx.ui.selectArticles(articles))
        return false;
    ctx.selection.articles = articles;
    QString budget;
    if (!PrepareStockAtDatePrint(ctx, budget))
        return false;
    SelectionTables tables(ctx.privateDb);
    const bool warehouses = tables.writeWarehouses(ctx.selection.warehouses);
    const bool selected = tables.writeArticles(articles);
    return finishReport(
        ctx, [&] { return buildStockSituation(ctx, ctx.selection.stockDate, warehouses, budget, selected); },
        QString::fromLatin1(kStockTable));
}

bool StockInCurrency(ReportContext& ctx)
{
    return runAtDate(ctx, [&](bool w) { return buildCurrencyReport(ctx, ctx.selection.stockDate, w, false); });
}

bool StockPerLotInCurrency(ReportContext& ctx)
{
    return runAtDate(ctx, [&](bool w) { return buildCurrencyReport(ctx, ctx.selection.stockDate, w, true); });
}

bool StockPerLot(ReportContext& ctx)
{
    return runAtDate(ctx, [&](bool w) {
        return buildSaleValueReport(ctx, ctx.selection.stockDate, w, QString(), false, true);
    });
}

bool StockPerBudget(ReportContext& ctx, bool withLot)
{
    // The lines' Agent is their budget: the budget chosen restricts the
    // lines (inputs and outputs alike) and the report groups by budget.
    QString budget;
    if (!ctx.ui.selectBudget(budget))
        return false;
    ctx.selection.budget = budget;
    if (!ComputeStockAtDate(ctx, ctx.selection.stockDate, ctx.selection.warehouses, true, budget))
        return false;
    if (!ctx.ui.printSetup(ctx.printSettings))
        return false;
    ctx.ui.showProgress(QStringLiteral("Listez..."));
    const bool warehouses = SelectionTables(ctx.privateDb).writeWarehouses(ctx.selection.warehouses);
    return finishReport(
        ctx,
        [&] { return buildSaleValueReport(ctx, ctx.selection.stockDate, warehouses, budget, true, withLot); },
        QString::fromLatin1(kStockTable));
}

// ---------------------------------------------------------------------------

namespace {

const QString kTotalsTable = QStringLiteral("ANSW");
const QString kCrossTable = QStringLiteral("CROSSTAB");

// ANSW_ST per article and warehouse with Q, CROSSTAB and ANSW. Returns the
// warehouse codes of the crosstab columns, in column order.
std::optional<QStringList> computeTotals(ReportContext& ctx, const QDate& date)
{
    using namespace datastore;
    ctx.ui.showWorking(QStringLiteral("Procesez datele..."));
    ctx.ui.showProgress(QStringLiteral(" Insumez intrarile si stocurile initiale..."));
    if (!BuildStockAtDate(ctx.privateDb, ctx.parameters, {date, QString(), QString(), StockKey::PerArticle}))
        return std::nullopt;
    AnswerTables tables(ctx.privateDb);
    ctx.ui.showProgress(QStringLiteral(" Elimin stocurile nule..."));
    // ANSW_ST already holds only the keys outside +-Eps: Q is their stock.
    tables.copyQuery(TableDef{QStringLiteral("ANSW_ST1"),
                              {text(QStringLiteral("Cod_Gestiune"), 4), text(QStringLiteral("Cod_grupa"), 8),
                               text(QStringLiteral("Cod_articol"), 30), floating(QStringLiteral("Q"))},
                              {}},
                     QStringLiteral("SELECT Cod_gestiune, Cod_grupa, Cod_articol, QIn - QOut FROM ANSW_ST"));
    tables.remove(QString::fromLatin1(kStockTable));
    ctx.privateDb.renameTable(QStringLiteral("ANSW_ST1"), QString::fromLatin1(kStockTable));
    ctx.ui.showProgress(QStringLiteral("Crosstabing..."));
    TCrossTab ct(ctx.privateDb);
    ct.SourceTable = QString::fromLatin1(kStockTable);
    ct.RowLabelFields = QStringLiteral("Cod_grupa;Cod_articol");
    ct.ColLabelField = QStringLiteral("Cod_Gestiune");
    ct.ValueFields = QStringLiteral("Q");
    ct.Operation = ctSum;
    ct.TableName = kCrossTable;
    ct.Open();
    ctx.privateDb.addIndex(kCrossTable, secondary(QStringLiteral("ByArticle"), QStringLiteral("Cod_grupa;Cod_articol"), false));
    ctx.ui.showProgress(QStringLiteral(" Totaluri..."));
    tables.copyQuery(TableDef{kTotalsTable,
                              {text(QStringLiteral("Cod_grupa"), 8), text(QStringLiteral("Cod_articol"), 30),
                               floating(QStringLiteral("Cantitate")), text(QStringLiteral("Unitate_masura"), 4),
                               floating(QStringLiteral("Pret_vinzare")), text(QStringLiteral("Moneda"), 3),
                               memo(QStringLiteral("Den"), 255)},
                              {}},
                     QStringLiteral("SELECT A.Cod_grupa, A.Cod_articol, SUM(A.Q), MIN(C.Unitate_masura), MIN(C.Pret_vinzare), "
                                    "MIN(C.Moneda), NULL FROM ANSW_ST A LEFT JOIN \":TSTOCK:Catalog.DB\" C "
                                    "ON (A.Cod_grupa = C.Grupa) AND (A.Cod_articol = C.Cod) "
                                    "GROUP BY A.Cod_grupa, A.Cod_articol"));
    ctx.ui.showProgress(QStringLiteral("Definesc denumiri extinse..."));
    ctx.privateDb.exec(QStringLiteral(
        "UPDATE ANSW SET Den = (SELECT CASE WHEN C.Descriere IS NULL THEN C.Denumire "
        "ELSE C.Denumire || '; ' || C.Descriere END FROM \":TSTOCK:Catalog.DB\" C "
        "WHERE (C.Grupa = ANSW.Cod_grupa) AND (C.Cod = ANSW.Cod_articol))"));
    QStringList codes;
    for (int i = 0; i < ct.ColLabelCount(); ++i)
        codes << ct.ColLabel(i);
    return codes;
}

PreparedReport buildTotals(ReportContext& ctx, const QDate& date, const QStringList& warehouseCodes,
                           const QStringList& sortFields, bool split)
{
    auto r = std::make_unique<Report>();
    r->formats(ctx.formats).title(QStringLiteral("Situatia stocurilor la data"));
    addCurrencyValues(*r, ctx.parameters, std::make_shared<RateTable>(ctx));
    const QString reference = ctx.parameters.CVal;
    const double width = split ? 277 : 190;
    Band& h = r->band(BandKind::PageHeader, 0);
    double y = addFirmHeader(h, readFirmData(ctx.db, ctx.parameters.FirmNo));
    h.label(0, y, 0, QStringLiteral("Situatia stocurilor la data")).bold().fontSize(12);
    h.label(75, y + 1, 30, dateText(date, ctx.formats)).bold();
    y += 9;
    QList<Column> cols{
        {0, 22, QStringLiteral("Articol"), QStringLiteral("Cod_articol"), {}},
        {23, 62, QStringLiteral("Denumire"), QStringLiteral("Den"), {}},
    };
    double x = 86;
    QStringList quantityFields;
    if (split) {
        for (int i = 0; i < 4 && i < warehouseCodes.size(); ++i) {
            const QString field = QStringLiteral("Q%1").arg(i + 1);
            const QString name = warehouseName(ctx.db, warehouseCodes.at(i));
            cols << Column{x, 17, name, field, kQuantityMask, true};
            quantityFields << field;
            x += 18;
        }
    }
    cols << Column{x, 17, QStringLiteral("Cantitate"), QStringLiteral("Cantitate"), kQuantityMask, true};
    cols << Column{x + 18, 8, QStringLiteral("U.M."), QStringLiteral("Unitate_masura"), {}};
    cols << Column{x + 27, 18, QStringLiteral("Pret vînzare"), QStringLiteral("Pret_vinzare"), kMoneyMask, true};
    cols << Column{x + 46, 6, QString(), QStringLiteral("Moneda"), {}};
    cols << Column{x + 53, 20, QStringLiteral("Valoare"), QStringLiteral("Valoare"), kMoneyMask, true};
    cols << Column{x + 74, 22, QStringLiteral("Valoare în lei"), QStringLiteral("ValoareLei"), kMoneyMask, true};
    const double lei = x + 74;
    const double ref = x + 97;
    cols << Column{ref, 22, reference, QStringLiteral("ValoareUSD"), kMoneyMask, true};
    headings(h, y, cols);
    h.line(0, y + 9, width, y + 9);
    h.setHeight(y + 10);
    Group& gr = r->group(QStringLiteral("Cod_grupa"));
    Band& gh = gr.header(5);
    gh.field(0, 0, 20, QStringLiteral("Cod_grupa")).bold();
    gh.field(21, 0, 100, QStringLiteral("DenGrupa")).bold();
    Band& gf = gr.footer(6);
    gf.label(0, 0, 20, QStringLiteral("Total")).bold();
    gf.sum(lei, 0, 22, QStringLiteral("ValoareLei"), kMoneyMask).right();
    gf.sum(ref, 0, 22, QStringLiteral("ValoareUSD"), kMoneyMask).right();
    details(r->band(BandKind::Detail, 4.5), cols);
    Band& s = r->band(BandKind::Summary, 7);
    s.label(0, 1, 40, QStringLiteral("Total general")).bold();
    s.sum(lei, 1, 22, QStringLiteral("ValoareLei"), kMoneyMask).right().bold();
    s.sum(ref, 1, 22, QStringLiteral("ValoareUSD"), kMoneyMask).right().bold();
    r->band(BandKind::PageFooter, 5).pageNumber(0, 0, 0, QStringLiteral("Pagina %1 din %2"));

    // The warehouse columns: the crosstab's first four (an empty quantity is 0).
    QStringList quantities;
    for (int i = 0; i < quantityFields.size(); ++i)
        quantities << QStringLiteral("COALESCE(X.\"Q.%1\", 0) AS %2").arg(warehouseCodes.at(i), quantityFields.at(i));
    QStringList order{QStringLiteral("A.Cod_grupa")};
    for (const QString& f : sortFields)
        if (stockTotalsSortFields().contains(f))
            order << QStringLiteral("C.") + f;
    order << QStringLiteral("A.Cod_articol");
    QStringList lines;
    lines << QStringLiteral("SELECT A.Cod_grupa, A.Cod_articol, A.Cantitate, A.Unitate_masura, A.Pret_vinzare, A.Moneda, A.Den,")
          << QStringLiteral("(SELECT MIN(R.Denumire) FROM GRUP R WHERE R.Cod_grupa = A.Cod_grupa) AS DenGrupa")
             + (quantities.isEmpty() ? QString() : QStringLiteral(", ") + quantities.join(QStringLiteral(", ")))
          << QStringLiteral("FROM ANSW A LEFT JOIN CATALOG C ON (A.Cod_grupa = C.Grupa) AND (A.Cod_articol = C.Cod)")
          << (split ? QStringLiteral("LEFT JOIN CROSSTAB X ON (X.Cod_grupa = A.Cod_grupa) AND (X.Cod_articol = A.Cod_articol)")
                    : QString())
          << QStringLiteral("ORDER BY ") + order.join(QStringLiteral(", "));
    QualifyAnswerTable(lines, kTotalsTable, ctx.privateDir);
    QualifyAnswerTable(lines, kCrossTable, ctx.privateDir);
    return {std::move(r), std::make_unique<QueryRows>(ctx.db.query(lines.join(u'\n')))};
}

} // namespace

bool StockTotals(ReportContext& ctx, bool splitByWarehouse)
{
    // Until the user chooses a page for them, the totals without warehouse
    // columns print in portrait and the split ones, a column per warehouse,
    // in landscape; a choice made in the print setup stays.
    if (!ctx.printSettings.userChoice)
        ctx.printSettings.orientation =
            splitByWarehouse ? prints::PageOrientation::Landscape : prints::PageOrientation::Portrait;
    QStringList order = stockTotalsSortFields();
    if (!ctx.ui.selectSortOrder(order))
        return false;
    QDate date = ctx.selection.stockDate;
    if (!ctx.ui.selectDate(date))
        return false;
    ctx.selection.stockDate = date;
    std::optional<QStringList> codes;
    try {
        codes = computeTotals(ctx, date);
    } catch (const datastore::DbError& e) {
        ctx.ui.closeWorking();
        ctx.dialogs.error(reportErrorText(e.engineText()));
        return false;
    }
    ctx.ui.closeWorking();
    if (!codes) {
        ctx.dialogs.warning(QString::fromLatin1(kNoDocumentsAtDate));
        return false;
    }
    if (!ctx.ui.printSetup(ctx.printSettings))
        return false;
    ctx.ui.showProgress(QStringLiteral("Listez..."));
    const bool shown = finishReport(ctx, [&] { return buildTotals(ctx, date, *codes, order, splitByWarehouse); },
                                    kTotalsTable);
    if (shown)
        AnswerTables(ctx.privateDb).remove(kCrossTable, true);
    return shown;
}

bool CriticalStocks(ReportContext& ctx)
{
    using namespace datastore;
    if (!ctx.ui.printSetup(ctx.printSettings))
        return false;
    ctx.ui.showProgress(QStringLiteral("Listez..."));
    return finishReport(
        ctx,
        [&]() -> PreparedReport {
            AnswerTables tables(ctx.privateDb);
            tables.copyQuery(TableDef{QStringLiteral("Answ1"),
                                      {text(QStringLiteral("Cod_grupa"), 8), text(QStringLiteral("Cod_articol"), 30),
                                       floating(QStringLiteral("Ctot"))},
                                      {}},
                             QStringLiteral("SELECT S.Cod_grupa, S.Cod_articol, SUM(S.Cantitate) AS Ctot "
                                            "FROM \":TSTOCK:Stoc.db\" S GROUP BY S.Cod_grupa, S.Cod_articol"));
            tables.copyQuery(
                TableDef{QStringLiteral("Answ2"),
                         {text(QStringLiteral("Cod_grupa"), 8), text(QStringLiteral("Cod"), 30),
                          text(QStringLiteral("Denumire"), 255), text(QStringLiteral("Unitate_masura"), 4),
                          floating(QStringLiteral("Stock_minim")), floating(QStringLiteral("Ctot"))},
                         {}},
                QStringLiteral("SELECT C.Grupa, C.Cod, C.Denumire, C.Unitate_masura, C.Stock_minim, COALESCE(A.Ctot, 0) "
                               "FROM \":TSTOCK:Catalog.DB\" C LEFT JOIN \":TBX_PRIV:Answ1\" A "
                               "ON (A.Cod_grupa = C.Grupa) AND (A.Cod_articol = C.Cod)"));
            auto r = std::make_unique<Report>();
            r->formats(ctx.formats).title(QStringLiteral("Stocuri critice"));
            const QList<Column> cols{
                {0, 30, QStringLiteral("Cod articol"), QStringLiteral("Cod"), {}},
                {31, 90, QStringLiteral("Denumire"), QStringLiteral("Denumire"), {}},
                {122, 10, QStringLiteral("UM"), QStringLiteral("Unitate_masura"), {}},
                {133, 27, QStringLiteral("Minim necesar"), QStringLiteral("Stock_minim"), kQuantityMask, true},
                {161, 29, QStringLiteral("Cantitate existenta"), QStringLiteral("Ctot"), kQuantityMask, true},
            };
            Band& h = r->band(BandKind::PageHeader, 0);
            double y = addFirmHeader(h, readFirmData(ctx.db, ctx.parameters.FirmNo));
            h.label(0, y, 0, QStringLiteral("Stocuri critice")).bold().fontSize(12);
            y += 9;
            headings(h, y, cols);
            h.line(0, y + 9, 190, y + 9);
            h.setHeight(y + 10);
            Band& gh = r->group(QStringLiteral("DenGrupa")).header(5);
            gh.label(0, 0, 15, QStringLiteral("Grupa:")).bold();
            gh.field(16, 0, 100, QStringLiteral("DenGrupa")).bold();
            details(r->band(BandKind::Detail, 4.5), cols);
            r->band(BandKind::PageFooter, 5).pageNumber(0, 0, 0, QStringLiteral("Pagina %1 din %2"));
            QStringList lines{
                QStringLiteral("SELECT A.Cod_grupa, A.Cod, A.Denumire, A.Unitate_masura, A.Stock_minim, A.Ctot,"),
                QStringLiteral("(SELECT MIN(R.Denumire) FROM \":TSTOCK:Grup.db\" R WHERE R.Cod_grupa = A.Cod_grupa) AS DenGrupa"),
                QStringLiteral("FROM Answ2 A WHERE (A.Ctot < A.Stock_minim)"),
                QStringLiteral("ORDER BY DenGrupa, A.Cod")};
            QualifyAnswerTable(lines, QStringLiteral("Answ2"), ctx.privateDir);
            return {std::move(r), std::make_unique<QueryRows>(ctx.db.query(lines.join(u'\n')))};
        },
        QString());
}

} // namespace reports
