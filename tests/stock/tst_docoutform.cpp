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
    }
    stock::StockFormContext stockContext()
    {
        stock::StockFormContext c{db, nullptr, dialogs, formats, parameters, *settings, dir.path() + u'/', {}, {}, nullptr};
        c.lastWarehouse = &lastWarehouse;
        return c;
    }
    std::unique_ptr<stock::TDocOutForm> openWindow()
    {
        stock::DocOutContext context{db, dialogs, formats, parameters, printSettings, dir.path() + u'/', {}, {},
                                     {}, {}, {}, {}, {}, {}};
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
    QString lastWarehouse;
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
        auto* picker = qobject_cast<stock::TStockForm*>(modal);
        ASSERT_NE(picker, nullptr);
        EXPECT_EQ(picker->windowTitle(), "Selectie articol din stoc");
        picker->logic().position("G", "ART", 12);
        testsupport::saveShot(*picker, "stock-picker.png");
        QTest::keyClick(picker->grid(), Qt::Key_Return);
        picker->accept();
    });
    QTest::keyClick(form->lineGrid(), Qt::Key_Return, Qt::ControlModifier);
    datastore::Dataset& items = form->logic().items;
    EXPECT_EQ(items.value("Cod_articol").toString(), "ART");
    EXPECT_EQ(items.value("Pret_achizitie").toDouble(), 12);
    EXPECT_EQ(form->lineGrid()->currentField(), "Cantitate");
    items.setValue("Cantitate", 3);
    items.post();
    EXPECT_EQ(stockOf("ART", 12), 1);
    EXPECT_EQ(lastWarehouse, "A");

    // Cancelled: the line stays as it was.
    form->logic().insertLine();
    whenModal([](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
    form->logic().pickInColumn("Cod_articol");
    EXPECT_TRUE(items.value("Cod_articol").toString().isEmpty());
    form->logic().cancelLine();
    testsupport::saveShot(*form, "output-documents.png");
}

TEST_F(DocOutForm, TheStockWindowSwitchesListsAndKeepsTheOrder)
{
    {
        auto form = stock::TStockForm::createChild(stockContext());
        ASSERT_NE(form, nullptr);
        form->show();
        EXPECT_EQ(form->windowTitle(), "Stocuri curente");
        auto combos = form->findChildren<QComboBox*>();
        ASSERT_EQ(combos.size(), 3);
        EXPECT_EQ(form->logic().list()->recordCount(), 3);
        combos[2]->setCurrentIndex(2); // by name
        emit combos[2]->activated(2);
        EXPECT_EQ(form->logic().list()->value(0, "Denumire").toString(), "Hartie");
        combos[1]->setCurrentIndex(1); // cumulated
        emit combos[1]->activated(1);
        EXPECT_EQ(form->logic().list()->recordCount(), 2);
        testsupport::saveShot(*form, "current-stock.png");
        form->close();
    }
    EXPECT_EQ(settings->value("SortBy").toInt(), 2);
    EXPECT_TRUE(QFile::exists(dir.path() + "/stocksArticole.cfg"));
    auto again = stock::TStockForm::createChild(stockContext());
    EXPECT_EQ(again->logic().order(), 2);
}

} // namespace
