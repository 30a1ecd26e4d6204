// The end of the program: closing the main window takes every other window with it, and a
// termination signal ends the built program as the close box does, without the save question.
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>
#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>

#include "app/main_window.h"
#include "app/program_windows.h"
#include "dialogs/about_box.h"
#include "dialogs/char_setting_dialog.h"
#include "dialogs/hint_dialog.h"
#include "dialogs/initial_settings_dialog.h"
#include "dialogs/sound_settings_dialog.h"
#include "panels/answer_panel.h"
#include "panels/character_panel.h"
#include "support/test_program.h"

namespace teku {
namespace {

TEST(ProgramEnd, ClosingTheMainWindowTakesEveryWindowWithItAndEndsOnce) {
  testing::TestProgram program;
  ProgramWindows windows(program.environment());
  int ended = 0;
  windows.Ended = [&] { ++ended; };
  windows.Create();
  TForm1& f = *windows.Form1;
  f.show();
  f.puzzle.CurrentHint = 0;
  f.NewPuzzlePending = 1;  // hiding the initial settings would clear the puzzle to a new size
  f.puzzle.GridWidth = 7;
  f.item("MN_HELPEX")->trigger();
  f.item("MN_HELPVERSION")->trigger();
  const std::vector<QWidget*> others = {windows.TEKUWRDF.get(), windows.TEKUKTOF.get(), windows.TEKUINTF.get(),
                                        windows.TEKUHNTF.get(),  windows.TEKUSPLF.get(), windows.TEKUOTOF.get()};
  for (QWidget* w : others) w->show();
  ASSERT_NE(f.HelpWindow, nullptr);
  EXPECT_TRUE(f.close());
  EXPECT_EQ(ended, 1);
  for (QWidget* w : others) EXPECT_FALSE(w->isVisible()) << w->objectName().toStdString();
  EXPECT_FALSE(f.HelpWindow->isVisible() || windows.AboutBox->isVisible() || f.isVisible());
  EXPECT_EQ(f.puzzle.GridWidth, 7) << "no new-size clear while the program ends";
  EXPECT_EQ(f.sound.LeftWavDevice, 0u) << "no sound reopened while the program ends";
  const ZIREDIZU ini(program.path("TEKUCROS.EXE"));
  for (const char* key : {"Left", "WLeft", "KLeft", "NLeft"}) EXPECT_FALSE(ini.ReadIni(key).empty()) << key;
  windows.ShutDown();
  EXPECT_EQ(ended, 1);
}

// The built program in a folder of its own, under the offscreen platform.
class ProgramProcess : public ::testing::Test {
 protected:
  void Start() {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("SDL_AUDIODRIVER"), QStringLiteral("dummy"));
    process.setProcessEnvironment(env);
    process.start(QString::fromStdString(program.path("TEKUCROS.EXE")), {});
    ASSERT_TRUE(process.waitForStarted(5000));
    // The log is started once the windows are up; the mixer follows on a worker thread.
    for (int i = 0; i < 100 && !std::filesystem::exists(program.path("TEKUTRC.LOG")); ++i) QThread::msleep(100);
    ASSERT_TRUE(std::filesystem::exists(program.path("TEKUTRC.LOG")));
    ASSERT_FALSE(std::filesystem::exists(program.path("TEKUINI.INI")));
  }
  void Signal(int s) { ::kill(static_cast<pid_t>(process.processId()), s); }

  testing::TestProgram program{
      {"TEKUCROS.EXE", "libtekusound.so", "TEKUMOJI.BMP", "TEKUNUMB.BMP", "TEKUCOLR.BMP", "BGM.MID"}};
  QProcess process;
};

TEST_F(ProgramProcess, EachTerminationSignalEndsItWithinASecondWithTheSettingsWritten) {
  for (const int s : {SIGTERM, SIGINT, SIGHUP}) {
    Start();
    QThread::msleep(1000);  // the background music has started
    QElapsedTimer timer;
    timer.start();
    Signal(s);
    ASSERT_TRUE(process.waitForFinished(5000)) << "signal " << s;
    EXPECT_LT(timer.elapsed(), 1000) << "signal " << s;
    EXPECT_EQ(process.exitStatus(), QProcess::CrashExit) << "ended as killed by the signal";
    const ZIREDIZU ini(program.path("TEKUCROS.EXE"));
    EXPECT_EQ(ini.ReadIni("Width"), "468") << "signal " << s;
    std::filesystem::remove(program.path("TEKUINI.INI"));
  }
}

TEST_F(ProgramProcess, ASecondSignalEndsItAtOnce) {
  Start();
  // Both signals arrive together when it runs on, before its event loop sees the first one.
  Signal(SIGSTOP);
  Signal(SIGINT);
  Signal(SIGTERM);
  Signal(SIGCONT);
  ASSERT_TRUE(process.waitForFinished(5000));
  EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
  EXPECT_TRUE(process.exitCode() == 128 + SIGINT || process.exitCode() == 128 + SIGTERM) << process.exitCode();
  EXPECT_FALSE(std::filesystem::exists(program.path("TEKUINI.INI")));
}

}  // namespace
}  // namespace teku
