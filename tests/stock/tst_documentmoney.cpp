// The money of the document windows, on a database (file or server): every
// line's value rounded once to the decimals of lei and every total the sum of
// those values, as the document's print shows them; the amount "achitat
// integral" writes and the paid-amount check that reads it back; the sale
// price typed on an output line and asked about before an invoice is printed;
// the grid discount of a group; the price an input line takes from the catalog.

#include "docouttest.h"

#include "common/rounding.h"
#include "datastore/tabledef.h"
#include "stock/outputpricing.h"

using namespace stocktest;
using stock::OutputPrint;
using stock::TDocOutFormLogic;

namespace {

class DocOutMoney : public DocOut {
protected:
    datastore::Dataset& lines() { return out().items; }
    // A line of the current document picked from the stock row of `article`
    // at `cost`, with its quantity and (when given) its sale price, written.
    void sell(const QString& article, double cost, double quantity, std::optional<double> sale = std::nullopt)
    {
        out().insertLine();
        outView.stockPicks.push_back(row(article, cost));
        out().pickInColumn(QStringLiteral("Cod_articol"));
        lines().setValue(QStringLiteral("Cantitate"), quantity);
        if (sale)
            lines().setValue(QStringLiteral("Pret_vinzare"), *sale);
        lines().post();
    }
    // The figure after `label` in the last totals message ("Vînzare = %n;").
    bool totalsShow(const char* label, double figure)
    {
        const QString wanted = common::formatMessage(QString::fromUtf8(label) + QStringLiteral(" = %n"), {figure}, formats);
        return dialogs.messages.last().text.contains(wanted);
    }
    bool asked(const QString& start)
    {
        for (const auto& m : dialogs.messages)
            if (m.text.startsWith(start))
                return true;
        return false;
    }
};

// 2 × 6.15 and 7 × 71.05 at 19 % with "Round TVA": Σ values + Σ VAT is
// 605.65, the same added line by line is a hair below it in binary.
TEST_F(DocOutMoney, AnInvoiceMarkedPaidInFullSavesWithoutAQuestion)
{
    receipt({{"ART", 10, 5}, {"PIX", 10, 60}});
    out();
    outHeader(QStringLiteral("FCT"));
    sell("ART", 5, 2, 6.15);
    sell("PIX", 60, 7, 71.05);
    ASSERT_TRUE(out().saveDocument());
    const double contor = out().docs.value("Contor").toDouble();

    dialogs.queueAnswer(common::Answer::Yes);
    out().showTotals();
    EXPECT_TRUE(totalsShow("Document", 605.65)) << dialogs.last().text.toStdString();
    EXPECT_EQ(paid(contor).toDouble(), 605.65);

    dialogs.clear();
    dialogs.acceptByDefault = false; // a question would refuse the header
    out().docs.edit();
    out().docs.setValue("Explicatie", "achitata");
    EXPECT_TRUE(out().saveDocument());
    EXPECT_FALSE(asked("Valoarea achitata")) << dialogs.texts().join(" | ").toStdString();

    // A ban more than the invoice is more than it: the question comes.
    ASSERT_TRUE(out().setPaidAmount(605.66));
    out().docs.edit();
    out().docs.setValue("Explicatie", "mai mult");
    EXPECT_FALSE(out().saveDocument());
    EXPECT_TRUE(asked("Valoarea achitata (605"));
    EXPECT_EQ(outView.focus.last(), "header:Suma");
}

// The window's totals are those of the print: line values rounded once (a
// half to the even ban), an invoice's lines of one article and sale price
// merged before they are valued, the grid showing each line's rounded value.
TEST_F(DocOutMoney, TotalsAreTheSumsOfTheRoundedLineValues)
{
    parameters.roundTva = false;
    struct Case {
        const char* type;
        double acquisition; // Achizitie
        double value;       // Vînzare
        double vat;
        double document;
    };
    // Two lines of 1 × 1.005 (from two stock rows), sold at 1.005 each.
    const Case cases[] = {
        // Each line is 1.00 (100.5 bani to the even 100); unrounded they made 2.01.
        {"BMC", 2.00, 2.00, 0.38, 2.38},
        // The invoice prints one line of 2 × 1.005 = 2.01; its VAT the lines' R(19 × 1.005) / 100 = 0.19 each.
        {"FCT", 2.00, 2.01, 0.38, 2.39},
    };
    receipt({{"ART", 1, 1.005}});
    db.exec("INSERT INTO STOC (Cod_gestiune, Cod_grupa, Cod_articol, Pret_achizitie, Lot, Cantitate) "
            "VALUES ('A', 'G', 'ART', 1.005, '7', 5)");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        reopenOut();
        out().newDocument();
        outHeader(QString::fromLatin1(c.type));
        sell("ART", 1.005, 1, 1.005);
        stock::StockLinePick second = row("ART", 1.005);
        second.lot = "7";
        out().insertLine();
        outView.stockPicks.push_back(second);
        out().pickInColumn("Cod_articol");
        lines().setValue("Cantitate", 1);
        lines().setValue("Pret_vinzare", 1.005);
        lines().post();
        ASSERT_EQ(lines().recordCount(), 2);
        EXPECT_EQ(lines().value(0, "Val").toDouble(), 1.00);

        dialogs.queueAnswer(common::Answer::Yes);
        out().showTotals();
        EXPECT_TRUE(totalsShow("Achizitie", c.acquisition)) << dialogs.last().text.toStdString();
        EXPECT_TRUE(totalsShow("Vînzare", c.value)) << dialogs.last().text.toStdString();
        EXPECT_TRUE(totalsShow("TVA", c.vat)) << dialogs.last().text.toStdString();
        EXPECT_TRUE(totalsShow("Document", c.document)) << dialogs.last().text.toStdString();
        if (stock::IsFiscalInvoice(QString::fromLatin1(c.type))) {
            EXPECT_EQ(out().paidAmount().toDouble(), c.document);
        }
        ASSERT_TRUE(out().saveDocument());
    }
}

