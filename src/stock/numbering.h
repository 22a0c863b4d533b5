#pragma once
// Document numbers:
//   - the internal counter of a document header (Counter.DB), taken when a
//     document is started and given back when the newest one is dropped;
//   - the line number inside a document;
//   - proposals for the document's own number (Numar);
//   - the series numbers of the printed fiscal documents: invoices
//     (Fctser.DB), delivery notes (Aeser.DB) and receipts (Chser.db), drawn
//     from the series parameters when a document is printed for the first
//     time and kept by the document for good.
//
// Every take reads and writes inside one write transaction, so two
// workstations can never receive the same counter or the same series number.
// Messages are shown after the transaction has ended.

#include "common/dialogs.h"
#include "common/parameters.h"
#include "datastore/database.h"

#include <QDate>
#include <QString>

namespace stock {

enum class CounterField {
    In,    // NewCounterIn: input documents and the inputs of transfers
    Out,   // NewCounterOut: output documents
    Com,   // NewCounterCom: orders
    Prof,  // NewCounterProf: proforma documents (scrapping proposals)
    Off,   // NewCounterOff: offers
    OffC,  // NewCounterOffC
};
QString counterFieldName(CounterField field);

// The next internal counter of a kind of document; the engine's error
// (DbError) when the counter table cannot be taken.
double TakeCounter(datastore::Database& db, CounterField field);
// Gives a counter back when it is the last one issued; otherwise it is lost.
void GiveBackCounter(datastore::Database& db, CounterField field, double contor);

// The next Contor_secundar of a document's lines in `table` ("ITEM_IN",
// "ITEM_OUT"); 1 for a document without lines.
double NextLineNumber(datastore::Database& db, const QString& table, double contor);

// Numar proposed for an output document of type `type` registered in `year`:
// the largest of that type and year plus 1.
double ProposeOutputNumber(datastore::Database& db, int year, const QString& type);
// Numar proposed for an "LZ" input document registered in `year`.
double ProposeLzNumber(datastore::Database& db, int year);

struct SeriesNumber {
    bool ok = false;
    QString series;
    double number = 0;
};

// The invoice series and number of an output document; the same values every
// time for the same document.
SeriesNumber GetInvoiceNumber(datastore::Database& db, const common::Parameters& parameters,
                              common::Dialogs& dialogs, double contor);
// The delivery note series and number of an output document.
SeriesNumber GetDeliveryNoteNumber(datastore::Database& db, const common::Parameters& parameters,
                                   common::Dialogs& dialogs, double contor);
// The receipt number for an output document's collection of `date`.
SeriesNumber GetReceiptNumber(datastore::Database& db, const common::Parameters& parameters,
                              common::Dialogs& dialogs, double contor, const QDate& date);

// "%s %-12.0f": the series and number as printed documents show them.
QString formatSeriesNumber(const QString& series, double number);

} // namespace stock
