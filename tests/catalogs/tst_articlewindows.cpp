// The windows of the article catalog on the offscreen platform: the catalog
// window (columns by parameters, layouts in catlook.cfg, the close rules),
// the picker's keys, mouse and result, the search result window, the
// purchase-price chooser, the coefficient and product-type questions; and
// pictures of each for a look by eye (written when MIRAFEL_SHOTS_DIR is set).

#include "articletest.h"

#include "common/accountsymbol.h"
#include "catalogs/articlegridmarks.h"
#include "catalogs/taskcoefdlg.h"
#include "catalogs/tcatlookupform.h"
#include "catalogs/tcautareform.h"
#include "catalogs/tindexpriceform.h"
#include "catalogs/tpricesdlg.h"
#include "catalogs/ttipproddlgfrm.h"
#include "common/inifile.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

using namespace catalogs;
using namespace datastore;
using articletest::ArticleFixture;

namespace {

QString shotsDir()
{
    return qEnvironmentVariable("MIRAFEL_SHOTS_DIR");
}

void saveShot(QWidget* w, const QString& name)
{
    if (shotsDir().isEmpty())
        return;
    QDir().mkpath(shotsDir());
    EXPECT_TRUE(w->grab().save(QDir(shotsDir()).filePath(name))) << name.toStdString();
}

// Runs `action` on the modal window once it is shown (a modal loop is running).
void whenModal(std::function<void(QWidget*)> action)
{
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, action] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        action(modal);
    });
    timer->start();
}

QStringList visibleTitles(const ui::DataGrid* grid)
{
    QStringList titles;
    const QHeaderView* h = grid->horizontalHeader();
    for (int v = 0; v < h->count(); ++v) {
        const int logical = h->logicalIndex(v);
        if (!grid->isColumnHidden(logical))
            titles << grid->model()->headerData(logical, Qt::Horizontal).toString();
    }
    return titles;
}

QList<int> selectedRows(const ui::DataGrid* grid)
{
    QList<int> rows;
    for (const QModelIndex& i : grid->selectionModel()->selectedRows())
        rows << i.row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

QPoint cellCentre(const ui::DataGrid* grid, int row, int column)
{
    return grid->visualRect(grid->model()->index(row, column)).center();
}

// A double click as the mouse makes it: a click, then the double click.
void doubleClick(ui::DataGrid* grid, int row, int column)
{
    const QPoint at = cellCentre(grid, row, column);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, at);
}

QString cellText(const ui::DataGrid* grid, int row, const QString& field)
{
    const auto* model = static_cast<const ui::DatasetModel*>(grid->model());
    return model->data(model->index(row, model->columnOf(field))).toString();
}

} // namespace

// --- the catalog window ---------------------------------------------------------------------

TEST_F(ArticleFixture, CatalogWindowColumnsFollowTheParameters)
{
    seed();
    params.nrZecimaleLei = 3;
    const struct {
        bool getPret, caloric, retetar, calc;
        QStringList titles;
        const char* price; // the text of pix's price; nullptr when hidden
    } cases[] = {
        {false, false, false, false,
         {"Cod mat.", "Denumire", "Descriere", "U.M.", "Cont cheltuieli", "Coef TVA"}, nullptr},
        {true, true, true, false,
         {"Cod mat.", "Denumire", "Descriere", "U.M.", "Pret", "Valabilitate", "Proteine", "Lipide", "Glucide",
          "Calorii", "Cont cheltuieli", "Coef TVA"},
         "2,500"},
        {true, false, false, true,
         {"Cod mat.", "Denumire", "Descriere", "U.M.", "Adaos comercial", "Cont cheltuieli", "Coef TVA"}, "2,50%"},
    };
    for (const auto& c : cases) {
        params.CGetPret = c.getPret;
        params.CCaloric = c.caloric;
        params.CRetetar = c.retetar;
        params.SellPrice = c.calc ? common::SellPriceMode::Calc : common::SellPriceMode::Fetch;
        TCatLookupForm form(context(), ArticleCatalogRole::Catalog);
        ASSERT_TRUE(form.prepare());
        EXPECT_EQ(visibleTitles(form.articleGrid()), c.titles);
        if (c.price) {
            const int row = form.logic().articles.recNo();
            ASSERT_TRUE(form.logic().articles.locate({"Cod"}, {"PIX001"}));
            EXPECT_EQ(cellText(form.articleGrid(), form.logic().articles.recNo(), "Pret_vinzare"), c.price);
            form.logic().articles.moveTo(row);
        }
        form.close();
    }
}

