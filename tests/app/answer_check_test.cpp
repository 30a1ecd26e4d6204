// The answer check counts the numbers a player can enter, and only those.
#include "app/answer_check.h"

#include <gtest/gtest.h>

namespace teku {
namespace {

// A 3 x 2 grid: 1 2 3 / 1 4 255; cell (2, 0) (number 3) is given.
struct CheckFixture {
  CheckFixture() {
    p.GridWidth = 3;
    p.GridHeight = 2;
    const int rows[2][3] = {{1, 2, 3}, {1, 4, 255}};
    CellsLock cells(p);
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < 3; ++x) cells.set(x, y, static_cast<std::uint8_t>(rows[y][x]));
    p.Syoki[0] = 2;
    for (int n : {1, 2, 3, 4}) p.AnserTbl[n] = 10 + n;
  }
  Puzzle p;
};

TEST(AnswerCheck, RightWhenEveryEnterableNumberHasItsAnswer) {
  CheckFixture f;
  EXPECT_FALSE(AnswerIsRight(f.p));
  for (int n : {1, 2, 4}) f.p.InputTbl[n] = 10 + n;
  EXPECT_TRUE(AnswerIsRight(f.p)) << "number 3 sits only in a given cell";
  f.p.AnserTbl[77] = 5;
  EXPECT_TRUE(AnswerIsRight(f.p)) << "an answer for a number no cell carries does not count";
  f.p.InputTbl[2] = 99;
  EXPECT_FALSE(AnswerIsRight(f.p));
}

TEST(AnswerCheck, ANumberWithoutAnAnswerNeedsNoInput) {
  CheckFixture f;
  for (int n : {1, 2, 4}) f.p.InputTbl[n] = 10 + n;
  f.p.AnserTbl[4] = 256;
  EXPECT_FALSE(AnswerIsRight(f.p)) << "a character typed for it fails";
  f.p.InputTbl[4] = 256;
  EXPECT_TRUE(AnswerIsRight(f.p));
}

TEST(AnswerCheck, CreateModesIdentityInputPassesOnlyForAnIdentityAnswer) {
  CheckFixture f;
  f.p.SetInputForMode(PlayMode::Create);
  EXPECT_FALSE(AnswerIsRight(f.p));
  for (int n : {1, 2, 4}) f.p.AnserTbl[n] = n;
  EXPECT_TRUE(AnswerIsRight(f.p));
}

}  // namespace
}  // namespace teku
