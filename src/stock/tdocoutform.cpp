#include "tdocoutform.h"

#include "documentchrome.h"
#include "outputprints.h"
#include "tsrchdlg.h"

#include "catalogs/tdiscountdlg.h"
#include "catalogs/tgestlookupform.h"
#include "catalogs/tpricesdlg.h"
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
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace stock {

namespace {

const char* const kLineLayout = "Lines";

} // namespace

TDocOutForm::TDocOutForm(DocOutContext context, QWidget* parent)
    : QWidget(parent), m_ctx(std::move(context)),
      m_logic(m_ctx.database, m_ctx.parameters, m_ctx.formats, m_ctx.dialogs, *this, m_ctx.userInitials)
{
    setObjectName(QStringLiteral("TDocOutForm"));
    setWindowTitle(QStringLiteral("Documente de iesire"));

    auto* header = new QWidget(this);
    buildHeader(header);

    m_model = std::make_unique<ui::DatasetModel>(m_logic.items, m_ctx.formats, m_ctx.dialogs);
    m_model->setColumns(lineColumns());
    m_grid = new ui::DataGrid(m_model.get(), this);
    m_grid->setObjectName(QStringLiteral("lines"));

    buildMenus();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 4);
    layout->addWidget(m_menuRow);
    layout->addWidget(header);
    layout->addWidget(m_grid, 1);

    connect(m_grid, &ui::DataGrid::pickerRequested, this,
            [this](const QString& field) { m_logic.pickInColumn(field); });
    connect(m_grid, &ui::DataGrid::hintChanged, this, [this](const QString& hint) { showProgress(hint); });
    m_grid->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_grid, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { m_linePopup->popup(m_grid->viewport()->mapToGlobal(at)); });

    resize(900, 560);
    // The window's own keys win over those of the line edits inside it.
    qApp->installEventFilter(this);
    AttachDocOutMenus(this, m_logic.docs, m_logic.items);
}

TDocOutForm::~TDocOutForm()
{
    qApp->removeEventFilter(this);
}

std::unique_ptr<TDocOutForm> TDocOutForm::createChild(DocOutContext context)
{
    auto form = std::make_unique<TDocOutForm>(std::move(context));
    if (!form->prepare())
        return nullptr;
    return form;
}

QString TDocOutForm::layoutFile() const
{
    return m_ctx.privateDir + QStringLiteral("docout.cfg");
}

bool TDocOutForm::prepare(const QDate& today)
{
    if (!m_logic.open(today))
        return false;
    m_grid->restoreLayout(layoutFile(), QString::fromLatin1(kLineLayout));
    m_layoutRestored = true;
    showHeaderLists();
    showClientControls(m_logic.clientControls());
    // The sale price follows the document, whatever a layout saved earlier says.
    showSalePrice(m_logic.salePriceShown());
    return true;
}

// ---- header ----------------------------------------------------------------------------

