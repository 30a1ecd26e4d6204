// 8-bit palette pictures (TDibImage) and the drawing-surface operations on them: create, free,
// clear, fill, read a pixel, keyed block copy, palette lookups and the remap of loaded files.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "services/global_memory.h"

namespace teku {

static_assert(sizeof(void*) == 8 || sizeof(void*) == 4);

// One palette entry as the program keeps it: red, green, blue, flags.
struct PaletteEntry {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
  std::uint8_t flags = 0;
  bool operator==(const PaletteEntry&) const = default;
};
using Palette256 = std::array<PaletteEntry, 256>;
static_assert(sizeof(Palette256) == 1024);

// The built-in 256-colour table; entries 0..9 and 246..255 are the classic static colours.
extern const Palette256 DefaultPalette;

#pragma pack(push, 1)
struct RgbQuad {
  std::uint8_t blue = 0;
  std::uint8_t green = 0;
  std::uint8_t red = 0;
  std::uint8_t reserved = 0;
  bool operator==(const RgbQuad&) const = default;
};

struct BitmapFileHeader {
  std::uint8_t bfType[2] = {0, 0};
  std::uint32_t bfSize = 0;
  std::uint16_t bfReserved1 = 0;
  std::uint16_t bfReserved2 = 0;
  std::uint32_t bfOffBits = 0;
};

struct BitmapInfoHeader {
  std::uint32_t biSize = 0;
  std::int32_t biWidth = 0;
  std::int32_t biHeight = 0;
  std::uint16_t biPlanes = 0;
  std::uint16_t biBitCount = 0;
  std::uint32_t biCompression = 0;
  std::uint32_t biSizeImage = 0;
  std::int32_t biXPelsPerMeter = 0;
  std::int32_t biYPelsPerMeter = 0;
  std::uint32_t biClrUsed = 0;
  std::uint32_t biClrImportant = 0;
};

// A logical palette: what the screen-palette operation builds and the surfaces select.
struct LogicalPalette {
  std::uint16_t version = 0x300;
  std::uint16_t count = 256;
  Palette256 entries{};
};
using HPalette = LogicalPalette*;

// An 8-bit picture. FileHeader, InfoHeader and Colors are byte for byte the first 1078 bytes of
// a BMP file of the picture. Pixel rows are stored bottom-up, Width bytes each, no padding.
// The record owns its pixel block: release it with FreeImage (the destructor does so too, as a
// safety net for owners that forget).
struct TDibImage {
  void* Bits = nullptr;
  void* LockedBits = nullptr;
  void* BitmapHandle = nullptr;
  HGlobal MemHandle = nullptr;
  std::int32_t ImageSize = 0;
  BitmapFileHeader FileHeader;
  BitmapInfoHeader InfoHeader;
  RgbQuad Colors[256];

  TDibImage() = default;
  ~TDibImage();
  TDibImage(const TDibImage&) = delete;
  TDibImage& operator=(const TDibImage&) = delete;

  bool allocated() const { return Bits != nullptr; }
  std::int32_t width() const { return InfoHeader.biWidth; }
  std::int32_t height() const { return InfoHeader.biHeight; }
};
#pragma pack(pop)

static_assert(sizeof(RgbQuad) == 4);
static_assert(sizeof(BitmapFileHeader) == 14);
static_assert(sizeof(BitmapInfoHeader) == 40);
static_assert(offsetof(TDibImage, InfoHeader) == offsetof(TDibImage, FileHeader) + 14);
static_assert(offsetof(TDibImage, Colors) == offsetof(TDibImage, InfoHeader) + 40);
static_assert(sizeof(TDibImage) - offsetof(TDibImage, FileHeader) == 1078);
static_assert(offsetof(TDibImage, FileHeader) == 4 * sizeof(void*) + 4, "no gap after ImageSize");

inline constexpr std::int32_t kBmpHeaderBytes = 1078;
// Largest picture we allocate (pixels = bytes). Larger requests fail like an exhausted heap.
inline constexpr std::int64_t kMaxImageBytes = std::int64_t{64} << 20;
inline constexpr std::int32_t kMaxImageSide = 65535;
inline constexpr std::int32_t kKeyNone = 256;

// The display's colour capability: how many fixed colours it reports (NUMCOLORS) and its
// system palette entries. A true-colour display reports none.
class DisplayCapability {
 public:
  virtual ~DisplayCapability() = default;
  virtual int NumColors() const = 0;
  // Entry i of the system palette (0..255).
  virtual PaletteEntry SystemPaletteEntry(int index) const = 0;
};

// What this platform has: no hardware palette, so no fixed colours are reported.
class TrueColorDisplay final : public DisplayCapability {
 public:
  int NumColors() const override { return -1; }
  PaletteEntry SystemPaletteEntry(int) const override { return {}; }
};
const DisplayCapability& DefaultDisplay();

// The operations of the drawing surface that do not need a window. The widget that shows
// pictures derives from this.
class DibSurface {
 public:
  DibSurface();
  virtual ~DibSurface();
  DibSurface(const DibSurface&) = delete;
  DibSurface& operator=(const DibSurface&) = delete;

