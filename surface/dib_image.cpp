// The drawing-surface operations on 8-bit pictures. Every pixel access goes through PixelLock,
// which bounds it by the block that was really allocated, whatever the headers claim.
#include "surface/dib_image.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace teku {

namespace {
constexpr std::uint32_t kDefaultRgb[256] = {
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
    0xC0DCC0, 0xA6CAF0, 0x111111, 0x222222, 0x444444, 0x555555, 0x110000, 0x220000,
    0x440000, 0x550000, 0x001100, 0x002200, 0x004400, 0x005500, 0x000011, 0x000022,
    0x000044, 0x000055, 0x0000AA, 0x0000BB, 0x0000DD, 0x330000, 0x660000, 0x990000,
    0xCC0000, 0x003300, 0x333300, 0x663300, 0x993300, 0xCC3300, 0xFF3300, 0x006600,
    0x336600, 0x666600, 0x996600, 0xCC6600, 0xFF6600, 0x009900, 0x339900, 0x669900,
    0x999900, 0xCC9900, 0xFF9900, 0x00CC00, 0x33CC00, 0x66CC00, 0x99CC00, 0xCCCC00,
    0xFFCC00, 0x66FF00, 0x99FF00, 0xCCFF00, 0x000033, 0x330033, 0x660033, 0x990033,
    0xCC0033, 0xFF0033, 0x003333, 0x333333, 0x663333, 0x993333, 0xCC3333, 0xFF3333,
    0x006633, 0x336633, 0x666633, 0x996633, 0xCC6633, 0xFF6633, 0x009933, 0x339933,
    0x669933, 0x999933, 0xCC9933, 0xFF9933, 0x00CC33, 0x33CC33, 0x66CC33, 0x99CC33,
    0xCCCC33, 0xFFCC33, 0x33FF33, 0x66FF33, 0x99FF33, 0xCCFF33, 0xFFFF33, 0x000066,
    0x330066, 0x660066, 0x990066, 0xCC0066, 0xFF0066, 0x003366, 0x333366, 0x663366,
    0x993366, 0xCC3366, 0xFF3366, 0x006666, 0x336666, 0x666666, 0x996666, 0xCC6666,
    0x009966, 0x339966, 0x669966, 0x999966, 0xCC9966, 0xFF9966, 0x00CC66, 0x33CC66,
    0x99CC66, 0xCCCC66, 0xFFCC66, 0x00FF66, 0x33FF66, 0x99FF66, 0xCCFF66, 0xFF00CC,
    0xCC00FF, 0x009999, 0x993399, 0x990099, 0xCC0099, 0x000099, 0x333399, 0x660099,
    0xCC3399, 0xFF0099, 0x006699, 0x336699, 0x663399, 0x996699, 0xCC6699, 0xFF3399,
    0x339999, 0x669999, 0x999999, 0xCC9999, 0xFF9999, 0x00CC99, 0x33CC99, 0x66CC66,
    0x99CC99, 0xCCCC99, 0xFFCC99, 0x00FF99, 0x33FF99, 0x66CC99, 0x99FF99, 0xCCFF99,
    0xFFFF99, 0x0000CC, 0x330099, 0x6600CC, 0x9900CC, 0xCC00CC, 0x003399, 0x3333CC,
    0x6633CC, 0x9933CC, 0xCC33CC, 0xFF33CC, 0x0066CC, 0x3366CC, 0x666699, 0x9966CC,
    0xCC66CC, 0xFF6699, 0x0099CC, 0x3399CC, 0x6699CC, 0x9999CC, 0xCC99CC, 0xFF99CC,
    0x00CCCC, 0x33CCCC, 0x66CCCC, 0x99CCCC, 0xCCCCCC, 0xFFCCCC, 0x00FFCC, 0x33FFCC,
    0x66FF99, 0x99FFCC, 0xCCFFCC, 0xFFFFCC, 0x3300CC, 0x6600FF, 0x9900FF, 0x0033CC,
    0x3333FF, 0x6633FF, 0x9933FF, 0xCC33FF, 0xFF33FF, 0x0066FF, 0x3366FF, 0x6666CC,
    0x9966FF, 0xCC66FF, 0xFF66CC, 0x0099FF, 0x3399FF, 0x6699FF, 0x9999FF, 0xCC99FF,
    0xFF99FF, 0x00CCFF, 0x33CCFF, 0x66CCFF, 0x99CCFF, 0xCCCCFF, 0xFFCCFF, 0x33FFFF,
    0x66FFCC, 0x99FFFF, 0xCCFFFF, 0xFF6666, 0x66FF66, 0xFFFF66, 0x6666FF, 0xFF66FF,
    0x66FFFF, 0x0000EE, 0x00AA00, 0x00BB00, 0x00DD00, 0x00EE00, 0xAA0000, 0xBB0000,
    0xDD0000, 0xEE0000, 0xAAAAAA, 0xBBBBBB, 0xDDDDDD, 0xEEEEEE, 0xFFFBF0, 0xA0A0A4,
    0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF,
};

constexpr Palette256 MakeDefaultPalette() {
  Palette256 p{};
  for (int i = 0; i < 256; ++i) {
    p[i].red = static_cast<std::uint8_t>(kDefaultRgb[i] >> 16);
    p[i].green = static_cast<std::uint8_t>(kDefaultRgb[i] >> 8);
    p[i].blue = static_cast<std::uint8_t>(kDefaultRgb[i]);
    p[i].flags = 0;
  }
  return p;
}

const TrueColorDisplay kTrueColorDisplay;

// Copies the bytes of a row that differ from the key. Written as a select over 16-byte chunks
// so that the compiler turns it into vector blends; this is the inner loop of grid drawing.
void KeyedCopyRow(std::uint8_t* to, const std::uint8_t* from, std::size_t count,
                  std::uint8_t key) {
  std::size_t j = 0;
  for (; j + 16 <= count; j += 16) {
    std::uint8_t a[16], b[16];
    std::memcpy(a, from + j, 16);
    std::memcpy(b, to + j, 16);
    for (int k = 0; k < 16; ++k) b[k] = a[k] != key ? a[k] : b[k];
    std::memcpy(to + j, b, 16);
  }
  for (; j < count; ++j) {
    if (from[j] != key) to[j] = from[j];
  }
}
}  // namespace

