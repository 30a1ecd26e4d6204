// The MAG reader. Every stream index is checked against what was really read: a stream that
// runs short yields zero bytes, so hostile offsets and sizes cannot reach outside a buffer.
#include "surface/mag_decoder.h"

#include <algorithm>
#include <cstring>

#include "surface/bmp_reader.h"

namespace teku {

namespace {

constexpr char kSignature[8] = {'M', 'A', 'K', 'I', '0', '2', ' ', ' '};
// The zero margin each work block gets beyond its data, as the format's readers have always
// allowed; reads are bounded anyway, so it only keeps the blocks' sizes familiar.
constexpr std::int64_t kMargin = 4048;
constexpr int kRingLines = 17;

struct CopyFrom {
  int left;
  int up;
};
constexpr CopyFrom kCopyTable[16] = {{0, 0}, {1, 0}, {2, 0}, {4, 0}, {0, 1}, {1, 1},
                                     {0, 2}, {1, 2}, {2, 2}, {0, 4}, {1, 4}, {2, 4},
                                     {0, 8}, {1, 8}, {2, 8}, {0, 16}};

std::uint32_t Le16(const std::uint8_t* p) { return p[0] | std::uint32_t{p[1]} << 8; }
std::uint32_t Le32(const std::uint8_t* p) {
  return Le16(p) | std::uint32_t{p[2]} << 16 | std::uint32_t{p[3]} << 24;
}

// A work block: a zeroed global block holding up to `wanted` bytes read from the source.
class Stream {
 public:
  Stream(const PictureSource& source, std::int64_t offset, std::int64_t wanted,
         std::int64_t fileSize) {
    // Never more than the file can supply: a header claiming gigabytes costs nothing.
    const std::int64_t present =
        offset < 0 ? 0 : std::clamp<std::int64_t>(fileSize - offset, 0, wanted);
    block_ = GlobalAllocZeroed(static_cast<std::size_t>(present + kMargin + 1));
    if (block_ == nullptr) return;
    bytes_ = static_cast<std::uint8_t*>(GlobalLock(block_));
    if (bytes_ == nullptr) return;
    if (present > 0) size_ = std::max<std::int64_t>(source.ReadAt(bytes_, offset, present), 0);
  }
  ~Stream() {
    if (bytes_ != nullptr) GlobalUnlock(block_);
    GlobalFree(block_);
  }
  Stream(const Stream&) = delete;
  Stream& operator=(const Stream&) = delete;

  bool ok() const { return bytes_ != nullptr; }
  std::uint8_t At(std::int64_t i) const { return i < size_ ? bytes_[i] : 0; }

 private:
  HGlobal block_ = nullptr;
  std::uint8_t* bytes_ = nullptr;
  std::int64_t size_ = 0;
};

// A zeroed work block that is not read from the file.
class Work {
 public:
  explicit Work(std::size_t bytes) : block_(GlobalAllocZeroed(bytes)) {
    if (block_ != nullptr) bytes_ = static_cast<std::uint8_t*>(GlobalLock(block_));
  }
  ~Work() {
    if (bytes_ != nullptr) GlobalUnlock(block_);
    GlobalFree(block_);
  }
  Work(const Work&) = delete;
  Work& operator=(const Work&) = delete;
  bool ok() const { return bytes_ != nullptr; }
  std::uint8_t* bytes() const { return bytes_; }

