// Grid composition speed: a full 1920 x 1056 back buffer (60 x 33 cells) of a 256 x 240 puzzle,
// the same 60 x 33 cells zoomed to 200 % and 400 %, and the redraw a keystroke causes at 400 %.
#include <benchmark/benchmark.h>

#include <string>

#include "app/grid_keys.h"
#include "app/grid_render.h"
#include "app/grid_zoom.h"

namespace {

using namespace teku;

struct Scene {
  Scene() {
    s.CreateImage(512, 512, sheets.NumSheet);
    s.CreateImage(512, 512, sheets.MojiSheet);
    s.CreateImage(64, 192, sheets.ColorSheet);
    ClearImage(sheets.NumSheet, 253);
    ClearImage(sheets.MojiSheet, 249);
    for (int g = 0; g < 256; ++g) {
      FillImageRect(sheets.NumSheet, (g % 16) * 32 + 8, (g / 16) * 32 + 8, 16, 16, 4);
      FillImageRect(sheets.MojiSheet, (g % 16) * 32 + 6, (g / 16) * 32 + 6, 20, 20, 252);
    }
    ClearImage(sheets.ColorSheet, 255);
    sheets.UpdateCounts();
    p.GridWidth = 256;
    p.GridHeight = 240;
    CellsLock cells(p);
    for (int x = 0; x < 256; ++x)
      for (int y = 0; y < 240; ++y) cells.set(x, y, static_cast<std::uint8_t>(1 + (x * 7 + y * 13) % 254));
    for (int n = 0; n < 256; ++n) {
      p.AnserTbl[n] = n;
      p.InputTbl[n] = n % 2 ? n : 256;
      // Distinct texts, so that a typed one names one entry.
      p.MojiTbl[n] = "m" + std::to_string(n);
      p.HintTbl[n] = n * 97 + 1;
    }
    for (int k = 0; k < 32; ++k) p.Syoki[k] = k * 113;
    p.CursorX = 20;
    p.CursorY = 10;
    s.CreateImage(1920, 1056, back);
  }
  DibSurface s;
  GlyphSheets sheets;
  Puzzle p;
  TDibImage back;
};

void BM_DrawGridFull(benchmark::State& state, PlayMode play, PuzzleKind kind) {
  Scene scene;
  ModeState m;
  m.play = play;
  m.kind = kind;
  const GridView view{scene.p, scene.sheets, m, 100, 100};
  for (auto _ : state) {
    DrawGrid(view, scene.back);
    benchmark::ClobberMemory();
  }
}
BENCHMARK_CAPTURE(BM_DrawGridFull, game_nankuro, PlayMode::Game, PuzzleKind::Nankuro)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_DrawGridFull, answer_nankuro, PlayMode::Answer, PuzzleKind::Nankuro)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_DrawGridFull, game_crossword, PlayMode::Game, PuzzleKind::Crossword)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_DrawGridFull, create_nankuro, PlayMode::Create, PuzzleKind::Nankuro)->Unit(benchmark::kMicrosecond);

void BM_DrawNumberGroup(benchmark::State& state) {
  Scene scene;
  ModeState m;
  const GridView view{scene.p, scene.sheets, m, 100, 100};
  DrawGrid(view, scene.back);
  int shown = 0;
  for (auto _ : state) {
    DrawNumberGroup(view, scene.back, 120, 110, [&](int, int) { ++shown; });
    benchmark::ClobberMemory();
  }
  benchmark::DoNotOptimize(shown);
}
BENCHMARK(BM_DrawNumberGroup)->Unit(benchmark::kMicrosecond);

}  // namespace

namespace {

// Characters as a solid box, as a font would give them at the zoomed size.
class BoxText : public teku::TextRasterizer {
 public:
  void DrawText(const std::string&, teku::GlyphBitmap& bitmap, int& width, int& height) override {
    bitmap.pixels.fill(255);
    width = height = 20;
  }
  void DrawTextSized(const std::string&, int size, std::vector<std::uint8_t>& pixels, int& width,
                     int& height) override {
    pixels.assign(static_cast<std::size_t>(size) * size, 255);
    width = height = size * 20 / 64;
  }
};

struct ZoomedScene : Scene {
  explicit ZoomedScene(std::int32_t cell) {
    BoxText text;
    BuildSheetsForCell(s, sheets, cell, p.MojiTbl, text, zoomed);
    s.CreateImage(60 * cell, 33 * cell, back);
  }
  GlyphSheets zoomed;
};

void BM_DrawGridZoomed(benchmark::State& state) {
  ZoomedScene scene(static_cast<std::int32_t>(state.range(0)) * 32 / 100);
  const GridView view{scene.p, scene.zoomed, ModeState{}, 100, 100};
  for (auto _ : state) {
    DrawGrid(view, scene.back);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_DrawGridZoomed)->Arg(200)->Arg(400)->Unit(benchmark::kMillisecond);

// A character typed in game mode at 400 %: the entry itself, then what the window redraws for
// it (the typed number's cells, the cells the cursor leaves and those it comes to).
void BM_KeystrokeAt400(benchmark::State& state) {
  ZoomedScene scene(128);
  ClickCache cache;
  GridKeyState keys;
  const ModeState m;
  const GridView view{scene.p, scene.zoomed, m, 100, 100};
  DrawGrid(view, scene.back);
  int shown = 0;
  const auto show = [&](int, int) { ++shown; };
  int typed = 0;
  for (auto _ : state) {
    scene.p.CursorX = 120;
    scene.p.CursorY = 110;
    // Two free entries in turn, so that every keystroke changes the input.
    const KeyOutcome o = TypeOnGrid(scene.p, cache, keys, m, typed++ % 2 ? "m200" : "m202");
    if (!o.click.handled) state.SkipWithError("the keystroke entered nothing");
    DrawNumberGroup(view, scene.back, o.click.cx, o.click.cy, show);
    DrawNumberGroup(view, scene.back, o.fromX, o.fromY, show);
    DrawNumberGroup(view, scene.back, scene.p.CursorX, scene.p.CursorY, show);
    benchmark::ClobberMemory();
  }
  state.counters["blocks"] = benchmark::Counter(shown, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_KeystrokeAt400)->Unit(benchmark::kMicrosecond);

}  // namespace
