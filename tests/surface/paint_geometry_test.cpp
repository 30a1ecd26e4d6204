// Where whole pictures and blocks land on a control.
#include "surface/paint_geometry.h"

#include <gtest/gtest.h>

namespace teku {
namespace {

TEST(WholePicture, AShortPictureSitsOnTheBottomEdge) {
  const BlitGeometry g = WholePictureGeometry(448, 320, 448, 200);
  EXPECT_EQ(g.destY, 120);
  EXPECT_EQ(g.height, 200);
  EXPECT_EQ(g.srcOffsetFromBottom, 0);
  EXPECT_EQ(g.srcTop, 0);
  EXPECT_EQ(g.width, 448);
}

TEST(WholePicture, ATallPictureShowsItsTopLines) {
  const BlitGeometry g = WholePictureGeometry(224, 352, 512, 512);
  EXPECT_EQ(g.destY, 0);
  EXPECT_EQ(g.height, 352);
  EXPECT_EQ(g.width, 224);
  EXPECT_EQ(g.srcOffsetFromBottom, 160);
  EXPECT_EQ(g.srcTop, 0);
}

TEST(Block, IsCutAtTheControlsRightAndBottomEdge) {
  const BlitGeometry g = BlockGeometry(100, 80, 90, 70, 32, 32, 320, 90, 70);
  EXPECT_EQ(g.width, 10);
  EXPECT_EQ(g.height, 10);
  EXPECT_EQ(g.srcOffsetFromBottom, 320 - 70 - 10);
  EXPECT_EQ(g.srcTop, 70);
}

TEST(Block, StartingPastTheControlShowsNothing) {
  EXPECT_TRUE(BlockGeometry(100, 80, 120, 0, 32, 32, 320, 0, 0).empty());
  EXPECT_TRUE(BlockGeometry(100, 80, 0, 96, 32, 32, 320, 0, 0).empty());
  const BlitGeometry g = BlockGeometry(100, 80, 120, 90, 32, 32, 320, 0, 0);
  EXPECT_EQ(g.width, 0);
  EXPECT_EQ(g.height, 0);
}

TEST(Block, NegativeSizesBecomeZeroAndThePictureBoundsTheHeight) {
  EXPECT_TRUE(BlockGeometry(100, 80, 0, 0, -5, 10, 320, 0, 0).empty());
  // A block that reaches past the picture's bottom line is cut to the picture.
  const BlitGeometry g = BlockGeometry(448, 320, 0, 0, 32, 32, 20, 0, 0);
  EXPECT_EQ(g.height, 20);
  EXPECT_EQ(g.srcOffsetFromBottom, 0);
  // Below the picture altogether.
  EXPECT_TRUE(BlockGeometry(448, 320, 0, 0, 32, 32, 20, 0, 40).empty());
}

}  // namespace
}  // namespace teku
