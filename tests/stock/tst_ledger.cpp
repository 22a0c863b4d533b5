// The stock ledger on a real database: input, output and initial-stock
// adjustments, the reconciliation of new, edited and deleted lines, the
// output split over prices, the tolerance, and a random walk of line changes
// after which every stock row still equals its documents.

#include "stocktest.h"

#include <utility>

#include <QRandomGenerator>
#include <functional>

using namespace stocktest;
using stock::Ledger;
using stock::StockKey;
using common::Answer;

namespace {

const QString kQuestion13 = QStringLiteral(
    "La pretul ales nu puteti lua din stoc o cantitate mai mare de 13,00 top ! "
    "DORITI CAUTAREA CANTITATII SOLICITATE CU ALT PRET? ");
const QString kNoStockLeft = QStringLiteral("Nu exista stoc în gestiunea A pentru articolul G.ART!");
const QString kNegativeStock = QStringLiteral(
    "Atentie!\rPrin aceasta operatiune stocul devine negativ!\r"
    "Stergeti mai întîi operatiunile corespunzatoare de iesire din stoc!");

struct LedgerCase {
    const char* name;
    std::function<void(LedgerFixture&)> before; // receipts and earlier lines (no messages expected)
    QList<Answer> answers;                      // to the questions of the action
    std::function<bool(LedgerFixture&)> action; // true when the action was accepted
    bool accepted;
    QStringList stock;
    QStringList outLines;
    QStringList inLines;
    QStringList messages;
    bool askOtherPriceAfter = true;
};

// Rows of 13 at 5 and 2 at 6, from three receipts.
void thirteenAtFiveTwoAtSix(LedgerFixture& f);

} // namespace

// Gives the fixture's protected helpers to the case table.
class LedgerCaseRunner : public LedgerFixture {
public:
    void TestBody() override {}
    using LedgerFixture::change;
    using LedgerFixture::issue;
    using LedgerFixture::receive;
    using LedgerFixture::removeLine;
    using LedgerFixture::inLines;
    using LedgerFixture::outLines;
    using LedgerFixture::ledger;
    using LedgerFixture::dialogs;
    using LedgerFixture::window;
    using LedgerFixture::stockRows;
    using LedgerFixture::outputLines;
    using LedgerFixture::inputLines;
    using LedgerFixture::ledgerMatchesDocuments;
    using LedgerFixture::SetUp;
    using LedgerFixture::TearDown;
};

