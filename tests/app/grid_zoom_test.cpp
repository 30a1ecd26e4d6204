// Zoom: steps and cell sizes, pixels mapped back to cells, and a zoomed composition that is the
// 100 % one enlarged block for block (tiles and numbers) with the characters drawn anew.
#include "app/grid_zoom.h"

#include <gtest/gtest.h>

#include "support/test_sheets.h"

namespace teku {
namespace {

TEST(ZoomSteps, GoUpAndDownThroughTheStepsAndCellsFallOnWholePixels) {
  std::vector<std::int32_t> up{100};
  while (up.back() != ZoomIn(up.back())) up.push_back(ZoomIn(up.back()));
  EXPECT_EQ(up, (std::vector<std::int32_t>{100, 150, 200, 300, 400}));
  EXPECT_EQ(ZoomOut(150), 100);
  EXPECT_EQ(ZoomOut(100), 100);
  EXPECT_EQ(ZoomStep(123), 100) << "a value the settings should not hold";
  EXPECT_EQ(LogicalCell(150), 48);
  EXPECT_EQ(DeviceCell(100, 2.0), DeviceCell(200, 1.0)) << "a dense screen at 100 % is 200 % of pixels";
  EXPECT_EQ(DeviceCell(150, 1.25), 60);
}

TEST(ZoomSteps, EveryPixelOfACellMapsBackToThatCell) {
  for (const std::int32_t cell : {32, 48, 60, 64, 96, 128, 256}) {
    for (std::int32_t k = 0; k < 20; ++k) {
      ASSERT_EQ(ToBasePixels(k * cell, cell) / 32, k) << cell;
      ASSERT_EQ(ToBasePixels((k + 1) * cell - 1, cell) / 32, k) << cell;
    }
  }
  EXPECT_LT(ToBasePixels(-1, 64), 0) << "left of the grid stays outside it";
}

// Text as a box of ink the size of the scratch bitmap's quarter; records the sizes asked for.
class SizedBox : public TextRasterizer {
 public:
  void DrawText(const std::string&, GlyphBitmap& bitmap, int& width, int& height) override {
    bitmap.pixels.fill(255);
    width = height = 16;
  }
  void DrawTextSized(const std::string&, int size, std::vector<std::uint8_t>& pixels, int& width,
                     int& height) override {
    sizes.push_back(size);
    pixels.assign(static_cast<std::size_t>(size) * size, 255);
    width = height = size / 4;
  }
  std::vector<int> sizes;
};

struct ZoomFixture {
  ZoomFixture() {
    testing::MakeReadableSheets(surface, base);
    p.GridWidth = 6;
    p.GridHeight = 4;
    CellsLock cells(p);
    for (int x = 0; x < 6; ++x)
      for (int y = 0; y < 4; ++y) cells.set(x, y, static_cast<std::uint8_t>(x == y ? 255 : 1 + (x + 2 * y) % 5));
    p.AnserTbl[1] = p.AnserTbl[2] = p.AnserTbl[3] = 9;  // no text: numbers, not letters, are shown
    p.Syoki[0] = 8;
    p.HintTbl[0] = 9;
    p.CursorX = 4;
    p.CursorY = 1;
  }
  // The grid composed with cells of `sheets.cell` pixels into a picture cols x rows cells.
  void Compose(GlyphSheets& sheets, const ModeState& m, int sx, int sy, int cols, int rows, TDibImage& out) {
    ASSERT_TRUE(surface.CreateImage(cols * sheets.cell, rows * sheets.cell, out));
    ClearImage(out, 77);
    DrawGrid(GridView{p, sheets, m, sx, sy}, out);
  }
  DibSurface surface;
  GlyphSheets base;
  Puzzle p;
};

TEST(ZoomedComposition, IsThe100PercentOneEnlargedBlockForBlockAtEveryStep) {
  ZoomFixture f;
  SizedBox text;
  f.p.MojiTbl[5] = "x";
  for (const std::int32_t cell : {48, 64, 96, 128}) {
    GlyphSheets zoomed;
    ASSERT_TRUE(BuildSheetsForCell(f.surface, f.base, cell, f.p.MojiTbl, text, zoomed));
    EXPECT_EQ(text.sizes.back(), 2 * cell) << "characters are drawn anew at the cell's size";
    for (const PuzzleKind kind : {PuzzleKind::Nankuro, PuzzleKind::Crossword}) {
      for (const PlayMode play : {PlayMode::Game, PlayMode::Create}) {
        ModeState m;
        m.play = play;
        m.kind = kind;
        TDibImage small, enlarged, big;
        f.Compose(f.base, m, 1, 1, 4, 3, small);
        ASSERT_TRUE(ScaleToCell(f.surface, small, cell, enlarged));
        f.Compose(zoomed, m, 1, 1, 4, 3, big);
        PixelLock a(enlarged), b(big);
        ASSERT_EQ(a.size(), b.size());
        ASSERT_TRUE(std::equal(a.bytes(), a.bytes() + a.size(), b.bytes())) << "cell " << cell;
      }
    }
  }
}

TEST(ZoomedComposition, ScrolledToItsEndLeavesNothingOldBesideTheGrid) {
  ZoomFixture f;
  SizedBox text;
  GlyphSheets zoomed;
  ASSERT_TRUE(BuildSheetsForCell(f.surface, f.base, 48, f.p.MojiTbl, text, zoomed));
  TDibImage back;
  // Two whole cells and a part across, from column 4 of 6: the part lies past the grid.
  ASSERT_TRUE(f.surface.CreateImage(120, 120, back));
  ClearImage(back, 77);
  DrawGrid(GridView{f.p, zoomed, ModeState{}, 4, 2}, back);
  EXPECT_EQ(GetPixelNo(back, 100, 10), kZoomBackground);
  EXPECT_EQ(GetPixelNo(back, 10, 105), kZoomBackground) << "below the last row";
  EXPECT_NE(GetPixelNo(back, 10, 10), kZoomBackground);
}

TEST(ScaleToCell, GivesEverySourcePixelWholePixels) {
  DibSurface s;
  TDibImage src, out;
  ASSERT_TRUE(s.CreateImage(32, 32, src));
  for (int x = 0; x < 32; ++x) FillImageRect(src, x, 0, 1, 32, static_cast<std::uint8_t>(x));
  ASSERT_TRUE(ScaleToCell(s, src, 48, out));
  ASSERT_EQ(out.width(), 48);
  std::vector<int> run(32, 0);
  for (int x = 0; x < 48; ++x) ++run[GetPixelNo(out, x, 7)];
  for (int x = 0; x < 32; ++x) EXPECT_TRUE(run[x] == 1 || run[x] == 2) << x;
  ASSERT_TRUE(ScaleToCell(s, src, 64, out));
  for (int x = 0; x < 64; ++x) ASSERT_EQ(GetPixelNo(out, x, 40), x / 2);
}

}  // namespace
}  // namespace teku
