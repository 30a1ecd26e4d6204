// Composes grids from arbitrary model values and sheet sizes: no table, sheet or block may be
// read or written outside its bounds, whatever the cursor, tables, slots or sizes hold.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "app/grid_render.h"

namespace {

struct Reader {
  const std::uint8_t* data;
  std::size_t size;
  std::size_t at = 0;
  std::int32_t Int() {
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v = v << 8 | (at < size ? data[at++] : 0);
    // Bias toward interesting values: small, near the sentinels, or anything at all.
    switch (v & 3) {
      case 0: return static_cast<std::int32_t>((v >> 2) % 300) - 20;
      case 1: return static_cast<std::int32_t>(v >> 2) % 70000;
      default: return static_cast<std::int32_t>(v);
    }
  }
  std::uint8_t Byte() { return at < size ? data[at++] : 0; }
};

class NullText : public teku::TextRasterizer {
 public:
  void DrawText(const std::string& text, teku::GlyphBitmap& bitmap, int& width,
                int& height) override {
    bitmap.pixels.fill(text.empty() ? 0 : 1);
    width = static_cast<int>(text.size()) * 13 - 20;
    height = static_cast<int>(text.size()) * 7;
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace teku;
  Reader in{data, size};
  DibSurface surface;
  GlyphSheets sheets;
  const auto side = [&](int max) { return 1 + in.Byte() % max; };
  surface.CreateImage(side(600), side(600), sheets.MojiSheet);
  surface.CreateImage(side(600), side(600), sheets.NumSheet);
  surface.CreateImage(side(100), side(220), sheets.ColorSheet);
  sheets.UpdateCounts();

  Puzzle p;
  p.GridWidth = ClampGridWidth(in.Int());
  p.GridHeight = ClampGridHeight(in.Int());
  p.CursorX = in.Int();
  p.CursorY = in.Int();
  for (auto& v : p.Syoki) v = in.Int();
  for (int i = 0; i < 64; ++i) {
    const std::uint8_t n = in.Byte();
    p.AnserTbl[n] = in.Int();
    p.InputTbl[in.Byte()] = in.Int();
    p.HintTbl[in.Byte()] = in.Int();
    if (in.Byte() & 1) p.MojiTbl[n] = std::string(in.Byte() % 8, 'x');
  }
  if (in.Byte() & 1) p.MojiTbl.resize(in.Byte());
  {
    CellsLock cells(p);
    for (int i = 0; i < 200; ++i) cells.set(in.Byte(), in.Byte(), in.Byte());
  }
  ModeState m;
  m.play = static_cast<PlayMode>(in.Byte() % 3);
  m.kind = in.Byte() & 1 ? PuzzleKind::Crossword : PuzzleKind::Nankuro;
  TDibImage back;
  surface.CreateImage(side(700), side(500), back);
  const GridView view{p, sheets, m, in.Int() % 300, in.Int() % 300};
  NullText text;
  BuildMojiSheet(sheets, p.MojiTbl, text);
  RenderMojiGlyph(sheets, in.Int(), "abc", text);
  DrawGrid(view, back);
  DrawCell(view, back, in.Int(), in.Int(), [](std::int32_t, std::int32_t) {});
  DrawNumberGroup(view, back, in.Int(), in.Int(), [](std::int32_t, std::int32_t) {});
  PutImage(back, in.Int(), in.Int(), in.Int(), in.Int(), sheets.NumSheet, in.Int(), in.Int(),
           in.Int());
  FillImageRect(back, in.Int(), in.Int(), in.Int(), in.Int(), in.Byte());
  CopyImage(back, sheets.ColorSheet, in.Int());
  return 0;
}
