// Where everything of a printed puzzle goes: pages of A4 or B5, the title, the grid (in pieces
// when it needs more than one page), the number and check tables, the answer word and the clue
// columns, as rectangles, lines and texts in points (1/72 inch) from the page's top-left corner.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "export/page_content.h"

namespace teku {

enum class Paper { A4, B5 };  // B5 is the Japanese B5, 182 x 257 mm

struct PageOptions {
  Paper paper = Paper::A4;
  bool landscape = false;
  bool large = false;     // 大きな文字: larger cells and text, on more pages if need be
  bool solution = false;  // the solution pages after the puzzle's
  // Another paper, portrait width and height in millimetres (a printer set to a paper of its
  // own); 0 for the paper above.
  double widthMm = 0, heightMm = 0;
};

inline constexpr double kPointsPerMm = 72.0 / 25.4;
inline constexpr double kMarginMm = 12;
// The smallest cell whose number and character still read on paper, and the largest worth
// printing; 大きな文字 raises both.
inline constexpr double kMinCellMm = 5, kMaxCellMm = 12;
inline constexpr double kLargeMinCellMm = 8, kLargeMaxCellMm = 18;

struct PageRect {
  double x = 0, y = 0, w = 0, h = 0;
  double right() const { return x + w; }
  double bottom() const { return y + h; }
};

enum class ItemKind : std::uint8_t { Fill, Frame, Line, Text };
enum class TextAlign : std::uint8_t { Left, Center, Corner };

// One thing drawn. Fill and Frame: the rectangle (Frame with `size` as its line width); Line:
// from (x, y) to (x + w, y + h), `size` wide; Text: `text` (code page 932) at `size` points in the
// box, left-aligned and vertically centred, centred, or in the box's top-left corner.
struct PageItem {
  ItemKind kind = ItemKind::Text;
  TextAlign align = TextAlign::Left;
  std::uint8_t gray = 0;  // Fill: 0 black .. 255 white
  double x = 0, y = 0, w = 0, h = 0;
  double size = 0;
  std::string text;
};

// The parts of the page, kept for the tests and the window's preview: what each part covers.
enum class BlockKind : std::uint8_t { Title, Grid, NumberTable, CheckTable, Answer, Clues, Footer };
struct PageBlock {
  PageBlock(BlockKind k, const PageRect& r) : kind(k), rect(r) {}
  BlockKind kind;
  PageRect rect;
  std::int32_t col0 = 0, row0 = 0, cols = 0, rows = 0;  // Grid: the cells of this piece
  std::vector<std::size_t> clueLines;                    // Clues: the items of its text lines
};

struct PrintedPage {
  bool solution = false;
  std::vector<PageItem> items;
  std::vector<PageBlock> blocks;
};

struct PageDocument {
  double width = 0, height = 0;  // the paper, in points
  PageRect printable;            // inside the margins
  double cell = 0;               // the grid's cell side, in points
  double minCell = 0;
  std::vector<PrintedPage> pages;
};

// The paper's size in points, turned for landscape.
void PaperPoints(Paper paper, bool landscape, double& width, double& height);
void PaperPoints(const PageOptions& options, double& width, double& height);

// Lays out the puzzle page (and the solution page, when `solution` is given).
PageDocument LayOutPages(const PageContent& puzzle, const PageContent* solution, const PageOptions& options);

// The puzzle and, with options.solution, its solution, laid out.
PageDocument LayOutPuzzle(Puzzle& puzzle, PuzzleKind kind, const PageOptions& options);

}  // namespace teku
