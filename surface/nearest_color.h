// Fast nearest-palette-colour lookups that give exactly the index DibSurface::NearestColorNo
// gives (smallest |dR|+|dG|+|dB|, lowest index on ties), for readers that map every pixel.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "surface/dib_image.h"

namespace teku {

// Answers are found by a search pruned to the palette entries that can be nearest within a
// 16 x 16 x 16 cube of colours, and remembered per colour, so a picture pays for each
// distinct colour once. Not thread-safe: one map per thread.
class NearestColorMap {
 public:
  explicit NearestColorMap(const Palette256& palette);
  ~NearestColorMap();
  NearestColorMap(const NearestColorMap&) = delete;
  NearestColorMap& operator=(const NearestColorMap&) = delete;

  const Palette256& palette() const { return palette_; }

  std::uint8_t Nearest(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    const std::uint32_t key = std::uint32_t{red} << 16 | std::uint32_t{green} << 8 | blue;
    if (memo_ != nullptr) {
      const std::uint16_t known = memo_[key];
      if (known != 0) return static_cast<std::uint8_t>(known - 1);
    }
    return Search(key);
  }

 private:
  std::uint8_t Search(std::uint32_t key);
  const std::uint8_t* CandidatesOf(std::uint32_t cube, std::uint32_t& count);

  Palette256 palette_;
  std::uint16_t* memo_ = nullptr;  // 2^24 entries, index + 1, 0 = not yet known
  // Per cube: offset into candidates_ + 1 (0 = not built) and the candidate count.
  std::vector<std::uint32_t> cubeOffset_;
  std::vector<std::uint16_t> cubeCount_;
  std::vector<std::uint8_t> candidates_;
};

// The map for `palette`, kept between calls on this thread and rebuilt when the palette
// differs from the last one asked for.
NearestColorMap& NearestColorMapFor(const Palette256& palette);

}  // namespace teku
