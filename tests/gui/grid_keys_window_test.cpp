// The grid's keyboard in the main window: the cursor scrolled into view, typed and composed text
// entered through the cell's click, the candidate window's place and the status line.
#include <QCoreApplication>
#include <QInputMethodEvent>
#include <QInputMethodQueryEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QStatusBar>
#include <gtest/gtest.h>

#include "app/grid_keyboard.h"
#include "app/main_window.h"
#include "app/program_windows.h"
#include "services/cp932.h"
#include "support/column_grid.h"
#include "support/test_program.h"

namespace teku {
namespace {

// Sends a key to the grid; true when the grid took it.
bool Key(TForm1& f, int key, const QString& text = QString(), Qt::KeyboardModifiers mods = Qt::NoModifier) {
  QKeyEvent press(QEvent::KeyPress, key, mods, text);
  QCoreApplication::sendEvent(f.PaintBox1, &press);
  return press.isAccepted();
}

void Compose(TForm1& f, const QString& preedit, const QString& commit) {
  QInputMethodEvent e(preedit, {});
  e.setCommitString(commit);
  QCoreApplication::sendEvent(f.PaintBox1, &e);
}

class GridKeysWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    windows.Create();
    f = windows.Form1.get();
    f->show();
  }
  void Puzzle30() { testing::ShowColumnNumberedGrid(*f); }
  std::pair<int, int> Cursor() const { return {f->puzzle.CursorX, f->puzzle.CursorY}; }

  testing::TestProgram program;
  ProgramWindows windows{program.environment()};
  TForm1* f = nullptr;
};

TEST_F(GridKeysWindow, ArrowsScrollTheCursorIntoViewAndTabAndShortcutsAreLeftToTheWindow) {
  Puzzle30();
  ASSERT_EQ(f->PaintBox1->width() / 32, 14);
  EXPECT_TRUE(Key(*f, Qt::Key_Down));
  EXPECT_EQ(Cursor(), std::make_pair(0, 0));
  for (int i = 0; i < 14; ++i) Key(*f, Qt::Key_Right);
  EXPECT_EQ(Cursor(), std::make_pair(14, 0));
  EXPECT_EQ(f->ScrollBar_Width->value(), 1) << "one column on, to keep the cursor in view";
  Key(*f, Qt::Key_End);
  EXPECT_EQ(f->ScrollBar_Width->value(), 16);
  for (int i = 0; i < 12; ++i) Key(*f, Qt::Key_Down);
  EXPECT_EQ(f->ScrollBar_Height->value(), 3);
  Key(*f, Qt::Key_Home);
  EXPECT_EQ(Cursor(), std::make_pair(0, 12));
  EXPECT_EQ(f->ScrollBar_Width->value(), 0);
  // The composition follows: the cursor tile at its screen block.
  const int sx = 0, sy = (12 - 3) * 32;
  EXPECT_EQ(GetPixelNo(f->PaintBox1->Image, sx + 1, sy + 1), GetPixelNo(f->sheets.ColorSheet, 33, 97));
  EXPECT_EQ(f->Modified, 0);
  EXPECT_FALSE(Key(*f, Qt::Key_Tab));
  EXPECT_FALSE(Key(*f, Qt::Key_Backtab, QString(), Qt::ShiftModifier));
  EXPECT_FALSE(Key(*f, Qt::Key_Z, QStringLiteral("z"), Qt::ControlModifier));
}

TEST_F(GridKeysWindow, TypedAndComposedTextIsEnteredAndTheStatusLineSaysWhatIsRefused) {
  Puzzle30();
  Key(*f, Qt::Key_Right);  // the cursor on (0, 0)
  EXPECT_TRUE(Key(*f, 0, QString::fromUtf8("ア")));
  EXPECT_EQ(f->puzzle.InputTbl[1], 5);
  EXPECT_EQ(Cursor(), std::make_pair(1, 0));
  EXPECT_EQ(f->Modified, 1);

  // The candidate window opens beside the cursor cell; the composition shows in it.
  QInputMethodQueryEvent query(Qt::ImCursorRectangle | Qt::ImEnabled);
  QCoreApplication::sendEvent(f->PaintBox1, &query);
  EXPECT_TRUE(query.value(Qt::ImEnabled).toBool());
  EXPECT_EQ(query.value(Qt::ImCursorRectangle).toRect(), QRect(32, 0, 32, 32));
  Compose(*f, QString::fromUtf8("ひ"), QString());
  const QLabel* preedit = f->keyboard->preeditView();
  EXPECT_TRUE(preedit->isVisible());
  EXPECT_EQ(preedit->text(), QString::fromUtf8("ひ"));
  EXPECT_EQ(preedit->geometry().topLeft(), QPoint(32, 0));
  Compose(*f, QString(), QString::fromUtf8("ひ"));
  EXPECT_FALSE(preedit->isVisible());
  EXPECT_EQ(f->puzzle.InputTbl[2], 6) << "hiragana taken as its katakana";

  Key(*f, 0, QString::fromUtf8("ン"));
  EXPECT_EQ(f->statusBar()->currentMessage(), QString::fromUtf8("「ン」は文字表にありません"));
  EXPECT_EQ(Cursor(), std::make_pair(2, 0));
  EXPECT_TRUE(f->keyboard->cursorLabel()->text().startsWith(QString::fromUtf8("列3 行1 番号3")));
  EXPECT_TRUE(Key(*f, Qt::Key_Space));
  EXPECT_TRUE(f->keyboard->cursorLabel()->text().endsWith(QString::fromUtf8("たて↓")));
  Key(*f, Qt::Key_Left);
  Key(*f, Qt::Key_Delete);
  EXPECT_EQ(f->puzzle.InputTbl[2], kNone);
}

}  // namespace
}  // namespace teku
