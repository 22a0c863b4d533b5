#include "taboutbox.h"

#include "artwork.h"

#include <QEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

namespace shell {

namespace {

QWidget* textPage(const QString& text)
{
    auto* page = new QWidget;
    auto* label = new QLabel(text, page);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(14, 14, 14, 14);
    layout->addWidget(label);
    layout->addStretch(1);
    return page;
}

} // namespace

QString TAboutBox::versionCaption(const QString& version)
{
    const QStringList parts = version.split(QLatin1Char('.'));
    if (parts.size() != 4)
        return QStringLiteral("Versiune ????");
    int numbers[4] = {};
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        numbers[i] = parts.at(i).toInt(&ok);
        if (!ok)
            return QStringLiteral("Versiune ????");
    }
    return QString::asprintf("Versiunea %d.%d.%d.%d", numbers[0], numbers[1], numbers[2], numbers[3]);
}

TAboutBox::TAboutBox(const QString& version, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
{
    setModal(true);
    setObjectName(QStringLiteral("AboutBox"));

    m_picture = new QLabel(this);
    m_picture->setPixmap(artwork::aboutPicture(QSize(140, 200)));
    m_picture->setFixedSize(140, 200);

    m_pages = new QTabWidget(this);
    m_pages->addTab(textPage(QStringLiteral(
                        "Gestiunea materialelor si obiectelor de inventar\n\n"
                        "Evidenta stocurilor de materiale si obiecte de inventar pe gestiuni, "
                        "documente de intrare si de iesire, propuneri de casare, comenzi, "
                        "liste zilnice de alimente si rapoartele de stoc.")),
                    QStringLiteral("Autor"));
    m_pages->addTab(textPage(QStringLiteral("Pentru intrebari si sugestii adresati-va administratorului "
                                            "de sistem al institutiei.")),
                    QStringLiteral("Contact"));
    m_pages->addTab(textPage(versionCaption(version)), QStringLiteral("Versiune"));
    m_pages->setFixedSize(300, 200);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->addWidget(m_picture);
    layout->addWidget(m_pages);

    // Clicks on the picture or on a page close the box; the tab bar keeps its
    // clicks to switch pages. Keys close it wherever the focus is.
    m_picture->installEventFilter(this);
    for (int i = 0; i < m_pages->count(); ++i) {
        QWidget* page = m_pages->widget(i);
        page->installEventFilter(this);
        for (QWidget* child : page->findChildren<QWidget*>())
            child->installEventFilter(this);
    }
    m_pages->tabBar()->installEventFilter(this);
    m_pages->installEventFilter(this);
}

bool TAboutBox::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        accept();
        return true;
    }
    if (event->type() == QEvent::MouseButtonPress && watched != m_pages->tabBar() && watched != m_pages) {
        accept();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TAboutBox::paintEvent(QPaintEvent* event)
{
    QDialog::paintEvent(event);
    QPainter p(this);
    p.setPen(QPen(QColor(24, 56, 104), 2));
    p.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
}

void TAboutBox::keyPressEvent(QKeyEvent* event)
{
    event->accept();
    accept();
}

void TAboutBox::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    if (s)
        move(s->availableGeometry().center() - QPoint(width() / 2, height() / 2));
}

} // namespace shell