  std::uint8_t ClearColorNo = 242;
  Palette256 Palette;
  HPalette PaletteHandle = nullptr;  // not owned
  TDibImage Image;                   // the back buffer

  void SetPalette(const Palette256& entries, HPalette handle);
  bool CreateImage(std::int32_t width, std::int32_t height, TDibImage& image) const;
  std::uint32_t GetPaletteColor(std::uint8_t index) const;
  std::uint8_t NearestColorNo(RgbQuad& color) const;
  void MapToPalette(RgbQuad* fileTable, TDibImage& image) const;
  void CopyPaletteToImage(TDibImage& image) const;
  // Builds a logical palette from Palette and the display's fixed colours; deletes the
  // palette `variable` held, stores the new one in it and returns it. The caller owns it.
  HPalette CreateScreenPalette(HPalette& variable,
                               const DisplayCapability& display = DefaultDisplay()) const;
};

void FreeImage(TDibImage& image);
void ClearImage(TDibImage& image, std::uint8_t colorNo);
void FillImageRect(TDibImage& image, std::int32_t x, std::int32_t y, std::int32_t width,
                   std::int32_t height, std::uint8_t colorNo);
std::uint8_t GetPixelNo(TDibImage& image, std::int32_t x, std::int32_t y);
bool PutImage(TDibImage& dest, std::int32_t xDest, std::int32_t yDest, std::int32_t width,
              std::int32_t height, TDibImage& source, std::int32_t xSrc, std::int32_t ySrc,
              std::int32_t keyNo);
bool CopyImage(TDibImage& dest, TDibImage& source, std::int32_t keyNo);
class PixelLock;
// PutImage on two pictures that the caller holds locked, for loops that copy many blocks.
// The same clamping, source mapping and key as PutImage.
bool PutImageLocked(const PixelLock& dest, std::int32_t xDest, std::int32_t yDest,
                    std::int32_t width, std::int32_t height, const PixelLock& source,
                    std::int32_t xSrc, std::int32_t ySrc, std::int32_t keyNo);
void DeletePalette(HPalette palette);

// Fills the two headers for a width x height 8-bit picture (ImageSize included).
void FillDibHeaders(TDibImage& image, std::int32_t width, std::int32_t height);
// Allocates the zeroed pixel block for the headers already set (ImageSize bytes) and marks the
// image allocated. False (and not allocated) when the size is not sane or memory is short.
bool AllocateDibPixels(TDibImage& image);

// The clamped destination rectangle in memory rows (bottom-up), inclusive bounds.
struct MemRect {
  std::int32_t c0 = 0, c1 = -1, r0 = 0, r1 = -1;
  bool empty() const { return c1 < c0 || r1 < r0; }
};
MemRect ClampDestRect(std::int32_t destWidth, std::int32_t destHeight, std::int32_t x,
                      std::int32_t y, std::int32_t width, std::int32_t height);

// Scoped access to a picture's pixels: locks on construction (recording LockedBits) and unlocks
// on destruction. `ok()` is false for a picture that is not allocated, whose lock failed, or
// whose headers promise more pixels than its block holds.
class PixelLock {
 public:
  explicit PixelLock(TDibImage& image);
  ~PixelLock();
  PixelLock(const PixelLock&) = delete;
  PixelLock& operator=(const PixelLock&) = delete;

  bool ok() const { return bytes_ != nullptr; }
  std::uint8_t* bytes() const { return bytes_; }
  std::int32_t width() const { return width_; }
  std::int32_t height() const { return height_; }
  // Bytes that may be touched: min(ImageSize, block size).
  std::size_t size() const { return size_; }

 private:
  TDibImage& image_;
  std::uint8_t* bytes_ = nullptr;
  std::int32_t width_ = 0;
  std::int32_t height_ = 0;
  std::size_t size_ = 0;
};

}  // namespace teku
