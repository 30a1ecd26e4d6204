// 8-bit pictures: headers, clamping and clipping, keyed copies, palette lookups.
#include "surface/dib_image.h"

#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace teku {
namespace {

// Header fields are packed (unaligned): gtest must compare copies, not references to them.
template <typename T>
T Value(T v) {
  return v;
}

// Rows of a picture as text, top line first, one character per pixel ('0'..'9', 'a'..).
std::vector<std::string> Rows(TDibImage& image) {
  std::vector<std::string> rows;
  for (int y = 0; y < image.height(); ++y) {
    std::string row;
    for (int x = 0; x < image.width(); ++x) {
      const int v = GetPixelNo(image, x, y);
      row += static_cast<char>(v < 10 ? '0' + v : 'a' + v - 10);
    }
    rows.push_back(row);
  }
  return rows;
}

// A picture from text rows (top line first), same alphabet as Rows.
void MakeFrom(DibSurface& s, TDibImage& image, const std::vector<std::string>& rows) {
  ASSERT_TRUE(s.CreateImage(static_cast<int>(rows[0].size()), static_cast<int>(rows.size()), image));
  PixelLock lock(image);
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const char c = rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)];
      lock.bytes()[x + (image.height() - 1 - y) * image.width()] =
          static_cast<std::uint8_t>(c <= '9' ? c - '0' : c - 'a' + 10);
    }
  }
}

TEST(CreateImage, FillsBothHeadersLikeABmpFileAndZeroesThePixels) {
  DibSurface s;
  TDibImage img;
  ASSERT_TRUE(s.CreateImage(512, 512, img));
  EXPECT_TRUE(img.allocated());
  EXPECT_EQ(img.ImageSize, 262144);
  EXPECT_EQ(img.FileHeader.bfType[0], 'B');
  EXPECT_EQ(img.FileHeader.bfType[1], 'M');
  EXPECT_EQ(Value(img.FileHeader.bfSize), 263222u);
  EXPECT_EQ(Value(img.FileHeader.bfOffBits), 1078u);
  EXPECT_EQ(Value(img.InfoHeader.biSize), 40u);
  EXPECT_EQ(Value(img.InfoHeader.biWidth), 512);
  EXPECT_EQ(Value(img.InfoHeader.biHeight), 512);
  EXPECT_EQ(Value(img.InfoHeader.biPlanes), 1);
  EXPECT_EQ(Value(img.InfoHeader.biBitCount), 8);
  EXPECT_EQ(Value(img.InfoHeader.biCompression), 0u);
  EXPECT_EQ(Value(img.InfoHeader.biSizeImage), 262144u);
  EXPECT_EQ(Value(img.InfoHeader.biClrUsed), 0u);
  EXPECT_EQ(img.Colors[242], (RgbQuad{0xAA, 0xAA, 0xAA, 0}));
  EXPECT_EQ(img.Colors[9], (RgbQuad{0xF0, 0xCA, 0xA6, 0}));
  PixelLock lock(img);
  for (std::size_t i = 0; i < lock.size(); ++i) ASSERT_EQ(lock.bytes()[i], 0);
  // The record's header part is the start of a BMP file.
  const auto* raw = reinterpret_cast<const std::uint8_t*>(&img.FileHeader);
  EXPECT_EQ(raw[0], 'B');
  EXPECT_EQ(raw[2] | raw[3] << 8 | raw[4] << 16, 263222);
  EXPECT_EQ(raw[14], 40);
  EXPECT_EQ(raw[14 + 40 + 4 * 242 + 2], 0xAA);
}

TEST(CreateImage, CopiesTheSurfacePaletteAndRecreatesAtANewSize) {
  DibSurface s;
  Palette256 p = DefaultPalette;
  p[5] = PaletteEntry{1, 2, 3, 4};
  s.SetPalette(p, nullptr);
  TDibImage img;
  ASSERT_TRUE(s.CreateImage(8, 4, img));
  EXPECT_EQ(img.Colors[5], (RgbQuad{3, 2, 1, 0}));
  ASSERT_TRUE(s.CreateImage(4, 2, img));
  EXPECT_EQ(img.ImageSize, 8);
  FreeImage(img);
  EXPECT_FALSE(img.allocated());
  FreeImage(img);  // twice is harmless
}

TEST(CreateImage, RefusesSizesThatAreNotSaneOrMemoryThatIsShort) {
  DibSurface s;
  TDibImage img;
  EXPECT_FALSE(s.CreateImage(0, 10, img));
  EXPECT_FALSE(s.CreateImage(10, -1, img));
  EXPECT_FALSE(s.CreateImage(65536, 65536, img));
  EXPECT_FALSE(s.CreateImage(20000, 20000, img)) << "above the 64 MiB picture cap";
  EXPECT_FALSE(img.allocated());
  FailNextGlobalAllocs(1);
  EXPECT_FALSE(s.CreateImage(16, 16, img));
  EXPECT_FALSE(img.allocated());
  FailNextGlobalLocks(1);
  EXPECT_FALSE(s.CreateImage(16, 16, img));
  EXPECT_FALSE(img.allocated());
  EXPECT_TRUE(s.CreateImage(16, 16, img));
}

