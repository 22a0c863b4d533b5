#include "articlesearch.h"

namespace catalogs {

std::optional<QString> askArticleSearchText(common::Dialogs& dialogs)
{
    return dialogs.inputBox(QStringLiteral("Criteriu de cautare"),
                            QStringLiteral("Cautare articole care contin în denumire:"), QString());
}

bool openQueryOrReport(datastore::Dataset& rows, common::Dialogs& dialogs)
{
    try {
        rows.open();
        return true;
    } catch (const datastore::DbError& e) {
        dialogs.error(QStringLiteral("Eroare de acces la baza de date!\r<%1>!").arg(e.message()));
    } catch (const datastore::DatasetError& e) {
        dialogs.error(QStringLiteral("Eroare de acces la baza de date!\r<%1>!").arg(e.message()));
    }
    return false;
}

std::unique_ptr<datastore::Dataset> openArticleSearch(datastore::Database& db, common::Dialogs& dialogs,
                                                      const QString& text)
{
    static const QString fields = QStringLiteral(
        "Grupa, Cod, Denumire, Descriere, Unitate_masura, Pret_vinzare, Moneda, Cont_marfa, Cont_cheltuieli, "
        "Cont_TVA_Intrari, Cont_TVA_Iesiri, Coef_TVA, Cont_accize, Coef_accize, Cont_adaos, Cont_venituri");
    auto result = datastore::Dataset::fromQuery(
        db,
        QStringLiteral("SELECT DISTINCT %1 FROM \"Catalog.DB\" WHERE (Denumire LIKE :Den) ORDER BY %1").arg(fields),
        {{QStringLiteral("Den"), QStringLiteral("%") + text + QStringLiteral("%")}});
    if (!openQueryOrReport(*result, dialogs))
        return nullptr;
    return result;
}

TCautareFormLogic::TCautareFormLogic(std::unique_ptr<datastore::Dataset> result) : m_result(std::move(result)) {}

void TCautareFormLogic::markAndMoveNext()
{
    catalogs::markAndMoveNext(*m_result, m_marks);
}

void TCautareFormLogic::markAndMovePrior()
{
    catalogs::markAndMovePrior(*m_result, m_marks);
}

void TCautareFormLogic::toggleCurrentMark()
{
    if (m_result->isOpen() && !m_result->isEmpty())
        m_marks.toggle(currentRecordOf(*m_result));
}

bool TCautareFormLogic::isMarked(int row) const
{
    if (m_marks.isEmpty())
        return false;
    return m_marks.isMarked(m_result->value(row, QStringLiteral("Grupa")).toString(),
                            m_result->value(row, QStringLiteral("Cod")).toString());
}

ArticlePick TCautareFormLogic::pickResult() const
{
    return {currentRecordOf(*m_result), m_marks.records()};
}

} // namespace catalogs
