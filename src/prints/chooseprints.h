#pragma once
// "Listeaza...": the choice of prints of an output document, shown by the
// document window's "&Listeaza" before anything is printed. The rules are
// ChoosePrintsLogic (chooseprintslogic.h), the window TChoosePrintsDlg
// (tchooseprintsdlg.h).

#include "common/dialogs.h"
#include "common/parameters.h"

#include <QString>

class QWidget;

namespace prints {

// The prints of an output document, as a set of bits.
enum PrintBits : int {
    PrintInvoiceBit = 1,
    PrintInvoiceWithReceiptBit = 2,
    PrintTransferNoteBit = 4,
    PrintDeliveryNoteBit = 8,
    PrintConsumptionNoteBit = 16,
    PrintDailyListNoteBit = 32,
    PrintScrappingBit = 64,
};

// The set a document of this type starts with ("FCT" paid -> 2, "FCT" -> 1, "AE" 8, "NPR"/"BT" 4,
// "BMC" 16, "BLZ" 32, "CSR" 64, other types 0). `paid`: a payment with a non-zero amount is
// recorded for the document. Blanks around the type and its case do not count.
int InitialPrintSet(const QString& type, bool paid);

struct PrintOptions {            // kept by the document window between prints
    bool comment = false;        // "Include comentariu la baza facturii pretiparite/"
    bool explanation = false;    // "Include expl. docum. (pt. NRP sau BMC)"
    bool description = false;    // "Include descrierea alaturi de denumire"
};

// What the dialog needs from the program.
struct ChoosePrintsContext {
    // PreprintedInvoice shapes the dialog; CodProdusPeFact opens the box
    // "Include si codul produsului in descriere" and takes its value on
    // "Listeaza".
    common::Parameters& parameters;
    common::Dialogs& dialogs;
    // The database directory: TBXDEF.INI (where CodProdusPeFact is written),
    // INVFOOT.TXT and TRANSPORT.TXT.
    QString definitionDir;
};

// "Listeaza...": true when "Listeaza" was pressed; printSet and options are in/out.
//
// The dialog opens on `printSet` (a requested invoice with receipt is an
// invoice on pre-printed forms) and on options.comment; the explanation and
// description options open cleared (the explanation ticked for the
// consumption notes) and are only given back. On "Listeaza" the parameter
// CodProdusPeFact takes its box and is written to TBXDEF.INI, INVFOOT.TXT is
// written back when its text was edited, TRANSPORT.TXT takes the dispatch
// details, and printSet and options take the boxes. A footer or dispatch file
// that cannot be written is reported and the dialog stays open; TBXDEF.INI
// that cannot be written is reported and the parameter holds in memory. On
// "&Renunta" nothing changes, on disk or in memory.
bool ChoosePrints(QWidget* window, const ChoosePrintsContext& context, int& printSet, PrintOptions& options);

} // namespace prints
