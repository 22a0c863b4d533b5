// Finding documents by number, article, explanation, price and serial number
// over a few input and output documents, and the search dialog: its
// pre-filled fields, the refusal of a value that is not a number, and the
// real dialog driven offscreen.

#include "common/scripteddialogs.h"
#include "datastore/tablecatalog.h"
#include "stock/docsearch.h"
#include "stock/tsrchdlg.h"
#include "stocktest.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace stock;

namespace {

// Input documents (counter: number, registration date, explanation; lines as
// article@price; serials as line:serial):
//   -1: 15, 2024-01-01, initial stock; ART1@10; 1:777
//    1: 15, 2024-01-10, "Factura Hartie alba"; ART1@10.001
//    2:  7, 2024-02-05, "hartie colorata"; ART2@10
//    3: 15, 2024-03-01, "Papetarie"; ART1@10, ART2@5; 2:777, 1:778
//    4: 15, 2024-04-20, no explanation; ART3@3; 1:777
// Output documents: 1: 15, 2024-01-10, ART1@10.001; 5: 15, 2024-02-01, ART1@10.
// Rows are written out of counter order: only ORDER BY puts them in it.
class DocSearchTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        db.setDirectory(dir.path());
        for (const char* t : {"Doc_in.DB", "Item_in.DB", "Doc_out.DB", "Item_out.DB", "Serie.DB"})
            db.createTable(*datastore::findTableDef(QString::fromLatin1(t)));
        db.exec("INSERT INTO DOC_IN (Contor, Numar, Data_inregistrarii, Explicatie) VALUES "
                "(4, 15, '2024-04-20', NULL), (3, 15, '2024-03-01', 'Papetarie'), "
                "(-1, 15, '2024-01-01', 'Introducere stocuri initiale'), "
                "(2, 7, '2024-02-05', 'hartie colorata'), (1, 15, '2024-01-10', 'Factura Hartie alba')");
        db.exec("INSERT INTO ITEM_IN (Contor, Contor_secundar, Cod_articol, Pret_achizitie_lei) VALUES "
                "(4, 1, 'ART3', 3), (3, 2, 'ART2', 5), (3, 1, 'ART1', 10), (-1, 1, 'ART1', 10), "
                "(2, 1, 'ART2', 10), (1, 1, 'ART1', 10.001)");
        db.exec("INSERT INTO SERIE (Contor, ContorSec, Cod_articol, SerieFurn, Serie) VALUES "
                "(4, 1, 'ART3', 0, 777), (3, 2, 'ART2', 0, 777), (3, 1, 'ART1', 0, 778), (-1, 1, 'ART1', 0, 777)");
        db.exec("INSERT INTO DOC_OUT (Contor, Numar, Data_inregistrarii, Explicatie) VALUES "
                "(5, 15, '2024-02-01', 'Bon consum'), (1, 15, '2024-01-10', 'Aviz')");
        db.exec("INSERT INTO ITEM_OUT (Contor, Contor_secundar, Cod_articol, Pret_achizitie) VALUES "
                "(5, 1, 'ART1', 10), (1, 1, 'ART1', 10.001)");
    }

    testsupport::TempDir dir;
    datastore::Database db;
};

SearchState stateFor(SearchCriterion c, const QVariant& value, double lastFound)
{
    SearchState s;
    s.criterion = c;
    switch (c) {
    case SearchCriterion::Number: s.number = value.toDouble(); break;
    case SearchCriterion::Article: s.article = value.toString(); break;
    case SearchCriterion::Explanation: s.explanation = value.toString(); break;
    case SearchCriterion::Price: s.price = value.toDouble(); break;
    case SearchCriterion::Serial: s.serial = value.toDouble(); break;
    }
    s.lastFound = lastFound;
    return s;
}

} // namespace

