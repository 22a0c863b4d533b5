// "Listeaza...": the set each document type starts with, the rules of the
// check boxes with and without pre-printed invoices, and the files the dialog
// keeps (TBXDEF.INI's CodProdusPeFact, INVFOOT.TXT, TRANSPORT.TXT).

#include "prints/chooseprints.h"

#include "common/inifile.h"
#include "common/scripteddialogs.h"

#include "testsupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QFile>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using prints::ChoosePrintsLogic;

namespace {

class ChoosePrints : public ::testing::Test {
protected:
    void SetUp() override
    {
        QFile def(dir.filePath("TBXDEF.INI"));
        ASSERT_TRUE(def.open(QIODevice::WriteOnly));
        def.write("[Default]\r\nCLot=0\r\n");
    }
    prints::ChoosePrintsContext context() { return {dialogs, parameters, dir.path() + '/'}; }
    QByteArray file(const char* name)
    {
        QFile f(dir.filePath(QString::fromLatin1(name)));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QTemporaryDir dir;
    common::ScriptedDialogs dialogs;
    common::Parameters parameters;
};

TEST_F(ChoosePrints, InitialSetByType)
{
    struct Case {
        const char* type;
        bool paid;
        int set;
    };
    const Case cases[] = {{"FCT", false, 1}, {"FCT", true, 2}, {"AE", false, 8}, {"NPR", false, 4}, {"BT", true, 4},
                          {"BMC", false, 16}, {"BLZ", false, 32}, {"CSR", false, 64}, {"CF", true, 0}, {"", false, 0}};
    for (const Case& c : cases)
        EXPECT_EQ(prints::InitialPrintSet(QString::fromLatin1(c.type), c.paid), c.set) << c.type;
}

TEST_F(ChoosePrints, BoxesFollowTheSetAndExcludeEachOther)
{
    struct Case {
        bool preprinted;
        int set;
        bool storedComment;
        int expectedSet;
        bool comment, commentEnabled, explanation, productCode;
    };
    const Case cases[] = {
        {false, 1, true, 1, true, true, false, true},
        {false, 2, false, 2, false, true, false, true},
        {false, 8, true, 8, false, false, false, true},
        {false, 16, false, 16, false, false, true, false},
        {false, 32, false, 32, false, false, true, false},
        {false, 64, false, 64, false, false, false, true},
        {true, 2, false, 1, true, true, false, true}, // an invoice with receipt becomes an invoice
        {true, 4, false, 4, true, true, false, true},
    };
    for (const Case& c : cases) {
        parameters.PreprintedInvoice = c.preprinted;
        parameters.CodProdusPeFact = true;
        prints::PrintOptions stored;
        stored.comment = c.storedComment;
        ChoosePrintsLogic logic(context(), c.set, stored);
        EXPECT_EQ(logic.printSet(), c.expectedSet) << c.set;
        EXPECT_EQ(logic.options.comment, c.comment) << c.set;
        EXPECT_EQ(logic.commentEnabled(), c.commentEnabled) << c.set;
        EXPECT_EQ(logic.options.explanation, c.explanation) << c.set;
        EXPECT_EQ(logic.productCode, c.productCode) << c.set;
        EXPECT_EQ(logic.enabled(ChoosePrintsLogic::InvoiceWithReceipt), !c.preprinted);
        EXPECT_EQ(logic.caption(ChoosePrintsLogic::Invoice),
                  c.preprinted ? "&Factura pretiparita" : "&Factura");
    }

    parameters.PreprintedInvoice = false;
    ChoosePrintsLogic logic(context(), prints::PrintInvoiceBit, {});
    logic.setChecked(ChoosePrintsLogic::TransferNote, true);
    logic.setChecked(ChoosePrintsLogic::DeliveryNote, true);
    EXPECT_EQ(logic.printSet(), prints::PrintTransferNoteBit | prints::PrintDeliveryNoteBit);
    EXPECT_FALSE(logic.commentEnabled());
    logic.setChecked(ChoosePrintsLogic::InvoiceWithReceipt, true);
    EXPECT_EQ(logic.printSet(), prints::PrintInvoiceWithReceiptBit | prints::PrintDeliveryNoteBit);
    EXPECT_TRUE(logic.commentNoteVisible());
}

TEST_F(ChoosePrints, FilesAreWrittenOnlyWhenConfirmed)
{
    {
        QFile footer(dir.filePath("INVFOOT.TXT"));
        ASSERT_TRUE(footer.open(QIODevice::WriteOnly));
        footer.write("Va multumim!\n");
    }
    ChoosePrintsLogic logic(context(), prints::PrintInvoiceBit, {});
    EXPECT_EQ(logic.footer, "Va multumim!\n");
    EXPECT_FALSE(logic.dispatch.include);
    // Not confirmed: nothing on disk changes (the dialog only reads).
    EXPECT_TRUE(file("TRANSPORT.TXT").isEmpty());

    logic.productCode = false;
    logic.dispatch = {true, "Ion Pop", "RX", "123456", "B-10-ABC", "10.03.2026"};
    ASSERT_TRUE(logic.accept());
    EXPECT_FALSE(parameters.CodProdusPeFact);
    EXPECT_EQ(common::IniFile(dir.filePath("TBXDEF.INI")).readString("Default", "CodProdusPeFact"), "0");
    EXPECT_EQ(common::IniFile(dir.filePath("TBXDEF.INI")).readString("Default", "CLot"), "0");
    EXPECT_EQ(file("INVFOOT.TXT"), "Va multumim!\n"); // not edited: left as it was
    const prints::Dispatch read = ChoosePrintsLogic::readDispatch(dir.filePath("TRANSPORT.TXT"));
    EXPECT_TRUE(read.include);
    EXPECT_EQ(read.name, "Ion Pop");
    EXPECT_EQ(read.vehicle, "B-10-ABC");

    // Without "Include" the other keys are neither written nor read.
    logic.dispatch.include = false;
    logic.footer = "Text nou";
    logic.footerEdited = true;
    ASSERT_TRUE(logic.accept());
    EXPECT_FALSE(file("TRANSPORT.TXT").contains("Nume"));
    EXPECT_EQ(file("INVFOOT.TXT"), "Text nou");
    common::IniFile transport(dir.filePath("TRANSPORT.TXT"));
    transport.writeString("Expeditie", "Nume", "ramas");
    EXPECT_TRUE(ChoosePrintsLogic::readDispatch(dir.filePath("TRANSPORT.TXT")).name.isEmpty());
}

TEST_F(ChoosePrints, TheDialogShowsBothPagesAndCancelWritesNothing)
{
    parameters.PreprintedInvoice = false;
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->windowTitle(), "Listeaza...");
        // Ticking "Nota de transfer" clears the invoice.
        for (QCheckBox* box : dialog->findChildren<QCheckBox*>())
            if (box->text() == "Nota de transfer")
                box->click();
        testsupport::saveShot(*dialog, "choose-prints.png");
        auto* tabs = dialog->findChild<QTabWidget*>();
        tabs->setCurrentIndex(1);
        testsupport::saveShot(*dialog, "choose-prints-dispatch.png");
        dialog->reject();
    });
    int set = prints::PrintInvoiceBit;
    prints::PrintOptions options;
    EXPECT_FALSE(prints::ChoosePrints(nullptr, context(), set, options));
    EXPECT_EQ(set, prints::PrintInvoiceBit);
    EXPECT_TRUE(file("TRANSPORT.TXT").isEmpty());
    EXPECT_FALSE(file("TBXDEF.INI").contains("CodProdusPeFact"));
}

} // namespace
