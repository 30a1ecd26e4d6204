// The grid's keyboard and input method in the main window: keys and committed text go to the
// core's grid keys, preedit text is shown in the cursor cell, and a status line under the grid
// tells the cursor cell, its number, the mode and why a key changed nothing.
#pragma once

#include <QObject>
#include <QRect>
#include <QString>
#include <functional>

#include "app/grid_keys.h"

class QKeyEvent;
class QLabel;
class QWidget;

namespace teku {

class TForm1;

class GridKeyboard final : public QObject {
  Q_OBJECT

 public:
  // Gives the form a status bar and the grid the keyboard focus.
  explicit GridKeyboard(TForm1& form);

  GridKeyState state;

  // True when the grid used the key; Tab and keys with Ctrl or Alt are left to the window.
  bool HandleKey(const QKeyEvent& event);
  // Text an input method committed (or typed without one): entered character by character.
  void Commit(const QString& text);
  void SetPreedit(const QString& text);
  // The cursor cell in the paint box, for the input method's candidate window; empty when the
  // cursor is not in view.
  QRect CursorRect() const;

  // The cursor cell, its number, the mode and the typing direction.
  QString CursorText() const;
  void UpdateStatus();
  // A short message in the status line.
  void Say(const QString& message);
  QString Message() const;

  // Moves the view so that the cursor cell is seen whole.
  void ScrollCursorIntoView();

  QLabel* cursorLabel() const { return cursorLabel_; }
  QLabel* preeditView() const { return preedit_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Runs a key's action on the puzzle and notes whether it changed anything.
  KeyOutcome Change(const std::function<KeyOutcome()>& action);
  void Apply(const KeyOutcome& outcome);
  void RedrawCursorCell(std::int32_t x, std::int32_t y);
  // Says why a key changed nothing; `character` is the typed character, for the message.
  void Report(const KeyOutcome& outcome, const QString& character);

  TForm1& form_;
  QWidget* grid_ = nullptr;
  QLabel* cursorLabel_ = nullptr;
  QLabel* preedit_ = nullptr;
};

}  // namespace teku
