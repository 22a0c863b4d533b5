#include "imgoptdlglogic.h"

#include <QDir>
#include <QFileInfo>

namespace shell {

namespace {
const QString kImageHeader = QStringLiteral("ImageHeader");
const QString kImageBackground = QStringLiteral("ImageBackground");
} // namespace

ImgOptDlgLogic::ImgOptDlgLogic(common::Parameters& params, common::IniFile& appIni, common::Dialogs& dialogs)
    : m_params(params), m_appIni(appIni), m_dialogs(dialogs), m_listDirectory(QDir::homePath())
{
}

void ImgOptDlgLogic::open()
{
    const QString options = QLatin1String(common::kAppOptionsSection);
    m_paths[std::size_t(Item::Header)] = m_appIni.readString(options, kImageHeader, m_params.ImageHeader);
    m_paths[std::size_t(Item::Background)] = m_appIni.readString(options, kImageBackground, m_params.ImageBackground);
    m_item = Item::Header;
    pointAt(path(Item::Header));
}

void ImgOptDlgLogic::selectItem(Item item)
{
    m_item = item;
    pointAt(path(item));
}

void ImgOptDlgLogic::pointAt(const QString& file)
{
    m_listFile.clear();
    if (file.isEmpty()) {
        hidePreview();
        return;
    }
    const QFileInfo info(file);
    if (!info.isFile() || !info.isReadable()) {
        hidePreview();
        m_dialogs.error(QStringLiteral("Fisierul <") + file + QStringLiteral("> este inaccesibil!"));
        return;
    }
    m_listDirectory = info.absolutePath();
    chooseFile(file);
}

void ImgOptDlgLogic::setListDirectory(const QString& dir)
{
    m_listDirectory = dir;
    m_listFile.clear();
}

void ImgOptDlgLogic::chooseFile(const QString& file)
{
    QImage picture;
    if (!picture.load(file)) {
        hidePreview();
        m_dialogs.beep();
        return;
    }
    m_listFile = file;
    m_preview = picture.scaled(fitSize(picture.size(), m_previewArea), Qt::KeepAspectRatio, Qt::SmoothTransformation);
    m_previewVisible = true;
    m_paths[std::size_t(m_item)] = file;
}

void ImgOptDlgLogic::hidePreview()
{
    m_preview = QImage();
    m_previewVisible = false;
}

QSize ImgOptDlgLogic::fitSize(QSize picture, QSize area)
{
    if (picture.width() <= area.width() && picture.height() <= area.height())
        return picture;
    return picture.scaled(area, Qt::KeepAspectRatio);
}

void ImgOptDlgLogic::accept()
{
    const QString options = QLatin1String(common::kAppOptionsSection);
    const bool written = m_appIni.writeString(options, kImageHeader, path(Item::Header))
                         && m_appIni.writeString(options, kImageBackground, path(Item::Background));
    if (!written)
        throw common::EParameters(
            QStringLiteral("Nu pot scrie fisierul %1!").arg(QDir::toNativeSeparators(m_appIni.path())));
    m_params.ImageHeader = path(Item::Header);
    m_params.ImageBackground = path(Item::Background);
}

} // namespace shell
