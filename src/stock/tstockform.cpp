#include "tstockform.h"

#include "catalogs/tcatlookupform.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

namespace stock {

namespace {

const char* const kDetailedLayout = "stocksPret.cfg";
const char* const kCumulatedLayout = "stocksArticole.cfg";
const QString kGridHint = QStringLiteral("Selectati articolul si apasati butonul OK sau Enter");

} // namespace

TStockForm::TStockForm(StockFormContext context, Role role, QWidget* parent)
    : QDialog(parent), m_ctx(std::move(context)), m_role(role),
      m_logic(m_ctx.database, m_ctx.privateDatabase, m_ctx.parameters, m_ctx.formats, m_ctx.dialogs, m_ctx.settings)
{
    setObjectName(QStringLiteral("TStockForm"));
    setWindowTitle(role == Role::Picker ? QStringLiteral("Selectie articol din stoc") : QStringLiteral("Stocuri curente"));
    if (role == Role::Picker)
        setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    m_warehouse = new QComboBox(this);
    m_warehouse->setMinimumWidth(200);
    m_show = new QComboBox(this);
    m_show->addItems({QStringLiteral("Stocuri defalcate pe preturi"), QStringLiteral("Stocuri cumulate pe cod articol")});
    m_sort = new QComboBox(this);
    m_sort->addItems({QStringLiteral("Grupa"), QStringLiteral("Articol"), QStringLiteral("Denumire"), QStringLiteral("Pret")});
    m_search = new QLineEdit(this);
    auto* findPrice = new QPushButton(QStringLiteral("Cauta pret..."), this);
    findPrice->setToolTip(QStringLiteral("Ctrl-Z"));
    auto* repeat = new QPushButton(QStringLiteral("Repeta"), this);
    repeat->setToolTip(QStringLiteral("Alt-Z"));
    auto* labels = new QPushButton(QStringLiteral("Listeaza etichete"), this);
    labels->setVisible(static_cast<bool>(m_ctx.printLabels) && m_ctx.privateDatabase);
    m_edit = new QPushButton(QStringLiteral("&Editeaza"), this);
    m_edit->setCheckable(true);
    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_ok->setDefault(role == Role::Picker);
    auto* cancel = new QPushButton(QStringLiteral("Renunta"), this);
    for (QPushButton* b : {m_edit, m_ok, cancel})
        b->setVisible(role == Role::Picker);
    if (role == Role::Picker) {
        m_show->setEnabled(false);
    }

    auto label = [this](const QString& text, QWidget* buddy) {
        auto* l = new QLabel(text, this);
        l->setBuddy(buddy);
        return l;
    };
    auto* top = new QGridLayout;
    top->addWidget(label(QStringLiteral("&Selecteaza gestiunea:"), m_warehouse), 0, 0);
    top->addWidget(m_warehouse, 0, 1);
    top->addWidget(label(QStringLiteral("&Prezinta:"), m_show), 0, 2);
    top->addWidget(m_show, 0, 3);
    top->addWidget(label(QStringLiteral("&Cauta denumire:"), m_search), 1, 0);
    top->addWidget(m_search, 1, 1);
    top->addWidget(label(QStringLiteral("Sorteaza &dupa:"), m_sort), 1, 2);
    top->addWidget(m_sort, 1, 3);
    top->setColumnStretch(1, 1);
    auto* searchButtons = new QHBoxLayout;
    searchButtons->addWidget(findPrice);
    searchButtons->addWidget(repeat);
    searchButtons->addWidget(labels);
    searchButtons->addStretch(1);
    searchButtons->addWidget(m_edit);

    // New stock rows ("&Editeaza"): article, acquisition price, and the rows added so far.
    m_editPanel = new QWidget(this);
    m_newGroup = new QLineEdit(m_editPanel);
    m_newGroup->setMaxLength(8);
    m_newGroup->setFixedWidth(80);
    m_newGroup->setToolTip(QStringLiteral("Apasati CTRL-ENTER pentru a selecta articolul din catalog!"));
    m_newArticle = new QLineEdit(m_editPanel);
    m_newArticle->setMaxLength(30);
    m_newArticle->setToolTip(m_newGroup->toolTip());
    m_newPrice = new QLineEdit(m_editPanel);
    m_newPrice->setFixedWidth(100);
    m_newName = new QLabel(m_editPanel);
    auto* add = new QPushButton(QStringLiteral("Adauga"), m_editPanel);
    m_pendingList = new QListWidget(m_editPanel);
    m_pendingList->setMaximumHeight(70);
    auto* editGrid = new QGridLayout(m_editPanel);
    editGrid->setContentsMargins(0, 0, 0, 0);
    editGrid->addWidget(new QLabel(QStringLiteral("Grupa:"), m_editPanel), 0, 0);
    editGrid->addWidget(m_newGroup, 0, 1);
    editGrid->addWidget(new QLabel(QStringLiteral("Articol:"), m_editPanel), 0, 2);
    editGrid->addWidget(m_newArticle, 0, 3);
    editGrid->addWidget(new QLabel(QStringLiteral("Pret:"), m_editPanel), 0, 4);
    editGrid->addWidget(m_newPrice, 0, 5);
    editGrid->addWidget(add, 0, 6);
    editGrid->addWidget(m_newName, 1, 1, 1, 6);
    editGrid->addWidget(m_pendingList, 2, 0, 1, 7);
    editGrid->setColumnStretch(3, 1);
    m_editPanel->hide();
    m_newGroup->installEventFilter(this);
    m_newArticle->installEventFilter(this);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    buttons->addWidget(cancel);

    m_gridBox = new QVBoxLayout;
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(searchButtons);
    layout->addLayout(m_gridBox, 1);
    layout->addWidget(m_editPanel);
    layout->addLayout(buttons);

    connect(m_warehouse, &QComboBox::activated, this, [this](int index) {
        if (index >= 0 && index < m_logic.warehouseCodes().size()) {
            m_logic.setWarehouse(m_logic.warehouseCodes().at(index));
            rebuildGrid();
        }
    });
    connect(m_show, &QComboBox::activated, this, [this](int index) {
        saveCurrentLayout();
        m_logic.setList(index == 1 ? TStockFormLogic::List::Cumulated : TStockFormLogic::List::Detailed);
        rebuildGrid();
    });
    connect(m_sort, &QComboBox::activated, this, [this](int index) {
        m_logic.setOrder(index);
        rebuildGrid();
    });
    connect(m_search, &QLineEdit::textChanged, this, [this](const QString& text) { m_logic.incrementalSearch(text); });
    connect(findPrice, &QPushButton::clicked, this, [this] {
        m_logic.searchPrice();
        m_grid->setFocus();
    });
    connect(repeat, &QPushButton::clicked, this, [this] {
        m_logic.repeatSearch();
        m_grid->setFocus();
    });
    auto* ctrlZ = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z), this);
    connect(ctrlZ, &QShortcut::activated, findPrice, &QPushButton::click);
    auto* altZ = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Z), this);
    connect(altZ, &QShortcut::activated, repeat, &QPushButton::click);
    connect(labels, &QPushButton::clicked, this, [this] {
        if (m_logic.prepareLabels() && m_ctx.printLabels)
            m_ctx.printLabels();
    });
    connect(m_edit, &QPushButton::toggled, this, [this](bool on) { toggleEditing(on); });
    connect(add, &QPushButton::clicked, this, [this] { addPendingRow(); });
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    resize(820, 520);
}

