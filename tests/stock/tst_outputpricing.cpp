// Sale prices, VAT, excise and discounts of output lines: the rules alone on
// the worked figures, then through the output window's logic on a database
// file: the calculated sale price, the grid of the line's budget, the
// currency price, the taxes of fiscal invoices on their sale value, the
// document discount, and every line of a split over three prices.

#include "docouttest.h"

#include "common/rounding.h"
#include "stock/outputpricing.h"

using namespace stocktest;
using stock::PricingRules;
using stock::TDocOutFormLogic;

namespace {

PricingRules rules(bool roundTva, bool calcTva = false, common::SellPriceMode mode = common::SellPriceMode::Fetch)
{
    PricingRules r;
    r.roundTva = roundTva;
    r.calcTva = calcTva;
    r.sellPrice = mode;
    return r;
}

TEST(OutputPricingRules, WorkedFigures)
{
    const auto calc = common::SellPriceMode::Calc;
    const auto fetch = common::SellPriceMode::Fetch;
    // Sale price from the mark-up: 1312.5 goes to the even 1312.
    EXPECT_DOUBLE_EQ(stock::MarkedUpPrice(10.5, 25, rules(false)), 13.12);
    EXPECT_DOUBLE_EQ(stock::MarkedUpPrice(10.5, 25, rules(true)), 13);
    PricingRules three = rules(false);
    three.decimals = 3;
    EXPECT_DOUBLE_EQ(stock::MarkedUpPrice(10.5, 25, three), 13.125);

    // A signed percentage: grids and the document discount.
    struct Percent {
        double price, percent, expected;
    };
    for (const Percent& c : {Percent{100, 5, 105}, Percent{100, -5, 95}, Percent{50, -10, 45}, Percent{100, -99, 1},
                             Percent{100, 0, 100}})
        EXPECT_DOUBLE_EQ(stock::WithPercent(c.price, c.percent), c.expected) << c.price << " " << c.percent;

    // The document discount: from the typed price, or from the marked-up acquisition price.
    EXPECT_DOUBLE_EQ(stock::DiscountedPrice(30, 50, 0, -10, rules(false, false, fetch)), 45);
    EXPECT_DOUBLE_EQ(stock::DiscountedPrice(10, 0, 25, 10, rules(false, false, calc)), 13.75);
    EXPECT_DOUBLE_EQ(stock::DiscountedPrice(10, 0, 25, 10, rules(true, false, calc)), 13); // R(R(12.5) × 1.1)

    // The currency price: a zero rate gives 0, never a division by zero.
    EXPECT_DOUBLE_EQ(stock::CurrencyPrice(13.12, 4), 3.28);
    EXPECT_DOUBLE_EQ(stock::CurrencyPrice(13.12, 0), 0);
}

TEST(OutputPricingRules, Taxes)
{
    const stock::TaxRates rates{19, 10};
    struct Case {
        const char* type;
        QVariant price, quantity, sale;
        bool roundTva, calcTva;
        stock::LineTaxes expected;
    };
    const QVariant none;
    const Case cases[] = {
        // R(19 × 105.27) = R(2000.13) = 2000 -> 20.00; excise R(1052.7) = 1053 -> 10.53
        {"BMC", 105.27, 1.0, none, false, false, {20.00, 10.53}},
        {"BMC", 105.27, 1.0, none, true, false, {20, 11}},
        // Other types are taxed on the acquisition value, whatever their sale price.
        {"BMC", 105.27, 1.0, 200.0, false, false, {20.00, 10.53}},
        // "Calc TVA": only fiscal invoices carry taxes.
        {"BMC", 105.27, 1.0, none, false, true, {0, 0}},
        {"FCT", 105.27, 1.0, none, false, true, {20.00, 10.53}},
        // A fiscal invoice line with a sale price is taxed on the value it prints.
        {"FCT", 105.27, 2.0, 120.0, false, false, {45.60, 24.00}},
        {"CF", 105.27, 2.0, 120.0, false, true, {45.60, 24.00}},
        {"FCT", 105.27, 2.0, 0.0, false, false, {40.00, 21.05}},
        // Nothing to tax without a price or a quantity.
        {"FCT", none, 2.0, 120.0, false, false, {0, 0}},
        {"BMC", 10.0, none, none, false, false, {0, 0}},
    };
    for (const Case& c : cases) {
        const stock::LineTaxes t = stock::ComputeLineTaxes(QString::fromLatin1(c.type), c.price, c.quantity, c.sale,
                                                           rates, rules(c.roundTva, c.calcTva));
        EXPECT_NEAR(t.vat, c.expected.vat, 1e-9) << c.type << " " << c.price.toString().toStdString() << " sale "
                                                 << c.sale.toString().toStdString();
        EXPECT_NEAR(t.excise, c.expected.excise, 1e-9) << c.type;
    }
}

class OutputPricing : public DocOut {
protected:
    void SetUp() override
    {
        DocOut::SetUp();
        parameters.roundTva = false;
    }
    void setMarkup(const QString& article, double markup)
    {
        db.exec(QStringLiteral("UPDATE CATALOG SET Pret_vinzare = :m WHERE Cod = :a"),
                {{QStringLiteral("m"), markup}, {QStringLiteral("a"), article}});
    }
    void addRate(const QDate& date, double rate)
    {
        db.exec(QStringLiteral("INSERT INTO CURS (Valuta, Data, Curs) VALUES ('USD', :d, :r)"),
                {{QStringLiteral("d"), date}, {QStringLiteral("r"), rate}});
    }
    datastore::Dataset& lines() { return out().items; }
    double line(int row, const char* field) { return lines().value(row, QLatin1String(field)).toDouble(); }
    // A line picked from the stock row of `article` at `price`, left in editing.
    void pick(const QString& article, double price)
    {
        out().insertLine();
        outView.stockPicks.push_back(row(article, price));
        out().pickInColumn(QStringLiteral("Cod_articol"));
    }
};

TEST_F(OutputPricing, TheCalculatedSalePriceAndItsCurrencyPriceFollowThePickedRow)
{
    parameters.SellPrice = common::SellPriceMode::Calc;
    setMarkup("ART", 25);
    receipt({{"ART", 10, 10.5}});
    addRate(kToday.addDays(-30), 5);
    addRate(kToday.addDays(-1), 4); // the rate of the document's date is the latest before it
    addRate(kToday.addDays(1), 2);
    out();
    outHeader();
    pick("ART", 10.5);
    EXPECT_DOUBLE_EQ(lines().value("Pret_vinzare").toDouble(), 13.12);
    EXPECT_DOUBLE_EQ(lines().value("Pret_vz_echiv_USD").toDouble(), 3.28);
    lines().setValue("Cantitate", 2);
    EXPECT_DOUBLE_EQ(lines().value("TVA").toDouble(), 3.99); // R(19 × 21) / 100
    lines().post();

    // A sale price typed: its currency price and taxes; a zero rate gives 0.
    db.exec("UPDATE CURS SET Curs = 0");
    lines().edit();
    lines().setValue("Pret_vinzare", 20);
    EXPECT_EQ(lines().value("Pret_vz_echiv_USD").toDouble(), 0);
    lines().post();

    // "Round TVA": whole lei.
    parameters.roundTva = true;
    reopenOut();
    out().newDocument();
    outHeader();
    pick("ART", 10.5);
    EXPECT_DOUBLE_EQ(lines().value("Pret_vinzare").toDouble(), 13);

    // "Fetch": the sale price is typed, the pick leaves it at 0; no rate leaves the currency price.
    out().cancelLine();
    db.exec("DELETE FROM CURS");
    parameters.SellPrice = common::SellPriceMode::Fetch;
    reopenOut();
    pick("ART", 10.5);
    EXPECT_EQ(lines().value("Pret_vinzare").toDouble(), 0);
    lines().setValue("Pret_vz_echiv_USD", 7);
    lines().setValue("Pret_vinzare", 15);
    EXPECT_EQ(lines().value("Pret_vz_echiv_USD").toDouble(), 7);
    out().cancelLine();
}

TEST_F(OutputPricing, AFiscalInvoiceIsTaxedAndTotalledOnItsSaleValue)
{
    struct Case {
        const char* type;
        bool calcTva;
        double sale;
        double vat;       // of 2 × 105.27 at 19 %
        double value;     // "Vînzare" in the totals
        double document;  // the total the paid check and "achitat integral" use: what the document prints
    };
    const Case cases[] = {
        {"BMC", false, 120, 40.00, 210.54, 250.54}, // the acquisition value, whatever the sale price
        {"BMC", true, 120, 0, 210.54, 210.54},
        {"FCT", true, 0, 40.00, 0, 40.00},          // no sale price: printed at 0, its VAT on the acquisition value
        {"FCT", false, 120, 45.60, 240, 285.60},    // VAT on the printed value, total = what it prints
        {"CF", true, 120, 45.60, 240, 285.60},
    };
    receipt({{"ART", 100, 105.27}});
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.type) + (c.calcTva ? " Calc TVA" : "") + " sale " + std::to_string(c.sale));
        parameters.calcTva = c.calcTva;
        reopenOut();
        out().newDocument();
        outHeader(QString::fromLatin1(c.type));
        pick("ART", 105.27);
        lines().setValue("Pret_vinzare", c.sale);
        lines().setValue("Cantitate", 2);
        lines().post();
        EXPECT_NEAR(line(0, "TVA"), c.vat, 1e-9);

        dialogs.clear();
        dialogs.queueAnswer(common::Answer::Yes);
        out().showTotals();
        const QString totals = dialogs.messages.last().text;
        EXPECT_TRUE(totals.contains(common::formatMessage(QStringLiteral("Vînzare = %n;"), {c.value}, formats)))
            << totals.toStdString();
        EXPECT_TRUE(totals.contains(common::formatMessage(QStringLiteral("Document = %n"), {c.document}, formats)))
            << totals.toStdString();
        if (stock::IsFiscalInvoice(QString::fromLatin1(c.type))) {
            EXPECT_NEAR(out().paidAmount().toDouble(), c.document, 1e-9);
        }
    }
}

