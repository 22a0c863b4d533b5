// The input documents window: documents and their checks, line values, the
// stock, the purchase-order balance, serial rows and the commands of the menu.

#include "docintest.h"

#include "stock/serials.h"

#include <cfenv>

using stock::TDocInFormLogic;
using namespace stocktest;

namespace {

class DocIn : public DocInFixture {};

// ---- documents -------------------------------------------------------------------

TEST_F(DocIn, NewDocumentTakesTheNextCounterAndTheDefaults)
{
    parameters.CAutoLot = true;
    // An empty list starts a new document at once.
    datastore::Dataset& docs = form().docs;
    ASSERT_EQ(docs.state(), datastore::DatasetState::Insert);
    EXPECT_EQ(docs.value("Contor").toDouble(), 1);
    EXPECT_EQ(docs.value("Numar").toDouble(), 1); // numbered as its counter
    EXPECT_EQ(docs.value("Tip").toString(), "NR");
    EXPECT_EQ(docs.value("Data_inregistrarii").toDate(), kToday);
    EXPECT_EQ(docs.value("Data").toDate(), kToday);
    EXPECT_TRUE(view.focus.contains("header:Data_inregistrarii"));

    // The registration date of the last written document is the next default.
    docs.setValue("Data_inregistrarii", kToday.addDays(-3));
    docs.setValue("Data", kToday.addDays(-3));
    ASSERT_TRUE(addLine("ART", 1, 10));
    docs.edit();
    docs.setValue("Explicatie", "Factura furnizor");
    form().newDocument(); // saves the current one after the question
    EXPECT_EQ(dialogs.last().text, TDocInFormLogic::kSaveCurrent);
    EXPECT_EQ(docs.value("Contor").toDouble(), 2);
    EXPECT_EQ(docs.value("Data_inregistrarii").toDate(), kToday.addDays(-3));
}

TEST_F(DocIn, NewDocumentCancelledAtTheQuestionKeepsTheCurrentOne)
{
    form();
    fillHeader();
    ASSERT_TRUE(addLine("ART", 1, 10));
    form().docs.edit();
    form().docs.setValue("Explicatie", "de pastrat");
    dialogs.queueAnswer(common::Answer::Cancel);
    form().newDocument();
    EXPECT_EQ(form().docs.value("Contor").toDouble(), 1);
    EXPECT_EQ(form().docs.state(), datastore::DatasetState::Edit);
    EXPECT_EQ(counterIn(), 1);
}

TEST_F(DocIn, HeaderChecksRefuseAndKeepTheStoredHeader)
{
    struct Case {
        const char* field;
        QVariant value;
        QString message; // empty: accepted
    };
    const QList<Case> cases{
        {"Tip", QVariant(), TDocInFormLogic::kMissingType},
        {"Numar", QVariant(), TDocInFormLogic::kMissingDates},
        {"Data_inregistrarii", QVariant(), TDocInFormLogic::kMissingDates},
        {"Data", QVariant(), TDocInFormLogic::kMissingDates},
        {"Data", kToday.addDays(1), TDocInFormLogic::kDateAfterRegistration},
        {"Data", kToday, {}},
        {"Data", kToday.addDays(-10), {}},
    };
    form();
    fillHeader();
    ASSERT_TRUE(addLine("ART", 1, 10));
    ASSERT_TRUE(form().saveDocument());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.field);
        dialogs.clear();
        datastore::Dataset& docs = form().docs;
        docs.edit();
        docs.setValue(QString::fromLatin1(c.field), c.value);
        const bool saved = form().saveDocument();
        EXPECT_EQ(saved, c.message.isEmpty());
        if (!c.message.isEmpty()) {
            EXPECT_EQ(dialogs.last().text, c.message);
            EXPECT_TRUE(docs.isEditing()); // the cursor stays in the header
            docs.cancel();
        }
        EXPECT_EQ(count("SELECT COUNT(*) FROM DOC_IN WHERE Tip = 'FCT' AND Numar = 1 AND Data_inregistrarii IS NOT NULL "
                        "AND Data <= Data_inregistrarii"),
                  1);
    }
}

TEST_F(DocIn, ADocumentNeedsLines)
{
    form();
    fillHeader();
    EXPECT_FALSE(form().saveDocument());
    EXPECT_EQ(dialogs.last().text, TDocInFormLogic::kNoLines);
    EXPECT_EQ(count("SELECT COUNT(*) FROM DOC_IN"), 0);

    // The header is written as its first line begins; the line makes it whole.
    ASSERT_TRUE(addLine("ART", 2, 10));
    EXPECT_TRUE(form().saveDocument());
    EXPECT_EQ(count("SELECT COUNT(*) FROM DOC_IN"), 1);
}

TEST_F(DocIn, ClosingDropsAnUntouchedNewDocumentAndGivesItsCounterBack)
{
    form();
    EXPECT_EQ(counterIn(), 1);
    EXPECT_TRUE(form().close());
    EXPECT_EQ(counterIn(), 0);
    EXPECT_EQ(count("SELECT COUNT(*) FROM DOC_IN"), 0);
}

