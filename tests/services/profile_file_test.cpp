// Profile files: reading as the Windows functions read, writing so that they read it back,
// atomic replacement, batches.
#include "services/profile_file.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <regex>
#include <sstream>
#include <sys/stat.h>

namespace teku {
namespace {

namespace fs = std::filesystem;

std::string Slurp(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

std::string Hex(const std::string& s) {
  static const char* digits = "0123456789abcdef";
  std::string out;
  for (unsigned char c : s) {
    out += digits[c >> 4];
    out += digits[c & 15];
  }
  return out;
}

class Profile : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("teku-profile-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    path_ = (dir_ / "A.INI").string();
  }
  void TearDown() override {
    FailProfileWriteNumber(0);
    fs::permissions(dir_, fs::perms::owner_all);
    fs::remove_all(dir_);
  }
  void Put(const std::string& text) { std::ofstream(path_, std::ios::binary) << text; }
  std::string Read(const std::string& key, const std::string& section = "S") {
    return ReadProfileString(path_, section, key, "<missing>");
  }
  fs::path dir_;
  std::string path_;
};

// ---- the Windows-written fixtures -----------------------------------------------------------

void CheckFixtureReads(const std::string& name) {
  const std::string dir = std::string(TEKU_TEST_DATA) + "/windows/";
  const std::string json = Slurp(dir + name + ".reads.json");
  const std::regex entry("\"([A-Za-z0-9]+)\": \"([0-9a-f]*)\"");
  int checked = 0;
  const auto reads = json.find("\"reads\"");
  for (std::sregex_iterator it(json.begin() + static_cast<std::ptrdiff_t>(reads), json.end(), entry), end;
       it != end; ++it) {
    const std::string key = (*it)[1];
    if (key == "section") continue;
    EXPECT_EQ(Hex(ReadProfileString(dir + name, "TEKUCROSE", key, "")), (*it)[2].str()) << key;
    ++checked;
  }
  EXPECT_GT(checked, 20);
}

TEST(WindowsFiles, EveryKeyReadsAsTheWindowsFunctionsReadIt) {
  CheckFixtureReads("TEKUINI.INI");
  CheckFixtureReads("NANKURO10.CRS");
}

TEST(WindowsFiles, WritingTheSameKeysInOrderGivesTheSameFileByteForByte) {
  const std::string dir = std::string(TEKU_TEST_DATA) + "/windows/";
  const fs::path out = fs::temp_directory_path() / "teku-profile-rewrite.CRS";
  fs::remove(out);
  std::istringstream writes(Slurp(dir + "NANKURO10.CRS.writes.txt"));
  std::string line;
  {
    ProfileBatch batch(out.string());
    while (std::getline(writes, line)) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      const auto eq = line.find('=');
      if (eq == std::string::npos) continue;
      WriteProfileString(out.string(), "TEKUCROSE", line.substr(0, eq), line.substr(eq + 1));
    }
    batch.Commit();
  }
  EXPECT_EQ(Slurp(out), Slurp(dir + "NANKURO10.CRS"));
  fs::remove(out);
}

// ---- reading ----------------------------------------------------------------------------

TEST_F(Profile, NamesMatchWithoutCaseAndBlanksAroundKeysAndValuesAreIgnored) {
  Put("[s]\r\n  Left \t=\t 246  \r\nleft=999\r\n[S]\r\nTop=1\r\n");
  EXPECT_EQ(Read("LEFT"), "246") << "first key of the first matching section";
  EXPECT_EQ(Read("Top"), "<missing>") << "a second section of the same name is not read";
  EXPECT_EQ(Read("Left", "OTHER"), "<missing>");
}

TEST_F(Profile, QuotesLineEndsEmptyValuesAndLinesWithoutEquals) {
  Put("[S]\nA=\"abc\"\rB=\"abc\nC='x'\r\nD=\r\nE\r\nF='x\"\r\nG=  \" y \"  ");
  EXPECT_EQ(Read("A"), "abc");
  EXPECT_EQ(Read("B"), "\"abc");
  EXPECT_EQ(Read("C"), "x");
  EXPECT_EQ(Read("D"), "") << "present and empty";
  EXPECT_EQ(Read("E"), "<missing>") << "a line without '=' is no key";
  EXPECT_EQ(Read("F"), "'x\"");
  EXPECT_EQ(Read("G"), " y ");
}

TEST_F(Profile, LongValuesAreCutAt1023BytesOnACharacterBoundary) {
  Put("[S]\r\nA=" + std::string(1500, 'x') + "\r\nB=" + std::string(1022, 'x') + "\x82\xa0" +
      "\r\nC=\x83\x5c\x83\x5c\r\n");
  EXPECT_EQ(Read("A"), std::string(1023, 'x'));
  EXPECT_EQ(Read("B"), std::string(1022, 'x')) << "never half of a double-byte character";
  EXPECT_EQ(Read("C"), "\x83\x5c\x83\x5c") << "a trail byte 0x5C is just a byte";
}

TEST_F(Profile, AMissingFileReadsAsMissing) {
  EXPECT_EQ(Read("A"), "<missing>");
  EXPECT_FALSE(fs::exists(path_));
}

// ---- writing ----------------------------------------------------------------------------

TEST_F(Profile, CreatesTheFileAndAppendsSectionsWithoutABlankLine) {
  WriteProfileString(path_, "S", "A", "1");
  EXPECT_EQ(Slurp(path_), "[S]\r\nA=1\r\n");
  WriteProfileString(path_, "T", "B", "2");
  WriteProfileString(path_, "S", "C", "3");
  EXPECT_EQ(Slurp(path_), "[S]\r\nA=1\r\nC=3\r\n[T]\r\nB=2\r\n");
}

TEST_F(Profile, ReplacesInPlaceKeepingSpellingAndEveryOtherLine) {
  Put("; comment\n[s]\n  left = 1  \n\nx\n[T]\nTop=5");
  WriteProfileString(path_, "S", "LEFT", "250");
  WriteProfileString(path_, "S", "New", "v");
  WriteProfileString(path_, "T", "Z", "9");
  EXPECT_EQ(Slurp(path_), "; comment\n[s]\nleft=250\r\nNew=v\r\n\nx\n[T]\nTop=5\r\nZ=9\r\n");
}

TEST_F(Profile, DeletingAKeyTakesItsLineAndNothingElse) {
  Put("; c\n[s]\nA=1\nb = 2\nC=3\n[T]\nB=5\n");
  DeleteProfileKey(path_, "S", "B");
  EXPECT_EQ(Slurp(path_), "; c\n[s]\nA=1\nC=3\n[T]\nB=5\n");
  DeleteProfileKey(path_, "S", "missing");
  DeleteProfileKey(path_, "U", "A");
  EXPECT_EQ(Slurp(path_), "; c\n[s]\nA=1\nC=3\n[T]\nB=5\n");
  {
    // In a batch: a key written and deleted again leaves no trace, the others keep their places.
    ProfileBatch batch(path_);
    WriteProfileString(path_, "S", "N", "x");
    WriteProfileString(path_, "S", "M", "y");
    DeleteProfileKey(path_, "S", "N");
    DeleteProfileKey(path_, "S", "A");
    EXPECT_EQ(Read("M"), "y");
    EXPECT_EQ(Read("A"), "<missing>");
    batch.Commit();
  }
  EXPECT_EQ(Slurp(path_), "; c\n[s]\nC=3\nM=y\r\n[T]\nB=5\n");
}

TEST_F(Profile, WritingTheStoredValueLeavesTheFileUntouched) {
  Put("[S]\nA = 1 \n");
  struct stat before {};
  ::stat(path_.c_str(), &before);
  WriteProfileString(path_, "s", "a", "1");
  struct stat after {};
  ::stat(path_.c_str(), &after);
  EXPECT_EQ(before.st_ino, after.st_ino);
  EXPECT_EQ(Slurp(path_), "[S]\nA = 1 \n");
}

TEST_F(Profile, ValuesReadingWouldChangeRoundTripAndLineBreaksCannotInjectKeys) {
  const std::string values[] = {" lead", "trail\t", "\"q\"", "'s'", "\"", "a\"b", "", "  "};
  for (int i = 0; i < 8; ++i) WriteProfileString(path_, "S", "K" + std::to_string(i), values[i]);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(Read("K" + std::to_string(i)), values[i]) << i;
  WriteProfileString(path_, "S", "TITLE", "x\r\nPASSWORD=\nY");
  EXPECT_EQ(Read("TITLE"), "x  PASSWORD= Y");
  EXPECT_EQ(Read("PASSWORD"), "<missing>");
  EXPECT_EQ(EncodeProfileValue(" lead"), "\" lead\"");
}

TEST_F(Profile, AReadOnlyFileRaisesTheErrorWithItsPathAndStaysAsItWas) {
  Put("[S]\r\nA=1\r\n");
  fs::permissions(path_, fs::perms::owner_read | fs::perms::group_read);
  try {
    WriteProfileString(path_, "S", "A", "2");
    FAIL() << "no error";
  } catch (const ProfileWriteError& e) {
    EXPECT_EQ(e.path(), path_);
    EXPECT_EQ(std::string(e.what()), path_ + " に書き込めません");
  }
  EXPECT_EQ(Slurp(path_), "[S]\r\nA=1\r\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1)
      << "no temporary file is left behind";
}

// ---- batches ------------------------------------------------------------------------------

TEST_F(Profile, ABatchIsSeenByReadsAndWrittenOnce) {
  Put("[S]\r\nA=1\r\n");
  {
    ProfileBatch batch(path_);
    WriteProfileString(path_, "S", "A", "2");
    WriteProfileString(path_, "S", "B", "3");
    EXPECT_EQ(Read("A"), "2");
    EXPECT_EQ(Slurp(path_), "[S]\r\nA=1\r\n") << "nothing on disk before the batch ends";
    {
      ProfileBatch inner(path_);
      WriteProfileString(path_, "S", "C", "4");
    }
    EXPECT_EQ(Slurp(path_), "[S]\r\nA=1\r\n");
  }
  EXPECT_EQ(Slurp(path_), "[S]\r\nA=2\r\nB=3\r\nC=4\r\n");
}

TEST_F(Profile, AWriteFailingPartWayKeepsTheKeysWrittenBeforeIt) {
  try {
    ProfileBatch batch(path_);
    FailProfileWriteNumber(3);
    WriteProfileString(path_, "S", "A", "1");
    WriteProfileString(path_, "S", "B", "2");
    WriteProfileString(path_, "S", "C", "3");
    FAIL() << "no error";
  } catch (const ProfileWriteError&) {
  }
  EXPECT_EQ(Slurp(path_), "[S]\r\nA=1\r\nB=2\r\n");
}

TEST_F(Profile, ABatchOnAReadOnlyFileReportsOnCommit) {
  Put("[S]\r\n");
  fs::permissions(path_, fs::perms::owner_read);
  ProfileBatch batch(path_);
  WriteProfileString(path_, "S", "A", "1");
  EXPECT_THROW(batch.Commit(), ProfileWriteError);
  EXPECT_EQ(Slurp(path_), "[S]\r\n");
}

}  // namespace
}  // namespace teku
