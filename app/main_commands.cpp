// The main window's commands (menu items) and its grid click handler.
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QTextBrowser>
#include <QUrl>

#include "app/answer_check.h"
#include "services/profile_file.h"
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

std::string BaseName(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string DirectoryOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// UI text of these commands, as code page 932 for the message sink.
std::string Cp932(const char* utf8) {
  return QStringToCp932(QString::fromUtf8(utf8)).value_or(std::string(utf8));
}

void SetPlayMode(TForm1& f, const char* on) {
  for (const char* m : {"MN_MODEGAME", "MN_MODEANSER", "MN_MODECREATE"}) f.setChecked(m, false);
  f.setChecked(on, true);
}
}  // namespace

PuzzleFileContext TForm1::FileContext(ModeState& modes) {
  return PuzzleFileContext{TEKUINI1, puzzle, modes, [this] { BuildMojiSheet(); }};
}

namespace {
// Puzzle files live in the program folder; a file chosen elsewhere is refused with a message.
bool InProgramFolder(TForm1& f, const std::string& path) {
  const QString chosen = QFileInfo(QString::fromStdString(DirectoryOf(path))).canonicalFilePath();
  const QString folder = QFileInfo(QString::fromStdString(f.ProgramDir)).canonicalFilePath();
  if (!chosen.isEmpty() && chosen == folder) return true;
  f.ShowMessage(QStringToCp932(QString::fromUtf8("問題ファイルはプログラムのフォルダ（%1）に置いて下さい。")
                                   .arg(QString::fromStdString(f.ProgramDir)))
                    .value_or(std::string()),
                QStringToCp932(QString::fromUtf8("ファイル")).value_or(std::string()));
  return false;
}

std::optional<std::string> RunFileDialog(TForm1& f, bool save) {
  const QString filter = QString::fromUtf8("ﾅﾝｸﾛ問題ﾌｧｲﾙ (*.CRS)");
  const QString dir = QString::fromStdString(f.ProgramDir);
  const QString path = save ? QFileDialog::getSaveFileName(&f, QString(), dir, filter)
                            : QFileDialog::getOpenFileName(&f, QString(), dir, filter);
  if (path.isEmpty()) return std::nullopt;
  return path.toStdString();
}
}  // namespace

bool TForm1::AskToSave() {
  if (Modified == 0) return true;
  const SaveAnswer answer = AskSaveChanges();
  if (answer == SaveAnswer::Cancel) return false;
  // A save that was asked for but did not happen ends the command with the work kept.
  if (answer == SaveAnswer::Yes && !MN_FILESAVEClick()) return false;
  Modified = 0;
  return true;
}

void TForm1::MN_FILEOPENClick() {
  if (!AskToSave()) return;
  const std::optional<std::string> chosen = ChooseOpenFile ? ChooseOpenFile() : RunFileDialog(*this, false);
  if (!chosen || !InProgramFolder(*this, *chosen)) return;
  {
    WaitCaption wait(this);
    puzzle.FilePath = *chosen;
    if (side.TEKUHNTF != nullptr) side.TEKUHNTF->Discard();
    if (side.TEKUSPLF != nullptr) side.TEKUSPLF->hide();
    NewPuzzlePending = 0;
    ModeState modes = Modes();
    PuzzleFileContext c = FileContext(modes);
    LoadPuzzleFile(c, BaseName(*chosen));
    SetModes(modes);
    clickCache.ClickCacheStale = 1;
    Modified = 0;
    ScrollToOrigin();
    LayoutGrid();
    RedrawAndShow();
    RefreshPanels();
  }
  setWindowTitle(QString::fromUtf8("ﾌｧｲﾙ ") + QString::fromStdString(puzzle.FilePath));
}

bool TForm1::MN_FILESAVEClick() {
  if (puzzle.MondaiName.empty()) return MN_FILESAVEASClick();
  const std::string path = TEKUINI1.ExeDir + puzzle.MondaiName;
  if (QFileInfo::exists(QString::fromStdString(path))) {
    const bool ok = AskOverwrite();
    if (!ok) return false;
  }
  ModeState modes = Modes();
  PuzzleFileContext c = FileContext(modes);
  try {
    if (modes.create() || modes.answer()) SavePuzzle(c, puzzle.MondaiName);
    else SaveInput(c, puzzle.MondaiName);
  } catch (const ProfileWriteError& e) {
    ShowMessage(QStringToCp932(QString::fromUtf8(e.what())).value_or(std::string(e.what())),
                QStringToCp932(QString::fromUtf8("SAVE確認")).value_or(std::string()));
    return false;
  }
  Modified = 0;
  return true;
}

