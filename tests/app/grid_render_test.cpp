// Grid composition: what each cell shows by mode and kind, the redraws and the character sheet.
#include "app/grid_render.h"
#include "support/test_sheets.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace teku {
namespace {

constexpr std::uint8_t kKey = testing::kSheetKey;
constexpr std::uint8_t kBack = 99;  // what the back buffer holds before a composition

struct Fixture {
  Fixture() { testing::MakeReadableSheets(surface, sheets); }

  // Cells given row by row (255 = an empty cell); the grid takes their size.
  void Grid(const std::vector<std::vector<int>>& rows) {
    puzzle.GridHeight = static_cast<int>(rows.size());
    puzzle.GridWidth = static_cast<int>(rows[0].size());
    CellsLock lock(puzzle);
    for (int y = 0; y < puzzle.GridHeight; ++y) {
      for (int x = 0; x < puzzle.GridWidth; ++x) {
        lock.set(x, y, static_cast<std::uint8_t>(rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)]));
      }
    }
  }

  GridView View() { return GridView{puzzle, sheets, modes, scrollX, scrollY}; }

  void Draw(int cols = 0, int rows = 0) {
    if (cols == 0) cols = puzzle.GridWidth;
    if (rows == 0) rows = puzzle.GridHeight;
    ASSERT_TRUE(surface.CreateImage(cols * 32, rows * 32, back));
    ClearImage(back, kBack);
    DrawGrid(View(), back);
  }

  // What the block at screen cell (sx, sy) shows: "<tile> N<g>", "<tile> M<g>" or "<tile>".
  std::string Shown(int sx, int sy) { return testing::DescribeBlock(back, sx * 32, sy * 32); }

  DibSurface surface;
  GlyphSheets sheets;
  Puzzle puzzle;
  ModeState modes;
  std::int32_t scrollX = 0, scrollY = 0;
  TDibImage back;
};

ModeState Modes(PlayMode play, PuzzleKind kind) {
  ModeState m;
  m.play = play;
  m.kind = kind;
  return m;
}

// One row of cells: 1 answered + given, 1 answered, 2 answered without input, 3 no answer.
void TableFixture(Fixture& f) {
  f.Grid({{1, 1, 2, 3}});
  f.puzzle.MojiTbl[7] = "A";
  f.puzzle.MojiTbl[8] = "B";
  f.puzzle.MojiTbl[9] = "C";
  f.puzzle.AnserTbl[1] = 7;
  f.puzzle.AnserTbl[2] = 8;
  f.puzzle.InputTbl[1] = 9;
  f.puzzle.Syoki[0] = 0;  // cell (0, 0) is given
  f.puzzle.HintTbl[4] = 3;  // cell (2, 0) starts clue 5
}

TEST(ComposeTable, NumberCrosswordInEachMode) {
  Fixture f;
  TableFixture(f);
  f.modes = Modes(PlayMode::Game, PuzzleKind::Nankuro);
  f.Draw();
  EXPECT_EQ(f.Shown(0, 0), "Fixed M7") << "a given cell shows its answer";
  EXPECT_EQ(f.Shown(1, 0), "Normal M9") << "others show the player's character";
  EXPECT_EQ(f.Shown(2, 0), "Normal N2");
  EXPECT_EQ(f.Shown(3, 0), "NoAnswer N3");

  f.modes = Modes(PlayMode::Answer, PuzzleKind::Nankuro);
  f.Draw();
  EXPECT_EQ(f.Shown(0, 0), "Fixed M7");
  EXPECT_EQ(f.Shown(1, 0), "Normal M7");
  EXPECT_EQ(f.Shown(2, 0), "Normal M8");
  EXPECT_EQ(f.Shown(3, 0), "NoAnswer N3");

  f.modes = Modes(PlayMode::Create, PuzzleKind::Nankuro);
  f.Draw();
  EXPECT_EQ(f.Shown(0, 0), "Fixed M7");
  EXPECT_EQ(f.Shown(1, 0), "Normal N1");
  EXPECT_EQ(f.Shown(2, 0), "Normal N2");
}

