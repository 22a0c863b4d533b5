// The material classes and article groups editor: the checks of a class and
// of a group, the duplicate record, the refused deletes and code changes
// while the rows are used, the Target flag, and the article window that
// points to the editor and reads the lists again after it.

#include "articletest.h"

#include "catalogs/groupeditorlogic.h"
#include "catalogs/tcatlookupform.h"
#include "catalogs/tgroupeditorform.h"
#include "common/accountsymbol.h"
#include "datastore/tablecatalog.h"
#include "ui/datagrid.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace catalogs;
using namespace datastore;

namespace {

class GroupEditorTest : public articletest::ArticleFixture {
protected:
    void SetUp() override
    {
        ArticleFixture::SetUp();
        for (const GroupUse& use : groupUses()) {
            const QString table = QString::fromLatin1(use.table);
            if (table.compare("TargetA.DB", Qt::CaseInsensitive) == 0)
                continue; // a table the program does not create
            if (!db.tableNames().contains(table, Qt::CaseInsensitive))
                db.createTable(*findTableDef(table));
        }
    }
    QStringList groupCodes()
    {
        QStringList codes;
        Query q = db.query("SELECT Cod_material, Cod_grupa FROM \"Grup.db\" ORDER BY Cod_material, Cod_grupa");
        while (q.next())
            codes << q.value(0).toString() + "/" + q.value(1).toString();
        return codes;
    }
    void addClass(TGroupEditorLogic& logic, const QString& code, const QString& name)
    {
        logic.classes.append();
        logic.classes.setValue("Cod_material", code);
        logic.classes.setValue("Denumire", name);
        logic.classes.post();
    }
    void addGroup(TGroupEditorLogic& logic, const QString& code, const QString& name)
    {
        logic.groups.append();
        logic.groups.setValue("Cod_grupa", code);
        logic.groups.setValue("Denumire", name);
        logic.groups.post();
    }
};

} // namespace

TEST_F(GroupEditorTest, AnEmptyDatabaseGetsItsFirstClassAndGroupAndTheArticleWindowSeesThem)
{
    TGroupEditorLogic logic(db, dialogs);
    int changes = 0;
    logic.onChanged = [&] { ++changes; };
    ASSERT_TRUE(logic.FormCreate());
    addClass(logic, "M1", "Materiale");
    addGroup(logic, "G1", "Papetarie");
    logic.groups.edit();
    logic.groups.setValue("Cont_sint", "302.01");
    logic.groups.setValue("Target", true);
    logic.groups.post();

    EXPECT_EQ(groupCodes(), QStringList{"M1/G1"}) << "the group takes the class it is shown under";
    EXPECT_EQ(db.scalar("SELECT Target FROM \"Grup.db\" WHERE Cod_grupa = 'G1'").toBool(), true);
    EXPECT_EQ(db.scalar("SELECT Cont_sint FROM \"Grup.db\" WHERE Cod_grupa = 'G1'").toString(), "302.01");
    EXPECT_EQ(changes, 3);
    EXPECT_TRUE(dialogs.texts().isEmpty());

    // The article window opened on that database: no warning, the group is there.
    TCatLookupFormLogic articles(context(), ArticleCatalogRole::Catalog);
    ASSERT_TRUE(articles.FormCreate());
    EXPECT_TRUE(dialogs.texts().isEmpty());
    EXPECT_EQ(articles.groups.value("Cod_grupa").toString(), "G1");
}

