// Transfers between warehouses: the output document turned into a transfer
// note, the input document generated in the receiving warehouse with its
// stock, inventory objects changing group on the way, one unit of work for
// all of it, the question before a document is transferred a second time,
// and the transfer dialog.

#include "dbsnapshot.h"
#include "docouttest.h"

#include "stock/stockcheck.h"
#include "stock/transfer.h"
#include "stock/ttransferdocdlg.h"

#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

using stock::InventoryState;
using stock::TransferOptions;
using namespace stocktest;

namespace {

class Transfer : public DocOut {
protected:
    // A consumption note of two lines from warehouse A (2 of ART at 10, 3 of
    // PIX at 2), saved; the line of PIX carries a sale price and VAT.
    double consumptionNote()
    {
        receipt({{"ART", 5, 10}, {"PIX", 9, 2}});
        out();
        outHeader(QStringLiteral("BMC"));
        out().docs.setValue("Numar", 17);
        EXPECT_TRUE(issue("ART", 10, 2));
        EXPECT_TRUE(issue("PIX", 2, 3));
        EXPECT_TRUE(out().saveDocument());
        const double contor = out().docs.value("Contor").toDouble();
        db.exec("UPDATE ITEM_OUT SET Pret_vinzare = 2.5, TVA = 1.43, Pret_vz_echiv_USD = 0.5 WHERE Cod_articol = 'PIX'");
        db.exec("UPDATE ITEM_OUT SET Pret_vinzare = 10, TVA = NULL, Pret_vz_echiv_USD = NULL WHERE Cod_articol = 'ART'");
        return contor;
    }

    // Runs "T&ransfer" in the window with the dialog's choice.
    void transferTo(const QString& warehouse, InventoryState state = InventoryState::InUse)
    {
        outView.transferChoices.push_back(TransferOptions{warehouse, state});
        out().transfer();
    }

