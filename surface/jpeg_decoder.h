// The baseline JPEG reader: one interleaved scan, grey or YCbCr 4:4:4, 4:2:2, 4:2:0, decoded in
// 16-bit integer arithmetic and mapped pixel by pixel onto the surface's palette.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "surface/dib_image.h"
#include "surface/image_loader.h"

namespace teku {

// False leaves the image not allocated. Irregularities go to the trace log and decoding goes on.
bool LoadJpeg(const DibSurface& surface, const std::string& fileName, TDibImage& image,
              const ProgressSink& progress);

// Receives the colour of each preview block instead of the block being painted.
using JpegColorOffer = std::function<void(std::uint8_t red, std::uint8_t green, std::uint8_t blue)>;
// LoadJpeg for the palette step: parsing, decoding and trace entries as LoadJpeg.
bool LoadJpegColors(const DibSurface& surface, const std::string& fileName, TDibImage& image,
                    const ProgressSink& progress, const JpegColorOffer& offer);

}  // namespace teku
