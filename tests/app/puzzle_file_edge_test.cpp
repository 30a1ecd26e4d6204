// Puzzle files edited by hand or by other tools: letter case, blanks, quotes, long keys, and
// texts that would break the file's line structure.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/puzzle_file.h"
#include "services/profile_file.h"

namespace teku {
namespace {

namespace fs = std::filesystem;

class PuzzleFileEdge : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("teku-puzzle-edge-" +
            std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    ini_ = ZIREDIZU(dir_.string(), "TEKUCROSE");
  }
  void TearDown() override { fs::remove_all(dir_); }
  void Put(const std::string& name, const std::string& text) {
    std::ofstream(dir_ / name, std::ios::binary) << text;
  }
  std::string Slurp(const std::string& name) {
    std::ifstream in(dir_ / name, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
  }
  std::uint8_t Cell(Puzzle& p, int x, int y) {
    CellsLock cells(p);
    return cells.at(x, y);
  }
  fs::path dir_;
  ZIREDIZU ini_{std::string("/nowhere/"), std::string("TEKUCROSE")};
};

TEST(PuzzleNumbers, DecimalsFitIn32BitsAndNothingElseCounts) {
  std::int32_t v = 0;
  EXPECT_TRUE(ParseDecimal("2147483647", v));
  EXPECT_EQ(v, 2147483647);
  EXPECT_TRUE(ParseDecimal("-2147483648", v));
  EXPECT_EQ(v, INT32_MIN);
  for (const char* bad : {"2147483648", "-2147483649", "0x10", "1e3", "-", "+", "", "12a",
                          "99999999999999999999999"}) {
    EXPECT_FALSE(ParseDecimal(bad, v)) << bad;
  }
}

TEST_F(PuzzleFileEdge, AHandEditedWindowsFileReadsRight) {
  Put("H.CRS",
      "[tekucrose]\r\n"
      "width = 3\r\n"
      "Height\t=\t2 \r\n"
      "title = \"\x82\xa0 \x83\x5c\"\r\n"
      "GameMode = CROSSWORD\r\n"
      "table0 = 1, 2,3,300,-1,7,8,9\r\n"
      "MojiTbl0=\x82\xa0\r\n");
  Puzzle p;
  ModeState m;
  PuzzleFileContext c{ini_, p, m, {}};
  LoadPuzzleFile(c, "H.CRS");
  EXPECT_EQ(p.GridWidth, 3);
  EXPECT_EQ(p.GridHeight, 2);
  EXPECT_EQ(p.Title, "\x82\xa0 \x83\x5c");
  EXPECT_TRUE(m.crossword());
  const std::uint8_t want[6] = {1, 2, 3, 44, 255, 7};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(Cell(p, i % 3, i / 3), want[i]) << i;
  EXPECT_EQ(p.MojiTbl[0], "\x82\xa0");
}

TEST_F(PuzzleFileEdge, ATableKeyWithMoreThan32ValuesLeavesTheRestToTheNextKey) {
  std::string table0;
  for (int i = 0; i < 40; ++i) table0 += (i ? "," : "") + std::to_string(i);
  Put("L.CRS", "[TEKUCROSE]\r\nWIDTH=8\r\nHEIGHT=5\r\nTABLE0=" + table0 + "\r\nTABLE1=100\r\n");
  Puzzle p;
  ModeState m;
  PuzzleFileContext c{ini_, p, m, {}};
  LoadPuzzle(c, "L.CRS");
  EXPECT_EQ(Cell(p, 7, 3), 31);
  for (int i = 32; i < 40; ++i) EXPECT_EQ(Cell(p, i % 8, i / 8), 100) << i;
}

TEST_F(PuzzleFileEdge, TextsWithLineBreaksCannotAddKeysAndSavingKeepsKeySpelling) {
  Put("S.CRS", "[TEKUCROSE]\r\nTitle=old\r\n");
  Puzzle p;
  ModeState m;
  PuzzleFileContext c{ini_, p, m, {}};
  p.Title = "t\r\nPASSWORD=x";
  p.HintTate[0] = " ";
  p.MojiTbl[1] = "\"q\"";
  SavePuzzle(c, "S.CRS");
  const std::string text = Slurp("S.CRS");
  EXPECT_EQ(text.find("\r\nPASSWORD=x"), std::string::npos);
  EXPECT_NE(text.find("\r\nTitle=t  PASSWORD=x\r\n"), std::string::npos);
  Puzzle q;
  PuzzleFileContext d{ini_, q, m, {}};
  LoadPuzzle(d, "S.CRS");
  EXPECT_EQ(q.Title, "t  PASSWORD=x");
  EXPECT_EQ(q.Password, "");
  EXPECT_EQ(q.HintTate[0], " ");
  EXPECT_EQ(q.MojiTbl[1], "\"q\"");
}

}  // namespace
}  // namespace teku
