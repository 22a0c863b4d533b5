#include "reportpreview.h"

#include "output.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace reportengine {

namespace {

// Zoom choices: whole page, page width, then percents.
const QList<double> kPercents{50, 75, 100, 150, 200};

QToolButton* toolButton(QWidget* parent, QStyle::StandardPixmap icon, const QString& tip)
{
    auto* b = new QToolButton(parent);
    b->setIcon(parent->style()->standardIcon(icon));
    b->setToolTip(tip);
    b->setAutoRaise(true);
    return b;
}

} // namespace

ReportPreview::ReportPreview(const PageList& pages, common::Dialogs& dialogs, QWidget* parent)
    : QDialog(parent), m_logic(pages, dialogs)
{
    setWindowTitle(pages.title.isEmpty() ? QStringLiteral("Previzualizare") : pages.title);
    setWindowFlags(windowFlags() | Qt::WindowMaximizeButtonHint | Qt::WindowMinimizeButtonHint);

    auto* bar = new QHBoxLayout;
    bar->setContentsMargins(6, 4, 6, 4);
    bar->setSpacing(6);
    m_zoom = new QComboBox(this);
    m_zoom->addItem(QStringLiteral("Toata pagina"));
    m_zoom->addItem(QStringLiteral("Latimea paginii"));
    for (double p : kPercents)
        m_zoom->addItem(QStringLiteral("%1%").arg(p));
    m_zoom->setCurrentIndex(1);
    m_zoom->setToolTip(QStringLiteral("Marime"));
    bar->addWidget(m_zoom);
    auto* zoomOut = new QToolButton(this);
    zoomOut->setText(QStringLiteral("-"));
    zoomOut->setToolTip(QStringLiteral("Micsoreaza"));
    auto* zoomIn = new QToolButton(this);
    zoomIn->setText(QStringLiteral("+"));
    zoomIn->setToolTip(QStringLiteral("Mareste"));
    bar->addWidget(zoomOut);
    bar->addWidget(zoomIn);
    bar->addSpacing(12);

    m_first = toolButton(this, QStyle::SP_MediaSkipBackward, QStringLiteral("Prima pagina"));
    m_previous = toolButton(this, QStyle::SP_MediaSeekBackward, QStringLiteral("Pagina anterioara"));
    m_next = toolButton(this, QStyle::SP_MediaSeekForward, QStringLiteral("Pagina urmatoare"));
    m_last = toolButton(this, QStyle::SP_MediaSkipForward, QStringLiteral("Ultima pagina"));
    m_pageLabel = new QLabel(this);
    m_pageLabel->setMinimumWidth(110);
    m_pageLabel->setAlignment(Qt::AlignCenter);
    bar->addWidget(m_first);
    bar->addWidget(m_previous);
    bar->addWidget(m_pageLabel);
    bar->addWidget(m_next);
    bar->addWidget(m_last);
    bar->addStretch(1);

    auto* printButton = new QPushButton(QStringLiteral("&Printeaza..."), this);
    auto* saveButton = new QPushButton(QStringLiteral("&Salveaza..."), this);
    auto* closeButton = new QPushButton(QStringLiteral("&Inchide"), this);
    printButton->setAutoDefault(false);
    saveButton->setAutoDefault(false);
    closeButton->setAutoDefault(false);
    bar->addWidget(printButton);
    bar->addWidget(saveButton);
    bar->addWidget(closeButton);

    m_view = new QLabel;
    m_view->setAlignment(Qt::AlignCenter);
    m_scroll = new QScrollArea(this);
    m_scroll->setWidget(m_view);
    m_scroll->setWidgetResizable(false);
    m_scroll->setAlignment(Qt::AlignCenter);
    m_scroll->setBackgroundRole(QPalette::Dark);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(bar);
    layout->addWidget(m_scroll, 1);

    connect(m_first, &QToolButton::clicked, this, [this] { m_logic.first(); refresh(); });
    connect(m_previous, &QToolButton::clicked, this, [this] { m_logic.previous(); refresh(); });
    connect(m_next, &QToolButton::clicked, this, [this] { m_logic.next(); refresh(); });
    connect(m_last, &QToolButton::clicked, this, [this] { m_logic.last(); refresh(); });
    connect(zoomIn, &QToolButton::clicked, this, [this] { m_logic.zoomIn(); refresh(); });
    connect(zoomOut, &QToolButton::clicked, this, [this] { m_logic.zoomOut(); refresh(); });
    connect(m_zoom, &QComboBox::activated, this, &ReportPreview::zoomChosen);
    connect(printButton, &QPushButton::clicked, this, &ReportPreview::print);
    connect(saveButton, &QPushButton::clicked, this, &ReportPreview::save);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::accept);

    // The room of the main window; the zoom follows once the page area has its size.
    const QWidget* owner = parent ? parent->window() : nullptr;
    if (owner && owner->isVisible() && owner->width() > 400 && owner->height() > 300) {
        setGeometry(owner->geometry());
    } else if (const QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        resize(area.size() * 9 / 10);
        move(area.center() - rect().center());
    } else {
        resize(900, 700);
    }
    m_scroll->viewport()->installEventFilter(this);
    refresh();
}