namespace {

using R = LedgerCaseRunner;
R& run(LedgerFixture& f) { return static_cast<R&>(f); }

void thirteenAtFiveTwoAtSix(LedgerFixture& f)
{
    R& r = run(f);
    r.receive(5, 10);
    r.receive(5, 3);
    r.receive(6, 2);
}

const LedgerCase kCases[] = {
    {"ReceiptsAtTwoPrices", [](LedgerFixture& f) { run(f).receive(5, 10); run(f).receive(5, 3); }, {},
     [](LedgerFixture& f) { return run(f).receive(6, 2); }, true,
     {"ART@5=13", "ART@6=2"}, {}, {"ART@5=10", "ART@5=3", "ART@6=2"}, {}},
    {"InputReducedToZeroDeletesTheRow", [](LedgerFixture& f) { run(f).receive(5, 13); }, {},
     [](LedgerFixture& f) { return run(f).change(run(f).inLines, 0, QStringLiteral("Cantitate"), 0.0); }, true,
     {}, {}, {"ART@5=0"}, {}},
    {"DeletingAnIssuedReceiptIsRefused",
     [](LedgerFixture& f) { run(f).receive(5, 10); run(f).issue(5, 4); }, {},
     [](LedgerFixture& f) { return run(f).removeLine(run(f).inLines, 0); }, false,
     {"ART@5=6"}, {"ART@5=4"}, {"ART@5=10"}, {kNegativeStock}},
    {"ReducingAReceiptBelowWhatWasIssuedIsRefused",
     [](LedgerFixture& f) { run(f).receive(5, 10); run(f).issue(5, 4); }, {},
     [](LedgerFixture& f) { return run(f).change(run(f).inLines, 0, QStringLiteral("Cantitate"), 3.0); }, false,
     {"ART@5=6"}, {"ART@5=4"}, {"ART@5=10"}, {kNegativeStock}},
    {"FifteenSplitOverTwoPrices", thirteenAtFiveTwoAtSix, {Answer::Yes},
     [](LedgerFixture& f) { return run(f).issue(5, 15); }, true,
     {}, {"ART@5=13", "ART@6=2"}, {"ART@5=10", "ART@5=3", "ART@6=2"}, {kQuestion13},
     /*the last row held exactly the rest*/ false},
    {"TwentyLeavesFiveNotIssued", thirteenAtFiveTwoAtSix, {Answer::Yes},
     [](LedgerFixture& f) { return run(f).issue(5, 20); }, true,
     {}, {"ART@5=13", "ART@6=2"}, {"ART@5=10", "ART@5=3", "ART@6=2"}, {kQuestion13, kNoStockLeft}, true},
    {"AnsweringNoWritesNothing", thirteenAtFiveTwoAtSix, {Answer::No},
     [](LedgerFixture& f) { return run(f).issue(5, 15); }, false,
     {"ART@5=13", "ART@6=2"}, {}, {"ART@5=10", "ART@5=3", "ART@6=2"}, {kQuestion13}},
    {"SplitRowCoveringTheRestAsksAgainNextTime",
     [](LedgerFixture& f) { run(f).receive(5, 13); run(f).receive(6, 5); }, {Answer::Yes},
     [](LedgerFixture& f) { return run(f).issue(5, 15); }, true,
     {"ART@6=3"}, {"ART@5=13", "ART@6=2"}, {"ART@5=13", "ART@6=5"}, {kQuestion13}, true},
    {"OutputAtAPriceWithoutStock", [](LedgerFixture& f) { run(f).receive(5, 13); }, {},
     [](LedgerFixture& f) { return run(f).issue(7, 1); }, false,
     {"ART@5=13"}, {}, {"ART@5=13"},
     {QStringLiteral("Nu exista stoc în gestiunea A pentru articolul G.ART cu pret de achizitie 7,00 !")}},
    {"OutputQuantityFourToSixTakesTwoMore", [](LedgerFixture& f) { run(f).receive(5, 13); run(f).issue(5, 4); }, {},
     [](LedgerFixture& f) { return run(f).change(run(f).outLines, 0, QStringLiteral("Cantitate"), 6.0); }, true,
     {"ART@5=7"}, {"ART@5=6"}, {"ART@5=13"}, {}},
    {"OutputPriceChangeGivesBackAndRecreatesTheOldRow",
     [](LedgerFixture& f) { run(f).receive(5, 4); run(f).receive(6, 10); run(f).issue(5, 4); }, {},
     [](LedgerFixture& f) { return run(f).change(run(f).outLines, 0, QStringLiteral("Pret_achizitie"), 6.0); }, true,
     {"ART@5=4", "ART@6=6"}, {"ART@6=4"}, {"ART@5=4", "ART@6=10"}, {}},
    {"OutputPriceChangeRefusedKeepsTheLineAndTheStock",
     [](LedgerFixture& f) { run(f).receive(5, 4); run(f).receive(6, 2); run(f).issue(5, 4); }, {Answer::No},
     [](LedgerFixture& f) { return run(f).change(run(f).outLines, 0, QStringLiteral("Pret_achizitie"), 6.0); }, false,
     {"ART@6=2"}, {"ART@5=4"}, {"ART@5=4", "ART@6=2"},
     {QStringLiteral("La pretul ales nu puteti lua din stoc o cantitate mai mare de 2,00 top ! "
                     "DORITI CAUTAREA CANTITATII SOLICITATE CU ALT PRET? ")}},
    {"DeletingAnOutputLineGivesItBack", [](LedgerFixture& f) { run(f).receive(5, 4); run(f).issue(5, 4); }, {},
     [](LedgerFixture& f) { return run(f).removeLine(run(f).outLines, 0); }, true,
     {"ART@5=4"}, {}, {"ART@5=4"}, {}},
    {"InputPriceChangeMovesTheQuantity", [](LedgerFixture& f) { run(f).receive(5, 4); }, {},
     [](LedgerFixture& f) { return run(f).change(run(f).inLines, 0, QStringLiteral("Pret_achizitie_lei"), 5.5); }, true,
     {"ART@5.5=4"}, {}, {"ART@5.5=4"}, {}},
    // An edited line at the same price grown past the row: all that is there
    // is taken at this price, the rest at the next one.
    {"EditedLineGrownPastTheRowTakesAllItAskedFor",
     [](LedgerFixture& f) { run(f).receive(5, 13); run(f).receive(6, 10); run(f).issue(5, 4); }, {Answer::Yes},
     [](LedgerFixture& f) { return run(f).change(run(f).outLines, 0, QStringLiteral("Cantitate"), 20.0); }, true,
     {"ART@6=3"}, {"ART@5=13", "ART@6=7"}, {"ART@5=13", "ART@6=10"},
     {QStringLiteral("La pretul ales nu puteti lua din stoc o cantitate mai mare de 9,00 top ! "
                     "DORITI CAUTAREA CANTITATII SOLICITATE CU ALT PRET? ")}},
    // A line moved to another price and split there gives its old quantity
    // back once; the rest comes from the lowest price, the row just given back.
    {"EditedLineMovedAndSplitGivesBackOnce",
     [](LedgerFixture& f) { run(f).receive(5, 4); run(f).receive(6, 2); run(f).receive(7, 10); run(f).issue(5, 4); },
     {Answer::Yes},
     [](LedgerFixture& f) { return run(f).change(run(f).outLines, 0, QStringLiteral("Pret_achizitie"), 6.0); }, true,
     {"ART@5=2", "ART@7=10"}, {"ART@6=2", "ART@5=2"}, {"ART@5=4", "ART@6=2", "ART@7=10"},
     {QStringLiteral("La pretul ales nu puteti lua din stoc o cantitate mai mare de 2,00 top ! "
                     "DORITI CAUTAREA CANTITATII SOLICITATE CU ALT PRET? ")}},
    // The rest is searched with the line's empty lot, which finds a row with a
    // lot; its exact key has no row: that line is refused, the first one stays.
    {"SplitLineOfAnotherLotIsRefused",
     [](LedgerFixture& f) { run(f).receive(5, 3); run(f).receive(6, 5, QStringLiteral("ART"), QStringLiteral("L1")); },
     {Answer::Yes},
     [](LedgerFixture& f) { return run(f).issue(5, 4); }, true,
     {"ART@6/L1=5"}, {"ART@5=3"}, {"ART@5=3", "ART@6/L1=5"},
     {QStringLiteral("La pretul ales nu puteti lua din stoc o cantitate mai mare de 3,00 top ! "
                     "DORITI CAUTAREA CANTITATII SOLICITATE CU ALT PRET? "),
      QStringLiteral("Nu exista stoc în gestiunea A pentru articolul G.ART cu pret de achizitie 6,00 !")},
     /*the row found held more than the rest*/ true},
};

class LedgerTable : public ::testing::TestWithParam<LedgerCase> {};

} // namespace