void TDocOutForm::buildHeader(QWidget* box)
{
    datastore::Dataset& docs = m_logic.docs;
    common::Dialogs& dialogs = m_ctx.dialogs;
    auto dateEdit = [&](const char* field, QWidget* parent) {
        return makeDateEdit(docs, QString::fromLatin1(field), dialogs, m_ctx.formats, parent);
    };
    auto calendar = [&](ui::FieldEdit* edit, QWidget* parent) { return makeCalendarButton(edit, docs, dialogs, parent); };

    auto* registration = new QGroupBox(QStringLiteral("Inregistrare"), box);
    m_contor = new ui::FieldEdit(docs, QStringLiteral("Contor"), dialogs, registration);
    m_contor->setReadOnly(true);
    m_contor->setFocusPolicy(Qt::NoFocus);
    m_contor->setFixedWidth(fontMetrics().horizontalAdvance(QStringLiteral("0000000000")) + 12);
    m_registered = dateEdit("Data_inregistrarii", registration);
    auto* rg = new QGridLayout(registration);
    rg->addWidget(new QLabel(QStringLiteral("Numar:"), registration), 0, 0);
    rg->addWidget(m_contor, 0, 1, 1, 2);
    auto* regLabel = new QLabel(QStringLiteral("&Data:"), registration);
    regLabel->setBuddy(m_registered);
    rg->addWidget(regLabel, 1, 0);
    rg->addWidget(m_registered, 1, 1);
    rg->addWidget(calendar(m_registered, registration), 1, 2);
    rg->setRowStretch(3, 1);

    auto* document = new QGroupBox(QStringLiteral("Document"), box);
    m_number = new ui::FieldEdit(docs, QStringLiteral("Numar"), dialogs, document);
    m_number->setFixedWidth(fontMetrics().horizontalAdvance(QStringLiteral("0000000000")) + 12);
    m_date = dateEdit("Data", document);
    m_type = new QComboBox(document);
    m_type->setEditable(true);
    auto* typeEdit = new ui::FieldEdit(docs, QStringLiteral("Tip"), dialogs, m_type);
    m_type->setLineEdit(typeEdit);
    m_type->addItems({QStringLiteral("BMC"), QStringLiteral("BLZ"), QStringLiteral("AE"), QStringLiteral("BT"),
                      QStringLiteral("NPR"), QStringLiteral("CSR")});
    m_type->setFixedWidth(fontMetrics().horizontalAdvance(QStringLiteral("WWWW")) + 40);
    typeEdit->showValue();
    connect(m_type, &QComboBox::textActivated, this,
            [this](const QString& text) { setHeaderValue(QStringLiteral("Tip"), text); });

    // "Client": the warehouse code of a transfer, or the receiving warehouse by name.
    m_clientLabel = new QLabel(QStringLiteral("&Client:"), document);
    m_client = new ui::FieldEdit(docs, QStringLiteral("Client"), dialogs, document);
    m_client->setFixedWidth(fontMetrics().horizontalAdvance(QStringLiteral("WWWWWW")) + 12);
    m_clientName = new QLabel(document);
    m_clientName->setMinimumWidth(200);
    m_receiving = new QComboBox(document);
    m_receiving->setMinimumWidth(220);
    connect(m_receiving, &QComboBox::activated, this, [this](int index) {
        if (index < 0 || index >= m_warehouseCodes.size())
            return;
        if (!guard([&] { setHeaderValue(QStringLiteral("Client"), m_warehouseCodes.at(index)); }))
            showHeaderLists();
    });

    m_explanation = new ui::FieldEdit(docs, QStringLiteral("Explicatie"), dialogs, document);
    m_beneficiary = new QComboBox(document);
    m_beneficiary->setMinimumWidth(220);
    auto* beneficiaryButton = new QToolButton(document);
    beneficiaryButton->setText(QStringLiteral("..."));
    beneficiaryButton->setToolTip(QStringLiteral("Catalogul de beneficiari"));
    beneficiaryButton->setEnabled(static_cast<bool>(m_ctx.showBeneficiaries));
    connect(beneficiaryButton, &QToolButton::clicked, this, [this] {
        if (m_ctx.showBeneficiaries)
            m_ctx.showBeneficiaries();
        showHeaderLists();
    });
    connect(m_beneficiary, &QComboBox::activated, this, [this](int index) {
        if (index < 0 || index >= m_beneficiaryCodes.size())
            return;
        if (!guard([&] { setHeaderValue(QStringLiteral("Agent"), m_beneficiaryCodes.at(index)); }))
            showHeaderLists();
    });

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
    dateRow->addWidget(calendar(m_date, document));
    dg->addLayout(dateRow, 0, 3);
    dg->addWidget(label(QStringLiteral("&Tip:"), m_type), 0, 4);
    dg->addWidget(m_type, 0, 5);
    dg->addWidget(m_clientLabel, 1, 0);
    auto* clientRow = new QHBoxLayout;
    clientRow->addWidget(m_client);
    clientRow->addWidget(m_clientName, 1);
    clientRow->addWidget(m_receiving, 1);
    dg->addLayout(clientRow, 1, 1, 1, 5);
    dg->addWidget(label(QStringLiteral("&Explicatie:"), m_explanation), 2, 0);
    dg->addWidget(m_explanation, 2, 1, 1, 5);
    dg->addWidget(label(QStringLiteral("&Beneficiar:"), m_beneficiary), 3, 0);
    auto* beneficiaryRow = new QHBoxLayout;
    beneficiaryRow->addWidget(m_beneficiary, 1);
    beneficiaryRow->addWidget(beneficiaryButton);
    beneficiaryRow->addStretch(1);
    dg->addLayout(beneficiaryRow, 3, 1, 1, 5);
    dg->setColumnStretch(6, 1);

    m_print = new QPushButton(QStringLiteral("&Listeaza"), box);
    connect(m_print, &QPushButton::clicked, this, [this] {
        if (commitEdits())
            m_logic.print();
    });
    m_transfer = new QPushButton(QStringLiteral("&Transfer"), box);
    m_transfer->setToolTip(TDocOutFormLogic::kTransferHint);
    m_transfer->setStatusTip(TDocOutFormLogic::kTransferHint);
    m_transfer->setVisible(static_cast<bool>(m_ctx.transfer));
    connect(m_transfer, &QPushButton::clicked, this, [this] {
        if (commitEdits())
            m_logic.transfer();
    });
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(m_print);
    buttons->addWidget(m_transfer);
    buttons->addStretch(1);

    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(registration);
    row->addWidget(document, 1);
    row->addLayout(buttons);

    m_beneficiary->setProperty("field", QStringLiteral("Agent"));
    m_receiving->setProperty("field", QStringLiteral("Client"));
    typeEdit->setProperty("field", QStringLiteral("Tip"));

    // The lists and the warehouse name follow the current document.
    auto follow = [this] { showHeaderLists(); };
    connect(&m_logic.docs, &datastore::Dataset::currentChanged, this, follow);
    connect(&m_logic.docs, &datastore::Dataset::reset, this, follow);
    connect(&m_logic.docs, &datastore::Dataset::rowChanged, this, follow);
    connect(&m_logic.docs, &datastore::Dataset::rowChanged, typeEdit, [typeEdit] {
        if (!typeEdit->hasFocus())
            typeEdit->showValue();
    });
}

