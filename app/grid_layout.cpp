// Geometry rules of the main window. Integer division truncates toward zero, as C++'s does.
#include "app/grid_layout.h"

#include <algorithm>

namespace teku {

namespace {
constexpr std::int32_t kCell = 32;
constexpr std::int32_t kBar = 20;
}  // namespace

GridLayout ComputeGridLayout(std::int32_t clientWidth, std::int32_t clientHeight,
                             std::int32_t gridWidth, std::int32_t gridHeight) {
  GridLayout g;
  const std::int32_t w = (clientWidth - 4) / kCell * kCell;
  const std::int32_t h = (clientHeight - 5) / kCell * kCell;
  g.clientWidth = w + kBar;
  g.clientHeight = h + kBar;
  g.paintWidth = gridWidth * kCell < w ? gridWidth * kCell : g.clientWidth - kBar;
  g.paintHeight = gridHeight * kCell < h ? gridHeight * kCell : g.clientHeight - kBar;
  g.vBarLeft = g.clientWidth - kBar;
  g.vBarHeight = g.clientHeight - kBar;
  g.hBarTop = g.clientHeight - kBar;
  g.hBarWidth = g.clientWidth - kBar;
  g.hBarVisible = g.paintWidth < gridWidth * kCell;
  g.vBarVisible = g.paintHeight < gridHeight * kCell;
  // A paint box narrower than one cell still leaves the whole grid to scroll through.
  if (g.hBarVisible) g.hBarMax = std::max(gridWidth - g.paintWidth / kCell, 1);
  if (g.vBarVisible) g.vBarMax = std::max(gridHeight - g.paintHeight / kCell, 1);
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

}  // namespace teku
