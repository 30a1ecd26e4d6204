// The program palette: the order of construction with a display that has fixed colours, the
// palette picture's key, the BMP colour scan of each bit count, both merge forms and the JPEG
// colour tally.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <vector>

#include "services/palette_merge.h"
#include "services/profile_file.h"
#include "services/ziredizu.h"
#include "surface/bmp_reader.h"
#include "surface/icon_reader.h"
#include "surface/mag_decoder.h"
#include "tests/support/mag_encoder.h"
#include "tests/tools/program_files.h"

namespace teku {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

struct Rgb3 {
  std::uint8_t r, g, b;
};

void Put16(Bytes& b, std::size_t at, std::uint32_t v) {
  b[at] = static_cast<std::uint8_t>(v);
  b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
void Put32(Bytes& b, std::size_t at, std::uint32_t v) {
  Put16(b, at, v & 0xffff);
  Put16(b, at + 2, v >> 16);
}

// A BMP file with the given table and pixel bytes exactly as they are to lie in the file.
Bytes MakeBmp(int bits, std::int32_t width, std::int32_t height, const std::vector<Rgb3>& table,
              const Bytes& pixels) {
  const std::size_t offBits = 54 + 4 * table.size();
  Bytes b(offBits, 0);
  b[0] = 'B';
  b[1] = 'M';
  Put32(b, 2, static_cast<std::uint32_t>(offBits + pixels.size()));
  Put32(b, 10, static_cast<std::uint32_t>(offBits));
  Put32(b, 14, 40);
  Put32(b, 18, static_cast<std::uint32_t>(width));
  Put32(b, 22, static_cast<std::uint32_t>(height));
  Put16(b, 26, 1);
  Put16(b, 28, static_cast<std::uint32_t>(bits));
  for (std::size_t i = 0; i < table.size(); ++i) {
    b[54 + 4 * i] = table[i].b;
    b[55 + 4 * i] = table[i].g;
    b[56 + 4 * i] = table[i].r;
  }
  b.insert(b.end(), pixels.begin(), pixels.end());
  return b;
}

// Colours that no default slot holds: green 1 or 3 never occurs in the built-in table's
// ramps, which the first test checks.
Rgb3 Odd(int i) { return {static_cast<std::uint8_t>(i), 3, static_cast<std::uint8_t>(255 - i)}; }
PaletteEntry Entry(Rgb3 c) { return {c.r, c.g, c.b, 0}; }

class RecordingMessages final : public MessageSink {
 public:
  void Information(const std::string& text, const std::string& caption) override {
    texts.push_back(text);
    captions.push_back(caption);
  }
  std::vector<std::string> texts, captions;
};

// A palette display with 20 fixed colours, none of which the built-in table has.
class FakePaletteDisplay final : public DisplayCapability {
 public:
  int NumColors() const override { return 20; }
  PaletteEntry SystemPaletteEntry(int index) const override {
    return {static_cast<std::uint8_t>(index), 1, 7, 0x55};
  }
};

class PaletteTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("teku-palette-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string Write(const std::string& name, const Bytes& bytes) {
    const fs::path p = dir_ / name;
    std::ofstream(p, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                             static_cast<std::streamsize>(bytes.size()));
    return p.string();
  }
  // The palette the component builds with `picture` as its palette picture.
  Palette256 Build(const std::string& picture, const DisplayCapability* display = nullptr) {
    PaletteSetup setup;
    setup.display = display;
    setup.messages = &messages_;
    setup.startPicture = picture;
    const ZIREDIZU z(dir_.string(), "TEKUCROSE", setup);
    Palette256 out;
    z.GetPalette(out);
    return out;
  }
  Palette256 BuildBmp(const Bytes& bytes) { return Build(Write("p.bmp", bytes)); }

  fs::path dir_;
  RecordingMessages messages_;
};

TEST_F(PaletteTest, WithoutAPalettePictureTheBuiltInTableStandsAndHoldsNoTestColour) {
  EXPECT_EQ(Build(""), DefaultPalette);
  EXPECT_EQ(Build((dir_ / "missing.bmp").string()), DefaultPalette);
  EXPECT_TRUE(messages_.texts.empty());
  for (const PaletteEntry& e : DefaultPalette) {
    EXPECT_NE(e.green, 3);
    EXPECT_NE(e.green, 1);
    EXPECT_EQ(e.flags, 0);
  }
}

TEST_F(PaletteTest, FixedColoursOfAPaletteDisplayTakeBothEndsBeforeAnyPicture) {
  const FakePaletteDisplay display;
  const std::string pic = Write("p.bmp", MakeBmp(8, 2, 1, {Odd(1), {5, 1, 7}}, {0, 1, 0, 0}));
  PaletteSetup setup;
  setup.display = &display;
  setup.startPicture = pic;
  const ZIREDIZU z(dir_.string(), "TEKUCROSE", setup);
  for (int i = 0; i < 256; ++i) {
    const bool fixed = i < 10 || i >= 246;
    if (fixed) {
      EXPECT_EQ(z.Palette[i], (PaletteEntry{static_cast<std::uint8_t>(i), 1, 7, 0})) << i;
      EXPECT_EQ(z.SavedPalette[i], z.Palette[i]) << i;
    } else if (i > 11) {
      EXPECT_EQ(z.SavedPalette[i], DefaultPalette[i]) << i;
    }
    EXPECT_EQ(z.PaletteHandle->entries[i], z.Palette[i]) << i;
  }
  // Index 1 is the fixed colour of slot 5, so only index 0 is placed; SavedPalette keeps the
  // table from before the picture.
  EXPECT_EQ(z.Palette[10], Entry(Odd(1)));
  EXPECT_EQ(z.Palette[11], DefaultPalette[11]);
  EXPECT_EQ(z.SavedPalette[10], DefaultPalette[10]);
  EXPECT_EQ(z.PaletteHandle->version, 0x300);
  EXPECT_EQ(z.PaletteHandle->count, 256);
}

TEST_F(PaletteTest, TheIniKeyNamesThePictureAndItsDefaultAppliesOnlyWhenTheKeyIsMissing) {
  Write("TEKUCINI.BMP", MakeBmp(8, 1, 1, {Odd(1)}, {0, 0, 0, 0}));
  const std::string other = Write("other.bmp", MakeBmp(8, 1, 1, {Odd(2)}, {0, 0, 0, 0}));
  const auto built = [this] {
    PaletteSetup setup;
    setup.messages = &messages_;
    const ZIREDIZU z(dir_.string(), "TEKUCROSE", setup);
    return z.Palette[10];
  };
  EXPECT_EQ(built(), Entry(Odd(1)));
  const std::string ini = (dir_ / "TEKUINI.INI").string();
  WriteProfileString(ini, "TEKUCROSE", "INITBMP", "");
  EXPECT_EQ(built(), DefaultPalette[10]);
  WriteProfileString(ini, "TEKUCROSE", "INITBMP", other);
  EXPECT_EQ(built(), Entry(Odd(2)));
  // A reload starts from the saved table, so the earlier picture leaves nothing behind.
  PaletteSetup setup;
  setup.startPicture = (dir_ / "TEKUCINI.BMP").string();
  ZIREDIZU z(dir_.string(), "TEKUCROSE", setup);
  EXPECT_EQ(z.Palette[10], Entry(Odd(1)));
  z.LoadStartPalette();
  EXPECT_EQ(z.Palette[10], Entry(Odd(2)));
  EXPECT_EQ(z.PaletteHandle->entries[10], Entry(Odd(2)));
}

TEST_F(PaletteTest, CopiesAndMovesOwnTheirLogicalPalette) {
  ZIREDIZU a(dir_.string(), "TEKUCROSE");
  ZIREDIZU b(a);
  ASSERT_NE(b.PaletteHandle, nullptr);
  EXPECT_NE(b.PaletteHandle, a.PaletteHandle);
  b = a;
  EXPECT_NE(b.PaletteHandle, a.PaletteHandle);
  ZIREDIZU c(std::move(a));
  ASSERT_NE(c.PaletteHandle, nullptr);
  c = ZIREDIZU(dir_.string(), "X");
  EXPECT_EQ(c.SectionName, "X");
  EXPECT_NE(c.PaletteHandle, nullptr);
}

TEST_F(PaletteTest, EightBitPicturesFillTheFreeSlotsInIndexOrder) {
  std::vector<Rgb3> table;
  Bytes pixels;
  for (int i = 0; i < 256; ++i) {
    table.push_back(Odd(i));
    pixels.push_back(static_cast<std::uint8_t>(255 - i));
  }
  const Palette256 p = BuildBmp(MakeBmp(8, 16, 16, table, pixels));
  for (int slot = 0; slot < 256; ++slot) {
    if (slot < 10 || slot > 245) {
      EXPECT_EQ(p[slot], DefaultPalette[slot]) << slot;
    } else {
      EXPECT_EQ(p[slot], Entry(Odd(slot - 10))) << slot;
    }
  }
  EXPECT_TRUE(messages_.texts.empty());
}

TEST_F(PaletteTest, BmpFormDropsFixedSlot9AndRepeatedColoursButReplacesEqualFreeSlots) {
  const PaletteEntry free100 = DefaultPalette[100];
  const std::vector<Rgb3> table = {
      {166, 202, 240},                            // stands for slot 9
      {164, 200, 240},                            // so does this one
      {DefaultPalette[255].red, DefaultPalette[255].green, DefaultPalette[255].blue},  // fixed
      {free100.red, free100.green, free100.blue},  // already in a free slot: placed anyway
      Odd(1),
      Odd(1),  // a repeat
      Odd(2),
      Odd(3),  // never used
  };
  const Palette256 p = BuildBmp(MakeBmp(8, 7, 1, table, {0, 1, 2, 3, 4, 5, 6, 0}));
  EXPECT_EQ(p[10], free100);
  EXPECT_EQ(p[11], Entry(Odd(1)));
  EXPECT_EQ(p[12], Entry(Odd(2)));
  EXPECT_EQ(p[13], DefaultPalette[13]);
  EXPECT_EQ(p[100], free100);
  EXPECT_EQ(p[9], DefaultPalette[9]);
}

TEST_F(PaletteTest, EightBitRunsIgnoreRowsSoPaddingAndMissingPixelsCount) {
  // Width 3: each row has one padding byte, here 4, and the run is read as one.
  Bytes b = MakeBmp(8, 3, 2, {Odd(0), Odd(1), Odd(2), Odd(3), Odd(4)}, {1, 1, 1, 4, 2, 2, 2, 4});
  EXPECT_EQ(BuildBmp(b)[10], Entry(Odd(1)));
  EXPECT_EQ(BuildBmp(b)[12], Entry(Odd(4)));
  // Ten pixels promised, eight bytes held: the rest count as index 0.
  b = MakeBmp(8, 5, 2, {Odd(0), Odd(1), Odd(2)}, {1, 1, 1, 1, 2, 2, 2, 2});
  const Palette256 p = BuildBmp(b);
  EXPECT_EQ(p[10], Entry(Odd(0)));
  EXPECT_EQ(p[11], Entry(Odd(1)));
  // A short table leaves the other indices black, which is a fixed colour.
  b = MakeBmp(8, 2, 1, {Odd(0)}, {0, 9, 0, 0});
  EXPECT_EQ(BuildBmp(b)[11], DefaultPalette[11]);
}

TEST_F(PaletteTest, FourBitPicturesUseBothNibblesUpToTheirPixelCount) {
  std::vector<Rgb3> table;
  for (int i = 0; i < 16; ++i) table.push_back(Odd(i));
  // Three pixels: only the first byte has both its nibbles inside, so 0x9A adds nothing.
  Palette256 p = BuildBmp(MakeBmp(4, 3, 1, table, {0x21, 0x9A, 0, 0}));
  EXPECT_EQ(p[10], Entry(Odd(1)));
  EXPECT_EQ(p[11], Entry(Odd(2)));
  EXPECT_EQ(p[12], DefaultPalette[12]);
  Bytes all;
  for (int i = 0; i < 8; ++i) all.push_back(static_cast<std::uint8_t>((2 * i) << 4 | (2 * i + 1)));
  p = BuildBmp(MakeBmp(4, 16, 1, table, all));
  for (int i = 0; i < 16; ++i) EXPECT_EQ(p[10 + i], Entry(Odd(i))) << i;
  EXPECT_EQ(p[26], DefaultPalette[26]);
  EXPECT_TRUE(messages_.texts.empty());
}

TEST_F(PaletteTest, TwentyFourBitPicturesBuildTheirOwnTableAndCutAt256Colours) {
  Bytes pixels;
  const auto add = [&pixels](Rgb3 c) {
    pixels.push_back(c.b);
    pixels.push_back(c.g);
    pixels.push_back(c.r);
  };
  // Width 3 rows hold 9 bytes and the 3 padding bytes would start a fourth triple if rows
  // were honoured; the scan reads the triples straight through.
  add(Odd(5));
  add(Odd(6));
  add(Odd(5));
  add(Odd(7));
  Palette256 p = BuildBmp(MakeBmp(24, 3, 1, {}, pixels));
  EXPECT_EQ(p[10], Entry(Odd(5)));
  EXPECT_EQ(p[11], Entry(Odd(6)));
  EXPECT_EQ(p[12], DefaultPalette[12]);  // the fourth triple is past width x height
  EXPECT_TRUE(messages_.texts.empty());

  pixels.clear();
  for (int i = 0; i < 300; ++i) add({static_cast<std::uint8_t>(i), 1, static_cast<std::uint8_t>(i >> 8)});
  add({0, 1, 0});
  const Bytes bmp = MakeBmp(24, 301, 1, {}, pixels);
  UsedColors colors;
  RecordingMessages scanMessages;
  ASSERT_TRUE(ScanBmpColors(PictureBytes(bmp), colors, &scanMessages));
  ASSERT_EQ(scanMessages.texts.size(), 1u);
  EXPECT_EQ(scanMessages.texts[0], kBmpMessageText);
  EXPECT_EQ(scanMessages.captions[0], kBmpMessageCaption);
  for (int i = 0; i < 255; ++i) EXPECT_EQ(colors.table[i], (RgbQuad{static_cast<std::uint8_t>(i >> 8), 1, static_cast<std::uint8_t>(i), 0}));
  EXPECT_EQ(colors.table[255], (RgbQuad{1, 1, 43, 0}));  // colour 299, the last new one
  p = BuildBmp(bmp);
  EXPECT_EQ(messages_.texts.size(), 1u);
  EXPECT_EQ(p[10], (PaletteEntry{0, 1, 0, 0}));
  EXPECT_EQ(p[245], (PaletteEntry{235, 1, 0, 0}));
}

TEST_F(PaletteTest, UnsupportedBitmapsChangeNothingAndOnlySomeSayWhy) {
  const Bytes pixels(64, 0x5A);
  const std::vector<Rgb3> two = {Odd(1), Odd(2)};
  EXPECT_EQ(BuildBmp(MakeBmp(1, 16, 4, two, pixels)), DefaultPalette);
  EXPECT_EQ(messages_.texts.size(), 1u);
  EXPECT_EQ(BuildBmp(MakeBmp(16, 4, 4, {}, pixels)), DefaultPalette);
  EXPECT_EQ(messages_.texts.size(), 1u);
  EXPECT_EQ(BuildBmp(MakeBmp(32, 4, 4, {}, pixels)), DefaultPalette);
  EXPECT_EQ(messages_.texts.size(), 2u);
  // A header cut short says so; a file shorter than its file header says nothing.
  Bytes cut = MakeBmp(8, 1, 1, {}, {});
  cut.resize(30);
  EXPECT_EQ(BuildBmp(cut), DefaultPalette);
  EXPECT_EQ(messages_.texts.size(), 3u);
  cut.resize(13);
  EXPECT_EQ(BuildBmp(cut), DefaultPalette);
  EXPECT_EQ(messages_.texts.size(), 3u);
  // Hostile sizes and offsets stay within the file.
  Bytes hostile = MakeBmp(8, 1, 1, {Odd(1)}, {0});
  Put32(hostile, 10, 0xFFFFFFF0u);
  Put32(hostile, 18, 0x7FFFFFFF);
  Put32(hostile, 22, 0x7FFFFFFF);
  const Palette256 p = BuildBmp(hostile);
  EXPECT_EQ(p[10], Entry(Odd(1)));  // the pixels the file lacks are index 0
  EXPECT_EQ(p[11], DefaultPalette[11]);
}

TEST_F(PaletteTest, ImageFormKeepsFreeSlotsThatHoldAPictureColour) {
  DibSurface surface;
  TDibImage image;
  ASSERT_TRUE(surface.CreateImage(4, 1, image));
  image.Colors[0] = {DefaultPalette[100].blue, DefaultPalette[100].green, DefaultPalette[100].red, 0};
  image.Colors[1] = {3, 3, 3, 0};
  image.Colors[2] = {240, 202, 166, 0};
  image.Colors[3] = {3, 3, 3, 0};
  {
    PixelLock lock(image);
    ASSERT_TRUE(lock.ok());
    for (int i = 0; i < 4; ++i) lock.bytes()[i] = static_cast<std::uint8_t>(3 - i);
  }
  PaletteSetup setup;
  setup.startPicture = "";
  ZIREDIZU z(dir_.string(), "TEKUCROSE", setup);
  z.MergeImageColors(image);
  EXPECT_EQ(z.Palette[100], DefaultPalette[100]);
  EXPECT_EQ(z.Palette[10], (PaletteEntry{3, 3, 3, 0}));
  EXPECT_EQ(z.Palette[11], DefaultPalette[11]);
  EXPECT_EQ(z.PaletteHandle->entries[10], z.Palette[10]);
  FreeImage(image);
}

TEST_F(PaletteTest, MagPicturesMergeTheColoursOfTheirPixelsInImageForm) {
  tekutest::MagPicture mag;
  mag.colors = 16;
  mag.width = 8;
  mag.height = 2;
  for (int i = 0; i < 16; ++i) mag.palette.push_back({static_cast<std::uint8_t>(16 * i), 3, 9});
  mag.palette[3] = {DefaultPalette[60].red, DefaultPalette[60].green, DefaultPalette[60].blue};
  mag.pixels.assign(16, 5);
  mag.pixels[7] = 7;
  mag.pixels[9] = 3;
  const Palette256 p = Build(Write("p.MAG", tekutest::EncodeMag(mag)));
  EXPECT_EQ(p[10], (PaletteEntry{80, 3, 9, 0}));
  EXPECT_EQ(p[11], (PaletteEntry{112, 3, 9, 0}));
  EXPECT_EQ(p[12], DefaultPalette[12]);
  EXPECT_EQ(p[60], DefaultPalette[60]);
}

TEST_F(PaletteTest, IconsMergeNothingAndA256ColourIconSaysSo) {
  const fs::path pictures = fs::path(TEKU_TEST_DATA) / "pictures";
  EXPECT_EQ(Build((pictures / "i16_32.ico").string()), DefaultPalette);
  EXPECT_TRUE(messages_.texts.empty());
  EXPECT_EQ(Build((pictures / "i256_32.ico").string()), DefaultPalette);
  ASSERT_EQ(messages_.texts.size(), 1u);
  EXPECT_EQ(messages_.texts[0], kIconMessageText);
  EXPECT_EQ(messages_.captions[0], kIconMessageCaption);
}

TEST_F(PaletteTest, JpegPicturesMergeTheirPreviewBlockColoursByCount) {
  // Units of 16 x 16 (4:2:0): red, blue, red, blue over blue, green, blue, green. Blue is
  // offered three times (the repeat across the row end is not offered again), red and green
  // twice, so blue comes first and red, met earlier, before green.
  const char* const layout[2] = {"RBRB", "BGBG"};
  std::string ppm = "P6\n64 32\n255\n";
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 64; ++x) {
      const char c = layout[y / 16][x / 16];
      ppm += c == 'R' ? std::string("\xC8\x1E\x1E", 3)
                      : c == 'G' ? std::string("\x1E\xC8\x1E", 3) : std::string("\x1E\x1E\xC8", 3);
    }
  }
  const std::string src = Write("p.ppm", Bytes(ppm.begin(), ppm.end()));
  const std::string jpg = (dir_ / "p.jpg").string();
  ASSERT_EQ(std::system(("cjpeg -quality 100 -outfile '" + jpg + "' '" + src + "'").c_str()), 0);
  const Palette256 p = Build(jpg);
  const auto near = [](const PaletteEntry& e, int r, int g, int b) {
    return std::abs(e.red - r) <= 6 && std::abs(e.green - g) <= 6 && std::abs(e.blue - b) <= 6;
  };
  EXPECT_TRUE(near(p[10], 30, 30, 200));
  EXPECT_TRUE(near(p[11], 200, 30, 30));
  EXPECT_TRUE(near(p[12], 30, 200, 30));
  EXPECT_EQ(p[13], DefaultPalette[13]);
  for (const PaletteEntry& e : p) EXPECT_EQ(e.flags, 0);
  EXPECT_EQ(Build((dir_ / "none.jpg").string()), DefaultPalette);
}

