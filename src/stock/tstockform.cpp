#include "tstockform.h"

#include "stocknamesearch.h"

#include "catalogs/tcatlookupform.h"
#include "common/inifile.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QGuiApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QAbstractItemView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace stock {

namespace {

const char* const kLayoutSection = "Stocuri";
// The size the user left the picker at, next to the layout of its list.
const char* const kPickerSection = "Selectie";

// The list's grid model: "Valoare vînzare" is worked out for the cells that
// are painted, from the row's own values.
class StockListModel : public ui::DatasetModel {
public:
    StockListModel(TStockFormLogic& logic, datastore::Dataset& list, const common::Formats& formats,
                   common::Dialogs& dialogs)
        : ui::DatasetModel(list, formats, dialogs), m_logic(logic)
    {
    }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if ((role == Qt::DisplayRole || role == Qt::EditRole) && index.isValid()
            && index.column() < columns().size()
            && columns()[index.column()].field == QLatin1String(TStockFormLogic::kSaleValueField)
            && &m_logic.shown() == &dataset())
            return displayText(index.column(), m_logic.saleValue(index.row()));
        return ui::DatasetModel::data(index, role);
    }

private:
    TStockFormLogic& m_logic;
};

// The picker's dialog: closing asks the form first (new rows being typed).
class PickerDialog : public QDialog {
public:
    explicit PickerDialog(QWidget* owner)
        : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
    {
    }
    TStockForm* form = nullptr;

    void done(int result) override
    {
        if (form && !form->closeQuery())
            return;
        QDialog::done(result);
    }
};

} // namespace

TStockForm::TStockForm(StockFormContext context, StockFormRole role, QWidget* parent)
    : QWidget(parent), m_ctx(std::move(context)), m_role(role),
      m_logic(m_ctx.database, m_ctx.privateDatabase, m_ctx.parameters, m_ctx.formats, m_ctx.dialogs, m_ctx.settings,
              *this)
{
    setObjectName(QStringLiteral("TStockForm"));
    setWindowTitle(QStringLiteral("Stocuri curente"));
    if (m_ctx.printLabels)
        m_logic.printLabels = [this] { m_ctx.printLabels(this); };
    buildControls();
    // Ctrl-Z and Alt-Z reach the window from the search box and the cells.
    qApp->installEventFilter(this);
}

TStockForm::~TStockForm()
{
    qApp->removeEventFilter(this);
}

std::unique_ptr<TStockForm> TStockForm::createChild(StockFormContext context)
{
    const QString warehouse = context.memory.lastWarehouse;
    auto form = std::make_unique<TStockForm>(std::move(context), StockFormRole::Window);
    if (!form->prepare(warehouse))
        return nullptr;
    return form;
}

QString TStockForm::layoutFile(StockList list) const
{
    return m_ctx.privateDir
        + QString::fromLatin1(list == StockList::Detailed ? TStockFormLogic::kDetailedLayoutFile
                                                          : TStockFormLogic::kCumulatedLayoutFile);
}

ui::DataGrid* TStockForm::grid() const
{
    return m_lists->currentIndex() == static_cast<int>(StockList::Detailed) ? m_detailedGrid : m_cumulatedGrid;
}

