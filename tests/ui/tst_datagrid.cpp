// The data grid over a dataset: what a cell shows and takes, refusals and
// duplicate keys reported while the row stays in editing, the keys of the
// grid, and column layouts saved to and restored from a .cfg file.

#include "common/scripteddialogs.h"
#include "ui/datagrid.h"
#include "ui/fieldedit.h"
#include "testsupport.h"

#include <QFile>
#include <QLineEdit>
#include <QHeaderView>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>
#include <optional>

using namespace datastore;
using namespace ui;

namespace {

class DataGridTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        db.setDirectory(dir.path());
        TableDef t;
        t.name = "Pers.DB";
        t.fields = {smallInt("Cod"), text("Nume", 10), floating("Suma"), date("Data"), boolean("Activ")};
        t.indexes = {primaryKey("Cod")};
        db.createTable(t);
        db.exec("INSERT INTO Pers (Cod, Nume, Suma, Data, Activ) VALUES "
                "(1, 'Ana', 1234.5, '2026-03-01', 1), (2, 'Bogdan', NULL, NULL, 0)");
        pers.setOrderBy("Cod");
        pers.open();
        model.setColumns({GridColumn("Cod", "Nr.").withPicker(), GridColumn("Nume", "Nume"),
                          GridColumn("Suma", "Suma").withMask("#,##0.00"), GridColumn("Data", "Data"),
                          GridColumn("Activ", "Activ")});
    }

    testsupport::TempDir dir;
    Database db;
    Dataset pers{db, "Pers.DB"};
    common::ScriptedDialogs dialogs;
    common::Formats formats;
    DatasetModel model{pers, formats, dialogs};
};

} // namespace

TEST_F(DataGridTest, CellsShowValuesInTheRegionalFormats)
{
    ASSERT_EQ(model.rowCount(), 2);
    ASSERT_EQ(model.columnCount(), 5);
    EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), "Nr.");
    const struct {
        int row, column;
        const char* text;
    } cells[] = {
        {0, 0, "1"}, {0, 1, "Ana"}, {0, 2, "1.234,50"}, {0, 3, "01.03.2026"}, {0, 4, "Da"},
        {1, 2, ""},  {1, 3, ""},    {1, 4, "Nu"},
    };
    for (const auto& c : cells)
        EXPECT_EQ(model.data(model.index(c.row, c.column)).toString(), QString::fromUtf8(c.text))
            << c.row << "," << c.column;
    EXPECT_EQ(model.headerData(0, Qt::Vertical).toString(), QString(QChar(0x25BA))) << "current record indicator";
}

TEST_F(DataGridTest, TypedTextGoesThroughTheDataset)
{
    EXPECT_TRUE(model.setData(model.index(1, 2), "1.000,25"));
    EXPECT_EQ(pers.state(), DatasetState::Edit);
    EXPECT_EQ(pers.recNo(), 1);
    EXPECT_EQ(pers.value("Suma").toDouble(), 1000.25);
    EXPECT_TRUE(model.setData(model.index(1, 3), "5.4.2026"));
    EXPECT_TRUE(model.setData(model.index(1, 4), "Da"));
    EXPECT_EQ(model.headerData(1, Qt::Vertical).toString(), "I");
    pers.post();
    EXPECT_EQ(db.scalar("SELECT Data FROM Pers WHERE Cod = 2").toDate(), QDate(2026, 4, 5));
    EXPECT_TRUE(db.scalar("SELECT Activ FROM Pers WHERE Cod = 2").toBool());

    // A text that is not a number: an error, the value unchanged.
    EXPECT_FALSE(model.setData(model.index(1, 2), "12a"));
    EXPECT_EQ(dialogs.last().text, "Valoare numerica incorecta: 12a");
    EXPECT_EQ(pers.value("Suma").toDouble(), 1000.25);
}

