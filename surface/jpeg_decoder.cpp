// The baseline JPEG reader. The file is held whole with a zeroed margin behind it; markers are
// read in one loop, and each scan is shown twice (a DC-only preview, then the full picture)
// in 16-bit integer arithmetic whose roundings are part of the result. A scan's data is
// decoded once and both passes are replayed from the held coefficients (with their progress
// reports and trace entries), unless the scan is too large to hold. Irregularities go to the
// trace log and decoding goes on wherever that stays inside the decoder's tables; data that
// would take it outside them ends the decoding instead.
#include "surface/jpeg_decoder.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>
#include <sys/stat.h>
#include <unistd.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "services/global_memory.h"
#include "services/large_memory.h"
#include "services/regular_file.h"
#include "services/trace_log.h"
#include "surface/jpeg_decoder_internal.h"
#include "surface/nearest_color.h"

namespace teku {

namespace {

// ---- constants -------------------------------------------------------------------------------

// Zeroed bytes behind the file: reads past the data see zeros until the margin runs out.
constexpr std::size_t kMargin = 16384;
constexpr int kMaxSide = 3072;
constexpr int kMaxBlocks = 10;
constexpr int kFastBits = 9;

constexpr std::uint8_t kZigzag[64] = {
    0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,  12, 19, 26, 33, 40, 48,
    41, 34, 27, 20, 13, 6,  7,  14, 21, 28, 35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23,
    30, 37, 44, 51, 58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};

// Trace texts, code page 932.
// 書式異常(JPEGﾏｰｶｰ位置）
constexpr char kText9600[] = "\x8F\x91\x8E\xAE\x88\xD9\x8F\xED(JPEG\xCF\xB0\xB6\xB0\x88\xCA\x92\x75\x81\x6A";
// TEM
constexpr char kText9602[] = "TEM";
// 非Baseline DCT(未ｻﾎﾟｰﾄ)
constexpr char kText9604[] = "\x94\xF1" "Baseline DCT(\x96\xA2\xBB\xCE\xDF\xB0\xC4)";
// SOFO:標本精度が8ﾋﾞｯﾄ以外
constexpr char kText9605[] = "SOFO:\x95\x57\x96\x7B\x90\xB8\x93\x78\x82\xAA" "8\xCB\xDE\xAF\xC4\x88\xC8\x8A\x4F";
// 画像横ｻｲｽﾞが大きすぎる(≦
constexpr char kText9606[] = "\x89\xE6\x91\x9C\x89\xA1\xBB\xB2\xBD\xDE\x82\xAA\x91\xE5\x82\xAB\x82\xB7\x82\xAC\x82\xE9(\x81\x85";
// 画像縦ｻｲｽﾞが大きすぎる(≦
constexpr char kText9607[] = "\x89\xE6\x91\x9C\x8F\x63\xBB\xB2\xBD\xDE\x82\xAA\x91\xE5\x82\xAB\x82\xB7\x82\xAC\x82\xE9(\x81\x85";
// 未ｻﾎﾟｰﾄ画像成分数
constexpr char kText9608[] = "\x96\xA2\xBB\xCE\xDF\xB0\xC4\x89\xE6\x91\x9C\x90\xAC\x95\xAA\x90\x94";
// SOFO:処理不能水平標本数
constexpr char kText9610[] = "SOFO:\x8F\x88\x97\x9D\x95\x73\x94\x5C\x90\x85\x95\xBD\x95\x57\x96\x7B\x90\x94";
// SOFO:処理不能垂直標本数 
constexpr char kText9611[] = "SOFO:\x8F\x88\x97\x9D\x95\x73\x94\x5C\x90\x82\x92\xBC\x95\x57\x96\x7B\x90\x94 ";
// 未定義量子化表番号 
constexpr char kText9612[] = "\x96\xA2\x92\xE8\x8B\x60\x97\xCA\x8E\x71\x89\xBB\x95\x5C\x94\xD4\x8D\x86 ";
// DHT:Huffman表番号異常
constexpr char kText9613[] = "DHT:Huffman\x95\x5C\x94\xD4\x8D\x86\x88\xD9\x8F\xED";
// DHT:ﾌﾞﾛｯｸ長異常
constexpr char kText9614[] = "DHT:\xCC\xDE\xDB\xAF\xB8\x92\xB7\x88\xD9\x8F\xED";
// SOS:ﾌﾞﾛｯｸ長異常
constexpr char kText9615[] = "SOS:\xCC\xDE\xDB\xAF\xB8\x92\xB7\x88\xD9\x8F\xED";
// SOS:画像成分数異常
constexpr char kText9617[] = "SOS:\x89\xE6\x91\x9C\x90\xAC\x95\xAA\x90\x94\x88\xD9\x8F\xED";
// SOS:未定義画像成分番号 
constexpr char kText9618[] = "SOS:\x96\xA2\x92\xE8\x8B\x60\x89\xE6\x91\x9C\x90\xAC\x95\xAA\x94\xD4\x8D\x86 ";
// SOS:未定義DC-Huffman表番号
constexpr char kText9619[] = "SOS:\x96\xA2\x92\xE8\x8B\x60" "DC-Huffman\x95\x5C\x94\xD4\x8D\x86";
// SOS:未定義AC-Huffman表番号
constexpr char kText9620[] = "SOS:\x96\xA2\x92\xE8\x8B\x60" "AC-Huffman\x95\x5C\x94\xD4\x8D\x86";
// SOS:ｽｷｬﾝ成分数が10を超える
constexpr char kText9621[] = "SOS:\xBD\xB7\xAC\xDD\x90\xAC\x95\xAA\x90\x94\x82\xAA" "10\x82\xF0\x92\xB4\x82\xA6\x82\xE9";
// 未ｻﾎﾟｰﾄなｽｷｬﾝ成分数
constexpr char kText9622[] = "\x96\xA2\xBB\xCE\xDF\xB0\xC4\x82\xC8\xBD\xB7\xAC\xDD\x90\xAC\x95\xAA\x90\x94";
// DQT:ﾌﾞﾛｯｸ長の異常
constexpr char kText9623[] = "DQT:\xCC\xDE\xDB\xAF\xB8\x92\xB7\x82\xCC\x88\xD9\x8F\xED";
// DQT:量子化表が5以上ある
constexpr char kText9624[] = "DQT:\x97\xCA\x8E\x71\x89\xBB\x95\x5C\x82\xAA" "5\x88\xC8\x8F\xE3\x82\xA0\x82\xE9";
// DQT:量子化表番号が4以上
constexpr char kText9625[] = "DQT:\x97\xCA\x8E\x71\x89\xBB\x95\x5C\x94\xD4\x8D\x86\x82\xAA" "4\x88\xC8\x8F\xE3";
// DRI:ﾌﾞﾛｯｸ長異常
constexpr char kText9626[] = "DRI:\xCC\xDE\xDB\xAF\xB8\x92\xB7\x88\xD9\x8F\xED";
// RST処理構造異常
constexpr char kText9627[] = "RST\x8F\x88\x97\x9D\x8D\x5C\x91\xA2\x88\xD9\x8F\xED";
// MarkerError
constexpr char kText9628[] = "MarkerError";

std::string Hex2(unsigned value) {
  static const char kDigits[] = "0123456789ABCDEF";
  return std::string{kDigits[value >> 4 & 15], kDigits[value & 15]};
}

void Trace(std::int32_t code, const char* text) { TraceWrite(code, text); }
void Trace(std::int32_t code, const char* text, const std::string& value) {
  TraceWrite(code, std::string(text) + value);
}

// Sample (x 16, level shift included) to byte.
inline int ToByte(int x) {
  const int v = (x + 8) >> 4;
  return v < 0 ? 0 : v > 255 ? 255 : v;
}

// ---- input -----------------------------------------------------------------------------------

struct Input {
  const std::uint8_t* data = nullptr;
  std::size_t fileSize = 0;
  std::size_t size = 0;  // file plus margin
  std::size_t pos = 0;
  bool past = false;  // a read went beyond the margin

