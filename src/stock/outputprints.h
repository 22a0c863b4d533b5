#pragma once
// The prints of an output document, reached from its window's "&Listeaza":
// each OutputPrintJob goes to its entry of the table of document prints
// (prints::documentPrintKinds()), the pre-printed invoice and delivery note
// to their own prints, which show the print setup on the page of their layout
// file and write the page back into it.

#include "docoutlogic.h"

#include "prints/documentprints.h"
#include "prints/printsettings.h"

#include <QString>

class QWidget;

namespace stock {

// What the prints need from the program.
struct OutputPrintContext {
    datastore::Database& database;
    const common::Parameters& parameters;
    const common::Formats& formats;
    prints::PrintSettings& printSettings;
    common::Dialogs& dialogs;
    QString definitionDir; // the database directory: INVFOOT.TXT, TRANSPORT.TXT
    QString layoutDir;     // where the layout files of pre-printed forms lie (Factura.INI, Aviz.INI)
};

// The name of the print in prints::documentPrintKinds() ("invoice", "delivery-note", ...).
QString outputPrintName(OutputPrint kind);
// Its Romanian caption, for messages.
QString outputPrintCaption(OutputPrint kind);
// The request of a job, with the context's directories.
prints::PrintRequest outputPrintRequest(const OutputPrintContext& context, const OutputPrintJob& job);

// Prints the job (the print setup was shown before, except for the
// pre-printed forms, which show their own). A print this edition does not
// have yet is a message. False when nothing was printed.
bool PrintOutputDocument(QWidget* owner, const OutputPrintContext& context, const OutputPrintJob& job);

} // namespace stock
