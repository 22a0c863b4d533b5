// The initial stock window: the pseudo-document -1 and its lines per
// warehouse, each change moving the stock at once (never refused), the checks
// of a line, the reference-currency price and the VAT, the multi-row
// selection, closing; the window on screen.

#include "docintest.h"

#include "stock/inistocklogic.h"
#include "stock/recalculation.h"
#include "stock/tinistockform.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QTest>

using namespace stocktest;

namespace {

struct IniView : stock::IniStockView {
    std::deque<std::optional<catalogs::ArticlePick>> picks;
    QStringList focus;
    QStringList progress;
    std::optional<catalogs::ArticlePick> pickArticles(const QString&, const QString&) override
    {
        if (picks.empty())
            return std::nullopt;
        auto p = picks.front();
        picks.pop_front();
        return p;
    }
    void focusLineColumn(const QString& field) override { focus << field; }
    void showProgress(const QString& text) override { progress << text; }
};

class IniStock : public DocInFixture {
protected:
    void SetUp() override
    {
        DocInFixture::SetUp();
        db.exec("INSERT INTO \"Gest.db\" (Cod, Denumire) VALUES ('B', 'Depozit')");
    }

    // The window's logic, opened (on "Depozit", the first warehouse by name).
    stock::TIniStockFormLogic& ini()
    {
        if (!m_ini) {
            m_ini = std::make_unique<stock::TIniStockFormLogic>(db, parameters, formats, dialogs, iniView);
            EXPECT_TRUE(m_ini->open());
        }
        return *m_ini;
    }
    void reopenIni()
    {
        m_ini.reset();
        ini();
    }

    // A new initial-stock line; false when refused (it then stays in editing).
    bool addInitial(const QString& article, double quantity, double price, const QString& lot = {})
    {
        datastore::Dataset& items = ini().items;
        try {
            items.append();
            items.setValue("Cod_grupa", "G");
            items.setValue("Cod_articol", article);
            if (!lot.isEmpty())
                items.setValue("Lot", lot);
            items.setValue("Cantitate", quantity);
            items.setValue("Pret_achizitie_lei", price);
            items.post();
            return true;
        } catch (const datastore::Abort&) {
            return false;
        }
    }
    bool changeInitial(int row, const QVariantHash& values)
    {
        datastore::Dataset& items = ini().items;
        try {
            items.moveTo(row);
            items.edit();
            for (auto it = values.cbegin(); it != values.cend(); ++it)
                items.setValue(it.key(), it.value());
            items.post();
            return true;
        } catch (const datastore::Abort&) {
            return false;
        }
    }
    double stockAt(const QString& warehouse, const QString& article, double price)
    {
        return db.scalar("SELECT SUM(Cantitate) FROM STOC WHERE Cod_gestiune = :w AND Cod_articol = :a "
                         "AND Pret_achizitie = :p",
                         {{"w", warehouse}, {"a", article}, {"p", price}})
            .toDouble();
    }

    IniView iniView;

private:
    std::unique_ptr<stock::TIniStockFormLogic> m_ini;
};

TEST_F(IniStock, ThePseudoDocumentIsMadeOnceAndNeverListedAmongInputs)
{
    ini();
    reopenIni();
    datastore::Query q = db.query("SELECT Contor, Tip, Explicatie, Data, Data_inregistrarii, Numar, Furnizor FROM DOC_IN");
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toDouble(), -1);
    EXPECT_EQ(q.value(1).toString(), "XXX");
    EXPECT_EQ(q.value(2).toString(), "Introducere stocuri initiale");
    for (int i = 3; i < 7; ++i)
        EXPECT_TRUE(q.value(i).isNull()) << i;
    EXPECT_FALSE(q.next());

