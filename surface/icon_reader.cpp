// The icon reader: the first directory entry, then its image where the entry says it is: info
// header, 16-entry colour table, 4-bit rows; the transparency mask is not read.
#include "surface/icon_reader.h"

#include <algorithm>
#include <iterator>

#include "surface/bmp_reader.h"

namespace teku {

bool ReadIcon(const DibSurface& surface, const PictureSource& source, TDibImage& image,
              MessageSink* messages, bool remap) {
  FreeImage(image);
  std::uint8_t directory[22];
  if (source.ReadAt(directory, 0, 22) != 22) return false;
  // A file with several images keeps the first one behind all the directory entries, so the
  // entry's offset is followed rather than assuming the image starts right after one entry.
  const std::int64_t at = directory[18] | directory[19] << 8 | directory[20] << 16 |
                          std::int64_t{directory[21]} << 24;
  if (source.ReadAt(&image.InfoHeader, at, 40) != 40 || image.InfoHeader.biBitCount != 4) {
    if (messages != nullptr) messages->Information(kIconMessageText, kIconMessageCaption);
    return false;
  }
  // The info header holds twice the height (image and mask); the directory has the real one.
  const std::int32_t w = directory[6];
  const std::int32_t h = directory[7];
  std::fill(std::begin(image.Colors), std::end(image.Colors), RgbQuad{});
  source.ReadAt(image.Colors, at + 40, 64);

  image.FileHeader = BitmapFileHeader{};
  image.FileHeader.bfType[0] = 'B';
  image.FileHeader.bfType[1] = 'M';
  image.FileHeader.bfOffBits = kBmpHeaderBytes;
  image.FileHeader.bfSize = static_cast<std::uint32_t>(kBmpHeaderBytes + w * h);
  image.InfoHeader.biSize = 40;
  image.InfoHeader.biWidth = w;
  image.InfoHeader.biHeight = h;
  image.InfoHeader.biPlanes = 1;
  image.InfoHeader.biBitCount = 8;
  image.InfoHeader.biCompression = 0;
  image.InfoHeader.biSizeImage = static_cast<std::uint32_t>(w * h);
  image.InfoHeader.biClrUsed = 0;
  image.InfoHeader.biClrImportant = 0;
  image.ImageSize = w * h;
  // A width or height byte of 0 gives no picture rather than an empty one reported as loaded.
  if (!AllocatePixelBlock(image, static_cast<std::int64_t>(w) * h)) return false;
  const std::int64_t fileSize = source.Size();
  ExpandNibbleRows(source, at + 104, fileSize - (at + 104), image);
  if (remap) surface.MapToPalette(image.Colors, image);
  return true;
}

}  // namespace teku
