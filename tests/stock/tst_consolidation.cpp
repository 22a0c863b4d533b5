// Consolidation of delivery notes into one invoice: the notes of a partner in
// a period, marked and merged into one "FCT" whose lines are numbered again
// with their VAT computed again; the notes kept in the history with every
// line; the stock exactly as it was; one unit of work for all of it; the
// dialogs.

#include "dbsnapshot.h"
#include "docouttest.h"

#include "stock/consolidation.h"
#include "stock/docsearch.h"
#include "stock/stockcheck.h"
#include "stock/tconsdlg.h"

#include "datastore/privatedirectory.h"

#include <QDateEdit>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

using stock::ConsolidationLogic;
using stock::NoteSide;
using namespace stocktest;

namespace {

class Consolidation : public DocOut {
protected:
    static inline const QDate kConsolidated{2026, 3, 20};

    void SetUp() override
    {
        DocOut::SetUp();
        // The working tables follow the database (a schema of their own on a server).
        datastore::placePrivateDirectory(privateDir.path(), dir.path());
        privateDb.setDirectory(privateDir.path());
        db.attach(QStringLiteral("TBX_PRIV"), privateDir.path());
        db.exec("INSERT INTO FURN (Cod_furnizor, Nume_furnizor) VALUES ('F1', 'Papetaria'), ('F2', 'Birotica')");
    }
    // The budgets; once they exist every input line names one.
    void budgets()
    {
        db.exec("INSERT INTO CLIENT (Cod_client, Nume_client) VALUES ('B1', 'Buget local'), ('B2', 'Buget de stat')");
    }

    // An input document of `supplier`, saved through the input window.
    double inputNote(const QString& type, double number, const QString& supplier, const QDate& date,
                     const QList<std::tuple<QString, double, double>>& lines)
    {
        form().newDocument();
        fillHeader(type, number, date);
        form().docs.setValue("Furnizor", supplier);
        for (const auto& [article, quantity, price] : lines)
            EXPECT_TRUE(addLine(article, quantity, price)) << dialogs.last().text.toStdString();
        EXPECT_TRUE(form().saveDocument());
        return form().docs.value("Contor").toDouble();
    }

    // Two notes of F1 (3 and 2 lines), one of F2 and an invoice of F1 beside them.
    QList<double> inputNotes()
    {
        const double first = inputNote("AE", 11, "F1", {2026, 3, 2}, {{"ART", 3, 10}, {"PIX", 5, 2}, {"GUMA", 2, 1}});
        const double second = inputNote("AE", 12, "F1", {2026, 3, 5}, {{"ART", 1, 10}, {"PIX", 4, 2.5}});
        inputNote("AE", 40, "F2", {2026, 3, 3}, {{"ART", 2, 10}});
        inputNote("FCT", 41, "F1", {2026, 3, 4}, {{"PIX", 1, 2}});
        return {first, second};
    }

    QStringList rows(const QString& sql, const QVariantHash& params = {}) { return stocktest::queryRows(db, sql, params); }
    QStringList stock() { return rows("SELECT * FROM STOC ORDER BY Cod_gestiune, Cod_grupa, Cod_articol, Pret_achizitie, Lot, Agent"); }

    ::testing::AssertionResult documentsSound()
    {
        const QList<stock::DocumentFault> faults = stock::CheckDocuments(db);
        if (faults.isEmpty())
            return ::testing::AssertionSuccess();
        QStringList texts;
        for (const stock::DocumentFault& f : faults)
            texts << f.text;
        return ::testing::AssertionFailure() << texts.join(" | ").toStdString();
    }

    void TearDown() override
    {
        privateDb.close();
        datastore::dropPrivateSchema(privateDir.path());
        DocOut::TearDown();
    }

    ConsolidationLogic logic(NoteSide side) { return ConsolidationLogic(db, privateDb, parameters, dialogs, side); }

