// The main window's commands (menu items) and its grid click handler.
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QTextBrowser>
#include <dirent.h>
#include <new>
#include <sys/stat.h>

#include "app/answer_check.h"
#include "app/edit_menu.h"
#include "desktop/puzzle_path.h"
#include "export/ipuz.h"
#include "app/grid_zoom.h"
#include "services/cp932.h"
#include "services/profile_file.h"
#include "services/regular_file.h"
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

void SetPlayMode(TForm1& f, const char* on) {
  for (const char* m : {"MN_MODEGAME", "MN_MODEANSER", "MN_MODECREATE"}) f.setChecked(m, false);
  f.setChecked(on, true);
}
}  // namespace

PuzzleFileContext TForm1::FileContext(ModeState& modes) {
  return PuzzleFileContext{TEKUINI1, puzzle, modes, [this] { BuildMojiSheet(); }};
}

namespace {
// Paths are kept as the bytes the system gave; Qt sees them only to show them.
QString DisplayPath(const std::string& path) { return QFile::decodeName(QByteArray::fromStdString(path)); }

// A message in code page 932; what it cannot hold becomes '?' rather than losing the message.
std::string MessageText(const QString& text) { return Utf8ToCp932Lossy(text.toStdString()); }

// The bytes of a path the file dialog gave. The dialog knows names only as text, so a folder
// or file whose name is not valid UTF-8 comes back changed; such a path in the program folder
// is matched to the folder's entries by how they show.
std::string DialogPathBytes(const TForm1& f, const QString& chosen) {
  const std::string bytes = QFile::encodeName(chosen).toStdString();
  struct stat st {};
  if (::stat(DirectoryOf(bytes).c_str(), &st) == 0) return bytes;
  const QFileInfo info(chosen);
  if (QDir::cleanPath(info.absolutePath()) != QDir::cleanPath(DisplayPath(f.ProgramDir))) return bytes;
  std::string name = QFile::encodeName(info.fileName()).toStdString();
  if (DIR* dir = ::opendir(f.ProgramDir.c_str())) {
    while (const dirent* e = ::readdir(dir)) {
      if (QFile::decodeName(e->d_name) == info.fileName()) name = e->d_name;
    }
    ::closedir(dir);
  }
  return f.ProgramDir + name;
}

std::optional<std::string> RunFileDialog(TForm1& f, bool save) {
  QString filter = QString::fromUtf8("ﾅﾝｸﾛ問題ﾌｧｲﾙ (*.CRS)");
  if (!save) filter += QString::fromUtf8(";;ipuz (*.ipuz)");
  const QString dir =
      DisplayPath(ChooserFolder(f.Folders, f.puzzle.FilePath, QFile::encodeName(QDir::homePath()).toStdString()));
  const QString path = save ? QFileDialog::getSaveFileName(&f, QString(), dir, filter)
                            : QFileDialog::getOpenFileName(&f, QString(), dir, filter);
  if (path.isEmpty()) return std::nullopt;
  return DialogPathBytes(f, path);
}

// Why a file cannot be read, for a message; empty when it can.
QString ReadProblem(PuzzleFileStatus status, const std::string& path, const char* kind) {
  const QString p = DisplayPath(path);
  switch (status) {
    case PuzzleFileStatus::kNotPuzzle: return QString::fromUtf8("%1 は%2ではありません。").arg(p, QString::fromUtf8(kind));
    case PuzzleFileStatus::kTooLarge:
      return QString::fromUtf8("%1 は大きすぎます（%2は %3 MiB まで）。")
          .arg(p, QString::fromUtf8(kind))
          .arg(kProfileFileMax / (1024 * 1024));
    case PuzzleFileStatus::kUnreadable: return QString::fromUtf8("%1 を読み込めません。").arg(p);
    case PuzzleFileStatus::kNoMemory: return QString::fromUtf8("メモリが足りないため %1 を読み込めません。").arg(p);
    case PuzzleFileStatus::kPuzzle:
    case PuzzleFileStatus::kMissing: break;
  }
  return QString();
}

// Shows why the puzzle file cannot be loaded; true when it can.
bool ReportLoadProblem(TForm1& f, PuzzleFileStatus status, const std::string& path) {
  const QString why = ReadProblem(status, path, "問題ファイル");
  if (why.isEmpty()) return true;
  f.ShowMessage(MessageText(why), MessageText(QString::fromUtf8("ファイル")));
  return false;
}

void ReportNoMemory(TForm1& f) {
  f.ShowMessage(MessageText(QString::fromUtf8("メモリが足りません。")), MessageText(QString::fromUtf8("ファイル")));
}
}  // namespace

