// Fast nearest-palette-colour lookups that give exactly the index DibSurface::NearestColorNo
// gives (smallest |dR|+|dG|+|dB|, lowest index on ties), for readers that map every pixel.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "surface/dib_image.h"

namespace teku {

// Colour space is cut into cubes, and each cube keeps the palette entries that can be nearest
// somewhere inside it (in index order): an entry whose nearest point of the cube is farther
// than another entry's farthest point can neither win nor tie there. Fine cubes (4 levels a
// side) take their lists from coarse ones (16 levels), both built on first use; most fine
// cubes hold one or two entries. Not thread-safe: one map per thread.
class NearestColorMap {
 public:
  explicit NearestColorMap(const Palette256& palette);

  const Palette256& palette() const { return palette_; }

  std::uint8_t Nearest(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    const std::uint32_t cube =
        std::uint32_t{red} >> 2 << 12 | std::uint32_t{green} >> 2 << 6 | std::uint32_t{blue} >> 2;
    std::uint32_t e = fine_[cube];
    if (e == 0) e = BuildFine(cube);
    if ((e & kSingle) != 0) return static_cast<std::uint8_t>(e);
    const std::uint8_t* list;
    std::uint32_t count;
    if ((e & kCoarse) != 0) {
      list = CoarseList(e & 0xFFFF, count);
    } else {
      list = fineLists_.data() + (e >> 4 & 0x3FFFFFF);
      count = e & 15;
    }
    return Search(list, count, red, green, blue);
  }

 private:
  // A built fine cube is kBuilt with: kSingle and the one index; kCoarse and the coarse cube
  // whose list it shares; or the offset of its own list << 4 and its length (2..15).
  static constexpr std::uint32_t kBuilt = 1u << 31;
  static constexpr std::uint32_t kCoarse = 1u << 30;
  static constexpr std::uint32_t kSingle = 1u << 29;

  std::uint8_t Search(const std::uint8_t* list, std::uint32_t count, int r, int g, int b) const {
    // In index order, "strictly nearer replaces" keeps the lowest index of the nearest.
    int best = list[0];
    int bestDistance = Distance(best, r, g, b);
    for (std::uint32_t i = 1; i < count && bestDistance != 0; ++i) {
      const int d = Distance(list[i], r, g, b);
      if (d < bestDistance) {
        bestDistance = d;
        best = list[i];
      }
    }
    return static_cast<std::uint8_t>(best);
  }
  int Distance(int index, int r, int g, int b) const {
    const PaletteEntry& e = palette_[static_cast<std::size_t>(index)];
    return std::abs(r - e.red) + std::abs(g - e.green) + std::abs(b - e.blue);
  }
  std::uint32_t BuildFine(std::uint32_t cube);
  const std::uint8_t* CoarseList(std::uint32_t cube, std::uint32_t& count);

  Palette256 palette_;
  std::vector<std::uint32_t> fine_;  // 64^3 cubes, 0 = not built
  std::vector<std::uint8_t> fineLists_;
  std::vector<std::uint32_t> coarseOffset_;  // 16^3 cubes: offset + 1, 0 = not built
  std::vector<std::uint16_t> coarseCount_;
  std::vector<std::uint8_t> coarseLists_;
};

// The map for `palette`, kept between calls on this thread and rebuilt when the palette
// differs from the last one asked for.
NearestColorMap& NearestColorMapFor(const Palette256& palette);

}  // namespace teku
