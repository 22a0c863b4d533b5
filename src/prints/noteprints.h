#pragma once
// The notes printed from the documents besides the invoice, each built from
// a PrintRequest into a report and its rows (see documentprints.h):
//
// - the daily food list of an input document "LZ" ("LISTA ZILNICA DE
//   ALIMENTE"), from LZilnica.DB of the private directory: one row per
//   allocation type with the carried-over, the day's and the total figures
//   side by side;
// - the hand-over note of an output document ("NOTA DE TRANSFER"), lines
//   grouped by budget;
// - the delivery note ("AVIZ DE INSOTIRE A MARFII"), on plain paper or on a
//   pre-printed form placed by the layout file Aviz.INI;
// - the materials consumption note ("BON CONSUM MATERIALE"), grouped by
//   budget (when its lines hold more than one, lines without a budget being
//   one of them, or when their one budget is in Client.DB) and article group;
// - the list of scrapped inventory objects, grouped by warehouse;
// - the inventory labels of the stock window, from Etichete.DB of the
//   private directory, three to a row.
//
// A line whose article the catalog no longer holds is printed all the same,
// with its code and no name. Every builder throws the engine's error
// (DbError) when its tables cannot be read.

#include "documentprints.h"
#include "printsettings.h"

#include "common/dialogs.h"

#include <functional>

class QWidget;

namespace prints {

// The groups of columns of the daily food list, left to right.
inline constexpr const char* kDailyListPeriods[] = {"Report", "Ziua curenta", "Total"};

DocumentPrint BuildDailyFoodList(const PrintRequest& request);
DocumentPrint BuildHandOverNote(const PrintRequest& request);
DocumentPrint BuildDeliveryNote(const PrintRequest& request);
inline constexpr const char* kDeliveryNoteLayoutFileName = "Aviz.INI";
// Opens Aviz.INI of request.layoutDir (definitionDir when empty), takes its
// margins, paper and header height and keeps the file open in the print: its
// elements are placed from it when laid out, and the page goes back into it
// after printing (DocumentPrint::keepPage). At the foot of each page the
// total of its lines, on the last page the document's total.
DocumentPrint BuildPreprintedDeliveryNote(const PrintRequest& request);
DocumentPrint BuildConsumptionNote(const PrintRequest& request);
DocumentPrint BuildScrappingList(const PrintRequest& request);
DocumentPrint BuildLabels(const PrintRequest& request);

// The pre-printed delivery note from its document window: the print setup
// opened on the page of Aviz.INI, the page written back after printing (see
// PrintPreprintedForm). False when nothing was printed.
bool PrintPreprintedDeliveryNote(QWidget* owner, const PrintRequest& request, PrintSettings& settings,
                                 common::Dialogs& dialogs);

inline constexpr const char* kLabelsDefaultsStatus = "Parametrii de listare impliciti: Arial, 8, A4, Portret";
inline constexpr const char* kLabelsPrintingStatus = "Listez...";
inline constexpr const char* kLabelsDoneStatus = "OK.";

// "Listeaza etichete": the labels of Etichete.DB (in `privateDb`) go to the
// preview or the printer. The print parameters become the documents'
// defaults (Arial 8, A4, portrait), the print setup is shown (nothing is
// printed when it is closed), and the status line follows the print. False
// after a database error (shown) or when nothing was printed.
bool PrintLabels(QWidget* owner, datastore::Database& privateDb, const common::Parameters& parameters,
                 const common::Formats& formats, PrintSettings& settings, common::Dialogs& dialogs,
                 const std::function<void(const QString&)>& showProgress = {});

} // namespace prints