TEST_F(ArticleFixture, CatalogWindowOpens)
{
    seed();
    params.CGetPret = true;
    params.CRetetar = true;
    TCatLookupForm form(context(), ArticleCatalogRole::Catalog);
    ASSERT_TRUE(form.prepare());
    form.resize(1000, 640);
    form.show();
    QApplication::processEvents();
    EXPECT_EQ(form.windowTitle(), "Catalog articole");
    EXPECT_TRUE(dialogs.messages.isEmpty());
    for (QPushButton* b : {form.okButton(), form.cancelButton(), form.editButton()})
        EXPECT_FALSE(b->isVisible()) << b->text().toStdString();
    EXPECT_EQ(form.orderCombo()->currentText(), "dupa Denumire");
    EXPECT_EQ(form.searchEdit()->maxLength(), 30);
    EXPECT_EQ(visibleTitles(form.classGrid()), (QStringList{"Cod clasa", "Denumire"}));
    EXPECT_EQ(visibleTitles(form.groupGrid()), (QStringList{"Cod grupa", "Denumire"}));
    EXPECT_EQ(cellText(form.articleGrid(), 0, "Denumire"), "Caiet dictando");
    const QAbstractItemModel* model = form.articleGrid()->model();
    EXPECT_TRUE(model->flags(model->index(0, 1)) & Qt::ItemIsEditable) << "the article list is edited directly";
    EXPECT_FALSE(form.groupGrid()->model()->flags(form.groupGrid()->model()->index(0, 1)) & Qt::ItemIsEditable);
    EXPECT_EQ(form.articleGrid()->selectionBehavior(), QAbstractItemView::SelectItems) << "no row selection";
    // The window's own menu exists but is not offered.
    EXPECT_EQ(form.documentMenu()->title(), "&Document");
    EXPECT_FALSE(form.documentMenu()->menuAction()->isVisible());
    EXPECT_EQ(form.indexPricesAction()->text(), "Indexeaza &preturile");
    EXPECT_FALSE(form.indexPricesAction()->isVisible());
    // Typing a new article: the cursor goes to the code.
    form.articleGrid()->setFocus();
    form.articleGrid()->insertRow();
    EXPECT_EQ(form.articleGrid()->currentField(), "Cod");
    form.articleGrid()->cancelRow();
    saveShot(&form, "catalog_articole.png");
    EXPECT_TRUE(form.close());
}

TEST_F(ArticleFixture, LayoutsAreKeptInCatlookCfg)
{
    seed();
    const QString cfg = QDir(dir.path()).filePath("catlook.cfg");
    {
        TCatLookupForm form(context(), ArticleCatalogRole::Catalog);
        ASSERT_TRUE(form.prepare());
        form.articleGrid()->setColumnWidth(1, 333); // Denumire
        form.groupGrid()->setColumnWidth(0, 111);
        EXPECT_TRUE(form.close());
    }
    ASSERT_TRUE(QFile::exists(cfg));
    const common::IniFile ini(cfg);
    EXPECT_TRUE(ini.readString("Articole", "Columns").startsWith("Cod;Denumire;"));
    EXPECT_TRUE(ini.readString("Articole", "Hidden").contains("Pret_vinzare")) << "hidden by CGetPret";

    // Read back by both roles; a column the parameters now show is shown.
    params.CGetPret = true;
    for (auto role : {ArticleCatalogRole::Catalog, ArticleCatalogRole::Picker}) {
        TCatLookupForm form(context(), role);
        ASSERT_TRUE(form.prepare());
        EXPECT_EQ(form.articleGrid()->columnWidth(1), 333);
        EXPECT_EQ(form.groupGrid()->columnWidth(0), 111);
        EXPECT_TRUE(visibleTitles(form.articleGrid()).contains("Pret"));
        EXPECT_TRUE(form.closeQuery());
    }
}

