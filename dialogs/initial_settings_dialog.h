// TTEKUINTF, the initial settings dialog: password, grid size and title of the puzzle, written
// into the model as they are typed; the size counts only in the new-puzzle flow.
#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace teku {

class TForm1;

class TTEKUINTF : public QDialog {
  Q_OBJECT

 public:
  explicit TTEKUINTF(TForm1& form1);

  QLabel *Label1 = nullptr, *Label2 = nullptr, *Label3 = nullptr, *Label4 = nullptr;
  QLineEdit* EDT_PASSWORD = nullptr;
  QLineEdit* EDT_MONDAIX = nullptr;
  QLineEdit* EDT_MONDAIY = nullptr;
  QLineEdit* EDT_MONDAITITLE = nullptr;
  QPushButton* OKBtn = nullptr;

  // Fills the fields from the puzzle (also while shown, for "初めから").
  void FormShow();

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  void EDT_PASSWORDChange();
  void EDT_MONDAITITLEChange();
  void EDT_MONDAIXChange();
  void EDT_MONDAIYChange();
  void FormHide();
  // Stores `text` into `field` unless it cannot live in a puzzle file (then says why).
  bool StoreText(const QString& text, std::string& field);

  TForm1& form1_;
};

}  // namespace teku
