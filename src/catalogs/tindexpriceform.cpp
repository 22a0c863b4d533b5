#include "tindexpriceform.h"

#include <QApplication>
#include <QLabel>
#include <QVBoxLayout>

namespace catalogs {

TIndexPriceForm::TIndexPriceForm(QWidget* parent)
    : QFrame(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Raised);
    setLineWidth(2);
    auto* label = new QLabel(QStringLiteral("Indexez preturile..."), this);
    label->setAlignment(Qt::AlignCenter);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 16, 24, 16);
    layout->addWidget(label);
    adjustSize();
    setFixedSize(std::max(width(), 220), std::max(height(), 60));
}

TIndexPriceForm::~TIndexPriceForm()
{
    stop();
}

void TIndexPriceForm::start()
{
    if (QWidget* p = parentWidget()) {
        const QPoint centre = p->mapToGlobal(p->rect().center());
        move(centre - QPoint(width() / 2, height() / 2));
    }
    show();
    if (!m_busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        m_busy = true;
    }
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TIndexPriceForm::stop()
{
    hide();
    if (m_busy) {
        QApplication::restoreOverrideCursor();
        m_busy = false;
    }
}

} // namespace catalogs