TEST_F(ArticleFixture, CatalogWindowStaysOpenWhileARowIsRefused)
{
    seed();
    TCatLookupForm form(context(), ArticleCatalogRole::Catalog);
    ASSERT_TRUE(form.prepare());
    form.show();
    Dataset& articles = form.logic().articles;
    articles.append();
    articles.setValue("Denumire", "Radiera");
    EXPECT_FALSE(form.close());
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(dialogs.last().text, "Introduceti atît codul si denumirea!");
    EXPECT_EQ(articles.value("Denumire").toString(), "Radiera");
    articles.setValue("Cod", "RAD001");
    EXPECT_TRUE(form.close());
    EXPECT_FALSE(articles.isOpen()) << "the tables are closed with the window";
    EXPECT_EQ(db.scalar("SELECT Denumire FROM Catalog WHERE Cod = 'RAD001'").toString(), "Radiera");
}

TEST_F(ArticleFixture, CellBeingTypedIsPostedOnClose)
{
    seed();
    TCatLookupForm form(context(), ArticleCatalogRole::Catalog);
    ASSERT_TRUE(form.prepare());
    form.show();
    ui::DataGrid* grid = form.articleGrid();
    const QModelIndex cell = grid->model()->index(0, 2); // Descriere of Caiet
    grid->setCurrentIndex(cell);
    grid->edit(cell);
    auto* editor = qobject_cast<QLineEdit*>(grid->indexWidget(cell));
    ASSERT_TRUE(editor);
    editor->setText("A5");
    form.refreshTick(); // a cell being typed in is editing: no refresh
    EXPECT_EQ(editor->text(), "A5");
    EXPECT_TRUE(form.close());
    EXPECT_EQ(db.scalar("SELECT Descriere FROM Catalog WHERE Cod = 'CAI001'").toString(), "A5");
}

TEST_F(ArticleFixture, EmptyCatalogOpensForEditing)
{
    TCatLookupForm form(context(), ArticleCatalogRole::Picker);
    ASSERT_TRUE(form.prepare());
    EXPECT_EQ(dialogs.texts(), QStringList{QString::fromUtf8(catalogs::kNoGroupsMessage)});
    EXPECT_FALSE(form.okButton()->isEnabled());
    EXPECT_TRUE(form.editButton()->isChecked());

    db.dropTable("Materiale.db");
    dialogs.clear();
    TCatLookupForm broken(context(), ArticleCatalogRole::Catalog);
    EXPECT_FALSE(broken.prepare());
    EXPECT_TRUE(dialogs.last().text.startsWith("Eroare de acces la catalogul de articole!\r"));
}

// --- the picker ------------------------------------------------------------------------------

