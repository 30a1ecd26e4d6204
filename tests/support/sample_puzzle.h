// A shipped sample puzzle, loaded from the built program folder for a core test.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "app/puzzle_file.h"

namespace teku::testing {

struct LoadedPuzzle {
  Puzzle puzzle;
  ModeState modes;
};

inline void LoadSample(const char* name, LoadedPuzzle& out) {
  const ZIREDIZU ini(std::string(TEKU_PROGRAM_DIR) + "/", "TEKUCROSE");
  PuzzleFileContext c{ini, out.puzzle, out.modes, {}};
  ASSERT_EQ(LoadPuzzleFile(c, name), PuzzleFileStatus::kPuzzle) << name;
}

}  // namespace teku::testing
