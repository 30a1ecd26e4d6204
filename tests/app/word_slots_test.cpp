#include "app/word_slots.h"

#include <gtest/gtest.h>

#include <string>

namespace teku {
namespace {

// '#' blocks (255), '0' blocks too, any other character is a numbered cell.
std::vector<std::uint8_t> Grid(const std::vector<std::string>& rows) {
  std::vector<std::uint8_t> cells;
  for (const auto& row : rows) {
    for (char c : row) cells.push_back(c == '#' ? 255 : c == '0' ? 0 : 1);
  }
  return cells;
}

TEST(WordSlots, RunsOfTwoOrMoreInReadingOrderAcrossBeforeDown) {
  // A.B
  // C.#
  // 0EF
  const auto slots = FindWordSlots(3, 3, Grid({"AAB", "CA#", "0EF"}));
  const std::vector<WordSlot> want = {
      {false, 0, 0, 3}, {true, 0, 0, 2}, {true, 1, 0, 3}, {false, 0, 1, 2}, {false, 1, 2, 2}};
  EXPECT_EQ(slots, want);
  EXPECT_EQ(want[2].CellX(2), 1);
  EXPECT_EQ(want[2].CellY(2), 2);
}

TEST(WordSlots, SingleCellsAndMismatchedSizesGiveNoSlots) {
  EXPECT_TRUE(FindWordSlots(3, 3, Grid({"A#A", "###", "A#A"})).empty());
  EXPECT_TRUE(FindWordSlots(4, 3, Grid({"AAA", "AAA", "AAA"})).empty());
  EXPECT_TRUE(FindWordSlots(0, 0, {}).empty());
  EXPECT_EQ(FindWordSlots(1, 4, Grid({"A", "A", "A", "A"})).size(), 1u);
}

}  // namespace
}  // namespace teku
