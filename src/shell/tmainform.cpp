#include "tmainform.h"

#include "reports/reportlist.h"
#include "reports/selectiondialogs.h"

#include "artwork.h"
#include "taboutbox.h"
#include "tdbvalidmsgform.h"
#include "tdefaultdlg.h"
#include "tfirmdatadlg.h"
#include "timgoptdlg.h"
#include "tmessageform.h"
#include "trefreshdlg.h"
#include "tuserform.h"

#include "catalogs/tcatlookupform.h"
#include "stock/tdocinform.h"
#include "stock/tdocoutform.h"
#include "stock/outputprints.h"
#include "prints/chooseprints.h"
#include "prints/documentprints.h"
#include "prints/noteprints.h"
#include "stock/recalculation.h"
#include "stock/tconsdlg.h"
#include "stock/tinistockform.h"
#include "stock/tseriiform.h"
#include "stock/tstockform.h"
#include "stock/ttransferdocdlg.h"
#include "catalogs/tclientlookupform.h"
#include "catalogs/tcurrenciesform.h"
#include "catalogs/tdiscgrilaform.h"
#include "catalogs/tgroupeditorform.h"
#include "catalogs/tfurnlookupform.h"
#include "catalogs/tgestlookupform.h"

#include <QAction>
#include <algorithm>
#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QIcon>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcut>
#include <QStatusBar>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace shell {

namespace {
constexpr const char* kEnabledProperty = "mirafelEnabled";
} // namespace

// ---------------------------------------------------------------------------
// TMdiClient

void TMdiClient::setBackgroundPicture(const QImage& picture)
{
    m_picture = picture;
    viewport()->update();
}

QList<QPoint> TMdiClient::tileOrigins(QSize client, QSize picture)
{
    QList<QPoint> origins;
    if (picture.width() <= 0 || picture.height() <= 0)
        return origins;
    const int columns = client.width() / picture.width() + 1;
    const int rows = client.height() / picture.height() + 1;
    origins.reserve(columns * rows);
    for (int row = 0; row < rows; ++row)
        for (int column = 0; column < columns; ++column)
            origins.append(QPoint(column * picture.width(), row * picture.height()));
    return origins;
}

void TMdiClient::paintEvent(QPaintEvent* event)
{
    if (m_picture.isNull()) {
        QMdiArea::paintEvent(event);
        return;
    }
    QPainter p(viewport());
    for (const QPoint& origin : tileOrigins(viewport()->size(), m_picture.size()))
        p.drawImage(origin, m_picture);
}

// ---------------------------------------------------------------------------
// TLogoLabel

TLogoLabel::TLogoLabel(QWidget* parent) : QLabel(parent)
{
    setPixmap(artwork::logo(QSize(112, 30)));
    setCursor(Qt::PointingHandCursor);
    setToolTip(QStringLiteral("Despre program"));
    setStatusTip(QStringLiteral(" Autorul, contactul si versiunea programului"));
}

void TLogoLabel::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        emit clicked();
    QLabel::mousePressEvent(event);
}

// ---------------------------------------------------------------------------
// TMainForm

TMainForm::TMainForm(AppContext& context, datastore::OpeningSteps* steps, QWidget* parent)
    : QMainWindow(parent), m_ctx(context), m_logic(std::make_unique<MainFormLogic>(context, static_cast<MainFormHost&>(*this), steps))
{
    setWindowTitle(QLatin1String(kTitleNoDatabase));
    setWindowIcon(QIcon(artwork::applicationIcon(32)));
    resize(1024, 700);

    // The MDI client with its own background painting.
    m_mdi = new TMdiClient(this);
    m_mdi->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdi->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_mdi, 1);
    setCentralWidget(central);

    buildMenus();
    buildBottomPanel();
    installParameterCommands();
    installPeopleAndFirmCommands();
    installCatalogCommands();
    installDocumentCommands();
    installStockCommands();
    installRecalculationCommands();
    installReportCommands();
    layout->addWidget(findChild<QWidget*>(QStringLiteral("SpeedButtonPanel")));

    // The status line: hints of menus and buttons, and ShowProgress texts.
    statusBar()->setSizeGripEnabled(true);

    // The window commands follow the active child window.
    connect(m_mdi, &QMdiArea::subWindowActivated, this, [this] { updateWindowCommands(); });
    updateWindowCommands();

    // The refresh timer runs at its design interval until the start-up reads Refresh.
    m_refreshTimer.setInterval(kDefaultRefreshSeconds * 1000);
    connect(&m_refreshTimer, &QTimer::timeout, this, [this] { sendRefreshTick(); });
    m_refreshTimer.start();

    m_startUpTimer.setSingleShot(true);
    m_startUpTimer.setInterval(3000);
    connect(&m_startUpTimer, &QTimer::timeout, this, [this] {
        m_startUpTimer.stop();
        // The start-up version steps: the version text of this program; the
        // hint extension and the automatic online check are added with the
        // version check.
        m_ctx.versionText = versionString();
    });
}

