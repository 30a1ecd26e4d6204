// The BMP reader on arbitrary bytes: no read outside the data or the picture, no allocation
// beyond the picture cap, and a picture exactly when the result is true.
#include <cstdlib>
#include <cstring>

#include "surface/bmp_reader.h"

namespace {
struct Quiet final : teku::MessageSink {
  void Information(const std::string&, const std::string&) override {}
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Very large pictures cost the fuzzer time without reaching other code; the size bounds are
  // the same at every size, and the unit tests try the largest ones.
  if (size >= 26) {
    std::int32_t w, h;
    std::memcpy(&w, data + 18, 4);
    std::memcpy(&h, data + 22, 4);
    if (std::int64_t{w} * h > (std::int64_t{1} << 18)) return 0;
  }
  static const teku::DibSurface surface;
  teku::TDibImage image;
  Quiet quiet;
  const bool ok = teku::ReadBmp(surface, teku::PictureBytes({data, size}), image, &quiet);
  if (ok != image.allocated()) std::abort();
  if (ok && static_cast<std::int64_t>(image.ImageSize) <
                std::int64_t{image.width()} * image.height()) {
    std::abort();
  }
  return 0;
}
