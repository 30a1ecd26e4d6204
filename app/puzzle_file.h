// Puzzle files (*.CRS): every key, its default and the order of reads and writes. The files lie
// in the program folder; each operation takes a bare file name.
#pragma once

#include <functional>
#include <string>

#include "app/modes.h"
#include "app/puzzle_model.h"
#include "services/ziredizu.h"

namespace teku {

// What a load needs besides the puzzle: the mode marks it sets and the character sheet rebuild.
struct PuzzleFileContext {
  const ZIREDIZU& ini;
  Puzzle& puzzle;
  ModeState& modes;
  std::function<void()> buildMojiSheet;
};

// Reads a number list the way the program always has: items split at ',', an empty or
// malformed item gives the default, and a key with fewer items repeats its last one.
class NumberListReader {
 public:
  NumberListReader(std::string text, std::int32_t defaultValue)
      : rest_(std::move(text)), default_(defaultValue) {}
  std::int32_t Next();
  bool empty() const { return rest_.empty(); }

 private:
  std::string rest_;
  std::int32_t default_;
};

// A decimal integer (optional sign, leading blanks allowed), or nothing.
bool ParseDecimal(const std::string& text, std::int32_t& value);
std::string JoinNumbers(const std::int32_t* values, std::size_t count);

// ResetInput, the INPUTTBL keys, then LoadPuzzle. Always true.
bool LoadPuzzleFile(PuzzleFileContext& c, const std::string& name);
// ResetPuzzle, then every key but INPUTTBL; the puzzle ends in game mode. Always true.
bool LoadPuzzle(PuzzleFileContext& c, const std::string& name);
// Every key but INPUTTBL. Throws ProfileWriteError; the keys written before stay written.
void SavePuzzle(PuzzleFileContext& c, const std::string& name);
// The INPUTTBL keys only.
void SaveInput(PuzzleFileContext& c, const std::string& name);
// The MOJITBL keys only.
void LoadCharTableOnly(PuzzleFileContext& c, const std::string& name);

}  // namespace teku
