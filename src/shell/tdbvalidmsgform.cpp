#include "tdbvalidmsgform.h"

#include <QTimer>

#include "artwork.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTreeView>
#include <QVBoxLayout>

namespace shell {

namespace {

QString withoutTrailingSeparator(QString dir)
{
    while (dir.size() > 1 && (dir.endsWith(QLatin1Char('/')) || dir.endsWith(QLatin1Char('\\'))))
        dir.chop(1);
    return dir;
}

constexpr QSize kOpeningWindowSize(420, 270);

} // namespace

QString shortenPath(const QString& path, int maxLength)
{
    if (path.size() <= maxLength)
        return path;
    const QString ellipsis = QStringLiteral("...");
    const QChar sep = path.contains(QLatin1Char('\\')) ? QLatin1Char('\\') : QLatin1Char('/');
    QStringList parts = path.split(sep);

    // The head stays: the drive ("C:") or, for a rooted path, the root and its
    // first folder ("/home").
    QString head = parts.takeFirst();
    if (head.isEmpty() && !parts.isEmpty())
        head = sep + parts.takeFirst();

    QStringList tail = parts;
    const auto joined = [&](const QStringList& t) {
        return head + sep + ellipsis + sep + t.join(sep);
    };
    while (tail.size() > 1 && joined(tail).size() > maxLength)
        tail.removeFirst();
    if (!tail.isEmpty() && joined(tail).size() <= maxLength)
        return joined(tail);

    // Even the last component alone is too long.
    const QString last = tail.isEmpty() ? head : tail.last();
    const QString shortTail = ellipsis + sep + last;
    if (shortTail.size() <= maxLength)
        return shortTail;
    return last.left(qMax(0, maxLength - int(ellipsis.size()))) + ellipsis;
}

// ---------------------------------------------------------------------------

TBrowseFolderDialog::TBrowseFolderDialog(const QString& startDir,
                                         datastore::FolderPicker::NewDirectoryHandler onNewDirectory,
                                         common::Dialogs& dialogs, QWidget* parent)
    : QDialog(parent), m_onNewDirectory(std::move(onNewDirectory)), m_dialogs(dialogs)
{
    setWindowTitle(QStringLiteral("Select database directory"));
    resize(380, 420);

    auto* title = new QLabel(QStringLiteral("Select database directory"), this);

    m_model = new QFileSystemModel(this);
    m_model->setFilter(QDir::AllDirs | QDir::Drives | QDir::NoDotAndDotDot);
    m_model->setReadOnly(true);
    m_model->setRootPath(QString());

    m_tree = new QTreeView(this);
    m_tree->setModel(m_model);
    m_tree->setHeaderHidden(true);
    for (int column = 1; column < m_model->columnCount(); ++column)
        m_tree->hideColumn(column);
    m_tree->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    m_tree->header()->setStretchLastSection(false);

    m_status = new QLabel(this);
    m_status->setTextFormat(Qt::PlainText);
    m_status->setFrameShape(QFrame::StyledPanel);
    m_status->setFrameShadow(QFrame::Sunken);

    m_newDirectory = new QPushButton(QStringLiteral("New directory"), this);
    m_newDirectory->setFixedWidth(kNewDirectoryButtonWidth);
    // The caption must fit the fixed width: a smaller font when it does not.
    QFont buttonFont = m_newDirectory->font();
    while (QFontMetrics(buttonFont).horizontalAdvance(m_newDirectory->text()) > kNewDirectoryButtonWidth - 8
           && buttonFont.pointSizeF() > 6.0)
        buttonFont.setPointSizeF(buttonFont.pointSizeF() - 0.5);
    m_newDirectory->setFont(buttonFont);
    m_newDirectory->setAutoDefault(false);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Renunta"));
    connect(buttons, &QDialogButtonBox::accepted, this, &TBrowseFolderDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TBrowseFolderDialog::reject);
    connect(m_newDirectory, &QPushButton::clicked, this, &TBrowseFolderDialog::newDirectoryClicked);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_newDirectory);
    bottom->addStretch(1);
    bottom->addWidget(buttons);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(title);
    layout->addWidget(m_tree, 1);
    layout->addWidget(m_status);
    layout->addLayout(bottom);

    connect(m_tree->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { updateStatus(); });