bool TForm1::MN_FILESAVEASClick() {
  const std::optional<std::string> chosen = ChooseSaveFile ? ChooseSaveFile() : RunFileDialog(*this, true);
  if (!chosen || !InProgramFolder(*this, *chosen)) return false;
  std::string path = *chosen;
  // A name typed without an extension gets the puzzle files' one.
  if (BaseName(path).find('.') == std::string::npos) path += ".CRS";
  puzzle.FilePath = path;
  setWindowTitle(QString::fromUtf8("ﾌｧｲﾙ ") + QString::fromStdString(puzzle.FilePath));
  puzzle.MondaiName = BaseName(path);
  return MN_FILESAVEClick();
}

void TForm1::MN_FILENEWOPENClick() {
  if (!AskToSave()) return;
  if (side.TEKUHNTF != nullptr) side.TEKUHNTF->Discard();
  if (side.TEKUSPLF != nullptr) side.TEKUSPLF->hide();
  clickCache.ClickCacheStale = 1;
  if (checked("MN_MODEGAME")) {
    // The input goes; the puzzle and its file name stay, so a save goes to the puzzle shown.
    puzzle.InputTbl.fill(kNone);
    ScrollToOrigin();
    RedrawAndRepaint();
    if (checked("MN_VIEWKAITOU") && side.TEKUKTOF != nullptr) side.TEKUKTOF->Refresh();
    return;
  }
  puzzle.FilePath.clear();
  puzzle.ResetPuzzle();
  puzzle.ResetInput();
  NewPuzzlePending = 1;
  if (side.TEKUINTF != nullptr) {
    if (side.TEKUINTF->isVisible()) side.TEKUINTF->FormShow(); else side.TEKUINTF->show();
  }
}

void TForm1::MN_FILETANGOClick() {
  if (checked("MN_MODEGAME")) {
    ShowMessage(Cp932("文字表のみロードは作成ﾓｰﾄﾞか解答のときに使えます。ｹﾞｰﾑ実行中の文字表は変えられません。"),
                Cp932("文字表のみロード"));
    return;
  }
  const std::optional<std::string> chosen = ChooseOpenFile ? ChooseOpenFile() : RunFileDialog(*this, false);
  if (!chosen || !InProgramFolder(*this, *chosen)) return;
  WaitCaption wait(this);
  const TextList before = puzzle.MojiTbl;
  ModeState modes = Modes();
  PuzzleFileContext c = FileContext(modes);
  LoadCharTableOnly(c, BaseName(*chosen));
  if (puzzle.MojiTbl != before) Modified = 1;
  BuildMojiSheet();
  RefreshPanels();
  // Drawn at once, so the grid never shows characters the next click contradicts.
  RedrawAndShow();
}

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
    side.TEKUWRDF->ShowPicture(FinePicture);
  }
  OpenPendingSound();
  if (sound.FineWavDevice != 0) WavePlay(sound.FineWavDevice, this);
}

bool TForm1::PasswordGate() {
  if (puzzle.Password.empty()) {
    puzzle.EnteredPassword.clear();
    return true;
  }
  if (side.PasswordDlg != nullptr) side.PasswordDlg->Ask();
  if (puzzle.Password == puzzle.EnteredPassword) return true;
  ShowMessage(Cp932("パスワードが違います。"), Cp932("パスワードダイアログ"));
  return false;
}

void TForm1::MN_MODEGAMEClick() {
  // Already playing: the player's input stays.
  if (checked("MN_MODEGAME")) return;
  // A save in game mode writes only the input: unsaved puzzle work is offered a save first.
  if (!AskToSave()) return;
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
  // A change of kind also ends the correct-answer picture in the panel.
  if (side.TEKUWRDF != nullptr && side.TEKUWRDF->PictureShown) side.TEKUWRDF->Refresh();
  // Drawn at once, so the screen never shows a kind the next click contradicts.
  RedrawAndRepaint();
}

void TForm1::MN_MODECROSClick() {
  WaitCaption wait(this);
  if (!checked("MN_MODECROS")) Modified = 1;
  setChecked("MN_MODECROS", true);
  setChecked("MN_MODENANKURO", false);
  if (side.TEKUWRDF != nullptr && side.TEKUWRDF->PictureShown) side.TEKUWRDF->Refresh();
  RedrawAndRepaint();
}

void TForm1::MN_MODEHINTClick() {
  setChecked("MN_MODEHINT", !checked("MN_MODEHINT"));
  clickCache.ClickCacheStale = 1;
}

void TForm1::MN_MODEONGAKUClick() {
  if (checked("MN_MODEONGAKU")) {
    setChecked("MN_MODEONGAKU", false);
    SoundOpenPending = false;
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
  const auto storeOpenClue = [this] {
    if (side.TEKUHNTF != nullptr) side.TEKUHNTF->StoreBeforeScan();
  };
  const ClickOutcome o = HandleGridClick(puzzle, clickCache, Modes(), button, x, y,
                                         ScrollBar_Width->value(), ScrollBar_Height->value(), selected,
                                         storeOpenClue);
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
