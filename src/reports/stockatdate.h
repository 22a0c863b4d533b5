#pragma once
// The stock at a date, computed from the documents into the working table
// ANSW_ST of the private directory: one row per stock key that had
// movements up to the date, with the quantity received (QIn) and issued
// (QOut) up to it.
//
// One statement: the input lines (the initial stock's included; a document
// without a registration date counts at any date) and the output lines (a
// document without a registration date never counts) are read together and
// grouped by the key, and only the keys whose stock (QIn - QOut) lies
// outside +-Epsilon are written, by the rule the ledger keeps its rows by
// (common/tolerance.h); negative ones stay. Nothing is merged row
// by row. The statement runs on the private connection and writes only the
// private file; the database directory is only read.
//
// The key is the stock key (warehouse, group, article, acquisition price,
// budget, lot), the lot only when lots are in use (CLot): without it the
// lines are summed over their lots and Lot stays empty, so lines of one key
// that carry different lots still make one row. The stock totals use the
// key warehouse, group, article.

#include "reportrun.h"

#include "common/parameters.h"
#include "datastore/database.h"

#include <QDate>
#include <QString>

namespace reports {

enum class StockKey {
    Full,          // Cod_gestiune, Cod_grupa, Cod_articol, Pret_achizitie, Agent, Lot (Lot with CLot)
    PerArticle,    // Cod_gestiune, Cod_grupa, Cod_articol
};

struct StockAtDateRequest {
    QDate date;
    QString warehouses; // quoted list; empty: every warehouse
    QString budget;     // a budget code restricting the lines' Agent; empty: every budget
    StockKey key = StockKey::Full;
};

inline constexpr const char* kStockTable = "ANSW_ST";
inline constexpr const char* kNoDocuments = "Nu exista documente pentru gestiunea si data specificate!";
inline constexpr const char* kNoDocumentsAtDate = "Nu exista documente pentru data specificata!";

// The definition of ANSW_ST for a key (its primary index follows CLot).
datastore::TableDef stockTableDef(StockKey key, bool lots);

// Builds ANSW_ST without asking anything. False (and ANSW_ST left as it
// was) when no input line counts up to the date for the warehouses. Throws
// the storage's errors.
bool BuildStockAtDate(datastore::Database& privateDb, const common::Parameters& parameters,
                      const StockAtDateRequest& request);

// The command's side: SelectWarehouses (unless `askWarehouses` is false),
// then SelectDate, both starting from and writing back `date` and
// `warehouses`; the work window "Procesez datele..." with the step texts;
// the warning kNoDocuments when there are no inputs. True when ANSW_ST
// was built.
bool ComputeStockAtDate(ReportContext& ctx, QDate& date, QString& warehouses, bool askWarehouses = true,
                        const QString& budget = {});

} // namespace reports