TMainForm::~TMainForm()
{
    m_refreshTimer.stop();
    m_startUpTimer.stop();
    // The child windows go with the MDI area after this object is gone: they
    // must not call back into it.
    disconnect(m_mdi, nullptr, this, nullptr);
    // (closed ones waiting for deletion included).
    for (QMdiSubWindow* sub : m_mdi->findChildren<QMdiSubWindow*>())
        disconnect(sub, nullptr, this, nullptr);
    delete m_workMessage.data();
}

bool TMainForm::startUp()
{
    const bool completed = m_logic->startUp();
    m_startUpTimer.start();
    return completed;
}

// ---- menus and speed buttons ----------------------------------------------

void TMainForm::buildMenus()
{
    for (const MenuEntry& entry : menuEntries()) {
        QMenu* parentMenu = entry.path.isEmpty() ? nullptr : m_menus.value(entry.parentKey());
        switch (entry.kind) {
        case EntryKind::Menu: {
            QMenu* menu = parentMenu ? parentMenu->addMenu(entry.caption) : menuBar()->addMenu(entry.caption);
            menu->menuAction()->setVisible(entry.shown);
            menu->menuAction()->setEnabled(entry.enabled);
            m_menus.insert(entry.menuKey(), menu);
            break;
        }
        case EntryKind::Separator:
            if (parentMenu)
                parentMenu->addSeparator();
            break;
        case EntryKind::Item: {
            if (!parentMenu)
                break;
            QAction* act = parentMenu->addAction(entry.caption);
            act->setVisible(entry.shown);
            setItemEnabled(act, entry.enabled);
            if (!entry.shortcut.isEmpty())
                act->setShortcut(QKeySequence(entry.shortcut, QKeySequence::PortableText));
            if (!entry.hint.isEmpty())
                act->setStatusTip(entry.hint);
            act->setCheckable(entry.checkable);
            act->setChecked(entry.checked);
            const CommandId id = entry.command;
            if (entry.checkable) {
                connect(act, &QAction::toggled, this, [this, id](bool on) {
                    if (id == CommandId::ToolbarVisible)
                        m_logic->toolbarChecked = on;
                    else if (id == CommandId::GermanReports)
                        m_logic->germanReportsChecked = on;
                });
            } else {
                connect(act, &QAction::triggered, this, [this, id] { runCommand(id); });
            }
            // Shortcuts of items this edition hides still work.
            if (!entry.shortcut.isEmpty() && !isVisibleInMenuBar(entry)) {
                auto* shortcut = new QShortcut(QKeySequence(entry.shortcut, QKeySequence::PortableText), this);
                const auto fire = [act] { act->trigger(); }; // a disabled item ignores it
                connect(shortcut, &QShortcut::activated, this, fire);
                connect(shortcut, &QShortcut::activatedAmbiguously, this, fire);
            }
            m_actions.emplace_back(&entry, act);
            break;
        }
        }
    }
    m_logic->toolbarChecked = action(CommandId::ToolbarVisible)->isChecked();
    m_logic->germanReportsChecked = action(CommandId::GermanReports)->isChecked();
}