    testsupport::TempDir privateDir;
    datastore::Database privateDb{QStringLiteral("TBX_PRIV")};
};

TEST_F(Consolidation, TwoInputNotesBecomeOneInvoice)
{
    const QList<double> notes = inputNotes();
    const QStringList stockBefore = stock();
    const QString lineFields = "Cod_gestiune, Cod_grupa, Cod_articol, Cantitate, Pret_achizitie_valuta, Valuta, "
                               "Pret_achizitie_lei, Pret_echiv_USD, TVA, Cont_marfa, Cont_TVA_Intrari";
    const QStringList linesBefore =
        rows("SELECT Contor, Contor_secundar, " + lineFields + " FROM ITEM_IN WHERE Contor IN (:a, :b) "
             "ORDER BY Contor, Contor_secundar", {{"a", notes[0]}, {"b", notes[1]}});
    ASSERT_EQ(linesBefore.size(), 5);
    ASSERT_TRUE(documentsSound());

    dialogs.clear();
    ConsolidationLogic consolidation = logic(NoteSide::Input);
    ASSERT_TRUE(consolidation.select("F1", {2026, 2, 18}, {2026, 3, 20}));
    ASSERT_EQ(consolidation.notes().size(), 2); // only the delivery notes of F1
    EXPECT_EQ(consolidation.notes()[0].number, 11);
    EXPECT_EQ(consolidation.notes()[1].number, 12);
    consolidation.toggleMark(0);
    consolidation.toggleMark(1);
    const std::optional<double> invoice = consolidation.consolidate(kConsolidated);
    ASSERT_TRUE(invoice) << dialogs.texts().join(" | ").toStdString();
    EXPECT_EQ(*invoice, counterIn());

    // One invoice, dated that day, with lines 0 to 4 in the order of the notes.
    EXPECT_EQ(rows("SELECT Tip, Data_inregistrarii, Data, Explicatie, Furnizor FROM DOC_IN WHERE Contor = :c",
                   {{"c", *invoice}}),
              QStringList{"FCT|2026-03-20|2026-03-20|Consolidare avize|F1"});
    EXPECT_EQ(rows("SELECT Contor_secundar, Cod_articol, Cantitate, Pret_achizitie_lei, TVA FROM ITEM_IN "
                   "WHERE Contor = :c ORDER BY Contor_secundar", {{"c", *invoice}}),
              (QStringList{"0|ART|3|10|6", "1|PIX|5|2|2", "2|GUMA|2|1|0", "3|ART|1|10|2", "4|PIX|4|2.5|2"}));

    // The notes are gone from the documents, kept in the history with every line.
    EXPECT_EQ(count("SELECT COUNT(*) FROM DOC_IN WHERE Contor IN (:a, :b)", {{"a", notes[0]}, {"b", notes[1]}}), 0);
    EXPECT_EQ(count("SELECT COUNT(*) FROM ITEM_IN WHERE Contor IN (:a, :b)", {{"a", notes[0]}, {"b", notes[1]}}), 0);
    EXPECT_EQ(rows("SELECT Contor, Numar, Tip, Data, Furnizor, Contor_fact FROM AV_IN ORDER BY Contor"),
              (QStringList{QString("%1|11|AE|2026-03-02|F1|%2").arg(notes[0]).arg(*invoice),
                           QString("%1|12|AE|2026-03-05|F1|%2").arg(notes[1]).arg(*invoice)}));
    EXPECT_EQ(rows("SELECT Contor, Contor_secundar, " + lineFields + " FROM AVIT_IN ORDER BY Contor, Contor_secundar"),
              linesBefore);

    // The other documents stay; the stock is exactly as it was; the working tables are gone.
    EXPECT_EQ(count("SELECT COUNT(*) FROM DOC_IN WHERE Numar IN (40, 41)"), 2);
    EXPECT_EQ(stock(), stockBefore);
    EXPECT_TRUE(documentsSound());
    EXPECT_FALSE(privateDb.tableExists("Answ"));
    EXPECT_FALSE(privateDb.tableExists("ItAnsw"));
    EXPECT_TRUE(dialogs.messages.isEmpty()) << dialogs.texts().join(" | ").toStdString();
}

TEST_F(Consolidation, OutputNotesOfABudgetBecomeOneInvoice)
{
    receipt({{"ART", 10, 10}, {"PIX", 10, 2}});
    budgets();
    // Two delivery notes of B1 and one of B2, their stock taken.
    db.exec("INSERT INTO DOC_OUT (Contor, Data_inregistrarii, Numar, Tip, Data, Client, Explicatie, Agent) VALUES "
            "(1, '2026-03-02', 7, 'AE', '2026-03-02', 'B1', 'aviz 7', 'ION'), "
            "(2, '2026-03-03', 8, 'AE', '2026-03-03', 'B1', 'aviz 8', NULL), "
            "(3, '2026-03-03', 9, 'AE', '2026-03-03', 'B2', 'aviz 9', NULL)");
    db.exec("INSERT INTO ITEM_OUT (Contor, Contor_secundar, Cod_gestiune, Cod_grupa, Cod_articol, Cantitate, "
            "Pret_achizitie, Pret_vinzare, TVA, Cont_marfa, Cont_venituri) VALUES "
            "(1, 1, 'A', 'G', 'ART', 2, 10, 12, 99, '302', '707'), (1, 2, 'A', 'G', 'PIX', 3, 2, 3, 99, '302', '707'), "
            "(2, 1, 'A', 'G', 'ART', 1, 10, 12.5, 99, '302', '707'), (3, 1, 'A', 'G', 'PIX', 1, 2, 3, 99, '302', '707')");
    db.exec("UPDATE STOC SET Cantitate = 7 WHERE Cod_articol = 'ART'");
    db.exec("UPDATE STOC SET Cantitate = 6 WHERE Cod_articol = 'PIX'");
    db.exec("UPDATE COUNTER SET NewCounterOut = 3");
    ASSERT_TRUE(documentsSound());
    const QStringList stockBefore = stock();
    parameters.roundTva = false;

    ConsolidationLogic consolidation = logic(NoteSide::Output);
    ASSERT_TRUE(consolidation.select("B1", {2026, 2, 18}, {2026, 3, 20}));
    ASSERT_EQ(consolidation.notes().size(), 2);
    consolidation.toggleMark(0);
    consolidation.toggleMark(1);
    const std::optional<double> invoice = consolidation.consolidate(kConsolidated);
    ASSERT_TRUE(invoice) << dialogs.texts().join(" | ").toStdString();
    EXPECT_EQ(*invoice, 4);

    EXPECT_EQ(rows("SELECT Tip, Data_inregistrarii, Explicatie, Client FROM DOC_OUT WHERE Contor = 4"),
              QStringList{"FCT|2026-03-20|Consolidare avize|B1"});
    // VAT at the article's rate on the sale value, to the ban without "Round TVA".
    EXPECT_EQ(rows("SELECT Contor_secundar, Cod_articol, Cantitate, Pret_achizitie, Pret_vinzare, TVA, Cont_venituri "
                   "FROM ITEM_OUT WHERE Contor = 4 ORDER BY Contor_secundar"),
              (QStringList{"0|ART|2|10|12|4.56|707", "1|PIX|3|2|3|1.71|707", "2|ART|1|10|12.5|2.38|707"}));
    EXPECT_EQ(rows("SELECT Contor, Numar, Client, Agent, Contor_factura FROM AV_OUT ORDER BY Contor"),
              (QStringList{"1|7|B1|ION|4", "2|8|B1||4"}));
    EXPECT_EQ(rows("SELECT Contor, Contor_secundar, Cod_articol, Cantitate, Pret_vinzare, TVA FROM AVIT_OUT "
                   "ORDER BY Contor, Contor_secundar"),
              (QStringList{"1|1|ART|2|12|99", "1|2|PIX|3|3|99", "2|1|ART|1|12.5|99"}));
    EXPECT_EQ(count("SELECT COUNT(*) FROM DOC_OUT WHERE Contor IN (1, 2)"), 0);
    EXPECT_EQ(count("SELECT COUNT(*) FROM DOC_OUT WHERE Contor = 3"), 1);
    EXPECT_EQ(stock(), stockBefore);
    EXPECT_TRUE(documentsSound());
}

TEST_F(Consolidation, VatOfALineIsComputedAgain)
{
    struct Case {
        const char* name;
        const char* article;
        QVariant price;
        QVariant quantity;
        bool round;
        double vat;
        QVariant netPrice = QVariant(); // Pret_achizitie_valuta
        bool pricesWithoutVat = false;  // CPretFaraTva
    };
    const Case cases[] = {
        {"rate 19 of 10 x 3", "ART", 10.0, 3.0, false, 5.7},
        {"the same with Round TVA", "ART", 10.0, 3.0, true, 6},
        {"halves to the even whole number", "GUMA", 5.0, 5.0, true, 2}, // 9% of 25 = 2.25
        {"to the ban without Round TVA, halves to even", "ART", 12.5, 1.0, false, 2.38}, // 2.375
        {"no price", "ART", QVariant(), 3.0, false, 0},
        {"no quantity", "ART", 10.0, QVariant(), false, 0},
        {"an article missing from the catalog keeps its VAT", "LIPSA", 10.0, 3.0, true, 7.77},
        // Entered without VAT: the acquisition price includes it, the VAT is on the net price.
        {"on the price without VAT", "ART", 119.0, 1.0, false, 19, 100.0, true},
        {"on the price without VAT, Round TVA", "ART", 11.9, 3.0, true, 6, 10.0, true}, // 5.7
        {"a currency price is no price without VAT", "ART", 119.0, 1.0, false, 22.61, 100.0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        db.exec("DELETE FROM DOC_IN");
        db.exec("DELETE FROM ITEM_IN");
        db.exec("DELETE FROM STOC");
        db.exec("INSERT INTO DOC_IN (Contor, Data_inregistrarii, Numar, Tip, Data, Furnizor) VALUES "
                "(1, '2026-03-02', 1, 'AE', '2026-03-02', 'F1')");
        db.exec("INSERT INTO ITEM_IN (Contor, Contor_secundar, Cod_gestiune, Cod_grupa, Cod_articol, Cantitate, "
                "Pret_achizitie_lei, Pret_achizitie_valuta, TVA) VALUES (1, 1, 'A', 'G', :a, :q, :p, :n, 7.77)",
                {{"a", c.article}, {"q", c.quantity}, {"p", c.price}, {"n", c.netPrice}});
        parameters.roundTva = c.round;
        parameters.CPretFaraTva = c.pricesWithoutVat;
        ConsolidationLogic consolidation = logic(NoteSide::Input);
        ASSERT_TRUE(consolidation.select("F1", {2026, 3, 1}, {2026, 3, 31}));
        consolidation.toggleMark(0);
        const std::optional<double> invoice = consolidation.consolidate(kConsolidated);
        ASSERT_TRUE(invoice);
        EXPECT_DOUBLE_EQ(db.scalar("SELECT TVA FROM ITEM_IN WHERE Contor = :c", {{"c", *invoice}}).toDouble(), c.vat);
        EXPECT_EQ(db.scalar("SELECT TVA FROM AVIT_IN WHERE Contor = 1").toDouble(), 7.77); // the history as it was
    }
}

// An invoice line carries what its note's line carried: the VAT the input
// window gave it (here on a price typed without VAT) and its serial numbers,
// which the serial window and the search then find on the invoice. A failure
// leaves the serial numbers where they were, with everything else.
TEST_F(Consolidation, InvoiceLinesKeepTheirVatAndSerialNumbers)
{
    parameters.CPretFaraTva = true;
    parameters.CSerii = true;
    parameters.roundTva = false;
    using NoteLine = std::tuple<QString, double, double, bool>; // article, quantity, price without VAT, serials
    const auto note = [&](double number, const QDate& date, const QList<NoteLine>& lines) {
        form().newDocument();
        fillHeader("AE", number, date);
        form().docs.setValue("Furnizor", "F1");
        for (const auto& [article, quantity, net, serials] : lines)
            EXPECT_TRUE(addLine(article, quantity, 0,
                                {{"Pret_achizitie_valuta", net}, {"Pret_achizitie_lei", QVariant()}, {"Serii", serials}}))
                << dialogs.last().text.toStdString();
        EXPECT_TRUE(form().saveDocument());
        return form().docs.value("Contor").toDouble();
    };
    const double first = note(11, {2026, 3, 2}, {{"ART", 1, 100, false}, {"PIX", 2, 2.5, true}});
    const double second = note(12, {2026, 3, 5}, {{"GUMA", 3, 1.25, true}});
    db.exec("UPDATE \"Serie.db\" SET SerieFurn = Serie + 1000");
    const QString lineSql = "SELECT Cod_articol, Cantitate, Pret_achizitie_valuta, Pret_achizitie_lei, TVA, Serii "
                            "FROM ITEM_IN WHERE Contor IN (:a, :b) ORDER BY Contor, Contor_secundar";
    const QStringList noteLines = rows(lineSql, {{"a", first}, {"b", second}});
    ASSERT_EQ(noteLines.size(), 3);
    EXPECT_TRUE(noteLines[0].startsWith("ART|1|100|119|19|")) << noteLines[0].toStdString(); // the window's figures
    const QString serialSql = "SELECT Contor, ContorSec, Cod_articol, SerieFurn FROM \"Serie.db\" ORDER BY Serie";
    const QStringList serialsBefore = rows(serialSql);
    ASSERT_EQ(serialsBefore.size(), 5);
    const auto consolidate = [&] {
        ConsolidationLogic consolidation = logic(NoteSide::Input);
        EXPECT_TRUE(consolidation.select("F1", {2026, 3, 1}, {2026, 3, 31}));
        consolidation.toggleMark(0);
        consolidation.toggleMark(1);
        return consolidation.consolidate(kConsolidated);
    };

    // A line in the way of the invoice's third line: the last write fails.
    const QVariantHash inTheWay{{"c", counterIn() + 1}};
    db.exec("INSERT INTO ITEM_IN (Contor, Contor_secundar, Cod_gestiune, Cod_grupa, Cod_articol, Cantitate) "
            "VALUES (:c, 2, 'A', 'G', 'ART', 0)", inTheWay);
    const QStringList before = databaseSnapshot(db);
    EXPECT_FALSE(consolidate());
    EXPECT_EQ(databaseSnapshot(db), before);
    EXPECT_EQ(rows(serialSql), serialsBefore);
    db.exec("DELETE FROM ITEM_IN WHERE Contor = :c", inTheWay);

    const std::optional<double> invoice = consolidate();
    ASSERT_TRUE(invoice) << dialogs.texts().join(" | ").toStdString();
    EXPECT_EQ(rows(lineSql, {{"a", *invoice}, {"b", *invoice}}), noteLines);
    const QString n = QString::number(*invoice);
    EXPECT_EQ(rows(serialSql), (QStringList{n + "|1|PIX|1001", n + "|1|PIX|1002", n + "|2|GUMA|1003",
                                            n + "|2|GUMA|1004", n + "|2|GUMA|1005"}));
    EXPECT_TRUE(documentsSound());
    stock::SearchState search;
    search.criterion = stock::SearchCriterion::Serial;
    search.serial = 4;
    const stock::SearchHit hit = stock::FindNextDocument(db, stock::DocumentSide::Input, search,
                                                         stock::searchPeriodStart(), stock::searchPeriodEnd());
    EXPECT_TRUE(hit.found);
    EXPECT_EQ(hit.contor, *invoice);
    EXPECT_EQ(hit.lineNumber, 2);
}

TEST_F(Consolidation, AFailureAnywhereLeavesTheDatabaseAsItWas)
{
    struct Case {
        const char* name;
        const char* table;
        const char* when; // over the row being inserted
    };
    const Case cases[] = {
        {"the second note in the history", "Av_in", "NEW.Numar = 12"},
        {"a line in the history", "Avit_in", "NEW.Contor_secundar = 2"},
        {"the invoice header", "Doc_in", "NEW.Explicatie = 'Consolidare avize'"},
        {"the fourth line of the invoice", "Item_in", "NEW.Contor_secundar = 3"},
    };
    const QList<double> notes = inputNotes();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        failInsertWhen(db, c.table, c.when);
        const QStringList before = databaseSnapshot(db);
        dialogs.clear();
        ConsolidationLogic consolidation = logic(NoteSide::Input);
        ASSERT_TRUE(consolidation.select("F1", {2026, 3, 1}, {2026, 3, 31}));
        consolidation.toggleMark(0);
        consolidation.toggleMark(1);
        EXPECT_FALSE(consolidation.consolidate(kConsolidated));
        EXPECT_EQ(databaseSnapshot(db), before);
        ASSERT_EQ(dialogs.messages.size(), 1);
        EXPECT_EQ(dialogs.last().icon, common::Icon::Error);
        EXPECT_TRUE(dialogs.last().text.startsWith(ConsolidationLogic::kConsolidationError));
        EXPECT_TRUE(dialogs.last().text.contains("injected")) << dialogs.last().text.toStdString();
        EXPECT_TRUE(dialogs.last().text.endsWith(">"));
        removeFault(db);
    }

    // Without the fault: every step, once.
    ConsolidationLogic consolidation = logic(NoteSide::Input);
    ASSERT_TRUE(consolidation.select("F1", {2026, 3, 1}, {2026, 3, 31}));
    consolidation.toggleMark(0);
    consolidation.toggleMark(1);
    const std::optional<double> invoice = consolidation.consolidate(kConsolidated);
    ASSERT_TRUE(invoice);
    EXPECT_EQ(count("SELECT COUNT(*) FROM ITEM_IN WHERE Contor = :c", {{"c", *invoice}}), 5);
    EXPECT_EQ(count("SELECT COUNT(*) FROM AV_IN"), 2);
    EXPECT_EQ(count("SELECT COUNT(*) FROM AVIT_IN"), 5);
    EXPECT_TRUE(documentsSound());
}

TEST_F(Consolidation, NotesChangedSinceTheyWereListedStopIt)
{
    struct Case {
        const char* name;
        const char* change; // what another workstation did to the second note (:c)
        const char* undo;
    };
    const Case cases[] = {
        {"deleted", "DELETE FROM DOC_IN WHERE Contor = :c",
         "INSERT INTO DOC_IN (Contor, Data_inregistrarii, Numar, Tip, Data, Furnizor) VALUES "
         "(:c, '2026-03-05', 12, 'AE', '2026-03-05', 'F1')"},
        {"turned into an invoice", "UPDATE DOC_IN SET Tip = 'FCT' WHERE Contor = :c",
         "UPDATE DOC_IN SET Tip = 'AE' WHERE Contor = :c"},
        {"moved to another supplier", "UPDATE DOC_IN SET Furnizor = 'F2' WHERE Contor = :c",
         "UPDATE DOC_IN SET Furnizor = 'F1' WHERE Contor = :c"},
    };
    const QList<double> notes = inputNotes();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ConsolidationLogic consolidation = logic(NoteSide::Input);
        ASSERT_TRUE(consolidation.select("F1", {2026, 3, 1}, {2026, 3, 31}));
        consolidation.toggleMark(0);
        consolidation.toggleMark(1);
        db.exec(c.change, {{"c", notes[1]}});
        const QStringList before = databaseSnapshot(db);
        dialogs.clear();
        EXPECT_FALSE(consolidation.consolidate(kConsolidated));
        EXPECT_TRUE(consolidation.selectionChanged());
        EXPECT_EQ(dialogs.texts(), QStringList{ConsolidationLogic::kSelectionChanged});
        EXPECT_EQ(databaseSnapshot(db), before);
        db.exec(c.undo, {{"c", notes[1]}});
    }

