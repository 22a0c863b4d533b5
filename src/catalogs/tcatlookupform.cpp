#include "tcatlookupform.h"

#include "articlegridmarks.h"
#include "lookupcontrols.h"
#include "taskcoefdlg.h"
#include "tgroupeditorform.h"
#include "tindexpriceform.h"
#include "ttipproddlgfrm.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSplitter>
#include <QVBoxLayout>

namespace catalogs {

namespace {

constexpr const char* kGroupLayout = "Grupe";
constexpr const char* kArticleLayout = "Articole";

// The article columns whose visibility the parameters decide.
bool decidedByParameters(const QString& field)
{
    static const QStringList fields = {QStringLiteral("Pret_vinzare"), QStringLiteral("ZileValabilitate"),
                                       QStringLiteral("Proteine"),     QStringLiteral("Lipide"),
                                       QStringLiteral("Glucide"),      QStringLiteral("Calorii")};
    return fields.contains(field, Qt::CaseInsensitive);
}

class PickerDialog : public QDialog {
public:
    explicit PickerDialog(QWidget* owner) : QDialog(owner) {}
    TCatLookupForm* form = nullptr;

    void done(int result) override
    {
        if (form && !form->closeQuery())
            return;
        QDialog::done(result);
    }
};

} // namespace

TCatLookupForm::TCatLookupForm(const ArticleCatalogContext& context, ArticleCatalogRole role, QWidget* parent)
    : QWidget(parent), m_logic(context, role)
{
    setWindowTitle(QStringLiteral("Catalog articole"));
    m_logic.askProductType = [this] { return TTipProdDlgFrm::ask(this); };
    buildControls();
}

TCatLookupForm::~TCatLookupForm() = default;

void TCatLookupForm::buildControls()
{
    const ArticleCatalogContext& ctx = m_logic.context();
    const bool picker = m_logic.role() == ArticleCatalogRole::Picker;

    m_classModel = std::make_unique<ui::DatasetModel>(m_logic.classes, ctx.formats, ctx.dialogs);
    m_classModel->setColumns(m_logic.classColumns());
    m_groupModel = std::make_unique<ui::DatasetModel>(m_logic.groups, ctx.formats, ctx.dialogs);
    m_groupModel->setColumns(m_logic.groupColumns());
    m_articleModel = std::make_unique<ui::DatasetModel>(m_logic.articles, ctx.formats, ctx.dialogs);
    m_articleModel->setColumns(m_logic.articleColumns());

    m_classGrid = new ui::DataGrid(m_classModel.get(), this);
    m_groupGrid = new ui::DataGrid(m_groupModel.get(), this);
    m_articleGrid = new ui::DataGrid(m_articleModel.get(), this);

    auto* lists = new QSplitter(Qt::Vertical, this);
    lists->addWidget(m_classGrid);
    lists->addWidget(m_groupGrid);
    lists->addWidget(m_articleGrid);
    lists->setStretchFactor(0, 1);
    lists->setStretchFactor(1, 2);
    lists->setStretchFactor(2, 5);
    lists->setChildrenCollapsible(false);

    const LookupSidePanel side = buildLookupSidePanel(this, articleOrderCaptions(), picker);
    m_order = side.order;
    m_order->setCurrentIndex(static_cast<int>(m_logic.order()));
    m_search = side.search;
    m_ok = side.ok;
    m_cancel = side.cancel;
    m_edit = side.edit;
    // Classes and groups are made in their own editor, reached from here.
    m_groups = new QPushButton(QStringLiteral("Clase si &grupe..."), this);
    m_groups->setToolTip(QStringLiteral("Adauga sau modifica clasele de materiale si grupele de articole"));
    side.layout->insertWidget(0, m_groups);
    side.layout->insertSpacing(1, 8);
    connect(m_groups, &QPushButton::clicked, this, [this] { editGroups(); });
    auto* sideWidget = new QWidget(this);
    sideWidget->setLayout(side.layout);
    sideWidget->setFixedWidth(160);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(lists, 1);
    layout->addWidget(sideWidget);

    // The window's own menu; hidden in this edition.
    m_documentMenu = new QMenu(QStringLiteral("&Document"), this);
    m_documentMenu->menuAction()->setStatusTip(QStringLiteral("Functii specifice pentru catalogul de articole"));
    m_documentMenu->menuAction()->setVisible(false);
    m_indexPrices = m_documentMenu->addAction(QStringLiteral("Indexeaza &preturile"));
    m_indexPrices->setStatusTip(
        QStringLiteral("Indexeaza preturile pentru grupa de artcole curenta cu un coeficient dat."));
    m_indexPrices->setVisible(false);
    connect(m_indexPrices, &QAction::triggered, this, [this] { indexPrices(); });

    connect(m_order, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index < 0)
            return;
        if (!m_articleModel->guarded([&] { m_logic.setOrder(static_cast<ArticleOrder>(index)); })) {
            const QSignalBlocker block(m_order);
            m_order->setCurrentIndex(static_cast<int>(m_logic.order()));
        }
    });
    connect(m_search, &QLineEdit::textChanged, this,
            [this](const QString& text) { m_articleModel->guarded([&] { m_logic.searchAsYouType(text); }); });
    connect(m_ok, &QPushButton::clicked, this, &TCatLookupForm::okClicked);
    connect(m_cancel, &QPushButton::clicked, this, &TCatLookupForm::cancelClicked);
    connect(m_edit, &QPushButton::clicked, this, [this](bool down) { editToggled(down); });

    ArticleGridMarks::Actions actions;
    actions.active = [this] { return m_logic.multiSelect(); };
    actions.isMarked = [this](int row) { return m_logic.isMarked(row); };
    actions.markNext = [this] { m_logic.markAndMoveNext(); };
    actions.markPrior = [this] { m_logic.markAndMovePrior(); };
    actions.toggleCurrent = [this] { m_logic.toggleCurrentMark(); };
    m_marks = new ArticleGridMarks(m_articleGrid, actions);
    connect(m_marks, &ArticleGridMarks::activated, this, [this] {
        if (m_ok->isEnabled())
            emit okClicked();
    });

    m_groupGrid->installEventFilter(this);
    m_groupGrid->viewport()->installEventFilter(this);
    m_articleGrid->installEventFilter(this);

    // A new article starts in the column its code comes from.
    m_logic.articles.afterInsert = [this] { m_articleGrid->setCurrentField(m_logic.newArticleField()); };
}

