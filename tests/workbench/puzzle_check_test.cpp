// The puzzle check finds each kind of slip on a small grid and nothing on a clean one.
#include "workbench/puzzle_check.h"

#include <gtest/gtest.h>

#include <map>

#include "tests/workbench/text_grid.h"

namespace teku {
namespace {

using testing::NumberAt;
using testing::Sjis;
using testing::WriteLetters;

// Every character twice or more, no word twice, symmetric both ways, no rule broken.
const std::vector<std::string> kClean = {
    "アイウエオ",
    "オ#ア#イ",
    "ウアエオア",
    "エ#イ#ウ",
    "オウアイエ",
};

std::map<CheckKind, int> Kinds(const std::vector<CheckProblem>& problems) {
  std::map<CheckKind, int> out;
  for (const CheckProblem& p : problems) ++out[p.kind];
  return out;
}

const CheckProblem* Find(const std::vector<CheckProblem>& problems, CheckKind kind) {
  for (const CheckProblem& p : problems) {
    if (p.kind == kind) return &p;
  }
  return nullptr;
}

TEST(PuzzleCheck, ACleanGridHasNothingToReportUnderEveryRule) {
  Puzzle p;
  WriteLetters(p, kClean);
  const auto problems = CheckPuzzle(p, PuzzleKind::Nankuro, kAllCheckRules);
  EXPECT_TRUE(problems.empty()) << DescribeProblem(problems.front());
  EXPECT_EQ(CheckSummary(problems), Sjis("問題なし"));
}

TEST(PuzzleCheck, NumbersAndCharacters) {
  Puzzle p;
  WriteLetters(p, kClean);
  const std::uint8_t a = NumberAt(p, 0, 0), i = NumberAt(p, 1, 0), u = NumberAt(p, 2, 0);
  p.AnserTbl[i] = p.AnserTbl[a];              // イ's number now stands for ア too
  p.MojiTbl[p.AnserTbl[u]].clear();           // ウ's character is gone
  p.MojiTbl[200] = Sjis("ン");                // in the table, used by no number
  p.AnserTbl[100] = p.AnserTbl[a];            // a number no cell carries
  { CellsLock(p).set(2, 4, 250); }            // one cell of its own number
  p.AnserTbl[250] = 200;

  const auto problems = CheckPuzzle(p, PuzzleKind::Nankuro, 0);
  EXPECT_EQ(Kinds(problems), (std::map<CheckKind, int>{{CheckKind::SharedCharacter, 1},
                                                       {CheckKind::EmptyCharacter, 1},
                                                       {CheckKind::SingleUse, 1},
                                                       {CheckKind::UnusedCharacter, 1},
                                                       {CheckKind::UncarriedNumber, 1}}));
  const CheckProblem* shared = Find(problems, CheckKind::SharedCharacter);
  EXPECT_EQ(shared->numbers, (std::vector<std::int32_t>{a, i}));
  EXPECT_EQ(shared->text, Sjis("ア"));
  EXPECT_EQ(shared->cells, (std::vector<CheckCell>{{0, 0}, {1, 0}}));
  EXPECT_EQ(Find(problems, CheckKind::EmptyCharacter)->cells.size(), 4u) << "every cell of ウ";
  EXPECT_EQ(problems.front().severity, CheckSeverity::Error) << "errors come first";

  p.AnserTbl[250] = kNone;
  p.MojiTbl[p.AnserTbl[u]] = Sjis("ウ");
  p.MojiTbl[201] = Sjis("ヲ");
  const auto all = CheckPuzzle(p, PuzzleKind::Nankuro, 0);
  const CheckProblem* info = Find(all, CheckKind::UnusedCharacter);
  ASSERT_NE(info, nullptr);
  EXPECT_EQ(info->text, Sjis("イ ン ヲ")) << "unused characters are one line of information";

  // A crossword gives every cell a number of its own: shared characters and single cells are
  // how it is made.
  const auto cross = Kinds(CheckPuzzle(p, PuzzleKind::Crossword, 0));
  EXPECT_EQ(cross.count(CheckKind::SharedCharacter) + cross.count(CheckKind::SingleUse), 0u);
}

TEST(PuzzleCheck, AWordTwiceIsFoundThroughTheAnswerTable) {
  Puzzle p;
  WriteLetters(p, {"カキ#", "#カキ", "カキ#"});
  const auto problems = CheckPuzzle(p, PuzzleKind::Nankuro, 0);
  const CheckProblem* twice = Find(problems, CheckKind::RepeatedWord);
  ASSERT_NE(twice, nullptr);
  EXPECT_EQ(twice->text, Sjis("カキ"));
  EXPECT_EQ(twice->cells, (std::vector<CheckCell>{{0, 0}, {1, 1}, {0, 2}}));
  EXPECT_EQ(DescribeProblem(*twice), Sjis("同じ語「カキ」が 3 か所にあります"));
}

TEST(PuzzleCheck, BlockRulesEachOnlyWhenOn) {
  Puzzle p;
  // (1,1)-(2,1) side by side, corner (3,0) blocked, (3,1) walled in, (2,4) alone and cut off,
  // symmetric neither way.
  WriteLetters(p, {"アイウ#", "ア##ウ", "アイウエ", "ア##オ", "##エ#"});
  const std::map<std::uint32_t, CheckKind> rules = {
      {kRuleAdjacentBlocks, CheckKind::AdjacentBlocks}, {kRuleBlockedCorner, CheckKind::BlockedCorner},
      {kRuleWalledCell, CheckKind::WalledCell},         {kRuleRotational, CheckKind::NotRotational},
      {kRuleMirror, CheckKind::NotMirrored},            {kRuleConnected, CheckKind::SplitGrid},
      {kRuleLoneCell, CheckKind::LoneCell}};
  EXPECT_TRUE(Kinds(CheckPuzzle(p, PuzzleKind::Nankuro, 0)).count(CheckKind::AdjacentBlocks) == 0);
  for (const auto& [rule, kind] : rules) {
    const auto found = Kinds(CheckPuzzle(p, PuzzleKind::Nankuro, rule));
    EXPECT_EQ(found.count(kind), 1u) << CheckKindName(kind);
  }
  const auto problems = CheckPuzzle(p, PuzzleKind::Nankuro, kRuleConnected);
  const CheckProblem* split = Find(problems, CheckKind::SplitGrid);
  ASSERT_NE(split, nullptr);
  EXPECT_EQ(split->cells, (std::vector<CheckCell>{{2, 4}})) << "the smaller group is the one cut off";
}

TEST(PuzzleCheck, AnswerWordGivenCellsAndClues) {
  Puzzle p;
  WriteLetters(p, kClean);
  p.Kaitou[0] = NumberAt(p, 0, 0);
  p.Kaitou[1] = 77;                 // no cell carries 77
  p.Syoki[0] = 1 * 5 + 1;           // a blocked cell
  p.Syoki[1] = 0;                   // fine
  p.Syoki[2] = 2;                   // its number loses its character below
  p.AnserTbl[NumberAt(p, 2, 0)] = kNone;
  auto kinds = Kinds(CheckPuzzle(p, PuzzleKind::Nankuro, 0));
  EXPECT_EQ(kinds[CheckKind::AnswerWordNumber], 1);
  EXPECT_EQ(kinds[CheckKind::GivenOnEmpty], 1);
  EXPECT_EQ(kinds[CheckKind::GivenWithoutAnswer], 1);

  // Crossword: words start at (0,0) across and down, (2,0) down, (4,0) down, (0,2), (0,4).
  WriteLetters(p, kClean);
  const int starts[] = {0, 2, 4, 10, 20};
  for (int k = 0; k < 5; ++k) {
    p.HintTbl[static_cast<std::size_t>(k)] = starts[k] + 1;
    p.HintTate[static_cast<std::size_t>(k)] = Sjis("たて");
    p.HintYoko[static_cast<std::size_t>(k)] = Sjis("よこ");
  }
  EXPECT_TRUE(Kinds(CheckPuzzle(p, PuzzleKind::Crossword, 0)).empty());
  p.HintYoko[0].clear();            // (0,0) starts across too
  p.HintTbl[1] = 12;                // clue 2 on (1,2): no word starts there
  const auto problems = CheckPuzzle(p, PuzzleKind::Crossword, 0);
  kinds = Kinds(problems);
  EXPECT_EQ(kinds[CheckKind::ClueWithoutWord], 1);
  EXPECT_EQ(kinds[CheckKind::WordWithoutClue], 2) << "(0,0) lacks its across text, (2,0) its clue";
  EXPECT_EQ(DescribeProblem(*Find(problems, CheckKind::WordWithoutClue)), Sjis("語の始まりによこのヒントがありません"));
  EXPECT_EQ(CheckSummary(problems), Sjis("エラー 3件・警告 0件・参考 0件"));
}

TEST(PuzzleCheck, RuleNamesReadAndWriteBack) {
  std::uint32_t rules = 0;
  std::string bad;
  ASSERT_TRUE(ParseCheckRules("adjacent,corner", rules, bad));
  EXPECT_EQ(rules, kRuleAdjacentBlocks | kRuleBlockedCorner);
  EXPECT_EQ(CheckRulesText(rules), "adjacent,corner");
  ASSERT_TRUE(ParseCheckRules("all", rules, bad));
  EXPECT_EQ(rules, kAllCheckRules);
  EXPECT_FALSE(ParseCheckRules("adjacent,diagonal", rules, bad));
  EXPECT_EQ(bad, "diagonal");
  EXPECT_EQ(rules, kAllCheckRules) << "a bad list changes nothing";
}

}  // namespace
}  // namespace teku