TEST_F(DocSearchTest, FindsTheNextMatchingDocument)
{
    using C = SearchCriterion;
    constexpr auto In = DocumentSide::Input;
    constexpr auto Out = DocumentSide::Output;
    const QDate none;
    const struct {
        const char* what;
        DocumentSide side;
        C criterion;
        QVariant value;
        double lastFound;
        QDate first, last;
        double found; // 0: nothing found
        double line = 0;
    } cases[] = {
        {"number, from the start", In, C::Number, 15, -1, none, none, 1},
        {"number, next", In, C::Number, 15, 1, none, none, 3},
        {"number, next again", In, C::Number, 15, 3, none, none, 4},
        {"number, no more", In, C::Number, 15, 4, none, none, 0},
        {"number in a period", In, C::Number, 15, -1, {2024, 2, 1}, {2024, 3, 31}, 3},
        {"period bounds included", In, C::Number, 15, -1, {2024, 1, 10}, {2024, 1, 10}, 1},
        {"after the period", In, C::Number, 15, 3, {2024, 2, 1}, {2024, 3, 31}, 0},
        {"half a period is no period", In, C::Number, 15, -1, {2024, 2, 1}, none, 1},
        {"number not used", In, C::Number, 99, -1, none, none, 0},
        {"article", In, C::Article, "ART2", -1, none, none, 2},
        {"article, next", In, C::Article, "ART2", 2, none, none, 3},
        {"article of the initial stock only", In, C::Article, "ART1", -1, {2023, 1, 1}, {2024, 1, 5}, 0},
        {"empty article", In, C::Article, "", -1, none, none, 0},
        {"explanation contains, any case", In, C::Explanation, "hartie", -1, none, none, 1},
        {"explanation, next", In, C::Explanation, "hartie", 1, none, none, 2},
        {"explanation of the initial stock", In, C::Explanation, "Introducere", -1, none, none, 0},
        {"empty explanation", In, C::Explanation, "", -1, none, none, 0},
        {"price exactly, not 10.001", In, C::Price, 10, -1, none, none, 2},
        {"price, next", In, C::Price, 10, 2, none, none, 3},
        {"price 10.001", In, C::Price, 10.001, -1, none, none, 1},
        {"serial with its line", In, C::Serial, 777, -1, none, none, 3, 2},
        {"serial, next document", In, C::Serial, 777, 3, none, none, 4, 1},
        {"other serial", In, C::Serial, 778, -1, none, none, 3, 1},
        {"serial not used", In, C::Serial, 999, -1, none, none, 0},
        {"output number", Out, C::Number, 15, -1, none, none, 1},
        {"output number, next", Out, C::Number, 15, 1, none, none, 5},
        {"output price", Out, C::Price, 10, -1, none, none, 5},
        {"output price 10.001", Out, C::Price, 10.001, -1, none, none, 1},
        {"output article in a period", Out, C::Article, "ART1", -1, {2024, 1, 15}, {2024, 12, 31}, 5},
        {"no serials on outputs", Out, C::Serial, 777, -1, none, none, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const SearchState state = stateFor(c.criterion, c.value, c.lastFound);
        const SearchHit hit = FindNextDocument(db, c.side, state, c.first, c.last);
        EXPECT_EQ(hit.found, c.found != 0);
        if (c.found != 0) {
            EXPECT_EQ(hit.contor, c.found);
            EXPECT_EQ(hit.lineNumber, c.line);
        }
    }
}

TEST_F(DocSearchTest, SearchingAgainWalksThroughTheDocumentsOnce)
{
    SearchState state = stateFor(SearchCriterion::Number, 15, -1);
    QList<double> found;
    for (int i = 0; i < 10; ++i) {
        const SearchHit hit = FindNextDocument(db, DocumentSide::Input, state, {}, {});
        EXPECT_EQ(state.number, 15) << "the search leaves its state alone";
        if (!hit.found)
            break;
        found << hit.contor;
        rememberHit(state, hit);
    }
    EXPECT_EQ(found, (QList<double>{1, 3, 4}));
    EXPECT_EQ(state.lastFound, 4);
}

// --- the dialog --------------------------------------------------------------------------------

TEST(SrchDlgLogic, FieldsOpenWithTheState)
{
    common::ScriptedDialogs dialogs;
    common::Formats formats;
    SearchState state;
    state.criterion = SearchCriterion::Price;
    state.number = 123456789;
    state.article = "ART1";
    state.explanation = "Hartie";
    state.price = 10.5;
    state.serial = 4711;
    SrchDlgLogic logic(dialogs, formats, state, true);
    EXPECT_EQ(logic.criterion, SearchCriterion::Price);
    EXPECT_EQ(logic.numberText, "123456789");
    EXPECT_EQ(logic.articleText, "ART1");
    EXPECT_EQ(logic.explanationText, "Hartie");
    EXPECT_EQ(logic.priceText, "10,50");
    EXPECT_EQ(logic.serialText, "4711");

    state.criterion = SearchCriterion::Serial;
    EXPECT_EQ(SrchDlgLogic(dialogs, formats, state, false).criterion, SearchCriterion::Number)
        << "no serial criterion where serials are not offered";
}

TEST(SrchDlgLogic, StartWritesTheChosenValueOrRefusesANonNumber)
{
    using C = SearchCriterion;
    const struct {
        C criterion;
        const char* text;
        bool accepted;
        QVariant value;
    } cases[] = {
        {C::Number, "15", true, 15.0},
        {C::Number, "1x", false, {}},
        {C::Number, "", false, {}},
        {C::Price, "10,25", true, 10.25},
        {C::Price, "10.25", true, 10.25},
        {C::Price, "abc", false, {}},
        {C::Price, "1e300", false, {}},
        {C::Serial, "777", true, 777.0},
        {C::Serial, "77a", false, {}},
        {C::Article, " ART1 ", true, "ART1"},
        {C::Explanation, "hartie ", true, "hartie "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        common::ScriptedDialogs dialogs;
        common::Formats formats;
        SearchState state;
        state.lastFound = 3;
        state.number = 1;
        SrchDlgLogic logic(dialogs, formats, state, true);
        logic.criterion = c.criterion;
        logic.text(c.criterion) = QString::fromUtf8(c.text);
        EXPECT_EQ(logic.start(state), c.accepted);
        if (!c.accepted) {
            EXPECT_EQ(dialogs.texts(), QStringList{"Valoare numerica incorecta!"});
            EXPECT_EQ(dialogs.last().icon, common::Icon::Warning);
            EXPECT_EQ(state.lastFound, 3) << "a refused start changes nothing";
            EXPECT_EQ(state.criterion, C::Number);
            continue;
        }
        EXPECT_TRUE(dialogs.messages.isEmpty());
        EXPECT_EQ(state.criterion, c.criterion);
        EXPECT_EQ(state.lastFound, -1);
        switch (c.criterion) {
        case C::Number: EXPECT_EQ(state.number, c.value.toDouble()); break;
        case C::Article: EXPECT_EQ(state.article, c.value.toString()); break;
        case C::Explanation: EXPECT_EQ(state.explanation, c.value.toString()); break;
        case C::Price: EXPECT_EQ(state.price, c.value.toDouble()); break;
        case C::Serial: EXPECT_EQ(state.serial, c.value.toDouble()); break;
        }
    }
}

TEST(SrchDlgLogic, NumberAndPriceKeysBeepOnLetters)
{
    common::ScriptedDialogs dialogs;
    common::Formats formats;
    SrchDlgLogic logic(dialogs, formats, SearchState{}, false);
    EXPECT_TRUE(logic.acceptKey(SearchCriterion::Number, u'7'));
    EXPECT_FALSE(logic.acceptKey(SearchCriterion::Number, u','));
    EXPECT_TRUE(logic.acceptKey(SearchCriterion::Price, u','));
    EXPECT_TRUE(logic.acceptKey(SearchCriterion::Price, u'.'));
    EXPECT_FALSE(logic.acceptKey(SearchCriterion::Price, u'a'));
    EXPECT_TRUE(logic.acceptKey(SearchCriterion::Article, u'a'));
    EXPECT_EQ(dialogs.beeps, 2);
}

TEST(TSrchDlg, DrivenOffscreen)
{
    common::ScriptedDialogs dialogs;
    SearchState state;
    state.number = 15;
    state.lastFound = 8;
    bool stayedOpen = false;
    QTimer::singleShot(0, [&] {
        auto* dlg = qobject_cast<TSrchDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        EXPECT_EQ(dlg->windowTitle(), "Cauta...");
        EXPECT_TRUE(dlg->radio(SearchCriterion::Number)->isChecked());
        EXPECT_FALSE(dlg->radio(SearchCriterion::Serial)->isVisible()) << "serials not offered";
        EXPECT_TRUE(dlg->edit(SearchCriterion::Number)->isVisible());
        EXPECT_FALSE(dlg->edit(SearchCriterion::Price)->isVisible());

        dlg->radio(SearchCriterion::Price)->click();
        QLineEdit* price = dlg->edit(SearchCriterion::Price);
        EXPECT_TRUE(price->isVisible());
        EXPECT_FALSE(dlg->edit(SearchCriterion::Number)->isVisible());
        price->clear();
        QTest::keyClicks(price, "1x0");
        EXPECT_EQ(price->text(), "10") << "the letter was refused";
        EXPECT_EQ(dialogs.beeps, 1);

        price->setText("10,5x"); // pasted
        dlg->startButton()->click();
        EXPECT_EQ(dialogs.texts(), QStringList{"Valoare numerica incorecta!"});
        stayedOpen = dlg->isVisible();
        EXPECT_EQ(price->selectedText(), "10,5x");

        price->setText("10,5");
        EXPECT_TRUE(testsupport::saveShot(*dlg, QStringLiteral("search_dialog.png")));
        dlg->startButton()->click();
        if (dlg->isVisible()) {
            ADD_FAILURE() << "\"&Start\" did not confirm";
            dlg->reject();
        }
    });
    ASSERT_TRUE(AskSearchCriterion(nullptr, dialogs, state, false));
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(state.criterion, SearchCriterion::Price);
    EXPECT_EQ(state.price, 10.5);
    EXPECT_EQ(state.number, 15);
    EXPECT_EQ(state.lastFound, -1);

    QTimer::singleShot(0, [] {
        auto* dlg = qobject_cast<TSrchDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        EXPECT_TRUE(dlg->radio(SearchCriterion::Serial)->isVisible());
        EXPECT_TRUE(dlg->radio(SearchCriterion::Price)->isChecked());
        EXPECT_EQ(dlg->edit(SearchCriterion::Price)->text(), "10,50");
        dlg->radio(SearchCriterion::Serial)->click();
        dlg->edit(SearchCriterion::Serial)->setText("777");
        EXPECT_TRUE(testsupport::saveShot(*dlg, QStringLiteral("search_dialog_serial.png")));
        dlg->reject();
    });
    EXPECT_FALSE(AskSearchCriterion(nullptr, dialogs, state, true));
    EXPECT_EQ(state.criterion, SearchCriterion::Price) << "cancelled: nothing written";
}
