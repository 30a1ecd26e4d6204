// The test encoder keeps the decoder's 17-line ring itself, so that a flag is only chosen when
// the unit it names really holds the same two bytes at that moment (wrap-around included).
#include "support/mag_encoder.h"

#include <cstring>

namespace tekutest {

namespace {
constexpr int kLeft[16] = {0, 1, 2, 4, 0, 1, 0, 1, 2, 0, 1, 2, 0, 1, 2, 0};
constexpr int kUp[16] = {0, 0, 0, 0, 1, 1, 2, 2, 2, 4, 4, 4, 8, 8, 8, 16};

void Put16(std::vector<std::uint8_t>& v, std::size_t at, std::uint32_t x) {
  v[at] = static_cast<std::uint8_t>(x);
  v[at + 1] = static_cast<std::uint8_t>(x >> 8);
}
void Put32(std::vector<std::uint8_t>& v, std::size_t at, std::uint32_t x) {
  Put16(v, at, x);
  Put16(v, at + 2, x >> 16);
}
}  // namespace

int MagPicture::FlagBytes() const {
  return colors == 256 ? (x0 % 4 + width + 3) / 4 : (x0 % 8 + width + 7) / 8;
}

int MagPicture::StoredWidth() const { return (colors == 256 ? 4 : 8) * FlagBytes(); }

void PackMagFlags(const std::vector<std::vector<std::uint8_t>>& unitFlags,
                  std::vector<std::uint8_t>& flagA, std::vector<std::uint8_t>& flagB) {
  flagA.clear();
  flagB.clear();
  std::vector<std::uint8_t> previous;
  std::size_t bit = 0;
  for (const auto& flags : unitFlags) {
    const std::size_t f = flags.size() / 2;
    previous.resize(f, 0);
    for (std::size_t p = 0; p < f; ++p) {
      const auto byte = static_cast<std::uint8_t>(flags[2 * p] << 4 | flags[2 * p + 1]);
      const std::uint8_t change = byte ^ previous[p];
      if (bit / 8 >= flagA.size()) flagA.push_back(0);
      if (change != 0) {
        flagA[bit / 8] |= static_cast<std::uint8_t>(0x80 >> (bit % 8));
        flagB.push_back(change);
      }
      ++bit;
      previous[p] = byte;
    }
  }
}

std::vector<std::uint8_t> AssembleMag(const MagParts& parts) {
  const std::string lead = "MAKI02  " + parts.comment + '\x1A';
  std::vector<std::uint8_t> file;
  file.reserve(lead.size() + 32 + parts.palette.size() + parts.flagA.size() +
               parts.flagB.size() + parts.pixelData.size());
  for (char c : lead) file.push_back(static_cast<std::uint8_t>(c));
  const std::size_t n = file.size();
  file.resize(n + 32, 0);
  file[n + 3] = parts.mode;
  Put16(file, n + 4, parts.x0);
  Put16(file, n + 6, parts.y0);
  Put16(file, n + 8, parts.x1);
  Put16(file, n + 10, parts.y1);
  const std::uint32_t a = static_cast<std::uint32_t>(32 + parts.palette.size());
  const std::uint32_t b = a + static_cast<std::uint32_t>(parts.flagA.size());
  const std::uint32_t p = b + static_cast<std::uint32_t>(parts.flagB.size());
  Put32(file, n + 12, a);
  Put32(file, n + 16, b);
  Put32(file, n + 20, static_cast<std::uint32_t>(parts.flagB.size()));
  Put32(file, n + 24, p);
  Put32(file, n + 28, static_cast<std::uint32_t>(parts.pixelData.size()));
  for (const auto* v : {&parts.palette, &parts.flagA, &parts.flagB, &parts.pixelData}) {
    for (std::uint8_t byte : *v) file.push_back(byte);
  }
  return file;
}

std::size_t MagHeaderOffset(const std::vector<std::uint8_t>& file) {
  for (std::size_t i = 8; i < file.size(); ++i) {
    if (file[i] == 0) return i;
  }
  return file.size();
}

std::vector<std::uint8_t> EncodeMag(const MagPicture& pic, MagStats* stats) {
  const int u = pic.Units();
  const int sw = pic.StoredWidth();
  const bool bytePixels = pic.colors == 256;
  std::vector<std::uint16_t> ring(static_cast<std::size_t>(17 * u), 0);
  std::array<int, 16> uses{};
  std::vector<std::vector<std::uint8_t>> flags(static_cast<std::size_t>(pic.height));
  MagParts parts;
  for (int i = 0; i < pic.height; ++i) {
    const std::uint8_t* row = pic.pixels.data() + static_cast<std::size_t>(i) * sw;
    std::uint16_t* here = ring.data() + (i % 17) * u;
    flags[i].resize(static_cast<std::size_t>(u));
    for (int l = 0; l < u; ++l) {
      std::uint8_t b0, b1;
      if (bytePixels) {
        b0 = row[2 * l];
        b1 = row[2 * l + 1];
      } else {
        b0 = static_cast<std::uint8_t>(row[4 * l] << 4 | row[4 * l + 1]);
        b1 = static_cast<std::uint8_t>(row[4 * l + 2] << 4 | row[4 * l + 3]);
      }
      const auto unit = static_cast<std::uint16_t>(b0 | b1 << 8);
      int best = 0;
      for (int f = 1; f < 16; ++f) {
        const std::uint16_t* from = ring.data() + ((i + 17 - kUp[f]) % 17) * u;
        const int at = ((l - kLeft[f]) % u + u) % u;
        if (from[at] == unit && (best == 0 || uses[f] < uses[best])) best = f;
      }
      if (best == 0) {
        parts.pixelData.push_back(b0);
        parts.pixelData.push_back(b1);
      }
      ++uses[best];
      flags[i][l] = static_cast<std::uint8_t>(best);
      here[l] = unit;
    }
  }
  PackMagFlags(flags, parts.flagA, parts.flagB);
  parts.mode = pic.colors == 256 ? 0x80 : pic.colors == 8 ? 0x02 : 0x00;
  parts.x0 = pic.x0;
  parts.y0 = pic.y0;
  parts.x1 = static_cast<std::uint16_t>(pic.x0 + pic.width - 1);
  parts.y1 = static_cast<std::uint16_t>(pic.y0 + pic.height - 1);
  for (const MagRgb& c : pic.palette) {
    parts.palette.push_back(c.green);
    parts.palette.push_back(c.red);
    parts.palette.push_back(c.blue);
  }
  parts.comment = pic.comment;
  if (stats != nullptr) stats->uses = uses;
  return AssembleMag(parts);
}

}  // namespace tekutest
