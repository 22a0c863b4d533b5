// Pictures of the shell's windows for a look by eye: written only when
// MIRAFEL_SHOTS_DIR names a folder (skipped otherwise).

#include <gtest/gtest.h>

#include "shelltest.h"

#include "shell/taboutbox.h"
#include "shell/tdbvalidmsgform.h"
#include "shell/tmainform.h"
#include "shell/tmessageform.h"

#include <QApplication>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QProgressBar>
#include <QStatusBar>

using namespace shell;
using namespace shelltest;

namespace {

QString shotsDir()
{
    return qEnvironmentVariable("MIRAFEL_SHOTS_DIR");
}

void save(const QPixmap& pm, const QString& name)
{
    QDir().mkpath(shotsDir());
    EXPECT_TRUE(pm.save(QDir(shotsDir()).filePath(name))) << name.toStdString();
}

// The window with one of its menus opened over it.
QPixmap withMenu(QMainWindow& window, QMenu* menu, QAction* titleAction)
{
    const QRect titleRect = window.menuBar()->actionGeometry(titleAction);
    const QPoint at = window.menuBar()->mapTo(&window, titleRect.bottomLeft());
    menu->popup(window.mapToGlobal(at));
    QApplication::processEvents();
    QPixmap pm = window.grab();
    QPainter p(&pm);
    p.drawPixmap(at, menu->grab());
    p.end();
    menu->hide();
    return pm;
}

} // namespace

TEST(Screenshots, ShellWindows)
{
    if (shotsDir().isEmpty())
        GTEST_SKIP() << "MIRAFEL_SHOTS_DIR not set";

    ContextFixture fx;
    fx.settings.setValue("LastDatabaseDir", fx.newDir("baza"));
    TMainForm form(*fx.ctx);
    ASSERT_TRUE(form.startUp()) << fx.dialogs.texts().join(" | ").toStdString();
    form.resize(1000, 640);
    form.show();
    form.ShowProgress(" Introducere si modificare de articole");
    QApplication::processEvents();
    save(form.grab(), "mainwindow.png");

    QMenu* sistem = form.findMenu("&Sistem");
    save(withMenu(form, sistem, sistem->menuAction()), "menu_sistem.png");
    QMenu* listari = form.findMenu("Listari");
    save(withMenu(form, listari, listari->menuAction()), "menu_listari.png");
    QMenu* setari = form.findMenu("Setari");
    save(withMenu(form, setari, setari->menuAction()), "menu_setari.png");

    // Children over a tiled background picture.
    QImage tile(90, 60, QImage::Format_RGB32);
    tile.fill(QColor(70, 110, 150));
    {
        QPainter p(&tile);
        p.setPen(QColor(200, 220, 240));
        p.drawRect(0, 0, 89, 59);
        p.drawText(tile.rect(), Qt::AlignCenter, "fundal");
    }
    const QString tilePath = fx.home.file("fundal.png");
    tile.save(tilePath);
    fx.ctx->ini.writeString("Options", "ImageBackground", tilePath);
    form.logic().loadBackgroundPicture();
    for (const char* title : {"Intrari", "Iesiri"}) {
        auto* w = new QLabel(QString("Fereastra %1").arg(title));
        w->setWindowTitle(title);
        w->setAlignment(Qt::AlignCenter);
        form.addChildWindow(w)->resize(320, 200);
    }
    form.runCommand(CommandId::Cascade);
    form.ShowWorkMessage(nullptr, "Prelucrez datele...");
    QApplication::processEvents();
    save(form.grab(), "mainwindow_children.png");
    save(form.workMessage()->grab(), "workmessage.png");
    form.ShowWorkMessage(nullptr, "Selectez datele pentru situatia stocurilor la data de 31.12.2024 pe toate gestiunile...");
    save(form.workMessage()->grab(), "workmessage_long.png");
    form.CloseWorkMessage();

    TDBValidMsgForm opening(fx.dialogs);
    opening.setProgressBarVisible(true);
    opening.setStepText("Validez baza de date...");
    opening.setProgress(40);
    opening.show();
    QApplication::processEvents();
    save(opening.grab(), "opening.png");

    TBrowseFolderDialog picker(fx.home.file("baza"), {}, fx.dialogs);
    picker.show();
    QApplication::processEvents();
    save(picker.grab(), "folderpicker.png");

    TAboutBox about(versionString());
    about.show();
    QApplication::processEvents();
    save(about.grab(), "about.png");
}
