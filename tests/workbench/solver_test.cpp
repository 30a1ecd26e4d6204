#include "workbench/solver.h"

#include <gtest/gtest.h>

namespace teku {
namespace {

WordList Words(std::initializer_list<const char*> words) {
  WordList w;
  for (const char* s : words) w.Add(*CodeWord(s));
  return w;
}

std::uint8_t Code(const char* kana) { return static_cast<std::uint8_t>((*CodeWord(kana))[0]); }

TEST(Solver, ANumberRepeatedInASlotRepeatsItsCharacterAndTwoNumbersNeverShareOne) {
  // 1-2-1 reads only as トマト; ママ and トマス do not have its shape.
  SolverGrid g;
  g.runs = {{1, 2, 1}};
  const WordList words = Words({"トマト", "トマス", "ママ", "ママママ"});
  SolveResult r = Solve(g, words);
  ASSERT_EQ(r.status, SolveStatus::kUnique);
  EXPECT_EQ(r.solutions[0][1], Code("ト"));
  EXPECT_EQ(r.solutions[0][2], Code("マ"));

  // 1-2 and 3-4 with ネコ the only word: 3 cannot be ネ as 1 is.
  g.runs = {{1, 2}, {3, 4}};
  r = Solve(g, Words({"ネコ"}));
  EXPECT_EQ(r.status, SolveStatus::kNoSolution);
  EXPECT_GE(r.blockedSlot, 0);
  // A word whose letters repeat cannot fill two different numbers.
  g.runs = {{1, 2}};
  EXPECT_EQ(Solve(g, Words({"ママ"})).status, SolveStatus::kNoSolution);
}

TEST(Solver, GivenNumbersAndCrossingsNarrowTheSearchAndProgressIsReported) {
  // A 3 x 3 ring of four words around a block; the corners are shared.
  //   1 2 3
  //   4 # 5
  //   6 7 8
  SolverGrid g;
  g.runs = {{1, 2, 3}, {1, 4, 6}, {3, 5, 8}, {6, 7, 8}};
  // サクラ/サカナ/ナマコ/ラッコ; the others fit a slot's first letters but no corner.
  const WordList words = Words({"サクラ", "サクマ", "サカナ", "ナマコ", "ナマズ", "ラッコ", "ラクダ", "ネコ"});
  // The ring reads the same down its diagonal: the mirror image is the second solution.
  const SolveResult two = Solve(g, words);
  ASSERT_EQ(two.status, SolveStatus::kSeveral);
  EXPECT_EQ(two.solutions[0][2], two.solutions[1][4]);
  g.given[2] = Code("ク");
  const SolveResult r = Solve(g, words);
  ASSERT_EQ(r.status, SolveStatus::kUnique);
  EXPECT_EQ(r.solutions[0][8], Code("コ"));
  g.given[1] = Code("ネ");  // no word starts with ネ
  const SolveResult none = Solve(g, words);
  EXPECT_EQ(none.status, SolveStatus::kNoSolution);
  EXPECT_GE(none.blockedSlot, 0);
  EXPECT_LE(none.blockedSlot, 1) << "a slot through the given ネ";

  int reports = 0;
  SolverLimits limits;
  limits.progress = [&reports](const SolverProgress& p) { reports += p.fraction >= 0 && p.fraction <= 1; };
  g.given = {};
  EXPECT_EQ(Solve(g, words, limits).status, SolveStatus::kSeveral);
  EXPECT_LE(reports, 1) << "a quick search reports little";
}

}  // namespace
}  // namespace teku
