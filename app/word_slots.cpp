#include "app/word_slots.h"

#include "app/puzzle_model.h"

namespace teku {

std::vector<WordSlot> FindWordSlots(std::int32_t width, std::int32_t height,
                                    const std::vector<std::uint8_t>& cells) {
  std::vector<WordSlot> slots;
  if (width <= 0 || height <= 0 ||
      cells.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height)) {
    return slots;
  }
  auto open = [&](std::int32_t x, std::int32_t y) {
    return x >= 0 && y >= 0 && x < width && y < height &&
           OpenCellValue(cells[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                               static_cast<std::size_t>(x)]);
  };
  for (std::int32_t y = 0; y < height; ++y) {
    for (std::int32_t x = 0; x < width; ++x) {
      if (!open(x, y)) continue;
      if (!open(x - 1, y) && open(x + 1, y)) {
        std::int32_t n = 2;
        while (open(x + n, y)) ++n;
        slots.push_back({false, x, y, n});
      }
      if (!open(x, y - 1) && open(x, y + 1)) {
        std::int32_t n = 2;
        while (open(x, y + n)) ++n;
        slots.push_back({true, x, y, n});
      }
    }
  }
  return slots;
}

std::vector<std::uint8_t> RowMajorCells(Puzzle& puzzle) {
  std::vector<std::uint8_t> out;
  CellsLock lock(puzzle);
  if (!lock.ok()) return out;
  out.reserve(static_cast<std::size_t>(puzzle.CellCount()));
  for (std::int32_t y = 0; y < puzzle.GridHeight; ++y) {
    for (std::int32_t x = 0; x < puzzle.GridWidth; ++x) out.push_back(lock.at(x, y));
  }
  return out;
}

}  // namespace teku