TStockForm::~TStockForm() = default;

std::unique_ptr<TStockForm> TStockForm::createChild(StockFormContext context)
{
    const QString warehouse = context.lastWarehouse ? *context.lastWarehouse : QString();
    auto form = std::make_unique<TStockForm>(std::move(context), Role::Browser);
    if (!form->prepare(warehouse))
        return nullptr;
    return form;
}

QString TStockForm::layoutFile() const
{
    return m_ctx.privateDir
        + QLatin1String(m_logic.listKind() == TStockFormLogic::List::Detailed ? kDetailedLayout : kCumulatedLayout);
}

bool TStockForm::prepare(const QString& warehouse)
{
    if (!m_logic.open(warehouse))
        return false;
    {
        const QSignalBlocker b1(m_warehouse), b2(m_sort);
        m_warehouse->addItems(m_logic.warehouseNames());
        m_warehouse->setCurrentIndex(static_cast<int>(m_logic.warehouseCodes().indexOf(m_logic.warehouse())));
        m_sort->setCurrentIndex(m_logic.order());
    }
    rebuildGrid();
    return true;
}

QList<ui::GridColumn> TStockForm::columns() const
{
    using ui::GridColumn;
    const common::Parameters& p = m_ctx.parameters;
    const QString price = QStringLiteral("#,##0.") + QString(qMax(p.nrZecimaleLei, 0), u'0');
    const QString hint = m_role == Role::Picker ? kGridHint : QString();
    QList<GridColumn> c;
    c << GridColumn(QStringLiteral("Cod_grupa"), QStringLiteral("Grupa"), 60).withHint(hint);
    c << GridColumn(QStringLiteral("Cod_Articol"), QStringLiteral("Articol"), 90).withHint(hint);
    c << GridColumn(QStringLiteral("Denumire"), QStringLiteral("Denumire"), 240).withHint(hint);
    const bool calc = p.SellPrice == common::SellPriceMode::Calc;
    if (m_logic.listKind() == TStockFormLogic::List::Detailed) {
        c << GridColumn(QStringLiteral("Pret_Achizitie"), QStringLiteral("Pret"), 90).withMask(price).withHint(hint);
        c << GridColumn(QStringLiteral("Cantitate"), QStringLiteral("Cantitate"), 90)
                 .withMask(QStringLiteral("#,##0.000"))
                 .withHint(hint);
        c << GridColumn(QStringLiteral("Unitate_masura"), QStringLiteral("U.M."), 40).withHint(hint);
        GridColumn lot(QStringLiteral("Lot"), QStringLiteral("Lot"), 60);
        GridColumn budget(QStringLiteral("Buget"), QStringLiteral("Buget"), 120);
        if (!p.CLot) {
            lot.asHidden();
            budget.asHidden();
        }
        c << lot.withHint(hint) << budget.withHint(hint);
        GridColumn sell(QStringLiteral("Pret_Vinzare"), calc ? QStringLiteral("Adaos comercial") : QStringLiteral("Pret vînzare"), 90);
        c << sell.withMask(calc ? QStringLiteral("0.00%") : price).asHidden().withHint(hint);
        c << GridColumn(QStringLiteral("Moneda"), QStringLiteral("Moneda"), 50).asHidden().withHint(hint);
    } else {
        c << GridColumn(QStringLiteral("Total_Cantitate"), QStringLiteral("Total Cantitate"), 100)
                 .withMask(QStringLiteral("#,##0.000"))
                 .withHint(hint);
        c << GridColumn(QStringLiteral("Unitate_masura"), QStringLiteral("U.M."), 40).withHint(hint);
    }
    c << GridColumn(QStringLiteral("Valoare_vinzare"), QStringLiteral("Valoare vînzare"), 100)
             .withMask(QStringLiteral("#,##0.00"))
             .asHidden()
             .withHint(hint);
    if (m_logic.listKind() == TStockFormLogic::List::Detailed)
        c << GridColumn(QStringLiteral("Cod_bare"), QStringLiteral("Cod de bare"), 100).asHidden().withHint(hint);
    for (GridColumn& col : c)
        col.asReadOnly();
    return c;
}

