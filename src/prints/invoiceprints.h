#pragma once
// The invoice of an output document, in its three prints:
//
// - the invoice on plain paper (TFactRepForm): the issuer, the buyer, the
//   series and number, one line per article and price, the totals, the
//   signatures and, when chosen, the footer text of INVFOOT.TXT; long
//   invoices go on over several pages, the column header on each;
// - the invoice with its receipt below it (TFactChRepForm): the same invoice
//   and the receipt of the payment recorded for the document, its sum also in
//   words;
// - the invoice on pre-printed forms: every element placed from the layout
//   file Factura.INI (TQRIni... elements), the dispatch details of
//   TRANSPORT.TXT in its footer, the totals of each page at the foot of the
//   page and the document's totals on its last page.
//
// Lines of the same article at the same price print as one line with the
// summed quantity, VAT and excise; a line whose article is no longer in the
// catalog prints with its code and no name.

#include "documentprints.h"
#include "layoutfile.h"
#include "printsettings.h"

#include "common/dialogs.h"

#include <QString>

class QWidget;

namespace prints {

inline constexpr const char* kInvoiceLayoutFileName = "Factura.INI";
// Sections of Factura.INI.
inline constexpr const char* kFirmHeaderSection = "Antet firma";
inline constexpr const char* kClientHeaderSection = "Antet client";
inline constexpr const char* kInvoiceHeaderSection = "Antet factura";
inline constexpr const char* kInvoiceLineSection = "Pozitie factura";
// The totals, the dispatch details and, when the file places them (keys
// Cote_stinga, BazaCote_dreapta, TVACote_dreapta), the rates with their base
// and VAT at the foot of the last page.
inline constexpr const char* kInvoiceFooterElementsSection = "Baza factura";

// The prints, ready to be laid out. The engine's error (DbError) when the
// tables cannot be read.
//
// Uses request.contor, seriesNumber (plain and with receipt), receiptNumber
// (with receipt), options.comment, options.description (pre-printed) and
// definitionDir (INVFOOT.TXT, TRANSPORT.TXT).
DocumentPrint BuildInvoice(const PrintRequest& request);
DocumentPrint BuildInvoiceWithReceipt(const PrintRequest& request);
// Opens request.layoutDirectory()/Factura.INI (kept open by the print) and
// takes the page from it: margins, paper, portrait, the heights of the
// header and of the footer; after printing the page goes back into it
// (DocumentPrint::keepPage: margins, paper, both heights).
DocumentPrint BuildPreprintedInvoice(const PrintRequest& request);

// The prints shown in the preview or sent to the printer with `settings`.
// False after an error (shown) or when nothing was printed.
bool PrintInvoice(QWidget* owner, const PrintRequest& request, const PrintSettings& settings,
                  common::Dialogs& dialogs);
bool PrintInvoiceWithReceipt(QWidget* owner, const PrintRequest& request, const PrintSettings& settings,
                             common::Dialogs& dialogs);
// Shows the print setup itself, opened on the page of Factura.INI; the
// printer, preview, copies and pages chosen go back into `settings`, the page
// goes back into Factura.INI after printing (see PrintPreprintedForm). No
// number is taken: the form carries its own.
bool PrintPreprintedInvoice(QWidget* owner, const PrintRequest& request, PrintSettings& settings,
                            common::Dialogs& dialogs);

} // namespace prints