TEST_F(ArticleFixture, PickerKeysAndMouse)
{
    seed();
    TCatLookupForm form(context(), ArticleCatalogRole::Picker);
    ASSERT_TRUE(form.prepare("G1", "CAI001"));
    form.resize(1000, 640);
    form.show();
    QApplication::processEvents();
    ui::DataGrid* articles = form.articleGrid();
    EXPECT_TRUE(form.okButton()->isVisible());
    EXPECT_TRUE(form.okButton()->isEnabled());
    EXPECT_FALSE(form.editButton()->isChecked());
    EXPECT_EQ(articles->selectionBehavior(), QAbstractItemView::SelectRows);

    // Space marks and moves; the marks are what the list shows selected.
    QTest::keyClick(articles, Qt::Key_Space);
    QTest::keyClick(articles, Qt::Key_Space);
    EXPECT_EQ(form.logic().articles.recNo(), 2);
    EXPECT_EQ(selectedRows(articles), (QList<int>{0, 1}));
    QTest::keyClick(articles, Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(selectedRows(articles), (QList<int>{0, 1, 2}));
    // Ctrl+click inverts the clicked row.
    QTest::mouseClick(articles->viewport(), Qt::LeftButton, Qt::ControlModifier, cellCentre(articles, 0, 1));
    EXPECT_EQ(selectedRows(articles), (QList<int>{1, 2}));
    EXPECT_EQ(form.logic().articles.recNo(), 0);
    // A plain click moves without touching the marks.
    QTest::mouseClick(articles->viewport(), Qt::LeftButton, {}, cellCentre(articles, 4, 1));
    EXPECT_EQ(form.logic().articles.recNo(), 4);
    EXPECT_EQ(selectedRows(articles), (QList<int>{1, 2}));

    // Space in the group list inverts the whole group.
    QTest::keyClick(form.groupGrid(), Qt::Key_Space);
    EXPECT_EQ(selectedRows(articles), (QList<int>{0, 3, 4}));
    EXPECT_EQ(form.logic().articles.recNo(), 0);
    doubleClick(form.groupGrid(), 0, 1);
    EXPECT_EQ(selectedRows(articles), (QList<int>{1, 2}));

    // Hints when a list gets the focus.
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    form.okButton()->setFocus();
    statusLine.clear();
    form.groupGrid()->setFocus();
    articles->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(statusLine, (QStringList{kGroupsHint, kArticlesHint})) << statusLine.join(" | ").toStdString();

    // Editing: marks off, cells editable, OK disabled.
    QTest::mouseClick(form.editButton(), Qt::LeftButton);
    EXPECT_TRUE(form.editButton()->isChecked());
    EXPECT_FALSE(form.okButton()->isEnabled());
    EXPECT_TRUE(selectedRows(articles).isEmpty());
    EXPECT_EQ(articles->selectionBehavior(), QAbstractItemView::SelectItems);
    EXPECT_FALSE(form.logic().multiSelect());
    QTest::mouseClick(form.editButton(), Qt::LeftButton);
    EXPECT_FALSE(form.editButton()->isChecked());
    EXPECT_TRUE(form.okButton()->isEnabled());

    // A double click on an article is OK.
    int oks = 0;
    QObject::connect(&form, &TCatLookupForm::okClicked, [&] { ++oks; });
    doubleClick(articles, 3, 1);
    EXPECT_EQ(oks, 1);
    EXPECT_EQ(form.pickResult().current.value("Cod").toString(), "PAP001");
}

// The marks watch the list and its viewport; a list being destroyed (the
// window closing) still delivers its last events to the filter, which then
// must ask neither the list nor the window's actions anything: the window's
// logic is already gone by then.
TEST_F(ArticleFixture, MarksLeaveAListBeingDestroyedAlone)
{
    seed();
    Dataset articles(db, "Catalog.DB");
    articles.open();
    ui::DatasetModel model(articles, formats, dialogs);
    auto* window = new QWidget;
    auto* grid = new ui::DataGrid(&model, window);
    int asked = 0;
    bool closing = false;
    ArticleGridMarks::Actions actions;
    actions.active = [&] {
        if (closing)
            ++asked;
        return true;
    };
    actions.isMarked = [](int) { return false; };
    actions.markNext = [] {};
    actions.markPrior = [] {};
    actions.toggleCurrent = [] {};
    new ArticleGridMarks(grid, actions);
    window->resize(600, 300);
    window->show();
    QApplication::processEvents();
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::ControlModifier, cellCentre(grid, 0, 1));
    QTest::keyClick(grid, Qt::Key_Space);

    closing = true;
    delete window;
    EXPECT_EQ(asked, 0);
}

TEST_F(ArticleFixture, SearchBoxAndOrderCombo)
{
    seed();
    TCatLookupForm form(context(), ArticleCatalogRole::Picker);
    ASSERT_TRUE(form.prepare("G1", "PIX001"));
    form.show();
    QTest::keyClicks(form.searchEdit(), "pa");
    EXPECT_EQ(form.logic().articles.value("Cod").toString(), "PAH001");
    QTest::keyClicks(form.searchEdit(), "p");
    EXPECT_EQ(form.logic().articles.value("Cod").toString(), "PAP001");
    form.searchEdit()->clear();
    EXPECT_EQ(form.logic().articles.value("Cod").toString(), "PAP001");

    form.orderCombo()->setCurrentIndex(0);
    EXPECT_EQ(form.logic().order(), ArticleOrder::ByCode);
    EXPECT_EQ(cellText(form.articleGrid(), 2, "Cod"), "PAH001");
    EXPECT_EQ(form.logic().articles.value("Cod").toString(), "PAP001");
    QTest::keyClicks(form.searchEdit(), "hi");
    EXPECT_EQ(form.logic().articles.value("Cod").toString(), "HIR001");
}