  std::uint8_t Byte() {
    if (pos < size) return data[pos++];
    past = true;
    return 0;
  }
  std::uint16_t Word() {
    const std::uint16_t hi = Byte();
    return static_cast<std::uint16_t>(hi << 8 | Byte());
  }
  void Skip(std::size_t count) {
    if (count > size - pos) {
      pos = size;
      past = true;
    } else {
      pos += count;
    }
  }
};

// ---- tables ----------------------------------------------------------------------------------

struct HuffTable {
  bool defined = false;
  std::uint8_t id = 0;  // class in the high nibble, number in the low one
  std::uint8_t bits[17] = {};
  std::uint8_t values[256] = {};
  int stored = 0;  // values held (a table may declare more than 256)
  // Wider than the 16 bits of the written rules: codes of length 16 go above 0x7FFF.
  std::int32_t maxcode[17] = {};
  std::int32_t mincode[17] = {};
  std::int32_t valptr[17] = {};
  // First kFastBits bits -> length << 8 | symbol; 0 when the code is longer; kBadCode when the
  // code names a value the table does not hold.
  std::uint16_t fast[1 << kFastBits] = {};
  // For AC use: prefixes that hold a whole code with a non-zero size and its extra bits:
  // value << 16 | run << 8 | bits taken; 0 otherwise.
  std::int32_t fastAc[1 << kFastBits] = {};

  static constexpr std::uint16_t kBadCode = 0xFFFF;

  // The symbol of an l-bit code found not above maxcode[l]; -1 outside the values held.
  int Symbol(int l, std::int32_t code) const {
    const std::int32_t index = valptr[l] + code - mincode[l];
    return index >= 0 && index < stored ? values[index] : -1;
  }

  void Build() {
    std::int32_t code = 0;
    std::int32_t first = 0;
    for (int l = 1; l <= 16; ++l) {
      if (bits[l] == 0) {
        maxcode[l] = -1;
        mincode[l] = 0;
        valptr[l] = first;
      } else {
        valptr[l] = first;
        mincode[l] = code;
        code += bits[l];
        first += bits[l];
        maxcode[l] = code - 1;
      }
      code <<= 1;
    }
    // The table replays the bit-at-a-time search on every prefix, so it answers as that
    // search would, even for tables whose counts overfill the code space.
    for (int p = 0; p < (1 << kFastBits); ++p) {
      fast[p] = 0;
      fastAc[p] = 0;
      for (int l = 1; l <= kFastBits; ++l) {
        const std::int32_t c = p >> (kFastBits - l);
        if (c <= maxcode[l]) {
          const int s = Symbol(l, c);
          fast[p] = s < 0 ? kBadCode : static_cast<std::uint16_t>(l << 8 | s);
          const int size = s & 15;
          if (s >= 0 && size != 0 && l + size <= kFastBits) {
            const int bits = p >> (kFastBits - l - size) & ((1 << size) - 1);
            const int value = bits < (1 << (size - 1)) ? bits - (1 << size) + 1 : bits;
            fastAc[p] = static_cast<std::int32_t>(static_cast<std::uint32_t>(value) << 16) |
                        (s >> 4) << 8 | (l + size);
          }
          break;
        }
      }
    }
  }
};

struct Component {
  bool defined = false;
  std::uint8_t id = 0;
  int h = 0;
  int v = 0;
  int quant = 0;
  std::int16_t predictor = 0;
};

struct BlockEntry {
  int component = 0;
  const std::int16_t* quant = nullptr;
  const HuffTable* dc = nullptr;
  const HuffTable* ac = nullptr;
};

// Larger scans are decoded twice rather than held.
std::int64_t g_maxStoreBytes = std::int64_t{128} << 20;

// The coefficients of a scan decoded once, in the decoder's held form. Room for the most a scan
// can need is reserved at once: only the pages written are ever taken, and the store never has
// to be moved to grow.
struct HeldStore {
  std::int16_t* values = nullptr;
  std::size_t capacity = 0;

  HeldStore() = default;
  HeldStore(const HeldStore&) = delete;
  HeldStore& operator=(const HeldStore&) = delete;
  ~HeldStore() { Release(); }

