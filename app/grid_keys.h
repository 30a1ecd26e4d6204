// What a key does on the grid: the cursor moved by the arrow keys, Home and End; characters and
// numbers typed into the cursor cell and removed again, each through the click action of the
// cell, so a key changes the puzzle exactly as the same choice by mouse would.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/grid_click.h"
#include "app/modes.h"
#include "app/puzzle_model.h"

namespace teku {

enum class TypingDirection { Across, Down };
enum class CursorKey { Left, Right, Up, Down, Home, End };

// The keyboard's own state beside the puzzle.
struct GridKeyState {
  TypingDirection direction = TypingDirection::Across;
  // Create mode: the number typed so far into cell (typedX, typedY); 0 when none is going on.
  std::int32_t typedNumber = 0;
  std::int32_t typedX = kNone, typedY = kNone;
  // Counts the numbers typed in create mode, so that the digits of one number can be taken
  // back as one step.
  std::uint32_t numberRun = 0;
};

// Why a key changed nothing.
enum class KeyProblem {
  None,
  NoCursor,     // no cell is selected yet
  NotNumbered,  // the cell carries no number to enter a character for
  NotInTable,   // the character is not in the puzzle's character table
  GivenCell,    // a cell shown from the start: the player cannot change it
  InUse,        // another number holds the character already
  NotANumber,   // create mode takes cell numbers only
  NumberRange,  // a cell number outside 1..254
};

struct KeyOutcome {
  ClickOutcome click;  // the click action the key ran; handled is false when it ran none
  bool cursorMoved = false;
  std::int32_t fromX = kNone, fromY = kNone;  // the cursor cell before the move, or none
  KeyProblem problem = KeyProblem::None;
  std::int32_t entry = kNone;  // the table entry the typed character stands for
};

// Moves the cursor one cell (stopping at the edges) or to an end of its row. Without a cursor
// in the grid, the first key puts it on (originX, originY), the view's top-left cell. Changes
// nothing of the puzzle; a click on the new cell afterwards is never taken for a repeat.
KeyOutcome MoveGridCursor(Puzzle& puzzle, ClickCache& cache, GridKeyState& state, CursorKey key,
                          std::int32_t originX, std::int32_t originY);

// One typed character (code-page-932 bytes of a single character) for the cursor cell. Game
// and answer mode enter the table entry that holds it, as a left click with that entry
// selected would; a given cell in game mode takes only the character it shows. Create mode
// takes digits as the cell's number. The cursor then moves on in the typing direction (in
// create mode only on Enter or an arrow).
KeyOutcome TypeOnGrid(Puzzle& puzzle, ClickCache& cache, GridKeyState& state,
                      const ModeState& modes, const std::string& character);

// Delete and Backspace: the player's character (game), the answer (answer mode) or the cell's
// number (create mode) of the cursor cell goes.
KeyOutcome DeleteOnGrid(Puzzle& puzzle, ClickCache& cache, GridKeyState& state,
                        const ModeState& modes);

// Enter: ends a number typed in create mode and moves on in the typing direction.
KeyOutcome EnterOnGrid(Puzzle& puzzle, ClickCache& cache, GridKeyState& state,
                       const ModeState& modes);

void ToggleTypingDirection(GridKeyState& state);

// The text split into its characters (one or two bytes each).
std::vector<std::string> SplitCp932Characters(const std::string& text);
// Hiragana as its katakana (ひ -> ヒ); any other character unchanged.
std::string HiraganaToKatakana(const std::string& character);
// The character-table entry (1..254) holding the character, else that of its katakana when
// the character is hiragana; kNone when neither is there.
std::int32_t FindTableEntry(const Puzzle& puzzle, const std::string& character);

}  // namespace teku
