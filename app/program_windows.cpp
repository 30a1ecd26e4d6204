// Creating the program's windows.
#include "app/program_windows.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include "app/main_window.h"
#include "dialogs/about_box.h"
#include "dialogs/char_setting_dialog.h"
#include "dialogs/hint_dialog.h"
#include "dialogs/initial_settings_dialog.h"
#include "dialogs/password_dialog.h"
#include "dialogs/sound_settings_dialog.h"
#include "panels/answer_panel.h"
#include "panels/character_panel.h"
#include "workbench/check_window.h"
#include "workbench/workbench_menu.h"

namespace teku {

bool InstallJapaneseStandardTexts(QCoreApplication& app) {
  auto* translator = new QTranslator(&app);
  if (!translator->load(QStringLiteral("qtbase_ja"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    delete translator;
    return false;
  }
  return QCoreApplication::installTranslator(translator);
}

ProgramWindows::ProgramWindows(ProgramEnvironment environment)
    : environment_(std::move(environment)) {}

void ProgramWindows::BeforeShutdown() {
  if (TEKUHNTF) TEKUHNTF->hide();
  if (TEKUKTOF) TEKUKTOF->FormDestroy();
  if (TEKUWRDF) TEKUWRDF->hide();
  // The check window stores its place as it closes, while the settings can still be written.
  if (Form1 && Form1->workbench && Form1->workbench->checkWindow) Form1->workbench->checkWindow->hide();
}

void ProgramWindows::ShutDown() {
  if (!Form1 || Form1->destroyed()) return;
  BeforeShutdown();
  Form1->FormDestroy();
  // The rest go with the main window. Their hide handlers see it destroyed, so the initial
  // settings dialog clears no puzzle and the sound dialog reopens no sound; a modal password
  // dialog leaves its event loop.
  for (QWidget* w : {static_cast<QWidget*>(AboutBox.get()), static_cast<QWidget*>(TEKUINTF.get()),
                     static_cast<QWidget*>(TEKUSPLF.get()), static_cast<QWidget*>(TEKUOTOF.get()),
                     static_cast<QWidget*>(TEKUKTOF.get()), static_cast<QWidget*>(PasswordDlg.get()),
                     Form1->HelpWindow}) {
    if (w != nullptr) w->hide();
  }
  Form1->hide();
  if (Ended) Ended();
}

ProgramWindows::~ProgramWindows() {
  // The secondary windows store their settings through the main window, so they go first.
  if (Form1 && !Form1->destroyed()) {
    BeforeShutdown();
    Form1->FormDestroy();
  }
  if (Form1) Form1->side = SideWindows{};
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
  Form1 = std::make_unique<TForm1>(environment_);
  TEKUWRDF = std::make_unique<TTEKUWRDF>(*Form1);
  AboutBox = std::make_unique<TAboutBox>();
  TEKUINTF = std::make_unique<TTEKUINTF>(*Form1);
  TEKUHNTF = std::make_unique<TTEKUHNTF>(*Form1);
  TEKUSPLF = std::make_unique<TTEKUSPLF>(
      *Form1, [this] { return TEKUWRDF->SelectedMoji; },
      [this](std::int32_t entry) { TEKUWRDF->RefreshEditedMoji(entry); });
  TEKUKTOF = std::make_unique<TTEKUKTOF>(*Form1, [this] { return TEKUWRDF->SelectedMoji; });
  PasswordDlg = std::make_unique<TPasswordDlg>(*Form1);
  TEKUOTOF = std::make_unique<TTEKUOTOF>(*Form1);
  Form1->AboutBox = AboutBox.get();
  TEKUWRDF->ShowCharDialog = [this] { TEKUSPLF->Request(); };
  Form1->ShutDown = [this] { ShutDown(); };
  Form1->side = SideWindows{TEKUWRDF.get(), TEKUKTOF.get(), TEKUINTF.get(), TEKUHNTF.get(),
                            TEKUSPLF.get(), PasswordDlg.get(), TEKUOTOF.get()};
}

}  // namespace teku