TEST_F(OutputPricing, TheGridDiscountIsTheOneOfTheLinesBudget)
{
    parameters.SellPrice = common::SellPriceMode::Calc;
    parameters.GrilaCalculDisc = true;
    setMarkup("ART", 0);
    setMarkup("PIX", 0);
    // The first budget in key order names a grid of +50 %: no line of another budget may take it.
    db.exec("INSERT INTO \"Client.DB\" (Cod_client, Nume_client, Grila, Discount) VALUES "
            "('A0', 'Primul', 3, 0), ('B1', 'Scoala', 1, 0), ('B2', 'Spital', 2, 0), ('B3', 'Fara grila', NULL, 0)");
    db.exec("INSERT INTO \"grila.DB\" (Grila, Nume_grila) VALUES (1, 'Plus'), (2, 'Minus'), (3, 'Mare')");
    db.exec("INSERT INTO \"item_grila.DB\" (Grila, Cod_grupa, Discount) VALUES (1, 'G', 5), (2, 'G', -5), "
            "(3, 'G', 50), (1, 'H', 30)");
    for (const char* budget : {"B1", "B2", "B3"}) {
        form().newDocument();
        fillHeader(QStringLiteral("FCT"), 1);
        ASSERT_TRUE(addLine("ART", 10, 100, {{"Agent", QString::fromLatin1(budget)}}))
            << dialogs.last().text.toStdString();
        ASSERT_TRUE(form().saveDocument());
    }
    // A stock row without a budget (kept from before budgets were used).
    db.exec("INSERT INTO STOC (Cod_gestiune, Cod_grupa, Cod_articol, Pret_achizitie, Cantitate) "
            "VALUES ('A', 'G', 'PIX', 100, 10)");

    struct Case {
        const char* article;
        const char* budget;
        double sale;
    };
    for (const Case& c : {Case{"ART", "B1", 105}, Case{"ART", "B2", 95}, Case{"ART", "B3", 100}, Case{"PIX", "", 100}}) {
        SCOPED_TRACE(std::string(c.article) + " " + c.budget);
        out();
        outHeader();
        out().insertLine();
        stock::StockLinePick p = row(QString::fromLatin1(c.article), 100);
        p.budget = QString::fromLatin1(c.budget);
        outView.stockPicks.push_back(p);
        out().pickInColumn(QStringLiteral("Cod_articol"));
        EXPECT_EQ(lines().value("Agent").toString(), QString::fromLatin1(c.budget));
        EXPECT_DOUBLE_EQ(lines().value("Pret_vinzare").toDouble(), c.sale);
        out().cancelLine();
    }
}

