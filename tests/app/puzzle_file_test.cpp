// Puzzle files: keys, defaults, the list rule, what a save leaves behind, and a round trip.
#include "app/puzzle_file.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <random>
#include <sstream>
#include <sys/stat.h>

#include "services/profile_file.h"

namespace teku {
namespace {

namespace fs = std::filesystem;

class PuzzleFile : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("teku-puzzle-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    ini_ = ZIREDIZU(dir_.string(), "TEKUCROSE");
  }
  void TearDown() override {
    FailProfileWriteNumber(0);
    fs::remove_all(dir_);
  }
  void Put(const std::string& name, const std::string& body) {
    std::ofstream(dir_ / name, std::ios::binary) << "[TEKUCROSE]\r\n" << body;
  }
  PuzzleFileContext Context(Puzzle& p, ModeState& m) {
    return PuzzleFileContext{ini_, p, m, [this] { ++sheetsBuilt_; }};
  }
  std::uint8_t Cell(Puzzle& p, int x, int y) {
    CellsLock cells(p);
    return cells.at(x, y);
  }
  fs::path dir_;
  ZIREDIZU ini_{std::string("/nowhere/"), std::string("TEKUCROSE")};
  int sheetsBuilt_ = 0;
};

TEST(NumberList, EmptyItemsTakeTheDefaultAndAShortKeyRepeatsItsLastValue) {
  NumberListReader a("5", 255);
  for (int i = 0; i < 32; ++i) EXPECT_EQ(a.Next(), 5);
  NumberListReader b("1,,3", 255);
  EXPECT_EQ(b.Next(), 1);
  EXPECT_EQ(b.Next(), 255);
  for (int i = 0; i < 30; ++i) EXPECT_EQ(b.Next(), 3);
  NumberListReader c("x,-4, 7,99999999999", 256);
  EXPECT_EQ(c.Next(), 256);
  EXPECT_EQ(c.Next(), -4);
  EXPECT_EQ(c.Next(), 7);
  EXPECT_EQ(c.Next(), 256);
  NumberListReader d("", 9);
  EXPECT_EQ(d.Next(), 9);
}

TEST_F(PuzzleFile, TheListRuleAndLowBitsOfCellValues) {
  Put("P.CRS", "WIDTH=5\r\nHEIGHT=7\r\nKAITOU=1,,3\r\nTABLE0=300,-1,7\r\nTABLE1=1,2,3\r\n");
  Puzzle p;
  ModeState m;
  auto c = Context(p, m);
  LoadPuzzleFile(c, "P.CRS");
  EXPECT_EQ(p.Kaitou[0], 1);
  EXPECT_EQ(p.Kaitou[1], 255);
  EXPECT_EQ(p.Kaitou[31], 3);
  EXPECT_EQ(Cell(p, 0, 0), 44) << "300 keeps its low 8 bits";
  EXPECT_EQ(Cell(p, 1, 0), 255) << "-1 is 255";
  EXPECT_EQ(Cell(p, 4, 6), 3) << "cell 34 is TABLE1's third value";
  EXPECT_EQ(Cell(p, 2, 5), 7) << "cell 27 repeats TABLE0's last value";
  EXPECT_EQ(p.MondaiName, "P.CRS");
  EXPECT_EQ(sheetsBuilt_, 1);
}

TEST_F(PuzzleFile, AFiveBySevenGridIsTwoTableKeysAndReadsBack) {
  Puzzle p;
  ModeState m;
  p.GridWidth = 5;
  p.GridHeight = 7;
  {
    CellsLock cells(p);
    for (int i = 0; i < 35; ++i) cells.set(i % 5, i / 5, static_cast<std::uint8_t>(i + 1));
  }
  auto c = Context(p, m);
  SavePuzzle(c, "S.CRS");
  EXPECT_EQ(ini_.ReadFileIni("S.CRS", "TABLE1"), "33,34,35");
  EXPECT_EQ(ini_.ReadFileIni("S.CRS", "TABLE2"), "");
  Puzzle q;
  ModeState n;
  auto d = Context(q, n);
  LoadPuzzleFile(d, "S.CRS");
  for (int i = 0; i < 35; ++i) EXPECT_EQ(Cell(q, i % 5, i / 5), i + 1);
}

TEST_F(PuzzleFile, GameModeKindAndAFileOfAnotherSection) {
  Put("K.CRS", "GAMEMODE=crossword\r\nWIDTH=9\r\n");
  Puzzle p;
  ModeState m;
  m.play = PlayMode::Create;
  m.kind = PuzzleKind::Crossword;
  m.hint = true;
  auto c = Context(p, m);
  LoadPuzzleFile(c, "K.CRS");
  EXPECT_TRUE(m.nankuro()) << "only CROSSWORD, exactly, is a crossword";
  EXPECT_TRUE(m.game());
  EXPECT_TRUE(m.hint) << "left alone";
  EXPECT_EQ(p.GridWidth, 9);
  std::ofstream(dir_ / "O.CRS", std::ios::binary) << "[OTHERE]\r\nWIDTH=20\r\nGAMEMODE=CROSSWORD\r\n";
  LoadPuzzleFile(c, "O.CRS");
  EXPECT_EQ(p.GridWidth, 16);
  EXPECT_TRUE(m.nankuro());
  LoadPuzzleFile(c, "MISSING.CRS");
  EXPECT_EQ(p.GridWidth, 16);
  EXPECT_EQ(p.MondaiName, "MISSING.CRS");
}

TEST_F(PuzzleFile, SizesOutsideTheGridBlockAreClamped) {
  Put("B.CRS", "WIDTH=1000\r\nHEIGHT=-3\r\n");
  Puzzle p;
  ModeState m;
  auto c = Context(p, m);
  LoadPuzzleFile(c, "B.CRS");
  EXPECT_EQ(p.GridWidth, 256);
  EXPECT_EQ(p.GridHeight, 1);
}

TEST_F(PuzzleFile, ASaveLeavesOldKeysAndTheInputBehind) {
  Put("L.CRS", "MOJITBL7=\x82\xa0\r\nTABLE40=1\r\nINPUTTBL0=9\r\n");
  Puzzle p;
  ModeState m;
  auto c = Context(p, m);
  LoadPuzzleFile(c, "L.CRS");
  EXPECT_EQ(p.MojiTbl[7], "\x82\xa0");
  EXPECT_EQ(p.InputTbl[5], 9);
  p.MojiTbl[7].clear();
  SavePuzzle(c, "L.CRS");
  LoadPuzzleFile(c, "L.CRS");
  EXPECT_EQ(p.MojiTbl[7], "\x82\xa0") << "an emptied entry is not written, so the old text stays";
  EXPECT_EQ(p.InputTbl[31], 9) << "the input survives a full save";
  EXPECT_EQ(ini_.ReadFileIni("L.CRS", "VERSION"), "011");
  EXPECT_EQ(ini_.ReadFileIni("L.CRS", "TABLE40"), "1");
}

TEST_F(PuzzleFile, TheInputSaveWritesOnlyInputKeys) {
  Puzzle p;
  ModeState m;
  p.InputTbl[3] = 4;
  auto c = Context(p, m);
  SaveInput(c, "DEFAULTI.CRS");
  std::ifstream in(dir_ / "DEFAULTI.CRS", std::ios::binary);
  std::string line;
  int keys = 0;
  while (std::getline(in, line)) {
    if (line.find('=') != std::string::npos) {
      ++keys;
      EXPECT_EQ(line.rfind("INPUTTBL", 0), 0u) << line;
    }
  }
  EXPECT_EQ(keys, 8);
}

TEST_F(PuzzleFile, CharacterTableOnly) {
  Put("T.CRS", "MOJITBL1=A\r\nMOJITBL255=Z\r\nTITLE=t\r\n");
  Puzzle p;
  ModeState m;
  p.Title = "kept";
  auto c = Context(p, m);
  LoadCharTableOnly(c, "T.CRS");
  EXPECT_EQ(p.MojiTbl.size(), 256u);
  EXPECT_EQ(p.MojiTbl[1], "A");
  EXPECT_EQ(p.MojiTbl[255], "Z");
  EXPECT_EQ(p.Title, "kept");
}

TEST_F(PuzzleFile, TheClueOfCell255KeepsItsSlotThroughAFileAndTheFileKeeps256) {
  Puzzle p;
  ModeState m;
  m.play = PlayMode::Answer;
  m.kind = PuzzleKind::Crossword;
  PuzzleFileContext c = Context(p, m);
  p.HintTbl[4] = kClueOfCell255;
  p.HintTbl[5] = 3;
  SavePuzzle(c, "C.CRS");
  EXPECT_EQ(ini_.ReadFileIni("C.CRS", "HINTTBL0").substr(0, 20), "256,256,256,256,256,");
  EXPECT_EQ(ini_.ReadFileIni("C.CRS", "HINTSLOT255"), "4");
  Puzzle back;
  PuzzleFileContext cb = Context(back, m);
  LoadPuzzle(cb, "C.CRS");
  EXPECT_EQ(back.HintTbl[4], kClueOfCell255);
  EXPECT_EQ(back.HintTbl[5], 3);
  EXPECT_EQ(back.HintTbl[6], kNone);
  // Once the clue is gone the key goes too, so a free 256 never turns back into a clue.
  back.HintTbl[4] = 0;
  SavePuzzle(cb, "C.CRS");
  std::ifstream in(dir_ / "C.CRS", std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(text.find("HINTSLOT255"), std::string::npos);
  // A file without the key, or with one naming a slot that is not 256, reads as it always did.
  Put("D.CRS", "HINTTBL0=256,7\r\nHINTSLOT255=1\r\n");
  LoadPuzzle(cb, "D.CRS");
  EXPECT_EQ(back.HintTbl[0], kNone);
  EXPECT_EQ(back.HintTbl[1], 7);
}

TEST_F(PuzzleFile, TheWindowsWrittenPuzzleReadsRight) {
  fs::copy_file(std::string(TEKU_TEST_DATA) + "/windows/NANKURO10.CRS", dir_ / "N.CRS");
  Puzzle p;
  ModeState m;
  auto c = Context(p, m);
  LoadPuzzleFile(c, "N.CRS");
  EXPECT_EQ(p.GridWidth, 10);
  EXPECT_EQ(p.GridHeight, 10);
  EXPECT_EQ(p.Kaitou[0], 4);
  EXPECT_EQ(p.Syoki[1], 14);
  EXPECT_EQ(Cell(p, 0, 0), 1);
  EXPECT_EQ(Cell(p, 3, 0), 255);
  EXPECT_EQ(p.Title.substr(0, 2), "\x83\x69");
}

// A random puzzle survives a save and a load unchanged.
TEST_F(PuzzleFile, RandomPuzzlesRoundTrip) {
  std::mt19937 rng(12345);
  const auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  const auto text = [&] {
    std::string s;
    const int n = pick(0, 6);
    for (int i = 0; i < n; ++i) {
      if (pick(0, 3) == 0) {
        s += "\x82";
        s += static_cast<char>(0x9f + pick(0, 80));  // hiragana
      } else {
        s += " \"'abc=;[]x"[pick(0, 10)];
      }
    }
    return s;
  };
  for (int round = 0; round < 25; ++round) {
    Puzzle p;
    ModeState m;
    m.kind = pick(0, 1) ? PuzzleKind::Crossword : PuzzleKind::Nankuro;
    p.GridWidth = pick(1, 256);
    p.GridHeight = pick(1, 240);
    p.Title = text();
    p.Password = text();
    for (auto& v : p.Kaitou) v = pick(0, 255);
    for (auto& v : p.Syoki) v = pick(0, 300);
    for (auto& v : p.AnserTbl) v = pick(0, 256);
    for (auto& v : p.InputTbl) v = pick(0, 256);
    for (auto& v : p.HintTbl) v = pick(-5, 70000);
    for (auto& s : p.MojiTbl) s = text();
    for (auto& s : p.HintTate) s = text();
    for (auto& s : p.HintYoko) s = text();
    {
      CellsLock cells(p);
      for (int i = 0; i < p.CellCount(); ++i) cells.set(i % p.GridWidth, i / p.GridWidth, static_cast<std::uint8_t>(pick(0, 255)));
    }
    const std::string name = "R" + std::to_string(round) + ".CRS";
    auto c = Context(p, m);
    SavePuzzle(c, name);
    SaveInput(c, name);
    Puzzle q;
    ModeState n;
    n.play = PlayMode::Answer;
    auto d = Context(q, n);
    LoadPuzzleFile(d, name);
    ASSERT_TRUE(p.TakeSnapshot() == q.TakeSnapshot()) << "round " << round;
    EXPECT_EQ(n.kind, m.kind);
  }
}

TEST_F(PuzzleFile, AReadOnlyFileRaisesTheErrorAndAnInterruptedSaveStillLoads) {
  Puzzle p;
  ModeState m;
  p.GridWidth = 5;
  p.GridHeight = 5;
  p.Title = "t";
  auto c = Context(p, m);
  FailProfileWriteNumber(12);  // inside the TABLE keys
  EXPECT_THROW(SavePuzzle(c, "I.CRS"), ProfileWriteError);
  Puzzle q;
  ModeState n;
  auto d = Context(q, n);
  LoadPuzzleFile(d, "I.CRS");
  EXPECT_EQ(q.GridWidth, 5);
  EXPECT_EQ(q.Title, "t");
  fs::permissions(dir_ / "I.CRS", fs::perms::owner_read);
  const std::string before = [&] {
    std::ifstream in(dir_ / "I.CRS", std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
  }();
  try {
    SavePuzzle(c, "I.CRS");
    FAIL() << "no error";
  } catch (const ProfileWriteError& e) {
    EXPECT_EQ(e.path(), (dir_ / "I.CRS").string());
  }
  std::ifstream in(dir_ / "I.CRS", std::ios::binary);
  std::stringstream after;
  after << in.rdbuf();
  EXPECT_EQ(after.str(), before);
}

TEST_F(PuzzleFile, AFileThatIsNotAPuzzleLoadsNothingAndIsReplacedOnlyWhenAllowed) {
  const std::string picture("BM\x36\x00\x00\x00\x00\x00\x00\x00\x36\x00\x00\x00\x28\x00", 16);
  std::ofstream(dir_ / "X.CRS", std::ios::binary) << picture;
  std::ofstream(dir_ / "HUGE.CRS", std::ios::binary) << std::string(static_cast<std::size_t>(kProfileFileMax) + 1, '\n');
  ASSERT_EQ(::mkfifo((dir_ / "F.CRS").c_str(), 0600), 0);
  Puzzle p;
  ModeState m;
  m.play = PlayMode::Create;
  p.GridWidth = 7;
  p.MojiTbl[1] = "kept";
  auto c = Context(p, m);
  const Puzzle::Snapshot before = p.TakeSnapshot();
  EXPECT_EQ(LoadPuzzleFile(c, "X.CRS"), PuzzleFileStatus::kNotPuzzle);
  EXPECT_EQ(LoadPuzzle(c, "F.CRS"), PuzzleFileStatus::kNotPuzzle);
  EXPECT_EQ(LoadCharTableOnly(c, "X.CRS"), PuzzleFileStatus::kNotPuzzle);
  EXPECT_EQ(LoadPuzzleFile(c, "HUGE.CRS"), PuzzleFileStatus::kTooLarge);
  EXPECT_TRUE(p.TakeSnapshot() == before);
  EXPECT_TRUE(m.create()) << "not even the mode changes";
  EXPECT_EQ(sheetsBuilt_, 0);
  EXPECT_THROW(SavePuzzle(c, "X.CRS"), ProfileWriteError);
  EXPECT_THROW(SaveInput(c, "F.CRS"), ProfileWriteError);
  std::ifstream in(dir_ / "X.CRS", std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), picture);
  SavePuzzle(c, "X.CRS", ForeignFile::kReplace);
  EXPECT_EQ(CheckPuzzleFile(c, "X.CRS"), PuzzleFileStatus::kPuzzle);
  Puzzle q;
  auto d = Context(q, m);
  EXPECT_EQ(LoadPuzzleFile(d, "X.CRS"), PuzzleFileStatus::kPuzzle);
  EXPECT_EQ(q.GridWidth, 7);
  EXPECT_EQ(LoadPuzzleFile(d, "NONE.CRS"), PuzzleFileStatus::kMissing);
  EXPECT_EQ(q.GridWidth, 16) << "a missing file is the empty puzzle";
}

}  // namespace
}  // namespace teku
