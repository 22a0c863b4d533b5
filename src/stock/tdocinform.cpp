#include "tdocinform.h"

#include "documentchrome.h"
#include "tsrchdlg.h"

#include "catalogs/tcatlookupform.h"
#include "catalogs/tcautareform.h"
#include "catalogs/tclientlookupform.h"
#include "catalogs/tfurnlookupform.h"
#include "catalogs/tgestlookupform.h"
#include "prints/documentprints.h"
#include "prints/receiptnote.h"
#include "prints/tqrprndlg.h"
#include "ui/datedialogs.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSplitter>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace stock {

namespace {

const char* const kLineLayout = "Lines";
const char* const kAllocationLayout = "Allocations";

} // namespace

TDocInForm::TDocInForm(DocInContext context, QWidget* parent)
    : QWidget(parent), m_ctx(std::move(context)),
      m_logic(m_ctx.database, m_ctx.parameters, m_ctx.formats, m_ctx.dialogs, *this, m_ctx.userInitials)
{
    setObjectName(QStringLiteral("TDocInForm"));
    setWindowTitle(QStringLiteral("Intrari produse"));

    auto* header = new QWidget(this);
    buildHeader(header);

    m_model = std::make_unique<ui::DatasetModel>(m_logic.items, m_ctx.formats, m_ctx.dialogs);
    m_model->setColumns(lineColumns());
    m_grid = new ui::DataGrid(m_model.get(), this);
    m_grid->setObjectName(QStringLiteral("lines"));
    m_allocModel = std::make_unique<ui::DatasetModel>(m_logic.allocations, m_ctx.formats, m_ctx.dialogs);
    m_allocModel->setColumns(allocationColumns());
    m_allocGrid = new ui::DataGrid(m_allocModel.get(), this);
    m_allocGrid->setObjectName(QStringLiteral("allocations"));

    m_allocBox = new QWidget(this);
    auto* allocLayout = new QVBoxLayout(m_allocBox);
    allocLayout->setContentsMargins(0, 0, 0, 0);
    auto* allocLabel = new QLabel(QStringLiteral("&Alocatii pe linia curenta"), m_allocBox);
    allocLabel->setBuddy(m_allocGrid);
    allocLayout->addWidget(allocLabel);
    allocLayout->addWidget(m_allocGrid);
    m_allocGrid->setParent(m_allocBox);
    allocLayout->addWidget(m_allocGrid);

    auto* split = new QSplitter(Qt::Vertical, this);
    split->addWidget(m_grid);
    split->addWidget(m_allocBox);
    split->setStretchFactor(0, 4);
    split->setStretchFactor(1, 1);
    split->setChildrenCollapsible(false);

    buildMenus();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 4);
    layout->addWidget(m_menuRow);
    layout->addWidget(header);
    layout->addWidget(split, 1);

    connect(m_grid, &ui::DataGrid::pickerRequested, this,
            [this](const QString& field) { m_logic.pickInColumn(field); });
    connect(m_grid, &ui::DataGrid::searchRequested, this, [this] { m_logic.selectArticleByName(); });
    connect(m_grid, &ui::DataGrid::hintChanged, this, [this](const QString& hint) { showProgress(hint); });
    m_grid->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_grid, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { m_linePopup->popup(m_grid->viewport()->mapToGlobal(at)); });

    resize(900, 560);
    // The window's own keys win over those of the line edits inside it.
    qApp->installEventFilter(this);
    AttachDocInMenus(this, m_logic.docs, m_logic.items);
}

TDocInForm::~TDocInForm()
{
    qApp->removeEventFilter(this);
}

std::unique_ptr<TDocInForm> TDocInForm::createChild(DocInContext context)
{
    auto form = std::make_unique<TDocInForm>(std::move(context));
    if (!form->prepare())
        return nullptr;
    return form;
}

QString TDocInForm::layoutFile() const
{
    return m_ctx.privateDir + QStringLiteral("tobrix.cfg");
}

