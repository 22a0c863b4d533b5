#pragma once
// Exchange rates: the rate of a currency on a date (FindRateAtDate) and the
// latest rate of a currency (GetLatestRate, read once per currency and run
// into a RateCache).
//
// The rate table is a Dataset over Curs.db (Valuta, Data, Curs) ordered by
// Valuta, Data, so that the rows of one currency lie together in date order:
// open it with OpenRateTable, or set kRateOrder before opening it.

#include "common/dialogs.h"
#include "datastore/dataset.h"

#include <QDate>
#include <QMap>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

namespace catalogs {

inline constexpr const char* kRateTable = "Curs.db";
inline constexpr const char* kRateOrder = "Valuta, Data";

// The rate table in the order the look-ups need, opened (throws the storage's
// errors when it cannot be opened).
std::unique_ptr<datastore::Dataset> OpenRateTable(datastore::Database& db);

// Positions `rates` on the record that gives the rate of `currency` on `date`
// (the caller then reads `Curs`): the record of that very date; otherwise the
// latest record dated on or before it; when the date precedes every record of
// the currency, the earliest one. False, with the position unchanged, only
// when the currency has no rate at all. The table is read again first (while
// it is not being edited), so a rate written meanwhile is seen at once.
// Throws DatasetError when the rows of the currency are not together in date
// order (a table not ordered by kRateOrder).
bool FindRateAtDate(datastore::Dataset& rates, const QString& dateField, const QString& currency,
                    const QDate& date);

// The same choice as FindRateAtDate, asked of the database in one statement
// (the table need not be read): the rate of `currency` on `date`, or nothing
// when the currency has no rate at all.
std::optional<double> RateAtDate(datastore::Database& db, const QString& currency, const QDate& date);

// The rates already read by GetLatestRate: currency codes compared and
// sorted without regard to case, each with its rate. Made at start-up and
// kept until exit by the application; a currency is forgotten only when its
// rates are changed through this program (the currencies window, an import),
// so that the next GetLatestRate reads the new latest rate.
class RateCache {
public:
    std::optional<double> find(const QString& currency) const;
    // A currency already present keeps its rate.
    void add(const QString& currency, double rate);
    // The currency is read again at its next GetLatestRate.
    void forget(const QString& currency);
    QStringList currencies() const; // as first added, sorted without regard to case
    int size() const { return static_cast<int>(m_rates.size()); }

private:
    QMap<QString, std::pair<QString, double>> m_rates; // folded code -> (code, rate)
};

// The rate of the most recent record of `currency` (0 when it has none). The
// table is read once per currency: the answer is kept in `cache`, and later
// calls, whatever the table holds by then, are answered from it. When read,
// `rates` is left on that record.
double GetLatestRate(RateCache& cache, datastore::Dataset& rates, const QString& currency);

// "Nu exista curs valutar pentru moneda <currency>!": the warning of an
// amount that would be divided by a missing (zero) rate.
QString MissingRateMessage(const QString& currency);
// True when `rate` can divide an amount; otherwise the warning above and false.
bool CheckRate(double rate, const QString& currency, common::Dialogs& dialogs);

} // namespace catalogs
