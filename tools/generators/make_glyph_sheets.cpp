// Draws the program's glyph sheets: the numbers 0..255 (TEKUNUMB.BMP), the five colour tiles
// (TEKUCOLR.BMP) and the blank character sheet (TEKUMOJI.BMP), all in the default palette's
// colours so that loading them maps every pixel onto itself.
#include <cstdio>
#include <string>

#include "surface/dib_file.h"
#include "surface/dib_image.h"

namespace {

using teku::DibSurface;
using teku::TDibImage;

// Palette indexes (default palette).
constexpr std::uint8_t kKey = 253;        // FF00FF: transparent in the number sheet
constexpr std::uint8_t kDigitInk = 4;     // 000080: dark blue digits
constexpr std::uint8_t kWhite = 255;
constexpr std::uint8_t kBorder = 248;     // 808080
constexpr std::uint8_t kBlocked = 67;     // 333333
constexpr std::uint8_t kBlockedEdge = 10; // 111111
constexpr std::uint8_t kMarked = 195;     // FFFFCC: pale yellow
constexpr std::uint8_t kCursor = 220;     // 99CCFF: light blue
constexpr std::uint8_t kCursorEdge = 4;   // 000080
constexpr std::uint8_t kFixed = 194;      // CCFFCC: pale green
constexpr std::uint8_t kUnused = 242;     // AAAAAA
constexpr std::uint8_t kMojiBack = 249;

// 5 x 7 digits, one string per row, '#' = ink.
const char* const kDigits[10][7] = {
    {".###.", "#...#", "#..##", "#.#.#", "##..#", "#...#", ".###."},
    {"..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###."},
    {".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"},
    {"#####", "...#.", "..#..", "...#.", "....#", "#...#", ".###."},
    {"...#.", "..##.", ".#.#.", "#..#.", "#####", "...#.", "...#."},
    {"#####", "#....", "####.", "....#", "....#", "#...#", ".###."},
    {"..##.", ".#...", "#....", "####.", "#...#", "#...#", ".###."},
    {"#####", "....#", "...#.", "..#..", ".#...", ".#...", ".#..."},
    {".###.", "#...#", "#...#", ".###.", "#...#", "#...#", ".###."},
    {".###.", "#...#", "#...#", ".####", "....#", "...#.", ".##.."},
};

// Draws digit d with its top-left at (x, y): each font pixel becomes sx x sy pixels; `bold`
// widens every stroke by one pixel to the right.
void DrawDigit(TDibImage& img, int d, int x, int y, int sx, int sy, bool bold) {
  for (int r = 0; r < 7; ++r) {
    for (int c = 0; c < 5; ++c) {
      if (kDigits[d][r][c] != '#') continue;
      teku::FillImageRect(img, x + c * sx, y + r * sy, sx + (bold ? 1 : 0), sy, kDigitInk);
    }
  }
}

// Numbers 1..254 centred in their blocks: one or two digits at double size, three digits at
// double height and single width (bold). Glyphs 0 and 255 (cells without a number) stay blank.
bool MakeNumberSheet(const DibSurface& s, const std::string& path) {
  TDibImage img;
  if (!s.CreateImage(512, 512, img)) return false;
  teku::ClearImage(img, kKey);
  for (int g = 1; g <= 254; ++g) {
    const std::string text = std::to_string(g);
    const int n = static_cast<int>(text.size());
    const bool narrow = n == 3;
    const int sx = narrow ? 1 : 2, sy = 2;
    const int digitW = 5 * sx + (narrow ? 1 : 0);
    const int gap = narrow ? 1 : 2;
    const int width = n * digitW + (n - 1) * gap;
    const int height = 7 * sy;
    const int bx = (g % 16) * 32 + (32 - width) / 2;
    const int by = (g / 16) * 32 + (32 - height) / 2;
    for (int i = 0; i < n; ++i) DrawDigit(img, text[i] - '0', bx + i * (digitW + gap), by, sx, sy, narrow);
  }
  return teku::SaveDibImage(img, path);
}

void Tile(TDibImage& img, int x, int y, std::uint8_t fill, std::uint8_t edge, int edgeWidth) {
  teku::FillImageRect(img, x, y, 32, 32, edge);
  teku::FillImageRect(img, x + edgeWidth, y + edgeWidth, 32 - 2 * edgeWidth, 32 - 2 * edgeWidth, fill);
}

bool MakeColorSheet(const DibSurface& s, const std::string& path) {
  TDibImage img;
  if (!s.CreateImage(64, 192, img)) return false;
  teku::ClearImage(img, kUnused);
  Tile(img, 0, 0, kBlocked, kBlockedEdge, 1);    // no answer: a dark, blocked cell
  Tile(img, 0, 64, kWhite, kBorder, 1);          // ordinary cell
  Tile(img, 0, 96, kMarked, kBorder, 1);         // cells of the cursor's number
  Tile(img, 32, 96, kCursor, kCursorEdge, 2);    // the cursor cell
  Tile(img, 0, 160, kFixed, kBorder, 1);         // given cell
  return teku::SaveDibImage(img, path);
}

bool MakeMojiSheet(const DibSurface& s, const std::string& path) {
  TDibImage img;
  if (!s.CreateImage(512, 512, img)) return false;
  teku::ClearImage(img, kMojiBack);
  return teku::SaveDibImage(img, path);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_glyph_sheets PROGRAM_DIR\n");
    return 2;
  }
  const std::string dir = std::string(argv[1]) + "/";
  DibSurface surface;
  bool ok = MakeNumberSheet(surface, dir + "TEKUNUMB.BMP");
  ok = MakeColorSheet(surface, dir + "TEKUCOLR.BMP") && ok;
  ok = MakeMojiSheet(surface, dir + "TEKUMOJI.BMP") && ok;
  if (!ok) {
    std::fprintf(stderr, "make_glyph_sheets: cannot write the sheets into %s\n", argv[1]);
    return 1;
  }
  return 0;
}