bool TDocInForm::prepare(const QDate& today)
{
    if (!m_logic.open(today))
        return false;
    m_grid->restoreLayout(layoutFile(), QString::fromLatin1(kLineLayout));
    m_allocGrid->restoreLayout(layoutFile(), QString::fromLatin1(kAllocationLayout));
    m_layoutRestored = true;
    showSupplier();
    return true;
}

// ---- header ----------------------------------------------------------------------------

void TDocInForm::buildHeader(QWidget* box)
{
    datastore::Dataset& docs = m_logic.docs;
    common::Dialogs& dialogs = m_ctx.dialogs;
    auto dateEdit = [&](const char* field) {
        return makeDateEdit(docs, QString::fromLatin1(field), dialogs, m_ctx.formats, box);
    };
    auto calendar = [&](ui::FieldEdit* edit) { return makeCalendarButton(edit, docs, dialogs, box); };

    auto* registration = new QGroupBox(QStringLiteral("Inregistrare"), box);
    m_contor = new ui::FieldEdit(docs, QStringLiteral("Contor"), dialogs, registration);
    m_contor->setReadOnly(true);
    m_contor->setFocusPolicy(Qt::NoFocus);
    m_contor->setFixedWidth(fontMetrics().horizontalAdvance(QStringLiteral("0000000000")) + 12);
    m_registered = dateEdit("Data_inregistrarii");
    m_registered->setParent(registration);
    auto* rg = new QGridLayout(registration);
    auto* contorLabel = new QLabel(QStringLiteral("Numar:"), registration);
    rg->addWidget(contorLabel, 0, 0);
    rg->addWidget(m_contor, 0, 1, 1, 2);
    auto* regLabel = new QLabel(QStringLiteral("&Data:"), registration);
    regLabel->setBuddy(m_registered);
    rg->addWidget(regLabel, 1, 0);
    rg->addWidget(m_registered, 1, 1);
    rg->addWidget(calendar(m_registered), 1, 2);
    rg->setRowStretch(2, 1);

    auto* document = new QGroupBox(QStringLiteral("Document"), box);
    m_number = new ui::FieldEdit(docs, QStringLiteral("Numar"), dialogs, document);
    m_number->setFixedWidth(fontMetrics().horizontalAdvance(QStringLiteral("0000000000")) + 12);
    m_date = dateEdit("Data");
    m_date->setParent(document);
    m_type = new QComboBox(document);
    m_type->setEditable(true);
    auto* typeEdit = new ui::FieldEdit(docs, QStringLiteral("Tip"), dialogs, m_type);
    m_type->setLineEdit(typeEdit);
    m_type->addItems({QStringLiteral("FCT"), QStringLiteral("NR"), QStringLiteral("LZ")});
    m_type->setFixedWidth(fontMetrics().horizontalAdvance(QStringLiteral("WWWW")) + 40);
    typeEdit->showValue();
    connect(m_type, &QComboBox::textActivated, this, [this](const QString& text) {
        guard([&] {
            if (!m_logic.docs.isEditing())
                m_logic.docs.edit();
            m_logic.docs.setValue(QStringLiteral("Tip"), text);
        });
    });
    m_supplier = new QComboBox(document);
    m_supplier->setMinimumWidth(260);
    auto* supplierButton = new QToolButton(document);
    supplierButton->setText(QStringLiteral("..."));
    supplierButton->setToolTip(QStringLiteral("Catalogul de furnizori"));
    connect(supplierButton, &QToolButton::clicked, this, [this] {
        m_logic.pickSupplier();
        showSupplier();
    });
    connect(m_supplier, &QComboBox::activated, this, [this](int index) {
        if (index < 0 || index >= m_supplierCodes.size())
            return;
        const bool taken = guard([&] {
            if (!m_logic.docs.isEditing())
                m_logic.docs.edit();
            m_logic.docs.setValue(QStringLiteral("Furnizor"), m_supplierCodes.at(index));
        });
        if (!taken)
            showSupplier();
    });
    m_explanation = new ui::FieldEdit(docs, QStringLiteral("Explicatie"), dialogs, document);

    auto* dg = new QGridLayout(document);
    auto label = [&](const QString& text, QWidget* buddy) {
        auto* l = new QLabel(text, document);
        l->setBuddy(buddy);
        return l;
    };
    dg->addWidget(label(QStringLiteral("N&umar:"), m_number), 0, 0);
    dg->addWidget(m_number, 0, 1);
    dg->addWidget(label(QStringLiteral("D&ata:"), m_date), 0, 2);
    auto* dateRow = new QHBoxLayout;
    dateRow->addWidget(m_date);
    dateRow->addWidget(calendar(m_date));
    dg->addLayout(dateRow, 0, 3);
    dg->addWidget(label(QStringLiteral("&Tip:"), m_type), 0, 4);
    dg->addWidget(m_type, 0, 5);
    dg->addWidget(label(QStringLiteral("&Furnizor:"), m_supplier), 1, 0);
    auto* supplierRow = new QHBoxLayout;
    supplierRow->addWidget(m_supplier, 1);
    supplierRow->addWidget(supplierButton);
    dg->addLayout(supplierRow, 1, 1, 1, 5);
    dg->addWidget(label(QStringLiteral("&Explicatie:"), m_explanation), 2, 0);
    dg->addWidget(m_explanation, 2, 1, 1, 5);
    dg->setColumnStretch(6, 1);

    // Buttons beside the boxes.
    m_print = new QPushButton(QStringLiteral("&Receptie"), box);
    connect(m_print, &QPushButton::clicked, this, [this] {
        if (commitEdits())
            m_logic.print();
    });
    m_serials = new QPushButton(QStringLiteral("&Serii..."), box);
    m_serials->setToolTip(QStringLiteral("Numerele de serie ale documentului curent"));
    m_serials->setVisible(m_ctx.parameters.CSerii && m_ctx.showSerials);
    connect(m_serials, &QPushButton::clicked, this, [this] {
        if (commitEdits() && m_logic.saveDocument() && !m_logic.docs.isEmpty() && m_ctx.showSerials)
            m_ctx.showSerials(m_logic.docs.value(QStringLiteral("Contor")).toDouble());
    });
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(m_print);
    buttons->addWidget(m_serials);
    buttons->addStretch(1);

    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(registration);
    row->addWidget(document, 1);
    row->addLayout(buttons);

    m_supplier->setProperty("field", QStringLiteral("Furnizor"));
    typeEdit->setProperty("field", QStringLiteral("Tip"));

    // The supplier list follows the current document.
    connect(&m_logic.docs, &datastore::Dataset::currentChanged, this, [this] { showSupplier(); });
    connect(&m_logic.docs, &datastore::Dataset::reset, this, [this] { showSupplier(); });
    connect(&m_logic.docs, &datastore::Dataset::rowChanged, this, [this] { showSupplier(); });
    connect(&m_logic.docs, &datastore::Dataset::rowChanged, typeEdit, [this, typeEdit] {
        if (!typeEdit->hasFocus())
            typeEdit->showValue();
    });
}

