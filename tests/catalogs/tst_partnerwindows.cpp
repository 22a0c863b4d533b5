// The supplier, budget and warehouse windows on the offscreen platform: the
// child window (hidden buttons, search box, order combo, close request and
// layout file), the modal pickers (OK, Enter, double click, "&Renunta", Esc,
// a code that does not exist, an empty table) and pictures of every window
// in both roles (written when MIRAFEL_SHOTS_DIR names a folder).

#include "catalogs/tclientlookupform.h"
#include "catalogs/tfurnlookupform.h"
#include "catalogs/tgestlookupform.h"
#include "common/accountsymbol.h"
#include "common/inifile.h"
#include "common/scripteddialogs.h"
#include "datastore/tablecatalog.h"
#include "testsupport.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <ostream>

[[maybe_unused]] static void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

using namespace catalogs;
using namespace datastore;

namespace {

using PickerAction = std::function<void(QDialog&, TLookupForm&)>;

// Runs `action` on the picker once it is shown modally. A picker still open
// afterwards is a failure and is closed, so that a broken test cannot hang.
void onPicker(PickerAction action)
{
    QTimer::singleShot(0, [action] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog) {
            ADD_FAILURE() << "no modal picker";
            return;
        }
        auto* form = dialog->findChild<TLookupForm*>();
        if (!form) {
            ADD_FAILURE() << "the picker holds no lookup form";
            dialog->reject();
            return;
        }
        action(*dialog, *form);
        if (dialog->isVisible()) {
            ADD_FAILURE() << "the picker was left open";
            form->logic().table.cancel();
            dialog->reject();
        }
    });
}

class PartnerWindowsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        db.setDirectory(dir.path());
        for (const char* t : {"Furn.DB", "Client.DB", "Gest.db"})
            db.createTable(*findTableDef(QString::fromLatin1(t)));
        QDir().mkpath(privateDir);
    }

    void addWarehouses()
    {
        db.exec("INSERT INTO \"Gest.db\" (Cod, Denumire, Gestionar) VALUES "
                "('G1', 'Magazie centrala', 'Popescu Ion'), ('G2', 'Cantina', 'Ionescu Ana'), "
                "('G3', 'Atelier', 'Vasile Dan')");
    }

    QStringList headerTitles(const ui::DataGrid* grid) const
    {
        QStringList titles;
        for (int c = 0; c < grid->model()->columnCount(); ++c)
            if (!grid->isColumnHidden(c))
                titles << grid->model()->headerData(c, Qt::Horizontal).toString();
        return titles;
    }

    testsupport::TempDir dir;
    Database db;
    common::ScriptedDialogs dialogs;
    common::Formats formats;
    common::Parameters params;
    QString privateDir = dir.path() + "/TBX_PRIV/";
    PartnerServices services{db, dialogs, formats, params, privateDir};
};

} // namespace