  bool Reserve(std::size_t count) {
    if (count <= capacity) return true;
    Release();
    values = static_cast<std::int16_t*>(AllocateLargeZeroed(count * sizeof(std::int16_t)));
    if (values == nullptr) return false;
    capacity = count;
    return true;
  }
  void Release() {
    FreeLarge(values, capacity * sizeof(std::int16_t));
    values = nullptr;
    capacity = 0;
  }
};

// A store above this many values (32 MiB) is released after its picture.
constexpr std::size_t kKeptStoreValues = std::size_t{16} << 20;

HeldStore& KeptStore() {
  thread_local HeldStore store;
  return store;
}

// ---- trace entries of the scan data -----------------------------------------------------------

// Entries met while a scan's data is decoded. When the scan is decoded once for both passes
// they are held with the unit they belong to and written as each pass reaches that unit, so
// the log reads as if the data had been decoded twice.
struct HeldTrace {
  int unit;
  std::int32_t code;
  std::string text;
};

struct ScanTrace {
  std::vector<HeldTrace>* held = nullptr;
  int unit = 0;
  void Write(std::int32_t code, std::string text) {
    if (held != nullptr) {
      held->push_back(HeldTrace{unit, code, std::move(text)});
    } else {
      TraceWrite(code, text);
    }
  }
};

// ---- bit reader ------------------------------------------------------------------------------

// Reads ahead for speed but never past a marker, so every byte it takes early is one the
// format's byte-at-a-time reader would take later with the same effect; what it took and did
// not use goes back on a restart and at the end of a pass.
class BitReader {
 public:
  BitReader(Input& in, ScanTrace& trace) : in_(in), trace_(trace) {}

  void Empty() {
    acc_ = 0;
    bits_ = 0;
    wide_ = 0;
  }

  // Hands back the whole bytes read ahead and drops the rest of the current one.
  void Release() {
    const int unused = bits_ / 8;
    for (int i = 0; i < unused; ++i) in_.pos -= 1 + ((wide_ >> i) & 1);
    Empty();
  }

  // -1 when the data ends or no code of 16 bits or fewer matches. The usual case (bits at
  // hand, a code of kFastBits or fewer) stays inline; the rest is a call.
  [[gnu::always_inline]] int Decode(const HuffTable& t) {
    if (bits_ >= 16) {
      const std::uint16_t e = t.fast[acc_ >> (64 - kFastBits)];
      if (e != 0 && e != HuffTable::kBadCode) {
        Consume(e >> 8);
        return e & 255;
      }
    }
    return DecodeSlow(t);
  }

  [[gnu::noinline]] int DecodeSlow(const HuffTable& t) {
    if (bits_ < 16) {
      Refill();
      if (bits_ < 16) return DecodeExact(t);
    }
    const std::uint16_t e = t.fast[acc_ >> (64 - kFastBits)];
    if (e != 0) {
      if (e == HuffTable::kBadCode) return -1;
      Consume(e >> 8);
      return e & 255;
    }
    for (int l = kFastBits + 1; l <= 16; ++l) {
      const auto code = static_cast<std::int32_t>(acc_ >> (64 - l));
      if (code <= t.maxcode[l]) {
        Consume(l);
        return t.Symbol(l, code);
      }
    }
    return -1;
  }

  // An AC code and its value together when both lie in the next kFastBits bits.
  bool FastAc(const HuffTable& t, int& run, int& value) {
    if (bits_ < 16) {
      Refill();
      if (bits_ < 16) return false;
    }
    const std::int32_t e = t.fastAc[acc_ >> (64 - kFastBits)];
    if (e == 0) return false;
    Consume(e & 255);
    run = e >> 8 & 15;
    value = e >> 16;
    return true;
  }

  // s (1..11) bits, extended to a signed value. False when the data ends.
  [[gnu::always_inline]] bool Receive(int s, int& value) {
    if (bits_ < s && !Ensure(s)) return false;
    const int v = static_cast<int>(acc_ >> (64 - s));
    Consume(s);
    value = v < (1 << (s - 1)) ? v - (1 << s) + 1 : v;
    return true;
  }

 private:
  void Consume(int n) {
    acc_ <<= n;
    bits_ -= n;
  }

  void Push(std::uint8_t byte, bool wide) {
    acc_ |= static_cast<std::uint64_t>(byte) << (56 - bits_);
    bits_ += 8;
    wide_ = wide_ << 1 | (wide ? 1 : 0);
  }

  // Takes bytes while that has no effect beyond the bits themselves.
  void Refill() {
    while (bits_ <= 56) {
      const std::size_t p = in_.pos;
      if (p >= in_.size) return;
      const std::uint8_t b = in_.data[p];
      if (b != 0xFF) {
        in_.pos = p + 1;
        Push(b, false);
      } else if (p + 1 < in_.size && in_.data[p + 1] == 0) {
        in_.pos = p + 2;
        Push(b, true);
      } else {
        return;
      }
    }
  }

  // One byte as the format's reader takes it: a 0xFF also takes the byte behind it, logged when
  // that is not the stuffed zero, and is used as data either way.
  bool FetchExact() {
    if (in_.pos >= in_.size) return false;
    const std::uint8_t b = in_.data[in_.pos++];
    if (b == 0xFF) {
      if (in_.pos >= in_.size) return false;
      const std::uint8_t next = in_.data[in_.pos++];
      if (next != 0) trace_.Write(9628, kText9628 + std::to_string(next));
      Push(b, true);
    } else {
      Push(b, false);
    }
    return true;
  }

  bool Ensure(int n) {
    if (bits_ >= n) return true;
    Refill();
    while (bits_ < n) {
      if (!FetchExact()) return false;
    }
    return true;
  }

  int DecodeExact(const HuffTable& t) {
    std::int32_t code = 0;
    for (int l = 1; l <= 16; ++l) {
      if (!Ensure(1)) return -1;
      code = code * 2 + static_cast<std::int32_t>(acc_ >> 63);
      Consume(1);
      if (code <= t.maxcode[l]) return t.Symbol(l, code);
    }
    return -1;
  }

  Input& in_;
  ScanTrace& trace_;
  std::uint64_t acc_ = 0;  // next bit at the top
  int bits_ = 0;
  std::uint64_t wide_ = 0;  // bit i: the i-th latest byte came from two input bytes
};

inline std::int16_t S16(int x) { return static_cast<std::int16_t>(x); }

// Blocks are cleared by copying this: a fixed copy is a few vector stores, where a fill of the
// same size may become a slow string instruction.
alignas(16) constexpr std::int16_t kZeroBlock[64] = {};

// Eight samples to sixteen, each twice: a chroma row across a unit twice its width.
inline void WidenRow(const std::int16_t* from, std::int16_t* to) {
#if defined(__SSE2__)
  const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(to), _mm_unpacklo_epi16(v, v));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(to + 8), _mm_unpackhi_epi16(v, v));
#else
  for (int x = 0; x < 8; ++x) to[2 * x] = to[2 * x + 1] = from[x];
#endif
}