void TMainForm::buildBottomPanel()
{
    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("SpeedButtonPanel"));
    panel->setFrameShape(QFrame::StyledPanel);
    panel->setFrameShadow(QFrame::Raised);
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(4, 3, 4, 3);
    row->setSpacing(2);
    for (const SpeedButtonDef& def : speedButtons()) {
        auto* button = new QToolButton(panel);
        button->setText(def.caption);
        button->setStatusTip(def.hint);
        button->setToolTip(def.hint.trimmed());
        button->setAutoRaise(true);
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
        button->setMinimumWidth(78);
        button->setFocusPolicy(Qt::NoFocus);
        const CommandId id = def.command;
        connect(button, &QToolButton::clicked, this, [this, id] { runCommand(id); });
        row->addWidget(button);
        m_speedButtons.append(button);
    }
    row->addStretch(1);
    m_logo = new TLogoLabel(panel);
    // The institution has no web site of the program: the logo tells who made
    // it, how to reach them and which version runs.
    connect(m_logo, &TLogoLabel::clicked, this, [this] { showAbout(); });
    row->addWidget(m_logo);
}

QAction* TMainForm::action(CommandId command) const
{
    for (const auto& [entry, act] : m_actions)
        if (entry->command == command)
            return act;
    return nullptr;
}

QAction* TMainForm::findAction(const QStringList& path, const QString& caption) const
{
    for (const auto& [entry, act] : m_actions)
        if (entry->path == path && entry->caption == caption)
            return act;
    return nullptr;
}

QMenu* TMainForm::findMenu(const QString& menuKey) const
{
    return m_menus.value(menuKey);
}

void TMainForm::setItemEnabled(QAction* item, bool enabled)
{
    // A hidden action always reports itself disabled; the item's own state is
    // kept beside it and takes effect when the item is shown or triggered.
    item->setEnabled(enabled);
    item->setProperty(kEnabledProperty, enabled);
}

bool TMainForm::isItemEnabled(const QAction* item)
{
    return item && item->property(kEnabledProperty).toBool();
}

void TMainForm::setCommandHandler(CommandId command, std::function<void()> handler)
{
    m_handlers[command] = std::move(handler);
}

void TMainForm::runCommand(CommandId command)
{
    runReported(m_ctx.dialogs, [&] {
        switch (command) {
        case CommandId::Parameters:
        case CommandId::OnlineUpdate:
            // These work on the whole database: no child window may be open.
            if (childWindowCount() > 0) {
                m_ctx.dialogs.warning(QLatin1String(kCloseAllWindowsMessage));
                return;
            }
            break;
        default:
            break;
        }

        if (const auto it = m_handlers.find(command); it != m_handlers.end()) {
            if (it->second)
                it->second();
            return;
        }

        switch (command) {
        case CommandId::SelectDatabase:
            m_logic->selectDatabase();
            break;
        case CommandId::DeleteLayoutFiles:
            m_logic->deleteLayoutFiles();
            break;
        case CommandId::Exit:
            close();
            break;
        case CommandId::CloseWindow:
            if (QMdiSubWindow* active = m_mdi->activeSubWindow())
                active->close();
            break;
        case CommandId::CloseAll:
            closeAllChildren();
            break;
        case CommandId::Cascade:
            cascadeChildren();
            break;
        case CommandId::Tile:
            m_mdi->tileSubWindows();
            break;
        case CommandId::ToolbarVisible:
        case CommandId::GermanReports:
            if (QAction* act = action(command))
                act->toggle();
            break;
        case CommandId::About:
            showAbout();
            break;
        case CommandId::None:
            break;
        default:
            // Help has no help file in this edition; the other commands get
            // their handlers from the modules that own their windows, and
            // until then say so.
            m_ctx.dialogs.information(QLatin1String(kUnavailableMessage));
            break;
        }
    });
}

// ---- parameters and settings dialogs ------------------------------------------