void TDocOutForm::setHeaderValue(const QString& field, const QVariant& value)
{
    guard([&] {
        if (!m_logic.docs.isEditing())
            m_logic.docs.edit();
        m_logic.docs.setValue(field, value);
    });
}

void TDocOutForm::showHeaderLists()
{
    const datastore::Dataset& docs = m_logic.docs;
    const bool current = docs.isOpen() && docs.recNo() >= 0;
    const QString agent = current ? docs.value(QStringLiteral("Agent")).toString() : QString();
    const QString client = current ? docs.value(QStringLiteral("Client")).toString() : QString();
    QStringList beneficiaries;
    QStringList warehouses;
    m_beneficiaryCodes.clear();
    m_warehouseCodes.clear();
    try {
        datastore::Query q =
            m_ctx.database.query(QStringLiteral("SELECT Init, Name FROM \"User.db\" ORDER BY Name, Init"));
        while (q.next()) {
            m_beneficiaryCodes << q.value(0).toString();
            beneficiaries << q.value(1).toString();
        }
        datastore::Query w =
            m_ctx.database.query(QStringLiteral("SELECT Cod, Denumire FROM \"Gest.db\" ORDER BY Denumire, Cod"));
        while (w.next()) {
            m_warehouseCodes << w.value(0).toString();
            warehouses << w.value(1).toString();
        }
    } catch (...) {
        // the lists stay as they are; the document keeps its values
    }
    {
        const QSignalBlocker block(m_beneficiary);
        m_beneficiary->clear();
        m_beneficiary->addItems(beneficiaries);
        m_beneficiary->setCurrentIndex(agent.isEmpty() ? -1 : static_cast<int>(m_beneficiaryCodes.indexOf(agent)));
    }
    {
        const QSignalBlocker block(m_receiving);
        m_receiving->clear();
        m_receiving->addItems(warehouses);
        m_receiving->setCurrentIndex(client.isEmpty() ? -1 : static_cast<int>(m_warehouseCodes.indexOf(client)));
    }
    m_clientName->setText(current ? docs.value(QStringLiteral("DenCln")).toString() : QString());
}

