// Discount grids: the grids window's lists (grids over the group percentages
// of the current grid), its checks, deleting a grid with its lines in one
// unit of work, the refresh tick and the window itself; the discount dialog
// with its lower limit of -100%.

#include "catalogs/discgrilalogic.h"
#include "catalogs/tdiscgrilaform.h"
#include "catalogs/tdiscountdlg.h"
#include "common/scripteddialogs.h"
#include "datastore/tablecatalog.h"
#include "testsupport.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

using namespace catalogs;
using namespace datastore;

namespace {

class DiscGrilaTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        db.setDirectory(dir.path());
        for (const char* t : {"grila.DB", "item_grila.DB", "Grup.db", "Client.DB"})
            db.createTable(*findTableDef(QString::fromLatin1(t)));
        // Key order of the groups is class, then group: G1, G2 (class M1), A1 (class M2).
        db.exec("INSERT INTO Grup (Cod_material, Cod_grupa, Denumire) VALUES "
                "('M2', 'A1', 'Mobilier'), ('M1', 'G2', 'Alimente'), ('M1', 'G1', 'Papetarie')");
        db.exec("INSERT INTO grila (Grila, Nume_grila) VALUES (1, 'Standard'), (2, 'Angro'), (3, 'Fara grupe')");
        db.exec("INSERT INTO item_grila (Grila, Cod_grupa, Discount) VALUES "
                "(1, 'G1', 5), (1, 'G2', -5), (2, 'G1', 10)");
        db.exec("INSERT INTO Client (Cod_client, Nume_client, Grila) VALUES ('B1', 'Primaria', 2)");
    }
    // Every grid and every line, as stored: "1 Standard | 1 G1 5 | ...".
    QString stored()
    {
        QStringList rows;
        Query g = db.query("SELECT Grila, Nume_grila FROM \"grila.DB\" ORDER BY Grila");
        while (g.next())
            rows << g.value(0).toString() + " " + g.value(1).toString();
        Query l = db.query("SELECT Grila, Cod_grupa, Discount FROM \"item_grila.DB\" ORDER BY Grila, Cod_grupa");
        while (l.next())
            rows << l.value(0).toString() + " " + l.value(1).toString() + " " + l.value(2).toString();
        return rows.join(" | ");
    }
    PartnerServices services() { return {db, dialogs, formats, params, dir.path() + "/"}; }

    testsupport::TempDir dir;
    Database db;
    common::ScriptedDialogs dialogs;
    common::Formats formats;
    common::Parameters params;
};

} // namespace

TEST_F(DiscGrilaTest, OpensOnTheGridsAndTheLinesFollowTheCurrentGrid)
{
    DiscGrilaFormLogic logic(db, dialogs);
    ASSERT_TRUE(logic.open());
    EXPECT_EQ(logic.groupCodes(), (QStringList{"G1", "G2", "A1"})) << "Grup.db in its key order";
    EXPECT_EQ(logic.groupColumns().value(0).pickList, logic.groupCodes());

    const struct {
        int grid;
        QStringList lines;
    } cases[] = {{1, {"G1 5", "G2 -5"}}, {2, {"G1 10"}}, {3, {}}, {1, {"G1 5", "G2 -5"}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.grid);
        ASSERT_TRUE(logic.grids.locate({"Grila"}, {c.grid}));
        QStringList lines;
        for (int row = 0; row < logic.groups.recordCount(); ++row)
            lines << logic.groups.value(row, "Cod_grupa").toString() + " " + logic.groups.value(row, "Discount").toString();
        EXPECT_EQ(lines, c.lines);
    }

    // A new line takes the grid it is typed under.
    ASSERT_TRUE(logic.grids.locate({"Grila"}, {3}));
    logic.groups.append();
    logic.groups.setValue("Cod_grupa", "A1");
    logic.groups.setValue("Discount", 7.5);
    logic.groups.post();
    EXPECT_EQ(db.scalar("SELECT Discount FROM \"item_grila.DB\" WHERE Grila = 3 AND Cod_grupa = 'A1'").toDouble(), 7.5);
    EXPECT_TRUE(dialogs.texts().isEmpty());
}

