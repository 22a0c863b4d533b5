// The main window: menus and speed buttons built from the command table,
// child windows (window commands, one instance, refresh ticks), the work
// message window, the background tiles, the about box and exit.

#include <gtest/gtest.h>

#include "shelltest.h"

#include "datastore/dberror.h"
#include "shell/taboutbox.h"
#include "shell/tmainform.h"
#include "shell/tmessageform.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QScreen>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>

using namespace shell;
using namespace shelltest;

namespace {

// A child window that notes its refresh ticks in a shared log.
class RecordingChild : public QWidget, public RefreshTarget {
public:
    RecordingChild(QString name, QStringList& log) : m_name(std::move(name)), m_log(log) {}
    void refreshTick() override { m_log << m_name; }

private:
    QString m_name;
    QStringList& m_log;
};

class MainFormTest : public ::testing::Test, public ContextFixture {
protected:
    TMainForm form{*ctx};

    QMdiSubWindow* openChild(const QString& title = "Fereastra")
    {
        auto* w = new QWidget;
        w->setWindowTitle(title);
        return form.addChildWindow(w);
    }
    bool windowCommandsEnabled(bool expected)
    {
        bool all = true;
        for (CommandId id : {CommandId::CloseWindow, CommandId::CloseAll, CommandId::Tile, CommandId::Cascade})
            all = all && TMainForm::isItemEnabled(form.action(id)) == expected;
        return all;
    }
};

} // namespace

TEST_F(MainFormTest, MenuFollowsTheCommandTable)
{
    EXPECT_EQ(form.windowTitle(), "Gestiune de stocuri");
    for (const MenuEntry& e : menuEntries()) {
        if (e.kind == EntryKind::Separator)
            continue;
        SCOPED_TRACE(e.menuKey().toStdString());
        if (e.kind == EntryKind::Menu) {
            QMenu* menu = form.findMenu(e.menuKey());
            ASSERT_NE(menu, nullptr);
            EXPECT_EQ(menu->title(), e.caption);
            EXPECT_EQ(menu->menuAction()->isVisible(), e.shown);
            continue;
        }
        QAction* act = form.findAction(e.path, e.caption);
        ASSERT_NE(act, nullptr);
        EXPECT_EQ(act->text(), e.caption);
        EXPECT_EQ(act->isVisible(), e.shown);
        EXPECT_EQ(act->statusTip(), e.hint);
        EXPECT_EQ(act->shortcut().toString(QKeySequence::PortableText), e.shortcut);
        if (!isWindowCommand(e.command)) { // those follow the child windows
            EXPECT_EQ(TMainForm::isItemEnabled(act), e.enabled);
        }
    }
    EXPECT_EQ(form.menuBar()->actions().size(), 7);
}

TEST_F(MainFormTest, SpeedButtonsShowTheirCaptionsAndHints)
{
    const auto& buttons = form.speedButtonWidgets();
    ASSERT_EQ(buttons.size(), qsizetype(speedButtons().size()));
    for (qsizetype i = 0; i < buttons.size(); ++i) {
        EXPECT_EQ(buttons[i]->text(), speedButtons()[size_t(i)].caption);
        EXPECT_EQ(buttons[i]->statusTip(), speedButtons()[size_t(i)].hint);
    }
    ASSERT_NE(form.logo(), nullptr);
    EXPECT_FALSE(form.logo()->pixmap().isNull());
}

TEST_F(MainFormTest, SpeedButtonRunsTheCommandOfItsMenuItem)
{
    int warehouses = 0;
    form.setCommandHandler(CommandId::Warehouses, [&] { ++warehouses; });
    form.speedButtonWidgets()[3]->click(); // "Gestiuni"
    form.findAction({"&Sistem"}, "Gestiuni")->trigger();
    EXPECT_EQ(warehouses, 2);
}

TEST_F(MainFormTest, WindowCommandsAreEnabledExactlyWhileAChildIsOpen)
{
    EXPECT_TRUE(windowCommandsEnabled(false));
    QMdiSubWindow* first = openChild("Unu");
    EXPECT_TRUE(windowCommandsEnabled(true));
    QMdiSubWindow* second = openChild("Doi");
    EXPECT_EQ(form.childWindowCount(), 2);

    second->close();
    EXPECT_TRUE(windowCommandsEnabled(true));
    first->close();
    EXPECT_EQ(form.childWindowCount(), 0);
    EXPECT_TRUE(windowCommandsEnabled(false));

    openChild();
    openChild();
    form.action(CommandId::CloseAll)->trigger();
    QApplication::processEvents();
    EXPECT_EQ(form.childWindowCount(), 0);
    EXPECT_TRUE(windowCommandsEnabled(false));
}

