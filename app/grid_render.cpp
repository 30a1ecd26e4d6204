// Grid composition. A whole-grid draw locks the back buffer and the sheets once and copies
// blocks through PutImageLocked; a single cell goes through the same composer.
#include "app/grid_render.h"

#include <algorithm>
#include <optional>

namespace teku {

void GlyphSheets::UpdateCounts() {
  MojiSheetCols = MojiSheet.allocated() ? MojiSheet.width() / cell : 0;
  MojiSheetRows = MojiSheet.allocated() ? MojiSheet.height() / cell : 0;
  NumSheetCols = NumSheet.allocated() ? NumSheet.width() / cell : 0;
  NumSheetRows = NumSheet.allocated() ? NumSheet.height() / cell : 0;
}

namespace {

// The key index of a sheet: its bottom-right pixel (memory row 0, last column).
std::int32_t KeyOf(const PixelLock& sheet) {
  return sheet.width() > 0 ? sheet.bytes()[sheet.width() - 1] : kKeyNone;
}

class Composer {
 public:
  Composer(const GridView& view, const CellsLock& cells, TDibImage& image)
      : view_(view),
        cells_(cells),
        dst_(image),
        moji_(view.sheets.MojiSheet),
        num_(view.sheets.NumSheet),
        color_(view.sheets.ColorSheet),
        cell_(view.sheets.cell) {}

  bool ready() const {
    return cells_.ok() && dst_.ok() && moji_.ok() && num_.ok() && color_.ok() &&
           dst_.width() > 0 && moji_.width() > 0 && num_.width() > 0 && color_.width() > 0;
  }

  // Maps linear index + 1 to the first clue slot holding it, for whole-grid draws.
  void IndexClues() {
    const Puzzle& p = view_.puzzle;
    clueSlot_.assign(static_cast<std::size_t>(p.CellCount()) + 1, -1);
    for (int i = kTableEntries - 1; i >= 0; --i) {
      std::int32_t v = p.HintTbl[static_cast<std::size_t>(i)];
      if (v == kNone) continue;  // a free slot, never cell 255's clue
      if (v == kClueOfCell255) v = 255 + 1;
      if (v >= 1 && v <= p.CellCount()) clueSlot_[static_cast<std::size_t>(v)] = static_cast<std::int16_t>(i);
    }
    cluesIndexed_ = true;
  }

  void Compose(std::int32_t x, std::int32_t y) {
    const Puzzle& p = view_.puzzle;
    const ModeState& m = view_.modes;
    const std::int32_t bx = (x - view_.scrollX) * cell_;
    const std::int32_t by = (y - view_.scrollY) * cell_;
    const std::int32_t n = cells_.at(x, y);
    const bool numbered = n >= 1 && n <= 254;

    // 1. Background tile. Only a missing answer (256) means "no answer": an answer whose
    //    character index happens to equal the cell count is still an answer.
    TilePos tile = TileNormal;
    if (TableAt(p.AnserTbl, n) == kNone) tile = TileNoAnswer;
    bool fixed = false;
    if (numbered && p.IsInitialCell(x, y)) {
      tile = TileFixed;
      fixed = true;
    }
    const bool cursorInGrid = p.InGrid(p.CursorX, p.CursorY);
    if (cursorInGrid && m.nankuro() && n == cells_.at(p.CursorX, p.CursorY)) tile = TileMarked;
    if (x == p.CursorX && y == p.CursorY) tile = TileCursor;
    PutImageLocked(dst_, bx, by, cell_, cell_, color_, tile.x / kCellPixels * cell_,
                   tile.y / kCellPixels * cell_, kKeyNone);

    // 2. Character glyph.
    bool lettered = false;
    const auto letter = [&](std::int32_t k) {
      if (!Usable(k)) return;
      CopyGlyph(moji_, view_.sheets.MojiSheetCols, view_.sheets.MojiSheetRows, k, bx, by);
      lettered = true;
    };
    if (m.game() && !fixed) letter(TableAt(p.InputTbl, n));
    if (m.answer() || m.writingLetters()) letter(TableAt(p.AnserTbl, n));
    if (fixed) letter(TableAt(p.AnserTbl, n));
    if (lettered) return;

    // 3. Number glyph: clue numbers in a crossword outside create mode, else the cell's byte.
    if (m.crossword() && !m.create() && numbered) {
      const std::int32_t slot = ClueSlotOf(y * p.GridWidth + x);
      if (slot >= 0) {
        CopyGlyph(num_, view_.sheets.NumSheetCols, view_.sheets.NumSheetRows, (slot + 1) % 256,
                  bx, by);
      }
      return;
    }
    CopyGlyph(num_, view_.sheets.NumSheetCols, view_.sheets.NumSheetRows, n, bx, by);
  }

