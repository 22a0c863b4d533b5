#pragma once
// The receipt note of an input document ("Nota de receptie"): the issuer,
// the document and its supplier, one row per line with its value and VAT,
// the totals, the receiving commission and the keeper who took the goods.

#include "printsettings.h"

#include "common/dialogs.h"
#include "common/formats.h"
#include "common/parameters.h"
#include "datastore/database.h"
#include "reportengine/reportengine.h"
#include "reportengine/rowsource.h"

#include <QDate>
#include <memory>

class QWidget;

namespace prints {

struct ReceiptNote {
    std::unique_ptr<reportengine::Report> report;
    std::unique_ptr<reportengine::ListSource> rows;
};

// The note of input document `contor`, ready to be laid out. The engine's
// error (DbError) when the tables cannot be read.
ReceiptNote BuildReceiptNote(datastore::Database& db, const common::Parameters& parameters,
                             const common::Formats& formats, double contor, const QDate& registrationDate);

// Builds the note and hands it to the printer or the preview with the
// settings chosen in the print setup. False after an error (shown) or when
// nothing was printed.
bool PrintReceiptNote(QWidget* owner, datastore::Database& db, const common::Parameters& parameters,
                      const common::Formats& formats, const PrintSettings& settings, common::Dialogs& dialogs,
                      double contor, const QDate& registrationDate);

} // namespace prints
