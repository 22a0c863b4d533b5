// The selection dialogs: their results, and a look at them.

#include "reportstest.h"

#include "reports/selectiondialogs.h"
#include "reports/selectionlogic.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QListWidget>
#include <QTableWidget>

using namespace reports;
using Kind = reports::SelectionListLogic::Kind;
using reportstest::ReportFixture;

namespace {

class SelectionTest : public ReportFixture {
protected:
    void SetUp() override
    {
        db.exec("INSERT INTO CLIENT (Cod_client, Nume_client) VALUES ('B2', 'Buget judetean')");
        db.exec("INSERT INTO CLIENT (Cod_client, Nume_client) VALUES ('B1', 'Buget local')");
        db.exec("INSERT INTO \"User.db\" (Init, Name) VALUES ('AP', 'Ana Pop')");
        db.exec("INSERT INTO \"User.db\" (Init, Name) VALUES ('DI', 'Dan Ion')");
        db.exec("INSERT INTO FURN (Cod_furnizor, Nume_furnizor) VALUES ('F\\\"1', 'Furnizor cu ghilimele')");
        input(QDate(2024, 1, 1), {{"01", "ALIM", "F1", 1, 1}});
        db.exec("INSERT INTO DOC_IN (Contor, Tip) VALUES (90, 'XXX')");
        db.exec("INSERT INTO DOC_IN (Contor, Tip) VALUES (91, 'FCT')");
        db.exec("INSERT INTO DOC_IN (Contor) VALUES (92)");
    }
};

TEST_F(SelectionTest, ResultsOfTheListDialogs)
{
    struct Case {
        Kind kind;
        QList<int> chosen; // rows, in the order chosen
        QString result;
    };
    const QList<Case> cases{
        {Kind::Warehouses, {1, 0}, "\"05\",\"01\""},
        {Kind::Warehouses, {}, ""}, // box cleared, nothing chosen: all warehouses
        {Kind::Budget, {0}, "B1"},
        {Kind::Suppliers, {0}, "\"F\\\"\"1\""},
    };
    for (const Case& c : cases) {
        SelectionListLogic logic(db, c.kind);
        EXPECT_TRUE(logic.allChecked());
        EXPECT_EQ(logic.listResult(), "");
        logic.setAllChecked(false);
        logic.setSelectedRows(c.chosen);
        EXPECT_EQ(c.kind == Kind::Budget ? logic.codeResult() : logic.listResult(), c.result);
    }
}

TEST_F(SelectionTest, BudgetIsTheCurrentRowWhenNoneWasClicked)
{
    // The grid always stands on a row: the first one after the list is read.
    SelectionListLogic logic(db, Kind::Budget);
    logic.setAllChecked(false);
    EXPECT_EQ(logic.currentRow(), 0);
    EXPECT_EQ(logic.codeResult(), "B1");
    logic.setCurrentRow(1);
    EXPECT_EQ(logic.codeResult(), "B2");
    logic.setAllChecked(true);
    EXPECT_EQ(logic.codeResult(), "");

    // The dialog: the box cleared and confirmed at once gives the first
    // budget; moving the cursor gives the row it stands on.
    SelectionListLogic first(db, Kind::Budget);
    TSelectionDlg dlg(first);
    dlg.allBox()->setChecked(false);
    EXPECT_EQ(dlg.list()->currentRow(), 0);
    dlg.accept();
    EXPECT_EQ(first.codeResult(), "B1");
    SelectionListLogic moved(db, Kind::Budget);
    TSelectionDlg other(moved);
    other.allBox()->setChecked(false);
    other.list()->setCurrentCell(1, 1);
    other.accept();
    EXPECT_EQ(moved.codeResult(), "B2");

    // Without any budget there is nothing to take.
    db.exec("DELETE FROM CLIENT");
    SelectionListLogic none(db, Kind::Budget);
    none.setAllChecked(false);
    EXPECT_EQ(none.currentRow(), -1);
    EXPECT_EQ(none.codeResult(), "");
}

TEST_F(SelectionTest, ButtonsOfTheDialogs)
{
    const struct {
        Kind kind;
        QStringList buttons;
    } cases[] = {
        {Kind::Beneficiaries, {"OK", "Renunta"}},
        {Kind::Warehouses, {"&Deschide", "&Inchide"}},
        {Kind::Budget, {"&Deschide", "&Inchide"}},
        {Kind::Suppliers, {"&Deschide", "&Inchide"}},
    };
    for (const auto& c : cases) {
        SelectionListLogic logic(db, c.kind);
        EXPECT_EQ((QStringList{logic.confirmCaption(), logic.cancelCaption()}), c.buttons);
        TSelectionDlg dlg(logic);
        const auto* box = dlg.findChild<QDialogButtonBox*>();
        ASSERT_NE(box, nullptr);
        ASSERT_EQ(box->buttons().size(), 2);
        for (QAbstractButton* b : box->buttons()) {
            const bool confirms = box->buttonRole(b) == QDialogButtonBox::AcceptRole;
            EXPECT_EQ(b->text(), confirms ? c.buttons.at(0) : c.buttons.at(1));
        }
    }
    SelectionListLogic beneficiaries(db, Kind::Beneficiaries);
    TSelectionDlg dlg(beneficiaries);
    dlg.allBox()->setChecked(false);
    dlg.show();
    testsupport::saveShot(dlg, "report-select-beneficiaries.png");
}

TEST_F(SelectionTest, EveryDocumentTypeButXxxWhenAllAreTicked)
{
    SelectionListLogic logic(db, Kind::DocumentTypesIn);
    logic.setAllChecked(true);
    // The type-less document is listed too, not dropped.
    EXPECT_EQ(logic.listResult(), "\"\",\"FCT\",\"NIR\"");
    logic.setAllChecked(false);
    logic.setSelectedRows({2});
    EXPECT_EQ(logic.listResult(), "\"NIR\"");
}

TEST_F(SelectionTest, AListJoinedThroughItsTableKeepsAnEmptyTypeAndNeverBreaksTheStatement)
{
    SelectionTables tables(privateDb);
    const QString sql = "SELECT COUNT(*) FROM \":TSTOCK:Doc_in.DB\" D WHERE " + SelectionTables::inSelection("D.Tip", "SELTIP");
    struct Case {
        QString list;
        int documents;
    };
    const QList<Case> cases{
        {"\"NIR\"", 1},
        {"\"\",\"FCT\"", 2},          // the document without a type is not dropped
        {quotedList({"NIR\") OR (1=1"}), 0}, // a value is a value, never SQL
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(tables.writeValues("SELTIP", c.list));
        EXPECT_EQ(privateDb.scalar(sql).toInt(), c.documents) << qPrintable(c.list);
    }
    EXPECT_FALSE(tables.writeValues("SELTIP", "")); // an empty list: no restriction, no IN ()
}

TEST_F(SelectionTest, ArticlesOrderSearchAndPairs)
{
    SelectionListLogic logic(db, Kind::Articles);
    logic.setAllChecked(false);
    ASSERT_EQ(logic.rows().size(), 4);
    EXPECT_EQ(logic.rows().first().value(2).toString(), "F1"); // by code
    EXPECT_EQ(logic.searchRow("p"), 2);
    logic.setOrderByCode(false);
    EXPECT_EQ(logic.rows().first().value(3).toString(), "Faina alba");
    EXPECT_EQ(logic.searchRow("ZA"), 3);
    EXPECT_EQ(logic.searchRow("q"), -1);
    logic.setSelectedRows({3, 1});
    EXPECT_EQ(logic.articlesResult().keys(),
              (QList<ArticleKey>{{"ALIM", "Z1", "Zahar"}, {"BIRO", "H1", "Hartie A4"}}));
}

TEST_F(SelectionTest, BeneficiariesInSelectionOrder)
{
    SelectionListLogic logic(db, Kind::Beneficiaries);
    logic.setAllChecked(false);
    logic.setSelectedRows({1, 0});
    EXPECT_EQ(logic.initialsResult(), (QStringList{"DI", "AP"}));
}

TEST(SortOrder, MovesUpAndDownWithinTheList)
{
    SortOrderLogic logic({"Denumire", "Descriere"});
    EXPECT_EQ(logic.moveUp(0), 0);
    EXPECT_EQ(logic.moveDown(0), 1);
    EXPECT_EQ(logic.fields(), (QStringList{"Descriere", "Denumire"}));
    EXPECT_EQ(logic.moveDown(1), 1);
    EXPECT_EQ(logic.moveUp(1), 0);
    EXPECT_EQ(logic.fields(), (QStringList{"Denumire", "Descriere"}));
}

TEST_F(SelectionTest, DialogsBindTheirLogic)
{
    SelectionListLogic logic(db, Kind::Warehouses);
    TSelectionDlg dlg(logic);
    EXPECT_FALSE(dlg.list()->isEnabled());
    dlg.allBox()->setChecked(false);
    ASSERT_EQ(dlg.list()->rowCount(), 2);
    EXPECT_TRUE(dlg.list()->isEnabled());
    dlg.list()->selectRow(1);
    dlg.accept();
    EXPECT_EQ(logic.listResult(), "\"05\"");
    dlg.show();
    testsupport::saveShot(dlg, "report-select-warehouses.png");

    SelectionListLogic articles(db, Kind::Articles);
    TSelectionDlg art(articles);
    art.allBox()->setChecked(false);
    art.show();
    testsupport::saveShot(art, "report-select-articles.png");

    SortOrderLogic order({"Denumire", "Descriere"});
    TSortOrderDlg sort(order);
    sort.show();
    testsupport::saveShot(sort, "report-sort-order.png");
    EXPECT_EQ(sort.list()->count(), 2);
}

} // namespace