// With sale prices fetched (the default), the sale price is typed: the
// line keeps it, its taxes follow it, and printing an invoice whose lines
// have none asks first; stopping there takes no invoice number.
TEST_F(DocOutMoney, TheSalePriceIsTypedAndAnInvoiceWithoutOneIsAskedAbout)
{
    receipt({{"ART", 10, 10}, {"PIX", 10, 2}});
    out();
    outHeader(QStringLiteral("FCT"));
    EXPECT_TRUE(out().salePriceTyped());
    EXPECT_EQ(outView.salePriceShown, true);
    sell("ART", 10, 2, 15);
    EXPECT_EQ(lines().value("Pret_vinzare").toDouble(), 15);
    EXPECT_EQ(lines().value("TVA").toDouble(), 6); // R(19 × 30 / 100) in whole lei
    EXPECT_EQ(db.scalar("SELECT Pret_vinzare FROM ITEM_OUT WHERE Cod_articol = 'ART'").toDouble(), 15);

    // A negative price is refused and the line keeps its price.
    lines().edit();
    EXPECT_THROW(lines().setValue("Pret_vinzare", -3.0), datastore::Abort);
    EXPECT_EQ(dialogs.last().text, TDocOutFormLogic::kNegativeSalePrice);
    EXPECT_EQ(lines().value("Pret_vinzare").toDouble(), 15);
    out().cancelLine();

    sell("PIX", 2, 3); // no sale price
    ASSERT_TRUE(out().saveDocument());
    const double contor = out().docs.value("Contor").toDouble();

    // Stopped at the question: nothing printed, no number bound.
    dialogs.clear();
    dialogs.queueAnswer(common::Answer::No);
    out().print();
    EXPECT_EQ(dialogs.last().text, TDocOutFormLogic::kNoSalePrice.arg("G.PIX"));
    EXPECT_EQ(dialogs.last().buttons, common::Buttons::YesNo);
    EXPECT_TRUE(outView.printed.isEmpty());
    EXPECT_EQ(count("SELECT COUNT(*) FROM FCTSER WHERE Contor = :c", {{"c", contor}}), 0);

    // Gone on: printed as it is.
    dialogs.queueAnswer(common::Answer::Yes);
    out().print();
    ASSERT_EQ(outView.printed.size(), 1);
    EXPECT_EQ(outView.printed[0].kind, OutputPrint::Invoice);

    // Every line priced: no question.
    lines().moveTo(1);
    lines().edit();
    lines().setValue("Pret_vinzare", 4);
    lines().post();
    dialogs.clear();
    out().print();
    EXPECT_TRUE(dialogs.messages.isEmpty()) << dialogs.texts().join(" | ").toStdString();
    EXPECT_EQ(outView.printed.size(), 2);

    // A consumption note prints no sale price: nothing is asked.
    out().newDocument();
    outHeader(QStringLiteral("BMC"));
    sell("PIX", 2, 1);
    dialogs.clear();
    out().print();
    EXPECT_FALSE(asked("Factura contine"));
}

// Calculated sale prices are shown read-only on the documents that print them.
TEST_F(DocOutMoney, ACalculatedSalePriceIsShownOnInvoicesOnly)
{
    parameters.SellPrice = common::SellPriceMode::Calc;
    struct Case {
        const char* type;
        bool shown;
    };
    out();
    for (const Case& c : {Case{"BMC", false}, Case{"FCT", true}, Case{"CF", true}, Case{"AE", false}}) {
        outHeader(QString::fromLatin1(c.type));
        EXPECT_EQ(out().salePriceShown(), c.shown) << c.type;
        EXPECT_EQ(outView.salePriceShown, c.shown) << c.type;
    }
    EXPECT_FALSE(out().salePriceTyped());
}

