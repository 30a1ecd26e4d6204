// ipuz documents: our puzzles read back exactly, crosswords of other programs read from the
// standard fields, and documents we cannot take refused with a message and nothing half-read.
#include "export/ipuz.h"

#include <gtest/gtest.h>

#include "app/puzzle_file.h"
#include "services/cp932.h"
#include "support/sample_puzzle.h"

namespace teku {
namespace {

using Loaded = testing::LoadedPuzzle;
using testing::LoadSample;

std::string Sjis(const char* utf8) { return *Utf8ToCp932(utf8); }

TEST(Ipuz, OurPuzzlesReadBackExactly) {
  for (const char* name : {"SAMPLE1.CRS", "SAMPLE2.CRS"}) {
    Loaded in;
    LoadSample(name, in);
    in.puzzle.InputTbl[3] = 7;
    Puzzle back;
    PuzzleKind kind{};
    std::string error;
    ASSERT_TRUE(ReadIpuz(WriteIpuz(in.puzzle, in.modes.kind, true), back, kind, error)) << error;
    EXPECT_EQ(kind, in.modes.kind) << name;
    EXPECT_TRUE(back.TakeSnapshot() == in.puzzle.TakeSnapshot()) << name;
  }
  // The largest grid, every cell numbered, a clue on cell 255 and the answer word set.
  Puzzle big;
  big.GridWidth = kGridColumns;
  big.GridHeight = kGridRows;
  {
    CellsLock cells(big);
    for (int i = 0; i < big.CellCount(); ++i) cells.set(i % 256, i / 256, static_cast<std::uint8_t>(i % 256));
  }
  for (int n = 1; n < 255; ++n) {
    big.MojiTbl[n] = Sjis("ア");
    big.MojiTbl[n][1] = static_cast<char>(0x40 + n % 60);
    big.AnserTbl[n] = n;
    big.HintTbl[n] = n * 97 + 1;
    big.HintTate[n] = "t" + std::to_string(n);
  }
  big.HintTbl[0] = kClueOfCell255;
  big.HintYoko[0] = Sjis("よこ");
  big.Kaitou[0] = 9;
  big.Syoki[0] = 300;
  Puzzle back;
  PuzzleKind kind{};
  std::string error;
  ASSERT_TRUE(ReadIpuz(WriteIpuz(big, PuzzleKind::Crossword, true), back, kind, error)) << error;
  EXPECT_TRUE(back.TakeSnapshot() == big.TakeSnapshot());
}

TEST(Ipuz, AForeignCrosswordIsReadFromTheStandardFields) {
  // # 1 2      clue 1 across "ねこ", 1 down "ねこ" too, 2 down "こま"
  // 3 . .      given: the cell right of 3 (value "る")
  const std::string doc = R"({"version":"http://ipuz.org/v2","kind":["http://ipuz.org/crossword#1"],
    "title":"小さな盤","dimensions":{"width":3,"height":2},
    "puzzle":[["#",1,2],[3,{"cell":0,"value":"る"},0]],
    "solution":[["#","ね","こ"],["は","る","ま"]],
    "saved":[["#","ね",""],["","",""]],
    "clues":{"Across:よこ":[[1,"ねこ"],{"number":3,"clue":"春"}],"Down":[[2,"こま"]]}})";
  Puzzle p;
  PuzzleKind kind{};
  std::string error;
  ASSERT_TRUE(ReadIpuz(doc, p, kind, error)) << error;
  EXPECT_EQ(kind, PuzzleKind::Crossword);
  EXPECT_EQ(p.Title, Sjis("小さな盤"));
  EXPECT_EQ(p.GridWidth, 3);
  {
    CellsLock cells(p);
    EXPECT_EQ(cells.at(0, 0), kEmptyCell);
    EXPECT_EQ(cells.at(1, 0), 1) << "white cells numbered in reading order";
    EXPECT_EQ(cells.at(2, 1), 5);
  }
  EXPECT_EQ(TextAt(p.MojiTbl, p.AnserTbl[4]), Sjis("る"));
  EXPECT_EQ(TextAt(p.MojiTbl, p.InputTbl[1]), Sjis("ね"));
  EXPECT_EQ(p.InputTbl[2], kNone);
  EXPECT_EQ(p.Syoki[0], 4) << "the given cell's linear index";
  EXPECT_EQ(p.HintTbl[0], 2) << "clue 1 is slot 0, held by cell 1";
  EXPECT_EQ(p.HintYoko[0], Sjis("ねこ"));
  EXPECT_EQ(p.HintTbl[2], 4);
  EXPECT_EQ(p.HintYoko[2], Sjis("春"));
  EXPECT_EQ(p.HintTate[1], Sjis("こま"));
  // The standard fields of our own export alone give the same letters and clues elsewhere.
  Loaded cross;
  LoadSample("SAMPLE2.CRS", cross);
  std::string plain = WriteIpuz(cross.puzzle, PuzzleKind::Crossword, true);
  plain = plain.substr(0, plain.find(",\"tekucros:")) + "}";
  Puzzle q;
  ASSERT_TRUE(ReadIpuz(plain, q, kind, error)) << error;
  CellsLock a(cross.puzzle), b(q);
  for (int i = 0; i < q.CellCount(); ++i) {
    const int x = i % q.GridWidth, y = i / q.GridWidth;
    EXPECT_EQ(TextAt(q.MojiTbl, TableAt(q.AnserTbl, b.at(x, y))),
              TextAt(cross.puzzle.MojiTbl, TableAt(cross.puzzle.AnserTbl, a.at(x, y))));
  }
  for (int s = 0; s < kTableEntries; ++s) {
    if (cross.puzzle.HintTbl[s] == kNone || cross.puzzle.HintTbl[s] == 0) continue;
    EXPECT_EQ(q.HintTbl[s], cross.puzzle.HintTbl[s]);
    EXPECT_EQ(q.HintTate[s], cross.puzzle.HintTate[s]);
  }
  // Our own export without the solution writes no answers, only the given cell's letter.
  Loaded sample;
  LoadSample("SAMPLE1.CRS", sample);
  const std::string bare = WriteIpuz(sample.puzzle, PuzzleKind::Nankuro, false);
  EXPECT_EQ(bare.find("\"solution\""), std::string::npos);
  EXPECT_EQ(bare.find("tekucros:answers"), std::string::npos);
  EXPECT_NE(bare.find(kIpuzCodedKind), std::string::npos);
}