TEST_F(MainFormTest, SingleInstanceWindowIsBroughtBackInsteadOfOpenedTwice)
{
    int created = 0;
    const auto create = [&] {
        ++created;
        return new QWidget;
    };
    QMdiSubWindow* sub = form.openSingleInstance("Intrari", create);
    openChild("Alta"); // another window comes to the front
    sub->showMinimized();
    ASSERT_TRUE(sub->isMinimized());

    EXPECT_EQ(form.openSingleInstance("Intrari", create), sub);
    EXPECT_EQ(created, 1);
    EXPECT_FALSE(sub->isMinimized());
    EXPECT_EQ(form.mdiClient()->activeSubWindow(), sub);

    sub->close();
    QApplication::processEvents();
    EXPECT_EQ(form.singleInstanceWindow("Intrari"), nullptr);
    EXPECT_NE(form.openSingleInstance("Intrari", create), nullptr);
    EXPECT_EQ(created, 2);
}

TEST_F(MainFormTest, RefreshTickReachesEveryChildInTheOrderTheyOpened)
{
    QStringList log;
    form.addChildWindow(new RecordingChild("Intrari", log));
    openChild("fara reimprospatare");
    QMdiSubWindow* middle = form.addChildWindow(new RecordingChild("Stocuri", log));
    form.addChildWindow(new RecordingChild("Iesiri", log));
    form.mdiClient()->setActiveSubWindow(middle); // activation does not change the order

    form.sendRefreshTick();
    EXPECT_EQ(log, (QStringList{"Intrari", "Stocuri", "Iesiri"}));

    middle->close();
    log.clear();
    form.sendRefreshTick();
    EXPECT_EQ(log, (QStringList{"Intrari", "Iesiri"}));
}

TEST_F(MainFormTest, SwitchingTheDatabaseIsRefusedWhileAChildIsOpen)
{
    openChild();
    form.runCommand(CommandId::SelectDatabase);
    EXPECT_EQ(dialogs.texts(), QStringList{"Inchideti toate ferestrele!"});
    EXPECT_EQ(form.windowTitle(), "Gestiune de stocuri");

    dialogs.clear();
    form.runCommand(CommandId::Parameters);
    EXPECT_EQ(dialogs.texts(), QStringList{"Inchideti toate ferestrele!"});
}

TEST_F(MainFormTest, ErrorsEscapingACommandAreReported)
{
    form.setCommandHandler(CommandId::Articles, [] {
        throw datastore::DbError(datastore::DbErrorKind::KeyViolation, "UNIQUE constraint failed: Catalog.Cod");
    });
    form.runCommand(CommandId::Articles);
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.last().icon, common::Icon::Warning);
    EXPECT_EQ(dialogs.last().text, duplicateKeyMessage());
}

