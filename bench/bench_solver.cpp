// The uniqueness check: loading the word list, deciding the sample number-crossword, and a
// 20 x 20 number-crossword laid out here from dictionary words. Node counts are reported as
// counters.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <random>

#include "app/puzzle_file.h"
#include "workbench/uniqueness.h"

namespace {

using namespace teku;

const std::string kProgramDir = TEKU_PROGRAM_DIR;

WordList LoadWords() {
  WordList w;
  std::string error;
  if (!w.Load(kProgramDir + "/" + kWordListFile, error)) std::fprintf(stderr, "%s\n", error.c_str());
  return w;
}

// A 20 x 20 grid laid out as a setter would start one: words crossing words already placed, no
// two words side by side, from the dictionary in a fixed pseudo-random order.
NumberGrid DictionaryGrid(const WordList& words) {
  constexpr int kSize = 20;
  std::vector<std::uint8_t> g(kSize * kSize, 0);  // codes; 0 = empty
  const auto at = [&g](int x, int y) -> std::uint8_t {
    return x < 0 || y < 0 || x >= kSize || y >= kSize ? 0 : g[static_cast<std::size_t>(y * kSize + x)];
  };
  std::mt19937 rng(17);
  // Can `w` go at (x, y) across (down: dx=0)? It must cross at least one letter, agree with the
  // letters it crosses, and touch no other letter side-on or at its ends.
  const auto fits = [&](std::string_view w, int x, int y, bool down) {
    const int dx = down ? 0 : 1, dy = down ? 1 : 0;
    const int n = static_cast<int>(w.size());
    if (x < 0 || y < 0 || x + dx * (n - 1) >= kSize || y + dy * (n - 1) >= kSize) return false;
    if (at(x - dx, y - dy) != 0 || at(x + dx * n, y + dy * n) != 0) return false;
    int crossings = 0;
    for (int i = 0; i < n; ++i) {
      const int cx = x + dx * i, cy = y + dy * i;
      const std::uint8_t c = at(cx, cy);
      if (c != 0) {
        if (c != static_cast<std::uint8_t>(w[static_cast<std::size_t>(i)])) return false;
        ++crossings;
      } else if (at(cx + dy, cy + dx) != 0 || at(cx - dy, cy - dx) != 0) {
        return false;
      }
    }
    return crossings > 0 && crossings < n;
  };
  const auto place = [&](std::string_view w, int x, int y, bool down) {
    for (int i = 0; i < static_cast<int>(w.size()); ++i) {
      g[static_cast<std::size_t>((y + (down ? i : 0)) * kSize + x + (down ? 0 : i))] = static_cast<std::uint8_t>(w[static_cast<std::size_t>(i)]);
    }
  };
  const std::string_view first = words.Word(8, words.Count(8) / 3);
  for (int i = 0; i < 8; ++i) g[static_cast<std::size_t>(9 * kSize + 6 + i)] = static_cast<std::uint8_t>(first[static_cast<std::size_t>(i)]);
  for (int round = 0; round < 400000; ++round) {
    const std::size_t len = 2 + rng() % 7;
    const std::string_view w = words.Word(len, rng() % words.Count(len));
    const int x = static_cast<int>(rng() % kSize), y = static_cast<int>(rng() % kSize);
    const bool down = (rng() & 1) != 0;
    if (fits(w, x, y, down)) place(w, x, y, down);
  }
  NumberGrid out;
  out.width = out.height = kSize;
  std::map<std::uint8_t, std::uint8_t> number;
  for (const std::uint8_t c : g) {
    if (c == 0) {
      out.cells.push_back(kEmptyCell);
      continue;
    }
    const auto n = static_cast<std::uint8_t>(number.emplace(c, number.size() + 1).first->second);
    out.answer[n] = KanaText(c);
    out.cells.push_back(n);
  }
  return out;
}

NumberGrid Sample1() {
  ZIREDIZU ini(kProgramDir + "/", "TEKUCROSE");
  Puzzle p;
  ModeState m;
  PuzzleFileContext c{ini, p, m, {}};
  LoadPuzzleFile(c, "SAMPLE1.CRS");
  return NumberGridOf(p);
}

void Decide(benchmark::State& state, const NumberGrid& grid) {
  WordList words = LoadWords();
  const PuzzleSolver solver(grid, words);
  UniquenessReport r;
  for (auto _ : state) r = solver.Check();
  state.counters["nodes"] = static_cast<double>(r.nodes);
  state.counters["solutions"] = r.status == SolveStatus::kUnique ? 1 : r.status == SolveStatus::kSeveral ? 2 : 0;
  state.counters["slots"] = static_cast<double>(r.wordSlots.size());
}

void BM_LoadWordList(benchmark::State& state) {
  std::size_t n = 0;
  for (auto _ : state) n = LoadWords().Size();
  state.counters["words"] = static_cast<double>(n);
}
BENCHMARK(BM_LoadWordList)->Unit(benchmark::kMillisecond);

void BM_DecideSample1(benchmark::State& state) { Decide(state, Sample1()); }
BENCHMARK(BM_DecideSample1)->Unit(benchmark::kMillisecond);

// With its answer table empty the sample has only the list to go by: a search over the
// dictionary alone, which must prove that nothing fits.
void BM_DecideSample1ListOnly(benchmark::State& state) {
  NumberGrid grid = Sample1();
  grid.answer = {};
  Decide(state, grid);
}
BENCHMARK(BM_DecideSample1ListOnly)->Unit(benchmark::kMillisecond);

void BM_DecideSample1WithSuggestedGivens(benchmark::State& state) {
  WordList words = LoadWords();
  NumberGrid grid = Sample1();
  for (const SuggestedGiven& g : PuzzleSolver(grid, words).Suggest().added) grid.givens.push_back(g.cell);
  Decide(state, grid);
}
BENCHMARK(BM_DecideSample1WithSuggestedGivens)->Unit(benchmark::kMillisecond);

void BM_Decide20x20(benchmark::State& state) {
  const NumberGrid grid = DictionaryGrid(LoadWords());
  state.counters["cells"] = static_cast<double>(std::count_if(grid.cells.begin(), grid.cells.end(),
                                                              [](std::uint8_t c) { return c != kEmptyCell; }));
  Decide(state, grid);
}
BENCHMARK(BM_Decide20x20)->Unit(benchmark::kMillisecond);

void BM_Suggest20x20(benchmark::State& state) {
  WordList words = LoadWords();
  const PuzzleSolver solver(DictionaryGrid(words), words);
  Suggestion s;
  for (auto _ : state) s = solver.Suggest();
  state.counters["added"] = static_cast<double>(s.added.size());
  state.counters["unique"] = s.report.status == SolveStatus::kUnique ? 1 : 0;
}
BENCHMARK(BM_Suggest20x20)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
