// The drawing-surface widget presents 8-bit pictures 1:1 in its palette.
#include "surface/tekubmp_widget.h"

#include <gtest/gtest.h>

namespace teku {
namespace {

QRgb Rgb(const Palette256& p, int i) { return qRgb(p[i].red, p[i].green, p[i].blue); }

TEST(TekuBmp, StartsOpaqueWithItsDefaults) {
  TTEKUBMP w;
  EXPECT_TRUE(w.testAttribute(Qt::WA_OpaquePaintEvent));
  EXPECT_EQ(w.ClearColorNo, 242);
  EXPECT_EQ(w.Palette, DefaultPalette);
  EXPECT_FALSE(w.Image.allocated());
}

TEST(TekuBmp, AShortPictureIsShownOnTheBottomEdgeInTheSurfacePalette) {
  TTEKUBMP w;
  w.resize(448, 320);
  w.show();
  Palette256 p = DefaultPalette;
  p[7] = PaletteEntry{1, 2, 3, 0};
  w.SetPalette(p, nullptr);
  TDibImage pic;
  ASSERT_TRUE(w.CreateImage(448, 200, pic));
  ClearImage(pic, 7);
  FillImageRect(pic, 0, 0, 1, 1, 9);  // top-left pixel
  w.PaintImage(pic);
  EXPECT_EQ(w.front().pixel(0, 120), Rgb(p, 9));
  EXPECT_EQ(w.front().pixel(447, 319), qRgb(1, 2, 3));
  EXPECT_EQ(w.front().pixel(0, 119), Rgb(p, 242)) << "above the picture stays unpainted";
}

TEST(TekuBmp, ATallPictureShowsItsTopAndBlocksLandWhereAsked) {
  TTEKUBMP w;
  w.resize(64, 64);
  w.show();
  TDibImage pic;
  ASSERT_TRUE(w.CreateImage(96, 96, pic));
  ClearImage(pic, 1);
  FillImageRect(pic, 0, 0, 96, 1, 2);  // top line
  w.PaintImage(pic);
  EXPECT_EQ(w.front().pixel(0, 0), Rgb(DefaultPalette, 2));
  EXPECT_EQ(w.front().pixel(63, 63), Rgb(DefaultPalette, 1));
  FillImageRect(pic, 32, 32, 32, 32, 3);
  w.PaintImageRect(32, 32, 32, 32, pic, 32, 32);
  EXPECT_EQ(w.front().pixel(32, 32), Rgb(DefaultPalette, 3));
  EXPECT_EQ(w.front().pixel(63, 63), Rgb(DefaultPalette, 3));
  EXPECT_EQ(w.front().pixel(31, 31), Rgb(DefaultPalette, 1));
  // Blocks past the control or the picture show nothing and never fault.
  w.PaintImageRect(60, 60, 32, 32, pic, 90, 90);
  w.PaintImageRect(100, 0, 32, 32, pic, 0, 0);
  w.PaintImageRect(-50, -50, 32, 32, pic, -10, 500);
  TDibImage none;
  w.PaintImage(none);
}

}  // namespace
}  // namespace teku