TEST_F(ArticleFixture, PickArticlesReturnsTheMarkedArticles)
{
    seed();
    std::optional<ArticlePick> pick;
    whenModal([&](QWidget* modal) {
        auto* form = modal->findChild<TCatLookupForm*>();
        ASSERT_TRUE(form);
        EXPECT_EQ(modal->windowTitle(), "Catalog articole");
        EXPECT_EQ(form->logic().articles.value("Cod").toString(), "HIR001");
        QTest::keyClick(form->articleGrid(), Qt::Key_Space); // hirtie
        QTest::keyClick(form->articleGrid(), Qt::Key_Space); // pahar
        form->articleGrid()->setFocus();
        saveShot(modal, "picker_marks.png");
        QTest::mouseClick(form->okButton(), Qt::LeftButton);
    });
    pick = PickArticles(nullptr, context(), "G1", "HIR001");
    ASSERT_TRUE(pick);
    EXPECT_EQ(pick->selected.size(), 2);
    EXPECT_EQ(pick->selected[0].value("Cod").toString(), "HIR001");
    EXPECT_EQ(pick->selected[1].value("Cod").toString(), "PAH001");
    EXPECT_EQ(pick->selected[1].value("Unitate_masura").toString(), "buc");
    EXPECT_EQ(pick->current.value("Cod").toString(), "PAP001");
    EXPECT_EQ(pick->articles().size(), 2);

    // "&Renunta" returns nothing.
    whenModal([](QWidget* modal) {
        QTest::mouseClick(modal->findChild<TCatLookupForm*>()->cancelButton(), Qt::LeftButton);
    });
    EXPECT_FALSE(PickArticles(nullptr, context(), "G2", "LAP001"));

    // A single article: the current one.
    whenModal([](QWidget* modal) {
        auto* form = modal->findChild<TCatLookupForm*>();
        doubleClick(form->articleGrid(), 1, 1);
    });
    pick = PickArticles(nullptr, context(), "G2", "LAP001");
    ASSERT_TRUE(pick);
    EXPECT_TRUE(pick->selected.isEmpty());
    EXPECT_EQ(pick->current.value("Cod").toString(), "PAI001");
    EXPECT_EQ(pick->current.value("Grupa").toString(), "G2");
    EXPECT_EQ(pick->articles().size(), 1);
}

// --- search, prices, questions -----------------------------------------------------------------

TEST_F(ArticleFixture, SearchArticlesByNameWindow)
{
    seed();
    dialogs.queueInput(QString("pa"));
    whenModal([&](QWidget* modal) {
        auto* form = qobject_cast<TCautareForm*>(modal);
        ASSERT_TRUE(form);
        EXPECT_EQ(form->windowTitle(), "Cautare articole");
        EXPECT_EQ(form->grid()->model()->rowCount(), 3);
        QTest::keyClick(form->grid(), Qt::Key_Space);
        QTest::keyClick(form->grid(), Qt::Key_Space);
        EXPECT_EQ(selectedRows(form->grid()), (QList<int>{0, 1}));
        saveShot(form, "cautare_articole.png");
        QTest::mouseClick(form->okButton(), Qt::LeftButton);
    });
    auto pick = SearchArticlesByName(nullptr, db, dialogs, formats);
    ASSERT_TRUE(pick);
    ASSERT_EQ(pick->selected.size(), 2);
    EXPECT_EQ(pick->selected[0].value("Cod").toString(), "PAH001");
    EXPECT_EQ(pick->selected[1].value("Cod").toString(), "PAP001");
    EXPECT_EQ(pick->current.value("Cod").toString(), "PAI001");

    // Nothing found: the window shows an empty list and nothing comes back.
    dialogs.queueInput(QString("nimic"));
    whenModal([](QWidget* modal) { QTest::mouseClick(qobject_cast<TCautareForm*>(modal)->okButton(), Qt::LeftButton); });
    EXPECT_FALSE(SearchArticlesByName(nullptr, db, dialogs, formats));
    // The question cancelled: no window.
    dialogs.queueInput(std::nullopt);
    EXPECT_FALSE(SearchArticlesByName(nullptr, db, dialogs, formats));
}

