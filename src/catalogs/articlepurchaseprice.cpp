#include "articlepurchaseprice.h"

#include "articlesearch.h"

namespace catalogs {

QString purchasePriceStatement()
{
    // The budget of a stock line is its Agent; the article is joined on its
    // group as well, so that the same code in two groups gives no second line.
    return QStringLiteral(
        "SELECT DISTINCT D.Cod_articol, D.Pret_achizitie, D.Lot,D.Agent, D.Cantitate, D1.Denumire, D1.Unitate_masura "
        "FROM STOC D, CATALOG D1 WHERE (D.Cod_gestiune = :Gest) AND (D.Cod_grupa = :Grp) AND (D.Cod_articol = :Art) "
        "AND (D1.Grupa = D.Cod_grupa) AND (D1.Cod = D.Cod_articol) ORDER BY D.Cod_articol, D.Pret_achizitie, D.Lot");
}

std::unique_ptr<datastore::Dataset> openPurchasePrices(datastore::Database& db, common::Dialogs& dialogs,
                                                       const QString& warehouse, const QString& group,
                                                       const QString& article)
{
    auto lines = datastore::Dataset::fromQuery(db, purchasePriceStatement(),
                                               {{QStringLiteral("Gest"), warehouse},
                                                {QStringLiteral("Grp"), group},
                                                {QStringLiteral("Art"), article}});
    if (!openQueryOrReport(*lines, dialogs))
        return nullptr;
    if (lines->isEmpty()) {
        dialogs.warning(QStringLiteral("Nu exista stoc pentru acest articol!"));
        return nullptr;
    }
    return lines;
}

} // namespace catalogs