void TForm1::ReportSettingsFile() {
  const ProfileFileState state = CheckProfileFile(TEKUINI1.IniFileName);
  if (state == ProfileFileState::kText || state == ProfileFileState::kMissing) return;
  QString why = ReadProblem(PuzzleStatusOf(state), TEKUINI1.IniFileName, "設定ファイル");
  // A file that is not profile text is still read as it is; the others read as empty.
  if (state != ProfileFileState::kNotText) why += QString::fromUtf8("設定は初期値で始め、");
  why += QString::fromUtf8("このファイルには書き込みません。");
  ShowMessage(MessageText(why), MessageText(QString::fromUtf8("ミナモナンクロ支援ツールv0.42")));
}

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
  if (chosen) OpenPuzzle(*chosen, false);
}

// After a puzzle was read in: its modes, a fresh start for clicks and history, the top-left
// corner laid out and shown.
void TForm1::ShowOpenedPuzzle(const ModeState& modes) {
  SetModes(modes);
  clickCache.ClickCacheStale = 1;
  Modified = 0;
  if (edits != nullptr) edits->Reset();
  ScrollToOrigin();
  LayoutGrid();
  RedrawAndShow();
  RefreshPanels();
}

bool TForm1::OpenPuzzleAt(const std::string& path) { return OpenPuzzle(path, true); }

namespace {
bool IsIpuzPath(const std::string& path) {
  const std::size_t dot = path.find_last_of('.');
  return dot != std::string::npos && QString::fromStdString(path.substr(dot)).compare(QStringLiteral(".ipuz"), Qt::CaseInsensitive) == 0;
}
// An ipuz of the largest puzzle with every clue is far below this.
constexpr std::int64_t kIpuzMax = 16 << 20;
}  // namespace

// An ipuz document opens as a puzzle without a file of its own: a save asks where to put it.
bool TForm1::OpenIpuz(const std::string& path) {
  std::string document;
  const FileRead read = ReadRegularFile(path, kIpuzMax, document);
  if (read != FileRead::kOk) {
    ShowMessage(MessageText(QString::fromUtf8("%1 を読み込めません。").arg(DisplayPath(path))),
                MessageText(QString::fromUtf8("ファイル")));
    return false;
  }
  {
    // Read once aside, so that a document that cannot be taken leaves the puzzle as it is.
    Puzzle trial;
    PuzzleKind kind{};
    std::string error;
    if (!ReadIpuz(document, trial, kind, error)) {
      ShowMessage(MessageText(DisplayPath(path) + QString::fromUtf8("：") + QString::fromStdString(error)),
                  MessageText(QString::fromUtf8("ファイル")));
      return false;
    }
  }
  {
    WaitCaption wait(this);
    if (side.TEKUHNTF != nullptr) side.TEKUHNTF->Discard();
    if (side.TEKUSPLF != nullptr) side.TEKUSPLF->hide();
    NewPuzzlePending = 0;
    ModeState modes = Modes();
    std::string error;
    ReadIpuz(document, puzzle, modes.kind, error);
    modes.play = PlayMode::Game;
    puzzle.MondaiName.clear();
    puzzle.FilePath = path;
    BuildMojiSheet();
    ShowOpenedPuzzle(modes);
  }
  setWindowTitle(QString::fromUtf8("ﾌｧｲﾙ ") + DisplayPath(path));
  Recent.Add(path);
  RefreshRecentMenu();
  return true;
}

