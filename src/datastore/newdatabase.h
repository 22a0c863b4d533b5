#pragma once
// What a database holds from the moment it is created: the local currency
// "LEI" with the rate 1.0 on 1 January 2001 (as an upgraded database has it)
// and the reference currency of the parameters (CVal), so that articles and
// the parameters dialog have currencies to choose from on the first day.

#include "database.h"

#include <QDate>
#include <QString>

namespace datastore {

inline constexpr const char* kLocalCurrency = "LEI";
inline constexpr double kLocalCurrencyRate = 1.0;
QDate localCurrencyRateDate(); // 1 January 2001

// Writes, in one unit of work, what is still missing of: the currency "LEI",
// its rate 1.0 on 1 January 2001, and the currency `referenceCurrency` (named
// by its code; skipped when empty, longer than a currency code, or "LEI").
// Running it again changes nothing. Throws DbError (nothing written).
void SeedNewDatabase(Database& db, const QString& referenceCurrency);

// The reference currency a database directory will use: CVal of its
// TBXDEF.INI when the key is there, otherwise `inMemory`.
QString referenceCurrencyOf(const QString& directory, const QString& inMemory);

} // namespace datastore
