// Character text through Qt: kana and kanji land legibly inside their 32 x 32 block.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>

#include "app/grid_render.h"
#include "surface/dib_file.h"
#include "surface/qt_cp932.h"
#include "surface/qt_text_rasterizer.h"

namespace teku {
namespace {

int Ink(const GlyphBitmap& b) {
  int n = 0;
  for (auto p : b.pixels) n += p != 0;
  return n;
}

TEST(QtText, JapaneseCharactersFitTheirBlockWithReadableInk) {
  QtTextRasterizer text;
  // あ, 漢, ア, ﾅ (half-width), A
  const char* samples[] = {"\x82\xa0", "\x8a\xbf", "\x83\x41", "\xc5", "A"};
  std::vector<GlyphBitmap> seen;
  for (const char* s : samples) {
    GlyphBitmap b;
    int w = 0, h = 0;
    text.DrawText(s, b, w, h);
    EXPECT_GT(w, 3) << s;
    EXPECT_LE(w, 32) << s;
    EXPECT_GE(h, 12) << s;
    EXPECT_LE(h, 32) << s;
    EXPECT_GT(Ink(b), 12) << "a glyph must show strokes: " << s;
    EXPECT_LT(Ink(b), w * h) << s;
    for (const auto& other : seen) EXPECT_NE(other.pixels, b.pixels) << s;
    seen.push_back(b);
  }
}

TEST(QtText, Cp932IsDecodedAndInvalidBytesAreMarked) {
  EXPECT_EQ(Cp932ToQString("\x82\xa0\x41"), QString::fromUtf8("あA"));
  EXPECT_EQ(Cp932ToQString("\xc5\xdd\xb8\xdb"), QString::fromUtf8("ﾅﾝｸﾛ"));
  EXPECT_TRUE(Cp932ToQString("\x82").contains(QChar(0xFFFD)));
  EXPECT_EQ(QStringToCp932(QString::fromUtf8("漢A")), std::optional<std::string>("\x8a\xbf" "A"));
  EXPECT_FALSE(QStringToCp932(QString::fromUtf8("😀")).has_value());
}

TEST(QtText, FieldTextMustFitTheFiles) {
  EXPECT_TRUE(FieldTextProblem(QString::fromUtf8("あいう")).isEmpty());
  EXPECT_FALSE(FieldTextProblem(QString::fromUtf8("a\nb")).isEmpty());
  EXPECT_FALSE(FieldTextProblem(QString::fromUtf8("a\rb")).isEmpty());
  EXPECT_FALSE(FieldTextProblem(QString::fromUtf8("😀")).isEmpty());
  EXPECT_TRUE(FieldTextProblem(QString(1023, QChar('x'))).isEmpty());
  EXPECT_FALSE(FieldTextProblem(QString(512, QChar(0x3042))).isEmpty()) << "1024 bytes";
}

// Reads a sheet written by our own generator (its record followed by its pixels).
bool LoadGeneratedSheet(DibSurface& s, const std::string& path, TDibImage& image) {
  std::ifstream in(path, std::ios::binary);
  std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (bytes.size() < 1078) return false;
  BitmapInfoHeader info;
  std::memcpy(&info, bytes.data() + 14, 40);
  if (!s.CreateImage(info.biWidth, info.biHeight, image)) return false;
  PixelLock lock(image);
  if (bytes.size() < 1078 + lock.size()) return false;
  std::memcpy(lock.bytes(), bytes.data() + 1078, lock.size());
  return true;
}

TEST(QtText, ASampleGridComposesWithTheProgramsSheets) {
  DibSurface surface;
  GlyphSheets sheets;
  const std::string dir = TEKU_PROGRAM_DIR;
  ASSERT_TRUE(LoadGeneratedSheet(surface, dir + "/TEKUNUMB.BMP", sheets.NumSheet));
  ASSERT_TRUE(LoadGeneratedSheet(surface, dir + "/TEKUCOLR.BMP", sheets.ColorSheet));
  ASSERT_TRUE(LoadGeneratedSheet(surface, dir + "/TEKUMOJI.BMP", sheets.MojiSheet));
  sheets.UpdateCounts();

  // A small number-crossword: row-major numbers, 255 = blocked (no number).
  Puzzle p;
  const int grid[5][7] = {{1, 2, 3, 255, 4, 5, 6},
                          {7, 255, 8, 9, 10, 255, 11},
                          {12, 13, 255, 14, 1, 15, 16},
                          {255, 17, 18, 19, 255, 20, 2},
                          {21, 22, 23, 255, 24, 25, 26}};
  p.GridWidth = 7;
  p.GridHeight = 5;
  {
    CellsLock cells(p);
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 7; ++x) cells.set(x, y, static_cast<std::uint8_t>(grid[y][x]));
  }
  const char* chars[] = {"\x83\x69", "\x83\x93", "\x83\x4e", "\x83\x8d", "\x8e\x9a",
                         "\x82\xa0", "\x8a\xbf"};  // ナ ン ク ロ 字 あ 漢
  for (int n = 1; n <= 26; ++n) p.AnserTbl[n] = n;
  for (int n = 1; n <= 7; ++n) p.MojiTbl[n] = chars[n - 1];
  p.InputTbl[1] = 1;
  p.InputTbl[2] = 2;
  p.InputTbl[7] = 6;
  p.Syoki[0] = 4;  // (4, 0), number 4 is given
  p.MojiTbl[4] = "\x8e\x9a";
  p.CursorX = 4;
  p.CursorY = 2;
  QtTextRasterizer text;
  BuildMojiSheet(sheets, p.MojiTbl, text);
  ModeState modes;
  TDibImage back;
  ASSERT_TRUE(surface.CreateImage(7 * 32, 5 * 32, back));
  DrawGrid(GridView{p, sheets, modes, 0, 0}, back);
  // The cursor cell (number 1, entered) shows its character on the cursor tile.
  EXPECT_EQ(GetPixelNo(back, 4 * 32 + 10, 2 * 32 + 10), GetPixelNo(sheets.ColorSheet, 32 + 10, 96 + 10));
  if (const char* out = std::getenv("TEKU_SAMPLE_GRID")) SaveDibImage(back, out);
}

}  // namespace
}  // namespace teku
