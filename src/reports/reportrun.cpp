#include "reportrun.h"

#include "answertables.h"
#include "datastore/dberror.h"
#include "datastore/privatedirectory.h"

namespace reports {

using namespace reportengine;

ReportUi::~ReportUi() = default;

void connectPrivateDirectory(datastore::Database& db, datastore::Database& privateDb, const QString& databaseDir,
                             const QString& privateDir)
{
    if (!privateDir.isEmpty()) {
        // On a server the working tables go to this workstation's schema there.
        datastore::placePrivateDirectory(privateDir, databaseDir);
        privateDb.setDirectory(privateDir); // the engine follows what the directory now holds
        db.attach(QString::fromLatin1(datastore::kPrivateAlias), privateDir);
    }
    if (!databaseDir.isEmpty())
        privateDb.attach(QString::fromLatin1(datastore::kDatabaseAlias), databaseDir);
}

void useDefaultPrintParameters(ReportContext& ctx, prints::PageOrientation orientation)
{
    if (ctx.printSettings.userChoice)
        return;
    prints::useDocumentDefaults(ctx.printSettings);
    ctx.printSettings.orientation = orientation;
    ctx.ui.showProgress(orientation == prints::PageOrientation::Landscape
                            ? QStringLiteral("Parametrii de listare impliciti: Arial, 8, A4, Peisaj")
                            : QStringLiteral("Parametrii de listare impliciti: Arial, 8, A4, Portret"));
}

bool chooseBudget(ReportContext& ctx, QString& budget)
{
    const QVariant any = ctx.db.scalar(QStringLiteral("SELECT 1 FROM \"Client.db\" LIMIT 1"));
    if (!any.isValid()) {
        budget.clear();
        return true;
    }
    QString chosen;
    if (!ctx.ui.selectBudget(chosen))
        return false;
    budget = chosen;
    return true;
}

QString budgetName(datastore::Database& db, const QString& code)
{
    if (code.isEmpty())
        return {};
    return db.scalar(QStringLiteral("SELECT DISTINCT Nume_client FROM \"Client.DB\" WHERE (Cod_client = :PBuget) "
                                    "ORDER BY Nume_client"),
                     {{QStringLiteral("PBuget"), code}})
        .toString();
}

QString budgetLine(datastore::Database& db, const QString& code)
{
    if (code.isEmpty())
        return {};
    return QStringLiteral("Buget: ") + budgetName(db, code);
}

QString reportErrorText(const QString& engineText)
{
    return QString::fromLatin1(kDatabaseAccessError) + QStringLiteral("\r<") + engineText + QStringLiteral(">!");
}

FirmData readFirmData(datastore::Database& db, int firmNo)
{
    FirmData firm;
    datastore::Query q = db.query(QStringLiteral("SELECT Denumire, Adresa, \"Cod fiscal\", Comisia1, Comisia2, Comisia3, "
                                                 "Comisia4, Comisia5, Comisia6 FROM FIRMDATA WHERE Cod = :f"),
                                  {{QStringLiteral("f"), firmNo}});
    if (q.next()) {
        firm.name = q.value(0).toString();
        firm.address = q.value(1).toString();
        firm.fiscalCode = q.value(2).toString();
        for (int i = 3; i < 9; ++i)
            firm.commission << q.value(i).toString();
    }
    while (firm.commission.size() < 6)
        firm.commission << QString();
    return firm;
}

double addFirmHeader(Band& band, const FirmData& firm)
{
    band.label(0, 0, 120, firm.name).bold();
    band.label(0, 4, 18, QStringLiteral("Adresa"));
    band.label(18, 4, 100, firm.address);
    band.label(0, 8, 18, QStringLiteral("Cod fiscal"));
    band.label(18, 8, 60, firm.fiscalCode);
    return 13;
}

double addSignatureBlock(Band& band, double y, const FirmData& firm, const QString& keeperField)
{
    band.label(60, y, 60, QStringLiteral("Numele                                    si                                    prenumele"));
    band.label(150, y, 40, QStringLiteral("Semnaturile"));
    y += 5;
    band.label(0, y, 60, QStringLiteral("Comisia de inventariere")).bold();
    for (int i = 0; i < 6; ++i) {
        band.label(60, y + i * 5, 85, firm.commission.value(i));
        band.label(150, y + i * 5, 50, QStringLiteral(".............................."));
    }
    y += 6 * 5 + 2;
    band.label(0, y, 60, QStringLiteral("Gestionar ..............................")).bold();
    band.field(60, y, 85, keeperField);
    band.label(150, y, 50, QStringLiteral(".............................."));
    y += 6;
    band.label(0, y, 60, QStringLiteral("Contabilitate")).bold();
    band.label(150, y, 50, QStringLiteral(".............................."));
    y += 7;
    band.label(0, y, 12, QStringLiteral("Nota:")).bold();
    band.label(12, y, 250, QString::fromLatin1(kInventoryNote)).wrap();
    return y + 10;
}

void addInventoryPageFooter(Report& report, bool onEveryPage, const QDate& stockDate, const common::Formats& formats)
{
    if (!onEveryPage) {
        report.band(BandKind::PageFooter, 5).pageNumber(0, 0, 0, QStringLiteral("Pagina %1 din %2"));
        return;
    }
    // The signatures on every page, with their own page number, take the place
    // of the plain page footer.
    Band& f = report.band(BandKind::PageFooter, 14);
    f.label(0, 0, 50, QStringLiteral("Semnaturile"));
    f.label(0, 5, 50, QStringLiteral("Comisia de inventariere"));
    f.label(90, 5, 40, QStringLiteral("Gestionar"));
    f.label(150, 5, 40, QStringLiteral("Data inventarierii"));
    f.label(185, 5, 25, common::formatDate(QStringLiteral("dd.mm.yyyy"), stockDate, formats));
    f.pageNumber(230, 9, 0, QStringLiteral("Pagina %1 din %2"));
}

bool finishReport(ReportContext& ctx, const std::function<PreparedReport()>& build, const QString& answerTable)
{
    PreparedReport prepared;
    try {
        prepared = build();
    } catch (const datastore::DbError& e) {
        ctx.ui.closeWorking();
        ctx.dialogs.error(reportErrorText(e.engineText()));
        return false;
    }
    ctx.ui.closeWorking();
    const bool shown = ctx.ui.output(*prepared.report, *prepared.rows, ctx.printSettings);
    prepared = {};
    if (shown && !answerTable.isEmpty())
        AnswerTables(ctx.privateDb).remove(answerTable, true);
    ctx.ui.showProgress(QStringLiteral("OK."));
    return shown;
}

} // namespace reports
