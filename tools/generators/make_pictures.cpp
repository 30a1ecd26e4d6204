// Draws the palette picture (TEKUCINI.BMP), whose colour table becomes the program palette's
// middle slots, and the correct-answer picture (SEIKAI.BMP) shown in the character panel.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <numbers>
#include <set>
#include <string>
#include <vector>

#include "surface/dib_file.h"
#include "surface/dib_image.h"

namespace {

using teku::DefaultPalette;
using teku::DibSurface;
using teku::TDibImage;

std::uint32_t Rgb(const teku::PaletteEntry& e) {
  return static_cast<std::uint32_t>(e.red) << 16 | static_cast<std::uint32_t>(e.green) << 8 | e.blue;
}

// The default palette's index of a colour; the pictures are drawn only in colours it has.
std::uint8_t DefaultIndex(std::uint32_t rgb) {
  for (int i = 0; i < 256; ++i) {
    if (Rgb(DefaultPalette[i]) == rgb) return static_cast<std::uint8_t>(i);
  }
  std::fprintf(stderr, "make_pictures: %06X is not a default colour\n", static_cast<unsigned>(rgb));
  std::abort();
}

bool IsStaticSlot(int i) { return i < 10 || i > 245; }

// ---- SEIKAI.BMP -----------------------------------------------------------------------------

// Colours of the correct-answer picture, by role. The palette picture keeps every one of them
// in its default slot, so the picture survives the remap at load time pixel for pixel.
struct SeikaiColors {
  std::uint8_t sky = DefaultIndex(0xFFFFCC);
  std::uint8_t ray = DefaultIndex(0xFFFF99);
  std::uint8_t petal = DefaultIndex(0xFF99CC);
  std::uint8_t petalEdge = DefaultIndex(0xFF6699);
  std::uint8_t paper = DefaultIndex(0xFFFFFF);
  std::uint8_t red = DefaultIndex(0xFF0000);
  std::uint8_t gold = DefaultIndex(0xFFCC00);
  std::uint8_t orange = DefaultIndex(0xFF9900);
  std::uint8_t grass = DefaultIndex(0x66CC33);
  std::uint8_t grassDark = DefaultIndex(0x339933);
  std::uint8_t outline = DefaultIndex(0x333333);
  std::vector<std::uint8_t> confetti = {DefaultIndex(0xFF3333), DefaultIndex(0x3399FF),
                                        DefaultIndex(0x33CC33), DefaultIndex(0xCC66FF),
                                        DefaultIndex(0xFF9900), DefaultIndex(0x00CCCC)};
  std::vector<std::uint8_t> blossoms = {DefaultIndex(0xFF6666), DefaultIndex(0xFF99FF),
                                        DefaultIndex(0x6699FF), DefaultIndex(0xFFCC33)};
  std::uint8_t blossomHeart = DefaultIndex(0xFFFF00);

  std::vector<std::uint8_t> All() const {
    std::vector<std::uint8_t> v = {sky, ray, petal, petalEdge, paper, red, gold, orange,
                                   grass, grassDark, outline, blossomHeart};
    v.insert(v.end(), confetti.begin(), confetti.end());
    v.insert(v.end(), blossoms.begin(), blossoms.end());
    return v;
  }
};

// A top-down canvas; copied bottom-up into the picture at the end.
class Canvas {
 public:
  Canvas(int w, int h, std::uint8_t fill) : w_(w), h_(h), px_(static_cast<std::size_t>(w) * h, fill) {}
  int width() const { return w_; }
  int height() const { return h_; }
  void Set(int x, int y, std::uint8_t c) {
    if (x >= 0 && y >= 0 && x < w_ && y < h_) px_[static_cast<std::size_t>(y) * w_ + x] = c;
  }
  std::uint8_t Get(int x, int y) const { return px_[static_cast<std::size_t>(y) * w_ + x]; }

