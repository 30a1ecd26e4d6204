// The main window's commands (menu items) and its grid click handler.
#include <QFontDialog>
#include <QTextBrowser>
#include <QUrl>

#include "app/answer_check.h"
#include "app/main_window.h"
#include "dialogs/char_setting_dialog.h"
#include "dialogs/hint_dialog.h"
#include "dialogs/initial_settings_dialog.h"
#include "dialogs/password_dialog.h"
#include "dialogs/sound_settings_dialog.h"
#include "panels/answer_panel.h"
#include "panels/character_panel.h"
#include "surface/qt_cp932.h"

namespace teku {

namespace {
// Shows the wait caption for the span of a command and puts the previous caption back on
// every way out.
class WaitCaption {
 public:
  explicit WaitCaption(QWidget* window) : window_(window), saved_(window->windowTitle()) {
    window_->setWindowTitle(QString::fromUtf8("しばらくお待ち下さい"));
  }
  ~WaitCaption() { window_->setWindowTitle(saved_); }
  WaitCaption(const WaitCaption&) = delete;
  WaitCaption& operator=(const WaitCaption&) = delete;

 private:
  QWidget* window_;
  QString saved_;
};

void SetPlayMode(TForm1& f, const char* on) {
  for (const char* m : {"MN_MODEGAME", "MN_MODEANSER", "MN_MODECREATE"}) f.setChecked(m, false);
  f.setChecked(on, true);
}
}  // namespace

void TForm1::RefreshPanels() {
  if (checked("MN_VIEWWRD") && side.TEKUWRDF != nullptr) side.TEKUWRDF->Refresh();
  if (checked("MN_VIEWKAITOU") && side.TEKUKTOF != nullptr) side.TEKUKTOF->Refresh();
}

void TForm1::MN_FILEFINEClick() {
  if (!AnswerIsRight(puzzle)) {
    setWindowTitle(QString::fromUtf8("残念どこか違ってます。"));
    return;
  }
  setWindowTitle(QString::fromUtf8("おめでとう！正解です。"));
  LoadImageFile(*PaintBox1, ResolveProgramFile(FineBmpPath), FinePicture, ProgressSink(), nullptr);
  if (FinePicture.allocated() && checked("MN_VIEWWRD") && side.TEKUWRDF != nullptr) {
    TTEKUBMP* box = side.TEKUWRDF->PaintBox1;
    CopyImage(box->Image, FinePicture, kKeyNone);
    box->PaintImage(box->Image);
  }
  if (sound.FineWavDevice != 0) WavePlay(sound.FineWavDevice, this);
}

bool TForm1::PasswordGate() {
  if (!puzzle.Password.empty()) {
    if (side.PasswordDlg != nullptr) side.PasswordDlg->Ask();
  } else {
    puzzle.EnteredPassword.clear();
  }
  return puzzle.Password == puzzle.EnteredPassword;
}

void TForm1::MN_MODEGAMEClick() {
  // Already playing: the player's input stays.
  if (checked("MN_MODEGAME")) return;
  WaitCaption wait(this);
  SetPlayMode(*this, "MN_MODEGAME");
  puzzle.SetInputForMode(PlayMode::Game);
  RedrawAndRepaint();
  RefreshPanels();
}

void TForm1::MN_MODEANSERClick() {
  if (!PasswordGate()) return;
  WaitCaption wait(this);
  SetPlayMode(*this, "MN_MODEANSER");
  puzzle.SetInputForMode(PlayMode::Answer);
  RedrawAndRepaint();
  RefreshPanels();
}

void TForm1::MN_MODECREATEClick() {
  if (!PasswordGate()) return;
  WaitCaption wait(this);
  SetPlayMode(*this, "MN_MODECREATE");
  puzzle.SetInputForMode(PlayMode::Create);
  RedrawAndRepaint();
  RefreshPanels();
}

void TForm1::MN_MODENANKUROClick() {
  WaitCaption wait(this);
  if (!checked("MN_MODENANKURO")) Modified = 1;
  setChecked("MN_MODENANKURO", true);
  setChecked("MN_MODECROS", false);
  // Drawn at once, so the screen never shows a kind the next click contradicts.
  RedrawAndRepaint();
}

void TForm1::MN_MODECROSClick() {
  WaitCaption wait(this);
  if (!checked("MN_MODECROS")) Modified = 1;
  setChecked("MN_MODECROS", true);
  setChecked("MN_MODENANKURO", false);
  RedrawAndRepaint();
}

void TForm1::MN_MODEHINTClick() {
  setChecked("MN_MODEHINT", !checked("MN_MODEHINT"));
  clickCache.ClickCacheStale = 1;
}

void TForm1::MN_MODEONGAKUClick() {
  if (checked("MN_MODEONGAKU")) {
    setChecked("MN_MODEONGAKU", false);
    CloseSound(sound);
    return;
  }
  setChecked("MN_MODEONGAKU", true);
  if (side.TEKUOTOF != nullptr) side.TEKUOTOF->show();
}

void TForm1::MN_VIEWWRDClick() {
  if (side.TEKUWRDF == nullptr) return;
  if (checked("MN_VIEWWRD")) side.TEKUWRDF->hide(); else side.TEKUWRDF->show();
}

void TForm1::MN_VIEWKAITOUClick() {
  if (side.TEKUKTOF == nullptr) return;
  if (checked("MN_VIEWKAITOU")) side.TEKUKTOF->hide(); else side.TEKUKTOF->show();
}

void TForm1::MN_VIEWMONDAIClick() {
  if (side.TEKUINTF == nullptr) return;
  if (checked("MN_VIEWMONDAI")) side.TEKUINTF->hide(); else side.TEKUINTF->show();
}

void TForm1::MN_VIEWFONTClick() {
  const QFont current = glyphText.font();
  std::optional<QFont> chosen;
  if (ChooseFont) {
    chosen = ChooseFont(current);
  } else {
    bool ok = false;
    const QFont f = QFontDialog::getFont(&ok, current, this);
    if (ok) chosen = f;
  }
  // Confirmed or cancelled, the dialog's font is applied.
  glyphText.setFont(chosen.value_or(current));
  if (side.TEKUSPLF != nullptr) side.TEKUSPLF->ApplyFont(glyphText.font());
  BuildMojiSheet();
  RedrawAndShow();
  if (checked("MN_VIEWWRD") && side.TEKUWRDF != nullptr) side.TEKUWRDF->Refresh();
}

void TForm1::MN_HELPEXClick() {
  if (HelpWindow == nullptr) {
    auto* browser = new QTextBrowser(this);
    browser->setWindowFlag(Qt::Window);
    browser->setWindowTitle(QString::fromUtf8("ﾍﾙﾌﾟ"));
    browser->resize(640, 560);
    HelpWindow = browser;
  }
  auto* browser = static_cast<QTextBrowser*>(HelpWindow);
  browser->setSource(QUrl::fromLocalFile(QString::fromStdString(ResolveProgramFile("TEKUCROS.HLP"))),
                     QTextDocument::HtmlResource);
  browser->show();
  browser->raise();
}

void TForm1::PaintBox1MouseDown(Qt::MouseButton b, int x, int y) {
  if (ClickReady == 0) return;
  ClickReady = 0;
  struct Ready {
    std::int32_t& flag;
    ~Ready() { flag = 1; }
  } ready{ClickReady};
  WaitCaption wait(this);
  const ClickButton button = b == Qt::RightButton    ? ClickButton::Right
                             : b == Qt::MiddleButton ? ClickButton::Middle
                                                     : ClickButton::Left;
  const std::int32_t selected = side.TEKUWRDF != nullptr ? side.TEKUWRDF->SelectedMoji : kNone;
  const Puzzle::Snapshot before = puzzle.TakeSnapshot();
  const ClickOutcome o = HandleGridClick(puzzle, clickCache, Modes(), button, x, y,
                                         ScrollBar_Width->value(), ScrollBar_Height->value(), selected);
  if (!o.handled) return;
  if (o.rightSound) PlayRightClick();
  if (o.leftSound) PlayLeftClick();
  if (!(before == puzzle.TakeSnapshot())) Modified = 1;
  if (o.hint != HintRequest::None && side.TEKUHNTF != nullptr) side.TEKUHNTF->Request();
  if (o.redraw == Redraw::NumberGroup) DrawNumberGroup(o.cx, o.cy);
  if (o.redraw == Redraw::Cell) DrawCell(o.cx, o.cy);
  if (o.refreshAnswerPanel && checked("MN_VIEWKAITOU") && side.TEKUKTOF != nullptr) side.TEKUKTOF->Refresh();
  if (o.refreshCharPanel && checked("MN_VIEWWRD") && side.TEKUWRDF != nullptr) side.TEKUWRDF->Refresh();
  if (!checked("MN_VIEWWRD") && side.TEKUWRDF != nullptr) side.TEKUWRDF->show();
  if (o.redrawPrevious) {
    if (o.previousRedraw == Redraw::NumberGroup) DrawNumberGroup(o.previousX, o.previousY);
    else DrawCell(o.previousX, o.previousY);
  }
}

}  // namespace teku