void TStockForm::buildControls()
{
    const bool picker = m_role == StockFormRole::Picker;
    const common::Formats& formats = m_ctx.formats;
    common::Dialogs& dialogs = m_ctx.dialogs;

    m_detailedModel = std::make_unique<StockListModel>(m_logic, m_logic.detailed(), formats, dialogs);
    m_detailedModel->setColumns(m_logic.detailedColumns());
    m_cumulatedModel = std::make_unique<StockListModel>(m_logic, m_logic.cumulated(), formats, dialogs);
    m_cumulatedModel->setColumns(m_logic.cumulatedColumns());
    m_newModel = std::make_unique<ui::DatasetModel>(m_logic.newRows, formats, dialogs);
    m_newModel->setColumns(m_logic.newRowColumns());

    m_detailedGrid = new ui::DataGrid(m_detailedModel.get(), this);
    m_detailedGrid->setObjectName(QStringLiteral("detailed"));
    m_cumulatedGrid = new ui::DataGrid(m_cumulatedModel.get(), this);
    m_cumulatedGrid->setObjectName(QStringLiteral("cumulated"));
    m_lists = new QStackedWidget(this);
    m_lists->addWidget(m_detailedGrid);
    m_lists->addWidget(m_cumulatedGrid);
    const QString gridHint = picker ? TStockFormLogic::kPickerHint : QString();
    for (ui::DataGrid* g : {m_detailedGrid, m_cumulatedGrid}) {
        g->setSelectionBehavior(QAbstractItemView::SelectRows);
        g->setToolTip(gridHint);
        g->setStatusTip(gridHint);
        g->viewport()->installEventFilter(this);
        g->installEventFilter(this);
    }

    // The new stock rows of "&Editeaza", under the list while it is down.
    m_newPanel = new QWidget(this);
    auto* newLayout = new QVBoxLayout(m_newPanel);
    newLayout->setContentsMargins(0, 0, 0, 0);
    m_newGrid = new ui::DataGrid(m_newModel.get(), m_newPanel);
    m_newGrid->setObjectName(QStringLiteral("newRows"));
    auto* newLabel = new QLabel(QStringLiteral("Articole &noi în stoc (cantitate 0):"), m_newPanel);
    newLabel->setBuddy(m_newGrid);
    newLayout->addWidget(newLabel);
    newLayout->addWidget(m_newGrid);
    m_newPanel->setVisible(false);
    connect(m_newGrid, &ui::DataGrid::pickerRequested, this,
            [this](const QString& field) { m_logic.pickInNewRow(field); });
    connect(m_newGrid, &ui::DataGrid::hintChanged, this, [this](const QString& hint) { showHint(hint); });

    // The choices above the list.
    m_warehouse = new QComboBox(this);
    m_warehouse->setMinimumWidth(220);
    m_list = new QComboBox(this);
    m_list->addItems(stockListCaptions());
    m_order = new QComboBox(this);
    m_order->addItems(stockOrderCaptions());
    m_search = new QLineEdit(this);
    m_search->setMaxLength(30);
    auto label = [this](const QString& text, QWidget* buddy) {
        auto* l = new QLabel(text, this);
        l->setBuddy(buddy);
        return l;
    };
    auto* choices = new QGridLayout;
    choices->addWidget(label(QStringLiteral("&Selecteaza gestiunea:"), m_warehouse), 0, 0);
    choices->addWidget(m_warehouse, 0, 1);
    choices->addWidget(label(QStringLiteral("&Prezinta:"), m_list), 0, 2);
    choices->addWidget(m_list, 0, 3);
    choices->addWidget(label(QStringLiteral("&Cauta denumire:"), m_search), 1, 0);
    choices->addWidget(m_search, 1, 1);
    choices->addWidget(label(QStringLiteral("Sorteaza &dupa:"), m_order), 1, 2);
    choices->addWidget(m_order, 1, 3);
    choices->setColumnStretch(1, 1);

    // The buttons at the right.
    m_findPrice = new QPushButton(QStringLiteral("Cauta pret..."), this);
    m_findPrice->setToolTip(QStringLiteral("Cauta pretul de achizitie (Ctrl+Z)"));
    m_repeat = new QPushButton(QStringLiteral("Repeta"), this);
    m_repeat->setToolTip(QStringLiteral("Urmatorul rînd cu acelasi pret (Alt+Z)"));
    m_labels = new QPushButton(QStringLiteral("Listeaza etichete"), this);
    m_labels->setEnabled(bool(m_ctx.printLabels));
    m_edit = new QPushButton(QStringLiteral("&Editeaza"), this);
    m_edit->setCheckable(true);
    m_edit->setToolTip(QStringLiteral("Adauga în stoc articole cu cantitatea 0"));
    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_ok->setDefault(picker);
    m_cancel = new QPushButton(QStringLiteral("Renunta"), this);
    for (QPushButton* b : {m_findPrice, m_repeat, m_labels, m_edit, m_ok, m_cancel})
        b->setAutoDefault(false);
    m_ok->setAutoDefault(picker);
    m_edit->setVisible(picker);
    m_ok->setVisible(picker);
    m_cancel->setVisible(picker);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(m_findPrice);
    buttons->addWidget(m_repeat);
    buttons->addSpacing(8);
    buttons->addWidget(m_labels);
    buttons->addStretch(1);
    buttons->addWidget(m_edit);
    buttons->addSpacing(8);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);

    m_hint = new QLabel(gridHint, this);
    m_hint->setVisible(picker);

    auto* left = new QVBoxLayout;
    left->addLayout(choices);
    left->addWidget(m_lists, 3);
    left->addWidget(m_newPanel, 1);
    left->addWidget(m_hint);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addLayout(left, 1);
    layout->addLayout(buttons);

    // Ctrl-Z and Alt-Z, whichever control of the window has the focus.
    auto shortcut = [this](QPushButton* button, const QKeySequence& key) {
        auto* a = new QAction(this);
        a->setShortcut(key);
        a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        addAction(a);
        connect(a, &QAction::triggered, button, [button] {
            if (button->isEnabled())
                button->click();
        });
    };
    shortcut(m_findPrice, QKeySequence(Qt::CTRL | Qt::Key_Z));
    shortcut(m_repeat, QKeySequence(Qt::ALT | Qt::Key_Z));

    connect(m_warehouse, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index < 0 || index >= m_logic.warehouses().size())
            return;
        const QString code = m_logic.warehouses()[index].code;
        if (!guard([&] { m_logic.setWarehouse(code); })) {
            const QSignalBlocker block(m_warehouse);
            m_warehouse->setCurrentIndex(m_logic.warehouseIndex());
        }
    });
    connect(m_list, &QComboBox::currentIndexChanged, this, [this](int index) { switchList(index); });
    connect(m_order, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index < 0)
            return;
        if (!guard([&] { m_logic.setOrder(static_cast<StockOrder>(index)); })) {
            const QSignalBlocker block(m_order);
            m_order->setCurrentIndex(static_cast<int>(m_logic.order()));
        }
    });
    // "&Cauta denumire:" finds the article by its name in any order of the list.
    connect(m_search, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (m_logic.isEditing())
            return;
        guard([&] {
            const int row = findStockName(m_logic.shown(), text);
            if (row >= 0)
                m_logic.shown().moveTo(row);
        });
    });
    connect(m_findPrice, &QPushButton::clicked, this, [this] { guard([this] { m_logic.findPrice(); }); });
    connect(m_repeat, &QPushButton::clicked, this, [this] { guard([this] { m_logic.findPriceAgain(); }); });
    connect(m_labels, &QPushButton::clicked, this, [this] { guard([this] { m_logic.listLabels(); }); });
    connect(m_edit, &QPushButton::clicked, this, [this](bool down) { editToggled(down); });
    connect(m_ok, &QPushButton::clicked, this, [this] {
        if (m_ok->isEnabled() && m_logic.currentRow())
            emit okClicked();
    });
    connect(m_cancel, &QPushButton::clicked, this, &TStockForm::cancelClicked);
}

