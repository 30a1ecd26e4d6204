// Creating the program's windows. The forms whose behaviour has not been built yet come up as
// plain windows with their caption and client size.
#include "app/program_windows.h"

#include "app/main_window.h"
#include "dialogs/about_box.h"

namespace teku {

namespace {
std::unique_ptr<QWidget> PlainForm(const char* objectName, const char* caption, int x, int y,
                                   int width, int height) {
  auto w = std::make_unique<QWidget>(nullptr, Qt::Window);
  w->setObjectName(QString::fromUtf8(objectName));
  w->setWindowTitle(QString::fromUtf8(caption));
  w->move(x, y);
  w->resize(width, height);
  return w;
}
}  // namespace

ProgramWindows::ProgramWindows() = default;

ProgramWindows::~ProgramWindows() {
  // The main window goes first: its shut-down runs while the others still exist.
  Form1.reset();
}

void ProgramWindows::Create() {
  Form1 = std::make_unique<TForm1>();
  TEKUWRDF = PlainForm("TEKUWRDF", "文字選択欄", 6, 193, 244, 352);
  AboutBox = std::make_unique<TAboutBox>();
  TEKUINTF = PlainForm("TEKUINTF", "初期設定ダイアログ", 200, 200, 328, 179);
  TEKUHNTF = PlainForm("TEKUHNTF", "ヒントダイアログ", 200, 200, 540, 121);
  TEKUSPLF = PlainForm("TEKUSPLF", "文字設定ダイアログ", 200, 200, 256, 70);
  TEKUKTOF = PlainForm("TEKUKTOF", "解答欄", 267, 1, 512, 64);
  PasswordDlg = PlainForm("PasswordDlg", "パスワードダイアログ", 200, 200, 236, 72);
  TEKUOTOF = PlainForm("TEKUOTOF", "音設定", 200, 200, 377, 224);
  Form1->AboutBox = AboutBox.get();
}

}  // namespace teku
