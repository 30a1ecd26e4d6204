// What a mouse press on the grid does: the pixel-to-cell mapping, the repeat filter, the action
// of each button in each mode and kind, and what has to be redrawn and shown afterwards. The
// window plays the sounds, performs the redraws and shows the side windows this asks for.
#pragma once

#include <cstdint>
#include <functional>

#include "app/modes.h"
#include "app/puzzle_model.h"

namespace teku {

enum class ClickButton : std::uint8_t { Left = 0, Right = 1, Middle = 2 };

// The repeat-click cache; start-up values.
struct ClickCache {
  std::int32_t LastClickX = kNone;
  std::int32_t LastClickY = kNone;
  std::uint8_t LastClickButton = 1;
  std::int32_t LastClickNankuro = 1;
  std::int32_t LastClickGame = 1;
  std::int32_t LastClickAnswer = 1;
  std::int32_t ClickCacheStale = 1;
};

enum class Redraw { None, Cell, NumberGroup };
enum class HintRequest { None, ReadOnly, Editable };

struct ClickOutcome {
  bool handled = false;  // false: outside the grid or a repeat; nothing happened at all
  std::int32_t cx = 0, cy = 0;
  bool rightSound = false, leftSound = false;
  Redraw redraw = Redraw::None;
  bool refreshAnswerPanel = false;  // when the answer panel is shown
  bool refreshCharPanel = false;    // when the character panel is shown
  HintRequest hint = HintRequest::None;
  // The previous click's cell, to lose its cursor tiles.
  bool redrawPrevious = false;
  Redraw previousRedraw = Redraw::None;
  std::int32_t previousX = 0, previousY = 0;
};

// Handles a press at pixel (x, y) of the grid's paint box. `selectedMoji` is the character
// panel's selection. The caller redraws, plays sounds and shows windows as the outcome says;
// it also shows the character panel after every handled click while that is hidden.
// `beforeClueScan` runs just before a crossword right-click looks for the cell's clue slot, so
// that an open hint dialog can put its texts back into the slot they came from first.
ClickOutcome HandleGridClick(Puzzle& puzzle, ClickCache& cache, const ModeState& modes,
                             ClickButton button, std::int32_t x, std::int32_t y,
                             std::int32_t scrollX, std::int32_t scrollY,
                             std::int32_t selectedMoji,
                             const std::function<void()>& beforeClueScan = {});

// The same press on cell (cx, cy) itself, for callers that know the cell (the keyboard): the
// repeat filter, the action and the redraws are those of a click there.
ClickOutcome HandleCellClick(Puzzle& puzzle, ClickCache& cache, const ModeState& modes,
                             ClickButton button, std::int32_t cx, std::int32_t cy,
                             std::int32_t selectedMoji,
                             const std::function<void()>& beforeClueScan = {});

// The first clue slot that holds `value`, or -1.
std::int32_t FindClueSlot(const Puzzle& puzzle, std::int32_t value);

}  // namespace teku