TEST_F(GroupEditorTest, RowChecksRefuseAndKeepTheRowInEditing)
{
    seed();
    struct Case {
        const char* name;
        bool group;           // a group row, else a class row
        QString code, name_, account;
        QString expected;     // the warning; empty: saved
    };
    const QString accountMessage = QString::fromUtf8(common::kAccountSymbolMessage);
    const QList<Case> cases = {
        {"class without code", false, "", "Clasa", "", "Introduceti codul si denumirea clasei de materiale!"},
        {"class without name", false, "M9", "  ", "", "Introduceti codul si denumirea clasei de materiale!"},
        {"class account with three dots", false, "M9", "Clasa", "302.1.2.3", accountMessage},
        {"class saved", false, "M9", "Clasa", "302", ""},
        {"group without name", true, "G9", "", "", "Introduceti codul si denumirea grupei!"},
        {"group account first segment too long", true, "G9", "Grupa", "30212345678", accountMessage},
        {"group code of another class", true, "G3", "Grupa", "", "Grupa G3 exista deja in clasa M2! Codul unei grupe trebuie sa fie unic."},
        {"group saved", true, "G9", "Grupa", "371.01.02", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dialogs.clear();
        TGroupEditorLogic logic(db, dialogs);
        ASSERT_TRUE(logic.FormCreate("G1")); // class M1
        Dataset& table = c.group ? logic.groups : logic.classes;
        const int before = table.recordCount();
        table.append();
        bool refused = false;
        try {
            table.setValue(c.group ? "Cod_grupa" : "Cod_material", c.code);
            table.setValue("Denumire", c.name_);
            if (!c.account.isEmpty())
                table.setValue(c.group ? "Cont_sint" : "CONT_SINT", c.account);
            table.post();
        } catch (const Abort&) {
            refused = true;
        }
        if (c.expected.isEmpty()) {
            EXPECT_FALSE(refused);
            EXPECT_TRUE(dialogs.texts().isEmpty()) << dialogs.texts().join("|").toStdString();
            EXPECT_EQ(table.recordCount(), before + 1);
        } else {
            EXPECT_TRUE(refused);
            EXPECT_EQ(dialogs.texts(), QStringList{c.expected});
            EXPECT_TRUE(table.isEditing()) << "the row stays for correction";
        }
    }
    EXPECT_EQ(groupCodes(), (QStringList{"M1/G1", "M1/G2", "M1/G9", "M2/G3"}));
}

TEST_F(GroupEditorTest, ASecondGroupWithTheSameKeyIsTheDuplicateRecordWarning)
{
    seed();
    TGroupEditorLogic logic(db, dialogs);
    ASSERT_TRUE(logic.FormCreate("G1"));
    logic.groups.append();
    logic.groups.setValue("Cod_grupa", "G1");
    logic.groups.setValue("Denumire", "Alta papetarie");
    try {
        logic.groups.post();
        ADD_FAILURE() << "a duplicate key was written";
    } catch (...) {
        ui::reportDataError(dialogs, std::current_exception());
    }
    EXPECT_EQ(dialogs.texts(), QStringList{datastore::duplicateKeyMessage()});
    EXPECT_TRUE(logic.groups.isEditing());
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM \"Grup.db\" WHERE Cod_grupa = 'G1'").toInt(), 1);
}

TEST_F(GroupEditorTest, AGroupInUseCanBeNeitherDeletedNorRecoded)
{
    // Each kind of row that names a group, one at a time, on a group without articles (G3).
    for (const GroupUse& use : groupUses()) {
        const QString table = QString::fromLatin1(use.table);
        if (table.compare("TargetA.DB", Qt::CaseInsensitive) == 0)
            continue;
        SCOPED_TRACE(table.toStdString());
        db.exec("DELETE FROM \"Grup.db\"");
        db.exec("DELETE FROM \"Materiale.db\"");
        db.exec("DELETE FROM \"Catalog.DB\"");
        db.exec("INSERT INTO Materiale (Cod_material, Denumire) VALUES ('M2', 'Obiecte')");
        db.exec("INSERT INTO Grup (Cod_material, Cod_grupa, Denumire) VALUES ('M2', 'G3', 'Mobilier')");
        db.exec(QStringLiteral("INSERT INTO \"%1\" (%2) VALUES ('G3')").arg(table, QString::fromLatin1(use.field)));
        dialogs.clear();

        TGroupEditorLogic logic(db, dialogs);
        ASSERT_TRUE(logic.FormCreate("G3"));
        EXPECT_THROW(logic.groups.remove(), Abort);
        EXPECT_EQ(dialogs.texts(), QStringList{QStringLiteral("Grupa G3 nu poate fi stearsa deoarece este folosita in %1! "
                                                              "Stergeti inregistrarile aferente si reveniti!")
                                                   .arg(QString::fromUtf8(use.what))});
        dialogs.clear();
        logic.groups.edit();
        logic.groups.setValue("Cod_grupa", "G4");
        EXPECT_THROW(logic.groups.post(), Abort);
        EXPECT_EQ(dialogs.texts(), QStringList{QStringLiteral("Codul grupei G3 nu poate fi modificat deoarece este folosit in %1!")
                                                   .arg(QString::fromUtf8(use.what))});
        logic.groups.cancel();
        EXPECT_EQ(groupCodes(), QStringList{"M2/G3"});
        logic.FormClose();
        db.exec(QStringLiteral("DELETE FROM \"%1\"").arg(table));
    }
}