void TMainForm::installParameterCommands()
{
    common::LoadOptions(m_ctx.parameters, m_ctx.ini);

    m_logic->hooks.loadParameters = [this] {
        const common::LoadedParameters loaded = common::LoadParameters(
            m_ctx.parameters, m_ctx.formats, m_ctx.databaseDir + QLatin1String(common::kDefinitionFileName));
        QAction* convert = action(CommandId::ConvertToRon);
        convert->setVisible(loaded.convertToRonVisible);
        setItemEnabled(convert, loaded.convertToRonVisible);
    };
    setCommandHandler(CommandId::Parameters, [this] {
        DefaultDlgLogic logic(m_ctx.parameters, m_ctx.formats, m_ctx.ini,
                              m_ctx.databaseDir + QLatin1String(common::kDefinitionFileName), m_ctx.dialogs);
        TDefaultDlg dialog(logic, DefaultDlgLogic::currencies(m_ctx.database), m_ctx.dialogs, this);
        dialog.exec();
    });
    setCommandHandler(CommandId::RefreshInterval, [this] {
        RefreshDlgLogic logic(m_ctx.parameters, m_ctx.ini, [this](int ms) { setRefreshInterval(ms); });
        TRefreshDlg dialog(logic, m_ctx.dialogs, this);
        dialog.exec();
    });
    setCommandHandler(CommandId::Images, [this] {
        ImgOptDlgLogic logic(m_ctx.parameters, m_ctx.ini, m_ctx.dialogs);
        TImgOptDlg dialog(logic, m_ctx.dialogs, this);
        dialog.exec();
    });
}

void TMainForm::showAbout()
{
    TAboutBox box(versionString(), this);
    box.exec();
}

// ---- child windows --------------------------------------------------------

QMdiSubWindow* TMainForm::addChildWindow(QWidget* widget)
{
    // The size the window asked for (its own or its hint, whichever is
    // larger: what its grids need), within the client area.
    const QSize hint = widget->sizeHint();
    const QSize wanted = widget->testAttribute(Qt::WA_Resized) ? widget->size().expandedTo(hint) : hint;
    // Usual MDI behaviour: while the active child is maximised, a new one opens maximised.
    const QMdiSubWindow* active = m_mdi->activeSubWindow();
    const bool maximised = active && active->isMaximized() && !active->isHidden();
    QMdiSubWindow* sub = m_mdi->addSubWindow(widget);
    sub->setAttribute(Qt::WA_DeleteOnClose);

    if (widget->windowIcon().cacheKey() == QApplication::windowIcon().cacheKey())
        sub->setWindowIcon(windowIcon()); // no icon of its own: the program's
    connect(sub, &QObject::destroyed, this, [this] { updateWindowCommands(); });
    if (maximised) {
        sub->showMaximized();
        m_mdi->setActiveSubWindow(sub);
        updateWindowCommands();
        return sub;
    }
    sub->show();
    if (wanted.isValid()) {
        const QSize client = m_mdi->viewport()->size();
        const QSize frame = sub->size() - widget->size();
        sub->resize((wanted + frame).boundedTo(client));
        // and wholly inside the client area
        QPoint at = sub->pos();
        at.setX(std::max(0, std::min(at.x(), client.width() - sub->width())));
        at.setY(std::max(0, std::min(at.y(), client.height() - sub->height())));
        sub->move(at);
    }
    m_mdi->setActiveSubWindow(sub);
    updateWindowCommands();
    return sub;
}

QMdiSubWindow* TMainForm::openSingleInstance(const QString& key, const std::function<QWidget*()>& create)
{
    if (QMdiSubWindow* existing = singleInstanceWindow(key)) {
        if (existing->isMinimized())
            existing->showNormal();
        m_mdi->setActiveSubWindow(existing);
        existing->raise();
        return existing;
    }
    QWidget* widget = create();
    if (!widget)
        return nullptr;
    QMdiSubWindow* sub = addChildWindow(widget);
    m_singleInstances.insert(key, sub);
    return sub;
}

QMdiSubWindow* TMainForm::singleInstanceWindow(const QString& key) const
{
    const QPointer<QMdiSubWindow> sub = m_singleInstances.value(key);
    return (sub && !sub->isHidden()) ? sub.data() : nullptr;
}

QList<QMdiSubWindow*> TMainForm::childWindows() const
{
    QList<QMdiSubWindow*> open;
    for (QMdiSubWindow* sub : m_mdi->subWindowList(QMdiArea::CreationOrder))
        if (sub && !sub->isHidden())
            open.append(sub);
    return open;
}

