// The output documents window and the current stock window on screen
// (offscreen): the header follows the type, Ctrl-Enter in the line grid
// opens the stock picker and fills the line, and pictures of the windows
// are saved for a look.

#include "docintest.h"

#include "stock/tdocoutform.h"
#include "stock/tstockform.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace stocktest;

namespace {

class DocOutForm : public DocInFixture {
protected:
    void SetUp() override
    {
        DocInFixture::SetUp();
        db.exec("INSERT INTO \"Gest.db\" (Cod, Denumire) VALUES ('B', 'Bucatarie')");
        db.exec("INSERT INTO \"User.db\" (Init, Name) VALUES ('IP', 'Ion Popescu'), ('MV', 'Maria Vasile')");
        receipt({{"ART", 5, 10}, {"ART", 4, 12}, {"PIX", 20, 2}});
        settings = std::make_unique<QSettings>(dir.path() + "/registry.ini", QSettings::IniFormat);
        privateDb.setDirectory(privateDir.path());
    }
    stock::StockFormContext stockContext()
    {
        return {db, privateDb, dialogs, formats, parameters, *settings, dir.path() + u'/', memory, {}, {}};
    }
    std::unique_ptr<stock::TDocOutForm> openWindow()
    {
        stock::DocOutContext context{db, dialogs, formats, parameters, printSettings, dir.path() + u'/', {}, {},
                                     {}, {}, {}, {}, {}};
        context.pickStockLine = [this](QWidget* owner, stock::StockLinePick& pick) {
            return stock::PickStockLine(owner, stockContext(), pick);
        };
        auto form = std::make_unique<stock::TDocOutForm>(std::move(context));
        EXPECT_TRUE(form->prepare(kToday));
        return form;
    }
    // Runs `action` once the next modal window is up.
    static void whenModal(std::function<void(QWidget*)> action)
    {
        QTimer::singleShot(0, [action = std::move(action)] {
            QWidget* modal = QApplication::activeModalWidget();
            ASSERT_NE(modal, nullptr);
            action(modal);
        });
    }
    prints::PrintSettings printSettings;
    std::unique_ptr<QSettings> settings;
    QTemporaryDir privateDir;
    datastore::Database privateDb{QStringLiteral("PRIV")};
    stock::StockPickMemory memory;
};

TEST_F(DocOutForm, TheStockPickerFillsTheLine)
{
    auto form = openWindow();
    form->show();
    datastore::Dataset& docs = form->logic().docs;
    docs.setValue("Tip", "BT");
    auto* clientLabel = form->findChild<QLabel*>();
    ASSERT_NE(clientLabel, nullptr);
    docs.setValue("Client", "B");
    docs.setValue("Explicatie", "Transfer la bucatarie");
    docs.setValue("Agent", "IP");

    form->logic().insertLine();
    form->lineGrid()->setCurrentField("Cod_articol");
    // The picker opens on the line's warehouse; the row at 12 is chosen.
    whenModal([this](QWidget* modal) {
        auto* picker = modal->findChild<stock::TStockForm*>();
        ASSERT_NE(picker, nullptr);
        EXPECT_EQ(modal->windowTitle(), "Selectie articol din stoc");
        picker->logic().locate("G", "ART", 12);
        testsupport::saveShot(*modal, "stock-picker.png");
        QTest::keyClick(picker->grid(), Qt::Key_Return);
    });
    QTest::keyClick(form->lineGrid(), Qt::Key_Return, Qt::ControlModifier);
    datastore::Dataset& items = form->logic().items;
    EXPECT_EQ(items.value("Cod_articol").toString(), "ART");
    EXPECT_EQ(items.value("Pret_achizitie").toDouble(), 12);
    EXPECT_EQ(form->lineGrid()->currentField(), "Cantitate");
    items.setValue("Cantitate", 3);
    items.post();
    EXPECT_EQ(stockOf("ART", 12), 1);
    EXPECT_EQ(memory.lastWarehouse, "A");

    // Cancelled: the line stays as it was.
    form->logic().insertLine();
    whenModal([](QWidget* modal) { QTest::keyClick(modal, Qt::Key_Escape); });
    form->logic().pickInColumn("Cod_articol");
    EXPECT_TRUE(items.value("Cod_articol").toString().isEmpty());
    form->logic().cancelLine();
    testsupport::saveShot(*form, "output-documents.png");
}

} // namespace
