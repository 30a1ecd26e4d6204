// The search for the ways to fill a number-crossword: characters for its numbers, one character
// per number and a different one for each, such that every slot reads as a word of the list.
#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <vector>

#include "workbench/word_list.h"

namespace teku {

struct SolverGrid {
  // The numbers (1..254) of each slot's cells, first cell first.
  std::vector<std::vector<std::uint8_t>> runs;
  // number -> the code it must take (a given cell); 0 leaves the number open.
  std::array<std::uint8_t, 256> given{};
};

using Assignment = std::array<std::uint8_t, 256>;  // number -> code; 0 for numbers in no slot

struct SolverProgress {
  std::uint64_t nodes = 0;
  double fraction = 0;  // of the search space passed over, 0..1 (a rough guide)
};

struct SolverLimits {
  std::chrono::steady_clock::duration timeLimit{};  // zero: no limit
  // The candidate lists and what undoes their changes never take more than this.
  std::size_t memoryLimit = std::size_t{256} << 20;
  std::function<void(const SolverProgress&)> progress;  // called a few times a second
  const std::atomic<bool>* cancel = nullptr;
};

enum class SolveStatus {
  kNoSolution,
  kUnique,
  kSeveral,    // two found; the search stops there
  kCancelled,
  kTimedOut,
  kTooLarge,   // the memory limit was reached
};

struct SolveResult {
  SolveStatus status = SolveStatus::kNoSolution;
  std::vector<Assignment> solutions;  // at most two, in the order found
  // With no solution: the slot that cannot be filled (the one that ran out of words before
  // any other, or most often in the search); -1 otherwise.
  int blockedSlot = -1;
  std::uint64_t nodes = 0;
};

// Stops after the second solution. Numbers that lie in no slot are left out of the assignments.
SolveResult Solve(const SolverGrid& grid, const WordList& words, const SolverLimits& limits = {});

}  // namespace teku