    // Its lines count in the stock at once and in the recalculation, but the
    // input documents window does not list it.
    ASSERT_TRUE(addInitial("ART", 5, 2));
    EXPECT_EQ(ini().warehouse(), "B");
    receipt({{"ART", 3, 2}});
    form().items.first(); // the input window sees its own document only
    EXPECT_EQ(form().docs.recordCount(), 1);
    EXPECT_EQ(form().docs.value("Contor").toDouble(), 1);
    db.exec("DELETE FROM STOC");
    ASSERT_TRUE(stock::RecalculateStock(db, parameters, dialogs).ok);
    EXPECT_EQ(stockAt("B", "ART", 2), 5);
    EXPECT_EQ(stockAt("A", "ART", 2), 3);
}

TEST_F(IniStock, ANewLineTakesTheWarehouseTheGroupAndTheNextNumberOfAllWarehouses)
{
    ASSERT_TRUE(addInitial("ART", 5, 2));
    ASSERT_TRUE(ini().selectWarehouse("A"));
    EXPECT_EQ(ini().items.recordCount(), 0);
    ASSERT_TRUE(addInitial("PIX", 1, 1));
    ini().items.first();
    ini().insertLine();
    datastore::Dataset& items = ini().items;
    EXPECT_EQ(items.value("Contor").toDouble(), -1);
    EXPECT_EQ(items.value("Cod_gestiune").toString(), "A");
    EXPECT_EQ(items.value("Cod_grupa").toString(), "G"); // of the line under the cursor
    EXPECT_TRUE(items.isNull("Cod_articol"));
    EXPECT_EQ(iniView.focus.last(), "Cod_articol");
    items.setValue("Cod_articol", "GUMA");
    items.setValue("Cantitate", 2.0);
    items.setValue("Pret_achizitie_lei", 1.0);
    items.post();
    QStringList numbers;
    datastore::Query q = db.query("SELECT Cod_gestiune, Contor_secundar FROM ITEM_IN WHERE Contor = -1 ORDER BY Contor_secundar");
    while (q.next())
        numbers << q.value(0).toString() + QString::number(q.value(1).toInt());
    EXPECT_EQ(numbers, (QStringList{"B1", "A2", "A3"}));
    EXPECT_EQ(items.recordCount(), 2); // only the selected warehouse's lines
    ASSERT_TRUE(ini().selectWarehouse("B"));
    EXPECT_EQ(items.recordCount(), 1);
}

