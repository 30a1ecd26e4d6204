// tekutool render: a puzzle's whole grid composed as the program composes it, written as BMP.
#include <QGuiApplication>
#include <cstdlib>
#include <string>

#include "app/grid_render.h"
#include "surface/dib_file.h"
#include "surface/image_loader.h"
#include "surface/qt_text_rasterizer.h"
#include "tools/tekutool/window_commands.h"
#include "tools/tekutool/options.h"
#include "tools/tekutool/puzzle_loading.h"

namespace tekutool {

namespace {

constexpr const char* kUsage = kRenderUsage;

// The program folder of the running tekutool, with the glyph sheets: its own folder, or the
// installed data folder.
std::string OwnFolder() { return teku::ProgramFoldersOf(teku::ZIREDIZU::RunningExecutable()).programDir; }

int RunRender(const Args& args) {
  const ParsedArgs parsed = ParseArgs(args, {"--mode", "--cursor", "--sheets", "--moji-sheet"}, {});
  if (!parsed.error.empty() || parsed.positional.size() != 2) {
    return Fail(kExitUsage, (parsed.error.empty() ? "" : parsed.error + "; ") + "usage: tekutool " + kUsage);
  }
  const std::string mode = parsed.value("--mode", "game");
  if (mode != "game" && mode != "answer" && mode != "create") {
    return Fail(kExitUsage, "--mode must be game, answer or create");
  }
  std::int32_t cursorX = teku::kNone, cursorY = teku::kNone;
  if (parsed.has("--cursor")) {
    const std::string v = parsed.value("--cursor");
    const std::size_t comma = v.find(',');
    if (comma == std::string::npos || !teku::ParseDecimal(v.substr(0, comma), cursorX) ||
        !teku::ParseDecimal(v.substr(comma + 1), cursorY)) {
      return Fail(kExitUsage, "--cursor takes X,Y");
    }
  }
  // Character glyphs need a font engine, which needs an application object (no display).
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  int argc = 1;
  char name[] = "tekutool";
  char* argv[] = {name, nullptr};
  QGuiApplication app(argc, argv);

  std::string sheetDir = parsed.value("--sheets", OwnFolder());
  if (!sheetDir.empty() && sheetDir.back() != '/') sheetDir += '/';
  teku::DibSurface surface;
  teku::GlyphSheets sheets;
  StderrMessages messages;
  teku::LoadImageFile(surface, sheetDir + "TEKUMOJI.BMP", sheets.MojiSheet, {}, &messages);
  teku::LoadImageFile(surface, sheetDir + "TEKUNUMB.BMP", sheets.NumSheet, {}, &messages);
  teku::LoadImageFile(surface, sheetDir + "TEKUCOLR.BMP", sheets.ColorSheet, {}, &messages);
  sheets.UpdateCounts();

  teku::QtTextRasterizer text;
  LoadedPuzzle loaded;
  if (!LoadPuzzleAt(parsed.positional[0], "TEKUCROSE", loaded, {})) return kExitFailure;
  teku::Puzzle& p = loaded.puzzle;
  teku::BuildMojiSheet(sheets, p.MojiTbl, text);
  if (mode == "answer") loaded.modes.play = teku::PlayMode::Answer;
  if (mode == "create") loaded.modes.play = teku::PlayMode::Create;
  // Game mode shows the input saved in the file; the other modes set it as their commands do.
  if (!loaded.modes.game()) p.SetInputForMode(loaded.modes.play);
  p.CursorX = cursorX;
  p.CursorY = cursorY;

  teku::TDibImage picture;
  if (!surface.CreateImage(p.GridWidth * teku::kCellPixels, p.GridHeight * teku::kCellPixels, picture)) {
    return Fail(kExitNoPicture, "the grid is too large for a picture");
  }
  if (!sheets.allocated()) return Fail(kExitNoPicture, "the glyph sheets in " + sheetDir + " did not load");
  teku::DrawGrid(teku::GridView{p, sheets, loaded.modes, 0, 0}, picture);
  if (!teku::SaveDibImage(picture, parsed.positional[1])) {
    return Fail(kExitFailure, "cannot write " + parsed.positional[1]);
  }
  if (parsed.has("--moji-sheet") && !teku::SaveDibImage(sheets.MojiSheet, parsed.value("--moji-sheet"))) {
    return Fail(kExitFailure, "cannot write " + parsed.value("--moji-sheet"));
  }
  return kExitOk;
}

const TekutoolCommand kRender({"render", kUsage, kRenderSummary, RunRender});

}  // namespace

}  // namespace tekutool