TEST(JpegColorTally, NearColoursShareAnEntryWhoseCountStopsAt255) {
  JpegColorTally tally;
  tally.Offer(100, 100, 100);
  tally.Offer(108, 92, 100);   // within 8 on every channel
  tally.Offer(109, 100, 100);  // red 9 away: a new entry
  tally.Offer(8, 8, 8);        // near black: entry 0 takes it
  EXPECT_EQ(tally.used(), 3);
  EXPECT_EQ(tally.count(0), 1);
  EXPECT_EQ(tally.count(1), 2);
  EXPECT_EQ(tally.entry(1), (PaletteEntry{100, 100, 100, 2}));
  EXPECT_EQ(tally.count(2), 1);
  // The first entry that fits wins even when a later one fits better.
  tally.Offer(105, 100, 100);
  EXPECT_EQ(tally.count(1), 3);
  for (int i = 0; i < 400; ++i) tally.Offer(109, 100, 100);
  EXPECT_EQ(tally.count(2), 255);
}

TEST(JpegColorTally, TheListIsBlackThenByCountInTallyOrderAndStopsAt256) {
  JpegColorTally tally;
  const auto offer = [&tally](int i, int times) {
    for (int t = 0; t < times; ++t) {
      tally.Offer(static_cast<std::uint8_t>(20 * (i % 12) + 20), static_cast<std::uint8_t>(20 * (i / 12 % 12) + 20),
                  static_cast<std::uint8_t>(20 * (i / 144) + 20));
    }
  };
  offer(0, 1);
  offer(1, 3);
  offer(2, 1);
  offer(3, 3);
  std::vector<PaletteEntry> list = tally.ColorList();
  ASSERT_EQ(list.size(), 5u);
  EXPECT_EQ(list[0], PaletteEntry{});
  EXPECT_EQ(list[1].flags, 0);
  EXPECT_EQ(list[1].red, 40);
  EXPECT_EQ(list[2].red, 80);
  EXPECT_EQ(list[3].red, 20);
  EXPECT_EQ(list[4].red, 60);
  for (int i = 4; i < 300; ++i) offer(i, 1);
  list = tally.ColorList();
  EXPECT_EQ(list.size(), 256u);
  EXPECT_EQ(tally.used(), 301);
}

