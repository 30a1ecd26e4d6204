// The BMP reader (4, 8 and 24 bits per pixel, uncompressed) and the pieces the icon reader
// shares with it: the block for the pixels and the expansion of 4-bit rows.
#pragma once

#include <cstdint>

#include "surface/dib_image.h"
#include "surface/image_loader.h"
#include "surface/picture_source.h"

namespace teku {

// "ﾋﾞｯﾄﾏｯﾌﾟのﾛｰﾄﾞ失敗" / "256色以上ﾋﾞｯﾄﾏｯﾌﾟの為、256色以上をｶｯﾄしました。" in code page 932.
inline constexpr char kBmpMessageCaption[] =
    "\xcb\xde\xaf\xc4\xcf\xaf\xcc\xdf\x82\xcc\xdb\xb0\xc4\xde\x8e\xb8\x94\x73";
inline constexpr char kBmpMessageText[] =
    "\x32\x35\x36\x90\x46\x88\xc8\x8f\xe3\xcb\xde\xaf\xc4\xcf\xaf\xcc\xdf\x82\xcc\x88\xd7\x81"
    "\x41\x32\x35\x36\x90\x46\x88\xc8\x8f\xe3\x82\xf0\xb6\xaf\xc4\x82\xb5\x82\xdc\x82\xb5\x82"
    "\xbd\x81\x42";

// Reads a BMP file into `image`, remapped onto the surface's palette. False leaves the image
// not allocated. Rows are read with the file's padding to 4 bytes, whatever the width.
bool ReadBmp(const DibSurface& surface, const PictureSource& source, TDibImage& image,
             MessageSink* messages);

// Sizes a picture may have: both sides 1..kMaxImageSide and at most kMaxImageBytes pixels.
bool SanePictureSize(std::int64_t width, std::int64_t height);

// Allocates `bytes` zeroed bytes as the image's pixel block (at least width x height of its
// headers) and sets ImageSize. False, and not allocated, when the size is not sane or memory is
// short.
bool AllocatePixelBlock(TDibImage& image, std::int64_t bytes);

// Expands 4-bit rows (high nibble first) read from `source` at `offset`, `available` bytes of
// them present, rows padded to 4 bytes, into the image's width x height pixel bytes.
void ExpandNibbleRows(const PictureSource& source, std::int64_t offset, std::int64_t available,
                      TDibImage& image);

}  // namespace teku
