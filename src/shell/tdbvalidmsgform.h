#pragma once
// The database opening window: a borderless window centred on the screen,
// a picture filling it, the text of the current step and a progress bar.
// It lives for one opening; the rules it shows are datastore::DatabaseOpening.
// TBrowseFolder is its folder picker ("Select database directory").

#include "mainformlogic.h"

#include "common/dialogs.h"
#include "datastore/databaseopening.h"

#include <QDialog>
#include <QPixmap>
#include <QWidget>
#include <optional>

class QFileSystemModel;
class QLabel;
class QProgressBar;
class QPushButton;
class QTreeView;

namespace shell {

// The path shortened to at most `maxLength` characters by putting "..." in
// place of the path components in the middle ("/home/ana/.../2024/stoc").
QString shortenPath(const QString& path, int maxLength = 35);

// The folder picker dialog.
class TBrowseFolderDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kStatusLength = 35;
    static constexpr int kNewDirectoryButtonWidth = 75;

    TBrowseFolderDialog(const QString& startDir, datastore::FolderPicker::NewDirectoryHandler onNewDirectory,
                        common::Dialogs& dialogs, QWidget* parent = nullptr);

    // The folder selected now; empty when none.
    QString selectedFolder() const;
    // The folder chosen when the dialog was accepted.
    const QString& chosenFolder() const { return m_chosen; }
    void selectFolder(const QString& path);

    QTreeView* tree() const { return m_tree; }
    QLabel* statusLabel() const { return m_status; }
    QPushButton* newDirectoryButton() const { return m_newDirectory; }
    QPushButton* okButton() const { return m_ok; }

    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void scrollToCurrent();
    bool m_followStart = false;
    void updateStatus();
    void newDirectoryClicked();

    datastore::FolderPicker::NewDirectoryHandler m_onNewDirectory;
    common::Dialogs& m_dialogs;
    QFileSystemModel* m_model = nullptr;
    QTreeView* m_tree = nullptr;
    QLabel* m_status = nullptr;
    QPushButton* m_newDirectory = nullptr;
    QPushButton* m_ok = nullptr;
    QString m_chosen;
};

class TBrowseFolder : public datastore::FolderPicker {
public:
    explicit TBrowseFolder(common::Dialogs& dialogs, QWidget* parent = nullptr);
    std::optional<QString> browse(const QString& startDir, const NewDirectoryHandler& onNewDirectory) override;

private:
    common::Dialogs& m_dialogs;
    QWidget* m_parent;
};

class TDBValidMsgForm : public QWidget, public OpeningWindow {
    Q_OBJECT
public:
    explicit TDBValidMsgForm(common::Dialogs& dialogs, QWidget* parent = nullptr);

    void setStepText(const QString& text) override;
    void setStepVisible(bool visible) override;
    void setProgress(int percent) override;
    datastore::FolderPicker& folderPicker() override { return m_picker; }
    void setProgressBarVisible(bool visible) override;

    QLabel* stepLabel() const { return m_step; }
    QProgressBar* progressBar() const { return m_progress; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void centreOnScreen();

    TBrowseFolder m_picker;
    QPixmap m_picture;
    QLabel* m_step = nullptr;
    QProgressBar* m_progress = nullptr;
};

} // namespace shell
