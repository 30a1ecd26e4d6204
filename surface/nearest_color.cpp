// Exact nearest-colour search pruned by colour cubes.
#include "surface/nearest_color.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <memory>
#include <new>

#include "services/large_memory.h"

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
// True when `a` is the answer rather than `b` at every point of the cube: |dR|+|dG|+|dB| to a,
// less that to b, is at most 0 everywhere (below 0 when b comes first). Per channel the
// difference |t - a| - |t - b| is monotone in t, so its largest value over the cube is at
// one end of each side, and the channels add up independently.
bool Dominates(const PaletteEntry& a, int ia, const PaletteEntry& b, int ib, const int lo[3],
               int side) {
  const int ca[3] = {a.red, a.green, a.blue};
  const int cb[3] = {b.red, b.green, b.blue};
  int most = 0;
  for (int k = 0; k < 3; ++k) {
    const int t0 = lo[k], t1 = lo[k] + side - 1;
    most += std::max(std::abs(t0 - ca[k]) - std::abs(t0 - cb[k]), std::abs(t1 - ca[k]) - std::abs(t1 - cb[k]));
  }
  return most < 0 || (most == 0 && ia < ib);
}

// Drops the entries of `list` that another entry beats everywhere in the cube. Being beaten
// everywhere is transitive and never mutual, so every dropped entry is beaten by one that
// stays, and the answer at each point is kept.
void DropDominated(const Palette256& palette, std::vector<std::uint8_t>& list, const int lo[3],
                   int side) {
  std::size_t kept = 0;
  for (std::size_t i = 0; i < list.size(); ++i) {
    bool beaten = false;
    for (std::size_t j = 0; j < list.size() && !beaten; ++j) {
      beaten = j != i && Dominates(palette[list[j]], list[j], palette[list[i]], list[i], lo, side);
    }
    if (!beaten) list[kept++] = list[i];
  }
  list.resize(kept);
}
}  // namespace

NearestColorMap::NearestColorMap(const Palette256& palette)
    : palette_(palette),
      fine_(static_cast<std::uint32_t*>(AllocateLargeZeroed(kFineCubes * sizeof(std::uint32_t)))),
      coarseOffset_(1u << 12, 0),
      coarseCount_(1u << 12, 0) {
  if (fine_ == nullptr) throw std::bad_alloc();
  for (int i = 0; i < 256; ++i) {
    packed_[i] = static_cast<long long>(std::uint32_t{palette_[i].red} |
                                        std::uint32_t{palette_[i].green} << 8 |
                                        std::uint32_t{palette_[i].blue} << 16);
  }
  // An entry repeating an earlier entry's colour never wins (ties go to the lower index), so
  // only the first of each colour is a candidate anywhere.
  for (int i = 0; i < 256; ++i) {
    bool repeated = false;
    for (int j = 0; j < i && !repeated; ++j) {
      repeated = palette_[j].red == palette_[i].red && palette_[j].green == palette_[i].green &&
                 palette_[j].blue == palette_[i].blue;
    }
    if (!repeated) distinct_[distinctCount_++] = static_cast<std::uint8_t>(i);
  }
}

