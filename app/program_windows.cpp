// Creating the program's windows. The forms whose behaviour has not been built yet come up as
// plain windows with their caption and client size.
#include "app/program_windows.h"

#include "app/main_window.h"
#include "dialogs/about_box.h"
#include "dialogs/char_setting_dialog.h"
#include "panels/answer_panel.h"
#include "panels/character_panel.h"

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
  // The secondary windows store their settings through the main window, so they go first.
  TEKUOTOF.reset();
  PasswordDlg.reset();
  TEKUKTOF.reset();
  TEKUSPLF.reset();
  TEKUHNTF.reset();
  TEKUINTF.reset();
  AboutBox.reset();
  TEKUWRDF.reset();
  Form1.reset();
}

void ProgramWindows::Create() {
  Form1 = std::make_unique<TForm1>();
  TEKUWRDF = std::make_unique<TTEKUWRDF>(*Form1);
  AboutBox = std::make_unique<TAboutBox>();
  TEKUINTF = PlainForm("TEKUINTF", "初期設定ダイアログ", 200, 200, 328, 179);
  TEKUHNTF = PlainForm("TEKUHNTF", "ヒントダイアログ", 200, 200, 540, 121);
  TEKUSPLF = std::make_unique<TTEKUSPLF>(
      *Form1, [this] { return TEKUWRDF->SelectedMoji; },
      [this](std::int32_t entry) { TEKUWRDF->RefreshEditedMoji(entry); });
  TEKUKTOF = std::make_unique<TTEKUKTOF>(*Form1, [this] { return TEKUWRDF->SelectedMoji; });
  PasswordDlg = PlainForm("PasswordDlg", "パスワードダイアログ", 200, 200, 236, 72);
  TEKUOTOF = PlainForm("TEKUOTOF", "音設定", 200, 200, 377, 224);
  Form1->AboutBox = AboutBox.get();
  TEKUWRDF->ShowCharDialog = [this] { TEKUSPLF->Request(); };
}

}  // namespace teku