TEST_P(LedgerTable, StockAndLinesAfterwards)
{
    const LedgerCase& c = GetParam();
    LedgerCaseRunner f;
    f.SetUp();
    c.before(f);
    ASSERT_TRUE(f.dialogs.messages.isEmpty()) << f.dialogs.texts().join(u'|').toStdString();
    for (Answer a : c.answers)
        f.dialogs.queueAnswer(a);
    EXPECT_EQ(c.action(f), c.accepted);
    EXPECT_EQ(f.dialogs.texts(), c.messages);
    if (!c.accepted) {
        f.outLines.cancel();
        f.inLines.cancel();
    }
    EXPECT_EQ(f.stockRows(), c.stock);
    EXPECT_EQ(f.outputLines(), c.outLines);
    EXPECT_EQ(f.inputLines(), c.inLines);
    EXPECT_EQ(f.ledger.AskOtherPrice, c.askOtherPriceAfter);
    EXPECT_TRUE(f.ledgerMatchesDocuments());
    f.TearDown();
}

INSTANTIATE_TEST_SUITE_P(WorkedExamples, LedgerTable, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<LedgerCase>& p) { return std::string(p.param.name); });

// ---- steps of the window around the ledger ---------------------------------------

using LedgerSteps = LedgerCaseRunner;