TEST_F(DiscGrilaTest, ATableThatCannotBeOpenedReleasesTheWindow)
{
    db.dropTable("item_grila.DB");
    DiscGrilaFormLogic logic(db, dialogs);
    EXPECT_FALSE(logic.open());
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.last().icon, common::Icon::Error);
    const QString text = dialogs.last().text;
    EXPECT_TRUE(text.startsWith("Eroare de acces la grila de discounturi!\n")) << text.toStdString();
    EXPECT_TRUE(text.endsWith(">")) << text.toStdString();
    EXPECT_GT(text.size(), QString("Eroare de acces la grila de discounturi!\n>").size()) << "the engine's message";
    EXPECT_FALSE(logic.grids.isOpen());
    EXPECT_FALSE(logic.groups.isOpen());

    dialogs.clear();
    EXPECT_EQ(TDiscGrilaForm::createChild(services()), nullptr);
    EXPECT_EQ(dialogs.messages.size(), 1);
}

TEST_F(DiscGrilaTest, RecordsWithoutTheirCodesOrWithAGroupTwiceStayInEditing)
{
    DiscGrilaFormLogic logic(db, dialogs);
    ASSERT_TRUE(logic.open());
    const QString before = stored();
    const QString missing = QString::fromUtf8("Introduceti atît codul si denumirea grilei!");

    struct Case {
        const char* name;
        Dataset* table;
        std::function<void()> fill;
        QString warning;
    };
    const QList<Case> refused = {
        {"grid without number", &logic.grids, [&] { logic.grids.append(); logic.grids.setValue("Nume_grila", "Noua"); },
         missing},
        {"grid without name", &logic.grids,
         [&] { logic.grids.append(); logic.grids.setValue("Grila", 9); logic.grids.setValue("Nume_grila", "   "); },
         missing},
        {"name of a grid cleared", &logic.grids,
         [&] { logic.grids.first(); logic.grids.edit(); logic.grids.setValue("Nume_grila", QVariant()); }, missing},
        {"line without group", &logic.groups, [&] { logic.grids.first(); logic.groups.append(); logic.groups.setValue("Discount", 3); },
         missing},
        {"line with a blank group", &logic.groups,
         [&] { logic.grids.first(); logic.groups.append(); logic.groups.setValue("Cod_grupa", " "); }, missing},
        {"group twice in one grid", &logic.groups,
         [&] { logic.grids.first(); logic.groups.append(); logic.groups.setValue("Cod_grupa", "G2"); logic.groups.setValue("Discount", 1); },
         "Grupa G2 are deja un discount in grila 1! Modificati discount-ul existent sau alegeti alta grupa."},
        {"line moved onto a group of its grid", &logic.groups,
         [&] { logic.grids.first(); logic.groups.first(); logic.groups.edit(); logic.groups.setValue("Cod_grupa", "G2"); },
         "Grupa G2 are deja un discount in grila 1! Modificati discount-ul existent sau alegeti alta grupa."},
    };
    for (const Case& c : refused) {
        SCOPED_TRACE(c.name);
        dialogs.clear();
        c.fill();
        EXPECT_THROW(c.table->post(), Abort);
        EXPECT_EQ(dialogs.texts(), QStringList{c.warning});
        EXPECT_EQ(dialogs.last().icon, common::Icon::Warning);
        EXPECT_TRUE(c.table->isEditing()) << "the record stays in editing";
        c.table->cancel();
        EXPECT_EQ(stored(), before);
    }

    // A grid number given twice is refused by the key.
    dialogs.clear();
    logic.grids.append();
    logic.grids.setValue("Grila", 2);
    logic.grids.setValue("Nume_grila", "Dubla");
    EXPECT_THROW(logic.grids.post(), DbError);
    EXPECT_TRUE(logic.grids.isEditing());
    logic.grids.cancel();
    EXPECT_EQ(stored(), before);

    // No other check: an empty, negative or large percentage, a group that
    // Grup.db does not have, a group already in another grid.
    const struct {
        const char* group;
        QVariant discount;
    } accepted[] = {{"G2", QVariant()}, {"A1", -150.0}, {"ZZ", 250.0}};
    ASSERT_TRUE(logic.grids.locate({"Grila"}, {2}));
    for (const auto& a : accepted) {
        SCOPED_TRACE(a.group);
        dialogs.clear();
        logic.groups.append();
        logic.groups.setValue("Cod_grupa", a.group);
        logic.groups.setValue("Discount", a.discount);
        EXPECT_NO_THROW(logic.groups.post());
        EXPECT_TRUE(dialogs.texts().isEmpty());
    }
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM \"item_grila.DB\" WHERE Grila = 2").toInt(), 4);
    EXPECT_TRUE(db.scalar("SELECT Discount FROM \"item_grila.DB\" WHERE Grila = 2 AND Cod_grupa = 'G2'").isNull())
        << "an empty percentage is stored empty";
}