TEST_F(OutputPricing, AnUnreadableGridClosesTheWindow)
{
    parameters.SellPrice = common::SellPriceMode::Calc;
    parameters.GrilaCalculDisc = true;
    receipt({{"ART", 10, 100}});
    db.exec("INSERT INTO \"Client.DB\" (Cod_client, Nume_client, Grila) VALUES ('B1', 'Scoala', 1)");
    db.exec("UPDATE STOC SET Agent = 'B1'");
    out();
    outHeader();
    db.exec("DROP TABLE ITEM_GRILA");
    pick("ART", 100);
    EXPECT_TRUE(dialogs.last().text.startsWith("Eroare de acces la grila de discount!\r")) << dialogs.last().text.toStdString();
    EXPECT_TRUE(dialogs.last().text.endsWith(">"));
    EXPECT_EQ(dialogs.last().icon, common::Icon::Error);
    EXPECT_EQ(outView.closes, 1);
}

TEST_F(OutputPricing, TheDocumentDiscountChangesEverySalePriceAtOnce)
{
    receipt({{"ART", 10, 30}, {"PIX", 10, 20}});
    out();
    outHeader(QStringLiteral("FCT"));

    // No lines yet: the beep and the warning, and the dialog is not opened.
    out().ApplyDocumentDiscount();
    EXPECT_EQ(dialogs.beeps, 1);
    EXPECT_EQ(dialogs.last().text, TDocOutFormLogic::kDiscountWithoutLines);
    EXPECT_TRUE(outView.discountsOffered.isEmpty());

    pick("ART", 30);
    lines().setValue("Cantitate", 2);
    lines().setValue("Pret_vinzare", 50);
    lines().post();
    pick("PIX", 20);
    lines().setValue("Cantitate", 1);
    lines().setValue("Pret_vinzare", 40); // left in editing: the command writes it first
    ASSERT_EQ(out().items.recordCount(), 2);
    lines().moveTo(0);

    // Cancelled: nothing changes.
    outView.discounts.push_back(std::nullopt);
    out().ApplyDocumentDiscount();
    EXPECT_EQ(line(0, "Pret_vinzare"), 50);
    EXPECT_EQ(line(1, "Pret_vinzare"), 40);

    // −10 %: 50 -> 45 and 40 -> 36, with the taxes of the new sale values, one write.
    outView.discounts.push_back(-10);
    out().ApplyDocumentDiscount();
    EXPECT_DOUBLE_EQ(line(0, "Pret_vinzare"), 45);
    EXPECT_DOUBLE_EQ(line(1, "Pret_vinzare"), 36);
    EXPECT_NEAR(line(0, "TVA"), 17.10, 1e-9); // R(19 × 90) / 100
    EXPECT_NEAR(line(1, "TVA"), 6.84, 1e-9);
    EXPECT_EQ(db.scalar("SELECT SUM(Pret_vinzare) FROM ITEM_OUT").toDouble(), 81);
    EXPECT_EQ(outView.progress.mid(outView.progress.size() - 2),
              QStringList({TDocOutFormLogic::kComputing, TDocOutFormLogic::kDiscountDone}));
    EXPECT_EQ(lines().value("Cod_articol").toString(), "ART"); // back on the line that was current
    // The stock did not move.
    EXPECT_EQ(stockOf("ART", 30), 8);
    EXPECT_EQ(stockOf("PIX", 20), 9);

    // The dialog opens with the discount of the lines' budget.
    db.exec("INSERT INTO \"Client.DB\" (Cod_client, Nume_client, Discount) VALUES ('B1', 'Scoala', 7)");
    db.exec("UPDATE ITEM_OUT SET Agent = 'B1'");
    db.exec("UPDATE STOC SET Agent = 'B1'");
    out().items.refresh();
    outView.discounts.push_back(std::nullopt);
    out().ApplyDocumentDiscount();
    EXPECT_EQ(outView.discountsOffered.last(), 7);
}