int TMainForm::childWindowCount() const
{
    return int(childWindows().size());
}

void TMainForm::sendRefreshTick()
{
    QList<QPointer<QMdiSubWindow>> children;
    for (QMdiSubWindow* sub : childWindows())
        children.append(sub);
    for (const QPointer<QMdiSubWindow>& sub : children) {
        if (!sub || sub->isHidden())
            continue; // closed by an earlier child's refresh
        if (auto* target = dynamic_cast<RefreshTarget*>(sub->widget()))
            target->refreshTick();
    }
}

void TMainForm::cascadeChildren()
{
    // Each window three quarters of the client area, one title bar lower and
    // to the right than the one before; QMdiArea's own cascade shrinks the
    // windows to their size hints.
    const QSize client = m_mdi->viewport()->size();
    const QSize size(qMax(200, client.width() * 3 / 4), qMax(150, client.height() * 3 / 4));
    const int step = style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this) + 4;
    const int maxSteps = qMax(1, qMin((client.width() - size.width()) / step, (client.height() - size.height()) / step) + 1);
    int i = 0;
    QMdiSubWindow* active = m_mdi->activeSubWindow();
    for (QMdiSubWindow* sub : m_mdi->subWindowList(QMdiArea::StackingOrder)) {
        if (sub->isHidden() || sub->isMinimized())
            continue;
        if (sub->isMaximized())
            sub->showNormal();
        const int k = i++ % maxSteps;
        sub->setGeometry(QRect(QPoint(k * step, k * step), size));
        sub->raise();
    }
    if (active)
        m_mdi->setActiveSubWindow(active);
}

void TMainForm::closeAllChildren()
{
    QList<QMdiSubWindow*> children = childWindows();
    for (auto it = children.rbegin(); it != children.rend(); ++it)
        (*it)->close();
    updateWindowCommands();
}

void TMainForm::updateWindowCommands()
{
    const bool anyChild = childWindowCount() > 0;
    for (const auto& [entry, act] : m_actions)
        if (isWindowCommand(entry->command))
            setItemEnabled(act, anyChild);
}

// ---- services ---------------------------------------------------------------

void TMainForm::ShowProgress(const QString& text)
{
    statusBar()->showMessage(text);
    statusBar()->repaint();
}

void TMainForm::ShowWorkMessage(QWidget* owner, const QString& text)
{
    if (!m_workMessage)
        m_workMessage = new TMessageForm(owner ? owner : this);
    m_workMessage->setText(text);
    m_workMessage->show();
    m_workMessage->repaint();
}

void TMainForm::CloseWorkMessage()
{
    if (!m_workMessage)
        return;
    m_workMessage->hide();
    if (isVisible())
        repaint();
    delete m_workMessage.data();
}

void TMainForm::bringToFront()
{
    if (isMinimized())
        setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    show();
    raise();
    activateWindow();
}

void TMainForm::closeEvent(QCloseEvent* event)
{
    closeAllChildren();
    if (childWindowCount() > 0) {
        event->ignore(); // a child window refused to close
        return;
    }
    if (!m_shutDown) {
        m_shutDown = true;
        CloseWorkMessage();
        m_refreshTimer.stop();
        runReported(m_ctx.dialogs, [this] { m_logic->shutDown(); });
    }
    event->accept();
}

// ---- MainFormHost -----------------------------------------------------------

void TMainForm::setTitle(const QString& title)
{
    setWindowTitle(title);
}

void TMainForm::setRefreshInterval(int milliseconds)
{
    if (milliseconds <= 0) {
        m_refreshTimer.stop();
        return;
    }
    m_refreshTimer.start(milliseconds);
}

void TMainForm::setBackgroundPicture(const QImage& picture)
{
    m_mdi->setBackgroundPicture(picture);
}