  void Disk(double cx, double cy, double r, std::uint8_t c) {
    for (int y = static_cast<int>(cy - r) - 1; y <= static_cast<int>(cy + r) + 1; ++y) {
      for (int x = static_cast<int>(cx - r) - 1; x <= static_cast<int>(cx + r) + 1; ++x) {
        const double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
        if (dx * dx + dy * dy <= r * r) Set(x, y, c);
      }
    }
  }
  void Ellipse(double cx, double cy, double rx, double ry, std::uint8_t c) {
    for (int y = static_cast<int>(cy - ry) - 1; y <= static_cast<int>(cy + ry) + 1; ++y) {
      for (int x = static_cast<int>(cx - rx) - 1; x <= static_cast<int>(cx + rx) + 1; ++x) {
        const double dx = (x + 0.5 - cx) / rx, dy = (y + 0.5 - cy) / ry;
        if (dx * dx + dy * dy <= 1.0) Set(x, y, c);
      }
    }
  }
  // Even-odd fill of a closed polygon.
  void Polygon(const std::vector<std::pair<double, double>>& pts, std::uint8_t c) {
    double y0 = pts[0].second, y1 = y0;
    for (const auto& p : pts) y0 = std::min(y0, p.second), y1 = std::max(y1, p.second);
    for (int y = std::max(0, static_cast<int>(y0)); y <= std::min(h_ - 1, static_cast<int>(y1) + 1); ++y) {
      const double sy = y + 0.5;
      for (int x = 0; x < w_; ++x) {
        const double sx = x + 0.5;
        bool inside = false;
        for (std::size_t i = 0, j = pts.size() - 1; i < pts.size(); j = i++) {
          const auto& a = pts[i];
          const auto& b = pts[j];
          if ((a.second > sy) != (b.second > sy) &&
              sx < (b.first - a.first) * (sy - a.second) / (b.second - a.second) + a.first) {
            inside = !inside;
          }
        }
        if (inside) Set(x, y, c);
      }
    }
  }
  void Line(double x0, double y0, double x1, double y1, double thickness, std::uint8_t c) {
    const double len = std::hypot(x1 - x0, y1 - y0);
    const int steps = std::max(1, static_cast<int>(len * 2));
    for (int i = 0; i <= steps; ++i) {
      const double t = static_cast<double>(i) / steps;
      Disk(x0 + (x1 - x0) * t, y0 + (y1 - y0) * t, thickness / 2, c);
    }
  }

