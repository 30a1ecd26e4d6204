// tekutool export and import: a puzzle to an ipuz document and back.
#include <cstdio>
#include <fstream>
#include <string>

#include "export/ipuz.h"
#include "services/profile_file.h"
#include "services/regular_file.h"
#include "tools/tekutool/options.h"
#include "tools/tekutool/puzzle_loading.h"

namespace tekutool {

namespace {

constexpr const char* kExportUsage = "export PUZZLE OUT.ipuz [--section NAME] [--no-solution]";
constexpr const char* kImportUsage = "import IN.ipuz OUT.CRS [--section NAME]";
// An ipuz of the largest puzzle with every clue is far below this.
constexpr std::int64_t kIpuzMax = 16 << 20;

int RunExport(const Args& args) {
  const ParsedArgs parsed = ParseArgs(args, {"--section"}, {"--no-solution"});
  if (!parsed.error.empty() || parsed.positional.size() != 2) {
    return Fail(kExitUsage, (parsed.error.empty() ? "" : parsed.error + "; ") + "usage: tekutool " + kExportUsage);
  }
  LoadedPuzzle loaded;
  if (!LoadPuzzleAt(parsed.positional[0], parsed.value("--section", "TEKUCROSE"), loaded)) return kExitFailure;
  const std::string text = teku::WriteIpuz(loaded.puzzle, loaded.modes.kind, !parsed.has("--no-solution"));
  std::ofstream out(parsed.positional[1], std::ios::binary | std::ios::trunc);
  out << text;
  out.close();
  if (!out) return Fail(kExitFailure, "cannot write " + parsed.positional[1]);
  return kExitOk;
}

int RunImport(const Args& args) {
  const ParsedArgs parsed = ParseArgs(args, {"--section"}, {});
  if (!parsed.error.empty() || parsed.positional.size() != 2) {
    return Fail(kExitUsage, (parsed.error.empty() ? "" : parsed.error + "; ") + "usage: tekutool " + kImportUsage);
  }
  std::string document;
  if (teku::ReadRegularFile(parsed.positional[0], kIpuzMax, document) != teku::FileRead::kOk) {
    return Fail(kExitFailure, "cannot read " + parsed.positional[0]);
  }
  LoadedPuzzle loaded;
  std::string error;
  if (!teku::ReadIpuz(document, loaded.puzzle, loaded.modes.kind, error)) {
    return Fail(kExitFailure, parsed.positional[0] + ": " + error);
  }
  loaded.modes.play = teku::PlayMode::Answer;
  const std::string& out = parsed.positional[1];
  const teku::ZIREDIZU ini(DirectoryOf(out), parsed.value("--section", "TEKUCROSE"));
  teku::PuzzleFileContext c{ini, loaded.puzzle, loaded.modes, {}};
  try {
    teku::SavePuzzle(c, BaseNameOf(out));
    teku::SaveInput(c, BaseNameOf(out));
  } catch (const teku::ProfileWriteError& e) {
    return Fail(kExitFailure, e.what());
  }
  return kExitOk;
}

const TekutoolCommand kExport({"export", kExportUsage,
                               "Writes the puzzle as an ipuz document other crossword programs open.", RunExport});
const TekutoolCommand kImport({"import", kImportUsage,
                               "Reads an ipuz crossword and saves it as a puzzle file.", RunImport});

}  // namespace

}  // namespace tekutool
