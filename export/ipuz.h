// Puzzles as ipuz documents (JSON, UTF-8), the exchange format of other crossword programs: a
// crossword as the ipuz crossword kind, a number-crossword as a coded crossword of our own kind.
#pragma once

#include <string>

#include "app/modes.h"
#include "app/puzzle_model.h"

namespace teku {

// The kind URI that marks a number-crossword (added to the crossword kind).
inline constexpr const char* kIpuzCodedKind = "https://tekucros.invalid/ipuz/coded#1";

// The puzzle as an ipuz document. Without the solution no letters of answers are written (given
// cells keep theirs), so the puzzle cannot be checked elsewhere. Keys of our own
// ("tekucros:...") carry what ipuz has no place for, so that reading the document back gives the
// puzzle unchanged.
std::string WriteIpuz(Puzzle& puzzle, PuzzleKind kind, bool withSolution);

// Reads an ipuz document into `puzzle` (reset first) and `kind`. A document that is not JSON, not
// a crossword, or asks for what a puzzle here cannot hold gives false and a message in Japanese
// (UTF-8); the puzzle is then left reset.
bool ReadIpuz(const std::string& document, Puzzle& puzzle, PuzzleKind& kind, std::string& error);

}  // namespace teku
