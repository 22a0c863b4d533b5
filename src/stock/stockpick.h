#pragma once
// A row of the current stock, as the stock picker returns it: the only way an
// output line receives its warehouse, article, acquisition price, lot and budget.

#include <QString>

namespace stock {

struct StockLinePick {
    QString warehouse;   // in/out: Cod_gestiune
    QString group;       // in/out: Cod_grupa
    QString article;     // in/out: Cod_articol
    double price = -1;   // in/out: Pret_achizitie; in: -1 when not given
    double quantity = 0; // out: the row's Cantitate
    QString lot;         // out: Lot
    QString budget;      // out: Agent
};

} // namespace stock