TEST_F(ArticleFixture, PickPurchasePriceWindow)
{
    seed();
    EXPECT_FALSE(PickPurchasePrice(nullptr, db, dialogs, formats, params, "01", "G1", "PIX001"));
    EXPECT_EQ(dialogs.texts(), QStringList{"Nu exista stoc pentru acest articol!"}) << "and no window";

    db.exec("INSERT INTO Stoc (Cod_gestiune, Cod_grupa, Cod_articol, Pret_achizitie, Lot, Agent, Cantitate) VALUES "
            "('01', 'G1', 'PIX001', 1.5, NULL, 'B1', 10), ('01', 'G1', 'PIX001', 1.7512, 'L7', 'B1', 2.5)");
    params.nrZecimaleLei = 4;
    whenModal([&](QWidget* modal) {
        auto* dlg = qobject_cast<TPricesDlg*>(modal);
        ASSERT_TRUE(dlg);
        EXPECT_EQ(dlg->windowTitle(), "Selectati un pret de achizitie");
        EXPECT_EQ(visibleTitles(dlg->grid()),
                  (QStringList{"Cod articol", "Denumire", "Pret achizitie", "Cantitate", "U.M.", "Lot"}));
        EXPECT_EQ(cellText(dlg->grid(), 0, "Pret_achizitie"), "1,50");
        EXPECT_EQ(cellText(dlg->grid(), 1, "Pret_achizitie"), "1,7512");
        EXPECT_EQ(dlg->cancelButton()->text(), "Renunta");
        QTest::mouseClick(dlg->grid()->viewport(), Qt::LeftButton, {}, cellCentre(dlg->grid(), 1, 1));
        saveShot(dlg, "pret_achizitie.png");
        QTest::mouseClick(dlg->okButton(), Qt::LeftButton);
    });
    EXPECT_EQ(PickPurchasePrice(nullptr, db, dialogs, formats, params, "01", "G1", "PIX001"), 1.7512);

    whenModal([](QWidget* modal) {
        auto* dlg = qobject_cast<TPricesDlg*>(modal);
        doubleClick(dlg->grid(), 0, 1);
    });
    EXPECT_EQ(PickPurchasePrice(nullptr, db, dialogs, formats, params, "01", "G1", "PIX001"), 1.5);

    whenModal([](QWidget* modal) { qobject_cast<TPricesDlg*>(modal)->reject(); });
    EXPECT_FALSE(PickPurchasePrice(nullptr, db, dialogs, formats, params, "01", "G1", "PIX001"));
}