TEST_F(DataGridTest, RefusalsAndDuplicateKeysKeepTheRowInEditing)
{
    pers.field("Nume").onValidate = [&] {
        if (pers.value("Nume").toString().startsWith('#')) {
            dialogs.warning("Nume invalid!");
            throw Abort();
        }
    };
    EXPECT_FALSE(model.setData(model.index(0, 1), "#x"));
    EXPECT_EQ(dialogs.texts(), QStringList{"Nume invalid!"}) << "the refusal speaks once";
    EXPECT_EQ(pers.value("Nume").toString(), "Ana");

    DataGrid grid(&model);
    grid.appendRow();
    EXPECT_EQ(pers.state(), DatasetState::Insert);
    EXPECT_TRUE(model.setData(model.index(2, 0), "1"));
    grid.setCurrentIndex(model.index(0, 1)); // leaving the row posts it: a duplicate
    EXPECT_EQ(dialogs.last().text, duplicateKeyMessage());
    EXPECT_EQ(pers.state(), DatasetState::Insert);
    EXPECT_EQ(pers.recNo(), 2);
    QCoreApplication::processEvents();
    EXPECT_EQ(grid.currentIndex().row(), 2) << "the cursor goes back to the refused row";
    EXPECT_TRUE(model.setData(model.index(2, 0), "3"));
    grid.setCurrentIndex(model.index(0, 1));
    EXPECT_EQ(pers.state(), DatasetState::Browse);
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM Pers").toInt(), 3);
}

