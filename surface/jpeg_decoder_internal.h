// What the JPEG reader produced before the palette mapping, for checks against other decoders.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "surface/dib_image.h"
#include "surface/image_loader.h"

namespace teku {

// The full pass's colours of the last scan decoded: width x height (the rounded size), rows
// top-down, red, green, blue per pixel. Empty when no scan was decoded.
struct JpegRgb {
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::vector<std::uint8_t> rgb;
};

// LoadJpeg that also hands back the colours each pixel was mapped from (`rgb` may be null).
bool LoadJpegWithRgb(const DibSurface& surface, const std::string& fileName, TDibImage& image,
                     const ProgressSink& progress, JpegRgb* rgb);

// The inverse DCT of one block (natural order in; samples x 16, level shift not added, out);
// `from` may be `to`. The reader's form runs eight lanes at once where the processor has them,
// the portable form is the one used elsewhere, and the plain form is the transform written out
// with no shortcut, which the other two must match bit for bit.
void JpegInverseDct(const std::int16_t* from, std::int16_t* to);
void JpegInverseDctPortable(const std::int16_t* from, std::int16_t* to);
void JpegInverseDctPlain(const std::int16_t* from, std::int16_t* to);
// Two blocks at once, as JpegInverseDct gives each (`fromA` may be `toA`, `fromB` `toB`).
void JpegInverseDctPair(const std::int16_t* fromA, const std::int16_t* fromB, std::int16_t* toA,
                        std::int16_t* toB);

// The colours of `count` samples: luminance and the chroma terms red, green (subtracted) and
// blue, each x 16 without the level shift, to bytes; `cr` null for grey (the other two are
// then not read). Fast and portable forms, which must agree byte for byte.
void JpegSamplesToBytes(const std::int16_t* lum, const std::int16_t* cr, const std::int16_t* cg,
                        const std::int16_t* cb, int count, std::uint8_t* red, std::uint8_t* green,
                        std::uint8_t* blue);
void JpegSamplesToBytesPortable(const std::int16_t* lum, const std::int16_t* cr,
                                const std::int16_t* cg, const std::int16_t* cb, int count,
                                std::uint8_t* red, std::uint8_t* green, std::uint8_t* blue);

// The largest coefficient store a scan may take to be decoded once for both passes (larger
// scans are decoded twice); 128 MiB unless changed, for tests of both ways.
void SetJpegStoreLimit(std::int64_t bytes);

}  // namespace teku
