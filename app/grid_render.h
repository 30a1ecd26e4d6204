// Composing the grid from the glyph sheets: what each cell shows in each mode, the whole-grid,
// one-cell and one-number redraws, and the character sheet rendered from the character table.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/modes.h"
#include "app/puzzle_model.h"
#include "surface/dib_image.h"
#include "surface/text_rasterizer.h"

namespace teku {

inline constexpr std::int32_t kCellPixels = 32;
inline constexpr std::int32_t kScrollBarPixels = 20;

// Tiles of the colour sheet (top-left corners, pixels).
struct TilePos {
  std::int32_t x, y;
};
inline constexpr TilePos TileNoAnswer{0, 0};
inline constexpr TilePos TileNormal{0, 64};
inline constexpr TilePos TileMarked{0, 96};
inline constexpr TilePos TileCursor{32, 96};
inline constexpr TilePos TileFixed{0, 160};

// Palette indexes of the generated character sheet.
inline constexpr std::uint8_t kMojiBackground = 249;
inline constexpr std::uint8_t kMojiInk = 252;
// What a zoomed grid shows where no cell is (the surface's background grey).
inline constexpr std::uint8_t kZoomBackground = 242;

// The three glyph sheets and their glyphs-per-row and rows counts.
struct GlyphSheets {
  TDibImage MojiSheet;
  TDibImage NumSheet;
  TDibImage ColorSheet;
  std::int32_t MojiSheetCols = 0, MojiSheetRows = 0;
  std::int32_t NumSheetCols = 0, NumSheetRows = 0;
  // The side of a glyph block and a tile: 32 for the sheets of the files, more for the sheets
  // of a zoomed view (tile positions scale with it). Compositions use cells of this size.
  std::int32_t cell = kCellPixels;

  bool allocated() const {
    return MojiSheet.allocated() && NumSheet.allocated() && ColorSheet.allocated();
  }
  // Sets the four counts from the sheets' sizes (width div cell, height div cell).
  void UpdateCounts();
};

// Shows one composed 32 x 32 block of the back buffer on the screen; gets the block's top-left
// corner in the back buffer. The window guards it with its BlitReady flag.
using ShowBlock = std::function<void(std::int32_t x, std::int32_t y)>;

// What a composition reads: the puzzle, the sheets, the mode marks and the scroll positions.
struct GridView {
  Puzzle& puzzle;
  GlyphSheets& sheets;
  ModeState modes;
  std::int32_t scrollX = 0;
  std::int32_t scrollY = 0;
};

// The cell rule. `cells` must be a lock of view.puzzle; image is the back buffer.
void ComposeCell(const GridView& view, const CellsLock& cells, TDibImage& image, std::int32_t x,
                 std::int32_t y);
// Composes every visible cell; touches no screen.
void DrawGrid(const GridView& view, TDibImage& image);
// Composes one cell (no visibility test: the copies clip) and shows its block.
void DrawCell(const GridView& view, TDibImage& image, std::int32_t x, std::int32_t y,
              const ShowBlock& show);
// Composes and shows every visible cell with the same byte as cell (x, y).
void DrawNumberGroup(const GridView& view, TDibImage& image, std::int32_t x, std::int32_t y,
                     const ShowBlock& show);

// Copies tile `tile` of the colour sheet, opaque, to the cell x cell block at (x, y) of the image.
void CopyTile(TDibImage& image, std::int32_t x, std::int32_t y, TDibImage& colorSheet,
              TilePos tile, std::int32_t cell = kCellPixels);
// Copies glyph g of a sheet (cols glyphs per row, rows rows) with the sheet's key index to the
// block at (x, y). A glyph outside the sheet copies nothing.
void CopyGlyph(TDibImage& image, std::int32_t x, std::int32_t y, TDibImage& sheet,
               std::int32_t cols, std::int32_t rows, std::int32_t g, std::int32_t cell = kCellPixels);

// Clears the character sheet to 249 and renders every entry but a single blank in 252.
void BuildMojiSheet(GlyphSheets& sheets, const TextList& mojiTbl, TextRasterizer& text);
// Renders `text` into the block of glyph i of the character sheet.
void RenderMojiGlyph(GlyphSheets& sheets, std::int32_t i, const std::string& text,
                     TextRasterizer& rasterizer);
// Draws text centred on the cell x cell block at (x, y) of the image in one palette index; a
// larger cell draws the text anew at that size, on a scratch bitmap twice the cell.
void RenderText(TDibImage& image, std::int32_t x, std::int32_t y, const std::string& text,
                std::uint8_t colorNo, TextRasterizer& rasterizer, std::int32_t cell = kCellPixels);

}  // namespace teku