TEST_F(GroupEditorTest, UnusedGroupsAndEmptyClassesGoAClassWithGroupsStays)
{
    seed();
    TGroupEditorLogic logic(db, dialogs);
    ASSERT_TRUE(logic.FormCreate("G3"));
    // M2 has G3: the class is refused, and so is a new code for it.
    EXPECT_THROW(logic.classes.remove(), Abort);
    EXPECT_EQ(dialogs.texts(), QStringList{"Clasa M2 nu poate fi stearsa deoarece are grupe de articole! "
                                           "Stergeti mai intii grupele clasei si reveniti!"});
    dialogs.clear();
    logic.classes.edit();
    logic.classes.setValue("Cod_material", "M3");
    EXPECT_THROW(logic.classes.post(), Abort);
    EXPECT_EQ(dialogs.texts(), QStringList{"Codul clasei M2 nu poate fi modificat deoarece clasa are grupe de articole!"});
    logic.classes.cancel();
    dialogs.clear();

    // G3 is used by nothing: renamed, then deleted; then the class goes.
    logic.groups.edit();
    logic.groups.setValue("Cod_grupa", "G4");
    logic.groups.post();
    logic.groups.remove();
    logic.classes.remove();
    EXPECT_TRUE(dialogs.texts().isEmpty()) << dialogs.texts().join("|").toStdString();
    EXPECT_EQ(groupCodes(), (QStringList{"M1/G1", "M1/G2"}));
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM \"Materiale.db\"").toInt(), 1);
}

TEST_F(GroupEditorTest, TheArticleWindowSaysWhereGroupsAreMadeAndReadsThemAgain)
{
    TCatLookupForm form(context(), ArticleCatalogRole::Catalog);
    ASSERT_TRUE(form.prepare());
    EXPECT_EQ(dialogs.texts(), QStringList{QString::fromUtf8(kNoGroupsMessage)});
    EXPECT_TRUE(dialogs.texts().first().contains("Clase si grupe"));
    ASSERT_NE(form.groupsButton(), nullptr);
    EXPECT_EQ(form.groupsButton()->text(), "Clase si &grupe...");

    // Another window adds a class and a group.
    TGroupEditorLogic editor(db, dialogs);
    ASSERT_TRUE(editor.FormCreate());
    addClass(editor, "M1", "Materiale");
    addGroup(editor, "G1", "Papetarie");
    form.reloadGroups();
    EXPECT_EQ(form.logic().classes.recordCount(), 1);
    ASSERT_EQ(form.logic().groups.recordCount(), 1);
    EXPECT_EQ(form.logic().groups.value("Cod_grupa").toString(), "G1");

    // An article can now be recorded in it.
    form.logic().articles.append();
    form.logic().articles.setValue("Cod", "PIX001");
    form.logic().articles.setValue("Denumire", "pix albastru");
    form.logic().articles.post();
    EXPECT_EQ(db.scalar("SELECT Grupa FROM \"Catalog.DB\" WHERE Cod = 'PIX001'").toString(), "G1");
}

