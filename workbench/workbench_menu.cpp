#include "workbench/workbench_menu.h"

#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QSpinBox>
#include <QVBoxLayout>

#include "app/edit_menu.h"
#include "app/grid_keyboard.h"
#include "app/main_window.h"
#include "surface/qt_cp932.h"
#include "workbench/check_window.h"

namespace teku {

namespace {

std::optional<NumberingOptions> NumberingDialog(QWidget* parent, const NumberingOptions& last) {
  QDialog dialog(parent);
  dialog.setWindowTitle(QString::fromUtf8("番号を振る"));
  auto* layout = new QVBoxLayout(&dialog);
  auto* reading = new QRadioButton(QString::fromUtf8("読む順（左上から、初めて出た順）"), &dialog);
  auto* shuffled = new QRadioButton(QString::fromUtf8("シャッフル（番号から答えが読めないように）"), &dialog);
  (last.shuffle ? shuffled : reading)->setChecked(true);
  auto* seedRow = new QHBoxLayout;
  auto* seed = new QSpinBox(&dialog);
  seed->setRange(0, 999999999);
  seed->setValue(static_cast<int>(last.seed % 1000000000u));
  seed->setPrefix(QString::fromUtf8("種 "));
  auto* another = new QPushButton(QString::fromUtf8("別の種"), &dialog);
  QObject::connect(another, &QPushButton::clicked, &dialog, [seed] {
    seed->setValue(static_cast<int>(QRandomGenerator::global()->bounded(1000000000u)));
  });
  seedRow->addWidget(seed);
  seedRow->addWidget(another);
  auto* fold = new QCheckBox(QString::fromUtf8("小書きの文字を大きい文字にそろえる（ッ→ツ、ャ→ヤ）"), &dialog);
  fold->setChecked(last.foldSmallKana);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  layout->addWidget(reading);
  layout->addWidget(shuffled);
  layout->addLayout(seedRow);
  layout->addWidget(fold);
  layout->addWidget(buttons);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return NumberingOptions{shuffled->isChecked(), static_cast<std::uint64_t>(seed->value()), fold->isChecked()};
}

}  // namespace

WorkbenchMenu::WorkbenchMenu(TForm1& form) : QObject(&form), form_(form) {
  AskNumbering = [this](const NumberingOptions& last) { return NumberingDialog(&form_, last); };

  auto* modeMenu = form_.menuBar()->findChild<QMenu*>(QStringLiteral("MN_MODE"));
  auto* letters = new QAction(QString::fromUtf8("文字で作成(&L)"), modeMenu);
  letters->setObjectName(QStringLiteral("MN_MODELETTER"));
  letters->setCheckable(true);
  if (modeMenu != nullptr) {
    modeMenu->addSeparator();
    modeMenu->addAction(letters);
  }
  form_.AddItem("MN_MODELETTER", letters);
  connect(letters, &QAction::triggered, this, [this] { MN_MODELETTERClick(); });

  auto* menu = new QMenu(QString::fromUtf8("作成支援(&W)"), &form_);
  menu->setObjectName(QStringLiteral("MN_WORK"));
  // Last on the bar and last in the mode menu, so that every menu and item before keeps its place.
  form_.menuBar()->addMenu(menu);
  QAction* number = menu->addAction(QString::fromUtf8("番号を振る(&N)..."));
  number->setObjectName(QStringLiteral("MN_WORKNUMBER"));
  form_.AddItem("MN_WORKNUMBER", number);
  connect(number, &QAction::triggered, this, [this] { MN_WORKNUMBERClick(); });
  QAction* check = menu->addAction(QString::fromUtf8("検証(&K)"));
  check->setObjectName(QStringLiteral("MN_WORKCHECK"));
  check->setShortcut(QKeySequence(Qt::Key_F7));
  form_.AddItem("MN_WORKCHECK", check);
  connect(check, &QAction::triggered, this, [this] { MN_WORKCHECKClick(); });
}

void WorkbenchMenu::Redisplay() {
  form_.RedrawAndShow();
  form_.RefreshPanels();
  if (form_.keyboard != nullptr) form_.keyboard->UpdateStatus();
}

void WorkbenchMenu::MN_MODELETTERClick() {
  // The mark is the state; it is worth something only in create mode, which it asks for.
  if (form_.checked("MN_MODELETTER") && !form_.checked("MN_MODECREATE")) {
    form_.MN_MODECREATEClick();
    if (!form_.checked("MN_MODECREATE")) {
      form_.setChecked("MN_MODELETTER", false);
      return;
    }
  }
  Redisplay();
  if (form_.keyboard != nullptr && form_.checked("MN_MODELETTER")) {
    form_.keyboard->Say(QString::fromUtf8("マスに文字を入れて下さい。黒マスは # か Delete です"));
  }
}

void WorkbenchMenu::MN_WORKNUMBERClick() {
  const QString caption = QString::fromUtf8("番号を振る");
  if (form_.checked("MN_MODEGAME")) {
    form_.Inform(QString::fromUtf8("番号を振るのは作成ﾓｰﾄﾞか解答ﾓｰﾄﾞで行います。"), caption);
    return;
  }
  const std::optional<NumberingOptions> options = AskNumbering(lastNumbering);
  if (!options) return;
  lastNumbering = *options;
  NumberingResult result;
  {
    EditStep step(form_);
    result = NumberLetters(form_.puzzle, *options);
  }
  if (!result.ok()) {
    form_.ShowMessage(NumberingProblemText(result), QStringToCp932(caption).value_or(""));
    return;
  }
  form_.BuildMojiSheet();
  Redisplay();
  if (form_.keyboard != nullptr) {
    form_.keyboard->Say(QString::fromUtf8("番号 1～%1 を振りました").arg(result.characters));
  }
}

void WorkbenchMenu::MN_WORKCHECKClick() {
  if (checkWindow == nullptr) checkWindow = new TCheckWindow(form_, &form_);
  checkWindow->show();
  checkWindow->raise();
  checkWindow->Refresh();
}

}  // namespace teku