 private:
  int w_, h_;
  std::vector<std::uint8_t> px_;
};

std::vector<std::pair<double, double>> StarPoints(double cx, double cy, double outer, double inner,
                                                  int points, double turn) {
  std::vector<std::pair<double, double>> v;
  for (int i = 0; i < points * 2; ++i) {
    const double r = i % 2 == 0 ? outer : inner;
    const double a = turn + i * std::numbers::pi / points - std::numbers::pi / 2;
    v.emplace_back(cx + r * std::cos(a), cy + r * std::sin(a));
  }
  return v;
}

void Star(Canvas& cv, double cx, double cy, double r, std::uint8_t fill, std::uint8_t edge) {
  cv.Polygon(StarPoints(cx, cy, r, r * 0.45, 5, 0), edge);
  cv.Polygon(StarPoints(cx, cy, r - 3, (r - 3) * 0.45, 5, 0), fill);
}

// A flower of five round petals on a stem.
void Blossom(Canvas& cv, double cx, double cy, double r, std::uint8_t petal, const SeikaiColors& c) {
  cv.Line(cx, cy, cx + r * 0.3, cv.height(), 4, c.grassDark);
  cv.Ellipse(cx + r * 0.9, cy + r * 2.2, r * 0.9, r * 0.4, c.grassDark);
  for (int i = 0; i < 5; ++i) {
    const double a = i * 2 * std::numbers::pi / 5 - std::numbers::pi / 2;
    cv.Disk(cx + r * std::cos(a), cy + r * std::sin(a), r * 0.75, petal);
  }
  cv.Disk(cx, cy, r * 0.55, c.blossomHeart);
}

// Deterministic scatter for the confetti.
struct Lcg {
  std::uint32_t s;
  std::uint32_t Next() { return s = s * 1664525u + 1013904223u; }
  double Unit() { return (Next() >> 8) / 16777216.0; }
};

Canvas DrawSeikai(const SeikaiColors& c) {
  Canvas cv(224, 352, c.sky);
  const double cx = 112, cy = 138;

  // Sun rays behind the mark.
  for (int i = 0; i < 16; i += 2) {
    const double a0 = i * std::numbers::pi / 8, a1 = (i + 1) * std::numbers::pi / 8;
    cv.Polygon({{cx, cy}, {cx + 400 * std::cos(a0), cy + 400 * std::sin(a0)},
                {cx + 400 * std::cos(a1), cy + 400 * std::sin(a1)}}, c.ray);
  }

  // Confetti first, so that the mark and the flowers lie on top of it.
  Lcg rnd{20250607u};
  for (int i = 0; i < 70; ++i) {
    const double x = rnd.Unit() * 224, y = rnd.Unit() * 300;
    const std::uint8_t col = c.confetti[rnd.Next() % c.confetti.size()];
    if (rnd.Next() % 2 == 0) {
      cv.Disk(x, y, 3, col);
    } else {
      const double a = rnd.Unit() * std::numbers::pi;
      cv.Line(x, y, x + 8 * std::cos(a), y + 8 * std::sin(a), 4, col);
    }
  }

  // The flower-circle mark of a right answer: scalloped petals round a white disc with a red
  // spiral.
  for (int i = 0; i < 14; ++i) {
    const double a = i * 2 * std::numbers::pi / 14;
    cv.Disk(cx + 78 * std::cos(a), cy + 78 * std::sin(a), 20, c.petalEdge);
  }
  for (int i = 0; i < 14; ++i) {
    const double a = i * 2 * std::numbers::pi / 14;
    cv.Disk(cx + 78 * std::cos(a), cy + 78 * std::sin(a), 17, c.petal);
  }
  cv.Disk(cx, cy, 80, c.red);
  cv.Disk(cx, cy, 74, c.paper);
  for (double t = 0; t < 3.2 * 2 * std::numbers::pi; t += 0.01) {
    const double r = 6 + 60 * t / (3.2 * 2 * std::numbers::pi);
    cv.Disk(cx + r * std::cos(t - std::numbers::pi / 2), cy + r * std::sin(t - std::numbers::pi / 2),
            4.5, c.red);
  }

  // Stars in the corners.
  Star(cv, 30, 30, 22, c.gold, c.orange);
  Star(cv, 196, 34, 18, c.gold, c.orange);
  Star(cv, 24, 244, 14, c.gold, c.orange);
  Star(cv, 202, 250, 16, c.gold, c.orange);

  // A meadow of flowers along the bottom.
  cv.Ellipse(112, 392, 190, 96, c.grass);
  const double xs[] = {26, 70, 112, 154, 198};
  const double ys[] = {316, 300, 292, 302, 318};
  for (int i = 0; i < 5; ++i) Blossom(cv, xs[i], ys[i], 10, c.blossoms[i % c.blossoms.size()], c);

  // A thin frame holds the picture together on the panel's grey.
  for (int x = 0; x < 224; ++x) cv.Set(x, 0, c.outline), cv.Set(x, 351, c.outline);
  for (int y = 0; y < 352; ++y) cv.Set(0, y, c.outline), cv.Set(223, y, c.outline);
  return cv;
}

bool SaveCanvas(const DibSurface& s, const Canvas& cv, const std::string& path) {
  TDibImage img;
  if (!s.CreateImage(cv.width(), cv.height(), img)) return false;
  {
    teku::PixelLock lock(img);
    if (!lock.ok()) return false;
    for (int y = 0; y < cv.height(); ++y) {
      std::uint8_t* row = lock.bytes() + static_cast<std::size_t>(cv.height() - 1 - y) * cv.width();
      for (int x = 0; x < cv.width(); ++x) row[x] = cv.Get(x, y);
    }
  }
  return teku::SaveDibImage(img, path);
}

// ---- TEKUCINI.BMP ---------------------------------------------------------------------------

std::uint32_t Hsv(double hueDegrees, double s, double v) {
  const double h = std::fmod(hueDegrees, 360.0) / 60.0;
  const int sector = static_cast<int>(h);
  const double f = h - sector;
  const double p = v * (1 - s), q = v * (1 - s * f), t = v * (1 - s * (1 - f));
  double r = v, g = t, b = p;
  switch (sector) {
    case 0: r = v, g = t, b = p; break;
    case 1: r = q, g = v, b = p; break;
    case 2: r = p, g = v, b = t; break;
    case 3: r = p, g = q, b = v; break;
    case 4: r = t, g = p, b = v; break;
    default: r = v, g = p, b = q; break;
  }
  const auto byte = [](double x) { return static_cast<std::uint32_t>(std::lround(x * 255.0)); };
  return byte(r) << 16 | byte(g) << 8 | byte(b);
}

// The colours offered for the free middle slots, most wanted first.
std::vector<std::uint32_t> WantedColors() {
  std::vector<std::uint32_t> v;
  for (int i = 1; i <= 24; ++i) {  // a fine grey ramp for shading
    const auto g = static_cast<std::uint32_t>(std::lround(255.0 * i / 25));
    v.push_back(g << 16 | g << 8 | g);
  }
  const std::uint32_t skin[] = {0xFFE0C8, 0xFAD0B4, 0xF5C8A0, 0xEBB48C, 0xE0A078, 0xD28C64,
                                0xC07850, 0xA8643C, 0x8C5032, 0x6E3C28, 0x553020, 0xFFDAB9,
                                0xF0C8A8, 0xDEB496, 0xFFE4C4, 0xF4D3B0};
  v.insert(v.end(), std::begin(skin), std::end(skin));
  for (int h = 0; h < 360; h += 20) v.push_back(Hsv(h, 0.25, 1.0));  // pastels
  for (int h = 0; h < 360; h += 20) v.push_back(Hsv(h, 0.45, 1.0));
  for (double value : {1.0, 0.8, 0.6, 0.4}) {  // saturated hues at four strengths
    for (int h = 0; h < 360; h += 20) v.push_back(Hsv(h, 1.0, value));
  }
  for (double value : {0.8, 0.55}) {  // muted hues
    for (int h = 10; h < 360; h += 20) v.push_back(Hsv(h, 0.5, value));
  }
  const std::uint32_t earth[] = {0x8B4513, 0xA0522D, 0xCD853F, 0xD2B48C, 0xDEB887,
                                 0xF5DEB3, 0x6B4226, 0x556B2F, 0x808000, 0x2F4F4F};
  v.insert(v.end(), std::begin(earth), std::end(earth));
  for (int r = 0; r < 6; ++r) {  // the rest from the even colour cube
    for (int g = 0; g < 6; ++g) {
      for (int b = 0; b < 6; ++b) v.push_back(std::uint32_t(r * 0x33) << 16 | std::uint32_t(g * 0x33) << 8 | b * 0x33);
    }
  }
  return v;
}

// The palette picture's colour table, which is also the program palette it produces: the
// static colours at both ends (dropped by the merge, since the palette has them already) and
// in slots 10..245 the kept default colours plus the wanted colours in order.
teku::Palette256 PaletteTable(const std::set<int>& kept) {
  teku::Palette256 table = DefaultPalette;
  std::set<std::uint32_t> taken;
  for (int i = 0; i < 256; ++i) {
    if (IsStaticSlot(i) || kept.count(i) != 0) taken.insert(Rgb(DefaultPalette[i]));
  }
  // The merge places neither colour of slot 9's two spellings.
  taken.insert(0xA4C8F0);
  taken.insert(0xA6CAF0);
  const std::vector<std::uint32_t> wanted = WantedColors();
  std::size_t next = 0;
  for (int slot = 10; slot <= 245; ++slot) {
    if (kept.count(slot) != 0) continue;
    while (next < wanted.size() && taken.count(wanted[next]) != 0) ++next;
    if (next == wanted.size()) {
      std::fprintf(stderr, "make_pictures: too few colours for the palette picture\n");
      std::abort();
    }
    const std::uint32_t rgb = wanted[next++];
    taken.insert(rgb);
    table[slot].red = static_cast<std::uint8_t>(rgb >> 16);
    table[slot].green = static_cast<std::uint8_t>(rgb >> 8);
    table[slot].blue = static_cast<std::uint8_t>(rgb);
  }
  return table;
}

bool SavePalettePicture(const teku::Palette256& table, const std::string& path) {
  DibSurface s;
  s.SetPalette(table, nullptr);
  TDibImage img;
  if (!s.CreateImage(16, 16, img)) return false;
  {
    teku::PixelLock lock(img);
    if (!lock.ok()) return false;
    // One pixel of every index, so that the merge takes every colour of the table.
    for (int i = 0; i < 256; ++i) lock.bytes()[i] = static_cast<std::uint8_t>(i);
  }
  return teku::SaveDibImage(img, path);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_pictures PROGRAM_DIR\n");
    return 2;
  }
  const std::string dir = std::string(argv[1]) + "/";
  const SeikaiColors colors;

  // Slots whose default colour the shipped pictures draw with: the glyph sheets' tiles and
  // the panel background (242) as well as the correct-answer picture.
  std::set<int> kept = {10, 67, 194, 195, 220, 242};
  for (std::uint8_t i : colors.All()) {
    if (!IsStaticSlot(i)) kept.insert(i);
  }

  DibSurface surface;
  bool ok = SaveCanvas(surface, DrawSeikai(colors), dir + "SEIKAI.BMP");
  ok = SavePalettePicture(PaletteTable(kept), dir + "TEKUCINI.BMP") && ok;
  if (!ok) {
    std::fprintf(stderr, "make_pictures: cannot write the pictures into %s\n", argv[1]);
    return 1;
  }
  return 0;
}
