// The BMP and icon readers against files made by ImageMagick and its own decode of them, the
// formats they refuse, damaged files, and the loader's choice of reader by extension.
#include "surface/image_loader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>

#include "support/mag_encoder.h"
#include "surface/bmp_reader.h"
#include "surface/icon_reader.h"

namespace teku {
namespace {

namespace fs = std::filesystem;

const fs::path kPictures = fs::path(TEKU_TEST_DATA) / "pictures";

std::vector<std::uint8_t> Bytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct Recorder final : MessageSink {
  void Information(const std::string& text, const std::string& caption) override {
    shown.push_back({caption, text});
  }
  std::vector<std::pair<std::string, std::string>> shown;
};

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

// ImageMagick's RGB of the file, each pixel mapped to its nearest palette entry.
std::vector<std::uint8_t> Expected(const DibSurface& surface, const std::string& name) {
  const auto rgb = Bytes(kPictures / (name + ".rgb"));
  std::vector<std::uint8_t> out;
  for (std::size_t i = 0; i + 2 < rgb.size(); i += 3) {
    RgbQuad q{rgb[i + 2], rgb[i + 1], rgb[i], 0};
    out.push_back(surface.NearestColorNo(q));
  }
  return out;
}

// Packed header fields are compared by value: gtest binds references to its arguments.
template <typename T>
T Value(T field) {
  return field;
}

class Corpus : public ::testing::TestWithParam<const char*> {};

TEST_P(Corpus, LoadsAsImageMagickDecodesItMappedOntoThePalette) {
  const std::string name = GetParam();
  DibSurface surface;
  TDibImage image;
  Recorder messages;
  ASSERT_TRUE(LoadImageFile(surface, (kPictures / name).string(), image, {}, &messages));
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_EQ(TopDown(image), Expected(surface, name));
  // The record stays the head of a BMP file of what it holds, colour table included.
  EXPECT_EQ(Value(image.InfoHeader.biBitCount), 8);
  EXPECT_EQ(Value(image.InfoHeader.biSize), 40u);
  EXPECT_EQ(Value(image.InfoHeader.biClrUsed), 0u);
  EXPECT_EQ(Value(image.FileHeader.bfOffBits), 1078u);
  EXPECT_EQ(Value(image.FileHeader.bfSize), 1078u + static_cast<std::uint32_t>(image.ImageSize));
  EXPECT_EQ(image.ImageSize, image.width() * image.height());
  for (int k = 0; k < 256; ++k) {
    const PaletteEntry& e = surface.Palette[k];
    ASSERT_EQ(image.Colors[k], (RgbQuad{e.blue, e.green, e.red, 0})) << k;
  }
}

// Odd widths (37, 23) need the file's row padding honoured; 32 and 24 do not.
INSTANTIATE_TEST_SUITE_P(Files, Corpus,
                         ::testing::Values("b4_37x11.bmp", "b4_32x8.bmp", "b8_37x11.bmp",
                                           "b8_32x8.bmp", "b24_24x6.bmp", "b24_23x6.bmp",
                                           "i16_32.ico", "i16_16.ico"));

TEST(BmpReader, TrueColourBeyond256ColoursSharesTheLastEntryAndSaysSo) {
  const std::string name = "b24_37x11.bmp";
  DibSurface surface;
  TDibImage image;
  Recorder messages;
  ASSERT_TRUE(LoadImageFile(surface, (kPictures / name).string(), image, {}, &messages));
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].first, kBmpMessageCaption);
  EXPECT_EQ(messages.shown[0].second, kBmpMessageText);

  // Distinct colours in file order (bottom row first): the first 255 keep their own entry,
  // every later one shares entry 255, which holds the last new colour met.
  const auto rgb = Bytes(kPictures / (name + ".rgb"));
  const int w = 37, h = 11;
  std::map<std::uint32_t, int> order;
  std::uint32_t last = 0;
  for (int y = h - 1; y >= 0; --y) {
    for (int x = 0; x < w; ++x) {
      const std::size_t i = (static_cast<std::size_t>(y) * w + x) * 3;
      const std::uint32_t c = rgb[i] << 16 | rgb[i + 1] << 8 | rgb[i + 2];
      if (order.emplace(c, static_cast<int>(order.size())).second) last = c;
    }
  }
  ASSERT_GT(order.size(), 300u);
  RgbQuad lastQuad{static_cast<std::uint8_t>(last), static_cast<std::uint8_t>(last >> 8),
                   static_cast<std::uint8_t>(last >> 16), 0};
  const std::uint8_t shared = surface.NearestColorNo(lastQuad);
  const auto got = TopDown(image);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const std::size_t i = static_cast<std::size_t>(y) * w + x;
      const std::uint32_t c = rgb[3 * i] << 16 | rgb[3 * i + 1] << 8 | rgb[3 * i + 2];
      RgbQuad q{rgb[3 * i + 2], rgb[3 * i + 1], rgb[3 * i], 0};
      const std::uint8_t want = order[c] < 255 ? surface.NearestColorNo(q) : shared;
      ASSERT_EQ(got[i], want) << x << "," << y;
    }
  }
}