TEST_F(MainFormTest, StartUpReadsTheRefreshInterval)
{
    struct Case {
        const char* name;
        std::optional<QString> refresh;
        bool active;
        int interval;
    };
    const std::vector<Case> cases{
        {"no key: every 30 s", std::nullopt, true, 30000},
        {"0: no ticks", "0", false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ContextFixture fx;
        fx.settings.setValue("LastDatabaseDir", fx.newDir("baza"));
        if (c.refresh)
            fx.ctx->ini.writeString("Options", "Refresh", *c.refresh);
        TMainForm startedForm(*fx.ctx);
        EXPECT_TRUE(startedForm.startUp()) << fx.dialogs.texts().join(" | ").toStdString();
        EXPECT_EQ(startedForm.refreshTimer().isActive(), c.active);
        if (c.active) {
            EXPECT_EQ(startedForm.refreshTimer().interval(), c.interval);
        }
        EXPECT_TRUE(startedForm.windowTitle().startsWith("Gestiunea materialelor si obiectelor de inventar - "));
    }
}

TEST_F(MainFormTest, ShowProgressWritesTheStatusLine)
{
    form.ShowProgress("Calculez stocurile...");
    EXPECT_EQ(form.statusBar()->currentMessage(), "Calculez stocurile...");
    form.ShowProgress("OK.");
    EXPECT_EQ(form.statusBar()->currentMessage(), "OK.");
}

TEST_F(MainFormTest, WorkMessageWidensForLongTextsAndIsFreedOnClose)
{
    form.ShowWorkMessage(nullptr, "Selectez datele...");
    TMessageForm* message = form.workMessage();
    ASSERT_NE(message, nullptr);
    EXPECT_TRUE(message->isVisible());
    EXPECT_EQ(message->width(), TMessageForm::kDesignWidth);
    EXPECT_EQ(message->text(), "Selectez datele...");

    const QString longText(120, QLatin1Char('W'));
    const int top = message->y();
    form.ShowWorkMessage(nullptr, longText);
    EXPECT_EQ(form.workMessage(), message); // the same window, widened
    const QRect screen = message->screen()->geometry();
    const int textWidth = QFontMetrics(message->font()).horizontalAdvance(longText);
    EXPECT_EQ(message->width(), qMin(textWidth + TMessageForm::kPictureWidth + 18, screen.width()));
    EXPECT_EQ(message->y(), top);
    EXPECT_EQ(message->x(), screen.left() + (screen.width() - message->width()) / 2);

    form.CloseWorkMessage();
    EXPECT_EQ(form.workMessage(), nullptr);
    form.CloseWorkMessage(); // nothing left to close
}

TEST(TMessageFormWidth, WidensOnlyWhenTextAndPictureDoNotFit)
{
    struct Case {
        const char* name;
        int design, text, picture, screen, expected;
    };
    const std::vector<Case> cases{
        {"short text keeps the design width", 300, 100, 48, 1024, 300},
        {"exactly fitting text keeps it", 300, 252, 48, 1024, 300},
        {"one pixel too wide adds the margin", 300, 253, 48, 1024, 319},
        {"long text", 300, 600, 48, 1024, 666},
        {"never beyond the screen", 300, 2000, 48, 1024, 1024},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(TMessageForm::fittedWidth(c.design, c.text, c.picture, c.screen), c.expected);
    }
}

TEST(BackgroundTiles, GridStartsTopLeftWithOneExtraColumnAndRow)
{
    struct Case {
        const char* name;
        QSize client, picture;
        int count;
        QPoint last;
    };
    const std::vector<Case> cases{
        {"partial tiles", {100, 50}, {30, 20}, 4 * 3, {90, 40}},
        {"exact multiple still gets one more", {90, 40}, {30, 20}, 4 * 3, {90, 40}},
        {"picture larger than the area", {20, 10}, {64, 64}, 1, {0, 0}},
        {"no picture: no tiles", {100, 50}, {0, 0}, 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QList<QPoint> origins = TMdiClient::tileOrigins(c.client, c.picture);
        ASSERT_EQ(origins.size(), c.count);
        if (c.count > 0) {
            EXPECT_EQ(origins.first(), QPoint(0, 0));
            EXPECT_EQ(origins.last(), c.last);
        }
    }
}

TEST(AboutBox, ShowsTheVersionAndClosesOnAKeyOrAClickOnAPage)
{
    EXPECT_EQ(TAboutBox::versionCaption("1.0.0.1"), "Versiunea 1.0.0.1");
    EXPECT_EQ(TAboutBox::versionCaption(""), "Versiune ????");

    TAboutBox box("2.3.4.5");
    ASSERT_EQ(box.pages()->count(), 3);
    box.show();
    // A click on a tab switches pages and keeps the box open.
    const QRect tab = box.pages()->tabBar()->tabRect(2);
    QMouseEvent tabClick(QEvent::MouseButtonPress, tab.center(), box.pages()->tabBar()->mapToGlobal(tab.center()),
                         Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(box.pages()->tabBar(), &tabClick);
    EXPECT_TRUE(box.isVisible());
    EXPECT_EQ(box.pages()->currentIndex(), 2);

    QKeyEvent key(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");
    QApplication::sendEvent(box.pages()->currentWidget(), &key);
    EXPECT_FALSE(box.isVisible());
    EXPECT_EQ(box.result(), QDialog::Accepted);

    box.show();
    QMouseEvent click(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(box.picture(), &click);
    EXPECT_FALSE(box.isVisible());
}

TEST_F(MainFormTest, ExitClosesChildrenAndWritesTheOptions)
{
    openChild();
    openChild();
    form.action(CommandId::ToolbarVisible)->trigger(); // unchecks "&Butoane vizibile"
    form.show();
    form.runCommand(CommandId::Exit);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.childWindowCount(), 0);
    common::IniFile ini(paths.iniFile);
    EXPECT_EQ(ini.readString("Options", "Toolbar"), "0");
    EXPECT_EQ(ini.readString("Options", "Germana"), "0");
}

TEST_F(MainFormTest, CommandsOfWindowsNotBuiltYetSayTheyAreUnavailable)
{
    const QString unavailable = "Functiune indisponibila in aceasta versiune.";
    const struct {
        CommandId command;
        bool unavailableMessage;
    } cases[] = {
        {CommandId::WarehouseTargetReport, true},
        {CommandId::Help, true},
        {CommandId::None, false},            {CommandId::Cascade, false},
        {CommandId::ToolbarVisible, false},
    };
    for (const auto& c : cases) {
        dialogs.clear();
        form.runCommand(c.command);
        if (c.unavailableMessage) {
            ASSERT_EQ(dialogs.messages.size(), 1) << int(c.command);
            EXPECT_EQ(dialogs.last().icon, common::Icon::Information);
            EXPECT_EQ(dialogs.last().text, unavailable);
        } else {
            EXPECT_TRUE(dialogs.messages.isEmpty()) << int(c.command);
        }
    }
    // Once a module gives the command its window, the message is gone.
    int opened = 0;
    dialogs.clear();
    form.setCommandHandler(CommandId::InputDocuments, [&] { ++opened; });
    form.speedButtonWidgets()[0]->click(); // "Intrari"
    EXPECT_EQ(opened, 1);
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(MainFormTest, TheLogoOpensTheAboutBox)
{
    EXPECT_FALSE(form.logo()->toolTip().contains("example")) << "no placeholder address";
    QString shown;
    QTimer::singleShot(0, [&] {
        if (auto* box = qobject_cast<TAboutBox*>(QApplication::activeModalWidget())) {
            shown = box->objectName();
            for (int i = 0; i < box->pages()->count(); ++i)
                EXPECT_FALSE(box->pages()->tabText(i).isEmpty());
            box->accept();
        }
    });
    QMouseEvent click(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(form.logo(), &click);
    EXPECT_EQ(shown, "AboutBox");
}
