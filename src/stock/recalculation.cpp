#include "recalculation.h"

#include "common/tolerance.h"
#include "datastore/dataset.h"
#include "datastore/dberror.h"

namespace stock {

const QString kStockInUse = QStringLiteral(
    "Atentie! Stocurile curente nu pot fi actualizate deoarece un alt utilizator le foloseste! Asigurati-va ca "
    "sinteti singurul utilizator al bazei de date si reluati procedura de recalculare a stocurilor!");
const QString kRecalculationDone = QStringLiteral("Recalcularea stocurilor curente s-a efectuat cu succes!");

namespace {

// The new stock table in one statement: inputs (the initial stock included)
// and negated outputs summed per stock key, the balances outside the
// tolerance kept (Eps is common::toleranceLimit, as the ledger compares),
// negative ones too. A line counts only when its document
// header exists and it names an article.
const QString kRebuildStock = QStringLiteral(
    "INSERT INTO STOC (Cod_gestiune, Cod_grupa, Cod_articol, Pret_achizitie, Lot, Agent, Cantitate) "
    "SELECT Cod_gestiune, Cod_grupa, Cod_articol, Pret_achizitie, Lot, Agent, SUM(Cantitate) FROM ("
    "SELECT D1.Cod_gestiune, D1.Cod_grupa, D1.Cod_articol, D1.Pret_achizitie_lei AS Pret_achizitie, D1.Lot, D1.Agent, "
    "D1.Cantitate FROM DOC_IN D, ITEM_IN D1 WHERE D1.Contor = D.Contor AND D1.Cod_articol IS NOT NULL "
    "UNION ALL "
    "SELECT D1.Cod_gestiune, D1.Cod_grupa, D1.Cod_articol, D1.Pret_achizitie, D1.Lot, D1.Agent, -D1.Cantitate "
    "FROM DOC_OUT D, ITEM_OUT D1 WHERE D1.Contor = D.Contor AND D1.Cod_articol IS NOT NULL) "
    "GROUP BY Cod_gestiune, Cod_grupa, Cod_articol, Pret_achizitie, Lot, Agent "
    "HAVING (SUM(Cantitate) < -:Eps) OR (SUM(Cantitate) > :Eps)");

class Working {
public:
    explicit Working(RecalculationView* view) : m_view(view) { show(true); }
    ~Working() { show(false); }
    void show(bool on)
    {
        if (m_view && m_on != on) {
            m_on = on;
            m_view->showWorking(on);
        }
    }

private:
    RecalculationView* m_view;
    bool m_on = false;
};

} // namespace

RecalculationResult RecalculateStock(datastore::Database& db, const common::Parameters& parameters,
                                     common::Dialogs& dialogs, RecalculationView* view)
{
    const auto progress = [view](const QString& text) {
        if (view)
            view->showProgress(text);
    };
    RecalculationResult result;
    Working working(view);
    try {
        progress(QStringLiteral(" Insumez intrarile si stocurile initiale..."));
        // The write lock first: nobody posts while the documents are read.
        datastore::UnitOfWork work(db);
        progress(QStringLiteral("Insumez iesirile..."));
        progress(QStringLiteral("Calculez stocurile..."));
        progress(QStringLiteral("Sterg stocurile curente..."));
        db.exec(QStringLiteral("DELETE FROM STOC"));
        progress(QStringLiteral("Actualizez stocurile curente..."));
        result.stockRows = db.exec(kRebuildStock, {{QStringLiteral("Eps"), common::toleranceLimit(parameters.Epsilon)}});
        work.commit();
        result.ok = true;
    } catch (const datastore::DbError& e) {
        result.error = e.engineText();
        working.show(false);
        if (e.kind() == datastore::DbErrorKind::Busy)
            dialogs.warning(kStockInUse);
        dialogs.error(datastore::errorText(e));
        return result;
    } catch (const std::exception& e) {
        result.error = datastore::errorText(e);
        working.show(false);
        dialogs.error(result.error);
        return result;
    }
    working.show(false);
    progress(QStringLiteral("Terminat cu succes..."));
    dialogs.beep();
    dialogs.information(kRecalculationDone);
    return result;
}

} // namespace stock