 private:
  HGlobal block_;
  std::uint8_t* bytes_ = nullptr;
};

// Offset of the zero byte that opens the header, or -1. Read a block at a time: the search
// may cross a long comment, and one file access per byte would make that slow.
std::int64_t FindHeader(const PictureSource& source) {
  std::uint8_t chunk[256];
  for (std::int64_t at = 8;; at += sizeof chunk) {
    const std::int64_t n = source.ReadAt(chunk, at, sizeof chunk);
    if (n <= 0) return -1;
    const void* zero = std::memchr(chunk, 0, static_cast<std::size_t>(n));
    if (zero != nullptr) return at + (static_cast<const std::uint8_t*>(zero) - chunk);
    if (n < static_cast<std::int64_t>(sizeof chunk)) return -1;
  }
}

struct Layout {
  bool bytePixels = false;  // 256 colours: one byte a pixel, two pixels a unit
  int colors = 16;
  std::int64_t height = 0;
  std::int64_t flagBytes = 0;  // F
  std::int64_t units = 0;      // U
  std::int64_t width = 0;      // of the picture made
};

}  // namespace

bool DecodeMag(const DibSurface& surface, const PictureSource& source, TDibImage& image,
               MagLineWidth lineWidth) {
  FreeImage(image);
  char signature[8];
  if (source.ReadAt(signature, 0, 8) != 8 || std::memcmp(signature, kSignature, 8) != 0) {
    return false;
  }
  const std::int64_t base = FindHeader(source);
  if (base < 0) return false;
  std::uint8_t header[32];
  if (source.ReadAt(header, base, 32) != 32) return false;

  const std::uint8_t mode = header[3];
  const std::int64_t x0 = Le16(header + 4), y0 = Le16(header + 6);
  const std::int64_t x1 = Le16(header + 8), y1 = Le16(header + 10);
  const std::int64_t flagAOffset = Le32(header + 12);
  const std::int64_t flagBOffset = Le32(header + 16);
  const std::int64_t flagBSize = Le32(header + 20);
  const std::int64_t pixelOffset = Le32(header + 24);
  const std::int64_t pixelSize = Le32(header + 28);
  if (x1 < x0 || y1 < y0) return false;

  Layout g;
  g.bytePixels = (mode & 0x80) != 0;
  g.colors = g.bytePixels ? 256 : (mode & 0x02) != 0 ? 8 : 16;
  const std::int64_t w = x1 - x0 + 1;
  g.height = y1 - y0 + 1;
  const bool margin = lineWidth == MagLineWidth::kWithStoredMargin;
  if (g.bytePixels) {
    g.flagBytes = ((margin ? x0 % 4 : 0) + w + 3) / 4;
    g.width = 4 * g.flagBytes;
  } else {
    g.flagBytes = ((margin ? x0 % 8 : 0) + w + 7) / 8;
    g.width = 8 * g.flagBytes;
  }
  g.units = 2 * g.flagBytes;
  if (!SanePictureSize(g.width, g.height)) return false;
  if (!surface.CreateImage(static_cast<std::int32_t>(g.width),
                           static_cast<std::int32_t>(g.height), image)) {
    return false;
  }

  std::uint8_t palette[256 * 3];
  const std::int64_t paletteBytes = g.colors * 3;
  if (source.ReadAt(palette, base + 32, paletteBytes) != paletteBytes) {
    // A short palette is a failed load: leave no blank picture that callers would show.
    FreeImage(image);
    return false;
  }
  for (int k = 0; k < g.colors; ++k) {
    image.Colors[k] = RgbQuad{palette[3 * k + 2], palette[3 * k], palette[3 * k + 1], 0};
  }

  const std::int64_t fileSize = source.Size();
  const std::int64_t flagALength = flagBOffset - flagAOffset;
  Stream flagA(source, base + flagAOffset, std::max<std::int64_t>(flagALength, 0), fileSize);
  Stream flagB(source, base + flagBOffset, flagBSize + 1, fileSize);
  Stream pixels(source, base + pixelOffset, pixelSize + 1, fileSize);
  Work line(static_cast<std::size_t>(g.flagBytes + kMargin));
  Work ring(static_cast<std::size_t>(kRingLines * g.units * 2));
  PixelLock lock(image);
  if (!flagA.ok() || !flagB.ok() || !pixels.ok() || !line.ok() || !ring.ok() || !lock.ok()) {
    return true;
  }

  const std::int64_t H = g.height, F = g.flagBytes, U = g.units;
  // A line stops taking flag-A bytes after this many; its remaining flag bytes stay as they
  // were on the line above.
  const std::int64_t maxBytesPerLine =
      std::max<std::int64_t>(10, (flagALength + H - 1) / H + 1);
  std::int64_t aIndex = 0;
  int aBit = 7;
  std::int64_t bIndex = 0;
  std::int64_t pIndex = 0;
  std::uint8_t* flags = line.bytes();
  std::uint8_t* units = ring.bytes();
  // A copy from left of the line's start wraps to its end.
  std::int64_t left[16];
  for (int f = 0; f < 16; ++f) left[f] = kCopyTable[f].left % U;

  for (std::int64_t i = 0; i < H; ++i) {
    std::int64_t taken = 0;
    for (std::int64_t p = 0; p < F && taken < maxBytesPerLine; ++p) {
      if ((flagA.At(aIndex) >> aBit) & 1) flags[p] ^= flagB.At(bIndex++);
      if (--aBit < 0) {
        aBit = 7;
        ++aIndex;
        ++taken;
      }
    }
    std::uint8_t* here = units + (i % kRingLines) * U * 2;
    std::uint8_t* out = lock.bytes() + (H - 1 - i) * g.width;
    for (std::int64_t l = 0; l < U; ++l) {
      const int f = (l & 1) ? flags[l >> 1] & 15 : flags[l >> 1] >> 4;
      std::uint8_t b0, b1;
      if (f == 0) {
        b0 = pixels.At(pIndex);
        b1 = pixels.At(pIndex + 1);
        pIndex += 2;
      } else {
        const std::uint8_t* from =
            units + ((i + kRingLines - kCopyTable[f].up) % kRingLines) * U * 2;
        std::int64_t at = l - left[f];
        if (at < 0) at += U;
        b0 = from[at * 2];
        b1 = from[at * 2 + 1];
      }
      here[l * 2] = b0;
      here[l * 2 + 1] = b1;
      if (g.bytePixels) {
        out[l * 2] = b0;
        out[l * 2 + 1] = b1;
      } else {
        out[l * 4] = b0 >> 4;
        out[l * 4 + 1] = b0 & 15;
        out[l * 4 + 2] = b1 >> 4;
        out[l * 4 + 3] = b1 & 15;
      }
    }
  }
  return true;
}

bool ReadMag(const DibSurface& surface, const PictureSource& source, TDibImage& image) {
  if (!DecodeMag(surface, source, image)) return false;
  surface.MapToPalette(image.Colors, image);
  return true;
}

bool LoadMag(const DibSurface& surface, const std::string& fileName, TDibImage& image) {
  return ReadMag(surface, PictureFile(fileName), image);
}

}  // namespace teku
