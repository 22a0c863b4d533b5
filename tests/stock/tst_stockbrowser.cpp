// The current stock window and the stock picker: the two lists of a
// warehouse, their orders (remembered in the settings), positioning the
// picker, the incremental and the price searches, the sale value, shelf
// labels, and the stock rows of quantity 0 added with "&Editeaza". The
// window itself is opened offscreen, as a child window and as the picker.

#include "common/formats.h"
#include "common/parameters.h"
#include "common/rounding.h"
#include "common/scripteddialogs.h"
#include "datastore/dataset.h"
#include "datastore/tablecatalog.h"
#include "common/textsearch.h"
#include "stock/stockbrowserlogic.h"
#include "stock/stocknamesearch.h"
#include "stock/tstockform.h"
#include "testsupport.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace {

using datastore::Dataset;
using stock::StockList;
using stock::StockOrder;
using stock::TStockFormLogic;

// What the logic asked of its window.
struct RecordingView : stock::StockFormView {
    std::optional<catalogs::ArticlePick> pick;
    QStringList pickerCalls; // "group.article" the picker was opened on
    QStringList focus;       // columns of the new rows, "list" for the list
    std::optional<catalogs::ArticlePick> pickArticles(const QString& group, const QString& article) override
    {
        pickerCalls << group + u'.' + article;
        return pick;
    }
    void focusNewRowColumn(const QString& field) override { focus << field; }
    void focusList() override { focus << QStringLiteral("list"); }
};

class StockBrowser : public ::testing::Test {
protected:
    void SetUp() override
    {
        db.setDirectory(dir.path());
        for (const char* t : {"Stoc.DB", "Catalog.DB", "Gest.db", "Client.DB"})
            db.createTable(*datastore::findTableDef(QString::fromLatin1(t)));
        privateDb.setDirectory(privateDir.path());
        db.exec("INSERT INTO \"Gest.db\" (Cod, Denumire) VALUES ('A', 'Magazie'), ('B', 'Depozit')");
        db.exec("INSERT INTO \"Client.DB\" (Cod_client, Nume_client) VALUES ('B1', 'Buget local'), "
                "('B2', 'Buget judetean')");
        db.exec("INSERT INTO CATALOG (Grupa, Cod, Denumire, Unitate_masura, Pret_vinzare, Moneda, Cod_bare) VALUES "
                "('G', 'AGR', 'agrafe', 'cut', 1.5, 'LEI', NULL), ('G', 'ART', 'Hartie', 'top', 10, 'LEI', '5940'), "
                "('G', 'PIX', 'Pix', 'buc', 2.5, 'LEI', '5941'), ('H', 'ZAH', 'Zahar', 'kg', 4, 'LEI', NULL)");
        addStock("A", "G", "AGR", 2, 1);
        addStock("A", "G", "ART", 6, 3, {}, {}, "5940");
        addStock("A", "G", "PIX", 5, 10);
        addStock("A", "G", "PIX", 7, 4, "L1", "B1");
        addStock("A", "G", "PIX", 7, 3, "L1", "B2");
        addStock("A", "H", "ZAH", 3, 20);
        addStock("A", "G", "NOCAT", 1, 1); // no such article in the catalog: not listed
        addStock("B", "G", "PIX", 5, 99);
    }

    void addStock(const QString& warehouse, const QString& group, const QString& article, double price, double qty,
                  const QString& lot = {}, const QString& budget = {}, const QString& barCode = {})
    {
        db.exec("INSERT INTO STOC (Cod_gestiune, Cod_grupa, Cod_articol, Pret_achizitie, Lot, Agent, Cantitate, "
                "Cod_bare) VALUES (:w, :g, :a, :p, :l, :b, :q, :c)",
                {{"w", warehouse}, {"g", group}, {"a", article}, {"p", price}, {"l", lot}, {"b", budget},
                 {"q", qty}, {"c", barCode}});
    }

    // The logic, opened on warehouse A.
    TStockFormLogic& browser(StockList list = StockList::Detailed)
    {
        if (!m_logic) {
            m_logic = std::make_unique<TStockFormLogic>(db, privateDb, parameters, formats, dialogs, settings, view);
            EXPECT_TRUE(m_logic->open("A", list));
        }
        return *m_logic;
    }

    // A row of a list as "ART@6" (detailed: with "/budget" when there is one; cumulated: "ART=7").
    static QString describe(const Dataset& list, int row)
    {
        if (row < 0)
            return "none";
        const QString article = list.value(row, "Cod_Articol").toString();
        if (list.fieldIndex("Total_Cantitate") >= 0)
            return article + u'=' + QString::number(list.value(row, "Total_Cantitate").toDouble());
        QString s = article + u'@' + QString::number(list.value(row, "Pret_Achizitie").toDouble());
        if (!list.value(row, "Agent").isNull())
            s += u'/' + list.value(row, "Agent").toString();
        return s;
    }
    QString current() { return current(browser()); }
    static QString current(TStockFormLogic& logic) { return describe(logic.shown(), logic.shown().recNo()); }
    QStringList rows(const Dataset& list)
    {
        QStringList r;
        for (int i = 0; i < list.recordCount(); ++i)
            r << describe(list, i);
        return r;
    }
    QStringList stockRows()
    {
        QStringList r;
        datastore::Query q = db.query("SELECT Cod_gestiune, Cod_articol, Pret_achizitie, Cantitate, Lot, Agent, Cod_bare "
                                      "FROM STOC ORDER BY Cod_gestiune, Cod_grupa, Cod_articol, Pret_achizitie, Lot, Agent");
        while (q.next())
            r << QStringLiteral("%1:%2@%3=%4%5%6%7")
                     .arg(q.value(0).toString(), q.value(1).toString(), QString::number(q.value(2).toDouble()),
                          QString::number(q.value(3).toDouble()),
                          q.value(4).isNull() ? QString() : u'/' + q.value(4).toString(),
                          q.value(5).isNull() ? QString() : u'/' + q.value(5).toString(),
                          q.value(6).isNull() ? QString() : u'#' + q.value(6).toString());
        return r;
    }
    QStringList labelRows()
    {
        QStringList r;
        datastore::Query q = privateDb.query("SELECT DenGest, Cod_gestiune, Cod_grupa, Cod_articol, Denumire, Lot "
                                             "FROM Etichete ORDER BY rowid");
        while (q.next()) {
            QStringList cells;
            for (int c = 0; c < 6; ++c)
                cells << q.value(c).toString();
            r << cells.join(u'|');
        }
        return r;
    }
    static catalogs::ArticlePick articlePick(const QString& group, const QString& code)
    {
        catalogs::ArticlePick pick;
        pick.current = {{"Grupa", group}, {"Cod", code}};
        return pick;
    }