    // The dialog stays open on the notes as they are now.
    stock::TConsInDlg dialog(db, privateDb, parameters, formats, dialogs, nullptr, kConsolidated);
    ASSERT_TRUE(dialog.prepare());
    dialog.show();
    dialog.partnerList()->setCurrentRow(1);
    dialog.selectButton()->click();
    ASSERT_EQ(dialog.noteList()->rowCount(), 2);
    dialog.noteList()->setCurrentCell(1, 0);
    QTest::keyClick(dialog.noteList(), Qt::Key_Space);
    db.exec("DELETE FROM DOC_IN WHERE Contor = :c", {{"c", notes[1]}});
    dialog.consolidateButton()->click();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.noteList()->rowCount(), 1);
    EXPECT_TRUE(dialog.logic().marked().empty());
}

TEST_F(Consolidation, SelectingNotes)
{
    inputNotes();
    struct Case {
        const char* name;
        NoteSide side;
        const char* partner;
        QDate from, to;
        int listed;
        const char* message; // nothing: no box
        int beeps;
    };
    const Case cases[] = {
        {"the notes of a supplier", NoteSide::Input, "F1", {2026, 3, 1}, {2026, 3, 31}, 2, nullptr, 0},
        {"the period bounds the dates", NoteSide::Input, "F1", {2026, 3, 3}, {2026, 3, 5}, 1, nullptr, 0},
        {"dates in the wrong order", NoteSide::Input, "F1", {2026, 3, 31}, {2026, 3, 1}, 0, nullptr, 1},
        {"no note of the supplier", NoteSide::Input, "F1", {2026, 4, 1}, {2026, 4, 30}, 0,
         "Nu exista avize pentru perioada si furnizorul indicate!", 1},
        {"no note of the budget", NoteSide::Output, "B1", {2026, 3, 1}, {2026, 3, 31}, 0,
         "Nu exista avize pentru perioada si clientul indicate!", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dialogs.clear();
        ConsolidationLogic consolidation = logic(c.side);
        EXPECT_EQ(consolidation.select(c.partner, c.from, c.to), c.listed > 0);
        EXPECT_EQ(consolidation.notes().size(), c.listed);
        EXPECT_EQ(dialogs.beeps, c.beeps);
        EXPECT_EQ(dialogs.texts(), c.message ? QStringList{c.message} : QStringList{});
    }

    // A mark toggles; a new selection forgets the marks.
    ConsolidationLogic consolidation = logic(NoteSide::Input);
    ASSERT_TRUE(consolidation.select("F1", {2026, 3, 1}, {2026, 3, 31}));
    consolidation.toggleMark(1);
    consolidation.toggleMark(0);
    consolidation.toggleMark(1);
    EXPECT_TRUE(consolidation.isMarked(0));
    EXPECT_FALSE(consolidation.isMarked(1));
    ASSERT_TRUE(consolidation.select("F1", {2026, 3, 1}, {2026, 3, 31}));
    EXPECT_TRUE(consolidation.marked().empty());

    // A missing table: the access error with the engine's text.
    db.dropTable("Doc_out.DB");
    dialogs.clear();
    ConsolidationLogic outputs = logic(NoteSide::Output);
    EXPECT_FALSE(outputs.select("B1", {2026, 3, 1}, {2026, 3, 31}));
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.last().text.startsWith("Eroare de acces la tabela de documente de iesire!\r"));
    EXPECT_TRUE(dialogs.last().text.endsWith("!"));
}