TEST_F(IniStock, AnIncompleteLineOrAnUnknownArticleIsRefused)
{
    struct Case {
        const char* what;
        QVariantHash values;
        QString message;
    };
    const QString incomplete = stock::TIniStockFormLogic::kIncompleteLine;
    const Case cases[] = {
        {"no article", {{"Cod_grupa", "G"}, {"Cantitate", 1.0}, {"Pret_achizitie_lei", 1.0}}, incomplete},
        {"no quantity", {{"Cod_grupa", "G"}, {"Cod_articol", "ART"}, {"Pret_achizitie_lei", 1.0}}, incomplete},
        {"no price", {{"Cod_grupa", "G"}, {"Cod_articol", "ART"}, {"Cantitate", 1.0}}, incomplete},
        {"no group", {{"Cod_articol", "ART"}, {"Cantitate", 1.0}, {"Pret_achizitie_lei", 1.0}}, incomplete},
        {"not in the catalog", {{"Cod_grupa", "G"}, {"Cod_articol", "NIX"}},
         "Articolul <G.NIX> nu exista în catalog! Apasati CTRL-ENTER pentru a introduce articolul în catalog!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        dialogs.clear();
        datastore::Dataset& items = ini().items;
        items.append();
        items.setValue("Cod_grupa", QVariant());
        try {
            for (const char* f : {"Cod_grupa", "Cod_articol", "Cantitate", "Pret_achizitie_lei"})
                if (c.values.contains(QLatin1String(f)))
                    items.setValue(QLatin1String(f), c.values.value(QLatin1String(f)));
            items.post();
        } catch (const datastore::Abort&) {
        }
        EXPECT_EQ(dialogs.last().text, c.message);
        EXPECT_EQ(dialogs.last().icon, common::Icon::Warning);
        EXPECT_TRUE(items.isEditing());
        items.cancel();
        EXPECT_EQ(count("SELECT COUNT(*) FROM ITEM_IN"), 0);
        EXPECT_EQ(count("SELECT COUNT(*) FROM STOC"), 0);
    }
    // A known article takes its goods account from the catalog.
    ASSERT_TRUE(addInitial("ART", 1, 1));
    EXPECT_EQ(ini().items.value("Cont_marfa").toString(), "302");
}

// Each change moves the stock at once, never refused: the worked cases.
TEST_F(IniStock, EachChangeMovesTheStock)
{
    receipt({{"ART", 10, 5}});
    ASSERT_TRUE(ini().selectWarehouse("A"));
    ASSERT_TRUE(addInitial("ART", 5, 5));
    EXPECT_EQ(stockAt("A", "ART", 5), 15);
    EXPECT_EQ(iniView.progress.mid(iniView.progress.size() - 2), (QStringList{" Actualizez stocurile...", " OK."}));

    // 5 -> 8 at the same key adds 3.
    ASSERT_TRUE(changeInitial(0, {{"Cantitate", 8.0}}));
    EXPECT_EQ(stockAt("A", "ART", 5), 18);
    // A change of price moves 8 out of the old row and 8 into the new one.
    ASSERT_TRUE(changeInitial(0, {{"Pret_achizitie_lei", 6.0}}));
    EXPECT_EQ(stockAt("A", "ART", 5), 10);
    EXPECT_EQ(stockAt("A", "ART", 6), 8);
    // Price and quantity together: 8 out at 6, 5 in at 5.
    ASSERT_TRUE(changeInitial(0, {{"Pret_achizitie_lei", 5.0}, {"Cantitate", 5.0}}));
    EXPECT_EQ(stockAt("A", "ART", 5), 15);
    EXPECT_EQ(count("SELECT COUNT(*) FROM STOC WHERE Pret_achizitie = 6"), 0);
    // Nothing changed, nothing done.
    iniView.progress.clear();
    ASSERT_TRUE(changeInitial(0, {{"Cantitate", 5.0}}));
    EXPECT_TRUE(iniView.progress.isEmpty());
    // A negative initial quantity is taken as it is, even below zero.
    ASSERT_TRUE(addInitial("PIX", -4, 1));
    EXPECT_EQ(stockAt("A", "PIX", 1), -4);
    // A lot is part of the key.
    parameters.CLot = true;
    ASSERT_TRUE(addInitial("GUMA", 2, 1, "L7"));
    EXPECT_EQ(db.scalar("SELECT Cantitate FROM STOC WHERE Cod_articol = 'GUMA' AND Lot = 'L7'").toDouble(), 2);
    // Deleting a line gives its quantity back.
    ini().items.moveTo(0);
    ASSERT_TRUE(ini().deleteLine());
    EXPECT_EQ(stockAt("A", "ART", 5), 10);
    EXPECT_TRUE(ledgerMatchesDocuments());
}

// The rule of every posting window: a line being edited is given back as the
// stock holds it (as it was when its editing began), not with the values
// typed since, which never reached the stock.
TEST_F(IniStock, DeletingALineBeingEditedGivesBackWhatTheStockHolds)
{
    struct Case {
        const char* what;
        QVariantHash typed;
    };
    const Case cases[] = {
        {"another quantity", {{"Cantitate", 8.0}}},
        {"another price", {{"Pret_achizitie_lei", 6.0}}},
        {"another article", {{"Cod_articol", "PIX"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(addInitial("ART", 5, 5));
        ASSERT_EQ(stockAt("B", "ART", 5), 5);
        datastore::Dataset& items = ini().items;
        items.edit();
        for (auto it = c.typed.cbegin(); it != c.typed.cend(); ++it)
            items.setValue(it.key(), it.value());
        ASSERT_TRUE(ini().deleteLine());
        EXPECT_EQ(count("SELECT COUNT(*) FROM ITEM_IN"), 0);
        EXPECT_EQ(count("SELECT COUNT(*) FROM STOC"), 0) << "stock rows left behind";
        EXPECT_TRUE(ledgerMatchesDocuments());
    }
    // A new line not yet written is only dropped; with no line there is nothing to delete.
    ini().insertLine();
    EXPECT_TRUE(ini().deleteLine());
    EXPECT_FALSE(ini().deleteLine());
}

TEST_F(IniStock, TheReferenceCurrencyPriceAndTheVat)
{
    db.exec("INSERT INTO \"Curs.db\" (Valuta, Data, Curs) VALUES ('USD', '2020-01-01', 4.0), ('USD', '2021-01-01', 5.0)");
    datastore::Dataset& items = ini().items;

    // No date in the header yet: no rate to divide by.
    items.append();
    items.setValue("Cod_grupa", "G");
    items.setValue("Cod_articol", "ART");
    items.setValue("Pret_achizitie_lei", 20.0);
    EXPECT_TRUE(items.isNull("Pret_echiv_USD"));
    items.cancel();

    ini().header.edit();
    ini().header.setValue("Data", QDate(2020, 6, 1));
    struct Case {
        const char* what;
        bool calcTva;
        bool roundTva;
        double price;
        double quantity;
        double usd;
        double vat;
    };
    const Case cases[] = {
        {"rounded to lei", false, true, 10, 3, 2.5, 6},     // 19% of 30 = 5.70 -> 6
        {"not rounded", false, false, 10, 3, 2.5, 5.7},
        {"only invoices carry VAT", true, true, 10, 3, 2.5, 0},
        {"halves to the even cent", false, false, 0.25, 1, 0.0625, 0.05}, // 19 x 0.25 = 4.75 -> 5 cents
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        parameters.calcTva = c.calcTva;
        parameters.roundTva = c.roundTva;
        items.append();
        items.setValue("Cod_grupa", "G");
        items.setValue("Cod_articol", "ART");
        items.setValue("Cantitate", c.quantity);
        items.setValue("Pret_achizitie_lei", c.price);
        EXPECT_DOUBLE_EQ(items.value("Pret_echiv_USD").toDouble(), c.usd);
        EXPECT_DOUBLE_EQ(items.value("TVA").toDouble(), c.vat);
        items.cancel();
    }
    // The rate of the header's date: a later date, a later rate.
    ini().header.setValue("Data", QDate(2021, 3, 1));
    ASSERT_TRUE(addInitial("PIX", 1, 20));
    EXPECT_DOUBLE_EQ(ini().items.value("Pret_echiv_USD").toDouble(), 4);
    EXPECT_EQ(ini().currencyPriceTitle(), "Pret echivalent USD");
}

TEST_F(IniStock, PickingArticles)
{
    ASSERT_TRUE(addInitial("ART", 1, 5));
    // One article fills the current line; the cursor goes to the quantity.
    catalogs::ArticlePick one;
    one.current = pickedArticle("G", "PIX");
    iniView.picks.push_back(one);
    ini().insertLine();
    ini().pickInColumn("Cod_articol");
    EXPECT_EQ(ini().items.value("Cod_articol").toString(), "PIX");
    EXPECT_EQ(ini().items.value("Cont_marfa").toString(), "302");
    EXPECT_EQ(iniView.focus.last(), "Cantitate");
    ini().items.cancel();
    // Other columns have no picker.
    iniView.picks.push_back(one);
    ini().pickInColumn("Cantitate");
    EXPECT_EQ(iniView.picks.size(), 1u);
    iniView.picks.clear();

    // Several: one line each, in the selected warehouse, without stock until completed.
    db.exec("INSERT INTO ITEM_IN (Contor, Contor_secundar, Cod_gestiune, Cod_grupa, Cod_articol) VALUES (-1, 2, 'A', 'G', 'ART')");
    catalogs::ArticlePick several;
    several.selected = {pickedArticle("G", "PIX"), pickedArticle("G", "GUMA")};
    iniView.picks.push_back(several);
    iniView.progress.clear();
    ini().items.first();
    ini().pickInColumn("Cod_grupa");
    QStringList lines;
    datastore::Query q = db.query("SELECT Contor_secundar, Cod_gestiune, Cod_articol FROM ITEM_IN WHERE Contor = -1 ORDER BY Contor_secundar");
    while (q.next())
        lines << QString::number(q.value(0).toInt()) + q.value(1).toString() + u':' + q.value(2).toString();
    EXPECT_EQ(lines.join(u' '), "1B:ART 2A:ART 3B:PIX 4B:GUMA");
    EXPECT_EQ(iniView.progress, (QStringList{"Inserez articolele selectate...", " OK."}));
    EXPECT_EQ(ini().items.value("Contor_secundar").toDouble(), 1); // back on the line that was current
    EXPECT_EQ(count("SELECT COUNT(*) FROM STOC"), 1);
    ASSERT_TRUE(changeInitial(1, {{"Cantitate", 3.0}, {"Pret_achizitie_lei", 2.0}}));
    EXPECT_EQ(stockAt("B", "PIX", 2), 3);
}

TEST_F(IniStock, Hints)
{
    ASSERT_TRUE(addInitial("ART", 1, 5));
    EXPECT_EQ(ini().columnHint("Cod_grupa"), "Apasati CTRL-ENTER pentru a selecta articolul din catalog!");
    EXPECT_EQ(ini().columnHint("Cod_articol"), "Apasati CTRL-ENTER pentru a selecta articolul din catalog!");
    EXPECT_EQ(ini().columnHint("Cantitate"), "Specificati stocul initial pentru articolul Hartie A4!");
    EXPECT_EQ(ini().columnHint("Pret_achizitie_lei"),
              "Specificati pretul de achizitie la care se gaseste în stoc articolul Hartie A4!");
    EXPECT_EQ(ini().columnHint("TVA"), "...");
}

TEST_F(IniStock, ClosingWritesWhatIsPendingOrStaysOpen)
{
    ini().header.edit();
    ini().header.setValue("Data", QDate(2025, 12, 31));
    ini().items.append();
    ini().items.setValue("Cod_grupa", "G");
    ini().items.setValue("Cod_articol", "ART");
    ini().items.setValue("Cantitate", 2.0);
    EXPECT_FALSE(ini().close()); // no price: refused, the window stays
    EXPECT_EQ(dialogs.last().text, stock::TIniStockFormLogic::kIncompleteLine);
    ini().items.setValue("Pret_achizitie_lei", 3.0);
    EXPECT_TRUE(ini().close());
    EXPECT_EQ(db.scalar("SELECT Data FROM DOC_IN WHERE Contor = -1").toDate(), QDate(2025, 12, 31));
    EXPECT_EQ(stockAt("B", "ART", 3), 2);
}

TEST_F(IniStock, TablesThatCannotBeOpenedCloseTheWindow)
{
    db.dropTable("Item_in.DB");
    stock::TIniStockFormLogic logic(db, parameters, formats, dialogs, iniView);
    EXPECT_FALSE(logic.open());
    EXPECT_EQ(dialogs.last().icon, common::Icon::Error);
    EXPECT_TRUE(dialogs.last().text.startsWith("Eroare de acces la datele stocurilor initiale!\r<")) << dialogs.last().text.toStdString();
    EXPECT_TRUE(dialogs.last().text.endsWith(">"));
}

// ---- the window ------------------------------------------------------------------------

class IniStockForm : public IniStock {
protected:
    std::unique_ptr<stock::TIniStockForm> openWindow()
    {
        stock::IniStockContext context{db, dialogs, formats, parameters, dir.path() + u'/', {}};
        auto form = std::make_unique<stock::TIniStockForm>(std::move(context));
        EXPECT_TRUE(form->prepare());
        return form;
    }
    bool columnShown(stock::TIniStockForm& form, const QString& field)
    {
        const int c = form.lineGrid()->datasetModel()->columnOf(field);
        return c >= 0 && !form.lineGrid()->isColumnHidden(c);
    }
};

TEST_F(IniStockForm, ColumnsSelectorAndLayoutFile)
{
    parameters.CVal = "EUR";
    auto form = openWindow();
    EXPECT_EQ(form->windowTitle(), "Stocuri initiale");
    ui::DatasetModel* model = form->lineGrid()->datasetModel();
    EXPECT_EQ(model->headerData(model->columnOf("Pret_echiv_USD"), Qt::Horizontal).toString(), "Pret echivalent EUR");
    EXPECT_EQ(model->headerData(model->columnOf("Pret_achizitie_lei"), Qt::Horizontal).toString(), "Pret achizitie lei");
    EXPECT_FALSE(columnShown(*form, "Lot"));
    EXPECT_FALSE(columnShown(*form, "Contor_secundar"));
    EXPECT_FALSE(columnShown(*form, "Cod_gestiune"));
    EXPECT_TRUE(columnShown(*form, "Buget"));
    EXPECT_EQ(form->warehouseSelector()->count(), 2);
    EXPECT_EQ(form->warehouseSelector()->currentText(), "Depozit");

    // Choosing another warehouse shows its lines.
    db.exec("INSERT INTO ITEM_IN (Contor, Contor_secundar, Cod_gestiune, Cod_grupa, Cod_articol, Cantitate, "
            "Pret_achizitie_lei) VALUES (-1, 1, 'A', 'G', 'ART', 3, 2)");
    form->warehouseSelector()->setCurrentIndex(1);
    emit form->warehouseSelector()->activated(1);
    EXPECT_EQ(form->logic().warehouse(), "A");
    EXPECT_EQ(form->logic().items.recordCount(), 1);

    form->close();
    EXPECT_TRUE(QFile::exists(dir.path() + "/iniStock.cfg"));
    // With lots the column shows, whatever the saved layout says.
    parameters.CLot = true;
    auto again = openWindow();
    EXPECT_TRUE(columnShown(*again, "Lot"));
    again->close();
}

TEST_F(IniStockForm, Screenshot)
{
    parameters.CLot = true;
    db.exec("INSERT INTO \"Client.DB\" (Cod_client, Nume_client) VALUES ('BL', 'Buget local')");
    db.exec("INSERT INTO \"Curs.db\" (Valuta, Data, Curs) VALUES ('USD', '2025-12-31', 4.35)");
    ini().header.edit();
    ini().header.setValue("Data", QDate(2025, 12, 31));
    ini().header.post();
    ASSERT_TRUE(ini().selectWarehouse("A"));
    ASSERT_TRUE(addInitial("ART", 120, 21.5, "L2025-01"));
    ASSERT_TRUE(addInitial("PIX", 340, 1.2));
    ASSERT_TRUE(addInitial("GUMA", 85, 0.8));
    ASSERT_TRUE(changeInitial(2, {{"Agent", "BL"}}));
    ini().close();

    auto window = openWindow();
    window->warehouseSelector()->setCurrentIndex(1);
    emit window->warehouseSelector()->activated(1);
    window->resize(1230, 300);
    window->show();
    QApplication::processEvents();
    EXPECT_EQ(window->logic().items.recordCount(), 3);
    EXPECT_EQ(window->dateEdit()->text(), "31.12.2025");
    EXPECT_TRUE(testsupport::saveShot(*window, QStringLiteral("initial_stock.png")));
    window->close();
}

} // namespace