void TStockForm::rebuildGrid()
{
    datastore::Dataset* list = m_logic.list();
    if (!list)
        return;
    auto model = std::make_unique<ui::DatasetModel>(*list, m_ctx.formats, m_ctx.dialogs);
    model->setColumns(columns());
    if (m_grid) {
        m_gridBox->removeWidget(m_grid);
        delete m_grid;
    }
    m_grid = new ui::DataGrid(model.get(), this);
    m_grid->setObjectName(QStringLiteral("stock"));
    m_model = std::move(model);
    m_gridBox->addWidget(m_grid);
    m_grid->show();
    m_grid->restoreLayout(layoutFile(), QStringLiteral("Stoc"));
    connect(m_grid, &ui::DataGrid::hintChanged, this, [this](const QString& hint) {
        if (m_ctx.showProgress)
            m_ctx.showProgress(hint);
    });
    connect(m_grid, &QAbstractItemView::doubleClicked, this, [this] {
        if (m_role == Role::Picker && !m_edit->isChecked())
            accept();
    });
}

void TStockForm::refreshTick()
{
    if (m_role == Role::Browser && m_logic.list()) {
        try {
            m_logic.list()->refresh();
        } catch (...) {
            // the next tick tries again; the rows shown stay as they were
        }
    }
}

