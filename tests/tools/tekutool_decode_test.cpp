// tekutool decode as a script uses it: the record written as held, the exit codes, the
// reader's messages on stderr and the trace log where it is asked for.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/wait.h>

#include "surface/image_loader.h"

namespace teku {
namespace {

namespace fs = std::filesystem;

class TekutoolDecode : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("teku-decode-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  int Run(const std::string& args) {
    const std::string cmd = std::string(TEKU_TEKUTOOL) + " decode " + args + " 2>" +
                            (dir_ / "stderr").string();
    const int status = std::system(cmd.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  static std::string Read(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  static std::string Picture(const char* name) {
    return (fs::path(TEKU_TEST_DATA) / "pictures" / name).string();
  }
  fs::path dir_;
};

TEST_F(TekutoolDecode, WritesTheRecordAsTheLoaderHoldsIt) {
  const fs::path out = dir_ / "out.bmp";
  ASSERT_EQ(Run(Picture("b8_37x11.bmp") + " " + out.string() + " --initbmp none.bmp"), 0);
  DibSurface surface;
  TDibImage image;
  ASSERT_TRUE(LoadImageFile(surface, Picture("b8_37x11.bmp"), image, {}, nullptr));
  PixelLock lock(image);
  std::string expected(reinterpret_cast<const char*>(&image.FileHeader), kBmpHeaderBytes);
  expected.append(reinterpret_cast<const char*>(lock.bytes()), lock.size());
  EXPECT_EQ(Read(out), expected);
}

TEST_F(TekutoolDecode, ExitCodesTellUsageNoPictureAndFailure) {
  const std::string out = (dir_ / "out.bmp").string();
  EXPECT_EQ(Run(""), 2);
  EXPECT_EQ(Run(Picture("b8_32x8.bmp")), 2);
  EXPECT_EQ(Run(Picture("b8_32x8.bmp") + " " + out + " --bogus"), 2);
  EXPECT_EQ(Run(Picture("b8_32x8.bmp") + " " + out + " --trace"), 2);
  EXPECT_EQ(Run(Picture("b16_37x11.bmp") + " " + out), 3);
  EXPECT_FALSE(fs::exists(out));
  EXPECT_EQ(Run(Picture("b8_32x8.bmp") + " " + (dir_ / "no/such/dir/out.bmp").string()), 1);
}

TEST_F(TekutoolDecode, ShowsTheReadersMessageOnStderrAndWritesTheTraceLogWhereAsked) {
  const fs::path log = dir_ / "decode.log";
  EXPECT_EQ(Run(Picture("b1_37x11.bmp") + " " + (dir_ / "out.bmp").string() + " --trace " +
                log.string()),
            3);
  EXPECT_NE(Read(dir_ / "stderr").find("ﾋﾞｯﾄﾏｯﾌﾟのﾛｰﾄﾞ失敗"), std::string::npos);
  EXPECT_EQ(Read(log), "TRACE ON\n");
}

}  // namespace
}  // namespace teku
