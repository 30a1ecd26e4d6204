// Main-window geometry: fitting the grid, scroll ranges and the snapping of restored settings.
#include "app/grid_layout.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

namespace teku {
namespace {

TEST(GridLayout, ASmallGridKeepsTheClientAndShrinksThePaintBox) {
  const GridLayout g = ComputeGridLayout(468, 340, 5, 5);  // room for 14 x 10 cells
  EXPECT_EQ(g.clientWidth, 468);
  EXPECT_EQ(g.clientHeight, 340);
  EXPECT_EQ(g.paintWidth, 160);
  EXPECT_EQ(g.paintHeight, 160);
  EXPECT_FALSE(g.hBarVisible);
  EXPECT_FALSE(g.vBarVisible);
  EXPECT_EQ(g.vBarLeft, 448);
  EXPECT_EQ(g.hBarTop, 320);
}

TEST(GridLayout, ALargeGridScrollsInBothDirections) {
  const GridLayout g = ComputeGridLayout(468, 340, 30, 30);
  EXPECT_EQ(g.paintWidth, 448);
  EXPECT_EQ(g.paintHeight, 320);
  EXPECT_TRUE(g.hBarVisible);
  EXPECT_TRUE(g.vBarVisible);
  EXPECT_EQ(g.hBarMax, 16);
  EXPECT_EQ(g.vBarMax, 20);
  EXPECT_EQ(g.hBarMax + g.paintWidth / 32 - 1, 29) << "at maximum scroll the last column shows";
  EXPECT_EQ(g.hBarWidth, 448);
  EXPECT_EQ(g.vBarHeight, 320);
}

TEST(GridLayout, AGridThatFitsExactlyNeedsNoScrollBar) {
  const GridLayout g = ComputeGridLayout(468, 340, 14, 10);
  EXPECT_EQ(g.paintWidth, 448);
  EXPECT_EQ(g.paintHeight, 320);
  EXPECT_FALSE(g.hBarVisible);
  EXPECT_FALSE(g.vBarVisible);
}

TEST(GridLayout, AResizedClientIsSnappedToWholeCells) {
  const GridLayout g = ComputeGridLayout(100, 100, 16, 16);
  EXPECT_EQ(g.clientWidth, 116);  // (100 - 4) div 32 = 3 cells
  EXPECT_EQ(g.clientHeight, 84);  // (100 - 5) div 32 = 2 cells
  EXPECT_EQ(g.paintWidth, 96);
  EXPECT_EQ(g.paintHeight, 64);
  EXPECT_EQ(g.hBarMax, 13);
  EXPECT_EQ(g.vBarMax, 14);
  // The snap inside a running layout agrees with the layout for sizes of the form 32k + 20.
  EXPECT_EQ(SnapClientInLayout(116), 116);
  EXPECT_EQ(SnapClientInLayout(84), 84);
}

TEST(GridLayout, AClientOfLessThanACellStillScrollsTheWholeGrid) {
  const GridLayout g = ComputeGridLayout(10, 10, 16, 16);
  EXPECT_EQ(g.clientWidth, 20);
  EXPECT_EQ(g.paintWidth, 0);
  EXPECT_TRUE(g.hBarVisible);
  EXPECT_EQ(g.hBarMax, 16);
}

TEST(StoredSettings, PositionsAndSizesSnap) {
  EXPECT_EQ(SnapStoredPosition(250), 248);
  EXPECT_EQ(SnapStoredPosition(-13), -8);
  EXPECT_EQ(SnapStoredClientWidth(500), 500);
  EXPECT_EQ(SnapStoredClientWidth(484), 500);
  EXPECT_EQ(SnapStoredClientWidth(483), 468);
  EXPECT_EQ(SnapStoredClientHeight(340), 340);
  EXPECT_EQ(SnapStoredClientHeight(356), 340);
  EXPECT_EQ(SnapStoredClientHeight(357), 372);
}

TEST(StoredSettings, HostileValuesAreClampedBeforeAnyArithmetic) {
  std::int32_t w = INT_MIN, h = INT_MAX;
  SnapStoredClientSize(w, h, 1280, 1024);
  EXPECT_EQ(w, 52) << "at least one cell";
  EXPECT_EQ(h, 1012) << "at most the work area";
  const GridLayout g = ComputeGridLayout(INT_MIN, INT_MAX, 16, 16);
  EXPECT_EQ(g.clientWidth, 20);
  EXPECT_LE(g.clientHeight, kStoredGeometryLimit + 20);
}

TEST(StoredSettings, AWindowStaysWhereItsTitleBarCanBeReachedElseGoesToThePrimaryScreen) {
  const std::vector<ScreenArea> screens = {{0, 0, 1280, 1024}, {1280, 0, 1920, 1080}};
  const ScreenArea primary{0, 12, 1280, 1000};
  const auto place = [&](std::int32_t left, std::int32_t top, std::int32_t width = 244) {
    PlaceStoredWindow(left, top, width, screens, primary);
    return std::pair(left, top);
  };
  EXPECT_EQ(place(333, 517), std::pair(328, 512));
  EXPECT_EQ(place(-13, -13), std::pair(-8, -8)) << "part of the frame off the screen";
  EXPECT_EQ(place(2900, 1000), std::pair(2896, 1000)) << "on the second screen";
  EXPECT_EQ(place(-32000, -32000), std::pair(0, 8));
  EXPECT_EQ(place(100, -16), std::pair(0, 8)) << "its title bar above every screen";
  EXPECT_EQ(place(INT_MAX, INT_MAX), std::pair(0, 8));
  EXPECT_EQ(place(-300, 40, INT_MIN), std::pair(0, 8));
  std::int32_t left = 40, top = 40;
  PlaceStoredWindow(left, top, 100, {}, primary);
  EXPECT_EQ(std::pair(left, top), std::pair(0, 8)) << "no screen at all";
}

}  // namespace
}  // namespace teku
