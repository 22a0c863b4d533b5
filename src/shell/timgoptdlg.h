#pragma once
// TImgOptDlg: "Imagini...", the pictures of the offer header and of the main
// window's background. Its rules are ImgOptDlgLogic. The files are chosen
// from a directory tree and a file list; the file system has no drives here,
// so the tree starts at the root and there is no drive list.

#include "imgoptdlglogic.h"

#include "common/dialogs.h"

#include <QDialog>

class QFileSystemModel;
class QLabel;
class QListView;
class QPushButton;
class QRadioButton;
class QTreeView;

namespace shell {

class TImgOptDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int kPreviewSide = 180;

    // Opens the logic: reads the two paths and points the file list at the header picture.
    TImgOptDlg(ImgOptDlgLogic& logic, common::Dialogs& dialogs, QWidget* parent = nullptr);

    QRadioButton* headerRadio() const { return m_header; }
    QRadioButton* backgroundRadio() const { return m_background; }
    QTreeView* directoryList() const { return m_directories; }
    QListView* fileList() const { return m_files; }
    QLabel* preview() const { return m_preview; }

    void accept() override;

private:
    void showState(); // directory, selected file and preview from the logic

    ImgOptDlgLogic& m_logic;
    common::Dialogs& m_dialogs;
    QRadioButton* m_header = nullptr;
    QRadioButton* m_background = nullptr;
    QFileSystemModel* m_dirModel = nullptr;
    QFileSystemModel* m_fileModel = nullptr;
    QTreeView* m_directories = nullptr;
    QListView* m_files = nullptr;
    QLabel* m_preview = nullptr;
    bool m_updating = false;
};

} // namespace shell