TEST_F(LedgerSteps, AfterAnExactSplitTheNextShortageIsSplitWithoutAsking)
{
    thirteenAtFiveTwoAtSix(*this);
    dialogs.queueAnswer(Answer::Yes);
    ASSERT_TRUE(issue(5, 15));
    ASSERT_FALSE(ledger.AskOtherPrice);
    receive(7, 4);
    receive(8, 10);
    dialogs.clear();
    ASSERT_TRUE(issue(7, 10));
    EXPECT_TRUE(dialogs.messages.isEmpty()) << dialogs.texts().join(u'|').toStdString();
    EXPECT_EQ(stockRows(), QStringList({"ART@8=4"}));
    EXPECT_EQ(outputLines(), QStringList({"ART@5=13", "ART@6=2", "ART@7=4", "ART@8=6"}));
    EXPECT_TRUE(ledgerMatchesDocuments());
}

TEST_F(LedgerSteps, NoPutsTheCursorOnTheQuantityAndTheLineStaysInEditing)
{
    thirteenAtFiveTwoAtSix(*this);
    dialogs.queueAnswer(Answer::No);
    EXPECT_FALSE(issue(5, 15));
    EXPECT_EQ(window.quantityFocus, 1);
    EXPECT_EQ(outLines.state(), datastore::DatasetState::Insert);
    EXPECT_EQ(outLines.value(QStringLiteral("Cantitate")).toDouble(), 15);
    // Mended by the user and written again: nothing was given or taken twice.
    outLines.setValue(QStringLiteral("Cantitate"), 12.0);
    outLines.post();
    EXPECT_EQ(stockRows(), QStringList({"ART@5=1", "ART@6=2"}));
    EXPECT_TRUE(ledgerMatchesDocuments());
}

TEST_F(LedgerSteps, SplitLeavesTheCursorOnTheLastLineWithTheWindowsValues)
{
    thirteenAtFiveTwoAtSix(*this);
    dialogs.queueAnswer(Answer::Yes);
    ASSERT_TRUE(issue(5, 15));
    EXPECT_EQ(outLines.recordCount(), 2);
    EXPECT_EQ(outLines.recNo(), 1);
    EXPECT_EQ(outLines.value(QStringLiteral("Pret_achizitie")).toDouble(), 6);
    EXPECT_EQ(outLines.value(QStringLiteral("Pret_vinzare")).toDouble(), 99);
    EXPECT_EQ(outLines.value(QStringLiteral("Contor_secundar")).toDouble(), 2); // the next line number
}

TEST_F(LedgerSteps, DeletingALineBeingEditedReversesItsStoredQuantity)
{
    receive(5, 10);
    ASSERT_TRUE(issue(5, 4));
    outLines.edit();
    outLines.setValue(QStringLiteral("Cantitate"), 9.0); // typed, not written
    outLines.remove();
    EXPECT_EQ(stockRows(), QStringList({"ART@5=10"}));
    EXPECT_TRUE(ledgerMatchesDocuments());
}