TEST_F(OutputPricing, EveryLineOfASplitOverThreePricesHasItsOwnTaxes)
{
    parameters.SellPrice = common::SellPriceMode::Calc;
    setMarkup("ART", 10);
    receipt({{"ART", 2, 10}, {"ART", 2, 12}, {"ART", 5, 14}});
    out();
    outHeader(QStringLiteral("FCT"));
    for (int i = 0; i < 3; ++i)
        dialogs.queueAnswer(common::Answer::Yes);
    pick("ART", 10);
    lines().setValue("Cantitate", 7);
    lines().post();
    lines().refresh();
    ASSERT_EQ(lines().recordCount(), 3);
    struct Expected {
        double quantity, price, sale;
    };
    const Expected expected[] = {{2, 10, 11}, {2, 12, 13.2}, {3, 14, 15.4}};
    for (int r = 0; r < 3; ++r) {
        SCOPED_TRACE(r);
        const Expected& e = expected[r];
        EXPECT_EQ(line(r, "Cantitate"), e.quantity);
        EXPECT_EQ(line(r, "Pret_achizitie"), e.price);
        EXPECT_NEAR(line(r, "Pret_vinzare"), e.sale, 1e-9);
        // Taxed on its own sale value, as a fiscal invoice line.
        EXPECT_NEAR(line(r, "TVA"), common::roundHalfEven(19 * e.quantity * e.sale) / 100, 1e-9);
    }
    EXPECT_EQ(stockOf("ART", 14), 2);
}

} // namespace