TEST_F(DataGridTest, GridKeys)
{
    DataGrid grid(&model);
    QSignalSpy pickers(&grid, &DataGrid::pickerRequested);
    QSignalSpy searches(&grid, &DataGrid::searchRequested);
    grid.setCurrentIndex(model.index(1, 0));
    EXPECT_EQ(pers.recNo(), 1) << "the grid's row is the current record";

    QTest::keyClick(&grid, Qt::Key_Return, Qt::ControlModifier);
    ASSERT_EQ(pickers.count(), 1);
    EXPECT_EQ(pickers.at(0).at(0).toString(), "Cod");
    grid.setCurrentField("Nume");
    QTest::keyClick(&grid, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(pickers.count(), 1) << "no picker for this column";
    QTest::keyClick(&grid, Qt::Key_G, Qt::ControlModifier);
    EXPECT_EQ(searches.count(), 1);

    QTest::keyClick(&grid, Qt::Key_Down); // on the last row: a new one
    EXPECT_EQ(pers.state(), DatasetState::Insert);
    EXPECT_EQ(model.rowCount(), 3);
    QTest::keyClick(&grid, Qt::Key_Down); // an untouched new row is not followed by another
    EXPECT_EQ(model.rowCount(), 3);
    QTest::keyClick(&grid, Qt::Key_Escape);
    EXPECT_EQ(pers.state(), DatasetState::Browse);
    EXPECT_EQ(model.rowCount(), 2);

    dialogs.queueAnswer(common::Answer::Cancel);
    QTest::keyClick(&grid, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(dialogs.last().text, "Stergeti inregistrarea?");
    EXPECT_EQ(model.rowCount(), 2);
    dialogs.queueAnswer(common::Answer::Ok);
    QTest::keyClick(&grid, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(model.rowCount(), 1);
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM Pers").toInt(), 1);
}

TEST_F(DataGridTest, LayoutsAreSavedAndRestored)
{
    const QString cfg = dir.file("test.cfg");
    {
        DataGrid grid(&model);
        EXPECT_FALSE(grid.restoreLayout(cfg, "Lista")) << "no file: the built-in layout";
        grid.horizontalHeader()->moveSection(1, 0); // Nume first
        grid.setColumnWidth(3, 140);
        grid.setColumnHidden(4, true);
        grid.saveLayout(cfg, "Lista");
        grid.saveLayout(cfg, "Alta");
    }
    DataGrid grid(&model);
    const int builtInWidth = grid.columnWidth(3);
    ASSERT_TRUE(grid.restoreLayout(cfg, "Lista"));
    EXPECT_EQ(grid.horizontalHeader()->logicalIndex(0), 1);
    EXPECT_EQ(grid.columnWidth(3), 140);
    EXPECT_TRUE(grid.isColumnHidden(4));

    // Broken or foreign files leave the built-in layout.
    const char* broken[] = {
        "[Lista]\nColumns=Cod;Nume\nWidths=10\n",
        "[Lista]\nColumns=Cod;Nume\nWidths=10;abc\n",
        "garbage without sections\n",
    };
    for (const char* text : broken) {
        QFile f(cfg);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text);
        f.close();
        DataGrid fresh(&model);
        EXPECT_FALSE(fresh.restoreLayout(cfg, "Lista")) << text;
        EXPECT_EQ(fresh.horizontalHeader()->logicalIndex(0), 0);
        EXPECT_EQ(fresh.columnWidth(3), builtInWidth);
    }
    // A column the program has dropped is ignored, the others are applied.
    QFile f(cfg);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write("[Lista]\nColumns=Vechi;Data\nWidths=50;99\nHidden=\n");
    f.close();
    DataGrid fresh(&model);
    EXPECT_TRUE(fresh.restoreLayout(cfg, "Lista"));
    EXPECT_EQ(fresh.horizontalHeader()->logicalIndex(0), 3);
    EXPECT_EQ(fresh.columnWidth(3), 99);
}

TEST_F(DataGridTest, TypingIntoAnEmptyListStartsItsFirstRow)
{
    db.exec("DELETE FROM Pers");
    pers.refresh();
    DataGrid grid(&model);
    grid.show();
    grid.setFocus();
    QTest::keyClicks(&grid, "7");
    EXPECT_EQ(pers.state(), DatasetState::Insert);
    ASSERT_EQ(model.rowCount(), 1);
    auto* editor = grid.findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr) << "a cell editor opened";
    EXPECT_EQ(editor->text(), "7") << "with what was typed";
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents(); // the editor's text is taken after the key
    EXPECT_EQ(pers.value("Cod").toInt(), 7);
}

// Numbers too large to be a quantity, price or amount, and texts that read as
// infinity: refused in the grid and in a field editor, the value kept.
TEST_F(DataGridTest, NumbersBeyondTheLimitAreRefusedInCellsAndEditors)
{
    FieldEdit edit(pers, "Suma", dialogs);
    const QString texts[] = {"1e308", "1e400", "99999999999999999999", QString(400, u'9'), "100.000.000.000.000"};
    for (const QString& t : texts) {
        SCOPED_TRACE(t.toStdString());
        dialogs.clear();
        EXPECT_FALSE(model.setData(model.index(0, 2), t));
        EXPECT_EQ(dialogs.messages.size(), 1);
        EXPECT_EQ(pers.value("Suma").toDouble(), 1234.5);

        dialogs.clear();
        edit.clear();
        QTest::keyClicks(&edit, t);
        EXPECT_FALSE(edit.commit());
        EXPECT_EQ(dialogs.messages.size(), 1);
        EXPECT_EQ(pers.value("Suma").toDouble(), 1234.5);
        pers.cancel();
    }
    EXPECT_TRUE(model.setData(model.index(0, 2), "99.999.999.999.999,99"));
    pers.post();
    EXPECT_EQ(db.scalar("SELECT Suma FROM Pers WHERE Cod = 1").toDouble(), 99999999999999.99);
}

TEST_F(DataGridTest, ReReadingTheRowsKeepsTheUsersLayout)
{
    const QString cfg = dir.file("keep.cfg");
    DataGrid grid(&model);
    grid.resize(900, 300);
    grid.show();
    grid.horizontalHeader()->moveSection(1, 0); // Nume first
    grid.setColumnWidth(1, 210);
    grid.setColumnWidth(3, 133);
    grid.setCurrentIndex(model.index(1, 2));

    // The refresh tick, and another workstation's row arriving with it.
    db.exec("INSERT INTO Pers (Cod, Nume) VALUES (9, 'Zoe')");
    ASSERT_TRUE(pers.refresh());
    EXPECT_EQ(model.rowCount(), 3);
    EXPECT_EQ(grid.horizontalHeader()->logicalIndex(0), 1);
    EXPECT_EQ(grid.columnWidth(1), 210);
    EXPECT_EQ(grid.columnWidth(3), 133);
    EXPECT_EQ(grid.currentIndex(), model.index(1, 2)) << "the current cell stays";

    grid.saveLayout(cfg, "Lista");
    DataGrid other(&model);
    ASSERT_TRUE(other.restoreLayout(cfg, "Lista"));
    EXPECT_EQ(other.columnWidth(1), 210) << "closing saves what the user made";
    EXPECT_EQ(other.columnWidth(3), 133);

    // New columns take their built-in widths (the last one shown stretches).
    model.setColumns({GridColumn("Nume", "Nume", 77), GridColumn("Cod", "Nr.", 55), GridColumn("Suma", "Suma", 40)});
    EXPECT_EQ(grid.columnWidth(0), 77);
    EXPECT_EQ(grid.columnWidth(1), 55);
}

TEST_F(DataGridTest, TheLastColumnReachesTheRightEdgeAndTheHintHoldsEveryColumn)
{
    model.setColumns({GridColumn("Cod", "Nr.", 40), GridColumn("Nume", "Nume", 90)});
    DataGrid grid(&model);
    grid.resize(600, 200);
    grid.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(grid.horizontalHeader()->length(), grid.viewport()->width()) << "no empty strip on the right";

    model.setColumns({GridColumn("Cod", "Nr.", 300), GridColumn("Nume", "Nume", 400), GridColumn("Suma").asHidden()});
    EXPECT_GE(grid.sizeHint().width(), 700 + grid.verticalHeader()->width());
    grid.resize(grid.sizeHint());
    QCoreApplication::processEvents();
    EXPECT_GE(grid.viewport()->width(), 700) << "a window of the hinted size shows every column";
}

namespace {

// Typing into the grid: the first key opens the cell's editor, the others go to it.
void typeIntoGrid(DataGrid& grid, const QString& text)
{
    QTest::keyClick(&grid, text.at(0).toLatin1());
    QWidget* editor = grid.indexWidget(grid.currentIndex());
    ASSERT_NE(editor, nullptr) << "typing opened the cell";
    QTest::keyClicks(editor, text.mid(1));
}

// Typing where the cursor is: into the editor Tab opened, or into the grid.
void typeHere(DataGrid& grid, const QString& text)
{
    if (QWidget* editor = grid.openEditor())
        QTest::keyClicks(editor, text);
    else
        typeIntoGrid(grid, text);
}

// How the user leaves a cell whose value is then refused.
struct LeaveCell {
    const char* name;
    std::function<void(DataGrid&, QWidget* editor)> leave;
};

} // namespace

TEST_F(DataGridTest, ARefusedValueStaysInItsCellForCorrection)
{
    pers.field("Nume").onValidate = [&] {
        if (pers.value("Nume").toString().size() < 3) {
            dialogs.warning("Prea scurt!");
            throw Abort();
        }
    };
    const LeaveCell ways[] = {
        {"Tab", [](DataGrid&, QWidget* editor) { QTest::keyClick(editor, Qt::Key_Tab); }},
        {"Enter", [](DataGrid&, QWidget* editor) { QTest::keyClick(editor, Qt::Key_Return); }},
        {"Down", [](DataGrid&, QWidget* editor) { QTest::keyClick(editor, Qt::Key_Down); }},
        {"another row", [](DataGrid& grid, QWidget*) { grid.setCurrentIndex(grid.model()->index(1, 3)); }},
        {"commit before closing", [](DataGrid& grid, QWidget*) { EXPECT_FALSE(grid.commitEditor()); }},
    };
    for (const LeaveCell& way : ways) {
        SCOPED_TRACE(way.name);
        dialogs.clear();
        DataGrid grid(&model);
        grid.resize(700, 200);
        grid.show();
        grid.activateWindow();
        grid.setFocus();
        grid.setCurrentIndex(model.index(0, 1));
        typeIntoGrid(grid, "ab");
        auto* editor = qobject_cast<QLineEdit*>(grid.indexWidget(model.index(0, 1)));
        ASSERT_NE(editor, nullptr);
        way.leave(grid, editor);
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        EXPECT_EQ(dialogs.texts(), QStringList{"Prea scurt!"});
        EXPECT_EQ(grid.currentIndex(), model.index(0, 1)) << "the cursor stays on the refused cell";
        EXPECT_EQ(pers.recNo(), 0);
        editor = qobject_cast<QLineEdit*>(grid.indexWidget(model.index(0, 1)));
        ASSERT_NE(editor, nullptr) << "the cell is being typed again";
        EXPECT_EQ(editor->text(), "ab") << "with the refused text";
        EXPECT_EQ(editor->selectedText(), "ab") << "selected, ready to be typed over";

        // Corrected, it goes through and the cursor moves on.
        QTest::keyClicks(editor, "Anca");
        QTest::keyClick(editor, Qt::Key_Tab);
        QCoreApplication::processEvents();
        EXPECT_EQ(pers.value("Nume").toString(), "Anca");
        EXPECT_EQ(grid.currentIndex().column(), 2);
        pers.cancel();
    }

    // Esc gives the old value back.
    DataGrid grid(&model);
    grid.show();
    grid.setFocus();
    grid.setCurrentIndex(model.index(0, 1));
    QTest::keyClicks(&grid, "x");
    QTest::keyClick(grid.indexWidget(model.index(0, 1)), Qt::Key_Tab);
    QCoreApplication::processEvents();
    auto* editor = grid.indexWidget(model.index(0, 1));
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_Escape);
    QCoreApplication::processEvents();
    EXPECT_EQ(grid.indexWidget(model.index(0, 1)), nullptr);
    EXPECT_EQ(model.data(model.index(0, 1)).toString(), "Ana");
}

