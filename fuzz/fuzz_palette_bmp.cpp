// The palette picture's BMP colour scan on arbitrary bytes: no read outside the data, no
// allocation that grows with the header's sizes, and a merge that never touches the slots of
// the display's fixed colours.
#include <cstdlib>

#include "services/palette_merge.h"

namespace {
struct Quiet final : teku::MessageSink {
  void Information(const std::string&, const std::string&) override {}
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  teku::UsedColors colors;
  Quiet quiet;
  if (!teku::ScanBmpColors(teku::PictureBytes({data, size}), colors, &quiet)) return 0;
  teku::Palette256 palette = teku::DefaultPalette;
  teku::MergeUsedColors(palette, colors, teku::MergeForm::kBmp);
  for (int i = 0; i < 256; ++i) {
    const bool fixed = i < teku::kFirstFreeSlot || i > teku::kLastFreeSlot;
    if (fixed && !(palette[i] == teku::DefaultPalette[i])) std::abort();
    if (palette[i].flags != 0) std::abort();
  }
  return 0;
}