// A refused account typed in a cell stays there for correction; closing the
// window meanwhile is refused, and nothing is written until it is mended.
TEST_F(GroupEditorTest, ClosingWithARefusedValueInACellKeepsTheWindowOpen)
{
    db.exec("INSERT INTO \"Materiale.db\" (Cod_material, Denumire) VALUES ('M1', 'Materiale')");
    const PartnerServices services{db, dialogs, formats, params, dir.path() + "/"};
    std::unique_ptr<TGroupEditorForm> form = TGroupEditorForm::createChild(services);
    ASSERT_TRUE(form);
    form->show();
    ui::DataGrid* grid = form->classGrid();
    const int column = grid->model()->columnCount() - 1; // the account
    const QModelIndex account = grid->model()->index(0, column);
    grid->setFocus();
    grid->setCurrentIndex(account);
    QTest::keyClick(grid, '3');
    QTest::keyClicks(grid->indexWidget(grid->currentIndex()), "02.1.2.3");
    QTest::keyClick(grid->indexWidget(account), Qt::Key_Tab);
    QApplication::processEvents();
    EXPECT_EQ(dialogs.texts(), QStringList{QString::fromUtf8(common::kAccountSymbolMessage)});

    EXPECT_FALSE(form->close());
    QApplication::processEvents();
    auto* editor = qobject_cast<QLineEdit*>(grid->indexWidget(account));
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->text(), "302.1.2.3");
    editor->setText("302");
    EXPECT_TRUE(form->close());
    EXPECT_EQ(db.scalar("SELECT CONT_SINT FROM \"Materiale.db\" WHERE Cod_material = 'M1'").toString(), "302");
}

// Typed into an empty group list with the keyboard only: each row keeps the
// account still being typed when Down moves on to the next.
TEST_F(GroupEditorTest, GroupsTypedOneAfterTheOtherKeepTheirAccounts)
{
    db.exec("INSERT INTO \"Materiale.db\" (Cod_material, Denumire) VALUES ('M1', 'Materiale')");
    const PartnerServices services{db, dialogs, formats, params, dir.path() + "/"};
    std::unique_ptr<TGroupEditorForm> form = TGroupEditorForm::createChild(services);
    ASSERT_TRUE(form);
    form->show();
    QApplication::processEvents();
    ui::DataGrid* grid = form->groupGrid();
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_Insert);
    const struct {
        const char* code;
        const char* name;
        const char* account;
    } groups[] = {{"G1", "Papetarie", "302.01"}, {"G2", "Curatenie", "303"}};
    for (const auto& g : groups) {
        for (const char* text : {g.code, g.name, g.account}) {
            if (text != g.code)
                QTest::keyClick(grid->openEditor(), Qt::Key_Tab); // opens the next cell's editor
            if (!grid->openEditor())
                QTest::keyClick(grid, text[0]);
            else
                QTest::keyClicks(grid->openEditor(), QString::fromLatin1(text, 1));
            QTest::keyClicks(grid->openEditor(), QString::fromLatin1(text + 1));
        }
        QTest::keyClick(grid->indexWidget(grid->currentIndex()), Qt::Key_Down);
        QApplication::processEvents();
    }
    EXPECT_TRUE(dialogs.texts().isEmpty()) << dialogs.texts().join('|').toStdString();
    EXPECT_EQ(db.scalar("SELECT Cont_sint FROM \"Grup.db\" WHERE Cod_grupa = 'G1'").toString(), "302.01");
    EXPECT_EQ(db.scalar("SELECT Cont_sint FROM \"Grup.db\" WHERE Cod_grupa = 'G2'").toString(), "303");
    EXPECT_TRUE(testsupport::saveShot(*form, "group_editor_typed.png"));
    EXPECT_TRUE(form->close());
}
