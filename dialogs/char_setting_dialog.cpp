// The character setting dialog.
#include "dialogs/char_setting_dialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

#include "app/edit_menu.h"
#include "app/main_window.h"
#include "surface/qt_cp932.h"

namespace teku {

TTEKUSPLF::TTEKUSPLF(TForm1& form1, std::function<std::int32_t()> selectedMoji,
                     std::function<void(std::int32_t)> refreshEditedMoji)
    : QDialog(nullptr),
      form1_(form1),
      selectedMoji_(std::move(selectedMoji)),
      refreshEditedMoji_(std::move(refreshEditedMoji)) {
  setObjectName(QStringLiteral("TEKUSPLF"));
  setWindowTitle(QString::fromUtf8("文字設定ダイアログ"));
  setModal(false);
  setFixedSize(256, 70);
  Label2 = new QLabel(QString::fromUtf8("文字"), this);
  Label2->setGeometry(8, 12, 32, 20);
  Label1 = new QLabel(QString::fromUtf8("文字番号"), this);
  Label1->setGeometry(8, 40, 64, 20);
  Edit1 = new QLineEdit(QStringLiteral("Edit1"), this);
  Edit1->setGeometry(88, 8, 57, 26);
  Edit1->setAttribute(Qt::WA_InputMethodEnabled, true);
  Edit2 = new QLineEdit(QStringLiteral("Edit2"), this);
  Edit2->setGeometry(88, 40, 57, 26);
  CancelBtn = new QPushButton(QString::fromUtf8("ｷｬﾝｾﾙ"), this);
  CancelBtn->setGeometry(164, 40, 77, 27);
  OKBtn = new QPushButton(QStringLiteral("OK"), this);
  OKBtn->setGeometry(164, 8, 77, 27);
  OKBtn->setDefault(true);
  setTabOrder(Edit1, Edit2);
  setTabOrder(Edit2, CancelBtn);
  setTabOrder(CancelBtn, OKBtn);
  connect(OKBtn, &QPushButton::clicked, this, [this] { OKBtnClick(); });
  connect(CancelBtn, &QPushButton::clicked, this, [this] { CancelBtnClick(); });
  // The close box stores nothing, like Cancel.
  connect(this, &QDialog::rejected, this, [this] { hide(); });
}

void TTEKUSPLF::Request() {
  if (isVisible()) {
    FormShow();
    raise();
    activateWindow();
    return;
  }
  show();
}

void TTEKUSPLF::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!event->spontaneous()) FormShow();
}

void TTEKUSPLF::FormShow() {
  const QFont font = form1_.glyphText.font();
  Edit1->setFont(font);
  Edit2->setFont(font);
  Edit2->setReadOnly(true);
  const std::int32_t sel = selectedMoji_ ? selectedMoji_() : 256;
  entry_ = sel >= 0 && sel < kTableEntries ? sel : 256;
  Edit2->setText(QString::number(sel));
  Edit1->setText(Cp932ToQString(TextAt(form1_.puzzle.MojiTbl, entry_)));
  // Each opening is for typing a character: the caret waits in the character field with the
  // old text selected, whatever button was pressed last time.
  Edit1->setFocus();
  Edit1->selectAll();
}

void TTEKUSPLF::ApplyFont(const QFont& font) { Edit2->setFont(font); }

void TTEKUSPLF::OKBtnClick() {
  const QString problem = FieldTextProblem(Edit1->text());
  if (!problem.isEmpty()) {
    form1_.Inform(problem, windowTitle());
    return;
  }
  if (entry_ >= 0 && entry_ < kTableEntries &&
      static_cast<std::size_t>(entry_) < form1_.puzzle.MojiTbl.size()) {
    EditStep step(form1_);
    std::string& stored = form1_.puzzle.MojiTbl[static_cast<std::size_t>(entry_)];
    const std::string typed = *QStringToCp932(Edit1->text());
    if (typed != stored) form1_.Modified = 1;
    stored = typed;
    if (refreshEditedMoji_) refreshEditedMoji_(entry_);
  }
  hide();
}

void TTEKUSPLF::CancelBtnClick() { hide(); }

}  // namespace teku
