// The small dialogs: initial settings, hint, password and sound settings.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

#include "app/main_window.h"
#include "app/program_windows.h"
#include "dialogs/char_setting_dialog.h"
#include "dialogs/hint_dialog.h"
#include "dialogs/initial_settings_dialog.h"
#include "dialogs/password_dialog.h"
#include "dialogs/sound_settings_dialog.h"
#include "support/test_program.h"
#include "support/test_sheets.h"
#include "surface/qt_cp932.h"

namespace teku {
namespace {

class Dialogs : public ::testing::Test {
 protected:
  void SetUp() override {
    windows.Create();
    form = windows.Form1.get();
    testing::MakeReadableSheets(surface, form->sheets);
  }
  void Mode(const char* item) {
    for (const char* m : {"MN_MODEGAME", "MN_MODEANSER", "MN_MODECREATE"}) form->setChecked(m, false);
    form->setChecked(item, true);
  }
  DibSurface surface;
  testing::TestProgram program;
  ProgramWindows windows{program.environment()};
  TForm1* form = nullptr;
};

TEST_F(Dialogs, InitialSettingsInGameModeChangeNothing) {
  auto* d = windows.TEKUINTF.get();
  form->puzzle.Title = "T";
  d->show();
  EXPECT_TRUE(form->checked("MN_VIEWMONDAI"));
  EXPECT_EQ(d->EDT_MONDAITITLE->text(), QStringLiteral("T"));
  d->EDT_PASSWORD->setText(QStringLiteral("pw"));
  d->EDT_MONDAITITLE->setText(QStringLiteral("new"));
  d->EDT_MONDAIX->setText(QStringLiteral("30"));
  EXPECT_TRUE(form->puzzle.Password.empty());
  EXPECT_EQ(form->puzzle.Title, "T");
  EXPECT_EQ(form->puzzle.GridWidth, 16) << "shown through the menu the size changes nothing";
  d->OKBtn->click();
  EXPECT_FALSE(d->isVisible());
  EXPECT_FALSE(form->checked("MN_VIEWMONDAI"));
  EXPECT_EQ(d->EDT_PASSWORD->text(), QStringLiteral("pw")) << "the field keeps the typed text";
}

TEST_F(Dialogs, TheNewPuzzleFlowClearsToTheTypedSizeClampedToTheGrid) {
  auto* d = windows.TEKUINTF.get();
  Mode("MN_MODECREATE");
  form->NewPuzzlePending = 1;
  d->show();
  d->EDT_MONDAIX->setText(QStringLiteral("20"));
  d->EDT_MONDAIY->setText(QStringLiteral("30"));
  d->EDT_MONDAITITLE->setText(QString::fromUtf8("題"));
  d->EDT_PASSWORD->setText(QStringLiteral("Key"));
  EXPECT_EQ(form->puzzle.GridWidth, 20);
  EXPECT_EQ(form->puzzle.Title, "\x91\xe8");
  EXPECT_EQ(form->puzzle.Password, "Key");
  d->OKBtn->click();
  EXPECT_EQ(form->NewPuzzlePending, 0);
  EXPECT_EQ(form->puzzle.GridHeight, 30);
  EXPECT_EQ(form->LastGridWidth, 20) << "the window was laid out again";
  form->NewPuzzlePending = 1;
  d->show();
  d->EDT_MONDAIX->setText(QString());
  d->EDT_MONDAIY->setText(QStringLiteral("999"));
  EXPECT_EQ(form->puzzle.GridWidth, 16);
  EXPECT_EQ(form->puzzle.GridHeight, 240);
  d->EDT_MONDAIX->setText(QStringLiteral("-3"));
  EXPECT_EQ(form->puzzle.GridWidth, 1);
  d->hide();
}

TEST_F(Dialogs, TheSettingsDialogShowsThePuzzlesPasswordOutsideGameMode) {
  auto* d = windows.TEKUINTF.get();
  form->puzzle.Password = "abc";
  Mode("MN_MODEANSER");
  d->show();
  EXPECT_EQ(d->EDT_PASSWORD->text(), QStringLiteral("abc"));
}

TEST_F(Dialogs, TextCodePage932CannotHoldIsRefusedByAMessageTheProgramCanAnswer) {
  const QString hangul = QString::fromUtf8("한");
  Mode("MN_MODECREATE");
  windows.TEKUINTF->show();
  windows.TEKUINTF->EDT_MONDAITITLE->setText(hangul);
  EXPECT_TRUE(form->puzzle.Title.empty());
  auto* chars = windows.TEKUSPLF.get();
  chars->show();
  chars->Edit1->setText(hangul);
  chars->OKBtn->click();
  EXPECT_TRUE(chars->isVisible()) << "the dialog stays for the text to be mended";
  form->clickCache.LastClickButton = 1;
  form->puzzle.CurrentHint = 0;
  windows.TEKUHNTF->Request();
  windows.TEKUHNTF->Edit1->setText(hangul);
  windows.TEKUHNTF->OKBtn->click();
  EXPECT_TRUE(form->puzzle.HintTate[0].empty());
  const auto& m = program.messages.messages;
  ASSERT_EQ(m.size(), 3u);
  EXPECT_EQ(Cp932ToQString(m[1].caption), chars->windowTitle());
  for (const auto& message : m) {
    EXPECT_EQ(Cp932ToQString(message.text), QString::fromUtf8("シフトJISで表せない文字が含まれています。"));
  }
}

class HintDialog : public Dialogs {
 protected:
  void Open(std::int32_t slot) {
    form->clickCache.LastClickButton = 1;
    form->puzzle.CurrentHint = slot;
    windows.TEKUHNTF->Request();
  }
};

TEST_F(HintDialog, EditsTheSlotItLoadedAndFreesAClueWithBothTextsEmpty) {
  auto* d = windows.TEKUHNTF.get();
  Mode("MN_MODEANSER");
  form->puzzle.HintTbl[0] = 5;
  form->puzzle.HintTate[0] = "\x82\xa0";
  Open(0);
  EXPECT_EQ(d->Label4->text(), QStringLiteral("1"));
  EXPECT_EQ(d->Edit1->text(), QString::fromUtf8("あ"));
  EXPECT_FALSE(d->Edit1->isReadOnly());
  d->Edit2->setFocus();
  d->Edit2->setText(QStringLiteral("yoko"));
  // A new request while shown stores the fields into slot 0 first, then loads slot 3.
  form->puzzle.HintTbl[3] = 9;
  Open(3);
  EXPECT_EQ(form->puzzle.HintYoko[0], "yoko");
  EXPECT_EQ(d->Label4->text(), QStringLiteral("4"));
  EXPECT_EQ(d->focusWidget(), d->Edit1) << "each clue is written from the down field on";
  d->Edit1->setText(QString());
  d->Edit2->setText(QString());
  d->OKBtn->click();
  EXPECT_EQ(form->puzzle.HintTbl[3], 0) << "both texts empty: the slot is free";
  EXPECT_EQ(form->puzzle.HintTbl[0], 5);
}

TEST_F(HintDialog, ReadOnlyInGameModeAndNeverStoresIntoSlot256) {
  auto* d = windows.TEKUHNTF.get();
  form->puzzle.HintTbl[2] = 7;
  form->puzzle.HintTate[2] = "t";
  Open(2);
  EXPECT_TRUE(d->Edit1->isReadOnly());
  d->Edit1->setText(QString());
  d->hide();
  EXPECT_EQ(form->puzzle.HintTate[2], "t");
  EXPECT_EQ(form->puzzle.HintTbl[2], 7);
  Mode("MN_MODEANSER");
  Open(256);
  d->Edit1->setText(QStringLiteral("x"));
  d->hide();
  EXPECT_EQ(form->puzzle.HintTate.size(), 256u);
}

TEST_F(HintDialog, DiscardingHidesWithoutStoring) {
  auto* d = windows.TEKUHNTF.get();
  Mode("MN_MODEANSER");
  Open(1);
  d->Edit1->setText(QStringLiteral("lost"));
  d->Discard();
  EXPECT_FALSE(d->isVisible());
  EXPECT_TRUE(form->puzzle.HintTate[1].empty());
}

TEST_F(HintDialog, ASecondRightClickStoresBeforeTheScanAndFreeingAClueCountsAsAChange) {
  auto* d = windows.TEKUHNTF.get();
  form->setChecked("MN_MODECROS", true);
  form->setChecked("MN_MODENANKURO", false);
  Mode("MN_MODEANSER");
  form->PaintBox1MouseDown(Qt::RightButton, 5, 5);
  form->PaintBox1MouseDown(Qt::RightButton, 5, 5);
  d->Edit1->setText(QString::fromUtf8("たて"));
  d->Edit2->setText(QString::fromUtf8("よこ"));
  d->OKBtn->click();
  EXPECT_EQ(form->puzzle.HintTbl[0], 1) << "the text lands in the slot cell 0 owns";
  EXPECT_EQ(form->puzzle.HintTate[0], "\x82\xbd\x82\xc4");
  form->Modified = 0;
  form->PaintBox1MouseDown(Qt::RightButton, 5, 5);
  d->Edit1->setText(QString());
  d->Edit2->setText(QString());
  form->Modified = 0;
  d->OKBtn->click();
  EXPECT_EQ(form->puzzle.HintTbl[0], 0);
  EXPECT_EQ(form->Modified, 1) << "the removal must be offered a save";
}

TEST_F(HintDialog, TheNewSizeClearClosesTheDialogsWithoutStoringAndStalesTheClickCache) {
  auto* d = windows.TEKUHNTF.get();
  form->setChecked("MN_MODECROS", true);
  form->setChecked("MN_MODENANKURO", false);
  Mode("MN_MODEANSER");
  form->PaintBox1MouseDown(Qt::RightButton, 5, 5);
  d->Edit1->setText(QStringLiteral("old"));
  windows.TEKUSPLF->show();
  form->clickCache.ClickCacheStale = 0;  // as after a later click on the grid
  Mode("MN_MODECREATE");
  form->NewPuzzlePending = 1;
  windows.TEKUINTF->show();
  windows.TEKUINTF->hide();
  EXPECT_FALSE(d->isVisible());
  EXPECT_FALSE(windows.TEKUSPLF->isVisible());
  EXPECT_TRUE(form->puzzle.HintTate[0].empty());
  EXPECT_EQ(form->puzzle.HintTbl[0], 256);
  EXPECT_EQ(form->clickCache.ClickCacheStale, 1);
}

TEST_F(Dialogs, ThePasswordDialogShowsWhatCountsAndMasksIt) {
  auto* d = windows.PasswordDlg.get();
  EXPECT_EQ(d->Password->echoMode(), QLineEdit::Password);
  form->puzzle.EnteredPassword = "Secret";
  QTimer::singleShot(0, d, [d] {
    EXPECT_EQ(d->Password->text(), QStringLiteral("Secret"));
    d->Password->setText(QStringLiteral("secret"));
    d->BTN_OK->click();
  });
  d->Ask();
  EXPECT_EQ(form->puzzle.EnteredPassword, "secret");
  form->puzzle.EnteredPassword.clear();  // a reset
  QTimer::singleShot(0, d, [d] {
    EXPECT_TRUE(d->Password->text().isEmpty());
    d->reject();  // the close box
  });
  d->Ask();
  EXPECT_TRUE(form->puzzle.EnteredPassword.empty());
}

TEST_F(Dialogs, TheSoundDialogTakesOverOnlyNamesOfReadableFiles) {
  auto* d = windows.TEKUOTOF.get();
  const auto dir = std::filesystem::temp_directory_path() / "teku-sound-dialog";
  std::filesystem::create_directories(dir);
  const std::string wav = (dir / "A.WAV").string();
  std::ofstream(wav) << "x";
  form->setChecked("MN_MODEONGAKU", false);
  d->show();
  EXPECT_EQ(d->EDT_HIDARIWAV->text(), QStringLiteral("HIDARI.WAV"));
  d->EDT_HIDARIWAV->setText(QString::fromStdString(dir.string()));
  EXPECT_EQ(form->sound.LeftWavPath, "HIDARI.WAV") << "a directory is no file";
  d->EDT_HIDARIWAV->setText(QString::fromStdString(wav));
  EXPECT_EQ(form->sound.LeftWavPath, wav);
  d->EDT_HIDARIWAV->setText(QString());
  EXPECT_EQ(form->sound.LeftWavPath, wav) << "an empty name changes nothing";
  d->ChooseFile = [&](const QString& filter) {
    EXPECT_TRUE(filter.contains(QStringLiteral("*.BMP")));
    return QString::fromStdString(wav);
  };
  d->PickFile(d->EDT_SEIKAIBMP);
  EXPECT_EQ(form->FineBmpPath, wav);
  d->hide();
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace teku
