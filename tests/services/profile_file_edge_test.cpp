// Profile files: the less common shapes of file and path, and what a write keeps of the file.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "services/profile_file.h"

namespace teku {
namespace {

namespace fs = std::filesystem;

class ProfileEdge : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("teku-profile-edge-" +
            std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    path_ = (dir_ / "E.INI").string();
  }
  void TearDown() override {
    FailProfileWriteNumber(0);
    fs::remove_all(dir_);
  }
  void Put(const std::string& text) { std::ofstream(path_, std::ios::binary) << text; }
  std::string Slurp() {
    std::ifstream in(path_, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
  }
  std::string Read(const std::string& key) { return ReadProfileString(path_, "S", key, "<missing>"); }
  fs::path dir_;
  std::string path_;
};

TEST_F(ProfileEdge, SectionHeadersWithBlanksAndKeysWithEqualsInTheirValue) {
  Put("  [ S ]  \r\nA= x=y \r\n==z\r\n\"B\"=1\r\n");
  EXPECT_EQ(Read("A"), "x=y");
  EXPECT_EQ(Read("B"), "<missing>") << "quotes belong to the name";
  EXPECT_EQ(Read("\"b\""), "1");
}

TEST_F(ProfileEdge, HostileBytesReadWithoutHarm) {
  const char head[] = "[S]\r\nA=1\r\nN=a\0\0b\r\n\r\r\r\n[";
  std::string text(head, sizeof head - 1);
  text += std::string(100000, '[');
  text += "\nB=";
  text += std::string(200000, '\x82');  // lead bytes without trail bytes
  Put(text);
  EXPECT_EQ(Read("A"), "1");
  EXPECT_EQ(Read("N"), std::string("a\0\0b", 4)) << "NUL bytes are bytes like any other";
  const std::string b = ReadProfileString(path_, "S", "B", "");
  EXPECT_LE(b.size(), kProfileValueMax);
}

TEST_F(ProfileEdge, AWriteKeepsTheFilePermissions) {
  Put("[S]\r\nA=1\r\n");
  fs::permissions(path_, fs::perms::owner_read | fs::perms::owner_write);
  WriteProfileString(path_, "S", "A", "2");
  EXPECT_EQ(fs::status(path_).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_EQ(Read("A"), "2");
}

TEST_F(ProfileEdge, AMissingFolderOrAFolderInPlaceOfTheFileRaisesTheError) {
  const std::string inMissing = (dir_ / "no" / "E.INI").string();
  EXPECT_THROW(WriteProfileString(inMissing, "S", "A", "1"), ProfileWriteError);
  fs::create_directory(path_);
  try {
    WriteProfileString(path_, "S", "A", "1");
    FAIL() << "no error";
  } catch (const ProfileWriteError& e) {
    EXPECT_EQ(e.path(), path_);
  }
  EXPECT_TRUE(fs::is_directory(path_));
  EXPECT_EQ(ReadProfileString(path_, "S", "A", "d"), "d");
}

TEST_F(ProfileEdge, ANewKeyGoesIntoTheFirstOfTwoSectionsOfOneName) {
  Put("[S]\r\nA=1\r\n[T]\r\n[s]\r\nB=2\r\n");
  WriteProfileString(path_, "S", "C", "3");
  EXPECT_EQ(Slurp(), "[S]\r\nA=1\r\nC=3\r\n[T]\r\n[s]\r\nB=2\r\n");
}

TEST_F(ProfileEdge, ABatchForOneFileLeavesOtherFilesDirect) {
  const std::string other = (dir_ / "O.INI").string();
  ProfileBatch batch(path_);
  WriteProfileString(path_, "S", "A", "1");
  WriteProfileString(other, "S", "B", "2");
  EXPECT_TRUE(fs::exists(other));
  EXPECT_FALSE(fs::exists(path_));
  batch.Commit();
  EXPECT_EQ(Read("A"), "1");
}

TEST_F(ProfileEdge, AFailureInsideNestedBatchesStillFlushesWhatCameBefore) {
  try {
    ProfileBatch outer(path_);
    WriteProfileString(path_, "S", "A", "1");
    ProfileBatch inner(path_);
    FailProfileWriteNumber(2);
    WriteProfileString(path_, "S", "B", "2");
    WriteProfileString(path_, "S", "C", "3");
    FAIL() << "no error";
  } catch (const ProfileWriteError&) {
  }
  EXPECT_EQ(Slurp(), "[S]\r\nA=1\r\nB=2\r\n");
}

}  // namespace
}  // namespace teku