TEST_F(DiscGrilaTest, DeletingAGridAsksWhenLinesOrBudgetsDependOnItAndTakesItsLinesAlong)
{
    const QString before = stored();
    const struct {
        const char* name;
        int grid;
        bool asked;
        common::Answer answer;
        QString question;
        QString after;
    } cases[] = {
        {"lines, answer No", 1, true, common::Answer::No,
         "Grila 1 (Standard) are 2 grupe cu discount.\rStergeti grila impreuna cu grupele ei?", before},
        {"lines and a budget, answer No", 2, true, common::Answer::No,
         "Grila 2 (Angro) are o grupa cu discount si este atribuita unei surse de finantare.\r"
         "Sursele de finantare respective nu vor mai primi discount dupa aceasta grila.\r"
         "Stergeti grila impreuna cu grupele ei?",
         before},
        {"lines, answer Yes", 1, true, common::Answer::Yes, "Grila 1 (Standard) are 2 grupe cu discount.\rStergeti grila impreuna cu grupele ei?",
         "2 Angro | 3 Fara grupe | 2 G1 10"},
        {"neither lines nor budgets: no question", 3, false, common::Answer::Yes, "", "2 Angro | 2 G1 10"},
    };
    DiscGrilaFormLogic logic(db, dialogs);
    ASSERT_TRUE(logic.open());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        dialogs.clear();
        ASSERT_TRUE(logic.grids.locate({"Grila"}, {c.grid}));
        dialogs.queueAnswer(c.answer);
        if (c.answer == common::Answer::No)
            EXPECT_THROW(logic.grids.remove(), Abort);
        else
            EXPECT_NO_THROW(logic.grids.remove());
        if (c.asked) {
            ASSERT_EQ(dialogs.messages.size(), 1);
            EXPECT_EQ(dialogs.last().text, c.question);
            EXPECT_EQ(dialogs.last().buttons, common::Buttons::YesNoDefaultNo);
        } else {
            EXPECT_TRUE(dialogs.messages.isEmpty());
            dialogs.clear(); // the unused answer
        }
        EXPECT_EQ(stored(), c.after);
        EXPECT_EQ(logic.groups.recordCount(),
                  db.scalar("SELECT COUNT(*) FROM \"item_grila.DB\" WHERE Grila = :g", {{"g", logic.grids.value("Grila")}}).toInt())
            << "the lines shown are those of the grid now current";
    }
    EXPECT_EQ(DiscGrilaFormLogic::deleteQuestion(4, "Iarna", 0, 3),
              "Grila 4 (Iarna) este atribuita la 3 surse de finantare.\r"
              "Sursele de finantare respective nu vor mai primi discount dupa aceasta grila.\rStergeti grila?");
}

