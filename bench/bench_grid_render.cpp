// Grid composition speed: a full 1920 x 1056 back buffer (60 x 33 cells) of a 256 x 240 puzzle.
#include <benchmark/benchmark.h>

#include "app/grid_render.h"

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
      p.MojiTbl[n] = "x";
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
