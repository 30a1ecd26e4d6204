// The main window's commands and its grid clicks, driven as a user would.
#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

#include "app/main_window.h"
#include "app/program_windows.h"
#include "dialogs/hint_dialog.h"
#include "dialogs/password_dialog.h"
#include "panels/character_panel.h"
#include "support/test_program.h"
#include "surface/dib_file.h"
#include "surface/qt_cp932.h"

namespace teku {
namespace {

class Commands : public ::testing::Test {
 protected:
  void SetUp() override {
    windows.Create();
    form = windows.Form1.get();
    form->show();
  }
  void Menu(const char* name) { form->item(name)->trigger(); }
  // A small number-crossword: 1 2 / 2 3, answers 11 12 13.
  void SmallPuzzle() {
    form->puzzle.GridWidth = 2;
    form->puzzle.GridHeight = 2;
    const int rows[2][2] = {{1, 2}, {2, 3}};
    CellsLock cells(form->puzzle);
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < 2; ++x) cells.set(x, y, static_cast<std::uint8_t>(rows[y][x]));
    for (int n : {1, 2, 3}) {
      form->puzzle.AnserTbl[n] = 10 + n;
      form->puzzle.MojiTbl[10 + n] = std::string(1, static_cast<char>('A' + n));
    }
    form->LayoutGrid();
  }
  void ClickCell(int cx, int cy, Qt::MouseButton b = Qt::LeftButton) {
    form->PaintBox1MouseDown(b, cx * 32 + 4, cy * 32 + 4);
  }
  testing::TestProgram program;
  ProgramWindows windows{program.environment()};
  TForm1* form = nullptr;
};

TEST_F(Commands, PlayingAPuzzleAndCheckingTheAnswer) {
  SmallPuzzle();
  auto* panel = windows.TEKUWRDF.get();
  panel->SelectedMoji = 11;
  ClickCell(0, 0);
  EXPECT_TRUE(panel->isVisible()) << "a click shows the hidden character panel";
  EXPECT_EQ(form->puzzle.InputTbl[1], 11);
  EXPECT_EQ(form->Modified, 1);
  EXPECT_EQ(form->windowTitle(), QString::fromUtf8("ミナモ　ナンクロ支援ツールv0.42")) << "caption restored";
  Menu("MN_FILEFINE");
  EXPECT_EQ(form->windowTitle(), QString::fromUtf8("残念どこか違ってます。"));
  panel->SelectedMoji = 12;
  ClickCell(1, 0);
  panel->SelectedMoji = 13;
  ClickCell(1, 1);
  // A correct check shows the correct-answer picture in the character panel.
  DibSurface s;
  TDibImage fine;
  ASSERT_TRUE(s.CreateImage(224, 352, fine));
  ClearImage(fine, 5);
  ASSERT_TRUE(SaveDibImage(fine, program.path("SEIKAI.BMP")));
  Menu("MN_FILEFINE");
  EXPECT_EQ(form->windowTitle(), QString::fromUtf8("おめでとう！正解です。"));
  EXPECT_EQ(GetPixelNo(panel->PaintBox1->Image, 10, 10), 5);
  // The next click in the panel brings the characters back, not just the two cells it marks.
  panel->PaintBox1MouseDown(Qt::LeftButton, 100, 300);
  EXPECT_FALSE(panel->PictureShown);
  EXPECT_NE(GetPixelNo(panel->PaintBox1->Image, 10, 200), 5);
}

TEST_F(Commands, GameModeAgainKeepsTheInputButAnswerModeClearsIt) {
  SmallPuzzle();
  form->puzzle.InputTbl[1] = 11;
  Menu("MN_MODEGAME");
  EXPECT_EQ(form->puzzle.InputTbl[1], 11);
  Menu("MN_MODEANSER");
  EXPECT_TRUE(form->checked("MN_MODEANSER"));
  EXPECT_FALSE(form->checked("MN_MODEGAME"));
  EXPECT_EQ(form->puzzle.InputTbl[1], 256);
  Menu("MN_MODECREATE");
  EXPECT_EQ(form->puzzle.InputTbl[7], 7);
  Menu("MN_MODEGAME");
  EXPECT_EQ(form->puzzle.InputTbl[7], 256);
}

TEST_F(Commands, ThePasswordGateWithAWrongThenTheRightPassword) {
  form->puzzle.Password = "Pw";
  auto* dialog = windows.PasswordDlg.get();
  QTimer::singleShot(0, dialog, [dialog] {
    dialog->Password->setText(QStringLiteral("pw"));
    dialog->BTN_OK->click();
  });
  Menu("MN_MODEANSER");
  EXPECT_TRUE(form->checked("MN_MODEGAME")) << "letter case counts";
  QTimer::singleShot(0, dialog, [dialog] {
    dialog->Password->setText(QStringLiteral("Pw"));
    dialog->reject();  // even the close box lets the right text count
  });
  Menu("MN_MODECREATE");
  EXPECT_TRUE(form->checked("MN_MODECREATE"));
  ASSERT_EQ(program.messages.messages.size(), 1u) << "only the wrong password says so";
  EXPECT_EQ(Cp932ToQString(program.messages.messages[0].text), QString::fromUtf8("パスワードが違います。"));
}

TEST_F(Commands, LoadingOnlyTheCharacterTableInGameModeSaysWhyNothingHappens) {
  bool asked = false;
  form->ChooseOpenFile = [&] {
    asked = true;
    return std::optional<std::string>();
  };
  Menu("MN_FILETANGO");
  EXPECT_FALSE(asked);
  ASSERT_EQ(program.messages.messages.size(), 1u);
  EXPECT_TRUE(Cp932ToQString(program.messages.messages[0].text).contains(QString::fromUtf8("ｹﾞｰﾑ実行")))
      << "the message names game mode";
}

TEST_F(Commands, TheKindSwitchRedrawsAndTheHintToggleStalesTheClickCache) {
  SmallPuzzle();
  form->puzzle.HintTbl[0] = 1;  // cell (0, 0) starts clue 1
  Menu("MN_MODECROS");
  EXPECT_TRUE(form->checked("MN_MODECROS"));
  EXPECT_FALSE(form->checked("MN_MODENANKURO"));
  EXPECT_EQ(form->Modified, 1);
  // Cell (1, 0) starts no clue: in a crossword it shows only its tile.
  const std::uint8_t tile = GetPixelNo(form->sheets.ColorSheet, 16, 64 + 16);
  EXPECT_EQ(GetPixelNo(form->PaintBox1->Image, 32 + 16, 16), tile);
  form->clickCache.ClickCacheStale = 0;
  Menu("MN_MODEHINT");
  EXPECT_TRUE(form->checked("MN_MODEHINT"));
  EXPECT_EQ(form->clickCache.ClickCacheStale, 1);
}

TEST_F(Commands, ACrosswordClueOpensFromARightClickAndTheViewItemsFollowTheWindows) {
  SmallPuzzle();
  Menu("MN_MODECROS");
  form->puzzle.Password.clear();
  Menu("MN_MODEANSER");
  ClickCell(1, 1, Qt::RightButton);
  auto* hint = windows.TEKUHNTF.get();
  EXPECT_TRUE(hint->isVisible());
  EXPECT_EQ(form->puzzle.HintTbl[0], 4);
  EXPECT_EQ(hint->slot(), 0);
  Menu("MN_VIEWKAITOU");
  EXPECT_TRUE(form->checked("MN_VIEWKAITOU"));
  Menu("MN_VIEWKAITOU");
  EXPECT_FALSE(form->checked("MN_VIEWKAITOU"));
  Menu("MN_VIEWMONDAI");
  EXPECT_TRUE(form->checked("MN_VIEWMONDAI"));
}

TEST_F(Commands, TheFontCommandAppliesTheChosenFontOrKeepsTheCurrentOne) {
  QFont big(QStringLiteral("IPAGothic"));
  big.setPixelSize(24);
  form->ChooseFont = [&](const QFont&) { return std::optional<QFont>(big); };
  Menu("MN_VIEWFONT");
  EXPECT_EQ(form->glyphText.font().pixelSize(), 24);
  form->ChooseFont = [](const QFont&) { return std::optional<QFont>(); };
  Menu("MN_VIEWFONT");
  EXPECT_EQ(form->glyphText.font().pixelSize(), 24);
}

}  // namespace
}  // namespace teku