void TDocInForm::showSupplier()
{
    const QSignalBlocker block(m_supplier);
    QStringList names;
    m_supplierCodes.clear();
    try {
        datastore::Query q = m_ctx.database.query(
            QStringLiteral("SELECT Cod_furnizor, Nume_furnizor FROM \"Furn.DB\" ORDER BY Nume_furnizor, Cod_furnizor"));
        while (q.next()) {
            m_supplierCodes << q.value(0).toString();
            names << q.value(1).toString();
        }
    } catch (...) {
        // the list stays empty; the document keeps its supplier
    }
    m_supplier->clear();
    m_supplier->addItems(names);
    const QString code =
        m_logic.docs.isOpen() && m_logic.docs.recNo() >= 0 ? m_logic.docs.value(QStringLiteral("Furnizor")).toString() : QString();
    m_supplier->setCurrentIndex(code.isEmpty() ? -1 : static_cast<int>(m_supplierCodes.indexOf(code)));
}

// ---- menus and navigator ---------------------------------------------------------------

void TDocInForm::buildMenus()
{
    datastore::Dataset& docs = m_logic.docs;
    auto* bar = new QMenuBar(this);
    QMenu* document = bar->addMenu(QStringLiteral("&Document"));
    auto add = [&](QMenu* menu, const QString& text, const QKeySequence& key, std::function<void()> run) {
        QAction* a = menu->addAction(text);
        if (!key.isEmpty()) {
            a->setShortcut(key);
            a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
            addAction(a);
        }
        connect(a, &QAction::triggered, this, [this, run = std::move(run)] {
            if (commitEdits())
                run();
        });
        return a;
    };
    add(document, QStringLiteral("&Insereaza"), QKeySequence(Qt::CTRL | Qt::Key_Insert), [this] { m_logic.newDocument(); });
    add(document, QStringLiteral("&Total"), QKeySequence(Qt::CTRL | Qt::Key_T), [this] { m_logic.showTotals(); });
    QMenu* show = document->addMenu(QStringLiteral("&Afiseaza"));
    QAction* all = add(show, QStringLiteral("&Integral"), {}, [this] { m_logic.showAll(); });
    add(show, QStringLiteral("&Perioada"), {}, [this] { m_logic.selectPeriod(); });
    connect(show, &QMenu::aboutToShow, this, [this, all] { all->setEnabled(m_logic.periodActive()); });
    QMenu* find = document->addMenu(QStringLiteral("&Cauta"));
    add(find, QStringLiteral("&Prima aparitie..."), QKeySequence(Qt::CTRL | Qt::Key_Z), [this] { m_logic.searchFirst(); });
    add(find, QStringLiteral("&Urmatoarea"), QKeySequence(Qt::ALT | Qt::Key_Z), [this] { m_logic.searchNext(); });
    add(document, QStringLiteral("&Listeaza"), {}, [this] { m_logic.print(); });
    add(document, QStringLiteral("Selectie articol"), QKeySequence(Qt::CTRL | Qt::Key_G),
        [this] { m_logic.selectArticleByName(); });
    if (m_ctx.parameters.CSerii && m_ctx.showSerials)
        add(document, QStringLiteral("&Serii..."), {}, [this] { m_serials->click(); });

    QToolBar* nav = makeNavigator(this, docs, m_logic, m_ctx.dialogs, [this] { return commitEdits(); },
                                  [this] { focusHeaderField(QStringLiteral("Numar")); });

    auto* top = new QWidget(this);
    auto* topLayout = new QHBoxLayout(top);
    topLayout->setContentsMargins(0, 0, 0, 0);
    topLayout->addWidget(bar);
    topLayout->addStretch(1);
    topLayout->addWidget(nav);
    m_menuRow = top;

    // The line pop-up.
    m_linePopup = new QMenu(this);
    m_linePopup->addAction(QStringLiteral("Insereaza"), this, [this] {
        if (commitEdits())
            m_logic.insertLine();
    });
    m_linePopup->addAction(QStringLiteral("Sterge"), this, [this] { m_grid->deleteRow(); });
    m_linePopup->addAction(QStringLiteral("Anuleaza"), this, [this] { m_grid->cancelRow(); });
    if (m_ctx.parameters.CSerii && m_ctx.showSerials) {
        m_linePopup->addSeparator();
        m_linePopup->addAction(QStringLiteral("Serii..."), this, [this] { m_serials->click(); });
    }
}