TEST_F(LedgerSteps, CancellingAnEditLeavesTheStock)
{
    receive(5, 10);
    ASSERT_TRUE(issue(5, 4));
    dialogs.queueAnswer(Answer::No);
    EXPECT_FALSE(change(outLines, 0, QStringLiteral("Cantitate"), 11.0));
    outLines.cancel();
    EXPECT_EQ(stockRows(), QStringList({"ART@5=6"}));
    // and a later edit starts from the stored line
    ASSERT_TRUE(change(outLines, 0, QStringLiteral("Cantitate"), 5.0));
    EXPECT_EQ(stockRows(), QStringList({"ART@5=5"}));
}

TEST_F(LedgerSteps, LinesOfAMultipleSelectionAreWrittenWithoutAdjustment)
{
    receive(5, 10);
    outPosting.enabled = false;
    outLines.append();
    outLines.setValue(QStringLiteral("Contor"), kOutputDoc);
    outLines.setValue(QStringLiteral("Cod_articol"), QStringLiteral("ART"));
    outLines.post();
    outPosting.enabled = true;
    EXPECT_EQ(stockRows(), QStringList({"ART@5=10"}));
}

TEST_F(LedgerSteps, AnEngineErrorAfterTheLineLeavesNeitherLineNorStock)
{
    receive(5, 10);
    outLines.whilePosting = [previous = outLines.whilePosting] {
        previous();
        throw datastore::DbError(datastore::DbErrorKind::Io, QStringLiteral("disk I/O error"));
    };
    appendLine(outLines, kOutputDoc, 5, 4);
    EXPECT_THROW(outLines.post(), datastore::DbError);
    EXPECT_EQ(stockRows(), QStringList({"ART@5=10"}));
    EXPECT_TRUE(outputLines().isEmpty());
}

TEST_F(LedgerSteps, WritingAgainAfterAFailedWriteMovesTheStockOnce)
{
    // A handler after the stock fails once (a full disk); the user writes
    // the same line again.
    bool fail = false;
    auto failOnce = [&fail](std::function<void()> previous) {
        return [previous = std::move(previous), &fail] {
            previous();
            if (std::exchange(fail, false))
                throw datastore::DbError(datastore::DbErrorKind::Io, QStringLiteral("disk I/O error"));
        };
    };
    inLines.whilePosting = failOnce(inLines.whilePosting);
    outLines.whilePosting = failOnce(outLines.whilePosting);
    ASSERT_TRUE(receive(5, 10));

    fail = true;
    inLines.moveTo(0);
    inLines.edit();
    inLines.setValue("Cantitate", 14.0);
    EXPECT_THROW(inLines.post(), datastore::DbError);
    EXPECT_EQ(stockRows(), QStringList({"ART@5=10"}));
    inLines.post(); // still in editing: written now
    EXPECT_EQ(stockRows(), QStringList({"ART@5=14"}));

    fail = true;
    appendLine(outLines, kOutputDoc, 5, 4);
    EXPECT_THROW(outLines.post(), datastore::DbError);
    outLines.post();
    EXPECT_EQ(stockRows(), QStringList({"ART@5=10"}));
    EXPECT_TRUE(ledgerMatchesDocuments());
}

// ---- the adjustments on their own -----------------------------------------------

