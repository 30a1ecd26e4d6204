// TPasswordDlg, the modal password dialog: it only collects the typed text into
// EnteredPassword; the caller compares.
#pragma once

#include <QDialog>
#include <functional>
#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace teku {

class TForm1;

class TPasswordDlg : public QDialog {
  Q_OBJECT

 public:
  explicit TPasswordDlg(TForm1& form1);

  QLabel* Label1 = nullptr;
  QLineEdit* Password = nullptr;
  QPushButton* BTN_OK = nullptr;

  // Shows the dialog modally, filled with EnteredPassword; returns when it closes.
  void Ask();
  // For scripted runs: when set, Ask types this text into the field and closes at once.
  std::function<std::optional<QString>()> ScriptedAnswer;

 private:
  void PasswordChange();
  TForm1& form1_;
};

}  // namespace teku
