// mirafel-cli: the command-line companion of the application, for
// administrators and for our own checks. It uses the same code as the
// application to create, check and describe a database directory.

#include "clicommon.h"
#include "testdatabase.h"

#include "common/dialogs.h"
#include "common/formats.h"
#include "common/parameters.h"
#include "datastore/database.h"
#include "datastore/databaseopening.h"
#include "datastore/dataset.h"
#include "datastore/integritycheck.h"
#include "datastore/tablecatalog.h"
#include "stock/recalculation.h"
#include "stock/stockcheck.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QElapsedTimer>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextStream>

#include <cmath>
#include <memory>
#include <cstdio>

namespace {

using cli::err;
using cli::out;

const char* kHelp = R"(Usage: mirafel-cli COMMAND [ARGUMENTS]

Commands:
  create DIR            Create a new database in DIR (made if missing), answering
                        the creation question with yes, and validate it.
  check DIR             Run the engine's full integrity check of the database file
                        (every page, every index against its table; on a server:
                        every row and index of every table, no repeated unique
                        key), then open and
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
  verify DIR            Check the database, read-only: the engine's full integrity
                        check of the file, then the stock rows against the documents
                        (every input and output line replayed by stock key, within
                        the tolerance Epsilon of the parameters), lines without a
                        document header, documents without lines, counters of
                        Counter.DB below the largest document counter, series
                        numbers given twice, serial numbers of an input line that
                        does not exist. Prints a report in Romanian; exits 1 when
                        anything is wrong.
  recalc DIR            Recalculate the stock of DIR from its documents, as the
                        menu command "Recalculare stocuri" does; exits 1 on failure.
  generate DIR --lines N [--articles A] [--warehouses W] [--seed S]
                        Create a new database in DIR (which must not hold one) with
                        ten years of realistic documents: its TBXDEF.INI (lots in
                        use, VAT only on invoices, the series of invoices,
                        delivery notes and receipts, the current firm), the firm
                        record, material classes and groups, A articles (default
                        500), suppliers, budgets, buyers with their fiscal data,
                        W warehouses (default 3), exchange rates, the initial stock
                        and N document lines (about one output line for every two
                        input lines, documents of 1 to 30 lines): receipts,
                        consumption and hand-over notes, delivery notes and
                        invoices with their series numbers, invoices paid at issue
                        (in full or in part, with their receipts), transfers with
                        their input documents, scrapping lists; written in bulk;
                        then the stock is recalculated. The same seed (default 1)
                        gives the same database.
  copy FROM TO          Copy the whole database of FROM into TO, table by table with
                        its definition (fields, sizes, indexes), its rows and its
                        autoincrement counters: from SQLite to a PostgreSQL server
                        (TO holds a gestiune.pg naming an empty schema), back (TO
                        empty or missing: it gets a gestiune.db), or between two
                        directories of the same kind. TO must hold no table. The
                        copy is one transaction on TO, kept only when every table
                        has the same rows on both sides and the stock of the copy
                        equals its documents as on FROM; otherwise TO is left as it
                        was and the reason is printed. Then the other files of FROM
                        (TBXDEF.INI, layouts, ...) that TO lacks are copied.
                        Exits 1 on failure.
  print DIR --document N --kind KIND [--date YYYY-MM-DD] [--series TEXT] [--receipt N]
        [--comment] [--description] [--explanation] [--ini FILE] (--pdf FILE | --text)
                        Print document N (its counter) of DIR as the document
                        windows do, without them: to a PDF file, or as plain text
                        (one line per printed row; used for the golden files of
                        the tests). KIND: receipt-note, invoice,
                        invoice-with-receipt, preprinted-invoice (Factura.INI in
                        DIR), daily-food-list, hand-over-note, delivery-note,
                        preprinted-delivery-note (Aviz.INI in DIR),
                        consumption-note, scrapping-list, labels. --date is the
                        registration date printed on the note (default: the
                        document's own). --comment adds INVFOOT.TXT under an
                        invoice, --description the catalog description to a
                        line, --explanation the document's explanation to a
                        consumption or hand-over note. --ini FILE: the
                        application's INI file, whose settings for this print
                        (font, paper, orientation, margins chosen in its print
                        setup) are used; without it the print comes out as
                        designed. A pre-printed form writes its margins, paper
                        and band heights back into its file.
  report DIR NAME [--date D | --from D --to D] [--warehouses 01,05] [--budget B]
         [--articles G/C,...] [--group-totals] [--signatures] [--ini FILE]
         (--pdf FILE | --csv FILE | --html FILE | --text)
                        Run report NAME on DIR without the windows, with the
                        selections given (dates YYYY-MM-DD; none: all warehouses,
                        budgets and articles, today): inventory-list,
                        stock-at-date, stock-currency, stock-lot,
                        stock-lot-currency, stock-budget, stock-budget-lot,
                        stock-totals-split, stock-totals, critical-stocks,
                        balance, verification-balance, stock-card,
                        inputs-outputs, account-card, inventory-centraliser.
                        The report's yes/no questions are answered No unless
                        their option is given: --group-totals answers Yes to
                        the balances' "only the totals" question (only the
                        group, warehouse and general totals), --signatures to
                        the inventory list's question (the commission's
                        signatures on every page). Other messages are printed
                        and the run goes on. --ini FILE: as for print, this
                        report's settings.
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