TEST(JpegColorTally, MergeKeepsColoursThePaletteHasAndFillsFreeSlotsInListOrder) {
  JpegColorTally tally;
  const PaletteEntry at50 = DefaultPalette[50];
  tally.Offer(30, 3, 37);
  tally.Offer(at50.red, at50.green, at50.blue);
  tally.Offer(30, 3, 37);  // offers counted twice puts this colour first
  tally.Offer(200, 3, 9);
  Palette256 p = DefaultPalette;
  tally.MergeInto(p);
  EXPECT_EQ(p[10], (PaletteEntry{30, 3, 37, 0}));
  EXPECT_EQ(p[50], at50);
  EXPECT_EQ(p[11], (PaletteEntry{200, 3, 9, 0}));
  EXPECT_EQ(p[12], DefaultPalette[12]);
}

TEST(ShippedPalettePicture, KeepsTheDefaultColoursOfTheGlyphSheetSlots) {
  PaletteSetup setup;
  setup.startPicture = testing::ProgramPath("TEKUCINI.BMP");
  const ZIREDIZU z(std::string(TEKU_PROGRAM_DIR), "TEKUCROSE", setup);
  ASSERT_NE(z.Palette, DefaultPalette) << "the palette picture was not merged";
  for (const int slot : {10, 67, 194, 195, 220, 242, 248, 249, 252, 253, 255, 4}) {
    EXPECT_EQ(z.Palette[slot], DefaultPalette[slot]) << slot;
  }
}

}  // namespace
}  // namespace teku