TEST_F(Consolidation, NothingMarkedMakesAnEmptyInvoice)
{
    const QList<double> notes = inputNotes();
    const QStringList stockBefore = stock();
    ConsolidationLogic consolidation = logic(NoteSide::Input);
    ASSERT_TRUE(consolidation.select("F1", {2026, 3, 1}, {2026, 3, 31}));
    const std::optional<double> invoice = consolidation.consolidate(kConsolidated);
    ASSERT_TRUE(invoice);
    EXPECT_EQ(rows("SELECT Tip, Explicatie FROM DOC_IN WHERE Contor = :c", {{"c", *invoice}}),
              QStringList{"FCT|Consolidare avize"});
    EXPECT_EQ(count("SELECT COUNT(*) FROM ITEM_IN WHERE Contor = :c", {{"c", *invoice}}), 0);
    EXPECT_EQ(count("SELECT COUNT(*) FROM DOC_IN WHERE Contor IN (:a, :b)", {{"a", notes[0]}, {"b", notes[1]}}), 2);
    EXPECT_EQ(count("SELECT COUNT(*) FROM AV_IN"), 0);
    EXPECT_EQ(stock(), stockBefore);
}

TEST_F(Consolidation, DialogListsMarksAndConsolidates)
{
    inputNotes();
    stock::TConsInDlg dialog(db, privateDb, parameters, formats, dialogs, nullptr, kConsolidated);
    ASSERT_TRUE(dialog.prepare());
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), "Consolidare factura (documente de intrare)");
    ASSERT_EQ(dialog.partnerList()->count(), 2);
    EXPECT_EQ(dialog.partnerList()->item(0)->text(), "Birotica"); // by name
    EXPECT_EQ(dialog.fromEdit()->date(), kConsolidated.addDays(-30));
    EXPECT_EQ(dialog.toEdit()->date(), kConsolidated);
    EXPECT_FALSE(dialog.notesPart()->isVisible());
    EXPECT_TRUE(testsupport::saveShot(dialog, QStringLiteral("consolidation-inputs-partner.png")));

    // The last date before the first: a beep, the cursor on the first date.
    dialog.partnerList()->setCurrentRow(1);
    dialog.toEdit()->setDate(kConsolidated.addDays(-40));
    dialog.selectButton()->click();
    EXPECT_EQ(dialogs.beeps, 1);
    EXPECT_FALSE(dialog.notesPart()->isVisible());
    EXPECT_TRUE(dialog.fromEdit()->hasFocus() || QApplication::focusWidget() == nullptr);

    dialog.toEdit()->setDate(kConsolidated);
    dialog.selectButton()->click();
    ASSERT_TRUE(dialog.notesPart()->isVisible());
    QTableWidget* list = dialog.noteList();
    ASSERT_EQ(list->rowCount(), 2);
    EXPECT_EQ(list->item(0, 0)->text(), "AE");
    EXPECT_EQ(list->item(0, 1)->text(), "11");
    EXPECT_EQ(list->item(0, 2)->text(), "02.03.2026");

    // Space marks and moves on; a double click marks; marked rows are bold.
    list->setFocus();
    list->setCurrentCell(0, 0);
    QTest::keyClick(list, Qt::Key_Space);
    EXPECT_TRUE(dialog.logic().isMarked(0));
    EXPECT_EQ(list->currentRow(), 1);
    EXPECT_TRUE(list->item(0, 3)->font().bold());
    EXPECT_FALSE(list->item(1, 3)->font().bold());
    const QPoint second = list->visualItemRect(list->item(1, 3)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, second); // the press a double click follows
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, second);
    EXPECT_TRUE(dialog.logic().isMarked(1));
    EXPECT_TRUE(list->item(1, 0)->font().bold());
    EXPECT_EQ(dialog.statusText()->text(), "Avize marcate: 2 din 2");
    EXPECT_TRUE(testsupport::saveShot(dialog, QStringLiteral("consolidation-inputs-marked.png")));

    dialog.consolidateButton()->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    ASSERT_TRUE(dialog.invoice());
    EXPECT_EQ(count("SELECT COUNT(*) FROM ITEM_IN WHERE Contor = :c", {{"c", *dialog.invoice()}}), 5);
}

