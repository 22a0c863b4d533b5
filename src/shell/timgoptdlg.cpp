#include "timgoptdlg.h"

#include "mainformlogic.h"

#include <QDialogButtonBox>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QListView>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeView>
#include <QVBoxLayout>

namespace shell {

TImgOptDlg::TImgOptDlg(ImgOptDlgLogic& logic, common::Dialogs& dialogs, QWidget* parent)
    : QDialog(parent), m_logic(logic), m_dialogs(dialogs)
{
    setWindowTitle(QStringLiteral("Imagini..."));

    auto* items = new QGroupBox(this);
    auto* itemsLayout = new QHBoxLayout(items);
    m_header = new QRadioButton(QStringLiteral("&Antet oferta"), items);
    m_background = new QRadioButton(QStringLiteral("&Fundal program"), items);
    itemsLayout->addWidget(m_header);
    itemsLayout->addWidget(m_background);
    itemsLayout->addStretch(1);

    m_dirModel = new QFileSystemModel(this);
    m_dirModel->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    m_dirModel->setReadOnly(true);
    m_dirModel->setRootPath(QString());
    m_directories = new QTreeView(this);
    m_directories->setModel(m_dirModel);
    m_directories->setHeaderHidden(true);
    for (int column = 1; column < m_dirModel->columnCount(); ++column)
        m_directories->hideColumn(column);

    m_fileModel = new QFileSystemModel(this);
    m_fileModel->setFilter(QDir::Files);
    m_fileModel->setNameFilters(QString::fromLatin1(ImgOptDlgLogic::kFileMask).split(QLatin1Char(';')));
    m_fileModel->setNameFilterDisables(false);
    m_fileModel->setReadOnly(true);
    m_files = new QListView(this);
    m_files->setModel(m_fileModel);
    auto* filesLabel = new QLabel(QStringLiteral("&Imagini (*.BMP):"), this);
    filesLabel->setBuddy(m_files);

    m_preview = new QLabel(this);
    m_preview->setFixedSize(kPreviewSide, kPreviewSide);
    m_preview->setAlignment(Qt::AlignCenter);
    m_preview->setFrameShape(QFrame::StyledPanel);
    m_preview->setFrameShadow(QFrame::Sunken);
    m_logic.setPreviewArea(m_preview->contentsRect().size());

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("Renunta"), QDialogButtonBox::RejectRole);
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &TImgOptDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TImgOptDlg::reject);

    auto* grid = new QGridLayout;
    grid->addWidget(items, 0, 0, 1, 3);
    grid->addWidget(m_directories, 1, 0, 2, 1);
    grid->addWidget(filesLabel, 1, 1);
    grid->addWidget(m_files, 2, 1);
    grid->addWidget(m_preview, 1, 2, 2, 1, Qt::AlignTop);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid, 1);
    layout->addWidget(buttons);
    resize(640, 360);

    connect(m_header, &QRadioButton::clicked, this, [this] {
        m_logic.selectItem(ImgOptDlgLogic::Item::Header);
        showState();
    });
    connect(m_background, &QRadioButton::clicked, this, [this] {
        m_logic.selectItem(ImgOptDlgLogic::Item::Background);
        showState();
    });
    connect(m_directories->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (m_updating || !current.isValid())
                    return;
                m_logic.setListDirectory(m_dirModel->filePath(current));
                showState();
            });
    connect(m_files->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (m_updating || !current.isValid())
                    return;
                m_logic.chooseFile(m_fileModel->filePath(current));
                showState();
            });

    m_logic.open();
    showState();
}

void TImgOptDlg::showState()
{
    m_updating = true;
    (m_logic.item() == ImgOptDlgLogic::Item::Header ? m_header : m_background)->setChecked(true);

    const QString dir = m_logic.listDirectory();
    const QModelIndex dirIndex = m_dirModel->index(dir);
    m_directories->setCurrentIndex(dirIndex);
    m_directories->scrollTo(dirIndex);
    m_files->setRootIndex(m_fileModel->setRootPath(dir));
    if (m_logic.listFile().isEmpty())
        m_files->clearSelection();
    else
        m_files->setCurrentIndex(m_fileModel->index(m_logic.listFile()));

    if (m_logic.previewVisible())
        m_preview->setPixmap(QPixmap::fromImage(m_logic.preview()));
    else
        m_preview->clear();
    m_updating = false;
}

void TImgOptDlg::accept()
{
    if (runReported(m_dialogs, [this] { m_logic.accept(); }))
        QDialog::accept();
}

} // namespace shell
