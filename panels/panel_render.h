// What the character selection panel and the answer panel show: entry numbering by mode, the
// in-use marks, the composition of a panel cell and of an answer position, and the panel's
// geometry rules. The Qt windows call these and present the result.
#pragma once

#include <cstdint>

#include "app/grid_layout.h"
#include "app/grid_render.h"
#include "app/modes.h"
#include "app/puzzle_model.h"

namespace teku {

// ---- character selection panel ----------------------------------------------------------

inline constexpr std::int32_t kMinPanelCols = 4;
inline constexpr std::int32_t kMinPanelRows = 4;

// Entries listed: create mode 0..255 (cell numbers), otherwise 1..254 (character indexes).
struct PanelNumbering {
  std::int32_t base = 1;
  std::int32_t last = 254;
};
PanelNumbering NumberingFor(const ModeState& modes);

// Entry shown at panel cell (c, r) with the scroll bar at `position`.
std::int32_t PanelEntry(std::int32_t c, std::int32_t r, std::int32_t position,
                        std::int32_t panelCols, const ModeState& modes);
// The other way round: the cell where entry e is shown, false when it is out of sight.
bool PanelCellOf(std::int32_t e, std::int32_t position, std::int32_t panelCols,
                 std::int32_t panelRows, const ModeState& modes, std::int32_t& c, std::int32_t& r);

// In a number-crossword: the entry is held by some input (game) or answer (answer mode).
bool EntryInUse(const Puzzle& puzzle, const ModeState& modes, std::int32_t e);

struct PanelView {
  const Puzzle& puzzle;
  GlyphSheets& sheets;
  ModeState modes;
  std::int32_t panelCols = 7;
  std::int32_t panelRows = 11;
  std::int32_t position = 0;
  std::int32_t selected = kNone;  // SelectedMoji
};

// Composes panel cell (c, r). A cell past the last entry is drawn blank (index 255), as a
// whole-panel draw leaves it; nothing reads past the character table.
void DrawPanelCell(const PanelView& view, TDibImage& back, std::int32_t c, std::int32_t r);
// Clears the back buffer to 255 and composes every visible entry.
void DrawPanel(const PanelView& view, TDibImage& back);

// The panel's client and paint-box geometry.
struct PanelLayout {
  std::int32_t clientWidth = 0, clientHeight = 0;
  std::int32_t paintWidth = 0, paintHeight = 0;
  std::int32_t panelCols = 0, panelRows = 0;
  std::int32_t scrollMax = 0;
};
// Snaps a client size into the panel's layout. The panel always keeps at least 4 x 4 entries
// and a scroll range that is never negative. With cells of another size than 32 (a zoomed
// panel) the client size stays and the cells that fit are shown.
PanelLayout ComputePanelLayout(std::int32_t clientWidth, std::int32_t clientHeight,
                               std::int32_t cell = kCellPixels);
// The client size a user's resize asks for: (w - 4) div 32 * 32 + 20 and h div 32 * 32, at
// least 148 x 128 (zoomed: only the least size).
void SnapPanelResize(std::int32_t& clientWidth, std::int32_t& clientHeight, std::int32_t cell = kCellPixels);
// The client size restored from WWidth and WHeight: clamped, snapped, kept at 148 x 128 or more
// and within the screen's work area (the panel's picture is as large as its client).
void SnapPanelRestore(std::int32_t& clientWidth, std::int32_t& clientHeight,
                      std::int32_t screenWidth = kStoredGeometryLimit,
                      std::int32_t screenHeight = kStoredGeometryLimit);

// ---- answer panel -----------------------------------------------------------------------

inline constexpr std::int32_t kAnswerSlots = 32;
inline constexpr std::int32_t kNoSlot = 255;

struct AnswerView {
  const Puzzle& puzzle;
  GlyphSheets& sheets;
  ModeState modes;
  std::int32_t selectedSlot = kNoSlot;
};

// Composes position s; a number outside 0..255 shows as an empty position (tile only).
void DrawAnswerSlot(const AnswerView& view, TDibImage& back, std::int32_t s);
void DrawSlots(const AnswerView& view, TDibImage& back);
void DrawSlot(const AnswerView& view, TDibImage& back, std::int32_t c, std::int32_t r);
// Composes every position holding the same number as the one at (c, r).
void DrawSlotGroup(const AnswerView& view, TDibImage& back, std::int32_t c, std::int32_t r);

}  // namespace teku