QList<ui::GridColumn> TDocInForm::lineColumns() const
{
    using ui::GridColumn;
    const common::Parameters& p = m_ctx.parameters;
    const QString lei = moneyMask(p.nrZecimaleLei);
    const QString currency = moneyMask(p.nrZecimaleValuta);
    const TDocInFormLogic& logic = m_logic;
    QList<GridColumn> c;
    c << GridColumn(QStringLiteral("Contor")).asHidden();
    c << GridColumn(QStringLiteral("Contor_secundar"), QStringLiteral("Nr."), 40).asHidden();
    c << GridColumn(QStringLiteral("GestName"), QStringLiteral("Gestiune"), 200)
             .withPicker()
             .withPickList(logic.warehouseNames())
             .settingKey(QStringLiteral("Cod_gestiune"), [&logic](const QString& name) { return logic.warehouseCodeOf(name); })
             .withHint(TDocInFormLogic::columnHint(QStringLiteral("Cod_gestiune")));
    GridColumn barCode(QStringLiteral("Cod_bare"), QStringLiteral("Cod de bare"), 110);
    if (!p.CodBare)
        barCode.asHidden();
    c << barCode.withHint(TDocInFormLogic::columnHint(QStringLiteral("Cod_bare")));
    c << GridColumn(QStringLiteral("Cod_grupa"), QStringLiteral("Grupa"), 60)
             .withPicker()
             .withHint(TDocInFormLogic::columnHint(QStringLiteral("Cod_grupa")));
    c << GridColumn(QStringLiteral("Cod_articol"), QStringLiteral("Cod articol"), 90)
             .withPicker()
             .withHint(TDocInFormLogic::columnHint(QStringLiteral("Cod_articol")));
    GridColumn lot(QStringLiteral("Lot"), QStringLiteral("Lot"), 60);
    if (!p.CLot)
        lot.asHidden();
    c << lot.withHint(QStringLiteral("..."));
    c << GridColumn(QStringLiteral("Denumire"), QStringLiteral("Denumire"), 220).asReadOnly().withHint(QStringLiteral("..."));
    c << GridColumn(QStringLiteral("UM"), QStringLiteral("UM"), 40).asReadOnly().withHint(QStringLiteral("..."));
    c << GridColumn(QStringLiteral("Cantitate"), QStringLiteral("Cantitate"), 70).withHint(QStringLiteral("..."));
    GridColumn net(QStringLiteral("Pret_achizitie_valuta"), QStringLiteral("Pret fara TVA"), 90);
    if (!p.CPretFaraTva)
        net.asHidden();
    c << net.withMask(currency).withHint(QStringLiteral("..."));
    c << GridColumn(QStringLiteral("Valuta"), QStringLiteral("Moneda"), 50)
             .asHidden()
             .withPickList(logic.currencies())
             .withHint(QStringLiteral("..."));
    GridColumn price(QStringLiteral("Pret_achizitie_lei"), QStringLiteral("Pret achizitie"), 90);
    if (p.CValEdit)
        price.asReadOnly();
    c << price.withMask(lei).withHint(QStringLiteral("..."));
    GridColumn value(QStringLiteral("Valoare"), QStringLiteral("Valoare"), 100);
    value.asReadOnly();
    if (p.CValEdit)
        value.asHidden();
    c << value.withMask(lei).withHint(QStringLiteral("..."));
    GridColumn typedValue(QStringLiteral("Pret_echiv_USD"), QStringLiteral("Valoarea"), 100);
    if (!p.CValEdit)
        typedValue.asHidden();
    c << typedValue.withMask(lei).withHint(QStringLiteral("..."));
    GridColumn order(QStringLiteral("Comanda"), QStringLiteral("Comanda"), 100);
    order.asReadOnly().withPicker();
    if (!p.CCom)
        order.asHidden();
    c << order.withHint(QStringLiteral("..."));
    GridColumn serials(QStringLiteral("Serii"), QStringLiteral("Serii"), 40);
    serials.withPickList({QStringLiteral("Da"), QStringLiteral("Nu")});
    if (!p.CSerii)
        serials.asHidden();
    c << serials.withHint(QStringLiteral("..."));
    c << GridColumn(QStringLiteral("TVA"), QStringLiteral("TVA"), 80).withMask(lei).withHint(QStringLiteral("..."));
    c << GridColumn(QStringLiteral("Cont_TVA_Intrari"), QStringLiteral("Cont TVA"), 80).asHidden().withHint(QStringLiteral("..."));
    c << GridColumn(QStringLiteral("Cont_marfa"), QStringLiteral("Cont marfa"), 80).asHidden().withHint(QStringLiteral("..."));
    c << GridColumn(QStringLiteral("Buget"), QStringLiteral("Buget"), 140)
             .withPicker()
             .withPickList(logic.budgetNames())
             .settingKey(QStringLiteral("Agent"), [&logic](const QString& name) { return logic.budgetCodeOf(name); })
             .withHint(QStringLiteral("..."));
    return c;
}