    QStringList rows(const QString& sql, const QVariantHash& params = {}) { return stocktest::queryRows(db, sql, params); }

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
};

TEST_F(Transfer, ConsumptionNoteOfTwoLinesToWarehouseB)
{
    const double contor = consumptionNote();
    out().items.first(); // the line of ART is current
    out().items.next();  // then the one of PIX
    outView.progress.clear();
    dialogs.clear();
    const double counterBefore = counterIn();

    transferTo("B");

    // The output document is the transfer note to B; its lines at acquisition price.
    EXPECT_EQ(rows("SELECT Tip, Explicatie, Client, Data_scadenta FROM DOC_OUT WHERE Contor = :c", {{"c", contor}}),
              QStringList{"BT|Transfer|B|"});
    EXPECT_EQ(rows("SELECT Cod_articol, Pret_vinzare, TVA, Pret_vz_echiv_USD FROM ITEM_OUT WHERE Contor = :c "
                   "ORDER BY Contor_secundar", {{"c", contor}}),
              (QStringList{"ART|10||", "PIX|2|0|0"})); // a line already at acquisition price stays as it was

    // The input document "BT": the same number and dates, lines 0 and 1 in B.
    const double input = counterBefore + 1;
    EXPECT_EQ(counterIn(), input);
    EXPECT_EQ(rows("SELECT Tip, Numar, Data_inregistrarii, Data, Furnizor, Explicatie FROM DOC_IN WHERE Contor = :c",
                   {{"c", input}}),
              QStringList{"BT|17|2026-03-10|2026-03-10||Transfer din gestiunea Magazie"});
    EXPECT_EQ(rows("SELECT Contor_secundar, Cod_gestiune, Cod_grupa, Cod_articol, Cantitate, Pret_achizitie_lei, TVA, "
                   "Cont_marfa, Cont_TVA_Intrari FROM ITEM_IN WHERE Contor = :c ORDER BY Contor_secundar",
                   {{"c", input}}),
              (QStringList{"0|B|G|ART|2|10|0|302|4426", "1|B|G|PIX|3|2|0|302|4426"}));

    // The receiving stock: one row per line key; the source keeps what was left.
    EXPECT_EQ(rows("SELECT Cod_gestiune, Cod_articol, Pret_achizitie, Cantitate FROM STOC ORDER BY Cod_gestiune, "
                   "Cod_articol"),
              (QStringList{"A|ART|10|3", "A|PIX|2|6", "B|ART|10|2", "B|PIX|2|3"}));
    EXPECT_TRUE(documentsSound());

    // What the user saw: the status line, the information beep, no box.
    EXPECT_EQ(outView.progress.mid(outView.progress.indexOf(stock::kTransferWorking)),
              (QStringList{stock::kTransferWorking, stock::kTransferDone}));
    EXPECT_EQ(dialogs.beeps, 1);
    EXPECT_TRUE(dialogs.messages.isEmpty()) << dialogs.texts().join(" | ").toStdString();

    // The window shows the document as written, on the line that was current.
    EXPECT_EQ(out().docs.value("Tip").toString(), "BT");
    EXPECT_EQ(out().docs.value("Client").toString(), "B");
    EXPECT_EQ(out().items.value("Cod_articol").toString(), "PIX");
    EXPECT_EQ(out().items.value("Pret_vinzare").toDouble(), 2);
    EXPECT_EQ(outView.client, stock::ClientControls::Warehouse);
}

TEST_F(Transfer, InventoryObjectsChangeGroupByTheirState)
{
    struct Case {
        const char* name;
        const char* group;
        InventoryState state;
        const char* arrives;
        bool targetInCatalog; // the article is already listed under the target group
    };
    const Case cases[] = {
        {"in storage sent into use", "3031", InventoryState::InUse, "3032", false},
        {"in storage sent into use, target listed", "3031", InventoryState::InUse, "3032", true},
        {"in storage kept in storage", "3031", InventoryState::InStorage, "3031", false},
        {"in use sent to storage", "3032", InventoryState::InStorage, "3031", false},
        {"in use kept in use", "3032", InventoryState::InUse, "3032", false},
        {"other groups never change", "G", InventoryState::InUse, "G", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // A fresh database: 4 chairs received in A, 3 of them issued.
        db.exec("DELETE FROM DOC_IN");
        db.exec("DELETE FROM ITEM_IN");
        db.exec("DELETE FROM DOC_OUT");
        db.exec("DELETE FROM ITEM_OUT");
        db.exec("DELETE FROM STOC");
        db.exec("DELETE FROM CATALOG WHERE Cod = 'SCAUN'");
        const QVariantHash g{{"g", c.group}};
        db.exec("INSERT INTO CATALOG (Grupa, Cod, Denumire, Descriere, Unitate_masura, Coef_TVA, Cont_marfa, "
                "Cont_TVA_Intrari) VALUES (:g, 'SCAUN', 'Scaun', 'tapitat', 'buc', 19, '303', '4426')", g);
        const QString other = c.arrives == QString(c.group) ? QString() : QString(c.arrives);
        if (c.targetInCatalog)
            db.exec("INSERT INTO CATALOG (Grupa, Cod, Denumire, Cont_marfa) VALUES (:g, 'SCAUN', 'Scaun vechi', '999')",
                    {{"g", other}});
        db.exec("INSERT INTO DOC_IN (Contor, Data_inregistrarii, Numar, Tip, Data) VALUES (1, '2026-03-01', 1, 'FCT', "
                "'2026-03-01')");
        db.exec("INSERT INTO ITEM_IN (Contor, Contor_secundar, Cod_gestiune, Cod_grupa, Cod_articol, Cantitate, "
                "Pret_achizitie_lei) VALUES (1, 1, 'A', :g, 'SCAUN', 4, 100)", g);
        db.exec("INSERT INTO DOC_OUT (Contor, Data_inregistrarii, Numar, Tip, Data) VALUES (1, '2026-03-02', 5, 'BT', "
                "'2026-03-02')");
        db.exec("INSERT INTO ITEM_OUT (Contor, Contor_secundar, Cod_gestiune, Cod_grupa, Cod_articol, Cantitate, "
                "Pret_achizitie, Pret_vinzare) VALUES (1, 1, 'A', :g, 'SCAUN', 3, 100, 100)", g);
        db.exec("INSERT INTO STOC (Cod_gestiune, Cod_grupa, Cod_articol, Pret_achizitie, Cantitate) "
                "VALUES ('A', :g, 'SCAUN', 100, 1)", g);
        db.exec("DELETE FROM COUNTER");
        db.exec("INSERT INTO COUNTER (NewCounterIn, NewCounterOut) VALUES (1, 1)");
        ASSERT_TRUE(documentsSound());

        const stock::TransferResult result = stock::TransferDocument(
            db, parameters, formats, dialogs, {1, TransferOptions{"B", c.state}, "A"});
        ASSERT_TRUE(result.ok) << dialogs.texts().join(" | ").toStdString();
        EXPECT_EQ(result.lines, 1);

        // The line arrives under its group in B, with the accounts of the article it left.
        EXPECT_EQ(rows("SELECT Cod_gestiune, Cod_grupa, Cantitate, Cont_marfa FROM ITEM_IN WHERE Contor = :c",
                       {{"c", result.inputContor}}),
                  QStringList{QString("B|%1|3|303").arg(c.arrives)});
        EXPECT_EQ(rows("SELECT Cod_grupa, Cantitate FROM STOC WHERE Cod_gestiune = 'B'"),
                  QStringList{QString("%1|3").arg(c.arrives)});
        // The catalog lists the article under the group it arrived in; a new
        // entry copies the name, description, unit and VAT rate, not the accounts.
        QStringList catalog{QString("%1|Scaun|tapitat|buc|19|303").arg(c.group)};
        if (c.targetInCatalog)
            catalog << QString("%1|Scaun vechi||||999").arg(c.arrives);
        else if (!other.isEmpty())
            catalog << QString("%1|Scaun|tapitat|buc|19|").arg(c.arrives);
        catalog.sort();
        EXPECT_EQ(rows("SELECT Grupa, Denumire, Descriere, Unitate_masura, Coef_TVA, Cont_marfa FROM CATALOG "
                       "WHERE Cod = 'SCAUN' ORDER BY Grupa"),
                  catalog);
        EXPECT_TRUE(documentsSound());
    }
}

TEST_F(Transfer, AFailureAnywhereLeavesTheDatabaseAsItWas)
{
    struct Case {
        const char* name;
        const char* table; // where the insert fails
        int rowsBefore;    // it fails once the table holds this many rows
    };
    // Before the transfer: 2 input lines, 2 stock rows, 3 catalog rows, one input header.
    const Case cases[] = {
        {"the input header", "Doc_in", 1},
        {"the second input line", "Item_in", 3},
        {"the stock row of the second line", "Stoc", 3},
        {"the article under its new group", "Catalog", 3},
    };
    const double contor = consumptionNote();
    // The second line is an inventory object in storage: into use, the catalog gains it.
    db.exec("UPDATE CATALOG SET Grupa = '3031' WHERE Cod = 'PIX'");
    db.exec("UPDATE ITEM_IN SET Cod_grupa = '3031' WHERE Cod_articol = 'PIX'");
    db.exec("UPDATE ITEM_OUT SET Cod_grupa = '3031' WHERE Cod_articol = 'PIX'");
    db.exec("UPDATE STOC SET Cod_grupa = '3031' WHERE Cod_articol = 'PIX'");
    ASSERT_TRUE(documentsSound());

    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        failInsertAfter(db, c.table, c.rowsBefore);
        const QStringList before = databaseSnapshot(db);
        dialogs.clear();
        QStringList progress;
        const stock::TransferResult result =
            stock::TransferDocument(db, parameters, formats, dialogs, {contor, TransferOptions{"B"}, "A"},
                                    [&](const QString& t) { progress << t; });
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(databaseSnapshot(db), before);
        ASSERT_EQ(dialogs.messages.size(), 1);
        EXPECT_TRUE(dialogs.last().text.contains("injected")) << dialogs.last().text.toStdString();
        EXPECT_EQ(dialogs.last().icon, common::Icon::Error);
        EXPECT_FALSE(progress.contains(stock::kTransferDone));
        removeFault(db);
    }

    // Without the fault the same transfer goes through.
    const stock::TransferResult result =
        stock::TransferDocument(db, parameters, formats, dialogs, {contor, TransferOptions{"B"}, "A"});
    ASSERT_TRUE(result.ok);
    EXPECT_EQ(rows("SELECT Cod_grupa, Cod_articol FROM ITEM_IN WHERE Contor = :c ORDER BY Contor_secundar",
                   {{"c", result.inputContor}}),
              (QStringList{"G|ART", "3032|PIX"}));
    EXPECT_TRUE(documentsSound());
}

TEST_F(Transfer, InputDocumentsOutOfReachStopBeforeAnythingIsWritten)
{
    const double contor = consumptionNote();
    db.dropTable("Item_in.DB");
    const QStringList before = databaseSnapshot(db);
    dialogs.clear();
    EXPECT_FALSE(stock::TransferDocument(db, parameters, formats, dialogs, {contor, TransferOptions{"B"}, "A"}).ok);
    EXPECT_EQ(databaseSnapshot(db), before);
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.last().text.startsWith(stock::kTransferAccessError));
    EXPECT_EQ(dialogs.beeps, 1);
}