TEST(BmpReader, UnsupportedDepthsAndCompressionAreRefusedWithOrWithoutTheMessage) {
  DibSurface surface;
  struct Case {
    const char* name;
    bool message;
  };
  for (const Case c : {Case{"b16_37x11.bmp", false}, Case{"b1_37x11.bmp", true},
                       Case{"b32_37x11.bmp", true}, Case{"rle8_37x11.bmp", false}}) {
    TDibImage image;
    ASSERT_TRUE(LoadImageFile(surface, (kPictures / "b8_32x8.bmp").string(), image, {}, nullptr));
    Recorder messages;
    EXPECT_FALSE(LoadImageFile(surface, (kPictures / c.name).string(), image, {}, &messages))
        << c.name;
    EXPECT_FALSE(image.allocated()) << c.name;  // the picture held before is released
    EXPECT_EQ(messages.shown.size(), c.message ? 1u : 0u) << c.name;
    if (c.message) {
      EXPECT_EQ(messages.shown[0].first, kBmpMessageCaption);
    }
  }
}

TEST(BmpReader, EightBitDataLongerThanThePictureIsKeptWhole) {
  auto file = Bytes(kPictures / "b8_32x8.bmp");
  file.insert(file.end(), 100, 7);
  DibSurface surface;
  TDibImage image;
  ASSERT_TRUE(ReadBmp(surface, PictureBytes(file), image, nullptr));
  EXPECT_EQ(image.ImageSize, 32 * 8 + 100);
  EXPECT_EQ(Value(image.FileHeader.bfSize), 1078u + 356u);
  // The bytes past the picture are remapped like pixels: 7 becomes file colour 7's entry.
  RgbQuad seven{file[54 + 28], file[54 + 29], file[54 + 30], 0};
  const std::uint8_t want = surface.NearestColorNo(seven);
  PixelLock lock(image);
  ASSERT_EQ(lock.size(), 356u);
  for (std::size_t i = 256; i < 356; ++i) ASSERT_EQ(lock.bytes()[i], want);
}

TEST(BmpReader, ShortHeadersAndTruncatedDataEndCleanly) {
  DibSurface surface;
  for (const char* name : {"b4_37x11.bmp", "b8_37x11.bmp", "b24_23x6.bmp"}) {
    const auto whole = Bytes(kPictures / name);
    for (std::size_t n = 0; n < whole.size(); n += (n < 60 ? 1 : 13)) {
      std::vector<std::uint8_t> part(whole.begin(), whole.begin() + static_cast<long>(n));
      TDibImage image;
      Recorder messages;
      const bool ok = ReadBmp(surface, PictureBytes(part), image, &messages);
      if (n < 14) {
        EXPECT_FALSE(ok);
        EXPECT_TRUE(messages.shown.empty());
      } else if (n < 54) {
        EXPECT_FALSE(ok);
        EXPECT_EQ(messages.shown.size(), 1u);
      } else {
        EXPECT_TRUE(ok) << name << " cut at " << n;
      }
      EXPECT_EQ(ok, image.allocated());
    }
  }
}

TEST(BmpReader, HeadersPromisingHugeOrEmptyPicturesAllocateNothing) {
  auto file = Bytes(kPictures / "b8_32x8.bmp");
  DibSurface surface;
  TDibImage image;
  auto set32 = [&file](std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) file[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
  };
  set32(18, 60000);
  set32(22, 60000);
  EXPECT_FALSE(ReadBmp(surface, PictureBytes(file), image, nullptr));
  set32(18, 0);
  EXPECT_FALSE(ReadBmp(surface, PictureBytes(file), image, nullptr));
  set32(18, 32);
  set32(22, static_cast<std::uint32_t>(-8));  // top-down rows
  EXPECT_FALSE(ReadBmp(surface, PictureBytes(file), image, nullptr));
  set32(22, 8);
  set32(10, 0xFFFFFFF0u);  // pixel data far past the end: all zero, colour table not read
  set32(14, 0xFFFFFF00u);
  EXPECT_TRUE(ReadBmp(surface, PictureBytes(file), image, nullptr));
  EXPECT_FALSE(LoadImageFile(surface, "/nonexistent/picture.bmp", image, {}, nullptr));
}