QList<ui::GridColumn> TDocInForm::allocationColumns() const
{
    using ui::GridColumn;
    const TDocInFormLogic& logic = m_logic;
    QList<GridColumn> c;
    c << GridColumn(QStringLiteral("TipAlocatie"), QStringLiteral("Tipul alocatiei"), 200)
             .withPickList(logic.allocationTypeNames())
             .settingKey(QStringLiteral("CodAlocatie"), [&logic](const QString& name) { return logic.allocationTypeOf(name); });
    c << GridColumn(QStringLiteral("NrPersoane"), QStringLiteral("Nr persoane"), 90);
    return c;
}

// ---- the view of the logic ---------------------------------------------------------------

bool TDocInForm::pickWarehouse(QString& code)
{
    const catalogs::PartnerServices services{m_ctx.database, m_ctx.dialogs, m_ctx.formats, m_ctx.parameters,
                                             m_ctx.privateDir};
    return catalogs::PickWarehouse(services, this, code);
}

bool TDocInForm::pickBudget(QString& code)
{
    const catalogs::PartnerServices services{m_ctx.database, m_ctx.dialogs, m_ctx.formats, m_ctx.parameters,
                                             m_ctx.privateDir};
    return catalogs::PickBudget(services, this, code);
}

bool TDocInForm::pickSupplier(QString& code)
{
    const catalogs::PartnerServices services{m_ctx.database, m_ctx.dialogs, m_ctx.formats, m_ctx.parameters,
                                             m_ctx.privateDir};
    return catalogs::PickSupplier(services, this, code);
}

