// Undo and redo in the windows: every kind of change a user makes goes back and comes again as
// one step; the player's and the author's histories stay apart; the saved point drives Modified
// and the caption's mark; an open starts anew.
#include <QAction>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QWindow>
#include <functional>
#include <gtest/gtest.h>

#include "app/edit_menu.h"
#include "app/grid_keyboard.h"
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

class UndoWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    windows.Create();
    f = windows.Form1.get();
    f->show();
    f->ChooseOpenFile = [this] { return next; };
    f->AskOverwrite = [] { return true; };
    f->AskSaveChanges = [] { return TForm1::SaveAnswer::No; };
    panel = windows.TEKUWRDF.get();
  }
  void Menu(const char* name) { f->item(name)->trigger(); }
  void Cell(int x, int y, Qt::MouseButton b = Qt::LeftButton) { f->PaintBox1MouseDown(b, x * 32 + 3, y * 32 + 3); }
  void Pick(int e, Qt::MouseButton b = Qt::LeftButton) {
    const int i = e - (f->checked("MN_MODECREATE") ? 0 : 1);
    panel->PaintBox1MouseDown(b, (i % 7) * 32 + 3, (i / 7) * 32 + 3);
  }
  void Type(const char* utf8) { f->keyboard->Commit(QString::fromUtf8(utf8)); }
  PuzzleState State() { return CaptureState(f->puzzle, f->Modes().kind); }
  static bool Same(const PuzzleState& a, const PuzzleState& b) { return a.snapshot == b.snapshot && a.kind == b.kind; }
  QString ShownCaption() { return f->windowHandle()->title(); }

  // The action changes the puzzle; one undo brings back what was before, one redo what it made.
  void ExpectOneStep(const char* what, const std::function<void()>& action) {
    const PuzzleState before = State();
    action();
    const PuzzleState after = State();
    ASSERT_FALSE(Same(before, after)) << what << " changed nothing";
    Menu("MN_EDITUNDO");
    EXPECT_TRUE(Same(State(), before)) << what << ": undo";
    Menu("MN_EDITREDO");
    EXPECT_TRUE(Same(State(), after)) << what << ": redo";
  }

  testing::TestProgram program{{"TEKUMOJI.BMP", "TEKUNUMB.BMP", "TEKUCOLR.BMP", "SAMPLE1.CRS"}};
  ProgramWindows windows{program.environment()};
  TForm1* f = nullptr;
  TTEKUWRDF* panel = nullptr;
  std::optional<std::string> next;
};

TEST_F(UndoWindow, EveryKindOfAuthorsChangeIsOneStep) {
  Menu("MN_MODECREATE");
  Menu("MN_FILENEWOPEN");
  auto* settings = windows.TEKUINTF.get();
  settings->EDT_MONDAIX->setText(QStringLiteral("5"));
  settings->EDT_MONDAIY->setText(QStringLiteral("5"));
  settings->OKBtn->click();
  EXPECT_FALSE(f->edits->undoAction->isEnabled()) << "a new size starts a new history";
  settings->show();
  ExpectOneStep("title, typed letter by letter", [&] {
    for (const char* t : {"t", "ti", "tit"}) settings->EDT_MONDAITITLE->setText(QString::fromUtf8(t));
  });
  ExpectOneStep("password", [&] { settings->EDT_PASSWORD->setText(QStringLiteral("pw")); });
  Menu("MN_EDITUNDO");  // no password to ask for in the mode changes below
  settings->OKBtn->click();
  panel->show();
  ExpectOneStep("cell number by click", [&] {
    Pick(3);
    Cell(0, 0);
  });
  ExpectOneStep("cell number typed as two digits", [&] {
    Cell(1, 0, Qt::RightButton);
    Type("1");
    Type("2");
  });
  ExpectOneStep("character", [&] {
    Pick(10, Qt::RightButton);
    windows.TEKUSPLF->Edit1->setText(QString::fromUtf8("ア"));
    windows.TEKUSPLF->OKBtn->click();
  });
  windows.TEKUKTOF->show();
  ExpectOneStep("answer word position", [&] { windows.TEKUKTOF->PaintBox1MouseDown(Qt::LeftButton, 3, 3); });
  Menu("MN_MODEANSER");
  ExpectOneStep("answer", [&] {
    Pick(10);
    Cell(0, 0);
  });
  Menu("MN_MODEHINT");
  ExpectOneStep("given cell", [&] { Cell(1, 0); });
  Menu("MN_MODEHINT");
  ExpectOneStep("kind", [&] { Menu("MN_MODECROS"); });
  Cell(1, 0, Qt::RightButton);  // takes a clue slot for the cell and opens it
  ASSERT_TRUE(windows.TEKUHNTF->isVisible());
  ExpectOneStep("clue", [&] {
    windows.TEKUHNTF->Edit1->setText(QString::fromUtf8("たて"));
    windows.TEKUHNTF->OKBtn->click();
  });
  next = program.path("SAMPLE1.CRS");
  ExpectOneStep("character table only", [&] { Menu("MN_FILETANGO"); });
}