const Palette256 DefaultPalette = MakeDefaultPalette();

const DisplayCapability& DefaultDisplay() { return kTrueColorDisplay; }

TDibImage::~TDibImage() { FreeImage(*this); }

// ---- pixel access ---------------------------------------------------------------------------

PixelLock::PixelLock(TDibImage& image) : image_(image) {
  if (image.Bits == nullptr || image.MemHandle == nullptr) return;
  auto* p = static_cast<std::uint8_t*>(GlobalLock(image.MemHandle));
  if (p == nullptr) return;
  image.LockedBits = p;
  bytes_ = p;
  const std::size_t block = GlobalSize(image.MemHandle);
  const std::size_t declared = image.ImageSize > 0 ? static_cast<std::size_t>(image.ImageSize) : 0;
  size_ = std::min(block, declared);
  const std::int64_t w = image.InfoHeader.biWidth;
  const std::int64_t h = image.InfoHeader.biHeight;
  if (w > 0 && h > 0 && static_cast<std::uint64_t>(w * h) <= block) {
    width_ = static_cast<std::int32_t>(w);
    height_ = static_cast<std::int32_t>(h);
  }
}

PixelLock::~PixelLock() {
  if (bytes_ != nullptr) {
    GlobalUnlock(image_.MemHandle);
    if (GlobalLockCount(image_.MemHandle) == 0) image_.LockedBits = nullptr;
  }
}

// ---- headers and allocation -----------------------------------------------------------------

void FillDibHeaders(TDibImage& image, std::int32_t width, std::int32_t height) {
  const std::int64_t size64 = static_cast<std::int64_t>(width) * height;
  const std::int32_t size =
      size64 > 0 && size64 <= kMaxImageBytes ? static_cast<std::int32_t>(size64) : 0;
  image.ImageSize = size;
  image.FileHeader = BitmapFileHeader{};
  image.FileHeader.bfType[0] = 'B';
  image.FileHeader.bfType[1] = 'M';
  image.FileHeader.bfSize = static_cast<std::uint32_t>(kBmpHeaderBytes + size);
  image.FileHeader.bfOffBits = kBmpHeaderBytes;
  image.InfoHeader = BitmapInfoHeader{};
  image.InfoHeader.biSize = 40;
  image.InfoHeader.biWidth = width;
  image.InfoHeader.biHeight = height;
  image.InfoHeader.biPlanes = 1;
  image.InfoHeader.biBitCount = 8;
  image.InfoHeader.biCompression = 0;
  image.InfoHeader.biSizeImage = static_cast<std::uint32_t>(size);
}

bool AllocateDibPixels(TDibImage& image) {
  FreeImage(image);
  const std::int32_t w = image.InfoHeader.biWidth;
  const std::int32_t h = image.InfoHeader.biHeight;
  if (w <= 0 || h <= 0 || w > kMaxImageSide || h > kMaxImageSide) return false;
  const std::int64_t size = static_cast<std::int64_t>(w) * h;
  if (size > kMaxImageBytes || size != image.ImageSize) return false;
  HGlobal block = GlobalAllocZeroed(static_cast<std::size_t>(size));
  if (block == nullptr) return false;
  void* first = GlobalLock(block);
  if (first == nullptr) {
    GlobalFree(block);
    return false;
  }
  image.MemHandle = block;
  image.Bits = first;
  GlobalUnlock(block);
  image.LockedBits = nullptr;
  return true;
}

