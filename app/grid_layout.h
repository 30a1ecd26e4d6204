// The main window's geometry rules: client sizes snapped to whole cells plus the scroll-bar
// strip, the paint box fitted to the grid, scroll-bar placement and ranges, restored positions.
#pragma once

#include <cstdint>
#include <span>

namespace teku {

struct GridLayout {
  std::int32_t clientWidth = 0, clientHeight = 0;
  std::int32_t paintWidth = 0, paintHeight = 0;
  // ScrollBar_Width runs along the bottom, ScrollBar_Height along the right edge.
  std::int32_t hBarTop = 0, hBarWidth = 0;
  std::int32_t vBarLeft = 0, vBarHeight = 0;
  bool hBarVisible = false, vBarVisible = false;
  std::int32_t hBarMax = 0, vBarMax = 0;
};

// Fits a client area of the given size to whole cells and the grid (columns x rows of cells);
// `cell` is the side of a grid cell on the screen (more than 32 when zoomed).
GridLayout ComputeGridLayout(std::int32_t clientWidth, std::int32_t clientHeight,
                             std::int32_t gridWidth, std::int32_t gridHeight, std::int32_t cell = 32);

// The snap applied while a layout is running: (size - 5) div 32 * 32 + 20, both directions.
std::int32_t SnapClientInLayout(std::int32_t size);
// Restored settings: the client width (w - 4) and height (h - 5) to whole cells plus 20.
std::int32_t SnapStoredClientWidth(std::int32_t width);
std::int32_t SnapStoredClientHeight(std::int32_t height);
// Restored window edges: rounded toward zero to a multiple of 8.
std::int32_t SnapStoredPosition(std::int32_t edge);

// Settings are untrusted text: every edge and size read from them is first kept within
// +-kStoredGeometryLimit, where snapping it and adding a size to it cannot overflow.
inline constexpr std::int32_t kStoredGeometryLimit = 1 << 20;
std::int32_t ClampStoredGeometry(std::int32_t value);

// The restored client size of the main window: clamped, snapped, at least one cell (52) and at
// most what the screen's work area holds.
void SnapStoredClientSize(std::int32_t& width, std::int32_t& height, std::int32_t screenWidth,
                          std::int32_t screenHeight);

struct ScreenArea {
  std::int32_t left = 0, top = 0, width = 0, height = 0;
};
// Where a window restored at (left, top) goes: the clamped edges snapped to 8, kept while a screen
// shows the top of its frame (the row 8 pixels below its top edge, somewhere across its width),
// so that its title bar can be reached; else the snapped top left of `primary` (the primary
// screen's work area).
void PlaceStoredWindow(std::int32_t& left, std::int32_t& top, std::int32_t width,
                       std::span<const ScreenArea> screens, const ScreenArea& primary);

}  // namespace teku
