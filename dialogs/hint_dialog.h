// TTEKUHNTF, the hint dialog: the down and across texts of one crossword clue, read-only in game
// mode. It remembers the clue slot it loaded and stores only into that one.
#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace teku {

class TForm1;

class TTEKUHNTF : public QDialog {
  Q_OBJECT

 public:
  explicit TTEKUHNTF(TForm1& form1);

  QLabel *Label1 = nullptr, *Label2 = nullptr, *Label3 = nullptr, *Label4 = nullptr;
  QLineEdit* Edit1 = nullptr;
  QLineEdit* Edit2 = nullptr;
  QPushButton* OKBtn = nullptr;

  // Before a grid click looks for a clue slot: while shown, stores the fields into the slot
  // they were loaded from (freeing it when both are empty) and lets go of that slot, so the
  // scan sees the freed slot and nothing is stored into it again.
  void StoreBeforeScan();
  // Shows the clue of CurrentHint; while already shown, first stores what is there.
  void Request();
  // Hides without storing (the puzzle was replaced or cleared).
  void Discard();
  // The slot the fields were loaded from, or 256.
  std::int32_t slot() const { return slot_; }

  void setVisible(bool visible) override;

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  void FormShow();
  void Load();
  void Store();
  void FormHide();

  TForm1& form1_;
  std::int32_t slot_ = 256;
  bool readOnly_ = true;
  bool discarding_ = false;
};

}  // namespace teku