 private:
  bool Usable(std::int32_t k) const {
    return k >= 1 && k <= 254 && !TextAt(view_.puzzle.MojiTbl, k).empty();
  }

  std::int32_t ClueSlotOf(std::int32_t cellIndex) const {
    if (cluesIndexed_) {
      const std::size_t at = static_cast<std::size_t>(cellIndex) + 1;
      return cellIndex >= 0 && at < clueSlot_.size() ? clueSlot_[at] : -1;
    }
    const auto& t = view_.puzzle.HintTbl;
    const auto it = std::find(t.begin(), t.end(), ClueValueOf(cellIndex));
    return it == t.end() ? -1 : static_cast<std::int32_t>(it - t.begin());
  }

  // A glyph whose block lies outside its sheet shows nothing.
  void CopyGlyph(const PixelLock& sheet, std::int32_t cols, std::int32_t rows, std::int32_t g,
                 std::int32_t bx, std::int32_t by) {
    if (cols <= 0 || g < 0 || g / cols >= rows) return;
    PutImageLocked(dst_, bx, by, cell_, cell_, sheet, (g % cols) * cell_, (g / cols) * cell_, KeyOf(sheet));
  }

  const GridView& view_;
  const CellsLock& cells_;
  PixelLock dst_, moji_, num_, color_;
  std::int32_t cell_;
  std::vector<std::int16_t> clueSlot_;
  bool cluesIndexed_ = false;
};

bool Drawable(const GridView& view, const TDibImage& image) {
  return image.allocated() && view.sheets.allocated() && view.sheets.cell > 0;
}

// Cells across a side of the picture. A zoomed view also shows the cell cut by its edge.
std::int32_t CellsAcross(std::int32_t pixels, std::int32_t cell) {
  return cell == kCellPixels ? pixels / cell : (pixels + cell - 1) / cell;
}

// Visits the visible cells row by row from the scroll position.
template <typename Visit>
void ForEachVisibleCell(const GridView& view, const TDibImage& image, Visit visit) {
  const Puzzle& p = view.puzzle;
  const std::int32_t cell = view.sheets.cell;
  const std::int32_t cols = std::min(CellsAcross(image.width(), cell), p.GridWidth - view.scrollX);
  const std::int32_t rows = std::min(CellsAcross(image.height(), cell), p.GridHeight - view.scrollY);
  for (std::int32_t y = view.scrollY; y < view.scrollY + rows; ++y) {
    for (std::int32_t x = view.scrollX; x < view.scrollX + cols; ++x) visit(x, y);
  }
}

}  // namespace

void CopyTile(TDibImage& image, std::int32_t x, std::int32_t y, TDibImage& colorSheet,
              TilePos tile, std::int32_t cell) {
  PutImage(image, x, y, cell, cell, colorSheet, tile.x / kCellPixels * cell, tile.y / kCellPixels * cell,
           kKeyNone);
}

void CopyGlyph(TDibImage& image, std::int32_t x, std::int32_t y, TDibImage& sheet,
               std::int32_t cols, std::int32_t rows, std::int32_t g, std::int32_t cell) {
  if (cols <= 0 || g < 0 || g / cols >= rows || !sheet.allocated()) return;
  const std::int32_t key = GetPixelNo(sheet, sheet.width() - 1, sheet.height() - 1);
  PutImage(image, x, y, cell, cell, sheet, (g % cols) * cell, (g / cols) * cell, key);
}

void ComposeCell(const GridView& view, const CellsLock& cells, TDibImage& image, std::int32_t x,
                 std::int32_t y) {
  if (!Drawable(view, image)) return;
  Composer c(view, cells, image);
  if (c.ready()) c.Compose(x, y);
}

void DrawGrid(const GridView& view, TDibImage& image) {
  if (!Drawable(view, image)) return;
  CellsLock cells(view.puzzle);
  Composer c(view, cells, image);
  if (!c.ready()) return;
  c.IndexClues();
  std::int32_t right = 0, bottom = 0;
  ForEachVisibleCell(view, image, [&](std::int32_t x, std::int32_t y) {
    c.Compose(x, y);
    right = std::max(right, (x - view.scrollX + 1) * view.sheets.cell);
    bottom = std::max(bottom, (y - view.scrollY + 1) * view.sheets.cell);
  });
  // Scrolled to its end, a zoomed view has room past the last column or row: nothing old may
  // stay there.
  if (view.sheets.cell != kCellPixels) {
    PixelLock lock(image);
    if (!lock.ok()) return;
    for (std::int32_t y = 0; y < lock.height(); ++y) {
      std::uint8_t* row = lock.bytes() + static_cast<std::size_t>(lock.height() - 1 - y) * lock.width();
      const std::int32_t from = y < bottom ? right : 0;
      if (from < lock.width()) std::fill(row + from, row + lock.width(), kZoomBackground);
    }
  }
}

void DrawCell(const GridView& view, TDibImage& image, std::int32_t x, std::int32_t y,
              const ShowBlock& show) {
  if (!Drawable(view, image)) return;
  {
    CellsLock cells(view.puzzle);
    Composer c(view, cells, image);
    if (!c.ready()) return;
    c.Compose(x, y);
  }
  if (show) show((x - view.scrollX) * view.sheets.cell, (y - view.scrollY) * view.sheets.cell);
}

void DrawNumberGroup(const GridView& view, TDibImage& image, std::int32_t x, std::int32_t y,
                     const ShowBlock& show) {
  if (!Drawable(view, image)) return;
  CellsLock cells(view.puzzle);
  std::optional<Composer> c;
  c.emplace(view, cells, image);
  if (!c->ready()) return;
  c->IndexClues();
  const std::uint8_t m = cells.at(x, y);
  std::vector<std::pair<std::int32_t, std::int32_t>> shown;
  ForEachVisibleCell(view, image, [&](std::int32_t cx, std::int32_t cy) {
    if (cells.at(cx, cy) != m) return;
    c->Compose(cx, cy);
    shown.emplace_back(cx, cy);
  });
  // The screen copies read the back buffer: release its lock first.
  c.reset();
  if (!show) return;
  for (const auto& [cx, cy] : shown) {
    show((cx - view.scrollX) * view.sheets.cell, (cy - view.scrollY) * view.sheets.cell);
  }
}

void RenderText(TDibImage& image, std::int32_t x, std::int32_t y, const std::string& text,
                std::uint8_t colorNo, TextRasterizer& rasterizer, std::int32_t cell) {
  GlyphBitmap bitmap;
  std::vector<std::uint8_t> large;
  int size = GlyphBitmap::kSize;
  int w = 0, h = 0;
  if (cell == kCellPixels) {
    rasterizer.DrawText(text, bitmap, w, h);
  } else {
    size = std::clamp(2 * cell, 2, 4096);
    rasterizer.DrawTextSized(text, size, large, w, h);
  }
  const auto at = [&](int i, int j) {
    return cell == kCellPixels ? bitmap.at(i, j) : large[static_cast<std::size_t>(j) * size + i];
  };
  PixelLock lock(image);
  if (!lock.ok() || lock.width() == 0) return;
  const std::int32_t left = x + cell / 2 - w / 2;
  const std::int32_t top = y + cell / 2 - h / 2;
  // Pixels beyond the scratch bitmap count as not drawn.
  const int maxI = std::min(w, size);
  const int maxJ = std::min(h, size);
  for (int j = 0; j < maxJ; ++j) {
    const std::int64_t py = std::int64_t{top} + j;
    if (py < 0 || py >= lock.height()) continue;
    std::uint8_t* row = lock.bytes() + (lock.height() - 1 - py) * lock.width();
    for (int i = 0; i < maxI; ++i) {
      const std::int64_t px = std::int64_t{left} + i;
      if (px < 0 || px >= lock.width()) continue;
      if (at(i, j) != 0) row[px] = colorNo;
    }
  }
}

void RenderMojiGlyph(GlyphSheets& sheets, std::int32_t i, const std::string& text,
                     TextRasterizer& rasterizer) {
  const std::int32_t cell = sheets.cell;
  const std::int32_t c = cell > 0 ? sheets.MojiSheet.width() / cell : 0;
  if (c <= 0 || i < 0) return;
  const std::int32_t bx = (i % c) * cell;
  const std::int32_t by = (i / c) * cell;
  FillImageRect(sheets.MojiSheet, bx, by, cell, cell, kMojiBackground);
  RenderText(sheets.MojiSheet, bx, by, text, kMojiInk, rasterizer, cell);
}

void BuildMojiSheet(GlyphSheets& sheets, const TextList& mojiTbl, TextRasterizer& text) {
  ClearImage(sheets.MojiSheet, kMojiBackground);
  for (std::int32_t i = 0; i < kTableEntries; ++i) {
    // A missing or empty entry counts as a single blank, and only a single blank is skipped.
    const std::string& s = TextAt(mojiTbl, i);
    if (s.empty() || s == " ") continue;
    RenderMojiGlyph(sheets, i, s, text);
  }
}

}  // namespace teku