TEST(NotAllocated, EveryOperationDoesNothing) {
  DibSurface s;
  TDibImage none, img;
  ASSERT_TRUE(s.CreateImage(4, 4, img));
  ClearImage(none, 3);
  FillImageRect(none, 0, 0, 4, 4, 3);
  EXPECT_EQ(GetPixelNo(none, 0, 0), 0);
  EXPECT_FALSE(PutImage(none, 0, 0, 4, 4, img, 0, 0, 256));
  EXPECT_FALSE(PutImage(img, 0, 0, 4, 4, none, 0, 0, 256));
  EXPECT_FALSE(CopyImage(img, none, 256));
  FailNextGlobalLocks(1);
  EXPECT_EQ(GetPixelNo(img, 0, 0), 0);
  EXPECT_EQ(GlobalLockCount(img.MemHandle), 0);
}

TEST(GetPixelNo, CoordinatesAreClampedToThePicture) {
  DibSurface s;
  TDibImage img;
  MakeFrom(s, img, {"123", "456"});
  EXPECT_EQ(GetPixelNo(img, -5, -5), 1);
  EXPECT_EQ(GetPixelNo(img, 13, 12), 6);
  EXPECT_EQ(GetPixelNo(img, 2, -1), 3);
  EXPECT_EQ(GetPixelNo(img, -1, 1), 4);
  EXPECT_EQ(GetPixelNo(img, 1, 0), 2);
  EXPECT_EQ(GlobalLockCount(img.MemHandle), 0);
  EXPECT_EQ(img.LockedBits, nullptr);
}

TEST(FillImageRect, IsClampedToThePictureAndAWhollyOutsideRectTouchesNothing) {
  DibSurface s;
  TDibImage img;
  ASSERT_TRUE(s.CreateImage(4, 3, img));
  FillImageRect(img, -2, -1, 4, 3, 7);
  EXPECT_EQ(Rows(img), (std::vector<std::string>{"7700", "7700", "0000"}));
  ClearImage(img, 0);
  FillImageRect(img, 4, 0, 2, 2, 9);   // wholly right
  FillImageRect(img, 0, -5, 2, 5, 9);  // wholly above
  FillImageRect(img, 0, 3, 2, 2, 9);   // wholly below
  FillImageRect(img, -3, 0, 3, 2, 9);  // wholly left
  FillImageRect(img, 1, 1, 0, 2, 9);   // empty
  FillImageRect(img, 1, 1, -4, 2, 9);
  EXPECT_EQ(Rows(img), (std::vector<std::string>{"0000", "0000", "0000"}));
  FillImageRect(img, 2, 1, 100, 100, 5);
  EXPECT_EQ(Rows(img), (std::vector<std::string>{"0000", "0055", "0055"}));
  FillImageRect(img, INT32_MAX - 1, INT32_MIN + 1, INT32_MAX, INT32_MAX, 5);
  FillImageRect(img, INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, 3);
}

class PutImageClip : public ::testing::Test {
 protected:
  void SetUp() override {
    MakeFrom(s, src, {"1230", "4560", "7890"});
    ASSERT_TRUE(s.CreateImage(5, 4, dst));
    ClearImage(dst, 0xe);  // 'e'
  }
  DibSurface s;
  TDibImage src, dst;
};

TEST_F(PutImageClip, KeyNoneCopiesEveryPixelAndKeyZeroSkipsIndexZero) {
  EXPECT_TRUE(PutImage(dst, 1, 1, 4, 3, src, 0, 0, 256));
  EXPECT_EQ(Rows(dst), (std::vector<std::string>{"eeeee", "e1230", "e4560", "e7890"}));
  ClearImage(dst, 0xe);
  EXPECT_TRUE(PutImage(dst, 1, 1, 4, 3, src, 0, 0, 0));
  EXPECT_EQ(Rows(dst), (std::vector<std::string>{"eeeee", "e123e", "e456e", "e789e"}));
}

TEST_F(PutImageClip, CutOffAtTheLeftOrTopShowsTheSourceFromItsOrigin) {
  EXPECT_TRUE(PutImage(dst, -2, -1, 4, 3, src, 0, 0, 256));
  EXPECT_EQ(Rows(dst), (std::vector<std::string>{"12eee", "45eee", "eeeee", "eeeee"}));
  ClearImage(dst, 0xe);
  EXPECT_TRUE(PutImage(dst, -1, 0, 3, 2, src, 1, 1, 256));
  EXPECT_EQ(Rows(dst), (std::vector<std::string>{"56eee", "89eee", "eeeee", "eeeee"}));
}