TEST(ComposeTable, CrosswordInEachMode) {
  Fixture f;
  TableFixture(f);
  f.puzzle.InputTbl[2] = 256;
  f.modes = Modes(PlayMode::Game, PuzzleKind::Crossword);
  f.Draw();
  EXPECT_EQ(f.Shown(0, 0), "Fixed M7");
  EXPECT_EQ(f.Shown(1, 0), "Normal M9");
  EXPECT_EQ(f.Shown(2, 0), "Normal N5") << "clue slot 4 shows glyph 5";
  EXPECT_EQ(f.Shown(3, 0), "NoAnswer") << "starts no clue: background only";
  f.puzzle.InputTbl[2] = 8;
  f.Draw();
  EXPECT_EQ(f.Shown(2, 0), "Normal M8") << "an entered character replaces the clue number";

  f.modes = Modes(PlayMode::Answer, PuzzleKind::Crossword);
  f.Draw();
  EXPECT_EQ(f.Shown(2, 0), "Normal M8");
  EXPECT_EQ(f.Shown(3, 0), "NoAnswer");

  f.modes = Modes(PlayMode::Create, PuzzleKind::Crossword);
  f.Draw();
  EXPECT_EQ(f.Shown(1, 0), "Normal N1") << "create mode shows every cell's own number";
  EXPECT_EQ(f.Shown(2, 0), "Normal N2");
  EXPECT_EQ(f.Shown(3, 0), "NoAnswer N3");
}

TEST(ComposeClues, Slot255IsGlyphZeroAndTheFirstSlotWins) {
  Fixture f;
  f.Grid({{1, 2}});
  f.modes = Modes(PlayMode::Answer, PuzzleKind::Crossword);
  f.puzzle.HintTbl[255] = 1;
  f.puzzle.HintTbl[9] = 2;
  f.puzzle.HintTbl[20] = 2;
  f.Draw();
  EXPECT_EQ(f.Shown(0, 0), "NoAnswer N0");
  EXPECT_EQ(f.Shown(1, 0), "NoAnswer N10");
  // The one-cell redraw finds the same slot without the whole-grid index.
  ClearImage(f.back, kBack);
  DrawCell(f.View(), f.back, 1, 0, nullptr);
  EXPECT_EQ(f.Shown(1, 0), "NoAnswer N10");
}

TEST(ComposeTiles, CursorAndMarksFollowTheKind) {
  Fixture f;
  f.Grid({{4, 5, 4}, {4, 6, 5}});
  f.puzzle.CursorX = 0;
  f.puzzle.CursorY = 0;
  for (int n : {4, 5, 6}) f.puzzle.AnserTbl[n] = 1;
  f.modes = Modes(PlayMode::Game, PuzzleKind::Nankuro);
  f.Draw();
  EXPECT_EQ(f.Shown(0, 0), "Cursor N4");
  EXPECT_EQ(f.Shown(2, 0), "Marked N4");
  EXPECT_EQ(f.Shown(0, 1), "Marked N4");
  EXPECT_EQ(f.Shown(1, 0), "Normal N5");
  f.modes = Modes(PlayMode::Game, PuzzleKind::Crossword);
  f.modes.play = PlayMode::Create;
  f.Draw();
  EXPECT_EQ(f.Shown(0, 0), "Cursor N4");
  EXPECT_EQ(f.Shown(2, 0), "Normal N4") << "a crossword marks only the cursor cell";
  // A cursor outside the grid marks nothing.
  f.modes = Modes(PlayMode::Game, PuzzleKind::Nankuro);
  f.puzzle.CursorX = 3;
  f.Draw();
  EXPECT_EQ(f.Shown(0, 0), "Normal N4");
  f.puzzle.CursorX = -1;
  f.puzzle.CursorY = 1000;
  f.Draw();
  EXPECT_EQ(f.Shown(2, 0), "Normal N4");
}

