#pragma once
// The output documents window without its widgets: the input documents'
// fixture (a database on disk with every table, a small catalog), the output
// logic opened on it, and a view that answers the stock picker and the print
// choice from a script.

#include "docintest.h"

#include "stock/docoutlogic.h"
#include "stock/outputprints.h"

namespace stocktest {

struct ScriptedOutView : ScriptedDocumentView<stock::DocOutView> {
    std::deque<stock::StockLinePick> stockPicks; // what the stock picker returns; empty: cancelled
    bool choose = true;                          // "Listeaza..." confirmed
    int chosenSet = -1;                          // the set ticked there; -1: as proposed
    QList<int> proposedSets;
    QList<stock::OutputPrintJob> printed;
    int setups = 0;
    bool setupConfirmed = true;
    QStringList steps; // "setup <print>" and "print <print>", in their order
    std::deque<std::optional<stock::TransferOptions>> transferChoices; // the transfer dialog; nothing: cancelled
    int transferDialogs = 0;
    stock::ClientControls client = stock::ClientControls::Hidden;

    bool pickStockLine(stock::StockLinePick& pick) override
    {
        if (stockPicks.empty())
            return false;
        pick = stockPicks.front();
        stockPicks.pop_front();
        return true;
    }
    bool choosePrints(int& set, prints::PrintOptions&) override
    {
        proposedSets << set;
        if (chosenSet >= 0)
            set = chosenSet;
        return choose;
    }
    bool printSetup(const stock::OutputPrintJob& job) override
    {
        ++setups;
        steps << QStringLiteral("setup ") + stock::outputPrintName(job.kind);
        return setupConfirmed;
    }
    void printDocument(const stock::OutputPrintJob& job) override
    {
        printed << job;
        steps << QStringLiteral("print ") + stock::outputPrintName(job.kind);
    }
    bool askTransfer(stock::TransferOptions& options) override
    {
        ++transferDialogs;
        const std::optional<stock::TransferOptions> chosen = next(transferChoices);
        if (!chosen)
            return false;
        options = *chosen;
        return true;
    }
    void showClientControls(stock::ClientControls c) override { client = c; }
    bool salePriceShown = false;
    void showSalePrice(bool shown) override { salePriceShown = shown; }

    std::deque<std::optional<double>> discounts; // the percentage typed; nothing: cancelled
    QList<double> discountsOffered;             // what the discount dialog opened with
    int closes = 0;
    bool askDiscount(double& percent) override
    {
        discountsOffered << percent;
        const std::optional<double> typed = next(discounts);
        if (!typed)
            return false;
        percent = *typed;
        return true;
    }
    void closeWindow() override { ++closes; }
};

class DocOut : public DocInFixture {
protected:
    void SetUp() override
    {
        DocInFixture::SetUp();
        parameters.SerFact = QStringLiteral("AB");
        parameters.FactN1 = 1001;
        parameters.FactN2 = 2000;
        parameters.SerAE = QStringLiteral("AE");
        parameters.AEN1 = 1;
        parameters.AEN2 = 500;
        parameters.ChN1 = 300;
        db.exec(QStringLiteral("INSERT INTO \"Gest.db\" (Cod, Denumire) VALUES ('B', 'Bucatarie')"));
    }

    stock::TDocOutFormLogic& out()
    {
        if (!m_out) {
            m_out = std::make_unique<stock::TDocOutFormLogic>(db, parameters, formats, dialogs, outView);
            EXPECT_TRUE(m_out->open(kToday));
        }
        return *m_out;
    }
    void reopenOut()
    {
        m_out.reset();
        out();
    }

    // The header of the current output document.
    void outHeader(const QString& type = QStringLiteral("BMC"), QDate registered = kToday)
    {
        datastore::Dataset& docs = out().docs;
        if (!docs.isEditing())
            docs.edit();
        docs.setValue(QStringLiteral("Data_inregistrarii"), registered);
        docs.setValue(QStringLiteral("Data"), registered);
        docs.setValue(QStringLiteral("Tip"), type);
    }

    // The stock row of an article at a price, as the picker returns it.
    stock::StockLinePick row(const QString& article, double price, const QString& warehouse = QStringLiteral("A"))
    {
        datastore::Query q = db.query(
            QStringLiteral("SELECT Cantitate, Lot, Agent FROM STOC WHERE Cod_gestiune = :w AND Cod_articol = :a "
                           "AND Pret_achizitie = :p"),
            {{QStringLiteral("w"), warehouse}, {QStringLiteral("a"), article}, {QStringLiteral("p"), price}});
        stock::StockLinePick pick;
        pick.warehouse = warehouse;
        pick.group = QStringLiteral("G");
        pick.article = article;
        pick.price = price;
        if (q.next()) {
            pick.quantity = q.value(0).toDouble();
            pick.lot = q.value(1).toString();
            pick.budget = q.value(2).toString();
        }
        return pick;
    }

    // A new line picked from the stock row of `article` at `price`, with the
    // quantity typed; false when refused (it then stays in editing).
    bool issue(const QString& article, double price, std::optional<double> quantity)
    {
        out().insertLine();
        outView.stockPicks.push_back(row(article, price));
        out().pickInColumn(QStringLiteral("Cod_articol"));
        try {
            if (quantity)
                out().items.setValue(QStringLiteral("Cantitate"), *quantity);
            out().items.post();
            return true;
        } catch (const datastore::Abort&) {
            return false;
        }
    }

    double counterOut() { return db.scalar(QStringLiteral("SELECT NewCounterOut FROM COUNTER")).toDouble(); }
    int stockRows(const QString& article)
    {
        return count(QStringLiteral("SELECT COUNT(*) FROM STOC WHERE Cod_articol = :a"), {{QStringLiteral("a"), article}});
    }
    QVariant paid(double contor)
    {
        return db.scalar(QStringLiteral("SELECT Suma FROM CLNPAY WHERE Contor_document = :c"),
                         {{QStringLiteral("c"), contor}});
    }

    ScriptedOutView outView;

private:
    std::unique_ptr<stock::TDocOutFormLogic> m_out;
};

} // namespace stocktest
