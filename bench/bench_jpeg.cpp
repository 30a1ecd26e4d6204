// JPEG reading speed, side by side with libjpeg-turbo's djpeg on the same 3000 x 2000 4:2:0
// quality-90 picture (made here with ImageMagick and cjpeg). Ours includes the palette mapping
// of every pixel; one row rebuilds the nearest-colour map for each load, as a new palette does.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "surface/jpeg_decoder.h"

namespace {

using namespace teku;

const std::string& Picture() {
  static const std::string path = [] {
    const std::string dir = "/tmp/teku_bench_jpeg_" + std::to_string(getpid());
    const std::string ppm = dir + "/big.ppm";
    const std::string jpg = dir + "/big.jpg";
    const std::string make = "mkdir -p " + dir + " && convert -seed 7 -size 3000x2000 plasma:fractal " +
                             "-blur 0x1 -depth 8 ppm:" + ppm + " && cjpeg -quality 90 -sample 2x2 " +
                             "-outfile " + jpg + " " + ppm + " && rm -f " + ppm;
    // The picture folder goes when the benchmarks end.
    static const std::string folder = dir;
    std::atexit([] { std::filesystem::remove_all(folder); });
    return std::system(make.c_str()) == 0 ? jpg : std::string();
  }();
  return path;
}

void BM_LoadJpeg(benchmark::State& state) {
  if (Picture().empty()) {
    state.SkipWithError("could not make the picture (convert, cjpeg)");
    return;
  }
  DibSurface surface;
  TDibImage image;
  const bool cold = state.range(0) != 0;
  int flip = 0;
  for (auto _ : state) {
    if (cold) surface.Palette[0].flags = static_cast<std::uint8_t>(++flip);  // a new palette
    LoadJpeg(surface, Picture(), image, {});
    benchmark::DoNotOptimize(image.Bits);
  }
  state.SetLabel(cold ? "ours, palette map built per load" : "ours, palette map kept");
}
BENCHMARK(BM_LoadJpeg)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Djpeg(benchmark::State& state) {
  if (Picture().empty()) {
    state.SkipWithError("could not make the picture (convert, cjpeg)");
    return;
  }
  const std::string command = "djpeg -outfile /dev/null " + Picture();
  rusage before{};
  getrusage(RUSAGE_CHILDREN, &before);
  for (auto _ : state) {
    if (std::system(command.c_str()) != 0) state.SkipWithError("djpeg failed");
  }
  rusage after{};
  getrusage(RUSAGE_CHILDREN, &after);
  auto ms = [](const timeval& t) { return t.tv_sec * 1e3 + t.tv_usec / 1e3; };
  // The child's own processor time, comparable with the CPU column of our rows.
  state.counters["child_cpu_ms"] = benchmark::Counter(
      (ms(after.ru_utime) + ms(after.ru_stime) - ms(before.ru_utime) - ms(before.ru_stime)) /
      static_cast<double>(state.iterations()));
  state.SetLabel("djpeg to PPM, whole process");
}
BENCHMARK(BM_Djpeg)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