TEST(ComposeTiles, OnlyAMissingAnswerLooksBlocked) {
  Fixture f;
  f.Grid(std::vector<std::vector<int>>(10, std::vector<int>(10, 3)));
  f.puzzle.AnserTbl[3] = 100;  // the cell count of a 10 x 10 grid
  f.Draw();
  EXPECT_EQ(f.Shown(0, 0), "Normal N3");
  f.puzzle.AnserTbl[3] = 256;
  f.Draw();
  EXPECT_EQ(f.Shown(0, 0), "NoAnswer N3");
}

TEST(ComposeTiles, EmptyAndZeroCellsAreNeverGivenNorNumberedAsClues) {
  Fixture f;
  f.Grid({{0, 255}});
  f.puzzle.Syoki[0] = 0;
  f.puzzle.Syoki[1] = 1;
  f.puzzle.HintTbl[0] = 1;
  f.puzzle.HintTbl[1] = 2;
  for (PlayMode play : {PlayMode::Game, PlayMode::Answer, PlayMode::Create}) {
    for (PuzzleKind kind : {PuzzleKind::Nankuro, PuzzleKind::Crossword}) {
      f.modes = Modes(play, kind);
      f.Draw();
      EXPECT_EQ(f.Shown(0, 0), "NoAnswer N0");
      EXPECT_EQ(f.Shown(1, 0), "NoAnswer N255");
    }
  }
}

TEST(ComposeTiles, CellTwoHundredFiftySixIsNotGivenByAFreeSlot) {
  Fixture f;
  f.Grid(std::vector<std::vector<int>>(20, std::vector<int>(20, 3)));  // 400 cells
  f.puzzle.AnserTbl[3] = 1;
  f.puzzle.MojiTbl[1] = "X";
  f.modes = Modes(PlayMode::Game, PuzzleKind::Nankuro);
  f.scrollX = 10;
  f.scrollY = 10;
  f.Draw(10, 10);
  EXPECT_EQ(f.Shown(6, 2), "Normal N3") << "(16, 12) is index 256, all slots free";
}

TEST(ComposeTiles, CellTwoHundredFiftyFiveShowsItsOwnClueNotAFreeSlot) {
  Fixture f;
  f.Grid(std::vector<std::vector<int>>(16, std::vector<int>(16, 3)));
  f.modes = Modes(PlayMode::Answer, PuzzleKind::Crossword);
  f.scrollX = 10;
  f.scrollY = 10;
  f.Draw(6, 6);
  EXPECT_EQ(f.Shown(5, 5), "NoAnswer") << "(15, 15) has no clue: free slots are no clue";
  f.puzzle.HintTbl[7] = kClueOfCell255;
  f.Draw(6, 6);
  EXPECT_EQ(f.Shown(5, 5), "NoAnswer N8");
  ClearImage(f.back, kBack);
  DrawCell(f.View(), f.back, 15, 15, nullptr);
  EXPECT_EQ(f.Shown(5, 5), "NoAnswer N8");
}

TEST(ComposeBounds, HostileTableValuesReadNothingOutside) {
  Fixture f;
  f.Grid({{1, 2, 3, 4}});
  f.puzzle.MojiTbl[5] = "E";
  f.puzzle.MojiTbl.resize(3);  // fewer entries than the indexes used
  f.puzzle.InputTbl[1] = 300;
  f.puzzle.InputTbl[2] = -7;
  f.puzzle.InputTbl[3] = 255;
  f.puzzle.InputTbl[4] = 5;
  f.puzzle.AnserTbl[1] = 1 << 30;
  f.puzzle.Syoki[0] = -1;
  f.puzzle.Syoki[1] = 1 << 30;
  f.puzzle.HintTbl[0] = -1;
  f.modes = Modes(PlayMode::Game, PuzzleKind::Nankuro);
  f.Draw();
  EXPECT_EQ(f.Shown(0, 0), "Normal N1");
  EXPECT_EQ(f.Shown(1, 0), "NoAnswer N2");
  EXPECT_EQ(f.Shown(2, 0), "NoAnswer N3");
  EXPECT_EQ(f.Shown(3, 0), "NoAnswer N4") << "entry 5 lies past the character table";
}

