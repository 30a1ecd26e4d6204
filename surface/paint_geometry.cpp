// Rectangle arithmetic of picture presentation.
#include "surface/paint_geometry.h"

#include <algorithm>

namespace teku {

BlitGeometry WholePictureGeometry(std::int32_t controlWidth, std::int32_t controlHeight,
                                  std::int32_t pictureWidth, std::int32_t pictureHeight) {
  BlitGeometry g;
  g.width = std::min(pictureWidth, controlWidth);
  if (pictureHeight < controlHeight) {
    g.destY = controlHeight - pictureHeight;
    g.height = pictureHeight;
    g.srcOffsetFromBottom = 0;
  } else {
    g.destY = 0;
    g.height = controlHeight;
    g.srcOffsetFromBottom = pictureHeight - controlHeight;
  }
  g.srcTop = pictureHeight - g.srcOffsetFromBottom - g.height;
  if (g.width < 0) g.width = 0;
  if (g.height < 0) g.height = 0;
  return g;
}

BlitGeometry BlockGeometry(std::int32_t controlWidth, std::int32_t controlHeight,
                           std::int32_t xDest, std::int32_t yDest, std::int32_t width,
                           std::int32_t height, std::int32_t pictureHeight, std::int32_t xSrc,
                           std::int32_t ySrc) {
  std::int64_t w = std::max(width, 0);
  std::int64_t h = std::max(height, 0);
  if (xDest + w > controlWidth) w = std::int64_t{controlWidth} - xDest;
  if (yDest + h > controlHeight) h = std::int64_t{controlHeight} - yDest;
  // The cut at the control's edge can make a size negative again (a block that starts past
  // the edge): such a block shows nothing.
  w = std::max<std::int64_t>(w, 0);
  h = std::max<std::int64_t>(h, 0);
  std::int64_t offset = std::int64_t{pictureHeight} - ySrc - h;
  if (offset < 0) {
    h = std::int64_t{pictureHeight} - ySrc;
    offset = 0;
  }
  if (offset + h > pictureHeight) h = pictureHeight - offset;
  h = std::max<std::int64_t>(h, 0);
  BlitGeometry g;
  g.destX = xDest;
  g.destY = yDest;
  g.srcX = xSrc;
  g.width = static_cast<std::int32_t>(w);
  g.height = static_cast<std::int32_t>(h);
  g.srcOffsetFromBottom = static_cast<std::int32_t>(offset);
  g.srcTop = static_cast<std::int32_t>(pictureHeight - offset - h);
  return g;
}

}  // namespace teku
