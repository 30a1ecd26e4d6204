// The JPEG reader against files from third-party encoders (made at test time) and an
// independent decoder, plus hand-built streams for the arithmetic, the traces and the ends of
// damaged data.
#include "surface/jpeg_decoder.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <iconv.h>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "services/trace_log.h"
#include "surface/jpeg_decoder_internal.h"

namespace teku {
namespace {

using Bytes = std::vector<std::uint8_t>;

std::string WorkDir() {
  static const std::string dir = [] {
    std::string d = testing::TempDir() + "teku_jpeg_" + std::to_string(getpid()) + "/";
    std::system(("mkdir -p '" + d + "'").c_str());
    return d;
  }();
  return dir;
}

Bytes ReadAll(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

std::string WriteFile(const std::string& name, const Bytes& bytes) {
  const std::string path = WorkDir() + name;
  std::ofstream f(path, std::ios::binary);
  f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return path;
}

bool Shell(const std::string& command) { return std::system(command.c_str()) == 0; }

// A picture from ImageMagick's plasma generator, encoded by cjpeg with `options`.
std::string MakeJpeg(const std::string& name, int w, int h, const std::string& options,
                     int seed = 11) {
  const std::string src = WorkDir() + name + ".ppm";
  const std::string out = WorkDir() + name + ".jpg";
  const std::string size = std::to_string(w) + "x" + std::to_string(h);
  if (!Shell("convert -seed " + std::to_string(seed) + " -size " + size +
           " plasma:fractal -blur 0x1 -depth 8 ppm:'" + src + "' 2>/dev/null") ||
      !Shell("cjpeg " + options + " -outfile '" + out + "' '" + src + "'")) {
    ADD_FAILURE() << "could not make " << name;
  }
  return out;
}

struct Pnm {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgb;  // always 3 bytes a pixel
};

// The independent decode: djpeg with box chroma upsampling, as our reader replicates chroma.
Pnm Djpeg(const std::string& jpeg) {
  const std::string out = jpeg + ".pnm";
  Pnm pnm;
  if (!Shell("djpeg -nosmooth -pnm -outfile '" + out + "' '" + jpeg + "'")) return pnm;
  const Bytes b = ReadAll(out);
  std::string head;
  std::size_t at = 0;
  std::vector<int> fields;
  std::string magic(b.begin(), b.begin() + 2);
  at = 2;
  while (fields.size() < 3 && at < b.size()) {
    while (at < b.size() && std::isspace(b[at])) ++at;
    int v = 0;
    while (at < b.size() && std::isdigit(b[at])) v = v * 10 + (b[at++] - '0');
    fields.push_back(v);
  }
  ++at;
  pnm.width = fields[0];
  pnm.height = fields[1];
  const std::size_t n = static_cast<std::size_t>(pnm.width) * pnm.height;
  pnm.rgb.resize(n * 3);
  for (std::size_t i = 0; i < n; ++i) {
    for (int c = 0; c < 3; ++c) {
      pnm.rgb[i * 3 + c] = magic == "P5" ? b[at + i] : b[at + i * 3 + c];
    }
  }
  return pnm;
}

struct Comparison {
  double psnr = 0;
  double sameIndex = 0;  // share of pixels whose palette index agrees
};

// Ours against djpeg over the file's real size (our picture keeps the coded padding).
Comparison Compare(const std::string& jpeg) {
  DibSurface surface;
  TDibImage image;
  JpegRgb ours;
  EXPECT_TRUE(LoadJpegWithRgb(surface, jpeg, image, {}, &ours));
  const Pnm ref = Djpeg(jpeg);
  Comparison c;
  if (!image.allocated() || ref.width == 0) {
    ADD_FAILURE() << jpeg << " did not decode";
    return c;
  }
  EXPECT_EQ(ours.width, (ref.width + 7) / 8 * 8);
  EXPECT_EQ(ours.height, (ref.height + 7) / 8 * 8);
  double squared = 0;
  int same = 0;
  for (int y = 0; y < ref.height; ++y) {
    for (int x = 0; x < ref.width; ++x) {
      const std::uint8_t* r = &ref.rgb[(static_cast<std::size_t>(y) * ref.width + x) * 3];
      const std::uint8_t* o = &ours.rgb[(static_cast<std::size_t>(y) * ours.width + x) * 3];
      for (int k = 0; k < 3; ++k) squared += (r[k] - o[k]) * (r[k] - o[k]);
      RgbQuad q{r[2], r[1], r[0], 0};
      same += GetPixelNo(image, x, y) == surface.NearestColorNo(q);
      RgbQuad mine{o[2], o[1], o[0], 0};
      EXPECT_EQ(GetPixelNo(image, x, y), surface.NearestColorNo(mine)) << x << "," << y;
    }
  }
  const double n = static_cast<double>(ref.width) * ref.height;
  const double mse = squared / (n * 3);
  c.psnr = mse == 0 ? 99 : 10 * std::log10(255.0 * 255.0 / mse);
  c.sameIndex = same / n;
  return c;
}

// ---- files from third-party encoders --------------------------------------------------------

struct CorpusCase {
  const char* name;
  int width;
  int height;
  const char* options;
  double minSame;
};

// Our arithmetic differs from the reference decoder's by small roundings, which move a few
// pixels across palette boundaries; a real fault costs far more than these margins. A 17 x 9
// picture has 153 pixels, so one pixel there is worth 0.65 %.
constexpr double kColourSame = 0.96;
constexpr double kGreySame = 0.985;
constexpr double kTinySame = 0.93;

class EncoderCorpus : public testing::TestWithParam<CorpusCase> {};

TEST_P(EncoderCorpus, MatchesAnIndependentDecodeBeforeAndAfterThePaletteMapping) {
  const CorpusCase& k = GetParam();
  const std::string path = MakeJpeg(k.name, k.width, k.height, k.options);
  const Comparison c = Compare(path);
  EXPECT_GT(c.psnr, 50.0) << k.name;
  EXPECT_GE(c.sameIndex, k.minSame) << k.name;
  std::printf("  %-16s PSNR %.1f dB, same index %.2f %%\n", k.name, c.psnr, c.sameIndex * 100);
}

INSTANTIATE_TEST_SUITE_P(
    CjpegFiles, EncoderCorpus,
    testing::Values(CorpusCase{"grey", 100, 75, "-grayscale -quality 90", kGreySame},
                    CorpusCase{"s444", 100, 75, "-sample 1x1 -quality 90", kColourSame},
                    CorpusCase{"s422", 100, 75, "-sample 2x1 -quality 90", kColourSame},
                    CorpusCase{"s420", 100, 75, "-sample 2x2 -quality 90", kColourSame},
                    CorpusCase{"s420small", 17, 9, "-sample 2x2 -quality 75", kTinySame},
                    CorpusCase{"s444odd", 17, 9, "-sample 1x1", kTinySame},
                    CorpusCase{"restart2", 100, 75, "-sample 2x2 -restart 2B", kColourSame},
                    CorpusCase{"restart1row", 64, 48, "-sample 1x1 -restart 1", kColourSame},
                    CorpusCase{"optimised", 100, 75, "-sample 2x2 -optimize -quality 95", kColourSame},
                    CorpusCase{"greyrestart", 40, 40, "-grayscale -restart 3B", kGreySame},
                    CorpusCase{"large420", 640, 480, "-sample 2x2 -quality 90", kColourSame}),
    [](const testing::TestParamInfo<CorpusCase>& info) { return std::string(info.param.name); });


TEST(MagickFiles, ImageMagicksOwnFilesMatchToo) {
  for (const char* options : {"-quality 85", "-quality 92 -sampling-factor 2x1", "-colorspace Gray"}) {
    const std::string path = WorkDir() + "magick" + std::to_string(std::string(options).size()) + ".jpg";
    ASSERT_TRUE(Shell("convert -seed 5 -size 96x64 plasma:fractal -blur 0x1 " + std::string(options) +
                    " '" + path + "'"));
    const Comparison c = Compare(path);
    EXPECT_GT(c.psnr, 50.0) << options;
    EXPECT_GE(c.sameIndex, kColourSame) << options;
  }
}

// ---- hand-built streams -----------------------------------------------------------------------

// Scan data, most significant bit first, 0xFF stuffed, padded with 1 bits.
class BitWriter {
 public:
  void Put(std::uint32_t value, int count) {
    for (int i = count - 1; i >= 0; --i) {
      cur_ = static_cast<std::uint8_t>(cur_ << 1 | (value >> i & 1));
      if (++n_ == 8) Flush();
    }
  }
  Bytes Finish() {
    while (n_ != 0) Put(1, 1);
    return out_;
  }

 private:
  void Flush() {
    out_.push_back(cur_);
    if (cur_ == 0xFF) out_.push_back(0);
    cur_ = 0;
    n_ = 0;
  }
  Bytes out_;
  std::uint8_t cur_ = 0;
  int n_ = 0;
};

// Table ids used below: DC 0 gives symbol s the 4-bit code s (s = 0..12), AC 0x10 gives
// symbol kAcSymbols[i] the 4-bit code i.
constexpr std::uint8_t kAcSymbols[] = {0x00, 0xF0, 0x01, 0x02, 0x03, 0xF1, 0x0C, 0x11};
constexpr std::uint32_t kEob = 0;

struct JpegBuilder {
  Bytes b;
  JpegBuilder& Raw(const Bytes& bytes) {
    b.insert(b.end(), bytes.begin(), bytes.end());
    return *this;
  }
  JpegBuilder& Marker(std::uint8_t code) { return Raw({0xFF, code}); }
  JpegBuilder& Segment(std::uint8_t code, const Bytes& payload) {
    const std::size_t length = payload.size() + 2;
    Raw({0xFF, code, static_cast<std::uint8_t>(length >> 8), static_cast<std::uint8_t>(length)});
    return Raw(payload);
  }
  JpegBuilder& Soi() { return Marker(0xD8); }
  JpegBuilder& Eoi() { return Marker(0xD9); }
  // Table `number` with every value `q`.
  JpegBuilder& Dqt(std::uint8_t number, std::uint8_t q) {
    Bytes p{number};
    p.insert(p.end(), 64, q);
    return Segment(0xDB, p);
  }
  static Bytes Table(std::uint8_t id, int length, const Bytes& symbols) {
    Bytes p{id};
    for (int l = 1; l <= 16; ++l) p.push_back(l == length ? static_cast<std::uint8_t>(symbols.size()) : 0);
    p.insert(p.end(), symbols.begin(), symbols.end());
    return p;
  }
  static Bytes DcTable(std::uint8_t id = 0x00) {
    return Table(id, 4, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12});
  }
  static Bytes AcTable(std::uint8_t id = 0x10) {
    return Table(id, 4, Bytes(std::begin(kAcSymbols), std::end(kAcSymbols)));
  }
  JpegBuilder& StandardTables() { return Segment(0xC4, DcTable()).Segment(0xC4, AcTable()); }
  // Components as {id, sampling, quant table}.
  JpegBuilder& Sof(int width, int height, const std::vector<Bytes>& comps, std::uint8_t code = 0xC0,
                   std::uint8_t precision = 8) {
    Bytes p{precision, static_cast<std::uint8_t>(height >> 8), static_cast<std::uint8_t>(height),
            static_cast<std::uint8_t>(width >> 8), static_cast<std::uint8_t>(width),
            static_cast<std::uint8_t>(comps.size())};
    for (const Bytes& c : comps) p.insert(p.end(), c.begin(), c.end());
    return Segment(code, p);
  }
  // Components as {selector, tables}.
  JpegBuilder& Sos(const std::vector<Bytes>& comps) {
    Bytes p{static_cast<std::uint8_t>(comps.size())};
    for (const Bytes& c : comps) p.insert(p.end(), c.begin(), c.end());
    p.insert(p.end(), {0, 63, 0});
    return Segment(0xDA, p);
  }
  JpegBuilder& Grey(int width, int height) {
    return Soi().Dqt(0, 1).StandardTables().Sof(width, height, {{1, 0x11, 0}}).Sos({{1, 0x00}});
  }
};

// A block whose only coefficient is a DC difference (magnitude category and bits).
void PutDc(BitWriter& w, int diff) {
  int s = 0;
  while ((diff < 0 ? -diff : diff) >= (1 << s)) ++s;
  w.Put(static_cast<std::uint32_t>(s), 4);
  if (s != 0) w.Put(static_cast<std::uint32_t>(diff < 0 ? diff + (1 << s) - 1 : diff), s);
  w.Put(kEob, 4);
}

std::string Save(const std::string& name, const JpegBuilder& j) { return WriteFile(name, j.b); }

struct Decoded {
  bool result = false;
  bool allocated = false;
  JpegRgb rgb;
  std::vector<std::string> trace;  // lines after "TRACE ON"
  std::vector<std::pair<std::uint32_t, std::int32_t>> progress;
  Bytes pixels;
};

// `watched`: with a progress sink, as the program loads pictures; without one, as tekutool.
Decoded Decode(const std::string& path, TDibImage* keep = nullptr, bool watched = true) {
  Decoded d;
  DibSurface surface;
  TDibImage local;
  TDibImage& image = keep != nullptr ? *keep : local;
  TraceStart(WorkDir() + "TEKUCROS.EXE");
  ProgressSink progress;
  if (watched) {
    progress = [&](std::uint32_t message, std::uint32_t wParam, std::int32_t lParam) {
      EXPECT_EQ(message, 1883u);
      d.progress.emplace_back(wParam, lParam);
    };
  }
  d.result = LoadJpegWithRgb(surface, path, image, progress, &d.rgb);
  d.allocated = image.allocated();
  if (d.allocated) {
    PixelLock lock(image);
    d.pixels.assign(lock.bytes(), lock.bytes() + lock.size());
  }
  std::ifstream log(WorkDir() + "TEKUTRC.LOG", std::ios::binary);
  std::string line;
  std::getline(log, line);
  EXPECT_EQ(line, "TRACE ON");
  while (std::getline(log, line)) d.trace.push_back(line);
  TraceReset();
  return d;
}

std::vector<int> Codes(const Decoded& d) {
  std::vector<int> codes;
  for (const std::string& line : d.trace) codes.push_back(std::stoi(line));
  return codes;
}

std::array<int, 3> Rgb(const Decoded& d, int x, int y) {
  const std::uint8_t* p = &d.rgb.rgb[(static_cast<std::size_t>(y) * d.rgb.width + x) * 3];
  return {p[0], p[1], p[2]};
}

TEST(JpegArithmetic, AGreyBlockGoesThroughBothHalvingPassesAndTheRounding) {
  // DC difference 50 with quantiser 1: 800 -> 283 after the row pass, 100 after the column pass,
  // (100 + 2048 + 8) >> 4 = 134.
  BitWriter w;
  PutDc(w, 50);
  const Decoded d = Decode(Save("grey1.jpg", JpegBuilder().Grey(8, 8).Raw(w.Finish()).Eoi()));
  ASSERT_TRUE(d.result);
  ASSERT_TRUE(d.allocated);
  EXPECT_EQ(Rgb(d, 0, 0), (std::array<int, 3>{134, 134, 134}));
  EXPECT_EQ(Rgb(d, 7, 7), (std::array<int, 3>{134, 134, 134}));
  EXPECT_TRUE(d.trace.empty());
}

// The fast transforms against the plain one on blocks of every kind: DC only, sparse, dense,
// extreme values that overflow the 16-bit sums, products just off a rounding edge, in place
// and not, alone and paired with the block before.
TEST(JpegArithmetic, TheFastInverseTransformsMatchThePlainOneBitForBit) {
  std::mt19937 rng(99);
  std::array<std::int16_t, 64> previous{}, previousPlain{};
  const std::int16_t extremes[] = {-32768, -32767, -16384, -2048, -1, 0, 1, 2047, 16383, 32767};
  for (int n = 0; n < 60000; ++n) {
    std::array<std::int16_t, 64> block{};
    const int kind = n % 6;
    for (int k = 0; k < 64; ++k) {
      const auto v = rng();
      if (kind == 0) {  // DC only
        if (k == 0) block[k] = static_cast<std::int16_t>(v);
      } else if (kind == 1) {  // low coefficients only, as pictures mostly have
        if (k % 8 < 4 && k / 8 < 4 && v % 3 != 0) {
          block[k] = n % 12 == 1 ? static_cast<std::int16_t>(v)
                                 : static_cast<std::int16_t>(static_cast<int>(v % 801) - 400);
        }
      } else if (kind == 2) {  // one coefficient anywhere
        if (k == n / 6 % 64) block[k] = static_cast<std::int16_t>(v);
      } else if (kind == 3) {
        block[k] = extremes[v % std::size(extremes)];
      } else if (kind == 4) {  // quantised values: multiples of 16
        block[k] = static_cast<std::int16_t>((static_cast<int>(v % 4096) - 2048) * 16);
      } else {
        block[k] = static_cast<std::int16_t>(v);
      }
    }
    std::array<std::int16_t, 64> plain{}, fast{}, portable{}, inPlace = block;
    JpegInverseDctPlain(block.data(), plain.data());
    JpegInverseDct(block.data(), fast.data());
    JpegInverseDctPortable(block.data(), portable.data());
    JpegInverseDct(inPlace.data(), inPlace.data());
    ASSERT_EQ(fast, plain) << "block " << n;
    ASSERT_EQ(portable, plain) << "block " << n;
    ASSERT_EQ(inPlace, plain) << "block " << n;
    std::array<std::int16_t, 64> pairA{}, pairB = previous;
    JpegInverseDctPair(block.data(), pairB.data(), pairA.data(), pairB.data());
    ASSERT_EQ(pairA, plain) << "block " << n << " first of a pair";
    ASSERT_EQ(pairB, previousPlain) << "block " << n - 1 << " second of a pair";
    previous = block;
    previousPlain = plain;
  }
}

// The lane form of the sample-to-byte step against the portable one, with sums far outside
// the 16-bit range, where saturation must give what the exact sum gives, and on the edges of
// the 0..255 range.
TEST(JpegArithmetic, TheFastColourStepMatchesThePortableOneByteForByte) {
  std::mt19937 rng(5);
  const std::int16_t extremes[] = {-32768, -32767, -30000, -2056, -2057, -2041, -2040, 2031,
                                   2032, 2040, 30711, 30712, 32767};
  for (int n = 0; n < 4000; ++n) {
    constexpr int kMax = 37;  // not a whole number of lanes
    std::int16_t v[4][kMax];
    for (auto& row : v) {
      for (std::int16_t& x : row) {
        const auto r = rng();
        x = n % 3 == 0 ? extremes[r % std::size(extremes)]
            : n % 3 == 1 ? static_cast<std::int16_t>(static_cast<int>(r % 8192) - 4096)
                         : static_cast<std::int16_t>(r);
      }
    }
    const int count = 1 + static_cast<int>(rng() % kMax);
    const bool grey = n % 4 == 0;
    std::uint8_t fast[3][kMax + 1], portable[3][kMax + 1];
    std::memset(fast, 0xA5, sizeof fast);
    std::memset(portable, 0xA5, sizeof portable);
    const std::int16_t* cr = grey ? nullptr : v[1];
    JpegSamplesToBytes(v[0], cr, v[2], v[3], count, fast[0], fast[1], fast[2]);
    JpegSamplesToBytesPortable(v[0], cr, v[2], v[3], count, portable[0], portable[1], portable[2]);
    ASSERT_EQ(0, std::memcmp(fast, portable, sizeof fast)) << "case " << n;
    for (int x = 0; x < count; ++x) {  // the written rule on one channel
      const int sum = v[0][x] + (grey ? 0 : v[1][x]) + 2048;
      ASSERT_EQ(portable[0][x], std::clamp((sum + 8) >> 4, 0, 255)) << "case " << n;
    }
    ASSERT_EQ(portable[0][count], 0xA5);
  }
}

TEST(JpegArithmetic, ColourTermsAreTruncatedSixteenBitQuotients) {
  // Y 50, Cb -40, Cr 30 (quantiser 1): samples 100, -79, 60; b' -139, r' 84, g' -26 + 43 = 17.
  BitWriter w;
  PutDc(w, 50);
  PutDc(w, -40);
  PutDc(w, 30);
  JpegBuilder j;
  j.Soi().Dqt(0, 1).StandardTables()
      .Sof(8, 8, {{1, 0x11, 0}, {2, 0x11, 0}, {3, 0x11, 0}})
      .Sos({{1, 0x00}, {2, 0x00}, {3, 0x00}}).Raw(w.Finish()).Eoi();
  DibSurface surface;
  TDibImage image;
  std::vector<int> preview;
  TraceStart(WorkDir() + "TEKUCROS.EXE");
  JpegRgb rgb;
  ASSERT_TRUE(LoadJpegWithRgb(surface, Save("colour1.jpg", j), image,
                              [&](std::uint32_t, std::uint32_t, std::int32_t pass) {
                                if (pass == 0) preview.push_back(GetPixelNo(image, 3, 3));
                              },
                              &rgb));
  TraceReset();
  ASSERT_EQ(rgb.width, 8);
  EXPECT_EQ(rgb.rgb[0], 140);
  EXPECT_EQ(rgb.rgb[1], 133);
  EXPECT_EQ(rgb.rgb[2], 126);
  // The preview's own formula from the averaged DCs (800 -> 100, -640 -> -80, 480 -> 60).
  RgbQuad previewColour{125, 133, 140, 0};
  ASSERT_EQ(preview.size(), 1u);
  EXPECT_EQ(preview[0], surface.NearestColorNo(previewColour));
  RgbQuad full{126, 133, 140, 0};
  EXPECT_EQ(GetPixelNo(image, 7, 7), surface.NearestColorNo(full));
}

TEST(JpegArithmetic, SixteenBitCodesCompareAboveTheSignedRange) {
  // DC table: symbol 0 is "0", symbols 6 and 5 take the 16-bit codes 0x8000 and 0x8001.
  JpegBuilder j;
  j.Soi().Dqt(0, 1).Segment(0xC4, [] {
    Bytes p{0x00, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 6, 5};
    return p;
  }()).Segment(0xC4, JpegBuilder::AcTable()).Sof(8, 8, {{1, 0x11, 0}}).Sos({{1, 0x00}});
  BitWriter w;
  w.Put(0x8000, 16);  // category 6
  w.Put(50, 6);
  w.Put(kEob, 4);
  j.Raw(w.Finish()).Eoi();
  const Decoded d = Decode(Save("code16.jpg", j));
  ASSERT_TRUE(d.allocated);
  EXPECT_EQ(Rgb(d, 4, 4), (std::array<int, 3>{134, 134, 134}));
}

TEST(JpegArithmetic, ProgressReportsEachUnitRowOfBothPassesAndOneRowAsAHundred) {
  const Decoded four = Decode(MakeJpeg("prog420", 100, 75, "-sample 2x2"));  // 104 x 80: 5 rows
  const std::vector<std::pair<std::uint32_t, std::int32_t>> expected = {
      {0, 0}, {25, 0}, {50, 0}, {75, 0}, {100, 0}, {0, 1}, {25, 1}, {50, 1}, {75, 1}, {100, 1}};
  EXPECT_EQ(four.progress, expected);
  const Decoded one = Decode(MakeJpeg("prog1row", 17, 9, "-sample 2x2"));
  const std::vector<std::pair<std::uint32_t, std::int32_t>> single = {{100, 0}, {100, 1}};
  EXPECT_EQ(one.progress, single);
  EXPECT_EQ(one.rgb.width, 24);
  EXPECT_EQ(one.rgb.height, 16);
}


// ---- damaged files: traces and clean ends -----------------------------------------------------

std::string Cp932(const std::string& utf8) {
  iconv_t cd = iconv_open("CP932", "UTF-8");
  std::string out(utf8.size() * 2 + 4, '\0');
  char* in = const_cast<char*>(utf8.data());
  std::size_t inLeft = utf8.size();
  char* o = out.data();
  std::size_t outLeft = out.size();
  iconv(cd, &in, &inLeft, &o, &outLeft);
  iconv_close(cd);
  out.resize(out.size() - outLeft);
  return out;
}

Bytes GreyData(int blocks = 1) {
  BitWriter w;
  for (int i = 0; i < blocks; ++i) PutDc(w, i == 0 ? 50 : 0);
  return w.Finish();
}

JpegBuilder GreyFile(int width = 8, int height = 8) {
  JpegBuilder j;
  j.Grey(width, height).Raw(GreyData((width / 8) * (height / 8))).Eoi();
  return j;
}

// The grey file from its first marker after the start of image.
Bytes GreyBody() {
  const Bytes b = GreyFile().b;
  return Bytes(b.begin() + 2, b.end());
}

struct TraceCase {
  const char* name;
  std::function<JpegBuilder()> build;
  std::vector<std::string> lines;  // UTF-8
};

class DamagedJpeg : public testing::TestWithParam<TraceCase> {};

TEST_P(DamagedJpeg, WritesItsTraceEntriesAndStillReturnsTrue) {
  const TraceCase& k = GetParam();
  const Decoded d = Decode(Save(std::string(k.name) + ".jpg", k.build()));
  EXPECT_TRUE(d.result);
  std::vector<std::string> expected;
  for (const std::string& line : k.lines) expected.push_back(Cp932(line));
  EXPECT_EQ(d.trace, expected);
}

const Bytes kGreyComp{1, 0x11, 0};

INSTANTIATE_TEST_SUITE_P(
    Traces, DamagedJpeg,
    testing::Values(
        TraceCase{"StrayByteBeforeAMarker",
                  [] { JpegBuilder j; j.Soi().Raw({18}).Dqt(0, 1).StandardTables()
                       .Sof(8, 8, {kGreyComp}).Sos({{1, 0}}).Raw(GreyData()).Eoi(); return j; },
                  {"9600 書式異常(JPEGﾏｰｶｰ位置）18"}},
        TraceCase{"Tem", [] { JpegBuilder j; j.Soi().Marker(0x01); return j.Raw(GreyFile().b); },
                  {"9602 TEM"}},
        TraceCase{"ExtendedSequentialFrame",
                  [] { JpegBuilder j; j.Soi().Dqt(0, 1).StandardTables()
                       .Sof(8, 8, {kGreyComp}, 0xC1).Sos({{1, 0}}).Raw(GreyData()).Eoi(); return j; },
                  {"9604 非Baseline DCT(未ｻﾎﾟｰﾄ)"}},
        TraceCase{"TwelveBitSamples",
                  [] { JpegBuilder j; j.Soi().Dqt(0, 1).StandardTables()
                       .Sof(8, 8, {kGreyComp}, 0xC0, 12).Sos({{1, 0}}).Raw(GreyData()).Eoi(); return j; },
                  {"9605 SOFO:標本精度が8ﾋﾞｯﾄ以外"}},
        TraceCase{"TooWideAndTooHigh",
                  [] { JpegBuilder j; j.Soi().Dqt(0, 1).StandardTables()
                       .Sof(3080, 3073, {kGreyComp}).Sos({{1, 0}}).Raw(GreyData()).Eoi(); return j; },
                  // The data runs out long before the picture does and meets the end marker.
                  {"9606 画像横ｻｲｽﾞが大きすぎる(≦3072)", "9607 画像縦ｻｲｽﾞが大きすぎる(≦3072)",
                   "9628 MarkerError217", "9628 MarkerError217"}},
        TraceCase{"TwoComponents",
                  [] { JpegBuilder j; j.Soi().Dqt(0, 1).StandardTables()
                       .Sof(8, 8, {kGreyComp, {2, 0x11, 0}}).Sos({{1, 0}, {2, 0}})
                       .Raw(GreyData(2)).Eoi(); return j; },
                  {"9608 未ｻﾎﾟｰﾄ画像成分数", "9617 SOS:画像成分数異常", "9622 未ｻﾎﾟｰﾄなｽｷｬﾝ成分数"}},
        TraceCase{"SamplingFactors",
                  [] { JpegBuilder j; j.Soi().Dqt(0, 1).StandardTables()
                       .Sof(8, 8, {{1, 0x30, 0}}).Sos({{1, 0}}).Raw(GreyData()).Eoi(); return j; },
                  // No blocks: the data is left to the marker loop.
                  {"9610 SOFO:処理不能水平標本数3", "9611 SOFO:処理不能垂直標本数 0",
                   "9622 未ｻﾎﾟｰﾄなｽｷｬﾝ成分数", "9600 書式異常(JPEGﾏｰｶｰ位置）108"}},
        TraceCase{"QuantTableNumber",
                  [] { JpegBuilder j; j.Soi().Dqt(0, 1).StandardTables()
                       .Sof(8, 8, {{1, 0x11, 0x0A}}).Sos({{1, 0}}).Raw(GreyData()).Eoi(); return j; },
                  {"9612 未定義量子化表番号 0A", "9622 未ｻﾎﾟｰﾄなｽｷｬﾝ成分数"}},
        TraceCase{"HuffmanTableId",
                  [] { JpegBuilder j; j.Soi().Segment(0xC4, JpegBuilder::DcTable(0x25));
                       return j.Raw(GreyBody()); },
                  {"9613 DHT:Huffman表番号異常25"}},
        TraceCase{"HuffmanSegmentTooShort",
                  [] { JpegBuilder j; j.Soi().Raw({0xFF, 0xC4, 0, 20}).Raw(JpegBuilder::DcTable());
                       return j.Raw(GreyBody()); },
                  {"9614 DHT:ﾌﾞﾛｯｸ長異常"}},
        TraceCase{"ScanHeaderLength",
                  [] { JpegBuilder j; j.Soi().Dqt(0, 1).StandardTables().Sof(8, 8, {kGreyComp})
                       .Raw({0xFF, 0xDA, 0, 9, 1, 1, 0, 0, 63, 0}).Raw(GreyData()).Eoi(); return j; },
                  {"9615 SOS:ﾌﾞﾛｯｸ長異常"}},
        TraceCase{"UndefinedComponent",
                  [] { JpegBuilder j; j.Soi().Dqt(0, 1).StandardTables()
                       .Sof(8, 8, {kGreyComp}).Sos({{7, 0}}).Raw(GreyData()).Eoi(); return j; },
                  {"9618 SOS:未定義画像成分番号 07", "9622 未ｻﾎﾟｰﾄなｽｷｬﾝ成分数"}},
        TraceCase{"UndefinedTables",
                  [] { JpegBuilder j; j.Soi().Dqt(0, 1).StandardTables()
                       .Sof(8, 8, {kGreyComp}).Sos({{1, 0x23}}).Raw(GreyData()).Eoi(); return j; },
                  {"9619 SOS:未定義DC-Huffman表番号02", "9620 SOS:未定義AC-Huffman表番号13",
                   "9622 未ｻﾎﾟｰﾄなｽｷｬﾝ成分数"}},
        TraceCase{"MoreThanTenBlocks",
                  [] { JpegBuilder j; j.Soi().Dqt(0, 1).StandardTables()
                       .Sof(16, 16, {{1, 0x22, 0}, {2, 0x22, 0}, {3, 0x22, 0}})
                       .Sos({{1, 0}, {2, 0}, {3, 0}}).Raw(GreyData(10)).Eoi(); return j; },
                  {"9621 SOS:ｽｷｬﾝ成分数が10を超える", "9621 SOS:ｽｷｬﾝ成分数が10を超える",
                   "9622 未ｻﾎﾟｰﾄなｽｷｬﾝ成分数"}},
        TraceCase{"QuantSegmentLength",
                  [] { JpegBuilder j; Bytes p{0}; p.insert(p.end(), 64, 1); p.push_back(0xFF);
                       j.Soi().Segment(0xDB, p).StandardTables().Sof(8, 8, {kGreyComp})
                       .Sos({{1, 0}}).Raw(GreyData()).Eoi(); return j; },
                  {"9623 DQT:ﾌﾞﾛｯｸ長の異常"}},
        TraceCase{"FiveQuantTablesAndNumberFour",
                  [] { JpegBuilder j; Bytes p; for (int t = 0; t < 5; ++t) { p.push_back(static_cast<std::uint8_t>(t)); p.insert(p.end(), 64, 1); }
                       j.Soi().Segment(0xDB, p).StandardTables().Sof(8, 8, {kGreyComp})
                       .Sos({{1, 0}}).Raw(GreyData()).Eoi(); return j; },
                  {"9624 DQT:量子化表が5以上ある", "9625 DQT:量子化表番号が4以上"}},
        TraceCase{"RestartSegmentLength",
                  [] { JpegBuilder j; j.Soi().Segment(0xDD, {0, 0, 0xFF});
                       return j.Raw(GreyBody()); },
                  {"9626 DRI:ﾌﾞﾛｯｸ長異常"}},
        TraceCase{"RestartMarkerMissing",  // logged in both passes
                  [] { JpegBuilder j; j.Soi().Segment(0xDD, {0, 1}).Dqt(0, 1).StandardTables()
                       .Sof(16, 8, {kGreyComp}).Sos({{1, 0}}).Raw(GreyData(2)).Eoi(); return j; },
                  {"9627 RST処理構造異常", "9627 RST処理構造異常"}},
        TraceCase{"MarkerInsideTheData",
                  // ZRL-padded empty block, then a category-8 DC of 255 whose bits are "FF 12".
                  [] { JpegBuilder j; j.Grey(16, 8).Raw({0x01, 0x08, 0xFF, 0x12, 0x0F}).Eoi(); return j; },
                  {"9628 MarkerError18", "9628 MarkerError18"}},
        TraceCase{"FillBytesLargeAppSegmentAndShortApp0",
                  [] { JpegBuilder j; j.Soi().Segment(0xE0, {'J', 'F', 'I', 'F'});
                       Bytes app(40000, 0xFF); for (std::size_t i = 1; i < app.size(); i += 2) app[i] = 0xD9;
                       j.Segment(0xE1, app).Raw({0xFF, 0xFF, 0xFF});
                       return j.Raw(GreyBody()); },
                  {}},
        TraceCase{"AllFourTablesInOneSegment",
                  [] { JpegBuilder j; Bytes p = JpegBuilder::DcTable(0); for (const Bytes& t : {JpegBuilder::AcTable(0x10), JpegBuilder::DcTable(1), JpegBuilder::AcTable(0x11)}) p.insert(p.end(), t.begin(), t.end());
                       j.Soi().Dqt(0, 1).Segment(0xC4, p).Sof(8, 8, {kGreyComp}).Sos({{1, 0}}).Raw(GreyData()).Eoi(); return j; },
                  {}},
        TraceCase{"NoEndOfImage",
                  [] { JpegBuilder j = GreyFile(); j.b.resize(j.b.size() - 2); return j; }, {}}),
    [](const testing::TestParamInfo<TraceCase>& info) { return std::string(info.param.name); });

TEST(DamagedJpeg, OutOfSequenceRestartMarkersAreAcceptedAndResetThePredictor) {
  JpegBuilder j;
  j.Soi().Segment(0xDD, {0, 1}).Dqt(0, 1).StandardTables().Sof(16, 8, {kGreyComp}).Sos({{1, 0}});
  j.Raw(GreyData()).Marker(0xD5).Raw(GreyData()).Eoi();  // both units carry a difference of 50
  const Decoded d = Decode(Save("rst5.jpg", j));
  EXPECT_TRUE(d.trace.empty());
  EXPECT_EQ(Rgb(d, 12, 3), (std::array<int, 3>{134, 134, 134}));
}

TEST(DamagedJpeg, MarkerBytesInTheDataAreUsedAsData) {
  JpegBuilder j;
  j.Grey(16, 8).Raw({0x01, 0x08, 0xFF, 0x12, 0x0F}).Eoi();
  const Decoded d = Decode(Save("ffdata.jpg", j));
  // DC 255 x 16 = 4080 -> 1443 -> 510 after both passes: (510 + 2048 + 8) >> 4 = 160.
  EXPECT_EQ(Rgb(d, 12, 3), (std::array<int, 3>{160, 160, 160}));
}

TEST(DamagedJpeg, ASecondDefinitionOfATableDoesNotReplaceTheFirst) {
  JpegBuilder j;
  j.Soi().Dqt(0, 1).StandardTables();
  j.Segment(0xC4, JpegBuilder::Table(0x00, 4, {5, 4, 3, 2, 1, 0, 6, 7, 8, 9, 10, 11, 12}));
  j.Sof(8, 8, {kGreyComp}).Sos({{1, 0}}).Raw(GreyData()).Eoi();
  EXPECT_EQ(Rgb(Decode(Save("dht2.jpg", j)), 0, 0), (std::array<int, 3>{134, 134, 134}));
}

// Data that would take the decoder outside its tables ends the decoding: what was decoded
// before stays, the rest of the picture keeps index 0.
void ExpectEndsAfterFirstUnit(const std::string& name,
                              const std::function<void(BitWriter&)>& secondUnit) {
  BitWriter w;
  PutDc(w, 200);  // exactly two bytes: 153 after both passes
  secondUnit(w);
  Bytes data = w.Finish();
  data.insert(data.end(), 64, 0);  // plenty of valid-looking units behind it
  JpegBuilder j;
  j.Grey(24, 8).Raw(data).Eoi();
  TDibImage image;
  const Decoded d = Decode(Save(name + ".jpg", j), &image);
  EXPECT_TRUE(d.result) << name;
  ASSERT_TRUE(d.allocated) << name;
  EXPECT_EQ(Rgb(d, 3, 3), (std::array<int, 3>{153, 153, 153})) << name;
  EXPECT_EQ(Rgb(d, 12, 3), (std::array<int, 3>{0, 0, 0})) << name;
  EXPECT_EQ(GetPixelNo(image, 20, 3), 0) << name;
  EXPECT_TRUE(d.progress.empty()) << name;
}

TEST(DamagedJpeg, ImpossibleCodesEndTheDecodingCleanly) {
  ExpectEndsAfterFirstUnit("dc12", [](BitWriter& w) { w.Put(12, 4); });
  ExpectEndsAfterFirstUnit("ac12", [](BitWriter& w) { w.Put(0, 4); w.Put(6, 4); });
  ExpectEndsAfterFirstUnit("past63", [](BitWriter& w) {
    w.Put(0, 4);
    for (int i = 0; i < 4; ++i) {  // run 15, size 1: positions 16, 32, 48, then 64
      w.Put(5, 4);
      w.Put(1, 1);
    }
  });
  ExpectEndsAfterFirstUnit("code17", [](BitWriter& w) { w.Put(0xFFFFF, 20); });
}

TEST(DamagedJpeg, TruncatedDataDecodesTheMarginAsZerosThenEnds) {
  BitWriter w;
  PutDc(w, 200);
  JpegBuilder j;
  j.Grey(24, 8).Raw(w.Finish());  // one unit of three, no end marker
  const Decoded d = Decode(Save("trunc.jpg", j));
  EXPECT_TRUE(d.result);
  ASSERT_TRUE(d.allocated);
  // Zero bits are "difference 0, end of block" in these tables: the predictor carries on.
  EXPECT_EQ(Rgb(d, 20, 3), (std::array<int, 3>{153, 153, 153}));
  EXPECT_TRUE(d.trace.empty());

  JpegBuilder huge;  // far more units than the margin can feed
  huge.Grey(3072, 3072);
  const Decoded h = Decode(Save("margin.jpg", huge));
  EXPECT_TRUE(h.result);
  EXPECT_TRUE(h.allocated);
  EXPECT_TRUE(h.progress.size() < 2 * 384u);
}

TEST(DamagedJpeg, WithoutAStartOfImageNothingIsDecoded) {
  JpegBuilder j = GreyFile();
  j.b.erase(j.b.begin(), j.b.begin() + 2);
  const Decoded d = Decode(Save("nosoi.jpg", j));
  EXPECT_TRUE(d.result);
  EXPECT_FALSE(d.allocated);
  EXPECT_TRUE(d.trace.empty());
  EXPECT_FALSE(Decode(WorkDir() + "does-not-exist.jpg").result);
  EXPECT_TRUE(Decode(Save("empty.jpg", JpegBuilder())).result);
}

TEST(DamagedJpeg, APictureAboveSixtyFourMebibytesIsNotAllocated) {
  JpegBuilder j;
  j.Grey(8200, 8200).Raw(GreyData()).Eoi();
  const Decoded d = Decode(Save("huge.jpg", j));
  EXPECT_TRUE(d.result);
  EXPECT_FALSE(d.allocated);
  EXPECT_EQ(Codes(d), (std::vector<int>{9606, 9607, 9628, 9628}));
}

TEST(DamagedJpeg, AProgressiveFileIsDecodedAsBaselineWithoutMeaning) {
  const Decoded d = Decode(MakeJpeg("progressive", 64, 48, "-progressive"));
  EXPECT_TRUE(d.result);
  EXPECT_TRUE(d.allocated);
  ASSERT_FALSE(d.trace.empty());
  EXPECT_EQ(Codes(d)[0], 9604);
}


// ---- one decode held for both passes, or two decodes -------------------------------------------

// Scans with restarts, a fault, subsampling, grey, and noise that fills every block.
std::vector<std::string> PassFiles() {
  JpegBuilder rst;
  rst.Soi().Segment(0xDD, {0, 1}).Dqt(0, 1).StandardTables().Sof(24, 16, {kGreyComp}).Sos({{1, 0}});
  rst.Raw(GreyData(2)).Raw({0x01, 0x08, 0xFF, 0x12, 0x0F}).Raw(GreyData(3)).Eoi();
  JpegBuilder fault;
  fault.Grey(24, 16).Raw({0x01, 0x08, 0xFF, 0x12, 0x0F, 0xC0}).Eoi();
  const std::vector<std::string> files = {
      Save("passes_rst.jpg", rst), Save("passes_fault.jpg", fault),
      MakeJpeg("passes420", 100, 75, "-sample 2x2 -restart 3B"),
      MakeJpeg("passesgrey", 40, 24, "-grayscale"), WriteFile("passes_noise.jpg", [] {
        // Noise at full quality: nearly every coefficient is set, so held blocks take more
        // room than blocks in full. 48 x 40 at 4:4:4 is 5760 values (11520 bytes) in full.
        const std::string ppm = WorkDir() + "noise.ppm";
        const std::string jpg = WorkDir() + "noise_src.jpg";
        std::string header = "P6 48 40 255\n";
        Bytes pixels(header.begin(), header.end());
        std::mt19937 rng(3);
        for (int i = 0; i < 48 * 40 * 3; ++i) pixels.push_back(static_cast<std::uint8_t>(rng()));
        WriteFile("noise.ppm", pixels);
        EXPECT_TRUE(Shell("cjpeg -quality 100 -sample 1x1 -outfile '" + jpg + "' '" + ppm + "'"));
        return ReadAll(jpg);
      }())};
  return files;
}

// Scans that fit the store are decoded once and replayed; the others are decoded twice. Both
// must give the same pixels, the same trace entries in the same order and the same progress.
TEST(JpegPasses, HoldingTheCoefficientsGivesWhatDecodingTwiceGives) {
  const std::vector<std::string> files = PassFiles();
  // The limit lets every scan be held, none, or the noise picture's blocks in full but not
  // its held form, which is then given up part way and decoded twice from the start.
  for (const std::int64_t limit : {std::int64_t{0}, std::int64_t{12288}}) {
    for (const std::string& file : files) {
      const Decoded held = Decode(file);
      SetJpegStoreLimit(limit);
      const Decoded other = Decode(file);
      SetJpegStoreLimit(std::int64_t{128} << 20);
      EXPECT_EQ(held.trace, other.trace) << file << " " << limit;
      EXPECT_EQ(held.progress, other.progress) << file << " " << limit;
      EXPECT_EQ(held.rgb.rgb, other.rgb.rgb) << file << " " << limit;
      EXPECT_EQ(held.allocated, other.allocated) << file << " " << limit;
      EXPECT_EQ(held.pixels, other.pixels) << file << " " << limit;
    }
  }
}

// With no progress sink the preview is never seen: one full pass must leave the picture and
// the trace log as the two passes do.
TEST(JpegPasses, WithoutAWatcherOnePassGivesWhatTwoPassesGive) {
  for (const std::string& file : PassFiles()) {
    const Decoded watched = Decode(file);
    const Decoded unwatched = Decode(file, nullptr, false);
    EXPECT_EQ(watched.result, unwatched.result) << file;
    EXPECT_EQ(watched.trace, unwatched.trace) << file;
    EXPECT_EQ(watched.rgb.rgb, unwatched.rgb.rgb) << file;
    EXPECT_EQ(watched.pixels, unwatched.pixels) << file;
    EXPECT_TRUE(unwatched.progress.empty()) << file;
  }
}

}  // namespace
}  // namespace teku