TEST_F(DocIn, AnEmptyDocumentAmongOthersKeepsTheWindowOpen)
{
    receipt({{"ART", 1, 10}});
    form().newDocument();
    fillHeader(QStringLiteral("NR"), 2);
    // A line begun and given up: the header was written, the line was not.
    form().items.append();
    form().items.cancel();
    ASSERT_EQ(count("SELECT COUNT(*) FROM DOC_IN"), 2);
    dialogs.queueAnswer(common::Answer::Cancel);
    EXPECT_FALSE(form().close()); // the user goes on completing it
    EXPECT_EQ(dialogs.texts().mid(dialogs.texts().size() - 2),
              QStringList({TDocInFormLogic::kNoLines, TDocInFormLogic::kDeleteCurrent}));
    // Deleted, it lets the window close.
    EXPECT_TRUE(form().close());
    EXPECT_EQ(count("SELECT COUNT(*) FROM DOC_IN"), 1);
    EXPECT_EQ(counterIn(), 1);

    // A new document left without lines among others: the same question.
    reopen();
    form().newDocument();
    EXPECT_EQ(counterIn(), 2);
    EXPECT_TRUE(form().close());
    EXPECT_EQ(counterIn(), 1);
    EXPECT_EQ(count("SELECT COUNT(*) FROM DOC_IN"), 1);
}

TEST_F(DocIn, DeletingTheNewestDocumentGivesItsCounterBack)
{
    const double first = receipt({{"ART", 1, 10}});
    const double second = receipt({{"ART", 2, 10}});
    ASSERT_EQ(second, first + 1);
    form().deleteDocument();
    EXPECT_EQ(dialogs.last().text, TDocInFormLogic::kDeleteCurrent);
    EXPECT_EQ(counterIn(), first);
    form().newDocument();
    EXPECT_EQ(form().docs.value("Contor").toDouble(), second); // the same counter again
    form().cancelDocument();

    // An older one does not.
    receipt({{"ART", 3, 10}});
    form().docs.first();
    form().deleteDocument();
    EXPECT_EQ(counterIn(), second);
    EXPECT_TRUE(ledgerMatchesDocuments());
}

TEST_F(DocIn, DeletingADocumentIsAllOrNothing)
{
    receipt({{"ART", 5, 10}, {"PIX", 4, 2}, {"ART", 3, 12}});
    // Part of the second price was issued: that line cannot be given back.
    ASSERT_TRUE(issue(12, 2));
    stock::SyncSerialRows(db, {}, {form().docs.value("Contor").toDouble(), 2, "G", "PIX", true, 4});
    const QStringList stockBefore = stockRows();

    form().deleteDocument();
    EXPECT_EQ(dialogs.last().text.left(20), stock::Ledger::kNegativeStock.left(20));
    EXPECT_EQ(stockRows(), stockBefore);
    EXPECT_EQ(count("SELECT COUNT(*) FROM ITEM_IN"), 3);
    EXPECT_EQ(count("SELECT COUNT(*) FROM DOC_IN"), 1);
    EXPECT_EQ(count("SELECT COUNT(*) FROM \"Serie.db\""), 4);
    EXPECT_EQ(counterIn(), 1);

    // With the output gone, the whole document goes with its rows.
    outLines.remove();
    form().deleteDocument();
    EXPECT_EQ(count("SELECT COUNT(*) FROM ITEM_IN"), 0);
    EXPECT_EQ(count("SELECT COUNT(*) FROM DOC_IN"), 0);
    EXPECT_EQ(count("SELECT COUNT(*) FROM \"Serie.db\""), 0);
    EXPECT_EQ(count("SELECT COUNT(*) FROM STOC"), 0);
}

// ---- line values -----------------------------------------------------------------------

