// Keys on the grid: the cursor at the edges, typing and removing in each mode and kind, the
// refusals, numbers typed in create mode and the kana folding.
#include "app/grid_keys.h"

#include <gtest/gtest.h>

#include "services/cp932.h"

namespace teku {
namespace {

std::string Sjis(const char* utf8) { return *Utf8ToCp932(utf8); }

ModeState Modes(PlayMode play, PuzzleKind kind = PuzzleKind::Nankuro) {
  ModeState m;
  m.play = play;
  m.kind = kind;
  return m;
}

// Row 0 = 1 2 255 1, row 1 = 3 255 4 5. Entries 5 ア, 6 イ, 7 ウ; cell (3, 1) is given.
struct KeyFixture {
  KeyFixture() {
    p.GridWidth = 4;
    p.GridHeight = 2;
    const int rows[2][4] = {{1, 2, 255, 1}, {3, 255, 4, 5}};
    CellsLock cells(p);
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < 4; ++x) cells.set(x, y, static_cast<std::uint8_t>(rows[y][x]));
    p.MojiTbl[5] = Sjis("ア");
    p.MojiTbl[6] = Sjis("イ");
    p.MojiTbl[7] = Sjis("ウ");
    p.AnserTbl[5] = 7;
    p.Syoki[0] = 7;
  }
  KeyOutcome Move(CursorKey k) { return MoveGridCursor(p, cache, state, k, 1, 0); }
  KeyOutcome Type(const char* utf8) { return TypeOnGrid(p, cache, state, modes, Sjis(utf8)); }
  KeyOutcome Delete() { return DeleteOnGrid(p, cache, state, modes); }
  void At(int x, int y) { p.CursorX = x, p.CursorY = y; }
  std::pair<int, int> Cursor() const { return {p.CursorX, p.CursorY}; }
  int Cell(int x, int y) {
    CellsLock cells(p);
    return cells.at(x, y);
  }
  Puzzle p;
  ClickCache cache;
  GridKeyState state;
  ModeState modes;
};

TEST(GridCursor, ArrowsStopAtTheEdgesHomeAndEndReachTheRowEndsAndNothingElseChanges) {
  KeyFixture f;
  const Puzzle::Snapshot before = f.p.TakeSnapshot();
  EXPECT_TRUE(f.Move(CursorKey::Left).cursorMoved);
  EXPECT_EQ(f.Cursor(), std::make_pair(1, 0)) << "the first key starts at the view's origin";
  f.Move(CursorKey::Left);
  EXPECT_FALSE(f.Move(CursorKey::Left).cursorMoved);
  EXPECT_FALSE(f.Move(CursorKey::Up).cursorMoved);
  f.Move(CursorKey::End);
  EXPECT_EQ(f.Cursor(), std::make_pair(3, 0));
  EXPECT_FALSE(f.Move(CursorKey::Right).cursorMoved);
  const KeyOutcome down = f.Move(CursorKey::Down);
  EXPECT_EQ(std::make_pair(down.fromX, down.fromY), std::make_pair(3, 0));
  EXPECT_FALSE(f.Move(CursorKey::Down).cursorMoved);
  f.Move(CursorKey::Home);
  EXPECT_EQ(f.Cursor(), std::make_pair(0, 1));
  EXPECT_FALSE(f.Move(CursorKey::Home).click.handled) << "no click action, so no sound";
  EXPECT_EQ(f.p.TakeSnapshot(), before);
  EXPECT_EQ(f.cache.LastClickX, 0) << "the next click redraws the cell the keys left";
  EXPECT_EQ(f.cache.ClickCacheStale, 1) << "and is no repeat";
}

TEST(GridTyping, GameModeEntersForTheNumberAndMovesOnPastEmptyCells) {
  KeyFixture f;
  f.At(0, 0);
  const KeyOutcome a = f.Type("ア");
  EXPECT_EQ(a.problem, KeyProblem::None);
  EXPECT_TRUE(a.click.leftSound);
  EXPECT_EQ(a.click.redraw, Redraw::NumberGroup);
  EXPECT_EQ(f.p.InputTbl[1], 5);
  EXPECT_EQ(f.Cursor(), std::make_pair(1, 0));
  f.Type("い");  // hiragana into a katakana table
  EXPECT_EQ(f.p.InputTbl[2], 6);
  EXPECT_EQ(f.Cursor(), std::make_pair(3, 0)) << "the empty cell is passed over";
  f.Type("ア");
  EXPECT_EQ(f.Cursor(), std::make_pair(3, 0)) << "the edge stops the cursor";
  ToggleTypingDirection(f.state);
  f.At(0, 0);
  f.Type("ア");
  EXPECT_EQ(f.Cursor(), std::make_pair(0, 1)) << "down after Space";
}

TEST(GridTyping, RefusalsSayWhyAndChangeNothing) {
  KeyFixture f;
  EXPECT_EQ(f.Type("ア").problem, KeyProblem::NoCursor);
  f.p.InputTbl[2] = 6;
  const Puzzle::Snapshot before = f.p.TakeSnapshot();
  f.At(0, 0);
  EXPECT_EQ(f.Type("エ").problem, KeyProblem::NotInTable);
  EXPECT_EQ(f.Type("イ").problem, KeyProblem::InUse) << "number 2 holds イ";
  f.At(2, 0);
  EXPECT_EQ(f.Type("ア").problem, KeyProblem::NotNumbered);
  f.At(3, 1);
  EXPECT_EQ(f.Type("ア").problem, KeyProblem::GivenCell);
  EXPECT_EQ(f.Delete().problem, KeyProblem::GivenCell);
  EXPECT_EQ(f.p.TakeSnapshot(), before);
  EXPECT_EQ(f.Cursor(), std::make_pair(3, 1));
  EXPECT_EQ(f.Type("ウ").problem, KeyProblem::None) << "the character the given cell shows";
  EXPECT_EQ(f.p.InputTbl[5], 7);
}

TEST(GridTyping, DeleteRemovesWhatTheModeEntersInBothKinds) {
  KeyFixture f;
  f.At(1, 0);
  f.Type("イ");
  f.At(1, 0);
  EXPECT_TRUE(f.Delete().click.rightSound) << "as a right click";
  EXPECT_EQ(f.p.InputTbl[2], kNone);

  f.modes = Modes(PlayMode::Game, PuzzleKind::Crossword);
  f.At(0, 1);
  EXPECT_EQ(f.Type("ウ").click.redraw, Redraw::Cell);
  EXPECT_EQ(f.p.InputTbl[3], 7);
  f.At(0, 1);
  const KeyOutcome d = f.Delete();
  EXPECT_EQ(d.click.hint, HintRequest::None) << "no clue opens";
  EXPECT_EQ(f.p.InputTbl[3], kNone);

  f.modes = Modes(PlayMode::Answer);
  f.modes.hint = true;  // the designation stays a mouse matter
  f.At(3, 1);
  f.Type("イ");
  EXPECT_EQ(f.p.AnserTbl[5], 6) << "an author types into a given cell too";
  EXPECT_EQ(f.p.Syoki[0], 7);
  f.At(3, 1);
  f.Delete();
  EXPECT_EQ(f.p.AnserTbl[5], kNone);
}

TEST(GridTyping, CreateModeDigitsMakeOneNumberUntilEnterOrAnArrow) {
  KeyFixture f;
  f.modes = Modes(PlayMode::Create);
  f.At(2, 0);
  f.Type("2");
  f.Type("５");  // full width, as an input method gives it
  EXPECT_EQ(f.Cell(2, 0), 25);
  EXPECT_EQ(f.Type("5").problem, KeyProblem::NumberRange);
  EXPECT_EQ(f.Cell(2, 0), 25);
  const std::uint32_t run = f.state.numberRun;
  EnterOnGrid(f.p, f.cache, f.state, f.modes);
  EXPECT_NE(f.state.numberRun, run);
  EXPECT_EQ(f.Cursor(), std::make_pair(3, 0));
  f.Type("7");
  EXPECT_EQ(f.Cell(3, 0), 7) << "a new number";
  f.Move(CursorKey::Left);
  f.Type("0");
  EXPECT_EQ(f.Cell(2, 0), 25) << "no number starts with 0";
  EXPECT_EQ(f.Type("ア").problem, KeyProblem::NotANumber);
  f.Delete();
  EXPECT_EQ(f.Cell(2, 0), 255);
}

TEST(KanaFolding, EveryHiraganaHasItsKatakanaAndOtherTextStays) {
  const char* pairs[][2] = {{"ぁ", "ァ"}, {"ひ", "ヒ"}, {"み", "ミ"}, {"む", "ム"}, {"を", "ヲ"}, {"ん", "ン"}};
  for (const auto& [h, k] : pairs) EXPECT_EQ(Cp932ToUtf8(HiraganaToKatakana(Sjis(h))), k) << h;
  for (const char* other : {"ア", "漢", "A", "ー"}) EXPECT_EQ(HiraganaToKatakana(Sjis(other)), Sjis(other));
  EXPECT_EQ(SplitCp932Characters(Sjis("Aあ1")).size(), 3u);
}

}  // namespace
}  // namespace teku
