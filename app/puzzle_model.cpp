// The puzzle model and its resets.
#include "app/puzzle_model.h"

#include <algorithm>
#include <cstring>

namespace teku {

std::int32_t ClampGridWidth(std::int64_t width) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(width, 1, kGridColumns));
}
std::int32_t ClampGridHeight(std::int64_t height) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(height, 1, kGridRows));
}

CellsLock::CellsLock(Puzzle& puzzle)
    : puzzle_(puzzle), bytes_(static_cast<std::uint8_t*>(GlobalLock(puzzle.Cells))) {
  if (bytes_ != nullptr) puzzle_.CellsLocked = bytes_;
}

CellsLock::~CellsLock() {
  if (bytes_ == nullptr) return;
  GlobalUnlock(puzzle_.Cells);
  if (GlobalLockCount(puzzle_.Cells) == 0) puzzle_.CellsLocked = nullptr;
}

std::uint8_t CellsLock::at(std::int64_t x, std::int64_t y) const {
  if (bytes_ == nullptr || x < 0 || y < 0 || x >= kGridColumns || y >= kGridRows) {
    return kEmptyCell;
  }
  return bytes_[x * kGridRows + y];
}

void CellsLock::set(std::int64_t x, std::int64_t y, std::uint8_t value) {
  if (bytes_ == nullptr || x < 0 || y < 0 || x >= kGridColumns || y >= kGridRows) return;
  bytes_[x * kGridRows + y] = value;
}

Puzzle::Puzzle() : Cells(GlobalAllocZeroed(kCellsBytes)) {
  InputTbl.fill(kNone);
  ResetPuzzle();
  ResetInput();
}

Puzzle::~Puzzle() { GlobalFree(Cells); }

bool Puzzle::IsInitialCell(std::int32_t x, std::int32_t y) const {
  if (!InGrid(x, y)) return false;
  const std::int32_t index = y * GridWidth + x;
  return std::any_of(Syoki.begin(), Syoki.end(),
                     [&](std::int32_t s) { return SyokiNamesCell(s) && s == index; });
}

Puzzle::Snapshot Puzzle::TakeSnapshot() {
  Snapshot s;
  s.width = GridWidth;
  s.height = GridHeight;
  s.title = Title;
  s.password = Password;
  s.kaitou = Kaitou;
  s.syoki = Syoki;
  s.anser = AnserTbl;
  s.input = InputTbl;
  s.hint = HintTbl;
  s.moji = MojiTbl;
  s.tate = HintTate;
  s.yoko = HintYoko;
  CellsLock cells(*this);
  for (std::int32_t y = 0; y < GridHeight; ++y) {
    for (std::int32_t x = 0; x < GridWidth; ++x) s.cells.push_back(cells.at(x, y));
  }
  return s;
}

void Puzzle::ResetPuzzle() {
  CursorX = kNone;
  CursorY = kNone;
  MondaiName = "DEFAULTI.CRS";
  Password.clear();
  EnteredPassword.clear();
  MojiTbl.clear();
  HintTate.clear();
  HintYoko.clear();
  {
    CellsLock lock(*this);
    for (int i = 0; i < kTableEntries; ++i) {
      MojiTbl.emplace_back();
      HintTate.emplace_back();
      HintYoko.emplace_back();
      AnserTbl[static_cast<std::size_t>(i)] = kNone;
      if (lock.ok()) std::memset(lock.bytes() + i * kGridRows, kEmptyCell, kGridRows);
      HintTbl[static_cast<std::size_t>(i)] = kNone;
    }
  }
  Kaitou.fill(kEmptyCell);
  Syoki.fill(kNone);
  GridWidth = 16;
  GridHeight = 16;
  Title.clear();
}

void Puzzle::ResetInput() {
  MondaiName = "DEFAULTI.CRS";
  InputTbl.fill(kNone);
}

void Puzzle::ClearForNewSize(const std::function<void()>& buildMojiSheet) {
  GridWidth = ClampGridWidth(GridWidth);
  GridHeight = ClampGridHeight(GridHeight);
  FilePath = MondaiName;
  Kaitou.fill(kEmptyCell);
  Syoki.fill(kNone);
  {
    CellsLock lock(*this);
    const std::int32_t count = CellCount();
    for (std::int32_t c = 0; c < count; ++c) lock.set(c % GridWidth, c / GridWidth, kEmptyCell);
  }
  AnserTbl.fill(kNone);
  HintTbl.fill(kNone);
  HintTate.assign(kTableEntries, std::string());
  HintYoko.assign(kTableEntries, std::string());
  MojiTbl.assign(kTableEntries, std::string());
  if (buildMojiSheet) buildMojiSheet();
}

void Puzzle::ToggleInitialCell(std::int32_t x, std::int32_t y, bool add, const ModeState& modes) {
  if (!(modes.answer() && modes.nankuro() && modes.hint)) return;
  if (!InGrid(x, y)) return;
  const std::int32_t index = x + y * GridWidth;
  // 256 doubles as the free-slot marker, so that cell cannot be told apart from a free slot.
  if (index == kNone) return;
  if (add) {
    // The cell is looked for in every slot before a free one is taken: no cell is listed twice.
    if (std::find(Syoki.begin(), Syoki.end(), index) != Syoki.end()) return;
    for (auto& slot : Syoki) {
      if (slot == CellCount() || slot == kNone) {
        slot = index;
        return;
      }
    }
    return;
  }
  // Every slot that lists the cell is cleared (a file may list it twice).
  for (auto& slot : Syoki) {
    if (slot == index) slot = kNone;
  }
}

void Puzzle::SetInputForMode(PlayMode mode) {
  for (int n = 0; n < kTableEntries; ++n) {
    InputTbl[static_cast<std::size_t>(n)] = mode == PlayMode::Create ? n : kNone;
  }
}

}  // namespace teku