TEST_F(DataGridTest, ANewRowStartsInItsFirstEditableColumnAndReadOnlyCellsBeep)
{
    model.column(0).readOnly = true; // "Nr." is not typed
    DataGrid grid(&model);
    grid.show();
    grid.setFocus();
    grid.setCurrentIndex(model.index(0, 0));

    QTest::keyClicks(&grid, "5");
    EXPECT_EQ(dialogs.beeps, 1) << "typing into a read-only cell beeps";
    EXPECT_EQ(grid.indexWidget(model.index(0, 0)), nullptr);
    EXPECT_EQ(pers.state(), DatasetState::Browse);

    QTest::keyClick(&grid, Qt::Key_Insert);
    ASSERT_EQ(pers.state(), DatasetState::Insert);
    EXPECT_EQ(grid.currentField(), "Nume");
    typeIntoGrid(grid, "Ion");
    auto* editor = grid.indexWidget(grid.currentIndex());
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_Tab);
    QCoreApplication::processEvents();
    EXPECT_EQ(pers.value("Nume").toString(), "Ion") << "what was typed is in the new row";
    EXPECT_EQ(dialogs.beeps, 1);

    // Hidden columns and moved columns: the first one shown that takes typing.
    pers.cancel();
    grid.setColumnHidden(1, true);
    grid.horizontalHeader()->moveSection(3, 1); // Nr., Data, Suma, Activ
    grid.appendRow();
    EXPECT_EQ(grid.currentField(), "Data");
    pers.cancel();
}