TEST_F(DiscGrilaTest, ADeleteThatFailsLeavesTheGridAndItsLines)
{
    DiscGrilaFormLogic logic(db, dialogs);
    ASSERT_TRUE(logic.open());
    const QString before = stored();

    // The engine refuses to remove a line half-way: the grid stays as well.
    db.exec("CREATE TRIGGER refuse_line BEFORE DELETE ON item_grila WHEN OLD.Cod_grupa = 'G2' "
            "BEGIN SELECT RAISE(ABORT, 'disc plin'); END");
    ASSERT_TRUE(logic.grids.locate({"Grila"}, {1}));
    dialogs.queueAnswer(common::Answer::Yes);
    EXPECT_THROW(logic.grids.remove(), DbError);
    EXPECT_EQ(stored(), before);
    EXPECT_EQ(logic.grids.value("Grila").toInt(), 1) << "the grid is still listed";
    EXPECT_EQ(logic.groups.recordCount(), 2);
    db.exec("DROP TRIGGER refuse_line");

    // A line another workstation added after the question is not removed unseen.
    dialogs.clear();
    logic.grids.beforeDelete = [&] {
        logic.GridBeforeDelete();
        db.exec("INSERT INTO item_grila (Grila, Cod_grupa, Discount) VALUES (1, 'A1', 2)");
    };
    dialogs.queueAnswer(common::Answer::Yes);
    EXPECT_THROW(logic.grids.remove(), DatasetError);
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM \"item_grila.DB\" WHERE Grila = 1").toInt(), 3);
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM \"grila.DB\" WHERE Grila = 1").toInt(), 1);
}

TEST_F(DiscGrilaTest, TheRefreshTickReadsWhatOthersWroteButWaitsForALineBeingTyped)
{
    DiscGrilaFormLogic logic(db, dialogs);
    ASSERT_TRUE(logic.open());
    ASSERT_TRUE(logic.grids.locate({"Grila"}, {1}));
    db.exec("INSERT INTO grila (Grila, Nume_grila) VALUES (4, 'Iarna')");
    db.exec("INSERT INTO item_grila (Grila, Cod_grupa, Discount) VALUES (1, 'A1', 2)");
    logic.refreshTick();
    EXPECT_EQ(logic.grids.recordCount(), 4);
    EXPECT_EQ(logic.groups.recordCount(), 3);
    EXPECT_EQ(logic.grids.value("Grila").toInt(), 1) << "the current grid stays";

    logic.groups.edit();
    logic.groups.setValue("Discount", 8);
    db.exec("INSERT INTO grila (Grila, Nume_grila) VALUES (5, 'Vara')");
    logic.refreshTick();
    EXPECT_EQ(logic.grids.recordCount(), 4) << "the master of a line being typed is not read again";
    EXPECT_TRUE(logic.groups.isEditing());
    EXPECT_EQ(logic.groups.value("Discount").toDouble(), 8);
    ASSERT_TRUE(logic.closeQuery()) << "closing writes the line";
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM \"item_grila.DB\" WHERE Discount = 8").toInt(), 1);
}

