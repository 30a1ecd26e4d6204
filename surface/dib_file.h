// Writing a picture record as a BMP file: its 1078 header bytes, then its pixel bytes as held.
#pragma once

#include <string>

#include "surface/dib_image.h"

namespace teku {

// False when the picture is not allocated or the file cannot be written completely; a failed
// write leaves no partial file behind.
bool SaveDibImage(TDibImage& image, const std::string& path);

}  // namespace teku
