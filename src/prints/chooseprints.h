#pragma once
// "Listeaza...": the choice of the documents printed for an output document
// (invoice, invoice with receipt, transfer note, delivery note, consumption
// notes, scrapping list) and their options; the footer text of invoices
// (INVFOOT.TXT) and the dispatch details (TRANSPORT.TXT) kept beside the
// definition file.

#include "common/dialogs.h"
#include "common/parameters.h"

#include <QString>

class QWidget;

namespace prints {

enum PrintBits : int {
    PrintInvoiceBit = 1,
    PrintInvoiceWithReceiptBit = 2,
    PrintTransferNoteBit = 4,
    PrintDeliveryNoteBit = 8,
    PrintConsumptionNoteBit = 16,
    PrintDailyListNoteBit = 32,
    PrintScrappingBit = 64,
};

// The set a document of this type starts with ("FCT" paid -> 2, "FCT" -> 1,
// "AE" 8, "NPR"/"BT" 4, "BMC" 16, "BLZ" 32, "CSR" 64, other types 0).
int InitialPrintSet(const QString& type, bool paid);

struct PrintOptions {        // kept by the document window between prints
    bool comment = false;     // "Include comentariu la baza facturii pretiparite/"
    bool explanation = false; // "Include expl. docum. (pt. NRP sau BMC)"
    bool description = false; // "Include descrierea alaturi de denumire"
};

// The dispatch details of TRANSPORT.TXT (section Expeditie).
struct Dispatch {
    bool include = false;
    QString name, idSeries, idNumber, vehicle, date;
};

struct ChoosePrintsContext {
    common::Dialogs& dialogs;
    common::Parameters& parameters; // PreprintedInvoice; CodProdusPeFact is set from the dialog
    QString definitionDir;          // the directory of TBXDEF.INI, INVFOOT.TXT and TRANSPORT.TXT ('/' at the end)
};

// The rules of the dialog, without its widgets.
class ChoosePrintsLogic {
public:
    enum Box { Invoice, InvoiceWithReceipt, TransferNote, DeliveryNote, ConsumptionNote, DailyListNote, Scrapping, BoxCount };

    ChoosePrintsLogic(const ChoosePrintsContext& context, int printSet, const PrintOptions& options);

    bool checked(Box box) const { return m_checked[box]; }
    bool enabled(Box box) const { return !(m_preprinted && box == InvoiceWithReceipt); }
    void setChecked(Box box, bool on); // the first three exclude each other
    QString caption(Box box) const;

    bool productCode = true;    // "Include si codul produsului in descriere"
    PrintOptions options;
    bool commentEnabled() const;
    bool commentNoteVisible() const;

    QString footer;             // INVFOOT.TXT
    bool footerEdited = false;
    Dispatch dispatch;          // TRANSPORT.TXT

    // "Listeaza": CodProdusPeFact written to TBXDEF.INI, the footer (when
    // edited) and TRANSPORT.TXT saved. False, after the message, when a file
    // cannot be written.
    bool accept();
    int printSet() const;

    static Dispatch readDispatch(const QString& path);
    static bool writeDispatch(const QString& path, const Dispatch& dispatch);

private:
    ChoosePrintsContext m_ctx;
    bool m_preprinted = false;
    bool m_checked[BoxCount] = {};
};

// "Listeaza...": true when "Listeaza" was pressed; printSet and options are in/out.
bool ChoosePrints(QWidget* window, const ChoosePrintsContext& context, int& printSet, PrintOptions& options);

} // namespace prints
