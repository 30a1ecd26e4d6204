// The answer check.
#include "app/answer_check.h"

#include <array>

namespace teku {

bool AnswerIsRight(Puzzle& puzzle) {
  std::array<bool, kTableEntries> enterable{};
  {
    CellsLock cells(puzzle);
    for (std::int32_t y = 0; y < puzzle.GridHeight; ++y) {
      for (std::int32_t x = 0; x < puzzle.GridWidth; ++x) {
        const std::uint8_t n = cells.at(x, y);
        if (n >= 1 && n <= 254 && !puzzle.IsInitialCell(x, y)) enterable[n] = true;
      }
    }
  }
  for (int n = 1; n <= 254; ++n) {
    const auto i = static_cast<std::size_t>(n);
    if (enterable[i] && puzzle.InputTbl[i] != puzzle.AnserTbl[i]) return false;
  }
  return true;
}

}  // namespace teku