// ---- the decoder -----------------------------------------------------------------------------

class Decoder {
 public:
  Decoder(const DibSurface& surface, Input& in, TDibImage& image, const ProgressSink& progress,
          JpegRgb* rgb, const JpegColorOffer* offer = nullptr)
      : offer_(offer),
        surface_(surface),
        in_(in),
        image_(image),
        progress_(progress),
        rgb_(rgb),
        bits_(in, scanTrace_),
        colors_(NearestColorMapFor(surface.Palette)) {}

  void Run();

 private:
  bool FindStartOfImage();
  void SkipSegment();
  void FrameHeader(std::uint8_t code);
  void HuffmanTables();
  void QuantTables();
  void RestartInterval();
  // False when the decoding has to end.
  bool Scan();
  bool DecodePass(bool full);
  // Both passes' effects when no one watches the preview (no progress report, no colour
  // offer): the full pass alone, and the data's trace entries once for each pass.
  bool DecodeUnwatched();
  // Decodes the scan once into `store` and then replays both passes from it. False when the
  // store cannot be had (the caller decodes twice instead); `ok` as DecodePass's result.
  bool DecodeOnceReplayTwice(bool& ok);
  // The restart check before a unit; false when the data has ended.
  bool Restart(int& counter);
  // Into coef_ (Held false), or, Held true, appended at `out` in the held form: per block
  // the number of AC entries, the DC value, then (position, value) of each AC entry, natural
  // order positions. The caller leaves room for kHeldBlock values a block.
  template <bool Held>
  bool DecodeMcu(bool full, std::int16_t*& out);
  void ReplayPass(bool full, const std::vector<HeldTrace>& held, std::size_t& next,
                  const std::int16_t* store, int units, bool fault);
  static constexpr std::size_t kHeldBlock = 2 + 2 * 63;
  void PaintPreview(int mcuX, int mcuY);
  // `from`: the unit's coefficients, one block after another (may be coef_).
  void PaintFull(const std::int16_t* from, int mcuX, int mcuY);
  template <int Blocks>
  void PaintUnit(const std::int16_t* from, int mcuX, int mcuY);
  void Progress(int row, int rows, bool full) const;
  const HuffTable* FindTable(std::uint8_t id) const;

  const JpegColorOffer* offer_;
  const DibSurface& surface_;
  Input& in_;
  TDibImage& image_;
  const ProgressSink& progress_;
  JpegRgb* rgb_;
  ScanTrace scanTrace_;
  BitReader bits_;
  const NearestColorMap& colors_;

  std::int16_t quant_[4][64] = {};
  bool quantDefined_[4] = {};
  HuffTable huff_[8];
  int huffCount_ = 0;
  Component comp_[4];
  std::uint16_t width_ = 0;   // rounded up to a multiple of 8
  std::uint16_t height_ = 0;
  int frameComponents_ = 0;
  std::uint16_t restartInterval_ = 0;

  int maxH_ = 0;
  int maxV_ = 0;
  int blockCount_ = 0;
  bool scanBroken_ = false;
  BlockEntry blocks_[kMaxBlocks];
  // The MCU's blocks, then the green chroma terms of the colour conversion.
  alignas(16) std::int16_t coef_[kMaxBlocks + 1][64] = {};
  // Zeros but while a held unit is replayed: its coefficients, for the transform to read.
  alignas(16) std::int16_t sparse_[kMaxBlocks][64] = {};

  // The picture while a pass writes it.
  std::uint8_t* pixels_ = nullptr;
  int pixelWidth_ = 0;
  int pixelHeight_ = 0;
};

void Decoder::Run() {
  if (!FindStartOfImage()) return;
  for (;;) {
    // A marker that would begin behind the file's data can only be the zero margin: the file
    // has no end-of-image marker.
    if (in_.pos >= in_.fileSize || in_.past) return;
    const std::uint8_t first = in_.Byte();
    if (first != 0xFF) Trace(9600, kText9600, std::to_string(first));
    std::uint8_t code = in_.Byte();
    while (code == 0xFF && in_.pos < in_.fileSize) code = in_.Byte();  // fill bytes
    if (in_.past) return;
    switch (code) {
      case 0x01:
        Trace(9602, kText9602);
        break;
      case 0xC0: case 0xC1: case 0xC2: case 0xC3: case 0xC5: case 0xC6: case 0xC7:
      case 0xC8: case 0xC9: case 0xCA: case 0xCB: case 0xCD: case 0xCE: case 0xCF:
        FrameHeader(code);
        break;
      case 0xC4:
        HuffmanTables();
        break;
      case 0xD0: case 0xD1: case 0xD2: case 0xD3: case 0xD4: case 0xD5: case 0xD6: case 0xD7:
      case 0xD8:
        break;
      case 0xD9:
        return;
      case 0xDA:
        if (!Scan()) return;
        break;
      case 0xDB:
        QuantTables();
        break;
      case 0xDD:
        RestartInterval();
        break;
      default:
        SkipSegment();
        break;
    }
  }
}

bool Decoder::FindStartOfImage() {
  if (in_.fileSize == 0) return false;
  std::uint8_t b = in_.Byte();
  while (b != 0xD8) {
    if (b != 0xFF) {
      do {
        if (in_.pos >= in_.fileSize) return false;
        b = in_.Byte();
      } while (b != 0xFF);
    }
    if (in_.pos >= in_.fileSize) return false;
    b = in_.Byte();
  }
  return true;
}

void Decoder::SkipSegment() {
  // Lengths are unsigned: large APP segments (EXIF, ICC) must be skipped whole.
  const std::uint16_t length = in_.Word();
  if (length >= 2) in_.Skip(length - 2u);
}

