// Character text drawn with Qt onto the 64 x 64 scratch bitmap, in the font the user chose.
#pragma once

#include <QFont>
#include <QImage>

#include "surface/text_rasterizer.h"

namespace teku {

class QtTextRasterizer final : public TextRasterizer {
 public:
  QtTextRasterizer();

  // The font of the font dialog. The program's default: a Japanese gothic face 13 pixels high.
  void setFont(const QFont& font);
  const QFont& font() const { return font_; }
  static QFont DefaultFont();

  void DrawText(const std::string& text, GlyphBitmap& bitmap, int& width, int& height) override;
  void DrawTextSized(const std::string& text, int size, std::vector<std::uint8_t>& pixels, int& width,
                     int& height) override;
  // The font's height in pixels as the scratch bitmap draws it (a point size converted).
  double PixelHeight() const;

 private:
  // Draws on `image` (cleared to black) and reports the measured size.
  void Draw(const QString& text, const QFont& font, QImage& image, int& width, int& height) const;

  QFont font_;
  QImage scratch_;
  QImage sized_;
};

}  // namespace teku
