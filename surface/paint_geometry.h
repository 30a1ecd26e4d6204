// Where a picture, or a block of it, lands on a control when shown 1:1: the rectangle
// arithmetic of the whole-picture and block presentation, free of any window system.
#pragma once

#include <cstdint>

namespace teku {

// A 1:1 copy of w x h pixels. The source row is given both as the offset from the picture's
// bottom line (as the blit counts it) and as a top-down row.
struct BlitGeometry {
  std::int32_t destX = 0, destY = 0;
  std::int32_t srcX = 0, srcOffsetFromBottom = 0, srcTop = 0;
  std::int32_t width = 0, height = 0;
  bool empty() const { return width <= 0 || height <= 0; }
};

// The whole picture (pictureWidth x pictureHeight) on a control of controlWidth x controlHeight:
// a short picture sits on the control's bottom edge, a tall one shows its top lines.
BlitGeometry WholePictureGeometry(std::int32_t controlWidth, std::int32_t controlHeight,
                                  std::int32_t pictureWidth, std::int32_t pictureHeight);

// A width x height block of the picture at (xSrc, ySrc), shown at (xDest, yDest) of the control.
// Sizes cut at the control's right and bottom edge and at the picture's top and bottom; a size
// that ends up negative is 0 (nothing is shown).
BlitGeometry BlockGeometry(std::int32_t controlWidth, std::int32_t controlHeight,
                           std::int32_t xDest, std::int32_t yDest, std::int32_t width,
                           std::int32_t height, std::int32_t pictureHeight, std::int32_t xSrc,
                           std::int32_t ySrc);

}  // namespace teku
