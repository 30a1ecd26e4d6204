#include "tools/tekutool/puzzle_loading.h"

#include <cstdio>

#include "tools/tekutool/options.h"

namespace tekutool {

bool LoadPuzzleAt(const std::string& path, const std::string& section, LoadedPuzzle& out,
                  const std::function<void()>& buildMojiSheet) {
  using teku::PuzzleFileStatus;
  const teku::ZIREDIZU ini(DirectoryOf(path), section);
  teku::PuzzleFileContext c{ini, out.puzzle, out.modes, buildMojiSheet};
  const PuzzleFileStatus status = teku::LoadPuzzleFile(c, BaseNameOf(path));
  if (status == PuzzleFileStatus::kPuzzle) return true;
  const char* why = status == PuzzleFileStatus::kMissing     ? "cannot read"
                    : status == PuzzleFileStatus::kNotPuzzle ? "not a puzzle file:"
                    : status == PuzzleFileStatus::kTooLarge  ? "too large (more than 4 MiB):"
                    : status == PuzzleFileStatus::kNoMemory  ? "out of memory reading"
                                                             : "cannot read";
  std::fprintf(stderr, "tekutool: %s %s\n", why, path.c_str());
  return false;
}

}  // namespace tekutool
