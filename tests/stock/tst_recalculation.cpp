// The stock recalculation: the stock table rebuilt from the documents, in one
// unit of work that either completes or leaves the stock as it was; and the
// checks of documents and stock that report what it would change.

#include "stocktest.h"

#include "stock/recalculation.h"
#include "stock/stockcheck.h"

#include <QRegularExpression>
#include <QSemaphore>
#include <QThread>

using namespace stocktest;

namespace {

struct RecordingView : stock::RecalculationView {
    QStringList progress;
    QList<bool> working;
    void showWorking(bool on) override { working << on; }
    void showProgress(const QString& text) override { progress << text; }
};

// A document line as the cases write it.
struct Line {
    char side;         // 'I' input (document 1), 'X' initial stock (-1), 'O' output (document 1), 'H' input of a document without header (9)
    const char* article;
    double price;
    double quantity;
    const char* lot = "";
    const char* budget = "";
};

class Recalculation : public LedgerFixture {
protected:
    void SetUp() override
    {
        LedgerFixture::SetUp();
        db.exec("INSERT INTO DOC_IN (Contor, Tip) VALUES (1, 'FCT'), (-1, 'XXX')");
        db.exec("INSERT INTO DOC_OUT (Contor, Tip) VALUES (1, 'BMC')");
    }

    void write(const Line& l)
    {
        const bool input = l.side != 'O';
        const double contor = l.side == 'X' ? -1 : (l.side == 'H' ? 9 : 1);
        const QString table = input ? "ITEM_IN" : "ITEM_OUT";
        db.exec(QStringLiteral("INSERT INTO %1 (Contor, Contor_secundar, Cod_gestiune, Cod_grupa, Cod_articol, %2, "
                               "Cantitate, Lot, Agent) VALUES (:c, :n, 'A', 'G', :a, :p, :q, :l, :b)")
                    .arg(table, input ? "Pret_achizitie_lei" : "Pret_achizitie"),
                {{"c", contor},
                 {"n", stock::NextLineNumber(db, table, contor)},
                 {"a", QString::fromLatin1(l.article)},
                 {"p", l.price},
                 {"q", l.quantity},
                 {"l", QString::fromLatin1(l.lot)},
                 {"b", QString::fromLatin1(l.budget)}});
    }

    // Stock rows as "ART@5/lot/budget=13", in key order.
    QStringList rows()
    {
        QStringList r;
        datastore::Query q = db.query("SELECT Cod_articol, Pret_achizitie, Lot, Agent, Cantitate, Cod_bare FROM STOC "
                                      "ORDER BY Cod_gestiune, Cod_grupa, Cod_articol, Pret_achizitie, Lot, Agent");
        while (q.next()) {
            QString s = q.value(0).toString() + u'@' + QString::number(q.value(1).toDouble());
            if (!q.value(2).isNull() || !q.value(3).isNull())
                s += u'/' + q.value(2).toString() + u'/' + q.value(3).toString();
            s += u'=' + QString::number(q.value(4).toDouble(), 'g', 10);
            if (!q.value(5).isNull())
                s += QStringLiteral(" #") + q.value(5).toString();
            r << s;
        }
        return r;
    }

    stock::RecalculationResult recalculate() { return stock::RecalculateStock(db, parameters, dialogs, &view); }

