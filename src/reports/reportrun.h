#pragma once
// What every report shares: the questions it asks (ReportUi), what it works
// on (ReportContext), and the pieces of the standard run:
//
//   1. the default print parameters ("Parametrii de listare impliciti: ..."),
//      unless the user chose this report's settings;
//   2. the selections, in the report's order (a cancel ends the command);
//   3. the print settings (a cancel ends the command);
//   4. "Listez..." (or the report's own step texts, each beginning with a blank);
//   5. the answer tables;
//   6. the report statement, selections joined through the private tables,
//      answer tables named by QualifyAnswerTable, Eps = Epsilon;
//   7. preview or print;
//   8. the answer table deleted, "OK.".
//
// A database error while the report reads its data ends the command with
// "Eroare de acces la baza de date!", a line break and the engine's text
// between "<" and ">!" (reportErrorText); nothing is printed.

#include "selection.h"

#include "catalogs/rates.h"
#include "common/dialogs.h"
#include "common/formats.h"
#include "common/parameters.h"
#include "datastore/database.h"
#include "prints/printsettings.h"
#include "reportengine/reportengine.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

namespace reports {

enum class DocumentDirection { In, Out };

// The questions of a report and its output. The application's answer is
// QtReportUi (modal dialogs, preview or printer); the command line and the
// tests answer without windows (BatchReportUi). Each question returns false
// when the user cancelled; the values change only when it returns true.
class ReportUi {
public:
    virtual ~ReportUi();
    virtual bool selectWarehouses(QString& list) = 0;             // quoted list, empty: all
    virtual bool selectDate(QDate& date) = 0;
    virtual bool selectInterval(QDate& first, QDate& last) = 0;
    virtual bool selectBudget(QString& code) = 0;                 // bare code, empty: all
    virtual bool selectArticles(ArticleSelection& articles) = 0;
    virtual bool selectDocumentTypes(DocumentDirection direction, QString& types) = 0;
    virtual bool selectBeneficiaries(QStringList& initials) = 0;
    virtual bool selectSuppliers(QString& list) = 0;
    // "Ordinea de sortare": the catalog fields an article group is sorted by.
    virtual bool selectSortOrder(QStringList& fields) = 0;
    virtual bool printSetup(prints::PrintSettings& settings) = 0;
    // The yes/no question of the inventory lists.
    virtual bool askSignaturesOnEveryPage() = 0;
    // "Doriti numai listarea centralizata pe grupe?" of the balances: true
    // prints only the group headers and the totals.
    virtual bool askGroupTotalsOnly() = 0;
    // Preview or print (step 7): the settings applied to the report, laid out
    // over the rows. False when nothing was shown or printed.
    virtual bool output(reportengine::Report& report, reportengine::RowSource& rows,
                        const prints::PrintSettings& settings) = 0;
    // The status line (ShowProgress).
    virtual void showProgress(const QString& text) { Q_UNUSED(text); }
    // The small work window ("Procesez datele...") with the hourglass.
    virtual void showWorking(const QString& text) { Q_UNUSED(text); }
    virtual void closeWorking() {}
};

// What a report works on.
struct ReportContext {
    datastore::Database& db;        // the database directory ("TSTOCK"), with TBX_PRIV attached
    datastore::Database& privateDb; // the private directory ("TBX_PRIV"), with TSTOCK attached
    QString privateDir;             // ends in '/'
    const common::Parameters& parameters;
    const common::Formats& formats;
    common::Dialogs& dialogs;
    ReportSelection& selection;
    prints::PrintSettings& printSettings; // this report's own (reportPrintSettings)
    ReportUi& ui;
    // The latest rate of each currency, read once per run of the program
    // (GetLatestRate); null: read once for this report.
    catalogs::RateCache* rates = nullptr;
};

// Connects the two connections to each other's directory (ATTACH), so that
// one statement joins a working table with the database's tables. The private
// directory follows the database first (datastore::placePrivateDirectory: a
// schema of this workstation when the database is on a server) and
// `privateDb` is set to it. Throws DbError when the server refuses.
void connectPrivateDirectory(datastore::Database& db, datastore::Database& privateDb, const QString& databaseDir,
                             const QString& privateDir);

// Step 1: Arial, 8 points, default pitch, A4 and the orientation, with the
// text "Parametrii de listare impliciti: Arial, 8, A4, Portret" (or "Peisaj").
// Settings the user chose for this report in its print setup (at this run or
// an earlier one) stay as chosen, without the text.
void useDefaultPrintParameters(ReportContext& ctx, prints::PageOrientation orientation);

// The budget selection of the reports that offer one: SelectBudget when
// Client.db has a row (false when cancelled), otherwise the budget stays empty.
bool chooseBudget(ReportContext& ctx, QString& budget);
// The name of a budget ("" when there is none or the code is empty).
QString budgetName(datastore::Database& db, const QString& code);
// "Buget: " and the name, or "" without a budget.
QString budgetLine(datastore::Database& db, const QString& code);

// "Eroare de acces la baza de date!" + "\r<" + engine text + ">!"
QString reportErrorText(const QString& engineText);
inline constexpr const char* kDatabaseAccessError = "Eroare de acces la baza de date!";
inline constexpr const char* kSignatureQuestion = "Doriti semnaturile comisiei de inventariere pe fiecare pagina?";
inline constexpr const char* kInventoryNote =
    "Toate valorile materiale si banesti au fost cuprinse in prezenta lista de inventariere si au fost verificate "
    "in natura in prezenta mea. Drept pentru care nu am de facut nici o obiectie. Valorile raman in pastrarea si "
    "raspunderea mea.";

// The current firm (Firmdata.DB, Cod = FirmNo).
struct FirmData {
    QString name;
    QString address;
    QString fiscalCode;
    QStringList commission; // Comisia1 .. Comisia6
};
FirmData readFirmData(datastore::Database& db, int firmNo);

// The firm header at the top of a page header: the name, "Adresa" and the
// address, "Cod fiscal" and the code. Returns the height used (mm).
double addFirmHeader(reportengine::Band& band, const FirmData& firm);

// The signature block of the inventory lists, printed in a warehouse footer
// from `y`: the commission and its members, "Gestionar" with dots and the
// keeper (the row field `keeperField`), the signature and name columns,
// "Contabilitate" and the note. Returns the height used (mm).
double addSignatureBlock(reportengine::Band& band, double y, const FirmData& firm, const QString& keeperField);
// The page footer of the inventory lists: with `onEveryPage` the signature
// captions, the stock date and "Pagina N din M" on every page; otherwise
// "Pagina N din M".
void addInventoryPageFooter(reportengine::Report& report, bool onEveryPage, const QDate& stockDate,
                            const common::Formats& formats);

// Money and quantity masks of the reports.
inline const QString kMoneyMask = QStringLiteral("#,##0.00");
inline const QString kQuantityMask = QStringLiteral("0.######");

// A report ready to be output: the definition and its rows.
struct PreparedReport {
    std::unique_ptr<reportengine::Report> report;
    std::unique_ptr<reportengine::RowSource> rows;
};

// Steps 6 to 8 around a report: builds it (a database error becomes the
// report error box), outputs it, drops `answerTable` after a successful
// output and shows "OK.". Returns whether it was shown or printed.
bool finishReport(ReportContext& ctx, const std::function<PreparedReport()>& build, const QString& answerTable);

} // namespace reports
