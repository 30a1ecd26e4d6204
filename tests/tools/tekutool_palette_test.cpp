// tekutool palette: 256 lines of index and colour, a palette picture's colours in the middle
// slots, its messages on stderr; and decode mapping onto that palette.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <sys/wait.h>

#include "surface/dib_image.h"

namespace teku {
namespace {

namespace fs = std::filesystem;

class TekutoolPalette : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("teku-tpal-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  int Run(const std::string& args) {
    const std::string cmd = std::string(TEKU_TEKUTOOL) + " " + args + " >" +
                            (dir_ / "stdout").string() + " 2>" + (dir_ / "stderr").string();
    const int status = std::system(cmd.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  std::string Read(const std::string& name) const {
    std::ifstream in(dir_ / name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  // A one-row 24-bit BMP of the given colours (blue, green, red triples).
  std::string WriteBmp24(const std::string& name, const std::vector<std::array<std::uint8_t, 3>>& rgb) {
    std::string b(54, '\0');
    const auto put32 = [&b](std::size_t at, std::uint32_t v) {
      for (int i = 0; i < 4; ++i) b[at + i] = static_cast<char>(v >> (8 * i));
    };
    b[0] = 'B';
    b[1] = 'M';
    std::string pixels;
    for (const auto& c : rgb) {
      pixels += static_cast<char>(c[2]);
      pixels += static_cast<char>(c[1]);
      pixels += static_cast<char>(c[0]);
    }
    while (pixels.size() % 4 != 0) pixels += '\0';
    put32(2, static_cast<std::uint32_t>(54 + pixels.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<std::uint32_t>(rgb.size()));
    put32(22, 1);
    b[26] = 1;
    b[28] = 24;
    const fs::path p = dir_ / name;
    std::ofstream(p, std::ios::binary) << b << pixels;
    return p.string();
  }
  fs::path dir_;
};

std::string Expected(const Palette256& p) {
  std::string out;
  char line[16];
  for (int i = 0; i < 256; ++i) {
    std::snprintf(line, sizeof line, "%3d %02X%02X%02X\n", i, p[i].red, p[i].green, p[i].blue);
    out += line;
  }
  return out;
}

TEST_F(TekutoolPalette, PrintsTheBuiltInTableWithoutAPicture) {
  ASSERT_EQ(Run("palette"), 0);
  const std::string out = Read("stdout");
  EXPECT_EQ(out, Expected(DefaultPalette));
  EXPECT_EQ(out.substr(0, 11), "  0 " + out.substr(4, 6) + "\n");
  EXPECT_EQ(Read("stderr"), "");
  EXPECT_EQ(Run("palette extra"), 2);
  EXPECT_EQ(Run("palette --initbmp"), 2);
}

TEST_F(TekutoolPalette, PlacesThePictureColoursAndReportsItsMessageOnStderr) {
  const std::string bmp = WriteBmp24("p.bmp", {{0xAB, 0x03, 0xCD}, {0x12, 0x03, 0x34}});
  ASSERT_EQ(Run("palette --initbmp " + bmp), 0);
  Palette256 expected = DefaultPalette;
  expected[10] = {0xAB, 0x03, 0xCD, 0};
  expected[11] = {0x12, 0x03, 0x34, 0};
  EXPECT_EQ(Read("stdout"), Expected(expected));
  const std::string line10 = Read("stdout").substr(11 * 10, 11);
  EXPECT_EQ(line10, " 10 AB03CD\n");

  std::string oneBit(62 + 4, '\0');
  oneBit[0] = 'B';
  oneBit[1] = 'M';
  oneBit[10] = 62;
  oneBit[14] = 40;
  oneBit[18] = 1;
  oneBit[22] = 1;
  oneBit[28] = 1;
  std::ofstream(dir_ / "one.bmp", std::ios::binary) << oneBit;
  ASSERT_EQ(Run("palette --initbmp " + (dir_ / "one.bmp").string()), 0);
  EXPECT_EQ(Read("stdout"), Expected(DefaultPalette));
  EXPECT_NE(Read("stderr").find("256"), std::string::npos);
}

TEST_F(TekutoolPalette, DecodeMapsOntoThePaletteOfItsInitbmp) {
  const std::string initBmp = WriteBmp24("init.bmp", {{0xAB, 0x03, 0xCD}});
  const std::string picture = WriteBmp24("pic.bmp", {{0xAB, 0x03, 0xCD}, {0xAB, 0x03, 0xCD}});
  const std::string out = (dir_ / "out.bmp").string();
  ASSERT_EQ(Run("decode " + picture + " " + out + " --initbmp " + initBmp), 0);
  const std::string with = Read("out.bmp");
  ASSERT_EQ(with.size(), 1078u + 2u);
  EXPECT_EQ(static_cast<unsigned char>(with[1078]), 10);
  EXPECT_EQ(static_cast<unsigned char>(with[1079]), 10);
  ASSERT_EQ(Run("decode " + picture + " " + out), 0);
  EXPECT_NE(static_cast<unsigned char>(Read("out.bmp")[1078]), 10);
}

}  // namespace
}  // namespace teku
