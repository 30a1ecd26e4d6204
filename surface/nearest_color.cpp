// Exact nearest-colour search pruned by colour cubes, with a per-colour memo.
#include "surface/nearest_color.h"

#include <algorithm>
#include <cstdlib>

namespace teku {

namespace {
constexpr std::uint32_t kMemoEntries = std::uint32_t{1} << 24;
constexpr int kCubeBits = 4;  // cubes of 16 levels per channel
constexpr std::uint32_t kCubes = std::uint32_t{1} << (3 * (8 - kCubeBits));

int Distance(const PaletteEntry& e, int r, int g, int b) {
  return std::abs(r - e.red) + std::abs(g - e.green) + std::abs(b - e.blue);
}
}  // namespace

NearestColorMap::NearestColorMap(const Palette256& palette)
    : palette_(palette), cubeOffset_(kCubes, 0), cubeCount_(kCubes, 0) {
  // calloc hands out untouched zero pages, so only the colours a picture meets cost memory.
  memo_ = static_cast<std::uint16_t*>(std::calloc(kMemoEntries, sizeof(std::uint16_t)));
}

NearestColorMap::~NearestColorMap() { std::free(memo_); }

const std::uint8_t* NearestColorMap::CandidatesOf(std::uint32_t cube, std::uint32_t& count) {
  if (cubeOffset_[cube] == 0) {
    constexpr int kSide = 1 << kCubeBits;
    const int lo[3] = {static_cast<int>(cube >> 8 & 15) * kSide,
                       static_cast<int>(cube >> 4 & 15) * kSide,
                       static_cast<int>(cube & 15) * kSide};
    int nearMin[256];
    int bound = 1 << 30;
    for (int i = 0; i < 256; ++i) {
      const int c[3] = {palette_[i].red, palette_[i].green, palette_[i].blue};
      int dMin = 0;
      int dMax = 0;
      for (int k = 0; k < 3; ++k) {
        const int hi = lo[k] + kSide - 1;
        dMin += c[k] < lo[k] ? lo[k] - c[k] : c[k] > hi ? c[k] - hi : 0;
        dMax += std::max(c[k] - lo[k], hi - c[k]);
      }
      nearMin[i] = dMin;
      bound = std::min(bound, dMax);
    }
    // An entry whose nearest point of the cube is farther than some entry's farthest point
    // can neither win nor tie anywhere in the cube.
    const auto start = static_cast<std::uint32_t>(candidates_.size());
    for (int i = 0; i < 256; ++i) {
      if (nearMin[i] <= bound) candidates_.push_back(static_cast<std::uint8_t>(i));
    }
    cubeOffset_[cube] = start + 1;
    cubeCount_[cube] = static_cast<std::uint16_t>(candidates_.size() - start);
  }
  count = cubeCount_[cube];
  return candidates_.data() + (cubeOffset_[cube] - 1);
}

std::uint8_t NearestColorMap::Search(std::uint32_t key) {
  const int r = static_cast<int>(key >> 16);
  const int g = static_cast<int>(key >> 8 & 255);
  const int b = static_cast<int>(key & 255);
  const std::uint32_t cube = static_cast<std::uint32_t>(r >> kCubeBits) << 8 |
                             static_cast<std::uint32_t>(g >> kCubeBits) << 4 |
                             static_cast<std::uint32_t>(b >> kCubeBits);
  std::uint32_t count = 0;
  const std::uint8_t* list = CandidatesOf(cube, count);
  // Candidates are in index order, so "strictly nearer replaces" keeps the lowest index.
  int best = list[0];
  int bestDistance = Distance(palette_[best], r, g, b);
  for (std::uint32_t i = 1; i < count && bestDistance != 0; ++i) {
    const int d = Distance(palette_[list[i]], r, g, b);
    if (d < bestDistance) {
      bestDistance = d;
      best = list[i];
    }
  }
  if (memo_ != nullptr) memo_[key] = static_cast<std::uint16_t>(best + 1);
  return static_cast<std::uint8_t>(best);
}

NearestColorMap& NearestColorMapFor(const Palette256& palette) {
  thread_local std::unique_ptr<NearestColorMap> map;
  if (map == nullptr || map->palette() != palette) map = std::make_unique<NearestColorMap>(palette);
  return *map;
}

}  // namespace teku
