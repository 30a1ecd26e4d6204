// The end of the program: closing the main window takes every other window with it.
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

}  // namespace
}  // namespace teku
