// The author's tools on the largest grid (256 x 240): the full check with every rule on, and
// numbering the letters afresh, shuffled.
#include <benchmark/benchmark.h>

#include "app/puzzle_model.h"
#include "services/cp932.h"
#include "workbench/letter_grid.h"
#include "workbench/puzzle_check.h"

namespace {

using namespace teku;

// Words of three to seven cells between blocked cells in a brick pattern, the letters drawn
// from the katakana so that every number is carried many times.
struct Largest {
  Largest() {
    p.GridWidth = 256;
    p.GridHeight = 240;
    const std::string kana = Utf8ToCp932Lossy(
        "アイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホマミムメモヤユヨラリルレロワン"
        "ガギグゲゴザジズゼゾダヂヅデドバビブベボパピプペポッャュョー");
    std::uint32_t seed = 12345;
    const auto next = [&] { return (seed = seed * 1664525u + 1013904223u) >> 8; };
    for (std::int32_t y = 0; y < p.GridHeight; ++y) {
      std::int32_t run = static_cast<std::int32_t>(3 + next() % 5);
      for (std::int32_t x = 0; x < p.GridWidth; ++x) {
        if (run-- == 0 || (y % 4 == 3 && x % 3 == 1)) {
          run = static_cast<std::int32_t>(3 + next() % 5);
          continue;
        }
        const std::size_t k = 2 * (next() % (kana.size() / 2));
        PutLetter(p, x, y, kana.substr(k, 2));
      }
    }
  }
  Puzzle p;
};

void BM_CheckLargestAllRules(benchmark::State& state) {
  Largest l;
  std::size_t problems = 0;
  for (auto _ : state) problems = CheckPuzzle(l.p, PuzzleKind::Nankuro, kAllCheckRules).size();
  state.counters["problems"] = static_cast<double>(problems);
}
BENCHMARK(BM_CheckLargestAllRules)->Unit(benchmark::kMillisecond);

void BM_NumberLargestShuffled(benchmark::State& state) {
  Largest l;
  std::uint64_t seed = 1;
  for (auto _ : state) benchmark::DoNotOptimize(NumberLetters(l.p, {true, seed++, true}).characters);
}
BENCHMARK(BM_NumberLargestShuffled)->Unit(benchmark::kMillisecond);

}  // namespace
