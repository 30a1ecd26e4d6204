// The file menu: open, save, save as, new puzzle, character table only, and the save question.
#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

#include "app/main_window.h"
#include "app/program_windows.h"
#include "dialogs/initial_settings_dialog.h"
#include "panels/answer_panel.h"
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

class FileCommands : public ::testing::Test {
 protected:
  FileCommands() : program({"TEKUMOJI.BMP", "TEKUNUMB.BMP", "TEKUCOLR.BMP", "SAMPLE1.CRS", "SAMPLE2.CRS"}) {}
  void SetUp() override {
    windows.Create();
    form = windows.Form1.get();
    form->show();
    form->ChooseOpenFile = [this] { return next; };
    form->ChooseSaveFile = [this] { return next; };
    form->AskOverwrite = [this] { ++overwriteAsked; return overwriteAnswer; };
    form->AskSaveChanges = [this] { ++saveAsked; return saveAnswer; };
  }
  void Menu(const char* name) { form->item(name)->trigger(); }
  void Open(const std::string& name) {
    next = program.path(name);
    Menu("MN_FILEOPEN");
  }
  testing::TestProgram program;
  ProgramWindows windows{program.environment()};
  TForm1* form = nullptr;
  std::optional<std::string> next;
  bool overwriteAnswer = true;
  int overwriteAsked = 0;
  TForm1::SaveAnswer saveAnswer = TForm1::SaveAnswer::No;
  int saveAsked = 0;
};

TEST_F(FileCommands, OpeningShowsThePuzzleInGameModeWithThePathInTheCaption) {
  form->setChecked("MN_MODEGAME", false);
  form->setChecked("MN_MODECREATE", true);
  Open("SAMPLE2.CRS");
  EXPECT_TRUE(form->checked("MN_MODEGAME"));
  EXPECT_TRUE(form->checked("MN_MODECROS"));
  EXPECT_EQ(form->puzzle.GridWidth, 7);
  EXPECT_EQ(form->puzzle.MondaiName, "SAMPLE2.CRS");
  EXPECT_EQ(form->windowTitle(), QString::fromUtf8("ﾌｧｲﾙ ") + QString::fromStdString(program.path("SAMPLE2.CRS")));
  EXPECT_EQ(form->Modified, 0);
  EXPECT_EQ(form->clickCache.ClickCacheStale, 1);
}

TEST_F(FileCommands, OpeningStartingAgainAndTheNewSizeClearShowTheTopLeftCorner) {
  const auto scrolled = [this] {
    form->ScrollBar_Width->setValue(1);
    form->ScrollBar_Height->setValue(3);
    return form->View().scrollX == 1 && form->View().scrollY == 3;
  };
  const auto atOrigin = [this] { return form->View().scrollX == 0 && form->View().scrollY == 0; };
  Open("SAMPLE1.CRS");
  ASSERT_TRUE(scrolled());
  Open("SAMPLE1.CRS");  // the same size: no new layout
  EXPECT_TRUE(atOrigin());
  ASSERT_TRUE(scrolled());
  Menu("MN_FILENEWOPEN");
  EXPECT_TRUE(atOrigin()) << "starting the game again";
  form->puzzle.Password.clear();
  Menu("MN_MODECREATE");
  Menu("MN_FILENEWOPEN");
  windows.TEKUINTF->EDT_MONDAIX->setText(QStringLiteral("15"));
  windows.TEKUINTF->EDT_MONDAIY->setText(QStringLiteral("15"));  // the same size again
  ASSERT_TRUE(scrolled());
  windows.TEKUINTF->OKBtn->click();
  EXPECT_TRUE(atOrigin()) << "the new-size clear";
}

TEST_F(FileCommands, AGameModeSaveWritesOnlyTheInput) {
  form->puzzle.InputTbl[3] = 9;
  Menu("MN_FILESAVE");
  const std::string text = Slurp(program.path("DEFAULTI.CRS"));
  EXPECT_NE(text.find("INPUTTBL0=256,256,256,9"), std::string::npos);
  EXPECT_EQ(text.find("WIDTH"), std::string::npos);
  EXPECT_EQ(overwriteAsked, 0) << "a new file needs no question";
  Menu("MN_FILESAVE");
  EXPECT_EQ(overwriteAsked, 1);
}

