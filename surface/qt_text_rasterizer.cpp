// Qt text drawing for the character sheet. Antialiasing is off: every pixel that is not black
// becomes ink, so grey edge pixels would only thicken the strokes.
#include "surface/qt_text_rasterizer.h"

#include <QFontMetrics>
#include <QPainter>

#include "surface/qt_cp932.h"

namespace teku {

QFont QtTextRasterizer::DefaultFont() {
  QFont f(QStringLiteral("IPAGothic"));
  f.setPixelSize(13);
  f.setStyleStrategy(QFont::NoAntialias);
  return f;
}

QtTextRasterizer::QtTextRasterizer()
    : font_(DefaultFont()), scratch_(GlyphBitmap::kSize, GlyphBitmap::kSize, QImage::Format_RGB32) {}

void QtTextRasterizer::setFont(const QFont& font) {
  font_ = font;
  font_.setStyleStrategy(QFont::NoAntialias);
}

void QtTextRasterizer::DrawText(const std::string& text, GlyphBitmap& bitmap, int& width,
                                int& height) {
  scratch_.fill(Qt::black);
  const QString s = Cp932ToQString(text);
  QPainter painter(&scratch_);
  painter.setFont(font_);
  painter.setPen(Qt::white);
  painter.setBrush(Qt::NoBrush);
  const QFontMetrics metrics(font_);
  width = metrics.horizontalAdvance(s);
  height = metrics.ascent() + metrics.descent();
  painter.drawText(0, metrics.ascent(), s);
  painter.end();
  for (int y = 0; y < GlyphBitmap::kSize; ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(scratch_.constScanLine(y));
    for (int x = 0; x < GlyphBitmap::kSize; ++x) {
      bitmap.pixels[static_cast<std::size_t>(y * GlyphBitmap::kSize + x)] =
          (line[x] & 0xFFFFFFu) != 0 ? 255 : 0;
    }
  }
}

}  // namespace teku
