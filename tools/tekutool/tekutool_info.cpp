// tekutool info: a puzzle file as the program reads it, as one JSON object.
#include <cstdio>
#include <string>

#include "tools/tekutool/options.h"
#include "tools/tekutool/puzzle_json.h"
#include "tools/tekutool/puzzle_loading.h"

namespace tekutool {

namespace {

constexpr const char* kUsage = "info PUZZLE [--section NAME]";
constexpr const char* kSummary =
    "Prints the puzzle as the program reads it, as one JSON object.";

int RunInfo(const Args& args) {
  const ParsedArgs parsed = ParseArgs(args, {"--section"}, {});
  if (!parsed.error.empty() || parsed.positional.size() != 1) {
    return Fail(kExitUsage, (parsed.error.empty() ? "" : parsed.error + "; ") + "usage: tekutool " + kUsage);
  }
  LoadedPuzzle loaded;
  if (!LoadPuzzleAt(parsed.positional[0], parsed.value("--section", "TEKUCROSE"), loaded)) {
    return kExitFailure;
  }
  const std::string out = "{" + PuzzleJsonFields(loaded.puzzle, loaded.modes) + "}\n";
  std::fwrite(out.data(), 1, out.size(), stdout);
  return kExitOk;
}

const TekutoolCommand kInfo({"info", kUsage, kSummary, RunInfo});

}  // namespace

}  // namespace tekutool
