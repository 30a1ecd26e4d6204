// The side panels as windows: layout, clicks with their sounds, editing a character.
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

#include "app/main_window.h"
#include "app/program_windows.h"
#include "dialogs/char_setting_dialog.h"
#include "panels/answer_panel.h"
#include "panels/character_panel.h"
#include "support/recording_sound.h"
#include "support/test_program.h"
#include "support/test_sheets.h"

namespace teku {
namespace {

class Panels : public ::testing::Test {
 protected:
  void SetUp() override {
    windows.Create();
    form = windows.Form1.get();
    panel = windows.TEKUWRDF.get();
    answer = windows.TEKUKTOF.get();
    testing::MakeReadableSheets(surface, form->sheets);
    form->SoundOpenPending = false;  // the recorded devices stand in for the program's own
    clicks = std::make_unique<testing::RecordedClicks>(form->sound, form);
  }
  void TearDown() override { clicks.reset(); }

  void Mode(const char* item) {
    for (const char* m : {"MN_MODEGAME", "MN_MODEANSER", "MN_MODECREATE"}) form->setChecked(m, false);
    form->setChecked(item, true);
  }
  std::string PanelCell(int c, int r) { return testing::DescribeBlock(panel->PaintBox1->Image, c * 32, r * 32); }
  std::string Slot(int s) {
    return testing::DescribeBlock(answer->PaintBox1->Image, (s % 16) * 32, (s / 16) * 32);
  }
  void ClickPanel(int c, int r, Qt::MouseButton b) { panel->PaintBox1MouseDown(b, c * 32 + 3, r * 32 + 3); }

