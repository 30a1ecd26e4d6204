// tekutool info, resave and render as scripts use them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <cstring>
#include <sys/stat.h>
#include <sys/wait.h>

#include "surface/dib_image.h"

namespace teku {
namespace {

namespace fs = std::filesystem;

class TekutoolPuzzle : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("teku-tool-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  int Run(const std::string& args, std::string* out = nullptr) {
    const std::string cmd = std::string(TEKU_TEKUTOOL) + " " + args + " >" + (dir_ / "stdout").string() +
                            " 2>" + (dir_ / "stderr").string();
    const int status = std::system(cmd.c_str());
    if (out != nullptr) *out = Read(dir_ / "stdout");
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  static std::string Read(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  static std::string Windows(const char* name) {
    return (fs::path(TEKU_TEST_DATA) / "windows" / name).string();
  }
  fs::path dir_;
};

TEST_F(TekutoolPuzzle, InfoPrintsThePuzzleAsJsonInUtf8) {
  std::string out;
  ASSERT_EQ(Run("info " + Windows("NANKURO10.CRS"), &out), 0);
  EXPECT_EQ(out.rfind("{\"width\":10,\"height\":10,\"title\":\"", 0), 0u) << out.substr(0, 80);
  EXPECT_NE(out.find("\"kind\":\"nankuro\""), std::string::npos);
  EXPECT_NE(out.find("\"kaitou\":[4,5,6,255"), std::string::npos);
  EXPECT_NE(out.find("\"cells\":[[1,2,3,255,"), std::string::npos);
  EXPECT_NE(out.find("ナ"), std::string::npos) << "cp932 comes out as UTF-8";
  ASSERT_EQ(Run("info " + Windows("NANKURO10.CRS") + " --section OTHERE", &out), 0);
  EXPECT_EQ(out.rfind("{\"width\":16,\"height\":16", 0), 0u) << "another section reads as empty";
}

TEST_F(TekutoolPuzzle, ResaveOfAWindowsFileWritesItByteForByte) {
  const fs::path out = dir_ / "OUT.CRS";
  ASSERT_EQ(Run("resave " + Windows("NANKURO10.CRS") + " " + out.string()), 0);
  EXPECT_EQ(Read(out), Read(Windows("NANKURO10.CRS")));
  ASSERT_EQ(Run("resave " + Windows("NANKURO10.CRS") + " " + out.string() + " --input"), 0);
  EXPECT_NE(Read(out).find("INPUTTBL7=256"), std::string::npos);
}

TEST_F(TekutoolPuzzle, RenderComposesTheWholeGrid) {
  const fs::path bmp = dir_ / "grid.bmp";
  const fs::path moji = dir_ / "moji.bmp";
  ASSERT_EQ(Run("render " + Windows("NANKURO10.CRS") + " " + bmp.string() + " --mode answer --cursor 0,0 --sheets " +
                TEKU_PROGRAM_DIR + " --moji-sheet " + moji.string()),
            0)
      << Read(dir_ / "stderr");
  const std::string picture = Read(bmp);
  ASSERT_EQ(picture.size(), 1078u + 320u * 320u);
  BitmapInfoHeader info;
  std::memcpy(&info, picture.data() + 14, sizeof info);
  EXPECT_EQ(info.biWidth, 320);
  EXPECT_EQ(Read(moji).size(), 1078u + 512u * 512u);
}

TEST_F(TekutoolPuzzle, ExitCodes) {
  EXPECT_EQ(Run(""), 2);
  EXPECT_EQ(Run("nonsense"), 2);
  EXPECT_EQ(Run("--help"), 0);
  EXPECT_EQ(Run("info"), 2);
  EXPECT_EQ(Run("info a b"), 2);
  EXPECT_EQ(Run("render " + Windows("NANKURO10.CRS") + " x.bmp --mode play"), 2);
  EXPECT_EQ(Run("info " + (dir_ / "missing.CRS").string()), 1);
  ASSERT_EQ(::mkfifo((dir_ / "fifo.CRS").c_str(), 0600), 0);
  EXPECT_EQ(Run("info " + (dir_ / "fifo.CRS").string()), 1) << "at once, not waiting for a writer";
  EXPECT_NE(Read(dir_ / "stderr").find("not a puzzle file"), std::string::npos);
  EXPECT_EQ(Run("render " + Windows("NANKURO10.CRS") + " " + (dir_ / "g.bmp").string() + " --sheets " +
                dir_.string()),
            3)
      << "no glyph sheets, no picture";
}

TEST_F(TekutoolPuzzle, ExportAndImportOfIpuzGiveThePuzzleBack) {
  const std::string ipuz = (dir_ / "N.ipuz").string(), back = (dir_ / "B.CRS").string();
  ASSERT_EQ(Run("export " + Windows("NANKURO10.CRS") + " " + ipuz), 0);
  ASSERT_EQ(Run("import " + ipuz + " " + back), 0);
  std::string before, after;
  ASSERT_EQ(Run("info " + Windows("NANKURO10.CRS"), &before), 0);
  ASSERT_EQ(Run("info " + back, &after), 0);
  EXPECT_EQ(after, before);
  std::ofstream(dir_ / "bad.ipuz") << "{\"kind\":[\"http://ipuz.org/sudoku#1\"]}";
  EXPECT_EQ(Run("import " + (dir_ / "bad.ipuz").string() + " " + back), 1);
  EXPECT_NE(Read(dir_ / "stderr").find("クロスワードではない"), std::string::npos);
  EXPECT_EQ(Run("export " + Windows("NANKURO10.CRS")), 2);
}

TEST_F(TekutoolPuzzle, OnlyTheWindowCommandsLoadQtAndTheySpeakThroughTekutool) {
  std::string needed;
  ASSERT_EQ(std::system(("readelf -d " + std::string(TEKU_TEKUTOOL) + " >" + (dir_ / "stdout").string()).c_str()), 0);
  needed = Read(dir_ / "stdout");
  EXPECT_NE(needed.find("NEEDED"), std::string::npos);
  for (const char* lib : {"Qt6", "SDL", "fluidsynth", "icu"}) EXPECT_EQ(needed.find(lib), std::string::npos) << lib;
  // render runs in the second executable, with its usage and exit codes as tekutool's own.
  std::string err;
  EXPECT_EQ(Run("render"), 2);
  err = Read(dir_ / "stderr");
  EXPECT_NE(err.find("usage: tekutool render PUZZLE"), std::string::npos) << err;
}

}  // namespace
}  // namespace teku
