// tekutool solve as scripts use it: the count, the differing words, the suggestion and the exit
// codes (0 unique, 1 not, 2 bad input, 3 limit).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/wait.h>

namespace teku {
namespace {

namespace fs = std::filesystem;

class TekutoolSolve : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("teku-solve-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  int Run(const std::string& args, std::string* out = nullptr) {
    const std::string cmd = std::string(TEKU_TEKUTOOL) + " solve " + args + " >" + (dir_ / "out").string() + " 2>/dev/null";
    const int status = std::system(cmd.c_str());
    if (out != nullptr) {
      std::ifstream in(dir_ / "out", std::ios::binary);
      *out = {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  std::string Write(const std::string& name, const std::string& bytes) {
    std::ofstream(dir_ / name, std::ios::binary) << bytes;
    return (dir_ / name).string();
  }
  const std::string sample1_ = std::string(TEKU_PROGRAM_DIR) + "/SAMPLE1.CRS";
  fs::path dir_;
};

TEST_F(TekutoolSolve, TheSampleHasAnotherSolutionUntilTheSuggestedCellsAreGiven) {
  std::string out;
  EXPECT_EQ(Run(sample1_, &out), 1);
  EXPECT_EQ(out.rfind("solutions: 2+\n", 0), 0u) << out;
  EXPECT_NE(out.find("word down"), std::string::npos) << out;
  EXPECT_EQ(Run(sample1_ + " --suggest", &out), 1) << "the exit tells of the file as it is";
  EXPECT_NE(out.find("add given: x="), std::string::npos) << out;
  EXPECT_NE(out.find("solutions with them: 1"), std::string::npos) << out;
  EXPECT_EQ(Run(sample1_ + " --json --suggest --words " + Write("W.TXT", "ねこ\n"), &out), 1);
  EXPECT_EQ(out.rfind("{\"status\":\"several\",\"solutions\":\"2+\"", 0), 0u) << out;
  EXPECT_NE(out.find("\"after\":{\"status\":\"unique\""), std::string::npos) << out;
}

TEST_F(TekutoolSolve, ExitCodesForUniqueBadInputAndTheTimeLimit) {
  // ネコ with both cells given: nothing is left open.
  std::string anser = "256,1,2";
  for (int i = 3; i < 32; ++i) anser += ",256";
  std::string syoki = "0,1";
  for (int i = 2; i < 32; ++i) syoki += ",256";
  const std::string neko = Write("NEKO.CRS", "[TEKUCROSE]\r\nWIDTH=2\r\nHEIGHT=1\r\nGAMEMODE=NANKURO\r\nSYOKI=" + syoki +
                                                 "\r\nTABLE0=1,2\r\nMOJITBL1=\x83\x6C\r\nMOJITBL2=\x83\x52\r\nANSERTBL0=" +
                                                 anser + "\r\n");
  std::string out;
  EXPECT_EQ(Run(neko, &out), 0) << out;
  EXPECT_EQ(out.rfind("solutions: 1\n", 0), 0u) << out;

  EXPECT_EQ(Run(std::string(TEKU_PROGRAM_DIR) + "/SAMPLE2.CRS"), 2) << "a crossword";
  EXPECT_EQ(Run((dir_ / "NONE.CRS").string()), 2);
  EXPECT_EQ(Run(neko + " --words " + (dir_ / "NONE.TXT").string()), 2);
  EXPECT_EQ(Run(neko + " --time-limit soon"), 2);
  EXPECT_EQ(Run(sample1_ + " --time-limit 0.000001"), 3);
}

}  // namespace
}  // namespace teku
