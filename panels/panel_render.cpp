// Composition and geometry of the two side panels.
#include "panels/panel_render.h"

#include <algorithm>

namespace teku {

PanelNumbering NumberingFor(const ModeState& modes) {
  return modes.create() ? PanelNumbering{0, 255} : PanelNumbering{1, 254};
}

std::int32_t PanelEntry(std::int32_t c, std::int32_t r, std::int32_t position,
                        std::int32_t panelCols, const ModeState& modes) {
  const std::int64_t e = (std::int64_t{r} + position) * panelCols + c + NumberingFor(modes).base;
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(e, -1, 1 << 20));
}

bool PanelCellOf(std::int32_t e, std::int32_t position, std::int32_t panelCols,
                 std::int32_t panelRows, const ModeState& modes, std::int32_t& c, std::int32_t& r) {
  if (panelCols <= 0 || panelRows <= 0) return false;
  const std::int64_t index = std::int64_t{e} - NumberingFor(modes).base - std::int64_t{position} * panelCols;
  if (index < 0 || index >= std::int64_t{panelCols} * panelRows) return false;
  c = static_cast<std::int32_t>(index % panelCols);
  r = static_cast<std::int32_t>(index / panelCols);
  return true;
}

bool EntryInUse(const Puzzle& puzzle, const ModeState& modes, std::int32_t e) {
  if (!modes.nankuro() || e <= 0) return false;
  if (modes.game()) {
    return std::find(puzzle.InputTbl.begin(), puzzle.InputTbl.end(), e) != puzzle.InputTbl.end();
  }
  if (modes.answer()) {
    return std::find(puzzle.AnserTbl.begin(), puzzle.AnserTbl.end(), e) != puzzle.AnserTbl.end();
  }
  return false;
}

namespace {

void ComposeEntry(const PanelView& v, TDibImage& back, std::int32_t c, std::int32_t r,
                  std::int32_t e) {
  const std::int32_t cell = v.sheets.cell;
  const std::int32_t x = c * cell, y = r * cell;
  const TilePos tile = e == v.selected                       ? TileMarked
                       : EntryInUse(v.puzzle, v.modes, e) ? TileFixed
                                                          : TileNormal;
  CopyTile(back, x, y, v.sheets.ColorSheet, tile, cell);
  if (!TextAt(v.puzzle.MojiTbl, e).empty() && !v.modes.create()) {
    CopyGlyph(back, x, y, v.sheets.MojiSheet, v.sheets.MojiSheetCols, v.sheets.MojiSheetRows, e, cell);
  } else if (!v.modes.game()) {
    CopyGlyph(back, x, y, v.sheets.NumSheet, v.sheets.NumSheetCols, v.sheets.NumSheetRows, e, cell);
  }
}

}  // namespace

void DrawPanelCell(const PanelView& view, TDibImage& back, std::int32_t c, std::int32_t r) {
  if (!view.sheets.MojiSheet.allocated() || view.panelCols <= 0) return;
  const std::int32_t e = PanelEntry(c, r, view.position, view.panelCols, view.modes);
  if (e > NumberingFor(view.modes).last || e < 0) {
    const std::int32_t cell = view.sheets.cell;
    FillImageRect(back, c * cell, r * cell, cell, cell, 255);
    return;
  }
  ComposeEntry(view, back, c, r, e);
}

void DrawPanel(const PanelView& view, TDibImage& back) {
  if (!view.sheets.MojiSheet.allocated() || view.panelCols <= 0) return;
  ClearImage(back, 255);
  const std::int32_t last = NumberingFor(view.modes).last;
  for (std::int32_t r = 0; r < view.panelRows; ++r) {
    for (std::int32_t c = 0; c < view.panelCols; ++c) {
      const std::int32_t e = PanelEntry(c, r, view.position, view.panelCols, view.modes);
      if (e > last) break;
      ComposeEntry(view, back, c, r, e);
    }
  }
}

PanelLayout ComputePanelLayout(std::int32_t clientWidth, std::int32_t clientHeight, std::int32_t cell) {
  PanelLayout g;
  clientWidth = std::clamp(clientWidth, 0, kStoredGeometryLimit);
  clientHeight = std::clamp(clientHeight, 0, kStoredGeometryLimit);
  if (cell != kCellPixels && cell > 0) {
    // Zoomed, the window keeps its size (so zooming back gives the same panel): it shows the
    // whole cells that fit, at least one.
    g.clientWidth = clientWidth;
    g.clientHeight = clientHeight;
    g.panelCols = std::max((clientWidth - kScrollBarPixels) / cell, 1);
    g.panelRows = std::max(clientHeight / cell, 1);
    g.paintWidth = g.panelCols * cell;
    g.paintHeight = g.panelRows * cell;
    g.scrollMax = std::max((g.panelCols + 255) / g.panelCols - g.panelRows, 0);
    return g;
  }
  const std::int32_t w = std::max((clientWidth - 5) / kCellPixels, kMinPanelCols) * kCellPixels;
  const std::int32_t h = std::max(clientHeight / kCellPixels, kMinPanelRows) * kCellPixels;
  g.clientWidth = w + kScrollBarPixels;
  g.clientHeight = h;
  g.paintWidth = w;
  g.paintHeight = h;
  g.panelCols = w / kCellPixels;
  g.panelRows = h / kCellPixels;
  g.scrollMax = std::max((g.panelCols + 255) / g.panelCols - g.panelRows, 0);
  return g;
}

