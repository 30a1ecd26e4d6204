// MAG reading speed: a 640 x 400 256-colour picture, from memory and from a file, remap
// included. The picture is a smooth gradient with repeated stripes, coded with new units and
// copies from the unit above or to the left, as pictures of that kind are.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "surface/mag_decoder.h"

namespace {

using namespace teku;

void Put(std::vector<std::uint8_t>& v, std::size_t at, std::uint32_t x, int bytes) {
  for (int i = 0; i < bytes; ++i) v[at + i] = static_cast<std::uint8_t>(x >> (8 * i));
}

std::vector<std::uint8_t> MakePicture() {
  constexpr int kW = 640, kH = 400, kUnits = kW / 2, kFlagBytes = kUnits / 2;
  std::vector<std::uint16_t> units(static_cast<std::size_t>(kUnits) * kH);
  for (int y = 0; y < kH; ++y) {
    for (int l = 0; l < kUnits; ++l) {
      const int band = (y / 8) % 5 == 0 ? 0 : (l * 2 + y) / 5;
      const auto p = static_cast<std::uint8_t>(band % 256);
      units[static_cast<std::size_t>(y) * kUnits + l] = static_cast<std::uint16_t>(p | p << 8);
    }
  }
  std::vector<std::uint8_t> flagA, flagB, pixels;
  std::vector<std::uint8_t> previous(kFlagBytes, 0), flags(kUnits);
  std::size_t bit = 0;
  for (int y = 0; y < kH; ++y) {
    for (int l = 0; l < kUnits; ++l) {
      const std::uint16_t u = units[static_cast<std::size_t>(y) * kUnits + l];
      if (y > 0 && units[static_cast<std::size_t>(y - 1) * kUnits + l] == u) {
        flags[l] = 4;
      } else if (l > 0 && units[static_cast<std::size_t>(y) * kUnits + l - 1] == u) {
        flags[l] = 1;
      } else {
        flags[l] = 0;
        pixels.push_back(static_cast<std::uint8_t>(u));
        pixels.push_back(static_cast<std::uint8_t>(u >> 8));
      }
    }
    for (int p = 0; p < kFlagBytes; ++p) {
      const auto b = static_cast<std::uint8_t>(flags[2 * p] << 4 | flags[2 * p + 1]);
      if (bit / 8 >= flagA.size()) flagA.push_back(0);
      if (b != previous[p]) {
        flagA[bit / 8] |= static_cast<std::uint8_t>(0x80 >> (bit % 8));
        flagB.push_back(b ^ previous[p]);
      }
      previous[p] = b;
      ++bit;
    }
  }
  const std::string lead = "MAKI02  bench\x1A";
  std::vector<std::uint8_t> file;
  for (char c : lead) file.push_back(static_cast<std::uint8_t>(c));
  const std::size_t n = file.size();
  file.resize(n + 32 + 768, 0);
  file[n + 3] = 0x80;
  Put(file, n + 8, kW - 1, 2);
  Put(file, n + 10, kH - 1, 2);
  const std::uint32_t a = 32 + 768;
  const auto b = static_cast<std::uint32_t>(a + flagA.size());
  const auto p = static_cast<std::uint32_t>(b + flagB.size());
  Put(file, n + 12, a, 4);
  Put(file, n + 16, b, 4);
  Put(file, n + 20, static_cast<std::uint32_t>(flagB.size()), 4);
  Put(file, n + 24, p, 4);
  Put(file, n + 28, static_cast<std::uint32_t>(pixels.size()), 4);
  for (int k = 0; k < 256; ++k) {
    file[n + 32 + 3 * k] = static_cast<std::uint8_t>(k);
    file[n + 33 + 3 * k] = static_cast<std::uint8_t>(255 - k);
    file[n + 34 + 3 * k] = static_cast<std::uint8_t>(k * 7);
  }
  for (const auto* v : {&flagA, &flagB, &pixels}) {
    for (std::uint8_t byte : *v) file.push_back(byte);
  }
  return file;
}

void BM_ReadMag640x400x256(benchmark::State& state) {
  const auto file = MakePicture();
  const DibSurface surface;
  TDibImage image;
  for (auto _ : state) {
    benchmark::DoNotOptimize(ReadMag(surface, PictureBytes(file), image));
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * 640 * 400);
}
BENCHMARK(BM_ReadMag640x400x256)->Unit(benchmark::kMillisecond);

void BM_LoadMagFile640x400x256(benchmark::State& state) {
  const auto file = MakePicture();
  const std::string path =
      (std::filesystem::temp_directory_path() / "teku-bench-640x400.mag").string();
  if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
    std::fwrite(file.data(), 1, file.size(), f);
    std::fclose(f);
  }
  const DibSurface surface;
  TDibImage image;
  for (auto _ : state) benchmark::DoNotOptimize(LoadMag(surface, path, image));
  if (!image.allocated() || image.width() != 640) state.SkipWithError("picture did not load");
  std::filesystem::remove(path);
}
BENCHMARK(BM_LoadMagFile640x400x256)->Unit(benchmark::kMillisecond);

}  // namespace