void Decoder::FrameHeader(std::uint8_t code) {
  if (code != 0xC0) Trace(9604, kText9604);
  in_.Word();
  if (in_.Byte() != 8) Trace(9605, kText9605);
  height_ = static_cast<std::uint16_t>((in_.Word() + 7) & ~7);
  width_ = static_cast<std::uint16_t>((in_.Word() + 7) & ~7);
  if (width_ < 1 || width_ > kMaxSide) Trace(9606, kText9606, "3072)");
  if (height_ < 1 || height_ > kMaxSide) Trace(9607, kText9607, "3072)");
  frameComponents_ = in_.Byte();
  if (frameComponents_ != 1 && frameComponents_ != 3) Trace(9608, kText9608);
  for (int i = 0; i < frameComponents_ && !in_.past; ++i) {
    const std::uint8_t id = in_.Byte();
    const std::uint8_t sampling = in_.Byte();
    const std::uint8_t quant = in_.Byte();
    const int h = sampling >> 4;
    const int v = sampling & 15;
    if (h < 1 || h > 2) Trace(9610, kText9610, std::to_string(h));
    if (v < 1 || v > 2) Trace(9611, kText9611, std::to_string(v));
    if (quant > 3 || !quantDefined_[quant]) Trace(9612, kText9612, Hex2(quant));
    if (i >= 4) continue;  // no slot for it
    Component& c = comp_[i];
    c.id = id;
    c.h = h;
    c.v = v;
    c.quant = quant;
    c.defined = true;
  }
}

void Decoder::HuffmanTables() {
  std::int32_t remaining = std::int32_t{in_.Word()} - 2;
  while (remaining > 0 && !in_.past) {
    HuffTable scratch;
    HuffTable& t = huffCount_ < 8 ? huff_[huffCount_] : scratch;  // a ninth is read, not kept
    t.id = in_.Byte();
    t.defined = true;
    if ((t.id & 0xEC) != 0) Trace(9613, kText9613, Hex2(t.id));
    int n = 0;
    for (int l = 1; l <= 16; ++l) {
      t.bits[l] = in_.Byte();
      n += t.bits[l];
    }
    t.stored = std::min(n, 256);
    for (int i = 0; i < n; ++i) {
      const std::uint8_t v = in_.Byte();
      if (i < 256) t.values[i] = v;
    }
    t.Build();
    if (huffCount_ < 8) ++huffCount_;
    remaining -= n + 17;
  }
  if (remaining != 0) Trace(9614, kText9614);
}

void Decoder::QuantTables() {
  const int length = in_.Word() - 2;
  const int n = length / 65;
  if (length % 65 != 0) Trace(9623, kText9623);
  if (n < 1 || n > 4) Trace(9624, kText9624);
  for (int t = 0; t < n && !in_.past; ++t) {
    const std::uint8_t number = in_.Byte();
    if (number > 3) {
      Trace(9625, kText9625);
      in_.Skip(64);  // no such table: its values are passed over
      continue;
    }
    quantDefined_[number] = true;
    for (int k = 0; k < 64; ++k) quant_[number][k] = static_cast<std::int16_t>(in_.Byte() * 16);
  }
}

void Decoder::RestartInterval() {
  if (in_.Word() != 4) Trace(9626, kText9626);
  restartInterval_ = in_.Word();
}

const HuffTable* Decoder::FindTable(std::uint8_t id) const {
  for (int i = 0; i < huffCount_; ++i) {
    if (huff_[i].defined && huff_[i].id == id) return &huff_[i];
  }
  return nullptr;
}

bool Decoder::Scan() {
  const int length = in_.Word();
  if (length - 2 != 2 * frameComponents_ + 4) Trace(9615, kText9615);
  const std::uint8_t scanComponents = in_.Byte();
  if (scanComponents != 1 && scanComponents != 3) Trace(9617, kText9617);
  maxH_ = 0;
  maxV_ = 0;
  blockCount_ = 0;
  scanBroken_ = false;
  for (int i = 0; i < frameComponents_ && !in_.past; ++i) {
    const std::uint8_t selector = in_.Byte();
    int slot = -1;
    for (int k = 0; k < 4; ++k) {
      if (comp_[k].defined && comp_[k].id == selector) {
        slot = k;
        break;
      }
    }
    if (slot < 0) Trace(9618, kText9618, Hex2(selector));
    const std::uint8_t tables = in_.Byte();
    const auto dcId = static_cast<std::uint8_t>(tables >> 4);
    const auto acId = static_cast<std::uint8_t>(0x10 + (tables & 15));
    const HuffTable* dc = FindTable(dcId);
    const HuffTable* ac = FindTable(acId);
    if (dc == nullptr) Trace(9619, kText9619, Hex2(dcId));
    if (ac == nullptr) Trace(9620, kText9620, Hex2(acId));
    // Without its slot, tables or quantisation table a component cannot be decoded: the scan
    // is set up, and decoding ends at its first unit.
    if (slot < 0 || dc == nullptr || ac == nullptr || comp_[slot].quant > 3) {
      scanBroken_ = true;
      continue;
    }
    Component& c = comp_[slot];
    maxH_ = std::max(maxH_, c.h);
    maxV_ = std::max(maxV_, c.v);
    c.predictor = 0;
    for (int n = 0; n < c.v * c.h; ++n) {
      if (blockCount_ > 9) {
        Trace(9621, kText9621);
        continue;
      }
      blocks_[blockCount_++] = BlockEntry{slot, quant_[c.quant], dc, ac};
    }
  }
  if (blockCount_ != 1 && blockCount_ != 3 && blockCount_ != 4 && blockCount_ != 6) {
    Trace(9622, kText9622);
  }
  in_.Skip(3);
  if (in_.past) return false;

  surface_.CreateImage(width_, height_, image_);
  if (rgb_ != nullptr) {
    rgb_->width = 0;
    rgb_->height = 0;
    rgb_->rgb.clear();
    const std::int64_t pixels = std::int64_t{width_} * height_;
    if (pixels > 0 && pixels <= kMaxImageBytes) {
      rgb_->width = width_;
      rgb_->height = height_;
      rgb_->rgb.assign(static_cast<std::size_t>(pixels) * 3, 0);
    }
  }

  if (!progress_ && offer_ == nullptr) return DecodeUnwatched();
  bool ok = true;
  if (DecodeOnceReplayTwice(ok)) return ok;
  const std::size_t start = in_.pos;
  DecodePass(false);
  in_.pos = start;
  in_.past = false;
  return DecodePass(true);
}

bool Decoder::Restart(int& counter) {
  if (restartInterval_ == 0) return true;
  if (counter == 0) {
    bits_.Release();
    const std::uint8_t first = in_.Byte();
    std::uint8_t second = in_.Byte();
    while (first == 0xFF && second == 0xFF && !in_.past) second = in_.Byte();  // fill bytes
    if (in_.past) return false;
    if (first != 0xFF || second < 0xD0 || second > 0xD7) scanTrace_.Write(9627, kText9627);
    counter = restartInterval_;
    for (Component& comp : comp_) comp.predictor = 0;
    bits_.Empty();
  }
  --counter;
  return true;
}

