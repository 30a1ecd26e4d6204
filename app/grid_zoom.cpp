// Zoom steps and the sheets of a zoomed view.
#include "app/grid_zoom.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace teku {

std::int32_t ZoomStep(std::int32_t percent) {
  return std::find(kZoomSteps.begin(), kZoomSteps.end(), percent) != kZoomSteps.end() ? percent : 100;
}

std::int32_t ZoomIn(std::int32_t percent) {
  const auto next = std::upper_bound(kZoomSteps.begin(), kZoomSteps.end(), ZoomStep(percent));
  return next == kZoomSteps.end() ? kZoomSteps.back() : *next;
}

std::int32_t ZoomOut(std::int32_t percent) {
  const auto at = std::lower_bound(kZoomSteps.begin(), kZoomSteps.end(), ZoomStep(percent));
  return at == kZoomSteps.begin() ? kZoomSteps.front() : *(at - 1);
}

std::int32_t LogicalCell(std::int32_t percent) { return kCellPixels * ZoomStep(percent) / 100; }

std::int32_t DeviceCell(std::int32_t percent, double devicePixelRatio) {
  const double ratio = std::isfinite(devicePixelRatio) ? std::clamp(devicePixelRatio, 1.0, 4.0) : 1.0;
  return static_cast<std::int32_t>(std::lround(LogicalCell(percent) * ratio));
}

std::int32_t ToBasePixels(std::int32_t pixel, std::int32_t cell) {
  if (pixel < 0 || cell <= 0) return pixel;
  return static_cast<std::int32_t>(std::int64_t{pixel} * kCellPixels / cell);
}

bool ScaleToCell(const DibSurface& surface, TDibImage& source, std::int32_t cell, TDibImage& out) {
  if (!source.allocated() || cell <= 0) return false;
  const std::int64_t w = std::int64_t{source.width()} * cell / kCellPixels;
  const std::int64_t h = std::int64_t{source.height()} * cell / kCellPixels;
  if (w <= 0 || h <= 0 || w > kMaxImageSide || h > kMaxImageSide) return false;
  if (!surface.CreateImage(static_cast<std::int32_t>(w), static_cast<std::int32_t>(h), out)) return false;
  std::copy(std::begin(source.Colors), std::end(source.Colors), std::begin(out.Colors));
  PixelLock src(source), dst(out);
  if (!src.ok() || !dst.ok()) return false;
  // Each output column and row takes the source pixel it lies over: cell / 32 whole pixels each.
  std::vector<std::int32_t> column(static_cast<std::size_t>(w));
  for (std::int64_t x = 0; x < w; ++x) column[static_cast<std::size_t>(x)] = static_cast<std::int32_t>(x * kCellPixels / cell);
  for (std::int64_t y = 0; y < h; ++y) {
    const std::int64_t sy = y * kCellPixels / cell;
    const std::uint8_t* from = src.bytes() + (src.height() - 1 - sy) * src.width();
    std::uint8_t* to = dst.bytes() + (h - 1 - y) * w;
    for (std::int64_t x = 0; x < w; ++x) to[x] = from[column[static_cast<std::size_t>(x)]];
  }
  return true;
}

bool BuildSheetsForCell(const DibSurface& surface, GlyphSheets& base, std::int32_t cell,
                        const TextList& mojiTbl, TextRasterizer& text, GlyphSheets& out) {
  out.cell = cell;
  const bool scaled = ScaleToCell(surface, base.ColorSheet, cell, out.ColorSheet) &&
                      ScaleToCell(surface, base.NumSheet, cell, out.NumSheet);
  // The characters are drawn anew rather than enlarged, so they stay sharp at every size.
  const std::int64_t w = std::int64_t{base.MojiSheet.width()} / kCellPixels * cell;
  const std::int64_t h = std::int64_t{base.MojiSheet.height()} / kCellPixels * cell;
  const bool moji = base.MojiSheet.allocated() && w > 0 && h > 0 && w <= kMaxImageSide && h <= kMaxImageSide &&
                    surface.CreateImage(static_cast<std::int32_t>(w), static_cast<std::int32_t>(h), out.MojiSheet);
  out.UpdateCounts();
  if (!scaled || !moji) {
    FreeImage(out.ColorSheet);
    FreeImage(out.NumSheet);
    FreeImage(out.MojiSheet);
    out.UpdateCounts();
    return false;
  }
  BuildMojiSheet(out, mojiTbl, text);
  return true;
}

}  // namespace teku
