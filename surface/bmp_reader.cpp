// The BMP reader. Pixel rows are fetched in batches, so the work memory stays small whatever
// the picture's size; every row is taken at the file's padded row length.
#include "surface/bmp_reader.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace teku {

namespace {

constexpr std::int64_t kBatchBytes = std::int64_t{1} << 20;
constexpr std::int64_t kMaxColorTableBytes = 1024;

// The file's pixel rows, `stride` bytes each from `offset`; bytes past the data read as 0.
class RowReader {
 public:
  RowReader(const PictureSource& source, std::int64_t offset, std::int64_t available,
            std::int64_t stride, std::int64_t rows)
      : source_(source), offset_(offset), available_(std::max<std::int64_t>(available, 0)),
        stride_(stride), rows_(rows) {}

  const std::uint8_t* Row(std::int64_t r) {
    if (r < first_ || r >= first_ + count_) Load(r);
    return buffer_.data() + (r - first_) * stride_;
  }
  // How many bytes of row r the data really holds.
  std::int64_t Present(std::int64_t r) const {
    return std::clamp<std::int64_t>(available_ - r * stride_, 0, stride_);
  }

 private:
  void Load(std::int64_t r) {
    first_ = r;
    count_ = std::clamp<std::int64_t>(kBatchBytes / stride_, 1,
                                      std::max<std::int64_t>(rows_ - r, 1));
    buffer_.assign(static_cast<std::size_t>(count_ * stride_), 0);
    const std::int64_t from = r * stride_;
    if (from < available_) {
      source_.ReadAt(buffer_.data(), offset_ + from,
                     std::min(count_ * stride_, available_ - from));
    }
  }

  const PictureSource& source_;
  std::int64_t offset_;
  std::int64_t available_;
  std::int64_t stride_;
  std::int64_t rows_;
  std::int64_t first_ = 0;
  std::int64_t count_ = 0;
  std::vector<std::uint8_t> buffer_;
};

std::int64_t RowStride(std::int64_t width, int bitsPerPixel) {
  return (width * bitsPerPixel + 31) / 32 * 4;
}

// The record must stay the first 1078 bytes of a BMP file of what it holds, and the info block
// goes to the display as it is: a larger file header size or a short colour count would make
// the colour table be looked for in the wrong place or cut short.
void SettleHeaders(TDibImage& image) {
  image.FileHeader.bfType[0] = 'B';
  image.FileHeader.bfType[1] = 'M';
  image.FileHeader.bfSize = static_cast<std::uint32_t>(kBmpHeaderBytes + image.ImageSize);
  image.FileHeader.bfReserved1 = 0;
  image.FileHeader.bfReserved2 = 0;
  image.FileHeader.bfOffBits = kBmpHeaderBytes;
  image.InfoHeader.biSize = 40;
  image.InfoHeader.biPlanes = 1;
  image.InfoHeader.biBitCount = 8;
  image.InfoHeader.biCompression = 0;
  image.InfoHeader.biSizeImage = static_cast<std::uint32_t>(image.ImageSize);
  image.InfoHeader.biClrUsed = 0;
  image.InfoHeader.biClrImportant = 0;
}

void ReadColorTable(const PictureSource& source, std::int64_t offset, std::int64_t bytes,
                    TDibImage& image) {
  bytes = std::min(bytes, kMaxColorTableBytes);
  if (bytes > 0) source.ReadAt(image.Colors, offset, bytes);
}

void Tell(MessageSink* messages) {
  if (messages != nullptr) messages->Information(kBmpMessageText, kBmpMessageCaption);
}

// Colour -> table index for entries 0..254 of the table being built; they never change once
// set, so open addressing without deletion is enough. Entry 255 is the one that is overwritten
// when colours run out, and is compared on its own.
class ColorIndex {
 public:
  ColorIndex() { slots_.fill(-1); }
  int Find(std::uint32_t rgb) const {
    for (std::uint32_t h = Hash(rgb);; h = (h + 1) & kMask) {
      if (slots_[h] < 0) return -1;
      if (keys_[h] == rgb) return slots_[h];
    }
  }
  void Add(std::uint32_t rgb, int index) {
    std::uint32_t h = Hash(rgb);
    while (slots_[h] >= 0) h = (h + 1) & kMask;
    keys_[h] = rgb;
    slots_[h] = static_cast<std::int16_t>(index);
  }

