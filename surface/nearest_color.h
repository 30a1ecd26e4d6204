// Fast nearest-palette-colour lookups that give exactly the index DibSurface::NearestColorNo
// gives (smallest |dR|+|dG|+|dB|, lowest index on ties), for readers that map every pixel.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "surface/dib_image.h"

namespace teku {

// Colour space is cut into cubes, and each cube keeps the palette entries that can be nearest
// somewhere inside it, in index order: an entry whose nearest point of the cube is farther
// than another entry's farthest point can neither win nor tie there, nor can an entry that
// another one beats at every point of the cube (a test that is exact and cheap because the
// distance splits into channels). Fine cubes (4 levels a side) hold at most four entries
// packed in one word, padded with the last one, so a lookup is four distances and no
// branches; the few cubes that need more share the list of their coarse cube (16 levels a
// side). A coarse cube and its fine cubes are worked out when a colour inside it is first
// asked for, so a picture pays for the part of colour space it uses; a map is therefore not
// to be shared between threads.
class NearestColorMap {
 public:
  explicit NearestColorMap(const Palette256& palette);

  const Palette256& palette() const { return palette_; }

  std::uint8_t Nearest(std::uint8_t red, std::uint8_t green, std::uint8_t blue) const {
    const std::uint32_t e = fine_[Cube(red, green, blue)] ^ kUnbuilt;
    if (e == (e & 255) * 0x01010101u) return static_cast<std::uint8_t>(e);
    return Among(e, red, green, blue);
  }

  // The most colours NearestMany takes at once.
  static constexpr int kMaxMany = 256;

  // Nearest of each of `count` (at most kMaxMany) colours. Cubes with one entry, half of
  // them or more, are answered first in a loop without branches; only the others are
  // searched, so whether a cube holds one entry is never guessed at.
  void NearestMany(const std::uint8_t* red, const std::uint8_t* green, const std::uint8_t* blue,
                   int count, std::uint8_t* out) const;

 private:
  static std::uint32_t Cube(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    return std::uint32_t{red} >> 2 << 12 | std::uint32_t{green} >> 2 << 6 | std::uint32_t{blue} >> 2;
  }

  // The nearest of a fine cube's entries `e`, or of its coarse cube's list.
  std::uint8_t Among(std::uint32_t e, std::uint8_t red, std::uint8_t green, std::uint8_t blue) const {
    const std::uint32_t c0 = e & 255, c1 = e >> 8 & 255, c2 = e >> 16 & 255, c3 = e >> 24;
    if (c0 > c1) return SearchCoarse(e >> 16, red, green, blue);  // lists are ascending
#if defined(__SSE2__)
    // |dR| + |dG| + |dB| of two entries at once: each sits alone in a 64-bit half, beside
    // the colour asked for, so one sum of absolute byte differences gives each distance.
    const auto query = static_cast<long long>(std::uint32_t{red} | std::uint32_t{green} << 8 |
                                              std::uint32_t{blue} << 16);
    const __m128i q = _mm_set1_epi64x(query);
    const __m128i d01 = _mm_sad_epu8(q, _mm_set_epi64x(packed_[c1], packed_[c0]));
    if (c1 == c3) {  // two entries, as most cubes that hold more than one
      return static_cast<std::uint8_t>(_mm_extract_epi16(d01, 4) < _mm_cvtsi128_si32(d01) ? c1 : c0);
    }
    const __m128i d23 = _mm_sad_epu8(q, _mm_set_epi64x(packed_[c3], packed_[c2]));
    std::uint32_t best = c0;
    int bestDistance = _mm_cvtsi128_si32(d01);
    Keep(best, bestDistance, c1, _mm_extract_epi16(d01, 4));
    Keep(best, bestDistance, c2, _mm_cvtsi128_si32(d23));
    Keep(best, bestDistance, c3, _mm_extract_epi16(d23, 4));
#else
    const int r = red, g = green, b = blue;
    std::uint32_t best = c0;
    int bestDistance = Distance(c0, r, g, b);
    // Padding repeats the last entry, which is never strictly nearer than itself.
    Keep(best, bestDistance, c1, Distance(c1, r, g, b));
    Keep(best, bestDistance, c2, Distance(c2, r, g, b));
    Keep(best, bestDistance, c3, Distance(c3, r, g, b));
#endif
    return static_cast<std::uint8_t>(best);
  }

  static void Keep(std::uint32_t& best, int& bestDistance, std::uint32_t index, int d) {
    const bool nearer = d < bestDistance;
    bestDistance = nearer ? d : bestDistance;
    best = nearer ? index : best;
  }
  int Distance(std::uint32_t index, int r, int g, int b) const {
    const PaletteEntry& e = palette_[index];
    return std::abs(r - e.red) + std::abs(g - e.green) + std::abs(b - e.blue);
  }
  // The shared list of a coarse cube; a fine cube not yet worked out comes here too, as
  // the coarse cube kUnbuilt >> 16, which no cube has.
  std::uint8_t SearchCoarse(std::uint32_t coarse, int r, int g, int b) const;
  void BuildCoarse(std::uint32_t coarse) const;

  // A fine cube's word before its coarse cube is worked out: first entry above the second, as
  // a shared list's mark, so that lookups take it to SearchCoarse with no test of their own.
  // The table holds each word XOR this, so that it starts as zeroed memory, which costs
  // nothing until it is written.
  static constexpr std::uint32_t kUnbuilt = 0xFFFF0001u;
  static constexpr std::size_t kFineCubes = std::size_t{1} << 18;  // 64^3
  struct FreeFine {
    void operator()(std::uint32_t* table) const;
  };

  Palette256 palette_;
  long long packed_[256];  // red | green << 8 | blue << 16
  std::uint8_t distinct_[256];  // the first entry of each colour
  std::uint32_t distinctCount_ = 0;
  // Filled in as colours are asked for (see above).
  std::unique_ptr<std::uint32_t[], FreeFine> fine_;
  mutable std::vector<std::uint32_t> coarseOffset_;  // 16^3 cubes
  mutable std::vector<std::uint16_t> coarseCount_;  // 0 until worked out
  mutable std::vector<std::uint8_t> coarseLists_;
  mutable std::vector<std::uint8_t> top_[64];  // cubes of 64 levels a side, empty until used
};

// The map for `palette`, kept between calls on this thread and rebuilt when the palette
// differs from the last one asked for.
const NearestColorMap& NearestColorMapFor(const Palette256& palette);

}  // namespace teku
