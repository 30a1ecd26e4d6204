// The 検証 window: the puzzle check's problems, one row each, looked at again after every change;
// a row takes the grid's cursor to its first cell, and a character slip is mended from here.
#pragma once

#include <QWidget>
#include <functional>
#include <optional>
#include <vector>

#include "workbench/puzzle_check.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QTreeWidget;

namespace teku {

class TForm1;

class TCheckWindow final : public QWidget {
  Q_OBJECT

 public:
  explicit TCheckWindow(TForm1& form, QWidget* parent = nullptr);

  // Runs the check again while the window is shown.
  void Refresh();
  // The cursor onto the first cell of problem `row`, scrolled into view.
  void GoTo(int row);
  // 文字を直す: a new character for the number at the cursor when the selected problem is about
  // it, else for the problem's last number. One undoable step.
  void FixCharacter();

  std::uint32_t Rules() const { return rules_; }
  void SetRules(std::uint32_t rules);
  const std::vector<CheckProblem>& Problems() const { return problems_; }

  // The character typed for a number (a dialog until a test or script answers).
  std::function<std::optional<QString>(const QString& prompt)> AskCharacter;

  QTreeWidget* list = nullptr;
  QLabel* summary = nullptr;
  QPushButton* fixButton = nullptr;
  std::vector<QCheckBox*> ruleBoxes;

 protected:
  void showEvent(QShowEvent* event) override;
  // Closing keeps the window's place and size for the next time it is opened.
  void hideEvent(QHideEvent* event) override;

 private:
  TForm1& form_;
  std::uint32_t rules_ = kDefaultCheckRules;
  std::vector<CheckProblem> problems_;
};

}  // namespace teku
