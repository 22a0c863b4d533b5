#include "tmessageform.h"

#include "artwork.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QScreen>

namespace shell {

TMessageForm::TMessageForm(QWidget* owner)
    : QWidget(owner, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus)
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    setAutoFillBackground(true);

    m_text = new QLabel(this);
    m_text->setTextFormat(Qt::PlainText);
    m_text->setAlignment(Qt::AlignCenter);
    m_text->setFrameShape(QFrame::Panel);
    m_text->setFrameShadow(QFrame::Raised);

    m_picture = new QLabel(this);
    m_picture->setFixedWidth(kPictureWidth);
    m_picture->setAlignment(Qt::AlignCenter);
    m_picture->setPixmap(artwork::workMessagePicture(32));

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->setSpacing(0);
    layout->addWidget(m_text, 1);
    layout->addWidget(m_picture);

    setFixedSize(kDesignWidth, kDesignHeight);
    centreOnScreen();
}

int TMessageForm::fittedWidth(int designWidth, int textWidth, int pictureWidth, int screenWidth)
{
    if (textWidth + pictureWidth <= designWidth)
        return designWidth;
    return qMin(textWidth + pictureWidth + kTextMargin, screenWidth);
}

QRect TMessageForm::screenArea() const
{
    QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    return s ? s->geometry() : QRect(0, 0, 1024, 768);
}

void TMessageForm::centreOnScreen()
{
    const QRect area = screenArea();
    move(area.left() + (area.width() - width()) / 2, area.top() + (area.height() - height()) / 2);
}

void TMessageForm::setText(const QString& text)
{
    const QRect area = screenArea();
    const int textWidth = QFontMetrics(font()).horizontalAdvance(text);
    const int newWidth = fittedWidth(kDesignWidth, textWidth, kPictureWidth, area.width());
    if (newWidth != width()) {
        const int top = y();
        setFixedWidth(newWidth);
        move(area.left() + (area.width() - newWidth) / 2, top);
    }
    m_text->setText(text);
}

void TMessageForm::paintEvent(QPaintEvent* event)
{
    QWidget::paintEvent(event);
    QPainter p(this);
    p.setPen(QColor(24, 56, 104));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

QString TMessageForm::text() const
{
    return m_text->text();
}

} // namespace shell
