// The puzzle model: reset values, the given-cell list and bounded access.
#include "app/puzzle_model.h"

#include <gtest/gtest.h>

namespace teku {
namespace {

ModeState DesignationModes() {
  ModeState m;
  m.play = PlayMode::Answer;
  m.kind = PuzzleKind::Nankuro;
  m.hint = true;
  return m;
}

TEST(PuzzleReset, EveryByteOfTheBlockIsEmptyAndTablesAreNone) {
  Puzzle p;
  {
    CellsLock lock(p);
    ASSERT_TRUE(lock.ok());
    for (int i = 0; i < kCellsBytes; ++i) lock.bytes()[i] = static_cast<std::uint8_t>(i);
  }
  p.GridWidth = 20;
  p.Title = "x";
  p.Password = "pw";
  p.EnteredPassword = "pw";
  p.CursorX = 3;
  p.Kaitou[4] = 9;
  p.Syoki[2] = 7;
  p.AnserTbl[1] = 5;
  p.HintTbl[0] = 3;
  p.MojiTbl[3] = "A";
  p.MojiTbl.push_back("extra");
  p.InputTbl[1] = 9;
  p.Version = "011";
  p.ResetPuzzle();

  CellsLock lock(p);
  for (int i = 0; i < kCellsBytes; ++i) ASSERT_EQ(lock.bytes()[i], 255) << "byte " << i;
  EXPECT_EQ(p.GridWidth, 16);
  EXPECT_EQ(p.GridHeight, 16);
  EXPECT_EQ(p.CursorX, kNone);
  EXPECT_EQ(p.CursorY, kNone);
  EXPECT_TRUE(p.Title.empty());
  EXPECT_TRUE(p.Password.empty());
  EXPECT_TRUE(p.EnteredPassword.empty());
  EXPECT_EQ(p.MondaiName, "DEFAULTI.CRS");
  for (int k = 0; k < 32; ++k) {
    EXPECT_EQ(p.Kaitou[k], 255);
    EXPECT_EQ(p.Syoki[k], 256);
  }
  for (int i = 0; i < 256; ++i) {
    EXPECT_EQ(p.AnserTbl[i], 256);
    EXPECT_EQ(p.HintTbl[i], 256);
  }
  EXPECT_EQ(p.MojiTbl.size(), 256u);
  EXPECT_EQ(p.HintTate.size(), 256u);
  EXPECT_EQ(p.HintYoko.size(), 256u);
  EXPECT_TRUE(p.MojiTbl[3].empty());
  // The reset leaves the input and the version alone.
  EXPECT_EQ(p.InputTbl[1], 9);
  EXPECT_EQ(p.Version, "011");
  EXPECT_EQ(p.CellsLocked, lock.bytes());
}

TEST(PuzzleReset, ResetInputClearsTheInputAndTheName) {
  Puzzle p;
  p.MondaiName = "A.CRS";
  p.InputTbl[0] = 0;
  p.InputTbl[255] = 4;
  p.ResetInput();
  EXPECT_EQ(p.MondaiName, "DEFAULTI.CRS");
  for (int n = 0; n < 256; ++n) EXPECT_EQ(p.InputTbl[n], 256);
}

TEST(PuzzleReset, LockIsReleasedAndCompanionCleared) {
  Puzzle p;
  p.ResetPuzzle();
  EXPECT_EQ(GlobalLockCount(p.Cells), 0);
  EXPECT_EQ(p.CellsLocked, nullptr);
}

TEST(PuzzleReset, ClearForNewSizeClearsOnlyTheGridInUseAndRebuildsTheSheet) {
  Puzzle p;
  {
    CellsLock lock(p);
    for (int i = 0; i < kCellsBytes; ++i) lock.bytes()[i] = 7;
  }
  p.GridWidth = 5;
  p.GridHeight = 3;
  p.MondaiName = "Q.CRS";
  p.Title = "kept";
  p.MojiTbl[9] = "A";
  p.HintTate[2] = "t";
  p.AnserTbl[4] = 1;
  p.Kaitou[0] = 4;
  int built = 0;
  p.ClearForNewSize([&] { ++built; });
  EXPECT_EQ(built, 1);
  EXPECT_EQ(p.FilePath, "Q.CRS");
  EXPECT_EQ(p.Title, "kept");
  EXPECT_EQ(p.Kaitou[0], 255);
  EXPECT_EQ(p.AnserTbl[4], 256);
  EXPECT_TRUE(p.MojiTbl[9].empty());
  EXPECT_TRUE(p.HintTate[2].empty());
  EXPECT_EQ(p.MojiTbl.size(), 256u);
  CellsLock lock(p);
  for (int x = 0; x < 256; ++x) {
    for (int y = 0; y < 240; ++y) {
      const bool inUse = x < 5 && y < 3;
      ASSERT_EQ(lock.at(x, y), inUse ? 255 : 7) << x << "," << y;
    }
  }
}

TEST(InitialCells, AddsIntoTheFirstFreeSlotButNeverListsACellTwice) {
  Puzzle p;
  const ModeState m = DesignationModes();
  p.ToggleInitialCell(2, 1, true, m);  // index 18
  EXPECT_EQ(p.Syoki[0], 18);
  p.ToggleInitialCell(2, 1, true, m);
  EXPECT_EQ(p.Syoki[1], 256) << "already listed: nothing changes";

  // Listed after a free slot (as a file may have it): adding finds it and changes nothing.
  p.Syoki[0] = 256;
  p.Syoki[5] = 18;
  p.ToggleInitialCell(2, 1, true, m);
  EXPECT_EQ(p.Syoki[0], 256);
  // Listed twice: one removal clears both.
  p.Syoki[0] = 18;
  p.ToggleInitialCell(2, 1, false, m);
  EXPECT_EQ(p.Syoki[0], 256);
  EXPECT_EQ(p.Syoki[5], 256);
  EXPECT_FALSE(p.IsInitialCell(2, 1));
}

TEST(InitialCells, TheCellCountAlsoMarksAFreeSlotAndAFullListTakesNoMore) {
  Puzzle p;
  const ModeState m = DesignationModes();
  p.Syoki.fill(p.CellCount());  // 256 in a 16 x 16 grid, but also after a size change
  p.GridWidth = 10;
  p.GridHeight = 10;
  p.Syoki.fill(100);
  p.ToggleInitialCell(0, 0, true, m);
  EXPECT_EQ(p.Syoki[0], 0);
  for (int k = 0; k < 32; ++k) p.Syoki[k] = k;
  p.ToggleInitialCell(9, 9, true, m);  // the 33rd cell
  for (int k = 0; k < 32; ++k) EXPECT_EQ(p.Syoki[k], k);
}

TEST(InitialCells, OnlyInAnswerModeWithANumberCrosswordAndDesignationOn) {
  Puzzle p;
  ModeState m = DesignationModes();
  m.hint = false;
  p.ToggleInitialCell(1, 1, true, m);
  m = DesignationModes();
  m.play = PlayMode::Game;
  p.ToggleInitialCell(1, 1, true, m);
  m = DesignationModes();
  m.kind = PuzzleKind::Crossword;
  p.ToggleInitialCell(1, 1, true, m);
  for (int k = 0; k < 32; ++k) EXPECT_EQ(p.Syoki[k], 256);
}

TEST(InitialCells, Cell256CanNeitherBeListedNorShowAsGiven) {
  Puzzle p;
  p.GridWidth = 20;
  p.GridHeight = 20;  // 400 cells; (16, 12) is linear index 256
  const ModeState m = DesignationModes();
  EXPECT_FALSE(p.IsInitialCell(16, 12)) << "a free slot (256) must not name cell 256";
  p.ToggleInitialCell(16, 12, true, m);
  for (int k = 0; k < 32; ++k) EXPECT_EQ(p.Syoki[k], 256);
  p.Syoki[0] = 400;  // the cell count: free as well
  EXPECT_FALSE(p.IsInitialCell(0, 0));
}

TEST(InitialCells, OutOfGridAndHostileSlotValuesNameNoCell) {
  Puzzle p;
  p.GridWidth = 10;
  p.GridHeight = 10;
  p.Syoki[0] = -1;
  p.Syoki[1] = 1000000;
  p.Syoki[2] = 105;
  for (int x = 0; x < 10; ++x) {
    for (int y = 0; y < 10; ++y) EXPECT_FALSE(p.IsInitialCell(x, y));
  }
  p.ToggleInitialCell(12, 0, true, DesignationModes());
  EXPECT_EQ(p.Syoki[3], 256);
}

TEST(GridBounds, SizesAreClampedToTheBlock) {
  EXPECT_EQ(ClampGridWidth(0), 1);
  EXPECT_EQ(ClampGridWidth(-5), 1);
  EXPECT_EQ(ClampGridWidth(256), 256);
  EXPECT_EQ(ClampGridWidth(257), 256);
  EXPECT_EQ(ClampGridHeight(240), 240);
  EXPECT_EQ(ClampGridHeight(241), 240);
  EXPECT_EQ(ClampGridHeight(std::int64_t{1} << 40), 240);
}

TEST(GridBounds, CellAccessOutsideTheBlockReadsEmptyAndWritesNothing) {
  Puzzle p;
  CellsLock lock(p);
  lock.set(256, 0, 1);
  lock.set(0, 240, 1);
  lock.set(-1, 5, 1);
  EXPECT_EQ(lock.at(256, 0), 255);
  EXPECT_EQ(lock.at(-1, -1), 255);
  for (int i = 0; i < kCellsBytes; ++i) ASSERT_EQ(lock.bytes()[i], 255);
  EXPECT_EQ(TableAt(p.AnserTbl, 256), kNone);
  EXPECT_EQ(TableAt(p.AnserTbl, -1), kNone);
  EXPECT_EQ(TextAt(p.MojiTbl, 300), "");
}

TEST(InputForMode, CreateIsTheIdentityAndTheOthersAreNone) {
  Puzzle p;
  p.SetInputForMode(PlayMode::Create);
  for (int n = 0; n < 256; ++n) EXPECT_EQ(p.InputTbl[n], n);
  p.SetInputForMode(PlayMode::Answer);
  for (int n = 0; n < 256; ++n) EXPECT_EQ(p.InputTbl[n], 256);
}

}  // namespace
}  // namespace teku
