#include "artwork.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace shell::artwork {

namespace {

const QColor kDeepBlue(24, 56, 104);
const QColor kSteelBlue(64, 112, 168);
const QColor kPaleBlue(214, 228, 244);
const QColor kAmber(232, 168, 56);
const QColor kCrate(196, 142, 76);
const QColor kCrateDark(140, 96, 48);

QPixmap blank(QSize size)
{
    QPixmap pm(size);
    pm.fill(Qt::transparent);
    return pm;
}

// A stack of boxes on a shelf: the sign of a store room.
void drawStack(QPainter& p, const QRectF& area)
{
    const qreal w = area.width() / 3.0;
    const qreal h = area.height() / 2.0;
    const auto box = [&](qreal x, qreal y) {
        const QRectF r(x, y, w * 0.94, h * 0.92);
        QLinearGradient g(r.topLeft(), r.bottomRight());
        g.setColorAt(0, kCrate.lighter(115));
        g.setColorAt(1, kCrate);
        p.setBrush(g);
        p.setPen(QPen(kCrateDark, qMax<qreal>(1.0, w / 30.0)));
        p.drawRect(r);
        p.drawLine(QPointF(r.left(), r.center().y()), QPointF(r.right(), r.center().y()));
    };
    box(area.left(), area.top() + h);
    box(area.left() + w, area.top() + h);
    box(area.left() + 2 * w, area.top() + h);
    box(area.left() + w * 0.5, area.top());
    box(area.left() + w * 1.5, area.top());
}

} // namespace

QPixmap logo(QSize size)
{
    QPixmap pm = blank(size);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(pm.rect()).adjusted(1, 1, -1, -1);
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, kSteelBlue);
    g.setColorAt(1, kDeepBlue);
    p.setPen(QPen(kDeepBlue.darker(130), 1));
    p.setBrush(g);
    p.drawRoundedRect(r, r.height() / 4, r.height() / 4);

    const qreal side = r.height() * 0.7;
    drawStack(p, QRectF(r.left() + r.height() * 0.2, r.top() + (r.height() - side) / 2, side, side));

    QFont f = p.font();
    f.setBold(true);
    f.setPixelSize(qMax(8, int(r.height() * 0.42)));
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(r.adjusted(r.height() * 0.3 + side, 0, -r.height() * 0.2, 0), Qt::AlignCenter,
               QStringLiteral("Mirafel"));
    return pm;
}

QPixmap openingPicture(QSize size)
{
    QPixmap pm(size);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r(pm.rect());

    // Sky in the upper part, a pale band at the bottom for the step text and
    // the progress bar.
    const qreal bandTop = r.height() * 0.72;
    QLinearGradient sky(r.topLeft(), QPointF(0, bandTop));
    sky.setColorAt(0, kDeepBlue);
    sky.setColorAt(1, kSteelBlue);
    p.fillRect(QRectF(0, 0, r.width(), bandTop), sky);
    p.fillRect(QRectF(0, bandTop, r.width(), r.height() - bandTop), kPaleBlue);

    // A shelf with stacks of boxes just above the band.
    const qreal stackSide = r.height() * 0.26;
    const qreal shelfY = bandTop - r.height() * 0.04;
    const int stacks = 4;
    const qreal gap = (r.width() - stacks * stackSide) / (stacks + 1);
    for (int i = 0; i < stacks; ++i)
        drawStack(p, QRectF(gap + i * (stackSide + gap), shelfY - stackSide, stackSide, stackSide));
    p.setPen(Qt::NoPen);
    p.setBrush(kCrateDark);
    p.drawRect(QRectF(0, shelfY, r.width(), r.height() * 0.04));

    // The name of the program.
    QFont f = p.font();
    f.setBold(true);
    f.setPixelSize(qMax(10, int(r.height() * 0.12)));
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRectF(0, r.height() * 0.04, r.width(), r.height() * 0.15), Qt::AlignCenter,
               QStringLiteral("Mirafel"));
    f.setBold(false);
    f.setPixelSize(qMax(8, int(r.height() * 0.05)));
    p.setFont(f);
    p.setPen(kPaleBlue);
    p.drawText(QRectF(0, r.height() * 0.19, r.width(), r.height() * 0.08), Qt::AlignCenter,
               QStringLiteral("Gestiunea materialelor si obiectelor de inventar"));

    p.setPen(QPen(kDeepBlue, 2));
    p.setBrush(Qt::NoBrush);
    p.drawRect(r.adjusted(1, 1, -1, -1));
    return pm;
}

QPixmap applicationIcon(int side)
{
    QPixmap pm = blank(QSize(side, side));
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(pm.rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    p.setPen(QPen(kDeepBlue, qMax<qreal>(1.0, side / 32.0)));
    p.setBrush(kSteelBlue);
    p.drawRoundedRect(r, side / 6.0, side / 6.0);
    drawStack(p, r.adjusted(side * 0.14, side * 0.18, -side * 0.14, -side * 0.14));
    return pm;
}

QPixmap workMessagePicture(int side)
{
    QPixmap pm = blank(QSize(side, side));
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = side;
    // An hourglass.
    p.setPen(QPen(kDeepBlue, qMax<qreal>(1.5, s / 16)));
    p.setBrush(kSteelBlue);
    p.drawRect(QRectF(s * 0.22, s * 0.08, s * 0.56, s * 0.08));
    p.drawRect(QRectF(s * 0.22, s * 0.84, s * 0.56, s * 0.08));
    QPainterPath glass;
    glass.moveTo(s * 0.28, s * 0.16);
    glass.lineTo(s * 0.72, s * 0.16);
    glass.lineTo(s * 0.53, s * 0.5);
    glass.lineTo(s * 0.72, s * 0.84);
    glass.lineTo(s * 0.28, s * 0.84);
    glass.lineTo(s * 0.47, s * 0.5);
    glass.closeSubpath();
    p.setBrush(kPaleBlue);
    p.drawPath(glass);
    QPainterPath sand;
    sand.moveTo(s * 0.36, s * 0.84);
    sand.lineTo(s * 0.5, s * 0.64);
    sand.lineTo(s * 0.64, s * 0.84);
    sand.closeSubpath();
    sand.moveTo(s * 0.40, s * 0.3);
    sand.lineTo(s * 0.60, s * 0.3);
    sand.lineTo(s * 0.5, s * 0.46);
    sand.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(kAmber);
    p.drawPath(sand);
    return pm;
}

QPixmap aboutPicture(QSize size)
{
    QPixmap pm(size);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r(pm.rect());
    QRadialGradient g(r.center(), r.width());
    g.setColorAt(0, kSteelBlue);
    g.setColorAt(1, kDeepBlue);
    p.fillRect(r, g);
    const qreal side = qMin(r.width(), r.height()) * 0.6;
    drawStack(p, QRectF(r.center().x() - side / 2, r.height() * 0.15, side, side));
    QFont f = p.font();
    f.setBold(true);
    f.setPixelSize(qMax(10, int(r.width() * 0.14)));
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRectF(0, r.height() * 0.2 + side, r.width(), r.height() * 0.2), Qt::AlignCenter,
               QStringLiteral("Mirafel"));
    return pm;
}

} // namespace shell::artwork