// Each level searches only its parent cube's entries: cubes of 64 levels a side from all
// entries, coarse cubes from those, fine cubes from the coarse ones.
void NearestColorMap::BuildCoarse(std::uint32_t coarse) const {
  if (coarseCount_[coarse] != 0) return;  // every cube has at least one entry
  const int cr = static_cast<int>(coarse >> 8), cg = static_cast<int>(coarse >> 4 & 15),
            cb = static_cast<int>(coarse & 15);
  const int t = (cr >> 2) << 4 | (cg >> 2) << 2 | (cb >> 2);
  std::vector<std::uint8_t>& parent = top_[t];
  if (parent.empty()) {
    const int tlo[3] = {(t >> 4) * 64, (t >> 2 & 3) * 64, (t & 3) * 64};
    Prune(palette_, distinct_, distinctCount_, tlo, 64, parent);
    if (parent.size() > 1) DropDominated(palette_, parent, tlo, 64);
  }
  const int lo[3] = {cr * 16, cg * 16, cb * 16};
  const auto start = static_cast<std::uint32_t>(coarseLists_.size());
  std::vector<std::uint8_t> list;
  Prune(palette_, parent.data(), static_cast<std::uint32_t>(parent.size()), lo, 16, list);
  if (list.size() > 1) DropDominated(palette_, list, lo, 16);
  coarseLists_.insert(coarseLists_.end(), list.begin(), list.end());
  coarseOffset_[coarse] = start;
  coarseCount_[coarse] = static_cast<std::uint16_t>(coarseLists_.size() - start);
  // A part of a coarse cube needs only the coarse cube's entries.
  for (int fine = 0; fine < 64; ++fine) {
    const int fr = cr * 4 + (fine >> 4), fg = cg * 4 + (fine >> 2 & 3), fb = cb * 4 + (fine & 3);
    const int flo[3] = {fr * 4, fg * 4, fb * 4};
    list.clear();
    if (coarseCount_[coarse] == 1) {
      list.push_back(coarseLists_[start]);
    } else {
      Prune(palette_, coarseLists_.data() + start, coarseCount_[coarse], flo, 4, list);
      if (list.size() > 1) DropDominated(palette_, list, flo, 4);
    }
    std::uint32_t e;
    if (list.size() <= 4) {
      std::uint8_t four[4];
      for (std::size_t k = 0; k < 4; ++k) four[k] = list[std::min(k, list.size() - 1)];
      e = four[0] | std::uint32_t{four[1]} << 8 | std::uint32_t{four[2]} << 16 |
          std::uint32_t{four[3]} << 24;
    } else {
      e = 1u | coarse << 16;  // 1 > 0 marks the shared list
    }
    fine_[static_cast<std::uint32_t>(fr) << 12 | static_cast<std::uint32_t>(fg) << 6 |
          static_cast<std::uint32_t>(fb)] = e ^ kUnbuilt;
  }
}

std::uint8_t NearestColorMap::SearchCoarse(std::uint32_t coarse, int r, int g, int b) const {
  if (coarse == kUnbuilt >> 16) {
    BuildCoarse(static_cast<std::uint32_t>(r >> 4 << 8 | g >> 4 << 4 | b >> 4));
    return Nearest(static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g), static_cast<std::uint8_t>(b));
  }
  const std::uint8_t* list = coarseLists_.data() + coarseOffset_[coarse];
  const std::uint32_t count = coarseCount_[coarse];
  std::uint32_t best = list[0];
  int bestDistance = Distance(best, r, g, b);
  for (std::uint32_t i = 1; i < count; ++i) Keep(best, bestDistance, list[i], Distance(list[i], r, g, b));
  return static_cast<std::uint8_t>(best);
}