TEST_F(Consolidation, DialogClosesAsCancelledAfterAnError)
{
    db.exec("INSERT INTO DOC_OUT (Contor, Data_inregistrarii, Numar, Tip, Data, Client) VALUES "
            "(1, '2026-03-02', 7, 'AE', '2026-03-02', 'B1')");
    db.exec("INSERT INTO ITEM_OUT (Contor, Contor_secundar, Cod_gestiune, Cod_grupa, Cod_articol, Cantitate, "
            "Pret_achizitie) VALUES (1, 1, 'A', 'G', 'ART', 0, 10)");
    budgets();
    stock::TConsOutDlg dialog(db, privateDb, parameters, formats, dialogs, nullptr, kConsolidated);
    ASSERT_TRUE(dialog.prepare());
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), "Consolidare factura (documente de iesire)");
    dialog.partnerList()->setCurrentRow(1); // "Buget local"
    dialog.selectButton()->click();
    ASSERT_EQ(dialog.noteList()->rowCount(), 1);
    dialog.noteList()->setCurrentCell(0, 0);
    QTest::keyClick(dialog.noteList(), Qt::Key_Space);
    EXPECT_TRUE(testsupport::saveShot(dialog, QStringLiteral("consolidation-outputs.png")));
    failInsertWhen(db, "Av_out", "1 = 1");
    dialog.consolidateButton()->click();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_FALSE(dialog.invoice());
    EXPECT_EQ(count("SELECT COUNT(*) FROM DOC_OUT WHERE Contor = 1"), 1);
}

} // namespace
