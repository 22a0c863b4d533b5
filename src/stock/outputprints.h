#pragma once
// The prints of an output document, reached from its window's "&Listeaza":
// each OutputPrintJob goes to its entry of the table of document prints
// (prints::documentPrintKinds()) with that print's own settings, the
// pre-printed invoice and delivery note to their own prints, which show the
// print setup on the page of their layout file and write the page back into it.

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
    prints::PrintSettingsStore& printSettings; // each print's own
    common::Dialogs& dialogs;
    QString definitionDir; // the database directory: INVFOOT.TXT, TRANSPORT.TXT
    QString layoutDir;     // where the layout files of pre-printed forms lie (Factura.INI, Aviz.INI)
};

// The name of the print in prints::documentPrintKinds() ("invoice", "delivery-note", ...).
QString outputPrintName(OutputPrint kind);
// Its Romanian caption, for messages.
QString outputPrintCaption(OutputPrint kind);
// Its entry in the table of document prints; nullptr for a print this
// edition does not make.
const prints::DocumentPrintKind* outputPrintKind(OutputPrint kind);
// The print settings of that print, kept in `store`.
prints::PrintSettings& outputPrintSettings(prints::PrintSettingsStore& store, OutputPrint kind);
// "Listarea "<caption>" nu este disponibila in aceasta versiune."
QString unavailablePrintMessage(OutputPrint kind);
// The request of a job, with the context's directories.
prints::PrintRequest outputPrintRequest(const OutputPrintContext& context, const OutputPrintJob& job);

// Prints the job with its print's settings (the print setup was shown
// before, except for a print on a pre-printed form, which shows its own). A
// print this edition does not have yet is a message. False when nothing was
// printed.
bool PrintOutputDocument(QWidget* owner, const OutputPrintContext& context, const OutputPrintJob& job);

} // namespace stock
