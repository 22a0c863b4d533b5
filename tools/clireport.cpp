// mirafel-cli report: any report without the windows, through the same
// definitions the main window runs.

#include "clicommon.h"

#include "common/inifile.h"
#include "datastore/database.h"
#include "datastore/dataset.h"
#include "datastore/privatedirectory.h"
#include "reportengine/exportfilters.h"
#include "reportengine/output.h"
#include "reports/batchui.h"
#include "reports/reportlist.h"

#include <QDate>
#include <QDir>
#include <QTemporaryDir>

namespace cli {

namespace {

// Messages of the report go to the error stream, and a message asking to go
// on is answered Yes (OK). The report's own yes/no questions are answered by
// the options: --signatures, --group-totals (without them, No).
class ConsoleDialogs : public common::Dialogs {
public:
    common::Answer message(common::Icon, const QString& text, common::Buttons buttons) override
    {
        err() << common::displayText(text) << Qt::endl;
        return buttons == common::Buttons::Ok || buttons == common::Buttons::OkCancel ? common::Answer::Ok
                                                                                        : common::Answer::Yes;
    }
    std::optional<QString> inputBox(const QString&, const QString&, const QString& initial) override { return initial; }
    void beep() override {}
};

std::optional<QDate> dateOption(const Options& options, const QString& name)
{
    if (!options.values.contains(name))
        return std::nullopt;
    const QDate d = QDate::fromString(options.values.value(name), Qt::ISODate);
    if (!d.isValid())
        return QDate();
    return d;
}

} // namespace

int reportCommand(const QStringList& args)
{
    bool ok = false;
    const Options options = parseOptions(args, {QStringLiteral("text"), QStringLiteral("group-totals"), QStringLiteral("signatures")}, &ok);
    const int outputs = int(options.has(QStringLiteral("text"))) + int(options.values.contains(QStringLiteral("pdf")))
                        + int(options.values.contains(QStringLiteral("csv")))
                        + int(options.values.contains(QStringLiteral("html")));
    if (!ok || options.positional.size() != 2 || outputs != 1)
        return 2;
    const QString dir = options.positional.at(0);
    const reports::ReportKind* kind = reports::findReportKind(options.positional.at(1));
    if (!kind) {
        QStringList names;
        for (const reports::ReportKind& k : reports::reportKinds())
            names << k.name;
        err() << "Unknown report. Reports: " << names.join(QStringLiteral(", ")) << Qt::endl;
        return 2;
    }
    const std::optional<QDate> date = dateOption(options, QStringLiteral("date"));
    const std::optional<QDate> from = dateOption(options, QStringLiteral("from"));
    const std::optional<QDate> to = dateOption(options, QStringLiteral("to"));
    if ((date && !date->isValid()) || (from && !from->isValid()) || (to && !to->isValid()))
        return 2;
    if (const QString problem = databaseProblem(dir); !problem.isEmpty()) {
        err() << problem << Qt::endl;
        return 1;
    }
    if (const QString problem = printSettingsFileProblem(options); !problem.isEmpty()) {
        err() << problem << Qt::endl;
        return 1;
    }

    reports::BatchReportUi ui;
    ui.date = date;
    ui.from = from;
    ui.to = to;
    if (options.values.contains(QStringLiteral("warehouses")))
        ui.warehouses = reports::quotedList(options.values.value(QStringLiteral("warehouses")).split(u',', Qt::SkipEmptyParts));
    ui.groupTotalsOnly = options.has(QStringLiteral("group-totals"));
    ui.signaturesOnEveryPage = options.has(QStringLiteral("signatures"));
    if (options.values.contains(QStringLiteral("budget")))
        ui.budget = options.values.value(QStringLiteral("budget"));
    if (options.values.contains(QStringLiteral("articles"))) {
        QList<reports::ArticleKey> keys;
        for (const QString& pair : options.values.value(QStringLiteral("articles")).split(u',', Qt::SkipEmptyParts)) {
            const qsizetype slash = pair.indexOf(u'/');
            if (slash < 0)
                return 2;
            keys.append({pair.left(slash), pair.mid(slash + 1), {}});
        }
        ui.articles = reports::ArticleSelection::fromKeys(keys);
    }

    const DirectorySettings settings = directorySettings(dir);
    // The working tables go to a private directory of this run.
    // With the database on a server they go to a schema of the run there,
    // dropped at the end (after both connections have closed).
    QTemporaryDir privateDir;
    struct DropRunSchema {
        QString dir;
        ~DropRunSchema()
        {
            try {
                datastore::dropPrivateSchema(dir);
            } catch (const std::exception& e) {
                err() << "error: " << datastore::errorText(e) << Qt::endl;
            }
        }
    } dropRunSchema{privateDir.path()};
    datastore::Database db;
    datastore::Database privateDb{QString::fromLatin1(datastore::kPrivateAlias)};
    db.setDirectory(dir);
    try {
        reports::connectPrivateDirectory(db, privateDb, QDir(dir).absolutePath() + u'/', privateDir.path() + u'/');
    } catch (const std::exception& e) {
        err() << "error: " << datastore::errorText(e) << Qt::endl;
        return 1;
    }
    ConsoleDialogs dialogs;
    reports::ReportSelection selection = reports::ReportSelection::initial();
    if (date)
        selection.stockDate = *date;
    // The report's own settings: its defaults, then what the user chose for it.
    common::IniFile ini(options.values.value(QStringLiteral("ini")));
    prints::PrintSettingsStore store(ini);
    reports::ReportContext ctx{db,     privateDb, privateDir.path() + u'/', settings.parameters, settings.formats,
                               dialogs, selection, reports::reportPrintSettings(store, *kind), ui};
    try {
        if (!kind->run(ctx))
            return 1;
    } catch (const std::exception& e) {
        err() << "error: " << datastore::errorText(e) << Qt::endl;
        return 1;
    }
    const reportengine::PageList& pages = ui.pages;
    QString error;
    if (options.has(QStringLiteral("text"))) {
        out() << reportengine::plainText(pages);
        out().flush();
        return 0;
    }
    if (options.values.contains(QStringLiteral("pdf"))) {
        if (!reportengine::writePdf(pages, options.values.value(QStringLiteral("pdf")), &error)) {
            err() << error << Qt::endl;
            return 1;
        }
    } else {
        const bool html = options.values.contains(QStringLiteral("html"));
        reportengine::HtmlExportFilter htmlFilter;
        reportengine::CsvExportFilter csvFilter;
        reportengine::ExportFilter& filter = html ? static_cast<reportengine::ExportFilter&>(htmlFilter) : csvFilter;
        if (!reportengine::exportReport(pages, filter, options.values.value(html ? QStringLiteral("html") : QStringLiteral("csv")),
                                        &error)) {
            err() << error << Qt::endl;
            return 1;
        }
    }
    out() << pages.pageCount() << (pages.pageCount() == 1 ? " pagina" : " pagini") << Qt::endl;
    return 0;
}

} // namespace cli