TEST_F(ArticleFixture, CoefficientQuestion)
{
    const struct {
        const char* text;
        std::optional<double> percent;
    } cases[] = {
        {"10", 10.0}, {"10,5", 10.5}, {"-100,00%", -100.0}, {" 2.5 % ", 2.5}, {"1.000,5", 1000.5},
        {"", {}},     {"abc", {}},    {"%", {}},            {"10%%", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(parsePercent(c.text, formats), c.percent) << c.text;

    const QString prompt = "Specificati coeficientul (în procente) cu care doriti sa modificati preturile de vînzare "
                           "în grupa \"Papetarie\" :";
    TAskCoefDlg dlg(prompt, formats, dialogs);
    EXPECT_EQ(dlg.windowTitle(), "Indexare de preturi");
    EXPECT_EQ(dlg.valueEdit()->text(), "0,00%");
    EXPECT_EQ(dlg.cancelButton()->text(), "&Renunta");
    dlg.show();
    dlg.valueEdit()->setText("12,50%");
    saveShot(&dlg, "indexare_preturi.png");
    dlg.valueEdit()->setText("doi");
    dlg.accept();
    EXPECT_EQ(dialogs.texts(), QStringList{"'doi' nu este un numar valid"});
    EXPECT_TRUE(dlg.isVisible()) << "stays open with the text";
    EXPECT_EQ(dlg.valueEdit()->text(), "doi");
    dlg.valueEdit()->setText("-7,5%");
    dlg.accept();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.percent(), -7.5);

    TIndexPriceForm working;
    working.start();
    EXPECT_TRUE(working.isVisible());
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    saveShot(&working, "indexez_preturile.png");
    working.stop();
    EXPECT_FALSE(working.isVisible());
    EXPECT_FALSE(QApplication::overrideCursor());
}

TEST_F(ArticleFixture, ProductTypeQuestion)
{
    TTipProdDlgFrm dlg;
    EXPECT_EQ(dlg.windowTitle(), "Selectie");
    EXPECT_EQ(dlg.productType(), ProductType::RawMaterial) << "the first item is preselected";
    EXPECT_EQ(dlg.okButton()->toolTip(), "Sunt de acord");
    QStringList items;
    for (auto* radio : dlg.findChildren<QRadioButton*>())
        items << radio->text();
    EXPECT_EQ(items, (QStringList{"Materie prima", "Semifabricat", "Produs finit"}));
    dlg.show();
    saveShot(&dlg, "tip_produs.png");
    dlg.findChildren<QRadioButton*>()[1]->click();
    EXPECT_EQ(dlg.productType(), ProductType::SemiFinished);

    // Asked from the catalog while a name is typed (codes generated, recipes on).
    seed();
    params.CGenCod = true;
    params.CRetetar = true;
    TCatLookupForm form(context(), ArticleCatalogRole::Catalog);
    ASSERT_TRUE(form.prepare("G1"));
    whenModal([](QWidget* modal) {
        auto* question = qobject_cast<TTipProdDlgFrm*>(modal);
        ASSERT_TRUE(question);
        question->setProductType(ProductType::RawMaterial);
        QTest::mouseClick(question->okButton(), Qt::LeftButton);
    });
    form.logic().articles.append();
    EXPECT_EQ(form.articleGrid()->currentField(), "Denumire");
    form.logic().articles.setValue("Denumire", "apa plata");
    EXPECT_EQ(form.logic().articles.value("Cod").toString(), ".APA001");
    EXPECT_TRUE(form.closeQuery());
}

TEST_F(ArticleFixture, ARefusedValueStaysInItsCellForCorrection)
{
    seed();
    params.CGenCod = true; // a name shorter than 3 characters cannot make a code
    const struct {
        const char* field;
        const char* refused;
        const char* message;
        const char* corrected;
    } cases[] = {
        {"Cont_cheltuieli", "6028.1.2.3", common::kAccountSymbolMessage, "6028.1.2"},
        {"Denumire", "ab", "Denumirea trebuie sa contina minim 3 caractere!", "abc"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.field);
        dialogs.clear();
        TCatLookupForm form(context(), ArticleCatalogRole::Catalog);
        ASSERT_TRUE(form.prepare());
        form.show();
        ui::DataGrid* grid = form.articleGrid();
        auto* model = static_cast<ui::DatasetModel*>(grid->model());
        grid->setFocus();
        const QModelIndex cell = model->index(0, model->columnOf(c.field));
        grid->setCurrentIndex(cell);
        const QString before = cell.data().toString();
        QTest::keyClick(grid, c.refused[0]); // opens the cell
        QTest::keyClicks(grid->indexWidget(cell), c.refused + 1);
        QTest::keyClick(grid->indexWidget(cell), Qt::Key_Tab);
        QApplication::processEvents();
        EXPECT_EQ(dialogs.texts(), QStringList{QString::fromUtf8(c.message)});
        EXPECT_EQ(grid->currentIndex(), cell) << "the cursor stays on the column";
        auto* editor = qobject_cast<QLineEdit*>(grid->indexWidget(cell));
        ASSERT_NE(editor, nullptr);
        EXPECT_EQ(editor->text(), c.refused) << "the refused value stays for correction";
        EXPECT_EQ(form.logic().articles.value(c.field).toString(), before) << "and is not taken";

        editor->setText(c.corrected);
        QTest::keyClick(editor, Qt::Key_Tab);
        QApplication::processEvents();
        EXPECT_EQ(form.logic().articles.value(c.field).toString(), c.corrected);
        EXPECT_NE(grid->currentIndex().column(), cell.column());
        form.logic().articles.cancel();
        EXPECT_TRUE(form.close());
    }
}
