#pragma once
// The prints of one document, built without a window: what the document
// windows hand to the preview or the printer, and what `mirafel-cli print`
// writes to PDF or as text. Each kind of print is one entry of
// documentPrintKinds(); a print is a report definition with its rows. Each
// kind declares the page it is designed for, and keeps its own print
// settings (printstore.h).

#include "chooseprints.h"
#include "printsettings.h"
#include "printstore.h"
#include "layoutfile.h"

#include "common/dialogs.h"
#include "common/formats.h"
#include "common/parameters.h"
#include "datastore/database.h"
#include "reportengine/reportengine.h"
#include "reportengine/rowsource.h"

#include <QDate>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

class QWidget;

namespace prints {

// A print ready to be laid out: the definition and the rows it runs over.
struct DocumentPrint {
    std::unique_ptr<reportengine::Report> report;
    std::unique_ptr<reportengine::RowSource> rows;
    // What the report's elements use while it is laid out (the layout file of a pre-printed form).
    std::shared_ptr<void> resources;
    // Pre-printed forms: writes the page the report was printed with (its
    // margins, paper and band heights) back into the form's layout file.
    // False when the file cannot be written; empty for the other prints.
    std::function<bool()> keepPage = {};
    QString layoutFile = {}; // the full name of that layout file

    reportengine::PageList layout() const { return report->layout(*rows); }
};

// What a print needs to know of its document and of the program.
struct PrintRequest {
    PrintRequest(datastore::Database& database, const common::Parameters& params, const common::Formats& fmt,
                 QString directory)
        : db(database), parameters(params), formats(fmt), definitionDir(std::move(directory)) {}
    datastore::Database& db;
    const common::Parameters& parameters;
    const common::Formats& formats;
    QString definitionDir;      // the database directory (INI files and texts of the prints)
    double contor = 0;          // the document's counter
    QDate registrationDate;     // the document's registration date
    QString seriesNumber;       // invoices and delivery notes: series and number as printed
    double receiptNumber = 0;   // the invoice with receipt
    QString explanation;
    QString warehouseName;      // hand-over note: the receiving warehouse
    QString beneficiary;        // consumption note: the beneficiary's name
    PrintOptions options;
    QString layoutDir;          // where the layout files of pre-printed forms lie; empty: definitionDir
    // The private directory's connection (Etichete.DB of the labels,
    // LZilnica.DB of the daily list); null: those tables are read from `db`.
    datastore::Database* privateDb = nullptr;

    QString layoutDirectory() const { return layoutDir.isEmpty() ? definitionDir : layoutDir; }
};

struct DocumentPrintKind {
    QString name;    // the command line's name: "invoice", "receipt-note", ...
    QString caption; // Romanian, for lists and messages
    std::function<DocumentPrint(const PrintRequest&)> build; // DbError when the tables cannot be read
    PageDesign design; // the font and page the report is built on
    QString layoutFile = {}; // pre-printed forms: the layout file ("Factura.INI"), in PrintRequest::layoutDirectory()
};

// Every kind of document print, in a fixed order.
const std::vector<DocumentPrintKind>& documentPrintKinds();
// The kind named `name`, or nullptr.
const DocumentPrintKind* findDocumentPrintKind(const QString& name);

// The print settings of the print named `name`, kept in `store` (a name
// not in the table starts from a document's page).
PrintSettings& documentPrintSettings(PrintSettingsStore& store, const QString& name);

// The page of `settings` set on a print without a printer (the command
// line's PDF and text): font, paper (0: A4), orientation and margins; a
// print whose page comes from its layout file takes only the font.
void applyPrintPage(DocumentPrint& print, const DocumentPrintKind& kind, const PrintSettings& settings);

// Shows a built print in the preview, or sends it to the printer, with the
// print settings (font, paper, orientation, margins, copies, pages; the
// preview when settings.preview); a pre-printed form then keeps its page in
// its layout file (an error shown when the file cannot be written). False
// when nothing was shown or printed.
bool ShowDocumentPrint(QWidget* owner, const DocumentPrint& print, const PrintSettings& settings,
                       common::Dialogs& dialogs);
// What follows a print: the page kept by a pre-printed form; false (after
// the error "Nu pot scrie fisierul ...!") when its file cannot be written.
bool keepPrintedPage(const DocumentPrint& print, common::Dialogs& dialogs);

// The steps of printing a pre-printed form: the print setup over the
// settings (false: nothing is printed) and the preview or the printer.
struct FormPrintSteps {
    std::function<bool(PrintSettings&)> setup;
    std::function<bool(const DocumentPrint&, const PrintSettings&)> show;
};
// Prints the pre-printed form of kind `name` ("preprinted-invoice",
// "preprinted-delivery-note"): the setup opens on the page its layout file
// keeps (margins, paper, portrait) with the rest of `settings`; the form is
// printed on the page chosen there, which then goes back into the layout
// file. What the setup chose beside the page (printer, font, preview,
// copies, pages) stays in `settings` for the next prints; the page does not.
// False after an error (shown) or when nothing was printed.
bool PrintPreprintedForm(const QString& name, const PrintRequest& request, PrintSettings& settings,
                         common::Dialogs& dialogs, const FormPrintSteps& steps);
// The same with the print setup dialog and the preview or printer of this computer.
bool PrintPreprintedForm(QWidget* owner, const QString& name, const PrintRequest& request, PrintSettings& settings,
                         common::Dialogs& dialogs);

// Builds the print of kind `name` for `request` and shows or prints it with
// `settings` (a print on a pre-printed form on the page of its layout file).
// A kind that does not exist, or tables that cannot be read, end in a
// message and false.
bool PrintDocumentKind(QWidget* owner, const QString& name, const PrintRequest& request,
                       const PrintSettings& settings, common::Dialogs& dialogs);

} // namespace prints
