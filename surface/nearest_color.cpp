// Exact nearest-colour search pruned by colour cubes.
#include "surface/nearest_color.h"

#include <algorithm>
#include <memory>

namespace teku {

namespace {
// Bounds of the L1 distance from an entry to the points of a cube [lo, lo + side - 1]^3.
void CubeDistances(const PaletteEntry& e, const int lo[3], int side, int& dMin, int& dMax) {
  const int c[3] = {e.red, e.green, e.blue};
  dMin = 0;
  dMax = 0;
  for (int k = 0; k < 3; ++k) {
    const int hi = lo[k] + side - 1;
    dMin += c[k] < lo[k] ? lo[k] - c[k] : c[k] > hi ? c[k] - hi : 0;
    dMax += std::max(c[k] - lo[k], hi - c[k]);
  }
}

// The entries of `from` that can be nearest somewhere in the cube, in the order given.
void Prune(const Palette256& palette, const std::uint8_t* from, std::uint32_t count,
           const int lo[3], int side, std::vector<std::uint8_t>& out) {
  int nearMin[256];
  int bound = 1 << 30;
  for (std::uint32_t i = 0; i < count; ++i) {
    int dMax = 0;
    CubeDistances(palette[from[i]], lo, side, nearMin[i], dMax);
    bound = std::min(bound, dMax);
  }
  for (std::uint32_t i = 0; i < count; ++i) {
    if (nearMin[i] <= bound) out.push_back(from[i]);
  }
}
}  // namespace

NearestColorMap::NearestColorMap(const Palette256& palette)
    : palette_(palette), fine_(1u << 18, 0), coarseOffset_(1u << 12, 0), coarseCount_(1u << 12, 0) {}

const std::uint8_t* NearestColorMap::CoarseList(std::uint32_t cube, std::uint32_t& count) {
  if (coarseOffset_[cube] == 0) {
    std::uint8_t all[256];
    for (int i = 0; i < 256; ++i) all[i] = static_cast<std::uint8_t>(i);
    const int lo[3] = {static_cast<int>(cube >> 8 & 15) * 16, static_cast<int>(cube >> 4 & 15) * 16,
                       static_cast<int>(cube & 15) * 16};
    const auto start = static_cast<std::uint32_t>(coarseLists_.size());
    Prune(palette_, all, 256, lo, 16, coarseLists_);
    coarseOffset_[cube] = start + 1;
    coarseCount_[cube] = static_cast<std::uint16_t>(coarseLists_.size() - start);
  }
  count = coarseCount_[cube];
  return coarseLists_.data() + (coarseOffset_[cube] - 1);
}

std::uint32_t NearestColorMap::BuildFine(std::uint32_t cube) {
  const int fr = static_cast<int>(cube >> 12), fg = static_cast<int>(cube >> 6 & 63),
            fb = static_cast<int>(cube & 63);
  const auto coarse = static_cast<std::uint32_t>((fr >> 2) << 8 | (fg >> 2) << 4 | (fb >> 2));
  std::uint32_t coarseCount = 0;
  const std::uint8_t* coarseList = CoarseList(coarse, coarseCount);
  // A subset of the coarse list suffices: what can never be nearest in the coarse cube can
  // never be nearest in a part of it.
  std::vector<std::uint8_t> list;
  const int lo[3] = {fr * 4, fg * 4, fb * 4};
  Prune(palette_, coarseList, coarseCount, lo, 4, list);
  std::uint32_t e;
  if (list.size() == 1) {
    e = kBuilt | kSingle | list[0];
  } else if (list.size() < 16) {
    e = kBuilt | static_cast<std::uint32_t>(fineLists_.size()) << 4 |
        static_cast<std::uint32_t>(list.size());
    fineLists_.insert(fineLists_.end(), list.begin(), list.end());
  } else {
    e = kBuilt | kCoarse | coarse;  // long lists stay shared with the coarse cube
  }
  fine_[cube] = e;
  return e;
}

NearestColorMap& NearestColorMapFor(const Palette256& palette) {
  thread_local std::unique_ptr<NearestColorMap> map;
  if (map == nullptr || map->palette() != palette) map = std::make_unique<NearestColorMap>(palette);
  return *map;
}

}  // namespace teku
