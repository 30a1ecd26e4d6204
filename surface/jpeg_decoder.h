// The baseline JPEG reader: one interleaved scan, grey or YCbCr 4:4:4, 4:2:2, 4:2:0, decoded in
// 16-bit integer arithmetic and mapped pixel by pixel onto the surface's palette.
#pragma once

#include <string>

#include "surface/dib_image.h"
#include "surface/image_loader.h"

namespace teku {

// False leaves the image not allocated. Irregularities go to the trace log and decoding goes on.
bool LoadJpeg(const DibSurface& surface, const std::string& fileName, TDibImage& image,
              const ProgressSink& progress);

}  // namespace teku