void TStockForm::saveCurrentLayout()
{
    if (m_grid)
        m_grid->saveLayout(layoutFile(), QStringLiteral("Stoc"));
}

void TStockForm::toggleEditing(bool on)
{
    m_ok->setEnabled(!on);
    m_editPanel->setVisible(on);
    if (on) {
        m_pending.clear();
        m_pendingList->clear();
        m_newGroup->clear();
        m_newArticle->clear();
        m_newPrice->clear();
        m_newName->clear();
        m_newGroup->setFocus();
        return;
    }
    // The row being typed is kept when it is complete; then all of them are written.
    if (!m_newArticle->text().trimmed().isEmpty())
        addPendingRow();
    if (!m_logic.addStockRows(m_pending)) {
        const QSignalBlocker block(m_edit);
        m_edit->setChecked(true);
        m_ok->setEnabled(false);
        m_editPanel->show();
        return;
    }
    m_pending.clear();
    m_pendingList->clear();
    rebuildGrid();
}

void TStockForm::pickPendingArticle()
{
    const catalogs::ArticleCatalogContext context{m_ctx.database, m_ctx.dialogs, m_ctx.parameters, m_ctx.formats,
                                                  m_ctx.privateDir, m_ctx.showProgress};
    const std::optional<catalogs::ArticlePick> pick =
        catalogs::PickArticles(this, context, m_newGroup->text(), m_newArticle->text());
    if (!pick || pick->articles().isEmpty())
        return;
    const QVariantHash a = pick->articles().first();
    m_newGroup->setText(a.value(QStringLiteral("Grupa")).toString());
    m_newArticle->setText(a.value(QStringLiteral("Cod")).toString());
    m_newName->setText(a.value(QStringLiteral("Denumire")).toString());
    m_newPrice->setFocus();
}

void TStockForm::addPendingRow()
{
    std::optional<TStockFormLogic::NewRow> row =
        m_logic.newRowFor(m_newGroup->text().trimmed(), m_newArticle->text().trimmed());
    if (!row) {
        m_newArticle->setFocus();
        return;
    }
    if (const std::optional<double> price = common::parseFloat(m_newPrice->text().trimmed(), m_ctx.formats))
        row->price = *price;
    m_pending << *row;
    m_pendingList->addItem(QStringLiteral("%1.%2  %3  %4").arg(row->group, row->article, row->name,
                                                             row->price.isNull() ? QStringLiteral("(fara pret)")
                                                                                 : m_newPrice->text().trimmed()));
    m_newGroup->clear();
    m_newArticle->clear();
    m_newPrice->clear();
    m_newName->clear();
    m_newGroup->setFocus();
}

bool TStockForm::eventFilter(QObject* watched, QEvent* event)
{
    if ((watched == m_newGroup || watched == m_newArticle) && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && (key->modifiers() & Qt::ControlModifier)) {
            pickPendingArticle();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TStockForm::done(int result)
{
    if (m_edit->isChecked()) {
        if (result == QDialog::Accepted)
            return;
        const QSignalBlocker block(m_edit);
        m_edit->setChecked(false);
        m_editPanel->hide();
        m_ok->setEnabled(true);
    }
    saveCurrentLayout();
    m_logic.close();
    m_closed = true;
    QDialog::done(result);
}

void TStockForm::closeEvent(QCloseEvent* event)
{
    if (!m_closed) {
        saveCurrentLayout();
        m_logic.close();
    }
    event->accept();
}

bool PickStockLine(QWidget* owner, const StockFormContext& context, StockLinePick& pick)
{
    TStockForm form(context, TStockForm::Role::Picker, owner);
    if (!form.prepare(pick.warehouse))
        return false;
    if (context.lastWarehouse)
        *context.lastWarehouse = form.logic().warehouse();
    form.logic().position(pick.group, pick.article, pick.price);
    if (form.exec() != QDialog::Accepted)
        return false;
    const std::optional<StockLinePick> chosen = form.logic().currentPick();
    if (!chosen)
        return false;
    pick = *chosen;
    return true;
}

} // namespace stock
