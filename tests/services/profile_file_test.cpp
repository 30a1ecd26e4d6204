#include "services/profile_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

namespace teku {
namespace {

namespace fs = std::filesystem;

std::string Slurp(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

void Spit(const fs::path& p, const std::string& text) {
  std::ofstream out(p, std::ios::binary);
  out << text;
}

class ProfileFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("teku_profile_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    path_ = (dir_ / "T.INI").string();
  }
  void TearDown() override {
    SetProfileWriteFailureForTest(nullptr);
    fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add);
    fs::remove_all(dir_);
  }
  std::string Read(const std::string& key) { return ReadProfileString(path_, "S", key); }
  fs::path dir_;
  std::string path_;
};

TEST_F(ProfileFileTest, ReadsLikeTheWindowsFunctions) {
  Spit(path_,
       "[other]\r\nA=wrong\r\n"
       "[ s ]\r\n"
       "  Key1 \t=\t  value one \r\n"
       "KEY1=second\n"
       "q1=\"abc\"\r"
       "q2=\"abc\n"
       "q3='x'\r\n"
       "q4=\"a'\r\n"
       "nokey\r\n"
       "empty=\r\n"
       "[S]\r\nLATE=1\r\n"
       "last=no newline");
  EXPECT_EQ(Read("key1"), "value one");
  EXPECT_EQ(Read("Q1"), "abc");
  EXPECT_EQ(Read("q2"), "\"abc");
  EXPECT_EQ(Read("q3"), "x");
  EXPECT_EQ(Read("q4"), "\"a'");
  EXPECT_EQ(Read("A"), "");
  std::string v = "unset";
  EXPECT_FALSE(FindProfileString(path_, "S", "nokey", &v));
  EXPECT_TRUE(FindProfileString(path_, "s", "EMPTY", &v));
  EXPECT_EQ(v, "");
  EXPECT_EQ(ReadProfileString(path_, "S", "missing", "dflt"), "dflt");
  EXPECT_EQ(ReadProfileString(path_, "S", "empty", "dflt"), "");
  // Only the first section of a name counts.
  EXPECT_FALSE(FindProfileString(path_, "S", "LATE", &v));
  EXPECT_EQ(ReadProfileString((dir_ / "none.ini").string(), "S", "A", "d"), "d");
}

TEST_F(ProfileFileTest, LongValuesAreCutAtACharacterBoundary) {
  WriteProfileString(path_, "S", "K", std::string(1500, 'x'));
  EXPECT_EQ(Read("K"), std::string(1023, 'x'));
  // 1022 single bytes then a double-byte character: its lead byte would be byte 1023.
  std::string mixed = std::string(1022, 'a') + "\x82\xa0" + "zz";
  WriteProfileString(path_, "S", "M", mixed);
  EXPECT_EQ(Read("M"), std::string(1022, 'a'));
  // A trail byte 0x5C is just a byte.
  WriteProfileString(path_, "S", "T", "\x83\x5c\x95\x5c");
  EXPECT_EQ(Read("T"), "\x83\x5c\x95\x5c");
}

TEST_F(ProfileFileTest, WritesInPlaceAndAppendsAfterTheLastKey) {
  Spit(path_, "; note\r\n[S]\r\nAlpha = 1\r\nBeta=2\r\n\r\n[T]\r\nX=1\r\n");
  WriteProfileString(path_, "S", "ALPHA", "9");
  WriteProfileString(path_, "s", "Gamma", "3");
  WriteProfileString(path_, "U", "Y", "4");
  EXPECT_EQ(Slurp(path_),
            "; note\r\n[S]\r\nAlpha=9\r\nBeta=2\r\nGamma=3\r\n\r\n[T]\r\nX=1\r\n[U]\r\nY=4\r\n");
}

TEST_F(ProfileFileTest, CreatesTheFileAndLeavesEqualValuesAlone) {
  WriteProfileString(path_, "S", "K", "v");
  EXPECT_EQ(Slurp(path_), "[S]\r\nK=v\r\n");
  Spit(path_, "[S]\nK = \"v\"\n");
  const auto before = fs::last_write_time(path_);
  WriteProfileString(path_, "S", "k", "v");
  EXPECT_EQ(Slurp(path_), "[S]\nK = \"v\"\n");
  EXPECT_EQ(fs::last_write_time(path_), before);
  Spit(path_, "[S]\r\nA=1");  // no final line break
  WriteProfileString(path_, "S", "B", "2");
  EXPECT_EQ(Slurp(path_), "[S]\r\nA=1\r\nB=2\r\n");
}

TEST_F(ProfileFileTest, ValuesRoundTripExactlyAndCannotInjectKeys) {
  const std::string values[] = {" lead", "trail\t", "\"quoted\"", "'single'", "\"open",
                                "a\"b\"", "  ", "\"", "plain", ""};
  for (const auto& v : values) {
    WriteProfileString(path_, "S", "K", v);
    EXPECT_EQ(Read("K"), v) << v;
  }
  WriteProfileString(path_, "S", "TITLE", "line\r\nPASSWORD=x\ry\nz");
  EXPECT_EQ(Read("TITLE"), "line  PASSWORD=x y z");
  std::string v;
  EXPECT_FALSE(FindProfileString(path_, "S", "PASSWORD", &v));
}

TEST_F(ProfileFileTest, ReadOnlyFileRaisesWithThePathAndStaysIntact) {
  WriteProfileString(path_, "S", "K", "old");
  const std::string before = Slurp(path_);
  fs::permissions(path_, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  try {
    WriteProfileString(path_, "S", "K", "new");
    FAIL() << "no error";
  } catch (const ProfileWriteError& e) {
    EXPECT_EQ(e.path(), path_);
    EXPECT_EQ(std::string(e.what()), path_ + " に書き込めません");
  }
  EXPECT_EQ(Slurp(path_), before);
  {
    ProfileWriteBatch batch;
    EXPECT_THROW(WriteProfileString(path_, "S", "K", "new"), ProfileWriteError);
  }
  EXPECT_EQ(Slurp(path_), before);
  for (const auto& entry : fs::directory_iterator(dir_)) {
    EXPECT_EQ(entry.path().filename(), "T.INI");  // no temporary left behind
  }
}

TEST_F(ProfileFileTest, BatchIsSeenByReadsAndWrittenOnceEvenOnFailure) {
  {
    ProfileWriteBatch batch;
    WriteProfileString(path_, "S", "A", "1");
    EXPECT_EQ(Read("A"), "1");
    EXPECT_FALSE(fs::exists(path_));
    batch.Commit();
  }
  EXPECT_EQ(Slurp(path_), "[S]\r\nA=1\r\n");
  SetProfileWriteFailureForTest([](const std::string&, const std::string& k) { return k == "C"; });
  try {
    ProfileWriteBatch batch;
    WriteProfileString(path_, "S", "B", "2");
    WriteProfileString(path_, "S", "C", "3");
    WriteProfileString(path_, "S", "D", "4");
    batch.Commit();
  } catch (const ProfileWriteError&) {
  }
  EXPECT_EQ(Slurp(path_), "[S]\r\nA=1\r\nB=2\r\n");
}

// ---- Files written by the Windows functions -----------------------------------------------

std::map<std::string, std::string> WindowsReads(const std::string& jsonPath) {
  std::map<std::string, std::string> reads;
  std::ifstream in(jsonPath);
  std::string line;
  bool inReads = false;
  const std::regex entry("^\\s*\"([^\"]+)\": \"([0-9a-f]*)\",?\\s*$");
  while (std::getline(in, line)) {
    if (line.find("\"reads\": {") != std::string::npos) {
      inReads = true;
      continue;
    }
    if (!inReads) continue;
    std::smatch m;
    if (std::regex_match(line, m, entry)) {
      std::string bytes;
      const std::string hex = m[2];
      for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
      }
      reads[m[1]] = bytes;
    } else if (line.find('}') != std::string::npos) {
      inReads = false;
    }
  }
  return reads;
}

TEST(ProfileFileWindows, EveryKeyReadsAsWindowsReadIt) {
  for (const std::string name : {"NANKURO10.CRS", "TEKUINI.INI"}) {
    const std::string file = std::string(TEKU_TEST_DATA) + "/windows/" + name;
    const auto reads = WindowsReads(file + ".reads.json");
    ASSERT_GT(reads.size(), 20u) << name;
    for (const auto& [key, expected] : reads) {
      EXPECT_EQ(ReadProfileString(file, "TEKUCROSE", key), expected) << name << " " << key;
    }
  }
}

TEST(ProfileFileWindows, WritingTheSameKeysReproducesTheFile) {
  const std::string dir = std::string(TEKU_TEST_DATA) + "/windows/";
  const fs::path out = fs::temp_directory_path() / ("teku_nankuro_" + std::to_string(::getpid()));
  fs::remove(out);
  std::ifstream writes(dir + "NANKURO10.CRS.writes.txt", std::ios::binary);
  std::string line;
  {
    ProfileWriteBatch batch;
    while (std::getline(writes, line)) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      const std::size_t eq = line.find('=');
      ASSERT_NE(eq, std::string::npos);
      WriteProfileString(out.string(), "TEKUCROSE", line.substr(0, eq), line.substr(eq + 1));
    }
    batch.Commit();
  }
  EXPECT_EQ(Slurp(out), Slurp(dir + "NANKURO10.CRS"));
  fs::remove(out);
}

}  // namespace
}  // namespace teku
