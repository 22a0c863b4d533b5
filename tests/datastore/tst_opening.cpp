// Tests of the database opening rules: choosing and remembering the
// directory, the steps before validation, the questions of the validator,
// the "New directory" button, the empty-directory test and the transfer repair.

#include <gtest/gtest.h>

#include "common/inifile.h"
#include "common/scripteddialogs.h"
#include "datastore/database.h"
#include "datastore/databaseopening.h"
#include "datastore/newdatabase.h"
#include "datastore/tablecatalog.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <stdexcept>

using namespace datastore;
using common::Answer;
using common::Buttons;
using common::Icon;

namespace {

std::string str(const QString& s)
{
    return s.toStdString();
}

// Records what the opening window would show, in order.
class RecordingView : public OpeningView {
public:
    void setStepText(const QString& text) override { events << "text:" + text; }
    void setStepVisible(bool visible) override { events << (visible ? "show" : "hide"); }
    void setProgress(int percent) override { progress << percent; }

    QStringList events;
    QList<int> progress;
};

// A folder picker that answers from a script. Each browse() takes one step:
// optionally a click on "New directory" with a selected folder, then the
// folder chosen (nullopt: cancelled).
class ScriptedPicker : public FolderPicker {
public:
    struct Step {
        std::optional<QString> chosen;
        std::optional<QString> newDirectoryFrom = std::nullopt;
    };

    std::optional<QString> browse(const QString& startDir, const NewDirectoryHandler& onNewDirectory) override
    {
        starts << startDir;
        if (steps.isEmpty()) {
            ADD_FAILURE() << "unexpected folder picker at " << str(startDir);
            return std::nullopt;
        }
        const Step step = steps.takeFirst();
        if (step.newDirectoryFrom) {
            if (std::optional<QString> made = onNewDirectory(*step.newDirectoryFrom))
                return made; // the picker closes on the new directory
        }
        return step.chosen;
    }

    QList<Step> steps;
    QStringList starts;
};

// Records the steps run before validation and the directory they saw.
class RecordingSteps : public OpeningSteps {
public:
    void firstGenerationMigration(Database& db) override { record("first migration", db); }
    void secondGenerationMigration(Database& db) override { record("second migration", db); }
    void firstUpgradeStage(Database& db) override { record("first upgrade", db); }
    void secondUpgradeStage(Database& db) override
    {
        record("second upgrade", db);
        if (failWith)
            throw std::runtime_error(failWith);
    }

    QStringList calls;
    const char* failWith = nullptr;

private:
    void record(const char* step, Database& db) { calls << QString::fromLatin1(step) + " " + db.directory(); }
};

void createDatabase(const QString& dir, const QList<TableDef>& tables = databaseTables())
{
    Database db(QStringLiteral("OPENSETUP"));
    db.setDirectory(dir);
    for (const TableDef& def : tables)
        db.createTable(def);
}

QString noDatabaseQuestion(const QString& dir)
{
    return "Nu exista o baza de date valida in directorul " + dir + "!\rDoriti crearea uneia noi?";
}

class OpeningTest : public ::testing::Test {
protected:
    QString lastDir() const { return settings.value(kLastDatabaseDirKey).toString(); }
    void remember(const QString& d) { settings.setValue(kLastDatabaseDirKey, d); }

    testsupport::TempDir home; // settings
    testsupport::TempDir dir;  // the database directory of most tests
    QSettings settings{home.file("settings.ini"), QSettings::IniFormat};
    Database db;
    common::ScriptedDialogs dialogs;
    RecordingView view;
    ScriptedPicker picker;
    RecordingSteps steps;
    DatabaseOpening opening{db, dialogs, view, picker, settings, steps};
};

} // namespace