TEST_F(PartnerWindowsTest, ChildWindow)
{
    db.exec("INSERT INTO \"Furn.DB\" (Cod_furnizor, Nume_furnizor) VALUES ('1', 'Alfa'), ('10', 'beta'), ('3', 'Gama')");
    std::unique_ptr<TFurnLookupForm> form = TFurnLookupForm::createChild(services);
    ASSERT_TRUE(form);
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_EQ(form->windowTitle(), "Catalog furnizori");
    EXPECT_EQ(form->objectName(), "TFurnLookupForm");
    for (QPushButton* b : {form->okButton(), form->cancelButton(), form->editButton()})
        EXPECT_TRUE(b->isHidden()) << b->text().toStdString();
    EXPECT_TRUE(form->grid()->toolTip().isEmpty());
    EXPECT_FALSE(form->logic().table.isReadOnly());
    EXPECT_EQ(form->grid()->selectionBehavior(), QAbstractItemView::SelectItems);
    EXPECT_EQ(headerTitles(form->grid()),
              QStringList({"Cod furnizor", "Nume furnizor", "Cont contabil", "Adresa", "Banca", "Cont bancar", "ORC",
                           "Telefon", "Fax", "Cod_fiscal"}));
    ASSERT_EQ(form->orderCombo()->count(), 2);
    EXPECT_EQ(form->orderCombo()->itemText(0), "dupa Cod");
    EXPECT_EQ(form->orderCombo()->itemText(1), "dupa Denumire");
    EXPECT_EQ(form->orderCombo()->currentIndex(), 0);
    EXPECT_EQ(form->searchEdit()->maxLength(), 30);
    form->show();

    // Search as you type: "2" over the codes 1, 10, 3 lands on 3.
    QTest::keyClicks(form->searchEdit(), "2");
    EXPECT_EQ(form->currentCode(), "3");
    EXPECT_EQ(form->grid()->currentIndex().row(), form->logic().table.recNo());
    form->orderCombo()->setCurrentIndex(1);
    EXPECT_EQ(form->logic().order(), PartnerOrder::ByName);
    EXPECT_EQ(form->currentCode(), "3") << "the current row stays current";
    form->searchEdit()->clear();
    QTest::keyClicks(form->searchEdit(), "B");
    EXPECT_EQ(form->currentCode(), "10");

    // A new row: the default account, the cursor on the code column.
    form->grid()->appendRow();
    EXPECT_EQ(form->logic().table.value("Cont_creditor").toString(), "401");
    EXPECT_EQ(form->grid()->currentField(), "Cod_furnizor");
    form->grid()->cancelRow();
}

TEST_F(PartnerWindowsTest, ClosingTheChildWindowPostsAndKeepsTheLayout)
{
    db.exec("INSERT INTO \"Furn.DB\" (Cod_furnizor, Nume_furnizor) VALUES ('F1', 'Alfa')");
    const QString cfg = privateDir + "furnlook.cfg";
    int movedWidth = 0;
    {
        std::unique_ptr<TFurnLookupForm> form = TFurnLookupForm::createChild(services);
        ASSERT_TRUE(form);
        form->show();
        form->grid()->appendRow();
        form->logic().table.setValue("Cod_furnizor", "F2"); // no name yet
        EXPECT_FALSE(form->close()) << "a refused row keeps the window open";
        EXPECT_EQ(dialogs.texts(), QStringList{"Completati cel putin codul si denumirea furnizorului!"});
        EXPECT_TRUE(form->isVisible());
        EXPECT_FALSE(QFile::exists(cfg));

        // The text of a cell still being typed goes to the row.
        const QModelIndex name = form->grid()->model()->index(form->logic().table.recNo(), 1);
        form->grid()->setCurrentIndex(name);
        form->grid()->edit(name);
        auto* editor = qobject_cast<QLineEdit*>(form->grid()->indexWidget(name));
        ASSERT_NE(editor, nullptr);
        editor->setText("Beta");
        form->grid()->setColumnWidth(1, 321);
        movedWidth = 321;
        EXPECT_TRUE(form->close());
        EXPECT_EQ(db.scalar("SELECT Nume_furnizor FROM \"Furn.DB\" WHERE Cod_furnizor = 'F2'").toString(), "Beta");
        EXPECT_FALSE(form->logic().table.isOpen());
    }
    ASSERT_TRUE(QFile::exists(cfg));
    std::unique_ptr<TFurnLookupForm> again = TFurnLookupForm::createChild(services);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->grid()->columnWidth(1), movedWidth) << "the layout is read when the window opens";

    // The budget window keeps its own file; the warehouse window has none.
    std::unique_ptr<TClientLookupForm> budgets = TClientLookupForm::createChild(services);
    std::unique_ptr<TGestlookupForm> warehouses = TGestlookupForm::createChild(services);
    ASSERT_TRUE(budgets && warehouses);
    EXPECT_TRUE(budgets->close());
    EXPECT_TRUE(warehouses->close());
    EXPECT_TRUE(QFile::exists(privateDir + "clnlook.cfg"));
    EXPECT_EQ(QDir(privateDir).entryList(QDir::Files), QStringList({"clnlook.cfg", "furnlook.cfg"}));
}

