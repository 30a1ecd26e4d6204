// Profile files against hostile files and races: what is not profile text, files this user may
// not read or write, read errors, planted links, FIFOs, huge files, two writers at once, and
// UTF-8 files with the byte-order mark.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "services/profile_file.h"
#include "services/regular_file.h"
#include "surface/picture_source.h"

namespace teku {
namespace {

namespace fs = std::filesystem;

class ProfileSafety : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("teku-profile-safety-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override {
    FailFileReadAt(-1);
    TryProfileTempSuffixFirst("");
    fs::remove_all(dir_);
  }
  std::string P(const std::string& name) const { return (dir_ / name).string(); }
  void Put(const std::string& name, const std::string& bytes) { std::ofstream(P(name), std::ios::binary) << bytes; }
  std::string Slurp(const std::string& name) const {
    std::ifstream in(P(name), std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
  }
  bool WriteRefused(const std::string& name) {
    try {
      WriteProfileString(P(name), "S", "B", "2");
    } catch (const ProfileWriteError&) {
      return true;
    }
    return false;
  }
  fs::path dir_;
};

// Runs `body` in a child process, as user nobody when the tests run as root (root may read and
// write everything), and gives its exit status.
int InChild(bool asNobody, const std::function<int()>& body) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    if (asNobody && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(90);
    ::_exit(body());
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 99;
}

TEST_F(ProfileSafety, FilesThatAreNotProfileTextAreReadAsTheyAreAndNeverRewritten) {
  const std::string png("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\x10", 20);
  const struct {
    const char* name;
    std::string bytes;
    ProfileFileState state;
  } cases[] = {
      {"EMPTY", "", ProfileFileState::kText},
      {"BLANK", " \r\n\t\r\n", ProfileFileState::kText},
      {"COMMENT", "; a note\r\n[S]\r\nA=1\r\n", ProfileFileState::kText},
      {"PICTURE", png, ProfileFileState::kNotText},
      {"NUL", std::string("[S]\r\nA=1\r\nN=\0\r\n", 15), ProfileFileState::kNotText},
      {"UTF16", std::string("\xFF\xFE[\0S\0]\0", 8), ProfileFileState::kNotText},
      {"CONTROL", "[S]\r\nA=\x01\x02\r\n", ProfileFileState::kNotText},
      {"NOSECTION", "just some words\r\nA=1\r\n", ProfileFileState::kNotText},
      {"NOLINEEND", std::string(5000, 'x') + "\n[S]\n", ProfileFileState::kNotText},
  };
  for (const auto& c : cases) {
    Put(c.name, c.bytes);
    EXPECT_EQ(CheckProfileFile(P(c.name)), c.state) << c.name;
    EXPECT_EQ(WriteRefused(c.name), c.state != ProfileFileState::kText) << c.name;
    if (c.state != ProfileFileState::kText) {
      EXPECT_EQ(Slurp(c.name), c.bytes) << c.name;
    }
  }
  EXPECT_EQ(ReadProfileString(P("NUL"), "S", "A", "d"), "1") << "read as the Windows functions would";
  EXPECT_EQ(CheckProfileFile(P("MISSING")), ProfileFileState::kMissing);
  // Once the user said yes, the foreign file is replaced whole.
  {
    ProfileBatch batch(P("PICTURE"), ForeignFile::kReplace);
    EXPECT_EQ(batch.state(), ProfileFileState::kNotText);
    WriteProfileString(P("PICTURE"), "S", "A", "1");
    batch.Commit();
  }
  EXPECT_EQ(Slurp("PICTURE"), "[S]\r\nA=1\r\n");
}

TEST_F(ProfileSafety, FifosDirectoriesAndHugeFilesNeitherHangNorLoad) {
  ASSERT_EQ(::mkfifo(P("FIFO.INI").c_str(), 0600), 0);
  fs::create_directory(P("DIR.INI"));
  Put("HUGE.INI", "[S]\r\nA=1\r\n" + std::string(static_cast<std::size_t>(kProfileFileMax), '\n'));
  for (const char* name : {"FIFO.INI", "DIR.INI", "HUGE.INI"}) {
    const ProfileFileState want = std::string(name) == "HUGE.INI" ? ProfileFileState::kTooLarge : ProfileFileState::kNotRegular;
    EXPECT_EQ(CheckProfileFile(P(name)), want) << name;
    EXPECT_EQ(ReadProfileString(P(name), "S", "A", "d"), "d") << name;
    EXPECT_TRUE(WriteRefused(name)) << name;
  }
  EXPECT_EQ(fs::file_size(P("HUGE.INI")), static_cast<std::uintmax_t>(kProfileFileMax) + 10);
  EXPECT_TRUE(fs::is_fifo(P("FIFO.INI")));
  // Readers of pictures take the same care.
  EXPECT_LT(PictureFile(P("FIFO.INI")).Size(), 0);
  char byte = 0;
  EXPECT_LT(PictureFile(P("FIFO.INI")).ReadAt(&byte, 0, 1), 0);
  EXPECT_FALSE(IsReadableRegularFile(P("FIFO.INI")));
  fs::create_symlink("/dev/zero", P("ZERO.BMP"));
  EXPECT_LT(PictureFile(P("ZERO.BMP")).Size(), 0);
}

TEST_F(ProfileSafety, AFileThisUserMayNotReadInFullOrWriteIsNeverReplaced) {
  // A read error part way through a 147 kB puzzle once cut it to 66 kB.
  std::string big = "[S]\r\n";
  for (int i = 0; big.size() < 147000; ++i) big += "K" + std::to_string(i) + "=" + std::string(40, 'v') + "\r\n";
  Put("BIG.CRS", big);
  FailFileReadAt(66000);
  EXPECT_TRUE(WriteRefused("BIG.CRS"));
  EXPECT_EQ(Slurp("BIG.CRS"), big);

  // Write-only for its owner: mode bits that look writable, but nobody else may touch it, and
  // its owner may not read it. Readable by all, writable by root: only root may change it.
  Put("W.INI", "[S]\r\nA=1\r\n");
  Put("R.INI", "[S]\r\nA=1\r\n");
  fs::permissions(P("W.INI"), fs::perms::owner_write);
  fs::permissions(P("R.INI"), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_read);
  fs::permissions(dir_, fs::perms::all);
  const bool root = ::geteuid() == 0;
  EXPECT_EQ(InChild(root, [&] { return WriteRefused("W.INI") ? 0 : 1; }), 0);
  if (root) {
    EXPECT_EQ(InChild(true, [&] { return WriteRefused("R.INI") ? 0 : 1; }), 0);
  }
  fs::permissions(P("W.INI"), fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_EQ(Slurp("W.INI"), "[S]\r\nA=1\r\n");
  EXPECT_EQ(Slurp("R.INI"), "[S]\r\nA=1\r\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 3) << "no temporary file left";
}

TEST_F(ProfileSafety, LinksAtTemporaryNamesAreNeverFollowedAndStaleOnesGo) {
  const fs::path elsewhere = dir_ / "elsewhere";
  fs::create_directory(elsewhere);
  std::ofstream(elsewhere / "victim") << "keep";
  fs::create_symlink(elsewhere / "victim", P("A.INI.tekusave-guessed!"));
  fs::create_symlink(elsewhere / "victim", P("A.INI.tekusave-Ab12Cd34"));
  fs::create_symlink(elsewhere / "absent", P("A.INI.tekusave-Zz99Yy88"));
  Put("A.INI.tekusave-0a1B2c3D", "left by a killed save");
  Put("A.INI.tekusave-notours", "a name of the user's");
  TryProfileTempSuffixFirst("guessed!");
  WriteProfileString(P("A.INI"), "S", "A", "1");
  EXPECT_EQ(Slurp("A.INI"), "[S]\r\nA=1\r\n");
  EXPECT_EQ(fs::status(P("A.INI")).permissions() & fs::perms::others_read, fs::perms::others_read);
  std::ifstream victim(elsewhere / "victim");
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(victim), {}), "keep");
  EXPECT_FALSE(fs::exists(elsewhere / "absent"));
  EXPECT_TRUE(fs::is_symlink(P("A.INI.tekusave-guessed!"))) << "not of our naming: left alone";
  EXPECT_TRUE(fs::exists(P("A.INI.tekusave-notours")));
  for (const char* stale : {"A.INI.tekusave-Ab12Cd34", "A.INI.tekusave-Zz99Yy88", "A.INI.tekusave-0a1B2c3D"}) {
    EXPECT_FALSE(fs::exists(fs::symlink_status(P(stale)))) << stale;
  }
}

TEST_F(ProfileSafety, TwoProcessesSavingAtOnceLoseNoUpdate) {
  const std::string path = P("COUNT.INI");
  WriteProfileString(path, "S", "N", "0");
  const auto rounds = [&] {
    for (int i = 0; i < 40; ++i) {
      ProfileBatch batch(path);
      const int n = std::stoi(ReadProfileString(path, "S", "N", "0"));
      WriteProfileString(path, "S", "N", std::to_string(n + 1));
      batch.Commit();
    }
    return 0;
  };
  const pid_t other = ::fork();
  if (other == 0) ::_exit(rounds());
  rounds();
  int status = 0;
  ::waitpid(other, &status, 0);
  EXPECT_EQ(ReadProfileString(path, "S", "N", ""), "80");
}

TEST_F(ProfileSafety, AFileChangedInPlaceWithItsOldTimeIsParsedAgain) {
  const std::string path = P("C.INI");
  const auto putAged = [&](const std::string& text) {
    Put("C.INI", text);
    const timespec old[2] = {{1000000000, 0}, {1000000000, 0}};
    ::utimensat(AT_FDCWD, path.c_str(), old, 0);
  };
  putAged("[S]\r\nA=1\r\n");
  EXPECT_EQ(ReadProfileString(path, "S", "A", ""), "1");
  putAged("[S]\r\nA=2\r\n");
  EXPECT_EQ(ReadProfileString(path, "S", "A", ""), "2");
}

TEST_F(ProfileSafety, Utf8WithTheMarkIsReadAsCp932AndWrittenBackAsItCame) {
  Put("U.INI", "\xEF\xBB\xBF; \xED\x95\x9C\xEA\xB5\xAD\r\n[S]\r\nTITLE=\xE3\x83\x86\xE3\x82\xB9\xE3\x83\x88\r\nA=1\r\n");
  EXPECT_EQ(ReadProfileString(P("U.INI"), "S", "TITLE", ""), "\x83\x65\x83\x58\x83\x67");
  WriteProfileString(P("U.INI"), "S", "A", "\x82\xa0");
  EXPECT_EQ(Slurp("U.INI"),
            "\xEF\xBB\xBF; \xED\x95\x9C\xEA\xB5\xAD\r\n[S]\r\nTITLE=\xE3\x83\x86\xE3\x82\xB9\xE3\x83\x88\r\nA=\xE3\x81\x82\r\n")
      << "the Korean comment, which code page 932 cannot hold, keeps its bytes";
}

}  // namespace
}  // namespace teku