TEST_F(DiscGrilaTest, TheWindowKeepsItsCellEditorOpenOffersTheGroupsAndKeepsItsLayout)
{
    {
        TDiscGrilaForm form(services());
        ASSERT_TRUE(form.prepare());
        EXPECT_EQ(form.windowTitle(), "Editare grila discount");
        form.show();
        QApplication::setActiveWindow(&form);
        QApplication::processEvents();
        EXPECT_EQ(form.gridList()->selectionBehavior(), QAbstractItemView::SelectItems);
        EXPECT_EQ(form.groupList()->selectionBehavior(), QAbstractItemView::SelectItems);
        EXPECT_GT(form.groupList()->height(), form.gridList()->height()) << "the lines fill the rest of the window";

        // Moving to a cell opens its editor; in the group column a drop-down of the groups.
        form.groupList()->setFocus();
        form.groupList()->setCurrentIndex(form.groupList()->model()->index(1, 0));
        QApplication::processEvents();
        auto* combo = qobject_cast<QComboBox*>(form.groupList()->openEditor());
        ASSERT_NE(combo, nullptr);
        QStringList items;
        for (int i = 0; i < combo->count(); ++i)
            items << combo->itemText(i);
        EXPECT_EQ(items, (QStringList{"G1", "G2", "A1"}));
        EXPECT_EQ(combo->currentText(), "G2");

        // The keys of the list still work from inside the editor: Insert starts a
        // line, Esc drops it untouched, Ctrl-Delete deletes the line after the question.
        QTest::keyClick(combo->lineEdit(), Qt::Key_Insert);
        QApplication::processEvents();
        EXPECT_EQ(form.logic().groups.state(), DatasetState::Insert);
        ASSERT_NE(form.groupList()->openEditor(), nullptr) << "the new line's editor";
        QTest::keyClick(form.groupList()->openEditor()->focusProxy() ? form.groupList()->openEditor()->focusProxy()
                                                                     : form.groupList()->openEditor(),
                        Qt::Key_Escape);
        QApplication::processEvents();
        EXPECT_EQ(form.logic().groups.state(), DatasetState::Browse);
        EXPECT_EQ(form.logic().groups.recordCount(), 2);
        auto* editor = qobject_cast<QComboBox*>(form.groupList()->openEditor());
        ASSERT_NE(editor, nullptr);
        const QString line = editor->currentText();
        dialogs.clear();
        QTest::keyClick(editor->lineEdit(), Qt::Key_Delete, Qt::ControlModifier);
        QApplication::processEvents();
        EXPECT_EQ(dialogs.texts(), QStringList{"Stergeti inregistrarea?"});
        EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM \"item_grila.DB\" WHERE Grila = 1 AND Cod_grupa = :c", {{"c", line}}).toInt(), 0);
        EXPECT_EQ(form.logic().groups.recordCount(), 1);

        form.gridList()->setFocus();
        form.gridList()->setCurrentIndex(form.gridList()->model()->index(0, 1));
        QApplication::processEvents();
        EXPECT_EQ(form.groupList()->openEditor(), nullptr) << "only the focused list shows its editor";
        EXPECT_NE(qobject_cast<QLineEdit*>(form.gridList()->openEditor()), nullptr);

        // An open editor with nothing typed does not stop the refresh tick; one with a typed name does.
        db.exec("INSERT INTO grila (Grila, Nume_grila) VALUES (4, 'Iarna')");
        form.refreshTick();
        EXPECT_EQ(form.logic().grids.recordCount(), 4);
        QApplication::processEvents();
        auto* name = qobject_cast<QLineEdit*>(form.gridList()->openEditor());
        ASSERT_NE(name, nullptr) << "the rows read again, the editor opens again";
        EXPECT_EQ(form.gridList()->currentIndex(), form.gridList()->model()->index(0, 1));
        name->setText("Standard nou");
        db.exec("INSERT INTO grila (Grila, Nume_grila) VALUES (5, 'Vara')");
        form.refreshTick();
        EXPECT_EQ(form.logic().grids.recordCount(), 4) << "the typed name is not thrown away";
        EXPECT_EQ(name->text(), "Standard nou");

        testsupport::saveShot(form, "discount_grids.png");
        form.gridList()->setColumnWidth(1, 300);
        EXPECT_TRUE(form.close());
    }
    EXPECT_EQ(db.scalar("SELECT Nume_grila FROM \"grila.DB\" WHERE Grila = 1").toString(), "Standard nou")
        << "closing writes what was typed";
    ASSERT_TRUE(QFile::exists(dir.file("discgrila.cfg")));
    TDiscGrilaForm again(services());
    ASSERT_TRUE(again.prepare());
    EXPECT_EQ(again.gridList()->columnWidth(1), 300);
}

// --- the discount dialog -------------------------------------------------------------------