TEST_F(PartnerWindowsTest, InAnMdiSubWindowARefusedRowKeepsTheWindow)
{
    QMdiArea area;
    area.show();
    std::unique_ptr<TClientLookupForm> form = TClientLookupForm::createChild(services);
    ASSERT_TRUE(form);
    QPointer<TClientLookupForm> watched = form.get();
    QPointer<QMdiSubWindow> sub = area.addSubWindow(form.release());
    sub->show();
    watched->grid()->appendRow();
    watched->logic().table.setValue("Cod_client", "B1");
    dialogs.clear(); // the empty-table warning
    EXPECT_FALSE(sub->close());
    EXPECT_EQ(dialogs.texts(), QStringList{"Completati toate datele inregistrarii!"});
    EXPECT_TRUE(sub && sub->isVisible());
    watched->logic().table.setValue("Nume_client", "Buget local");
    EXPECT_TRUE(sub->close());
    QApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(watched.isNull()) << "the window is freed with its sub-window";
    EXPECT_EQ(db.scalar("SELECT Nume_client FROM \"Client.DB\" WHERE Cod_client = 'B1'").toString(), "Buget local");
    EXPECT_TRUE(QFile::exists(privateDir + "clnlook.cfg"));
}

TEST_F(PartnerWindowsTest, AWindowWhoseTableCannotBeOpenedIsNotMade)
{
    db.dropTable("Gest.db");
    EXPECT_EQ(TGestlookupForm::createChild(services), nullptr);
    EXPECT_TRUE(dialogs.last().text.startsWith("Eroare de acces la catalogul de gestiuni!\r<"));
    QString code = "G1";
    EXPECT_FALSE(PickWarehouse(services, nullptr, code));
    EXPECT_EQ(code, "G1");
}

