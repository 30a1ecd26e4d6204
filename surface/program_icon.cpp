// Drawing the program icon.
#include "surface/program_icon.h"

#include <QFont>
#include <QPainter>

namespace teku {

QImage ProgramIconPicture(int size) {
  QImage image(size, size, QImage::Format_ARGB32);
  image.fill(QColor(0x00, 0x00, 0x80));
  QPainter p(&image);
  // At its own size every edge falls on a pixel; smoothing would only blur it.
  if (size != 32) p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);
  p.scale(size / 32.0, size / 32.0);
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < 3; ++c) {
      const bool blocked = (r + c) % 4 == 3;
      p.fillRect(QRectF(2 + c * 10, 2 + r * 10, 9, 9), blocked ? QColor(0x33, 0x33, 0x33) : QColor(Qt::white));
    }
  }
  p.fillRect(QRectF(12, 12, 9, 9), QColor(0xFF, 0xFF, 0xCC));
  p.setPen(QColor(0x00, 0x00, 0xFF));
  QFont f(QStringLiteral("IPAGothic"));
  // The font is sized in device pixels so that the glyph keeps its place in the cell when scaled.
  f.setPixelSize(9 * size / 32);
  p.resetTransform();
  p.setFont(f);
  const double unit = size / 32.0;
  p.drawText(QRectF(12 * unit, 12 * unit, 9 * unit, 9 * unit), Qt::AlignCenter, QString::fromUtf8("ナ"));
  p.end();
  return image;
}

}  // namespace teku