TEST(BmpReader, MemoryThatCannotBeHadLeavesNoPictureAndAFalseResult) {
  DibSurface surface;
  TDibImage image;
  for (const char* name : {"b4_32x8.bmp", "b8_32x8.bmp", "b8_37x11.bmp", "b24_24x6.bmp",
                           "i16_16.ico"}) {
    FailNextGlobalAllocs(1);
    EXPECT_FALSE(LoadImageFile(surface, (kPictures / name).string(), image, {}, nullptr))
        << name;
    EXPECT_FALSE(image.allocated());
    FailNextGlobalLocks(1);
    EXPECT_FALSE(LoadImageFile(surface, (kPictures / name).string(), image, {}, nullptr))
        << name;
    EXPECT_FALSE(image.allocated());
  }
  FailNextGlobalAllocs(0);
  FailNextGlobalLocks(0);
}

TEST(IconReader, OnlySixteenColourIconsLoad) {
  DibSurface surface;
  TDibImage image;
  Recorder messages;
  EXPECT_FALSE(
      LoadImageFile(surface, (kPictures / "i256_32.ico").string(), image, {}, &messages));
  EXPECT_FALSE(image.allocated());
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].first, kIconMessageCaption);
  EXPECT_EQ(messages.shown[0].second, kIconMessageText);

  // Without the remap the pixels stay indexes into the icon's own colours.
  const auto file = Bytes(kPictures / "i16_16.ico");
  ASSERT_TRUE(ReadIcon(surface, PictureBytes(file), image, nullptr, false));
  EXPECT_EQ(image.width(), 16);
  EXPECT_EQ(image.height(), 16);
  for (std::uint8_t p : TopDown(image)) ASSERT_LT(p, 16);
  EXPECT_EQ(image.Colors[16], RgbQuad{});

  for (std::size_t n = 0; n < file.size(); n += 5) {
    std::vector<std::uint8_t> part(file.begin(), file.begin() + static_cast<long>(n));
    Recorder m;
    const bool ok = ReadIcon(surface, PictureBytes(part), image, &m);
    EXPECT_EQ(ok, n >= 62) << n;
    EXPECT_EQ(m.shown.size(), n >= 22 && n < 62 ? 1u : 0u) << n;
  }
  // Two directory entries: the first image lies behind both, where its entry says.
  auto two = file;
  two[4] = 2;
  two.insert(two.begin() + 22, file.begin() + 6, file.begin() + 22);
  for (std::size_t e : {6u, 22u}) two[e + 12] = 38;
  ASSERT_TRUE(ReadIcon(surface, PictureBytes(two), image, nullptr));
  TDibImage single;
  ASSERT_TRUE(ReadIcon(surface, PictureBytes(file), single, nullptr));
  EXPECT_EQ(TopDown(image), TopDown(single));

  auto zeroWidth = file;
  zeroWidth[6] = 0;
  EXPECT_FALSE(ReadIcon(surface, PictureBytes(zeroWidth), image, nullptr));
  EXPECT_FALSE(image.allocated());
}

class LoaderDispatch : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("teku-loader-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
    fs::create_directories(dir_ / "folder.mag");
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string Put(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    const fs::path p = dir_ / name;
    std::ofstream(p, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
    return p.string();
  }
  bool Load(const std::string& path) {
    TDibImage image;
    return LoadImageFile(surface_, path, image, {}, nullptr) && image.allocated();
  }
  fs::path dir_;
  DibSurface surface_;
};

TEST_F(LoaderDispatch, TheExtensionAloneChoosesTheReader) {
  const auto bmp = Bytes(kPictures / "b8_32x8.bmp");
  const auto ico = Bytes(kPictures / "i16_16.ico");
  tekutest::MagPicture pic;
  pic.palette.resize(16);
  pic.pixels.assign(8, 3);
  const auto mag = tekutest::EncodeMag(pic);
  for (const char* name : {"a.bmp", "b.BMP", "c", "d.jpeg", "e.Bmp", "folder.mag/f"}) {
    EXPECT_TRUE(Load(Put(name, bmp))) << name;
  }
  for (const char* name : {"a.ico", "b.ICO"}) EXPECT_TRUE(Load(Put(name, ico))) << name;
  EXPECT_FALSE(Load(Put("g.bmp", ico)));
  for (const char* name : {"a.mag", "b.MAG", "c.Mag"}) EXPECT_TRUE(Load(Put(name, mag))) << name;
  EXPECT_FALSE(Load(Put("h.bmp", mag)));
  EXPECT_FALSE(Load(Put("i.jpg", mag)));
  EXPECT_FALSE(Load(Put("j.ico", bmp)));
}

}  // namespace
}  // namespace teku
