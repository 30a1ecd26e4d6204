// The author's tools in the windows: letters typed in 文字で作成, numbered as one undoable step,
// and a slip shown in the 検証 window, found from its row and mended there.
#include <QAction>
#include <QCheckBox>
#include <QPushButton>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include "app/edit_menu.h"
#include "app/grid_keyboard.h"
#include "app/main_window.h"
#include "app/program_windows.h"
#include "dialogs/initial_settings_dialog.h"
#include "support/test_program.h"
#include "tests/workbench/text_grid.h"
#include "workbench/check_window.h"
#include "workbench/workbench_menu.h"

namespace teku {
namespace {

using testing::ReadLetters;

class WorkbenchWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    windows.Create();
    f = windows.Form1.get();
    f->show();
    f->AskSaveChanges = [] { return TForm1::SaveAnswer::No; };
  }
  void Menu(const char* name) { f->item(name)->trigger(); }
  void Key(Qt::Key key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    f->keyboard->HandleKey(press);
  }
  // A new grid of the rows' size, its letters typed row by row from the first cell of each.
  void TypeGrid(const std::vector<const char*>& rows) {
    Menu("MN_MODECREATE");
    Menu("MN_FILENEWOPEN");
    auto* settings = windows.TEKUINTF.get();
    settings->EDT_MONDAIX->setText(QString::number(QString::fromUtf8(rows[0]).size()));
    settings->EDT_MONDAIY->setText(QString::number(rows.size()));
    settings->OKBtn->click();
    if (!f->checked("MN_MODELETTER")) Menu("MN_MODELETTER");
    for (std::size_t y = 0; y < rows.size(); ++y) {
      f->puzzle.CursorX = 0;
      f->puzzle.CursorY = static_cast<std::int32_t>(y);
      f->keyboard->Commit(QString::fromUtf8(rows[y]));
    }
  }
  PuzzleState State() { return CaptureState(f->puzzle, f->Modes().kind); }

  testing::TestProgram program;
  ProgramWindows windows{program.environment()};
  TForm1* f = nullptr;
};

TEST_F(WorkbenchWindow, TypedLettersAreNumberedAsOneStep) {
  TypeGrid({"アアイ", "イ#ア", "イイア"});
  EXPECT_TRUE(f->Modes().writingLetters());
  const std::vector<std::string> letters = {"アアイ", "イ#ア", "イイア"};
  ASSERT_EQ(ReadLetters(f->puzzle), letters);
  const PuzzleState typed = State();

  f->workbench->AskNumbering = [](const NumberingOptions&) { return NumberingOptions{true, 2, false}; };
  Menu("MN_WORKNUMBER");
  EXPECT_EQ(ReadLetters(f->puzzle), letters);
  EXPECT_NE(State().snapshot, typed.snapshot) << "this seed gives ア the number 2";
  EXPECT_EQ(f->keyboard->Message(), QString::fromUtf8("番号 1～2 を振りました"));
  Menu("MN_EDITUNDO");
  EXPECT_EQ(State().snapshot, typed.snapshot) << "one undo takes the whole numbering back";

  Menu("MN_MODELETTER");
  EXPECT_FALSE(f->Modes().writingLetters());
  f->keyboard->Commit(QStringLiteral("x"));
  EXPECT_EQ(State().snapshot, typed.snapshot) << "plain create mode takes numbers, not letters";
}

TEST_F(WorkbenchWindow, TheCheckWindowFollowsChangesAndMendsASlip) {
  TypeGrid({"アアイ", "イ#ア", "イイア"});
  Menu("MN_WORKCHECK");
  TCheckWindow* check = f->workbench->checkWindow;
  ASSERT_NE(check, nullptr);
  EXPECT_EQ(check->summary->text(), QString::fromUtf8("問題なし"));

  // The slip: イ's number is given ア's character.
  std::uint8_t a, i;
  {
    CellsLock cells(f->puzzle);
    a = cells.at(0, 0);
    i = cells.at(2, 0);
  }
  {
    EditStep step(*f);
    f->puzzle.AnserTbl[i] = f->puzzle.AnserTbl[a];
  }
  ASSERT_EQ(check->list->topLevelItemCount(), 3) << "shared character, every word アアア, イ unused";
  EXPECT_EQ(check->Problems().front().kind, CheckKind::SharedCharacter);
  EXPECT_TRUE(check->list->topLevelItem(0)->text(1).contains(QString::fromUtf8("同じ文字「ア」")));

  check->GoTo(0);
  EXPECT_EQ(f->puzzle.CursorX, 0);
  EXPECT_EQ(f->puzzle.CursorY, 0);
  Key(Qt::Key_Right);
  Key(Qt::Key_Right);  // onto a cell of the number that went wrong
  QString asked;
  check->AskCharacter = [&](const QString& prompt) {
    asked = prompt;
    return std::optional<QString>(QString::fromUtf8("イ"));
  };
  check->list->setCurrentItem(check->list->topLevelItem(0));
  ASSERT_TRUE(check->fixButton->isEnabled());
  check->fixButton->click();
  EXPECT_EQ(asked, QString::fromUtf8("番号 %1 の文字").arg(i));
  EXPECT_EQ(ReadLetters(f->puzzle), (std::vector<std::string>{"アアイ", "イ#ア", "イイア"}));
  EXPECT_EQ(check->summary->text(), QString::fromUtf8("問題なし"));

  check->ruleBoxes[2]->setChecked(true);  // 四隅黒禁: the corners are white
  EXPECT_EQ(f->ReadIni("CHECKRULES"), "lone,adjacent,corner,connected");
  f->puzzle.CursorX = 2;
  f->puzzle.CursorY = 2;
  f->keyboard->Commit(QStringLiteral("#"));
  EXPECT_NE(check->summary->text(), QString::fromUtf8("問題なし")) << "a blocked corner, seen at once";
}

TEST(CheckWindowPlace, TheWindowOpensWhereAndAsLargeAsItWasLeftEvenAfterTheProgramEnded) {
  testing::TestProgram program;
  {
    ProgramWindows windows{program.environment()};
    windows.Create();
    windows.Form1->item("MN_WORKCHECK")->trigger();
    TCheckWindow* check = windows.Form1->workbench->checkWindow;
    check->move(312, 208);  // on the 8-pixel steps every stored place is snapped to
    check->resize(600, 420);
    windows.ShutDown();  // still open: the end of the program stores it
  }
  ProgramWindows windows{program.environment()};
  windows.Create();
  windows.Form1->item("MN_WORKCHECK")->trigger();
  const TCheckWindow* check = windows.Form1->workbench->checkWindow;
  EXPECT_EQ(check->pos(), QPoint(312, 208));
  EXPECT_EQ(check->size(), QSize(600, 420));
}

}  // namespace
}  // namespace teku