void TForm1::MN_FILEEXPORTIPUZClick() {
  bool withSolution = true;
  if (!puzzle.Password.empty()) {
    const SaveAnswer answer = AskExportWithoutSolution();
    if (answer == SaveAnswer::Cancel) return;
    withSolution = answer == SaveAnswer::No;
  }
  std::optional<std::string> chosen = ChooseExportFile(QString::fromUtf8("ipuz (*.ipuz)"));
  if (!chosen) return;
  std::string path = *chosen;
  if (BaseName(path).find('.') == std::string::npos) path += ".ipuz";
  try {
    ReplaceFileWith(path, WriteIpuz(puzzle, Modes().kind, withSolution));
  } catch (const ProfileWriteError& e) {
    ShowMessage(MessageText(DisplayPath(e.path()) + QString::fromUtf8(" に書き込めません")),
                MessageText(QString::fromUtf8("エクスポート")));
  } catch (const std::bad_alloc&) {
    ReportNoMemory(*this);
  }
}

bool TForm1::OpenPuzzle(const std::string& path, bool mustExist) {
  if (IsIpuzPath(path)) return OpenIpuz(path);
  // The settings keep a puzzle of the program folder by its bare name, as the Windows build does.
  const std::string name = PuzzleNameFor(ProgramDir, path);
  // A file that cannot be loaded leaves the puzzle and every window as they are.
  ModeState current = Modes();
  const PuzzleFileStatus status = CheckPuzzleFile(FileContext(current), name);
  if (mustExist && status == PuzzleFileStatus::kMissing) {
    Recent.Remove(path);
    RefreshRecentMenu();
    ShowMessage(MessageText(QString::fromUtf8("%1 が見つかりません。").arg(DisplayPath(path))),
                MessageText(QString::fromUtf8("ファイル")));
    return false;
  }
  if (!ReportLoadProblem(*this, status, path)) {
    if (status == PuzzleFileStatus::kNotPuzzle) {
      Recent.Remove(path);
      RefreshRecentMenu();
    }
    return false;
  }
  PuzzleFileStatus loaded = PuzzleFileStatus::kMissing;
  try {
    WaitCaption wait(this);
    if (side.TEKUHNTF != nullptr) side.TEKUHNTF->Discard();
    if (side.TEKUSPLF != nullptr) side.TEKUSPLF->hide();
    NewPuzzlePending = 0;
    ModeState modes = Modes();
    PuzzleFileContext c = FileContext(modes);
    // Checked again by the load itself: the file may have changed since.
    loaded = LoadPuzzleFile(c, name);
    if (!ReportLoadProblem(*this, loaded, path)) return false;
    puzzle.FilePath = path;
    ShowOpenedPuzzle(modes);
  } catch (const std::bad_alloc&) {
    ReportNoMemory(*this);
    return false;
  }
  setWindowTitle(QString::fromUtf8("ﾌｧｲﾙ ") + DisplayPath(puzzle.FilePath));
  if (loaded == PuzzleFileStatus::kPuzzle) {
    Recent.Add(path);
    RefreshRecentMenu();
  }
  return true;
}

bool TForm1::MN_FILESAVEClick() {
  if (puzzle.MondaiName.empty()) return MN_FILESAVEASClick();
  // The puzzle lies in the installed program's own folder: it is saved whole to a file of the
  // user's, as a save of the input alone would leave a file without the puzzle.
  if (SaveNeedsChooser(Folders, puzzle.MondaiName)) return SaveAs(true);
  return SaveTo(puzzle.MondaiName, false);
}

bool TForm1::SaveTo(const std::string& name, bool whole) {
  const std::string path = ResolveInFolder(ProgramDir, name);
  ModeState modes = Modes();
  PuzzleFileContext c = FileContext(modes);
  // A file that is not a puzzle is replaced only when the user says so; the core refuses the
  // files it cannot read in full.
  ForeignFile foreign = ForeignFile::kKeep;
  const PuzzleFileStatus status = CheckPuzzleFile(c, name);
  if (status == PuzzleFileStatus::kNotPuzzle) {
    if (!AskOverwriteNotPuzzle(path)) return false;
    foreign = ForeignFile::kReplace;
  } else if (status == PuzzleFileStatus::kPuzzle) {
    const bool ok = AskOverwrite();
    if (!ok) return false;
  }
  try {
    if (whole || modes.create() || modes.answer()) SavePuzzle(c, name, foreign);
    if (modes.game()) SaveInput(c, name, whole ? ForeignFile::kKeep : foreign);
  } catch (const ProfileWriteError& e) {
    ShowMessage(MessageText(DisplayPath(e.path()) + QString::fromUtf8(" に書き込めません")),
                MessageText(QString::fromUtf8("SAVE確認")));
    return false;
  } catch (const std::bad_alloc&) {
    ReportNoMemory(*this);
    return false;
  }
  Modified = 0;
  if (edits != nullptr) edits->MarkSaved();
  Recent.Add(path);
  RefreshRecentMenu();
  return true;
}