void TDocOutForm::showClientControls(ClientControls controls)
{
    if (!m_clientLabel)
        return;
    const bool code = controls == ClientControls::Warehouse;
    const bool byName = controls == ClientControls::ReceivingWarehouse;
    m_clientLabel->setVisible(code || byName);
    m_clientLabel->setText(byName ? QStringLiteral("Gestiune primitoare:") : QStringLiteral("&Client:"));
    m_clientLabel->setBuddy(byName ? static_cast<QWidget*>(m_receiving) : m_client);
    m_client->setVisible(code);
    m_clientName->setVisible(code);
    m_receiving->setVisible(byName);
}

// ---- menus and navigator ---------------------------------------------------------------

void TDocOutForm::buildMenus()
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
    QMenu* show = document->addMenu(QStringLiteral("&Afiseaza"));
    QAction* all = add(show, QStringLiteral("&Integral"), {}, [this] { m_logic.showAll(); });
    add(show, QStringLiteral("&Perioada"), {}, [this] { m_logic.selectPeriod(); });
    connect(show, &QMenu::aboutToShow, this, [this, all] { all->setEnabled(m_logic.periodActive()); });
    QMenu* find = document->addMenu(QStringLiteral("Cauta"));
    add(find, QStringLiteral("&Prima aparitie..."), QKeySequence(Qt::CTRL | Qt::Key_Z), [this] { m_logic.searchFirst(); });
    add(find, QStringLiteral("Urmatoarea"), QKeySequence(Qt::ALT | Qt::Key_Z), [this] { m_logic.searchNext(); });
    QAction* discount =
        add(document, QStringLiteral("Aplica &discount"), {}, [this] { m_logic.ApplyDocumentDiscount(); });
    discount->setStatusTip(TDocOutFormLogic::kDiscountHint);
    connect(discount, &QAction::hovered, this, [this] { showProgress(TDocOutFormLogic::kDiscountHint); });
    add(document, QStringLiteral("&Total"), QKeySequence(Qt::CTRL | Qt::Key_T), [this] { m_logic.showTotals(); });
    add(document, QStringLiteral("&Listeaza"), {}, [this] { m_logic.print(); });
    QAction* transfer =
        add(document, QStringLiteral("T&ransfer"), QKeySequence(Qt::CTRL | Qt::Key_R), [this] { m_logic.transfer(); });
    transfer->setEnabled(static_cast<bool>(m_ctx.transfer));
    transfer->setStatusTip(TDocOutFormLogic::kTransferMenuHint);
    connect(transfer, &QAction::hovered, this, [this] { showProgress(TDocOutFormLogic::kTransferMenuHint); });

    QToolBar* nav = makeNavigator(this, docs, m_logic, m_ctx.dialogs, [this] { return commitEdits(); },
                                  [this] { focusHeaderField(QStringLiteral("Numar")); });

    auto* top = new QWidget(this);
    auto* topLayout = new QHBoxLayout(top);
    topLayout->setContentsMargins(0, 0, 0, 0);
    topLayout->addWidget(bar);
    topLayout->addStretch(1);
    topLayout->addWidget(nav);
    m_menuRow = top;

    m_linePopup = new QMenu(this);
    m_linePopup->addAction(QStringLiteral("Insereaza"), this, [this] {
        if (commitEdits())
            m_logic.insertLine();
    });
    m_linePopup->addAction(QStringLiteral("Sterge"), this, [this] { m_grid->deleteRow(); });
    m_linePopup->addAction(QStringLiteral("Anuleaza"), this, [this] {
        m_grid->commitEditor();
        m_logic.cancelLine();
    });
}

