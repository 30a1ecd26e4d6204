// Qt text drawing for the character sheet. Antialiasing is off: every pixel that is not black
// becomes ink, so grey edge pixels would only thicken the strokes.
#include "surface/qt_text_rasterizer.h"

#include <QFontMetrics>
#include <QPainter>
#include <cmath>

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

void QtTextRasterizer::Draw(const QString& s, const QFont& font, QImage& image, int& width,
                            int& height) const {
  image.fill(Qt::black);
  QPainter painter(&image);
  painter.setFont(font);
  painter.setPen(Qt::white);
  painter.setBrush(Qt::NoBrush);
  const QFontMetrics metrics(font);
  width = metrics.horizontalAdvance(s);
  height = metrics.ascent() + metrics.descent();
  painter.drawText(0, metrics.ascent(), s);
}

double QtTextRasterizer::PixelHeight() const {
  if (font_.pixelSize() > 0) return font_.pixelSize();
  return font_.pointSizeF() * scratch_.logicalDpiY() / 72.0;
}

void QtTextRasterizer::DrawTextSized(const std::string& text, int size, std::vector<std::uint8_t>& pixels,
                                     int& width, int& height) {
  if (sized_.width() != size) sized_ = QImage(size, size, QImage::Format_RGB32);
  // The same font at the size the larger cell asks for, so the strokes are drawn, not enlarged.
  QFont font = font_;
  font.setPixelSize(std::max(1, static_cast<int>(std::lround(PixelHeight() * size / GlyphBitmap::kSize))));
  Draw(Cp932ToQString(text), font, sized_, width, height);
  pixels.resize(static_cast<std::size_t>(size) * size);
  for (int y = 0; y < size; ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(sized_.constScanLine(y));
    for (int x = 0; x < size; ++x) pixels[static_cast<std::size_t>(y) * size + x] = (line[x] & 0xFFFFFFu) != 0 ? 255 : 0;
  }
}

void QtTextRasterizer::DrawText(const std::string& text, GlyphBitmap& bitmap, int& width,
                                int& height) {
  Draw(Cp932ToQString(text), font_, scratch_, width, height);
  for (int y = 0; y < GlyphBitmap::kSize; ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(scratch_.constScanLine(y));
    for (int x = 0; x < GlyphBitmap::kSize; ++x) {
      bitmap.pixels[static_cast<std::size_t>(y * GlyphBitmap::kSize + x)] =
          (line[x] & 0xFFFFFFu) != 0 ? 255 : 0;
    }
  }
}

}  // namespace teku