bool ReportPreview::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_scroll->viewport() && event->type() == QEvent::Resize
        && m_logic.zoomMode() != PreviewLogic::ZoomMode::Percent)
        refresh();
    return QDialog::eventFilter(watched, event);
}

void ReportPreview::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    refresh();
}

void ReportPreview::zoomChosen(int index)
{
    if (index == 0)
        m_logic.setZoomMode(PreviewLogic::ZoomMode::WholePage);
    else if (index == 1)
        m_logic.setZoomMode(PreviewLogic::ZoomMode::PageWidth);
    else
        m_logic.setZoom(kPercents.value(index - 2, 100));
    refresh();
}

void ReportPreview::showPage(int page)
{
    m_logic.goTo(page);
    refresh();
}

void ReportPreview::refresh()
{
    if (m_shown != m_logic.page()) { // a new page is shown from its top
        m_shown = m_logic.page();
        m_scroll->verticalScrollBar()->setValue(0);
    }
    m_pageLabel->setText(m_logic.pageText());
    m_first->setEnabled(m_logic.canGoBack());
    m_previous->setEnabled(m_logic.canGoBack());
    m_next->setEnabled(m_logic.canGoForward());
    m_last->setEnabled(m_logic.canGoForward());
    if (m_logic.zoomMode() == PreviewLogic::ZoomMode::Percent) {
        const int i = kPercents.indexOf(m_logic.effectiveZoom({}, 96));
        m_zoom->setCurrentIndex(i >= 0 ? i + 2 : -1);
    }

    const double screenDpi = logicalDpiX() > 0 ? logicalDpiX() : 96;
    const int scrollBar = m_scroll->verticalScrollBar()->sizeHint().width();
    const QSizeF viewport(m_scroll->viewport()->width() - scrollBar - 16, m_scroll->viewport()->height() - 16);
    const double zoom = m_logic.effectiveZoom(viewport, screenDpi);
    const qreal ratio = devicePixelRatioF();
    QImage image = renderPage(m_logic.pages(), m_logic.page(), screenDpi * zoom / 100 * ratio);
    image.setDevicePixelRatio(ratio);
    m_view->setPixmap(QPixmap::fromImage(image));
    m_view->adjustSize();
}

void ReportPreview::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_PageDown: m_logic.next(); break;
    case Qt::Key_PageUp: m_logic.previous(); break;
    case Qt::Key_Home:
        if (!(event->modifiers() & Qt::ControlModifier))
            return QDialog::keyPressEvent(event);
        m_logic.first();
        break;
    case Qt::Key_End:
        if (!(event->modifiers() & Qt::ControlModifier))
            return QDialog::keyPressEvent(event);
        m_logic.last();
        break;
    default:
        return QDialog::keyPressEvent(event);
    }
    refresh();
}

void ReportPreview::print()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(m_logic.pages().title);
    printer.setPageLayout(pageLayout(m_logic.pages().setup));
    QPrintDialog dialog(&printer, this);
    dialog.setMinMax(1, m_logic.pageCount());
    if (dialog.exec() != QDialog::Accepted)
        return;
    int first = 0;
    int last = -1;
    if (printer.printRange() == QPrinter::PageRange) {
        first = printer.fromPage() - 1;
        last = printer.toPage() - 1;
    } else if (printer.printRange() == QPrinter::CurrentPage) {
        first = last = m_logic.page();
    }
    printPages(m_logic.pages(), printer, first, last);
}

void ReportPreview::save()
{
    const QStringList filters = PreviewLogic::saveFilters();
    QString chosenFilter = filters.at(2);
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Salveaza raportul"), saveFolder(),
                                                      filters.join(QStringLiteral(";;")), &chosenFilter);
    if (path.isEmpty())
        return;
    if (m_logic.save(path, PreviewLogic::formatFor(chosenFilter, path))) {
        const QString folder = QFileInfo(m_logic.savedPath()).absolutePath();
        if (QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr)
            owner->setProperty(kSaveFolderProperty, folder); // the next preview starts there
        else
            setProperty(kSaveFolderProperty, folder);
    }
}

QString ReportPreview::saveFolder() const
{
    const QObject* owner = parentWidget() ? static_cast<const QObject*>(parentWidget()->window()) : this;
    return PreviewLogic::saveFolder(owner->property(kSaveFolderProperty).toString(),
                                    owner->property(kDatabaseFolderProperty).toString());
}

void showPreview(const PageList& pages, common::Dialogs& dialogs, QWidget* parent)
{
    ReportPreview preview(pages, dialogs, parent);
    preview.exec();
}

} // namespace reportengine
