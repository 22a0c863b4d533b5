#pragma once
// TMainForm: the one top-level window. A multiple-document frame opened
// maximized: the menu built from the command table, the child windows in
// the MDI area (background picture tiled behind them), the bottom panel with
// the speed buttons and the logo, the status line, and the shared services
// ShowProgress, ShowWorkMessage and CloseWorkMessage.

#include "appcontext.h"
#include "commands.h"
#include "mainformlogic.h"
#include "tmessageform.h"
#include "stock/tstockform.h"

#include <QHash>
#include <QImage>
#include <QLabel>
#include <QMainWindow>
#include "ui/refreshtarget.h"

#include <QMdiArea>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <map>
#include <memory>

class QMdiSubWindow;
class QToolButton;

namespace shell {


// The refresh tick. A child window that re-reads its tables from time to
// time (to show what other workstations changed) implements this interface;
// every Refresh seconds the main window calls refreshTick() of each open
// child window in turn, in the order the windows were opened, each call
// completing before the next starts. Windows that do not implement it are
// skipped.
using RefreshTarget = ui::RefreshTarget;

// The MDI client: paints the background picture in tiles from the top-left
// corner, or the plain colour when there is no picture.
class TMdiClient : public QMdiArea {
    Q_OBJECT
public:
    using QMdiArea::QMdiArea;
    void setBackgroundPicture(const QImage& picture);
    const QImage& backgroundPicture() const { return m_picture; }
    // The top-left corners of the tiles: (w div pw)+1 columns by (h div ph)+1 rows.
    static QList<QPoint> tileOrigins(QSize client, QSize picture);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage m_picture;
};

// The clickable logo at the right end of the bottom panel.
class TLogoLabel : public QLabel {
    Q_OBJECT
public:
    explicit TLogoLabel(QWidget* parent = nullptr);
signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
};

class TMainForm : public QMainWindow, private MainFormHost {
    Q_OBJECT
    // The open database's folder: where the report preview's save dialog
    // starts (reportengine::kDatabaseFolderProperty).
    Q_PROPERTY(QString databaseFolder READ databaseFolder)
public:
    // `steps`: migrations and upgrades run before validation; nullptr: none.
    explicit TMainForm(AppContext& context, datastore::OpeningSteps* steps = nullptr, QWidget* parent = nullptr);
    ~TMainForm() override;

    AppContext& context() { return m_ctx; }
    QString databaseFolder() const { return m_ctx.databaseDir; }
    MainFormLogic& logic() { return *m_logic; }

    // The start-up sequence; then, three seconds later, the start-up timer.
    bool startUp();

    // --- shared services -------------------------------------------------
    void ShowProgress(const QString& text);
    void ShowWorkMessage(QWidget* owner, const QString& text);
    void CloseWorkMessage();
    TMessageForm* workMessage() const { return m_workMessage; }

    // --- child windows ---------------------------------------------------
    // Adds a child window to the MDI area and shows it.
    QMdiSubWindow* addChildWindow(QWidget* widget);
    // The one-instance rule: the window registered under `key` is brought to
    // the front (restored when minimized); otherwise `create` makes it, it is
    // added and registered. The entry clears itself when the window closes.
    QMdiSubWindow* openSingleInstance(const QString& key, const std::function<QWidget*()>& create);
    QMdiSubWindow* singleInstanceWindow(const QString& key) const;
    QList<QMdiSubWindow*> childWindows() const; // open children, in the order they were opened
    int childWindowCount() const override;
    // One refresh tick to every open child window, in order.
    void sendRefreshTick();
    QTimer& refreshTimer() { return m_refreshTimer; }
    TMdiClient* mdiClient() const { return m_mdi; }

    // --- commands --------------------------------------------------------
    // Runs a command; whatever it throws is reported (duplicate keys as the
    // duplicate-record warning).
    void runCommand(CommandId command);
    // Installs the handler of a command whose window lives in another module.
    void setCommandHandler(CommandId command, std::function<void()> handler);
    QAction* action(CommandId command) const;                        // the first action of the command
    QAction* findAction(const QStringList& path, const QString& caption) const;
    QMenu* findMenu(const QString& menuKey) const;                   // "Listari/I&esiri"
    // The enabled state of a menu item, also for items this edition hides.
    static void setItemEnabled(QAction* item, bool enabled);
    static bool isItemEnabled(const QAction* item);
    const QList<QToolButton*>& speedButtonWidgets() const { return m_speedButtons; }
    TLogoLabel* logo() const { return m_logo; }

    void showAbout();

public slots:
    // Another start of the program asked this one to come forward.
    void bringToFront();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // MainFormHost
    void setTitle(const QString& title) override;
    void setRefreshInterval(int milliseconds) override;
    void setBackgroundPicture(const QImage& picture) override;
    void setBusyCursor(bool busy) override;
    std::unique_ptr<OpeningWindow> createOpeningWindow() override;

    void buildMenus();
    void buildBottomPanel();
    // The parameters: loaded with each database; their dialogs in "Setari".
    void installParameterCommands();
    void installPeopleAndFirmCommands();
    void installCatalogCommands();
    void installDocumentCommands();
    void installStockCommands(); // "&Stocuri curente"
    // The initial stock window and the stock recalculation.
    void installRecalculationCommands();
    void installReportCommands(); // "Listari": the stock reports
    void recalculateStock();
    void showSerials(double contor); // the serial window of an input document
    // "Consolidare I&ntrari" / "Consolidare Ie&siri": the consolidation dialog,
    // then the documents window on the invoice it made.
    void ConsolidateInputNotes();
    void ConsolidateOutputNotes();
    void consolidateNotes(bool inputs);
    stock::StockFormContext stockContext();
    void updateWindowCommands();
    void closeAllChildren();
    void cascadeChildren();

    AppContext& m_ctx;
    std::unique_ptr<MainFormLogic> m_logic;
    TMdiClient* m_mdi = nullptr;
    TLogoLabel* m_logo = nullptr;
    QList<QToolButton*> m_speedButtons;
    QHash<QString, QMenu*> m_menus;
    std::vector<std::pair<const MenuEntry*, QAction*>> m_actions;
    std::map<CommandId, std::function<void()>> m_handlers;
    QHash<QString, QPointer<QMdiSubWindow>> m_singleInstances;
    QPointer<TMessageForm> m_workMessage;
    QTimer m_refreshTimer;
    QTimer m_startUpTimer;
    bool m_shutDown = false;
};

} // namespace shell
