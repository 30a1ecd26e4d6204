// tekutool render: a puzzle's whole grid composed as the program composes it, written as BMP;
// or the puzzle's printed pages as PDF, PNG or SVG.
#include <QGuiApplication>
#include <cstdlib>
#include <string>

#include "app/grid_render.h"
#include "export/page_painter.h"
#include "surface/qt_cp932.h"
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

// The extension of a path, lower-cased, without its dot.
std::string ExtensionOf(const std::string& path) {
  const std::size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || path.find('/', dot) != std::string::npos) return "";
  std::string ext = path.substr(dot + 1);
  for (char& c : ext) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
  return ext;
}

void StartFontEngine() {
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
}

int RenderPages(const Args& args, const std::string& ext) {
  const ParsedArgs parsed = ParseArgs(args, {"--paper", "--dpi"}, {"--solution", "--landscape", "--large"});
  if (!parsed.error.empty() || parsed.positional.size() != 2) {
    return Fail(kExitUsage, (parsed.error.empty() ? "" : parsed.error + "; ") + "usage: tekutool " + kUsage);
  }
  teku::PageOptions options;
  const std::string paper = parsed.value("--paper", "A4");
  if (paper != "A4" && paper != "B5" && paper != "a4" && paper != "b5") return Fail(kExitUsage, "--paper must be A4 or B5");
  options.paper = paper == "B5" || paper == "b5" ? teku::Paper::B5 : teku::Paper::A4;
  options.landscape = parsed.has("--landscape");
  options.large = parsed.has("--large");
  options.solution = parsed.has("--solution");
  std::int32_t dpi = 150;
  if (parsed.has("--dpi") && (!teku::ParseDecimal(parsed.value("--dpi"), dpi) || dpi < 36 || dpi > 1200)) {
    return Fail(kExitUsage, "--dpi takes 36 to 1200");
  }
  StartFontEngine();
  int argc = 1;
  char name[] = "tekutool";
  char* argv[] = {name, nullptr};
  QGuiApplication app(argc, argv);

  LoadedPuzzle loaded;
  if (!LoadPuzzleAt(parsed.positional[0], "TEKUCROSE", loaded, {})) return kExitFailure;
  const teku::PageDocument doc = teku::LayOutPuzzle(loaded.puzzle, loaded.modes.kind, options);
  const QString title = teku::Cp932ToQString(loaded.puzzle.Title);
  const std::string& out = parsed.positional[1];
  QString error;
  const bool ok = ext == "pdf"   ? teku::WritePdf(doc, out, title, error)
                  : ext == "svg" ? teku::WriteSvg(doc, out, title, error)
                                 : teku::WritePng(doc, out, dpi, error);
  if (!ok) return Fail(kExitFailure, error.toStdString());
  return kExitOk;
}

int RunRender(const Args& args) {
  for (std::size_t i = 0, seen = 0; i < args.size(); ++i) {
    if (!args[i].empty() && args[i][0] == '-') {
      if (args[i] == "--mode" || args[i] == "--cursor" || args[i] == "--sheets" || args[i] == "--moji-sheet" ||
          args[i] == "--paper" || args[i] == "--dpi") {
        ++i;
      }
      continue;
    }
    if (++seen == 2) {
      const std::string ext = ExtensionOf(args[i]);
      if (ext == "pdf" || ext == "png" || ext == "svg") return RenderPages(args, ext);
    }
  }
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
  StartFontEngine();
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