bool TStockForm::prepare(const QString& warehouse)
{
    // Both roles open on the detailed list; the picker keeps it.
    if (!m_logic.open(warehouse, StockList::Detailed))
        return false;
    fillWarehouses();
    {
        const QSignalBlocker blockList(m_list);
        const QSignalBlocker blockOrder(m_order);
        m_list->setCurrentIndex(static_cast<int>(m_logic.list()));
        m_order->setCurrentIndex(static_cast<int>(m_logic.order()));
    }
    m_list->setEnabled(m_role == StockFormRole::Window);
    m_lists->setCurrentIndex(static_cast<int>(m_logic.list()));
    grid()->restoreLayout(layoutFile(m_logic.list()), QString::fromLatin1(kLayoutSection));
    m_prepared = true;
    applyEditingState();
    // Room for the columns the list shows; the main window keeps a child inside its client area.
    QSize room = grid()->sizeHint();
    if (m_role == StockFormRole::Picker)
        room.setWidth(std::max(room.width(), m_newGrid->sizeHint().width()));
    resize(QSize(room.width() + 170, room.height() + 110).expandedTo(QSize(820, 480)).boundedTo(QSize(1200, 800)));
    grid()->setFocus();
    return true;
}

void TStockForm::fillWarehouses()
{
    const QSignalBlocker block(m_warehouse);
    m_warehouse->clear();
    for (const StockWarehouse& w : m_logic.warehouses())
        m_warehouse->addItem(w.name.isEmpty() ? w.code : w.code + QStringLiteral(" - ") + w.name);
    m_warehouse->setCurrentIndex(m_logic.warehouseIndex());
}