  DibSurface surface;
  testing::TestProgram program;
  ProgramWindows windows{program.environment()};
  TForm1* form = nullptr;
  TTEKUWRDF* panel = nullptr;
  TTEKUKTOF* answer = nullptr;
  std::unique_ptr<testing::RecordedClicks> clicks;
};

TEST_F(Panels, TheDefaultPanelHasSevenByElevenEntriesAndScrollsTwentySixRows) {
  panel->show();
  EXPECT_TRUE(form->checked("MN_VIEWWRD"));
  EXPECT_EQ(panel->PanelCols, 7);
  EXPECT_EQ(panel->PanelRows, 11);
  EXPECT_EQ(panel->ScrollBar1->maximum(), 26);
  EXPECT_EQ(panel->width(), 244);
  panel->Refresh();
  EXPECT_EQ(PanelCell(0, 0), "Normal") << "game mode: entry 1 without text shows only its tile";
  panel->ScrollBar1->setValue(26);
  EXPECT_EQ(PanelCell(2, 10), "raw255") << "past entry 254";
  Mode("MN_MODECREATE");
  panel->ScrollBar1->setValue(0);
  panel->Refresh();
  EXPECT_EQ(PanelCell(0, 0), "Normal N0");
  panel->ScrollBar1->setValue(26);
  EXPECT_EQ(PanelCell(3, 10), "Normal N255");
  panel->hide();
  EXPECT_FALSE(form->checked("MN_VIEWWRD"));
}

TEST_F(Panels, ResizingKeepsAtLeastFourByFour) {
  panel->show();
  panel->resize(100, 100);
  EXPECT_EQ(panel->width(), 148);
  EXPECT_EQ(panel->height(), 128);
  EXPECT_EQ(panel->PanelCols, 4);
  EXPECT_EQ(panel->PanelRows, 4);
}

TEST_F(Panels, AnInUseCharacterIsRefusedWithItsSound) {
  panel->show();
  form->puzzle.InputTbl[30] = 3;
  ClickPanel(2, 0, Qt::LeftButton);  // entry 3
  EXPECT_EQ(panel->SelectedMoji, 256);
  EXPECT_EQ(clicks->backend.plays, (std::vector<std::string>{"HIDARI.WAV"}));
  ClickPanel(3, 0, Qt::LeftButton);
  EXPECT_EQ(panel->SelectedMoji, 4);
  EXPECT_EQ(PanelCell(3, 0), "Marked");
  EXPECT_EQ(form->clickCache.ClickCacheStale, 1) << "a new selection lets the next grid click through";
}

TEST_F(Panels, ARightClickInANumberCrosswordGameOnlySounds) {
  panel->show();
  ClickPanel(1, 0, Qt::RightButton);
  EXPECT_EQ(panel->SelectedMoji, 256);
  EXPECT_FALSE(windows.TEKUSPLF->isVisible());
  EXPECT_EQ(clicks->backend.plays, (std::vector<std::string>{"MIGI.WAV"}));
}

TEST_F(Panels, ACellPastTheLastEntrySelectsNothing) {
  panel->show();
  panel->ScrollBar1->setValue(26);
  Mode("MN_MODEANSER");
  ClickPanel(5, 10, Qt::LeftButton);
  ClickPanel(5, 10, Qt::RightButton);
  EXPECT_EQ(panel->SelectedMoji, 256);
  EXPECT_FALSE(windows.TEKUSPLF->isVisible());
  EXPECT_EQ(clicks->backend.plays.size(), 2u) << "the sounds still play";
}

TEST_F(Panels, EditingACharacterStoresIntoTheEntryTheDialogShowsAndRedrawsItsGlyph) {
  QtTextRasterizer text;
  BuildMojiSheet(form->sheets, form->puzzle.MojiTbl, text);  // a real character sheet
  form->puzzle.MojiTbl[9] = "\x8a\xbf";                         // 漢
  form->RenderMojiGlyph(9, form->puzzle.MojiTbl[9]);
  panel->show();
  Mode("MN_MODEANSER");
  ClickPanel(1, 1, Qt::RightButton);  // entry 9
  auto* dialog = windows.TEKUSPLF.get();
  ASSERT_TRUE(dialog->isVisible());
  EXPECT_EQ(dialog->Edit1->text(), QString::fromUtf8("漢"));
  EXPECT_EQ(dialog->Edit2->text(), QStringLiteral("9"));
  EXPECT_TRUE(dialog->Edit2->isReadOnly());
  ClickPanel(2, 1, Qt::LeftButton);  // another selection meanwhile
  EXPECT_EQ(panel->SelectedMoji, 10);
  dialog->Edit1->setText(QStringLiteral("-"));
  dialog->OKBtn->click();
  EXPECT_FALSE(dialog->isVisible());
  EXPECT_EQ(form->puzzle.MojiTbl[9], "-");
  EXPECT_TRUE(form->puzzle.MojiTbl[10].empty()) << "never the entry selected afterwards";
  // The glyph holds the new text only: a short dash, nothing of 漢.
  int inked = 0;
  for (int y = 32 * 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) inked += GetPixelNo(form->sheets.MojiSheet, 9 * 32 + x, y) == 252;
  EXPECT_GT(inked, 0);
  EXPECT_LT(inked, 12);
}

TEST_F(Panels, ANewSelectionClearsTheOldMarkAfterAModeChangeOrAScroll) {
  panel->show();
  Mode("MN_MODEANSER");
  ClickPanel(4, 1, Qt::LeftButton);  // entry 12
  ASSERT_EQ(panel->SelectedMoji, 12);
  form->item("MN_MODECREATE")->trigger();  // numbering from 0: entry 12 moves to (5, 1)
  EXPECT_EQ(PanelCell(5, 1), "Marked N12");
  ClickPanel(1, 0, Qt::LeftButton);
  EXPECT_EQ(PanelCell(1, 0), "Marked N1");
  EXPECT_EQ(PanelCell(5, 1), "Normal N12");
  panel->ScrollBar1->setValue(0);
  ClickPanel(0, 10, Qt::LeftButton);  // entry 70
  panel->ScrollBar1->setValue(1);     // entry 70 is now in row 9
  EXPECT_EQ(PanelCell(0, 9), "Marked N70");
  ClickPanel(3, 0, Qt::LeftButton);
  EXPECT_EQ(PanelCell(0, 9), "Normal N70");
}

TEST_F(Panels, CancelAndBadTextStoreNothing) {
  panel->show();
  Mode("MN_MODEANSER");
  form->puzzle.MojiTbl[2] = "A";
  ClickPanel(1, 0, Qt::RightButton);
  auto* dialog = windows.TEKUSPLF.get();
  dialog->Edit1->setText(QStringLiteral("B"));
  dialog->CancelBtn->setFocus();  // as a mouse press on it leaves it
  dialog->CancelBtn->click();
  EXPECT_EQ(form->puzzle.MojiTbl[2], "A");
  EXPECT_EQ(form->Modified, 0);
  ClickPanel(1, 0, Qt::RightButton);
  EXPECT_EQ(dialog->Edit1->text(), QStringLiteral("A"));
  EXPECT_EQ(dialog->focusWidget(), dialog->Edit1) << "typing goes straight into the character field";
  EXPECT_EQ(dialog->Edit1->selectedText(), QStringLiteral("A"));
}

TEST_F(Panels, TheAnswerPanelMarksAndClearsPositionsInCreateMode) {
  panel->show();
  answer->show();
  EXPECT_TRUE(form->checked("MN_VIEWKAITOU"));
  Mode("MN_MODECREATE");
  panel->SelectedMoji = 12;
  answer->PaintBox1MouseDown(Qt::LeftButton, 3, 3);
  answer->PaintBox1MouseDown(Qt::LeftButton, 5 * 32 + 3, 3);
  EXPECT_EQ(form->puzzle.Kaitou[0], 12);
  EXPECT_EQ(form->puzzle.Kaitou[5], 12);
  EXPECT_EQ(Slot(0), "Marked N12");
  EXPECT_EQ(Slot(5), "Marked N12");
  answer->PaintBox1MouseDown(Qt::RightButton, 5 * 32 + 3, 3);
  EXPECT_EQ(form->puzzle.Kaitou[5], 255);
  EXPECT_EQ(Slot(5), "Marked N255");
  panel->SelectedMoji = 256;
  answer->PaintBox1MouseDown(Qt::LeftButton, 7 * 32 + 3, 32 + 3);
  EXPECT_EQ(form->puzzle.Kaitou[23], 255) << "nothing selected makes the position empty";
  EXPECT_EQ(clicks->backend.plays,
            (std::vector<std::string>{"HIDARI.WAV", "HIDARI.WAV", "MIGI.WAV", "HIDARI.WAV"}));
  Mode("MN_MODEGAME");
  answer->PaintBox1MouseDown(Qt::LeftButton, 3, 3);
  EXPECT_EQ(clicks->backend.plays.size(), 4u) << "outside create mode a click plays nothing";
  EXPECT_EQ(form->puzzle.Kaitou[0], 12);
  answer->hide();
  EXPECT_FALSE(form->checked("MN_VIEWKAITOU"));
}

}  // namespace
}  // namespace teku