void TMainForm::setBusyCursor(bool busy)
{
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

std::unique_ptr<OpeningWindow> TMainForm::createOpeningWindow()
{
    return std::make_unique<TDBValidMsgForm>(m_ctx.dialogs, this);
}

// ---- print settings, firm data, keepers and beneficiaries ---------------------

void TMainForm::installPeopleAndFirmCommands()
{
    // The print parameters of each print live from start-up to exit.
    m_logic->hooks.readPrintSettings = [this] { m_ctx.printSettings.read(); };
    m_logic->hooks.writePrintSettings = [this] { m_ctx.printSettings.write(); };

    setCommandHandler(CommandId::FirmData, [this] {
        m_ctx.parameters.FirmNo =
            TFirmDataDlg::run(m_ctx.database, m_ctx.dialogs, m_ctx.parameters.FirmNo,
                              m_ctx.databaseDir + QLatin1String(common::kDefinitionFileName), this);
    });
    setCommandHandler(CommandId::KeepersBeneficiaries,
                      [this] { TUserForm::run(m_ctx.database, m_ctx.dialogs, m_ctx.formats, this); });
}

// ---- catalogs -------------------------------------------------------------------

void TMainForm::installCatalogCommands()
{
    auto services = [this] {
        return catalogs::PartnerServices{m_ctx.database, m_ctx.dialogs, m_ctx.formats, m_ctx.parameters,
                                         m_ctx.privateDir};
    };
    setCommandHandler(CommandId::Articles, [this] {
        openSingleInstance(QStringLiteral("Articles"), [this]() -> QWidget* {
            const catalogs::ArticleCatalogContext context{m_ctx.database, m_ctx.dialogs, m_ctx.parameters,
                                                          m_ctx.formats, m_ctx.privateDir,
                                                          [this](const QString& text) { ShowProgress(text); }};
            auto form = std::make_unique<catalogs::TCatLookupForm>(context, catalogs::ArticleCatalogRole::Catalog);
            if (!form->prepare())
                return nullptr;
            return form.release();
        });
    });
    setCommandHandler(CommandId::MaterialGroups, [this, services] {
        openSingleInstance(QStringLiteral("MaterialGroups"), [&]() -> QWidget* {
            std::unique_ptr<catalogs::TGroupEditorForm> form = catalogs::TGroupEditorForm::createChild(services());
            if (!form)
                return nullptr;
            // The article window shows the classes and groups as they are now.
            connect(form.get(), &catalogs::TGroupEditorForm::changed, this, [this] {
                if (QMdiSubWindow* articles = singleInstanceWindow(QStringLiteral("Articles")))
                    if (auto* catalog = qobject_cast<catalogs::TCatLookupForm*>(articles->widget()))
                        catalog->reloadGroups();
            });
            return form.release();
        });
    });
    setCommandHandler(CommandId::Currencies, [this, services] {
        openSingleInstance(QStringLiteral("Currencies"), [&]() -> QWidget* {
            return catalogs::TCurrenciesForm::createChild(services(), &m_ctx.rates).release();
        });
    });
    // Hidden in this edition's menu; reached through the command dispatch.
    setCommandHandler(CommandId::DiscountGrids, [this, services] {
        openSingleInstance(QStringLiteral("DiscountGrids"),
                           [&] { return catalogs::TDiscGrilaForm::createChild(services()).release(); });
    });
    setCommandHandler(CommandId::Suppliers, [this, services] {
        openSingleInstance(QStringLiteral("Suppliers"),
                           [&] { return catalogs::TFurnLookupForm::createChild(services()).release(); });
    });
    setCommandHandler(CommandId::Budgets, [this, services] {
        openSingleInstance(QStringLiteral("Budgets"),
                           [&] { return catalogs::TClientLookupForm::createChild(services()).release(); });
    });
    setCommandHandler(CommandId::Warehouses, [this, services] {
        openSingleInstance(QStringLiteral("Warehouses"),
                           [&] { return catalogs::TGestlookupForm::createChild(services()).release(); });
    });
}

// ---- documents --------------------------------------------------------------------

void TMainForm::installDocumentCommands()
{
    setCommandHandler(CommandId::InputDocuments, [this] {
        openSingleInstance(QStringLiteral("InputDocuments"), [this]() -> QWidget* {
            stock::DocInContext context{m_ctx.database, m_ctx.dialogs, m_ctx.formats, m_ctx.parameters,
                                        m_ctx.printSettings, m_ctx.privateDir, m_ctx.userInitials,
                                        [this](const QString& text) { ShowProgress(text); },
                                        [this](double contor) { showSerials(contor); }, {}, {}};
            return stock::TDocInForm::createChild(std::move(context)).release();
        });
    });
    setCommandHandler(CommandId::OutputDocuments, [this] {
        openSingleInstance(QStringLiteral("OutputDocuments"), [this]() -> QWidget* {
            stock::DocOutContext context{m_ctx.database, m_ctx.dialogs, m_ctx.formats, m_ctx.parameters,
                                         m_ctx.printSettings, m_ctx.privateDir, m_ctx.userInitials,
                                         [this](const QString& text) { ShowProgress(text); },
                                         {}, {}, {}, {}, {}};
            context.pickStockLine = [this](QWidget* owner, stock::StockLinePick& pick) {
                return stock::PickStockLine(owner, stockContext(), pick);
            };
            context.choosePrints = [this](QWidget* owner, int& set, prints::PrintOptions& options) {
                const prints::ChoosePrintsContext choice{m_ctx.parameters, m_ctx.dialogs,
                                                         m_ctx.databaseDir};
                return prints::ChoosePrints(owner, choice, set, options);
            };
            context.printDocument = [this](const stock::OutputPrintJob& job) {
                // The layout files of pre-printed forms lie beside the application's INI file.
                const stock::OutputPrintContext printing{m_ctx.database, m_ctx.parameters, m_ctx.formats,
                                                         m_ctx.printSettings, m_ctx.dialogs, m_ctx.databaseDir,
                                                         QFileInfo(m_ctx.paths.iniFile).absolutePath()};
                stock::PrintOutputDocument(this, printing, job);
            };
            context.showBeneficiaries = [this] { TUserForm::run(m_ctx.database, m_ctx.dialogs, m_ctx.formats, this); };
            context.transfer = [this](QWidget* owner, stock::TransferOptions& options) {
                return stock::AskTransfer(owner, m_ctx.database, m_ctx.dialogs, options);
            };
            return stock::TDocOutForm::createChild(std::move(context)).release();
        });
    });
    // In the hidden menu "A&ctiuni", disabled in this edition; reached through the command dispatch.
    setCommandHandler(CommandId::ConsolidateInputs, [this] { ConsolidateInputNotes(); });
    setCommandHandler(CommandId::ConsolidateOutputs, [this] { ConsolidateOutputNotes(); });
}

void TMainForm::ConsolidateInputNotes()
{
    consolidateNotes(true);
}

void TMainForm::ConsolidateOutputNotes()
{
    consolidateNotes(false);
}

void TMainForm::consolidateNotes(bool inputs)
{
    const std::optional<double> invoice =
        stock::ConsolidateNotes(this, m_ctx.database, m_ctx.privateDatabase, m_ctx.parameters, m_ctx.formats,
                                m_ctx.dialogs, inputs ? stock::NoteSide::Input : stock::NoteSide::Output);
    if (!invoice)
        return;
    // The documents window, on the invoice.
    runCommand(inputs ? CommandId::InputDocuments : CommandId::OutputDocuments);
    QMdiSubWindow* window = singleInstanceWindow(inputs ? QStringLiteral("InputDocuments")
                                                        : QStringLiteral("OutputDocuments"));
    if (!window)
        return;
    if (auto* in = qobject_cast<stock::TDocInForm*>(window->widget()))
        in->logic().showDocument(*invoice);
    else if (auto* out = qobject_cast<stock::TDocOutForm*>(window->widget()))
        out->logic().showDocument(*invoice);
}

void TMainForm::installRecalculationCommands()
{
    setCommandHandler(CommandId::InitialStock, [this] {
        openSingleInstance(QStringLiteral("InitialStock"), [this]() -> QWidget* {
            stock::IniStockContext context{m_ctx.database, m_ctx.dialogs, m_ctx.formats, m_ctx.parameters,
                                           m_ctx.privateDir, [this](const QString& text) { ShowProgress(text); }};
            return stock::TIniStockForm::createChild(std::move(context)).release();
        });
    });
    setCommandHandler(CommandId::RecalculateStock, [this] { recalculateStock(); });
}

namespace {

// The recalculation's own borderless window and the hourglass while it
// works; its steps on the status line.
class RecalculationWindow : public stock::RecalculationView {
public:
    explicit RecalculationWindow(TMainForm& form) : m_form(form) {}
    ~RecalculationWindow() override { showWorking(false); }
    void showWorking(bool on) override
    {
        if (on == m_on)
            return;
        m_on = on;
        if (on) {
            QApplication::setOverrideCursor(Qt::WaitCursor);
            m_form.ShowWorkMessage(&m_form, QStringLiteral("Recalculez stocurile..."));
            QApplication::processEvents(QEventLoop::ExcludeUserInputEvents); // pending paints first
        } else {
            m_form.CloseWorkMessage();
            QApplication::restoreOverrideCursor();
        }
    }
    void showProgress(const QString& text) override { m_form.ShowProgress(text); }

private:
    TMainForm& m_form;
    bool m_on = false;
};

} // namespace

void TMainForm::recalculateStock()
{
    RecalculationWindow window(*this);
    const stock::RecalculationResult result =
        stock::RecalculateStock(m_ctx.database, m_ctx.parameters, m_ctx.dialogs, &window);
    // The open windows show the rebuilt stock.
    if (result.ok)
        sendRefreshTick();
}

stock::StockFormContext TMainForm::stockContext()
{
    return {m_ctx.database,   m_ctx.privateDatabase, m_ctx.dialogs,
            m_ctx.formats,    m_ctx.parameters,      m_ctx.settings,
            m_ctx.privateDir, m_ctx.stockPick,
            [this](const QString& text) { ShowProgress(text); },
            [this](QWidget* owner) {
                prints::PrintLabels(owner, m_ctx.privateDatabase, m_ctx.parameters, m_ctx.formats,
                                    prints::documentPrintSettings(m_ctx.printSettings, QStringLiteral("labels")),
                                    m_ctx.dialogs, [this](const QString& text) { ShowProgress(text); });
            }};
}

void TMainForm::showSerials(double contor)
{
    // One serial window: a second request turns it to the other document.
    if (QMdiSubWindow* open = singleInstanceWindow(QStringLiteral("Serials")))
        if (auto* serials = qobject_cast<stock::TSeriiForm*>(open->widget())) {
            serials->showDocument(contor);
            m_mdi->setActiveSubWindow(open);
            return;
        }
    openSingleInstance(QStringLiteral("Serials"), [&]() -> QWidget* {
        return stock::TSeriiForm::createChild(m_ctx.database, m_ctx.dialogs, m_ctx.formats, m_ctx.privateDir, contor)
            .release();
    });
}

// ---- current stock ------------------------------------------------------------------

void TMainForm::installStockCommands()
{
    setCommandHandler(CommandId::CurrentStock, [this] {
        openSingleInstance(QStringLiteral("CurrentStock"),
                           [this]() -> QWidget* { return stock::TStockForm::createChild(stockContext()).release(); });
    });
}

// ---- reports ------------------------------------------------------------------------

void TMainForm::installReportCommands()
{
    // Each command runs its report of reports::reportKinds() with the
    // selection state and print settings of the whole run.
    for (const auto& [command, name] : reportCommands()) {
        const reports::ReportKind* kind = reports::findReportKind(name);
        if (!kind)
            continue;
        setCommandHandler(command, [this, kind] {
            reports::QtReportUi ui(
                this, m_ctx.database, m_ctx.dialogs, m_ctx.formats, [this](const QString& text) { ShowProgress(text); },
                [this](const QString& text) { ShowWorkMessage(this, text); }, [this] { CloseWorkMessage(); });
            ui.printCaption = reports::reportPrintCaption(*kind);
            reports::ReportContext ctx{m_ctx.database,   m_ctx.privateDatabase, m_ctx.privateDir,
                                       m_ctx.parameters, m_ctx.formats,         m_ctx.dialogs,
                                       m_ctx.reports,    reports::reportPrintSettings(m_ctx.printSettings, *kind),
                                       ui,               &m_ctx.rates};
            kind->run(ctx);
        });
    }
}

} // namespace shell
