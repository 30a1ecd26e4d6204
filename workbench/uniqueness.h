// Whether a number-crossword can be filled only one way with the words in use, where it can be
// filled otherwise, and which given cells would settle it. The grid comes as numbers with their
// answers; the puzzle's own words always count as words.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "app/word_slots.h"
#include "workbench/solver.h"
#include "workbench/word_list.h"

namespace teku {

class Puzzle;

struct NumberGrid {
  std::int32_t width = 0, height = 0;
  std::vector<std::uint8_t> cells;         // row-major
  std::array<std::string, 256> answer{};   // number -> its character (UTF-8); empty when unset
  std::vector<std::int32_t> givens;        // linear indexes of the given cells
};

// The puzzle's grid, answers (through its answer and character tables) and given cells.
NumberGrid NumberGridOf(Puzzle& puzzle);

struct SlotChange {
  int slot = 0;
  std::string first, second;  // the slot's word in the first and the second solution (UTF-8)
};

struct UniquenessReport {
  SolveStatus status = SolveStatus::kNoSolution;
  std::string problem;  // not empty: the grid cannot be checked at all (and why)
  std::vector<WordSlot> wordSlots;
  int blockedSlot = -1;
  // With two solutions: each number's character in either, the numbers that differ (ascending)
  // and the slots whose words change.
  std::array<std::string, 256> first{}, second{};
  std::vector<std::uint8_t> differing;
  std::vector<SlotChange> changes;
  std::uint64_t nodes = 0;
  double seconds = 0;
};

struct SuggestedGiven {
  std::int32_t cell = 0;  // linear index
  std::uint8_t number = 0;
  std::string character;  // UTF-8
};

struct Suggestion {
  std::vector<SuggestedGiven> added;  // in the order they were proved to be needed
  UniquenessReport report;            // the check with them added
  // Why it stopped short of a unique puzzle, when it did (empty otherwise).
  std::string shortfall;
};

inline constexpr std::size_t kMaxGivenCells = 32;

class PuzzleSolver {
 public:
  // `words` gains the puzzle's own words and is used by every check of this object.
  PuzzleSolver(NumberGrid grid, WordList& words);

  UniquenessReport Check(const SolverLimits& limits = {}) const;
  // Adds given cells one at a time (a number that differs between the two solutions found,
  // the one with the fewest cells first), proving the puzzle again after each, then drops
  // those the others make unnecessary.
  Suggestion Suggest(const SolverLimits& limits = {}) const;

 private:
  UniquenessReport CheckWith(const std::vector<std::int32_t>& givens, const SolverLimits& limits) const;
  std::string Text(std::uint8_t code) const;

  NumberGrid grid_;
  WordList& words_;
  std::vector<WordSlot> slots_;
  std::array<std::uint8_t, 256> answerCode_{};
  std::vector<std::string> puzzleCharacters_;  // code - kFirstPuzzleCode -> text
  std::string problem_;
};

// Where a slot lies, for a person: "ヨコ 3行2列から5文字".
std::string DescribeSlot(const WordSlot& slot);
// The outcome in a few Japanese sentences (UTF-8), stating that it holds for the words in use.
std::string DescribeReport(const UniquenessReport& report);

}  // namespace teku
