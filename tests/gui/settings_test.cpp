// The main window's settings: read and snapped at start-up, written at shut-down.
#include <QAction>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QThread>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>

#include "app/main_window.h"
#include "app/program_windows.h"
#include "dialogs/hint_dialog.h"
#include "panels/answer_panel.h"
#include "panels/character_panel.h"
#include "support/test_program.h"
#include "surface/qt_cp932.h"

namespace teku {
namespace {

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

void PutIni(testing::TestProgram& program, const std::string& keys) {
  std::ofstream(program.path("TEKUINI.INI"), std::ios::binary) << "[TEKUCROSE]\r\n" << keys;
}

TEST(Settings, PositionsAndSizesAreSnappedAsStored) {
  testing::TestProgram program;
  PutIni(program, "Left=250\r\nTop=-13\r\nWidth=484\r\nHeight=356\r\n");
  ProgramWindows windows(program.environment());
  windows.Create();
  TForm1& f = *windows.Form1;
  EXPECT_EQ(f.x(), 248);
  EXPECT_EQ(f.ClientWidth(), 500);
  EXPECT_EQ(f.ClientHeight(), 340);
}

TEST(Settings, ATopOfMinus13GivesMinus8AndOtherSizes) {
  testing::TestProgram program;
  PutIni(program, "Left=-13\r\nTop=100\r\nWidth=483\r\nHeight=357\r\n");
  ProgramWindows windows(program.environment());
  windows.Create();
  EXPECT_EQ(windows.Form1->x(), -8);
  EXPECT_EQ(windows.Form1->ClientWidth(), 468);
  EXPECT_EQ(windows.Form1->ClientHeight(), 372);
}

TEST(Settings, AWindowOffEveryScreenOrWithNoCellIsBroughtBack) {
  testing::TestProgram program;
  PutIni(program, "Left=-32000\r\nTop=-32000\r\nWidth=0\r\nHeight=3\r\n");
  ProgramWindows windows(program.environment());
  windows.Create();
  EXPECT_GE(windows.Form1->x(), 0);
  EXPECT_GE(windows.Form1->y(), 0);
  EXPECT_GE(windows.Form1->ClientWidth(), 52);
  EXPECT_GE(windows.Form1->ClientHeight(), 52);
}

TEST(Settings, SoundOffOnlyForExactlyOffAndEmptyNamesTakeTheirDefaults) {
  testing::TestProgram program;
  PutIni(program, "ONKYO=off\r\nBGMMID=\r\nMONDAI=SAMPLE1.CRS\r\n");
  {
    ProgramWindows windows(program.environment());
    windows.Create();
    EXPECT_TRUE(windows.Form1->checked("MN_MODEONGAKU"));
    EXPECT_EQ(windows.Form1->sound.BgmMidPath, "BGM.MID");
    EXPECT_EQ(windows.Form1->puzzle.MondaiName, "DEFAULTI.CRS") << "MONDAI opens nothing";
    EXPECT_EQ(windows.Form1->puzzle.GridWidth, 16);
  }
  PutIni(program, "ONKYO=OFF\r\n");
  ProgramWindows windows(program.environment());
  windows.Create();
  EXPECT_FALSE(windows.Form1->checked("MN_MODEONGAKU"));
}

// Runs the event loop until the player's load has ended (at most thirty seconds: the soundfont
// takes seconds to load on a busy machine).
bool WaitForThePlayer(const TForm1& f) {
  for (int i = 0; i < 3000 && !f.SoundPlayerLoaded(); ++i) {
    QCoreApplication::processEvents();
    QThread::msleep(10);
  }
  QCoreApplication::processEvents();
  return f.SoundPlayerLoaded();
}

TEST(Settings, SoundLoadsAfterTheFirstPaintOrAtTheFirstSoundWantedWithoutWaitingForIt) {
  testing::TestProgram program({"TEKUMOJI.BMP", "TEKUNUMB.BMP", "TEKUCOLR.BMP", "HIDARI.WAV",
                                "MIGI.WAV", "SEIKAI.WAV", "BGM.MID"});
  {
    ProgramWindows windows(program.environment());
    windows.Create();
    TForm1& f = *windows.Form1;
    EXPECT_TRUE(f.SoundOpenPending);
    EXPECT_FALSE(f.SoundPlayerLoaded()) << "nothing loaded before the grid is on screen";
    f.show();
    ASSERT_TRUE(WaitForThePlayer(f));
    EXPECT_FALSE(f.SoundOpenPending);
    EXPECT_NE(f.sound.LeftWavDevice, 0u);
    EXPECT_NE(f.sound.BgmDevice, 0u);
  }
  {
    ProgramWindows windows(program.environment());
    windows.Create();
    TForm1& f = *windows.Form1;
    f.PlayLeftClick();  // a click before any paint starts the load and returns at once
    EXPECT_EQ(f.sound.LeftWavDevice, 0u);
    ASSERT_TRUE(WaitForThePlayer(f));
    EXPECT_FALSE(f.SoundOpenPending);
    EXPECT_NE(f.sound.LeftWavDevice, 0u);
  }
  {
    ProgramWindows windows(program.environment());
    windows.Create();
    TForm1& f = *windows.Form1;
    f.item("MN_MODEONGAKU")->trigger();  // sound turned off before it ever opened
    f.show();
    for (int i = 0; i < 20; ++i) QCoreApplication::processEvents();
    EXPECT_FALSE(f.SoundPlayerLoaded()) << "no sound, no player";
    f.setChecked("MN_MODEONGAKU", true);  // on again, and the sound dialog closed
    f.ReopenSound();
    EXPECT_EQ(f.sound.BgmDevice, 0u);
    ASSERT_TRUE(WaitForThePlayer(f));
    EXPECT_NE(f.sound.BgmDevice, 0u);
  }
  {
    ProgramWindows windows(program.environment());
    windows.Create();
    windows.Form1->PlayRightClick();
    windows.ShutDown();  // ending while the player loads neither waits for it nor opens it
    EXPECT_TRUE(WaitForThePlayer(*windows.Form1));
    EXPECT_EQ(windows.Form1->sound.BgmDevice, 0u);
  }
  PutIni(program, "ONKYO=OFF\r\n");
  ProgramWindows windows(program.environment());
  windows.Create();
  EXPECT_FALSE(windows.Form1->SoundOpenPending);
}

TEST(Settings, ShutDownWritesEveryKeyAndThePanelsTheirOwn) {
  testing::TestProgram program;
  {
    ProgramWindows windows(program.environment());
    windows.Create();
    windows.Form1->show();
    windows.TEKUWRDF->show();
    windows.Form1->puzzle.MondaiName = "X.CRS";
    windows.Form1->close();
    EXPECT_FALSE(windows.TEKUWRDF->isVisible());
  }
  const ZIREDIZU ini(program.path("TEKUCROS.EXE"));
  EXPECT_EQ(ini.ReadIni("Width"), "468");
  EXPECT_EQ(ini.ReadIni("Height"), "340");
  EXPECT_EQ(ini.ReadIni("MONDAI"), "X.CRS");
  EXPECT_EQ(ini.ReadIni("ONKYO"), "ON");
  EXPECT_EQ(ini.ReadIni("FINEBMP"), "SEIKAI.BMP");
  EXPECT_EQ(ini.ReadIni("WWidth"), "244");
  EXPECT_FALSE(ini.ReadIni("KLeft").empty());
  EXPECT_TRUE(ini.ReadIni("NLeft").empty()) << "a hint dialog never shown stores nothing";
}

TEST(Settings, AReadOnlySettingsFileShowsTheErrorAndWritesNothing) {
  testing::TestProgram program;
  PutIni(program, "Left=8\r\n");
  const std::string before = Slurp(program.path("TEKUINI.INI"));
  std::filesystem::permissions(program.path("TEKUINI.INI"), std::filesystem::perms::owner_read);
  {
    ProgramWindows windows(program.environment());
    windows.Create();
  }
  EXPECT_EQ(Slurp(program.path("TEKUINI.INI")), before);
  ASSERT_FALSE(program.messages.messages.empty());
  EXPECT_EQ(Cp932ToQString(program.messages.messages.front().text),
            QString::fromStdString(program.path("TEKUINI.INI")) + QString::fromUtf8(" に書き込めません"));
}

TEST(Settings, ThePanelRestoresItsStoredPlaceSnapped) {
  testing::TestProgram program;
  PutIni(program, "WLeft=13\r\nWTop=21\r\nWWidth=250\r\nWHeight=352\r\n");
  ProgramWindows windows(program.environment());
  windows.Create();
  windows.TEKUWRDF->show();
  EXPECT_EQ(windows.TEKUWRDF->x(), 8);
  EXPECT_EQ(windows.TEKUWRDF->y(), 16);
  EXPECT_EQ(windows.TEKUWRDF->width(), 244);
  EXPECT_EQ(windows.TEKUWRDF->PanelCols, 7);
  windows.TEKUWRDF->hide();
  PutIni(program, "WWidth=300\r\nWHeight=20\r\n");
  windows.TEKUWRDF->show();
  EXPECT_EQ(windows.TEKUWRDF->width(), 308);
  EXPECT_EQ(windows.TEKUWRDF->PanelCols, 9);
  EXPECT_GE(windows.TEKUWRDF->PanelRows, 4) << "a tiny stored height keeps four rows";
}

TEST(Settings, EveryStoredPlaceComesBackSnapped) {
  testing::TestProgram program;
  PutIni(program, "KLeft=413\r\nKTop=45\r\nNLeft=205\r\nNTop=211\r\n");
  ProgramWindows windows(program.environment());
  windows.Create();
  windows.TEKUKTOF->show();
  windows.TEKUHNTF->show();
  EXPECT_EQ(windows.TEKUKTOF->pos(), QPoint(408, 40));
  EXPECT_EQ(windows.TEKUHNTF->pos(), QPoint(200, 208));
}

TEST(Settings, HostileValuesKeepEveryWindowOnTheScreenAndOfASaneSize) {
  testing::TestProgram program;
  PutIni(program,
         "Left=2147483647\r\nTop=2147483647\r\nWidth=-2147483648\r\nHeight=-2147483648\r\n"
         "WLeft=2147483647\r\nWTop=-2147483648\r\nWWidth=100000000\r\nWHeight=100000000\r\n"
         "KLeft=-2147483648\r\nKTop=2147483647\r\nNLeft=99999999\r\nNTop=-99999999\r\n");
  ProgramWindows windows(program.environment());
  windows.Create();
  const QRect screen = QGuiApplication::primaryScreen()->geometry();
  const std::vector<QWidget*> all = {windows.Form1.get(), windows.TEKUWRDF.get(), windows.TEKUKTOF.get(),
                                     windows.TEKUHNTF.get()};
  for (QWidget* w : all) w->show();
  for (QWidget* w : all) EXPECT_TRUE(screen.contains(w->pos())) << w->objectName().toStdString();
  EXPECT_EQ(windows.Form1->ClientWidth(), 52);
  EXPECT_LE(windows.TEKUWRDF->width(), screen.width());
  EXPECT_LE(windows.TEKUWRDF->PaintBox1->Image.height(), screen.height()) << "no picture larger than the screen";
  windows.TEKUWRDF->hide();
  PutIni(program, "WWidth=-2147483648\r\nWHeight=-2147483648\r\n");
  windows.TEKUWRDF->show();
  EXPECT_EQ(windows.TEKUWRDF->width(), 148);
  EXPECT_EQ(windows.TEKUWRDF->PanelRows, 4);
}

TEST(Settings, ASettingsFileThatIsNotProfileTextIsReportedAndNeverWritten) {
  for (const bool fifo : {true, false}) {
    testing::TestProgram program;
    const std::string ini = program.path("TEKUINI.INI");
    const std::string picture = Slurp(program.path("TEKUMOJI.BMP"));
    if (fifo) {
      ASSERT_EQ(::mkfifo(ini.c_str(), 0600), 0);
    } else {
      std::ofstream(ini, std::ios::binary) << picture;
    }
    {
      ProgramWindows windows(program.environment());
      windows.Create();
      ASSERT_FALSE(program.messages.messages.empty());
      EXPECT_TRUE(Cp932ToQString(program.messages.messages[0].text).contains(QString::fromUtf8("は設定ファイルではありません")));
    }
    if (fifo) {
      EXPECT_TRUE(std::filesystem::is_fifo(ini));
    } else {
      EXPECT_EQ(Slurp(ini), picture);
    }
  }
}

}  // namespace
}  // namespace teku
