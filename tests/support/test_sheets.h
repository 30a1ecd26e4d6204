// Glyph sheets whose blocks can be read back: tiles are solid, distinct colours and every glyph
// writes its sheet and number into three pixels, so a test can say what a block shows.
#pragma once

#include <string>

#include "app/grid_render.h"

namespace teku::testing {

inline constexpr std::uint8_t kSheetKey = 253;

// Number sheet (kind 100) and character sheet (kind 101), 512 x 512, and the colour sheet.
void MakeReadableSheets(DibSurface& surface, GlyphSheets& sheets);

// What the block with top-left (x, y) shows: "<tile>", "<tile> N<g>" or "<tile> M<g>"; a
// pixel that is no tile shows as "raw<index>".
std::string DescribeBlock(TDibImage& image, int x, int y);

}  // namespace teku::testing
