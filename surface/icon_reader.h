// The icon reader: the first image of an icon file, which must have 16 colours.
#pragma once

#include "surface/dib_image.h"
#include "surface/image_loader.h"
#include "surface/picture_source.h"

namespace teku {

// "ｱｲｺﾝのﾛｰﾄﾞ失敗" / "16色以外アイコンの為、処理出来ません。" in code page 932.
inline constexpr char kIconMessageCaption[] =
    "\xb1\xb2\xba\xdd\x82\xcc\xdb\xb0\xc4\xde\x8e\xb8\x94\x73";
inline constexpr char kIconMessageText[] =
    "\x31\x36\x90\x46\x88\xc8\x8a\x4f\x83\x41\x83\x43\x83\x52\x83\x93\x82\xcc\x88\xd7\x81\x41"
    "\x8f\x88\x97\x9d\x8f\x6f\x97\x88\x82\xdc\x82\xb9\x82\xf1\x81\x42";

// Reads the icon into `image`. With `remap` its pixels are mapped onto the surface's palette;
// without, they stay indexes into the icon's own 16 colours, which `Colors` then holds.
// False leaves the image not allocated.
bool ReadIcon(const DibSurface& surface, const PictureSource& source, TDibImage& image,
              MessageSink* messages, bool remap = true);

}  // namespace teku
