// mirafel-cli: the command-line companion of the application, for
// administrators and for our own checks. It uses the same code as the
// application to create, check and describe a database directory.

#include "common/dialogs.h"
#include "datastore/database.h"
#include "datastore/databaseopening.h"
#include "datastore/dataset.h"
#include "datastore/integritycheck.h"
#include "datastore/tablecatalog.h"
#include "stock/stockcheck.h"

#include <QCoreApplication>
#include <QDir>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextStream>

#include <cmath>
#include <cstdio>

namespace {

QTextStream& out()
{
    static QTextStream s(stdout);
    return s;
}

QTextStream& err()
{
    static QTextStream s(stderr);
    return s;
}

const char* kHelp = R"(Usage: mirafel-cli COMMAND [ARGUMENTS]

Commands:
  create DIR            Create a new database in DIR (made if missing), answering
                        the creation question with yes, and validate it.
  check DIR             Run the engine's full integrity check of the database file
                        (every page, every index against its table), then open and
                        validate DIR as the application does at start-up: the steps
                        for existing databases, the transfer repair, the validation
                        of every table (missing secondary indexes are rebuilt).
                        A damaged file is reported and left untouched. Questions
                        are answered no: nothing is created. Every message is
                        printed; exits 1 on failure.
  describe DIR [TABLE]  Print the definitions of every table (or of TABLE) as they
                        are read back from the database, one line per item,
                        fields separated by a tab:
                          table  <name>
                          field  <table>  <position>  <name>  <type>  <size>  <required|optional>
                          index  <table>  <name or (primary)>  <fields;...>  <options,...>
                        Types: text, memo, small integer, integer, boolean, float,
                        date, autoincrement. Options: primary, unique, descending,
                        case-insensitive, expression (or "-").
  stock DIR             Print the stock rows of the database, one line per stock
                        key, fields separated by a tab, next to what the documents
                        say (inputs minus outputs, the initial stock included):
                          stock  <warehouse>  <group>  <article>  <price>  <lot>  <budget>  <stock>  <documents>
                        A key whose stock differs from its documents is marked
                        "DIFERENTA" at the end of its line; the last line says
                        whether the stock equals the documents. Read-only;
                        exits 1 when they differ.
  --help                This text.

Exit codes: 0 success, 1 failure, 2 wrong usage.
)";

// Messages are printed; questions get a fixed answer.
class ConsoleDialogs : public common::Dialogs {
public:
    explicit ConsoleDialogs(bool answerYes) : m_yes(answerYes) {}
    common::Answer message(common::Icon icon, const QString& text, common::Buttons buttons) override
    {
        static const char* names[] = {"warning", "error", "information", "confirmation"};
        common::Answer answer = common::Answer::Ok;
        if (buttons == common::Buttons::YesNo)
            answer = m_yes ? common::Answer::Yes : common::Answer::No;
        else if (buttons == common::Buttons::OkCancel)
            answer = m_yes ? common::Answer::Ok : common::Answer::Cancel;
        out() << names[int(icon)] << ": " << common::displayText(text).replace(u'\n', QStringLiteral("\n  "));
        if (buttons != common::Buttons::Ok)
            out() << "\n  -> " << (m_yes ? "yes" : "no");
        out() << Qt::endl;
        return answer;
    }
    std::optional<QString> inputBox(const QString&, const QString&, const QString&) override { return std::nullopt; }
    void beep() override {}

private:
    bool m_yes;
};

class ConsoleView : public datastore::OpeningView {
public:
    void setStepText(const QString& text) override { out() << text << Qt::endl; }
    void setStepVisible(bool) override {}
    void setProgress(int) override {}
};

// There is no one to pick a folder: the directory is given on the command line.
class NoPicker : public datastore::FolderPicker {
public:
    std::optional<QString> browse(const QString&, const NewDirectoryHandler&) override { return std::nullopt; }
};

int openDatabase(const QString& dir, bool create)
{
    const auto fail = [](const QString& message) {
        out() << "error: " << common::displayText(message).replace(u'\n', QStringLiteral("\n  ")) << Qt::endl;
        err() << "Failed." << Qt::endl;
        return 1;
    };
    if (create)
        QDir().mkpath(dir); // when it cannot be made, the access check below says why
    // A private settings file: the command line never changes the user's last database.
    QTemporaryDir settingsDir;
    QSettings settings(settingsDir.filePath(QStringLiteral("cli.ini")), QSettings::IniFormat);
    settings.setValue(QLatin1String(datastore::kLastDatabaseDirKey), QDir::fromNativeSeparators(QDir(dir).absolutePath()));

    datastore::Database db;
    db.setDirectory(dir);
    if (const QString problem = db.accessProblem(); !problem.isEmpty())
        return fail(problem);
    if (!create && db.fileExists()) {
        // The file is checked before anything writes to it: the opening steps
        // must never work on a damaged database.
        out() << "Verific integritatea bazei de date..." << Qt::endl;
        const datastore::IntegrityReport report = db.integrityCheck(datastore::IntegrityDepth::Full);
        db.close();
        for (const QString& problem : report.problems)
            err() << problem << Qt::endl;
        if (report.damaged())
            return fail(datastore::damagedDatabaseMessage(dir, report));
        if (!report.sound())
            return fail(QStringLiteral("Nu pot verifica integritatea bazei de date!\r<%1>")
                            .arg(report.problems.join(QStringLiteral("; "))));
    }
    ConsoleDialogs dialogs(create);
    ConsoleView view;
    NoPicker picker;
    datastore::OpeningSteps steps;
    datastore::DatabaseOpening opening(db, dialogs, view, picker, settings, steps);
    try {
        if (!opening.OpenLastDatabase()) {
            err() << "Failed." << Qt::endl;
            return 1;
        }
    } catch (const std::exception& e) {
        err() << QString::fromLocal8Bit(e.what()) << Qt::endl;
        return 1;
    }
    out() << "OK: " << QDir::toNativeSeparators(opening.directory()) << Qt::endl;
    return 0;
}

