// Undo steps: the difference of two puzzle states split into the player's and the author's
// part and put back either way; the history's saved point, merging and its bounds.
#include "app/undo_history.h"

#include <gtest/gtest.h>

namespace teku {
namespace {

UndoStep OneCell(std::int32_t index, std::int32_t before, std::int32_t after, std::uint64_t key = 0) {
  UndoStep s;
  s.width = 16;
  s.mergeKey = key;
  s.changes.push_back({StepField::Cell, index, before, after, {}, {}});
  return s;
}

TEST(UndoStep, EveryFieldGoesBackAndForthAndTheInputIsThePlayersAlone) {
  Puzzle p;
  p.GridWidth = 5;
  p.GridHeight = 4;
  const PuzzleState before = CaptureState(p, PuzzleKind::Nankuro);
  {
    CellsLock cells(p);
    cells.set(4, 3, 12);
  }
  p.InputTbl[12] = 40;
  p.AnserTbl[12] = 41;
  p.HintTbl[3] = 7;
  p.Kaitou[2] = 12;
  p.Syoki[0] = 19;
  p.MojiTbl[41] = "\x83\x41";
  p.HintTate[3] = "down";
  p.HintYoko.resize(300, "x");
  p.Title = "title";
  p.Password = "pw";
  const PuzzleState after = CaptureState(p, PuzzleKind::Crossword);

  UndoStep play, author;
  DiffStates(before, after, play, author);
  ASSERT_EQ(play.changes.size(), 1u);
  EXPECT_EQ(play.changes[0].field, StepField::Input);
  EXPECT_FALSE(StepTouches(author, StepField::Input));
  EXPECT_TRUE(StepTouches(author, StepField::Kind));

  PuzzleKind kind = PuzzleKind::Crossword;
  ApplyStep(p, kind, author, true);
  ApplyStep(p, kind, play, true);
  EXPECT_EQ(CaptureState(p, kind).snapshot, before.snapshot);
  EXPECT_EQ(kind, PuzzleKind::Nankuro);
  ApplyStep(p, kind, play, false);
  ApplyStep(p, kind, author, false);
  EXPECT_EQ(CaptureState(p, kind).snapshot, after.snapshot);
  EXPECT_EQ(kind, PuzzleKind::Crossword);
  EXPECT_LT(play.Bytes(), 256u) << "a step holds what changed, not the puzzle";
}

TEST(UndoStep, ANewSizeTakesTheWholeGridBack) {
  Puzzle p;
  const PuzzleState before = CaptureState(p, PuzzleKind::Nankuro);
  p.GridWidth = 3;
  p.GridHeight = 2;
  {
    CellsLock cells(p);
    cells.set(2, 1, 9);
  }
  const PuzzleState after = CaptureState(p, PuzzleKind::Nankuro);
  UndoStep play, author;
  DiffStates(before, after, play, author);
  PuzzleKind kind = PuzzleKind::Nankuro;
  ApplyStep(p, kind, author, true);
  EXPECT_EQ(CaptureState(p, kind).snapshot, before.snapshot);
  ApplyStep(p, kind, author, false);
  EXPECT_EQ(CaptureState(p, kind).snapshot, after.snapshot);
}

TEST(UndoHistory, TheSavedPointIsReachedBackAndLostWhenItsFutureIsReplaced) {
  UndoHistory h;
  EXPECT_TRUE(h.AtSaved());
  h.Push(OneCell(0, 255, 1));
  h.Push(OneCell(1, 255, 2));
  EXPECT_FALSE(h.AtSaved());
  h.MarkSaved();
  ASSERT_NE(h.Undo(), nullptr);
  EXPECT_FALSE(h.AtSaved());
  EXPECT_EQ(h.Redo()->changes[0].after, 2);
  EXPECT_TRUE(h.AtSaved());
  EXPECT_EQ(h.Redo(), nullptr);
  h.Undo();
  h.Push(OneCell(5, 255, 3));
  EXPECT_FALSE(h.CanRedo());
  EXPECT_FALSE(h.AtSaved());
  h.Undo();
  EXPECT_FALSE(h.AtSaved()) << "the saved state was on the branch that went";
  h.Clear();
  EXPECT_FALSE(h.AtSaved()) << "a cleared history keeps the unsaved change";
  h.Reset();
  EXPECT_TRUE(h.AtSaved());
  EXPECT_FALSE(h.CanUndo());
}

TEST(UndoHistory, StepsOfOneTypingMergeUnlessTheSaveFallsBetween) {
  UndoHistory h;
  h.Push(OneCell(0, 255, 1, 7));
  h.Push(OneCell(0, 1, 12, 7));
  ASSERT_EQ(h.size(), 1u);
  h.MarkSaved();
  h.Push(OneCell(0, 12, 125, 7));
  EXPECT_EQ(h.size(), 2u);
  h.Push(OneCell(1, 255, 4, 8));
  EXPECT_EQ(h.size(), 3u);
  h.Undo();
  const UndoStep* first = (h.Undo(), h.Undo());
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->changes[0].before, 255);
  EXPECT_EQ(first->changes[0].after, 12);
}

TEST(UndoHistory, MemoryIsBoundedAndTheOldestStepsGoFirst) {
  UndoHistory h;
  for (int i = 0; i < 5000; ++i) h.Push(OneCell(i % 200, 255, i % 254 + 1));
  EXPECT_GE(h.size(), 1000u);
  EXPECT_LE(h.size(), 4096u);
  EXPECT_LT(h.bytes(), std::size_t{1} << 20);
  UndoHistory small(100, 4096);
  small.MarkSaved();
  for (int i = 0; i < 50; ++i) small.Push(OneCell(i, 255, 1));
  EXPECT_LE(small.bytes(), 4096u);
  std::size_t undone = 0;
  while (small.Undo() != nullptr) ++undone;
  EXPECT_EQ(undone, small.size());
  EXPECT_FALSE(small.AtSaved()) << "the saved state went with the oldest steps";
}

}  // namespace
}  // namespace teku