TEST(DiscountDialog, RefusesMinus100AndBelowAndAcceptsTheRest)
{
    const struct {
        const char* typed;
        bool accepted;
        double percent;
        common::Icon icon;
        const char* message;
    } cases[] = {
        {"-100", false, 0, common::Icon::Error, "Reducerea nu poate fi mai mica de 100%!"},
        {"-150", false, 0, common::Icon::Error, "Reducerea nu poate fi mai mica de 100%!"},
        {"-99", true, -99, {}, ""},
        {"0", true, 0, {}, ""},
        {"50", true, 50, {}, ""},
        {"5,5", true, 5.5, {}, ""},
        {"5.5", true, 5.5, {}, ""},
        {"", false, 0, common::Icon::Warning, "Specificati discount-ul procentual!"},
        {"-", false, 0, common::Icon::Warning, "'-' nu este un numar valid!"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        common::ScriptedDialogs dialogs;
        DiscountDlgLogic logic(dialogs, 12);
        logic.text = QString::fromUtf8(c.typed);
        EXPECT_EQ(logic.accept(), c.accepted);
        EXPECT_EQ(logic.percent(), c.accepted ? c.percent : 12.0) << "a refused value changes nothing";
        if (c.accepted) {
            EXPECT_TRUE(dialogs.messages.isEmpty());
        } else {
            EXPECT_EQ(dialogs.texts(), QStringList{QString::fromUtf8(c.message)});
            EXPECT_EQ(dialogs.last().icon, c.icon);
        }
    }
    EXPECT_DOUBLE_EQ(applyDiscount(100, -99), 1);
    EXPECT_DOUBLE_EQ(applyDiscount(100, 5), 105);
    EXPECT_DOUBLE_EQ(applyDiscount(100, -5), 95);
    EXPECT_EQ(DiscountDlgLogic::fieldText(-5), "-5");
    EXPECT_EQ(DiscountDlgLogic::fieldText(12.5), "12,5");
    EXPECT_EQ(DiscountDlgLogic::fieldText(-12.5), "-13") << "four characters at most";
}

TEST(DiscountDialog, StaysOpenOnTheFieldAfterARefusalAndReturnsTheValueOnAplica)
{
    common::ScriptedDialogs dialogs;
    DiscountDlgLogic logic(dialogs, -5);
    TDiscountDlg dlg(logic);
    EXPECT_EQ(dlg.windowTitle(), "Discount");
    EXPECT_TRUE(dlg.applyButton()->isDefault());
    EXPECT_EQ(dlg.applyButton()->text(), "Aplica");
    EXPECT_EQ(dlg.cancelButton()->text(), "&Renunta");
    EXPECT_EQ(dlg.percentEdit()->text(), "-5");
    dlg.show();
    QApplication::setActiveWindow(&dlg);
    QApplication::processEvents();

    dlg.percentEdit()->clear();
    QTest::keyClicks(dlg.percentEdit(), "-99.5");
    EXPECT_EQ(dlg.percentEdit()->text(), "-99.") << "four characters at most";
    dlg.percentEdit()->clear();
    QTest::keyClicks(dlg.percentEdit(), "1a2");
    EXPECT_EQ(dlg.percentEdit()->text(), "12") << "only a number can be typed";

    dlg.percentEdit()->setText("-100");
    dlg.applyButton()->setFocus();
    dlg.applyButton()->click();
    EXPECT_EQ(dialogs.texts(), QStringList{"Reducerea nu poate fi mai mica de 100%!"});
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(dlg.result(), 0);
    EXPECT_EQ(dlg.focusWidget(), dlg.percentEdit()) << "the focus goes back to the field";
    testsupport::saveShot(dlg, "discount_dialog.png");

    dlg.percentEdit()->setText("-99");
    QTest::keyClick(dlg.percentEdit(), Qt::Key_Return); // "Aplica" is the default button
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(logic.percent(), -99);
}

TEST(DiscountDialog, AskDiscountIsInOut)
{
    double percent = 7;
    QTimer::singleShot(0, [] {
        auto* dlg = qobject_cast<TDiscountDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        EXPECT_EQ(dlg->percentEdit()->text(), "7") << "opens with the value passed in";
        dlg->percentEdit()->setText("-20");
        dlg->applyButton()->click();
    });
    EXPECT_TRUE(AskDiscount(nullptr, percent));
    EXPECT_EQ(percent, -20);

    for (const char* way : {"&Renunta", "closed"}) {
        SCOPED_TRACE(way);
        QTimer::singleShot(0, [way] {
            auto* dlg = qobject_cast<TDiscountDlg*>(QApplication::activeModalWidget());
            ASSERT_NE(dlg, nullptr);
            dlg->percentEdit()->setText("30");
            if (QString::fromLatin1(way) == "closed")
                dlg->close();
            else
                dlg->cancelButton()->click();
        });
        EXPECT_FALSE(AskDiscount(nullptr, percent));
        EXPECT_EQ(percent, -20);
    }
}