 private:
  static constexpr std::uint32_t kMask = 1023;
  static std::uint32_t Hash(std::uint32_t rgb) { return (rgb * 2654435761u) >> 22; }
  std::array<std::uint32_t, 1024> keys_{};
  std::array<std::int16_t, 1024> slots_{};
};

// Gives each pixel the index of its colour in a table built in order of first appearance; from
// the 257th distinct colour on, entry 255 takes each new colour. True when colours were cut.
bool ConvertTrueColor(RowReader& rows, std::int32_t width, std::int32_t height,
                      std::uint8_t* pixels, RgbQuad* colors) {
  ColorIndex index;
  int n = 0;
  bool cut = false;
  std::uint32_t lastRgb = 0;
  std::uint8_t lastNo = 0;
  for (std::int32_t r = 0; r < height; ++r) {
    const std::uint8_t* row = rows.Row(r);
    const std::int64_t present = rows.Present(r);
    std::uint8_t* out = pixels + static_cast<std::int64_t>(r) * width;
    for (std::int32_t x = 0; x < width; ++x) {
      if (3 * static_cast<std::int64_t>(x) + 3 > present) return cut;
      const std::uint8_t* t = row + 3 * x;
      const std::uint32_t rgb = t[0] | std::uint32_t{t[1]} << 8 | std::uint32_t{t[2]} << 16;
      if (n > 0 && rgb == lastRgb) {
        out[x] = lastNo;
        continue;
      }
      int no = n > 0 ? index.Find(rgb) : -1;
      if (no < 0 && n == 256) {
        const RgbQuad& e = colors[255];
        if ((e.blue | e.green << 8 | e.red << 16) == static_cast<int>(rgb)) no = 255;
      }
      if (no < 0) {
        if (n < 256) {
          no = n++;
          if (no < 255) index.Add(rgb, no);
        } else {
          no = 255;
          cut = true;
        }
        colors[no] = RgbQuad{t[0], t[1], t[2], 0};
      }
      out[x] = static_cast<std::uint8_t>(no);
      lastRgb = rgb;
      lastNo = static_cast<std::uint8_t>(no);
    }
  }
  return cut;
}

}  // namespace

bool SanePictureSize(std::int64_t width, std::int64_t height) {
  return width >= 1 && height >= 1 && width <= kMaxImageSide && height <= kMaxImageSide &&
         width * height <= kMaxImageBytes;
}

bool AllocatePixelBlock(TDibImage& image, std::int64_t bytes) {
  FreeImage(image);
  const std::int64_t w = image.InfoHeader.biWidth;
  const std::int64_t h = image.InfoHeader.biHeight;
  if (!SanePictureSize(w, h) || bytes < w * h || bytes > kMaxImageBytes) return false;
  HGlobal block = GlobalAllocZeroed(static_cast<std::size_t>(bytes));
  if (block == nullptr) return false;
  void* first = GlobalLock(block);
  if (first == nullptr) {
    GlobalFree(block);
    return false;
  }
  image.MemHandle = block;
  image.Bits = first;
  image.ImageSize = static_cast<std::int32_t>(bytes);
  GlobalUnlock(block);
  image.LockedBits = nullptr;
  return true;
}

