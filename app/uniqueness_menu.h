// Two items of the 作成支援 menu: 一意性チェック proves the number-crossword unique against the
// word list on a worker thread behind a progress dialog, and ヒントを提案 adds the given cells that
// make it so as one undoable step. The numbers that differ are marked on the grid meanwhile.
#pragma once

#include <QObject>
#include <QWidget>
#include <atomic>
#include <functional>
#include <set>

#include "workbench/uniqueness.h"

class QAction;

namespace teku {

class TForm1;

class UniquenessMenu final : public QObject {
  Q_OBJECT

 public:
  explicit UniquenessMenu(TForm1& form);

  void Check();
  void Suggest();

  QAction* checkAction = nullptr;
  QAction* suggestAction = nullptr;
  // The numbers marked on the grid (those that differ between two solutions).
  const std::set<std::uint8_t>& Marked() const { return marked_; }
  // Tests stand in for the progress dialog's user: called as the search starts (to cancel it).
  std::function<void(std::atomic<bool>& cancel)> whileRunning;

 private:
  // Runs `work` on a worker thread behind a progress dialog with a cancel button, and returns
  // once it is over; the result is read on this thread only after that.
  void RunWithProgress(const std::function<void(const SolverLimits&)>& work);
  // The word list and the user's words; false (after a message) when there is none.
  bool LoadWords(WordList& words);
  // Only a number-crossword in create or answer mode has answers to check.
  bool Usable();
  void Mark(const std::vector<std::uint8_t>& numbers);
  void Show(const std::string& utf8);

  TForm1& form_;
  std::set<std::uint8_t> marked_;
  QWidget* overlay_ = nullptr;
  bool busy_ = false;
};

}  // namespace teku
