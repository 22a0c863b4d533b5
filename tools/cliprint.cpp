// mirafel-cli print: one document's print without the windows.

#include "clicommon.h"

#include "common/inifile.h"
#include "datastore/database.h"
#include "datastore/dataset.h"
#include "prints/documentprints.h"
#include "reportengine/exportfilters.h"
#include "reportengine/output.h"

#include <QDate>
#include <QDir>
#include <QFile>

namespace cli {

int printCommand(const QStringList& args)
{
    bool ok = false;
    const Options options = parseOptions(args, {QStringLiteral("text"), QStringLiteral("comment"), QStringLiteral("description"),
                                                       QStringLiteral("explanation")}, &ok);
    if (!ok || options.positional.size() != 1 || !options.values.contains(QStringLiteral("document"))
        || !options.values.contains(QStringLiteral("kind"))
        || options.has(QStringLiteral("text")) == options.values.contains(QStringLiteral("pdf")))
        return 2;
    const QString dir = options.positional.first();
    const prints::DocumentPrintKind* kind = prints::findDocumentPrintKind(options.values.value(QStringLiteral("kind")));
    if (!kind) {
        QStringList names;
        for (const prints::DocumentPrintKind& k : prints::documentPrintKinds())
            names << k.name;
        err() << "Unknown print kind. Kinds: " << names.join(QStringLiteral(", ")) << Qt::endl;
        return 2;
    }
    bool numeric = false;
    const double contor = options.values.value(QStringLiteral("document")).toDouble(&numeric);
    if (!numeric)
        return 2;
    if (const QString problem = databaseProblem(dir); !problem.isEmpty()) {
        err() << problem << Qt::endl;
        return 1;
    }
    if (const QString problem = printSettingsFileProblem(options); !problem.isEmpty()) {
        err() << problem << Qt::endl;
        return 1;
    }
    // The print's own settings: its design, then what the user chose for it.
    common::IniFile ini(options.values.value(QStringLiteral("ini")));
    prints::PrintSettingsStore store(ini);
    const prints::PrintSettings& printSettings = prints::documentPrintSettings(store, kind->name);
    const DirectorySettings settings = directorySettings(dir);
    datastore::Database db;
    db.setDirectory(dir);
    prints::PrintRequest request{db, settings.parameters, settings.formats, dir};
    request.contor = contor;
    // Without --date a note is dated on its document's registration date.
    if (options.values.contains(QStringLiteral("date"))) {
        request.registrationDate = QDate::fromString(options.values.value(QStringLiteral("date")), Qt::ISODate);
        if (!request.registrationDate.isValid()) {
            err() << "--date: expected YYYY-MM-DD" << Qt::endl;
            return 2;
        }
    }
    request.seriesNumber = options.values.value(QStringLiteral("series"));
    request.receiptNumber = options.values.value(QStringLiteral("receipt")).toDouble();
    request.options.comment = options.has(QStringLiteral("comment"));
    request.options.description = options.has(QStringLiteral("description"));
    request.options.explanation = options.has(QStringLiteral("explanation"));
    try {
        prints::DocumentPrint print = kind->build(request);
        prints::applyPrintPage(print, *kind, printSettings);
        const reportengine::PageList pages = print.layout();
        if (options.has(QStringLiteral("text"))) {
            out() << reportengine::plainText(pages);
            out().flush();
        } else {
            QString error;
            if (!reportengine::writePdf(pages, options.values.value(QStringLiteral("pdf")), &error)) {
                err() << error << Qt::endl;
                return 1;
            }
            out() << pages.pageCount() << (pages.pageCount() == 1 ? " pagina" : " pagini") << Qt::endl;
        }
        // A pre-printed form keeps the page it was printed on in its layout file.
        if (print.keepPage && !print.keepPage()) {
            err() << "Nu pot scrie fisierul " << QDir::toNativeSeparators(print.layoutFile) << "!" << Qt::endl;
            return 1;
        }
    } catch (const std::exception& e) {
        err() << "error: " << datastore::errorText(e) << Qt::endl;
        return 1;
    }
    return 0;
}

} // namespace cli
