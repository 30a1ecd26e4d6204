// The text drawing that a rasterizer without sizes of its own falls back on.
#include "surface/text_rasterizer.h"

#include <algorithm>

namespace teku {

void TextRasterizer::DrawTextSized(const std::string& text, int size, std::vector<std::uint8_t>& pixels,
                                   int& width, int& height) {
  GlyphBitmap bitmap;
  DrawText(text, bitmap, width, height);
  pixels.assign(static_cast<std::size_t>(size) * size, 0);
  const int n = std::min(size, GlyphBitmap::kSize);
  for (int y = 0; y < n; ++y) {
    for (int x = 0; x < n; ++x) pixels[static_cast<std::size_t>(y) * size + x] = bitmap.at(x, y);
  }
}

}  // namespace teku