TEST_F(FileCommands, SaveAsToANewNameAddsTheExtensionAndACancelledOverwriteKeepsTheName) {
  form->setChecked("MN_MODEGAME", false);
  form->setChecked("MN_MODECREATE", true);
  form->puzzle.Title = "t";
  form->Modified = 1;
  next = program.path("MINE");
  Menu("MN_FILESAVEAS");
  EXPECT_EQ(form->puzzle.MondaiName, "MINE.CRS");
  EXPECT_NE(Slurp(program.path("MINE.CRS")).find("TITLE=t\r\n"), std::string::npos);
  EXPECT_EQ(form->Modified, 0);
  overwriteAnswer = false;
  next = program.path("SAMPLE1.CRS");
  const std::string before = Slurp(program.path("SAMPLE1.CRS"));
  Menu("MN_FILESAVEAS");
  EXPECT_EQ(form->puzzle.MondaiName, "SAMPLE1.CRS");
  EXPECT_EQ(Slurp(program.path("SAMPLE1.CRS")), before);
}

TEST_F(FileCommands, TheSaveQuestionGuardsOpenNewAndExit) {
  form->Modified = 1;
  saveAnswer = TForm1::SaveAnswer::Cancel;
  Open("SAMPLE1.CRS");
  EXPECT_EQ(form->puzzle.GridWidth, 16) << "cancel ends the command";
  EXPECT_EQ(form->Modified, 1);
  Menu("MN_FILEEND");
  EXPECT_FALSE(form->destroyed()) << "cancel keeps the window open";
  saveAnswer = TForm1::SaveAnswer::Yes;
  overwriteAnswer = false;
  std::ofstream(program.path("DEFAULTI.CRS")) << "[TEKUCROSE]\r\n";
  Open("SAMPLE1.CRS");
  EXPECT_EQ(form->puzzle.GridWidth, 16) << "a save that did not happen ends the command";
  EXPECT_EQ(form->Modified, 1);
  saveAnswer = TForm1::SaveAnswer::No;
  Open("SAMPLE1.CRS");
  EXPECT_EQ(form->puzzle.GridWidth, 15);
  EXPECT_EQ(saveAsked, 4);
}

TEST_F(FileCommands, NewPuzzleInGameModeClearsTheInputAndKeepsTheName) {
  Open("SAMPLE1.CRS");
  form->puzzle.InputTbl[1] = 5;
  Menu("MN_FILENEWOPEN");
  EXPECT_EQ(form->puzzle.InputTbl[1], 256);
  EXPECT_EQ(form->puzzle.MondaiName, "SAMPLE1.CRS");
  EXPECT_EQ(form->puzzle.GridWidth, 15);
}

TEST_F(FileCommands, NewPuzzleInCreateModeClearsToTheTypedSize) {
  Open("SAMPLE1.CRS");
  form->setChecked("MN_MODEGAME", false);
  form->setChecked("MN_MODECREATE", true);
  Menu("MN_FILENEWOPEN");
  auto* d = windows.TEKUINTF.get();
  ASSERT_TRUE(d->isVisible());
  EXPECT_EQ(form->NewPuzzlePending, 1);
  d->EDT_MONDAIX->setText(QStringLiteral("5"));
  d->EDT_MONDAIY->setText(QStringLiteral("4"));
  d->hide();
  EXPECT_EQ(form->puzzle.GridWidth, 5);
  EXPECT_EQ(form->puzzle.GridHeight, 4);
  EXPECT_EQ(form->puzzle.MondaiName, "DEFAULTI.CRS");
  EXPECT_EQ(form->PaintBox1->width(), 160);
}

TEST_F(FileCommands, OpeningEndsAPendingNewPuzzle) {
  form->setChecked("MN_MODEGAME", false);
  form->setChecked("MN_MODEANSER", true);
  Menu("MN_FILENEWOPEN");
  Open("SAMPLE1.CRS");
  EXPECT_EQ(form->NewPuzzlePending, 0);
  windows.TEKUINTF->hide();
  EXPECT_EQ(form->puzzle.GridWidth, 15) << "closing the dialog does not clear the opened puzzle";
}