bool Decoder::DecodeOnceReplayTwice(bool& ok) {
  if (scanBroken_ || maxH_ == 0 || maxV_ == 0 || blockCount_ == 0) return false;
  const int columns = (width_ / 8 + maxH_ - 1) / maxH_;
  const int rows = (height_ / 8 + maxV_ - 1) / maxV_;
  const std::int64_t units = std::int64_t{columns} * rows;
  const std::int64_t values = units * blockCount_ * 64;
  if (units == 0 || values * 2 > g_maxStoreBytes) return false;
  // Blocks are held by their entries, a few values for most; room for every block at its
  // largest is reserved, up to the limit. The store is kept for the next picture (fresh memory
  // costs page faults), and a large one is let go afterwards.
  const std::size_t unitRoom = static_cast<std::size_t>(blockCount_) * kHeldBlock;
  const auto allowed = static_cast<std::size_t>(g_maxStoreBytes / 2);
  HeldStore& kept = KeptStore();
  const std::size_t start = in_.pos;
  auto giveUp = [&] {
    scanTrace_.held = nullptr;
    in_.pos = start;
    in_.past = false;
    bits_.Empty();
    kept.Release();
    return false;
  };
  if (!kept.Reserve(std::min(static_cast<std::size_t>(units) * unitRoom, allowed))) return giveUp();

  std::vector<HeldTrace> held;
  scanTrace_.held = &held;
  for (Component& c : comp_) c.predictor = 0;
  bits_.Empty();
  int counter = restartInterval_;
  int done = 0;
  bool fault = false;
  std::size_t used = 0;
  for (; done < units; ++done) {
    scanTrace_.unit = done;
    // Beyond the limit the scan is decoded twice instead, from the start, as if nothing had
    // been read.
    if (used + unitRoom > std::min(allowed, kept.capacity)) return giveUp();
    std::int16_t* out = kept.values + used;
    if (!Restart(counter) || !DecodeMcu<true>(true, out)) {
      fault = true;
      break;
    }
    used = static_cast<std::size_t>(out - kept.values);
  }
  bits_.Release();
  scanTrace_.held = nullptr;

  std::size_t next = 0;
  ReplayPass(false, held, next, kept.values, done, fault);
  next = 0;
  ReplayPass(true, held, next, kept.values, done, fault);
  if (kept.capacity > kKeptStoreValues) kept.Release();
  ok = !fault;
  return true;
}

void Decoder::ReplayPass(bool full, const std::vector<HeldTrace>& held, std::size_t& next,
                         const std::int16_t* store, int units, bool fault) {
  PixelLock lock(image_);
  pixels_ = lock.ok() ? lock.bytes() : nullptr;
  pixelWidth_ = lock.ok() ? lock.width() : 0;
  pixelHeight_ = lock.ok() ? lock.height() : 0;
  if (pixelWidth_ == 0) pixels_ = nullptr;
  const int columns = (width_ / 8 + maxH_ - 1) / maxH_;
  const int rows = (height_ / 8 + maxV_ - 1) / maxV_;
  const int unitW = blockCount_ == 4 || blockCount_ == 6 ? 16 : 8;
  const int unitH = blockCount_ == 6 ? 16 : 8;
  auto writeHeld = [&](int unit) {
    for (; next < held.size() && held[next].unit == unit; ++next) {
      TraceWrite(held[next].code, held[next].text);
    }
  };
  const std::int16_t* from = store;
  for (int u = 0; u < units; ++u) {
    writeHeld(u);
    const int r = u / columns;
    const int c = u % columns;
    if (full) {
      // The entries go into blocks of zeros, which the transform reads and leaves as they
      // are; afterwards the blocks are zeroed again.
      for (int i = 0; i < blockCount_; ++i) {
        const int entries = from[0];
        sparse_[i][0] = from[1];
        for (int j = 0; j < entries; ++j) sparse_[i][from[2 + 2 * j]] = from[3 + 2 * j];
        from += 2 + 2 * entries;
      }
      PaintFull(sparse_[0], c * unitW, r * unitH);
      for (int i = 0; i < blockCount_; ++i) std::memcpy(sparse_[i], kZeroBlock, sizeof kZeroBlock);
    } else {
      for (int i = 0; i < blockCount_; ++i) {
        coef_[i][0] = from[1];
        from += 2 + 2 * from[0];
      }
      PaintPreview(c * unitW, r * unitH);
    }
    if (c == columns - 1) Progress(r, rows, full);
  }
  if (fault) writeHeld(units);
}

bool Decoder::DecodeUnwatched() {
  // The full pass paints every pixel the preview would have painted, so the picture ends the
  // same; the passes read the same data, so each meets the same entries in the same order.
  std::vector<HeldTrace> held;
  scanTrace_.held = &held;
  const bool ok = DecodePass(true);
  scanTrace_.held = nullptr;
  for (int pass = 0; pass < 2; ++pass) {
    for (const HeldTrace& entry : held) TraceWrite(entry.code, entry.text);
  }
  return ok;
}

bool Decoder::DecodePass(bool full) {
  PixelLock lock(image_);
  pixels_ = lock.ok() ? lock.bytes() : nullptr;
  pixelWidth_ = lock.ok() ? lock.width() : 0;
  pixelHeight_ = lock.ok() ? lock.height() : 0;
  if (pixelWidth_ == 0) pixels_ = nullptr;

  for (Component& c : comp_) c.predictor = 0;
  bits_.Empty();
  if (scanBroken_) return false;
  if (maxH_ == 0 || maxV_ == 0 || blockCount_ == 0) return true;  // nothing to decode

  const int columns = (width_ / 8 + maxH_ - 1) / maxH_;
  const int rows = (height_ / 8 + maxV_ - 1) / maxV_;
  // The unit's size follows the block layout, which the block count alone chooses.
  const int unitW = blockCount_ == 4 || blockCount_ == 6 ? 16 : 8;
  const int unitH = blockCount_ == 6 ? 16 : 8;
  int counter = restartInterval_;
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < columns; ++c) {
      if (!Restart(counter)) return false;
      std::int16_t* out = coef_[0];
      if (!DecodeMcu<false>(full, out)) {
        bits_.Release();
        return false;
      }
      if (full) {
        PaintFull(coef_[0], c * unitW, r * unitH);
      } else {
        PaintPreview(c * unitW, r * unitH);
      }
    }
    Progress(r, rows, full);
  }
  bits_.Release();
  return true;
}