bool TCatLookupForm::prepare(const QString& group, const QString& article)
{
    if (!m_logic.FormCreate(group, article))
        return false;
    const QString cfg = m_logic.layoutFile();
    m_groupGrid->restoreLayout(cfg, QString::fromLatin1(kGroupLayout));
    m_articleGrid->restoreLayout(cfg, QString::fromLatin1(kArticleLayout));
    applyParameterColumns();
    {
        const QSignalBlocker block(m_order);
        m_order->setCurrentIndex(static_cast<int>(m_logic.order()));
    }
    applyEditingState();
    // Room for the three lists and every article column; the main window
    // keeps it within its client area.
    resize(sizeHint().expandedTo(QSize(960, 620)));
    m_articleGrid->setFocus();
    return true;
}

void TCatLookupForm::applyParameterColumns()
{
    const QList<ui::GridColumn> columns = m_articleModel->columns();
    for (int i = 0; i < columns.size(); ++i)
        if (decidedByParameters(columns[i].field))
            m_articleGrid->setColumnHidden(i, !columns[i].visible);
}

void TCatLookupForm::applyEditingState()
{
    const bool editing = m_logic.isEditing();
    const bool picker = m_logic.role() == ArticleCatalogRole::Picker;
    m_ok->setEnabled(!editing);
    {
        const QSignalBlocker block(m_edit);
        m_edit->setChecked(editing);
    }
    if (m_logic.multiSelect()) {
        m_articleGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
        m_articleGrid->setSelectionMode(QAbstractItemView::NoSelection); // the marks are the selection
    } else {
        m_articleGrid->setSelectionBehavior(QAbstractItemView::SelectItems);
        m_articleGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    }
    m_groupGrid->setSelectionBehavior(picker && !editing ? QAbstractItemView::SelectRows
                                                         : QAbstractItemView::SelectItems);
    m_marks->sync();
}

