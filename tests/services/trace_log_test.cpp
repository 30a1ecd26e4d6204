// The trace log: fresh start, entry formats, the cap, a log deleted under us.
#include "services/trace_log.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>

namespace teku {
namespace {

class TraceLog : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("teku-trace-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir_);
    exe_ = (dir_ / "TEKUCROS.EXE").string();
  }
  void TearDown() override {
    TraceReset();
    std::filesystem::remove_all(dir_);
  }
  std::string Log() const {
    std::ifstream in(dir_ / "TEKUTRC.LOG", std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
  }
  std::filesystem::path dir_;
  std::string exe_;
};

TEST_F(TraceLog, NothingIsWrittenBeforeStartAndAFreshStartReplacesTheLog) {
  TraceWrite(1, "before");
  EXPECT_EQ(TraceCount(), 0);
  std::ofstream(dir_ / "TEKUTRC.LOG") << "old contents\n";
  TraceStart(exe_);
  EXPECT_EQ(Log(), "TRACE ON\n");
  EXPECT_EQ(TraceLogPath(), (dir_ / "TEKUTRC.LOG").string());
}

TEST_F(TraceLog, TextAndDumpEntriesHaveTheirFormats) {
  TraceStart(exe_);
  TraceWrite(9604, "\x94\xf1" "Baseline");  // cp932 bytes pass through untouched
  TraceWrite(-3, "");
  const std::uint8_t bytes[] = {0x12, 0x34, 0x56, 0x78, 0x9a};
  TraceDump(3300, bytes, 1);
  TraceDump(7, bytes, 2);  // the second word runs past the data: zero bytes, never an overread
  EXPECT_EQ(Log(),
            "TRACE ON\n9604 \x94\xf1" "Baseline\n-3 \n3300 12345678 \n7 12345678 9A000000 \n");
}

TEST_F(TraceLog, DumpWordCountIsBetweenOneAndFiftyOne) {
  TraceStart(exe_);
  std::vector<std::uint8_t> data(300, 0xAB);
  TraceDump(1, data, 0);
  TraceDump(2, data, 60);
  std::istringstream lines(Log());
  std::string line;
  std::getline(lines, line);
  std::getline(lines, line);
  EXPECT_EQ(line, "1 ABABABAB ");
  std::getline(lines, line);
  EXPECT_EQ(line.size(), std::string("2 ").size() + 51 * 9);
}

TEST_F(TraceLog, TheCapStopsAfterThreeHundredThousandAttempts) {
  TraceStart(exe_);
  for (int i = 0; i < kTraceCap - 1; ++i) TraceWrite(0, "");
  const auto before = Log().size();
  TraceWrite(1, "last");
  TraceWrite(2, "over");
  EXPECT_EQ(TraceCount(), kTraceCap);
  const std::string log = Log();
  EXPECT_EQ(log.substr(before), "1 last\n");
}

TEST_F(TraceLog, ADeletedLogStaysMissingButAttemptsStillCount) {
  TraceStart(exe_);
  std::filesystem::remove(dir_ / "TEKUTRC.LOG");
  TraceWrite(1, "lost");
  EXPECT_EQ(TraceCount(), 1);
  EXPECT_FALSE(std::filesystem::exists(dir_ / "TEKUTRC.LOG"));
}

TEST_F(TraceLog, AnUnwritableDirectoryStillTurnsTracingOn) {
  TraceStart((dir_ / "missing" / "TEKUCROS.EXE").string());
  EXPECT_TRUE(TraceIsOn());
  TraceWrite(1, "x");
  EXPECT_EQ(TraceCount(), 1);
}

TEST_F(TraceLog, ALogStartedAtAnExplicitPathTakesTheEntriesAndLeavesTheExeDirectoryAlone) {
  const auto path = dir_ / "elsewhere.log";
  std::ofstream(path) << "old\n";
  TraceStartAt(path.string());
  TraceWrite(7, "x");
  EXPECT_EQ(TraceLogPath(), path.string());
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  EXPECT_EQ(ss.str(), "TRACE ON\n7 x\n");
  EXPECT_FALSE(std::filesystem::exists(dir_ / "TEKUTRC.LOG"));
  TraceStart(exe_);  // a later ordinary start goes back beside the executable
  TraceWrite(8, "y");
  EXPECT_EQ(Log(), "TRACE ON\n8 y\n");
}

TEST_F(TraceLog, LinksAndFifosAtTheLogsNameAreNeverWrittenThrough) {
  namespace fs = std::filesystem;
  const fs::path log = dir_ / "TEKUTRC.LOG";
  const fs::path victim = dir_ / "victim";
  fs::create_symlink(dir_ / "outside.txt", log);  // dangling: would create a file elsewhere
  TraceStart(exe_);
  EXPECT_FALSE(fs::exists(dir_ / "outside.txt"));
  EXPECT_FALSE(fs::is_symlink(log));
  EXPECT_EQ(Log(), "TRACE ON\n");
  std::ofstream(victim) << "keep";
  fs::remove(log);
  fs::create_symlink(victim, log);  // planted while the program runs
  TraceWrite(1, "x");
  fs::remove(log);
  ASSERT_EQ(::mkfifo(log.c_str(), 0600), 0);
  TraceWrite(2, "y");  // would wait for a reader for ever
  std::ifstream in(victim);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "keep");
  EXPECT_EQ(TraceCount(), 2);
}

}  // namespace
}  // namespace teku
