// A whole puzzle made from nothing with clicks and dialogs, saved, opened again and solved.
#include <QAction>
#include <QLineEdit>
#include <QLabel>
#include <QPushButton>
#include <gtest/gtest.h>

#include "app/main_window.h"
#include "app/program_windows.h"
#include "dialogs/char_setting_dialog.h"
#include "dialogs/hint_dialog.h"
#include "dialogs/initial_settings_dialog.h"
#include "panels/answer_panel.h"
#include "panels/character_panel.h"
#include "support/test_program.h"

namespace teku {
namespace {

class EndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    windows.Create();
    f = windows.Form1.get();
    f->show();
    f->ChooseOpenFile = [this] { return next; };
    f->ChooseSaveFile = [this] { return next; };
    f->AskOverwrite = [] { return true; };
    f->AskSaveChanges = [] { return TForm1::SaveAnswer::No; };
    panel = windows.TEKUWRDF.get();
  }
  void Menu(const char* name) { f->item(name)->trigger(); }
  void Cell(int x, int y, Qt::MouseButton b = Qt::LeftButton) { f->PaintBox1MouseDown(b, x * 32 + 3, y * 32 + 3); }
  // Selects entry e in the panel (create mode lists from 0, the others from 1).
  void Pick(int e, Qt::MouseButton b = Qt::LeftButton) {
    const int i = e - (f->checked("MN_MODECREATE") ? 0 : 1);
    panel->PaintBox1MouseDown(b, (i % 7) * 32 + 3, (i / 7) * 32 + 3);
  }
  void NewPuzzle(int w, int h, const char* title) {
    Menu("MN_MODECREATE");
    Menu("MN_FILENEWOPEN");
    auto* d = windows.TEKUINTF.get();
    d->EDT_MONDAIX->setText(QString::number(w));
    d->EDT_MONDAIY->setText(QString::number(h));
    d->EDT_MONDAITITLE->setText(QString::fromUtf8(title));
    d->OKBtn->click();
  }
  void Character(int e, const char* text) {
    Pick(e, Qt::RightButton);
    windows.TEKUSPLF->Edit1->setText(QString::fromUtf8(text));
    windows.TEKUSPLF->OKBtn->click();
  }
  testing::TestProgram program;
  ProgramWindows windows{program.environment()};
  TForm1* f = nullptr;
  TTEKUWRDF* panel = nullptr;
  std::optional<std::string> next;
};

TEST_F(EndToEnd, ANumberCrosswordIsAuthoredSavedOpenedAndSolved) {
  NewPuzzle(5, 5, "ごかく");
  ASSERT_EQ(f->puzzle.GridWidth, 5);
  panel->show();
  // Numbers: row 0 = 1 2 3 1 2, row 2 = 3 1 . . . (the rest empty).
  const int layout[][3] = {{0, 0, 1}, {1, 0, 2}, {2, 0, 3}, {3, 0, 1}, {4, 0, 2}, {0, 2, 3}, {1, 2, 1}};
  for (const auto& c : layout) {
    Pick(c[2]);
    Cell(c[0], c[1]);
  }
  // Characters 10, 11, 12 through the character dialog.
  Character(10, "ア");
  Character(11, "イ");
  Character(12, "ウ");
  // Answers: number n gets character 9 + n.
  Menu("MN_MODEANSER");
  const int firstCell[][2] = {{0, 0}, {1, 0}, {2, 0}};
  for (int n = 1; n <= 3; ++n) {
    Pick(9 + n);
    Cell(firstCell[n - 1][0], firstCell[n - 1][1]);
  }
  EXPECT_EQ(f->puzzle.AnserTbl[1], 10);
  EXPECT_EQ(f->puzzle.AnserTbl[3], 12);
  // Two given cells.
  Menu("MN_MODEHINT");
  Cell(4, 0);
  Cell(0, 2);
  EXPECT_EQ(f->puzzle.Syoki[0], 4);
  EXPECT_EQ(f->puzzle.Syoki[1], 10);
  Menu("MN_MODEHINT");
  // A three-position answer word.
  Menu("MN_MODECREATE");
  windows.TEKUKTOF->show();
  for (int s = 0; s < 3; ++s) {
    Pick(s + 1);
    windows.TEKUKTOF->PaintBox1MouseDown(Qt::LeftButton, s * 32 + 3, 3);
  }
  next = program.path("GOKAKU");
  Menu("MN_FILESAVEAS");
  ASSERT_EQ(f->puzzle.MondaiName, "GOKAKU.CRS");

  // A player opens it and solves it.
  next = program.path("GOKAKU.CRS");
  Menu("MN_FILEOPEN");
  ASSERT_TRUE(f->checked("MN_MODEGAME"));
  EXPECT_EQ(f->puzzle.Title, "\x82\xb2\x82\xa9\x82\xad");
  EXPECT_EQ(f->puzzle.Kaitou[2], 3);
  Menu("MN_FILEFINE");
  EXPECT_EQ(f->windowTitle(), QString::fromUtf8("残念どこか違ってます。"));
  Pick(10);
  Cell(3, 0);  // number 1
  Pick(11);
  Cell(1, 0);  // number 2
  Pick(12);
  Cell(2, 0);  // number 3
  Menu("MN_FILEFINE");
  EXPECT_EQ(f->windowTitle(), QString::fromUtf8("おめでとう！正解です。"));
}

TEST_F(EndToEnd, ACrosswordsCluesAreWrittenAndReadBackInGameMode) {
  NewPuzzle(3, 1, "クロス");
  Menu("MN_MODECROS");
  panel->show();
  for (int x = 0; x < 3; ++x) {
    Pick(x + 1);
    Cell(x, 0);
  }
  Character(20, "ね");
  Character(21, "こ");
  Character(22, "む");
  Menu("MN_MODEANSER");
  for (int x = 0; x < 3; ++x) {
    Pick(20 + x);
    Cell(x, 0);
  }
  // A clue on the first cell.
  Cell(0, 0, Qt::RightButton);
  auto* hint = windows.TEKUHNTF.get();
  ASSERT_TRUE(hint->isVisible());
  hint->Edit1->setText(QString::fromUtf8("なし"));
  hint->Edit2->setText(QString::fromUtf8("ねずみを追う動物"));
  hint->OKBtn->click();
  next = program.path("NEKO.CRS");
  Menu("MN_FILESAVEAS");

  next = program.path("NEKO.CRS");
  Menu("MN_FILEOPEN");
  EXPECT_TRUE(f->checked("MN_MODECROS"));
  Cell(0, 0, Qt::RightButton);
  ASSERT_TRUE(hint->isVisible());
  EXPECT_TRUE(hint->Edit1->isReadOnly());
  EXPECT_EQ(hint->Edit2->text(), QString::fromUtf8("ねずみを追う動物"));
  EXPECT_EQ(hint->Label4->text(), QStringLiteral("1"));
  hint->OKBtn->click();
  for (int x = 0; x < 3; ++x) {
    Pick(20 + x);
    Cell(x, 0);
  }
  Menu("MN_FILEFINE");
  EXPECT_EQ(f->windowTitle(), QString::fromUtf8("おめでとう！正解です。"));
}

}  // namespace
}  // namespace teku