// The parameters of a database directory (TBXDEF.INI), the built-in ones when it has none.
common::Parameters directoryParameters(const QString& dir)
{
    common::Parameters parameters;
    common::Formats formats;
    const QString file = QDir(dir).filePath(QStringLiteral("TBXDEF.INI"));
    if (QFileInfo::exists(file)) {
        try {
            common::LoadParameters(parameters, formats, file);
        } catch (const std::exception& e) {
            err() << QString::fromLocal8Bit(e.what()) << Qt::endl;
        }
    }
    return parameters;
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
        for (const stock::StockComparison& c : stock::CompareStockWithDocuments(db, directoryParameters(dir).Epsilon)) {
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

// The database of `dir` when it has one; otherwise the reason, printed.
bool existingDatabase(datastore::Database& db, const QString& dir)
{
    db.setDirectory(dir);
    if (const QString problem = db.accessProblem(); !problem.isEmpty() || !db.fileExists()) {
        err() << (problem.isEmpty() ? QStringLiteral("No database in %1").arg(QDir::toNativeSeparators(dir)) : problem)
              << Qt::endl;
        return false;
    }
    return true;
}

class ConsoleRecalculationView : public stock::RecalculationView {
public:
    void showProgress(const QString& text) override { out() << text.trimmed() << Qt::endl; }
};

// The stock recalculation, headless.
bool recalculate(datastore::Database& db, const QString& dir)
{
    ConsoleDialogs dialogs(false);
    ConsoleRecalculationView view;
    const stock::RecalculationResult result = stock::RecalculateStock(db, directoryParameters(dir), dialogs, &view);
    if (result.ok)
        out() << "OK: " << result.stockRows << " randuri de stoc." << Qt::endl;
    return result.ok;
}

int recalc(const QString& dir)
{
    datastore::Database db;
    if (!existingDatabase(db, dir))
        return 1;
    return recalculate(db, dir) ? 0 : 1;
}

int verify(const QString& dir)
{
    datastore::Database db;
    if (!existingDatabase(db, dir))
        return 1;
    out() << (db.onServer() ? "Verific integritatea tabelelor de pe server..." : "Verific integritatea fisierului bazei de date...")
          << Qt::endl;
    const datastore::IntegrityReport report = db.integrityCheck(datastore::IntegrityDepth::Full);
    if (!report.sound()) {
        for (const QString& problem : report.problems)
            out() << "  " << problem << '\n';
        out() << (report.damaged() ? datastore::damagedDatabaseMessage(dir, report)
                                   : QStringLiteral("Nu pot verifica integritatea bazei de date!"))
                     .replace(u'\r', u' ')
              << Qt::endl;
        return 1;
    }
    out() << (db.onServer() ? "Tabelele de pe server sunt intacte." : "Fisierul bazei de date este intact.") << Qt::endl;
    out() << "Compar stocurile cu documentele..." << Qt::endl;
    QList<stock::DocumentFault> faults;
    try {
        faults = stock::CheckDocuments(db, directoryParameters(dir).Epsilon);
    } catch (const std::exception& e) {
        out() << "error: " << datastore::errorText(e) << Qt::endl;
        return 1;
    }
    // Each kind with its first lines; a database with all its stock rows lost
    // would otherwise print them all.
    constexpr int kShown = 50;
    for (int i = 0; i < faults.size();) {
        const stock::DocumentFault::Kind kind = faults[i].kind;
        int n = 0;
        while (i + n < faults.size() && faults[i + n].kind == kind)
            ++n;
        out() << stock::faultHeading(kind) << " (" << n << "):\n";
        for (int k = 0; k < std::min(n, kShown); ++k)
            out() << "  " << faults[i + k].text << '\n';
        if (n > kShown)
            out() << "  ... si inca " << n - kShown << '\n';
        i += n;
    }
    if (!faults.isEmpty()) {
        out() << "Probleme gasite: " << faults.size() << "." << Qt::endl;
        return 1;
    }
    out() << "OK: baza de date este integra." << Qt::endl;
    return 0;
}

int generate(const QStringList& args)
{
    if (args.size() < 2)
        return 2;
    const QString dir = args[1];
    testdata::GenerateOptions options;
    bool haveLines = false;
    for (int i = 2; i < args.size(); i += 2) {
        if (i + 1 >= args.size())
            return 2;
        bool ok = false;
        const qlonglong value = args[i + 1].toLongLong(&ok);
        if (!ok || value < 1)
            return 2;
        if (args[i] == QLatin1String("--lines")) {
            options.lines = value;
            haveLines = true;
        } else if (args[i] == QLatin1String("--articles") && value <= 999999) {
            options.articles = int(value);
        } else if (args[i] == QLatin1String("--warehouses") && value <= 999) {
            options.warehouses = int(value);
        } else if (args[i] == QLatin1String("--seed") && value <= 0xFFFFFFFFLL) {
            options.seed = quint32(value);
        } else {
            return 2;
        }
    }
    if (!haveLines)
        return 2;
    {
        datastore::Database probe;
        probe.setDirectory(dir);
        // A server schema named by the connection file is new while it holds no table.
        if (probe.onServer() ? !probe.tableNames().isEmpty() : probe.fileExists()) {
            out() << "error: Directorul " << QDir::toNativeSeparators(dir)
                  << " contine deja o baza de date; alegeti un director nou." << Qt::endl;
            return 1;
        }
    }
    if (const int created = openDatabase(dir, true); created != 0)
        return created;
    QElapsedTimer timer;
    timer.start();
    datastore::Database db;
    db.setDirectory(dir);
    try {
        const testdata::GenerateSummary summary = testdata::GenerateTestDatabase(
            db, options, [](const QString& text) { out() << text << Qt::endl; });
        out() << "Documente de intrare: " << summary.inputDocuments << " (" << summary.inputLines
              << " linii), stoc initial: " << summary.initialLines << " linii, documente de iesire: "
              << summary.outputDocuments << " (" << summary.outputLines << " linii), "
              << summary.first.toString(QStringLiteral("dd.MM.yyyy")) << " - "
              << summary.last.toString(QStringLiteral("dd.MM.yyyy")) << Qt::endl;
        out() << "Dintre iesiri: facturi " << summary.invoices << " (" << summary.payments << " incasate la emitere), avize "
              << summary.deliveryNotes << ", transferuri " << summary.transfers << ", casari " << summary.scrappings
              << Qt::endl;
    } catch (const std::exception& e) {
        out() << "error: " << datastore::errorText(e) << Qt::endl;
        return 1;
    }
    const double written = timer.nsecsElapsed() / 1e9;
    if (!recalculate(db, dir))
        return 1;
    out() << QStringLiteral("Scris in %1 s, stoc recalculat in %2 s.")
                 .arg(written, 0, 'f', 1)
                 .arg(timer.nsecsElapsed() / 1e9 - written, 0, 'f', 1)
          << Qt::endl;
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    // The commands that lay out pages measure text with fonts: they need the
    // GUI application object, on the offscreen platform when there is no display.
    const bool pages = argc > 1 && (qstrcmp(argv[1], "print") == 0 || qstrcmp(argv[1], "report") == 0);
    if (pages && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")
        && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    std::unique_ptr<QCoreApplication> application;
    if (pages)
        application = std::make_unique<QGuiApplication>(argc, argv);
    else
        application = std::make_unique<QCoreApplication>(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
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
    if (command == QLatin1String("verify") && args.size() == 2)
        return verify(args[1]);
    if (command == QLatin1String("recalc") && args.size() == 2)
        return recalc(args[1]);
    if (command == QLatin1String("copy")) {
        if (const int code = cli::copyCommand(args.mid(1)); code != 2)
            return code;
    }
    if (command == QLatin1String("print")) {
        if (const int code = cli::printCommand(args.mid(1)); code != 2)
            return code;
    }
    if (command == QLatin1String("report")) {
        if (const int code = cli::reportCommand(args.mid(1)); code != 2)
            return code;
    }
    if (command == QLatin1String("generate")) {
        if (const int code = generate(args); code != 2)
            return code;
    }
    err() << "Unknown command or wrong arguments. See mirafel-cli --help." << Qt::endl;
    return 2;
}
