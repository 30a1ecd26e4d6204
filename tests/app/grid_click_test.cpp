// Clicks on the grid: the repeat filter and the action of each button by mode and kind.
#include "app/grid_click.h"

#include <gtest/gtest.h>

namespace teku {
namespace {

ModeState Modes(PlayMode play, PuzzleKind kind = PuzzleKind::Nankuro, bool hint = false) {
  ModeState m;
  m.play = play;
  m.kind = kind;
  m.hint = hint;
  return m;
}

// A 4 x 3 grid: row 0 = 12 12 5 255, row 1 = 7 0 12 3, row 2 = 1 2 3 4.
struct ClickFixture {
  ClickFixture() {
    p.GridWidth = 4;
    p.GridHeight = 3;
    const int rows[3][4] = {{12, 12, 5, 255}, {7, 0, 12, 3}, {1, 2, 3, 4}};
    CellsLock cells(p);
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 4; ++x) cells.set(x, y, static_cast<std::uint8_t>(rows[y][x]));
  }
  ClickOutcome Click(int cx, int cy, ClickButton b, std::int32_t sel = kNone) {
    return HandleGridClick(p, cache, modes, b, cx * 32 + 5, cy * 32 + 7, 0, 0, sel);
  }
  std::uint8_t Cell(int x, int y) {
    CellsLock cells(p);
    return cells.at(x, y);
  }
  Puzzle p;
  ClickCache cache;
  ModeState modes;
};

TEST(RepeatFilter, ASecondIdenticalClickDoesNothingNotEvenASound) {
  ClickFixture f;
  EXPECT_TRUE(f.Click(0, 0, ClickButton::Left, 40).handled);
  EXPECT_EQ(f.p.InputTbl[12], 40);
  const ClickOutcome again = f.Click(0, 0, ClickButton::Left, 41);
  EXPECT_FALSE(again.handled);
  EXPECT_FALSE(again.leftSound);
  EXPECT_EQ(f.p.InputTbl[12], 40);
  EXPECT_TRUE(f.Click(0, 0, ClickButton::Right).handled) << "another button passes";
  EXPECT_TRUE(f.Click(1, 0, ClickButton::Right).handled) << "another cell passes";
  f.cache.ClickCacheStale = 1;
  EXPECT_TRUE(f.Click(1, 0, ClickButton::Right).handled) << "a stale cache passes";
}

TEST(RepeatFilter, ModeChangesPassAndEveryCrosswordClickIsHandled) {
  ClickFixture f;
  f.Click(0, 0, ClickButton::Left, 40);
  f.modes = Modes(PlayMode::Answer);
  EXPECT_TRUE(f.Click(0, 0, ClickButton::Left, 40).handled);
  f.modes.hint = true;  // not part of the cache
  EXPECT_FALSE(f.Click(0, 0, ClickButton::Left, 40).handled);
  f.modes = Modes(PlayMode::Game, PuzzleKind::Crossword);
  EXPECT_TRUE(f.Click(0, 0, ClickButton::Left, 40).handled);
  EXPECT_TRUE(f.Click(0, 0, ClickButton::Left, 40).handled);
}

TEST(ClickMapping, ScrollPositionsAndPressesOutsideTheGrid) {
  ClickFixture f;
  const ClickOutcome o = HandleGridClick(f.p, f.cache, f.modes, ClickButton::Left, 40, 3, 2, 1, 9);
  EXPECT_EQ(o.cx, 3);
  EXPECT_EQ(o.cy, 1);
  EXPECT_EQ(f.p.InputTbl[3], 9);
  EXPECT_FALSE(HandleGridClick(f.p, f.cache, f.modes, ClickButton::Left, 4 * 32, 0, 0, 0, 9).handled);
  EXPECT_FALSE(HandleGridClick(f.p, f.cache, f.modes, ClickButton::Left, 0, 3 * 32, 0, 0, 9).handled);
  EXPECT_FALSE(HandleGridClick(f.p, f.cache, f.modes, ClickButton::Left, -3, 0, 0, 0, 9).handled);
  EXPECT_EQ(f.p.CursorX, 3) << "an ignored press moves nothing";
}

TEST(NankuroGame, LeftEntersForTheWholeNumberAndRightRemoves) {
  ClickFixture f;
  ClickOutcome o = f.Click(1, 0, ClickButton::Left, 40);
  EXPECT_TRUE(o.leftSound);
  EXPECT_EQ(f.p.InputTbl[12], 40);
  EXPECT_EQ(o.redraw, Redraw::NumberGroup);
  EXPECT_TRUE(o.refreshAnswerPanel);
  EXPECT_EQ(f.p.CursorX, 1);
  o = f.Click(2, 1, ClickButton::Right);
  EXPECT_TRUE(o.rightSound);
  EXPECT_EQ(f.p.InputTbl[12], 256);
  EXPECT_TRUE(o.redrawPrevious);
  EXPECT_EQ(o.previousX, 1);
  EXPECT_EQ(o.previousRedraw, Redraw::NumberGroup);
  f.Click(2, 0, ClickButton::Left);  // nothing selected
  EXPECT_EQ(f.p.InputTbl[5], 256);
  f.p.InputTbl[255] = 3;
  f.Click(3, 0, ClickButton::Right);  // an empty cell
  EXPECT_EQ(f.p.InputTbl[255], 256);
  f.Click(1, 1, ClickButton::Left, 9);  // byte 0: no number
  EXPECT_EQ(f.p.InputTbl[0], 256);
}

TEST(NankuroGame, AGivenCellKeepsItsAnswerButCell256IsNeverGiven) {
  ClickFixture f;
  f.p.AnserTbl[5] = 9;
  f.p.Syoki[0] = 2;  // cell (2, 0)
  const ClickOutcome o = f.Click(2, 0, ClickButton::Left, 40);
  EXPECT_EQ(f.p.InputTbl[5], 9);
  EXPECT_TRUE(o.refreshCharPanel);

  Puzzle big;
  big.GridWidth = 20;
  big.GridHeight = 20;
  {
    CellsLock cells(big);
    cells.set(16, 12, 6);  // linear index 256
  }
  big.AnserTbl[6] = 77;
  ClickCache cache;
  HandleGridClick(big, cache, ModeState{}, ClickButton::Left, 16 * 32, 12 * 32, 0, 0, 40);
  EXPECT_EQ(big.InputTbl[6], 40) << "free slots (256) must not reveal cell 256's answer";
}

TEST(NankuroGame, ASelectionBeyondTheTableEntersNothingButStillRedraws) {
  ClickFixture f;
  f.p.InputTbl[12] = 3;
  const ClickOutcome o = f.Click(0, 0, ClickButton::Left, 300);
  EXPECT_TRUE(o.handled);
  EXPECT_TRUE(o.leftSound);
  EXPECT_EQ(f.p.InputTbl[12], 3);
  EXPECT_EQ(o.redraw, Redraw::NumberGroup);
}

TEST(NankuroCreate, LeftWritesTheLowByteAndRightEmptiesTheCell) {
  ClickFixture f;
  f.modes = Modes(PlayMode::Create);
  f.Click(0, 2, ClickButton::Left, 200);
  EXPECT_EQ(f.Cell(0, 2), 200);
  f.Click(1, 2, ClickButton::Left, 255);
  EXPECT_EQ(f.Cell(1, 2), 255);
  f.Click(2, 2, ClickButton::Left, kNone);
  EXPECT_EQ(f.Cell(2, 2), 0) << "nothing selected writes 0";
  const ClickOutcome o = f.Click(3, 2, ClickButton::Right);
  EXPECT_EQ(f.Cell(3, 2), 255);
  EXPECT_EQ(o.redraw, Redraw::Cell);
}

TEST(NankuroAnswer, AnswersAndDesignation) {
  ClickFixture f;
  f.modes = Modes(PlayMode::Answer);
  f.Click(0, 0, ClickButton::Left, 8);
  EXPECT_EQ(f.p.AnserTbl[12], 8);
  f.Click(2, 1, ClickButton::Right);
  EXPECT_EQ(f.p.AnserTbl[12], 256);
  f.modes.hint = true;
  f.cache.ClickCacheStale = 1;
  ClickOutcome o = f.Click(1, 2, ClickButton::Left, 8);
  EXPECT_EQ(f.p.Syoki[0], 9);
  EXPECT_EQ(o.redraw, Redraw::Cell);
  EXPECT_EQ(f.p.AnserTbl[2], 256) << "designation enters no answer";
  f.Click(1, 2, ClickButton::Right);
  EXPECT_EQ(f.p.Syoki[0], 256);
  // Designation is answer mode only: in game mode with the toggle on, clicks are game clicks.
  f.modes = Modes(PlayMode::Game, PuzzleKind::Nankuro, true);
  f.Click(3, 2, ClickButton::Left, 11);
  EXPECT_EQ(f.p.InputTbl[4], 11);
}

TEST(CrosswordGame, RightOpensTheCellsClueReadOnly) {
  ClickFixture f;
  f.modes = Modes(PlayMode::Game, PuzzleKind::Crossword);
  f.p.HintTbl[7] = 2 * 4 + 1 + 1;  // cell (1, 2)
  ClickOutcome o = f.Click(1, 2, ClickButton::Right);
  EXPECT_EQ(f.p.CurrentHint, 7);
  EXPECT_EQ(o.hint, HintRequest::ReadOnly);
  o = f.Click(0, 2, ClickButton::Right);
  EXPECT_EQ(f.p.CurrentHint, 256);
  EXPECT_EQ(o.hint, HintRequest::None);
  o = f.Click(0, 0, ClickButton::Left, 40);
  EXPECT_EQ(f.p.InputTbl[12], 40);
  EXPECT_EQ(o.redraw, Redraw::Cell);
  EXPECT_FALSE(o.refreshAnswerPanel);
}

TEST(CrosswordAnswer, ACellReopensItsOwnClueWhereverItIsAndOtherwiseTakesAFreeSlot) {
  ClickFixture f;
  f.modes = Modes(PlayMode::Answer, PuzzleKind::Crossword);
  f.p.GridWidth = 10;
  f.p.GridHeight = 10;
  // Cell (7, 3) has linear index 37; its clue sits in slot 9, after a free slot 2.
  for (int i = 0; i < 256; ++i) f.p.HintTbl[i] = 500 + i;
  f.p.HintTbl[2] = 0;
  f.p.HintTbl[9] = 38;
  ClickOutcome o = HandleGridClick(f.p, f.cache, f.modes, ClickButton::Right, 7 * 32, 3 * 32, 0, 0, kNone);
  EXPECT_EQ(f.p.CurrentHint, 9);
  EXPECT_EQ(f.p.HintTbl[2], 0) << "the free slot is not taken: no cell owns two clues";
  EXPECT_EQ(o.hint, HintRequest::Editable);
  // A cell without a clue takes the first free slot.
  o = HandleGridClick(f.p, f.cache, f.modes, ClickButton::Right, 0, 0, 0, 0, kNone);
  EXPECT_EQ(f.p.CurrentHint, 2);
  EXPECT_EQ(f.p.HintTbl[2], 1);
  // With every slot owned by other cells nothing opens.
  o = HandleGridClick(f.p, f.cache, f.modes, ClickButton::Right, 32, 0, 0, 0, kNone);
  EXPECT_EQ(f.p.CurrentHint, 256);
  EXPECT_EQ(o.hint, HintRequest::None);
}

TEST(CrosswordAnswer, TheClueOfCell255IsNotAFreeSlotAndTheOpenDialogStoresBeforeTheScan) {
  ClickFixture f;
  f.modes = Modes(PlayMode::Answer, PuzzleKind::Crossword);
  f.p.GridWidth = 16;
  f.p.GridHeight = 16;
  // Cell (15, 15) is linear index 255: its clue must not read as the free marker 256.
  HandleGridClick(f.p, f.cache, f.modes, ClickButton::Right, 15 * 32, 15 * 32, 0, 0, kNone);
  EXPECT_EQ(f.p.CurrentHint, 0);
  EXPECT_EQ(f.p.HintTbl[0], kClueOfCell255);
  HandleGridClick(f.p, f.cache, f.modes, ClickButton::Right, 0, 0, 0, 0, kNone);
  EXPECT_EQ(f.p.CurrentHint, 1) << "the next cell takes another slot";
  HandleGridClick(f.p, f.cache, f.modes, ClickButton::Right, 15 * 32, 15 * 32, 0, 0, kNone);
  EXPECT_EQ(f.p.CurrentHint, 0) << "and cell 255 finds its own again";
  // The hook runs before the scan: a slot it frees is what the scan sees.
  int calls = 0;
  const auto freeSlot1 = [&] {
    ++calls;
    f.p.HintTbl[1] = 0;
  };
  HandleGridClick(f.p, f.cache, f.modes, ClickButton::Right, 0, 0, 0, 0, kNone, freeSlot1);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(f.p.CurrentHint, 1);
  EXPECT_EQ(f.p.HintTbl[1], 1);
  f.modes = Modes(PlayMode::Create, PuzzleKind::Crossword);
  HandleGridClick(f.p, f.cache, f.modes, ClickButton::Right, 32, 0, 0, 0, kNone, freeSlot1);
  EXPECT_EQ(calls, 1) << "a click that looks for no clue does not store";
}

TEST(CrosswordCreateAndDesignation, CellsChangeAndDesignationDoesNothing) {
  ClickFixture f;
  f.modes = Modes(PlayMode::Create, PuzzleKind::Crossword);
  f.Click(0, 0, ClickButton::Left, 33);
  EXPECT_EQ(f.Cell(0, 0), 33);
  f.Click(0, 0, ClickButton::Right);
  EXPECT_EQ(f.Cell(0, 0), 255);
  f.modes = Modes(PlayMode::Answer, PuzzleKind::Crossword, true);
  f.Click(1, 2, ClickButton::Left, 8);
  EXPECT_EQ(f.p.Syoki[0], 256);
  EXPECT_EQ(f.p.AnserTbl[2], 256);
}

TEST(PreviousCell, OnlyACellOfTheFirstQuadrantIsRedrawn) {
  ClickFixture f;
  const ClickOutcome first = f.Click(0, 0, ClickButton::Left, 1);
  EXPECT_FALSE(first.redrawPrevious) << "the start-up cache names no cell";
  f.modes = Modes(PlayMode::Game, PuzzleKind::Crossword);
  const ClickOutcome second = f.Click(1, 0, ClickButton::Left, 1);
  EXPECT_TRUE(second.redrawPrevious);
  EXPECT_EQ(second.previousRedraw, Redraw::Cell);
  EXPECT_EQ(f.cache.LastClickX, 1);
}

}  // namespace
}  // namespace teku
