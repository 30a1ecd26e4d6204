#include "tools/tekutool/puzzle_loading.h"

#include <cstdio>
#include <fstream>

#include "tools/tekutool/options.h"

namespace tekutool {

bool LoadPuzzleAt(const std::string& path, const std::string& section, LoadedPuzzle& out,
                  const std::function<void()>& buildMojiSheet) {
  std::ifstream probe(path, std::ios::binary);
  if (!probe) {
    std::fprintf(stderr, "tekutool: cannot read %s\n", path.c_str());
    return false;
  }
  const teku::ZIREDIZU ini(DirectoryOf(path), section);
  teku::PuzzleFileContext c{ini, out.puzzle, out.modes, buildMojiSheet};
  teku::LoadPuzzleFile(c, BaseNameOf(path));
  return true;
}

}  // namespace tekutool