TEST_F(UndoWindow, TheSavedPointDrivesModifiedAndTheMarkAndTheHistoriesStayApart) {
  next = program.path("SAMPLE1.CRS");
  Menu("MN_FILEOPEN");
  EXPECT_FALSE(f->edits->undoAction->isEnabled());
  EXPECT_FALSE(ShownCaption().startsWith(QStringLiteral("*")));
  f->puzzle.CursorX = f->puzzle.CursorY = 0;
  Type("フクロ");  // numbers 19, 12 and 15, one step each
  EXPECT_EQ(f->puzzle.InputTbl[15], 43);
  EXPECT_EQ(f->Modified, 1);
  EXPECT_EQ(ShownCaption(), QStringLiteral("*") + f->windowTitle());
  Menu("MN_FILESAVE");
  EXPECT_EQ(f->Modified, 0);
  EXPECT_EQ(ShownCaption(), f->windowTitle());
  Menu("MN_EDITUNDO");
  EXPECT_EQ(f->Modified, 1) << "back before the saved state";
  EXPECT_EQ(std::make_pair(f->puzzle.CursorX, f->puzzle.CursorY), std::make_pair(2, 0)) << "where the entry was";
  Menu("MN_EDITREDO");
  EXPECT_EQ(f->Modified, 0) << "at the saved state again";
  for (int i = 0; i < 3; ++i) Menu("MN_EDITUNDO");
  EXPECT_EQ(f->puzzle.InputTbl[19], kNone);
  EXPECT_FALSE(f->edits->undoAction->isEnabled());
  for (int i = 0; i < 3; ++i) Menu("MN_EDITREDO");
  EXPECT_EQ(f->puzzle.InputTbl[15], 43);

  // The author's change is not undone in game mode, and the player's are not in its history.
  Menu("MN_MODEANSER");
  panel->show();
  Pick(15);  // ソ, which no number has for its answer
  Cell(5, 5);  // number 13
  ASSERT_EQ(f->puzzle.AnserTbl[13], 15);
  Menu("MN_MODEGAME");
  Menu("MN_EDITUNDO");
  EXPECT_EQ(f->puzzle.AnserTbl[13], 15);
  Menu("MN_MODEANSER");
  Menu("MN_EDITUNDO");
  EXPECT_EQ(f->puzzle.AnserTbl[13], 5) << "the answer as the file had it";
  Menu("MN_EDITUNDO");
  EXPECT_FALSE(f->edits->undoAction->isEnabled());

  Menu("MN_FILEOPEN");
  EXPECT_FALSE(f->edits->undoAction->isEnabled()) << "an open starts anew";
  EXPECT_FALSE(f->edits->redoAction->isEnabled());
  EXPECT_EQ(f->Modified, 0);
}

}  // namespace
}  // namespace teku
