// The side panels: entry numbering, in-use marks, panel cells and answer positions, geometry.
#include "panels/panel_render.h"

#include <gtest/gtest.h>

#include "support/test_sheets.h"

namespace teku {
namespace {

ModeState Modes(PlayMode play, PuzzleKind kind = PuzzleKind::Nankuro) {
  ModeState m;
  m.play = play;
  m.kind = kind;
  return m;
}

struct PanelFixture {
  PanelFixture() {
    testing::MakeReadableSheets(surface, sheets);
    surface.CreateImage(224, 352, back);
  }
  PanelView View() { return PanelView{puzzle, sheets, modes, 7, 11, position, selected}; }
  std::string Cell(int c, int r) { return testing::DescribeBlock(back, c * 32, r * 32); }

  DibSurface surface;
  GlyphSheets sheets;
  Puzzle puzzle;
  ModeState modes;
  std::int32_t position = 0;
  std::int32_t selected = kNone;
  TDibImage back;
};

TEST(PanelNumbering, GameListsCharactersFromOneAndCreateListsEveryCellNumber) {
  EXPECT_EQ(PanelEntry(0, 0, 0, 7, Modes(PlayMode::Game)), 1);
  EXPECT_EQ(PanelEntry(0, 0, 0, 7, Modes(PlayMode::Create)), 0);
  EXPECT_EQ(PanelEntry(5, 10, 26, 7, Modes(PlayMode::Game)), 258) << "past the last entry";
  EXPECT_EQ(PanelEntry(1, 36, 0, 7, Modes(PlayMode::Game)), 254);
  EXPECT_EQ(PanelEntry(3, 36, 0, 7, Modes(PlayMode::Create)), 255);
}

TEST(PanelNumbering, AnEntrysCellIsFoundBackOnlyWhileItIsInSight) {
  std::int32_t c = -1, r = -1;
  for (PlayMode m : {PlayMode::Game, PlayMode::Create}) {
    ASSERT_TRUE(PanelCellOf(70, 1, 7, 11, Modes(m), c, r));
    EXPECT_EQ(PanelEntry(c, r, 1, 7, Modes(m)), 70);
  }
  c = r = -1;
  EXPECT_FALSE(PanelCellOf(3, 1, 7, 11, Modes(PlayMode::Game), c, r)) << "scrolled above";
  EXPECT_FALSE(PanelCellOf(256, 0, 7, 11, Modes(PlayMode::Game), c, r)) << "nothing selected";
  EXPECT_FALSE(PanelCellOf(1, 0, 0, 11, Modes(PlayMode::Game), c, r));
  EXPECT_EQ(c, -1) << "a cell out of sight leaves the outputs alone";
}

TEST(PanelDraw, AtTheLastScrollPositionTheListEndsAndTheRestIsBlank) {
  PanelFixture f;
  f.modes = Modes(PlayMode::Answer);
  f.position = 26;
  DrawPanel(f.View(), f.back);
  EXPECT_EQ(f.Cell(0, 10), "Normal N253");
  EXPECT_EQ(f.Cell(1, 10), "Normal N254");
  EXPECT_EQ(f.Cell(2, 10), "raw255");
  EXPECT_EQ(f.Cell(6, 10), "raw255");
  // A single cell past the end is drawn blank too, never from entry 255 or beyond.
  FillImageRect(f.back, 64, 320, 32, 32, 7);
  DrawPanelCell(f.View(), f.back, 2, 10);
  EXPECT_EQ(f.Cell(2, 10), "raw255");
  f.modes = Modes(PlayMode::Create);
  DrawPanel(f.View(), f.back);
  EXPECT_EQ(f.Cell(3, 10), "Normal N255");
  EXPECT_EQ(f.Cell(4, 10), "raw255");
}

TEST(PanelDraw, GlyphsByMode) {
  PanelFixture f;
  f.puzzle.MojiTbl[1] = "A";
  f.modes = Modes(PlayMode::Game);
  DrawPanel(f.View(), f.back);
  EXPECT_EQ(f.Cell(0, 0), "Normal M1");
  EXPECT_EQ(f.Cell(1, 0), "Normal") << "game mode: an empty entry shows only its tile";
  f.modes = Modes(PlayMode::Answer);
  DrawPanel(f.View(), f.back);
  EXPECT_EQ(f.Cell(1, 0), "Normal N2");
  f.modes = Modes(PlayMode::Create);
  DrawPanel(f.View(), f.back);
  EXPECT_EQ(f.Cell(1, 0), "Normal N1") << "create mode shows cell numbers, not characters";
}

TEST(PanelDraw, SelectedAndInUseTiles) {
  PanelFixture f;
  f.puzzle.InputTbl[30] = 3;
  f.puzzle.AnserTbl[31] = 4;
  f.selected = 2;
  f.modes = Modes(PlayMode::Game);
  DrawPanel(f.View(), f.back);
  EXPECT_EQ(f.Cell(1, 0), "Marked");
  EXPECT_EQ(f.Cell(2, 0), "Fixed") << "entry 3 is held by number 30's input";
  EXPECT_EQ(f.Cell(3, 0), "Normal");
  f.modes = Modes(PlayMode::Answer);
  DrawPanel(f.View(), f.back);
  EXPECT_EQ(f.Cell(3, 0), "Fixed N4");
  f.modes = Modes(PlayMode::Answer, PuzzleKind::Crossword);
  DrawPanel(f.View(), f.back);
  EXPECT_EQ(f.Cell(3, 0), "Normal N4") << "nothing is in use in a crossword";
  EXPECT_FALSE(EntryInUse(f.puzzle, Modes(PlayMode::Game), 0));
}

TEST(PanelDraw, NothingWithoutTheCharacterSheet) {
  PanelFixture f;
  ClearImage(f.back, 9);
  FreeImage(f.sheets.MojiSheet);
  DrawPanel(f.View(), f.back);
  DrawPanelCell(f.View(), f.back, 0, 0);
  EXPECT_EQ(f.Cell(0, 0), "raw9");
}

TEST(PanelGeometry, TheDefaultPanelAndTheRestoredSizes) {
  PanelLayout g = ComputePanelLayout(244, 352);
  EXPECT_EQ(g.paintWidth, 224);
  EXPECT_EQ(g.panelCols, 7);
  EXPECT_EQ(g.panelRows, 11);
  EXPECT_EQ(g.scrollMax, 26);
  std::int32_t w = 250, h = 352;
  SnapPanelRestore(w, h);
  EXPECT_EQ(w, 244);
  w = 300;
  SnapPanelRestore(w, h);
  EXPECT_EQ(w, 308);
  EXPECT_EQ(ComputePanelLayout(w, h).panelCols, 9);
}

TEST(PanelGeometry, ResizingKeepsFourByFourAndATinyStoredSizeNeverDividesByZero) {
  std::int32_t w = 100, h = 100;
  SnapPanelResize(w, h);
  EXPECT_EQ(w, 148);
  EXPECT_EQ(h, 128);
  const PanelLayout g = ComputePanelLayout(w, h);
  EXPECT_EQ(g.panelCols, 4);
  EXPECT_EQ(g.panelRows, 4);
  w = 10;
  h = 5;
  SnapPanelRestore(w, h);
  EXPECT_GE(ComputePanelLayout(w, h).panelCols, 4);
  const PanelLayout raw = ComputePanelLayout(0, 0);
  EXPECT_EQ(raw.panelCols, 4);
  EXPECT_EQ(raw.panelRows, 4);
}

TEST(PanelGeometry, AHostileStoredSizeIsKeptWithinTheScreen) {
  std::int32_t w = 100000000, h = 100000000;
  SnapPanelRestore(w, h, 1280, 1000);
  EXPECT_EQ(w, 1268);
  EXPECT_EQ(h, 1000);
  w = -2147483647 - 1;
  h = -2147483647 - 1;
  SnapPanelRestore(w, h, 1280, 1000);
  EXPECT_EQ(w, 148);
  EXPECT_EQ(h, 128);
  const PanelLayout g = ComputePanelLayout(-2147483647 - 1, 2147483647);
  EXPECT_EQ(g.panelCols, 4);
  EXPECT_LE(g.paintHeight, kStoredGeometryLimit);
}

TEST(PanelGeometry, APanelTallEnoughForEveryEntryDoesNotScroll) {
  EXPECT_EQ(ComputePanelLayout(244, 1184).scrollMax, 0);  // 37 rows
  EXPECT_EQ(ComputePanelLayout(244, 2000).scrollMax, 0);
}

struct AnswerFixture {
  AnswerFixture() {
    testing::MakeReadableSheets(surface, sheets);
    surface.CreateImage(512, 64, back);
  }
  AnswerView View() { return AnswerView{puzzle, sheets, modes, selected}; }
  std::string Slot(int s) { return testing::DescribeBlock(back, (s % 16) * 32, (s / 16) * 32); }
  DibSurface surface;
  GlyphSheets sheets;
  Puzzle puzzle;
  ModeState modes;
  std::int32_t selected = kNoSlot;
  TDibImage back;
};

TEST(AnswerSlots, AfterAResetEveryPositionShowsGlyph255) {
  AnswerFixture f;
  DrawSlots(f.View(), f.back);
  for (int s = 0; s < 32; ++s) EXPECT_EQ(f.Slot(s), "Normal N255") << s;
}

TEST(AnswerSlots, CharactersByModeAndTheSelectedNumbersMark) {
  AnswerFixture f;
  f.puzzle.Kaitou[0] = 12;
  f.puzzle.Kaitou[5] = 12;
  f.puzzle.Kaitou[17] = 3;
  f.puzzle.MojiTbl[40] = "A";
  f.puzzle.MojiTbl[41] = "B";
  f.puzzle.AnserTbl[12] = 41;
  DrawSlots(f.View(), f.back);
  EXPECT_EQ(f.Slot(0), "Normal N12");
  f.puzzle.InputTbl[12] = 40;
  DrawSlots(f.View(), f.back);
  EXPECT_EQ(f.Slot(5), "Normal M40");
  f.modes = Modes(PlayMode::Answer);
  DrawSlots(f.View(), f.back);
  EXPECT_EQ(f.Slot(0), "Normal M41");
  f.modes = Modes(PlayMode::Create);
  f.selected = 5;
  DrawSlotGroup(f.View(), f.back, 5, 0);
  EXPECT_EQ(f.Slot(0), "Marked N12");
  EXPECT_EQ(f.Slot(5), "Marked N12");
  EXPECT_EQ(f.Slot(17), "Normal N3") << "other numbers are not part of the group";
}

TEST(AnswerSlots, NumbersOutsideTheTablesShowAsEmptyPositions) {
  AnswerFixture f;
  ClearImage(f.back, 9);
  f.puzzle.Kaitou[0] = 256;
  f.puzzle.Kaitou[1] = -4;
  f.selected = 0;
  DrawSlots(f.View(), f.back);
  EXPECT_EQ(f.Slot(0), "Normal") << "drawn as an empty position";
  EXPECT_EQ(f.Slot(1), "Normal");
  EXPECT_EQ(f.Slot(2), "Normal N255");
  DrawSlot(f.View(), f.back, 0, 2);    // position 32: none
  DrawSlotGroup(f.View(), f.back, 16, 1);
}

}  // namespace
}  // namespace teku
