// A MAG encoder for the tests: picks copy flags the way the format allows, spreading its choice
// over every flag that matches so that all sixteen get used, and assembles files from streams.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace tekutest {

struct MagRgb {
  std::uint8_t red = 0, green = 0, blue = 0;
};

// What goes into a file. `pixels` is the stored picture, top row first, StoredWidth() wide:
// it includes the pixels left of x0 that the format keeps (x0 mod 8, or mod 4).
struct MagPicture {
  int colors = 16;  // 16, 8 or 256
  std::uint16_t x0 = 0, y0 = 0;
  int width = 8, height = 1;  // of the picture proper (x1 - x0 + 1, y1 - y0 + 1)
  std::vector<MagRgb> palette;
  std::vector<std::uint8_t> pixels;
  std::string comment = "tests";
  int StoredWidth() const;
  int FlagBytes() const;
  int Units() const { return 2 * FlagBytes(); }
};

// Flag uses of one encoding.
struct MagStats {
  std::array<int, 16> uses{};
};

std::vector<std::uint8_t> EncodeMag(const MagPicture& picture, MagStats* stats = nullptr);

// The pieces of a file, for hand-made cases: the header fields and the three streams.
struct MagParts {
  std::uint8_t mode = 0;
  std::uint16_t x0 = 0, y0 = 0, x1 = 7, y1 = 0;
  std::vector<std::uint8_t> palette;  // green, red, blue per entry, as stored
  std::vector<std::uint8_t> flagA, flagB, pixelData;
  std::string comment = "tests";
};
std::vector<std::uint8_t> AssembleMag(const MagParts& parts);
// Byte offset of the 32-byte header in an assembled file.
std::size_t MagHeaderOffset(const std::vector<std::uint8_t>& file);

// The flag-A bits and flag-B bytes for the given flags, one vector of Units() flags per line.
void PackMagFlags(const std::vector<std::vector<std::uint8_t>>& unitFlags,
                  std::vector<std::uint8_t>& flagA, std::vector<std::uint8_t>& flagB);

}  // namespace tekutest
