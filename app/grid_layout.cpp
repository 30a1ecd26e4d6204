// Geometry rules of the main window. Integer division truncates toward zero, as C++'s does.
#include "app/grid_layout.h"

#include <algorithm>

namespace teku {

namespace {
constexpr std::int32_t kCell = 32;
constexpr std::int32_t kBar = 20;
}  // namespace

GridLayout ComputeGridLayout(std::int32_t clientWidth, std::int32_t clientHeight,
                             std::int32_t gridWidth, std::int32_t gridHeight, std::int32_t cell) {
  if (cell <= 0) cell = kCell;
  GridLayout g;
  clientWidth = std::clamp(clientWidth, 0, kStoredGeometryLimit);
  clientHeight = std::clamp(clientHeight, 0, kStoredGeometryLimit);
  const std::int32_t w = (clientWidth - 4) / kCell * kCell;
  const std::int32_t h = (clientHeight - 5) / kCell * kCell;
  g.clientWidth = w + kBar;
  g.clientHeight = h + kBar;
  // The window keeps whole 32-pixel cells at every zoom, so zooming back restores it exactly; a
  // zoomed grid fills what it gets and shows the cell its edge cuts.
  const std::int64_t gridW = std::int64_t{gridWidth} * cell, gridH = std::int64_t{gridHeight} * cell;
  g.paintWidth = gridW < w ? static_cast<std::int32_t>(gridW) : g.clientWidth - kBar;
  g.paintHeight = gridH < h ? static_cast<std::int32_t>(gridH) : g.clientHeight - kBar;
  g.vBarLeft = g.clientWidth - kBar;
  g.vBarHeight = g.clientHeight - kBar;
  g.hBarTop = g.clientHeight - kBar;
  g.hBarWidth = g.clientWidth - kBar;
  g.hBarVisible = g.paintWidth < gridW;
  g.vBarVisible = g.paintHeight < gridH;
  // A paint box narrower than one cell still leaves the whole grid to scroll through; zoomed,
  // the last position shows the last cell whole.
  const auto whole = [cell](std::int32_t paint) { return cell == kCell ? paint / cell : std::max(paint / cell, 1); };
  if (g.hBarVisible) g.hBarMax = std::max(gridWidth - whole(g.paintWidth), 1);
  if (g.vBarVisible) g.vBarMax = std::max(gridHeight - whole(g.paintHeight), 1);
  return g;
}

std::int32_t SnapClientInLayout(std::int32_t size) { return (size - 5) / kCell * kCell + kBar; }
std::int32_t SnapStoredClientWidth(std::int32_t width) {
  return (width - 4) / kCell * kCell + kBar;
}
std::int32_t SnapStoredClientHeight(std::int32_t height) {
  return (height - 5) / kCell * kCell + kBar;
}
std::int32_t SnapStoredPosition(std::int32_t edge) { return edge / 8 * 8; }

std::int32_t ClampStoredGeometry(std::int32_t value) {
  return std::clamp(value, -kStoredGeometryLimit, kStoredGeometryLimit);
}

void SnapStoredClientSize(std::int32_t& width, std::int32_t& height, std::int32_t screenWidth,
                          std::int32_t screenHeight) {
  constexpr std::int32_t kOneCell = kCell + kBar;
  const std::int32_t maxWidth = SnapStoredClientWidth(ClampStoredGeometry(screenWidth));
  const std::int32_t maxHeight = SnapStoredClientHeight(ClampStoredGeometry(screenHeight));
  width = std::clamp(SnapStoredClientWidth(ClampStoredGeometry(width)), kOneCell, std::max(kOneCell, maxWidth));
  height =
      std::clamp(SnapStoredClientHeight(ClampStoredGeometry(height)), kOneCell, std::max(kOneCell, maxHeight));
}

void PlaceStoredWindow(std::int32_t& left, std::int32_t& top, std::int32_t width,
                       std::span<const ScreenArea> screens, const ScreenArea& primary) {
  left = SnapStoredPosition(ClampStoredGeometry(left));
  top = SnapStoredPosition(ClampStoredGeometry(top));
  width = std::clamp(width, 1, kStoredGeometryLimit);
  // 64-bit sums: a screen's edges come from the platform, not through the clamp.
  const std::int64_t row = std::int64_t{top} + 8;
  for (const ScreenArea& s : screens) {
    if (std::int64_t{left} < std::int64_t{s.left} + s.width && s.left < std::int64_t{left} + width &&
        s.top <= row && row < std::int64_t{s.top} + s.height) {
      return;
    }
  }
  left = SnapStoredPosition(primary.left);
  top = SnapStoredPosition(primary.top);
}

}  // namespace teku
