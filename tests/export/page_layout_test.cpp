// The printed page's geometry: readable cells, everything inside the printable area, no part over
// another, the grid's pieces covering each cell once, and clue columns that run on in order.
#include "export/page_layout.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "app/puzzle_file.h"
#include "services/cp932.h"
#include "support/sample_puzzle.h"

namespace teku {
namespace {

using Loaded = testing::LoadedPuzzle;
using testing::LoadSample;

std::string Sjis(const char* utf8) { return *Utf8ToCp932(utf8); }

bool Inside(const PageRect& outer, double x, double y, double w, double h) {
  constexpr double e = 1e-6;
  return x >= outer.x - e && y >= outer.y - e && x + w <= outer.right() + e && y + h <= outer.bottom() + e;
}
bool Overlap(const PageRect& a, const PageRect& b) {
  constexpr double e = 1e-6;
  return a.x < b.right() - e && b.x < a.right() - e && a.y < b.bottom() - e && b.y < a.bottom() - e;
}

// Checks what holds for every document; `where` names it in failures.
void ExpectSound(const PageDocument& doc, std::int32_t width, std::int32_t height, const std::string& where) {
  ASSERT_FALSE(doc.pages.empty()) << where;
  for (const bool solution : {false, true}) {
    std::vector<int> covered(static_cast<std::size_t>(width * height), 0);
    bool any = false;
    for (std::size_t p = 0; p < doc.pages.size(); ++p) {
      const PrintedPage& page = doc.pages[p];
      if (page.solution != solution) continue;
      any = true;
      for (const PageItem& item : page.items) {
        EXPECT_TRUE(Inside(doc.printable, item.x, item.y, item.w, item.h))
            << where << " page " << p << " item at " << item.x << "," << item.y << " " << item.w << "x" << item.h;
      }
      for (std::size_t i = 0; i < page.blocks.size(); ++i) {
        const PageBlock& b = page.blocks[i];
        EXPECT_TRUE(Inside(doc.printable, b.rect.x, b.rect.y, b.rect.w, b.rect.h)) << where << " page " << p;
        for (std::size_t j = i + 1; j < page.blocks.size(); ++j) {
          EXPECT_FALSE(Overlap(b.rect, page.blocks[j].rect))
              << where << " page " << p << ": blocks " << int(b.kind) << " and " << int(page.blocks[j].kind);
        }
        if (b.kind != BlockKind::Grid) continue;
        EXPECT_GE(b.rect.w / b.cols, doc.minCell - 1e-9) << where;
        EXPECT_NEAR(b.rect.w / b.cols, b.rect.h / b.rows, 1e-9) << where;
        for (std::int32_t y = b.row0; y < b.row0 + b.rows; ++y) {
          for (std::int32_t x = b.col0; x < b.col0 + b.cols; ++x) ++covered[static_cast<std::size_t>(y * width + x)];
        }
      }
    }
    if (!any) continue;
    for (std::size_t i = 0; i < covered.size(); ++i) {
      ASSERT_EQ(covered[i], 1) << where << (solution ? " solution" : "") << ": cell " << i;
    }
  }
}

TEST(PageLayout, SamplesOnEveryPaperStayReadableAndInsideThePrintableArea) {
  for (const char* name : {"SAMPLE1.CRS", "SAMPLE2.CRS"}) {
    Loaded s;
    LoadSample(name, s);
    for (const Paper paper : {Paper::A4, Paper::B5}) {
      for (const bool landscape : {false, true}) {
        for (const bool large : {false, true}) {
          const PageOptions o{paper, landscape, large, true};
          const PageDocument doc = LayOutPuzzle(s.puzzle, s.modes.kind, o);
          const std::string where = std::string(name) + (paper == Paper::A4 ? " A4" : " B5") +
                                    (landscape ? " landscape" : "") + (large ? " large" : "");
          ExpectSound(doc, s.puzzle.GridWidth, s.puzzle.GridHeight, where);
          EXPECT_GE(doc.minCell, (large ? kLargeMinCellMm : kMinCellMm) * kPointsPerMm);
          // A sample's grid is whole on the first page at any size, and so is its solution's.
          const auto wholeGrid = [&](const PrintedPage& page) {
            for (const PageBlock& b : page.blocks) {
              if (b.kind == BlockKind::Grid) return b.cols == s.puzzle.GridWidth && b.rows == s.puzzle.GridHeight;
            }
            return false;
          };
          EXPECT_TRUE(wholeGrid(doc.pages[0])) << where;
          const auto solution = std::find_if(doc.pages.begin(), doc.pages.end(), [](const PrintedPage& pg) { return pg.solution; });
          ASSERT_NE(solution, doc.pages.end()) << where;
          EXPECT_TRUE(wholeGrid(*solution)) << where;
        }
      }
    }
  }
  double w = 0, h = 0;
  PaperPoints(Paper::B5, true, w, h);
  EXPECT_NEAR(w, 257 * kPointsPerMm, 1e-9);
  EXPECT_NEAR(h, 182 * kPointsPerMm, 1e-9);
  // A printer's paper of its own: the sample still fits on a postcard.
  Loaded s;
  LoadSample("SAMPLE1.CRS", s);
  PageOptions card;
  card.widthMm = 100;
  card.heightMm = 148;
  const PageDocument doc = LayOutPuzzle(s.puzzle, s.modes.kind, card);
  EXPECT_NEAR(doc.width, 100 * kPointsPerMm, 1e-9);
  ExpectSound(doc, 15, 15, "postcard");
}

TEST(PageLayout, ANumberCrosswordPrintsItsNumbersTablesAndGivenCharacters) {
  Loaded s;
  LoadSample("SAMPLE1.CRS", s);
  const PageContent page = ComposePage(s.puzzle, s.modes.kind, false);
  // SYOKI=17,11,85: cells (2,1), (11,0) and (10,5), whose numbers are given.
  const PageCell& given = page.cell(2, 1);
  EXPECT_TRUE(given.given);
  const std::int32_t n = std::stoi(given.label);
  EXPECT_EQ(given.text, s.puzzle.MojiTbl[s.puzzle.AnserTbl[n]]);
  EXPECT_EQ(page.numberTable[n - 1].text, given.text);
  EXPECT_TRUE(page.numberTable[n - 1].given);
  EXPECT_TRUE(page.cell(0, 0).text.empty()) << "no answer on the puzzle page";
  EXPECT_EQ(page.answer.size(), 4u);  // KAITOU=40,42,12,15
  EXPECT_EQ(page.answer[0].label, "40");
  EXPECT_TRUE(page.answer[0].text.empty());
  // The check table: each character in use once, in 50-sound order, the given ones marked.
  ASSERT_FALSE(page.checkTable.empty());
  for (std::size_t i = 1; i < page.checkTable.size(); ++i) {
    EXPECT_LT(GojuonKey(page.checkTable[i - 1].text), GojuonKey(page.checkTable[i].text)) << i;
  }
  int marked = 0;
  for (const PageBox& b : page.checkTable) marked += b.given;
  EXPECT_EQ(marked, 3);
  const PageContent answers = ComposePage(s.puzzle, s.modes.kind, true);
  EXPECT_FALSE(answers.cell(0, 0).text.empty());
  EXPECT_EQ(answers.answer[0].text, s.puzzle.MojiTbl[s.puzzle.AnserTbl[40]]);
  EXPECT_TRUE(answers.numberTable.empty());
}

TEST(PageLayout, FiftySoundOrderTakesEveryKanaForm) {
  std::vector<std::string> in;
  for (const char* c : {"漢", "ー", "ン", "が", "ｶﾞ", "か", "ぁ", "ア", "ヴ", "え", "ﾊﾟ", "ば", "は", "A"}) {
    in.push_back(Sjis(c));
  }
  std::stable_sort(in.begin(), in.end(), [](const std::string& a, const std::string& b) { return GojuonKey(a) < GojuonKey(b); });
  std::string got;
  for (const std::string& s : in) got += Cp932ToUtf8(s) + " ";
  // Small and voiced forms beside their plain one; hiragana, katakana and half-width kana of one
  // sound together; the long-vowel mark after the kana; letters and kanji last.
  EXPECT_EQ(got, "ぁ ア ヴ え か が ｶﾞ は ば ﾊﾟ ン ー A 漢 ") << got;
}

// A crossword whose clues need several columns and pages: `count` clues down and across, every
// seventh one long, and clue 11 longer than a column.
void FillCrossword(Puzzle& p, int count) {
  p.GridWidth = 15;
  p.GridHeight = 15;
  {
    CellsLock cells(p);
    for (int y = 0; y < 15; ++y) {
      for (int x = 0; x < 15; ++x) cells.set(x, y, (x + y) % 5 == 4 ? 255 : 1 + (x + y * 15) % 200);
    }
  }
  for (int i = 0; i < count; ++i) {
    p.HintTbl[i] = i + 1;
    std::string text;
    const int length = i == 10 ? 1000 : i % 7 == 3 ? 400 : 5 + i % 23;
    for (int k = 0; k < length; ++k) text += Sjis(k % 4 == 0 ? "か" : k % 4 == 1 ? "ぎ" : k % 4 == 2 ? "1" : "、");
    p.HintTate[i] = text;
    p.HintYoko[i] = text + Sjis("よ");
  }
}

TEST(PageLayout, ClueColumnsRunOnAcrossPagesInOrderAndWhole) {
  for (const bool large : {false, true}) {
    Puzzle p;
    FillCrossword(p, 200);
    const PageDocument doc = LayOutPuzzle(p, PuzzleKind::Crossword, PageOptions{Paper::B5, false, large, false});
    ExpectSound(doc, 15, 15, large ? "large" : "normal");
    ASSERT_GT(doc.pages.size(), 3u);
    std::string printed;
    int columns = 0;
    for (const PrintedPage& page : doc.pages) {
      for (const PageBlock& b : page.blocks) {
        if (b.kind != BlockKind::Clues) continue;
        ++columns;
        for (const std::size_t i : b.clueLines) {
          const PageItem& line = page.items[i];
          EXPECT_TRUE(Inside(b.rect, line.x, line.y, line.w, line.h));
          EXPECT_LE(TextEms(line.text) * line.size, line.w + 1e-6);
          EXPECT_NE(line.text.substr(0, 2), Sjis("、")) << "no line starts with a closing mark";
          printed += line.text;
        }
      }
    }
    std::string expected;
    for (int i = 0; i < 200; ++i) expected += p.HintTate[i];
    for (int i = 0; i < 200; ++i) expected += p.HintYoko[i];
    EXPECT_EQ(printed, expected) << "every clue once, down before across, in number order";
    EXPECT_GT(columns, 2 * static_cast<int>(doc.pages.size()) - 2) << "pages hold more than one column";
  }
}

TEST(PageLayout, TheLargestGridIsPrintedInPiecesOfReadableCells) {
  Puzzle p;
  p.GridWidth = kGridColumns;
  p.GridHeight = kGridRows;
  {
    CellsLock cells(p);
    for (int i = 0; i < p.CellCount(); ++i) cells.set(i % 256, i / 256, static_cast<std::uint8_t>(i % 7 == 0 ? 255 : 1 + i % 254));
  }
  for (int n = 1; n < 255; ++n) {
    p.MojiTbl[n] = Sjis("ア");
    p.AnserTbl[n] = n;
  }
  std::size_t normalPages = 0;
  for (const bool large : {false, true}) {
    const PageDocument doc = LayOutPuzzle(p, PuzzleKind::Nankuro, PageOptions{Paper::A4, false, large, true});
    ExpectSound(doc, p.GridWidth, p.GridHeight, large ? "large" : "normal");
    EXPECT_DOUBLE_EQ(doc.cell, doc.minCell);
    if (large) {
      EXPECT_GT(doc.pages.size(), normalPages) << "大きな文字 takes more pages";
    } else {
      normalPages = doc.pages.size();
    }
  }
}

}  // namespace
}  // namespace teku