TEST(ComposeBounds, AGlyphOutsideASmallSheetShowsNothing) {
  Fixture f;
  ASSERT_TRUE(f.surface.CreateImage(64, 64, f.sheets.NumSheet));  // glyphs 0..3 only
  ClearImage(f.sheets.NumSheet, kKey);
  f.sheets.UpdateCounts();
  f.Grid({{3, 4}});
  f.Draw();
  EXPECT_EQ(f.Shown(0, 0), "NoAnswer");
  EXPECT_EQ(f.Shown(1, 0), "NoAnswer");
}

TEST(DrawGrid, ComposesOnlyTheVisibleCellsFromTheScrollPosition) {
  Fixture f;
  f.Grid({{1, 2, 3}, {4, 5, 6}});
  f.scrollX = 1;
  f.scrollY = 1;
  f.Draw(4, 2);  // room for 4 x 2 cells, but only 2 x 1 remain from (1, 1)
  EXPECT_EQ(f.Shown(0, 0), "NoAnswer N5");
  EXPECT_EQ(f.Shown(1, 0), "NoAnswer N6");
  EXPECT_EQ(f.Shown(2, 0), "raw99");
  EXPECT_EQ(f.Shown(0, 1), "raw99");
}

TEST(DrawGrid, DoesNothingWithoutAllSheets) {
  Fixture f;
  f.Grid({{1}});
  FreeImage(f.sheets.ColorSheet);
  f.Draw();
  EXPECT_EQ(f.Shown(0, 0), "raw99");
  int shown = 0;
  DrawCell(f.View(), f.back, 0, 0, [&](int, int) { ++shown; });
  EXPECT_EQ(shown, 0);
}

TEST(DrawCell, ACellScrolledOutOfViewDrawsNoStrayPixels) {
  Fixture f;
  f.Grid({{1, 2, 3, 4}});
  f.scrollX = 2;
  f.Draw(2, 1);
  TDibImage before;
  ASSERT_TRUE(f.surface.CreateImage(64, 32, before));
  CopyImage(before, f.back, 256);
  std::vector<std::pair<int, int>> shown;
  DrawCell(f.View(), f.back, 0, 0, [&](int x, int y) { shown.emplace_back(x, y); });
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 64; ++x) ASSERT_EQ(GetPixelNo(f.back, x, y), GetPixelNo(before, x, y));
  }
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0], (std::pair<int, int>{-64, 0}));
}

TEST(DrawNumberGroup, RedrawsAndShowsEveryVisibleCellOfTheNumber) {
  Fixture f;
  f.Grid({{7, 1, 7}, {255, 7, 255}});
  f.Draw();
  f.puzzle.CursorX = 1;
  f.puzzle.CursorY = 1;
  std::vector<std::pair<int, int>> shown;
  DrawNumberGroup(f.View(), f.back, 1, 1, [&](int x, int y) { shown.emplace_back(x, y); });
  EXPECT_EQ(shown, (std::vector<std::pair<int, int>>{{0, 0}, {64, 0}, {32, 32}}));
  EXPECT_EQ(f.Shown(0, 0), "Marked N7");
  EXPECT_EQ(f.Shown(1, 1), "Cursor N7");
  EXPECT_EQ(f.Shown(1, 0), "NoAnswer N1") << "other numbers are left as they were";
  shown.clear();
  DrawNumberGroup(f.View(), f.back, 0, 1, [&](int x, int y) { shown.emplace_back(x, y); });
  EXPECT_EQ(shown, (std::vector<std::pair<int, int>>{{0, 32}, {64, 32}})) << "255 is a group too";
}

