// The palette picture's colour scan and the merges into the program palette.
#include "services/palette_merge.h"

#include <algorithm>
#include <cstring>

#include "surface/bmp_reader.h"

namespace teku {

namespace {

std::uint32_t U32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}
std::int32_t I32(const std::uint8_t* p) { return static_cast<std::int32_t>(U32(p)); }
std::uint16_t U16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

// The table between the information header and the pixels; what the file lacks stays black.
void ReadColorTable(const PictureSource& source, std::int64_t offBits, std::int64_t headerSize,
                    std::array<RgbQuad, 256>& table) {
  table.fill(RgbQuad{});
  const std::int64_t bytes = std::min<std::int64_t>(offBits - 14 - headerSize, 1024);
  if (bytes <= 0) return;
  std::uint8_t raw[1024] = {};
  const std::int64_t got = source.ReadAt(raw, 14 + headerSize, bytes);
  if (got <= 0) return;
  std::memcpy(table.data(), raw, static_cast<std::size_t>(std::min(got, bytes)));
}

// Streams `count` bytes from `offset` in pieces so a large file needs no large buffer.
template <typename Visit>
void ForEachByte(const PictureSource& source, std::int64_t offset, std::int64_t count,
                 Visit visit) {
  constexpr std::int64_t kChunk = 64 * 1024;
  if (count <= 0) return;
  std::vector<std::uint8_t> buffer(static_cast<std::size_t>(std::min(kChunk, count)));
  std::int64_t index = 0;
  while (index < count) {
    const std::int64_t want = std::min(kChunk, count - index);
    const std::int64_t got = source.ReadAt(buffer.data(), offset + index, want);
    if (got <= 0) return;
    for (std::int64_t i = 0; i < got; ++i) visit(index + i, buffer[static_cast<std::size_t>(i)]);
    if (got < want) return;
    index += got;
  }
}

bool SameColor(const RgbQuad& q, const PaletteEntry& e) {
  return q.red == e.red && q.green == e.green && q.blue == e.blue;
}
bool SameColor(const PaletteEntry& a, const PaletteEntry& b) {
  return a.red == b.red && a.green == b.green && a.blue == b.blue;
}
bool IsSlot9Color(const RgbQuad& q) {
  return q.blue == 240 && ((q.red == 164 && q.green == 200) || (q.red == 166 && q.green == 202));
}

}  // namespace

bool ScanBmpColors(const PictureSource& source, UsedColors& colors, MessageSink* messages) {
  colors = UsedColors{};
  std::uint8_t fileHeader[14] = {};
  if (source.ReadAt(fileHeader, 0, 14) != 14) return false;
  std::uint8_t info[40] = {};
  const std::int64_t r = source.ReadAt(info, 14, 40);
  const auto complain = [messages] {
    if (messages != nullptr) messages->Information(kBmpMessageText, kBmpMessageCaption);
  };
  if (r != 40) {
    complain();
    return false;
  }
  const std::int64_t offBits = U32(fileHeader + 10);
  const std::int64_t headerSize = U32(info);
  const std::int64_t width = I32(info + 4);
  const std::int64_t height = I32(info + 8);
  const int bitCount = U16(info + 14);
  const std::int64_t fileSize = source.Size();
  const std::int64_t available = std::max<std::int64_t>(0, fileSize - offBits);
  const std::int64_t pixels = width * height;  // both fit in 32 bits, so no overflow

  switch (bitCount) {
    case 8: {
      ReadColorTable(source, offBits, headerSize, colors.table);
      ForEachByte(source, offBits, available,
                  [&colors](std::int64_t, std::uint8_t b) { colors.used[b] = true; });
      // The part of the width x height run the file does not hold counts as index 0.
      if (pixels > available) colors.used[0] = true;
      return true;
    }
    case 4: {
      ReadColorTable(source, offBits, headerSize, colors.table);
      ForEachByte(source, offBits, std::min(available, pixels),
                  [&colors, pixels](std::int64_t i, std::uint8_t b) {
                    if (2 * i + 2 > pixels) return;
                    colors.used[b >> 4] = true;
                    colors.used[b & 15] = true;
                  });
      return true;
    }
    case 24: {
      int taken = 0;
      bool cut = false;
      std::uint8_t partial[3] = {};
      int have = 0;
      ForEachByte(source, offBits, available,
                  [&](std::int64_t byteIndex, std::uint8_t b) {
                    partial[have++] = b;
                    if (have < 3) return;
                    have = 0;
                    if (byteIndex / 3 >= pixels) return;
                    const RgbQuad q{partial[0], partial[1], partial[2], 0};
                    for (int k = 0; k < taken; ++k) {
                      if (colors.table[static_cast<std::size_t>(k)] == q) return;
                    }
                    if (taken < 256) {
                      colors.table[static_cast<std::size_t>(taken)] = q;
                      colors.used[static_cast<std::size_t>(taken)] = true;
                      ++taken;
                    } else {
                      colors.table[255] = q;
                      cut = true;
                    }
                  });
      if (cut) complain();
      return true;
    }
    case 16:
      return false;
    default:
      complain();
      return false;
  }
}

