// The one puzzle in memory: grid, size, texts, tables, answer word and given cells, with the
// reset operations. All text is code-page-932 bytes exactly as the puzzle file holds it.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/modes.h"
#include "services/global_memory.h"

namespace teku {

inline constexpr std::int32_t kNone = 256;       // "none" in tables, Syoki, cursor, selections
inline constexpr std::int32_t kEmptyCell = 255;  // an empty cell and an empty Kaitou slot
inline constexpr std::int32_t kGridColumns = 256;
inline constexpr std::int32_t kGridRows = 240;
inline constexpr std::int32_t kCellsBytes = kGridColumns * kGridRows;  // 61440
inline constexpr int kTableEntries = 256;
inline constexpr int kSlotCount = 32;

// Sizes outside what the block holds are clamped: width to 1..256, height to 1..240.
std::int32_t ClampGridWidth(std::int64_t width);
std::int32_t ClampGridHeight(std::int64_t height);

// HintTbl names a clue's cell by its linear index + 1, and 256 is also the free-slot marker, so
// the clue of cell 255 is held in memory under a value of its own. The file keeps 256 for it and
// says which slot it is in one more key (see the puzzle file).
inline constexpr std::int32_t kClueOfCell255 = 0x10000;
inline std::int32_t ClueValueOf(std::int32_t cellIndex) {
  return cellIndex + 1 == kNone ? kClueOfCell255 : cellIndex + 1;
}

using Table256 = std::array<std::int32_t, kTableEntries>;
using Slots32 = std::array<std::int32_t, kSlotCount>;
using TextList = std::vector<std::string>;

// Bounded reads of the tables: an index outside a table reads as its "none" value.
inline std::int32_t TableAt(const Table256& table, std::int64_t index) {
  return index >= 0 && index < kTableEntries ? table[static_cast<std::size_t>(index)] : kNone;
}
inline const std::string& TextAt(const TextList& list, std::int64_t index) {
  static const std::string kEmpty;
  return index >= 0 && static_cast<std::size_t>(index) < list.size()
             ? list[static_cast<std::size_t>(index)]
             : kEmpty;
}

class Puzzle;

// Holds the grid block locked for one scope and publishes its address in the puzzle's
// companion field (`CellsLocked`) while it is held.
class CellsLock {
 public:
  explicit CellsLock(Puzzle& puzzle);
  ~CellsLock();
  CellsLock(const CellsLock&) = delete;
  CellsLock& operator=(const CellsLock&) = delete;

  bool ok() const { return bytes_ != nullptr; }
  // Byte of cell (x, y); 0 <= x < 256 and 0 <= y < 240, else 255.
  std::uint8_t at(std::int64_t x, std::int64_t y) const;
  // Writes cell (x, y); ignored outside the block.
  void set(std::int64_t x, std::int64_t y, std::uint8_t value);
  std::uint8_t* bytes() const { return bytes_; }

 private:
  Puzzle& puzzle_;
  std::uint8_t* bytes_;
};

class Puzzle {
 public:
  Puzzle();
  ~Puzzle();
  Puzzle(const Puzzle&) = delete;
  Puzzle& operator=(const Puzzle&) = delete;

  bool cellsAllocated() const { return Cells != nullptr; }

  // Puzzle fields.
  HGlobal Cells = nullptr;              // 61440 bytes, column-major: cell (x, y) at x * 240 + y
  std::uint8_t* CellsLocked = nullptr;  // address while locked
  std::int32_t GridWidth = 16;
  std::int32_t GridHeight = 16;
  std::string Title;
  std::string Version;
  std::string Password;
  std::string EnteredPassword;
  Slots32 Kaitou{};
  Slots32 Syoki{};
  Table256 AnserTbl{};
  Table256 InputTbl{};
  Table256 HintTbl{};
  TextList MojiTbl;
  TextList HintTate;
  TextList HintYoko;
  std::int32_t CurrentHint = 0;
  std::string MondaiName = "DEFAULTI.CRS";
  std::string FilePath;
  std::int32_t CursorX = kNone;
  std::int32_t CursorY = kNone;

  std::int32_t CellCount() const { return GridWidth * GridHeight; }
  bool InGrid(std::int64_t x, std::int64_t y) const {
    return x >= 0 && y >= 0 && x < GridWidth && y < GridHeight;
  }
  // A Syoki slot value that names a cell: not a free marker (256 or the cell count) and
  // inside the grid. Cell 256 can therefore never be designated.
  bool SyokiNamesCell(std::int32_t value) const {
    return value != kNone && value != CellCount() && value >= 0 && value < CellCount();
  }
  // True when one of the Syoki slots names cell (x, y).
  bool IsInitialCell(std::int32_t x, std::int32_t y) const;

  // What a save writes, to tell by value whether an action changed it.
  struct Snapshot {
    std::int32_t width = 0, height = 0;
    std::string title, password;
    Slots32 kaitou{}, syoki{};
    Table256 anser{}, input{}, hint{};
    TextList moji, tate, yoko;
    std::vector<std::uint8_t> cells;  // the cells in use, row by row
    bool operator==(const Snapshot&) const = default;
  };
  Snapshot TakeSnapshot();

  void ResetPuzzle();
  void ResetInput();
  // Clears the content for the current size; `buildMojiSheet` renders the character sheet anew.
  void ClearForNewSize(const std::function<void()>& buildMojiSheet);
  // Adds cell (x, y) to Syoki (unless some slot lists it already) or removes it from every slot;
  // acts only in answer mode with a number-crossword and the initial-display designation on.
  void ToggleInitialCell(std::int32_t x, std::int32_t y, bool add, const ModeState& modes);
  // Entering create mode: InputTbl becomes the identity; game or answer: every entry 256.
  void SetInputForMode(PlayMode mode);
};

}  // namespace teku