QList<ui::GridColumn> TDocOutForm::lineColumns() const
{
    using ui::GridColumn;
    const common::Parameters& p = m_ctx.parameters;
    const QString lei = moneyMask(p.nrZecimaleLei);
    const QString stockHint = TDocOutFormLogic::columnHint(QStringLiteral("Cod_articol"));
    QList<GridColumn> c;
    c << GridColumn(QStringLiteral("Contor")).asHidden();
    c << GridColumn(QStringLiteral("Contor_secundar"), QStringLiteral("Nr."), 40).asHidden();
    c << GridColumn(QStringLiteral("GestName"), QStringLiteral("Gestiune"), 200).asReadOnly().withPicker().withHint(stockHint);
    c << GridColumn(QStringLiteral("Cod_grupa"), QStringLiteral("Grupa"), 60).asReadOnly().withPicker().withHint(stockHint);
    c << GridColumn(QStringLiteral("Cod_articol"), QStringLiteral("Cod articol"), 90)
             .asReadOnly()
             .withPicker()
             .withHint(stockHint);
    c << GridColumn(QStringLiteral("Denumire"), QStringLiteral("Denumire"), 220).asReadOnly().withHint(QStringLiteral("..."));
    c << GridColumn(QStringLiteral("UM"), QStringLiteral("UM"), 40).asReadOnly().withHint(QStringLiteral("..."));
    GridColumn lot(QStringLiteral("Lot"), QStringLiteral("Lot"), 60);
    lot.asReadOnly();
    if (!p.CLot)
        lot.asHidden();
    c << lot.withHint(QStringLiteral("..."));
    c << GridColumn(QStringLiteral("Cantitate"), QStringLiteral("Cantitate"), 70).withHint(QStringLiteral("..."));
    c << GridColumn(QStringLiteral("Pret_achizitie"), QStringLiteral("Pret"), 90)
             .asReadOnly()
             .withPicker()
             .withMask(lei)
             .withHint(TDocOutFormLogic::columnHint(QStringLiteral("Pret_achizitie")));
    c << GridColumn(QStringLiteral("Val"), QStringLiteral("Valoare"), 100).asReadOnly().withMask(lei).withHint(QStringLiteral("..."));
    // Typed unless it is calculated from the mark-up; shown by showSalePrice.
    GridColumn sale(QStringLiteral("Pret_vinzare"), QStringLiteral("Pret vînzare"), 90);
    if (!m_logic.salePriceTyped())
        sale.asReadOnly();
    c << sale.withMask(lei).withHint(QStringLiteral("..."));
    c << GridColumn(QStringLiteral("TVA"), QStringLiteral("TVA"), 80).asReadOnly().withMask(lei).withHint(QStringLiteral("..."));
    c << GridColumn(QStringLiteral("Buget"), QStringLiteral("Buget"), 140).asReadOnly().withHint(QStringLiteral("..."));
    c << GridColumn(QStringLiteral("Pret_vz_echiv_USD"), QStringLiteral("Pret echivalent ") + p.CVal, 90)
             .asHidden()
             .asReadOnly()
             .withHint(QStringLiteral("..."));
    return c;
}

// ---- the view of the logic ---------------------------------------------------------------

bool TDocOutForm::pickStockLine(StockLinePick& pick)
{
    return m_ctx.pickStockLine && m_ctx.pickStockLine(this, pick);
}

std::optional<double> TDocOutForm::pickPurchasePrice(const QString& warehouse, const QString& group,
                                                     const QString& article)
{
    return catalogs::PickPurchasePrice(this, m_ctx.database, m_ctx.dialogs, m_ctx.formats, m_ctx.parameters,
                                       warehouse, group, article);
}

bool TDocOutForm::pickWarehouse(QString& code)
{
    const catalogs::PartnerServices services{m_ctx.database, m_ctx.dialogs, m_ctx.formats, m_ctx.parameters,
                                             m_ctx.privateDir};
    return catalogs::PickWarehouse(services, this, code);
}

bool TDocOutForm::selectInterval(QDate& first, QDate& last)
{
    return ui::SelectInterval(this, m_ctx.dialogs, m_ctx.formats, first, last);
}

bool TDocOutForm::askSearchCriterion(SearchState& state, bool offerSerial)
{
    return AskSearchCriterion(this, m_ctx.dialogs, state, offerSerial);
}

bool TDocOutForm::choosePrints(int& printSet, prints::PrintOptions& options)
{
    return m_ctx.choosePrints && m_ctx.choosePrints(this, printSet, options);
}

bool TDocOutForm::printSetup(const OutputPrintJob& job)
{
    return prints::ShowPrintSetup(this, outputPrintSettings(m_ctx.printSettings, job.kind), m_ctx.dialogs,
                                  outputPrintCaption(job.kind));
}