void TStockForm::switchList(int index)
{
    if (index < 0 || index == static_cast<int>(m_logic.list()))
        return;
    if (m_prepared)
        grid()->saveLayout(layoutFile(m_logic.list()), QString::fromLatin1(kLayoutSection));
    if (!guard([&] { m_logic.setList(static_cast<StockList>(index)); })) {
        const QSignalBlocker block(m_list);
        m_list->setCurrentIndex(static_cast<int>(m_logic.list()));
    }
    m_lists->setCurrentIndex(static_cast<int>(m_logic.list()));
    grid()->restoreLayout(layoutFile(m_logic.list()), QString::fromLatin1(kLayoutSection));
    applyEditingState();
}

void TStockForm::editToggled(bool down)
{
    if (down && !m_newGrid->commitEditor())
        return;
    if (!down && !m_newGrid->commitEditor()) {
        applyEditingState(); // a refused value keeps the editing on
        return;
    }
    m_logic.setEditing(down);
    applyEditingState();
    if (!m_logic.isEditing())
        grid()->setFocus();
}

void TStockForm::applyEditingState()
{
    const bool editing = m_logic.isEditing();
    const bool detailedList = m_logic.list() == StockList::Detailed;
    {
        const QSignalBlocker block(m_edit);
        m_edit->setChecked(editing);
    }
    m_newPanel->setVisible(editing);
    m_ok->setEnabled(!editing);
    for (QWidget* w : std::initializer_list<QWidget*>{m_warehouse, m_order, m_search, m_labels})
        w->setEnabled(!editing && (w != m_labels || bool(m_ctx.printLabels)));
    m_list->setEnabled(!editing && m_role == StockFormRole::Window);
    m_findPrice->setEnabled(!editing && detailedList);
    m_repeat->setEnabled(!editing && detailedList);
    m_edit->setEnabled(detailedList);
    if (!editing)
        showHint(m_role == StockFormRole::Picker ? TStockFormLogic::kPickerHint : QString());
}

void TStockForm::showHint(const QString& hint)
{
    if (m_role == StockFormRole::Picker)
        m_hint->setText(hint);
    else if (m_ctx.showProgress)
        m_ctx.showProgress(hint);
}

bool TStockForm::guard(const std::function<void()>& action)
{
    try {
        action();
        return true;
    } catch (...) {
        ui::reportDataError(m_ctx.dialogs, std::current_exception());
        return false;
    }
}

// ---- the view of the logic ---------------------------------------------------------------

std::optional<catalogs::ArticlePick> TStockForm::pickArticles(const QString& group, const QString& article)
{
    return catalogs::PickArticles(window(), m_ctx.articleContext(), group, article);
}

void TStockForm::focusNewRowColumn(const QString& field)
{
    if (!m_newPanel->isVisible())
        return;
    m_newGrid->setCurrentField(field);
    m_newGrid->setFocus();
}

void TStockForm::focusList()
{
    grid()->setFocus();
}

// ---- events ----------------------------------------------------------------------------------

