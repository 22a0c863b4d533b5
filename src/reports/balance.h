#pragma once
// The turnover balance ("Balanta intrarilor si iesirilor"): for each stock
// key of the chosen warehouses, the opening stock at the first day of an
// interval, the inputs and outputs within it and the closing stock at its
// last day, in quantity and in value.
//
// BuildBalance writes the answer table ANSW_B of the private directory, one
// row per stock key (warehouse, group, article, acquisition price, budget,
// lot) that has an opening stock outside +-Epsilon or a document line within
// the interval:
//
//   RQIn, RQOut   quantities received and issued within the interval
//   QInit         opening quantity (0 when within +-Epsilon; negative ones stay)
//   QFin          QInit + RQIn - RQOut, the stock at the last day
//   VInit, Vin, VOut, VFin   Pret_achizitie times each quantity, rounded once
//                            to "Nr zecimale lei" (ROUND_MONEY)
//
// It is one statement over the input and output lines of the database (an
// input without a registration date counts in the opening stock of any
// interval, an output without one never counts), grouped by the key: nothing
// is merged or filled row by row. The simple form leaves Lot out of ANSW_B
// (lines of one key that differ only in the lot stay separate rows); the
// detailed form keeps it and writes as well every input line of the
// interval into ANSW_B1 and every output line into ANSW_B2, one row per
// document line (Contor, Contor_secundar), indexed on the stock key.
//
//   TurnoverBalance       "&Balanta": one line per key, article subtotals,
//                         group, warehouse and general totals
//   VerificationBalance   "Balanta de &verificare": each line followed by the
//                         input and output documents of the interval that moved it
//
// Printed values include VAT at the article's rate (VVInit, VVin, VVout,
// VVFin: price times quantity times the rate, rounded once in the report's
// statement); the opening value of an interval starting on 1 January 2009 is
// printed without it (VInit). Every total is the sum of the printed values.

#include "reportrun.h"

#include "common/parameters.h"
#include "datastore/database.h"

#include <QDate>
#include <QString>
#include <functional>

namespace reports {

enum class BalanceForm { Simple, Detailed };

struct BalanceRequest {
    QDate first;
    QDate last;
    QString warehouses; // quoted list; empty: every warehouse
    BalanceForm form = BalanceForm::Simple;
};

inline constexpr const char* kBalanceTable = "ANSW_B";
inline constexpr const char* kBalanceInputs = "ANSW_B1";
inline constexpr const char* kBalanceOutputs = "ANSW_B2";
inline constexpr const char* kGroupTotalsQuestion = "Doriti numai listarea centralizata pe grupe?";

// The definitions of ANSW_B (with Lot in the detailed form) and of the
// document tables ANSW_B1 / ANSW_B2.
datastore::TableDef balanceTableDef(BalanceForm form);
datastore::TableDef balanceDocumentsDef(const QString& name);

// Builds ANSW_B (and, in the detailed form, ANSW_B1 and ANSW_B2) without
// asking anything; `progress` receives the step texts. The simple form drops
// ANSW_B1 and ANSW_B2. Throws the storage's errors.
void BuildBalance(datastore::Database& privateDb, const common::Parameters& parameters, const BalanceRequest& request,
                  const std::function<void(const QString&)>& progress = {});

// The command's side: SelectWarehouses then SelectInterval, both starting
// from and writing back the values; the work window "Procesez datele...".
// True when ANSW_B was built.
bool ComputeBalance(ReportContext& ctx, QDate& first, QDate& last, QString& warehouses, BalanceForm form);

bool TurnoverBalance(ReportContext& ctx);
bool VerificationBalance(ReportContext& ctx);

} // namespace reports