TEST_F(Transfer, ASecondTransferIsAskedFirstAndNoIsTheDefault)
{
    const double contor = consumptionNote();
    transferTo("B");
    ASSERT_EQ(count("SELECT COUNT(*) FROM DOC_IN WHERE Tip = 'BT'"), 1);
    const QList<stock::GeneratedInput> generated = stock::GeneratedTransferInputs(db, contor);
    ASSERT_EQ(generated.size(), 1);
    EXPECT_EQ(generated[0].number, 17);

    // No: neither the dialog nor a second input document.
    dialogs.clear();
    outView.transferDialogs = 0;
    dialogs.queueAnswer(common::Answer::No);
    transferTo("B");
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.last().buttons, common::Buttons::YesNoDefaultNo);
    EXPECT_EQ(dialogs.last().text,
              "Pentru acest document a fost deja generat documentul de intrare BT nr. 17 din 10.03.2026!\r"
              "Generati inca un document de intrare?");
    EXPECT_EQ(outView.transferDialogs, 0);
    EXPECT_EQ(count("SELECT COUNT(*) FROM DOC_IN WHERE Tip = 'BT'"), 1);

    // Yes: a further input document, and the stock follows it.
    dialogs.clear();
    outView.transferChoices.clear();
    dialogs.queueAnswer(common::Answer::Yes);
    transferTo("B");
    EXPECT_EQ(count("SELECT COUNT(*) FROM DOC_IN WHERE Tip = 'BT'"), 2);
    EXPECT_EQ(stockOf("ART", 10), 3 + 4); // A keeps 3, B received 2 twice
    EXPECT_TRUE(documentsSound());

    // An input document of another number does not count.
    db.exec("UPDATE DOC_IN SET Numar = 99 WHERE Tip = 'BT'");
    EXPECT_TRUE(stock::GeneratedTransferInputs(db, contor).isEmpty());
}

