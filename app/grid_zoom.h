// Zoom: the steps, the cell sizes they give on screens of any pixel density, pixels mapped back
// to the 32-pixel cells the click rules count in, and the glyph sheets at a larger cell size:
// tiles and number glyphs scaled by whole pixels, characters rendered anew at the new size.
#pragma once

#include <array>
#include <cstdint>

#include "app/grid_render.h"

namespace teku {

inline constexpr std::array<std::int32_t, 5> kZoomSteps = {100, 150, 200, 300, 400};

// The step a stored or asked-for percentage stands for: itself when it is a step, else 100.
std::int32_t ZoomStep(std::int32_t percent);
// The next larger and smaller step; the largest and the smallest stay.
std::int32_t ZoomIn(std::int32_t percent);
std::int32_t ZoomOut(std::int32_t percent);

// A cell's side in the window's own (logical) pixels at a zoom step: 32, 48, 64, 96, 128.
std::int32_t LogicalCell(std::int32_t percent);
// A cell's side in device pixels: the logical side times the screen's pixel ratio, rounded, so
// that every cell edge falls on a whole device pixel.
std::int32_t DeviceCell(std::int32_t percent, double devicePixelRatio);

// A pixel of a picture whose cells are `cell` pixels, as the pixel of the 32-pixel grid that lies
// in the same cell (negative pixels stay negative).
std::int32_t ToBasePixels(std::int32_t pixel, std::int32_t cell);

// `out` becomes `source` enlarged by cell / 32, each pixel taking the source pixel it covers, so
// a source pixel becomes whole pixels and nothing is blended. False when it cannot be allocated.
bool ScaleToCell(const DibSurface& surface, TDibImage& source, std::int32_t cell, TDibImage& out);

// Sheets for cells of `cell` pixels: the colour and number sheets of `base` scaled, the character
// sheet rendered from the table at that size. `text` draws characters in the chosen font.
bool BuildSheetsForCell(const DibSurface& surface, GlyphSheets& base, std::int32_t cell,
                        const TextList& mojiTbl, TextRasterizer& text, GlyphSheets& out);

}  // namespace teku
