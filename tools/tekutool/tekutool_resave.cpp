// tekutool resave: reads a puzzle and saves it again as the program's full save does.
#include <string>

#include "services/profile_file.h"
#include "tools/tekutool/options.h"
#include "tools/tekutool/puzzle_loading.h"

namespace tekutool {

namespace {

constexpr const char* kUsage = "resave IN OUT [--section NAME] [--input]";
constexpr const char* kSummary =
    "Reads a puzzle and writes it again as the program's save does (--input: the player's input too).";

int RunResave(const Args& args) {
  const ParsedArgs parsed = ParseArgs(args, {"--section"}, {"--input"});
  if (!parsed.error.empty() || parsed.positional.size() != 2) {
    return Fail(kExitUsage, (parsed.error.empty() ? "" : parsed.error + "; ") + "usage: tekutool " + kUsage);
  }
  const std::string section = parsed.value("--section", "TEKUCROSE");
  LoadedPuzzle loaded;
  if (!LoadPuzzleAt(parsed.positional[0], section, loaded)) return kExitFailure;
  const std::string& out = parsed.positional[1];
  const teku::ZIREDIZU ini(DirectoryOf(out), section);
  teku::PuzzleFileContext c{ini, loaded.puzzle, loaded.modes, {}};
  try {
    teku::SavePuzzle(c, BaseNameOf(out));
    if (parsed.has("--input")) teku::SaveInput(c, BaseNameOf(out));
  } catch (const teku::ProfileWriteError& e) {
    return Fail(kExitFailure, e.what());
  }
  return kExitOk;
}

const TekutoolCommand kResave({"resave", kUsage, kSummary, RunResave});

}  // namespace

}  // namespace tekutool
