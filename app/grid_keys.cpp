// The grid's keys.
#include "app/grid_keys.h"

#include "workbench/letter_grid.h"

#include <algorithm>

namespace teku {

namespace {

bool LeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

bool Numbered(std::int32_t n) { return n >= 1 && n <= 254; }

std::int32_t CellAt(Puzzle& p, std::int32_t x, std::int32_t y) {
  CellsLock cells(p);
  return cells.at(x, y);
}

// A digit typed half- or full-width, else -1.
int DigitOf(const std::string& ch) {
  if (ch.size() == 1 && ch[0] >= '0' && ch[0] <= '9') return ch[0] - '0';
  if (ch.size() == 2 && static_cast<unsigned char>(ch[0]) == 0x82) {
    const int t = static_cast<unsigned char>(ch[1]);
    if (t >= 0x4F && t <= 0x58) return t - 0x4F;
  }
  return -1;
}

void EndTypedNumber(GridKeyState& state) {
  if (state.typedNumber != 0) ++state.numberRun;
  state.typedNumber = 0;
  state.typedX = state.typedY = kNone;
}

// The cursor to (x, y). A key-moved cursor is where the next click's "previous cell" redraw must
// look, and a click on it must not be filtered out as a repeat of the click before.
void PlaceCursor(Puzzle& p, ClickCache& cache, std::int32_t x, std::int32_t y, KeyOutcome& out) {
  out.fromX = p.CursorX;
  out.fromY = p.CursorY;
  out.cursorMoved = x != p.CursorX || y != p.CursorY;
  p.CursorX = x;
  p.CursorY = y;
  cache.LastClickX = x;
  cache.LastClickY = y;
  cache.ClickCacheStale = 1;
}

// After an entry: the next cell in the typing direction. Outside create mode cells that take no
// character (empty and unnumbered ones) are passed over; at the edge the cursor stays.
void Advance(Puzzle& p, ClickCache& cache, const GridKeyState& state, const ModeState& modes,
             KeyOutcome& out) {
  const std::int32_t dx = state.direction == TypingDirection::Across ? 1 : 0;
  const std::int32_t dy = 1 - dx;
  for (std::int32_t x = p.CursorX + dx, y = p.CursorY + dy; p.InGrid(x, y); x += dx, y += dy) {
    if (modes.create() || Numbered(CellAt(p, x, y))) {
      PlaceCursor(p, cache, x, y, out);
      return;
    }
  }
}

// Runs the click action of the cursor cell. The designation toggle is a mouse matter: keys in
// answer mode always work on the answers.
ClickOutcome Click(Puzzle& p, ClickCache& cache, ModeState modes, ClickButton button,
                   std::int32_t selected) {
  modes.hint = false;
  cache.ClickCacheStale = 1;
  return HandleCellClick(p, cache, modes, button, p.CursorX, p.CursorY, selected);
}

// Another number than n holds entry k.
bool HeldByAnother(const Table256& table, std::int32_t n, std::int32_t k) {
  for (std::int32_t i = 0; i < kTableEntries; ++i) {
    if (i != n && table[static_cast<std::size_t>(i)] == k) return true;
  }
  return false;
}

// Writing letters: the character goes into the table if it is new there, the cell takes it, and
// the cursor moves on. A blocked-cell mark empties the cell instead.
KeyOutcome TypeLetter(Puzzle& p, ClickCache& cache, GridKeyState& state, const ModeState& modes,
                      const std::string& character) {
  KeyOutcome out;
  EndTypedNumber(state);
  if (IsBlockMark(character)) {
    out.click = Click(p, cache, modes, ClickButton::Right, kNone);
  } else {
    out.entry = TableEntryFor(p, character);
    if (out.entry == kNone) {
      out.problem = KeyProblem::NotInTable;
      return out;
    }
    out.click = Click(p, cache, modes, ClickButton::Left, out.entry);
  }
  Advance(p, cache, state, modes, out);
  return out;
}

KeyOutcome TypeNumber(Puzzle& p, ClickCache& cache, GridKeyState& state, const ModeState& modes,
                      int digit) {
  KeyOutcome out;
  if (digit < 0) {
    out.problem = KeyProblem::NotANumber;
    return out;
  }
  // A number goes on only while nothing else has touched its cell.
  const bool goesOn = state.typedNumber != 0 && state.typedX == p.CursorX &&
                      state.typedY == p.CursorY && CellAt(p, p.CursorX, p.CursorY) == state.typedNumber;
  if (!goesOn) EndTypedNumber(state);
  const std::int32_t value = state.typedNumber * 10 + digit;
  if (value < 1 || value > 254) {
    out.problem = KeyProblem::NumberRange;
    return out;
  }
  out.click = Click(p, cache, modes, ClickButton::Left, value);
  state.typedNumber = value;
  state.typedX = p.CursorX;
  state.typedY = p.CursorY;
  return out;
}

}  // namespace

std::vector<std::string> SplitCp932Characters(const std::string& text) {
  std::vector<std::string> out;
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t n = LeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
    out.push_back(text.substr(i, n));
    i += n;
  }
  return out;
}

std::string HiraganaToKatakana(const std::string& character) {
  if (character.size() != 2 || static_cast<unsigned char>(character[0]) != 0x82) return character;
  const int t = static_cast<unsigned char>(character[1]);
  if (t < 0x9F || t > 0xF1) return character;
  // ぁ..ん run on without a gap; their katakana skip the trail byte 0x7F after ミ.
  const int i = t - 0x9F;
  std::string out = "\x83";
  out += static_cast<char>(0x40 + i + (i >= 63 ? 1 : 0));
  return out;
}