TEST_F(LedgerSteps, ToleranceOfEachAdjustment)
{
    const StockKey key{QStringLiteral("A"), QStringLiteral("G"), QStringLiteral("ART"), 5, {}, {}};
    const std::function<void(double)> adjustments[] = {
        [&](double d) { ledger.AdjustStockIn(key, d, {}); },
        [&](double d) { ledger.AdjustStockOut(key, d); },
        [&](double d) { ledger.AdjustStockInitial(key, d); },
    };
    const struct {
        const char* name;
        double left; // after taking from a row of 1
        bool kept;
    } cases[] = {
        {"0.000004 left", 0.000004, false},
        // 1 - 0.99999 is a hair above 0.00001 in binary: it is Epsilon, and goes.
        {"exactly Epsilon left", 0.00001, false},
        {"0.000011 left", 0.000011, true},
        {"0.00002 left", 0.00002, true},
    };
    for (const auto& c : cases) {
        for (int a = 0; a < 3; ++a) {
            SCOPED_TRACE(std::string(c.name) + " by adjustment " + std::to_string(a));
            db.exec(QStringLiteral("DELETE FROM STOC"));
            ledger.AdjustStockIn(key, 1, {});
            adjustments[a](-(1 - c.left));
            EXPECT_EQ(ledger.findRow(key).has_value(), c.kept);
            // A key without a row counts as zero: a change within Epsilon of
            // it writes nothing, and takes nothing either.
            db.exec(QStringLiteral("DELETE FROM STOC"));
            EXPECT_NO_THROW(adjustments[a](c.kept ? 0.000011 : 0.00001)) << dialogs.texts().join(u'|').toStdString();
            EXPECT_EQ(ledger.findRow(key).has_value(), c.kept);
            db.exec(QStringLiteral("DELETE FROM STOC"));
            if (!c.kept) {
                EXPECT_NO_THROW(adjustments[a](-0.00001)) << dialogs.texts().join(u'|').toStdString();
            }
            EXPECT_FALSE(ledger.findRow(key).has_value());
        }
    }
    // A take that leaves exactly Epsilon below zero leaves zero: the row goes.
    // More than that is refused.
    db.exec(QStringLiteral("DELETE FROM STOC"));
    ledger.AdjustStockIn(key, 1, {});
    EXPECT_THROW(ledger.AdjustStockIn(key, -1.000011, {}), datastore::Abort);
    EXPECT_NO_THROW(ledger.AdjustStockIn(key, -1.00001, {}));
    EXPECT_FALSE(ledger.findRow(key).has_value());
}

// A line of a quantity within Epsilon of zero (not zero) is refused on every
// kind of line: its row could never be told from zero.
TEST_F(LedgerSteps, ALineWithinTheToleranceIsRefused)
{
    const QString refused = QStringLiteral(
        "Cantitatea 1e-05 nu depaseste toleranta de calcul (1e-05)! Introduceti zero sau o cantitate mai mare.");
    EXPECT_FALSE(receive(5, 0.00001));
    EXPECT_EQ(dialogs.texts(), QStringList{refused});
    inLines.cancel();
    EXPECT_FALSE(receive(5, -0.000004));
    inLines.cancel();
    ASSERT_TRUE(receive(5, 10));
    EXPECT_FALSE(issue(5, 0.00001));
    outLines.cancel();
    EXPECT_FALSE(change(inLines, 0, QStringLiteral("Cantitate"), 0.00001));
    inLines.cancel();

    datastore::Dataset initial(db, QStringLiteral("Item_in.DB"));
    initial.setFilter(QStringLiteral("Contor = -1"));
    initial.open();
    stock::LinePosting posting(initial, stock::LineKind::Initial, ledger);
    stocktest::appendLine(initial, -1, 5, 0.00001, QStringLiteral("PIX"));
    EXPECT_THROW(initial.post(), datastore::Abort);
    initial.cancel();

    // Zero, and anything beyond Epsilon, are lines like any other.
    EXPECT_TRUE(receive(6, 0.000011));
    EXPECT_TRUE(receive(7, 0));
    EXPECT_EQ(stockRows(), (QStringList{"ART@5=10", "ART@6=1.1e-05"}));
    EXPECT_EQ(dialogs.texts().size(), 5);
    EXPECT_TRUE(ledgerMatchesDocuments());
}