TEST_F(Transfer, DialogTakesTheHighlightedWarehouseAndTheState)
{
    stock::TTransferDocDlg dialog(stock::TTransferDocDlg::readWarehouses(db));
    dialog.show();
    QListWidget* list = dialog.warehouseList();
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(list->item(0)->text(), "Bucatarie"); // by name
    EXPECT_EQ(list->item(1)->text(), "Magazie");
    EXPECT_EQ(dialog.windowTitle(), "Transfer spre o alta gestiune");
    EXPECT_EQ(dialog.stateCombo()->currentText(), "in folosinta");
    EXPECT_EQ(dialog.cancelButton()->text(), "&Renunta");

    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(1)).center());
    EXPECT_TRUE(dialog.okButton()->isEnabled());
    EXPECT_EQ(dialog.options().receivingWarehouse, "A");
    dialog.stateCombo()->setCurrentIndex(1);
    EXPECT_EQ(dialog.stateCombo()->currentText(), "in magazie");
    EXPECT_EQ(dialog.options().state, InventoryState::InStorage);
    list->setCurrentRow(0);
    EXPECT_EQ(dialog.options().receivingWarehouse, "B");
    EXPECT_TRUE(testsupport::saveShot(dialog, QStringLiteral("transfer-dialog.png")));
}

} // namespace