std::int32_t FindTableEntry(const Puzzle& puzzle, const std::string& character) {
  if (character.empty()) return kNone;
  const auto find = [&](const std::string& ch) -> std::int32_t {
    for (std::int32_t k = 1; k <= 254; ++k) {
      if (TextAt(puzzle.MojiTbl, k) == ch) return k;
    }
    return kNone;
  };
  const std::int32_t k = find(character);
  if (k != kNone) return k;
  const std::string katakana = HiraganaToKatakana(character);
  return katakana == character ? kNone : find(katakana);
}

KeyOutcome MoveGridCursor(Puzzle& puzzle, ClickCache& cache, GridKeyState& state, CursorKey key,
                          std::int32_t originX, std::int32_t originY) {
  KeyOutcome out;
  EndTypedNumber(state);
  if (!puzzle.InGrid(puzzle.CursorX, puzzle.CursorY)) {
    PlaceCursor(puzzle, cache, std::clamp(originX, 0, puzzle.GridWidth - 1),
                std::clamp(originY, 0, puzzle.GridHeight - 1), out);
    out.cursorMoved = true;
    return out;
  }
  std::int32_t x = puzzle.CursorX, y = puzzle.CursorY;
  switch (key) {
    case CursorKey::Left: x = std::max(x - 1, 0); break;
    case CursorKey::Right: x = std::min(x + 1, puzzle.GridWidth - 1); break;
    case CursorKey::Up: y = std::max(y - 1, 0); break;
    case CursorKey::Down: y = std::min(y + 1, puzzle.GridHeight - 1); break;
    case CursorKey::Home: x = 0; break;
    case CursorKey::End: x = puzzle.GridWidth - 1; break;
  }
  PlaceCursor(puzzle, cache, x, y, out);
  return out;
}

KeyOutcome TypeOnGrid(Puzzle& puzzle, ClickCache& cache, GridKeyState& state,
                      const ModeState& modes, const std::string& character) {
  KeyOutcome out;
  if (!puzzle.InGrid(puzzle.CursorX, puzzle.CursorY)) {
    out.problem = KeyProblem::NoCursor;
    return out;
  }
  if (modes.writingLetters()) return TypeLetter(puzzle, cache, state, modes, character);
  if (modes.create()) return TypeNumber(puzzle, cache, state, modes, DigitOf(character));
  EndTypedNumber(state);
  const std::int32_t n = CellAt(puzzle, puzzle.CursorX, puzzle.CursorY);
  if (!Numbered(n)) {
    out.problem = KeyProblem::NotNumbered;
    return out;
  }
  const std::int32_t k = FindTableEntry(puzzle, character);
  out.entry = k;
  // A given cell takes only the character it shows: typing it is the keyboard's way to the click
  // that gives its number the answer (a number found in given cells alone has no other way in).
  if (modes.game() && puzzle.IsInitialCell(puzzle.CursorX, puzzle.CursorY) &&
      (k == kNone || k != TableAt(puzzle.AnserTbl, n))) {
    out.problem = KeyProblem::GivenCell;
    return out;
  }
  if (k == kNone) {
    out.problem = KeyProblem::NotInTable;
    return out;
  }
  // The character panel refuses a character that another number holds; so does the keyboard.
  const Table256& table = modes.game() ? puzzle.InputTbl : puzzle.AnserTbl;
  if (modes.nankuro() && HeldByAnother(table, n, k)) {
    out.problem = KeyProblem::InUse;
    return out;
  }
  out.click = Click(puzzle, cache, modes, ClickButton::Left, k);
  Advance(puzzle, cache, state, modes, out);
  return out;
}

KeyOutcome DeleteOnGrid(Puzzle& puzzle, ClickCache& cache, GridKeyState& state,
                        const ModeState& modes) {
  KeyOutcome out;
  EndTypedNumber(state);
  if (!puzzle.InGrid(puzzle.CursorX, puzzle.CursorY)) {
    out.problem = KeyProblem::NoCursor;
    return out;
  }
  if (modes.game() && puzzle.IsInitialCell(puzzle.CursorX, puzzle.CursorY)) {
    out.problem = KeyProblem::GivenCell;
    return out;
  }
  // A right click removes in create mode and in a number-crossword; in a crossword it opens the
  // clue, so there a left click with nothing selected removes instead.
  if (modes.create() || modes.nankuro()) {
    out.click = Click(puzzle, cache, modes, ClickButton::Right, kNone);
  } else {
    out.click = Click(puzzle, cache, modes, ClickButton::Left, kNone);
  }
  return out;
}

KeyOutcome EnterOnGrid(Puzzle& puzzle, ClickCache& cache, GridKeyState& state,
                       const ModeState& modes) {
  KeyOutcome out;
  EndTypedNumber(state);
  if (!puzzle.InGrid(puzzle.CursorX, puzzle.CursorY)) {
    out.problem = KeyProblem::NoCursor;
    return out;
  }
  Advance(puzzle, cache, state, modes, out);
  return out;
}

void ToggleTypingDirection(GridKeyState& state) {
  state.direction =
      state.direction == TypingDirection::Across ? TypingDirection::Down : TypingDirection::Across;
}

}  // namespace teku