    RecordingView view;
};

TEST_F(Recalculation, RebuildsTheStockFromTheDocuments)
{
    struct Case {
        const char* what;
        std::vector<Line> lines;
        QStringList stockBefore; // rows put by hand: "ART@5=3"
        QStringList expected;
    };
    const Case cases[] = {
        {"rows deleted by hand come back", {{'I', "ART", 5, 10}, {'I', "ART", 5, 3}, {'I', "ART", 6, 2}, {'O', "ART", 5, 4}},
         {}, {"ART@5=9", "ART@6=2"}},
        {"10 in and 10 out leave no row", {{'I', "ART", 5, 10}, {'O', "ART", 5, 10}}, {"ART@5=0.000001"}, {}},
        {"10.00002 out of 10 leaves -0.00002", {{'I', "ART", 5, 10}, {'O', "ART", 5, 10.00002}}, {}, {"ART@5=-2e-05"}},
        {"a balance within Epsilon has no row", {{'I', "ART", 5, 10}, {'O', "ART", 5, 9.999995}}, {}, {}},
        {"outputs only give a negative row", {{'O', "PIX", 2, 3}}, {}, {"PIX@2=-3"}},
        {"the initial stock counts", {{'X', "ART", 5, 7}, {'I', "ART", 5, 1}, {'X', "PIX", 2, -1}}, {},
         {"ART@5=8", "PIX@2=-1"}},
        {"lots and budgets are keys; empty ones group together",
         {{'I', "ART", 5, 1, "L1"}, {'I', "ART", 5, 2, "L1"}, {'I', "ART", 5, 4, "", "B1"}, {'I', "ART", 5, 8},
          {'I', "ART", 5, 16}, {'O', "ART", 5, 1, "L1", "B1"}},
         {}, {"ART@5=24", "ART@5//B1=4", "ART@5/L1/=3", "ART@5/L1/B1=-1"}},
        {"lines without a header are left out", {{'I', "ART", 5, 10}, {'H', "ART", 5, 50}, {'H', "PIX", 2, 1}}, {},
         {"ART@5=10"}},
        {"a row no document supports goes", {{'I', "ART", 5, 10}}, {"ART@5=10", "GUMA@1=4"}, {"ART@5=10"}},
        {"no documents, no stock", {}, {"ART@5=10"}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        db.exec("DELETE FROM ITEM_IN");
        db.exec("DELETE FROM ITEM_OUT");
        db.exec("DELETE FROM STOC");
        for (const Line& l : c.lines)
            write(l);
        for (const QString& r : c.stockBefore) {
            const QStringList parts = r.split(QRegularExpression("[@=]"));
            db.exec("INSERT INTO STOC (Cod_gestiune, Cod_grupa, Cod_articol, Pret_achizitie, Cantitate, Cod_bare) "
                    "VALUES ('A', 'G', :a, :p, :q, '5940001')",
                    {{"a", parts[0]}, {"p", parts[1].toDouble()}, {"q", parts[2].toDouble()}});
        }
        dialogs.clear();
        const stock::RecalculationResult result = recalculate();
        EXPECT_TRUE(result.ok) << result.error.toStdString();
        EXPECT_EQ(result.stockRows, c.expected.size());
        EXPECT_EQ(rows(), c.expected); // bar codes are empty: none is shown
        EXPECT_EQ(dialogs.texts(), QStringList{stock::kRecalculationDone});
        EXPECT_EQ(dialogs.beeps, 1);
    }
}

// The ledger posting lines one by one, the recalculation summing them in a
// statement and the check comparing both keep the same keys: one rule of
// tolerance, reached alike by floating-point sums made in another order.
TEST_F(Recalculation, LedgerRecalculationAndCheckKeepTheSameKeys)
{
    db.exec(QStringLiteral("INSERT INTO DOC_IN (Contor, Tip) VALUES (:c, 'FCT')"), {{"c", kInputDoc}});
    db.exec(QStringLiteral("INSERT INTO DOC_OUT (Contor, Tip) VALUES (:c, 'BMC')"), {{"c", kOutputDoc}});
    const auto hundredTenths = [this](const QString& article) {
        for (int i = 0; i < 100; ++i)
            ASSERT_TRUE(receive(5, 0.1, article));
    };
    struct Case {
        const char* article;
        std::function<void()> post;
        QStringList kept; // "R1@5=1.1e-05"
    };
    const Case cases[] = {
        // 7.00002 - 7.00001 is a hair above 0.00001 in binary.
        {"R1", [&] { receive(5, 7.00002, "R1"); issue(5, 7.00001, "R1"); }, {}},
        {"R2", [&] { receive(5, 7.000021, "R2"); issue(5, 7.00001, "R2"); }, {"R2@5=1.1e-05"}},
        // A hundred tenths add up to a hair below 10 (9.99999999999998).
        {"R3", [&] { hundredTenths("R3"); issue(5, 9.99999, "R3"); }, {}},
        {"R4", [&] { hundredTenths("R4"); issue(5, 9.999989, "R4"); }, {"R4@5=1.1e-05"}},
        {"R5", [&] { hundredTenths("R5"); issue(5, 9.999991, "R5"); }, {}},
        // Taken in turns, the ledger's running balance ends a hair below
        // 0.00001 (9.99999999607e-06); the statement, inputs first, a hair
        // above it (1.0000000003e-05): Epsilon both.
        {"R7", [&] { receive(5, 38.21, "R7"); issue(5, 11.6, "R7"); receive(5, 27.69, "R7"); issue(5, 54.29999, "R7"); },
         {}},
        // The residue the ledger dropped within Epsilon is no fault when more comes in.
        {"R6", [&] { receive(5, 7.00002, "R6"); issue(5, 7.00001, "R6"); receive(5, 3, "R6"); }, {"R6@5=3"}},
    };
    QStringList expected;
    for (const Case& c : cases) {
        c.post();
        expected << c.kept;
    }
    ASSERT_TRUE(dialogs.texts().isEmpty()) << dialogs.texts().join(u'|').toStdString();
    // The quantities to four figures: the recalculation gives R6 the 0.00001
    // the ledger left out.
    const auto shown = [this] {
        QStringList r = rows();
        for (QString& row : r)
            row = row.section(u'=', 0, 0) + u'=' + QString::number(row.section(u'=', 1).toDouble(), 'g', 4);
        return r;
    };
    EXPECT_EQ(shown(), expected) << "the ledger";
    QStringList differences;
    for (const stock::DocumentFault& f : stock::CheckDocuments(db, parameters.Epsilon))
        if (f.kind == stock::DocumentFault::Kind::StockDiffers)
            differences << f.text;
    EXPECT_TRUE(differences.isEmpty()) << differences.join(u'|').toStdString();
    ASSERT_TRUE(recalculate().ok);
    EXPECT_EQ(shown(), expected) << "the recalculation";
}

TEST_F(Recalculation, ShowsItsWindowAndEachStep)
{
    write({'I', "ART", 5, 10});
    recalculate();
    EXPECT_EQ(view.working, (QList<bool>{true, false}));
    EXPECT_EQ(view.progress, (QStringList{" Insumez intrarile si stocurile initiale...", "Insumez iesirile...",
                                          "Calculez stocurile...", "Sterg stocurile curente...",
                                          "Actualizez stocurile curente...", "Terminat cu succes..."}));
    EXPECT_EQ(dialogs.last().icon, common::Icon::Information);
}

// A failure after the stock table was emptied leaves it exactly as it was,
// bar codes included, and is reported instead of the success message.
TEST_F(Recalculation, AFailureLeavesTheStockAsItWas)
{
    write({'I', "ART", 5, 10});
    write({'O', "ART", 5, 4});
    db.exec("INSERT INTO STOC (Cod_gestiune, Cod_grupa, Cod_articol, Pret_achizitie, Cantitate, Cod_bare) "
            "VALUES ('A', 'G', 'ART', 5, 7, '5940001'), ('A', 'G', 'PIX', 2, 1, NULL)");
    const QStringList before = rows();
    db.dropTable("Doc_out.DB"); // the statement that refills the table fails

    const stock::RecalculationResult result = recalculate();
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.error.contains("Doc_out", Qt::CaseInsensitive)) << result.error.toStdString();
    EXPECT_EQ(rows(), before);
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.last().icon, common::Icon::Error);
    EXPECT_EQ(dialogs.beeps, 0);
    EXPECT_FALSE(view.progress.contains("Terminat cu succes..."));
    EXPECT_TRUE(view.progress.contains("Sterg stocurile curente..."));
    EXPECT_EQ(view.working, (QList<bool>{true, false}));
    EXPECT_FALSE(db.inTransaction());
}