// A value being typed goes with its row, whatever key or click leaves the
// row: the new row is written with every value typed into it.
TEST_F(DataGridTest, AValueBeingTypedIsWrittenWithItsRowWhateverLeavesIt)
{
    model.setColumns({GridColumn("Cod", "Nr."), GridColumn("Nume", "Nume"), GridColumn("Suma", "Suma")});
    const struct {
        const char* name;
        bool emptyList;    // the row is the first of an empty list, started with Insert
        bool atEnd;        // the row follows the last one (Down on it), else it is inserted before the second
        std::function<void(DataGrid&, QWidget* editor)> leave;
    } ways[] = {
        {"Down in an empty list", true, false, [](DataGrid&, QWidget* e) { QTest::keyClick(e, Qt::Key_Down); }},
        {"Down on the last row", false, true, [](DataGrid&, QWidget* e) { QTest::keyClick(e, Qt::Key_Down); }},
        {"Down", false, false, [](DataGrid&, QWidget* e) { QTest::keyClick(e, Qt::Key_Down); }},
        {"Up", false, false, [](DataGrid&, QWidget* e) { QTest::keyClick(e, Qt::Key_Up); }},
        {"Page Down", false, false, [](DataGrid&, QWidget* e) { QTest::keyClick(e, Qt::Key_PageDown); }},
        {"Tab off the last column", false, false, [](DataGrid&, QWidget* e) { QTest::keyClick(e, Qt::Key_Tab); }},
        {"Insert", false, false, [](DataGrid& g, QWidget*) { QTest::keyClick(&g, Qt::Key_Insert); }},
        {"a click on another row", false, false,
         [](DataGrid& g, QWidget*) {
             const QRect cell = g.visualRect(g.model()->index(0, 1));
             QTest::mouseClick(g.viewport(), Qt::LeftButton, {}, cell.center());
         }},
        {"closing the window", false, false,
         [](DataGrid& g, QWidget*) {
             EXPECT_TRUE(g.commitEditor());
             g.dataset().settle();
         }},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.name);
        db.exec("DELETE FROM Pers");
        if (!way.emptyList)
            db.exec("INSERT INTO Pers (Cod, Nume) VALUES (1, 'Ana'), (2, 'Bogdan')");
        pers.refresh();
        DataGrid grid(&model);
        grid.resize(600, 300);
        grid.show();
        grid.activateWindow();
        grid.setFocus();
        if (way.emptyList) {
            QTest::keyClick(&grid, Qt::Key_Insert);
        } else if (way.atEnd) {
            grid.setCurrentIndex(model.index(1, 0));
            QTest::keyClick(&grid, Qt::Key_Down);
        } else {
            grid.setCurrentIndex(model.index(1, 0));
            QTest::keyClick(&grid, Qt::Key_Insert);
        }
        ASSERT_EQ(pers.state(), DatasetState::Insert);
        // Code, Tab, name, Tab, amount: the amount is still in its editor.
        for (const char* text : {"7", "Ion", "12,5"}) {
            if (QString::fromLatin1(text) != "7")
                QTest::keyClick(grid.indexWidget(grid.currentIndex()), Qt::Key_Tab);
            typeHere(grid, QString::fromLatin1(text));
        }
        QWidget* editor = grid.indexWidget(grid.currentIndex());
        ASSERT_NE(editor, nullptr);
        ASSERT_EQ(grid.currentField(), "Suma");
        way.leave(grid, editor);
        QCoreApplication::processEvents();
        EXPECT_TRUE(dialogs.messages.isEmpty()) << dialogs.texts().join('|').toStdString();
        EXPECT_EQ(db.scalar("SELECT Nume FROM Pers WHERE Cod = 7").toString(), "Ion");
        EXPECT_EQ(db.scalar("SELECT Suma FROM Pers WHERE Cod = 7").toDouble(), 12.5) << "the value being typed";
        if (pers.isEditing())
            pers.cancel();
    }
}

