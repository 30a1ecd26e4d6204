// The author's tools in the main window: 文字で作成 in the mode menu, and the menu 作成支援 with
// 番号を振る and 検証.
#pragma once

#include <QObject>
#include <functional>
#include <optional>

#include "workbench/letter_grid.h"

class QAction;

namespace teku {

class TForm1;
class TCheckWindow;

class WorkbenchMenu final : public QObject {
  Q_OBJECT

 public:
  explicit WorkbenchMenu(TForm1& form);

  // 文字で作成: on, it switches to create mode (through the password gate) if need be.
  void MN_MODELETTERClick();
  // 番号を振る: the options asked, then the letters numbered as one step.
  void MN_WORKNUMBERClick();
  // 検証: shows the check window (made on first use).
  void MN_WORKCHECKClick();

  // The numbering options (a dialog until a test or a script answers); nothing when cancelled.
  std::function<std::optional<NumberingOptions>(const NumberingOptions& last)> AskNumbering;
  NumberingOptions lastNumbering;
  TCheckWindow* checkWindow = nullptr;

 private:
  void Redisplay();
  TForm1& form_;
};

}  // namespace teku
