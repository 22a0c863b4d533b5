#pragma once
// Pieces shared by the document prints: the issuer's record, the rows of a
// statement, masks and texts as the prints write them.

#include "common/documenttotals.h"
#include "common/formats.h"
#include "datastore/database.h"
#include "reportengine/reportengine.h"
#include "reportengine/rowsource.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>

namespace prints {

using PrintRow = QVariantHash; // one row of a statement, by column name

// The rows of a statement; a column is found by its name as the statement
// writes it (see field()).
QList<PrintRow> readRows(datastore::Database& db, const QString& sql, const QVariantHash& params = {});
// A field of a row by name, ignoring case; empty when absent.
QVariant field(const PrintRow& row, const QString& name);
QString textOf(const PrintRow& row, const QString& name);

// The issuer: the Firmdata.DB record whose Cod is `firmNo` (empty when there is none).
PrintRow issuerOf(datastore::Database& db, int firmNo);

// "#,##0." followed by `decimals` zeros: the money mask of the prints.
QString moneyMask(int decimals);
// The mask of a unit price: the money mask and up to four decimals more when
// the price has them, so that a price of 0,335 lei prints as it is and the
// quantity times the printed price gives the line's value.
QString priceMask(int decimals);
// A date as the prints write it; empty for an empty value.
QString dateText(const QVariant& date, const common::Formats& formats,
                 const QString& mask = QStringLiteral("dd.mm.yyyy"));
// A whole number kept in a float (a counter, a document number) without
// decimals; empty for an empty value.
QString wholeText(const QVariant& number);

// The text of a printed line: the catalog's name (and description when
// `withDescription`), preceded by the article code and " - " when
// `withCode`. An article the catalog does not hold (no name) prints its code.
QString lineText(const QString& code, const QVariant& name, const QString& description, bool withCode,
                 bool withDescription);

// A list of rows for a report: `columns` taken from each row by name.
std::unique_ptr<reportengine::ListSource> listOf(const QStringList& columns, const QList<PrintRow>& rows);

// The issuer block of the notes: name (bold), "O.R.C.", "Cod fiscal",
// "Localitatea", "Judetul", "Contul", "Banca", one under the other from
// (x, y), 4 mm apart. Returns the y under the block.
double issuerBlock(reportengine::Band& band, double x, double y, double width, const PrintRow& issuer);

inline const QString kQuantityMask = QStringLiteral("0.######");
inline const QString kVatMask = QStringLiteral("#,##0.00");

inline QString S(const char* text)
{
    return QString::fromUtf8(text);
}

struct PrintRequest;

// A report on A4 in `orientation`, Arial 8, margins of 10 mm, the request's formats.
std::unique_ptr<reportengine::Report> newReport(const PrintRequest& request, reportengine::Orientation orientation,
                                                const QString& title);

// A column of a note: its place, its title (one line per text) and what
// the detail band prints under it.
struct Column {
    double x;
    double width;
    QStringList title;
    QString field; // empty: the running count
    QString mask;
    bool right = false;
};

// The column titles in `head` (boxed, `headHeight` high) and the fields in
// `detail`. The running count restarts after `countReset` when given.
void addColumns(reportengine::Band& head, reportengine::Band& detail, const QList<Column>& columns, double headHeight,
                const reportengine::Band* countReset = nullptr);
// The numbers under the column titles ("0", "1", ..., "5=3x4"), at `y`.
void numberColumns(reportengine::Band& head, const QList<Column>& columns, const QStringList& numbers, double y);
// The page footer of the notes: the printing date and time, the page and the form's code.
void pageFooter(reportengine::Report& r, double width, const QString& formCode);

// The header of an output document with its client: Contor,
// Data_inregistrarii, Numar, Tip, Data, Client, Explicatie, Nume_client,
// Adresa, Cod_fiscal, ORC, Cont_bancar, Banca, Judetul. Empty when there is none.
PrintRow outputHeader(datastore::Database& db, double contor);
// The registration date asked for, else the document's.
QVariant registrationDate(const PrintRequest& request, const PrintRow& header);
// A field of the warehouse `code` of Gest.db ("Denumire", "Gestionar"); empty when there is none.
QString warehouseField(datastore::Database& db, const QString& code, const char* name);
// The names of the budgets (Client.DB) of the lines' Agent, by code.
QHash<QString, QString> budgetNames(datastore::Database& db, const QList<PrintRow>& lines);
// What a group of lines of budget `code` is called: the budget's name;
// kNoBudget for lines without a budget; the code itself when Client.DB does
// not hold it.
inline const QString kNoBudget = QStringLiteral("(fara buget)");
QString budgetName(const QHash<QString, QString>& names, const QString& code);

// The printed lines as priced lines, valued at `priceField` times
// "Cantitate", their VAT ("TVA", printed "#,##0.00") taken to the ban.
QList<common::PricedLine> pricedLines(const QList<PrintRow>& lines, const char* priceField);

} // namespace prints
