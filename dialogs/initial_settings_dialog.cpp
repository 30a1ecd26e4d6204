// The initial settings dialog.
#include "dialogs/initial_settings_dialog.h"

#include <QHideEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

#include "app/edit_menu.h"
#include "app/main_window.h"
#include "surface/qt_cp932.h"

namespace teku {

namespace {
// A size field: a decimal integer, else 16; then kept within what the grid holds.
std::int64_t SizeValue(const QString& text) {
  bool ok = false;
  const qlonglong v = text.toLongLong(&ok, 10);
  return ok ? v : 16;
}
}  // namespace

TTEKUINTF::TTEKUINTF(TForm1& form1) : QDialog(nullptr), form1_(form1) {
  setObjectName(QStringLiteral("TEKUINTF"));
  setWindowTitle(QString::fromUtf8("初期設定ダイアログ"));
  setModal(false);
  setFixedSize(328, 179);
  Label1 = new QLabel(QString::fromUtf8("ﾊﾟｽﾜｰﾄﾞ(8字)"), this);
  Label1->setGeometry(8, 12, 88, 20);
  Label2 = new QLabel(QString::fromUtf8("文字数(255まで)"), this);
  Label2->setGeometry(8, 44, 116, 20);
  Label3 = new QLabel(QStringLiteral("x"), this);
  Label3->setGeometry(176, 44, 7, 20);
  Label4 = new QLabel(QString::fromUtf8("タイトル"), this);
  Label4->setGeometry(8, 68, 64, 20);
  EDT_PASSWORD = new QLineEdit(this);
  EDT_PASSWORD->setGeometry(128, 8, 81, 26);
  EDT_MONDAIX = new QLineEdit(QStringLiteral("16"), this);
  EDT_MONDAIX->setGeometry(128, 40, 41, 26);
  EDT_MONDAIY = new QLineEdit(QStringLiteral("16"), this);
  EDT_MONDAIY->setGeometry(192, 40, 41, 26);
  EDT_MONDAITITLE = new QLineEdit(this);
  EDT_MONDAITITLE->setGeometry(8, 88, 313, 89);
  // A one-line field this tall keeps its text on the top line, as edit fields do on Windows.
  EDT_MONDAITITLE->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  OKBtn = new QPushButton(QStringLiteral("OK"), this);
  OKBtn->setGeometry(244, 8, 77, 27);
  setTabOrder(EDT_PASSWORD, EDT_MONDAIX);
  setTabOrder(EDT_MONDAIX, EDT_MONDAIY);
  setTabOrder(EDT_MONDAIY, EDT_MONDAITITLE);
  setTabOrder(EDT_MONDAITITLE, OKBtn);
  connect(EDT_PASSWORD, &QLineEdit::textChanged, this, [this] { EDT_PASSWORDChange(); });
  connect(EDT_MONDAITITLE, &QLineEdit::textChanged, this, [this] { EDT_MONDAITITLEChange(); });
  connect(EDT_MONDAIX, &QLineEdit::textChanged, this, [this] { EDT_MONDAIXChange(); });
  connect(EDT_MONDAIY, &QLineEdit::textChanged, this, [this] { EDT_MONDAIYChange(); });
  connect(OKBtn, &QPushButton::clicked, this, &QWidget::hide);
  connect(this, &QDialog::rejected, this, &QWidget::hide);
}

bool TTEKUINTF::StoreText(const QString& text, std::string& field) {
  const QString problem = FieldTextProblem(text);
  if (!problem.isEmpty()) {
    form1_.Inform(problem, windowTitle());
    return false;
  }
  // A typed word is one step, not one per letter.
  EditStep step(form1_, &field == &form1_.puzzle.Title ? kMergeTitle : kMergePassword);
  const std::string bytes = *QStringToCp932(text);
  if (bytes != field) form1_.Modified = 1;
  field = bytes;
  return true;
}

void TTEKUINTF::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!event->spontaneous()) FormShow();
}

void TTEKUINTF::FormShow() {
  form1_.setChecked("MN_VIEWMONDAI", true);
  EDT_MONDAIX->setText(QString::number(form1_.puzzle.GridWidth));
  EDT_MONDAIY->setText(QString::number(form1_.puzzle.GridHeight));
  EDT_MONDAITITLE->setText(Cp932ToQString(form1_.puzzle.Title));
  // Outside game mode the field shows the puzzle's own password, so what it shows is what
  // the puzzle holds; in game mode it keeps what was typed last.
  if (!form1_.checked("MN_MODEGAME")) EDT_PASSWORD->setText(Cp932ToQString(form1_.puzzle.Password));
}

void TTEKUINTF::EDT_PASSWORDChange() {
  if (!form1_.checked("MN_MODEGAME")) StoreText(EDT_PASSWORD->text(), form1_.puzzle.Password);
}

void TTEKUINTF::EDT_MONDAITITLEChange() {
  if (!form1_.checked("MN_MODEGAME")) StoreText(EDT_MONDAITITLE->text(), form1_.puzzle.Title);
}

void TTEKUINTF::EDT_MONDAIXChange() {
  if (form1_.NewPuzzlePending == 0) return;
  const std::int32_t w = ClampGridWidth(SizeValue(EDT_MONDAIX->text()));
  if (w != form1_.puzzle.GridWidth) form1_.Modified = 1;
  form1_.puzzle.GridWidth = w;
}

void TTEKUINTF::EDT_MONDAIYChange() {
  if (form1_.NewPuzzlePending == 0) return;
  const std::int32_t h = ClampGridHeight(SizeValue(EDT_MONDAIY->text()));
  if (h != form1_.puzzle.GridHeight) form1_.Modified = 1;
  form1_.puzzle.GridHeight = h;
}

void TTEKUINTF::hideEvent(QHideEvent* event) {
  QDialog::hideEvent(event);
  if (!event->spontaneous()) FormHide();
}

void TTEKUINTF::FormHide() {
  form1_.setChecked("MN_VIEWMONDAI", false);
  if (form1_.NewPuzzlePending == 0 || form1_.destroyed()) return;
  form1_.ClearForNewSize();
  form1_.LayoutGrid();
  form1_.RedrawAndShow();
  form1_.NewPuzzlePending = 0;
}

}  // namespace teku