TEST(Ipuz, DocumentsThatCannotBeTakenAreRefusedWithAMessage) {
  const std::string head = R"({"kind":["http://ipuz.org/crossword#1"],)";
  const std::string cases[] = {
      "",
      "{not json",
      R"({"kind":["http://ipuz.org/sudoku#1"],"dimensions":{"width":1,"height":1},"puzzle":[[0]]})",
      head + R"("dimensions":{"width":300,"height":1},"puzzle":[[0]]})",
      head + R"("dimensions":{"width":2,"height":1},"puzzle":[[0]]})",
      head + R"("dimensions":{"width":1,"height":1},"puzzle":[[0]],"solution":[["한"]]})",
      head + R"("dimensions":{"width":1,"height":1},"puzzle":[[1]],"clues":{"Down":[[7,"x"]]}})",
      head + R"("dimensions":{"width":1,"height":1},"puzzle":[[1]],"clues":{"Diagonal":[[1,"x"]]}})",
      head + R"("dimensions":{"width":1,"height":1},"puzzle":[[0]],"tekucros:cells":["x"]})",
      head + R"("dimensions":{"width":1,"height":1},"title":5,"puzzle":[[0]]})",
      R"({"kind":["http://ipuz.org/crossword#1","https://tekucros.invalid/ipuz/coded#1"],)"
      R"("dimensions":{"width":1,"height":1},"puzzle":[[999]]})",
      std::string(100000, '[') + std::string(100000, ']'),
  };
  for (const std::string& doc : cases) {
    Puzzle p;
    p.Title = "old";
    PuzzleKind kind{};
    std::string error;
    EXPECT_FALSE(ReadIpuz(doc, p, kind, error)) << doc.substr(0, 120);
    EXPECT_FALSE(error.empty()) << doc.substr(0, 120);
    EXPECT_TRUE(p.Title.empty() && p.GridWidth == 16) << "nothing half-read stays";
  }
  // White cells beyond what a crossword can number.
  std::string wide = head + R"("dimensions":{"width":255,"height":1},"puzzle":[[)";
  for (int i = 0; i < 255; ++i) wide += i == 0 ? "0" : ",0";
  Puzzle p;
  PuzzleKind kind{};
  std::string error;
  EXPECT_FALSE(ReadIpuz(wide + "]]}", p, kind, error));
}

}  // namespace
}  // namespace teku
