// Program entry: the application's title and help file, every window created once in a fixed
// order (only the main window shown), the puzzle named on the command line opened, then the
// event loop until the main window closes or a termination signal ends the program.
#include <QApplication>
#include <cerrno>
#include <QIcon>
#include <QMessageBox>
#include <QSocketNotifier>
#include <memory>
#include <new>
#include <string>
#include <unistd.h>
#include <vector>

#include "app/program_windows.h"
#include "app/main_window.h"
#include "desktop/puzzle_path.h"
#include "dialogs/about_box.h"
#include "services/termination_signals.h"

namespace {
// Memory running out inside a handler is reported and the program goes on, so the user can
// still save; the handler that failed has changed nothing it could not finish.
class TekuApplication final : public QApplication {
 public:
  using QApplication::QApplication;
  bool notify(QObject* receiver, QEvent* event) override {
    try {
      return QApplication::notify(receiver, event);
    } catch (const std::bad_alloc&) {
      QMessageBox::information(nullptr, QString::fromUtf8("ミナモナンクロ支援ツールv0.42"),
                               QString::fromUtf8("メモリが足りません。"));
      return false;
    }
  }
};

std::string CurrentFolder() {
  std::vector<char> buffer(4096);
  while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
    if (errno != ERANGE) return std::string();
    buffer.resize(buffer.size() * 2);
  }
  return std::string(buffer.data());
}
}  // namespace

int main(int argc, char** argv) {
  // Caught before anything else starts, so that no library installs handlers of its own first.
  const int signalPipe = teku::CatchTerminationSignals();
  TekuApplication app(argc, argv);
  // What is left once Qt has taken its own options, as the bytes the shell gave.
  const std::string puzzlePath = teku::PuzzleArgument(std::vector<std::string>(argv + 1, argv + argc), CurrentFolder());
  QApplication::setApplicationName(QString::fromUtf8("ミナモナンクロ支援ツールv0.42"));
  // Desktops match the windows to the installed desktop entry (its icon and name) by this.
  QGuiApplication::setDesktopFileName(QStringLiteral("tekucros"));
  QApplication::setWindowIcon(teku::ProgramIconImage());
  // The program ends with its main window, whichever other windows are still open.
  QApplication::setQuitOnLastWindowClosed(false);
  teku::InstallJapaneseStandardTexts(app);
  int status = 0;
  int signal = 0;
  {
    teku::ProgramWindows windows;
    windows.Ended = [] { QCoreApplication::exit(0); };
    // A signal ends the program as the close box does, without the save question: the settings
    // are written and the puzzle is not saved. Exiting the application also ends the event loop
    // of any modal dialog that is open, even one shown while the windows are being created.
    std::unique_ptr<QSocketNotifier> notifier;
    if (signalPipe >= 0) {
      notifier = std::make_unique<QSocketNotifier>(signalPipe, QSocketNotifier::Read);
      QObject::connect(notifier.get(), &QSocketNotifier::activated, [&] {
        const int s = teku::TakeTerminationSignal(signalPipe);
        if (s == 0 || signal != 0) return;
        signal = s;
        windows.ShutDown();
        QCoreApplication::exit(0);
      });
    }
    windows.Create();
    if (signal == 0) {
      windows.Form1->show();
      if (!puzzlePath.empty()) windows.Form1->OpenPuzzleAt(puzzlePath);
    }
    if (signal == 0) {
      status = QApplication::exec();
    }
  }
  if (signal != 0) teku::EndByTerminationSignal(signal);
  return status;
}
