// The preview window as the user meets it: over the whole of the main
// window, the page at the width of the window from the first look, and the
// save dialog starting in the database folder, then where the last report
// went.

#include "reporttest.h"

#include "common/scripteddialogs.h"
#include "reportengine/reportpreview.h"
#include "testsupport.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QFileDialog>
#include <QLabel>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

using namespace reportengine;

namespace {

// Runs `action` on the next modal window, once it is up.
void onNextModal(std::function<void(QWidget*)> action)
{
    QTimer::singleShot(0, [action] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) {
            onNextModal(action);
            return;
        }
        action(modal);
    });
}

PageList samplePages()
{
    static Report r;
    static bool made = false;
    if (!made) {
        reporttest::smallPage(r);
        r.title(QStringLiteral("Proba"));
        r.band(BandKind::Summary, 10).label(0, 0, 0, "Total");
        made = true;
    }
    return r.layout();
}

} // namespace

TEST(ReportPreviewWindow, OpensOverTheMainWindowAtTheWidthOfThePage)
{
    const PageList pages = samplePages();
    common::ScriptedDialogs dialogs;
    QWidget mainWindow;
    mainWindow.setGeometry(40, 30, 1100, 760);
    mainWindow.show();
    QApplication::processEvents();

    QSize shown;
    int pageWidth = 0;
    int roomWidth = 0;
    onNextModal([&](QWidget* w) {
        auto* preview = qobject_cast<ReportPreview*>(w);
        ASSERT_NE(preview, nullptr);
        QApplication::processEvents();
        shown = preview->size();
        pageWidth = preview->pageView()->pixmap().deviceIndependentSize().toSize().width();
        roomWidth = preview->pageView()->parentWidget()->width(); // the page area
        EXPECT_EQ(preview->zoomBox()->currentText(), "Latimea paginii");
        EXPECT_TRUE(testsupport::saveShot(*preview, QStringLiteral("report_preview_opened.png")));
        preview->close();
    });
    showPreview(pages, dialogs, &mainWindow);
    EXPECT_EQ(shown, mainWindow.size()) << "as large as the main window";
    EXPECT_GT(pageWidth, roomWidth - 60) << "the page fills the width, not a thumbnail";
    EXPECT_LE(pageWidth, roomWidth);
}

TEST(ReportPreviewWindow, SavingStartsInTheDatabaseFolderThenInTheLastFolderUsed)
{
    const PageList pages = samplePages();
    common::ScriptedDialogs dialogs;
    testsupport::TempDir databaseDir;
    testsupport::TempDir otherDir;
    QWidget mainWindow;
    mainWindow.setProperty(kDatabaseFolderProperty, databaseDir.path() + u'/');

    const struct {
        const char* name;
        QString expectedStart;
        QString saveTo; // empty: the dialog is cancelled
    } saves[] = {
        {"first, cancelled", databaseDir.path(), QString()},
        {"first", databaseDir.path(), otherDir.file("stoc.pdf")},
        {"again", otherDir.path(), QString()},
    };
    for (const auto& s : saves) {
        SCOPED_TRACE(s.name);
        ReportPreview preview(pages, dialogs, &mainWindow);
        QString started;
        onNextModal([&](QWidget* w) {
            auto* fileDialog = qobject_cast<QFileDialog*>(w);
            ASSERT_NE(fileDialog, nullptr);
            started = fileDialog->directory().absolutePath();
            if (s.saveTo.isEmpty()) {
                fileDialog->reject();
                return;
            }
            fileDialog->selectFile(s.saveTo);
            static_cast<QDialog*>(fileDialog)->accept(); // QFileDialog::accept checks the name
        });
        preview.save();
        EXPECT_EQ(started, QDir(s.expectedStart).absolutePath());
    }
    EXPECT_TRUE(QFile::exists(otherDir.file("stoc.pdf")));
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST(ReportPreviewWindow, WithoutAFolderTheSaveDialogStartsInTheDocumentsFolder)
{
    testsupport::TempDir dir;
    EXPECT_EQ(PreviewLogic::saveFolder(QString(), QString()),
              QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
    EXPECT_EQ(PreviewLogic::saveFolder(dir.file("gone"), dir.path()), QDir(dir.path()).absolutePath())
        << "a folder that is gone is passed over";
}
