// The output documents window: lines taken from the stock by price, the
// header and its checks, the collection at issue, deleting, printing in
// order with the fiscal series, and a mixed run of receipts and issues whose
// stock must match the documents at the end.

#include "docouttest.h"

#include "stock/stockcheck.h"

#include <QRandomGenerator>

using stock::OutputPrint;
using stock::TDocOutFormLogic;
using namespace stocktest;

namespace {

// ---- lines from the stock ---------------------------------------------------------------

TEST_F(DocOut, PickingAStockLineFillsTheLineFromTheRow)
{
    parameters.CLot = true;
    receipt({{"ART", 5, 10}});
    form().items.edit();
    form().items.setValue("Lot", "L7");
    form().items.post();

    out();
    outHeader();
    out().insertLine();
    outView.stockPicks.push_back(row("ART", 10));
    out().pickInColumn("Cod_articol");
    datastore::Dataset& items = out().items;
    EXPECT_EQ(items.value("Cod_gestiune").toString(), "A");
    EXPECT_EQ(items.value("Cod_articol").toString(), "ART");
    EXPECT_EQ(items.value("Pret_achizitie").toDouble(), 10);
    EXPECT_EQ(items.value("Lot").toString(), "L7");
    EXPECT_TRUE(items.isNull("Cantitate")); // without CCantStoc the quantity is typed
    EXPECT_EQ(items.value("Cont_marfa").toString(), "302"); // accounts from the catalog
    EXPECT_EQ(items.value("Pret_vinzare").toDouble(), 0);
    EXPECT_EQ(outView.focus.last(), "line:Cantitate");
    items.setValue("Cantitate", 2);
    items.post();
    EXPECT_EQ(stockOf("ART", 10), 3);
    EXPECT_EQ(items.value("Contor_secundar").toDouble(), 1);
}

TEST_F(DocOut, WholeRowQuantityWithCCantStocEmptiesTheRow)
{
    parameters.CCantStoc = true;
    receipt({{"ART", 5, 10}});
    out();
    outHeader();
    ASSERT_TRUE(issue("ART", 10, std::nullopt));
    EXPECT_EQ(out().items.value("Cantitate").toDouble(), 5);
    EXPECT_EQ(stockRows("ART"), 0);
}

TEST_F(DocOut, AskingMoreThanTheRowHoldsContinuesAtTheNextPrice)
{
    receipt({{"ART", 5, 10}, {"ART", 4, 12}});
    out();
    outHeader();
    dialogs.queueAnswer(common::Answer::Yes);
    ASSERT_TRUE(issue("ART", 10, 8)) << dialogs.last().text.toStdString();
    EXPECT_TRUE(dialogs.texts().join("|").contains("DORITI CAUTAREA"));
    out().items.refresh();
    ASSERT_EQ(out().items.recordCount(), 2);
    EXPECT_EQ(out().items.value(0, "Cantitate").toDouble(), 5);
    EXPECT_EQ(out().items.value(0, "Pret_achizitie").toDouble(), 10);
    EXPECT_EQ(out().items.value(1, "Cantitate").toDouble(), 3);
    EXPECT_EQ(out().items.value(1, "Pret_achizitie").toDouble(), 12);
    EXPECT_EQ(stockOf("ART", 10), 0);
    EXPECT_EQ(stockOf("ART", 12), 1);

    // No: nothing is written and the cursor goes to the quantity.
    dialogs.queueAnswer(common::Answer::No);
    EXPECT_FALSE(issue("ART", 12, 3));
    EXPECT_EQ(outView.focus.last(), "line:Cantitate");
    out().cancelLine();
    EXPECT_EQ(stockOf("ART", 12), 1);
}

TEST_F(DocOut, ANegativeQuantityIsAReturnToTheStock)
{
    receipt({{"ART", 5, 10}});
    out();
    outHeader();
    ASSERT_TRUE(issue("ART", 10, -2));
    EXPECT_TRUE(dialogs.texts().contains(TDocOutFormLogic::kReturns));
    EXPECT_EQ(stockOf("ART", 10), 7);
}

TEST_F(DocOut, ALineNeedsAllItsDataAndAQuantity)
{
    receipt({{"ART", 5, 10}});
    out();
    outHeader();
    struct Case {
        const char* what;
        std::optional<double> quantity;
    };
    for (const Case& c : {Case{"no quantity", std::nullopt}, Case{"quantity 0", 0.0}}) {
        dialogs.clear();
        EXPECT_FALSE(issue("ART", 10, c.quantity)) << c.what;
        EXPECT_EQ(dialogs.last().text, TDocOutFormLogic::kIncompleteLine) << c.what;
        out().cancelLine();
    }
    EXPECT_EQ(stockOf("ART", 10), 5);
    EXPECT_EQ(count("SELECT COUNT(*) FROM ITEM_OUT"), 0);
}

TEST_F(DocOut, AnArticleSetByHandMustHaveStock)
{
    receipt({{"ART", 5, 10}, {"ART", 2, 8}});
    out();
    outHeader();
    datastore::Dataset& items = out().items;
    items.append();
    // No stock of the article in the warehouse.
    items.setValue("Cod_grupa", "G");
    EXPECT_THROW(items.setValue("Cod_articol", "PIX"), datastore::Abort);
    EXPECT_EQ(dialogs.last().text,
              "Articolul <G.PIX> nu are stoc în gestiunea <A> ! Apasati CTRL-ENTER pentru a selecta din stocul "
              "existent!!");
    // Without a price, the first row of the article gives it.
    items.setValue("Cod_articol", "ART");
    EXPECT_EQ(items.value("Pret_achizitie").toDouble(), 8);
    // A price without a row is refused.
    EXPECT_THROW(items.setValue("Pret_achizitie", 9.0), datastore::Abort);
    EXPECT_TRUE(dialogs.last().text.startsWith("Articolul <G.ART> nu are stoc la pret de achizitie de 9"));
    items.setValue("Pret_achizitie", 10.0);
    items.setValue("Cantitate", 1);
    items.post();
    EXPECT_EQ(stockOf("ART", 10), 4);
}

TEST_F(DocOut, ChangingAndDeletingALineMovesTheStockBack)
{
    receipt({{"ART", 5, 10}, {"PIX", 3, 2}});
    out();
    outHeader();
    ASSERT_TRUE(issue("ART", 10, 2));
    ASSERT_TRUE(issue("PIX", 2, 1));
    // The quantity changed: the difference.
    out().items.moveTo(0);
    out().items.edit();
    out().items.setValue("Cantitate", 4);
    out().items.post();
    EXPECT_EQ(stockOf("ART", 10), 1);
    // A cancelled edit leaves the stock.
    out().items.edit();
    out().items.setValue("Cantitate", 1);
    out().cancelLine();
    EXPECT_EQ(stockOf("ART", 10), 1);
    // Deleted: all of it back.
    ASSERT_TRUE(out().deleteLine());
    EXPECT_EQ(stockOf("ART", 10), 5);
    EXPECT_EQ(stockOf("PIX", 2), 2);
}

// ---- the header ----------------------------------------------------------------------------

TEST_F(DocOut, NewDocumentAndTypeProposeTheNumberOfTheYear)
{
    datastore::Dataset& docs = out().docs;
    ASSERT_EQ(docs.state(), datastore::DatasetState::Insert);
    EXPECT_EQ(docs.value("Contor").toDouble(), 1);
    EXPECT_EQ(docs.value("Data_inregistrarii").toDate(), kToday);
    EXPECT_TRUE(outView.focus.contains("header:Data_inregistrarii"));
    db.exec("INSERT INTO DOC_OUT (Contor, Data_inregistrarii, Numar, Tip, Data) VALUES "
            "(90, '2024-03-01', 7, 'AE', '2024-03-01'), (91, '2025-01-05', 40, 'AE', '2025-01-05'), "
            "(92, '2024-06-01', 12, 'BMC', '2024-06-01')");
    docs.setValue("Data_inregistrarii", QDate(2024, 5, 2));
    docs.setValue("Tip", "AE");
    EXPECT_EQ(docs.value("Numar").toDouble(), 8);
    // A number already there is kept.
    docs.setValue("Tip", "BMC");
    EXPECT_EQ(docs.value("Numar").toDouble(), 8);
    // The client controls follow the type.
    docs.setValue("Tip", "BT");
    EXPECT_EQ(outView.client, stock::ClientControls::Warehouse);
    docs.setValue("Tip", "BMC");
    EXPECT_EQ(outView.client, stock::ClientControls::Hidden);
    parameters.CGetPret = true; // a consumption note names its receiving warehouse
    docs.setValue("Tip", "BMC");
    EXPECT_EQ(outView.client, stock::ClientControls::ReceivingWarehouse);
}

TEST_F(DocOut, HeaderChecks)
{
    receipt({{"ART", 5, 10}});
    out();
    outHeader(QStringLiteral("FCT"));
    ASSERT_TRUE(issue("ART", 10, 1));
    ASSERT_TRUE(out().saveDocument());
    struct Case {
        const char* field;
        QVariant value;
        QString message;
    };
    const QList<Case> cases{
        {"Tip", QVariant(QString()), TDocOutFormLogic::kMissingType},
        {"Numar", QVariant(), TDocOutFormLogic::kMissingDates},
        {"Data", kToday.addDays(1), TDocOutFormLogic::kDateAfterRegistration},
        {"Data_scadenta", kToday.addDays(-1), TDocOutFormLogic::kDueBeforeDate},
    };
    datastore::Dataset& docs = out().docs;
    for (const Case& c : cases) {
        dialogs.clear();
        docs.edit();
        docs.setValue(QString::fromLatin1(c.field), c.value);
        EXPECT_FALSE(out().saveDocument()) << c.field;
        EXPECT_EQ(dialogs.texts().value(0), c.message) << c.field;
        EXPECT_TRUE(docs.isEditing()) << c.field;
        docs.cancel();
    }
    // A due date on the document date or later is taken.
    docs.edit();
    docs.setValue("Data_scadenta", kToday.addDays(30));
    EXPECT_TRUE(out().saveDocument());
}

TEST_F(DocOut, TheReceivingWarehouseMustBeInTheCatalog)
{
    receipt({{"ART", 5, 10}});
    out();
    outHeader(QStringLiteral("BT"));
    datastore::Dataset& docs = out().docs;
    EXPECT_THROW(docs.setValue("Client", "ZZ"), datastore::Abort);
    EXPECT_EQ(dialogs.last().text,
              "Gestiunea <ZZ> nu figureaza în catalog. Apasati Ctrl-Enter pentru a selecta din catalog !");
    docs.setValue("Client", "B");
    EXPECT_EQ(docs.value("DenCln").toString(), "Bucatarie");
}

TEST_F(DocOut, TotalsMarkAnInvoicePaidAndTheCollectionFollowsTheHeader)
{
    receipt({{"ART", 5, 10}});
    out();
    outHeader(QStringLiteral("FCT"));
    ASSERT_TRUE(issue("ART", 10, 3));
    out().items.edit();
    out().items.setValue("Pret_vinzare", 12);
    out().items.post();
    const double contor = out().docs.value("Contor").toDouble();
    dialogs.queueAnswer(common::Answer::Yes);
    out().showTotals();
    const QString totals = dialogs.messages.last().text;
    EXPECT_TRUE(totals.startsWith("Total:\r Achizitie = 30"));
    EXPECT_TRUE(totals.endsWith(TDocOutFormLogic::kMarkPaid));
    EXPECT_EQ(paid(contor).toDouble(), 43); // 36 sold and its VAT, R(6.84) = 7 in whole lei

    // A new registration date: the collection row goes with it.
    out().docs.edit();
    out().docs.setValue("Data_inregistrarii", kToday.addDays(1));
    ASSERT_TRUE(out().saveDocument());
    EXPECT_EQ(db.scalar("SELECT Data_platii FROM CLNPAY").toDate(), kToday.addDays(1));
    EXPECT_EQ(out().paidAmount().toDouble(), 43);

    // Paid above the total: a question; Cancel keeps the header in editing.
    ASSERT_TRUE(out().setPaidAmount(45));
    out().docs.edit();
    out().docs.setValue("Explicatie", "x");
    dialogs.queueAnswer(common::Answer::Cancel);
    EXPECT_FALSE(out().saveDocument());
    EXPECT_TRUE(dialogs.last().text.startsWith("Valoarea achitata (45"));
    EXPECT_EQ(outView.focus.last(), "header:Suma");
    dialogs.queueAnswer(common::Answer::Ok);
    EXPECT_TRUE(out().saveDocument());

    // A negative or non-numeric amount is never written.
    for (const QVariant& bad : {QVariant(-5.0), QVariant(QStringLiteral("abc"))}) {
        EXPECT_FALSE(out().setPaidAmount(bad)) << bad.toString().toStdString();
        EXPECT_EQ(paid(contor).toDouble(), 45);
    }

    // Other types: the totals only inform.
    out().docs.edit();
    out().docs.setValue("Tip", "BMC");
    ASSERT_TRUE(out().saveDocument());
    dialogs.clear();
    out().showTotals();
    EXPECT_EQ(dialogs.last().icon, common::Icon::Information);
    EXPECT_FALSE(dialogs.last().text.contains("achitat"));
}

// ---- opening, deleting ---------------------------------------------------------------------

TEST_F(DocOut, OpeningRemovesLinesOfQuantityZero)
{
    db.exec("INSERT INTO DOC_OUT (Contor, Data_inregistrarii, Numar, Tip, Data) VALUES (5, '2026-03-01', 1, 'CSR', "
            "'2026-03-01')");
    db.exec("INSERT INTO ITEM_OUT (Contor, Contor_secundar, Cod_gestiune, Cod_grupa, Cod_articol, Cantitate, "
            "Pret_achizitie) VALUES (5, 1, 'A', 'G', 'ART', 0, 10), (5, 2, 'A', 'G', 'PIX', 2, 1)");
    out();
    EXPECT_EQ(count("SELECT COUNT(*) FROM ITEM_OUT"), 1);
    EXPECT_EQ(out().items.recordCount(), 1);
    EXPECT_EQ(out().items.value("Cod_articol").toString(), "PIX");
}

TEST_F(DocOut, DeletingADocumentGivesEveryLineBack)
{
    receipt({{"ART", 5, 10}, {"PIX", 3, 2}});
    out();
    outHeader(QStringLiteral("FCT"));
    ASSERT_TRUE(issue("ART", 10, 4));
    ASSERT_TRUE(issue("PIX", 2, 3));
    ASSERT_TRUE(out().setPaidAmount(10));
    EXPECT_EQ(counterOut(), 1);
    dialogs.queueAnswer(common::Answer::Ok);
    out().deleteDocument();
    EXPECT_EQ(stockOf("ART", 10), 5);
    EXPECT_EQ(stockOf("PIX", 2), 3);
    EXPECT_EQ(count("SELECT COUNT(*) FROM ITEM_OUT"), 0);
    EXPECT_EQ(count("SELECT COUNT(*) FROM CLNPAY"), 0);
    EXPECT_EQ(count("SELECT COUNT(*) FROM DOC_OUT"), 0);
    // The last counter went back (the new document the empty list started took it again).
    EXPECT_EQ(out().docs.value("Contor").toDouble(), 1);
}

TEST_F(DocOut, ACounterWithAPrintedNumberIsNeverGivenAgain)
{
    receipt({{"ART", 5, 10}});
    out();
    outHeader(QStringLiteral("AE"));
    ASSERT_TRUE(issue("ART", 10, 1));
    out().print();
    ASSERT_EQ(count("SELECT COUNT(*) FROM AESER WHERE Contor = 1"), 1);
    dialogs.queueAnswer(common::Answer::Ok);
    out().deleteDocument();
    // Counter 1 was not given back: the next document has a counter of its
    // own, so the delivery note's number stays with the deleted one.
    EXPECT_EQ(out().docs.value("Contor").toDouble(), 2);
    EXPECT_EQ(counterOut(), 2);
}

TEST_F(DocOut, DeletingADocumentIsAllOrNothing)
{
    receipt({{"ART", 5, 10}, {"PIX", 3, 2}});
    out();
    outHeader();
    ASSERT_TRUE(issue("ART", 10, 2));
    ASSERT_TRUE(issue("PIX", 2, -2)); // a return: 5 PIX at 2 now
    ASSERT_TRUE(out().saveDocument());
    const double returned = out().docs.value("Contor").toDouble();
    // Another document takes all of them.
    out().newDocument();
    outHeader();
    ASSERT_TRUE(issue("PIX", 2, 5));
    ASSERT_TRUE(out().saveDocument());
    ASSERT_TRUE(out().docs.locate({"Contor"}, {returned}));
    dialogs.queueAnswer(common::Answer::Ok);
    out().deleteDocument();
    // The return could not be taken back: the document, its lines and the stock stay.
    EXPECT_EQ(count("SELECT COUNT(*) FROM ITEM_OUT WHERE Contor = :c", {{"c", returned}}), 2);
    EXPECT_EQ(stockOf("ART", 10), 3);
    EXPECT_EQ(stockOf("PIX", 2), 0);
    EXPECT_EQ(counterOut(), 2);
}

// ---- printing, transfer ----------------------------------------------------------------------

TEST_F(DocOut, PrintingBindsTheSeriesNumberOnceAndKeepsTheOrder)
{
    receipt({{"ART", 5, 10}});
    out();
    outHeader(QStringLiteral("AE"));
    ASSERT_TRUE(issue("ART", 10, 1));
    out().print();
    out().print();
    ASSERT_EQ(outView.printed.size(), 2);
    EXPECT_EQ(outView.proposedSets.value(0), prints::PrintDeliveryNoteBit);
    EXPECT_EQ(outView.printed[0].kind, OutputPrint::DeliveryNote);
    EXPECT_EQ(outView.printed[0].seriesNumber, stock::formatSeriesNumber("AE", 1));
    EXPECT_EQ(outView.printed[1].seriesNumber, outView.printed[0].seriesNumber);

    // Several prints ticked come in their order; a paid invoice proposes the receipt.
    out().docs.edit();
    out().docs.setValue("Tip", "FCT");
    ASSERT_TRUE(out().saveDocument());
    ASSERT_TRUE(out().setPaidAmount(10));
    outView.printed.clear();
    outView.chosenSet = prints::PrintDeliveryNoteBit | prints::PrintInvoiceWithReceiptBit | prints::PrintTransferNoteBit
        | prints::PrintInvoiceBit;
    out().print();
    EXPECT_EQ(outView.proposedSets.last(), prints::PrintInvoiceWithReceiptBit);
    QList<OutputPrint> kinds;
    for (const stock::OutputPrintJob& j : outView.printed)
        kinds << j.kind;
    EXPECT_EQ(kinds, (QList<OutputPrint>{OutputPrint::Invoice, OutputPrint::HandOverNote,
                                         OutputPrint::InvoiceWithReceipt, OutputPrint::DeliveryNote}));
    EXPECT_EQ(outView.printed[0].seriesNumber, stock::formatSeriesNumber("AB", 1001));
    EXPECT_EQ(outView.printed[2].receiptNumber, 300);

    // "Listeaza..." cancelled: nothing printed, no number taken.
    out().newDocument();
    outHeader(QStringLiteral("FCT"));
    ASSERT_TRUE(issue("ART", 10, 1));
    outView.printed.clear();
    outView.chosenSet = -1;
    outView.choose = false;
    out().print();
    EXPECT_TRUE(outView.printed.isEmpty());
    EXPECT_EQ(count("SELECT COUNT(*) FROM FCTSER WHERE Contor = 2"), 0);
}

// Each print that is made gets its own print setup right before it, in the
// order of prints; a print this edition does not make gets none.
TEST_F(DocOut, EachPrintMadeHasItsOwnSetupBeforeIt)
{
    receipt({{"ART", 5, 10}});
    out();
    outHeader(QStringLiteral("FCT"));
    ASSERT_TRUE(issue("ART", 10, 1));
    out().items.edit();
    out().items.setValue(QStringLiteral("Pret_vinzare"), 12); // an invoice line with its sale price
    out().items.post();
    outView.chosenSet = prints::PrintInvoiceBit | prints::PrintTransferNoteBit | prints::PrintDeliveryNoteBit
        | prints::PrintConsumptionNoteBit | prints::PrintDailyListNoteBit | prints::PrintScrappingBit;
    dialogs.clear();
    out().print();
    EXPECT_EQ(outView.steps,
              (QStringList{"setup invoice", "print invoice", "setup hand-over-note", "print hand-over-note",
                           "setup delivery-note", "print delivery-note", "setup consumption-note",
                           "print consumption-note", "setup scrapping-list", "print scrapping-list"}));
    ASSERT_EQ(dialogs.texts().size(), 1);
    EXPECT_EQ(dialogs.texts().first(),
              "Listarea \"Bon consum lista zilnica\" nu este disponibila in aceasta versiune.");

    // A setup closed with "&Inchide" leaves its print out, and only that one.
    outView.steps.clear();
    outView.chosenSet = prints::PrintDeliveryNoteBit;
    outView.setupConfirmed = false;
    out().print();
    EXPECT_EQ(outView.steps, QStringList{"setup delivery-note"});
}

TEST_F(DocOut, InvoiceWithReceiptTakesTheInvoiceNumberBeforeTheReceipt)
{
    receipt({{"ART", 5, 10}});
    out();
    outHeader(QStringLiteral("FCT"));
    ASSERT_TRUE(issue("ART", 10, 1));
    ASSERT_TRUE(out().saveDocument());
    ASSERT_TRUE(out().setPaidAmount(10));
    outView.chosenSet = prints::PrintInvoiceWithReceiptBit;

    // The invoice series has run out: no receipt number is spent, nothing prints.
    db.exec(QStringLiteral("INSERT INTO FCTSER (Contor, Serie, Number) VALUES (99, 'AB', 2000)"));
    out().print();
    EXPECT_TRUE(outView.printed.isEmpty());
    EXPECT_EQ(count("SELECT COUNT(*) FROM CHSER"), 0);

    // With numbers left, both are taken and the receipt's is the first of its series.
    db.exec(QStringLiteral("DELETE FROM FCTSER"));
    out().print();
    ASSERT_EQ(outView.printed.size(), 1);
    EXPECT_EQ(outView.printed[0].seriesNumber, stock::formatSeriesNumber("AB", 1001));
    EXPECT_EQ(outView.printed[0].receiptNumber, 300);
    EXPECT_EQ(count("SELECT COUNT(*) FROM CHSER"), 1);
}

TEST_F(DocOut, OnPreprintedFormsAnInvoiceWithReceiptIsThePreprintedInvoiceAlone)
{
    parameters.PreprintedInvoice = true;
    receipt({{"ART", 5, 10}});
    out();
    outHeader(QStringLiteral("FCT"));
    ASSERT_TRUE(issue("ART", 10, 1));
    outView.chosenSet = prints::PrintInvoiceWithReceiptBit;
    out().print();
    ASSERT_EQ(outView.printed.size(), 1);
    EXPECT_EQ(outView.printed[0].kind, OutputPrint::PreprintedInvoice);
    // The form carries its own number: none is taken, and the print shows its own setup.
    EXPECT_EQ(count("SELECT COUNT(*) FROM FCTSER"), 0);
    EXPECT_EQ(count("SELECT COUNT(*) FROM CHSER"), 0);
    EXPECT_EQ(outView.setups, 0);
}

TEST_F(DocOut, TransferHandsTheSavedDocumentOn)
{
    receipt({{"ART", 5, 10}});
    out();
    outHeader(QStringLiteral("BT"));
    out().docs.setValue("Client", "B");
    ASSERT_TRUE(issue("ART", 10, 1));
    out().transfer(); // the dialog cancelled
    EXPECT_EQ(outView.transferDialogs, 1);
    EXPECT_EQ(out().docs.state(), datastore::DatasetState::Browse);
    EXPECT_EQ(count("SELECT COUNT(*) FROM DOC_OUT WHERE Contor = 1"), 1);
    EXPECT_EQ(count("SELECT COUNT(*) FROM DOC_IN WHERE Tip = 'BT'"), 0);
}

TEST_F(DocOut, SearchPeriodAndClosing)
{
    receipt({{"ART", 9, 10}, {"PIX", 9, 2}});
    out();
    outHeader(QStringLiteral("BMC"), kToday.addDays(-40));
    ASSERT_TRUE(issue("ART", 10, 1));
    out().newDocument();
    outHeader(QStringLiteral("BMC"));
    ASSERT_TRUE(issue("ART", 10, 1));
    ASSERT_TRUE(issue("PIX", 2, 1));
    ASSERT_TRUE(out().saveDocument());
    datastore::Dataset& docs = out().docs;

    // By article: the document and its line; the next one; then a beep.
    stock::SearchState byArticle;
    byArticle.criterion = stock::SearchCriterion::Article;
    byArticle.article = "ART";
    docs.first();
    outView.searches.push_back(byArticle);
    out().searchFirst();
    EXPECT_EQ(docs.value("Contor").toDouble(), 1);
    out().searchNext();
    EXPECT_EQ(docs.value("Contor").toDouble(), 2);
    EXPECT_EQ(out().items.value("Cod_articol").toString(), "ART");
    out().searchNext();
    EXPECT_EQ(dialogs.beeps, 1);
    EXPECT_EQ(docs.value("Contor").toDouble(), 2);

    // A period shows only its documents, and the title says which.
    outView.intervals.push_back({kToday.addDays(-5), kToday});
    out().selectPeriod();
    EXPECT_EQ(docs.recordCount(), 1);
    EXPECT_TRUE(outView.title.startsWith("Documente de iesire "));
    out().showAll();
    EXPECT_EQ(docs.recordCount(), 2);

    // Closing: a new document without lines goes quietly, its counter back.
    out().newDocument();
    EXPECT_EQ(counterOut(), 3);
    EXPECT_TRUE(out().close());
    EXPECT_EQ(counterOut(), 2);
    EXPECT_EQ(count("SELECT COUNT(*) FROM DOC_OUT"), 2);
}

// ---- a mixed run ---------------------------------------------------------------------------

// Receipts and issues of random articles, prices and quantities (with
// returns, changes, deleted lines and documents) through both windows: at the
// end every stock row is what the documents say and none is negative.
TEST_F(DocOut, MixedInputsAndOutputsKeepTheStockEqualToTheDocuments)
{
    QRandomGenerator random(20261210);
    const QStringList articles{"ART", "PIX", "GUMA"};
    const QList<double> prices{1, 2.5, 10};
    for (int round = 0; round < 12; ++round) {
        // A receipt of a few lines.
        QList<std::tuple<QString, double, double>> lines;
        for (int i = 0; i < 3; ++i)
            lines.append({articles[random.bounded(3)], double(1 + random.bounded(9)), prices[random.bounded(3)]});
        receipt(lines);
        ASSERT_TRUE(form().saveDocument());
        // An output document over what is there.
        out().newDocument();
        outHeader(round % 2 ? QStringLiteral("FCT") : QStringLiteral("BMC"));
        for (int i = 0; i < 3; ++i) {
            const double here =
                db.scalar("SELECT COUNT(*) FROM STOC WHERE Cantitate > 0").toInt();
            if (here == 0)
                break;
            datastore::Query q = db.query(
                "SELECT Cod_articol, Pret_achizitie, Cantitate FROM STOC WHERE Cantitate > 0 ORDER BY Cod_articol, "
                "Pret_achizitie LIMIT 1 OFFSET :o",
                {{"o", random.bounded(int(here))}});
            ASSERT_TRUE(q.next());
            const QString article = q.value(0).toString();
            const double price = q.value(1).toDouble();
            const double held = q.value(2).toDouble();
            // Sometimes more than the row holds (Yes or No at the question), sometimes a return.
            const int kind = random.bounded(5);
            const double quantity = kind == 0 ? held + 1 : kind == 1 ? -1 : 1 + random.bounded(int(held));
            if (kind == 0 && out().ledger().AskOtherPrice)
                dialogs.queueAnswer(random.bounded(2) ? common::Answer::Yes : common::Answer::No);
            if (!issue(article, price, quantity))
                out().cancelLine();
        }
        if (out().items.recordCount() > 1 && random.bounded(3) == 0) {
            out().items.first();
            out().items.edit();
            out().items.setValue("Cantitate", 0.5);
            try {
                out().items.post();
            } catch (const datastore::Abort&) {
                out().cancelLine();
            }
        }
        if (out().items.recordCount() > 0 && random.bounded(4) == 0)
            out().deleteLine();
        if (out().items.isEmpty()) {
            dialogs.queueAnswer(common::Answer::Ok);
            out().cancelDocument();
        } else {
            ASSERT_TRUE(out().saveDocument()) << dialogs.last().text.toStdString();
            if (round % 4 == 3) {
                dialogs.queueAnswer(common::Answer::Ok);
                out().deleteDocument();
            }
        }
    }
    EXPECT_GT(count("SELECT COUNT(*) FROM ITEM_OUT"), 0);
    for (const stock::StockComparison& c : stock::CompareStockWithDocuments(db))
        EXPECT_FALSE(c.differs()) << c.article.toStdString() << " @" << c.price << ": stock " << c.stock
                                  << ", documents " << c.documents;
    EXPECT_EQ(count("SELECT COUNT(*) FROM STOC WHERE Cantitate < 0"), 0);
}

} // namespace