bool TForm1::MN_FILESAVEASClick() { return SaveAs(false); }

bool TForm1::SaveAs(bool whole) {
  const std::optional<std::string> chosen = ChooseSaveFile ? ChooseSaveFile() : RunFileDialog(*this, true);
  if (!chosen) return false;
  std::string path = *chosen;
  // A name typed without an extension gets the puzzle files' one.
  if (BaseName(path).find('.') == std::string::npos) path += ".CRS";
  puzzle.FilePath = path;
  setWindowTitle(QString::fromUtf8("ﾌｧｲﾙ ") + DisplayPath(puzzle.FilePath));
  puzzle.MondaiName = PuzzleNameFor(ProgramDir, path);
  return SaveTo(puzzle.MondaiName, whole);
}

void TForm1::MN_FILENEWOPENClick() {
  if (!AskToSave()) return;
  if (side.TEKUHNTF != nullptr) side.TEKUHNTF->Discard();
  if (side.TEKUSPLF != nullptr) side.TEKUSPLF->hide();
  clickCache.ClickCacheStale = 1;
  if (edits != nullptr) edits->Reset();
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
    ShowMessage(MessageText(QString::fromUtf8("文字表のみロードは作成ﾓｰﾄﾞか解答のときに使えます。ｹﾞｰﾑ実行中の文字表は変えられません。")),
                MessageText(QString::fromUtf8("文字表のみロード")));
    return;
  }
  const std::optional<std::string> chosen = ChooseOpenFile ? ChooseOpenFile() : RunFileDialog(*this, false);
  if (!chosen) return;
  WaitCaption wait(this);
  EditStep step(*this);
  const TextList before = puzzle.MojiTbl;
  ModeState modes = Modes();
  PuzzleFileContext c = FileContext(modes);
  try {
    if (!ReportLoadProblem(*this, LoadCharTableOnly(c, PuzzleNameFor(ProgramDir, *chosen)), *chosen)) return;
  } catch (const std::bad_alloc&) {
    ReportNoMemory(*this);
    return;
  }
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
  ShowMessage(MessageText(QString::fromUtf8("パスワードが違います。")), MessageText(QString::fromUtf8("パスワード")));
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
  EditStep step(*this);
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
  EditStep step(*this);
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
  // Read here, not by the browser: only a regular file, and from a folder of any name.
  constexpr std::int64_t kHelpFileMax = 16 * 1024 * 1024;
  std::string html;
  if (ReadRegularFile(ResolveProgramFile("TEKUCROS.HLP"), kHelpFileMax, html) == FileRead::kOk) {
    browser->setHtml(QString::fromUtf8(html));
  } else {
    browser->clear();
  }
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
  std::optional<EditStep> step(std::in_place, *this);
  const auto storeOpenClue = [this] {
    if (side.TEKUHNTF != nullptr) side.TEKUHNTF->StoreBeforeScan();
  };
  // Zoomed, the press is in screen pixels of larger cells: the click rules count 32-pixel ones.
  const std::int32_t cell = DrawSheets().cell;
  const ClickOutcome o = HandleGridClick(puzzle, clickCache, Modes(), button, ToBasePixels(x, cell), ToBasePixels(y, cell),
                                         ScrollBar_Width->value(), ScrollBar_Height->value(), selected,
                                         storeOpenClue);
  if (!o.handled) return;
  if (o.rightSound) PlayRightClick();
  if (o.leftSound) PlayLeftClick();
  // The step ends before the windows it opens can store anything of their own.
  step.reset();
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
  // A letter moves its cell from one number's group to another's.
  if (Modes().writingLetters()) RedrawAndShow();
}

}  // namespace teku
