// The icon reader on arbitrary bytes, with and without the remap.
#include <cstdlib>

#include "surface/icon_reader.h"

namespace {
struct Quiet final : teku::MessageSink {
  void Information(const std::string&, const std::string&) override {}
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const teku::DibSurface surface;
  teku::TDibImage image;
  Quiet quiet;
  const teku::PictureBytes source({data, size});
  const bool remap = size > 0 && (data[size - 1] & 1);
  const bool ok = teku::ReadIcon(surface, source, image, &quiet, remap);
  if (ok != image.allocated()) std::abort();
  return 0;
}
