// The palette picture and the correct-answer picture as the generators wrote them: their
// headers, the program palette the palette picture yields, and that every shipped picture keeps
// its pixels when loaded onto that palette.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <map>
#include <set>

#include "surface/dib_image.h"
#include "surface/image_loader.h"
#include "tests/tools/program_files.h"

namespace teku {
namespace {

using testing::Le16;
using testing::Le32;
using testing::ReadProgramFile;

struct BmpFacts {
  std::uint32_t fileSize = 0, offBits = 0, infoSize = 0, compression = 0;
  std::int32_t width = 0, height = 0;
  std::uint32_t bitCount = 0;
  std::array<std::uint32_t, 256> table{};  // 0xRRGGBB
  std::vector<std::uint8_t> pixels;
};

BmpFacts ParseBmp(const std::vector<std::uint8_t>& b) {
  BmpFacts f;
  if (b.size() < 1078 || b[0] != 'B' || b[1] != 'M') return f;
  f.fileSize = Le32(b, 2);
  f.offBits = Le32(b, 10);
  f.infoSize = Le32(b, 14);
  f.width = static_cast<std::int32_t>(Le32(b, 18));
  f.height = static_cast<std::int32_t>(Le32(b, 22));
  f.bitCount = Le16(b, 28);
  f.compression = Le32(b, 30);
  for (int i = 0; i < 256; ++i) {
    const std::size_t at = 54 + 4 * static_cast<std::size_t>(i);
    f.table[i] = static_cast<std::uint32_t>(b[at + 2]) << 16 | b[at + 1] << 8 | b[at];
  }
  if (f.offBits <= b.size()) f.pixels.assign(b.begin() + f.offBits, b.end());
  return f;
}

std::uint32_t Rgb(const PaletteEntry& e) { return static_cast<std::uint32_t>(e.red) << 16 | e.green << 8 | e.blue; }

// The program palette after the start-up merge of an 8-bit palette picture on a display
// without fixed colours: used colours go, in index order, into the first free middle slot
// unless a static slot or an earlier used index has them already.
struct MergeResult {
  Palette256 palette = DefaultPalette;
  int placed = 0;
  int dropped = 0;
};

MergeResult MergeAsStartUp(const BmpFacts& f) {
  MergeResult r;
  std::array<bool, 256> used{}, taken{};
  const std::size_t n = std::max<std::size_t>(f.pixels.size(), static_cast<std::size_t>(f.width) * f.height);
  for (std::size_t i = 0; i < n; ++i) used[i < f.pixels.size() ? f.pixels[i] : 0] = true;
  std::vector<int> remaining;
  std::set<std::uint32_t> seen;
  for (int k = 0; k < 256; ++k) {
    if (!used[k]) continue;
    const std::uint32_t c = f.table[k];
    bool drop = false;
    for (int s = 0; s < 256; ++s) {
      if ((s < 10 || s > 245) && Rgb(DefaultPalette[s]) == c) drop = taken[s] = true;
    }
    if (c == 0xA4C8F0 || c == 0xA6CAF0) drop = taken[9] = true;
    if (!drop && !seen.insert(c).second) drop = true;
    if (drop) {
      ++r.dropped;
      continue;
    }
    remaining.push_back(k);
  }
  for (int k : remaining) {
    int slot = 10;
    while (slot <= 245 && taken[slot]) ++slot;
    if (slot > 245) {
      ++r.dropped;
      continue;
    }
    taken[slot] = true;
    r.palette[slot].red = static_cast<std::uint8_t>(f.table[k] >> 16);
    r.palette[slot].green = static_cast<std::uint8_t>(f.table[k] >> 8);
    r.palette[slot].blue = static_cast<std::uint8_t>(f.table[k]);
    ++r.placed;
  }
  return r;
}

TEST(PalettePicture, IsASmallEightBitPictureWithAFullColourTable) {
  const BmpFacts f = ParseBmp(ReadProgramFile("TEKUCINI.BMP"));
  EXPECT_EQ(f.infoSize, 40u);
  EXPECT_EQ(f.bitCount, 8u);
  EXPECT_EQ(f.compression, 0u);
  EXPECT_EQ(f.width, 16);
  EXPECT_EQ(f.height, 16);
  EXPECT_EQ(f.offBits, 1078u);
  EXPECT_EQ(f.fileSize, 1078u + 256u);
  EXPECT_EQ(f.pixels.size(), 256u);
}

TEST(PalettePicture, FillsEveryMiddleSlotWithADistinctColour) {
  const MergeResult r = MergeAsStartUp(ParseBmp(ReadProgramFile("TEKUCINI.BMP")));
  EXPECT_EQ(r.placed, 236);
  EXPECT_EQ(r.dropped, 20);  // the static colours it carries at both ends, nothing else
  std::set<std::uint32_t> distinct;
  for (const PaletteEntry& e : r.palette) distinct.insert(Rgb(e));
  EXPECT_EQ(distinct.size(), 256u);
  for (int s = 0; s < 256; ++s) {
    if (s < 10 || s > 245) {
      EXPECT_EQ(r.palette[s], DefaultPalette[s]) << s;
    }
  }
}

TEST(PalettePicture, OffersGreysSkinTonesPastelsAndStrongColours) {
  const MergeResult r = MergeAsStartUp(ParseBmp(ReadProgramFile("TEKUCINI.BMP")));
  int greys = 0, skin = 0, pastels = 0, strong = 0, dark = 0;
  for (int s = 10; s <= 245; ++s) {
    const int red = r.palette[s].red, green = r.palette[s].green, blue = r.palette[s].blue;
    const int hi = std::max({red, green, blue}), lo = std::min({red, green, blue});
    if (red == green && green == blue) ++greys;
    if (red > green && green > blue && red >= 0xC0 && red - blue >= 0x30 && red - blue <= 0x90) ++skin;
    if (lo >= 0xB0 && hi != lo) ++pastels;
    if (hi >= 0xCC && lo <= 0x20) ++strong;
    if (hi <= 0x66) ++dark;
  }
  EXPECT_GE(greys, 16);
  EXPECT_GE(skin, 8);
  EXPECT_GE(pastels, 20);
  EXPECT_GE(strong, 20);
  EXPECT_GE(dark, 10);
}

TEST(PalettePicture, KeepsThePanelBackgroundColour) {
  const MergeResult r = MergeAsStartUp(ParseBmp(ReadProgramFile("TEKUCINI.BMP")));
  EXPECT_EQ(r.palette[242], DefaultPalette[242]);  // ClearColorNo of every drawing surface
}

class SilentMessages : public MessageSink {
 public:
  void Information(const std::string& text, const std::string&) override { shown.push_back(text); }
  std::vector<std::string> shown;
};

TEST(ShippedPictures, LoadOntoTheProgramPaletteWithEveryPixelUnchanged) {
  const MergeResult merged = MergeAsStartUp(ParseBmp(ReadProgramFile("TEKUCINI.BMP")));
  DibSurface surface;
  surface.SetPalette(merged.palette, nullptr);
  for (const char* name : {"SEIKAI.BMP", "TEKUNUMB.BMP", "TEKUCOLR.BMP", "TEKUMOJI.BMP"}) {
    SCOPED_TRACE(name);
    const BmpFacts file = ParseBmp(ReadProgramFile(name));
    SilentMessages messages;
    TDibImage image;
    ASSERT_TRUE(LoadImageFile(surface, testing::ProgramPath(name), image, {}, &messages));
    EXPECT_TRUE(messages.shown.empty());
    ASSERT_EQ(image.width(), file.width);
    ASSERT_EQ(image.height(), file.height);
    PixelLock lock(image);
    ASSERT_TRUE(lock.ok());
    ASSERT_EQ(lock.size(), file.pixels.size());
    EXPECT_TRUE(std::equal(file.pixels.begin(), file.pixels.end(), lock.bytes()));
  }
}

TEST(CorrectAnswerPicture, FillsTheCharacterPanelInManyColours) {
  const BmpFacts f = ParseBmp(ReadProgramFile("SEIKAI.BMP"));
  EXPECT_EQ(f.infoSize, 40u);
  EXPECT_EQ(f.bitCount, 8u);
  EXPECT_EQ(f.compression, 0u);
  EXPECT_EQ(f.width, 224);
  EXPECT_EQ(f.height, 352);
  EXPECT_EQ(f.fileSize, 1078u + 224u * 352u);
  ASSERT_EQ(f.pixels.size(), 224u * 352u);
  std::map<int, std::size_t> counts;
  for (std::uint8_t p : f.pixels) ++counts[p];
  EXPECT_GE(counts.size(), 12u);
  for (const auto& [index, count] : counts) EXPECT_LT(count, f.pixels.size() / 2) << index;
  // The colour table is the default palette, so the picture reads the same without the merge.
  for (int i = 0; i < 256; ++i) EXPECT_EQ(f.table[i], Rgb(DefaultPalette[i])) << i;
}

}  // namespace
}  // namespace teku