void FreeImage(TDibImage& image) {
  if (image.Bits == nullptr) return;
  GlobalFree(image.MemHandle);
  image.MemHandle = nullptr;
  image.BitmapHandle = nullptr;  // never set on this platform
  image.LockedBits = nullptr;
  image.Bits = nullptr;
}

// ---- the surface ----------------------------------------------------------------------------

DibSurface::DibSurface() : Palette(DefaultPalette) {}
DibSurface::~DibSurface() { FreeImage(Image); }

void DibSurface::SetPalette(const Palette256& entries, HPalette handle) {
  Palette = entries;
  PaletteHandle = handle;
}

bool DibSurface::CreateImage(std::int32_t width, std::int32_t height, TDibImage& image) const {
  FreeImage(image);
  FillDibHeaders(image, width, height);
  if (!AllocateDibPixels(image)) return false;
  CopyPaletteToImage(image);
  return true;
}

std::uint32_t DibSurface::GetPaletteColor(std::uint8_t index) const {
  const PaletteEntry& e = Palette[index];
  return static_cast<std::uint32_t>(e.red) | static_cast<std::uint32_t>(e.green) << 8 |
         static_cast<std::uint32_t>(e.blue) << 16 | static_cast<std::uint32_t>(e.flags) << 24;
}

std::uint8_t DibSurface::NearestColorNo(RgbQuad& color) const {
  int best = 0;
  int bestDistance = 768;
  for (int i = 0; i < 256; ++i) {
    const PaletteEntry& e = Palette[i];
    if (e.red == color.red && e.green == color.green && e.blue == color.blue) {
      best = i;
      break;
    }
    const int d = std::abs(color.red - e.red) + std::abs(color.green - e.green) +
                  std::abs(color.blue - e.blue);
    if (d < bestDistance) {
      bestDistance = d;
      best = i;
    }
  }
  color.red = Palette[best].red;
  color.green = Palette[best].green;
  color.blue = Palette[best].blue;
  color.reserved = 0;
  return static_cast<std::uint8_t>(best);
}

void DibSurface::MapToPalette(RgbQuad* fileTable, TDibImage& image) const {
  if (!image.allocated() || fileTable == nullptr) return;
  std::uint8_t translation[256];
  for (int k = 0; k < 256; ++k) {
    translation[k] = NearestColorNo(fileTable[k]);
    fileTable[k] = RgbQuad{Palette[k].blue, Palette[k].green, Palette[k].red, 0};
  }
  PixelLock lock(image);
  if (!lock.ok()) return;
  std::uint8_t* p = lock.bytes();
  for (std::size_t i = 0; i < lock.size(); ++i) p[i] = translation[p[i]];
}

void DibSurface::CopyPaletteToImage(TDibImage& image) const {
  for (int i = 0; i < 256; ++i) {
    image.Colors[i] = RgbQuad{Palette[i].blue, Palette[i].green, Palette[i].red, 0};
  }
}

HPalette DibSurface::CreateScreenPalette(HPalette& variable,
                                         const DisplayCapability& display) const {
  if (variable != nullptr) {
    DeletePalette(variable);
    variable = nullptr;
  }
  auto* palette = new LogicalPalette;
  palette->entries = Palette;
  const int n = display.NumColors();
  if (n >= 1 && n <= 256) {
    const int k = n / 2;
    for (int i = 0; i < k; ++i) palette->entries[i] = display.SystemPaletteEntry(i);
    for (int i = 256 - k; i < 256; ++i) palette->entries[i] = display.SystemPaletteEntry(i);
  }
  for (auto& e : palette->entries) e.flags = 0;
  variable = palette;
  return palette;
}

void DeletePalette(HPalette palette) { delete palette; }

// ---- drawing --------------------------------------------------------------------------------

void ClearImage(TDibImage& image, std::uint8_t colorNo) {
  PixelLock lock(image);
  if (!lock.ok()) return;
  std::memset(lock.bytes(), colorNo, lock.size());
}

MemRect ClampDestRect(std::int32_t destWidth, std::int32_t destHeight, std::int32_t x,
                      std::int32_t y, std::int32_t width, std::int32_t height) {
  const std::int64_t W = destWidth, H = destHeight;
  std::int64_t c0 = std::max<std::int64_t>(x, 0);
  std::int64_t c1 = std::int64_t{x} + width - 1;
  std::int64_t r0 = std::max<std::int64_t>(H - y - height, 0);
  std::int64_t r1 = H - y - 1;
  // A block wholly right of or above the destination touches nothing (rather than being
  // squeezed onto the last column or the top line).
  if (c0 > W - 1 || r0 > H - 1) return MemRect{};
  c1 = std::min(c1, W - 1);
  r1 = std::min(r1, H - 1);
  if (c1 < c0 || r1 < r0) return MemRect{};
  return MemRect{static_cast<std::int32_t>(c0), static_cast<std::int32_t>(c1),
                 static_cast<std::int32_t>(r0), static_cast<std::int32_t>(r1)};
}

