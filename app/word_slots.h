// The words of a grid: every run of two or more numbered cells across or down, bounded by
// empty cells or the edge. The checker, the numbering and the solver all read the grid this way.
#pragma once

#include <cstdint>
#include <vector>

namespace teku {

class Puzzle;

struct WordSlot {
  bool down = false;       // false: across (left to right), true: down (top to bottom)
  std::int32_t x = 0;      // first cell
  std::int32_t y = 0;
  std::int32_t length = 0;

  std::int32_t CellX(std::int32_t i) const { return down ? x : x + i; }
  std::int32_t CellY(std::int32_t i) const { return down ? y + i : y; }
  bool operator==(const WordSlot&) const = default;
};

// A cell takes part in words when it carries a number 1..254; 0 and 255 block.
inline bool OpenCellValue(std::uint8_t value) { return value >= 1 && value <= 254; }

// Cells are read row-major (index y * width + x), as the puzzle file lists them. Slots come in
// reading order of their first cell, the across slot before the down slot of the same cell.
// A width or height that does not match the cells gives no slots.
std::vector<WordSlot> FindWordSlots(std::int32_t width, std::int32_t height,
                                    const std::vector<std::uint8_t>& rowMajorCells);

// The puzzle's cells in use, row-major.
std::vector<std::uint8_t> RowMajorCells(Puzzle& puzzle);

}  // namespace teku
