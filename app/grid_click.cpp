// The grid's click actions.
#include "app/grid_click.h"

#include "workbench/letter_grid.h"

namespace teku {

std::int32_t FindClueSlot(const Puzzle& puzzle, std::int32_t value) {
  for (std::int32_t i = 0; i < kTableEntries; ++i) {
    if (puzzle.HintTbl[static_cast<std::size_t>(i)] == value) return i;
  }
  return -1;
}

namespace {

// A cell's own clue slot wherever it is, else the first free one (256, or 0 for a cleared
// clue): a cell never ends up owning two clues.
std::int32_t ClaimClueSlot(const Puzzle& puzzle, std::int32_t value) {
  const std::int32_t own = FindClueSlot(puzzle, value);
  if (own >= 0) return own;
  for (std::int32_t i = 0; i < kTableEntries; ++i) {
    const std::int32_t v = puzzle.HintTbl[static_cast<std::size_t>(i)];
    if (v == kNone || v == 0) return i;
  }
  return -1;
}

bool Numbered(std::int32_t n) { return n >= 1 && n <= 254; }

void SetEntry(Table256& table, std::int32_t n, std::int32_t value) {
  if (n >= 0 && n < kTableEntries) table[static_cast<std::size_t>(n)] = value;
}

void RightClick(Puzzle& p, const ModeState& m, bool designation, std::int32_t cx,
                std::int32_t cy, std::int32_t n, const std::function<void()>& beforeClueScan,
                ClickOutcome& out) {
  CellsLock cells(p);
  const std::int32_t value = ClueValueOf(cy * p.GridWidth + cx);
  if (m.nankuro()) {
    if (m.game()) {
      if (n != 0) SetEntry(p.InputTbl, n, kNone);
      out.redraw = Redraw::NumberGroup;
      out.refreshAnswerPanel = true;
    } else if (m.create()) {
      cells.set(cx, cy, kEmptyCell);
      out.redraw = Redraw::Cell;
    } else if (designation) {
      p.ToggleInitialCell(cx, cy, false, m);
      out.redraw = Redraw::Cell;
    } else {
      if (n != 0) SetEntry(p.AnserTbl, n, kNone);
      out.redraw = Redraw::NumberGroup;
    }
    return;
  }
  out.redraw = Redraw::Cell;
  const bool scans = m.game() || (!m.create() && !designation);
  if (scans && beforeClueScan) beforeClueScan();
  if (m.game()) {
    const std::int32_t slot = FindClueSlot(p, value);
    p.CurrentHint = slot >= 0 ? slot : kNone;
    if (slot >= 0) out.hint = HintRequest::ReadOnly;
  } else if (m.create()) {
    cells.set(cx, cy, kEmptyCell);
  } else if (designation) {
    p.ToggleInitialCell(cx, cy, false, m);
  } else {
    const std::int32_t slot = ClaimClueSlot(p, value);
    p.CurrentHint = slot >= 0 ? slot : kNone;
    if (slot >= 0) {
      p.HintTbl[static_cast<std::size_t>(slot)] = value;
      out.hint = HintRequest::Editable;
    }
  }
}

// `act` false: the selection lies beyond the character table; nothing changes, but the redraws
// and panel refreshes of the row still run.
void LeftClick(Puzzle& p, const ModeState& m, bool designation, std::int32_t cx,
               std::int32_t cy, std::int32_t n, std::int32_t sel, bool act, ClickOutcome& out) {
  CellsLock cells(p);
  if (m.game()) {
    if (act && Numbered(n)) {
      SetEntry(p.InputTbl, n, sel);
      // A given cell keeps its answer, whatever was selected.
      if (m.nankuro() && p.IsInitialCell(cx, cy)) {
        SetEntry(p.InputTbl, n, TableAt(p.AnserTbl, n));
        out.refreshCharPanel = true;
      }
    }
    out.redraw = m.nankuro() ? Redraw::NumberGroup : Redraw::Cell;
    out.refreshAnswerPanel = m.nankuro();
  } else if (m.create()) {
    if (act) cells.set(cx, cy, static_cast<std::uint8_t>(sel & 0xFF));
    out.redraw = m.nankuro() ? Redraw::NumberGroup : Redraw::Cell;
  } else if (designation) {
    if (act) p.ToggleInitialCell(cx, cy, true, m);
    out.redraw = Redraw::Cell;
  } else {
    if (act && Numbered(n)) SetEntry(p.AnserTbl, n, sel);
    out.redraw = m.nankuro() ? Redraw::NumberGroup : Redraw::Cell;
  }
}

}  // namespace

ClickOutcome HandleGridClick(Puzzle& puzzle, ClickCache& cache, const ModeState& modes,
                             ClickButton button, std::int32_t x, std::int32_t y,
                             std::int32_t scrollX, std::int32_t scrollY,
                             std::int32_t selectedMoji,
                             const std::function<void()>& beforeClueScan) {
  // A press left of or above the paint box would divide toward the wrong cell.
  if (x < 0 || y < 0) return ClickOutcome{};
  return HandleCellClick(puzzle, cache, modes, button, x / 32 + scrollX, y / 32 + scrollY,
                         selectedMoji, beforeClueScan);
}

ClickOutcome HandleCellClick(Puzzle& puzzle, ClickCache& cache, const ModeState& modes,
                             ClickButton button, std::int32_t cx, std::int32_t cy,
                             std::int32_t selectedMoji,
                             const std::function<void()>& beforeClueScan) {
  ClickOutcome out;
  // A press outside the grid (possible while a new size waits for its layout) does nothing.
  if (!puzzle.InGrid(cx, cy)) return out;
  const auto code = static_cast<std::uint8_t>(button);
  const bool repeat = cx == cache.LastClickX && cy == cache.LastClickY &&
                      code == cache.LastClickButton &&
                      static_cast<std::int32_t>(modes.nankuro()) == cache.LastClickNankuro &&
                      static_cast<std::int32_t>(modes.game()) == cache.LastClickGame &&
                      static_cast<std::int32_t>(modes.answer()) == cache.LastClickAnswer &&
                      !modes.crossword() && cache.ClickCacheStale == 0;
  if (repeat) return out;

  out.handled = true;
  out.cx = cx;
  out.cy = cy;
  cache.LastClickButton = code;
  cache.LastClickNankuro = modes.nankuro();
  cache.LastClickGame = modes.game();
  cache.LastClickAnswer = modes.answer();
  cache.ClickCacheStale = 0;
  puzzle.CursorX = cx;
  puzzle.CursorY = cy;
  std::int32_t n;
  {
    CellsLock cells(puzzle);
    n = cells.at(cx, cy);
  }
  const bool designation = modes.hint && !modes.game() && !modes.create();
  if (modes.writingLetters()) {
    // The cell takes the selected character itself; its number follows from it.
    if (button == ClickButton::Right) {
      out.rightSound = true;
      ClearLetter(puzzle, cx, cy);
    } else {
      out.leftSound = true;
      const std::string& text = TextAt(puzzle.MojiTbl, selectedMoji);
      if (selectedMoji >= 1 && selectedMoji <= 254 && !text.empty()) PutLetter(puzzle, cx, cy, text);
    }
    out.redraw = modes.nankuro() ? Redraw::NumberGroup : Redraw::Cell;
    out.refreshCharPanel = true;
  } else if (button == ClickButton::Right) {
    out.rightSound = true;
    RightClick(puzzle, modes, designation, cx, cy, n, beforeClueScan, out);
  } else {
    out.leftSound = true;
    // A selection beyond the character table enters nothing.
    const bool act = static_cast<std::int64_t>(puzzle.MojiTbl.size()) >= selectedMoji;
    LeftClick(puzzle, modes, designation, cx, cy, n, selectedMoji, act, out);
  }
  if (cache.LastClickX >= 0 && cache.LastClickX <= 255 && cache.LastClickY >= 0 &&
      cache.LastClickY <= 255) {
    out.redrawPrevious = true;
    out.previousRedraw = modes.nankuro() ? Redraw::NumberGroup : Redraw::Cell;
    out.previousX = cache.LastClickX;
    out.previousY = cache.LastClickY;
  }
  cache.LastClickX = cx;
  cache.LastClickY = cy;
  return out;
}

}  // namespace teku