    testsupport::TempDir dir{testsupport::TempDir::Database};
    testsupport::TempDir privateDir;
    datastore::Database db;
    datastore::Database privateDb{QString::fromLatin1(datastore::kPrivateAlias)};
    common::Parameters parameters;
    common::Formats formats;
    common::ScriptedDialogs dialogs;
    QSettings settings{privateDir.file("registry.ini"), QSettings::IniFormat};
    RecordingView view;

private:
    std::unique_ptr<TStockFormLogic> m_logic;
};

// ---- the lists -------------------------------------------------------------------------

TEST_F(StockBrowser, TheDetailedListHoldsTheWarehouseRowsOfCatalogArticles)
{
    TStockFormLogic& logic = browser();
    EXPECT_EQ(rows(logic.detailed()), (QStringList{"AGR@2", "ART@6", "PIX@5", "PIX@7/B1", "PIX@7/B2", "ZAH@3"}))
        << "the other warehouse and the article missing from the catalog are left out";
    ASSERT_TRUE(logic.detailed().locate({"Agent"}, {"B2"}));
    EXPECT_EQ(logic.detailed().value("Buget").toString(), "Buget judetean") << "the budget by its name";
    EXPECT_EQ(logic.detailed().value("Lot").toString(), "L1");
    EXPECT_EQ(logic.warehouses().size(), 2);

    logic.setWarehouse("B");
    EXPECT_EQ(rows(logic.detailed()), QStringList{"PIX@5"});
    EXPECT_EQ(logic.warehouse(), "B");
}

TEST_F(StockBrowser, LotAndBudgetColumnsAreShownOnlyWithLots)
{
    for (const bool lots : {false, true}) {
        SCOPED_TRACE(lots ? "CLot" : "no CLot");
        parameters.CLot = lots;
        TStockFormLogic logic(db, privateDb, parameters, formats, dialogs, settings, view);
        QStringList shown;
        for (const ui::GridColumn& c : logic.detailedColumns())
            if (c.visible)
                shown << c.field;
        QStringList expected{"Cod_grupa", "Cod_Articol", "Denumire", "Pret_Achizitie", "Cantitate", "Unitate_masura"};
        if (lots)
            expected << "Lot" << "Buget";
        EXPECT_EQ(shown, expected) << "the sale price, currency, sale value and bar code start hidden";
        // Rows of one article, price and lot for two budgets stay two rows either way.
        ASSERT_TRUE(logic.open("A"));
        int atSeven = 0;
        for (int row = 0; row < logic.detailed().recordCount(); ++row)
            atSeven += logic.detailed().value(row, "Pret_Achizitie").toDouble() == 7;
        EXPECT_EQ(atSeven, 2);
    }
}

TEST_F(StockBrowser, TheCumulatedListSumsEachArticleWhateverItsBarCodes)
{
    addStock("A", "G", "ART", 8, 4, {}, {}, "5999"); // the same article received with another bar code
    TStockFormLogic& logic = browser();
    logic.setList(StockList::Cumulated);
    EXPECT_FALSE(logic.detailed().isOpen());
    EXPECT_EQ(rows(logic.cumulated()), (QStringList{"AGR=1", "ART=7", "PIX=17", "ZAH=20"}));
    QStringList shown;
    for (const ui::GridColumn& c : logic.cumulatedColumns())
        if (c.visible)
            shown << c.field;
    EXPECT_EQ(shown, (QStringList{"Cod_grupa", "Cod_Articol", "Denumire", "Total_Cantitate", "Unitate_masura"}));
}

TEST_F(StockBrowser, OrdersFollowTheChoiceAndAreRemembered)
{
    const struct {
        StockOrder order;
        QStringList detailed;
        QStringList cumulated;
    } cases[] = {
        {StockOrder::Group, {"AGR@2", "ART@6", "PIX@5", "PIX@7/B1", "PIX@7/B2", "ZAH@3"}, {"AGR=1", "ART=3", "PIX=17", "ZAH=20"}},
        {StockOrder::Article, {"AGR@2", "ART@6", "PIX@5", "PIX@7/B1", "PIX@7/B2", "ZAH@3"}, {"AGR=1", "ART=3", "PIX=17", "ZAH=20"}},
        // Names without regard to case: "agrafe" before "Hartie".
        {StockOrder::Name, {"AGR@2", "ART@6", "PIX@5", "PIX@7/B1", "PIX@7/B2", "ZAH@3"}, {"AGR=1", "ART=3", "PIX=17", "ZAH=20"}},
        // The detailed list by acquisition price, the cumulated one by the catalog's sale price.
        {StockOrder::Price, {"AGR@2", "ZAH@3", "PIX@5", "ART@6", "PIX@7/B1", "PIX@7/B2"}, {"AGR=1", "PIX=17", "ZAH=20", "ART=3"}},
    };
    db.exec("UPDATE CATALOG SET Grupa = 'g' WHERE Cod = 'AGR'"); // a lower-case group sorts with 'G'
    db.exec("UPDATE STOC SET Cod_grupa = 'g' WHERE Cod_articol = 'AGR'");
    for (const auto& c : cases) {
        SCOPED_TRACE(stock::stockOrderCaptions().at(static_cast<int>(c.order)).toStdString());
        TStockFormLogic logic(db, privateDb, parameters, formats, dialogs, settings, view);
        ASSERT_TRUE(logic.open("A"));
        logic.setOrder(c.order);
        EXPECT_EQ(rows(logic.detailed()), c.detailed);
        logic.setList(StockList::Cumulated);
        EXPECT_EQ(rows(logic.cumulated()), c.cumulated);
        ASSERT_TRUE(logic.close());
        EXPECT_EQ(settings.value("SortBy").toInt(), static_cast<int>(c.order));

        TStockFormLogic again(db, privateDb, parameters, formats, dialogs, settings, view);
        ASSERT_TRUE(again.open("A"));
        EXPECT_EQ(again.order(), c.order) << "read back when the window opens";
        EXPECT_EQ(rows(again.detailed()), c.detailed);
    }
    for (const QVariant& bad : {QVariant("x"), QVariant(9), QVariant(-1)}) {
        settings.setValue("SortBy", bad);
        TStockFormLogic logic(db, privateDb, parameters, formats, dialogs, settings, view);
        ASSERT_TRUE(logic.open("A"));
        EXPECT_EQ(logic.order(), StockOrder::Group) << bad.toString().toStdString();
    }
}