// Esc gives up what is being typed, and a row's typed values only after a question.
TEST_F(DataGridTest, EscGivesUpTheCellBeingTypedAndATypedRowOnlyAfterAQuestion)
{
    model.setColumns({GridColumn("Cod", "Nr."), GridColumn("Nume", "Nume"), GridColumn("Suma", "Suma").asReadOnly()});
    const struct {
        const char* name;
        bool newRow;                  // a new row, else the first row edited
        bool typed;                   // values typed into the row
        bool editorOpen;              // Esc while a cell is being typed
        std::optional<common::Answer> answer; // the question's answer; none: no question
        DatasetState after;
        int rows;
    } cases[] = {
        {"a new untouched row", true, false, false, {}, DatasetState::Browse, 2},
        {"a new row, on a read-only column, kept", true, true, false, common::Answer::No, DatasetState::Insert, 3},
        {"a new row, on a read-only column, given up", true, true, false, common::Answer::Yes, DatasetState::Browse, 2},
        {"a new row, a cell being typed", true, true, true, {}, DatasetState::Insert, 3},
        {"an edited row, kept", false, true, false, common::Answer::No, DatasetState::Edit, 2},
        {"an edited row, given up", false, true, false, common::Answer::Yes, DatasetState::Browse, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        dialogs.clear();
        pers.refresh();
        DataGrid grid(&model);
        grid.resize(600, 300);
        grid.show();
        grid.activateWindow();
        grid.setFocus();
        grid.setCurrentIndex(model.index(c.newRow ? 1 : 0, 0));
        if (c.newRow)
            QTest::keyClick(&grid, Qt::Key_Down);
        else
            pers.edit();
        const int row = pers.recNo();
        if (c.typed) {
            grid.setCurrentIndex(model.index(row, 0));
            typeIntoGrid(grid, "7");
            QTest::keyClick(grid.indexWidget(grid.currentIndex()), Qt::Key_Tab);
            typeHere(grid, "Ion");
            if (!c.editorOpen)
                QTest::keyClick(grid.indexWidget(grid.currentIndex()), Qt::Key_Tab); // onto "Suma", read-only
        }
        if (c.answer)
            dialogs.queueAnswer(*c.answer);
        QWidget* editor = grid.openEditor();
        ASSERT_EQ(editor != nullptr, c.editorOpen);
        QTest::keyClick(editor ? editor : static_cast<QWidget*>(&grid), Qt::Key_Escape);
        QCoreApplication::processEvents();
        EXPECT_EQ(dialogs.texts(), c.answer ? QStringList{DataGrid::kCancelRowQuestion} : QStringList{});
        EXPECT_EQ(pers.state(), c.after);
        EXPECT_EQ(model.rowCount(), c.rows);
        if (c.editorOpen) {
            EXPECT_EQ(grid.openEditor(), nullptr);
            EXPECT_EQ(pers.value("Cod").toInt(), 7) << "only the cell went back";
            EXPECT_TRUE(pers.value("Nume").isNull());
        }
        if (!c.newRow && c.after == DatasetState::Browse) {
            EXPECT_EQ(pers.value("Nume").toString(), "Ana") << "the stored values back";
        }
        if (pers.isEditing())
            pers.cancel();
    }
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM Pers").toInt(), 2) << "nothing was written";
}

// Text becomes a number in one place, for a cell and for an edit box: every
// character counts, and a document number is a whole number without a sign.
TEST_F(DataGridTest, NumbersAreReadWholeAndDocumentNumbersWithoutASign)
{
    TableDef t;
    t.name = "Doc.DB";
    t.fields = {floating("Contor"), floating("Numar"), floating("Suma")};
    t.indexes = {primaryKey("Contor")};
    db.createTable(t);
    db.exec("INSERT INTO Doc (Contor, Numar, Suma) VALUES (1, 15, 2)");
    Dataset docs(db, "Doc.DB");
    docs.open();
    DatasetModel docModel(docs, formats, dialogs);
    docModel.setColumns({GridColumn("Numar"), GridColumn("Suma")});
    EXPECT_TRUE(docs.fieldAt(docs.fieldIndex("Numar")).documentNumber);
    EXPECT_TRUE(docs.fieldAt(docs.fieldIndex("Contor")).documentNumber);
    EXPECT_FALSE(docs.fieldAt(docs.fieldIndex("Suma")).documentNumber);

    const struct {
        const char* field;
        const char* text;
        std::optional<double> value; // none: refused
        const char* message;
    } cases[] = {
        {"Numar", "OD-4512", {}, "Valoare numerica incorecta: OD-4512"},
        {"Numar", "-4512", {}, "Numar incorect: -4512. Numarul unui document este un numar intreg, fara semn."},
        {"Numar", "12,5", {}, "Numar incorect: 12,5. Numarul unui document este un numar intreg, fara semn."},
        {"Numar", "4512", 4512, ""},
        {"Suma", "12a", {}, "Valoare numerica incorecta: 12a"},
        {"Suma", "-4512", -4512, ""},
        {"Suma", "1.234,5", 1234.5, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.field) + " " + c.text);
        const QString text = QString::fromUtf8(c.text);
        const QVariant before = docs.value(c.field);

        // A cell of the grid.
        dialogs.clear();
        EXPECT_EQ(docModel.setData(docModel.index(0, docModel.columnOf(c.field)), text), bool(c.value));
        EXPECT_EQ(dialogs.texts(), c.value ? QStringList{} : QStringList{QString::fromUtf8(c.message)});
        EXPECT_EQ(docs.value(c.field), c.value ? QVariant(*c.value) : before);
        docs.cancel();

        // An edit box: the text stays as typed, letters and all.
        dialogs.clear();
        FieldEdit edit(docs, c.field, dialogs);
        edit.setFormats(&formats);
        edit.clear();
        QTest::keyClicks(&edit, text);
        EXPECT_EQ(edit.text(), text) << "nothing typed is dropped";
        EXPECT_EQ(edit.commit(), bool(c.value));
        EXPECT_EQ(dialogs.texts(), c.value ? QStringList{} : QStringList{QString::fromUtf8(c.message)});
        EXPECT_EQ(docs.value(c.field), c.value ? QVariant(*c.value) : before);
        docs.cancel();

        // The dataset given the text.
        docs.edit();
        if (c.value) {
            docs.setValue(c.field, text);
            EXPECT_EQ(docs.value(c.field).toDouble(), *c.value);
        } else {
            EXPECT_THROW(docs.setValue(c.field, text), DatasetError);
        }
        docs.cancel();
    }
    // A counter set by the program (the initial stock's -1) is no typed text,
    // nor one sought.
    docs.edit();
    EXPECT_NO_THROW(docs.setValue("Contor", -1.0));
    docs.cancel();
    db.exec("INSERT INTO Doc (Contor, Numar) VALUES (-1, 0)");
    ASSERT_TRUE(docs.refresh());
    EXPECT_TRUE(docs.locate({"Contor"}, {QStringLiteral("-1")}));
}

