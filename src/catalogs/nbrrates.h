#pragma once
// The daily reference rates of the National Bank of Romania, in its
// published XML format (nbrfxrates.xml, and the ten-day file with several
// Cube elements):
//
//   <DataSet><Header>...</Header><Body><Subject>...</Subject>
//     <OrigCurrency>RON</OrigCurrency>
//     <Cube date="2026-12-09"><Rate currency="EUR">4.9765</Rate>
//       <Rate currency="HUF" multiplier="100">1.2345</Rate>...</Cube>
//   </Body></DataSet>
//
// A rate with a multiplier is the price of that many units; Curs.db keeps
// the lei of one unit, so the value is divided by the multiplier.
//
// The import writes the rates of the currencies that Valuta.db holds (the
// others are listed as skipped), replacing a rate already stored for the
// same currency and date (the bank's figure is the reference), all in one
// unit of work: a file that cannot be read whole changes nothing.

#include "rates.h"

#include "datastore/database.h"

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

namespace catalogs {

struct NbrRate {
    QString currency; // as in the file, upper case
    QDate date;
    double rate = 0;  // lei for one unit
};

// The rates of the file, in file order. An unreadable file gives an empty
// list and `error` (Romanian, for the user).
QList<NbrRate> ParseNbrRates(const QByteArray& xml, QString& error);

struct NbrImportResult {
    int added = 0;
    int replaced = 0;
    int unchanged = 0;             // the same rate was already stored
    QStringList skippedCurrencies; // not in Valuta.db, sorted, each once
    QList<QDate> days;             // the dates of the file, ascending
};

// Writes `rates` into Curs.db in one unit of work; the currencies whose
// rates changed are forgotten by `cache` (may be null). Throws DbError
// (nothing written).
NbrImportResult ImportNbrRates(datastore::Database& db, const QList<NbrRate>& rates, RateCache* cache);

// The information shown after an import.
QString NbrImportSummary(const NbrImportResult& result);

} // namespace catalogs
