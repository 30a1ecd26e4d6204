// How a palette picture's colours go into the program palette: the BMP colour scan (headers and
// pixel bytes only, no picture built), the two forms of the used-colour merge, and the colour
// tally a JPEG picture is reduced to.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "surface/dib_image.h"
#include "surface/image_loader.h"
#include "surface/picture_source.h"

namespace teku {

// Slots 10..245 take picture colours; the rest hold the display's fixed colours.
inline constexpr int kFirstFreeSlot = 10;
inline constexpr int kLastFreeSlot = 245;

// A picture's colour table and which of its indices the pixels use.
struct UsedColors {
  std::array<RgbQuad, 256> table{};
  std::array<bool, 256> used{};
};

// Reads a BMP file's colours. False when nothing is to be merged (short file, unreadable
// header, an unsupported bit count or a 16-bit file). A 24-bit file of more than 256 colours
// keeps the first 255 and the last new one and still returns true; it and the unsupported
// headers send the bitmap message to `messages`.
bool ScanBmpColors(const PictureSource& source, UsedColors& colors, MessageSink* messages);

// The used indices of an 8-bit picture (every byte of its pixel memory) with its colour table.
void UsedColorsOfImage(TDibImage& image, UsedColors& colors);

// Where a picture's colours may count as already present.
enum class MergeForm {
  kBmp,    // only the fixed-colour slots are compared
  kImage,  // every slot is compared, so a free slot already holding the colour is kept
};
// Places the used colours into the free slots from 10 upward; red, green and blue only.
void MergeUsedColors(Palette256& palette, const UsedColors& colors, MergeForm form);

// Reduces the block colours of a JPEG picture to at most 256 by how often near colours recur.
class JpegColorTally {
 public:
  static constexpr int kEntries = 32769;  // entry 0 stands for black
  static constexpr int kNear = 8;

  JpegColorTally();
  // Counts a colour against the first entry within kNear on every channel.
  void Offer(std::uint8_t red, std::uint8_t green, std::uint8_t blue);
  // Black, then the entries by falling count (tally order within a count), at most 256.
  std::vector<PaletteEntry> ColorList() const;
  // Colours already in the palette are kept where they are; the others fill the free slots.
  void MergeInto(Palette256& palette) const;

  int used() const { return used_; }
  std::uint8_t count(int entry) const { return entries_[static_cast<std::size_t>(entry)].flags; }
  PaletteEntry entry(int index) const { return entries_[static_cast<std::size_t>(index)]; }

 private:
  std::vector<PaletteEntry> entries_;  // flags holds the count
  int used_ = 1;                       // entries 0 .. used_-1 are taken
};

}  // namespace teku
