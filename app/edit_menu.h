// The 編集 menu of the main window: undo and redo over the player's and the author's histories,
// and EditStep, which every click, key, panel, dialog and command that changes the puzzle wraps
// around its change so that it becomes one step. `Modified` follows the histories' saved points.
#pragma once

#include <QObject>
#include <cstdint>

#include "app/undo_history.h"

class QAction;

namespace teku {

class TForm1;

// Keys that join consecutive steps of one typing into one.
inline constexpr std::uint64_t kMergeTitle = 1;
inline constexpr std::uint64_t kMergePassword = 2;
inline std::uint64_t TypedNumberMergeKey(std::uint32_t run) { return (std::uint64_t{1} << 32) | run; }

class EditMenu final : public QObject {
  Q_OBJECT

 public:
  // Adds the menu 編集 after ﾌｧｲﾙ with 元に戻す (Ctrl+Z) and やり直す (Ctrl+Y, Ctrl+Shift+Z).
  explicit EditMenu(TForm1& form);

  UndoHistory play;    // the player's input
  UndoHistory author;  // everything else of the puzzle
  // Undo and redo work on the player's history in game mode and on the author's otherwise.
  UndoHistory& Current();

  void Undo();
  void Redo();
  // Open, "初めから" and a new size: both histories start anew, the present state saved.
  void Reset();
  void MarkSaved();

  QAction* undoAction = nullptr;
  QAction* redoAction = nullptr;

  // Puts the changed-content mark (*) in front of the caption shown while Modified is set.
  void ShowMark();

 signals:
  // After every step, undo, redo, open and save: what watches the puzzle looks again.
  void changed();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  friend class EditStep;
  void Step(bool undo);
  void Record(const PuzzleState& before, std::uint64_t mergeKey, std::int32_t cursorX, std::int32_t cursorY);
  // The menu items' enabled state.
  void Update();
  // Modified from the saved points, then the items and the mark.
  void Settle();

  TForm1& form_;
  int depth_ = 0;
};

// Records what changes to the puzzle between its construction and its end as one step. Nested
// steps (a dialog storing its text inside a click) belong to the outermost one.
class EditStep {
 public:
  explicit EditStep(TForm1& form, std::uint64_t mergeKey = 0);
  ~EditStep();
  EditStep(const EditStep&) = delete;
  EditStep& operator=(const EditStep&) = delete;
  // The cell the step is about, where undo puts the cursor (by default the cursor at the end).
  void At(std::int32_t x, std::int32_t y) { x_ = x, y_ = y, at_ = true; }
  // The merge key, when it is known only after the change.
  void Join(std::uint64_t mergeKey) { mergeKey_ = mergeKey; }

 private:
  TForm1& form_;
  EditMenu* menu_;
  bool outer_ = false;
  PuzzleState before_;
  std::uint64_t mergeKey_;
  std::int32_t x_ = kNone, y_ = kNone;
  bool at_ = false;
};

}  // namespace teku