// A grid that holds two rows for one group (a table that lost its key) gives
// the smallest percentage, on both engines.
TEST_F(DocOutMoney, OfSeveralGridRowsForAGroupTheSmallestPercentageIsTaken)
{
    parameters.SellPrice = common::SellPriceMode::Calc;
    parameters.GrilaCalculDisc = true;
    parameters.roundTva = false;
    db.exec("UPDATE CATALOG SET Pret_vinzare = 0");
    datastore::TableDef keyless = *datastore::findTableDef(QStringLiteral("item_grila.DB"));
    keyless.indexes.clear();
    db.dropTable(keyless.name);
    db.createTable(keyless);
    receipt({{"ART", 10, 100}});
    db.exec("INSERT INTO \"Client.DB\" (Cod_client, Nume_client, Grila) VALUES ('B1', 'Scoala', 1)");
    db.exec("INSERT INTO \"item_grila.DB\" (Grila, Cod_grupa, Discount) VALUES (1, 'G', 5), (1, 'G', 8), "
            "(1, 'G', -5), (1, 'G', 5)");
    db.exec("UPDATE STOC SET Agent = 'B1'");
    out();
    outHeader();
    out().insertLine();
    outView.stockPicks.push_back(row("ART", 100));
    out().pickInColumn("Cod_articol");
    EXPECT_DOUBLE_EQ(lines().value("Pret_vinzare").toDouble(), 95);
    out().cancelLine();
}

class DocInMoney : public DocInFixture {
protected:
    QString totals()
    {
        dialogs.clear();
        form().showTotals();
        return dialogs.last().text;
    }
    QString expected(double value, double vat, double document)
    {
        return common::formatMessage("Total: Valoare = %.2n\rTVA = %n\rDocument = %.2n", {value, vat, document}, formats);
    }
};

// Prices typed without VAT hold it once they are acquisition prices: the
// document is their value, with the VAT of the other lines added.
TEST_F(DocInMoney, TotalsCountTheVatInsidePricesOnce)
{
    parameters.roundTva = false;
    struct Case {
        const char* name;
        bool netPrices;
        QList<std::tuple<QString, double, QVariant, double>> lines; // article, quantity, net price, price
        double value, vat, document;
    };
    const QVariant none;
    const QList<Case> cases{
        {"a net price of 100 at 19 %", true, {{"ART", 1, 100.0, 0}}, 119, 19, 119},
        {"a net price and a price with VAT added", true, {{"ART", 1, 100.0, 0}, {"PIX", 2, none, 10}}, 139, 22.80, 142.80},
        {"prices without the parameter", false, {{"ART", 1, none, 119}}, 119, 22.61, 141.61},
        // Each value rounded once: 1.005 is 1.00 (to the even ban), twice 2.00, not 2.01.
        {"values rounded once", false, {{"GUMA", 1, none, 1.005}, {"GUMA", 1, none, 1.005}}, 2.00, 0.18, 2.18},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        parameters.CPretFaraTva = c.netPrices;
        reopen();
        form().newDocument();
        fillHeader();
        for (const auto& [article, quantity, net, price] : c.lines) {
            const QVariantHash more = net.isNull() ? QVariantHash{}
                                                   : QVariantHash{{"Pret_achizitie_valuta", net}, {"Pret_achizitie_lei", QVariant()}};
            ASSERT_TRUE(addLine(article, quantity, price, more)) << dialogs.last().text.toStdString();
        }
        ASSERT_TRUE(form().saveDocument());
        EXPECT_EQ(totals(), expected(c.value, c.vat, c.document));
    }
}

// With sale prices calculated, the catalog holds a mark-up, never a price.
TEST_F(DocInMoney, TheCatalogPriceIsProposedOnlyWhenItIsAPrice)
{
    parameters.CGetPret = true;
    for (const auto mode : {common::SellPriceMode::Fetch, common::SellPriceMode::Calc}) {
        const bool fetch = mode == common::SellPriceMode::Fetch;
        SCOPED_TRACE(fetch ? "Fetch" : "Calc");
        parameters.SellPrice = mode;
        reopen();
        form().newDocument();
        fillHeader();
        datastore::Dataset& items = form().items;
        items.append();
        items.setValue("Cod_grupa", "G");
        items.setValue("Cod_articol", "ART");
        if (fetch)
            EXPECT_EQ(items.value("Pret_achizitie_lei").toDouble(), 5);
        else
            EXPECT_TRUE(items.isNull("Pret_achizitie_lei"));
        items.cancel();
    }
}

} // namespace
