// Keepers and beneficiaries (initials from the name, the access pick list,
// duplicate initials), the access level record check, and the firm data
// dialog's choice of the current firm; on a real database file.

#include "common/inifile.h"
#include "common/scripteddialogs.h"
#include "datastore/tablecatalog.h"
#include "prints/documentprints.h"
#include "shell/firmdatalogic.h"
#include "shell/tfirmdatadlg.h"
#include "shell/tmainform.h"
#include "shell/tuserform.h"
#include "shell/userformlogic.h"
#include "shelltest.h"
#include "testsupport.h"

#include <QApplication>
#include <QDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace shell;
using namespace datastore;

namespace {

class DatabaseFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        db.setDirectory(dir.path());
        for (const char* t : {"User.db", "Acces.DB", "Firmdata.DB"})
            db.createTable(*findTableDef(QString::fromLatin1(t)));
    }
    QString tbxdef() const { return dir.file("TBXDEF.INI"); }

    testsupport::TempDir dir;
    Database db;
    common::ScriptedDialogs dialogs;
    common::Formats formats;
};

} // namespace

TEST(Initials, FromTheWordsOfTheName)
{
    const struct {
        const char* name;
        const char* initials;
    } cases[] = {
        {"", ""},
        {" ,.; ", ""},
        {"Popescu", "P"},
        {"Popescu Ion", "PI"},
        {"popescu ion vasile", "piv"},
        {"Popescu Ion Vasile Maria", "PIV"},
        {"  ,Popescu,,Ion;.Vasile", "PIV"},
        {"Pop-Ionescu maria Elena", "PmE"},
        {"Ana-Maria", "A"},
        {"Ştefan Ţuţea", "ŞŢ"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(initialsOf(QString::fromUtf8(c.name)), QString::fromUtf8(c.initials)) << c.name;
}

TEST_F(DatabaseFixture, KeepersAndBeneficiaries)
{
    db.exec("INSERT INTO Acces (Niv_acces) VALUES (2), (0), (1)");
    TUserFormLogic logic(db, dialogs);
    ASSERT_TRUE(logic.FormCreate());
    EXPECT_EQ(logic.accessLevels(), QStringList({"0", "1", "2"}));

    Dataset& users = logic.users;
    users.append();
    users.setValue("Name", "Popescu Ion");
    EXPECT_EQ(users.value("Init").toString(), "PI");
    users.setValue("Psw", "secret1");
    EXPECT_EQ(users.value("Psw").toString(), "SECRET1");
    users.post();

    users.append();
    users.setValue("Name", "Pavel Ilie"); // the same initials: a duplicate key
    EXPECT_FALSE(logic.FormCloseQuery());
    EXPECT_EQ(dialogs.last().text, datastore::duplicateKeyMessage());
    EXPECT_EQ(users.state(), DatasetState::Insert) << "the row stays in editing";
    users.setValue("Name", "Pavel Ilie Ene");
    EXPECT_TRUE(logic.FormCloseQuery());
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM User").toInt(), 2);
    EXPECT_EQ(db.scalar("SELECT Name FROM User WHERE Init = 'PIE'").toString(), "Pavel Ilie Ene");

    // Clearing the name clears the initials.
    TUserFormLogic again(db, dialogs);
    ASSERT_TRUE(again.FormCreate());
    again.users.edit();
    again.users.setValue("Name", "");
    EXPECT_TRUE(again.users.value("Init").isNull());
}

TEST_F(DatabaseFixture, KeepersWindowReportsATableThatCannotBeOpened)
{
    db.dropTable("User.db");
    TUserFormLogic logic(db, dialogs);
    EXPECT_FALSE(logic.FormCreate());
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.last().text.startsWith("Eroare de acces la baza de date :\r<")) << dialogs.last().text.toStdString();
    EXPECT_TRUE(dialogs.last().text.endsWith("> !"));
}

TEST_F(DatabaseFixture, AccessLevelRecordsNeedEveryRight)
{
    Dataset acces(db, "Acces.DB");
    acces.beforePost = [&] { AccesBeforePost(acces, dialogs); };
    acces.open();
    acces.append();
    acces.setValue("Niv_acces", 1);
    for (const QString& right : requiredAccessRights())
        acces.setValue(right, true);
    acces.setValue("Doc_out", QVariant());
    EXPECT_THROW(acces.post(), Abort);
    EXPECT_EQ(dialogs.last().text, "Completeaza toate cimpurile din inregistrare");
    EXPECT_EQ(acces.state(), DatasetState::Insert);
    acces.setValue("Doc_out", "Nu");
    acces.post(); // Stoc_Lei, Vinz_Zilnice, ... may stay empty
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM Acces").toInt(), 1);
    EXPECT_FALSE(db.scalar("SELECT Doc_out FROM Acces").toBool());
}

TEST_F(DatabaseFixture, FirmDataChoosesTheCurrentFirm)
{
    // An empty table: filling the fields and confirming creates the firm.
    {
        TFirmDataDlgLogic logic(db, dialogs, 0);
        ASSERT_TRUE(logic.FormCreate());
        logic.firms.edit();
        logic.firms.setValue("Cod", 3);
        logic.firms.setValue("Denumire", "Scoala Gimnaziala nr. 1");
        EXPECT_TRUE(logic.Valideaza(tbxdef()));
        EXPECT_EQ(logic.firmNo(), 3);
        EXPECT_EQ(common::IniFile(tbxdef()).readString("Default", "FirmNo"), "3");
        EXPECT_EQ(db.scalar("SELECT Denumire FROM Firmdata WHERE Cod = 3").toString(), "Scoala Gimnaziala nr. 1");
    }
    db.exec("INSERT INTO Firmdata (Cod, Denumire) VALUES (1, 'Primaria')");
    // A FirmNo that names no record opens on the first firm; confirming makes it current.
    {
        TFirmDataDlgLogic logic(db, dialogs, 9);
        ASSERT_TRUE(logic.FormCreate());
        EXPECT_EQ(logic.firms.value("Denumire").toString(), "Primaria");
        EXPECT_TRUE(logic.Valideaza(tbxdef()));
        EXPECT_EQ(logic.firmNo(), 1);
    }
    // An empty number: the warning, the focus on it, FirmNo kept and still written.
    {
        common::IniFile(tbxdef()).writeInteger("Default", "FirmNo", 77);
        TFirmDataDlgLogic logic(db, dialogs, 3);
        QString focused;
        logic.focusField = [&](const QString& f) { focused = f; };
        ASSERT_TRUE(logic.FormCreate());
        EXPECT_EQ(logic.firms.value("Cod").toInt(), 3);
        logic.firms.edit();
        logic.firms.setValue("Cod", QVariant());
        EXPECT_FALSE(logic.Valideaza(tbxdef()));
        EXPECT_EQ(dialogs.last().text, "Specificati un numar de ordine!");
        EXPECT_EQ(focused, "Cod");
        EXPECT_EQ(logic.firmNo(), 3);
        EXPECT_EQ(common::IniFile(tbxdef()).readString("Default", "FirmNo"), "3");
        // Closing another way discards the pending edit.
        logic.FormClose();
        EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM Firmdata WHERE Cod = 3").toInt(), 1);
    }
}

TEST_F(DatabaseFixture, FirmDataReportsATableThatCannotBeOpened)
{
    db.dropTable("Firmdata.DB");
    TFirmDataDlgLogic logic(db, dialogs, 0);
    EXPECT_FALSE(logic.FormCreate());
    EXPECT_TRUE(dialogs.last().text.startsWith("Eroare de acces la tabela de firme!\r"));
    EXPECT_TRUE(dialogs.last().text.endsWith("!"));
}

TEST_F(DatabaseFixture, FirmDataDialogTypingIntoAnEmptyTable)
{
    TFirmDataDlg dlg(db, dialogs, 0, tbxdef());
    ASSERT_TRUE(dlg.prepare());
    dlg.show();
    ui::FieldEdit* cod = dlg.edit("Cod");
    ui::FieldEdit* name = dlg.edit("Denumire");
    ASSERT_TRUE(cod && name);
    QTest::keyClicks(name, "Primaria Mures");
    EXPECT_EQ(dlg.logic().firms.state(), DatasetState::Insert);
    dlg.accept(); // no number yet: refused, the dialog stays
    EXPECT_EQ(dialogs.last().text, "Specificati un numar de ordine!");
    EXPECT_TRUE(dlg.isVisible());
    QTest::keyClicks(cod, "x5"); // letters in a number are refused, not dropped
    EXPECT_EQ(cod->text(), "x5");
    dlg.accept();
    EXPECT_EQ(dialogs.last().text, "Valoare numerica incorecta: x5");
    EXPECT_TRUE(dlg.isVisible());
    cod->setText(QString());
    QTest::keyClicks(cod, "5");
    dlg.accept();
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(dlg.logic().firmNo(), 5);
    EXPECT_EQ(db.scalar("SELECT Denumire FROM Firmdata WHERE Cod = 5").toString(), "Primaria Mures");

    const QString shots = qEnvironmentVariable("MIRAFEL_SHOTS_DIR");
    if (!shots.isEmpty()) {
        TFirmDataDlg again(db, dialogs, 5, tbxdef());
        ASSERT_TRUE(again.prepare());
        again.show();
        QApplication::processEvents();
        QDir().mkpath(shots);
        again.grab().save(QDir(shots).filePath("firmdata.png"));
    }
}

TEST_F(DatabaseFixture, KeepersWindow)
{
    db.exec("INSERT INTO Acces (Niv_acces) VALUES (0), (1)");
    db.exec("INSERT INTO User (Init, Name, Acces) VALUES ('PI', 'Popescu Ion', 0), ('MAE', 'Marin Ana Elena', 1)");
    TUserForm form(db, dialogs, formats);
    ASSERT_TRUE(form.prepare());
    form.show();
    ui::DataGrid* grid = form.grid();
    EXPECT_FALSE(grid->isColumnHidden(0));
    EXPECT_TRUE(grid->isColumnHidden(2)) << "Parola";
    EXPECT_TRUE(grid->isColumnHidden(3)) << "Acces";
    EXPECT_EQ(grid->datasetModel()->columns()[3].pickList, QStringList({"0", "1"}));
    EXPECT_FALSE(grid->model()->flags(grid->model()->index(0, 1)) & Qt::ItemIsEditable) << "initials are read-only";

    // A name typed into the grid derives the initials.
    EXPECT_TRUE(grid->model()->setData(grid->model()->index(0, 0), "Zamfir Dan"));
    EXPECT_EQ(grid->model()->index(0, 1).data().toString(), "ZD");
    form.accept();
    EXPECT_EQ(db.scalar("SELECT Name FROM User WHERE Init = 'ZD'").toString(), "Zamfir Dan");

    const QString shots = qEnvironmentVariable("MIRAFEL_SHOTS_DIR");
    if (!shots.isEmpty()) {
        TUserForm again(db, dialogs, formats);
        ASSERT_TRUE(again.prepare());
        again.show();
        QApplication::processEvents();
        QDir().mkpath(shots);
        again.grab().save(QDir(shots).filePath("userform.png"));
    }
}

// ---- the main window's commands ---------------------------------------------------

TEST(PeopleAndFirmInTheMainWindow, CommandsAndSpeedButtonOpenTheWindows)
{
    shelltest::ContextFixture fx;
    const QString dbDir = fx.newDir("baza");
    fx.settings.setValue("LastDatabaseDir", dbDir);
    TMainForm form(*fx.ctx);
    ASSERT_TRUE(form.startUp()) << fx.dialogs.texts().join(" | ").toStdString();

    // "Unitatea": a new firm number 4 becomes FirmNo, in memory and in TBXDEF.INI.
    QTimer::singleShot(0, [] {
        auto* dlg = qobject_cast<TFirmDataDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        QTest::keyClicks(dlg->edit("Cod"), "4");
        dlg->accept();
    });
    form.runCommand(CommandId::FirmData);
    EXPECT_EQ(fx.ctx->parameters.FirmNo, 4);
    EXPECT_EQ(common::IniFile(dbDir + "/TBXDEF.INI").readString("Default", "FirmNo"), "4");

    // The "Gestionari" speed button opens the keepers and beneficiaries window.
    QToolButton* keepers = nullptr;
    for (QToolButton* b : form.speedButtonWidgets())
        if (b->text().contains("Gestionari") || b->toolTip().contains("clienti"))
            keepers = b;
    ASSERT_NE(keepers, nullptr);
    bool opened = false;
    QTimer::singleShot(0, [&] {
        auto* users = qobject_cast<TUserForm*>(QApplication::activeModalWidget());
        opened = users != nullptr;
        if (users)
            users->accept();
    });
    keepers->click();
    EXPECT_TRUE(opened);
}

// Each print's settings: the printer and the choices of an earlier run are
// read at start-up, each print's choice is written to its own section at exit.
TEST(PrintSettingsInTheMainWindow, ReadAtStartUpAndWrittenAtExit)
{
    shelltest::ContextFixture fx;
    fx.ctx->ini.writeString("PrinterSettings", "Printer", "Imprimanta de la etaj");
    fx.ctx->ini.writeString("PrinterSettings", "FontName", "Courier New"); // the former single set
    fx.ctx->ini.writeString("Print invoice", "PageOrientation", "1");
    fx.settings.setValue("LastDatabaseDir", fx.newDir("baza"));
    {
        TMainForm form(*fx.ctx);
        ASSERT_TRUE(form.startUp()) << fx.dialogs.texts().join(" | ").toStdString();
        const prints::PrintSettings& invoice = prints::documentPrintSettings(fx.ctx->printSettings, "invoice");
        EXPECT_EQ(invoice.orientation, prints::PageOrientation::Landscape);
        EXPECT_EQ(invoice.printer, "Imprimanta de la etaj");
        prints::PrintSettings& note = prints::documentPrintSettings(fx.ctx->printSettings, "consumption-note");
        EXPECT_EQ(note.fontName, "Arial");
        note.leftMargin = 17; // as the print setup dialog leaves it
        note.userChoice = true;
        form.logic().shutDown();
    }
    const common::IniFile ini(fx.ctx->ini.path());
    EXPECT_EQ(ini.readString("Print consumption-note", "LeftMargin"), "17");
    EXPECT_EQ(ini.readString("Print consumption-note", "PageOrientation"), "1");
    EXPECT_EQ(ini.readString("Print invoice", "PageOrientation"), "1");
    EXPECT_EQ(ini.readString("PrinterSettings", "Printer"), "Imprimanta de la etaj");
    EXPECT_FALSE(ini.valueExists("PrinterSettings", "FontName"));
}

TEST_F(DatabaseFixture, KeepersWindowTakesWhatIsTypedIntoANewRow)
{
    db.exec("INSERT INTO User (Init, Name) VALUES ('PI', 'Popescu Ion')");
    TUserForm form(db, dialogs, formats);
    ASSERT_TRUE(form.prepare());
    form.show();
    ui::DataGrid* grid = form.grid();
    grid->setFocus();
    grid->setCurrentIndex(grid->model()->index(0, 1)); // an "Initiale" cell

    QTest::keyClicks(grid, "x");
    EXPECT_EQ(dialogs.beeps, 1) << "the initials are not typed";

    QTest::keyClick(grid, Qt::Key_Insert);
    EXPECT_EQ(grid->currentField(), "Name") << "a new row starts in the name";
    QTest::keyClick(grid, 'Z'); // opens the cell
    QTest::keyClicks(grid->indexWidget(grid->currentIndex()), "amfir Dan");
    QWidget* editor = grid->indexWidget(grid->currentIndex());
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_Tab);
    QApplication::processEvents();
    EXPECT_EQ(form.logic().users.value("Init").toString(), "ZD");
    QTest::keyClick(grid, Qt::Key_Tab);
    QApplication::processEvents();
    EXPECT_EQ(db.scalar("SELECT Name FROM User WHERE Init = 'ZD'").toString(), "Zamfir Dan")
        << "Tab keeps the row";
    form.accept();
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM User").toInt(), 2);
    EXPECT_EQ(dialogs.beeps, 1);
}

TEST_F(DatabaseFixture, FirmNumberCannotBeNegative)
{
    TFirmDataDlgLogic logic(db, dialogs, 0);
    ASSERT_TRUE(logic.FormCreate());
    logic.firms.edit();
    const struct {
        int number;
        bool taken;
    } cases[] = {{-1, false}, {-100, false}, {0, true}, {4, true}};
    for (const auto& c : cases) {
        dialogs.clear();
        bool taken = true;
        try {
            logic.firms.setValue("Cod", c.number);
        } catch (const datastore::Abort&) {
            taken = false;
        }
        EXPECT_EQ(taken, c.taken) << c.number;
        EXPECT_EQ(dialogs.messages.size(), c.taken ? 0 : 1) << c.number;
        if (!c.taken) {
            EXPECT_EQ(dialogs.last().text, "Numarul de ordine nu poate fi negativ!");
        }
    }
    EXPECT_EQ(logic.firms.value("Cod").toInt(), 4);
}