// Another workstation holding the write lock past the busy timeout: the
// warning about another user, the engine's error, the stock untouched.
TEST_F(Recalculation, AStockHeldElsewhereIsReportedAndLeftAlone)
{
    write({'I', "ART", 5, 10});
    db.exec("INSERT INTO STOC (Cod_gestiune, Cod_grupa, Cod_articol, Pret_achizitie, Cantitate) VALUES ('A', 'G', 'ART', 5, 1)");
    datastore::Database other;
    other.setDirectory(dir.path());
    datastore::UnitOfWork holding(other);
    other.exec("UPDATE STOC SET Cantitate = 2");
    db.setBusyTimeout(200);

    const stock::RecalculationResult result = recalculate();
    EXPECT_FALSE(result.ok);
    ASSERT_EQ(dialogs.messages.size(), 2);
    EXPECT_EQ(dialogs.messages[0].icon, common::Icon::Warning);
    EXPECT_EQ(dialogs.messages[0].text, stock::kStockInUse);
    EXPECT_EQ(dialogs.messages[1].icon, common::Icon::Error);
    EXPECT_EQ(dialogs.beeps, 0);
    EXPECT_EQ(rows(), QStringList{"ART@5=1"});
}

// A line posted by another workstation while the recalculation waits for the
// lock is counted: the documents are read only once the lock is held, and
// nobody posts until the stock is rebuilt.
TEST_F(Recalculation, WaitsForAPostingInProgressAndCountsIt)
{
    write({'I', "ART", 5, 10});
    QSemaphore begun;
    const QString path = dir.path();
    std::unique_ptr<QThread> worker(QThread::create([&] {
        datastore::Database other;
        other.setDirectory(path);
        datastore::UnitOfWork work(other);
        other.exec("INSERT INTO ITEM_IN (Contor, Contor_secundar, Cod_gestiune, Cod_grupa, Cod_articol, "
                   "Pret_achizitie_lei, Cantitate) VALUES (1, 50, 'A', 'G', 'ART', 5, 5)");
        begun.release();
        QThread::msleep(300); // the recalculation is waiting meanwhile
        work.commit();
    }));
    worker->start();
    begun.acquire();
    const stock::RecalculationResult result = recalculate();
    worker->wait();
    EXPECT_TRUE(result.ok) << result.error.toStdString();
    EXPECT_EQ(rows(), QStringList{"ART@5=15"});
}

