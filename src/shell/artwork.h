#pragma once
// The pictures of the shell, drawn with QPainter when they are needed: the
// logo of the bottom panel, the picture of the database opening window, the
// small picture of the work message window and the picture of the about box.

#include <QPixmap>
#include <QSize>

namespace shell::artwork {

QPixmap logo(QSize size);
QPixmap openingPicture(QSize size);
QPixmap applicationIcon(int side);
QPixmap workMessagePicture(int side);
QPixmap aboutPicture(QSize size);

} // namespace shell::artwork