void UsedColorsOfImage(TDibImage& image, UsedColors& colors) {
  colors = UsedColors{};
  std::copy(std::begin(image.Colors), std::end(image.Colors), colors.table.begin());
  PixelLock lock(image);
  if (!lock.ok()) return;
  const std::uint8_t* bytes = lock.bytes();
  for (std::size_t i = 0; i < lock.size(); ++i) colors.used[bytes[i]] = true;
}

void MergeUsedColors(Palette256& palette, const UsedColors& colors, MergeForm form) {
  std::array<bool, 256> used = colors.used;
  std::array<bool, 256> taken{};
  const auto& table = colors.table;
  for (int k = 0; k < 256; ++k) {
    if (!used[static_cast<std::size_t>(k)]) continue;
    const RgbQuad& c = table[static_cast<std::size_t>(k)];
    for (int slot = 0; slot < 256; ++slot) {
      const bool compared =
          form == MergeForm::kImage || slot < kFirstFreeSlot || slot > kLastFreeSlot;
      if (compared && SameColor(c, palette[static_cast<std::size_t>(slot)])) {
        used[static_cast<std::size_t>(k)] = false;
        taken[static_cast<std::size_t>(slot)] = true;
      }
    }
    if (IsSlot9Color(c)) {
      used[static_cast<std::size_t>(k)] = false;
      taken[9] = true;
    }
  }
  for (int k = 0; k < 255; ++k) {
    if (!used[static_cast<std::size_t>(k)]) continue;
    for (int later = k + 1; later < 256; ++later) {
      if (used[static_cast<std::size_t>(later)] &&
          table[static_cast<std::size_t>(later)] == table[static_cast<std::size_t>(k)]) {
        used[static_cast<std::size_t>(later)] = false;
      }
    }
  }
  int slot = kFirstFreeSlot;
  for (int k = 0; k < 256; ++k) {
    if (!used[static_cast<std::size_t>(k)]) continue;
    while (slot <= kLastFreeSlot && taken[static_cast<std::size_t>(slot)]) ++slot;
    if (slot > kLastFreeSlot) return;
    const RgbQuad& c = table[static_cast<std::size_t>(k)];
    PaletteEntry& e = palette[static_cast<std::size_t>(slot)];
    e.red = c.red;
    e.green = c.green;
    e.blue = c.blue;
    taken[static_cast<std::size_t>(slot)] = true;
  }
}

JpegColorTally::JpegColorTally() : entries_(kEntries) {}

void JpegColorTally::Offer(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
  const auto near = [](int a, int b) { return a - b <= kNear && b - a <= kNear; };
  // Empty entries are black, which entry 0 already answers for, so the search stops at used_.
  // Entries lie more than kNear apart on some channel, so at most 29^3 are ever taken and the
  // limit below is a guard, not a case that occurs.
  for (int i = 0; i < used_; ++i) {
    PaletteEntry& e = entries_[static_cast<std::size_t>(i)];
    if (near(e.red, red) && near(e.green, green) && near(e.blue, blue)) {
      if (e.flags < 255) ++e.flags;
      return;
    }
  }
  if (used_ >= kEntries) return;
  entries_[static_cast<std::size_t>(used_++)] = PaletteEntry{red, green, blue, 1};
}

std::vector<PaletteEntry> JpegColorTally::ColorList() const {
  std::vector<PaletteEntry> list;
  list.push_back(PaletteEntry{});
  // One stable pass per count would cost 255 sweeps; buckets keep the tally order instead.
  std::array<std::vector<int>, 256> byCount;
  for (int i = 1; i < used_; ++i) {
    byCount[entries_[static_cast<std::size_t>(i)].flags].push_back(i);
  }
  for (int count = 255; count >= 1 && list.size() < 256; --count) {
    for (const int i : byCount[static_cast<std::size_t>(count)]) {
      if (list.size() >= 256) break;
      PaletteEntry e = entries_[static_cast<std::size_t>(i)];
      e.flags = 0;
      list.push_back(e);
    }
  }
  return list;
}

void JpegColorTally::MergeInto(Palette256& palette) const {
  std::array<bool, 256> taken{};
  std::vector<PaletteEntry> pending;
  for (const PaletteEntry& c : ColorList()) {
    bool present = false;
    for (int slot = 0; slot < 256; ++slot) {
      if (SameColor(c, palette[static_cast<std::size_t>(slot)])) {
        taken[static_cast<std::size_t>(slot)] = true;
        present = true;
      }
    }
    if (!present) pending.push_back(c);
  }
  int slot = kFirstFreeSlot;
  for (const PaletteEntry& c : pending) {
    while (slot <= kLastFreeSlot && taken[static_cast<std::size_t>(slot)]) ++slot;
    if (slot > kLastFreeSlot) return;
    PaletteEntry& e = palette[static_cast<std::size_t>(slot)];
    e.red = c.red;
    e.green = c.green;
    e.blue = c.blue;
    taken[static_cast<std::size_t>(slot)] = true;
  }
}

}  // namespace teku
