#pragma once
// A test database of realistic size and shape: ten years of a public
// institution's stock keeping, written in bulk through the storage layer (not
// through the windows), for the benchmarks and the reports.
//
// What it writes into a database whose tables exist (a new one):
//   - material classes and article groups, `articles` articles with units,
//     VAT rates, currencies, accounts and a few acquisition prices each;
//   - suppliers, budgets, beneficiaries, `warehouses` warehouses;
//   - the currencies EUR and USD with a rate for every working day;
//   - the initial-stock document (counter -1) with a few lines per warehouse;
//   - input documents (invoices, receipt notes) and output documents
//     (consumption notes, delivery notes, hand-over notes) of 1 to 30 lines,
//     in date order over 2016-2025, about one output line for every two input
//     lines, `lines` lines in all (the initial stock included). Outputs take
//     only what the stock holds at their date, so no balance goes below zero;
//     quantities are multiples of 0.25, so every balance adds up exactly.
//     Lots and budgets are on part of the lines;
//   - the counters of Counter.DB.
// The stock table is left as it was: run the stock recalculation afterwards.
//
// Everything is written in one unit of work, the documents and their lines in
// inserts of a hundred rows (every value bound) prepared once; the same seed
// gives the same database, in a SQLite file or in a server schema.

#include "datastore/database.h"

#include <QDate>
#include <QString>
#include <functional>

namespace testdata {

struct GenerateOptions {
    qint64 lines = 10000;  // document lines, inputs (initial stock included) and outputs
    int articles = 500;    // 1 .. 999 999
    int warehouses = 3;    // 1 .. 999
    quint32 seed = 1;
};

struct GenerateSummary {
    qint64 inputDocuments = 0;  // counter >= 1
    qint64 outputDocuments = 0;
    qint64 inputLines = 0;      // counter >= 1
    qint64 initialLines = 0;    // counter -1
    qint64 outputLines = 0;
    QDate first;                // the first and last registration dates
    QDate last;
};

// The first and last day of the documents.
QDate firstDay();
QDate lastDay();

// Fills `db` (its tables created, no documents yet). `progress` receives a
// Romanian line now and then. Throws the storage's errors; nothing is
// written then.
GenerateSummary GenerateTestDatabase(datastore::Database& db, const GenerateOptions& options,
                                     const std::function<void(const QString&)>& progress = {});

} // namespace testdata
