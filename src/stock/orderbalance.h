#pragma once
// The remaining quantities of purchase orders (Stoc_Com.DB): one row per open
// order line, keyed by order counter, group, article and budget. An input
// line that receives against an order lowers its row; a row received in full
// is deleted, and taking a receipt back creates it again.
//
// Runs inside the unit of work that writes or deletes the input line. A
// refusal queues its message (shown by the window once the write has been
// rolled back, so no workstation waits on a message box) and throws
// datastore::Abort.

#include "common/parameters.h"
#include "datastore/database.h"

#include <QString>
#include <optional>

namespace stock {

// The order side of an input line.
struct OrderLineRef {
    QVariant order;    // Contor_Com; null when the line belongs to no order
    QString group;
    QString article;
    QString budget;    // Agent
    double quantity = 0;

    bool hasOrder() const { return !order.isNull(); }
    bool sameOrderLine(const OrderLineRef& other) const
    {
        return order == other.order && group == other.group && article == other.article && budget == other.budget;
    }
};

class OrderBalance {
public:
    OrderBalance(datastore::Database& db, const common::Parameters& parameters);

    // Adds `delta` received (negative: given back) to the order line.
    void UpdateOrderBalance(const QString& group, const QString& article, double delta, const QVariant& order,
                            const QString& budget);

    // A line's change from `before` (as stored; an empty article for a new
    // line) to `now`: the same order line gets the difference; otherwise the
    // old order line gets its quantity back and the new one is lowered.
    void ReconcileLine(const OrderLineRef& before, const OrderLineRef& now);

    // The message of the last refusal; cleared when taken.
    std::optional<QString> takeMessage();

    static const QString kMoreThanOrdered;
    static const QString kNotOrdered;

private:
    datastore::Database& m_db;
    const common::Parameters& m_parameters;
    std::optional<QString> m_message;
};

} // namespace stock