bool TStockForm::eventFilter(QObject* watched, QEvent* event)
{
    auto* w = qobject_cast<QWidget*>(watched);
    if (!w || !isAncestorOf(w))
        return QWidget::eventFilter(watched, event);
    if (event->type() == QEvent::ShortcutOverride) {
        // Ctrl-Z is "Cauta pret...", not the undo of a line edit.
        const QKeyCombination combo = static_cast<QKeyEvent*>(event)->keyCombination();
        return combo == QKeyCombination(Qt::ControlModifier, Qt::Key_Z);
    }
    if (m_role != StockFormRole::Picker)
        return QWidget::eventFilter(watched, event);
    const bool onList = watched == m_detailedGrid || watched == m_detailedGrid->viewport();
    if (onList && event->type() == QEvent::MouseButtonDblClick && m_ok->isEnabled()) {
        if (m_detailedGrid->indexAt(static_cast<QMouseEvent*>(event)->position().toPoint()).isValid())
            m_ok->click();
        return true;
    }
    if (watched == m_detailedGrid && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
            && !(key->modifiers() & ~Qt::KeypadModifier) && m_ok->isEnabled()) {
            m_ok->click();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TStockForm::refreshTick()
{
    // A cell being typed in is editing too.
    if (m_newGrid->openEditor() || m_logic.isEditing())
        return;
    guard([this] { m_logic.refreshTick(); });
    if (!m_warehouse->view()->isVisible())
        fillWarehouses();
}

bool TStockForm::closeQuery()
{
    if (m_closed)
        return true;
    if (!m_newGrid->commitEditor())
        return false;
    if (!m_logic.close()) {
        applyEditingState();
        return false;
    }
    if (m_prepared)
        grid()->saveLayout(layoutFile(m_logic.list()), QString::fromLatin1(kLayoutSection));
    m_closed = true;
    return true;
}

void TStockForm::closeEvent(QCloseEvent* event)
{
    if (!closeQuery()) {
        event->ignore();
        return;
    }
    event->accept();
}

// ---- the picker ------------------------------------------------------------------------------

bool PickStockLine(QWidget* owner, const StockFormContext& context, StockLinePick& pick)
{
    // The warehouse given is remembered for the next opening of either role.
    if (!pick.warehouse.isEmpty())
        context.memory.lastWarehouse = pick.warehouse;
    const QString warehouse = pick.warehouse.isEmpty() ? context.memory.lastWarehouse : pick.warehouse;

    PickerDialog dlg(owner);
    dlg.setWindowTitle(QStringLiteral("Selectie articol din stoc"));
    auto* form = new TStockForm(context, StockFormRole::Picker, &dlg);
    dlg.form = form;
    auto* layout = new QVBoxLayout(&dlg);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(form);
    // The row is taken as OK is pressed: closing the window closes its lists.
    std::optional<StockRow> row;
    QObject::connect(form, &TStockForm::okClicked, &dlg, [&] {
        row = form->logic().currentRow();
        dlg.accept();
    });
    QObject::connect(form, &TStockForm::cancelClicked, &dlg, &QDialog::reject);
    if (!form->prepare(warehouse))
        return false;
    form->logic().locate(pick.group, pick.article, pick.price);
    // The size the user left it at; the first time, the room its columns need.
    const QString sizeFile = form->layoutFile(StockList::Detailed);
    QSize size = form->size();
    {
        const common::IniFile ini(sizeFile);
        const QSize saved(ini.readInteger(QLatin1String(kPickerSection), QStringLiteral("Width"), 0),
                          ini.readInteger(QLatin1String(kPickerSection), QStringLiteral("Height"), 0));
        if (saved.width() >= 400 && saved.height() >= 300 && saved.width() <= 10000 && saved.height() <= 10000)
            size = saved;
    }
    if (const QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen())
        size = size.boundedTo(screen->availableGeometry().size());
    dlg.resize(size);
    const int result = dlg.exec();
    {
        common::IniFile ini(sizeFile);
        ini.writeInteger(QLatin1String(kPickerSection), QStringLiteral("Width"), dlg.width());
        ini.writeInteger(QLatin1String(kPickerSection), QStringLiteral("Height"), dlg.height());
    }
    if (result != QDialog::Accepted || !row)
        return false;
    pick.warehouse = row->warehouse;
    pick.group = row->group;
    pick.article = row->article;
    pick.price = row->price;
    pick.quantity = row->quantity;
    pick.lot = row->lot;
    pick.budget = row->budget;
    return true;
}

} // namespace stock
