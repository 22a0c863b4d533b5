#pragma once
// The rules of the image options dialog ("Imagini..."), without widgets: two
// pictures, the header of printed offers and the background of the main
// window, each chosen from a file list with a preview.

#include "common/dialogs.h"
#include "common/inifile.h"
#include "common/parameters.h"

#include <QImage>
#include <QSize>
#include <QString>
#include <array>

namespace shell {

class ImgOptDlgLogic {
public:
    enum class Item { Header = 0, Background = 1 }; // "&Antet oferta", "&Fundal program"
    static constexpr const char* kFileMask = "*.BMP;*.WMF;*.EMF";

    ImgOptDlgLogic(common::Parameters& params, common::IniFile& appIni, common::Dialogs& dialogs);

    // Reads Options / ImageHeader and ImageBackground and points the file
    // list at the header picture.
    void open();

    Item item() const { return m_item; }
    // Switching the radio item points the file list at that item's picture.
    void selectItem(Item item);
    // A file chosen in the list: shown in the preview and made the picture of
    // the selected item; a file that cannot be loaded hides the preview and
    // beeps, and the item keeps its picture.
    void chooseFile(const QString& path);
    const QString& path(Item item) const { return m_paths.at(std::size_t(item)); }

    // Where the file list points: a directory and the file selected in it.
    const QString& listDirectory() const { return m_listDirectory; }
    const QString& listFile() const { return m_listFile; }
    void setListDirectory(const QString& dir); // the user moved through the directories

    bool previewVisible() const { return m_previewVisible; }
    const QImage& preview() const { return m_preview; }
    void setPreviewArea(QSize area) { m_previewArea = area; }
    // The picture's size in the preview: its own when it fits the area,
    // otherwise scaled down to fit with its proportions kept.
    static QSize fitSize(QSize picture, QSize area);

    // Writes both paths to Options (EParameters when the file cannot be written).
    void accept();

private:
    void pointAt(const QString& path);
    void hidePreview();

    common::Parameters& m_params;
    common::IniFile& m_appIni;
    common::Dialogs& m_dialogs;
    Item m_item = Item::Header;
    std::array<QString, 2> m_paths;
    QString m_listDirectory;
    QString m_listFile;
    QImage m_preview;
    bool m_previewVisible = false;
    QSize m_previewArea{180, 180};
};

} // namespace shell
