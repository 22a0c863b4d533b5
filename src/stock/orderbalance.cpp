#include "orderbalance.h"

#include "common/tolerance.h"
#include "datastore/dataset.h"

#include <cmath>

namespace stock {

const QString OrderBalance::kMoreThanOrdered =
    QStringLiteral("Nu puteti introduce in stoc o cantitate mai mare de cea comandata");
const QString OrderBalance::kNotOrdered = QStringLiteral("Nu puteti introduce produse care nu au fost comandate");

OrderBalance::OrderBalance(datastore::Database& db, const common::Parameters& parameters)
    : m_db(db), m_parameters(parameters)
{
}

std::optional<QString> OrderBalance::takeMessage()
{
    std::optional<QString> m = std::move(m_message);
    m_message.reset();
    return m;
}

void OrderBalance::UpdateOrderBalance(const QString& group, const QString& article, double delta,
                                      const QVariant& order, const QString& budget)
{
    if (article.isEmpty() || delta == 0 || order.isNull())
        return;
    const QVariantHash key{{QStringLiteral("C"), order},
                           {QStringLiteral("G"), group},
                           {QStringLiteral("A"), article},
                           {QStringLiteral("B"), budget}};
    // An empty budget is stored as NULL: compare it as such.
    const QString where = QStringLiteral("WHERE Contor = :C AND Cod_grupa = :G AND Cod_articol = :A "
                                         "AND COALESCE(Cod_agent, '') = COALESCE(:B, '')");
    datastore::Query q = m_db.query(
        QStringLiteral("SELECT Cant_solicitata, Cant_anulata FROM \"Stoc_Com.DB\" ") + where, key);
    if (q.next()) {
        const double requested = q.value(0).toDouble();
        const double cancelled = q.value(1).toDouble();
        const double left = requested - delta;
        if (!common::isWithinTolerance(left - cancelled, m_parameters.Epsilon)) {
            if (requested - cancelled <= delta) {
                m_message = kMoreThanOrdered;
                throw datastore::Abort();
            }
            QVariantHash params = key;
            params.insert(QStringLiteral("Q"), left);
            m_db.exec(QStringLiteral("UPDATE \"Stoc_Com.DB\" SET Cant_solicitata = :Q ") + where, params);
        } else {
            m_db.exec(QStringLiteral("DELETE FROM \"Stoc_Com.DB\" ") + where, key); // received in full
        }
        return;
    }
    if (delta > 0) {
        m_message = kNotOrdered;
        throw datastore::Abort();
    }
    // A receipt taken back from an order line received in full.
    QVariantHash params = key;
    params.insert(QStringLiteral("Q"), -delta);
    m_db.exec(QStringLiteral("INSERT INTO \"Stoc_Com.DB\" (Contor, Cod_grupa, Cod_articol, Cod_agent, Cod_furnizor, "
                             "Cant_solicitata, Cant_anulata) "
                             "SELECT :C, :G, :A, :B, (SELECT Cod_Furnizor FROM \"Doc_Com.Db\" WHERE Contor = :C), :Q, 0"),
              params);
}

void OrderBalance::ReconcileLine(const OrderLineRef& before, const OrderLineRef& now)
{
    if (before.hasOrder() && !before.article.isEmpty() && before.sameOrderLine(now)) {
        UpdateOrderBalance(before.group, before.article, now.quantity - before.quantity, before.order, before.budget);
        return;
    }
    if (before.hasOrder())
        UpdateOrderBalance(before.group, before.article, -before.quantity, before.order, before.budget);
    if (now.hasOrder())
        UpdateOrderBalance(now.group, now.article, now.quantity, now.order, now.budget);
}

} // namespace stock
