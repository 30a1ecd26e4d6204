// The main window: start-up with its sheets, the sheet messages, the menu, layout and scrolling.
#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QTranslator>
#include <QMenuBar>
#include <QWheelEvent>
#include <fstream>
#include <gtest/gtest.h>

#include "app/main_window.h"
#include "app/program_windows.h"
#include "panels/character_panel.h"
#include "support/test_program.h"
#include "surface/dib_file.h"
#include "surface/qt_cp932.h"

namespace teku {
namespace {

TEST(MainWindowStart, ShowsTheEmptyGridInItsTilesWithTheMenuOfTheTable) {
  testing::TestProgram program;
  ProgramWindows windows(program.environment());
  windows.Create();
  TForm1& form = *windows.Form1;
  EXPECT_TRUE(program.messages.messages.empty());
  EXPECT_EQ(form.windowTitle(), QString::fromUtf8("ミナモ　ナンクロ支援ツールv0.42"));
  EXPECT_EQ(form.ClientWidth(), 468);
  EXPECT_EQ(form.ClientHeight(), 340);
  EXPECT_EQ(form.PaintBox1->width(), 448);
  EXPECT_TRUE(form.ScrollBar_Height->isVisibleTo(&form)) << "16 rows do not fit 10";
  EXPECT_EQ(form.ScrollBar_Height->maximum(), 6);
  EXPECT_TRUE(form.ScrollBar_Width->isVisibleTo(&form)) << "16 columns do not fit 14";
  EXPECT_EQ(form.ScrollBar_Width->maximum(), 2);
  EXPECT_TRUE(form.checked("MN_MODEGAME"));
  EXPECT_TRUE(form.checked("MN_MODENANKURO"));
  EXPECT_FALSE(form.checked("MN_MODEHINT"));
  EXPECT_TRUE(form.checked("MN_MODEONGAKU")) << "no ONKYO key: sound on";
  const QList<QAction*> menus = form.menuBar()->actions();
  // The menus of the table, with our own 編集 after ﾌｧｲﾙ and 作成支援 last.
  ASSERT_EQ(menus.size(), 6);
  EXPECT_EQ(menus[0]->text(), QString::fromUtf8("ﾌｧｲﾙ(&F)"));
  EXPECT_EQ(menus[1]->text(), QString::fromUtf8("編集(&E)"));
  EXPECT_EQ(menus[2]->text(), QString::fromUtf8("ﾓｰﾄﾞ(&M)"));
  EXPECT_EQ(menus[4]->text(), QString::fromUtf8("ﾍﾙﾌﾟ(&H)"));
  EXPECT_EQ(menus[5]->text(), QString::fromUtf8("作成支援(&W)"));
  EXPECT_EQ(form.item("MN_TOOLUNIQUE")->parent(), menus[5]->menu()) << "the uniqueness check among the author's tools";
  EXPECT_EQ(form.item("MN_FILETANGO")->text(), QString::fromUtf8("文字表のみロード"));
  EXPECT_TRUE(form.item("MN_MODEDUMMY3")->isSeparator());
  // An empty cell (255) shows the blocked tile: the colour sheet's (0, 0) pixel colour.
  EXPECT_EQ(GetPixelNo(form.PaintBox1->Image, 10, 10), GetPixelNo(form.sheets.ColorSheet, 10, 10));
  EXPECT_EQ(form.sheets.MojiSheetCols, 16);
}

TEST(MainWindowStart, EachMissingSheetIsReportedOnceInOrder) {
  testing::TestProgram program(std::vector<std::string>{});
  ProgramWindows windows(program.environment());
  windows.Create();
  const auto& m = program.messages.messages;
  ASSERT_EQ(m.size(), 3u);
  EXPECT_EQ(m[0].caption, "TEKUMOJI.BMP");
  EXPECT_EQ(Cp932ToQString(m[0].text), QString::fromUtf8("文字表示用ＢＭＰがロードできません。まず初期設定して下さい"));
  EXPECT_EQ(m[1].caption, "TEKUNUMB.BMP");
  EXPECT_EQ(m[2].caption, "TEKUCOLR.BMP");
  EXPECT_EQ(Cp932ToQString(m[2].text), QString::fromUtf8("マス表示用ＢＭＰがロードできません。INIファイルを削除して再起動下さい"));
  EXPECT_FALSE(windows.Form1->sheets.allocated());
}

TEST(MainWindowStart, ASheetTooSmallForItsBlocksCountsAsNotLoaded) {
  testing::TestProgram program({"TEKUMOJI.BMP", "TEKUNUMB.BMP"});
  DibSurface s;
  TDibImage tiny;
  ASSERT_TRUE(s.CreateImage(64, 96, tiny));  // fewer rows than the tiles need
  ASSERT_TRUE(SaveDibImage(tiny, program.path("TEKUCOLR.BMP")));
  ProgramWindows windows(program.environment());
  windows.Create();
  ASSERT_EQ(program.messages.messages.size(), 1u);
  EXPECT_EQ(program.messages.messages[0].caption, "TEKUCOLR.BMP");
  EXPECT_FALSE(windows.Form1->sheets.ColorSheet.allocated());
}

TEST(MainWindowLayout, ALargeGridScrollsAndASmallOneShrinksThePaintBox) {
  testing::TestProgram program;
  ProgramWindows windows(program.environment());
  windows.Create();
  TForm1& form = *windows.Form1;
  form.show();
  form.puzzle.GridWidth = 30;
  form.puzzle.GridHeight = 30;
  form.LayoutGrid();
  EXPECT_EQ(form.ScrollBar_Width->maximum(), 16);
  EXPECT_EQ(form.ScrollBar_Height->maximum(), 20);
  form.ScrollBar_Width->setValue(16);
  EXPECT_EQ(form.View().scrollX, 16);
  form.puzzle.GridWidth = 5;
  form.puzzle.GridHeight = 5;
  form.LayoutGrid();
  EXPECT_EQ(form.PaintBox1->width(), 160);
  EXPECT_EQ(form.PaintBox1->height(), 160);
  EXPECT_EQ(form.ClientWidth(), 468);
  EXPECT_FALSE(form.ScrollBar_Width->isVisible());
  form.SetClientSize(100, 100);  // the user's resize
  EXPECT_EQ(form.ClientWidth(), 116);
  EXPECT_EQ(form.ClientHeight(), 84);
}

// Sent to the window itself: only the platform's own wheel events travel up from the paint box.
void Wheel(QWidget* target, int dy, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  QWheelEvent e(QPointF(5, 5), target->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, dy), Qt::NoButton,
                modifiers, Qt::NoScrollPhase, false);
  QCoreApplication::sendEvent(target, &e);
}

TEST(MainWindowLayout, TheWheelScrollsTheGridAndWithShiftAcrossAndThePanelDown) {
  testing::TestProgram program;
  ProgramWindows windows(program.environment());
  windows.Create();
  TForm1& form = *windows.Form1;
  form.show();
  Wheel(&form, -120);
  EXPECT_EQ(form.ScrollBar_Height->value(), QApplication::wheelScrollLines());
  EXPECT_EQ(form.View().scrollY, QApplication::wheelScrollLines());
  Wheel(&form, -120, Qt::ShiftModifier);
  EXPECT_EQ(form.ScrollBar_Width->value(), 2) << "to the last columns";
  Wheel(&form, 240);
  EXPECT_EQ(form.ScrollBar_Height->value(), 0);
  form.puzzle.GridWidth = form.puzzle.GridHeight = 5;
  form.LayoutGrid();
  Wheel(&form, -120);
  EXPECT_EQ(form.View().scrollY, 0) << "a grid that fits does not scroll";
  windows.TEKUWRDF->show();
  Wheel(windows.TEKUWRDF.get(), -120);
  EXPECT_EQ(windows.TEKUWRDF->ScrollBar1->value(), QApplication::wheelScrollLines());
}

}  // namespace
}  // namespace teku

namespace teku {
namespace {

TEST(StandardTexts, FileChoosersAndMessageButtonsSpeakJapanese) {
  ASSERT_TRUE(InstallJapaneseStandardTexts(*QCoreApplication::instance()));
  EXPECT_NE(QCoreApplication::translate("QFileDialog", "Look in:"), QStringLiteral("Look in:"));
  EXPECT_NE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancel"));
  // Other tests expect Qt's own English texts.
  for (QTranslator* t : QCoreApplication::instance()->findChildren<QTranslator*>()) {
    QCoreApplication::removeTranslator(t);
    delete t;
  }
  EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Look in:"), QStringLiteral("Look in:"));
}

}  // namespace
}  // namespace teku