TEST_F(PartnerWindowsTest, PickWarehouse)
{
    addWarehouses();
    enum class Close { Ok, Enter, DoubleClickFirstRow, Cancel, Escape, CloseBox };
    const struct {
        const char* given;
        Close close;
        bool result;
        const char* code;
    } cases[] = {
        {"G2", Close::Ok, true, "G2"},
        {"G3", Close::Enter, true, "G3"},
        {"G3", Close::DoubleClickFirstRow, true, "G1"},
        {"XX", Close::Ok, true, "G1"}, // not found: the first warehouse
        {"", Close::Ok, true, "G1"},
        {"G2", Close::Cancel, false, "G2"},
        {"XX", Close::Escape, false, "XX"},
        {"G3", Close::CloseBox, false, "G3"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("given ") + c.given + " close " + std::to_string(static_cast<int>(c.close)));
        onPicker([&](QDialog& dialog, TLookupForm& form) {
            EXPECT_EQ(dialog.windowTitle(), "Catalog de gestiuni");
            EXPECT_EQ(form.objectName(), "TGestlookupForm");
            EXPECT_EQ(form.grid()->toolTip(), "Selectati gestiunea si apasati butonul OK sau Enter");
            EXPECT_EQ(form.grid()->selectionBehavior(), QAbstractItemView::SelectRows);
            EXPECT_TRUE(form.okButton()->isVisible() && form.okButton()->isEnabled());
            EXPECT_TRUE(form.cancelButton()->isVisible());
            EXPECT_FALSE(form.editButton()->isChecked());
            EXPECT_EQ(headerTitles(form.grid()), QStringList({"Cod gestiune", "Denumire", "Gestionar"}));
            switch (c.close) {
            case Close::Ok: form.okButton()->click(); break;
            case Close::Enter: QTest::keyClick(form.grid(), Qt::Key_Return); break;
            case Close::DoubleClickFirstRow: {
                const QModelIndex first = form.grid()->model()->index(0, 1);
                QTest::mouseClick(form.grid()->viewport(), Qt::LeftButton, {}, form.grid()->visualRect(first).center());
                QTest::mouseDClick(form.grid()->viewport(), Qt::LeftButton, {}, form.grid()->visualRect(first).center());
                break;
            }
            case Close::Cancel: form.cancelButton()->click(); break;
            case Close::Escape: QTest::keyClick(form.grid(), Qt::Key_Escape); break;
            case Close::CloseBox: dialog.close(); break;
            }
        });
        QString code = QString::fromUtf8(c.given);
        EXPECT_EQ(PickWarehouse(services, nullptr, code), c.result);
        EXPECT_EQ(code, QString::fromUtf8(c.code));
    }
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(PartnerWindowsTest, EveryCatalogServesAsAPicker)
{
    db.exec("INSERT INTO \"Furn.DB\" (Cod_furnizor, Nume_furnizor) VALUES ('F1', 'Alfa'), ('F2', 'Beta')");
    db.exec("INSERT INTO \"Client.DB\" (Cod_client, Nume_client) VALUES ('B1', 'Buget local'), ('B2', 'Venituri proprii')");
    addWarehouses();
    const struct {
        bool (*pick)(const PartnerServices&, QWidget*, QString&);
        const char* caption;
        const char* hint;
        const char* typed; // in the search box, order "dupa Denumire"
        const char* code;
    } cases[] = {
        {PickSupplier, "Selectie de furnizori", "Selectati furnizorul dorit si apasati butonul OK sau Enter", "b", "F2"},
        {PickBudget, "Selectie de bugete", "Selectati bugetul si apasati butonul OK sau Enter", "VEN", "B2"},
        {PickWarehouse, "Catalog de gestiuni", "Selectati gestiunea si apasati butonul OK sau Enter", "c", "G2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.caption);
        onPicker([&](QDialog& dialog, TLookupForm& form) {
            EXPECT_EQ(dialog.windowTitle(), c.caption);
            EXPECT_EQ(form.grid()->toolTip(), c.hint);
            form.orderCombo()->setCurrentIndex(1);
            QTest::keyClicks(form.searchEdit(), c.typed);
            QTest::keyClick(form.searchEdit(), Qt::Key_Return); // Enter is "OK"
        });
        QString code;
        EXPECT_TRUE(c.pick(services, nullptr, code));
        EXPECT_EQ(code, c.code);
    }
}

TEST_F(PartnerWindowsTest, APickerOnAnEmptyTableStartsInEditing)
{
    onPicker([&](QDialog&, TLookupForm& form) {
        EXPECT_TRUE(form.editButton()->isChecked());
        EXPECT_FALSE(form.okButton()->isEnabled());
        EXPECT_EQ(form.grid()->selectionBehavior(), QAbstractItemView::SelectItems);
        Dataset& t = form.logic().table;
        form.grid()->appendRow();
        t.setValue("Cod", "G9");
        t.setValue("Denumire", "Magazie noua");
        form.editButton()->click(); // up: the row is posted, the list read-only
        EXPECT_FALSE(form.editButton()->isChecked());
        EXPECT_TRUE(form.okButton()->isEnabled());
        EXPECT_TRUE(t.isReadOnly());
        EXPECT_EQ(form.grid()->selectionBehavior(), QAbstractItemView::SelectRows);
        form.okButton()->click();
    });
    QString code = "G1";
    EXPECT_TRUE(PickWarehouse(services, nullptr, code));
    EXPECT_EQ(code, "G9");
    EXPECT_EQ(dialogs.texts(), QStringList{"Adaugati gestiuni în catalog!"});
    EXPECT_EQ(db.scalar("SELECT Denumire FROM \"Gest.db\" WHERE Cod = 'G9'").toString(), "Magazie noua");

    // Left empty, the picker confirms nothing.
    db.exec("DELETE FROM \"Gest.db\"");
    onPicker([&](QDialog&, TLookupForm& form) {
        form.editButton()->click();
        form.okButton()->click();
    });
    code = "G1";
    EXPECT_FALSE(PickWarehouse(services, nullptr, code));
    EXPECT_EQ(code, "G1");
}

TEST_F(PartnerWindowsTest, EditingInAPickerKeepsRefusedRows)
{
    db.exec("INSERT INTO \"Furn.DB\" (Cod_furnizor, Nume_furnizor) VALUES ('F1', 'Alfa')");
    onPicker([&](QDialog& dialog, TLookupForm& form) {
        form.editButton()->click();
        EXPECT_TRUE(form.editButton()->isChecked());
        EXPECT_FALSE(form.okButton()->isEnabled());
        form.grid()->appendRow();
        form.logic().table.setValue("Cod_furnizor", "F2");
        form.editButton()->click(); // the row has no name: refused
        EXPECT_TRUE(form.editButton()->isChecked());
        EXPECT_FALSE(form.okButton()->isEnabled());
        form.cancelButton()->click(); // refused again: the picker stays
        EXPECT_TRUE(dialog.isVisible());
        form.logic().table.setValue("Nume_furnizor", "Beta");
        form.cancelButton()->click();
    });
    QString code = "F1";
    EXPECT_FALSE(PickSupplier(services, nullptr, code));
    EXPECT_EQ(code, "F1");
    EXPECT_EQ(dialogs.texts(), QStringList(2, "Completati cel putin codul si denumirea furnizorului!"));
    EXPECT_EQ(db.scalar("SELECT Nume_furnizor FROM \"Furn.DB\" WHERE Cod_furnizor = 'F2'").toString(), "Beta");
}

TEST_F(PartnerWindowsTest, RefreshTicksWaitForACellBeingTyped)
{
    db.exec("INSERT INTO \"Client.DB\" (Cod_client, Nume_client) VALUES ('B1', 'Buget local')");
    std::unique_ptr<TClientLookupForm> form = TClientLookupForm::createChild(services);
    ASSERT_TRUE(form);
    form->show();
    db.exec("INSERT INTO \"Client.DB\" (Cod_client, Nume_client) VALUES ('B2', 'Venituri proprii')");

    const QModelIndex name = form->grid()->model()->index(0, 1);
    form->grid()->setCurrentIndex(name);
    form->grid()->edit(name);
    ASSERT_NE(form->grid()->indexWidget(name), nullptr);
    form->refreshTick();
    EXPECT_EQ(form->logic().table.recordCount(), 1) << "the cell being typed is not thrown away";
    QTest::keyClick(form->grid()->indexWidget(name), Qt::Key_Escape);
    form->refreshTick();
    EXPECT_EQ(form->logic().table.recordCount(), 2);
}

TEST_F(PartnerWindowsTest, Screenshots)
{
    const QString shots = qEnvironmentVariable("MIRAFEL_SHOTS_DIR");
    if (shots.isEmpty())
        GTEST_SKIP() << "MIRAFEL_SHOTS_DIR not set";
    QDir().mkpath(shots);
    db.exec("INSERT INTO \"Furn.DB\" (Cod_furnizor, Nume_furnizor, Cont_creditor, Adresa, Banca, Cont_bancar, ORC, Tel, Fax, Cod_fiscal) VALUES "
            "('F001', 'Papetaria Centrala SRL', '401', 'Str. Mare 12, Brasov', 'BCR', 'RO49AAAA1B31007593840000', 'J08/123/2001', '0268123456', '0268123457', 'RO1234567'), "
            "('F002', 'Alimentara Sud SA', '401.1', 'Bd. Unirii 4, Sibiu', 'BRD', 'RO12BRDE445SV12345674450', 'J32/44/1998', '0269111222', '', 'RO2233445'), "
            "('F010', 'Ştefănescu şi Fiii SNC', '401.2', 'Cal. Dorobanţilor 7', 'CEC', 'RO33CECE0000000000000001', 'J40/9/2010', '0213334455', '', 'RO998877')");
    db.exec("INSERT INTO \"Client.DB\" (Cod_client, Nume_client, Cont) VALUES "
            "('BL', 'Buget local', '411'), ('VP', 'Venituri proprii', '411'), ('BS', 'Buget de stat', '411')");
    addWarehouses();
    db.exec("INSERT INTO \"Gest.db\" (Cod, Denumire, Gestionar) VALUES "
            "('G7', 'Laborator chimie-biologie corp', 'Georgescu-Munteanu Alexandra')");

    auto saveShot = [&](const QPixmap& pm, const QString& name) {
        EXPECT_TRUE(pm.save(QDir(shots).filePath(name))) << name.toStdString();
    };
    QMdiArea area;
    area.resize(900, 440);
    area.show();
    const struct {
        const char* name;
        std::function<std::unique_ptr<TLookupForm>()> child;
        bool (*pick)(const PartnerServices&, QWidget*, QString&);
        const char* code;
    } windows[] = {
        {"furnizori", [&] { return std::unique_ptr<TLookupForm>(TFurnLookupForm::createChild(services)); }, PickSupplier, "F002"},
        {"bugete", [&] { return std::unique_ptr<TLookupForm>(TClientLookupForm::createChild(services)); }, PickBudget, "VP"},
        {"gestiuni", [&] { return std::unique_ptr<TLookupForm>(TGestlookupForm::createChild(services)); }, PickWarehouse, "G2"},
    };
    for (const auto& w : windows) {
        std::unique_ptr<TLookupForm> child = w.child();
        ASSERT_TRUE(child);
        QMdiSubWindow* sub = area.addSubWindow(child.release());
        sub->resize(860, 400);
        sub->show();
        QApplication::processEvents();
        saveShot(area.grab(), QString("catalog_%1_child.png").arg(w.name));
        sub->close();
        QApplication::processEvents();

        onPicker([&](QDialog& dialog, TLookupForm& form) {
            QApplication::processEvents();
            saveShot(dialog.grab(), QString("catalog_%1_picker.png").arg(w.name));
            form.editButton()->click();
            QApplication::processEvents();
            saveShot(dialog.grab(), QString("catalog_%1_picker_editing.png").arg(w.name));
            form.editButton()->click();
            form.cancelButton()->click();
        });
        QString code = w.code;
        w.pick(services, nullptr, code);
    }
    // An empty catalog opened as a picker.
    db.exec("DELETE FROM \"Furn.DB\"");
    dialogs.clear();
    onPicker([&](QDialog& dialog, TLookupForm& form) {
        QApplication::processEvents();
        saveShot(dialog.grab(), "catalog_furnizori_picker_empty.png");
        form.cancelButton()->click();
    });
    QString code;
    PickSupplier(services, nullptr, code);
}

TEST_F(PartnerWindowsTest, RefreshTicksKeepTheUsersColumnWidthsAndClosingSavesThem)
{
    db.exec("INSERT INTO \"Furn.DB\" (Cod_furnizor, Nume_furnizor) VALUES ('F1', 'Alfa'), ('F2', 'Beta')");
    const QString cfg = privateDir + "furnlook.cfg";
    std::unique_ptr<TFurnLookupForm> form = TFurnLookupForm::createChild(services);
    ASSERT_TRUE(form);
    form->show();
    form->grid()->setColumnWidth(1, 345);
    form->grid()->setColumnWidth(3, 67);
    form->grid()->setCurrentIndex(form->grid()->model()->index(1, 2));
    db.exec("INSERT INTO \"Furn.DB\" (Cod_furnizor, Nume_furnizor) VALUES ('F3', 'Gama')");
    form->refreshTick();
    form->refreshTick();
    EXPECT_EQ(form->logic().table.recordCount(), 3) << "the tick read the rows again";
    EXPECT_EQ(form->grid()->columnWidth(1), 345);
    EXPECT_EQ(form->grid()->columnWidth(3), 67);
    EXPECT_EQ(form->grid()->currentIndex(), form->grid()->model()->index(1, 2));
    EXPECT_TRUE(form->close());
    const QStringList widths = common::IniFile(cfg).readString("Lista", "Widths").split(';');
    ASSERT_GE(widths.size(), 4);
    EXPECT_EQ(widths[1], "345");
    EXPECT_EQ(widths[3], "67");
}

TEST_F(PartnerWindowsTest, ARefusedAccountStaysInItsCell)
{
    db.exec("INSERT INTO \"Furn.DB\" (Cod_furnizor, Nume_furnizor, Cont_creditor) VALUES ('F1', 'Alfa', '401')");
    std::unique_ptr<TFurnLookupForm> form = TFurnLookupForm::createChild(services);
    ASSERT_TRUE(form);
    form->show();
    ui::DataGrid* grid = form->grid();
    grid->setFocus();
    const QModelIndex account = grid->model()->index(0, 2);
    grid->setCurrentIndex(account);
    QTest::keyClick(grid, '4'); // opens the cell
    QTest::keyClicks(grid->indexWidget(grid->currentIndex()), "01.1.2.3");
    QTest::keyClick(grid->indexWidget(account), Qt::Key_Tab);
    QApplication::processEvents();
    EXPECT_EQ(dialogs.texts(), QStringList{QString::fromUtf8(common::kAccountSymbolMessage)});
    EXPECT_EQ(grid->currentIndex(), account) << "the cursor stays on the account";
    auto* editor = qobject_cast<QLineEdit*>(grid->indexWidget(account));
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->text(), "401.1.2.3");

    // Closing with the refused value in the cell keeps the window open.
    EXPECT_FALSE(form->close());
    QApplication::processEvents();
    editor = qobject_cast<QLineEdit*>(grid->indexWidget(account));
    ASSERT_NE(editor, nullptr);
    editor->setText("401.1.2");
    EXPECT_TRUE(form->close());
    EXPECT_EQ(db.scalar("SELECT Cont_creditor FROM \"Furn.DB\" WHERE Cod_furnizor = 'F1'").toString(), "401.1.2");
}

TEST_F(PartnerWindowsTest, ASavedRowTakesItsPlaceInTheListAtOnce)
{
    db.exec("INSERT INTO \"Furn.DB\" (Cod_furnizor, Nume_furnizor) VALUES ('F1', 'Alfa'), ('F2', 'Beta'), "
            "('F3', 'Gama')");
    std::unique_ptr<TFurnLookupForm> form = TFurnLookupForm::createChild(services);
    ASSERT_TRUE(form);
    form->show();
    form->orderCombo()->setCurrentIndex(1); // dupa Denumire
    ui::DataGrid* grid = form->grid();
    grid->setFocus();
    const QModelIndex name = grid->model()->index(0, 1);
    grid->setCurrentIndex(name);
    QTest::keyClick(grid, 'Z'); // opens the cell
    QTest::keyClicks(grid->indexWidget(grid->currentIndex()), "eta");
    QTest::keyClick(grid->indexWidget(name), Qt::Key_Return);
    QApplication::processEvents();
    QTest::keyClick(grid, Qt::Key_Down); // leaving the row saves it
    QApplication::processEvents();
    EXPECT_EQ(form->logic().table.state(), DatasetState::Browse);
    const auto names = [&] {
        QStringList list;
        for (int r = 0; r < grid->model()->rowCount(); ++r)
            list << grid->model()->index(r, 1).data().toString();
        return list;
    };
    EXPECT_EQ(names(), QStringList({"Beta", "Gama", "Zeta"}));
    EXPECT_EQ(form->currentCode(), "F1") << "the saved row stays current";
    EXPECT_EQ(grid->currentIndex().row(), 2);
    form->refreshTick();
    EXPECT_EQ(names(), QStringList({"Beta", "Gama", "Zeta"})) << "the next refresh moves nothing";
    EXPECT_EQ(form->currentCode(), "F1");
}
