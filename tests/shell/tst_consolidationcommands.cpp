// The consolidation commands of the main window: hidden and disabled in the
// menu, reached through the command dispatch; each shows its dialog and opens
// the documents window on the invoice made. The output documents window
// opened by the main window offers the transfer.

#include "shell/commands.h"
#include "shell/tmainform.h"
#include "shelltest.h"
#include "stock/tconsdlg.h"
#include "stock/tdocinform.h"
#include "stock/tdocoutform.h"
#include "stock/ttransferdocdlg.h"

#include <QAction>
#include <QApplication>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace shell;

namespace {

class ConsolidationCommands : public ::testing::Test, public shelltest::ContextFixture {
protected:
    void SetUp() override
    {
        settings.setValue("LastDatabaseDir", newDir("baza"));
        ASSERT_TRUE(form.startUp()) << dialogs.texts().join(" | ").toStdString();
        datastore::Database& db = ctx->database;
        const QString today = QDate::currentDate().toString(Qt::ISODate);
        const QVariantHash d{{"d", today}};
        db.exec("INSERT INTO \"Gest.db\" (Cod, Denumire) VALUES ('A', 'Magazie')");
        db.exec("INSERT INTO CATALOG (Grupa, Cod, Denumire, Coef_TVA) VALUES ('G', 'ART', 'Hartie', 19)");
        db.exec("INSERT INTO FURN (Cod_furnizor, Nume_furnizor) VALUES ('F1', 'Papetaria')");
        db.exec("INSERT INTO CLIENT (Cod_client, Nume_client) VALUES ('B1', 'Buget local')");
        db.exec("INSERT INTO DOC_IN (Contor, Data_inregistrarii, Numar, Tip, Data, Furnizor) VALUES "
                "(1, :d, 5, 'AE', :d, 'F1')", d);
        db.exec("INSERT INTO ITEM_IN (Contor, Contor_secundar, Cod_gestiune, Cod_grupa, Cod_articol, Cantitate, "
                "Pret_achizitie_lei) VALUES (1, 1, 'A', 'G', 'ART', 10, 5)");
        db.exec("INSERT INTO DOC_OUT (Contor, Data_inregistrarii, Numar, Tip, Data, Client) VALUES "
                "(1, :d, 6, 'AE', :d, 'B1')", d);
        db.exec("INSERT INTO ITEM_OUT (Contor, Contor_secundar, Cod_gestiune, Cod_grupa, Cod_articol, Cantitate, "
                "Pret_achizitie, Pret_vinzare) VALUES (1, 1, 'A', 'G', 'ART', 4, 5, 6)");
        db.exec("INSERT INTO STOC (Cod_gestiune, Cod_grupa, Cod_articol, Pret_achizitie, Cantitate) "
                "VALUES ('A', 'G', 'ART', 5, 6)");
        db.exec("INSERT INTO COUNTER (NewCounterIn, NewCounterOut) VALUES (1, 1)");
        dialogs.clear();
    }
    TMainForm form{*ctx};
};

TEST_F(ConsolidationCommands, HiddenInTheMenuYetReachable)
{
    struct Case {
        CommandId command;
        const char* caption;
        const char* dialogClass;
        const char* window;
    };
    const Case cases[] = {
        {CommandId::ConsolidateInputs, "Consolidare factura (documente de intrare)", "stock::TConsInDlg", "InputDocuments"},
        {CommandId::ConsolidateOutputs, "Consolidare factura (documente de iesire)", "stock::TConsOutDlg", "OutputDocuments"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.caption);
        const MenuEntry* entry = findMenuItem(c.command);
        ASSERT_NE(entry, nullptr);
        EXPECT_FALSE(entry->shown);
        EXPECT_FALSE(entry->enabled);
        EXPECT_FALSE(isVisibleInMenuBar(*entry));

        // The dialog: the only partner, the default period, the note marked, consolidated.
        QString caption, className;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<stock::TConsDlg*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            caption = dialog->windowTitle();
            className = QString::fromLatin1(dialog->metaObject()->className());
            dialog->selectButton()->click();
            QTableWidget* notes = dialog->noteList();
            ASSERT_EQ(notes->rowCount(), 1);
            notes->setCurrentCell(0, 0);
            QTest::keyClick(notes, Qt::Key_Space);
            dialog->consolidateButton()->click();
        });
        form.runCommand(c.command);
        EXPECT_EQ(caption, c.caption);
        EXPECT_EQ(className, c.dialogClass);
        EXPECT_TRUE(dialogs.messages.isEmpty()) << dialogs.texts().join(" | ").toStdString();

