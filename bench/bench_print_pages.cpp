// The printed pages of the largest puzzle: 256 x 240 cells, every cell numbered, all 256 clues
// with both texts and the answer word, with its solution pages. The layout alone, and the layout
// drawn into a PDF file (the goal is under a second).
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <cstdlib>
#include <string>

#include "export/page_painter.h"
#include "services/cp932.h"

namespace {

using namespace teku;

struct Largest {
  Largest() {
    p.GridWidth = kGridColumns;
    p.GridHeight = kGridRows;
    {
      CellsLock cells(p);
      for (int x = 0; x < kGridColumns; ++x)
        for (int y = 0; y < kGridRows; ++y) cells.set(x, y, static_cast<std::uint8_t>(1 + (x * 7 + y * 13) % 254));
    }
    const std::string kana = *Utf8ToCp932("あいうえおかきくけこさしすせそたちつてとなにぬねの");
    for (int n = 0; n < 256; ++n) {
      p.MojiTbl[n] = kana.substr(static_cast<std::size_t>(n % 25) * 2, 2);
      p.AnserTbl[n] = n;
      p.HintTbl[n] = n * 239 + 1;
      p.HintTate[n] = kana.substr(0, static_cast<std::size_t>(2 * (3 + n % 20))) + *Utf8ToCp932("のこと");
      p.HintYoko[n] = *Utf8ToCp932("よこの") + kana.substr(static_cast<std::size_t>(n % 10) * 2, 20);
    }
    for (int k = 0; k < kSlotCount; ++k) p.Kaitou[k] = 1 + k;
  }
  Puzzle p;
};

Largest& Scene() {
  static Largest scene;
  return scene;
}

void BM_LayOut256x240(benchmark::State& state) {
  for (auto _ : state) {
    PageDocument doc = LayOutPuzzle(Scene().p, PuzzleKind::Crossword, PageOptions{Paper::A4, false, false, true});
    benchmark::DoNotOptimize(doc.pages.data());
  }
}
BENCHMARK(BM_LayOut256x240)->Unit(benchmark::kMillisecond);

void BM_Pdf256x240(benchmark::State& state) {
  const std::string path = "/tmp/teku-bench-pages.pdf";
  std::size_t pages = 0;
  for (auto _ : state) {
    const PageDocument doc = LayOutPuzzle(Scene().p, PuzzleKind::Crossword, PageOptions{Paper::A4, false, false, true});
    QString error;
    if (!WritePdf(doc, path, QStringLiteral("bench"), error)) state.SkipWithError(error.toStdString().c_str());
    pages = doc.pages.size();
  }
  state.counters["pages"] = static_cast<double>(pages);
  std::remove(path.c_str());
}
BENCHMARK(BM_Pdf256x240)->Unit(benchmark::kMillisecond);

}  // namespace

// The font engine needs an application object; no display is used.
int main(int argc, char** argv) {
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  int qtArgc = 1;
  QGuiApplication app(qtArgc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