std::optional<catalogs::ArticlePick> TDocInForm::pickArticles(const QString& group, const QString& article)
{
    const catalogs::ArticleCatalogContext context{m_ctx.database, m_ctx.dialogs, m_ctx.parameters, m_ctx.formats,
                                                  m_ctx.privateDir, m_ctx.showProgress};
    return catalogs::PickArticles(this, context, group, article);
}

std::optional<catalogs::ArticlePick> TDocInForm::searchArticlesByName()
{
    return catalogs::SearchArticlesByName(this, m_ctx.database, m_ctx.dialogs, m_ctx.formats);
}

bool TDocInForm::selectInterval(QDate& first, QDate& last)
{
    return ui::SelectInterval(this, m_ctx.dialogs, m_ctx.formats, first, last);
}

bool TDocInForm::askSearchCriterion(SearchState& state, bool offerSerial)
{
    return AskSearchCriterion(this, m_ctx.dialogs, state, offerSerial);
}

namespace {

const QString kReceiptNote = QStringLiteral("receipt-note");

} // namespace

bool TDocInForm::printSetup()
{
    return prints::ShowPrintSetup(this, prints::documentPrintSettings(m_ctx.printSettings, kReceiptNote),
                                  m_ctx.dialogs, prints::findDocumentPrintKind(kReceiptNote)->caption);
}

void TDocInForm::printReceipt(double contor, const QDate& registrationDate)
{
    if (m_ctx.printReceipt)
        m_ctx.printReceipt(contor, registrationDate);
    else
        prints::PrintReceiptNote(this, m_ctx.database, m_ctx.parameters, m_ctx.formats,
                                 prints::documentPrintSettings(m_ctx.printSettings, kReceiptNote), m_ctx.dialogs,
                                 contor, registrationDate);
}

void TDocInForm::printDailyList(double contor)
{
    if (m_ctx.printDailyList)
        m_ctx.printDailyList(contor);
    else
        m_ctx.dialogs.information(QStringLiteral("Functiune indisponibila in aceasta versiune."));
}

void TDocInForm::focusLineColumn(const QString& field)
{
    m_grid->setCurrentField(field);
    m_grid->setFocus();
}