void NearestColorMap::NearestMany(const std::uint8_t* red, const std::uint8_t* green,
                                  const std::uint8_t* blue, int count, std::uint8_t* out) const {
  const std::uint32_t* fine = fine_.get();
  alignas(16) std::uint32_t entry[kMaxMany];
  int done = 0;
#if defined(__SSE2__)
  // The cubes of sixteen colours at a time; only the table reads are one by one. An index is
  // 18 bits: the low 16 (green, blue and red's low four) and red's top two, side by side in
  // 16-bit lanes, and then interleaved into 32-bit ones.
  alignas(16) std::uint32_t cube[kMaxMany];
  for (; done + 16 <= count; done += 16) {
    auto sixBits = [](const std::uint8_t* p) {
      const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
      return _mm_and_si128(_mm_srli_epi16(v, 2), _mm_set1_epi8(0x3F));
    };
    const __m128i r = sixBits(red + done), g = sixBits(green + done), b = sixBits(blue + done);
    for (int half = 0; half < 2; ++half) {
      const __m128i zero = _mm_setzero_si128();
      const __m128i r16 = half == 0 ? _mm_unpacklo_epi8(r, zero) : _mm_unpackhi_epi8(r, zero);
      const __m128i g16 = half == 0 ? _mm_unpacklo_epi8(g, zero) : _mm_unpackhi_epi8(g, zero);
      const __m128i b16 = half == 0 ? _mm_unpacklo_epi8(b, zero) : _mm_unpackhi_epi8(b, zero);
      const __m128i low = _mm_or_si128(_mm_or_si128(_mm_slli_epi16(r16, 12), _mm_slli_epi16(g16, 6)), b16);
      const __m128i high = _mm_srli_epi16(r16, 4);
      _mm_store_si128(reinterpret_cast<__m128i*>(cube + done + 8 * half), _mm_unpacklo_epi16(low, high));
      _mm_store_si128(reinterpret_cast<__m128i*>(cube + done + 8 * half + 4), _mm_unpackhi_epi16(low, high));
    }
  }
  for (int i = 0; i < done; ++i) entry[i] = fine[cube[i]] ^ kUnbuilt;
#endif
  for (int i = done; i < count; ++i) entry[i] = fine[Cube(red[i], green[i], blue[i])] ^ kUnbuilt;
  for (int i = count; i < ((count + 15) & ~15); ++i) entry[i] = 0;
  // Every colour takes its cube's first entry, and those whose cube holds more are marked,
  // 64 colours to a word, then searched by the marks.
  for (int start = 0; start < count; start += 64) {
    const int n = std::min(64, count - start);
    std::uint64_t marks = 0;
#if defined(__SSE2__)
    // Sixteen words at a time: their low bytes packed, and a mark where a word is not its low
    // byte four times. Words past the end are neither stored nor marked.
    alignas(16) std::uint8_t first[64];
    for (int i = 0; i < n; i += 16) {
      __m128i low[4];
      for (int k = 0; k < 4; ++k) {
        const __m128i e = _mm_load_si128(reinterpret_cast<const __m128i*>(entry + start + i + 4 * k));
        low[k] = _mm_and_si128(e, _mm_set1_epi32(255));
        const __m128i two = _mm_or_si128(low[k], _mm_slli_epi32(low[k], 8));
        const __m128i single = _mm_cmpeq_epi32(e, _mm_or_si128(two, _mm_slli_epi32(two, 16)));
        marks |= static_cast<std::uint64_t>(~_mm_movemask_ps(_mm_castsi128_ps(single)) & 15) << (i + 4 * k);
      }
      _mm_store_si128(reinterpret_cast<__m128i*>(first + i),
                      _mm_packus_epi16(_mm_packs_epi32(low[0], low[1]), _mm_packs_epi32(low[2], low[3])));
    }
    std::memcpy(out + start, first, static_cast<std::size_t>(n));
    if (n < 64) marks &= (std::uint64_t{1} << n) - 1;
#else
    for (int i = 0; i < n; ++i) {
      const std::uint32_t e = entry[start + i];
      out[start + i] = static_cast<std::uint8_t>(e);
      if (e != (e & 255) * 0x01010101u) marks |= std::uint64_t{1} << i;
    }
#endif
    for (; marks != 0; marks &= marks - 1) {
      const int i = start + std::countr_zero(marks);
      out[i] = Among(entry[i], red[i], green[i], blue[i]);
    }
  }
}

void NearestColorMap::FreeFine::operator()(std::uint32_t* table) const {
  FreeLarge(table, kFineCubes * sizeof(std::uint32_t));
}

const NearestColorMap& NearestColorMapFor(const Palette256& palette) {
  thread_local std::unique_ptr<NearestColorMap> map;
  if (map == nullptr || map->palette() != palette) map = std::make_unique<NearestColorMap>(palette);
  return *map;
}

}  // namespace teku