TEST_F(OpeningTest, FirstStartCreatesTheDatabaseInTheChosenEmptyDirectory)
{
    picker.steps = {{dir.path()}};
    dialogs.queueAnswer(Answer::Yes);

    ASSERT_TRUE(opening.OpenLastDatabase());

    EXPECT_EQ(picker.starts, QStringList{QString()});
    EXPECT_TRUE(steps.calls.isEmpty()) << "nothing to migrate in an empty directory";
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].icon, Icon::Warning);
    EXPECT_EQ(dialogs.messages[0].buttons, Buttons::YesNo);
    EXPECT_EQ(str(dialogs.messages[0].text), str(noDatabaseQuestion(dir.path())));
    EXPECT_EQ(view.events, (QStringList{"text:Validez baza de date...", "show", "hide"}));
    EXPECT_EQ(view.progress.first(), 0);
    EXPECT_EQ(view.progress.last(), 100);
    EXPECT_EQ(view.progress.size(), databaseTables().size() + 2);
    EXPECT_EQ(opening.directory(), dir.path());
    EXPECT_EQ(db.directory(), dir.path());
    EXPECT_EQ(db.tableNames().size(), databaseTables().size());
    EXPECT_EQ(lastDir(), dir.path());
}

TEST_F(OpeningTest, RemembersTheDirectoryWithoutATrailingSeparator)
{
    createDatabase(dir.path());
    picker.steps = {{dir.path() + "/"}};

    ASSERT_TRUE(opening.SelectDatabase());

    EXPECT_EQ(lastDir(), dir.path());
    EXPECT_EQ(view.events, (QStringList{"text:Creez/validez baza de date...", "show", "hide"}));
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(OpeningTest, OpenLastDatabaseRunsTheStepsOnTheRememberedDirectory)
{
    createDatabase(dir.path());
    remember(dir.path());

    ASSERT_TRUE(opening.OpenLastDatabase());

    EXPECT_TRUE(picker.starts.isEmpty()) << "no picker when the remembered directory exists";
    const QString d = " " + dir.path();
    EXPECT_EQ(steps.calls, (QStringList{"first migration" + d, "second migration" + d, "first upgrade" + d,
                                        "second upgrade" + d}));
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(OpeningTest, OpenLastDatabaseAsksWhenTheRememberedDirectoryIsGone)
{
    createDatabase(dir.path());
    const QString gone = dir.file("gone");
    remember(gone + "/");
    picker.steps = {{dir.path()}};

    ASSERT_TRUE(opening.OpenLastDatabase());

    EXPECT_EQ(picker.starts, QStringList{gone});
    EXPECT_EQ(lastDir(), dir.path());
}

TEST_F(OpeningTest, CancellingThePickerReturnsFalseSilently)
{
    remember(dir.file("gone"));
    picker.steps = {{std::nullopt}};
    EXPECT_FALSE(opening.OpenLastDatabase());

    remember(dir.path());
    picker.steps = {{std::nullopt}};
    EXPECT_FALSE(opening.SelectDatabase());
    EXPECT_EQ(picker.starts, (QStringList{dir.file("gone"), dir.path()}));

    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_TRUE(view.events.isEmpty());
    EXPECT_EQ(lastDir(), dir.path());
}

TEST_F(OpeningTest, ValidationFailureShowsTheErrorAndForgetsNothing)
{
    testsupport::TempDir good;
    createDatabase(good.path());
    remember(good.path());
    TableDef materiale = *findTableDef(QStringLiteral("Materiale.db"));
    materiale.fields[2].name = QStringLiteral("Cont_sint");
    QList<TableDef> tables = databaseTables();
    tables.removeIf([](const TableDef& d) { return d.name == QLatin1String("Materiale.db"); });
    tables.append(materiale);
    createDatabase(dir.path(), tables);
    const QString failure = "\rCîmp invalid (CONT_SINT) în tabela Materiale.db!";

    picker.steps = {{dir.path()}};
    EXPECT_FALSE(opening.SelectDatabase());
    EXPECT_EQ(dialogs.last().icon, Icon::Error);
    EXPECT_EQ(str(dialogs.last().text), str("Nu pot crea baza de date!" + failure));
    EXPECT_EQ(view.events, (QStringList{"text:Creez/validez baza de date...", "show", "hide"}));
    EXPECT_EQ(lastDir(), good.path());

    remember(dir.path());
    EXPECT_FALSE(opening.OpenLastDatabase());
    EXPECT_EQ(str(dialogs.last().text), str("Nu pot valida baza de date!" + failure));
    EXPECT_EQ(dialogs.messages.size(), 2);
    EXPECT_EQ(view.events.last(), "hide");
}

TEST_F(OpeningTest, ErrorsOfTheStepsReachTheCaller)
{
    createDatabase(dir.path());
    remember(dir.path());
    steps.failWith = "backup failed";
    EXPECT_THROW(opening.OpenLastDatabase(), std::runtime_error);
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(OpeningTest, DecliningTheAbsentDatabaseAndCancellingThePicker)
{
    picker.steps = {{dir.path()}, {std::nullopt}};
    dialogs.queueAnswer(Answer::No);

    EXPECT_FALSE(opening.SelectDatabase());

    EXPECT_EQ(picker.starts, (QStringList{QString(), dir.path()}));
    ASSERT_EQ(dialogs.messages.size(), 2);
    EXPECT_EQ(str(dialogs.messages[0].text), str(noDatabaseQuestion(dir.path())));
    EXPECT_EQ(dialogs.messages[1].icon, Icon::Error);
    EXPECT_EQ(str(dialogs.messages[1].text),
              str("Nu pot crea baza de date!\rNu exista o baza de date valida in directorul " + dir.path() + "!"));
    EXPECT_FALSE(db.fileExists());
    EXPECT_FALSE(settings.contains(kLastDatabaseDirKey));
}

TEST_F(OpeningTest, DecliningTheAbsentDatabaseAndPickingAValidOneOpensIt)
{
    testsupport::TempDir valid;
    createDatabase(valid.path());
    picker.steps = {{dir.path()}, {valid.path()}};
    dialogs.queueAnswer(Answer::No);

    ASSERT_TRUE(opening.SelectDatabase());

    EXPECT_EQ(opening.directory(), valid.path());
    EXPECT_EQ(lastDir(), valid.path());
    EXPECT_EQ(dialogs.messages.size(), 1);
    EXPECT_FALSE(QFileInfo::exists(dir.file(kDatabaseFileName)));
}

TEST_F(OpeningTest, DecliningAnAbsentTableStillOpens)
{
    createDatabase(dir.path());
    {
        Database setup(QStringLiteral("OPENDROP"));
        setup.setDirectory(dir.path());
        setup.dropTable(QStringLiteral("Grup.db"));
    }
    remember(dir.path());
    dialogs.queueAnswer(Answer::No);

    ASSERT_TRUE(opening.OpenLastDatabase());

    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].icon, Icon::Warning);
    EXPECT_EQ(dialogs.messages[0].buttons, Buttons::YesNo);
    EXPECT_EQ(str(dialogs.messages[0].text), "Tabela Grup.db nu exista! Doriti crearea uneia noi?");
    EXPECT_FALSE(db.tableExists(QStringLiteral("Grup.db")));
    EXPECT_EQ(lastDir(), dir.path());
}

TEST_F(OpeningTest, TransferRepairRunsBeforeValidation)
{
    createDatabase(dir.path());
    {
        Database setup(QStringLiteral("OPENROWS"));
        setup.setDirectory(dir.path());
        setup.exec(QStringLiteral("INSERT INTO \"Doc_in.DB\" (Contor, Numar, Tip, Explicatie) VALUES (1, 12, 'AE', 'Transfer')"));
        setup.exec(QStringLiteral("INSERT INTO \"Doc_out.DB\" (Contor, Numar, Tip) VALUES (1, 12, 'AE')"));
    }
    remember(dir.path());
    ASSERT_TRUE(opening.OpenLastDatabase());
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT Explicatie FROM \"Doc_out.DB\" WHERE Contor = 1")).toString(),
              QStringLiteral("Transfer"));
}