// ---- the checks ----------------------------------------------------------------------

class DocumentChecks : public Recalculation {
protected:
    void SetUp() override
    {
        Recalculation::SetUp();
        db.exec("INSERT INTO COUNTER (NewCounterIn, NewCounterOut) VALUES (1, 1)");
        write({'I', "ART", 5, 10});
        write({'X', "PIX", 2, 3});
        write({'O', "ART", 5, 4});
        db.exec("INSERT INTO \"Fctser.DB\" (Contor, Serie, Number) VALUES (1, 'AB', 100)");
        db.exec("INSERT INTO \"Chser.db\" (Contor, Data_platii, Numar) VALUES (1, '2026-01-05', 7)");
        recalculate();
    }
    QStringList faults(stock::DocumentFault::Kind kind)
    {
        QStringList texts;
        for (const stock::DocumentFault& f : stock::CheckDocuments(db, parameters.Epsilon))
            if (f.kind == kind)
                texts << f.text;
        return texts;
    }
};

TEST_F(DocumentChecks, ASoundDatabaseHasNoFaults)
{
    EXPECT_TRUE(stock::CheckDocuments(db, parameters.Epsilon).isEmpty());
    // The initial-stock document may have no lines; a difference within Epsilon is none.
    db.exec("DELETE FROM ITEM_IN WHERE Contor = -1");
    db.exec("DELETE FROM STOC WHERE Cod_articol = 'PIX'");
    db.exec("UPDATE STOC SET Cantitate = Cantitate + 0.000005");
    EXPECT_TRUE(stock::CheckDocuments(db, parameters.Epsilon).isEmpty());
}

