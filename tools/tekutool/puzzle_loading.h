// Loading a puzzle for the subcommands: the puzzle's own folder acts as the program folder.
#pragma once

#include <string>

#include "app/puzzle_file.h"

namespace tekutool {

struct LoadedPuzzle {
  teku::Puzzle puzzle;
  teku::ModeState modes;
};

// LoadPuzzleFile of PATH's file name in PATH's folder, under `section`. False (with a message on
// stderr) when there is no such file or it is not a puzzle that can be read.
bool LoadPuzzleAt(const std::string& path, const std::string& section, LoadedPuzzle& out,
                  const std::function<void()>& buildMojiSheet = {});

}  // namespace tekutool
