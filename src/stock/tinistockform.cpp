#include "tinistockform.h"

#include "documentchrome.h"

#include "catalogs/tcatlookupform.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QToolButton>
#include <QVBoxLayout>

namespace stock {

namespace {

const char* const kLineLayout = "IniStock";

} // namespace

TIniStockForm::TIniStockForm(IniStockContext context, QWidget* parent)
    : QWidget(parent), m_ctx(std::move(context)),
      m_logic(m_ctx.database, m_ctx.parameters, m_ctx.formats, m_ctx.dialogs, *this)
{
    setObjectName(QStringLiteral("TIniStockForm"));
    setWindowTitle(QStringLiteral("Stocuri initiale"));

    // Above the grid: the warehouse and the date of the initial stock.
    auto* top = new QWidget(this);
    auto* row = new QHBoxLayout(top);
    row->setContentsMargins(0, 0, 0, 0);
    m_warehouse = new QComboBox(top);
    m_warehouse->setObjectName(QStringLiteral("warehouse"));
    m_warehouse->setMinimumWidth(220);
    auto* warehouseLabel = new QLabel(QStringLiteral("&Gestiunea:"), top);
    warehouseLabel->setBuddy(m_warehouse);
    m_date = makeDateEdit(m_logic.header, QStringLiteral("Data"), m_ctx.dialogs, m_ctx.formats, top);
    m_date->setToolTip(QStringLiteral("Data stocurilor initiale"));
    auto* dateLabel = new QLabel(QStringLiteral("&Data:"), top);
    dateLabel->setBuddy(m_date);
    QToolButton* calendar = makeCalendarButton(m_date, m_logic.header, m_ctx.dialogs, top);
    row->addWidget(warehouseLabel);
    row->addWidget(m_warehouse);
    row->addSpacing(16);
    row->addWidget(dateLabel);
    row->addWidget(m_date);
    row->addWidget(calendar);
    row->addStretch(1);

    m_model = std::make_unique<ui::DatasetModel>(m_logic.items, m_ctx.formats, m_ctx.dialogs);
    m_model->setColumns(lineColumns());
    m_grid = new ui::DataGrid(m_model.get(), this);
    m_grid->setObjectName(QStringLiteral("lines"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(top);
    layout->addWidget(m_grid, 1);

    connect(m_warehouse, &QComboBox::activated, this, [this](int index) {
        const QList<TIniStockFormLogic::Warehouse>& list = m_logic.warehouses();
        if (index < 0 || index >= list.size() || !commitEdits() || !m_logic.selectWarehouse(list.at(index).code))
            showWarehouse();
    });
    connect(m_grid, &ui::DataGrid::pickerRequested, this, [this](const QString& field) { m_logic.pickInColumn(field); });
    // The hints name the article of the line.
    connect(m_grid, &ui::DataGrid::hintChanged, this,
            [this] { showProgress(m_logic.columnHint(m_grid->currentField())); });

    m_linePopup = new QMenu(this);
    m_linePopup->addAction(QStringLiteral("Insereaza"), this, [this] {
        if (commitEdits())
            m_logic.insertLine();
    });
    m_linePopup->addAction(QStringLiteral("Sterge"), this, [this] { m_grid->deleteRow(); });
    m_linePopup->addAction(QStringLiteral("Anuleaza"), this, [this] { m_grid->cancelRow(); });
    m_grid->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_grid, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { m_linePopup->popup(m_grid->viewport()->mapToGlobal(at)); });

    resize(1000, 480);
}

TIniStockForm::~TIniStockForm() = default;

std::unique_ptr<TIniStockForm> TIniStockForm::createChild(IniStockContext context)
{
    auto form = std::make_unique<TIniStockForm>(std::move(context));
    if (!form->prepare())
        return nullptr;
    return form;
}

QString TIniStockForm::layoutFile() const
{
    return m_ctx.privateDir + QStringLiteral("iniStock.cfg");
}

bool TIniStockForm::prepare()
{
    if (!m_logic.open())
        return false;
    m_warehouse->clear();
    for (const TIniStockFormLogic::Warehouse& w : m_logic.warehouses())
        m_warehouse->addItem(w.name.isEmpty() ? w.code : w.name, w.code);
    showWarehouse();
    m_date->showValue();
    m_grid->restoreLayout(layoutFile(), QString::fromLatin1(kLineLayout));
    m_layoutRestored = true;
    // The lot follows the parameter whatever the saved layout says.
    if (const int lot = m_model->columnOf(QStringLiteral("Lot")); lot >= 0)
        m_grid->setColumnHidden(lot, !m_ctx.parameters.CLot);
    return true;
}

void TIniStockForm::showWarehouse()
{
    const int index = m_warehouse->findData(m_logic.warehouse());
    m_warehouse->setCurrentIndex(index);
}

QList<ui::GridColumn> TIniStockForm::lineColumns() const
{
    using ui::GridColumn;
    const common::Parameters& p = m_ctx.parameters;
    const TIniStockFormLogic& logic = m_logic;
    const QString articleHint = logic.columnHint(QStringLiteral("Cod_articol"));
    QList<GridColumn> c;
    c << GridColumn(QStringLiteral("Contor_secundar"), QStringLiteral("Nr."), 40).asHidden();
    c << GridColumn(QStringLiteral("Cod_gestiune"), QStringLiteral("Gestiune"), 50).asHidden();
    c << GridColumn(QStringLiteral("Cod_grupa"), QStringLiteral("Grupa"), 60).withPicker().withHint(articleHint);
    c << GridColumn(QStringLiteral("Cod_articol"), QStringLiteral("Cod articol"), 90).withPicker().withHint(articleHint);
    c << GridColumn(QStringLiteral("Denumire"), QStringLiteral("Denumire"), 200).asReadOnly();
    c << GridColumn(QStringLiteral("UM"), QStringLiteral("UM"), 40).asReadOnly();
    c << GridColumn(QStringLiteral("Cantitate"), QStringLiteral("Cantitate"), 70);
    c << GridColumn(QStringLiteral("Pret_achizitie_lei"), QStringLiteral("Pret achizitie lei"), 115)
             .withMask(QStringLiteral("#,##0.00"));
    c << GridColumn(QStringLiteral("Pret_echiv_USD"), logic.currencyPriceTitle(), 125).withMask(moneyMask(p.nrZecimaleValuta));
    c << GridColumn(QStringLiteral("Cont_marfa"), QStringLiteral("Cont marfa"), 80);
    c << GridColumn(QStringLiteral("Val"), QStringLiteral("Valoare"), 95).asReadOnly().withMask(moneyMask(p.nrZecimaleLei));
    c << GridColumn(QStringLiteral("TVA"), QStringLiteral("TVA"), 75).withMask(moneyMask(p.nrZecimaleLei));
    GridColumn lot(QStringLiteral("Lot"), QStringLiteral("Lot"), 70);
    if (!p.CLot)
        lot.asHidden();
    c << lot;
    c << GridColumn(QStringLiteral("Buget"), QStringLiteral("Buget"), 140)
             .withPickList(logic.budgetNames())
             .settingKey(QStringLiteral("Agent"), [&logic](const QString& name) { return logic.budgetCodeOf(name); });
    for (GridColumn& column : c)
        if (column.hint.isEmpty())
            column.withHint(QStringLiteral("..."));
    return c;
}

// ---- the view of the logic ---------------------------------------------------------------

std::optional<catalogs::ArticlePick> TIniStockForm::pickArticles(const QString& group, const QString& article)
{
    const catalogs::ArticleCatalogContext context{m_ctx.database, m_ctx.dialogs, m_ctx.parameters, m_ctx.formats,
                                                  m_ctx.privateDir, m_ctx.showProgress};
    return catalogs::PickArticles(this, context, group, article);
}

void TIniStockForm::focusLineColumn(const QString& field)
{
    m_grid->setCurrentField(field);
    m_grid->setFocus();
}

void TIniStockForm::showProgress(const QString& text)
{
    if (m_ctx.showProgress)
        m_ctx.showProgress(text);
}

// A cell or the date being typed goes to its record first; false when refused.
bool TIniStockForm::commitEdits()
{
    return m_grid->commitEditor() && m_date->commit();
}

void TIniStockForm::refreshTick()
{
    m_logic.refreshTick();
    try {
        if (const int c = m_model->columnOf(QStringLiteral("Buget")); c >= 0)
            m_model->column(c).pickList = m_logic.budgetNames();
    } catch (...) {
        // the next tick tries again
    }
}

void TIniStockForm::closeEvent(QCloseEvent* event)
{
    if (!commitEdits() || !m_logic.close()) {
        event->ignore();
        return;
    }
    if (m_layoutRestored)
        m_grid->saveLayout(layoutFile(), QString::fromLatin1(kLineLayout));
    event->accept();
}

} // namespace stock