void SnapPanelResize(std::int32_t& clientWidth, std::int32_t& clientHeight, std::int32_t cell) {
  if (cell != kCellPixels) {
    clientWidth = std::max(clientWidth, 148);
    clientHeight = std::max(clientHeight, 128);
    return;
  }
  clientWidth = std::max((clientWidth - 4) / kCellPixels * kCellPixels + kScrollBarPixels, 148);
  clientHeight = std::max(clientHeight / kCellPixels * kCellPixels, 128);
}

void SnapPanelRestore(std::int32_t& clientWidth, std::int32_t& clientHeight, std::int32_t screenWidth,
                      std::int32_t screenHeight) {
  const auto snapWidth = [](std::int32_t w) {
    return (ClampStoredGeometry(w) - 5) / kCellPixels * kCellPixels + kScrollBarPixels;
  };
  clientWidth = std::clamp(snapWidth(clientWidth), 148, std::max(snapWidth(screenWidth), 148));
  clientHeight = std::clamp(ClampStoredGeometry(clientHeight), 128, std::max(ClampStoredGeometry(screenHeight), 128));
}

void DrawAnswerSlot(const AnswerView& view, TDibImage& back, std::int32_t s) {
  if (s < 0 || s >= kAnswerSlots) return;
  const Puzzle& p = view.puzzle;
  const std::int32_t k = p.Kaitou[static_cast<std::size_t>(s)];
  const std::int32_t cell = view.sheets.cell;
  const std::int32_t x = (s % 16) * cell, y = (s / 16) * cell;
  // A number no table holds (read from a file) shows as an empty position, not as stale pixels.
  if (k < 0 || k > 255) {
    CopyTile(back, x, y, view.sheets.ColorSheet, TileNormal, cell);
    return;
  }
  const bool marked = view.selectedSlot >= 0 && view.selectedSlot < kAnswerSlots &&
                      k == p.Kaitou[static_cast<std::size_t>(view.selectedSlot)];
  CopyTile(back, x, y, view.sheets.ColorSheet, marked ? TileMarked : TileNormal, cell);
  const std::int32_t ch = view.modes.answer() ? TableAt(p.AnserTbl, k) : TableAt(p.InputTbl, k);
  if (ch >= 0 && ch <= 255 && !TextAt(p.MojiTbl, ch).empty() && !view.modes.create()) {
    CopyGlyph(back, x, y, view.sheets.MojiSheet, view.sheets.MojiSheetCols, view.sheets.MojiSheetRows, ch, cell);
  } else {
    CopyGlyph(back, x, y, view.sheets.NumSheet, view.sheets.NumSheetCols, view.sheets.NumSheetRows, k, cell);
  }
}

void DrawSlots(const AnswerView& view, TDibImage& back) {
  if (!view.sheets.MojiSheet.allocated()) return;
  for (std::int32_t s = 0; s < kAnswerSlots; ++s) DrawAnswerSlot(view, back, s);
}

void DrawSlot(const AnswerView& view, TDibImage& back, std::int32_t c, std::int32_t r) {
  if (!view.sheets.MojiSheet.allocated()) return;
  const std::int64_t s = std::int64_t{r} * 16 + c;
  if (s >= 0 && s < kAnswerSlots) DrawAnswerSlot(view, back, static_cast<std::int32_t>(s));
}

void DrawSlotGroup(const AnswerView& view, TDibImage& back, std::int32_t c, std::int32_t r) {
  if (!view.sheets.MojiSheet.allocated()) return;
  const std::int64_t s0 = std::int64_t{r} * 16 + c;
  if (s0 < 0 || s0 >= kAnswerSlots) return;
  const std::int32_t k0 = view.puzzle.Kaitou[static_cast<std::size_t>(s0)];
  for (std::int32_t s = 0; s < kAnswerSlots; ++s) {
    const std::int32_t k = view.puzzle.Kaitou[static_cast<std::size_t>(s)];
    if (k >= 0 && k <= 255 && k == k0) DrawAnswerSlot(view, back, s);
  }
}

}  // namespace teku