TEST_F(LedgerSteps, RowsCreatedAndRefusedByEachAdjustment)
{
    const StockKey key{QStringLiteral("A"), QStringLiteral("G"), QStringLiteral("ART"), 5, QStringLiteral("L"), QStringLiteral("B1")};
    // An input take with no row beeps and refuses.
    EXPECT_THROW(ledger.AdjustStockIn(key, -1, {}), datastore::Abort);
    EXPECT_EQ(dialogs.beeps, 1);
    EXPECT_EQ(dialogs.last().text, kNegativeStock);
    // The bar code comes with the input that creates the row, and stays.
    ledger.AdjustStockIn(key, 2, QStringLiteral("594000"));
    ledger.AdjustStockIn(key, 2, QStringLiteral("111"));
    EXPECT_EQ(ledger.findRow(key)->barCode, QStringLiteral("594000"));
    EXPECT_EQ(ledger.findRow(key)->quantity, 4);
    // An output given back creates a row without a bar code.
    const StockKey other{QStringLiteral("B"), QStringLiteral("G"), QStringLiteral("ART"), 5, {}, {}};
    ledger.AdjustStockOut(other, 3);
    EXPECT_TRUE(ledger.findRow(other)->barCode.isEmpty());
    // The initial stock takes any sign and never refuses.
    const StockKey initial{QStringLiteral("C"), QStringLiteral("G"), QStringLiteral("ART"), 5, {}, {}};
    QStringList progress;
    ledger.showProgress = [&](const QString& t) { progress << t; };
    ledger.AdjustStockInitial(initial, -2);
    EXPECT_EQ(ledger.findRow(initial)->quantity, -2);
    EXPECT_EQ(progress, QStringList({" Actualizez stocurile...", " OK."}));
    // A row at or below zero is taken further without a question.
    ledger.AdjustStockOut(initial, -1);
    EXPECT_EQ(ledger.findRow(initial)->quantity, -3);
    // Nothing happens without an article or with a zero quantity.
    const int before = stockRows().size();
    ledger.AdjustStockIn({QStringLiteral("A"), QStringLiteral("G"), {}, 1, {}, {}}, 5, {});
    ledger.AdjustStockOut(key, 0);
    EXPECT_EQ(stockRows().size(), before);
}

TEST_F(LedgerSteps, InitialStockLinesReconcileAfterTheyAreWritten)
{
    datastore::Dataset initial(db, QStringLiteral("Item_in.DB"));
    initial.setFilter(QStringLiteral("Contor = -1"));
    initial.open();
    stock::LinePosting posting(initial, stock::LineKind::Initial, ledger);
    initial.append();
    initial.setValue(QStringLiteral("Contor"), -1.0);
    initial.setValue(QStringLiteral("Cod_gestiune"), QStringLiteral("A"));
    initial.setValue(QStringLiteral("Cod_grupa"), QStringLiteral("G"));
    initial.setValue(QStringLiteral("Cod_articol"), QStringLiteral("ART"));
    initial.setValue(QStringLiteral("Pret_achizitie_lei"), 3.0);
    initial.setValue(QStringLiteral("Cantitate"), 7.0);
    initial.post();
    initial.edit();
    initial.setValue(QStringLiteral("Pret_achizitie_lei"), 4.0);
    initial.post();
    EXPECT_EQ(stockRows(), QStringList({"ART@4=7"}));
    initial.remove();
    EXPECT_TRUE(stockRows().isEmpty());
}

// ---- a random walk ----------------------------------------------------------------

