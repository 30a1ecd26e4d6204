// The fast nearest-colour map gives NearestColorNo's index for every colour it is asked, on
// the program's palette and on palettes full of ties.
#include "surface/nearest_color.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <random>

namespace teku {
namespace {

std::uint8_t Reference(const Palette256& palette, int r, int g, int b) {
  DibSurface surface;
  surface.Palette = palette;
  RgbQuad q{static_cast<std::uint8_t>(b), static_cast<std::uint8_t>(g),
            static_cast<std::uint8_t>(r), 0};
  return surface.NearestColorNo(q);
}

// Colours on the faces of the search's cubes (4 and 16 levels a side), where a wrong bound
// would show first.
bool NearCubeEdge(int c) {
  const int m = c % 16;
  return m == 0 || m == 3 || m == 4 || m == 15;
}

void ExpectSameAsReference(const Palette256& palette, int randomColours, unsigned seed,
                           bool cubeEdges) {
  DibSurface surface;
  surface.Palette = palette;
  NearestColorMap map(palette);
  auto check = [&](int r, int g, int b) {
    RgbQuad q{static_cast<std::uint8_t>(b), static_cast<std::uint8_t>(g),
              static_cast<std::uint8_t>(r), 0};
    const std::uint8_t want = surface.NearestColorNo(q);
    const std::uint8_t got = map.Nearest(static_cast<std::uint8_t>(r),
                                         static_cast<std::uint8_t>(g),
                                         static_cast<std::uint8_t>(b));
    if (want != got) {
      ADD_FAILURE() << "colour " << r << "," << g << "," << b << ": " << int(got) << " not "
                    << int(want);
      return false;
    }
    return true;
  };
  if (cubeEdges) {
    for (int r = 0; r < 256; ++r) {
      if (!NearCubeEdge(r)) continue;
      for (int g = 0; g < 256; ++g) {
        if (!NearCubeEdge(g)) continue;
        for (int b = 0; b < 256; ++b) {
          if (NearCubeEdge(b) && !check(r, g, b)) return;
        }
      }
    }
  }
  std::mt19937 rng(seed);
  for (int i = 0; i < randomColours; ++i) {
    const auto v = rng();
    // Asked twice: the second answer comes from the memo.
    if (!check(v & 255, v >> 8 & 255, v >> 16 & 255)) return;
    if (!check(v & 255, v >> 8 & 255, v >> 16 & 255)) return;
  }
}

TEST(NearestColorMap, AgreesWithTheFullSearchOnTheProgramPalette) {
  ExpectSameAsReference(DefaultPalette, 100000, 1, true);
}

TEST(NearestColorMap, AgreesOnRandomPalettes) {
  std::mt19937 rng(7);
  for (int p = 0; p < 3; ++p) {
    Palette256 palette{};
    for (auto& e : palette) {
      const auto v = rng();
      e = PaletteEntry{static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
                       static_cast<std::uint8_t>(v >> 16), 0};
    }
    ExpectSameAsReference(palette, 80000, 100 + p, false);
  }
}

TEST(NearestColorMap, TiesGoToTheLowestIndexAsInTheFullSearch) {
  // Few distinct colours, each repeated, on a coarse grid: most colours are equally near to
  // several entries.
  Palette256 palette{};
  for (int i = 0; i < 256; ++i) {
    const int k = (i * 7) % 27;
    palette[i] = PaletteEntry{static_cast<std::uint8_t>(k / 9 * 120),
                              static_cast<std::uint8_t>(k / 3 % 3 * 120),
                              static_cast<std::uint8_t>(k % 3 * 120), 0};
  }
  ExpectSameAsReference(palette, 100000, 5, true);

  Palette256 same{};
  same.fill(PaletteEntry{10, 20, 30, 0});
  NearestColorMap map(same);
  EXPECT_EQ(map.Nearest(255, 255, 255), 0);
  EXPECT_EQ(map.Nearest(10, 20, 30), 0);
}

TEST(NearestColorMap, EquallyFarFromThreeAndSevenGivesThree) {
  Palette256 palette{};
  palette.fill(PaletteEntry{255, 255, 255, 0});
  palette[3] = PaletteEntry{10, 0, 0, 0};
  palette[7] = PaletteEntry{30, 0, 0, 0};
  EXPECT_EQ(NearestColorMap(palette).Nearest(20, 0, 0), 3);
  EXPECT_EQ(Reference(palette, 20, 0, 0), 3);
}

TEST(NearestColorMap, TheSharedMapFollowsAPaletteChange) {
  Palette256 grey{};
  for (int i = 0; i < 256; ++i) {
    grey[i] = PaletteEntry{static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i),
                           static_cast<std::uint8_t>(i), 0};
  }
  EXPECT_EQ(NearestColorMapFor(grey).Nearest(40, 40, 40), 40);
  EXPECT_EQ(NearestColorMapFor(DefaultPalette).Nearest(40, 40, 40),
            Reference(DefaultPalette, 40, 40, 40));
  EXPECT_EQ(NearestColorMapFor(grey).Nearest(40, 40, 40), 40);
}

// The search written out: smallest |dR| + |dG| + |dB|, the first entry on ties.
std::uint8_t BruteForce(const Palette256& palette, int r, int g, int b) {
  int best = 0;
  int bestDistance = 1 << 30;
  for (int i = 0; i < 256; ++i) {
    const int d = std::abs(r - palette[i].red) + std::abs(g - palette[i].green) +
                  std::abs(b - palette[i].blue);
    if (d < bestDistance) {
      bestDistance = d;
      best = i;
    }
  }
  return static_cast<std::uint8_t>(best);
}

// Palettes of different kinds: spread, clustered, few colours repeated many times (ties
// everywhere), a coarse grid whose cells are equally far from their neighbours.
Palette256 TestPalette(int kind, std::mt19937& rng) {
  Palette256 palette{};
  const int distinct = 1 + static_cast<int>(rng() % 12);
  const int step = std::array<int, 3>{2, 6, 32}[rng() % 3];
  for (int i = 0; i < 256; ++i) {
    const auto v = rng();
    PaletteEntry e{static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
                   static_cast<std::uint8_t>(v >> 16), 0};
    if (kind == 1) {  // clusters around a few centres
      const int centre = static_cast<int>(v >> 24) % 4 * 60 + 20;
      e.red = static_cast<std::uint8_t>(centre + static_cast<int>(v & 15));
      e.green = static_cast<std::uint8_t>(centre + static_cast<int>(v >> 4 & 15));
      e.blue = static_cast<std::uint8_t>(centre + static_cast<int>(v >> 8 & 15));
    } else if (kind == 2 && i >= distinct) {  // repeats of the first few entries
      e = palette[rng() % static_cast<unsigned>(distinct)];
    } else if (kind == 3) {  // a grid with steps of 2, 6 or 32: many exact ties
      e.red = static_cast<std::uint8_t>(std::min(255, (i % 7) * step));
      e.green = static_cast<std::uint8_t>(std::min(255, (i / 7 % 7) * step));
      e.blue = static_cast<std::uint8_t>(std::min(255, (i / 49) * step));
    }
    palette[i] = e;
  }
  return palette;
}

TEST(NearestColorMap, ManyAtOnceAgreesWithTheWrittenOutSearch) {
  std::mt19937 rng(2024);
  for (int p = 0; p < 16; ++p) {
    const Palette256 palette = p == 0 ? DefaultPalette : TestPalette(p % 4, rng);
    const NearestColorMap map(palette);
    std::uint8_t r[NearestColorMap::kMaxMany], g[NearestColorMap::kMaxMany],
        b[NearestColorMap::kMaxMany], out[NearestColorMap::kMaxMany + 1];
    int failures = 0;
    for (int batch = 0; batch < 300 && failures < 5; ++batch) {
      // Batches of any length, of scattered colours or of a smooth run as pictures give.
      const int count = 1 + static_cast<int>(rng() % NearestColorMap::kMaxMany);
      const bool smooth = batch % 2 == 0;
      int cr = static_cast<int>(rng() & 255), cg = static_cast<int>(rng() & 255),
          cb = static_cast<int>(rng() & 255);
      for (int i = 0; i < count; ++i) {
        if (smooth) {
          cr = std::clamp(cr + static_cast<int>(rng() % 7) - 3, 0, 255);
          cg = std::clamp(cg + static_cast<int>(rng() % 7) - 3, 0, 255);
          cb = std::clamp(cb + static_cast<int>(rng() % 7) - 3, 0, 255);
        } else {
          const auto v = rng();
          cr = static_cast<int>(v & 255);
          cg = static_cast<int>(v >> 8 & 255);
          cb = static_cast<int>(v >> 16 & 255);
        }
        r[i] = static_cast<std::uint8_t>(cr);
        g[i] = static_cast<std::uint8_t>(cg);
        b[i] = static_cast<std::uint8_t>(cb);
      }
      out[count] = 0xA5;
      map.NearestMany(r, g, b, count, out);
      EXPECT_EQ(out[count], 0xA5) << "wrote past the batch";
      for (int i = 0; i < count && failures < 5; ++i) {
        const std::uint8_t want = BruteForce(palette, r[i], g[i], b[i]);
        if (out[i] != want || map.Nearest(r[i], g[i], b[i]) != want) {
          ++failures;
          ADD_FAILURE() << "palette " << p << " colour " << int(r[i]) << "," << int(g[i]) << ","
                        << int(b[i]) << ": many " << int(out[i]) << ", one "
                        << int(map.Nearest(r[i], g[i], b[i])) << ", not " << int(want);
        }
      }
    }
  }
}

}  // namespace
}  // namespace teku