QString optionsText(datastore::IndexOptions o)
{
    QStringList parts;
    if (o & datastore::IxPrimary) parts << QStringLiteral("primary");
    if (o & datastore::IxUnique) parts << QStringLiteral("unique");
    if (o & datastore::IxDescending) parts << QStringLiteral("descending");
    if (o & datastore::IxCaseInsensitive) parts << QStringLiteral("case-insensitive");
    if (o & datastore::IxExpression) parts << QStringLiteral("expression");
    return parts.isEmpty() ? QStringLiteral("-") : parts.join(u',');
}

int describe(const QString& dir, const QString& only)
{
    if (!QDir(dir).exists()) {
        err() << "Directory " << QDir::toNativeSeparators(dir) << " does not exist" << Qt::endl;
        return 1;
    }
    datastore::Database db;
    db.setDirectory(dir);
    try {
        QStringList tables = db.tableNames();
        if (!only.isEmpty()) {
            if (!db.tableExists(only)) {
                err() << "Table " << only << " does not exist" << Qt::endl;
                return 1;
            }
            tables = {db.readTableDef(only).name};
        }
        for (const QString& t : tables) {
            const datastore::TableDef def = db.readTableDef(t);
            out() << "table\t" << def.name << '\n';
            int position = 0;
            for (const datastore::FieldDef& f : def.fields)
                out() << "field\t" << def.name << '\t' << ++position << '\t' << f.name << '\t'
                      << datastore::fieldTypeName(f.type) << '\t' << f.size << '\t'
                      << (f.required ? "required" : "optional") << '\n';
            for (const datastore::IndexDef& ix : def.indexes)
                out() << "index\t" << def.name << '\t' << (ix.isPrimary() ? QStringLiteral("(primary)") : ix.name) << '\t'
                      << ix.fields << '\t' << optionsText(ix.options) << '\n';
        }
        out().flush();
    } catch (const std::exception& e) {
        err() << QString::fromLocal8Bit(e.what()) << Qt::endl;
        return 1;
    }
    return 0;
}

int stockReport(const QString& dir)
{
    datastore::Database db;
    db.setDirectory(dir);
    if (const QString problem = db.accessProblem(); !problem.isEmpty() || !db.fileExists()) {
        err() << (problem.isEmpty() ? QStringLiteral("No database in %1").arg(QDir::toNativeSeparators(dir)) : problem)
              << Qt::endl;
        return 1;
    }
    int differences = 0;
    int rows = 0;
    try {
        for (const stock::StockComparison& c : stock::CompareStockWithDocuments(db)) {
            ++rows;
            differences += c.differs();
            out() << "stock\t" << c.warehouse << '\t' << c.group << '\t' << c.article << '\t'
                  << QString::number(c.price, 'g', 15) << '\t' << c.lot << '\t' << c.budget << '\t'
                  << QString::number(c.stock, 'g', 15) << '\t' << QString::number(c.documents, 'g', 15)
                  << (c.differs() ? "\tDIFERENTA" : "") << '\n';
        }
    } catch (const std::exception& e) {
        err() << datastore::errorText(e) << Qt::endl;
        return 1;
    }
    if (differences)
        out() << "Stocul difera de documente la " << differences << " din " << rows << " chei." << Qt::endl;
    else
        out() << "OK: stocul corespunde documentelor (" << rows << " chei)." << Qt::endl;
    return differences ? 1 : 0;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.isEmpty() || args[0] == QLatin1String("--help") || args[0] == QLatin1String("-h")) {
        out() << kHelp;
        out().flush();
        return args.isEmpty() ? 2 : 0;
    }
    const QString command = args[0];
    if ((command == QLatin1String("create") || command == QLatin1String("check")) && args.size() == 2)
        return openDatabase(args[1], command == QLatin1String("create"));
    if (command == QLatin1String("describe") && (args.size() == 2 || args.size() == 3))
        return describe(args[1], args.value(2));
    if (command == QLatin1String("stock") && args.size() == 2)
        return stockReport(args[1]);
    err() << "Unknown command or wrong arguments. See mirafel-cli --help." << Qt::endl;
    return 2;
}