TEST_F(DocumentChecks, EachKindOfFaultIsFound)
{
    using Kind = stock::DocumentFault::Kind;
    struct Case {
        const char* what;
        const char* breakIt;
        Kind kind;
        QStringList expected;
    };
    const Case cases[] = {
        {"a stock row changed", "UPDATE STOC SET Cantitate = 7 WHERE Cod_articol = 'ART'", Kind::StockDiffers,
         {"Gestiunea A, articolul G.ART, pret 5: stoc 7, documente 6"}},
        {"a stock row deleted", "DELETE FROM STOC WHERE Cod_articol = 'PIX'", Kind::StockDiffers,
         {"Gestiunea A, articolul G.PIX, pret 2: stoc 0, documente 3"}},
        {"a row no document supports", "INSERT INTO STOC (Cod_gestiune, Cod_grupa, Cod_articol, Pret_achizitie, Lot, "
                                       "Agent, Cantitate) VALUES ('A', 'G', 'GUMA', 1, 'L1', 'B1', 2)",
         Kind::StockDiffers, {"Gestiunea A, articolul G.GUMA, pret 1, lot L1, buget B1: stoc 2, documente 0"}},
        {"an input header deleted", "DELETE FROM DOC_IN WHERE Contor = 1", Kind::LineWithoutHeader,
         {"Document de intrare, contor 1: 1 linii fara antet"}},
        {"an output header deleted", "DELETE FROM DOC_OUT", Kind::LineWithoutHeader,
         {"Document de iesire, contor 1: 1 linii fara antet"}},
        {"an output without lines", "DELETE FROM ITEM_OUT", Kind::HeaderWithoutLines,
         {"Document de iesire, contor 1 (BMC): nu are linii"}},
        {"an input counter behind", "UPDATE COUNTER SET NewCounterIn = 0", Kind::CounterBehind,
         {"NewCounterIn = 0 in Counter.DB, dar cel mai mare contor de document de intrare este 1"}},
        {"no counter record", "DELETE FROM COUNTER", Kind::CounterBehind,
         {"NewCounterIn = 0 in Counter.DB, dar cel mai mare contor de document de intrare este 1",
          "NewCounterOut = 0 in Counter.DB, dar cel mai mare contor de document de iesire este 1"}},
        {"an invoice number given twice", "INSERT INTO \"Fctser.DB\" (Contor, Serie, Number) VALUES (5, 'AB', 100)",
         Kind::NumberGivenTwice, {"Factura seria AB numarul 100: data de 2 ori (contoarele 1, 5)"}},
        {"a receipt number given twice", "INSERT INTO \"Chser.db\" (Contor, Data_platii, Numar) VALUES (3, '2026-01-06', 7)",
         Kind::NumberGivenTwice, {"Chitanta numarul 7: data de 2 ori (contoarele 1, 3)"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        {
            datastore::UnitOfWork work(db);
            db.exec(QString::fromLatin1(c.breakIt));
            EXPECT_EQ(faults(c.kind), c.expected);
            // (the unit is not committed: the next case starts from the sound database)
        }
        EXPECT_TRUE(stock::CheckDocuments(db, parameters.Epsilon).isEmpty());
    }
}

// Serial numbers belong to an input line: those whose document or line is
// gone are found by nothing else.
TEST_F(DocumentChecks, SerialNumbersWithoutTheirLine)
{
    db.createTable(*datastore::findTableDef(QStringLiteral("Serie.DB")));
    const double line = db.scalar("SELECT Contor_secundar FROM ITEM_IN WHERE Contor = 1").toDouble();
    db.exec("INSERT INTO \"Serie.DB\" (Contor, ContorSec, Grupa, Cod_articol, SerieFurn, Serie) VALUES "
            "(1, :l, 'G', 'ART', 0, 1), (1, :l, 'G', 'ART', 0, 2)",
            {{"l", line}});
    EXPECT_TRUE(stock::CheckDocuments(db, parameters.Epsilon).isEmpty());
    db.exec("INSERT INTO \"Serie.DB\" (Contor, ContorSec, Grupa, Cod_articol, SerieFurn, Serie) VALUES "
            "(1, 7, 'G', 'ART', 0, 3), (12, 1, 'G', 'PIX', 0, 4), (12, 1, 'G', 'PIX', 0, 5), (12, 2, 'G', 'PIX', 0, 6)");
    EXPECT_EQ(faults(stock::DocumentFault::Kind::SerialWithoutLine),
              (QStringList{"Document de intrare, contor 1, linia 7: 1 serii, linia nu exista",
                           "Document de intrare, contor 12, linia 1: 2 serii, documentul nu exista",
                           "Document de intrare, contor 12, linia 2: 1 serii, documentul nu exista"}));
    EXPECT_EQ(stock::faultHeading(stock::DocumentFault::Kind::SerialWithoutLine), "Serii fara document");
}

// A line whose header is gone is reported twice: as such, and as stock the
// documents no longer support, which the recalculation then takes out.
TEST_F(DocumentChecks, ALineWithoutHeaderIsNotLostSilently)
{
    db.exec("DELETE FROM DOC_OUT");
    EXPECT_EQ(faults(stock::DocumentFault::Kind::LineWithoutHeader).size(), 1);
    EXPECT_EQ(faults(stock::DocumentFault::Kind::StockDiffers),
              QStringList{"Gestiunea A, articolul G.ART, pret 5: stoc 6, documente 10"});
    recalculate();
    EXPECT_EQ(rows(), (QStringList{"ART@5=10", "PIX@2=3"}));
    EXPECT_EQ(faults(stock::DocumentFault::Kind::LineWithoutHeader).size(), 1);
    EXPECT_TRUE(faults(stock::DocumentFault::Kind::StockDiffers).isEmpty());
}

} // namespace