template <bool Held>
bool Decoder::DecodeMcu(bool full, std::int16_t*& out) {
  for (int i = 0; i < blockCount_; ++i) {
    const BlockEntry& e = blocks_[i];
    std::int16_t* co = Held ? out : out + i * 64;
    std::int16_t* entry = co + 2;
    if constexpr (!Held) std::memcpy(co, kZeroBlock, sizeof kZeroBlock);
    auto put = [&](int k, int v) {
      if constexpr (Held) {
        entry[0] = static_cast<std::int16_t>(kZigzag[k]);
        entry[1] = S16(e.quant[k] * v);
        entry += 2;
      } else {
        if (full) co[kZigzag[k]] = S16(e.quant[k] * v);
      }
    };
    const int s = bits_.Decode(*e.dc);
    if (s < 0 || s > 11) return false;
    int diff = 0;
    if (s != 0 && !bits_.Receive(s, diff)) return false;
    Component& comp = comp_[e.component];
    comp.predictor = S16(comp.predictor + diff);
    const std::int16_t dc = S16(e.quant[0] * comp.predictor);
    if constexpr (Held) {
      co[1] = dc;
    } else {
      co[0] = dc;
    }
    for (int k = 1; k < 64;) {
      int run = 0;
      int v = 0;
      if (bits_.FastAc(*e.ac, run, v)) {
        k += run;
        if (k > 63) return false;
        put(k, v);
        ++k;
        continue;
      }
      const int rs = bits_.Decode(*e.ac);
      if (rs < 0) return false;
      run = rs >> 4;
      const int size = rs & 15;
      if (size == 0) {
        if (rs != 0xF0) break;
        k += 16;
        continue;
      }
      k += run;
      if (k > 63 || size > 11) return false;
      if (!bits_.Receive(size, v)) return false;
      put(k, v);
      ++k;
    }
    if constexpr (Held) {
      co[0] = static_cast<std::int16_t>((entry - co - 2) / 2);
      out = entry;
    }
  }
  return true;
}

void Decoder::PaintPreview(int mcuX, int mcuY) {
  if (pixels_ == nullptr) return;
  int lumaBlocks = 0;
  if (blockCount_ == 1 || blockCount_ == 3) lumaBlocks = 1;
  if (blockCount_ == 4) lumaBlocks = 2;
  if (blockCount_ == 6) lumaBlocks = 4;
  for (int i = 0; i < blockCount_; ++i) coef_[i][0] = static_cast<std::int16_t>(S16(coef_[i][0] + 4) >> 3);
  const int cb = coef_[blockCount_ - 1 > 0 ? blockCount_ - 2 : 0][0];
  const int cr = coef_[blockCount_ - 1][0];
  for (int j = 0; j < lumaBlocks; ++j) {
    const int y = coef_[j][0] + 2048;
    int r = 0, g = 0, b = 0;
    if (blockCount_ == 1) {
      r = g = b = ToByte(y);
    } else {
      b = ToByte(y + (cb * 29032 + 8192) / 16384);
      r = ToByte(y + (cr * 22970 + 8192) / 16384);
      g = ToByte(y - (cb * 11277 + 16384) / 32768 - (cr * 23401 + 16384) / 32768);
    }
    if (offer_ != nullptr) {
      (*offer_)(static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g),
                static_cast<std::uint8_t>(b));
      continue;
    }
    const std::uint8_t index = colors_.Nearest(static_cast<std::uint8_t>(r),
                                               static_cast<std::uint8_t>(g),
                                               static_cast<std::uint8_t>(b));
    const int x0 = mcuX + (j & 1) * 8;
    const int y0 = mcuY + (j >> 1) * 8;
    const int x1 = std::min(x0 + 8, pixelWidth_);
    const int y1 = std::min(y0 + 8, pixelHeight_);
    // A whole block row is one 8-byte store rather than a call to fill 8 bytes.
    const std::uint64_t eight = index * std::uint64_t{0x0101010101010101};
    for (int yy = y0; yy < y1; ++yy) {
      std::uint8_t* line = pixels_ + static_cast<std::size_t>(pixelHeight_ - 1 - yy) * pixelWidth_;
      if (x1 - x0 == 8) {
        std::memcpy(line + x0, &eight, 8);
      } else {
        for (int xx = x0; xx < x1; ++xx) line[xx] = index;
      }
    }
  }
}

void Decoder::PaintFull(const std::int16_t* from, int mcuX, int mcuY) {
  switch (blockCount_) {
    case 1: return PaintUnit<1>(from, mcuX, mcuY);
    case 3: return PaintUnit<3>(from, mcuX, mcuY);
    case 4: return PaintUnit<4>(from, mcuX, mcuY);
    case 6: return PaintUnit<6>(from, mcuX, mcuY);
    default: return;  // no layout for this many blocks: nothing is painted
  }
}