// Text as a solid w x h rectangle: 4 pixels per byte wide, 10 high.
class BoxText : public TextRasterizer {
 public:
  void DrawText(const std::string& text, GlyphBitmap& bitmap, int& width, int& height) override {
    calls.push_back(text);
    bitmap.pixels.fill(0);
    width = 4 * static_cast<int>(text.size());
    height = 10;
    for (int y = 0; y < height && y < 64; ++y) {
      for (int x = 0; x < width && x < 64; ++x) bitmap.pixels[static_cast<std::size_t>(y * 64 + x)] = 255;
    }
  }
  std::vector<std::string> calls;
};

TEST(MojiSheet, BuildSkipsExactlyASingleBlankAndEmptyEntries) {
  Fixture f;
  BoxText text;
  f.puzzle.MojiTbl[1] = " ";
  f.puzzle.MojiTbl[2] = "  ";
  f.puzzle.MojiTbl[3] = "\x82\xa0";  // あ
  BuildMojiSheet(f.sheets, f.puzzle.MojiTbl, text);
  EXPECT_EQ(text.calls, (std::vector<std::string>{"  ", "\x82\xa0"}));
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 32; ++x) ASSERT_EQ(GetPixelNo(f.sheets.MojiSheet, 32 + x, y), 249);
  }
  EXPECT_EQ(GetPixelNo(f.sheets.MojiSheet, 96 + 16, 16), 252);
  EXPECT_EQ(GetPixelNo(f.sheets.MojiSheet, 511, 511), 249) << "the key stays the background";
}

TEST(MojiSheet, RenderTextIsCentredAndSpillsOnlyIntoTheImage) {
  Fixture f;
  BoxText text;
  ClearImage(f.sheets.MojiSheet, 249);
  RenderText(f.sheets.MojiSheet, 0, 0, "ab", 252, text);  // 8 x 10, centred on (16, 16)
  EXPECT_EQ(GetPixelNo(f.sheets.MojiSheet, 12, 11), 252);
  EXPECT_EQ(GetPixelNo(f.sheets.MojiSheet, 19, 20), 252);
  EXPECT_EQ(GetPixelNo(f.sheets.MojiSheet, 11, 11), 249);
  EXPECT_EQ(GetPixelNo(f.sheets.MojiSheet, 20, 20), 249);
  EXPECT_EQ(GetPixelNo(f.sheets.MojiSheet, 12, 21), 249);
  // Twenty bytes make a 80-pixel-wide text: it spills into the neighbours, cut at the bitmap's
  // 64 pixels and at the image's edge.
  ClearImage(f.sheets.MojiSheet, 249);
  RenderText(f.sheets.MojiSheet, 0, 0, std::string(20, 'x'), 252, text);
  EXPECT_EQ(GetPixelNo(f.sheets.MojiSheet, 0, 11), 252);
  EXPECT_EQ(GetPixelNo(f.sheets.MojiSheet, 39, 11), 252);
  EXPECT_EQ(GetPixelNo(f.sheets.MojiSheet, 40, 11), 249);
  TDibImage none;
  RenderText(none, 0, 0, "x", 1, text);  // only the scratch bitmap is drawn
}

TEST(MojiSheet, EditingAGlyphLeavesNoTraceOfTheOldText) {
  Fixture f;
  BoxText text;
  ClearImage(f.sheets.MojiSheet, 249);
  RenderMojiGlyph(f.sheets, 7, "wide", text);
  RenderMojiGlyph(f.sheets, 7, "i", text);
  int inked = 0;
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 32; ++x) inked += GetPixelNo(f.sheets.MojiSheet, 7 * 32 + x, y) == 252;
  }
  EXPECT_EQ(inked, 4 * 10);
}

}  // namespace
}  // namespace teku
