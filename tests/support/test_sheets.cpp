// Readable glyph sheets for composition tests.
#include "support/test_sheets.h"

#include <map>

namespace teku::testing {

namespace {
void MakeGlyphSheet(DibSurface& s, TDibImage& sheet, std::uint8_t kind) {
  s.CreateImage(512, 512, sheet);
  ClearImage(sheet, kSheetKey);
  for (int g = 0; g < 256; ++g) {
    const int bx = (g % 16) * 32, by = (g / 16) * 32;
    FillImageRect(sheet, bx + 5, by + 5, 1, 1, kind);
    FillImageRect(sheet, bx + 6, by + 5, 1, 1, static_cast<std::uint8_t>(20 + g / 16));
    FillImageRect(sheet, bx + 7, by + 5, 1, 1, static_cast<std::uint8_t>(40 + g % 16));
  }
}

const std::map<std::uint8_t, std::string> kTileNames = {
    {10, "NoAnswer"}, {11, "Normal"}, {12, "Marked"}, {13, "Cursor"}, {14, "Fixed"}};
}  // namespace

void MakeReadableSheets(DibSurface& surface, GlyphSheets& sheets) {
  MakeGlyphSheet(surface, sheets.NumSheet, 100);
  MakeGlyphSheet(surface, sheets.MojiSheet, 101);
  surface.CreateImage(64, 192, sheets.ColorSheet);
  ClearImage(sheets.ColorSheet, 0);
  FillImageRect(sheets.ColorSheet, TileNoAnswer.x, TileNoAnswer.y, 32, 32, 10);
  FillImageRect(sheets.ColorSheet, TileNormal.x, TileNormal.y, 32, 32, 11);
  FillImageRect(sheets.ColorSheet, TileMarked.x, TileMarked.y, 32, 32, 12);
  FillImageRect(sheets.ColorSheet, TileCursor.x, TileCursor.y, 32, 32, 13);
  FillImageRect(sheets.ColorSheet, TileFixed.x, TileFixed.y, 32, 32, 14);
  sheets.UpdateCounts();
}

std::string DescribeBlock(TDibImage& image, int x, int y) {
  const std::uint8_t t = GetPixelNo(image, x, y);
  std::string out = kTileNames.count(t) ? kTileNames.at(t) : "raw" + std::to_string(t);
  const std::uint8_t kind = GetPixelNo(image, x + 5, y + 5);
  if (kind == 100 || kind == 101) {
    const int g = (GetPixelNo(image, x + 6, y + 5) - 20) * 16 + GetPixelNo(image, x + 7, y + 5) - 40;
    out += (kind == 100 ? " N" : " M") + std::to_string(g);
  }
  return out;
}

}  // namespace teku::testing
