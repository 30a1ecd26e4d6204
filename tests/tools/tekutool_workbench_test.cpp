// tekutool check and number as scripts use them, on the shipped samples and a letter grid.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/wait.h>

#include "app/puzzle_file.h"
#include "tests/tools/program_files.h"

namespace teku {
namespace {

namespace fs = std::filesystem;

class TekutoolWorkbench : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("teku-wb-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  int Run(const std::string& args, std::string* out = nullptr) {
    const std::string cmd = std::string(TEKU_TEKUTOOL) + " " + args + " >" + (dir_ / "stdout").string() + " 2>" +
                            (dir_ / "stderr").string();
    const int status = std::system(cmd.c_str());
    if (out != nullptr) {
      std::ifstream in(dir_ / "stdout", std::ios::binary);
      *out = {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  // A 3 x 3 grid of the letters A and B round a blocked centre (AAB / B#A / BBA), numbered 7
  // and 9 as they were written; `second` is B's character.
  std::string WriteLetterFile(const char* name, const char* second) {
    const fs::path path = dir_ / name;
    std::ofstream(path, std::ios::binary) << "[TEKUCROSE]\r\nWIDTH=3\r\nHEIGHT=3\r\nGAMEMODE=NANKURO\r\n"
                                             "TABLE0=7,7,9,9,255,7,9,9,7\r\nANSERTBL0=256,256,256,256,256,256,256,1,256,2,256\r\n"
                                             "MOJITBL1=A\r\nMOJITBL2=" << second << "\r\n";
    return path.string();
  }
  fs::path dir_;
};

TEST_F(TekutoolWorkbench, TheSamplesHaveNoError) {
  for (const char* sample : {"SAMPLE1.CRS", "SAMPLE2.CRS"}) {
    std::string out;
    EXPECT_LE(Run(std::string("check --json ") + testing::ProgramPath(sample), &out), 1) << sample;
    EXPECT_EQ(out.find("\"error\""), std::string::npos) << sample << "\n" << out;
    EXPECT_LE(Run(std::string("check --json --rules all ") + testing::ProgramPath(sample), &out), 1);
    EXPECT_EQ(out.find("\"error\""), std::string::npos) << sample;
    EXPECT_NE(out.find("\"summary\""), std::string::npos) << sample;
  }
}

TEST_F(TekutoolWorkbench, NumberThenCheckALetterGrid) {
  const std::string letters = WriteLetterFile("LETTERS.CRS", "B");
  const fs::path out = dir_ / "NUMBERED.CRS";
  std::string printed;
  ASSERT_EQ(Run("number " + letters + " " + out.string() + " --shuffle 9", &printed), 0);
  EXPECT_EQ(printed, "2\n");

  Puzzle p;
  ModeState m;
  const ZIREDIZU ini(dir_.string() + "/", "TEKUCROSE");
  PuzzleFileContext c{ini, p, m, {}};
  ASSERT_EQ(LoadPuzzleFile(c, "NUMBERED.CRS"), PuzzleFileStatus::kPuzzle);
  CellsLock cells(p);
  const std::uint8_t a = cells.at(0, 0), b = cells.at(2, 0);
  EXPECT_TRUE((a == 1 && b == 2) || (a == 2 && b == 1));
  EXPECT_EQ(p.MojiTbl[static_cast<std::size_t>(p.AnserTbl[a])], "A");
  EXPECT_EQ(p.AnserTbl[7], kNone) << "the letters' old numbers are gone";

  std::string report;
  EXPECT_EQ(Run("check " + out.string() + " --rules all", &report), 0) << report;
  EXPECT_EQ(report, "問題なし\n");
  EXPECT_EQ(Run("check " + WriteLetterFile("SLIP.CRS", "A") + " --json", &report), 1);
  EXPECT_NE(report.find("\"kind\":\"shared-character\""), std::string::npos) << report;
  EXPECT_EQ(Run("check " + letters + " --rules diagonal"), 2);
  EXPECT_EQ(Run("number " + letters + " " + out.string() + " --shuffle x"), 2);
}

}  // namespace
}  // namespace teku