TEST_F(PutImageClip, CutOffAtTheRightOrBottomLosesThoseParts) {
  EXPECT_TRUE(PutImage(dst, 3, 2, 4, 3, src, 0, 0, 256));
  EXPECT_EQ(Rows(dst), (std::vector<std::string>{"eeeee", "eeeee", "eee12", "eee45"}));
}

TEST_F(PutImageClip, ABlockWhollyOutsideDrawsNothingOnAnyEdge) {
  EXPECT_TRUE(PutImage(dst, 5, 0, 3, 3, src, 0, 0, 256));    // right
  EXPECT_TRUE(PutImage(dst, 0, -3, 3, 3, src, 0, 0, 256));   // above
  EXPECT_TRUE(PutImage(dst, 0, 4, 3, 3, src, 0, 0, 256));    // below
  EXPECT_TRUE(PutImage(dst, -3, 0, 3, 3, src, 0, 0, 256));   // left
  EXPECT_TRUE(PutImage(dst, 9, -9, 3, 3, src, 0, 0, 0));     // corner
  EXPECT_EQ(Rows(dst), (std::vector<std::string>{"eeeee", "eeeee", "eeeee", "eeeee"}));
}

TEST_F(PutImageClip, ASourceBlockPastTheSourceEdgeNeverReadsOutsideIt) {
  // 4 x 3 block from (2, 1) of a 4 x 3 source: the first source row is held at the source's
  // bottom line, so the block shows source rows 0..2 of columns 2..3 and nothing beyond them.
  EXPECT_TRUE(PutImage(dst, 0, 0, 4, 3, src, 2, 1, 256));
  EXPECT_EQ(Rows(dst), (std::vector<std::string>{"30eee", "60eee", "90eee", "eeeee"}));
  ClearImage(dst, 0xe);
  EXPECT_TRUE(PutImage(dst, 0, 0, 100, 100, src, 50, 50, 256));
  EXPECT_TRUE(PutImage(dst, 0, 0, 2, 2, src, -50, -50, 256));
  EXPECT_EQ(GlobalLockCount(src.MemHandle), 0);
  EXPECT_EQ(GlobalLockCount(dst.MemHandle), 0);
}

TEST(CopyImage, EqualSizesCopyEveryByteIgnoringTheKey) {
  DibSurface s;
  TDibImage a, b;
  MakeFrom(s, a, {"0102", "3004"});
  MakeFrom(s, b, {"9999", "9999"});
  EXPECT_TRUE(CopyImage(b, a, 0));
  EXPECT_EQ(Rows(b), (std::vector<std::string>{"0102", "3004"}));
}

TEST(CopyImage, DifferentSizesCopyTheCommonTopLeftAreaWithTheKey) {
  DibSurface s;
  TDibImage a, b;
  MakeFrom(s, a, {"01", "23", "45"});
  MakeFrom(s, b, {"999", "999"});
  EXPECT_TRUE(CopyImage(b, a, 0));
  EXPECT_EQ(Rows(b), (std::vector<std::string>{"919", "239"}));
}

TEST(CopyImage, ASourceWithASmallerBlockIsNeverOverread) {
  DibSurface s;
  TDibImage a, b;
  MakeFrom(s, a, {"12", "34"});
  MakeFrom(s, b, {"99", "99"});
  // A reader may leave ImageSize larger than the pixels; the copy stays within both blocks.
  b.ImageSize = 1000;
  EXPECT_TRUE(CopyImage(b, a, 256));
  EXPECT_EQ(Rows(b), (std::vector<std::string>{"12", "34"}));
  b.ImageSize = 4;
  a.ImageSize = 2;
  ClearImage(b, 9);
  EXPECT_TRUE(CopyImage(b, a, 256));
  EXPECT_EQ(Rows(b), (std::vector<std::string>{"99", "34"})) << "only the source's 2 bytes";
}

TEST(HostileHeaders, APictureWhoseHeadersClaimMoreThanItsBlockIsLeftAlone) {
  DibSurface s;
  TDibImage img;
  ASSERT_TRUE(s.CreateImage(4, 4, img));
  img.InfoHeader.biWidth = 1000;
  img.ImageSize = 1 << 20;
  FillImageRect(img, 0, 0, 1000, 4, 1);
  EXPECT_EQ(GetPixelNo(img, 0, 0), 0);
  ClearImage(img, 7);  // clears the 16 bytes it really has
  img.InfoHeader.biWidth = 4;
  EXPECT_EQ(GetPixelNo(img, 3, 3), 7);
}

