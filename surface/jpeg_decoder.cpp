// The baseline JPEG reader (not written yet: every file is refused).
#include "surface/jpeg_decoder.h"

namespace teku {

bool LoadJpeg(const DibSurface&, const std::string&, TDibImage& image, const ProgressSink&) {
  FreeImage(image);
  return false;
}

}  // namespace teku
