// The MAG reader against files from the test encoder (pixel for pixel), the geometry of the
// stored margin, hand-made flag streams for the ring's corners, and damaged files.
#include "surface/mag_decoder.h"

#include <gtest/gtest.h>

#include <random>

#include "support/mag_encoder.h"

namespace teku {
namespace {

using tekutest::AssembleMag;
using tekutest::EncodeMag;
using tekutest::MagParts;
using tekutest::MagPicture;
using tekutest::MagRgb;
using tekutest::MagStats;
using tekutest::PackMagFlags;

std::vector<MagRgb> TestPalette(int colors) {
  std::vector<MagRgb> p;
  for (int k = 0; k < colors; ++k) {
    p.push_back({static_cast<std::uint8_t>(k * 37), static_cast<std::uint8_t>(255 - k * 11),
                 static_cast<std::uint8_t>(k * 5 + 3)});
  }
  return p;
}

// Units copied from every position the copy table names, mixed with new ones, so that each
// flag has units it fits. The copies follow the same ring as the format, wrap-around included.
MagPicture Patterned(int colors, std::uint16_t x0, int width, int height, unsigned seed) {
  constexpr int kLeft[16] = {0, 1, 2, 4, 0, 1, 0, 1, 2, 0, 1, 2, 0, 1, 2, 0};
  constexpr int kUp[16] = {0, 0, 0, 0, 1, 1, 2, 2, 2, 4, 4, 4, 8, 8, 8, 16};
  MagPicture pic;
  pic.colors = colors;
  pic.x0 = x0;
  pic.y0 = 7;
  pic.width = width;
  pic.height = height;
  pic.palette = TestPalette(colors);
  const int sw = pic.StoredWidth();
  const int u = pic.Units();
  const int perUnit = colors == 256 ? 2 : 4;
  std::vector<std::vector<std::uint8_t>> rows(height, std::vector<std::uint8_t>(sw, 0));
  std::mt19937 rng(seed);
  for (int y = 0; y < height; ++y) {
    for (int l = 0; l < u; ++l) {
      const int f = static_cast<int>(rng() % 16);
      for (int k = 0; k < perUnit; ++k) {
        std::uint8_t v = static_cast<std::uint8_t>(rng() % colors);
        if (f != 0 && y - kUp[f] >= 0) {
          const int at = ((l - kLeft[f]) % u + u) % u;
          // Left of the line's start on the same line means the unit not yet redrawn.
          if (kUp[f] > 0 || l - kLeft[f] >= 0) v = rows[y - kUp[f]][at * perUnit + k];
        }
        rows[y][l * perUnit + k] = v;
      }
    }
  }
  for (const auto& r : rows) pic.pixels.insert(pic.pixels.end(), r.begin(), r.end());
  return pic;
}

std::vector<std::uint8_t> TopDown(TDibImage& image) {
  PixelLock lock(image);
  std::vector<std::uint8_t> out;
  if (!lock.ok()) return out;
  for (int y = 0; y < lock.height(); ++y) {
    const std::uint8_t* row =
        lock.bytes() + static_cast<std::size_t>(lock.height() - 1 - y) * lock.width();
    out.insert(out.end(), row, row + lock.width());
  }
  return out;
}

struct RoundTrip {
  int colors;
  std::uint16_t x0;
  int width, height;
};

class MagRoundTrip : public ::testing::TestWithParam<RoundTrip> {};

TEST_P(MagRoundTrip, DecodesWhatWasEncodedPixelForPixelWithEveryFlag) {
  const RoundTrip c = GetParam();
  const MagPicture pic = Patterned(c.colors, c.x0, c.width, c.height, 17u + c.x0);
  MagStats stats;
  const auto file = EncodeMag(pic, &stats);
  for (int f = 0; f < 16; ++f) EXPECT_GT(stats.uses[f], 0) << "flag " << f;

  DibSurface surface;
  TDibImage image;
  ASSERT_TRUE(DecodeMag(surface, PictureBytes(file), image));
  EXPECT_EQ(image.width(), pic.StoredWidth());
  EXPECT_EQ(image.height(), c.height);
  EXPECT_EQ(image.width() % 4, 0);
  EXPECT_EQ(TopDown(image), pic.pixels);
  for (int k = 0; k < c.colors; ++k) {
    const MagRgb& e = pic.palette[k];
    EXPECT_EQ(image.Colors[k], (RgbQuad{e.blue, e.green, e.red, 0})) << k;
  }

  // The loader's form remaps each file colour to its nearest palette entry.
  TDibImage mapped;
  ASSERT_TRUE(ReadMag(surface, PictureBytes(file), mapped));
  std::vector<std::uint8_t> expected;
  for (std::uint8_t p : pic.pixels) {
    RgbQuad q{pic.palette[p].blue, pic.palette[p].green, pic.palette[p].red, 0};
    expected.push_back(surface.NearestColorNo(q));
  }
  EXPECT_EQ(TopDown(mapped), expected);
}

INSTANTIATE_TEST_SUITE_P(Modes, MagRoundTrip,
                         ::testing::Values(RoundTrip{16, 0, 64, 40}, RoundTrip{16, 3, 61, 45},
                                           RoundTrip{8, 5, 30, 50}, RoundTrip{256, 0, 64, 40},
                                           RoundTrip{256, 2, 37, 60}));

TEST(MagGeometry, StoredMarginWidensThePictureAndThePaletteStepCanLeaveItOut) {
  DibSurface surface;
  TDibImage image;
  MagPicture pic = Patterned(16, 3, 10, 2, 1);
  const auto file = EncodeMag(pic);
  ASSERT_TRUE(ReadMag(surface, PictureBytes(file), image));
  EXPECT_EQ(image.width(), 16);
  EXPECT_EQ(image.ImageSize, 32);
  ASSERT_TRUE(DecodeMag(surface, PictureBytes(file), image, MagLineWidth::kPictureOnly));
  EXPECT_EQ(image.width(), 16);  // (10 + 7) div 8 = 2 flag bytes as well

  MagPicture wide = Patterned(256, 0, 640, 3, 2);
  ASSERT_TRUE(ReadMag(surface, PictureBytes(EncodeMag(wide)), image));
  EXPECT_EQ(image.width(), 640);

  MagPicture narrow = Patterned(256, 3, 6, 2, 3);  // 3 + 6 pixels: 3 flag bytes with margin
  const auto narrowFile = EncodeMag(narrow);
  ASSERT_TRUE(ReadMag(surface, PictureBytes(narrowFile), image));
  EXPECT_EQ(image.width(), 12);
  ASSERT_TRUE(DecodeMag(surface, PictureBytes(narrowFile), image, MagLineWidth::kPictureOnly));
  EXPECT_EQ(image.width(), 8);
}

// A 256-colour file 8 pixels wide (4 units a line) with the given unit flags; units with
// flag 0 take pixel pairs (2u + 1, 2u + 2) numbered on from 1 through the file.
std::vector<std::uint8_t> HandMade(const std::vector<std::vector<std::uint8_t>>& flags) {
  MagParts parts;
  parts.mode = 0x80;
  parts.x1 = 7;
  parts.y1 = static_cast<std::uint16_t>(flags.size() - 1);
  parts.palette.assign(256 * 3, 0);
  PackMagFlags(flags, parts.flagA, parts.flagB);
  std::uint8_t next = 1;
  for (const auto& line : flags) {
    for (std::uint8_t f : line) {
      if (f != 0) continue;
      parts.pixelData.push_back(next++);
      parts.pixelData.push_back(next++);
    }
  }
  return AssembleMag(parts);
}

std::uint8_t Pixel(TDibImage& image, int x, int y) { return GetPixelNo(image, x, y); }

TEST(MagRing, CopiesWrapToTheLineEndAndReachNoFurtherThanSixteenLinesUp) {
  std::vector<std::vector<std::uint8_t>> flags(21, std::vector<std::uint8_t>(4, 0));
  flags[0][0] = 1;   // wraps to unit 3 of a line not yet decoded: zero
  flags[17][0] = 1;  // wraps to unit 3 of ring line 0, still line 0's
  flags[5][2] = 15;  // 16 lines up from line 5: above the picture, zero
  flags[20][1] = 15; // line 4
  DibSurface surface;
  TDibImage image;
  ASSERT_TRUE(DecodeMag(surface, PictureBytes(HandMade(flags)), image));
  // Line 0: units 1..3 are new pixels 1..6.
  EXPECT_EQ(Pixel(image, 0, 0), 0);
  EXPECT_EQ(Pixel(image, 1, 0), 0);
  EXPECT_EQ(Pixel(image, 6, 0), 5);
  EXPECT_EQ(Pixel(image, 7, 0), 6);
  EXPECT_EQ(Pixel(image, 0, 17), 5);
  EXPECT_EQ(Pixel(image, 1, 17), 6);
  EXPECT_EQ(Pixel(image, 4, 5), 0);
  EXPECT_EQ(Pixel(image, 5, 5), 0);
  EXPECT_EQ(Pixel(image, 2, 20), Pixel(image, 2, 4));
  EXPECT_EQ(Pixel(image, 3, 20), Pixel(image, 3, 4));
  EXPECT_NE(Pixel(image, 2, 4), 0);
}

TEST(MagFlagA, ALineStopsTakingFlagBytesAtTheLimitAndKeepsTheRestFromTheLineAbove) {
  // 800 pixels of 16 colours: 100 flag bytes a line, 13 flag-A bytes to cover them; with a
  // flag-A stream of 15 bytes for 3 lines a line may take only 10.
  MagParts parts;
  parts.x1 = 799;
  parts.y1 = 2;
  parts.palette.assign(16 * 3, 0);
  parts.flagA.assign(15, 0xFF);
  parts.flagB.assign(120, 0x11);
  for (int i = 0; i < 400; ++i) {
    parts.pixelData.push_back(0x12);
    parts.pixelData.push_back(0x34);
  }
  DibSurface surface;
  TDibImage image;
  ASSERT_TRUE(DecodeMag(surface, PictureBytes(AssembleMag(parts)), image));
  EXPECT_EQ(Pixel(image, 639, 0), 0);  // flag byte 79: 0x11, copies of zero units
  EXPECT_EQ(Pixel(image, 640, 0), 1);  // flag byte 80: beyond the limit, still 0: new units
  EXPECT_EQ(Pixel(image, 643, 0), 4);
  EXPECT_EQ(Pixel(image, 799, 0), 4);
}

TEST(MagPalette, EightColoursReadTwentyFourPaletteBytesSixteenReadFortyEight) {
  MagParts parts;
  parts.mode = 0x02;
  parts.palette.assign(24, 0x40);
  auto file = AssembleMag(parts);
  const std::size_t n = tekutest::MagHeaderOffset(file);
  file.resize(n + 32 + 24);  // nothing after the palette
  DibSurface surface;
  TDibImage image;
  EXPECT_TRUE(ReadMag(surface, PictureBytes(file), image));
  EXPECT_TRUE(image.allocated());
  EXPECT_EQ(image.width(), 8);

  file[n + 3] = 0x00;  // the same bytes as a 16-colour file: its palette is short
  EXPECT_FALSE(ReadMag(surface, PictureBytes(file), image));
  EXPECT_FALSE(image.allocated());  // no blank picture left behind
}

TEST(MagDamage, RefusedFilesLeaveNoPicture) {
  DibSurface surface;
  TDibImage image;
  const auto good = EncodeMag(Patterned(16, 0, 16, 4, 9));
  ASSERT_TRUE(ReadMag(surface, PictureBytes(good), image));

  auto wrongSignature = good;
  wrongSignature[5] = '3';
  EXPECT_FALSE(ReadMag(surface, PictureBytes(wrongSignature), image));
  EXPECT_FALSE(image.allocated());

  std::vector<std::uint8_t> noHeader(good.begin(), good.begin() + 8);
  noHeader.insert(noHeader.end(), 600, 'x');
  EXPECT_FALSE(ReadMag(surface, PictureBytes(noHeader), image));

  const std::size_t n = tekutest::MagHeaderOffset(good);
  std::vector<std::uint8_t> shortHeader(good.begin(), good.begin() + n + 31);
  EXPECT_FALSE(ReadMag(surface, PictureBytes(shortHeader), image));

  auto backwards = good;
  backwards[n + 8] = 0;  // x1 = 0 < x0 = 0 is fine; make x0 larger
  backwards[n + 4] = 5;
  EXPECT_FALSE(ReadMag(surface, PictureBytes(backwards), image));

  FailNextGlobalAllocs(1);  // the picture itself
  EXPECT_FALSE(ReadMag(surface, PictureBytes(good), image));
  EXPECT_FALSE(image.allocated());
  FailNextGlobalAllocs(0);

  auto huge = good;
  huge[n + 8] = huge[n + 9] = huge[n + 10] = huge[n + 11] = 0xFF;  // 65536 x 65536
  EXPECT_FALSE(ReadMag(surface, PictureBytes(huge), image));
  EXPECT_FALSE(image.allocated());
}

TEST(MagDamage, ShortOrMisplacedStreamsGiveZeroDataNeverAReadOutside) {
  DibSurface surface;
  TDibImage image;
  const MagPicture pic = Patterned(256, 1, 40, 30, 5);
  const auto good = EncodeMag(pic);
  const std::size_t n = tekutest::MagHeaderOffset(good);
  for (std::size_t cut = n + 32 + 768; cut < good.size(); cut += 7) {
    std::vector<std::uint8_t> file(good.begin(), good.begin() + static_cast<long>(cut));
    EXPECT_TRUE(ReadMag(surface, PictureBytes(file), image)) << cut;
    EXPECT_TRUE(image.allocated());
  }
  // Offsets and sizes far past the end of the file: every stream reads as zeros, so each
  // unit is new and zero, and the picture is palette entry 0 throughout.
  auto hostile = good;
  for (int field = 12; field < 32; ++field) hostile[n + field] = 0xF0;
  ASSERT_TRUE(DecodeMag(surface, PictureBytes(hostile), image));
  for (std::uint8_t p : TopDown(image)) ASSERT_EQ(p, 0);
  // Flag B before flag A: a negative flag-A length reads no flag-A bytes at all.
  auto reversed = good;
  reversed[n + 16] = 0;
  reversed[n + 17] = reversed[n + 18] = reversed[n + 19] = 0;
  EXPECT_TRUE(ReadMag(surface, PictureBytes(reversed), image));
}

}  // namespace
}  // namespace teku
