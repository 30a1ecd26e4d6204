// The MAG reader ("MAKI02  " pictures in 16, 8 or 256 colours): the flag-A bit map, the flag-B
// bytes and the 16 copy positions decoded into an 8-bit picture.
#pragma once

#include <string>

#include "surface/dib_image.h"
#include "surface/picture_source.h"

namespace teku {

// How many flag bytes a line has. The loader keeps the pixels the format stores left of x0
// (x0 mod 8, or mod 4 for 256 colours); the palette step counts the picture's own width only.
enum class MagLineWidth { kWithStoredMargin, kPictureOnly };

// Decodes into `image` without remapping: its pixels index the file's colours, which `Colors`
// holds (entries the file does not give keep the surface's palette, as CreateImage set them).
// False (not allocated) for a missing signature or header, an unusable size or a short
// palette. When work memory cannot be had the picture stays all index 0 and the result is true.
bool DecodeMag(const DibSurface& surface, const PictureSource& source, TDibImage& image,
               MagLineWidth lineWidth = MagLineWidth::kWithStoredMargin);

// Decodes and remaps onto the surface's palette.
bool ReadMag(const DibSurface& surface, const PictureSource& source, TDibImage& image);

// The loader's entry: ReadMag on a file.
bool LoadMag(const DibSurface& surface, const std::string& fileName, TDibImage& image);

}  // namespace teku
