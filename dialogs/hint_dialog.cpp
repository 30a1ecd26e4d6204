// The hint dialog.
#include "dialogs/hint_dialog.h"

#include <QHideEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

#include "app/edit_menu.h"
#include "app/main_window.h"
#include "app/window_placement.h"
#include "surface/qt_cp932.h"

namespace teku {


TTEKUHNTF::TTEKUHNTF(TForm1& form1) : QDialog(nullptr), form1_(form1) {
  setObjectName(QStringLiteral("TEKUHNTF"));
  setWindowTitle(QString::fromUtf8("ヒントダイアログ"));
  setModal(false);
  setFixedSize(540, 121);
  Label1 = new QLabel(QString::fromUtf8("たて"), this);
  Label1->setGeometry(8, 8, 32, 20);
  Label2 = new QLabel(QString::fromUtf8("よこ"), this);
  Label2->setGeometry(8, 56, 32, 20);
  Label3 = new QLabel(QString::fromUtf8("番号"), this);
  Label3->setGeometry(8, 92, 32, 20);
  Label4 = new QLabel(QStringLiteral("0"), this);
  Label4->setGeometry(56, 92, 40, 20);
  Edit1 = new QLineEdit(QStringLiteral("Edit1"), this);
  Edit1->setGeometry(56, 8, 473, 33);
  Edit2 = new QLineEdit(QStringLiteral("Edit2"), this);
  Edit2->setGeometry(56, 48, 473, 33);
  OKBtn = new QPushButton(QStringLiteral("OK"), this);
  OKBtn->setGeometry(228, 88, 77, 27);
  setTabOrder(Edit1, Edit2);
  setTabOrder(Edit2, OKBtn);
  connect(OKBtn, &QPushButton::clicked, this, &QWidget::hide);
  connect(this, &QDialog::rejected, this, &QWidget::hide);
}

void TTEKUHNTF::StoreBeforeScan() {
  if (!isVisible()) return;
  Store();
  slot_ = 256;
}

void TTEKUHNTF::Request() {
  if (isVisible()) {
    Store();
    Load();
    raise();
    activateWindow();
    return;
  }
  show();
}

void TTEKUHNTF::Discard() {
  discarding_ = true;
  hide();
  discarding_ = false;
  slot_ = 256;
}

void TTEKUHNTF::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!event->spontaneous()) FormShow();
}

// The stored place is the frame's, and only a window not yet shown is moved by its frame (see
// RestoreWindowPosition), so it is restored here rather than in FormShow.
void TTEKUHNTF::setVisible(bool visible) {
  if (visible && !isVisible()) {
    RestoreWindowPosition(*this, form1_.ReadIniInt("NLeft", x()), form1_.ReadIniInt("NTop", y()));
  }
  QDialog::setVisible(visible);
}

void TTEKUHNTF::FormShow() { Load(); }

void TTEKUHNTF::Load() {
  if (form1_.clickCache.LastClickButton != 1) return;
  readOnly_ = form1_.checked("MN_MODEGAME");
  Edit1->setReadOnly(readOnly_);
  Edit2->setReadOnly(readOnly_);
  const std::int32_t hint = form1_.puzzle.CurrentHint;
  slot_ = hint >= 0 && hint < kTableEntries ? hint : 256;
  Label4->setText(QString::number(hint + 1));
  Edit1->setText(Cp932ToQString(TextAt(form1_.puzzle.HintTate, slot_)));
  Edit2->setText(Cp932ToQString(TextAt(form1_.puzzle.HintYoko, slot_)));
  // An author opens the dialog to write the down clue first; a player only reads.
  if (!readOnly_) Edit1->setFocus();
}

// Writes the texts back into the slot they came from; a clue with both texts empty is freed.
void TTEKUHNTF::Store() {
  Puzzle& p = form1_.puzzle;
  if (readOnly_ || slot_ < 0 || slot_ >= kTableEntries ||
      static_cast<std::size_t>(slot_) >= p.HintTate.size() ||
      static_cast<std::size_t>(slot_) >= p.HintYoko.size()) {
    return;
  }
  for (QLineEdit* edit : {Edit1, Edit2}) {
    const QString problem = FieldTextProblem(edit->text());
    if (!problem.isEmpty()) {
      form1_.Inform(problem, windowTitle());
      return;
    }
  }
  EditStep step(form1_);
  const std::string tate = *QStringToCp932(Edit1->text());
  const std::string yoko = *QStringToCp932(Edit2->text());
  auto& storedTate = p.HintTate[static_cast<std::size_t>(slot_)];
  auto& storedYoko = p.HintYoko[static_cast<std::size_t>(slot_)];
  if (tate != storedTate || yoko != storedYoko) form1_.Modified = 1;
  storedTate = tate;
  storedYoko = yoko;
  std::int32_t& owner = p.HintTbl[static_cast<std::size_t>(slot_)];
  // Freeing the slot changes the clue table: a save must be offered for that too.
  if (tate.empty() && yoko.empty() && owner != 0) {
    owner = 0;
    form1_.Modified = 1;
  }
}

void TTEKUHNTF::hideEvent(QHideEvent* event) {
  QDialog::hideEvent(event);
  if (!event->spontaneous()) FormHide();
}

void TTEKUHNTF::FormHide() {
  if (!discarding_) Store();
  form1_.WriteIniKeys({{"NLeft", std::to_string(x())}, {"NTop", std::to_string(y())}});
}

}  // namespace teku
