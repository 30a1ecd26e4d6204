// The MAG reader on arbitrary bytes: every stream index bounded, in both line-width forms.
#include <cstdlib>
#include <cstring>

#include "surface/mag_decoder.h"

namespace {
// Pictures the header makes very large cost the fuzzer time without reaching other code: the
// reader's size bounds are the same at every size, and the unit tests try the largest ones.
bool Huge(const std::uint8_t* data, std::size_t size) {
  if (size < 8) return false;
  const void* zero = std::memchr(data + 8, 0, size - 8);
  if (zero == nullptr) return false;
  const std::size_t n = static_cast<std::size_t>(static_cast<const std::uint8_t*>(zero) - data);
  if (n + 12 > size) return false;
  auto at = [&](std::size_t i) { return data[n + i] | data[n + i + 1] << 8; };
  const long w = at(8) - at(4) + 1, h = at(10) - at(6) + 1;
  return w * h > (1L << 18);
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (Huge(data, size)) return 0;
  static const teku::DibSurface surface;
  teku::TDibImage image;
  const teku::PictureBytes source({data, size});
  if (teku::ReadMag(surface, source, image) != image.allocated()) std::abort();
  if (teku::DecodeMag(surface, source, image, teku::MagLineWidth::kPictureOnly) !=
      image.allocated()) {
    std::abort();
  }
  return 0;
}
