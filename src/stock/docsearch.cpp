#include "docsearch.h"

#include <QStringList>
#include <QVariantHash>
#include <algorithm>

namespace stock {

QDate searchPeriodStart() { return QDate(1800, 1, 1); }
QDate searchPeriodEnd() { return QDate(2500, 1, 1); }

namespace {

QString queryFor(DocumentSide side, SearchCriterion criterion)
{
    const bool input = side == DocumentSide::Input;
    const QString doc = input ? QStringLiteral("DOC_IN") : QStringLiteral("DOC_OUT");
    const QString item = input ? QStringLiteral("ITEM_IN") : QStringLiteral("ITEM_OUT");
    const QString price = input ? QStringLiteral("Pret_Achizitie_lei") : QStringLiteral("Pret_Achizitie");
    QStringList lines;
    switch (criterion) {
    case SearchCriterion::Number:
        lines << QStringLiteral("SELECT DISTINCT Contor") << QStringLiteral("FROM ") + doc
              << QStringLiteral("WHERE (Contor > :PrevCont) AND (Data_Inregistrarii >= :FirstDate)")
              << QStringLiteral("AND (Data_Inregistrarii <= :LastDate) AND (Numar = :NrDoc)")
              << QStringLiteral("ORDER BY Contor");
        break;
    case SearchCriterion::Article:
    case SearchCriterion::Price:
        lines << QStringLiteral("SELECT DISTINCT D.Contor") << QStringLiteral("FROM %1 D, %2 I").arg(doc, item)
              << QStringLiteral("WHERE (D.Contor > :PrevCont) AND (D.Data_Inregistrarii >= :FirstDate)")
              << (criterion == SearchCriterion::Article
                      ? QStringLiteral("AND (D.Data_Inregistrarii <= :LastDate) AND (D.Contor=I.Contor) AND "
                                       "(I.Cod_Articol = :CodArt)")
                      : QStringLiteral("AND (D.Data_Inregistrarii <= :LastDate) AND (D.Contor=I.Contor) AND "
                                       "(I.%1 = :Price)")
                            .arg(price))
              << QStringLiteral("ORDER BY D.Contor");
        break;
    case SearchCriterion::Explanation:
        lines << QStringLiteral("SELECT DISTINCT Contor") << QStringLiteral("FROM ") + doc
              << QStringLiteral("WHERE (Contor > :PrevCont) AND (Data_Inregistrarii >= :FirstDate)")
              << QStringLiteral("AND (Data_Inregistrarii <= :LastDate) AND (Explicatie LIKE :Expl)")
              << QStringLiteral("ORDER BY Contor");
        break;
    case SearchCriterion::Serial:
        lines << QStringLiteral("SELECT DISTINCT S.Contor AS Contor, S.ContorSec AS ContorSec")
              << QStringLiteral("FROM DOC_IN D, SERIE S")
              << QStringLiteral("WHERE (D.Contor > :PrevCont) AND (D.Data_Inregistrarii >= :FirstDate)")
              << QStringLiteral("AND (D.Data_Inregistrarii <= :LastDate) AND (D.Contor=S.Contor) AND "
                                "(S.Serie = :Serie)")
              << QStringLiteral("ORDER BY S.Contor, S.ContorSec");
        break;
    }
    return lines.join(u'\n');
}

} // namespace

SearchHit FindNextDocument(datastore::Database& db, DocumentSide side, const SearchState& state,
                           const QDate& first, const QDate& last)
{
    QVariantHash params;
    switch (state.criterion) {
    case SearchCriterion::Number: params.insert(QStringLiteral("NrDoc"), state.number); break;
    case SearchCriterion::Article:
        if (state.article.trimmed().isEmpty())
            return {};
        params.insert(QStringLiteral("CodArt"), state.article);
        break;
    case SearchCriterion::Explanation:
        if (state.explanation.isEmpty())
            return {};
        params.insert(QStringLiteral("Expl"), QStringLiteral("%") + state.explanation + QStringLiteral("%"));
        break;
    case SearchCriterion::Price: params.insert(QStringLiteral("Price"), state.price); break;
    case SearchCriterion::Serial:
        if (side != DocumentSide::Input)
            return {};
        params.insert(QStringLiteral("Serie"), state.serial);
        break;
    }
    const bool period = first.isValid() && last.isValid();
    // The initial stock (counter -1) lies below every search.
    params.insert(QStringLiteral("PrevCont"), std::max(state.lastFound, 0.0));
    params.insert(QStringLiteral("FirstDate"), period ? first : searchPeriodStart());
    params.insert(QStringLiteral("LastDate"), period ? last : searchPeriodEnd());

    datastore::Query q = db.query(queryFor(side, state.criterion), params);
    SearchHit hit;
    if (!q.next())
        return hit;
    hit.found = true;
    hit.contor = q.value(0).toDouble();
    if (state.criterion == SearchCriterion::Serial)
        hit.lineNumber = q.value(1).toDouble();
    return hit;
}

} // namespace stock
