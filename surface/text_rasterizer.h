// Drawing character text on the 64 x 64 scratch bitmap: the one thing the grid composition
// needs from the platform's text engine. The program implements it with Qt; tests fake it.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace teku {

struct GlyphBitmap {
  static constexpr int kSize = 64;
  // 0 = black; anything else counts as drawn.
  std::array<std::uint8_t, kSize * kSize> pixels{};
  std::uint8_t at(int x, int y) const {
    return x >= 0 && y >= 0 && x < kSize && y < kSize ? pixels[static_cast<std::size_t>(y * kSize + x)] : 0;
  }
};

class TextRasterizer {
 public:
  virtual ~TextRasterizer() = default;
  // Clears the bitmap to black, draws `text` (code-page-932 bytes) in white at (0, 0) with the
  // chosen font, and reports the text's measured width and height in pixels.
  virtual void DrawText(const std::string& text, GlyphBitmap& bitmap, int& width,
                        int& height) = 0;
  // The same on a `size` x `size` scratch bitmap (`pixels`, row by row), with the font enlarged
  // by size / 64, for cells larger than 32 pixels. By default the text keeps its size.
  virtual void DrawTextSized(const std::string& text, int size, std::vector<std::uint8_t>& pixels,
                             int& width, int& height);
};

}  // namespace teku