TEST(NearestColorNo, ExactMatchesWinAndTiesGoToTheLowerIndex) {
  DibSurface s;
  Palette256 p{};
  for (auto& e : p) e = PaletteEntry{200, 200, 200, 0};
  p[3] = PaletteEntry{10, 0, 0, 0};
  p[7] = PaletteEntry{30, 0, 0, 0};
  s.SetPalette(p, nullptr);
  RgbQuad c{0, 0, 20, 9};
  EXPECT_EQ(s.NearestColorNo(c), 3);
  EXPECT_EQ(c, (RgbQuad{0, 0, 10, 0}));
  RgbQuad exact{200, 200, 200, 0};
  EXPECT_EQ(s.NearestColorNo(exact), 0);
  s.SetPalette(DefaultPalette, nullptr);
  RgbQuad grey{0xAA, 0xAA, 0xAA, 0};
  EXPECT_EQ(s.NearestColorNo(grey), 242);
  RgbQuad white{0xFF, 0xFF, 0xFF, 0};
  EXPECT_EQ(s.NearestColorNo(white), 255);
}

TEST(MapToPalette, RemapsPixelsThroughTheFileTableAndLeavesTheSurfacePalette) {
  DibSurface s;
  TDibImage img;
  MakeFrom(s, img, {"0123"});
  img.Colors[0] = RgbQuad{0xFF, 0xFF, 0xFF, 0};  // white -> 255
  img.Colors[1] = RgbQuad{0, 0, 0xFF, 0};        // red -> 249
  img.Colors[2] = RgbQuad{0xAB, 0xAA, 0xAA, 0};  // near grey -> 242
  img.Colors[3] = RgbQuad{0, 0, 0, 0};           // black -> 0
  s.MapToPalette(img.Colors, img);
  PixelLock lock(img);
  EXPECT_EQ(lock.bytes()[0], 255);
  EXPECT_EQ(lock.bytes()[1], 249);
  EXPECT_EQ(lock.bytes()[2], 242);
  EXPECT_EQ(lock.bytes()[3], 0);
  for (int k = 0; k < 256; ++k) {
    ASSERT_EQ(img.Colors[k], (RgbQuad{DefaultPalette[k].blue, DefaultPalette[k].green,
                                      DefaultPalette[k].red, 0}));
  }
}

TEST(PaletteColor, IsRedGreenBlueFlagsLittleEndian) {
  DibSurface s;
  Palette256 p = DefaultPalette;
  p[1] = PaletteEntry{0x11, 0x22, 0x33, 0x44};
  s.SetPalette(p, nullptr);
  EXPECT_EQ(s.GetPaletteColor(1), 0x44332211u);
  EXPECT_EQ(s.GetPaletteColor(242), 0x00AAAAAAu);
}

class FakeDisplay : public DisplayCapability {
 public:
  explicit FakeDisplay(int n) : n_(n) {}
  int NumColors() const override { return n_; }
  PaletteEntry SystemPaletteEntry(int i) const override {
    return PaletteEntry{static_cast<std::uint8_t>(i), 1, 2, 0x05};
  }

 private:
  int n_;
};

TEST(ScreenPalette, ATrueColourDisplayKeepsThePaletteWithFlagsCleared) {
  DibSurface s;
  Palette256 p = DefaultPalette;
  p[100].flags = 4;
  s.SetPalette(p, nullptr);
  HPalette var = nullptr;
  HPalette made = s.CreateScreenPalette(var);
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(var, made);
  for (int i = 0; i < 256; ++i) {
    EXPECT_EQ(made->entries[i].red, p[i].red);
    EXPECT_EQ(made->entries[i].flags, 0);
  }
  EXPECT_EQ(made->version, 0x300);
  DeletePalette(var);
}

TEST(ScreenPalette, ATwentyColourDisplayFixesTenEntriesAtEachEnd) {
  DibSurface s;
  HPalette var = nullptr;
  s.CreateScreenPalette(var);
  HPalette first = var;
  FakeDisplay display(20);
  s.CreateScreenPalette(var, display);  // replaces (and deletes) the first one
  EXPECT_NE(var, nullptr);
  (void)first;
  for (int i = 0; i < 10; ++i) EXPECT_EQ(var->entries[i], (PaletteEntry{static_cast<std::uint8_t>(i), 1, 2, 0}));
  EXPECT_EQ(var->entries[10], DefaultPalette[10]);
  EXPECT_EQ(var->entries[245], DefaultPalette[245]);
  for (int i = 246; i < 256; ++i) EXPECT_EQ(var->entries[i].red, i);
  FakeDisplay many(65536);
  s.CreateScreenPalette(var, many);
  EXPECT_EQ(var->entries[0], DefaultPalette[0]);
  DeletePalette(var);
}

}  // namespace
}  // namespace teku