        // The documents window, on the invoice.
        QMdiSubWindow* sub = form.singleInstanceWindow(c.window);
        ASSERT_NE(sub, nullptr);
        const datastore::Dataset* docs = nullptr;
        if (auto* in = qobject_cast<stock::TDocInForm*>(sub->widget()))
            docs = &in->logic().docs;
        else if (auto* out = qobject_cast<stock::TDocOutForm*>(sub->widget()))
            docs = &out->logic().docs;
        ASSERT_NE(docs, nullptr);
        EXPECT_EQ(docs->value("Contor").toDouble(), 2);
        EXPECT_EQ(docs->value("Tip").toString(), "FCT");
        EXPECT_EQ(docs->value("Explicatie").toString(), "Consolidare avize");
    }
    EXPECT_EQ(ctx->database.scalar("SELECT Cantitate FROM STOC").toDouble(), 6);
    form.action(CommandId::CloseAll)->trigger();
    QApplication::processEvents();
}

TEST_F(ConsolidationCommands, OutputWindowRunsTheTransfer)
{
    form.runCommand(CommandId::OutputDocuments);
    QMdiSubWindow* sub = form.singleInstanceWindow("OutputDocuments");
    ASSERT_NE(sub, nullptr);
    auto* window = qobject_cast<stock::TDocOutForm*>(sub->widget());
    ASSERT_NE(window, nullptr);
    QPushButton* button = nullptr;
    for (QPushButton* b : window->findChildren<QPushButton*>())
        if (b->text() == "&Transfer")
            button = b;
    ASSERT_NE(button, nullptr);
    EXPECT_FALSE(button->isHidden());
    EXPECT_EQ(button->toolTip(), "Operare tranferuri");
    QAction* item = nullptr;
    for (QAction* a : window->findChildren<QAction*>())
        if (a->text() == "T&ransfer")
            item = a;
    ASSERT_NE(item, nullptr);
    EXPECT_TRUE(item->isEnabled());
    EXPECT_EQ(item->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_R));
    EXPECT_EQ(item->statusTip(), "Genereaza un document de intrare echivalent in alta gestiune");

    // The button runs the transfer through its dialog.
    ctx->database.exec("INSERT INTO \"Gest.db\" (Cod, Denumire) VALUES ('B', 'Bucatarie')");
    ASSERT_EQ(window->logic().docs.value("Contor").toDouble(), 1);
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<stock::TTransferDocDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->warehouseList()->setCurrentRow(0); // "Bucatarie"
        dialog->okButton()->click();
    });
    button->click();
    EXPECT_EQ(ctx->database.scalar("SELECT Client FROM DOC_OUT WHERE Contor = 1").toString(), "B");
    EXPECT_EQ(ctx->database.scalar("SELECT COUNT(*) FROM DOC_IN WHERE Tip = 'BT'").toInt(), 1);
    EXPECT_EQ(ctx->database.scalar("SELECT Cantitate FROM STOC WHERE Cod_gestiune = 'B'").toDouble(), 4);
    EXPECT_EQ(window->logic().docs.value("Tip").toString(), "BT");
    form.action(CommandId::CloseAll)->trigger();
    QApplication::processEvents();
}

} // namespace