void TDocInForm::focusHeaderField(const QString& field)
{
    QWidget* target = nullptr;
    if (field == u"Data_inregistrarii")
        target = m_registered;
    else if (field == u"Numar")
        target = m_number;
    else if (field == u"Data")
        target = m_date;
    else if (field == u"Tip")
        target = m_type;
    else if (field == u"Furnizor")
        target = m_supplier;
    else if (field == u"Explicatie")
        target = m_explanation;
    if (target)
        target->setFocus();
}

void TDocInForm::focusAllocations()
{
    m_allocGrid->setFocus();
}

void TDocInForm::showAllocations(bool visible)
{
    if (m_allocBox)
        m_allocBox->setVisible(visible);
}

void TDocInForm::setPrintCaption(const QString& caption)
{
    if (m_print)
        m_print->setText(caption);
}

void TDocInForm::setTitle(const QString& title)
{
    setWindowTitle(title);
}

void TDocInForm::showProgress(const QString& text)
{
    if (m_ctx.showProgress)
        m_ctx.showProgress(text);
}

void TDocInForm::showSearching(bool on)
{
    m_searchingIndicator.show(this, on);
}

// ---- events --------------------------------------------------------------------------------

bool TDocInForm::guard(const std::function<void()>& action)
{
    try {
        action();
        return true;
    } catch (...) {
        ui::reportDataError(m_ctx.dialogs, std::current_exception());
        return false;
    }
}

// A cell or field being typed goes to its record first; false when refused.
bool TDocInForm::commitEdits()
{
    if (!m_grid->commitEditor() || !m_allocGrid->commitEditor())
        return false;
    for (ui::FieldEdit* e : {m_registered, m_number, m_date, m_explanation})
        if (!e->commit())
            return false;
    if (auto* typeEdit = qobject_cast<ui::FieldEdit*>(m_type->lineEdit()); typeEdit && !typeEdit->commit())
        return false;
    return true;
}

bool TDocInForm::eventFilter(QObject* watched, QEvent* event)
{
    // Only what happens inside this window (the filter sits on the application).
    auto* w = qobject_cast<QWidget*>(watched);
    if (!w || !isAncestorOf(w))
        return QWidget::eventFilter(watched, event);
    if (event->type() == QEvent::ShortcutOverride) {
        return isDocumentWindowKey(static_cast<QKeyEvent*>(event)->keyCombination());
    }
    if (event->type() == QEvent::FocusIn) {
        QString field = watched->property("field").toString();
        if (auto* edit = qobject_cast<ui::FieldEdit*>(watched))
            field = edit->field();
        const QString hint = TDocInFormLogic::headerHint(field);
        if (!hint.isEmpty())
            showProgress(hint);
    } else if (event->type() == QEvent::KeyPress && watched == m_supplier) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            emit m_supplier->activated(m_supplier->currentIndex());
            m_explanation->setFocus();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TDocInForm::refreshTick()
{
    m_logic.refreshTick();
    // The catalogs' names offered by the pick lists, as other windows left them.
    try {
        const QList<QPair<const char*, QStringList>> lists{{"GestName", m_logic.warehouseNames()},
                                                           {"Buget", m_logic.budgetNames()},
                                                           {"Valuta", m_logic.currencies()}};
        for (const auto& [field, names] : lists)
            if (const int c = m_model->columnOf(QString::fromLatin1(field)); c >= 0)
                m_model->column(c).pickList = names;
        if (const int c = m_allocModel->columnOf(QStringLiteral("TipAlocatie")); c >= 0)
            m_allocModel->column(c).pickList = m_logic.allocationTypeNames();
        if (!m_supplier->hasFocus())
            showSupplier();
    } catch (...) {
        // the next tick tries again
    }
}

void TDocInForm::closeEvent(QCloseEvent* event)
{
    if (!commitEdits() || !m_logic.close()) {
        event->ignore();
        return;
    }
    if (m_layoutRestored) {
        m_grid->saveLayout(layoutFile(), QString::fromLatin1(kLineLayout));
        m_allocGrid->saveLayout(layoutFile(), QString::fromLatin1(kAllocationLayout));
    }
    event->accept();
}

} // namespace stock
