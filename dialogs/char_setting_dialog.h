// TTEKUSPLF, the character setting dialog: the text of one character table entry, typed in the
// font the grid renders characters with. It remembers the entry it was filled from and stores
// only into that one.
#pragma once

#include <QDialog>
#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace teku {

class TForm1;

class TTEKUSPLF : public QDialog {
  Q_OBJECT

 public:
  // `selectedMoji` reads the character panel's selection; `refreshEditedMoji` redraws an entry.
  TTEKUSPLF(TForm1& form1, std::function<std::int32_t()> selectedMoji,
            std::function<void(std::int32_t entry)> refreshEditedMoji);

  QLabel* Label1 = nullptr;
  QLabel* Label2 = nullptr;
  QLineEdit* Edit1 = nullptr;
  QLineEdit* Edit2 = nullptr;
  QPushButton* OKBtn = nullptr;
  QPushButton* CancelBtn = nullptr;

  // Shows the dialog for the selected entry, or refills it when it is already shown.
  void Request();
  void OKBtnClick();
  void CancelBtnClick();
  // The entry the fields were filled from; 256 when none.
  std::int32_t entry() const { return entry_; }
  // The font command's font for the number field, at once.
  void ApplyFont(const QFont& font);

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void FormShow();

  TForm1& form1_;
  std::function<std::int32_t()> selectedMoji_;
  std::function<void(std::int32_t)> refreshEditedMoji_;
  std::int32_t entry_ = 256;
};

}  // namespace teku
