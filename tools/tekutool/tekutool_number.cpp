// tekutool number: numbers a puzzle written as letters, as the program's 番号を振る does, and
// saves the result.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "services/cp932.h"
#include "services/profile_file.h"
#include "tools/tekutool/options.h"
#include "tools/tekutool/puzzle_loading.h"
#include "workbench/letter_grid.h"

namespace tekutool {

namespace {

constexpr const char* kUsage = "number PUZZLE OUT [--shuffle SEED] [--fold-small] [--section NAME]";
constexpr const char* kSummary =
    "Gives each character of the grid one number, in reading order or shuffled by SEED "
    "(--fold-small: small kana count as large), and saves the puzzle as OUT.";

int RunNumber(const Args& args) {
  const ParsedArgs parsed = ParseArgs(args, {"--section", "--shuffle"}, {"--fold-small"});
  if (!parsed.error.empty() || parsed.positional.size() != 2) {
    return Fail(kExitUsage, (parsed.error.empty() ? "" : parsed.error + "; ") + "usage: tekutool " + kUsage);
  }
  teku::NumberingOptions options;
  options.foldSmallKana = parsed.has("--fold-small");
  if (parsed.has("--shuffle")) {
    const std::string text = parsed.value("--shuffle");
    char* end = nullptr;
    errno = 0;
    options.seed = std::strtoull(text.c_str(), &end, 10);
    if (text.empty() || text[0] == '-' || *end != '\0' || errno != 0) {
      return Fail(kExitUsage, "--shuffle takes a whole number, not '" + text + "'");
    }
    options.shuffle = true;
  }
  const std::string section = parsed.value("--section", "TEKUCROSE");
  LoadedPuzzle loaded;
  if (!LoadPuzzleAt(parsed.positional[0], section, loaded)) return kExitFailure;
  const teku::NumberingResult result = teku::NumberLetters(loaded.puzzle, options);
  if (!result.ok()) return Fail(kExitFailure, teku::Cp932ToUtf8(teku::NumberingProblemText(result)));

  const std::string& out = parsed.positional[1];
  const teku::ZIREDIZU ini(DirectoryOf(out), section);
  teku::PuzzleFileContext c{ini, loaded.puzzle, loaded.modes, {}};
  try {
    teku::SavePuzzle(c, BaseNameOf(out));
  } catch (const teku::ProfileWriteError& e) {
    return Fail(kExitFailure, e.what());
  }
  std::printf("%d\n", result.characters);
  return kExitOk;
}

const TekutoolCommand kNumber({"number", kUsage, kSummary, RunNumber});

}  // namespace

}  // namespace tekutool