TEST(Opening, RepairTransfersChangesOnlyTheOutputTwinsOfTransfers)
{
    testsupport::TempDir dir;
    createDatabase(dir.path(), {*findTableDef(QStringLiteral("Doc_in.DB")), *findTableDef(QStringLiteral("Doc_out.DB"))});
    Database db(QStringLiteral("OPENREPAIR"));
    db.setDirectory(dir.path());

    struct Row {
        int contor;
        QVariant numar;
        QVariant tip;
        QVariant explicatie;
    };
    const QVariant null;
    const QList<Row> inputs = {
        {1, 10, "AE", "Transfer"}, {2, 11, "AE", "Transfer"}, {3, null, "AE", "Transfer"},
        {4, 20, "AE", "Altceva"},  {5, 21, "FA", "Transfer"},
    };
    // Contor, Numar, Tip, Explicatie, and whether the repair must set "Transfer".
    struct OutRow {
        Row row;
        bool changes;
    };
    const QList<OutRow> outputs = {
        {{1, 10, "AE", null}, true},          // twin with the same number
        {{2, 11, "AE", ""}, true},            // empty text counts as no explanation
        {{3, 0, "AE", null}, true},           // empty number counts as zero
        {{4, null, "AE", null}, true},        // both numbers empty
        {{5, 10, "AE", "Vinzare"}, false},    // already explained
        {{6, 10, "FA", null}, false},         // not a transfer note
        {{7, 12, "AE", null}, false},         // no input document with that number
        {{8, 20, "AE", null}, false},         // the input twin does not say "Transfer"
        {{9, 21, "AE", null}, false},         // the input twin is not of type AE
        {{10, 10, null, null}, false},        // no type
    };
    auto insert = [&](const char* table, const Row& r) {
        db.exec(QStringLiteral("INSERT INTO \"%1\" (Contor, Numar, Tip, Explicatie) VALUES (:c, :n, :t, :e)")
                    .arg(QLatin1String(table)),
                {{"c", r.contor}, {"n", r.numar}, {"t", r.tip}, {"e", r.explicatie}});
    };
    for (const Row& r : inputs)
        insert("Doc_in.DB", r);
    for (const OutRow& o : outputs)
        insert("Doc_out.DB", o.row);

    EXPECT_EQ(DatabaseOpening::repairTransfers(db), 4);

    for (const OutRow& o : outputs) {
        SCOPED_TRACE(o.row.contor);
        const QVariant now =
            db.scalar(QStringLiteral("SELECT Explicatie FROM \"Doc_out.DB\" WHERE Contor = :c"), {{"c", o.row.contor}});
        if (o.changes)
            EXPECT_EQ(now.toString(), QStringLiteral("Transfer"));
        else
            EXPECT_EQ(now.toString(), o.row.explicatie.toString());
    }
    EXPECT_EQ(DatabaseOpening::repairTransfers(db), 0) << "a second run finds nothing left";
}

