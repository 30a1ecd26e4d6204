// The program's windows, created once in their fixed order and reachable from one another
// through these references.
#pragma once

#include <QWidget>
#include <functional>
#include <memory>
#include <string>

#include "app/program_environment.h"

class QCoreApplication;

namespace teku {

class TForm1;
class TAboutBox;
class TTEKUWRDF;
class TTEKUKTOF;
class TTEKUSPLF;
class TTEKUINTF;
class TTEKUHNTF;
class TPasswordDlg;
class TTEKUOTOF;

inline const char* const kHelpFile = "TEKUCROS.HLP";

// The program speaks Japanese whatever the desktop's language: the standard dialogs (file
// choosers, font chooser, message box buttons) take Qt's own Japanese texts when they are
// installed. Returns false, leaving everything English, when they are not.
bool InstallJapaneseStandardTexts(QCoreApplication& app);

struct ProgramWindows {
  explicit ProgramWindows(ProgramEnvironment environment = {});
  ~ProgramWindows();

  // The secondary windows' part of shut-down: the hint dialog and the character panel hide
  // (storing their settings and texts), the answer panel stores its position.
  void BeforeShutdown();

  // The end of the program, as closing the main window ends it once the save question is past:
  // BeforeShutdown, the main window's FormDestroy, every window hidden, then Ended. Runs once.
  void ShutDown();
  // Called at the end of ShutDown; the program leaves its event loop here.
  std::function<void()> Ended;

  // Creates, hidden, TForm1, TTEKUWRDF, TAboutBox, TTEKUINTF, TTEKUHNTF, TTEKUSPLF, TTEKUKTOF,
  // TPasswordDlg and TTEKUOTOF, in that order.
  void Create();

  std::unique_ptr<TForm1> Form1;
  std::unique_ptr<TTEKUWRDF> TEKUWRDF;
  std::unique_ptr<TAboutBox> AboutBox;
  std::unique_ptr<TTEKUINTF> TEKUINTF;
  std::unique_ptr<TTEKUHNTF> TEKUHNTF;
  std::unique_ptr<TTEKUSPLF> TEKUSPLF;
  std::unique_ptr<TTEKUKTOF> TEKUKTOF;
  std::unique_ptr<TPasswordDlg> PasswordDlg;
  std::unique_ptr<TTEKUOTOF> TEKUOTOF;

 private:
  ProgramEnvironment environment_;
};

}  // namespace teku