TEST_F(FileCommands, TheCharacterTableOnlyWorksOutsideGameMode) {
  int chooserCalls = 0;
  form->ChooseOpenFile = [&] {
    ++chooserCalls;
    return std::optional<std::string>(program.path("SAMPLE1.CRS"));
  };
  Menu("MN_FILETANGO");
  EXPECT_EQ(chooserCalls, 0) << "game mode: not even the dialog";
  form->setChecked("MN_MODEGAME", false);
  form->setChecked("MN_MODEANSER", true);
  Menu("MN_FILETANGO");
  EXPECT_EQ(chooserCalls, 1);
  EXPECT_FALSE(form->puzzle.MojiTbl[1].empty());
  EXPECT_EQ(form->puzzle.GridWidth, 16) << "only the character table";
  EXPECT_EQ(form->Modified, 1);
}

TEST_F(FileCommands, ARefusedSaveReportsThePathAndKeepsModified) {
  std::ofstream(program.path("DEFAULTI.CRS")) << "[TEKUCROSE]\r\n";
  std::filesystem::permissions(program.path("DEFAULTI.CRS"), std::filesystem::perms::owner_read);
  form->Modified = 1;
  Menu("MN_FILESAVE");
  EXPECT_EQ(form->Modified, 1);
  ASSERT_FALSE(program.messages.messages.empty());
  EXPECT_TRUE(Cp932ToQString(program.messages.messages.back().text).contains(QString::fromUtf8("に書き込めません")));
}

TEST_F(FileCommands, AFileThatIsNotAPuzzleKeepsThePuzzleAndIsReplacedOnlyAfterAYes) {
  Open("SAMPLE1.CRS");
  const QString title = form->windowTitle();
  const std::string picture = Slurp(program.path("TEKUMOJI.BMP"));
  std::ofstream(program.path("X.CRS"), std::ios::binary) << picture;
  Open("X.CRS");
  EXPECT_EQ(form->puzzle.MondaiName, "SAMPLE1.CRS");
  EXPECT_EQ(form->puzzle.GridWidth, 15);
  EXPECT_EQ(form->windowTitle(), title);
  ASSERT_EQ(program.messages.messages.size(), 1u);
  EXPECT_TRUE(Cp932ToQString(program.messages.messages[0].text).contains(QString::fromUtf8("X.CRS は問題ファイルではありません")));
  std::vector<std::string> asked;
  bool yes = false;
  form->AskOverwriteNotPuzzle = [&](const std::string& path) {
    asked.push_back(path);
    return yes;
  };
  next = program.path("X.CRS");
  Menu("MN_FILESAVEAS");
  EXPECT_EQ(asked, std::vector<std::string>{program.path("X.CRS")});
  EXPECT_EQ(overwriteAsked, 0) << "one question, not two";
  EXPECT_EQ(Slurp(program.path("X.CRS")), picture);
  yes = true;
  Menu("MN_FILESAVE");
  EXPECT_EQ(Slurp(program.path("X.CRS")).rfind("[TEKUCROSE]\r\nINPUTTBL0=", 0), 0u);
}

TEST(FileCommandsFolder, AProgramFolderWhoseNameIsNotUtf8OpensAndSavesAs) {
  testing::TestProgram base({"TEKUMOJI.BMP", "TEKUNUMB.BMP", "TEKUCOLR.BMP", "SAMPLE1.CRS"});
  const std::filesystem::path dir = base.dir() / "\x83\x65\x83\x4c";  // Shift-JIS
  std::filesystem::create_directory(dir);
  for (const char* f : {"TEKUMOJI.BMP", "TEKUNUMB.BMP", "TEKUCOLR.BMP", "SAMPLE1.CRS"}) {
    std::filesystem::copy_file(base.path(f), dir / f);
  }
  testing::RecordingMessages messages;
  ProgramWindows windows(ProgramEnvironment{(dir / "TEKUCROS.EXE").string(), &messages, std::nullopt});
  windows.Create();
  TForm1& f = *windows.Form1;
  std::optional<std::string> next = (dir / "SAMPLE1.CRS").string();
  f.ChooseOpenFile = [&] { return next; };
  f.ChooseSaveFile = [&] { return next; };
  f.item("MN_FILEOPEN")->trigger();
  EXPECT_EQ(f.puzzle.GridWidth, 15);
  next = (dir / "MINE").string();
  f.item("MN_FILESAVEAS")->trigger();
  EXPECT_TRUE(std::filesystem::exists(dir / "MINE.CRS"));
  EXPECT_TRUE(messages.messages.empty());
}

}  // namespace
}  // namespace teku
