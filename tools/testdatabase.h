#pragma once
// A test database of realistic size and shape: ten years of a public
// institution's stock keeping, written in bulk through the storage layer (not
// through the windows), for the benchmarks, the reports and the prints. Its
// documents are ones the windows could have written, so that every print and
// report can be shown and checked on it.
//
// What it writes into a database whose tables exist (a new one):
//   - TBXDEF.INI of the database directory (GeneratedParameters): lots in use
//     (CLot), VAT filled in only on invoices ("Calc TVA") and to the ban
//     (not "Round TVA"), the invoice, delivery-note and receipt series, the
//     current firm (FirmNo), the database in new lei;
//   - the firm record of FirmNo with its commission; material classes and
//     article groups, `articles` articles with units, VAT rates, currencies,
//     accounts and a few acquisition prices each; suppliers; budgets and
//     buyers (with fiscal code, address, county, bank and account);
//     beneficiaries; `warehouses` warehouses with their keepers;
//   - the currencies EUR and USD with a rate for every working day;
//   - the initial-stock document (counter -1) with a few lines per warehouse;
//   - input documents (invoices, receipt notes) and output documents of 1 to
//     30 lines, in date order over 2016-2025, about one output line for every
//     two input lines, `lines` lines in all (the initial stock and the inputs
//     of transfers included). Outputs take only what the stock holds at their
//     date, so no balance goes below zero; quantities are multiples of 0.25,
//     so every balance adds up exactly. Lots and budgets are on part of the
//     lines. The outputs:
//       * consumption notes "BMC" and hand-over notes "NPR", to a beneficiary;
//       * delivery notes "AE" and invoices "FCT" to a buyer, at sale prices
//         with their equivalent in USD; VAT by the output pricing (on the
//         invoices, on the sale value); each with the next number of its
//         series (Aeser.DB, Fctser.DB), as printed at its issue; part of the
//         invoices paid at once (Clnpay.DB with its receipt in Chser.db),
//         most in full, the amount being the total the invoice prints
//         (common::mergedInvoiceLines + totalsOf), the others in part;
//       * transfers "BT" to another warehouse at acquisition prices, each
//         with the input document "BT" the transfer generates there;
//       * scrapping lists "CSR" of inventory objects, each article once;
//   - the counters of Counter.DB.
// The stock table is left as it was: run the stock recalculation afterwards.
//
// The database is written in one unit of work, the documents and their lines
// in inserts of a hundred rows (every value bound) prepared once; the same
// seed gives the same database, in a SQLite file or in a server schema.

#include "common/parameters.h"
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
    qint64 inputDocuments = 0;  // counter >= 1, the inputs of transfers included
    qint64 outputDocuments = 0;
    qint64 inputLines = 0;      // counter >= 1
    qint64 initialLines = 0;    // counter -1
    qint64 outputLines = 0;
    qint64 invoices = 0;        // of the outputs: "FCT"
    qint64 deliveryNotes = 0;   // "AE"
    qint64 transfers = 0;       // "BT" (each with its input document)
    qint64 scrappings = 0;      // "CSR"
    qint64 payments = 0;        // invoices paid at their issue
    QDate first;                // the first and last registration dates
    QDate last;
};

// The first and last day of the documents.
QDate firstDay();
QDate lastDay();

// The parameters the generated documents follow, as TBXDEF.INI holds them.
common::Parameters GeneratedParameters(const GenerateOptions& options);

// Writes `parameters` into TBXDEF.INI of `directory` as the parameters
// dialog saves them, with FirmNo and "Conversie la RON". Throws
// common::EParameters when the file cannot be written.
void WriteParameterFile(const QString& directory, const common::Parameters& parameters);

// Writes TBXDEF.INI of the database's directory first, then fills `db` (its
// tables created, no documents yet). `progress` receives a Romanian line now
// and then. Throws the storage's errors (no row is written then) and
// common::EParameters (nothing is written).
GenerateSummary GenerateTestDatabase(datastore::Database& db, const GenerateOptions& options,
                                     const std::function<void(const QString&)>& progress = {});

} // namespace testdata