TEST_F(StockBrowser, ChangingTheOrderKeepsTheRowAndSwitchingTheListKeepsTheArticle)
{
    TStockFormLogic& logic = browser();
    ASSERT_TRUE(logic.locate("G", "PIX", 7));
    logic.setOrder(StockOrder::Price);
    EXPECT_EQ(current(), "PIX@7/B1");
    logic.setList(StockList::Cumulated);
    EXPECT_EQ(current(), "PIX=17");
    logic.setList(StockList::Detailed);
    EXPECT_EQ(current(), "PIX@5") << "the first row of the article";

    // The refresh tick reads what other workstations wrote and stays on the row.
    ASSERT_TRUE(logic.locate("G", "PIX", 7));
    addStock("A", "G", "ART", 1, 1);
    db.exec("DELETE FROM STOC WHERE Cod_articol = 'AGR'");
    logic.refreshTick();
    EXPECT_EQ(rows(logic.detailed()), (QStringList{"ART@1", "ZAH@3", "PIX@5", "ART@6", "PIX@7/B1", "PIX@7/B2"}));
    EXPECT_EQ(current(), "PIX@7/B1");
}

// ---- the picker ------------------------------------------------------------------------

TEST_F(StockBrowser, ThePickerOpensOnTheArticleAtTheGivenPrice)
{
    const struct {
        StockOrder order;
        const char* group;
        const char* article;
        double price;
        const char* expected;
        bool found;
    } cases[] = {
        {StockOrder::Group, "G", "PIX", 7, "PIX@7/B1", true},
        {StockOrder::Group, "G", "PIX", -1, "PIX@5", true},
        {StockOrder::Price, "G", "PIX", -1, "PIX@5", true},
        {StockOrder::Name, "G", "PIX", 7, "PIX@7/B1", true},
        {StockOrder::Group, "G", "PIX", 9, "AGR@2", false},  // no row at that price: the first row
        {StockOrder::Group, "H", "PIX", -1, "AGR@2", false}, // another group
        {StockOrder::Price, "G", "NOCAT", -1, "AGR@2", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(QStringLiteral("%1.%2 at %3").arg(c.group, c.article).arg(c.price).toStdString());
        settings.setValue("SortBy", static_cast<int>(c.order));
        TStockFormLogic logic(db, privateDb, parameters, formats, dialogs, settings, view);
        ASSERT_TRUE(logic.open("A"));
        logic.detailed().last();
        EXPECT_EQ(logic.locate(c.group, c.article, c.price), c.found);
        EXPECT_EQ(describe(logic.detailed(), logic.detailed().recNo()), c.expected);
    }
    // Without an article nothing moves.
    settings.setValue("SortBy", 0);
    TStockFormLogic& logic = browser();
    logic.detailed().moveTo(3);
    EXPECT_FALSE(logic.locate({}, {}, -1));
    EXPECT_EQ(logic.detailed().recNo(), 3);
    const std::optional<stock::StockRow> row = logic.currentRow();
    ASSERT_TRUE(row);
    EXPECT_EQ(row->warehouse, "A");
    EXPECT_EQ(row->article, "PIX");
    EXPECT_EQ(row->price, 7.0);
    EXPECT_EQ(row->quantity, 4.0);
    EXPECT_EQ(row->lot, "L1");
    EXPECT_EQ(row->budget, "B1");
}

// ---- searches ----------------------------------------------------------------------------

TEST_F(StockBrowser, TheSearchBoxHalvesOverTheColumnOfTheOrder)
{
    const struct {
        StockList list;
        StockOrder order;
        const char* text;
        const char* expected;
    } cases[] = {
        {StockList::Detailed, StockOrder::Group, "h", "ZAH@3"},
        {StockList::Detailed, StockOrder::Group, "G", "AGR@2"},
        {StockList::Detailed, StockOrder::Article, "p", "PIX@5"},
        {StockList::Detailed, StockOrder::Article, "Pix", "PIX@5"},
        {StockList::Detailed, StockOrder::Article, "q", "ZAH@3"},
        {StockList::Detailed, StockOrder::Article, "zz", "ZAH@3"}, // past the end: the last row
        {StockList::Detailed, StockOrder::Name, "HAR", "ART@6"},
        {StockList::Detailed, StockOrder::Name, "a", "AGR@2"}, // "agrafe" is listed first
        {StockList::Detailed, StockOrder::Name, "", "AGR@2"},
        // "Pret": the acquisition price the rows are ordered by.
        {StockList::Detailed, StockOrder::Price, "6", "ART@6"},
        {StockList::Detailed, StockOrder::Price, "6,5", "PIX@7/B1"},
        {StockList::Detailed, StockOrder::Price, "3.5", "PIX@5"},
        {StockList::Detailed, StockOrder::Price, "", "AGR@2"},
        {StockList::Detailed, StockOrder::Price, "100", "PIX@7/B2"},
        // Not a price (or one being typed): the cursor stays, nothing is said.
        {StockList::Detailed, StockOrder::Price, "abc", "PIX@7/B1"},
        {StockList::Detailed, StockOrder::Price, "-", "PIX@7/B1"},
        // The cumulated list by the sale price: 1.5, 2.5, 4, 10.
        {StockList::Cumulated, StockOrder::Price, "3", "ZAH=20"},
        {StockList::Cumulated, StockOrder::Name, "z", "ZAH=20"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(QStringLiteral("%1 \"%2\"").arg(static_cast<int>(c.order)).arg(c.text).toStdString());
        TStockFormLogic& logic = browser();
        logic.setList(c.list);
        logic.setOrder(c.order);
        logic.shown().moveTo(c.list == StockList::Detailed ? 4 : 0); // by price: PIX@7/B1
        logic.searchAsYouType(QString::fromUtf8(c.text));
        EXPECT_EQ(current(), c.expected);
        EXPECT_TRUE(dialogs.messages.isEmpty());
    }
}

TEST_F(StockBrowser, PriceSearchAndRepeat)
{
    TStockFormLogic& logic = browser();
    dialogs.queueInput(QStringLiteral("7"));
    logic.findPrice();
    ASSERT_EQ(dialogs.inputs.size(), 1);
    EXPECT_EQ(dialogs.inputs[0].caption, "Cauta...");
    EXPECT_EQ(dialogs.inputs[0].prompt, "Pret de achizitie:");
    EXPECT_EQ(dialogs.inputs[0].initial, "0,00");
    EXPECT_EQ(current(), "PIX@7/B1");
    EXPECT_EQ(view.focus.last(), "list");
    logic.findPriceAgain();
    EXPECT_EQ(current(), "PIX@7/B2");
    logic.findPriceAgain();
    EXPECT_EQ(current(), "PIX@7/B2") << "none further: the cursor stays";
    EXPECT_EQ(dialogs.beeps, 1);

    // The last price is offered again; a text that is not a number stops the search.
    dialogs.queueInput(QStringLiteral("abc"));
    logic.findPrice();
    EXPECT_EQ(dialogs.inputs.last().initial, "7,00");
    EXPECT_EQ(dialogs.last().text, "<abc> nu este o valoare corecta!");
    EXPECT_EQ(dialogs.last().icon, common::Icon::Warning);
    EXPECT_EQ(current(), "PIX@7/B2");

    dialogs.queueInput(QStringLiteral("8"));
    logic.findPrice();
    EXPECT_EQ(dialogs.beeps, 2);
    EXPECT_EQ(current(), "PIX@7/B2");

    dialogs.queueInput(QStringLiteral("6"));
    logic.findPrice();
    EXPECT_EQ(current(), "ART@6");

    dialogs.queueInput(std::nullopt); // cancelled
    logic.findPrice();
    EXPECT_EQ(current(), "ART@6");

    // Only in the detailed list; switching the list forgets the price.
    logic.setList(StockList::Cumulated);
    const auto asked = dialogs.inputs.size();
    logic.findPrice();
    EXPECT_EQ(dialogs.inputs.size(), asked);
    logic.setList(StockList::Detailed);
    dialogs.queueInput(std::nullopt);
    logic.findPrice();
    EXPECT_EQ(dialogs.inputs.last().initial, "0,00");
    EXPECT_EQ(dialogs.messages.size(), 1);
}

// ---- values ------------------------------------------------------------------------------

TEST_F(StockBrowser, SaleValueFollowsTheSellPriceMode)
{
    EXPECT_EQ(common::roundHalfEven(2.5), 2.0);
    EXPECT_EQ(common::roundHalfEven(3.5), 4.0);
    EXPECT_EQ(common::roundHalfEven(-2.5), -2.0);
    EXPECT_EQ(common::roundHalfEven(2.4999), 2.0);
    EXPECT_EQ(common::roundHalfEven(2.5001), 3.0);

    db.exec("DELETE FROM STOC");
    db.exec("UPDATE CATALOG SET Pret_vinzare = 25 WHERE Cod = 'PIX'"); // sale price, or a markup of 25%
    db.exec("UPDATE CATALOG SET Pret_vinzare = 0 WHERE Cod = 'ART'");
    addStock("A", "G", "PIX", 5, 2);   // 2 x 5 x 1.25 = 12.5
    addStock("A", "G", "ART", 3.5, 1); // 3.5 with no markup
    addStock("A", "G", "ART", 2.5, 1);
    const struct {
        common::SellPriceMode mode;
        bool round;
        StockList list;
        QStringList values; // in the list's order
    } cases[] = {
        {common::SellPriceMode::Fetch, true, StockList::Detailed, {"0", "0", "50"}},
        {common::SellPriceMode::Fetch, true, StockList::Cumulated, {"0", "50"}},
        {common::SellPriceMode::Calc, true, StockList::Detailed, {"2", "4", "12"}},
        {common::SellPriceMode::Calc, false, StockList::Detailed, {"2.5", "3.5", "12.5"}},
        {common::SellPriceMode::Calc, true, StockList::Cumulated, {"0", "0"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "Calc " << (c.mode == common::SellPriceMode::Calc) << " round " << c.round
                                        << " list " << static_cast<int>(c.list));
        parameters.SellPrice = c.mode;
        parameters.roundTva = c.round;
        TStockFormLogic logic(db, privateDb, parameters, formats, dialogs, settings, view);
        ASSERT_TRUE(logic.open("A", c.list));
        logic.setOrder(StockOrder::Price);
        QStringList values;
        for (int row = 0; row < logic.shown().recordCount(); ++row)
            values << QString::number(logic.saleValue(row).toDouble());
        EXPECT_EQ(values, c.values);
    }
}

// ---- labels ------------------------------------------------------------------------------

TEST_F(StockBrowser, LabelsRepeatTheCurrentRowAsManyTimesAsAsked)
{
    const QString label = "Magazie|A|G|PIX|Pix|L1";
    const struct {
        std::optional<QString> answer;
        int labels;
        bool printed;
        QString message;
    } cases[] = {
        {QStringLiteral("3"), 3, true, {}},
        {QStringLiteral(" 1 "), 1, true, {}},
        {QStringLiteral("0"), 1, true, {}}, // at least one
        {std::nullopt, 1, false, {}},
        {QStringLiteral("abc"), 1, false, "'abc' nu este un numar intreg valid"},
        {QStringLiteral("2,5"), 1, false, "'2,5' nu este un numar intreg valid"},
        {QStringLiteral("20000"), 1, false, TStockFormLogic::kTooManyCopies},
    };
    TStockFormLogic& logic = browser();
    int prints = 0;
    logic.printLabels = [&] { ++prints; };
    ASSERT_TRUE(logic.locate("G", "PIX", 7)); // two budgets of one lot: one label row
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answer.value_or("(cancelled)").toStdString());
        dialogs.clear();
        prints = 0;
        dialogs.queueInput(c.answer);
        EXPECT_EQ(logic.listLabels(), c.printed);
        ASSERT_EQ(dialogs.inputs.size(), 1);
        EXPECT_EQ(dialogs.inputs[0].caption, "Dialog");
        EXPECT_EQ(dialogs.inputs[0].prompt, "Tastati numarul de etichete dorit");
        EXPECT_EQ(labelRows(), QStringList(c.labels, label)) << "the table is replaced each time";
        EXPECT_EQ(prints, c.printed ? 1 : 0);
        EXPECT_EQ(dialogs.texts(), c.message.isEmpty() ? QStringList{} : QStringList{c.message});
    }

    // The cumulated list's row is the article at every price.
    logic.setList(StockList::Cumulated);
    ASSERT_TRUE(logic.cumulated().locate({"Cod_Articol"}, {"PIX"}));
    dialogs.queueInput(QStringLiteral("2"));
    ASSERT_TRUE(logic.listLabels());
    EXPECT_EQ(labelRows(), (QStringList{"Magazie|A|G|PIX|Pix|", "Magazie|A|G|PIX|Pix|L1", "Magazie|A|G|PIX|Pix|",
                                        "Magazie|A|G|PIX|Pix|L1"}));
}

// A label names its own stock row: another lot or budget at the same price
// is another row, with labels of its own; a row without lot or budget finds
// itself too.
TEST_F(StockBrowser, LabelsTakeTheWholeKeyOfTheCurrentRow)
{
    addStock("A", "G", "PIX", 7, 2, "L2", "B1");
    TStockFormLogic& logic = browser();
    logic.printLabels = [] {};
    const struct {
        double price;
        QString lot;
        QString budget;
        QStringList labels;
    } cases[] = {
        {7, "L2", "B1", {"Magazie|A|G|PIX|Pix|L2"}},
        {7, "L1", "B2", {"Magazie|A|G|PIX|Pix|L1"}},
        {5, "", "", {"Magazie|A|G|PIX|Pix|"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE((c.lot + u'/' + c.budget).toStdString());
        ASSERT_TRUE(logic.detailed().locate({"Pret_Achizitie", "Lot", "Agent"},
                                            {c.price, c.lot.isEmpty() ? QVariant() : QVariant(c.lot),
                                             c.budget.isEmpty() ? QVariant() : QVariant(c.budget)}));
        dialogs.queueInput(QStringLiteral("1"));
        ASSERT_TRUE(logic.listLabels());
        EXPECT_EQ(labelRows(), c.labels);
    }

    // At most as many labels as the copies of one print.
    dialogs.clear();
    dialogs.queueInput(QStringLiteral("1001"));
    EXPECT_FALSE(logic.listLabels());
    EXPECT_EQ(dialogs.texts(), QStringList{"Se pot lista cel mult 1000 etichete deodata!"});
    dialogs.queueInput(QStringLiteral("1000"));
    EXPECT_TRUE(logic.listLabels());
    EXPECT_EQ(labelRows().size(), 1000);
}

// ---- new stock rows ("&Editeaza") -------------------------------------------------------------

TEST_F(StockBrowser, EditeazaAddsStockRowsOfQuantityZero)
{
    TStockFormLogic& logic = browser();
    Dataset& rows = logic.newRows;
    ASSERT_TRUE(logic.setEditing(true));
    EXPECT_TRUE(logic.isEditing());
    ASSERT_EQ(rows.state(), datastore::DatasetState::Insert);
    EXPECT_EQ(rows.value("Cod_gestiune").toString(), "A");
    EXPECT_EQ(rows.value("Cantitate").toDouble(), 0.0);
    EXPECT_EQ(view.focus.last(), "Cod_grupa");

    // An article typed that the catalog does not hold is refused.
    rows.setValue("Cod_grupa", "G");
    EXPECT_THROW(rows.setValue("Cod_articol", "NIMIC"), datastore::Abort);
    EXPECT_EQ(dialogs.last().text, "Articolul <G.NIMIC> nu exista în catalog! "
                                   "Apasati CTRL-ENTER pentru a introduce articolul în catalog!");
    EXPECT_TRUE(rows.value("Cod_articol").isNull());
    // One the catalog holds fills the row.
    rows.setValue("Cod_articol", "ART");
    EXPECT_EQ(rows.value("Denumire").toString(), "Hartie");
    EXPECT_EQ(rows.value("Unitate_masura").toString(), "top");
    EXPECT_EQ(rows.value("Pret_vinzare").toDouble(), 10.0);
    EXPECT_EQ(rows.value("Moneda").toString(), "LEI");
    EXPECT_EQ(rows.value("Cod_bare").toString(), "5940");
    EXPECT_THROW(rows.setValue("Cod_grupa", "H"), datastore::Abort) << "H.ART is not in the catalog";
    EXPECT_EQ(rows.value("Cod_grupa").toString(), "G");
    rows.setValue("Pret_achizitie", 8.0);

    // The catalog picker for the next row, then the price.
    rows.append();
    view.pick = articlePick("H", "ZAH");
    logic.pickInNewRow("Cod_articol");
    EXPECT_EQ(view.pickerCalls, QStringList{"."});
    EXPECT_EQ(rows.value("Cod_grupa").toString(), "H");
    EXPECT_EQ(rows.value("Denumire").toString(), "Zahar");
    EXPECT_EQ(view.focus.last(), "Pret_achizitie");
    rows.setValue("Pret_achizitie", 3.25);
    const QStringList before = stockRows();

    ASSERT_TRUE(logic.setEditing(false));
    EXPECT_FALSE(logic.isEditing());
    EXPECT_FALSE(privateDb.tableExists(TStockFormLogic::kNewRowsTable)) << "the working table goes";
    QStringList expected = before;
    expected.insert(2, "A:ART@8=0#5940");
    expected.insert(8, "A:ZAH@3.25=0");
    EXPECT_EQ(stockRows(), expected);
    EXPECT_EQ(current(), "ZAH@3.25") << "the list is read again, on the last row added";
    EXPECT_EQ(dialogs.messages.size(), 2);
}

TEST_F(StockBrowser, EditeazaRefusesAKeyTheStockHoldsWithAClearMessage)
{
    TStockFormLogic& logic = browser();
    Dataset& rows = logic.newRows;
    const QStringList before = stockRows();
    ASSERT_TRUE(logic.setEditing(true));
    rows.setValue("Cod_grupa", "G");
    rows.setValue("Cod_articol", "PIX");
    rows.setValue("Pret_achizitie", 5.0); // A.G.PIX at 5, without lot or budget, is in stock
    EXPECT_FALSE(logic.setEditing(false));
    EXPECT_EQ(dialogs.last().text, "Articolul <G.PIX> exista deja în stoc la pretul 5,00 în gestiunea A (Magazie)!\r"
                                   "Selectati-l din lista sau modificati pretul.");
    EXPECT_EQ(dialogs.last().icon, common::Icon::Warning);
    EXPECT_TRUE(logic.isEditing());
    EXPECT_EQ(rows.state(), datastore::DatasetState::Insert) << "the row stays, to be corrected";
    EXPECT_EQ(view.focus.last(), "Pret_achizitie");
    EXPECT_EQ(stockRows(), before);

    // The same key twice among the new rows.
    rows.setValue("Pret_achizitie", 9.0);
    rows.append();
    rows.setValue("Cod_grupa", "G");
    rows.setValue("Cod_articol", "PIX");
    rows.setValue("Pret_achizitie", 9.0);
    EXPECT_THROW(rows.post(), datastore::Abort);
    EXPECT_EQ(dialogs.last().text, "Articolul <G.PIX> cu pretul 9,00 a fost adaugat deja în gestiunea A (Magazie)!\r"
                                   "Modificati pretul sau renuntati la una din linii.");
    rows.setValue("Pret_achizitie", 9.5);
    rows.post();

    // Another workstation writes one of the keys before the rows go to the
    // stock: none of them is written, the message names it.
    addStock("A", "G", "PIX", 9.5, 1);
    const QStringList meanwhile = stockRows();
    dialogs.clear();
    EXPECT_FALSE(logic.setEditing(false));
    EXPECT_EQ(dialogs.texts(), QStringList{"Articolul <G.PIX> exista deja în stoc la pretul 9,50 în gestiunea "
                                           "A (Magazie)!\rSelectati-l din lista sau modificati pretul."});
    EXPECT_EQ(stockRows(), meanwhile) << "the row at 9 went back with the refused one";
    EXPECT_TRUE(logic.isEditing());
    EXPECT_EQ(rows.value("Pret_achizitie").toDouble(), 9.5) << "on the refused row";
    rows.edit();
    rows.setValue("Pret_achizitie", 9.75);
    ASSERT_TRUE(logic.setEditing(false));
    EXPECT_EQ(stockRows().filter("PIX@9"), (QStringList{"A:PIX@9=0#5941", "A:PIX@9.5=1", "A:PIX@9.75=0#5941"}));
}

TEST_F(StockBrowser, EditeazaKeepsNoIncompleteRow)
{
    TStockFormLogic& logic = browser();
    Dataset& rows = logic.newRows;
    const QStringList before = stockRows();

    // Nothing typed: the row goes and the editing ends.
    ASSERT_TRUE(logic.setEditing(true));
    ASSERT_TRUE(logic.setEditing(false));
    EXPECT_EQ(stockRows(), before);

    // No price: the row is not kept, the editing stays on, nothing is said.
    ASSERT_TRUE(logic.setEditing(true));
    rows.setValue("Cod_grupa", "G");
    rows.setValue("Cod_articol", "ART");
    EXPECT_FALSE(logic.setEditing(false));
    EXPECT_TRUE(logic.isEditing());
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_EQ(view.focus.last(), "Pret_achizitie");
    // An article of the catalog without a currency cannot be kept either.
    db.exec("UPDATE CATALOG SET Moneda = NULL WHERE Cod = 'ZAH'");
    view.pick = articlePick("H", "ZAH");
    logic.pickInNewRow("Cod_grupa");
    EXPECT_EQ(view.pickerCalls, QStringList{"G.ART"}) << "the picker opens on the row's article";
    rows.setValue("Pret_achizitie", 1.0);
    EXPECT_FALSE(logic.setEditing(false));
    EXPECT_EQ(view.focus.last(), "Moneda");
    rows.cancel();
    ASSERT_TRUE(logic.setEditing(false));
    EXPECT_EQ(stockRows(), before);
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

// ---- the window --------------------------------------------------------------------------

// What a caller gives the picker.
stock::StockLinePick given(const QString& warehouse, const QString& group, const QString& article, double price)
{
    stock::StockLinePick pick;
    pick.warehouse = warehouse;
    pick.group = group;
    pick.article = article;
    pick.price = price;
    return pick;
}

class StockWindow : public StockBrowser {
protected:
    stock::StockFormContext context()
    {
        return {db, privateDb, dialogs, formats, parameters, settings, privateDir.path() + u'/', memory, {}, {}};
    }
    static bool shown(ui::DataGrid* grid, const QString& field)
    {
        const int c = grid->datasetModel()->columnOf(field);
        return c >= 0 && !grid->isColumnHidden(c);
    }
    // Runs `check` on the modal dialog the next call opens.
    static void whenModal(std::function<void(QDialog*, stock::TStockForm*)> check)
    {
        QTimer::singleShot(0, [check = std::move(check)] {
            auto* dlg = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!dlg) {
                ADD_FAILURE() << "no modal dialog";
                return;
            }
            auto* form = dlg->findChild<stock::TStockForm*>();
            if (!form) {
                ADD_FAILURE() << "no stock form";
                dlg->reject();
                return;
            }
            check(dlg, form);
            if (dlg->isVisible())
                dlg->reject();
        });
    }
    stock::StockPickMemory memory;
};

// Names with Romanian letters, older ones written with a cedilla: listed
// among their plain letters and found whatever form is typed, on both engines.
class StockListOrder : public StockWindow {};

TEST_F(StockListOrder, NamesAreListedAndFoundWhateverTheirDiacritics)
{
    const struct {
        const char* code;
        const char16_t* name;
    } articles[] = {
        {"SRV", u"Șervetele"}, {"SNU", u"Şnur"}, {"SAR", u"Sare"}, {"SFO", u"sfoară"}, {"TES", u"Țesătură"},
        {"TAV", u"Tava"}, {"TIG", u"ţigle"}, {"PAI", u"Pâine"}, {"ING", u"Îngheţată"},
    };
    for (const auto& a : articles) {
        db.exec("INSERT INTO CATALOG (Grupa, Cod, Denumire, Unitate_masura, Pret_vinzare, Moneda) "
                "VALUES ('G', :c, :n, 'buc', 1, 'LEI')",
                {{"c", QString::fromLatin1(a.code)}, {"n", QString::fromUtf16(a.name)}});
        addStock("A", "G", QString::fromLatin1(a.code), 1, 1);
    }
    TStockFormLogic& logic = browser();
    logic.setOrder(StockOrder::Name);
    EXPECT_EQ(rows(logic.shown()), (QStringList{"AGR@2", "ART@6", "ING@1", "PAI@1", "PIX@5", "PIX@7/B1", "PIX@7/B2",
                                                "SAR@1", "SRV@1", "SFO@1", "SNU@1", "TAV@1", "TES@1", "TIG@1", "ZAH@3"}));
    logic.setList(StockList::Cumulated);
    EXPECT_EQ(rows(logic.shown()), (QStringList{"AGR=1", "ART=3", "ING=1", "PAI=1", "PIX=17", "SAR=1", "SRV=1", "SFO=1",
                                                "SNU=1", "TAV=1", "TES=1", "TIG=1", "ZAH=20"}));

    const struct {
        const char16_t* typed;
        const char* expected;
    } searches[] = {
        {u"ș", "SAR@1"},   {u"șe", "SRV@1"}, {u"ŞER", "SRV@1"}, {u"ser", "SRV@1"}, {u"Șn", "SNU@1"},
        {u"ț", "TAV@1"},   {u"ţe", "TES@1"}, {u"TI", "TIG@1"},  {u"î", "ING@1"},   {u"pâi", "PAI@1"},
        {u"SFOARĂ", "SFO@1"}, {u"zz", "ZAH@3"},
    };
    logic.setList(StockList::Detailed);
    for (const auto& c : searches) {
        const QString typed = QString::fromUtf16(c.typed);
        logic.shown().moveTo(0);
        logic.searchAsYouType(typed);
        EXPECT_EQ(current(), c.expected) << typed.toStdString();
    }

    // Typed into the window's search box.
    std::unique_ptr<stock::TStockForm> form = stock::TStockForm::createChild(context());
    ASSERT_TRUE(form);
    form->orderCombo()->setCurrentIndex(static_cast<int>(StockOrder::Name));
    form->resize(900, 420);
    form->show();
    form->searchEdit()->insert(QString::fromUtf16(u"şe")); // typed through an input method
    EXPECT_EQ(current(form->logic()), "SRV@1");
    QApplication::processEvents();
    EXPECT_TRUE(testsupport::saveShot(*form, QStringLiteral("current_stock_diacritics.png")));
}

TEST_F(StockWindow, TheChildWindowShowsTheStockAndRemembersItsOrderAndLayouts)
{
    parameters.CLot = true;
    memory.lastWarehouse = "A";
    std::unique_ptr<stock::TStockForm> form = stock::TStockForm::createChild(context());
    ASSERT_TRUE(form);
    EXPECT_EQ(form->windowTitle(), "Stocuri curente");
    EXPECT_FALSE(form->okButton()->isVisibleTo(form.get()));
    EXPECT_FALSE(form->cancelButton()->isVisibleTo(form.get()));
    EXPECT_FALSE(form->editButton()->isVisibleTo(form.get()));
    EXPECT_TRUE(form->listCombo()->isEnabled());
    EXPECT_FALSE(form->labelsButton()->isEnabled()) << "no label print yet";
    EXPECT_TRUE(form->grid()->toolTip().isEmpty()) << "the picker's hint is cleared";
    EXPECT_EQ(form->warehouseCombo()->currentText(), "A - Magazie");
    EXPECT_TRUE(shown(form->grid(), "Lot"));
    EXPECT_TRUE(shown(form->grid(), "Buget"));
    EXPECT_FALSE(shown(form->grid(), "Pret_Vinzare"));
    ui::DatasetModel* model = form->grid()->datasetModel();
    EXPECT_EQ(model->data(model->index(3, model->columnOf("Buget"))).toString(), "Buget local");
    EXPECT_EQ(model->data(model->index(3, model->columnOf("Pret_Achizitie"))).toString(), "7,00");
    EXPECT_EQ(model->data(model->index(3, model->columnOf("Valoare_vinzare"))).toString(), "10,00");

    form->resize(900, 420);
    form->show();
    QApplication::processEvents();
    EXPECT_TRUE(testsupport::saveShot(*form, QStringLiteral("current_stock.png")));

    // The search box and Ctrl-Z reach the logic.
    form->orderCombo()->setCurrentIndex(static_cast<int>(StockOrder::Name));
    QTest::keyClicks(form->searchEdit(), "zah");
    EXPECT_EQ(current(form->logic()), "ZAH@3");
    dialogs.queueInput(QStringLiteral("7"));
    QTest::keyClick(form->searchEdit(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(current(form->logic()), "PIX@7/B1");
    EXPECT_EQ(form->searchEdit()->text(), "zah") << "not the undo of the search box";
    QTest::keyClick(form->grid(), Qt::Key_Z, Qt::AltModifier);
    EXPECT_EQ(current(form->logic()), "PIX@7/B2");

    // The other list with its own layout file.
    form->listCombo()->setCurrentIndex(static_cast<int>(StockList::Cumulated));
    EXPECT_EQ(form->grid(), form->cumulatedGrid());
    EXPECT_FALSE(form->findPriceButton()->isEnabled());
    EXPECT_TRUE(QFile::exists(privateDir.file("stocksPret.cfg")));
    EXPECT_TRUE(form->close());
    EXPECT_TRUE(QFile::exists(privateDir.file("stocksArticole.cfg")));

    std::unique_ptr<stock::TStockForm> again = stock::TStockForm::createChild(context());
    ASSERT_TRUE(again);
    EXPECT_EQ(again->orderCombo()->currentIndex(), static_cast<int>(StockOrder::Name)) << "the order chosen last";
    EXPECT_EQ(again->logic().list(), StockList::Detailed);
    again->close();
}

TEST_F(StockWindow, ThePickerReturnsTheRowChosen)
{
    parameters.CLot = true;
    whenModal([&](QDialog* dlg, stock::TStockForm* form) {
        EXPECT_EQ(dlg->windowTitle(), "Selectie articol din stoc");
        EXPECT_FALSE(dlg->windowFlags() & Qt::WindowMinimizeButtonHint);
        EXPECT_FALSE(dlg->windowFlags() & Qt::WindowMaximizeButtonHint);
        EXPECT_FALSE(form->listCombo()->isEnabled());
        EXPECT_EQ(form->listCombo()->currentIndex(), static_cast<int>(StockList::Detailed));
        EXPECT_TRUE(form->okButton()->isVisible());
        EXPECT_TRUE(form->editButton()->isVisible());
        EXPECT_EQ(form->hintLabel()->text(), "Selectati articolul si apasati butonul OK sau Enter");
        EXPECT_EQ(current(form->logic()), "PIX@7/B1");
        QApplication::processEvents();
        EXPECT_TRUE(testsupport::saveShot(*dlg, QStringLiteral("stock_picker.png")));
        form->okButton()->click();
    });
    stock::StockLinePick pick = given("A", "G", "PIX", 7);
    ASSERT_TRUE(stock::PickStockLine(nullptr, context(), pick)) << dialogs.texts().join("|").toStdString();
    EXPECT_EQ(pick.warehouse, "A");
    EXPECT_EQ(pick.group, "G");
    EXPECT_EQ(pick.article, "PIX");
    EXPECT_EQ(pick.price, 7.0);
    EXPECT_EQ(pick.quantity, 4.0);
    EXPECT_EQ(pick.lot, "L1");
    EXPECT_EQ(pick.budget, "B1");
    EXPECT_EQ(memory.lastWarehouse, "A");

    // A double click on a row confirms it; Enter too.
    whenModal([&](QDialog*, stock::TStockForm* form) {
        ui::DataGrid* grid = form->grid();
        QApplication::processEvents();
        const QRect cell = grid->visualRect(grid->model()->index(0, 2));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    });
    stock::StockLinePick first = given("B", QString(), QString(), -1);
    ASSERT_TRUE(stock::PickStockLine(nullptr, context(), first));
    EXPECT_EQ(first.warehouse, "B");
    EXPECT_EQ(first.quantity, 99.0);
    EXPECT_EQ(memory.lastWarehouse, "B");

    whenModal([&](QDialog*, stock::TStockForm* form) {
        EXPECT_EQ(form->warehouseCombo()->currentText(), "B - Depozit") << "the warehouse given last";
        form->warehouseCombo()->setCurrentIndex(0);
        form->logic().locate("H", "ZAH", -1);
        QTest::keyClick(form->grid(), Qt::Key_Return);
    });
    stock::StockLinePick none; // no warehouse given
    ASSERT_TRUE(stock::PickStockLine(nullptr, context(), none));
    EXPECT_EQ(none.article, "ZAH");
    EXPECT_EQ(none.price, 3.0);

    // "Renunta" returns nothing and leaves the pick as it was.
    whenModal([](QDialog*, stock::TStockForm* form) { form->cancelButton()->click(); });
    stock::StockLinePick cancelled = given("A", "G", "ART", -1);
    EXPECT_FALSE(stock::PickStockLine(nullptr, context(), cancelled));
    EXPECT_EQ(cancelled.article, "ART");
    EXPECT_EQ(cancelled.quantity, 0.0);

    // The child window opens on the warehouse last given to the picker.
    std::unique_ptr<stock::TStockForm> child = stock::TStockForm::createChild(context());
    ASSERT_TRUE(child);
    EXPECT_EQ(child->logic().warehouse(), "A");
    child->close();
}

TEST_F(StockWindow, ThePickerAddsARowWithEditeazaAndReturnsIt)
{
    whenModal([&](QDialog* dlg, stock::TStockForm* form) {
        form->editButton()->click();
        EXPECT_TRUE(form->editButton()->isChecked());
        EXPECT_FALSE(form->okButton()->isEnabled());
        EXPECT_TRUE(form->newRowsGrid()->isVisible());
        EXPECT_FALSE(form->orderCombo()->isEnabled());
        Dataset& rows = form->logic().newRows;
        rows.setValue("Cod_grupa", "G");
        rows.setValue("Cod_articol", "PIX");
        rows.setValue("Pret_achizitie", 12.0);
        form->newRowsGrid()->setCurrentField("Cod_articol");
        QApplication::processEvents();
        EXPECT_EQ(form->hintLabel()->text(), "Apasati CTRL-ENTER pentru a selecta articolul din catalog!");
        EXPECT_TRUE(testsupport::saveShot(*dlg, QStringLiteral("stock_picker_editing.png")));
        form->editButton()->click();
        EXPECT_FALSE(form->editButton()->isChecked());
        EXPECT_TRUE(form->okButton()->isEnabled());
        EXPECT_FALSE(form->newRowsGrid()->isVisible());
        form->okButton()->click();
    });
    stock::StockLinePick pick = given("A", "G", "ART", -1);
    ASSERT_TRUE(stock::PickStockLine(nullptr, context(), pick));
    EXPECT_EQ(pick.article, "PIX");
    EXPECT_EQ(pick.price, 12.0);
    EXPECT_EQ(pick.quantity, 0.0);
    EXPECT_TRUE(pick.lot.isEmpty());
    EXPECT_TRUE(stockRows().contains("A:PIX@12=0#5941"));
}

// "&Cauta denumire:" finds the article by its name, in whatever order the
// list is shown, without regard to case and to the Romanian diacritics.
TEST_F(StockWindow, TheNameSearchFindsTheArticleByItsNameInAnyOrder)
{
    db.exec("INSERT INTO CATALOG (Grupa, Cod, Denumire, Unitate_masura, Pret_vinzare, Moneda) VALUES "
            "('H', 'SRV', 'Șervețele albe', 'pac', 3, 'LEI')");
    addStock("A", "H", "SRV", 4, 12);
    memory.lastWarehouse = "A";
    std::unique_ptr<stock::TStockForm> form = stock::TStockForm::createChild(context());
    ASSERT_TRUE(form);
    const struct {
        StockOrder order;
        const char* text;
        const char* expected;
    } cases[] = {
        {StockOrder::Group, "zah", "ZAH@3"}, // the order's column would be the group
        {StockOrder::Group, "Pix", "PIX@5"},
        {StockOrder::Group, "hârtie", "ART@6"},
        {StockOrder::Group, "şerveţele", "SRV@4"}, // the cedilla forms
        {StockOrder::Group, "ȘERVEȚELE", "SRV@4"},
        {StockOrder::Group, "servetele a", "SRV@4"},
        {StockOrder::Group, "rtie", "ART@6"},      // no name begins so: one that holds it
        {StockOrder::Group, "xyz", "ART@6"},       // none: the cursor stays
        {StockOrder::Article, "agraf", "AGR@2"},
        {StockOrder::Price, "zahar", "ZAH@3"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        form->orderCombo()->setCurrentIndex(static_cast<int>(c.order));
        form->searchEdit()->setText(QString::fromUtf8(c.text));
        EXPECT_EQ(current(form->logic()), c.expected);
        form->searchEdit()->clear();
    }
    EXPECT_TRUE(dialogs.messages.isEmpty());
    form->close();

    const struct {
        const char* text;
        const char* folded;
    } folds[] = {
        {"Șervețele", "servetele"}, {"ŞERVEŢELE", "servetele"}, {"Hârtie", "hartie"},
        {"Îmbrăcăminte", "imbracaminte"}, {"Pix 0,5", "pix 0,5"},
    };
    for (const auto& f : folds)
        EXPECT_EQ(common::foldForSearch(QString::fromUtf8(f.text)), QString::fromUtf8(f.folded)) << f.text;
}

// The picker opens at the size it was left at, never wider by itself.
TEST_F(StockWindow, ThePickerKeepsTheSizeTheUserLeftItAt)
{
    parameters.CLot = true;
    QList<QSize> sizes;
    for (int opening = 0; opening < 5; ++opening) {
        whenModal([&](QDialog* dlg, stock::TStockForm*) {
            QApplication::processEvents();
            sizes << dlg->size();
        });
        stock::StockLinePick pick = given("A", "G", "PIX", -1);
        EXPECT_FALSE(stock::PickStockLine(nullptr, context(), pick));
    }
    ASSERT_EQ(sizes.size(), 5);
    EXPECT_EQ(sizes, QList<QSize>(5, sizes.first())) << "as wide at every opening";

    whenModal([&](QDialog* dlg, stock::TStockForm*) { dlg->resize(sizes.first() + QSize(0, 60)); });
    stock::StockLinePick pick = given("A", "G", "PIX", -1);
    EXPECT_FALSE(stock::PickStockLine(nullptr, context(), pick));
    QSize reopened;
    whenModal([&](QDialog* dlg, stock::TStockForm*) { reopened = dlg->size(); });
    EXPECT_FALSE(stock::PickStockLine(nullptr, context(), pick));
    EXPECT_EQ(reopened, sizes.first() + QSize(0, 60)) << "the size the user left it at";
}

} // namespace
