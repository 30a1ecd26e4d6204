// Writing a puzzle as letters and numbering it afterwards: a cell takes a character, the
// number that stands for it is found or made, and "番号を振る" gives the characters the numbers
// 1..N in reading order or shuffled.
#pragma once

#include <cstdint>
#include <string>

namespace teku {

class Puzzle;

// Writes `character` (code page 932, one character) into cell (x, y): the cell takes the number
// whose answer is that character, or a free number whose answer becomes it (the character going
// into the table's first empty entry when the table lacks it). A number that no cell carries
// any more loses its answer, so letters written over one another leave nothing behind.
// False, with nothing changed, when the cell is outside the grid or no number or table entry
// is free.
bool PutLetter(Puzzle& puzzle, std::int32_t x, std::int32_t y, const std::string& character);
// Empties cell (x, y) (255), as above.
bool ClearLetter(Puzzle& puzzle, std::int32_t x, std::int32_t y);
// The table entry (1..254) of `character`: where the table has it, else the first empty entry
// no number points at, which then takes it. kNone when the table is full.
std::int32_t TableEntryFor(Puzzle& puzzle, const std::string& character);
// The marks typed for a blocked cell while writing letters: # ＃ ■.
bool IsBlockMark(const std::string& character);

// Small kana as magazines print them: ッ as ツ, ゃ as や, ｯ as ﾂ; any other character unchanged.
std::string FoldSmallKana(const std::string& character);

struct NumberingOptions {
  bool shuffle = false;    // false: numbers in reading order of each character's first cell
  std::uint64_t seed = 1;  // the shuffle's seed: the same seed gives the same numbers
  bool foldSmallKana = false;
};

enum class NumberingProblem {
  None,
  NoCharacter,     // a cell's number has no character (`x`, `y` say which cell)
  TableFull,       // no empty entry left in the character table
};

struct NumberingResult {
  NumberingProblem problem = NumberingProblem::None;
  std::int32_t characters = 0;   // N: the numbers 1..N are in use
  std::int32_t x = -1, y = -1;
  std::int32_t answerSlotsCleared = 0;  // answer-word positions whose character left the grid
  bool ok() const { return problem == NumberingProblem::None; }
};

// Every distinct character of the grid gets one number 1..N and every cell of it carries that
// number; AnserTbl holds them and nothing else. Characters keep their table entries, so that
// numbering a numbered puzzle again keeps its table's order; a new character goes into the
// first empty entry. The answer word follows its characters to their new numbers. On failure
// nothing changes.
NumberingResult NumberLetters(Puzzle& puzzle, const NumberingOptions& options);
// The failure for people, in code page 932.
std::string NumberingProblemText(const NumberingResult& result);

}  // namespace teku