bool TCatLookupForm::commitEditors()
{
    return m_groupGrid->commitEditor() && m_articleGrid->commitEditor();
}

void TCatLookupForm::editToggled(bool down)
{
    if (!down && !commitEditors()) {
        applyEditingState(); // a refused value keeps the lists in editing
        return;
    }
    m_logic.setEditing(down);
    applyEditingState();
    m_articleGrid->setFocus();
}

void TCatLookupForm::editGroups()
{
    commitEditors();
    const ArticleCatalogContext& ctx = m_logic.context();
    const PartnerServices services{ctx.db, ctx.dialogs, ctx.formats, ctx.params, ctx.privateDir};
    const QString group = m_logic.groups.isOpen() && m_logic.groups.recNo() >= 0
        ? m_logic.groups.value(QStringLiteral("Cod_grupa")).toString()
        : QString();
    TGroupEditorForm::runModal(services, window(), group);
    reloadGroups();
}

void TCatLookupForm::reloadGroups()
{
    commitEditors();
    m_logic.ReloadGroups();
    m_marks->sync();
}

void TCatLookupForm::refreshTick()
{
    // A cell being typed in is editing too.
    for (ui::DataGrid* grid : {m_groupGrid, m_articleGrid})
        if (grid->openEditor())
            return;
    m_logic.RefreshTick();
}

bool TCatLookupForm::closeQuery()
{
    if (m_closed)
        return true;
    if (!commitEditors())
        return false; // the refused value stays in its cell
    if (!m_logic.FormCloseQuery())
        return false;
    if (m_logic.articles.isOpen()) {
        const QString cfg = m_logic.layoutFile();
        m_groupGrid->saveLayout(cfg, QString::fromLatin1(kGroupLayout));
        m_articleGrid->saveLayout(cfg, QString::fromLatin1(kArticleLayout));
    }
    m_closed = true;
    return true;
}

void TCatLookupForm::closeEvent(QCloseEvent* event)
{
    if (!closeQuery()) {
        event->ignore();
        return;
    }
    m_logic.FormClose();
    event->accept();
}

void TCatLookupForm::indexPrices()
{
    const ArticleCatalogContext& ctx = m_logic.context();
    TIndexPriceForm working(this);
    m_logic.IndexGroupPrices(
        [&](const QString& prompt) { return TAskCoefDlg::ask(this, prompt, ctx.formats, ctx.dialogs); },
        [&](bool on) {
            if (on)
                working.start();
            else
                working.stop();
        });
}

bool TCatLookupForm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusIn) {
        if (watched == m_articleGrid)
            m_logic.enterArticles();
        else if (watched == m_groupGrid)
            m_logic.enterGroups();
        return false;
    }
    if (!m_logic.multiSelect())
        return false;
    const bool groupKey = watched == m_groupGrid && event->type() == QEvent::KeyPress
        && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space
        && (static_cast<QKeyEvent*>(event)->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    const bool groupClick = watched == m_groupGrid->viewport() && event->type() == QEvent::MouseButtonDblClick;
    if (groupKey || groupClick) {
        m_articleModel->guarded([this] { m_logic.toggleGroupMarks(); });
        m_marks->sync();
        return true;
    }
    return false;
}

std::optional<ArticlePick> PickArticles(QWidget* owner, const ArticleCatalogContext& context, const QString& group,
                                        const QString& article)
{
    PickerDialog dlg(owner);
    dlg.setWindowTitle(QStringLiteral("Catalog articole"));
    auto* form = new TCatLookupForm(context, ArticleCatalogRole::Picker, &dlg);
    dlg.form = form;
    auto* layout = new QVBoxLayout(&dlg);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(form);
    QObject::connect(form, &TCatLookupForm::okClicked, &dlg, &QDialog::accept);
    QObject::connect(form, &TCatLookupForm::cancelClicked, &dlg, &QDialog::reject);
    if (!form->prepare(group, article))
        return std::nullopt;
    dlg.resize(form->size());
    if (dlg.exec() != QDialog::Accepted)
        return std::nullopt;
    ArticlePick pick = form->pickResult();
    if (pick.current.isEmpty() && pick.selected.isEmpty())
        return std::nullopt; // an empty group: nothing to insert
    return pick;
}

} // namespace catalogs