// The last column stretches to the window; what is saved is its own width,
// so that a window opened at the room its columns need does not grow.
TEST_F(DataGridTest, TheStretchedLastColumnIsSavedAtItsOwnWidthAndTitlesFit)
{
    model.setColumns({GridColumn("Cod", "Nr.", 40), GridColumn("Nume", "Adaos comercial", 30),
                      GridColumn("Suma", "Suma", 80)});
    const QString cfg = dir.file("grow.cfg");
    QList<int> widths;
    for (int opening = 0; opening < 5; ++opening) {
        DataGrid grid(&model);
        grid.restoreLayout(cfg, "Lista");
        grid.resize(grid.sizeHint() + QSize(120, 0)); // the window a little wider than its columns
        grid.show();
        QCoreApplication::processEvents();
        EXPECT_GT(grid.columnWidth(2), 80) << "the last column fills the window";
        widths << grid.sizeHint().width();
        grid.saveLayout(cfg, "Lista");
    }
    EXPECT_EQ(widths, QList<int>(5, widths.first())) << "every opening as wide as the first";

    DataGrid grid(&model);
    const QFontMetrics header = grid.horizontalHeader()->fontMetrics();
    EXPECT_GE(grid.columnWidth(1), header.horizontalAdvance("Adaos comercial")) << "the title is not cut";
    // A layout kept from before, narrower than the title.
    QFile f(cfg);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write("[Lista]\nColumns=Cod;Nume;Suma\nWidths=40;30;80\nHidden=\n");
    f.close();
    ASSERT_TRUE(grid.restoreLayout(cfg, "Lista"));
    EXPECT_GE(grid.columnWidth(1), header.horizontalAdvance("Adaos comercial")) << "nor by a saved layout";
    EXPECT_EQ(grid.columnWidth(2), 80);
}