    const QString start = withoutTrailingSeparator(startDir);
    if (!start.isEmpty() && QFileInfo(start).isDir()) {
        selectFolder(start);
        // The folders are read and sorted in the background: keep the start
        // folder in view while they arrive, until the user moves.
        m_followStart = true;
        auto follow = [this] {
            if (m_followStart)
                QTimer::singleShot(0, this, [this] { scrollToCurrent(); });
        };
        connect(m_model, &QFileSystemModel::directoryLoaded, this, follow);
        connect(m_model, &QAbstractItemModel::layoutChanged, this, follow);
        connect(m_model, &QAbstractItemModel::rowsInserted, this, follow);
        m_tree->viewport()->installEventFilter(this);
        m_tree->installEventFilter(this);
    }
    updateStatus();
}

bool TBrowseFolderDialog::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::Wheel:
    case QEvent::KeyPress:
        m_followStart = false;
        break;
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

void TBrowseFolderDialog::scrollToCurrent()
{
    if (m_tree->currentIndex().isValid())
        m_tree->scrollTo(m_tree->currentIndex(), QAbstractItemView::PositionAtCenter);
}

void TBrowseFolderDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    QTimer::singleShot(0, this, [this] { scrollToCurrent(); });
}

QString TBrowseFolderDialog::selectedFolder() const
{
    const QModelIndex current = m_tree->currentIndex();
    return current.isValid() ? m_model->filePath(current) : QString();
}

void TBrowseFolderDialog::selectFolder(const QString& path)
{
    const QModelIndex index = m_model->index(QDir(path).absolutePath());
    if (!index.isValid())
        return;
    m_tree->setCurrentIndex(index);
    m_tree->scrollTo(index, QAbstractItemView::PositionAtCenter);
    m_tree->expand(index);
}

void TBrowseFolderDialog::updateStatus()
{
    const QString folder = selectedFolder();
    m_status->setText(shortenPath(QDir::toNativeSeparators(folder), kStatusLength));
    m_ok->setEnabled(!folder.isEmpty());
}

void TBrowseFolderDialog::newDirectoryClicked()
{
    std::optional<QString> created;
    runReported(m_dialogs, [&] {
        if (m_onNewDirectory)
            created = m_onNewDirectory(selectedFolder());
    });
    if (created) {
        m_chosen = *created;
        QDialog::accept();
    }
}

void TBrowseFolderDialog::accept()
{
    const QString folder = selectedFolder();
    if (folder.isEmpty())
        return;
    m_chosen = folder;
    QDialog::accept();
}

// ---------------------------------------------------------------------------

TBrowseFolder::TBrowseFolder(common::Dialogs& dialogs, QWidget* parent) : m_dialogs(dialogs), m_parent(parent) {}

std::optional<QString> TBrowseFolder::browse(const QString& startDir, const NewDirectoryHandler& onNewDirectory)
{
    TBrowseFolderDialog dialog(startDir, onNewDirectory, m_dialogs, m_parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.chosenFolder();
}

// ---------------------------------------------------------------------------

TDBValidMsgForm::TDBValidMsgForm(common::Dialogs& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), m_picker(dialogs, parent)
{
    setFixedSize(kOpeningWindowSize);
    m_picture = artwork::openingPicture(kOpeningWindowSize);

    m_step = new QLabel(this);
    m_step->setAlignment(Qt::AlignCenter);
    m_step->setWordWrap(true);
    m_step->setTextFormat(Qt::PlainText);
    m_step->setStyleSheet(QStringLiteral("QLabel { color: #183868; font-weight: bold; background: transparent; }"));
    m_step->hide();

    m_progress = new QProgressBar(this);
    m_progress->setRange(0, 100);
    m_progress->setValue(0);
    m_progress->setTextVisible(true);
    m_progress->hide();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 16, 24, 12);
    layout->setSpacing(4);
    layout->addStretch(1);
    layout->addWidget(m_step);
    layout->addWidget(m_progress);
}

void TDBValidMsgForm::setStepText(const QString& text)
{
    m_step->setText(text);
    m_step->show();
    if (isVisible())
        repaint();
}

void TDBValidMsgForm::setStepVisible(bool visible)
{
    if (visible) {
        centreOnScreen();
        show();
        raise();
        repaint();
    } else {
        hide();
    }
}

void TDBValidMsgForm::setProgress(int percent)
{
    m_progress->setValue(qBound(0, percent, 100));
    if (isVisible())
        m_progress->repaint();
}

void TDBValidMsgForm::setProgressBarVisible(bool visible)
{
    m_progress->setVisible(visible);
}

void TDBValidMsgForm::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.drawPixmap(rect(), m_picture);
}

void TDBValidMsgForm::showEvent(QShowEvent* event)
{
    centreOnScreen();
    QWidget::showEvent(event);
}

void TDBValidMsgForm::centreOnScreen()
{
    QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!s)
        return;
    const QRect area = s->availableGeometry();
    move(area.center() - QPoint(width() / 2, height() / 2));
}

} // namespace shell