void TDocOutForm::printDocument(const OutputPrintJob& job)
{
    if (m_ctx.printDocument)
        m_ctx.printDocument(job);
    else
        m_ctx.dialogs.information(QStringLiteral("Functiune indisponibila in aceasta versiune."));
}

bool TDocOutForm::askTransfer(TransferOptions& options)
{
    return m_ctx.transfer && m_ctx.transfer(this, options);
}

bool TDocOutForm::askDiscount(double& percent)
{
    return catalogs::AskDiscount(this, percent);
}

void TDocOutForm::closeWindow()
{
    // After the handler that asked it has returned; the frame of a child window with it.
    QWidget* frame = qobject_cast<QMdiSubWindow*>(parentWidget()) ? parentWidget() : this;
    QMetaObject::invokeMethod(frame, &QWidget::close, Qt::QueuedConnection);
}

void TDocOutForm::focusLineColumn(const QString& field)
{
    m_grid->setCurrentField(field);
    m_grid->setFocus();
}

void TDocOutForm::focusHeaderField(const QString& field)
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
    else if (field == u"Client")
        target = m_receiving->isVisible() ? static_cast<QWidget*>(m_receiving) : m_client;
    else if (field == u"Explicatie")
        target = m_explanation;
    else if (field == u"Agent")
        target = m_beneficiary;
    if (target)
        target->setFocus();
}

void TDocOutForm::showSalePrice(bool shown)
{
    if (!m_grid)
        return;
    const int column = m_model->columnOf(QStringLiteral("Pret_vinzare"));
    if (column >= 0 && m_grid->isColumnHidden(column) == shown)
        m_grid->setColumnHidden(column, !shown);
}

void TDocOutForm::setTitle(const QString& title)
{
    setWindowTitle(title);
}

void TDocOutForm::showProgress(const QString& text)
{
    if (m_ctx.showProgress)
        m_ctx.showProgress(text);
}

void TDocOutForm::showSearching(bool on)
{
    m_searchingIndicator.show(this, on);
}

// ---- events --------------------------------------------------------------------------------

bool TDocOutForm::guard(const std::function<void()>& action)
{
    try {
        action();
        return true;
    } catch (...) {
        ui::reportDataError(m_ctx.dialogs, std::current_exception());
        return false;
    }
}

bool TDocOutForm::commitEdits()
{
    if (!m_grid->commitEditor())
        return false;
    for (ui::FieldEdit* e : {m_registered, m_number, m_date, m_client, m_explanation})
        if (!e->isHidden() && !e->commit())
            return false;
    if (auto* typeEdit = qobject_cast<ui::FieldEdit*>(m_type->lineEdit()); typeEdit && !typeEdit->commit())
        return false;
    return true;
}

bool TDocOutForm::eventFilter(QObject* watched, QEvent* event)
{
    auto* w = qobject_cast<QWidget*>(watched);
    if (!w || !isAncestorOf(w))
        return QWidget::eventFilter(watched, event);
    if (event->type() == QEvent::ShortcutOverride) {
        // Ctrl-R ("T&ransfer") too.
        return isDocumentWindowKey(static_cast<QKeyEvent*>(event)->keyCombination(),
                                   {QKeyCombination(Qt::ControlModifier, Qt::Key_R)});
    }
    if (event->type() == QEvent::FocusIn) {
        QString field = watched->property("field").toString();
        if (auto* edit = qobject_cast<ui::FieldEdit*>(watched))
            field = edit->field();
        const QString hint = TDocOutFormLogic::headerHint(field);
        if (!hint.isEmpty())
            showProgress(hint);
    } else if (event->type() == QEvent::KeyPress && watched == m_client) {
        auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && (key->modifiers() & Qt::ControlModifier)) {
            if (m_client->commit())
                m_logic.pickClient();
            return true;
        }
    } else if (event->type() == QEvent::MouseButtonDblClick && watched == m_client) {
        if (m_client->commit())
            m_logic.pickClient();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void TDocOutForm::refreshTick()
{
    m_logic.refreshTick();
    if (!m_beneficiary->hasFocus() && !m_receiving->hasFocus())
        showHeaderLists();
}

void TDocOutForm::closeEvent(QCloseEvent* event)
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