TEST_F(LedgerSteps, RandomLineChangesKeepEveryRowEqualToItsDocuments)
{
    QRandomGenerator random(20261210);
    const QStringList articles{QStringLiteral("ART"), QStringLiteral("AR"), QStringLiteral("BX")};
    const QStringList lots{QString(), QStringLiteral("L1")};
    const double prices[] = {5, 6, 7.25};
    auto pick = [&](const auto& list) { return list[random.bounded(int(std::size(list)))]; };
    auto quantity = [&] { return random.bounded(1, 40) / 4.0; };
    int refused = 0;
    int splits = 0;
    for (int step = 0; step < 400; ++step) {
        SCOPED_TRACE(step);
        for (int i = 0; i < 3; ++i)
            dialogs.queueAnswer(random.bounded(4) ? Answer::Yes : Answer::No);
        bool ok = true;
        switch (random.bounded(7)) {
        case 0:
        case 1:
            ok = receive(pick(prices), quantity(), pick(articles), pick(lots));
            break;
        case 2:
            ok = issue(pick(prices), quantity(), pick(articles), pick(lots));
            break;
        case 3:
            if (!inLines.isEmpty()) {
                const int row = random.bounded(inLines.recordCount());
                ok = random.bounded(2) ? change(inLines, row, QStringLiteral("Cantitate"), quantity())
                                       : change(inLines, row, QStringLiteral("Pret_achizitie_lei"), pick(prices));
            }
            break;
        case 4:
            if (!outLines.isEmpty()) {
                const int row = random.bounded(outLines.recordCount());
                switch (random.bounded(3)) {
                case 0: ok = change(outLines, row, QStringLiteral("Cantitate"), quantity()); break;
                case 1: ok = change(outLines, row, QStringLiteral("Pret_achizitie"), pick(prices)); break;
                default: ok = change(outLines, row, QStringLiteral("Lot"), pick(lots)); break;
                }
            }
            break;
        case 5:
            if (!inLines.isEmpty())
                ok = removeLine(inLines, random.bounded(inLines.recordCount()));
            break;
        default:
            if (!outLines.isEmpty())
                ok = removeLine(outLines, random.bounded(outLines.recordCount()));
            break;
        }
        for (const auto& m : dialogs.messages)
            splits += m.text.contains(QStringLiteral("CU ALT PRET")) ? 1 : 0;
        if (!ok) {
            ++refused;
            inLines.cancel();
            outLines.cancel();
        }
        dialogs.clear();
        ASSERT_TRUE(ledgerMatchesDocuments());
    }
    EXPECT_GT(refused, 10); // the walk did meet refusals
    EXPECT_GT(splits, 10);  // and price questions
    EXPECT_FALSE(outputLines().isEmpty());
}

// ---- no box is open while the write lock is held ------------------------------

namespace {

// Notes, for each message, whether a write transaction was open.
struct LockWatchingDialogs : common::ScriptedDialogs {
    datastore::Database* db = nullptr;
    QList<bool> underLock;
    common::Answer message(common::Icon icon, const QString& text, common::Buttons buttons) override
    {
        underLock << db->inTransaction();
        return ScriptedDialogs::message(icon, text, buttons);
    }
};

} // namespace

TEST(LedgerMessages, AreShownOutsideTheWriteTransaction)
{
    testsupport::TempDir dir{testsupport::TempDir::Database};
    datastore::Database db;
    db.setDirectory(dir.path());
    stocktest::createStockTables(db);
    common::Parameters parameters;
    common::Formats formats;
    LockWatchingDialogs dialogs;
    dialogs.db = &db;
    Ledger ledger(db, parameters, formats, dialogs);
    datastore::Dataset in(db, QStringLiteral("Item_in.DB"));
    datastore::Dataset out(db, QStringLiteral("Item_out.DB"));
    in.open();
    out.open();
    stock::LinePosting inPosting(in, stock::LineKind::Input, ledger);
    stock::LinePosting outPosting(out, stock::LineKind::Output, ledger);
    auto line = [](datastore::Dataset& d, double price, double qty) {
        stocktest::appendLine(d, 1, price, qty);
        try {
            d.post();
        } catch (const datastore::Abort&) {
            d.cancel();
        }
    };
    line(in, 5, 13);
    line(in, 6, 2);
    line(out, 7, 1);  // no stock at that price
    line(out, 5, 20); // the question, then nothing left for 5
    in.first();
    EXPECT_THROW(in.remove(), datastore::Abort); // already issued
    EXPECT_EQ(dialogs.messages.size(), 4);
    EXPECT_EQ(dialogs.underLock, QList<bool>({false, false, false, false}));
    EXPECT_EQ(dialogs.messages[1].buttons, common::Buttons::YesNo);
}
