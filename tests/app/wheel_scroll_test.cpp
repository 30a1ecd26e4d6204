// Mouse-wheel turns as scroll-bar steps (the window tests cover a notch with and without Shift).
#include "app/wheel_scroll.h"

#include <gtest/gtest.h>

namespace teku {
namespace {

TEST(WheelScroll, FractionsOfANotchGatherUntilTheyMakeAStepAndAReversalDropsThem) {
  WheelScroll wheel;
  EXPECT_EQ(wheel.Turn(-240, 0, false, 1).across, 2) << "a tilted wheel scrolls across without Shift";
  for (int i = 0; i < 3; ++i) EXPECT_EQ(wheel.Turn(0, -30, false, 1).down, 0);
  EXPECT_EQ(wheel.Turn(0, -30, false, 1).down, 1);
  EXPECT_EQ(wheel.Turn(0, -60, false, 1).down, 0);
  EXPECT_EQ(wheel.Turn(0, 60, false, 1).down, 0) << "half a notch back is not a step back";
  EXPECT_EQ(wheel.Turn(0, 60, false, 1).down, -1);
  EXPECT_EQ(wheel.Turn(0, -2147483647 - 1, false, 100).down, 1 << 20) << "a hostile delta is bounded";
}

}  // namespace
}  // namespace teku
