// Program entry: the application's title and help file, every window created once in a fixed
// order (only the main window shown), then the event loop.
#include <QApplication>
#include <QIcon>

#include "app/program_windows.h"
#include "app/main_window.h"
#include "dialogs/about_box.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QString::fromUtf8("ミナモナンクロ支援ツールv0.42"));
  QApplication::setWindowIcon(teku::ProgramIconImage());
  // The program ends with its main window, whichever other windows are still open.
  QApplication::setQuitOnLastWindowClosed(false);
  teku::InstallJapaneseStandardTexts(app);
  int status = 0;
  {
    teku::ProgramWindows windows;
    windows.Ended = [] { QCoreApplication::exit(0); };
    windows.Create();
    windows.Form1->show();
    status = QApplication::exec();
  }
  return status;
}
