// Puzzle files of any content load cleanly into the model, and every size and table stays in
// its bounds; the loaded puzzle then composes without reading outside anything.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

#include "app/grid_render.h"
#include "app/puzzle_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace teku;
  static const std::string dir = [] {
    char tmpl[] = "/tmp/teku-fuzz-puzzle-XXXXXX";
    const char* made = ::mkdtemp(tmpl);
    return std::string(made != nullptr ? made : "/tmp") + "/";
  }();
  {
    std::FILE* f = std::fopen((dir + "F.CRS").c_str(), "wb");
    if (f == nullptr) return 0;
    std::fwrite("[TEKUCROSE]\r\n", 1, 13, f);
    std::fwrite(data, 1, size, f);
    std::fclose(f);
  }
  const ZIREDIZU ini(dir, "TEKUCROSE");
  Puzzle p;
  ModeState m;
  PuzzleFileContext c{ini, p, m, {}};
  LoadPuzzleFile(c, "F.CRS");
  if (p.GridWidth < 1 || p.GridWidth > 256 || p.GridHeight < 1 || p.GridHeight > 240) __builtin_trap();
  if (p.MojiTbl.size() != 256 || p.HintTate.size() != 256 || p.HintYoko.size() != 256) __builtin_trap();
  DibSurface s;
  GlyphSheets sheets;
  s.CreateImage(512, 512, sheets.MojiSheet);
  s.CreateImage(512, 512, sheets.NumSheet);
  s.CreateImage(64, 192, sheets.ColorSheet);
  sheets.UpdateCounts();
  TDibImage back;
  s.CreateImage(448, 320, back);
  for (PlayMode play : {PlayMode::Game, PlayMode::Answer, PlayMode::Create}) {
    m.play = play;
    DrawGrid(GridView{p, sheets, m, 0, 0}, back);
  }
  return 0;
}
