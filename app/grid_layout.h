// The main window's geometry rules: client sizes snapped to whole cells plus the scroll-bar
// strip, the paint box fitted to the grid, scroll-bar placement and ranges, restored positions.
#pragma once

#include <cstdint>

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

// Fits a client area of the given size to whole cells and the grid (columns x rows of cells).
GridLayout ComputeGridLayout(std::int32_t clientWidth, std::int32_t clientHeight,
                             std::int32_t gridWidth, std::int32_t gridHeight);

// The snap applied while a layout is running: (size - 5) div 32 * 32 + 20, both directions.
std::int32_t SnapClientInLayout(std::int32_t size);
// Restored settings: the client width (w - 4) and height (h - 5) to whole cells plus 20.
std::int32_t SnapStoredClientWidth(std::int32_t width);
std::int32_t SnapStoredClientHeight(std::int32_t height);
// Restored window edges: rounded toward zero to a multiple of 8.
std::int32_t SnapStoredPosition(std::int32_t edge);

}  // namespace teku
