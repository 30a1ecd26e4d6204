// Puzzle file speed: a full save of the largest puzzle (256 x 240, every character and clue)
// into a new file and over an existing one, and loading it.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <unistd.h>

#include "app/puzzle_file.h"

namespace {

using namespace teku;
namespace fs = std::filesystem;

struct Largest {
  Largest() : dir(fs::temp_directory_path() / ("teku-bench-" + std::to_string(::getpid()))), ini(dir.string(), "TEKUCROSE") {
    fs::create_directories(dir);
    p.GridWidth = 256;
    p.GridHeight = 240;
    CellsLock cells(p);
    for (int i = 0; i < p.CellCount(); ++i) cells.set(i % 256, i / 256, static_cast<std::uint8_t>(1 + i % 254));
    for (int n = 0; n < 256; ++n) {
      p.AnserTbl[n] = n;
      p.HintTbl[n] = n * 200 + 1;
      p.MojiTbl[n] = "\x83\x41";
      p.HintTate[n] = "\x82\xbd\x82\xc4\x82\xcc\x83\x71\x83\x93\x83\x67" + std::to_string(n);
      p.HintYoko[n] = "\x82\xe6\x82\xb1\x82\xcc\x83\x71\x83\x93\x83\x67" + std::to_string(n);
    }
  }
  ~Largest() { fs::remove_all(dir); }
  fs::path dir;
  ZIREDIZU ini;
  Puzzle p;
  ModeState m;
};

void BM_SaveNewFile(benchmark::State& state) {
  Largest l;
  PuzzleFileContext c{l.ini, l.p, l.m, {}};
  for (auto _ : state) {
    state.PauseTiming();
    fs::remove(l.dir / "BIG.CRS");
    state.ResumeTiming();
    SavePuzzle(c, "BIG.CRS");
  }
}
BENCHMARK(BM_SaveNewFile)->Unit(benchmark::kMillisecond);

void BM_SaveOverExisting(benchmark::State& state) {
  Largest l;
  PuzzleFileContext c{l.ini, l.p, l.m, {}};
  SavePuzzle(c, "BIG.CRS");
  int round = 0;
  for (auto _ : state) {
    l.p.Title = "round " + std::to_string(round++);  // something always changes
    SavePuzzle(c, "BIG.CRS");
  }
}
BENCHMARK(BM_SaveOverExisting)->Unit(benchmark::kMillisecond);

void BM_Load(benchmark::State& state) {
  Largest l;
  PuzzleFileContext c{l.ini, l.p, l.m, {}};
  SavePuzzle(c, "BIG.CRS");
  SaveInput(c, "BIG.CRS");
  Puzzle q;
  ModeState n;
  PuzzleFileContext d{l.ini, q, n, {}};
  for (auto _ : state) LoadPuzzleFile(d, "BIG.CRS");
}
BENCHMARK(BM_Load)->Unit(benchmark::kMillisecond);

}  // namespace