TEST_F(DocIn, PricesAndVat)
{
    struct Case {
        const char* name;
        bool netPrice;      // CPretFaraTva: the price is typed without VAT
        bool roundTva;
        bool calcTva;
        const char* type;
        double quantity;
        double price;       // the price typed (net when netPrice)
        double lei;         // Pret_achizitie_lei
        double vat;         // TVA
    };
    const QList<Case> cases{
        {"net price 100 at 19%", true, false, false, "FCT", 1, 100, 119, 19},
        {"net price: VAT on the net price", true, false, false, "FCT", 3, 100, 119, 57},
        {"3 x 33.33 at 19%", false, false, false, "FCT", 3, 33.33, 33.33, 19.00},
        {"3 x 33.33 with Round TVA", false, true, false, "FCT", 3, 33.33, 33.33, 19},
        {"halves go to the even neighbour", false, false, false, "FCT", 1, 12.5, 12.5, 2.38},
        {"Round TVA makes it whole", false, true, false, "FCT", 3, 33.5, 33.5, 19},
        {"Calc TVA and a receipt note", false, false, true, "NR", 2, 10, 10, 0},
        {"Calc TVA and an invoice", false, false, true, "FCT", 2, 10, 10, 3.8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        parameters.CPretFaraTva = c.netPrice;
        parameters.roundTva = c.roundTva;
        parameters.calcTva = c.calcTva;
        reopen();
        form().newDocument();
        fillHeader(QString::fromLatin1(c.type));
        const QVariantHash more = c.netPrice ? QVariantHash{{"Pret_achizitie_valuta", c.price}, {"Pret_achizitie_lei", QVariant()}}
                                             : QVariantHash{};
        ASSERT_TRUE(addLine("ART", c.quantity, c.price, more)) << dialogs.last().text.toStdString();
        EXPECT_DOUBLE_EQ(form().items.value("Pret_achizitie_lei").toDouble(), c.lei);
        EXPECT_NEAR(form().items.value("TVA").toDouble(), c.vat, 1e-9);
        form().saveDocument();
    }
}

TEST_F(DocIn, ValueModeSetsThePrice)
{
    parameters.CValEdit = true;
    datastore::Dataset& items = startLine();
    items.setValue("Cod_grupa", "G");
    items.setValue("Cod_articol", "ART");
    // No quantity yet: the value is refused and goes back to 0; no price is made.
    EXPECT_THROW(items.setValue("Pret_echiv_USD", 90.0), datastore::Abort);
    EXPECT_EQ(dialogs.last().text, TDocInFormLogic::kValueBeforeQuantity);
    EXPECT_FALSE(items.isNull("Pret_echiv_USD"));
    EXPECT_EQ(items.value("Pret_echiv_USD").toDouble(), 0);
    EXPECT_TRUE(items.isNull("Pret_achizitie_lei"));
    items.setValue("Cantitate", 3.0);
    items.setValue("Pret_echiv_USD", 90.0);
    EXPECT_DOUBLE_EQ(items.value("Pret_achizitie_lei").toDouble(), 30);
    items.setValue("Pret_echiv_USD", 0.0); // ignored
    EXPECT_DOUBLE_EQ(items.value("Pret_achizitie_lei").toDouble(), 30);
    items.post();
    EXPECT_DOUBLE_EQ(stockOf("ART", 30), 3);
}

TEST_F(DocIn, ChoosingTheArticle)
{
    parameters.CGetPret = true;
    datastore::Dataset& items = startLine();
    items.setValue("Cod_grupa", "G");
    EXPECT_THROW(items.setValue("Cod_articol", "NUEXISTA"), datastore::Abort);
    EXPECT_EQ(dialogs.last().text, TDocInFormLogic::kNotInCatalog.arg("G", "NUEXISTA"));
    EXPECT_TRUE(items.isNull("Cod_articol"));

    items.setValue("Cod_articol", "ART");
    EXPECT_EQ(items.value("Pret_achizitie_lei").toDouble(), 5); // the catalog's price
    EXPECT_EQ(items.value("Cont_marfa").toString(), "302");
    EXPECT_EQ(items.value("Cont_TVA_Intrari").toString(), "4426");
    EXPECT_EQ(items.value("Valuta").toString(), "LEI");
    EXPECT_EQ(items.value("Denumire").toString(), "Hartie A4");
    EXPECT_EQ(items.value("UM").toString(), "top");

    EXPECT_THROW(items.setValue("Cont_marfa", "371.1.2.3"), datastore::Abort);
    EXPECT_EQ(dialogs.last().text, TDocInFormLogic::kBadAccount);
    EXPECT_EQ(items.value("Cont_marfa").toString(), "302");
}

TEST_F(DocIn, BarCodeEntry)
{
    parameters.CodBare = true;
    datastore::Dataset& items = startLine();
    EXPECT_EQ(view.focus.last(), "line:Cod_bare");
    items.setValue("Cod_bare", "5940002");
    EXPECT_EQ(items.value("Cod_articol").toString(), "PIX");
    EXPECT_EQ(view.focus.last(), "line:Cantitate");
    items.setValue("Cod_bare", "77");
    EXPECT_EQ(dialogs.last().text, TDocInFormLogic::kBarCodeUnknown);
    EXPECT_EQ(view.focus.last(), "line:Cod_grupa");
    // A bar code with wildcard characters is a text like any other.
    items.setValue("Cod_bare", "%");
    EXPECT_EQ(dialogs.last().text, TDocInFormLogic::kBarCodeUnknown);
}

TEST_F(DocIn, AutomaticLots)
{
    parameters.CLot = true;
    parameters.CAutoLot = true;
    auto lotOfNewLine = [&](QDate registered) {
        form().newDocument();
        fillHeader(QStringLiteral("NR"), 1, registered);
        EXPECT_TRUE(addLine("ART", 1, 10));
        const QString lot = form().items.value("Lot").toString();
        form().saveDocument();
        return lot;
    };
    form();
    EXPECT_EQ(lotOfNewLine(kToday.addDays(-5)), ""); // the first receipt has none
    // Lots given by hand on an earlier day.
    form().newDocument();
    fillHeader(QStringLiteral("NR"), 1, kToday.addDays(-4));
    ASSERT_TRUE(addLine("ART", 1, 10, {{"Lot", "7"}}));
    form().saveDocument();
    EXPECT_EQ(lotOfNewLine(kToday.addDays(-3)), "8");
    // The same day does not see its own lots: "8" was given on that day.
    form().newDocument();
    fillHeader(QStringLiteral("NR"), 2, kToday.addDays(-3));
    ASSERT_TRUE(addLine("ART", 1, 10));
    EXPECT_EQ(form().items.value("Lot").toString(), "8");
    form().saveDocument();
    // Lots compare as numbers: after "9" and "10" comes "11", not "10" again.
    form().newDocument();
    fillHeader(QStringLiteral("NR"), 3, kToday.addDays(-2));
    ASSERT_TRUE(addLine("ART", 1, 10, {{"Lot", "9"}}));
    ASSERT_TRUE(addLine("ART", 1, 10, {{"Lot", "10"}}));
    ASSERT_TRUE(addLine("ART", 1, 10, {{"Lot", "X-1"}}));
    form().saveDocument();
    EXPECT_EQ(lotOfNewLine(kToday), "11");
}

TEST_F(DocIn, ALineNeedsItsData)
{
    datastore::Dataset& items = startLine();
    items.setValue("Cod_grupa", "G");
    items.setValue("Cod_articol", "ART");
    items.setValue("Cantitate", 2.0);
    EXPECT_THROW(items.post(), datastore::Abort); // no price
    EXPECT_EQ(dialogs.last().text, TDocInFormLogic::kIncompleteLine);
    EXPECT_EQ(count("SELECT COUNT(*) FROM ITEM_IN"), 0);
    EXPECT_EQ(count("SELECT COUNT(*) FROM STOC"), 0);
    items.setValue("Pret_achizitie_lei", 4.0);

    // With budgets in the catalog a line needs one.
    db.exec("INSERT INTO \"Client.DB\" (Cod_client, Nume_client) VALUES ('B1', 'Buget local'), ('BUG01', 'Buget lung')");
    EXPECT_THROW(items.post(), datastore::Abort);
    EXPECT_EQ(dialogs.last().text, TDocInFormLogic::kIncompleteLine);

    // A budget whose code the line cannot hold is refused: "BUG01" and
    // "BUG02" would both be stored as "BUG" and share their stock.
    EXPECT_THROW(form().setLineBudget("BUG01"), datastore::Abort);
    EXPECT_EQ(dialogs.last().text, TDocInFormLogic::kBudgetTooLong.arg("BUG01").arg(3));
    EXPECT_THROW(form().budgetCodeOf("Buget lung"), datastore::Abort);
    EXPECT_TRUE(items.isNull("Agent"));
    view.budgets.push_back("BUG01");
    form().pickInColumn("Buget");
    EXPECT_TRUE(items.isNull("Agent"));

    EXPECT_EQ(form().budgetCodeOf("Buget local").toString(), "B1");
    form().setLineBudget("B1");
    items.post();
    EXPECT_EQ(items.value("Buget").toString(), "Buget local");
    EXPECT_EQ(db.scalar("SELECT Agent FROM STOC").toString(), "B1");
}

// ---- the stock ---------------------------------------------------------------------------

TEST_F(DocIn, TheStockFollowsTheLines)
{
    form();
    fillHeader();
    ASSERT_TRUE(addLine("ART", 10, 5));
    ASSERT_TRUE(addLine("ART", 4, 6)); // the same article at a second price
    ASSERT_TRUE(addLine("PIX", 20, 1.5));
    ASSERT_TRUE(addLine("GUMA", 7, 0.5));
    ASSERT_TRUE(addLine("PIX", 5, 1.5)); // the same key again
    EXPECT_TRUE(form().saveDocument());
    EXPECT_DOUBLE_EQ(stockOf("ART", 5), 10);
    EXPECT_DOUBLE_EQ(stockOf("ART", 6), 4);
    EXPECT_DOUBLE_EQ(stockOf("PIX", 1.5), 25);
    EXPECT_TRUE(ledgerMatchesDocuments());

    ASSERT_TRUE(changeLine(1, "Pret_achizitie_lei", 6.5)); // moves to another key
    ASSERT_TRUE(changeLine(2, "Cantitate", 18.0));
    form().items.moveTo(3);
    EXPECT_TRUE(form().deleteLine());
    EXPECT_DOUBLE_EQ(stockOf("ART", 6), 0);
    EXPECT_DOUBLE_EQ(stockOf("ART", 6.5), 4);
    EXPECT_DOUBLE_EQ(stockOf("PIX", 1.5), 23);
    EXPECT_DOUBLE_EQ(stockOf("GUMA", 0.5), 0);
    EXPECT_TRUE(ledgerMatchesDocuments());

    // Line numbers: the largest of the document plus 1.
    ASSERT_TRUE(addLine("GUMA", 1, 0.5));
    EXPECT_EQ(form().items.value("Contor_secundar").toDouble(), 6);
    EXPECT_EQ(form().items.value("Cod_gestiune").toString(), "A");
}

TEST_F(DocIn, ReducingALineWhoseGoodsWereIssuedIsRefused)
{
    receipt({{"ART", 5, 10}});
    ASSERT_TRUE(issue(10, 4));
    EXPECT_FALSE(changeLine(0, "Cantitate", 2.0));
    form().items.cancel();
    EXPECT_FALSE(form().deleteLine());
    EXPECT_DOUBLE_EQ(stockOf("ART", 10), 1);
    EXPECT_EQ(count("SELECT COUNT(*) FROM ITEM_IN WHERE Cantitate = 5"), 1);
    EXPECT_TRUE(ledgerMatchesDocuments());
}

// ---- purchase orders ---------------------------------------------------------------------

class DocInOrders : public DocInFixture {
protected:
    void SetUp() override
    {
        DocInFixture::SetUp();
        parameters.CCom = true;
        db.exec("INSERT INTO \"Doc_Com.Db\" (Contor, Numar, Data, Cod_Furnizor) VALUES (50, 7, '2026-03-01', 'S1'), "
                "(51, 8, '2026-03-02', 'S1')");
        db.exec("INSERT INTO \"Stoc_Com.DB\" (Contor, Cod_grupa, Cod_articol, Cod_furnizor, Cant_solicitata, Cant_anulata) "
                "VALUES (50, 'G', 'ART', 'S1', 10, 0), (51, 'G', 'ART', 'S1', 3, 0)");
    }
    QString orders()
    {
        QStringList rows;
        datastore::Query q = db.query("SELECT Contor, Cant_solicitata, Cod_furnizor FROM \"Stoc_Com.DB\" ORDER BY Contor");
        while (q.next())
            rows << QStringLiteral("%1:%2:%3").arg(q.value(0).toInt()).arg(q.value(1).toDouble()).arg(q.value(2).toString());
        return rows.join(u' ');
    }
};

TEST_F(DocInOrders, ReceiptsLowerTheOrderBalance)
{
    form();
    fillHeader();
    ASSERT_TRUE(addLine("ART", 6, 5, {{"Contor_Com", 50}}));
    EXPECT_EQ(orders(), "50:4:S1 51:3:S1");
    EXPECT_EQ(form().items.value("Comanda").toString(), "7/01.03.2026");
    ASSERT_TRUE(addLine("ART", 4, 5, {{"Contor_Com", 50}}));
    EXPECT_EQ(orders(), "51:3:S1"); // received in full
    EXPECT_TRUE(form().deleteLine());
    EXPECT_EQ(orders(), "50:4:S1 51:3:S1"); // re-created with the supplier of the order

    // More than ordered: the line, its stock and the order stay as they were.
    const QStringList stockBefore = stockRows();
    EXPECT_FALSE(addLine("ART", 5, 5, {{"Contor_Com", 50}}));
    EXPECT_EQ(dialogs.last().text, stock::OrderBalance::kMoreThanOrdered);
    EXPECT_EQ(view.focus.last(), "line:Cantitate");
    EXPECT_EQ(orders(), "50:4:S1 51:3:S1");
    EXPECT_EQ(stockRows(), stockBefore);
    EXPECT_EQ(count("SELECT COUNT(*) FROM ITEM_IN"), 1);
    form().items.cancel();

    // Not ordered at all.
    EXPECT_FALSE(addLine("PIX", 1, 2, {{"Contor_Com", 50}}));
    EXPECT_EQ(dialogs.last().text, stock::OrderBalance::kNotOrdered);
    form().items.cancel();
    EXPECT_TRUE(ledgerMatchesDocuments());
}

TEST_F(DocInOrders, MovingALineToAnotherOrderGivesTheFirstOneBack)
{
    form();
    fillHeader();
    ASSERT_TRUE(addLine("ART", 2, 5, {{"Contor_Com", 50}}));
    EXPECT_EQ(orders(), "50:8:S1 51:3:S1");
    ASSERT_TRUE(changeLine(0, "Contor_Com", 51));
    EXPECT_EQ(orders(), "50:10:S1 51:1:S1");
    // Refused on the new order: nothing moves.
    EXPECT_FALSE(changeLine(0, "Cantitate", 9.0));
    form().items.cancel();
    EXPECT_EQ(orders(), "50:10:S1 51:1:S1");
    ASSERT_TRUE(changeLine(0, "Cantitate", 3.0));
    EXPECT_EQ(orders(), "50:10:S1");
    // Deleting the document gives the order back.
    form().deleteDocument();
    EXPECT_EQ(orders(), "50:10:S1 51:3:S1");
}

// ---- serial numbers -----------------------------------------------------------------------

class DocInSerials : public DocInFixture {
protected:
    // "supplier numbers" of the first line's rows, in their order.
    QString serials(double line = 1)
    {
        QStringList rows;
        datastore::Query q = db.query("SELECT SerieFurn, Serie FROM \"Serie.db\" WHERE ContorSec = :l ORDER BY Serie",
                                      {{"l", line}});
        while (q.next())
            rows << QString::number(q.value(0).toDouble());
        return rows.join(u',');
    }
};

TEST_F(DocInSerials, RowsFollowTheLine)
{
    parameters.CSerii = true;
    form();
    fillHeader();
    ASSERT_TRUE(addLine("ART", 3, 5, {{"Serii", true}}));
    EXPECT_EQ(serials(), "0,0,0");
    // Every row has its own internal number.
    EXPECT_EQ(count("SELECT COUNT(DISTINCT Serie) FROM \"Serie.db\" WHERE Serie IS NOT NULL"), 3);
    db.exec("UPDATE \"Serie.db\" SET SerieFurn = Serie * 100");
    const QString typed = serials();

    ASSERT_TRUE(changeLine(0, "Pret_achizitie_lei", 6.0)); // quantity unchanged
    EXPECT_EQ(serials(), typed);
    ASSERT_TRUE(changeLine(0, "Cantitate", 2.0)); // the first two keep their numbers
    EXPECT_EQ(serials(), typed.section(u',', 0, 1));
    ASSERT_TRUE(changeLine(0, "Cantitate", 4.0)); // two more, empty
    EXPECT_EQ(serials(), typed.section(u',', 0, 1) + ",0,0");
    EXPECT_EQ(count("SELECT COUNT(DISTINCT Serie) FROM \"Serie.db\""), 4);
    ASSERT_TRUE(changeLine(0, "Serii", false));
    EXPECT_EQ(serials(), "");
    ASSERT_TRUE(changeLine(0, "Serii", true));
    EXPECT_EQ(serials(), "0,0,0,0");
    EXPECT_TRUE(form().deleteLine());
    EXPECT_EQ(serials(), "");
}

TEST_F(DocInSerials, QuantitiesAndLimits)
{
    struct Case {
        double quantity;
        int rows; // -1: refused
    };
    const QList<Case> cases{{2.5, 2}, {3.5, 4}, {0.4, 0}, {65535, 65535}, {65535.6, -1}, {70000, -1},
                            {0, 0}, {-2, 0}, {-70000, 0}}; // nothing received: no unit to number
    for (const Case& c : cases)
        EXPECT_EQ(stock::serialRowCount(c.quantity), c.rows) << c.quantity;
    // Halves go to the even neighbour whatever the rounding mode.
    const int mode = std::fegetround();
    for (const int m : {FE_UPWARD, FE_DOWNWARD, FE_TOWARDZERO}) {
        std::fesetround(m);
        EXPECT_EQ(stock::serialRowCount(2.5), 2) << m;
        EXPECT_EQ(stock::serialRowCount(3.5), 4) << m;
        EXPECT_EQ(stock::serialRowCount(2.4), 2) << m;
    }
    std::fesetround(mode);

    form();
    fillHeader();
    EXPECT_FALSE(addLine("ART", 70000, 5, {{"Serii", true}}));
    EXPECT_EQ(dialogs.last().text, stock::tooManySerialsMessage(70000));
    EXPECT_EQ(count("SELECT COUNT(*) FROM ITEM_IN"), 0);
    EXPECT_EQ(count("SELECT COUNT(*) FROM \"Serie.db\""), 0);
    form().items.setValue("Cantitate", 2.5);
    form().items.post();
    EXPECT_EQ(serials(), "0,0");
}

// A line that gives goods back (a negative quantity) has no unit to number:
// it is written without serial rows, and a line that had some loses them.
TEST_F(DocInSerials, ANegativeLineHasNoSerialRows)
{
    form();
    fillHeader();
    ASSERT_TRUE(addLine("ART", 5, 5));
    ASSERT_TRUE(addLine("ART", -2, 5, {{"Serii", true}})) << dialogs.last().text.toStdString();
    EXPECT_EQ(serials(2), "");
    ASSERT_TRUE(changeLine(1, "Cantitate", 2.0));
    EXPECT_EQ(serials(2), "0,0");
    ASSERT_TRUE(changeLine(1, "Cantitate", -1.0)) << dialogs.last().text.toStdString();
    EXPECT_EQ(serials(2), "");
    EXPECT_TRUE(dialogs.messages.isEmpty()) << dialogs.texts().join(u'|').toStdString();
    EXPECT_EQ(stockOf("ART", 5), 4);
}

TEST_F(DocInSerials, ARefusedLineWritesNoSerialRows)
{
    parameters.CCom = true;
    form();
    fillHeader();
    // Not ordered: refused after the line took its number, before anything stays.
    EXPECT_FALSE(addLine("ART", 3, 5, {{"Serii", true}, {"Contor_Com", 99}}));
    EXPECT_EQ(dialogs.last().text, stock::OrderBalance::kNotOrdered);
    EXPECT_EQ(count("SELECT COUNT(*) FROM \"Serie.db\""), 0);
    EXPECT_EQ(count("SELECT COUNT(*) FROM STOC"), 0);
}

// ---- commands -----------------------------------------------------------------------------

TEST_F(DocIn, MultiRowSelectionInsertsOneLinePerArticle)
{
    form();
    fillHeader();
    ASSERT_TRUE(addLine("ART", 1, 5));
    const double contor = form().docs.value("Contor").toDouble();
    // A line written by another workstation took the next number meanwhile.
    db.exec("INSERT INTO ITEM_IN (Contor, Contor_secundar, Cod_gestiune, Cod_grupa, Cod_articol, Cantitate, "
            "Pret_achizitie_lei) VALUES (:c, 2, 'A', 'G', 'GUMA', 1, 1)",
            {{"c", contor}});
    db.exec("INSERT INTO STOC (Cod_gestiune, Cod_grupa, Cod_articol, Pret_achizitie, Cantitate) VALUES ('A', 'G', 'GUMA', 1, 1)");
    form().items.moveTo(0);
    catalogs::ArticlePick pick;
    pick.selected = {pickedArticle("G", "PIX"), pickedArticle("G", "GUMA"), pickedArticle("G", "ART")};
    view.picks.push_back(pick);
    form().pickInColumn("Cod_articol");

    QStringList lines;
    datastore::Query q = db.query("SELECT Contor_secundar, Cod_articol FROM ITEM_IN WHERE Contor = :c ORDER BY Contor_secundar",
                                  {{"c", contor}});
    while (q.next())
        lines << QString::number(q.value(0).toInt()) + u':' + q.value(1).toString();
    EXPECT_EQ(lines.join(u' '), "1:ART 2:GUMA 3:PIX 4:GUMA 5:ART");
    EXPECT_EQ(form().items.value("Contor_secundar").toDouble(), 1); // back on the line that was current
    EXPECT_EQ(view.progress.first(), "Inserez articolele selectate...");
    EXPECT_EQ(view.progress.last(), " OK.");
    EXPECT_TRUE(ledgerMatchesDocuments()); // no quantity, no stock

    // Completing an inserted line adjusts the stock.
    form().items.refresh();
    form().items.moveTo(2);
    form().items.edit();
    form().items.setValue("Pret_achizitie_lei", 2.0);
    form().items.setValue("Cantitate", 8.0);
    form().items.post();
    EXPECT_DOUBLE_EQ(stockOf("PIX", 2), 8);
    EXPECT_TRUE(ledgerMatchesDocuments());

    // On a new document the header is written with the first inserted line.
    form().newDocument();
    fillHeader(QStringLiteral("NR"), 2);
    view.picks.push_back(pick);
    form().pickInColumn("Cod_grupa");
    EXPECT_EQ(form().items.recordCount(), 3);
    EXPECT_EQ(count("SELECT COUNT(*) FROM DOC_IN"), 2);

    // One article from the search by name fills the current line.
    catalogs::ArticlePick one;
    one.current = pickedArticle("G", "PIX");
    view.picks.push_back(one);
    form().insertLine();
    form().selectArticleByName();
    EXPECT_EQ(form().items.value("Cod_articol").toString(), "PIX");
    EXPECT_EQ(view.focus.last(), "line:Cantitate");
}

TEST_F(DocIn, TypeChangeShowsTheAllocationsAndProposesTheDailyListNumber)
{
    db.exec("INSERT INTO DOC_IN (Contor, Tip, Numar, Data_inregistrarii, Data) VALUES "
            "(90, 'LZ', 41, '2026-01-05', '2026-01-05'), (91, 'LZ', 70, '2025-12-30', '2025-12-30')");
    form();
    EXPECT_TRUE(view.allocationsShown); // the last document is a daily list
    form().newDocument();
    EXPECT_FALSE(view.allocationsShown);
    EXPECT_EQ(view.printCaption, "&Receptie");
    form().docs.setValue("Tip", "LZ");
    EXPECT_TRUE(view.allocationsShown);
    EXPECT_EQ(view.printCaption, "L &Zilnica");
    EXPECT_EQ(form().docs.value("Numar").toDouble(), 42); // the largest of this year plus 1
    form().docs.setValue("Tip", "NR");
    EXPECT_FALSE(view.allocationsShown);

    // Allocation rows need a type and a number of persons.
    form().docs.setValue("Tip", "LZ");
    ASSERT_TRUE(addLine("ART", 1, 5));
    db.exec("INSERT INTO \"TipAlocatie.DB\" (Cod, Denumire) VALUES (1, 'Copii')");
    form().allocations.append();
    form().allocations.setValue("NrPersoane", 20.0);
    EXPECT_THROW(form().allocations.post(), datastore::Abort);
    EXPECT_EQ(dialogs.last().text, TDocInFormLogic::kIncompleteAllocation);
    EXPECT_EQ(view.focus.last(), "allocations");
    form().allocations.setValue("CodAlocatie", form().allocationTypeOf("Copii"));
    form().allocations.post();
    EXPECT_EQ(form().allocations.value("TipAlocatie").toString(), "Copii");
    // Deleting the line deletes its allocation rows.
    EXPECT_TRUE(form().deleteLine());
    EXPECT_EQ(count("SELECT COUNT(*) FROM \"Alocatie.DB\""), 0);
}

TEST_F(DocIn, TotalsPeriodAndPrinting)
{
    receipt({{"ART", 3, 33.33}, {"PIX", 2, 10}}, kToday.addDays(-40));
    const double recent = receipt({{"GUMA", 1, 1}});
    dialogs.clear();
    form().showTotals();
    EXPECT_EQ(dialogs.last().text, common::formatMessage("Total: Valoare = %.2n\rTVA = %n\rDocument = %.2n",
                                                         {1.0, 0.0, 1.0}, formats));
    form().docs.first();
    form().showTotals();
    EXPECT_EQ(dialogs.last().text, common::formatMessage("Total: Valoare = %.2n\rTVA = %n\rDocument = %.2n",
                                                         {119.99, 23.0, 142.99}, formats));

    form().newDocument(); // begun and left: it goes, its counter with it
    const double counter = counterIn();
    view.intervals.push_back({kToday.addDays(-5), kToday});
    form().selectPeriod();
    EXPECT_TRUE(form().periodActive());
    EXPECT_EQ(form().docs.recordCount(), 1);
    EXPECT_EQ(counterIn(), counter - 1);
    EXPECT_EQ(view.title, "Intrari produse 5.3.26 - 10.3.26");
    form().showAll();
    EXPECT_EQ(form().docs.recordCount(), 2);
    EXPECT_EQ(view.title, "Documente de intrare");

    form().docs.last();
    form().print();
    EXPECT_EQ(view.progress.last(), "Parametrii de listare impliciti: Arial, 8, A4, Portret");
    EXPECT_EQ(view.receipts, QList<double>{recent});
    view.printConfirmed = false;
    form().print();
    EXPECT_EQ(view.receipts.size(), 1);
}

TEST_F(DocIn, TheRefreshTickShowsWhatOtherWorkstationsWrote)
{
    receipt({{"ART", 1, 5}});
    db.exec("INSERT INTO DOC_IN (Contor, Tip, Numar, Data_inregistrarii, Data) VALUES (40, 'NR', 9, '2026-03-10', '2026-03-10')");
    db.exec("INSERT INTO ITEM_IN (Contor, Contor_secundar, Cod_gestiune, Cod_grupa, Cod_articol, Cantitate, Pret_achizitie_lei) "
            "VALUES (1, 2, 'A', 'G', 'PIX', 3, 2)");
    form().refreshTick();
    EXPECT_EQ(form().docs.recordCount(), 2);
    EXPECT_EQ(form().items.recordCount(), 2); // the current document's new line
    // Not while the user is typing a line.
    form().items.edit();
    db.exec("DELETE FROM DOC_IN WHERE Contor = 40");
    form().refreshTick();
    EXPECT_EQ(form().docs.recordCount(), 2);
}

TEST_F(DocIn, SearchGoesToTheDocumentAndTheLine)
{
    const double first = receipt({{"ART", 1, 5}, {"PIX", 2, 10}}, kToday.addDays(-40));
    receipt({{"GUMA", 1, 1}});
    const double third = receipt({{"GUMA", 1, 1}, {"PIX", 1, 10}});

    stock::SearchState byArticle;
    byArticle.criterion = stock::SearchCriterion::Article;
    byArticle.article = "PIX";
    view.searches.push_back(byArticle);
    form().searchFirst();
    EXPECT_EQ(form().docs.value("Contor").toDouble(), first);
    EXPECT_EQ(form().items.value("Cod_articol").toString(), "PIX");
    form().searchNext();
    EXPECT_EQ(form().docs.value("Contor").toDouble(), third);
    EXPECT_EQ(form().items.value("Cod_articol").toString(), "PIX");
    form().searchNext(); // none after it: a beep, no move
    EXPECT_EQ(dialogs.beeps, 1);
    EXPECT_EQ(form().docs.value("Contor").toDouble(), third);

    // Within a period, documents outside it are not found.
    view.intervals.push_back({kToday.addDays(-5), kToday});
    form().selectPeriod();
    view.searches.push_back(byArticle);
    form().searchFirst();
    EXPECT_EQ(form().docs.value("Contor").toDouble(), third);
    EXPECT_TRUE(form().periodActive());
}

} // namespace