void FillImageRect(TDibImage& image, std::int32_t x, std::int32_t y, std::int32_t width,
                   std::int32_t height, std::uint8_t colorNo) {
  PixelLock lock(image);
  if (!lock.ok() || lock.width() == 0) return;
  const MemRect r = ClampDestRect(lock.width(), lock.height(), x, y, width, height);
  if (r.empty()) return;
  for (std::int32_t row = r.r0; row <= r.r1; ++row) {
    std::uint8_t* line = lock.bytes() + static_cast<std::size_t>(row) * lock.width();
    std::memset(line + r.c0, colorNo, static_cast<std::size_t>(r.c1 - r.c0 + 1));
  }
}

std::uint8_t GetPixelNo(TDibImage& image, std::int32_t x, std::int32_t y) {
  PixelLock lock(image);
  if (!lock.ok() || lock.width() == 0) return 0;
  const std::int32_t cx = std::clamp(x, 0, lock.width() - 1);
  const std::int32_t cy = std::clamp(y, 0, lock.height() - 1);
  const std::size_t at = static_cast<std::size_t>(cx) +
                         static_cast<std::size_t>(lock.height() - 1 - cy) * lock.width();
  return lock.bytes()[at];
}

bool PutImageLocked(const PixelLock& d, std::int32_t xDest, std::int32_t yDest,
                    std::int32_t width, std::int32_t height, const PixelLock& s,
                    std::int32_t xSrc, std::int32_t ySrc, std::int32_t keyNo) {
  if (!d.ok() || !s.ok() || d.width() == 0 || s.width() == 0) return false;
  const MemRect r = ClampDestRect(d.width(), d.height(), xDest, yDest, width, height);
  if (r.empty()) return true;
  const std::int64_t SW = s.width(), SH = s.height();
  const std::int64_t s0 = std::min<std::int64_t>(std::max<std::int64_t>(xSrc, 0), SW - 1);
  const std::int64_t t0 = std::min<std::int64_t>(
      std::max<std::int64_t>(SH + r.r0 - std::int64_t{ySrc} - r.r1 - 1, 0), SH - 1);
  // The source block is cut at the source's edges: pixels it would take from outside the
  // source are left as they are in the destination.
  const std::int64_t rows = std::min<std::int64_t>(r.r1 - r.r0 + 1, SH - t0);
  const std::int64_t cols = std::min<std::int64_t>(r.c1 - r.c0 + 1, SW - s0);
  const std::uint8_t* src = s.bytes();
  std::uint8_t* dst = d.bytes();
  const std::int64_t DW = d.width();
  if (keyNo < 0 || keyNo > 255) {
    for (std::int64_t i = 0; i < rows; ++i) {
      std::memmove(dst + (r.r0 + i) * DW + r.c0, src + (t0 + i) * SW + s0,
                   static_cast<std::size_t>(cols));
    }
    return true;
  }
  const auto key = static_cast<std::uint8_t>(keyNo);
  for (std::int64_t i = 0; i < rows; ++i) {
    const std::uint8_t* from = src + (t0 + i) * SW + s0;
    std::uint8_t* to = dst + (r.r0 + i) * DW + r.c0;
    KeyedCopyRow(to, from, static_cast<std::size_t>(cols), key);
  }
  return true;
}

bool PutImage(TDibImage& dest, std::int32_t xDest, std::int32_t yDest, std::int32_t width,
              std::int32_t height, TDibImage& source, std::int32_t xSrc, std::int32_t ySrc,
              std::int32_t keyNo) {
  PixelLock d(dest);
  if (!d.ok()) return false;
  PixelLock s(source);
  if (!s.ok()) return false;
  return PutImageLocked(d, xDest, yDest, width, height, s, xSrc, ySrc, keyNo);
}

bool CopyImage(TDibImage& dest, TDibImage& source, std::int32_t keyNo) {
  if (dest.width() == source.width() && dest.height() == source.height()) {
    PixelLock d(dest);
    if (!d.ok()) return false;
    PixelLock s(source);
    if (!s.ok()) return false;
    std::memmove(d.bytes(), s.bytes(), std::min(d.size(), s.size()));
    return true;
  }
  return PutImage(dest, 0, 0, std::min(dest.width(), source.width()),
                  std::min(dest.height(), source.height()), source, 0, 0, keyNo);
}

}  // namespace teku
