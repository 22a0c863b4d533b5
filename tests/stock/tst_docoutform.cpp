// The output documents window and the current stock window on screen
// (offscreen): the header follows the type, Ctrl-Enter in the line grid
// opens the stock picker and fills the line, the sale price is typed in the
// grid, and pictures of the windows are saved for a look.

#include "docintest.h"

#include "common/inifile.h"

#include "prints/tqrprndlg.h"
#include "stock/outputprints.h"
#include "stock/tdocoutform.h"
#include "stock/tstockform.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
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
    std::unique_ptr<stock::TDocOutForm> openWindow() { return openWindow(printSettings); }
    std::unique_ptr<stock::TDocOutForm> openWindow(prints::PrintSettingsStore& store,
                                                   std::function<void(stock::DocOutContext&)> adjust = {})
    {
        stock::DocOutContext context{db, dialogs, formats, parameters, store, dir.path() + u'/', {}, {},
                                     {}, {}, {}, {}, {}};
        context.pickStockLine = [this](QWidget* owner, stock::StockLinePick& pick) {
            return stock::PickStockLine(owner, stockContext(), pick);
        };
        if (adjust)
            adjust(context);
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
    prints::PrintSettingsStore printSettings;
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

// Sale prices fetched (the default): the column is shown and typed, and the
// line's taxes follow it, whatever a layout saved while it was hidden says.
// Calculated: shown, read-only, on the invoices that print it.
TEST_F(DocOutForm, TheSalePriceIsTypedInTheGrid)
{
    // The layout a window saved while the column was hidden.
    common::IniFile layout(dir.path() + QStringLiteral("/docout.cfg"));
    layout.writeString("Lines", "Columns",
                       "Contor;Contor_secundar;GestName;Cod_grupa;Cod_articol;Denumire;UM;Lot;Cantitate;"
                       "Pret_achizitie;Val;TVA;Buget;Pret_vinzare;Pret_vz_echiv_USD");
    layout.writeString("Lines", "Widths", "0;40;110;60;90;220;40;60;70;90;100;80;140;90;90");
    layout.writeString("Lines", "Hidden", "Contor;Contor_secundar;Lot;Pret_vinzare;Pret_vz_echiv_USD");

    auto form = openWindow();
    form->show();
    ui::DataGrid* grid = form->lineGrid();
    ui::DatasetModel* model = grid->datasetModel();
    const int sale = model->columnOf("Pret_vinzare");
    ASSERT_GE(sale, 0);
    form->logic().docs.setValue("Tip", "FCT");
    EXPECT_FALSE(grid->isColumnHidden(sale));

    datastore::Dataset& items = form->logic().items;
    form->logic().insertLine();
    items.setValue("Cod_grupa", "G");
    items.setValue("Cod_articol", "ART");
    items.setValue("Cantitate", 2);
    const QModelIndex cell = model->index(items.recNo(), sale);
    EXPECT_TRUE(model->flags(cell) & Qt::ItemIsEditable);
    EXPECT_TRUE(model->setData(cell, QStringLiteral("15")));
    EXPECT_EQ(items.value("Pret_vinzare").toDouble(), 15);
    EXPECT_EQ(items.value("TVA").toDouble(), 6); // R(19 × 30 / 100), whole lei
    items.post();
    testsupport::saveShot(*form, "output-invoice-sale-price.png");
    form->close();

    parameters.SellPrice = common::SellPriceMode::Calc;
    auto calculated = openWindow();
    ui::DataGrid* calcGrid = calculated->lineGrid();
    calculated->logic().newDocument();
    calculated->logic().docs.setValue("Tip", "BMC");
    EXPECT_TRUE(calcGrid->isColumnHidden(sale));
    calculated->logic().docs.setValue("Tip", "FCT");
    EXPECT_FALSE(calcGrid->isColumnHidden(sale));
    EXPECT_TRUE(calcGrid->datasetModel()->columns().at(sale).readOnly);
}

// "&Listeaza" of a consumption note with the scrapping list ticked too:
// each print's setup opens on that print's own page, the choice made in one
// stays with it, and it comes back after a restart through the INI file.
TEST_F(DocOutForm, EachPrintOpensItsSetupOnItsOwnSettings)
{
    db.exec("INSERT INTO DOC_OUT (Contor, Data_inregistrarii, Numar, Tip, Data, Explicatie) "
            "VALUES (7, '2026-04-04', 9, 'BMC', '2026-04-04', 'Consum aprilie')");
    db.exec("INSERT INTO ITEM_OUT (Contor, Contor_secundar, Cod_gestiune, Cod_grupa, Cod_articol, Cantitate, "
            "Pret_achizitie, Agent) VALUES (7, 1, 'A', 'G', 'ART', 1, 10, NULL)");
    const QString iniPath = dir.file("mirafel.INI");
    QStringList printed; // each print with the page it went out on
    const auto printWith = [&](prints::PrintSettingsStore& store) {
        return [&printed, &store](stock::DocOutContext& c) {
            c.choosePrints = [](QWidget*, int& set, prints::PrintOptions&) {
                set = prints::PrintConsumptionNoteBit | prints::PrintScrappingBit;
                return true;
            };
            c.printDocument = [&printed, &store](const stock::OutputPrintJob& job) {
                const prints::PrintSettings& s = stock::outputPrintSettings(store, job.kind);
                printed << QStringLiteral("%1 %2 %3 %4 %5")
                               .arg(stock::outputPrintName(job.kind),
                                    s.orientation == prints::PageOrientation::Landscape ? "peisaj" : "portret", s.fontName)
                               .arg(s.fontSize)
                               .arg(s.topMargin);
            };
        };
    };
    // The two setups, as the user sees them: the first one's top margin is set to 20.
    QStringList seen;
    const auto answer = [&](int top) {
        return [&seen, top](QWidget* modal) {
            auto* dlg = qobject_cast<prints::TQRPrnDlg*>(modal);
            ASSERT_NE(dlg, nullptr);
            seen << QStringLiteral("%1 %2 %3 %4")
                        .arg(dlg->printCaptionLabel()->text(),
                             dlg->landscapeButton()->isChecked() ? "peisaj" : "portret", dlg->fontLabel()->text())
                        .arg(dlg->marginBox(prints::MarginSide::Top)->value());
            if (top > 0)
                dlg->marginBox(prints::MarginSide::Top)->setValue(top);
            dlg->pages()->setCurrentIndex(1);
            testsupport::saveShot(*dlg, QStringLiteral("printsetup-%1.png").arg(seen.size()));
            dlg->printButton()->click();
        };
    };
    {
        common::IniFile ini(iniPath);
        prints::PrintSettingsStore store(ini);
        auto form = openWindow(store, printWith(store));
        form->show();
        whenModal([&](QWidget* modal) {
            whenModal(answer(0));
            answer(20)(modal);
        });
        form->logic().print();
        EXPECT_EQ(seen, (QStringList{"Bon de consum peisaj Arial   8 10", "Casare portret Arial   8 10"}));
        EXPECT_EQ(printed, (QStringList{"consumption-note peisaj Arial 8 20", "scrapping-list portret Arial 8 10"}));
        form.reset();
        ASSERT_TRUE(store.write()); // at exit
    }
    // The next start: the consumption note opens on its choice, the scrapping list on its own.
    seen.clear();
    printed.clear();
    common::IniFile ini(iniPath);
    prints::PrintSettingsStore store(ini);
    auto form = openWindow(store, printWith(store));
    form->show();
    whenModal([&](QWidget* modal) {
        whenModal(answer(0));
        answer(0)(modal);
    });
    form->logic().print();
    EXPECT_EQ(seen, (QStringList{"Bon de consum peisaj Arial   8 20", "Casare portret Arial   8 10"}));
    EXPECT_EQ(printed, (QStringList{"consumption-note peisaj Arial 8 20", "scrapping-list portret Arial 8 10"}));
}

} // namespace