void ExpandNibbleRows(const PictureSource& source, std::int64_t offset, std::int64_t available,
                      TDibImage& image) {
  PixelLock lock(image);
  if (!lock.ok() || lock.width() == 0) return;
  const std::int32_t w = lock.width();
  RowReader rows(source, offset, available, RowStride(w, 4), lock.height());
  for (std::int32_t r = 0; r < lock.height(); ++r) {
    const std::uint8_t* in = rows.Row(r);
    std::uint8_t* out = lock.bytes() + static_cast<std::int64_t>(r) * w;
    for (std::int32_t x = 0; x + 1 < w; x += 2) {
      out[x] = in[x >> 1] >> 4;
      out[x + 1] = in[x >> 1] & 15;
    }
    if (w & 1) out[w - 1] = in[w >> 1] >> 4;
  }
}

bool ReadBmp(const DibSurface& surface, const PictureSource& source, TDibImage& image,
             MessageSink* messages) {
  FreeImage(image);
  if (source.ReadAt(&image.FileHeader, 0, 14) != 14) return false;
  if (source.ReadAt(&image.InfoHeader, 14, 40) != 40) {
    Tell(messages);
    return false;
  }
  const std::int64_t headerSize = image.InfoHeader.biSize;
  const std::int64_t pixelOffset = image.FileHeader.bfOffBits;
  const std::int64_t fileSize = source.Size();
  const std::int64_t dataBytes = std::max<std::int64_t>(fileSize - pixelOffset, 0);
  const std::int64_t tableOffset = 14 + headerSize;
  const std::int64_t tableBytes = pixelOffset - tableOffset;
  const std::int32_t w = image.InfoHeader.biWidth;
  const std::int32_t h = image.InfoHeader.biHeight;
  const int bits = image.InfoHeader.biBitCount;

  if (bits == 16) return false;
  if (bits != 4 && bits != 8 && bits != 24) {
    Tell(messages);
    return false;
  }
  // Run-length and bit-field data would be taken for plain rows: refuse rather than show noise.
  // Top-down files (negative height) are refused by the size check.
  if (image.InfoHeader.biCompression != 0 || !SanePictureSize(w, h)) return false;
  const std::int64_t pixelCount = static_cast<std::int64_t>(w) * h;

  bool cut = false;
  if (bits == 8) {
    ReadColorTable(source, tableOffset, tableBytes, image);
    if (w % 4 == 0) {
      // Unpadded rows: the data is kept whole, even when it runs past width x height.
      const std::int64_t size =
          std::max(std::min(dataBytes, kMaxImageBytes), pixelCount);
      if (!AllocatePixelBlock(image, size)) return false;
      PixelLock lock(image);
      if (!lock.ok()) {
        FreeImage(image);
        return false;
      }
      source.ReadAt(lock.bytes(), pixelOffset,
                    std::min<std::int64_t>(dataBytes, static_cast<std::int64_t>(lock.size())));
    } else {
      if (!AllocatePixelBlock(image, pixelCount)) return false;
      PixelLock lock(image);
      if (!lock.ok()) {
        FreeImage(image);
        return false;
      }
      RowReader rows(source, pixelOffset, dataBytes, RowStride(w, 8), h);
      for (std::int32_t r = 0; r < h; ++r) {
        std::memcpy(lock.bytes() + static_cast<std::int64_t>(r) * w, rows.Row(r),
                    static_cast<std::size_t>(w));
      }
    }
  } else if (bits == 4) {
    std::fill(std::begin(image.Colors), std::end(image.Colors), RgbQuad{});
    ReadColorTable(source, tableOffset, tableBytes, image);
    if (!AllocatePixelBlock(image, pixelCount)) return false;
    ExpandNibbleRows(source, pixelOffset, dataBytes, image);
  } else {
    if (!AllocatePixelBlock(image, pixelCount)) return false;
    PixelLock lock(image);
    if (!lock.ok()) {
      FreeImage(image);
      return false;
    }
    RowReader rows(source, pixelOffset, dataBytes, RowStride(w, 24), h);
    cut = ConvertTrueColor(rows, w, h, lock.bytes(), image.Colors);
  }
  SettleHeaders(image);
  surface.MapToPalette(image.Colors, image);
  if (cut) Tell(messages);
  return true;
}

}  // namespace teku