template <int Blocks>
void Decoder::PaintUnit(const std::int16_t* from, int mcuX, int mcuY) {
  for (int i = 0; i + 1 < Blocks; i += 2) {
    JpegInverseDctPair(from + i * 64, from + (i + 1) * 64, coef_[i], coef_[i + 1]);
  }
  if constexpr (Blocks % 2 != 0) JpegInverseDct(from + (Blocks - 1) * 64, coef_[Blocks - 1]);
  std::int16_t* cb = coef_[Blocks - 2 < 0 ? 0 : Blocks - 2];
  std::int16_t* cr = coef_[Blocks - 1];
  std::int16_t* green = coef_[kMaxBlocks];
  if constexpr (Blocks != 1) {
    for (int k = 0; k < 64; ++k) {
      const std::int16_t b = S16((cb[k] * 29032 + 8192) / 16384);
      const std::int16_t r = S16((cr[k] * 22970 + 8192) / 16384);
      green[k] = S16((b * 6364 + 16384) / 32768 + (r * 16691 + 16384) / 32768);
      cb[k] = b;
      cr[k] = r;
    }
  }
  constexpr int kW = Blocks == 4 || Blocks == 6 ? 16 : 8;
  constexpr int kH = Blocks == 6 ? 16 : 8;
  // The unit's samples gathered in picture order (whole block rows at a time, a chroma row
  // widened by repeating each sample), then its colours, then their palette indexes, then the
  // rows into the picture: each loop stays in local memory.
  alignas(16) std::int16_t lum[kH][kW], cR[kH][kW], cG[kH][kW], cB[kH][kW];
  for (int y = 0; y < kH; ++y) {
    const int block = Blocks == 6 ? (y >> 3) * 2 : 0;
    std::memcpy(lum[y], coef_[block] + (y & 7) * 8, 8 * sizeof(std::int16_t));
    if constexpr (kW == 16) {
      std::memcpy(lum[y] + 8, coef_[block + 1] + (y & 7) * 8, 8 * sizeof(std::int16_t));
    }
    if constexpr (Blocks == 3) {
      std::memcpy(cR[y], cr + y * 8, 8 * sizeof(std::int16_t));
      std::memcpy(cG[y], green + y * 8, 8 * sizeof(std::int16_t));
      std::memcpy(cB[y], cb + y * 8, 8 * sizeof(std::int16_t));
    } else if constexpr (Blocks != 1) {
      const int row = (Blocks == 4 ? y : y >> 1) * 8;
      WidenRow(cr + row, cR[y]);
      WidenRow(green + row, cG[y]);
      WidenRow(cb + row, cB[y]);
    }
  }
  std::uint8_t red[kH][kW], green8[kH][kW], blue[kH][kW];
  if constexpr (Blocks == 1) {
    JpegSamplesToBytes(lum[0], nullptr, nullptr, nullptr, kH * kW, red[0], green8[0], blue[0]);
  } else {
    JpegSamplesToBytes(lum[0], cR[0], cG[0], cB[0], kH * kW, red[0], green8[0], blue[0]);
  }
  const int xEnd = std::min(kW, static_cast<int>(width_) - mcuX);
  const int yEnd = std::min(kH, static_cast<int>(height_) - mcuY);
  if (rgb_ != nullptr && !rgb_->rgb.empty()) {
    for (int y = 0; y < yEnd; ++y) {
      std::uint8_t* p =
          rgb_->rgb.data() + (static_cast<std::size_t>(mcuY + y) * rgb_->width + mcuX) * 3;
      for (int x = 0; x < xEnd; ++x) {
        p[x * 3] = red[y][x];
        p[x * 3 + 1] = green8[y][x];
        p[x * 3 + 2] = blue[y][x];
      }
    }
  }
  if (pixels_ == nullptr) return;
  // The whole unit is mapped, padding included: one call, and no test per pixel.
  std::uint8_t index[kH][kW];
  colors_.NearestMany(red[0], green8[0], blue[0], kH * kW, index[0]);
  const int columns = std::min(xEnd, pixelWidth_ - mcuX);
  if (columns <= 0) return;
  for (int y = 0; y < yEnd && mcuY + y < pixelHeight_; ++y) {
    std::uint8_t* line =
        pixels_ + static_cast<std::size_t>(pixelHeight_ - 1 - mcuY - y) * pixelWidth_ + mcuX;
    if (columns == kW) {
      std::memcpy(line, index[y], kW);  // a copy of known size is one or two stores
    } else {
      std::memcpy(line, index[y], static_cast<std::size_t>(columns));
    }
  }
}

void Decoder::Progress(int row, int rows, bool full) const {
  if (!progress_) return;
  const int percent = rows <= 1 ? 100 : row * 100 / (rows - 1);
  progress_(kProgressMessage, static_cast<std::uint32_t>(percent), full ? 1 : 0);
}

}  // namespace

void SetJpegStoreLimit(std::int64_t bytes) { g_maxStoreBytes = bytes; }

namespace {
bool LoadJpegWith(const DibSurface& surface, const std::string& fileName, TDibImage& image,
                  const ProgressSink& progress, JpegRgb* rgb, const JpegColorOffer* offer) {
  FreeImage(image);
  if (rgb != nullptr) *rgb = JpegRgb{};
  const int fd = OpenRegularFile(fileName);
  std::FILE* file = fd >= 0 ? ::fdopen(fd, "rb") : nullptr;
  if (file == nullptr) {
    if (fd >= 0) ::close(fd);
    return false;
  }
  struct stat info {};
  if (fstat(fileno(file), &info) != 0 || info.st_size < 0) {
    std::fclose(file);
    return false;
  }
  const auto fileSize = static_cast<std::uint64_t>(info.st_size);
  // Too large for one block, or short to read: the body could not be had, the image stays
  // released and the load still counts as done.
  HGlobal block = fileSize <= kMaxGlobalBytes - kMargin
                      ? GlobalAllocZeroed(static_cast<std::size_t>(fileSize) + kMargin)
                      : nullptr;
  if (block == nullptr) {
    std::fclose(file);
    return true;
  }
  bool ok = false;
  {
    GlobalLockGuard lock(block);
    if (lock) {
      ok = std::fread(lock.bytes(), 1, static_cast<std::size_t>(fileSize), file) == fileSize;
      std::fclose(file);
      file = nullptr;
      if (ok) {
        Input in;
        in.data = lock.bytes();
        in.fileSize = static_cast<std::size_t>(fileSize);
        in.size = in.fileSize + kMargin;
        Decoder decoder(surface, in, image, progress, rgb, offer);
        decoder.Run();
      }
    }
  }
  if (file != nullptr) std::fclose(file);
  GlobalFree(block);
  return true;
}
}  // namespace

bool LoadJpegWithRgb(const DibSurface& surface, const std::string& fileName, TDibImage& image,
                     const ProgressSink& progress, JpegRgb* rgb) {
  return LoadJpegWith(surface, fileName, image, progress, rgb, nullptr);
}

bool LoadJpegColors(const DibSurface& surface, const std::string& fileName, TDibImage& image,
                    const ProgressSink& progress, const JpegColorOffer& offer) {
  return LoadJpegWith(surface, fileName, image, progress, nullptr, offer ? &offer : nullptr);
}

bool LoadJpeg(const DibSurface& surface, const std::string& fileName, TDibImage& image,
              const ProgressSink& progress) {
  return LoadJpegWithRgb(surface, fileName, image, progress, nullptr);
}

}  // namespace teku
