// Undo and redo: a step is what one user action changed in the puzzle (each changed cell, table
// entry, text and setting with its value before and after), found by comparing the puzzle before
// and after the action; a history keeps the steps of one side of the work and its saved point.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "app/modes.h"
#include "app/puzzle_model.h"

namespace teku {

// What a step compares: everything a save writes, and the puzzle kind.
struct PuzzleState {
  Puzzle::Snapshot snapshot;
  PuzzleKind kind = PuzzleKind::Nankuro;
};
PuzzleState CaptureState(Puzzle& puzzle, PuzzleKind kind);

enum class StepField : std::uint8_t {
  Cell,  // index: linear cell index in a grid of `width` columns
  Kaitou, Syoki, Anser, Input, Hint,  // index: table entry
  Moji, Tate, Yoko,                   // index: list entry (text)
  MojiCount, TateCount, YokoCount,    // how many entries a list holds
  Width, Height, Title, Password, Kind,
  Cells,  // the whole grid, rows of `width` bytes in the texts (only with a new size)
};

struct StepChange {
  StepField field = StepField::Cell;
  std::int32_t index = 0;
  std::int32_t before = 0, after = 0;
  std::string textBefore, textAfter;
};

struct UndoStep {
  std::vector<StepChange> changes;
  std::int32_t width = 0;  // the grid's columns, to place Cell changes
  // The cell the action worked on, where the cursor goes when the step is undone or redone.
  std::int32_t cursorX = kNone, cursorY = kNone;
  // Steps with the same key that follow one another become one (0: never merged).
  std::uint64_t mergeKey = 0;

  bool empty() const { return changes.empty(); }
  std::size_t Bytes() const;
};

// The differences from `before` to `after`, split: the player's input goes to `play`, the rest
// of the puzzle to `author`.
void DiffStates(const PuzzleState& before, const PuzzleState& after, UndoStep& play, UndoStep& author);

// Puts the puzzle (and `kind`) back to the state before the step (undo) or after it (redo).
void ApplyStep(Puzzle& puzzle, PuzzleKind& kind, const UndoStep& step, bool undo);

// A field that one of the steps changes.
bool StepTouches(const UndoStep& step, StepField field);

class UndoHistory {
 public:
  // At least `maxSteps` steps are kept unless they take more than `maxBytes`; the oldest go first.
  explicit UndoHistory(std::size_t maxSteps = 4096, std::size_t maxBytes = std::size_t{32} << 20);

  // A new step drops what could be redone. It merges into the step before when both carry the
  // same non-zero key and the state between them is not the saved one.
  void Push(UndoStep step);
  bool CanUndo() const { return index_ > 0; }
  bool CanRedo() const { return index_ < steps_.size(); }
  // The step to apply backward (undo) or forward (redo); nullptr when there is none.
  const UndoStep* Undo();
  const UndoStep* Redo();

  // A new history whose present state is the saved one (after an open, a save question...).
  void Reset();
  // A new history that keeps whether the present state is saved: a change made before it and
  // not yet saved stays unsaved.
  void Clear();
  void MarkSaved() { saved_ = static_cast<std::int64_t>(index_); }
  bool AtSaved() const { return saved_ == static_cast<std::int64_t>(index_); }

  std::size_t size() const { return steps_.size(); }
  std::size_t bytes() const { return bytes_; }

 private:
  void Trim();

  std::deque<UndoStep> steps_;
  std::size_t index_ = 0;   // steps applied
  std::int64_t saved_ = 0;  // steps applied at the saved state; -1 when it cannot be reached
  std::size_t bytes_ = 0;
  std::size_t maxSteps_, maxBytes_;
};

}  // namespace teku