TEST(Opening, EmptyDirectoryTest)
{
    struct Case {
        const char* label;
        QStringList files;
        bool empty;
    };
    const QList<Case> cases = {
        {"nothing", {}, true},
        {"unrelated files", {"TBXDEF.INI", "notes.txt", "gestiune.db.bak", "xdb"}, true},
        {"upper-case extension", {"x.DB"}, false},
        {"mixed-case extension", {"y.dB"}, false},
        {"capital D", {"z.Db"}, false},
        {"lower-case extension", {"readme.txt", "w.db"}, false},
        {"hidden file", {".hidden.db"}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        testsupport::TempDir dir;
        for (const QString& name : c.files) {
            QFile f(dir.file(name));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        }
        EXPECT_EQ(DatabaseOpening::isEmptyDirectory(dir.path()), c.empty);
    }
}

TEST_F(OpeningTest, NewDirectoryCreatesAndMarksTheDirectory)
{
    dialogs.queueInput(QStringLiteral("Buget/2024"));

    const std::optional<QString> made = opening.newDirectory(dir.path());

    const QString expected = dir.path() + "/Buget/2024";
    ASSERT_TRUE(made.has_value());
    EXPECT_EQ(*made, expected);
    EXPECT_TRUE(QFileInfo(expected).isDir());
    EXPECT_TRUE(opening.newDirectoryCreated());
    EXPECT_EQ(common::IniFile(expected + "/TBXDEF.INI").readString("Permision", "Conversie la RON"), "1");
    ASSERT_EQ(dialogs.inputs.size(), 1);
    EXPECT_EQ(dialogs.inputs[0].caption, "Director nou");
    EXPECT_EQ(str(dialogs.inputs[0].prompt), "Baza de date va fi creata în acest director:");
    EXPECT_EQ(dialogs.inputs[0].initial, QString());
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(OpeningTest, NewDirectoryDoesNothingWithoutSelectionOrName)
{
    // No folder selected in the picker: the name is asked, then nothing happens.
    dialogs.queueInput(QStringLiteral("Nou"));
    EXPECT_FALSE(opening.newDirectory(QString()).has_value());
    // The input box cancelled.
    dialogs.queueInput(std::nullopt);
    EXPECT_FALSE(opening.newDirectory(dir.path()).has_value());

    EXPECT_EQ(dialogs.inputs.size(), 2);
    EXPECT_FALSE(opening.newDirectoryCreated());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(OpeningTest, NewDirectoryThatCannotBeCreatedKeepsThePickerOpen)
{
    QFile blocker(dir.file("fisier"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    dialogs.queueInput(QStringLiteral("Nou"));

    EXPECT_FALSE(opening.newDirectory(dir.file("fisier")).has_value());

    EXPECT_FALSE(opening.newDirectoryCreated());
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].icon, Icon::Error);
}

TEST_F(OpeningTest, NewDirectoryFromThePickerBecomesTheDatabase)
{
    // The button is clicked in the picker; the picker closes on the new directory.
    picker.steps = {{std::nullopt, dir.path()}};
    dialogs.queueInput(QStringLiteral("Nou"));
    dialogs.queueAnswer(Answer::Yes);

    ASSERT_TRUE(opening.SelectDatabase());

    const QString made = dir.path() + "/Nou";
    EXPECT_TRUE(opening.newDirectoryCreated());
    EXPECT_EQ(opening.directory(), made);
    EXPECT_TRUE(steps.calls.isEmpty()) << "the new directory holds only TBXDEF.INI";
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(str(dialogs.messages[0].text), str(noDatabaseQuestion(made)));
    EXPECT_EQ(db.tableNames().size(), databaseTables().size());
    EXPECT_EQ(lastDir(), made);
}

// ---- what a new database starts with ----------------------------------------------

namespace {

QStringList currencies(Database& db)
{
    QStringList codes;
    Query q = db.query(QStringLiteral("SELECT Moneda FROM \"Valuta.db\" ORDER BY Moneda"));
    while (q.next())
        codes << q.value(0).toString();
    return codes;
}

QStringList rates(Database& db)
{
    QStringList rows;
    Query q = db.query(QStringLiteral("SELECT Valuta, Data, Curs FROM \"Curs.db\" ORDER BY Valuta, Data"));
    while (q.next())
        rows << q.value(0).toString() + " " + q.value(1).toDate().toString(Qt::ISODate) + " "
                    + QString::number(q.value(2).toDouble());
    return rows;
}

} // namespace

TEST_F(OpeningTest, ANewDatabaseStartsWithLeiAndTheReferenceCurrency)
{
    struct Case {
        const char* name;
        QString inMemory;        // the parameters' CVal
        QString definitionFile;  // CVal written to TBXDEF.INI first; empty: no file
        QStringList expected;
    };
    const QList<Case> cases = {
        {"built-in default", "USD", {}, {"LEI", "USD"}},
        {"the directory's own parameter wins", "USD", "EUR", {"EUR", "LEI"}},
        {"lower case is a code all the same", "eur", {}, {"EUR", "LEI"}},
        {"reference currency is lei", "LEI", {}, {"LEI"}},
        {"no reference currency", "", {}, {"LEI"}},
        {"too long for a currency code", "EURO", {}, {"LEI"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        testsupport::TempDir target;
        if (!c.definitionFile.isEmpty())
            common::IniFile(target.file("TBXDEF.INI")).writeString("Default", "CVal", c.definitionFile);
        ScriptedPicker scriptedPicker;
        scriptedPicker.steps = {{target.path()}};
        common::ScriptedDialogs answers;
        answers.queueAnswer(Answer::Yes);
        Database created;
        DatabaseOpening newOpening(created, answers, view, scriptedPicker, settings, steps);
        newOpening.setReferenceCurrency(c.inMemory);
        ASSERT_TRUE(newOpening.SelectDatabase());
        EXPECT_EQ(currencies(created), c.expected);
        EXPECT_EQ(rates(created), QStringList{"LEI 2001-01-01 1"});
    }
}

TEST_F(OpeningTest, AnExistingDatabaseIsNotSeededAndSeedingTwiceChangesNothing)
{
    createDatabase(dir.path());
    picker.steps = {{dir.path()}};
    ASSERT_TRUE(opening.SelectDatabase());
    EXPECT_TRUE(currencies(db).isEmpty()) << "only a database created by the opening is seeded";

    db.exec("INSERT INTO \"Valuta.db\" (Moneda, Denumire) VALUES ('LEI', 'Lei noi')");
    db.exec("INSERT INTO \"Curs.db\" (Valuta, Data, Curs) VALUES ('LEI', '2020-05-01', 1.0)");
    SeedNewDatabase(db, "USD");
    SeedNewDatabase(db, "USD");
    EXPECT_EQ(currencies(db), (QStringList{"LEI", "USD"}));
    EXPECT_EQ(db.scalar("SELECT Denumire FROM \"Valuta.db\" WHERE Moneda = 'LEI'").toString(), "Lei noi");
    EXPECT_EQ(rates(db), QStringList{"LEI 2020-05-01 1"}) << "a currency with a rate gets no second one";
}

// A directory that cannot be read, or something else than a database file in
// its place, is no empty directory: the opening reports the access error and
// never offers to create a database there, whatever the user would answer.
// (The tests run as root, whom permission bits do not stop: a path through a
// regular file and dangling links stand for a folder that cannot be reached.)
TEST_F(OpeningTest, AnInaccessibleDirectoryOrDatabaseFileIsReportedNotRecreated)
{
    testsupport::TempDir tmp;
    QFile plain(tmp.file("plain.txt"));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    const QString danglingFile = tmp.file("dangling-file");
    QDir().mkpath(danglingFile);
    ASSERT_TRUE(QFile::link(tmp.file("share/gestiune.db"), danglingFile + "/gestiune.db"));
    const QString danglingDir = tmp.file("dangling-dir");
    ASSERT_TRUE(QFile::link(tmp.file("share/db"), danglingDir));
    const QString dirInPlace = tmp.file("dir-in-place");
    QDir().mkpath(dirInPlace + "/gestiune.db");

    struct Case { const char* what; QString dir; const char* problem; };
    const Case cases[] = {
        {"a path through a regular file", tmp.file("plain.txt/db"), "Directorul bazei de date "},
        {"a dangling link as the directory", danglingDir, "Directorul bazei de date "},
        {"a dangling link as the database file", danglingFile, "Fisierul bazei de date "},
        {"a directory as the database file", dirInPlace, "Fisierul bazei de date "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (const bool start : {false, true}) {
            dialogs.clear();
            dialogs.acceptByDefault = true; // a Yes, had the question been asked
            if (start) {
                remember(c.dir);
                picker.steps = {{c.dir}}; // OpenLastDatabase asks when the directory is not one
            } else {
                settings.remove(kLastDatabaseDirKey);
                picker.steps = {{c.dir}};
            }
            EXPECT_FALSE(start ? opening.OpenLastDatabase() : opening.SelectDatabase());
            picker.steps.clear();
            ASSERT_EQ(dialogs.messages.size(), 1) << str(dialogs.texts().join(" | "));
            EXPECT_EQ(dialogs.last().icon, Icon::Error);
            const QString failure = start ? "Nu pot valida baza de date!\r" : "Nu pot crea baza de date!\r";
            EXPECT_TRUE(dialogs.last().text.startsWith(failure + c.problem)) << str(dialogs.last().text);
            EXPECT_TRUE(steps.calls.isEmpty());
            EXPECT_EQ(lastDir(), start ? c.dir : QString()) << "nothing new is remembered";
        }
    }
    // Nothing was made anywhere: the links still lead nowhere.
    EXPECT_FALSE(QFileInfo::exists(tmp.file("share")));
    EXPECT_TRUE(QFileInfo(dirInPlace + "/gestiune.db").isDir());
    EXPECT_EQ(QFileInfo(plain).size(), 0);
}

TEST_F(OpeningTest, DecliningTheAbsentDatabaseAndPickingAnInaccessibleOne)
{
    testsupport::TempDir broken;
    ASSERT_TRUE(QFile::link(broken.file("gone/gestiune.db"), broken.file("gestiune.db")));
    picker.steps = {{dir.path()}, {broken.path()}};
    dialogs.queueAnswer(Answer::No);

    EXPECT_FALSE(opening.SelectDatabase());

    ASSERT_EQ(dialogs.messages.size(), 2) << str(dialogs.texts().join(" | "));
    EXPECT_EQ(str(dialogs.messages[0].text), str(noDatabaseQuestion(dir.path())));
    EXPECT_TRUE(dialogs.messages[1].text.startsWith("Nu pot crea baza de date!\rFisierul bazei de date "))
        << str(dialogs.messages[1].text);
    EXPECT_FALSE(QFileInfo::exists(broken.file("gone")));
}
