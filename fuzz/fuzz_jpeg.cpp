// Reads arbitrary bytes as a JPEG file: nothing outside the file buffer, the tables, the
// components, the block list, the coefficients or the picture may be touched, and every input
// must end (the margin behind the data bounds the work).
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "surface/jpeg_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string path = "/tmp/fuzz_jpeg_" + std::to_string(getpid()) + ".jpg";
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return 0;
  if (size != 0) std::fwrite(data, 1, size, f);
  std::fclose(f);

  static teku::DibSurface surface;
  teku::TDibImage image;
  std::uint32_t last = 0;
  teku::LoadJpeg(surface, path, image,
                 [&](std::uint32_t, std::uint32_t percent, std::int32_t) {
                   if (percent > 100) __builtin_trap();
                   last = percent;
                 });
  if (image.allocated()) {
    // The picture keeps the rounded size: whole rows of 8-pixel blocks.
    if (image.width() % 8 != 0 || image.height() % 8 != 0) __builtin_trap();
    (void)teku::GetPixelNo(image, image.width() - 1, 0);
  }
  (void)last;
  return 0;
}
