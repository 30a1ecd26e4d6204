// Puzzle files (*.CRS): every key, its default and the order of reads and writes. Each operation
// takes the puzzle's name: a bare file name lies in the program folder, a path anywhere.
#pragma once

#include <functional>
#include <string>

#include "app/modes.h"
#include "app/puzzle_model.h"
#include "services/profile_file.h"
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

// What a puzzle file turned out to be when it was read.
enum class PuzzleFileStatus {
  kPuzzle,      // profile text: read (keys of another program's section read as missing)
  kMissing,     // no such file (or no name): the empty puzzle, as written
  kNotPuzzle,   // a picture or other binary, UTF-16, text without a section line, a FIFO ...
  kTooLarge,    // more than kProfileFileMax bytes
  kUnreadable,  // this user may not read it, or a read failed part way
  kNoMemory,
};
// True when the file was read, or there was none: the load replaced the puzzle.
inline bool Loaded(PuzzleFileStatus s) { return s == PuzzleFileStatus::kPuzzle || s == PuzzleFileStatus::kMissing; }
PuzzleFileStatus PuzzleStatusOf(ProfileFileState state);

// What the file is, read without loading it.
PuzzleFileStatus CheckPuzzleFile(const PuzzleFileContext& c, const std::string& name);
// ResetInput, the INPUTTBL keys, then what LoadPuzzle does. When the file cannot be loaded
// nothing changes (not even the mode marks) and the status says why.
PuzzleFileStatus LoadPuzzleFile(PuzzleFileContext& c, const std::string& name);
// ResetPuzzle, then every key but INPUTTBL; the puzzle ends in game mode. As above on failure.
PuzzleFileStatus LoadPuzzle(PuzzleFileContext& c, const std::string& name);
// Every key but INPUTTBL. Throws ProfileWriteError; the keys written before stay written.
// A file that is not a puzzle is replaced only with kReplace (the user was asked).
void SavePuzzle(PuzzleFileContext& c, const std::string& name, ForeignFile foreign = ForeignFile::kKeep);
// The INPUTTBL keys only.
void SaveInput(PuzzleFileContext& c, const std::string& name, ForeignFile foreign = ForeignFile::kKeep);
// The MOJITBL keys only; the table stays as it was when the file cannot be loaded.
PuzzleFileStatus LoadCharTableOnly(PuzzleFileContext& c, const std::string& name);

}  // namespace teku
