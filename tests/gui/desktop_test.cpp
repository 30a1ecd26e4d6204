// The program as a Linux desktop uses it: puzzles anywhere, opened from the command line, a drop
// or the recent list, and the settings and log in the XDG folders when the program is installed.
#include <QAction>
#include <QCoreApplication>
#include <QDropEvent>
#include <QMenu>
#include <QMimeData>
#include <QProcess>
#include <QThread>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>

#include "app/main_window.h"
#include "app/program_windows.h"
#include "panels/character_panel.h"
#include "services/profile_file.h"
#include "support/test_program.h"
#include "surface/qt_cp932.h"

namespace teku {
namespace {

namespace fs = std::filesystem;

std::string Slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

// A folder of the user's, apart from the program folder.
struct Elsewhere {
  explicit Elsewhere(const testing::TestProgram& program) : dir(program.dir().string() + "-elsewhere") {
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  ~Elsewhere() { fs::remove_all(dir); }
  std::string path(const std::string& name) const { return (dir / name).string(); }
  fs::path dir;
};

class Desktop : public ::testing::Test {
 protected:
  void SetUp() override {
    windows.Create();
    form = windows.Form1.get();
    form->ChooseOpenFile = [this] { return next; };
    form->ChooseSaveFile = [this] { return next; };
    form->AskOverwrite = [] { return true; };
  }
  QString LastMessage() const {
    return program.messages.messages.empty() ? QString() : Cp932ToQString(program.messages.messages.back().text);
  }
  testing::TestProgram program{{"TEKUMOJI.BMP", "TEKUNUMB.BMP", "TEKUCOLR.BMP", "SAMPLE1.CRS", "SAMPLE2.CRS"}};
  Elsewhere elsewhere{program};
  ProgramWindows windows{program.environment()};
  TForm1* form = nullptr;
  std::optional<std::string> next;
};

TEST_F(Desktop, APuzzleOutsideTheProgramFolderOpensAndSavesWhereItIs) {
  fs::copy_file(program.path("SAMPLE2.CRS"), elsewhere.path("X.CRS"));
  std::ofstream(program.path("X.CRS"), std::ios::binary) << "[TEKUCROSE]\r\nWIDTH=9\r\n";
  next = elsewhere.path("X.CRS");
  form->item("MN_FILEOPEN")->trigger();
  EXPECT_EQ(form->puzzle.GridWidth, 7) << "the file chosen, not the one of that name in the program folder";
  EXPECT_EQ(form->puzzle.MondaiName, elsewhere.path("X.CRS"));
  EXPECT_EQ(form->windowTitle(), QString::fromUtf8("ﾌｧｲﾙ ") + QString::fromStdString(elsewhere.path("X.CRS")));
  form->puzzle.InputTbl[2] = 7;
  ASSERT_TRUE(form->MN_FILESAVEClick());
  EXPECT_NE(Slurp(elsewhere.path("X.CRS")).find("INPUTTBL0=256,256,7"), std::string::npos);
  EXPECT_EQ(Slurp(program.path("X.CRS")), "[TEKUCROSE]\r\nWIDTH=9\r\n");
  next = elsewhere.path("MINE");
  ASSERT_TRUE(form->MN_FILESAVEASClick());
  EXPECT_TRUE(fs::exists(elsewhere.path("MINE.CRS")));
  EXPECT_FALSE(fs::exists(program.path("MINE.CRS")));
  form->setChecked("MN_MODEGAME", false);
  form->setChecked("MN_MODEANSER", true);
  std::ofstream(elsewhere.path("T.CRS"), std::ios::binary) << "[TEKUCROSE]\r\nMOJITBL1=\x83\x65\r\n";
  next = elsewhere.path("T.CRS");
  form->item("MN_FILETANGO")->trigger();
  EXPECT_EQ(form->puzzle.MojiTbl[1], "\x83\x65");
  EXPECT_TRUE(program.messages.messages.empty()) << LastMessage().toStdString();
  EXPECT_EQ(form->Recent.paths(), (std::vector<std::string>{elsewhere.path("MINE.CRS"), elsewhere.path("X.CRS")}));
}

TEST_F(Desktop, AMissingOrForeignPathIsReportedAndChangesNothing) {
  form->OpenPuzzleAt(program.path("SAMPLE1.CRS"));
  const QString caption = form->windowTitle();
  fs::create_directory(elsewhere.path("DIR.CRS"));
  ASSERT_EQ(::mkfifo(elsewhere.path("FIFO.CRS").c_str(), 0600), 0);
  fs::copy_file(program.path("TEKUMOJI.BMP"), elsewhere.path("PICTURE.CRS"));
  const std::pair<const char*, const char*> cases[] = {{"GONE.CRS", "が見つかりません"},
                                                       {"DIR.CRS", "は問題ファイルではありません"},
                                                       {"FIFO.CRS", "は問題ファイルではありません"},
                                                       {"PICTURE.CRS", "は問題ファイルではありません"}};
  for (const auto& [name, why] : cases) {
    form->Recent.Add(elsewhere.path(name));
    EXPECT_FALSE(form->OpenPuzzleAt(elsewhere.path(name)));
    EXPECT_TRUE(LastMessage().contains(QString::fromUtf8(why))) << name;
    EXPECT_EQ(form->puzzle.MondaiName, "SAMPLE1.CRS") << name;
    EXPECT_EQ(form->windowTitle(), caption) << name;
  }
  EXPECT_EQ(form->Recent.paths(), std::vector<std::string>{program.path("SAMPLE1.CRS")}) << "they leave the list";
}

TEST_F(Desktop, AnIpuzExportOpensAgainAsThePuzzleAndABadOneChangesNothing) {
  form->OpenPuzzleAt(program.path("SAMPLE2.CRS"));
  form->puzzle.Password = "pw";
  int asked = 0;
  form->AskExportWithoutSolution = [&] {
    ++asked;
    return TForm1::SaveAnswer::No;
  };
  form->ChooseExportFile = [&](const QString& filter) {
    EXPECT_TRUE(filter.contains(QStringLiteral("*.ipuz")));
    return std::optional<std::string>(elsewhere.path("S2"));
  };
  form->item("MN_FILEEXPORTIPUZ")->trigger();
  EXPECT_EQ(asked, 1) << "a puzzle with a password asks first";
  ASSERT_TRUE(fs::exists(elsewhere.path("S2.ipuz")));
  EXPECT_EQ(Slurp(elsewhere.path("S2.ipuz")).find("pw"), std::string::npos);
  const Puzzle::Snapshot before = form->puzzle.TakeSnapshot();
  std::ofstream(elsewhere.path("bad.ipuz")) << "{\"kind\":[\"http://ipuz.org/sudoku#1\"]}";
  EXPECT_FALSE(form->OpenPuzzleAt(elsewhere.path("bad.ipuz")));
  EXPECT_TRUE(LastMessage().contains(QString::fromUtf8("クロスワードではない")));
  EXPECT_EQ(form->puzzle.MondaiName, "SAMPLE2.CRS");
  form->puzzle.Password.clear();
  ASSERT_TRUE(form->OpenPuzzleAt(elsewhere.path("S2.ipuz")));
  Puzzle::Snapshot after = form->puzzle.TakeSnapshot();
  after.password = "pw";
  EXPECT_TRUE(after == before) << "the puzzle as it was, but for the password";
  EXPECT_TRUE(form->checked("MN_MODECROS") && form->checked("MN_MODEGAME"));
  EXPECT_TRUE(form->puzzle.MondaiName.empty()) << "a save asks where the puzzle file goes";
  EXPECT_EQ(form->windowTitle(), QString::fromUtf8("ﾌｧｲﾙ ") + QString::fromStdString(elsewhere.path("S2.ipuz")));
}

TEST_F(Desktop, TheRecentMenuListsTheLastPuzzlesAndOpensThem) {
  QAction* submenu = form->findChild<QMenu*>(QStringLiteral("MN_FILE"))->actions()[1];
  EXPECT_EQ(submenu->objectName(), QStringLiteral("MN_FILERECENT"));
  EXPECT_FALSE(submenu->isEnabled());
  form->OpenPuzzleAt(program.path("SAMPLE1.CRS"));
  form->OpenPuzzleAt(program.path("SAMPLE2.CRS"));
  const QList<QAction*> entries = form->RecentMenu->actions();
  ASSERT_TRUE(submenu->isEnabled());
  EXPECT_EQ(entries[0]->text(), QStringLiteral("&1 ") + QString::fromStdString(program.path("SAMPLE2.CRS")));
  EXPECT_TRUE(entries[1]->isVisible());
  EXPECT_FALSE(entries[2]->isVisible());
  form->Modified = 1;
  int asked = 0;
  form->AskSaveChanges = [&] { ++asked; return TForm1::SaveAnswer::No; };
  entries[1]->trigger();
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(form->puzzle.GridWidth, 15);
  EXPECT_EQ(form->RecentMenu->actions()[0]->text(), QStringLiteral("&1 ") + QString::fromStdString(program.path("SAMPLE1.CRS")));
  form->close();
  const ZIREDIZU ini(program.path("TEKUCROS.EXE"));
  EXPECT_EQ(ini.ReadIni("RECENTFILE1"), program.path("SAMPLE1.CRS"));
  EXPECT_EQ(ini.ReadIni("RECENTFILE2"), program.path("SAMPLE2.CRS"));
  EXPECT_EQ(ini.ReadIni("MONDAI"), "SAMPLE1.CRS") << "a puzzle of the program folder by its bare name";
}

TEST_F(Desktop, ADroppedPuzzleOpensByItsBytes) {
  const std::string name = "\x83\x65.CRS";  // not UTF-8
  fs::copy_file(program.path("SAMPLE2.CRS"), elsewhere.path(name));
  QMimeData data;
  data.setData(QStringLiteral("text/uri-list"),
               QByteArray::fromStdString("file://" + elsewhere.dir.string() + "/%83e.CRS\r\n"));
  QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(form, &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(form, &drop);
  QCoreApplication::processEvents();
  EXPECT_EQ(form->puzzle.GridWidth, 7);
  EXPECT_EQ(form->puzzle.MondaiName, elsewhere.path(name));
  QMimeData picture;
  picture.setData(QStringLiteral("text/uri-list"), "file:///tmp/a.bmp\r\n");
  QDragEnterEvent refused(QPoint(5, 5), Qt::CopyAction, &picture, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(form, &refused);
  EXPECT_FALSE(refused.isAccepted());
}

// An installed program: data in its folder, settings and log in folders of the user's.
TEST(DesktopInstalled, SettingsAndLogGoToTheirOwnFoldersAndABareNameIsSavedWhereTheUserSays) {
  testing::TestProgram program{{"TEKUMOJI.BMP", "TEKUNUMB.BMP", "TEKUCOLR.BMP", "SAMPLE1.CRS"}};
  const Elsewhere home(program);
  ProgramEnvironment environment = program.environment();
  environment.folders = ProgramFolders{program.dir().string() + "/", home.path("config/tekucros/"),
                                       home.path("state/tekucros/"), false};
  ProgramWindows windows(environment);
  windows.Create();
  TForm1& f = *windows.Form1;
  EXPECT_TRUE(fs::exists(home.path("state/tekucros/TEKUTRC.LOG")));
  EXPECT_TRUE(f.sheets.allocated()) << "the sheets from the program folder";
  f.OpenPuzzleAt(program.path("SAMPLE1.CRS"));
  f.puzzle.InputTbl[0] = 4;
  int chosen = 0;
  f.ChooseSaveFile = [&] {
    ++chosen;
    return std::optional<std::string>(home.path("MINE.CRS"));
  };
  ASSERT_TRUE(f.MN_FILESAVEClick());
  EXPECT_EQ(chosen, 1) << "not into the program's own folder";
  const std::string saved = Slurp(home.path("MINE.CRS"));
  EXPECT_NE(saved.find("WIDTH=15"), std::string::npos) << "the puzzle with the input, not the input alone";
  EXPECT_NE(saved.find("INPUTTBL0=4,"), std::string::npos);
  f.close();
  EXPECT_EQ(ReadProfileString(home.path("config/tekucros/TEKUINI.INI"), "TEKUCROSE", "MONDAI", ""), home.path("MINE.CRS"));
  EXPECT_FALSE(fs::exists(program.path("TEKUINI.INI")));
  EXPECT_FALSE(fs::exists(program.path("TEKUTRC.LOG")));
  EXPECT_TRUE(program.messages.messages.empty());
}

TEST(DesktopInstalled, ASettingsFolderThatCannotBeMadeIsReportedOnce) {
  testing::TestProgram program;
  const Elsewhere home(program);
  std::ofstream(home.path("config")) << "a file where the folder would go";
  ProgramEnvironment environment = program.environment();
  environment.folders = ProgramFolders{program.dir().string() + "/", home.path("config/tekucros/"),
                                       home.path("state/tekucros/"), false};
  {
    ProgramWindows windows(environment);
    windows.Create();
    ASSERT_EQ(program.messages.messages.size(), 1u);
    EXPECT_TRUE(Cp932ToQString(program.messages.messages[0].text).contains(QString::fromUtf8("作れません")));
    windows.TEKUWRDF->show();
    windows.Form1->close();
  }
  EXPECT_EQ(program.messages.messages.size(), 1u) << "no refused write at the end";
}

TEST(DesktopProcess, ThePuzzleNamedOnTheCommandLineOpensAtStart) {
  testing::TestProgram program{{"TEKUCROS.EXE", "TEKUMOJI.BMP", "TEKUNUMB.BMP", "TEKUCOLR.BMP", "SAMPLE2.CRS"}};
  const Elsewhere elsewhere(program);
  fs::copy_file(program.path("SAMPLE2.CRS"), elsewhere.path("A B.CRS"));
  QProcess process;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  env.insert(QStringLiteral("SDL_AUDIODRIVER"), QStringLiteral("dummy"));
  process.setProcessEnvironment(env);
  process.setWorkingDirectory(QString::fromStdString(elsewhere.dir.string()));
  process.start(QString::fromStdString(program.path("TEKUCROS.EXE")), {QStringLiteral("A B.CRS")});
  ASSERT_TRUE(process.waitForStarted(5000));
  for (int i = 0; i < 100 && !fs::exists(program.path("TEKUTRC.LOG")); ++i) QThread::msleep(100);
  QThread::msleep(500);
  ::kill(static_cast<pid_t>(process.processId()), SIGTERM);
  ASSERT_TRUE(process.waitForFinished(5000));
  const ZIREDIZU ini(program.path("TEKUCROS.EXE"));
  EXPECT_EQ(ini.ReadIni("MONDAI"), elsewhere.path("A B.CRS"));
  EXPECT_EQ(ini.ReadIni("RECENTFILE1"), elsewhere.path("A B.CRS"));
}

}  // namespace
}  // namespace teku
