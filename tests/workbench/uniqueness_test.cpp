#include "workbench/uniqueness.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>

namespace teku {
namespace {

// A grid written with its answers: "■" blocks, and each other character is a number of its
// own, numbered in order of first appearance. `givenCells` are linear indexes.
NumberGrid Grid(const std::vector<std::string>& rows, std::vector<std::int32_t> givenCells = {}) {
  NumberGrid g;
  g.height = static_cast<std::int32_t>(rows.size());
  std::vector<std::string> seen;
  for (const std::string& row : rows) {
    std::int32_t width = 0;
    for (std::size_t i = 0; i < row.size(); i += 3, ++width) {  // every character here is 3 bytes
      const std::string ch = row.substr(i, 3);
      if (ch == "■") {
        g.cells.push_back(255);
        continue;
      }
      auto it = std::find(seen.begin(), seen.end(), ch);
      if (it == seen.end()) it = seen.insert(seen.end(), ch);
      const auto n = static_cast<std::uint8_t>(it - seen.begin() + 1);
      g.answer[n] = ch;
      g.cells.push_back(n);
    }
    g.width = width;
  }
  g.givens = std::move(givenCells);
  return g;
}

WordList Words(const std::string& text) {
  WordList w;
  w.AddText(text);
  return w;
}

TEST(Uniqueness, OneTwoOrNoSolutionsWithTheWordsThatDiffer) {
  // ナ and コ stand in one cell each: ナエ and コエ are both words, so either fits.
  WordList words = Words("コエ\nエキ\n");
  const UniquenessReport two = PuzzleSolver(Grid({"ナエ", "■キ"}), words).Check();
  ASSERT_EQ(two.status, SolveStatus::kSeveral) << DescribeReport(two);
  EXPECT_EQ(two.differing, std::vector<std::uint8_t>{1});
  ASSERT_EQ(two.changes.size(), 1u);
  EXPECT_EQ(two.changes[0].slot, 0);
  EXPECT_NE(two.changes[0].first, two.changes[0].second);
  EXPECT_NE(DescribeReport(two).find("ナエ"), std::string::npos);

  // Once コ is another number's, one number may not take it too.
  WordList more = Words("コエ\nエキ\nキコ\n");
  const UniquenessReport one = PuzzleSolver(Grid({"ナエ■", "■キコ"}), more).Check();
  EXPECT_EQ(one.status, SolveStatus::kUnique) << DescribeReport(one);
  EXPECT_EQ(one.first[1], "ナ");

  // Without answers the grid has only the list to go by, and no word reads down.
  NumberGrid open = Grid({"ネコ", "イヌ"});
  open.answer = {};
  WordList pets = Words("ネコ\nイヌ\n");
  const UniquenessReport none = PuzzleSolver(open, pets).Check();
  EXPECT_EQ(none.status, SolveStatus::kNoSolution);
  EXPECT_GE(none.blockedSlot, 0);
  EXPECT_NE(DescribeReport(none).find("入る言葉がありません"), std::string::npos);
}

TEST(Uniqueness, GivenCellsRemoveTheAlternativeAndTheSuggestionFindsThem) {
  // Two corners, each with one open letter: ナエ/コエ and ミカ/イカ.
  WordList words = Words("コエ\nエキ\nイカ\nカサ\n");
  const NumberGrid grid = Grid({"ナエ■ミカ", "■キ■■サ"});
  EXPECT_EQ(PuzzleSolver(grid, words).Check().status, SolveStatus::kSeveral);

  NumberGrid given = grid;
  given.givens = {0};  // the ナ
  EXPECT_EQ(PuzzleSolver(given, words).Check().status, SolveStatus::kSeveral);
  given.givens = {0, 3};  // and the ミ
  EXPECT_EQ(PuzzleSolver(given, words).Check().status, SolveStatus::kUnique);

  const Suggestion s = PuzzleSolver(grid, words).Suggest();
  EXPECT_EQ(s.report.status, SolveStatus::kUnique);
  EXPECT_TRUE(s.shortfall.empty());
  ASSERT_EQ(s.added.size(), 2u);
  std::vector<std::int32_t> cells = {s.added[0].cell, s.added[1].cell};
  std::sort(cells.begin(), cells.end());
  EXPECT_EQ(cells, (std::vector<std::int32_t>{0, 3}));
  EXPECT_EQ(s.added[0].character, s.added[0].cell == 0 ? "ナ" : "ミ");

  // Where the answers are missing nothing can be shown, so no hint is offered there.
  NumberGrid unanswered = grid;
  unanswered.answer[1].clear();
  unanswered.answer[3].clear();
  WordList wider = Words("コエ\nソエ\nエキ\nイカ\nウカ\nカサ\n");
  const Suggestion none = PuzzleSolver(unanswered, wider).Suggest();
  EXPECT_TRUE(none.added.empty());
  EXPECT_FALSE(none.shortfall.empty());
}

TEST(Uniqueness, HiraganaAndLongVowelWordsMatchKatakanaCells) {
  WordList words;
  std::vector<std::string> rejected;
  EXPECT_EQ(words.AddText("\xEF\xBB\xBF# 自分の言葉\nこーひー\r\n  ネコ \n\nabc\nコーヒー\n", &rejected), 2u);
  EXPECT_EQ(rejected, std::vector<std::string>{"abc"});
  EXPECT_TRUE(words.Contains(*CodeWord("コーヒー")));
  EXPECT_TRUE(words.Contains(*CodeWord("ねこ")));

  // With the answers unknown, the list alone must fill コーヒー (ー repeats) crossing ヒモ.
  words.AddText("ヒモ\nコーラ\n");
  NumberGrid g = Grid({"コーヒー", "■■モ■"});
  g.answer = {};
  const UniquenessReport r = PuzzleSolver(g, words).Check();
  ASSERT_EQ(r.status, SolveStatus::kUnique) << DescribeReport(r);
  EXPECT_EQ(r.first[2], "ー");

  // An answer that is no kana (a kanji) is matched by the puzzle's own word alone.
  WordList empty;
  const UniquenessReport kanji = PuzzleSolver(Grid({"犬ネ", "■コ"}), empty).Check();
  EXPECT_EQ(kanji.status, SolveStatus::kUnique) << DescribeReport(kanji);
  EXPECT_EQ(kanji.first[1], "犬");
}

TEST(Uniqueness, CancelTimeLimitAndMemoryLimitStopTheSearch) {
  WordList words = Words("コエ\nエキ\n");
  const PuzzleSolver solver(Grid({"ナエ", "■キ"}), words);
  std::atomic<bool> cancel{true};
  SolverLimits limits;
  limits.cancel = &cancel;
  EXPECT_EQ(solver.Check(limits).status, SolveStatus::kCancelled);
  limits = {};
  limits.timeLimit = std::chrono::nanoseconds(1);
  EXPECT_EQ(solver.Check(limits).status, SolveStatus::kTimedOut);
  limits = {};
  limits.memoryLimit = 8;
  EXPECT_EQ(solver.Check(limits).status, SolveStatus::kTooLarge);
  EXPECT_NE(DescribeReport(solver.Check(limits)).find("メモリ"), std::string::npos);
}

}  // namespace
}  // namespace teku
