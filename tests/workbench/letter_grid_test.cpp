// Letters written into cells and numbered: both orders, small kana, a renumbered puzzle keeping
// its character table, and the numbering undone as one step.
#include "workbench/letter_grid.h"

#include <gtest/gtest.h>

#include <set>

#include "app/grid_click.h"
#include "app/grid_keys.h"
#include "app/undo_history.h"
#include "tests/workbench/text_grid.h"

namespace teku {
namespace {

using testing::NumberAt;
using testing::ReadLetters;
using testing::Sjis;
using testing::WriteLetters;

const std::vector<std::string> kLetters = {"サクラ", "ク#ク", "ラクダ"};

std::vector<std::vector<int>> Numbers(Puzzle& p) {
  std::vector<std::vector<int>> rows(static_cast<std::size_t>(p.GridHeight));
  for (std::int32_t y = 0; y < p.GridHeight; ++y)
    for (std::int32_t x = 0; x < p.GridWidth; ++x) rows[static_cast<std::size_t>(y)].push_back(NumberAt(p, x, y));
  return rows;
}

TEST(LetterGrid, LettersFindOrMakeTheirNumberAndLeaveNothingBehind) {
  Puzzle p;
  WriteLetters(p, {"アイ", "ア#"});
  EXPECT_EQ(NumberAt(p, 0, 0), NumberAt(p, 0, 1)) << "one character, one number";
  ASSERT_TRUE(PutLetter(p, 1, 0, Sjis("ウ")));
  EXPECT_EQ(ReadLetters(p), (std::vector<std::string>{"アウ", "ア#"}));
  ASSERT_TRUE(ClearLetter(p, 0, 1));
  ASSERT_TRUE(ClearLetter(p, 0, 0));
  EXPECT_EQ(ReadLetters(p), (std::vector<std::string>{"#ウ", "##"}));
  int answers = 0;
  for (std::int32_t n = 1; n <= 254; ++n) answers += p.AnserTbl[static_cast<std::size_t>(n)] != kNone;
  EXPECT_EQ(answers, 1);
  EXPECT_FALSE(PutLetter(p, 2, 0, Sjis("エ"))) << "outside the grid";
}

TEST(LetterGrid, ReadingOrderNumbersCharactersByTheirFirstCell) {
  Puzzle p;
  WriteLetters(p, kLetters);
  const NumberingResult r = NumberLetters(p, {});
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(r.characters, 4);
  EXPECT_EQ(Numbers(p), (std::vector<std::vector<int>>{{1, 2, 3}, {2, 255, 2}, {3, 2, 4}}));
  EXPECT_EQ(ReadLetters(p), kLetters);
  for (std::size_t n = 5; n < 256; ++n) EXPECT_EQ(p.AnserTbl[n], kNone);
}

TEST(LetterGrid, ShuffledNumbersFollowTheSeed) {
  Puzzle p, q;
  const std::vector<std::string> rows = {"アイウエオカ", "キクケコサシ", "スセソタチツ"};
  WriteLetters(p, rows);
  WriteLetters(q, rows);
  ASSERT_TRUE(NumberLetters(p, {true, 42, false}).ok());
  ASSERT_TRUE(NumberLetters(q, {true, 42, false}).ok());
  EXPECT_EQ(Numbers(p), Numbers(q));
  EXPECT_EQ(ReadLetters(p), rows);
  std::set<int> used;
  for (const auto& row : Numbers(p)) used.insert(row.begin(), row.end());
  EXPECT_EQ(used.size(), 18u);
  EXPECT_EQ(*used.begin(), 1);
  EXPECT_EQ(*used.rbegin(), 18);
  ASSERT_TRUE(NumberLetters(q, {true, 43, false}).ok());
  EXPECT_NE(Numbers(p), Numbers(q));
  ASSERT_TRUE(NumberLetters(q, {}).ok());
  EXPECT_EQ(Numbers(q)[0], (std::vector<int>{1, 2, 3, 4, 5, 6}));
}

TEST(LetterGrid, SmallKanaFoldIntoTheirLargeKana) {
  Puzzle p;
  WriteLetters(p, {"キッテ", "ャ#ツ", "ヤッホ"});
  ASSERT_TRUE(NumberLetters(p, {false, 1, true}).ok());
  EXPECT_EQ(ReadLetters(p), (std::vector<std::string>{"キツテ", "ヤ#ツ", "ヤツホ"}));
  EXPECT_EQ(NumberAt(p, 1, 0), NumberAt(p, 2, 1));
  EXPECT_EQ(FoldSmallKana(Sjis("ぇ")), Sjis("え"));
  EXPECT_EQ(FoldSmallKana(Sjis("ｯ")), Sjis("ﾂ"));
  EXPECT_EQ(FoldSmallKana(Sjis("ー")), Sjis("ー"));
}

TEST(LetterGrid, RenumberingKeepsTheTableAndMovesTheAnswerWord) {
  Puzzle p;
  // A table laid out beforehand, as a setter's kana table is.
  const char* const kana[] = {"ア", "ダ", "ク", "ラ", "サ", "ン"};
  for (std::size_t k = 0; k < std::size(kana); ++k) p.MojiTbl[k + 1] = Sjis(kana[k]);
  const TextList table = p.MojiTbl;
  WriteLetters(p, kLetters);
  ASSERT_TRUE(NumberLetters(p, {true, 7, false}).ok());
  p.Kaitou[0] = NumberAt(p, 0, 2);  // ラ
  p.Kaitou[1] = NumberAt(p, 2, 2);  // ダ
  ASSERT_TRUE(NumberLetters(p, {}).ok());
  EXPECT_EQ(p.MojiTbl, table) << "characters keep their entries";
  EXPECT_EQ(ReadLetters(p), kLetters);
  EXPECT_EQ(p.Kaitou[0], 3);
  EXPECT_EQ(p.Kaitou[1], 4);
}

TEST(LetterGrid, NumberingIsOneStepOfTheAuthorsHistory) {
  Puzzle p;
  WriteLetters(p, kLetters);
  const PuzzleState before = CaptureState(p, PuzzleKind::Nankuro);
  ASSERT_TRUE(NumberLetters(p, {true, 5, false}).ok());
  UndoStep play, author;
  DiffStates(before, CaptureState(p, PuzzleKind::Nankuro), play, author);
  EXPECT_TRUE(play.empty());
  PuzzleKind kind = PuzzleKind::Nankuro;
  ApplyStep(p, kind, author, true);
  EXPECT_EQ(CaptureState(p, kind).snapshot, before.snapshot);
}

TEST(LetterGrid, ACellWithoutACharacterStopsTheNumberingUnchanged) {
  Puzzle p;
  WriteLetters(p, kLetters);
  p.AnserTbl[NumberAt(p, 2, 2)] = kNone;
  const PuzzleState before = CaptureState(p, PuzzleKind::Nankuro);
  const NumberingResult r = NumberLetters(p, {});
  EXPECT_EQ(r.problem, NumberingProblem::NoCharacter);
  EXPECT_EQ(r.x, 2);
  EXPECT_EQ(r.y, 2);
  EXPECT_EQ(CaptureState(p, PuzzleKind::Nankuro).snapshot, before.snapshot);
  EXPECT_EQ(NumberingProblemText(r), Sjis("文字の入っていないマスがあります (3,3)。文字を入れるか黒マスにしてください"));
}

TEST(LetterGrid, KeysAndClicksWriteLettersWhileCreateModeWritesLetters) {
  Puzzle p;
  p.GridWidth = 3;
  p.GridHeight = 1;
  ModeState modes;
  modes.play = PlayMode::Create;
  modes.letters = true;
  ClickCache cache;
  GridKeyState keys;
  p.CursorX = p.CursorY = 0;
  for (const char* ch : {"か", "#", "か"}) {
    const KeyOutcome o = TypeOnGrid(p, cache, keys, modes, Sjis(ch));
    EXPECT_EQ(o.problem, KeyProblem::None) << ch;
  }
  EXPECT_EQ(ReadLetters(p), (std::vector<std::string>{"か#か"})) << "hiragana stays as typed";
  EXPECT_EQ(NumberAt(p, 1, 0), 255);
  EXPECT_EQ(p.CursorX, 2) << "each key moves on, the blocked cell's too";

  // A click puts the selected table character; a right click empties the cell.
  const std::int32_t ka = p.AnserTbl[NumberAt(p, 0, 0)];
  HandleCellClick(p, cache, modes, ClickButton::Left, 1, 0, ka);
  EXPECT_EQ(NumberAt(p, 1, 0), NumberAt(p, 0, 0));
  HandleCellClick(p, cache, modes, ClickButton::Right, 2, 0, kNone);
  EXPECT_EQ(DeleteOnGrid(p, cache, keys, modes).problem, KeyProblem::None);
  EXPECT_EQ(ReadLetters(p), (std::vector<std::string>{"かか#"}));

  // Plain create mode still takes digits as numbers.
  modes.letters = false;
  p.CursorX = 2;
  EXPECT_EQ(TypeOnGrid(p, cache, keys, modes, "x").problem, KeyProblem::NotANumber);
}

}  // namespace
}  // namespace teku
