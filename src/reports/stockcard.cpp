#include "stockcard.h"

#include "answertables.h"
#include "common/tolerance.h"
#include "datastore/dberror.h"

namespace reports {

using namespace datastore;
using namespace reportengine;

TableDef stockCardTableDef()
{
    TableDef def;
    def.name = QString::fromLatin1(kCardTable);
    def.fields = {text(QStringLiteral("Cod_gestiune"), 4),
                  text(QStringLiteral("Cod_grupa"), 8),
                  text(QStringLiteral("Cod_Articol"), 30),
                  floating(QStringLiteral("Pret_achizitie")),
                  text(QStringLiteral("Buget"), 3),
                  text(QStringLiteral("Lot"), 30),
                  date(QStringLiteral("Data_inregistrarii")),
                  text(QStringLiteral("Mod"), 3),
                  date(QStringLiteral("Data")),
                  floating(QStringLiteral("Numar")),
                  text(QStringLiteral("Tip"), 20),
                  floating(QStringLiteral("Contor")),
                  floating(QStringLiteral("Contor_secundar")),
                  floating(QStringLiteral("Intrari")),
                  floating(QStringLiteral("Iesiri")),
                  floating(QStringLiteral("Stoc"))};
    def.indexes << primaryKey(QStringLiteral("Cod_gestiune;Cod_grupa;Cod_Articol;Pret_achizitie;Buget;Lot;"
                                             "Data_inregistrarii;Mod;Data;Numar;Tip;Contor;Contor_secundar"));
    return def;
}

namespace {

const QString kCardKey = QStringLiteral("Cod_gestiune, Cod_grupa, Cod_Articol, Pret_achizitie, Buget, Lot");
const QString kLineOrder = QStringLiteral("Data_inregistrarii, Mod, Data, Numar, Tip, Contor, Contor_secundar");

// The key of an input or output line, named as in ANSW_BF.
QString lineKey(bool input)
{
    return QStringLiteral("D1.Cod_gestiune, D1.Cod_grupa, D1.Cod_articol AS Cod_Articol, %1 AS Pret_achizitie, "
                          "D1.Agent AS Buget, D1.Lot")
        .arg(input ? QStringLiteral("D1.Pret_achizitie_lei") : QStringLiteral("D1.Pret_achizitie"));
}

QString fromLines(bool input)
{
    return input ? QStringLiteral("FROM \":TSTOCK:Doc_in.DB\" D, \":TSTOCK:Item_in.DB\" D1 WHERE (D1.Contor = D.Contor)")
                 : QStringLiteral("FROM \":TSTOCK:Doc_out.DB\" D, \":TSTOCK:Item_out.DB\" D1 WHERE (D1.Contor = D.Contor)");
}

} // namespace

int BuildStockCards(Database& privateDb, const common::Parameters& parameters, const StockCardRequest& request)
{
    if (!privateDb.fileExists())
        privateDb.createTable(TableDef{QString::fromLatin1(kWarehouseTable), {text(QStringLiteral("Cod"), 4)}, {}});
    const bool warehouses = SelectionTables(privateDb).writeWarehouses(request.warehouses);
    const QString where = warehouses ? QStringLiteral(" AND (D1.Cod_gestiune IN (SELECT Cod FROM SELGEST))") : QString();
    const QString inInterval = QStringLiteral(" AND (D.Data_inregistrarii >= :First) AND (D.Data_inregistrarii <= :Last)");

    // The opening of every key: what came in before the first day (undated
    // inputs included) less what went out before it, with a 0 for each key
    // moved within the interval so that it gets its opening line too.
    const QString openings =
        QStringLiteral("SELECT %1, %2, SUM(Q) AS Q0 FROM ("
                       "SELECT %3, D1.Cantitate AS Q, 0 AS Moved %4 AND ((D.Data_inregistrarii < :First) OR "
                       "(D.Data_inregistrarii IS NULL))%5 "
                       "UNION ALL SELECT %6, -D1.Cantitate, 0 %7 AND (D.Data_inregistrarii < :First)%5 "
                       "UNION ALL SELECT %3, 0, 1 %4%8%5 "
                       "UNION ALL SELECT %6, 0, 1 %7%8%5) "
                       "GROUP BY %1 HAVING (MAX(Moved) = 1) OR (SUM(Q) < -:Eps) OR (SUM(Q) > :Eps)")
            .arg(kCardKey,
                 QStringLiteral("NULL AS Data_inregistrarii, NULL AS Mod, NULL AS Data, NULL AS Numar, "
                                ":Opening AS Tip, NULL AS Contor, NULL AS Contor_secundar, NULL AS Intrari, NULL AS Iesiri"),
                 lineKey(true), fromLines(true), where, lineKey(false), fromLines(false), inInterval);
    const QString movement = QStringLiteral("D.Data_inregistrarii AS Data_inregistrarii, '%1' AS Mod, D.Data AS Data, "
                                            "D.Numar AS Numar, D.Tip AS Tip, D.Contor AS Contor, D1.Contor_secundar AS "
                                            "Contor_secundar");
    const QString lines =
        QStringLiteral("SELECT %1, %2, D1.Cantitate AS Intrari, NULL AS Iesiri %3%4%5 "
                       "UNION ALL SELECT %6, %7, NULL, D1.Cantitate %8%4%5")
            .arg(lineKey(true), movement.arg(QStringLiteral("IN")), fromLines(true), inInterval, where, lineKey(false),
                 movement.arg(QStringLiteral("OUT")), fromLines(false));
    // An opening within +-Epsilon prints as 0; the running stock is the sum
    // of the card's lines up to each line.
    const QString select =
        QStringLiteral("SELECT %1, %2, Intrari, Iesiri, "
                       "SUM(CASE WHEN Mod IS NULL THEN (CASE WHEN ABS(Q0) <= :Eps THEN 0 ELSE Q0 END) "
                       "ELSE COALESCE(Intrari, 0) - COALESCE(Iesiri, 0) END) "
                       "OVER (PARTITION BY %1 ORDER BY %2 ROWS UNBOUNDED PRECEDING) "
                       "FROM (%3 UNION ALL SELECT *, NULL AS Q0 FROM (%4))")
            .arg(kCardKey, kLineOrder, openings, lines);
    return AnswerTables(privateDb).copyQuery(
        stockCardTableDef(), select,
        {{QStringLiteral("First"), request.first}, {QStringLiteral("Last"), request.last},
         {QStringLiteral("Eps"), common::toleranceLimit(parameters.Epsilon)},
         {QStringLiteral("Opening"), QString::fromLatin1(kOpeningLine)}});
}

namespace {

QString priceMask(int decimals)
{
    return QStringLiteral("#,##0.") + QString(qMax(decimals, 0), u'0');
}

// The card lines of ANSW_BF with what their header prints, in card order;
// Fisa numbers the cards. The articles selected (SELART) restrict the cards.
// The values of a line (ValIntrari, ValIesiri, ValStoc) are its price times
// each quantity, rounded once (:Dec), empty where the quantity is.
QString cardRowsSql(bool articles, const QString& privateDir)
{
    QStringList lines;
    lines << QStringLiteral("SELECT A.Cod_gestiune, A.Cod_grupa, A.Cod_Articol, A.Pret_achizitie, A.Buget, A.Lot,")
          << QStringLiteral("A.Data_inregistrarii, A.Mod, A.Data, A.Numar, A.Tip, A.Intrari, A.Iesiri, A.Stoc,")
          << QStringLiteral("ROUND_MONEY(A.Pret_achizitie * A.Intrari, :Dec) AS ValIntrari, "
                            "ROUND_MONEY(A.Pret_achizitie * A.Iesiri, :Dec) AS ValIesiri, "
                            "ROUND_MONEY(A.Pret_achizitie * A.Stoc, :Dec) AS ValStoc,")
          << QStringLiteral("DENSE_RANK() OVER (ORDER BY A.Cod_gestiune, A.Cod_grupa, A.Cod_Articol, A.Pret_achizitie, "
                            "A.Buget, A.Lot) AS Fisa,")
          << QStringLiteral("C.Denumire, C.Unitate_masura, G.Denumire AS DenGest,")
          << QStringLiteral("(SELECT MIN(K.Nume_client) FROM CLIENT K WHERE K.Cod_client = A.Buget) AS DenBuget")
          << QStringLiteral("FROM ANSW_BF A LEFT JOIN CATALOG C ON (A.Cod_grupa = C.Grupa) AND (A.Cod_Articol = C.Cod)")
          << QStringLiteral("LEFT JOIN GEST G ON (G.Cod = A.Cod_gestiune)")
          << (articles ? QStringLiteral("WHERE EXISTS (SELECT 1 FROM SELART S WHERE (S.Grupa = A.Cod_grupa) AND "
                                        "(S.Cod = A.Cod_Articol))")
                       : QString())
          << QStringLiteral("ORDER BY A.Cod_gestiune, A.Cod_grupa, A.Cod_Articol, A.Pret_achizitie, A.Buget, A.Lot, "
                            "A.Data_inregistrarii, A.Mod, A.Data, A.Numar, A.Tip, A.Contor, A.Contor_secundar");
    QualifyAnswerTable(lines, QString::fromLatin1(kCardTable), privateDir);
    QualifyAnswerTable(lines, QString::fromLatin1(kArticleTable), privateDir);
    return lines.join(u'\n');
}

PreparedReport buildCards(ReportContext& ctx, CardKind kind, const QDate& first, const QDate& last, bool articles)
{
    const bool values = kind == CardKind::Values;
    auto r = std::make_unique<Report>();
    r->formats(ctx.formats).title(values ? QStringLiteral("Fisa de cont analitic cu valori")
                                         : QStringLiteral("Raport fisa de magazie"));
    const QString dateMask = QStringLiteral("dd.mm.yyyy");
    const QString interval = common::formatDate(dateMask, first, ctx.formats) + QStringLiteral(" - ")
                             + common::formatDate(dateMask, last, ctx.formats);

    // The firm on every page, above the card.
    Band& page = r->band(BandKind::PageHeader, 0);
    page.setHeight(addFirmHeader(page, readFirmData(ctx.db, ctx.parameters.FirmNo)));

    Group& card = r->group(QStringLiteral("Fisa")).newPage();
    Band& h = card.header(0);
    h.label(0, 0, 0, values ? QStringLiteral("Fisa de cont analitic pentru valori materiale")
                            : QStringLiteral("Fisa de magazie "))
        .bold()
        .fontSize(12);
    h.label(values ? 95 : 45, 1, 0, values ? QStringLiteral("in perioada") : QStringLiteral("pentru perioada"));
    h.label(values ? 113 : 70, 1, 50, interval).bold();
    double y = 9;
    h.label(0, y, 30, QStringLiteral("Gestiunea"));
    h.field(30, y, 10, QStringLiteral("Cod_gestiune")).bold();
    h.label(41, y, 3, QStringLiteral("-"));
    h.field(45, y, 100, QStringLiteral("DenGest")).bold();
    y += 5;
    h.label(0, y, 0, QStringLiteral("Materialul (produsul sort, calitate,marca,profil,dimensiunea)"));
    y += 4.5;
    h.label(0, y, 8, QStringLiteral("Cod"));
    h.field(9, y, 16, QStringLiteral("Cod_grupa")).bold();
    h.label(26, y, 3, QStringLiteral("-"));
    h.field(30, y, 30, QStringLiteral("Cod_Articol")).bold();
    h.field(61, y, 129, QStringLiteral("Denumire")).bold();
    y += 5;
    h.label(0, y, 8, QStringLiteral("U.M."));
    h.field(9, y, 16, QStringLiteral("Unitate_masura")).bold();
    h.label(30, y, 20, QStringLiteral("Pret unitar"));
    h.field(50, y, 25, QStringLiteral("Pret_achizitie"), priceMask(ctx.parameters.nrZecimaleLei)).bold();
    h.label(80, y, 8, QStringLiteral("Lot"));
    h.field(89, y, 30, QStringLiteral("Lot")).bold();
    h.label(122, y, 15, QStringLiteral("Bugetul:"));
    h.field(137, y, 53, QStringLiteral("DenBuget")).bold();
    y += 6;

    struct Column {
        double x;
        double width;
        QString heading;
        QString field;
        QString mask;
        bool right;
    };
    QList<Column> cols{
        {0, 18, QStringLiteral("Data inreg."), QStringLiteral("Data_inregistrarii"), dateMask, false},
        {19, 18, QStringLiteral("Document (data, numar, tip)"), QStringLiteral("Data"), dateMask, false},
        {38, 14, {}, QStringLiteral("Numar"), QStringLiteral("0"), true},
        {54, 26, {}, QStringLiteral("Tip"), {}, false},
    };
    if (values)
        cols << Column{81, 13, QStringLiteral("Intrari (Cant./Valoare)"), QStringLiteral("Intrari"), kMoneyMask, true}
             << Column{95, 15, {}, QStringLiteral("ValIntrari"), kMoneyMask, true}
             << Column{111, 13, QStringLiteral("Iesiri (Cant./Valoare)"), QStringLiteral("Iesiri"), kMoneyMask, true}
             << Column{125, 15, {}, QStringLiteral("ValIesiri"), kMoneyMask, true}
             << Column{141, 13, QStringLiteral("Stoc (Cant./Valoare)"), QStringLiteral("Stoc"), kMoneyMask, true}
             << Column{155, 15, {}, QStringLiteral("ValStoc"), kMoneyMask, true}
             << Column{173, 17, QStringLiteral("Semnatura"), {}, {}, false};
    else
        cols << Column{84, 22, QStringLiteral("Intrari"), QStringLiteral("Intrari"), kMoneyMask, true}
             << Column{108, 22, QStringLiteral("Iesiri"), QStringLiteral("Iesiri"), kMoneyMask, true}
             << Column{132, 22, QStringLiteral("Stoc"), QStringLiteral("Stoc"), kMoneyMask, true}
             << Column{160, 30, QStringLiteral("Semnatura"), {}, {}, false};
    h.line(0, y, 190, y);
    for (const Column& c : cols) {
        if (c.heading.isEmpty())
            continue;
        // A heading spanning its quantity and value columns.
        const double width = values && c.right ? 29 : (c.field == QLatin1String("Data") ? 60 : c.width);
        Element& e = h.label(c.x, y + 1, width, c.heading).bold();
        if (c.right)
            e.right();
    }
    y += 6;
    h.line(0, y, 190, y);
    h.setHeight(y + 1);

    Band& d = r->band(BandKind::Detail, 4.5);
    for (const Column& c : cols) {
        if (c.field.isEmpty())
            continue;
        Element& e = d.field(c.x, 0, c.width, c.field, c.mask);
        if (c.right)
            e.right();
    }
    Band& f = r->band(BandKind::PageFooter, 5);
    f.date(0, 0, 30);
    f.pageNumber(160, 0, 30, QStringLiteral("Pagina %1 din %2")).right();

    return {std::move(r), std::make_unique<QueryRows>(ctx.db.query(
                              cardRowsSql(articles, ctx.privateDir),
                              {{QStringLiteral("Dec"), ctx.parameters.nrZecimaleLei}}))};
}

} // namespace

bool StockCards(ReportContext& ctx, CardKind kind)
{
    useDefaultPrintParameters(ctx, prints::PageOrientation::Portrait);
    const auto cancelled = [&] {
        ctx.ui.showProgress(QStringLiteral(" OK."));
        return false;
    };
    ArticleSelection articles = ctx.selection.articles;
    if (!ctx.ui.selectArticles(articles))
        return cancelled();
    ctx.selection.articles = articles;
    QString warehouses = ctx.selection.warehouses;
    if (!ctx.ui.selectWarehouses(warehouses))
        return cancelled();
    QDate first = ctx.selection.from;
    QDate last = ctx.selection.to;
    if (!ctx.ui.selectInterval(first, last))
        return cancelled();
    ctx.selection.warehouses = warehouses;
    ctx.selection.from = first;
    ctx.selection.to = last;

    ctx.ui.showWorking(QStringLiteral("Procesez datele..."));
    ctx.ui.showProgress(QStringLiteral(" Calculez fisele..."));
    try {
        BuildStockCards(ctx.privateDb, ctx.parameters, {first, last, warehouses});
    } catch (const DbError& e) {
        ctx.ui.closeWorking();
        ctx.dialogs.error(reportErrorText(e.engineText()));
        return false;
    }
    ctx.ui.closeWorking();
    if (!ctx.ui.printSetup(ctx.printSettings))
        return cancelled();
    const bool selected = SelectionTables(ctx.privateDb).writeArticles(articles);
    return finishReport(ctx, [&] { return buildCards(ctx, kind, first, last, selected); }, QString());
}

} // namespace reports
