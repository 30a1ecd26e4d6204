// The main window: menu, grid view layout, scrolling and painting.
#include "app/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QLayout>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QTimer>
#include <QWheelEvent>
#include <cstdio>
#include <ctime>
#include <unistd.h>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QStatusBar>
#include <QResizeEvent>

#include "app/edit_menu.h"
#include "app/uniqueness_menu.h"
#include "app/grid_keyboard.h"
#include "app/grid_layout.h"
#include "app/grid_zoom.h"
#include "app/zoom_view.h"
#include "workbench/workbench_menu.h"
#include "app/main_menu.h"
#include "app/print_menu.h"
#include "app/window_placement.h"
#include "desktop/puzzle_path.h"
#include "dialogs/char_setting_dialog.h"
#include "dialogs/hint_dialog.h"
#include "services/profile_file.h"
#include "services/sound_loader.h"
#include "services/trace_log.h"
#include "surface/qt_cp932.h"

namespace teku {

namespace {
const char* const kCaption = "ミナモ　ナンクロ支援ツールv0.42";

std::string IniText(const std::string& text, const char* fallback) {
  return text.empty() ? std::string(fallback) : text;
}

// The program's real message boxes, over whichever of its windows is active.
class BoxMessages final : public MessageSink {
 public:
  void Information(const std::string& text, const std::string& caption) override {
    QMessageBox::information(QApplication::activeWindow(), Cp932ToQString(caption), Cp932ToQString(text));
  }
};
BoxMessages g_boxMessages;

bool BoxAskOverwrite(QWidget* parent) {
  return QMessageBox::question(parent, QString::fromUtf8("SAVE確認"), QString::fromUtf8("上書きしてよろしいですか。"),
                               QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok;
}

bool BoxAskOverwriteNotPuzzle(QWidget* parent, const std::string& path) {
  return QMessageBox::question(parent, QString::fromUtf8("SAVE確認"),
                               QString::fromUtf8("%1 は問題ファイルではありません。上書きしますか？")
                                   .arg(QFile::decodeName(QByteArray::fromStdString(path))),
                               QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
}

TForm1::SaveAnswer BoxAskSaveChanges(QWidget* parent) {
  const auto b = QMessageBox::information(parent, QString::fromUtf8("確認メッセージ"),
                                          QString::fromUtf8("内容が更新されています、内容を保存しますか？"),
                                          QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
  return b == QMessageBox::Yes  ? TForm1::SaveAnswer::Yes
         : b == QMessageBox::No ? TForm1::SaveAnswer::No
                                : TForm1::SaveAnswer::Cancel;
}

// UI text of this window, as code page 932 for the message sink.
std::string Cp932(const char* utf8) {
  return QStringToCp932(QString::fromUtf8(utf8)).value_or(std::string(utf8));
}
}  // namespace

namespace {
ProgramEnvironment WithExecutable(ProgramEnvironment environment) {
  if (environment.exePath.empty()) environment.exePath = ZIREDIZU::RunningExecutable();
  if (!environment.folders) environment.folders = ProgramFoldersOf(environment.exePath);
  return environment;
}

std::string SectionOf(const std::string& exePath) {
  const std::size_t slash = exePath.find_last_of('/');
  return ZIREDIZU::SectionNameFor(slash == std::string::npos ? exePath : exePath.substr(slash + 1));
}
}  // namespace

TForm1::TForm1(const ProgramEnvironment& environment, QWidget* parent)
    : QMainWindow(parent),
      TEKUINI1(*WithExecutable(environment).folders, SectionOf(WithExecutable(environment).exePath),
               PaletteSetup{nullptr,
                            environment.messages != nullptr ? environment.messages : &g_boxMessages,
                            std::nullopt}),
      environment_(WithExecutable(environment)) {
  setWindowTitle(QString::fromUtf8(kCaption));
  AskOverwrite = [this] { return BoxAskOverwrite(this); };
  AskSaveChanges = [this] { return BoxAskSaveChanges(this); };
  AskOverwriteNotPuzzle = [this](const std::string& path) { return BoxAskOverwriteNotPuzzle(this, path); };
  AskExportWithoutSolution = [this] {
    const auto b = QMessageBox::question(
        this, QString::fromUtf8("エクスポート"),
        QString::fromUtf8("この問題にはパスワードが付いています。答えを書き出さずにおきますか？\n"
                          "（書き出さないと、ほかのプログラムでは答え合わせができません）"),
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
    return b == QMessageBox::Yes ? SaveAnswer::Yes : b == QMessageBox::No ? SaveAnswer::No : SaveAnswer::Cancel;
  };
  ChooseExportFile = [this](const QString& filter) -> std::optional<std::string> {
    const QString path = QFileDialog::getSaveFileName(this, QString::fromUtf8("エクスポート"), QString(), filter);
    if (path.isEmpty()) return std::nullopt;
    return QFile::encodeName(path).toStdString();
  };
  Folders = *environment_.folders;
  ProgramDir = TEKUINI1.ExeDir;
  setAcceptDrops(true);
  sound.BgmMidPath = "BGM.MID";
  sound.LeftWavPath = "HIDARI.WAV";
  sound.RightWavPath = "MIGI.WAV";
  sound.FineWavPath = "SEIKAI.WAV";
  client_ = new QWidget(this);
  setCentralWidget(client_);
  PaintBox1 = new TTEKUBMP(client_);
  PaintBox1->setGeometry(0, 0, 448, 320);
  ScrollBar_Width = new QScrollBar(Qt::Horizontal, client_);
  ScrollBar_Width->setGeometry(0, 320, 448, 20);
  ScrollBar_Width->setMinimum(0);
  ScrollBar_Width->hide();
  ScrollBar_Height = new QScrollBar(Qt::Vertical, client_);
  ScrollBar_Height->setGeometry(448, 0, 20, 320);
  ScrollBar_Height->setMinimum(0);
  ScrollBar_Height->hide();
  BuildMenu();
  // Made before the first size is set, so that the client area leaves room for the status line.
  keyboard = new GridKeyboard(*this);
  edits = new EditMenu(*this);
  zoom = new ZoomView(*this);
  new PrintMenu(*this);
  workbench = new WorkbenchMenu(*this);
  uniqueness = new UniquenessMenu(*this);
  move(246, 226);
  SetClientSize(468, 340);

  PaintBox1->OnPaint = [this] { PaintBox1Paint(); };
  PaintBox1->OnMouseDown = [this](Qt::MouseButton b, int x, int y) { PaintBox1MouseDown(b, x, y); };
  connect(ScrollBar_Width, &QScrollBar::valueChanged, this, [this] { ScrollBar_WidthChange(); });
  connect(ScrollBar_Height, &QScrollBar::valueChanged, this, [this] { ScrollBar_HeightChange(); });
  FormCreate();
  zoom->Restore();
}

TForm1::~TForm1() {
  // The keyboard filters the paint box's events; once this window is only a QWidget being torn
  // down, nothing may reach it.
  if (PaintBox1 != nullptr && keyboard != nullptr) PaintBox1->removeEventFilter(keyboard);
  delete keyboard;
  keyboard = nullptr;
  FormDestroy();
  soundLoader_.reset();
  SetSoundPlatform(nullptr, nullptr);
  soundBackend_.reset();
}

void TForm1::ShowMessage(const std::string& text, const std::string& caption) {
  MessageSink* sink = environment_.messages != nullptr ? environment_.messages : &g_boxMessages;
  sink->Information(text, caption);
}

void TForm1::Inform(const QString& text, const QString& caption) {
  ShowMessage(QStringToCp932(text).value_or(text.toStdString()),
              QStringToCp932(caption).value_or(caption.toStdString()));
}

void TForm1::RestoreGeometry(std::int32_t left, std::int32_t top, std::int32_t width,
                             std::int32_t height) {
  const QSize work = WorkAreaSize();
  SnapStoredClientSize(width, height, work.width(), work.height());
  SetClientSize(width, height);
  RestoreWindowPosition(*this, left, top);
}

bool TForm1::LoadSheet(const std::string& name, TDibImage& sheet, std::int32_t minWidth,
                       std::int32_t minHeight) {
  MessageSink* sink = environment_.messages != nullptr ? environment_.messages : &g_boxMessages;
  LoadImageFile(*PaintBox1, ResolveProgramFile(name), sheet, ProgressSink(), sink);
  if (sheet.allocated() && (sheet.width() < minWidth || sheet.height() < minHeight)) {
    FreeImage(sheet);
  }
  return sheet.allocated();
}

bool TForm1::MakeSettingsFolders() {
  if (Folders.portable) return true;
  if (!Folders.stateDir.empty()) MakeFolders(Folders.stateDir);
  return MakeFolders(Folders.settingsDir);
}

void TForm1::FormCreate() {
  settingsFolderOk_ = MakeSettingsFolders();
  TraceStartAt(Folders.stateDir.empty() ? std::string() : Folders.stateDir + "TEKUTRC.LOG", environment_.exePath);
  if (!settingsFolderOk_) {
    Inform(QString::fromUtf8("設定を保存するフォルダ %1 を作れません。設定は初期値で始め、保存しません。")
               .arg(Folders.settingsDir.empty() ? QString::fromUtf8("（ホームフォルダがありません）")
                                                : QFile::decodeName(QByteArray::fromStdString(Folders.settingsDir))),
           QString::fromUtf8("ミナモナンクロ支援ツールv0.42"));
  }
  ReportSettingsFile();
  Recent.Read([this](const std::string& key) { return ReadIni(key); });
  RefreshRecentMenu();
  InLayout = 1;
  ResizeReady = 0;
  NewPuzzlePending = 0;
  RestoreGeometry(ReadIniInt("Left", x()), ReadIniInt("Top", y()),
                  ReadIniInt("Width", ClientWidth()), ReadIniInt("Height", ClientHeight()));
  LastClientWidth = LastClientHeight = LastGridWidth = LastGridHeight = 0;
  MojiBmpPath = IniText(ReadIni("MOJIBMP"), "TEKUMOJI.BMP");
  NumBmpPath = IniText(ReadIni("NUMBMP"), "TEKUNUMB.BMP");
  ColorBmpPath = IniText(ReadIni("COLORBMP"), "TEKUCOLR.BMP");
  sound.BgmMidPath = IniText(ReadIni("BGMMID"), "BGM.MID");
  sound.LeftWavPath = IniText(ReadIni("LEFTWAV"), "HIDARI.WAV");
  sound.RightWavPath = IniText(ReadIni("RIGHTWAV"), "MIGI.WAV");
  sound.FineWavPath = IniText(ReadIni("FINEWAV"), "SEIKAI.WAV");
  FineBmpPath = IniText(ReadIni("FINEBMP"), "SEIKAI.BMP");
  Modified = 0;
  BlitReady = 1;
  ClickReady = 1;
  sound.BgmDevice = sound.LeftWavDevice = sound.RightWavDevice = sound.FineWavDevice = 0;
  PaletteHandle = TEKUINI1.GetPalette(PaletteEntries);
  PaintBox1->SetPalette(PaletteEntries, PaletteHandle);
  PaintBox1->CreateImage(PaintBox1->width(), PaintBox1->height(), PaintBox1->Image);
  PaintBox1->CreateImage(512, 512, sheets.MojiSheet);
  PaintBox1->CreateImage(512, 512, sheets.NumSheet);
  PaintBox1->CreateImage(64, 192, sheets.ColorSheet);
  sheets.UpdateCounts();
  const bool moji = LoadSheet(MojiBmpPath, sheets.MojiSheet, kCellPixels, kCellPixels);
  const bool num = LoadSheet(NumBmpPath, sheets.NumSheet, kCellPixels, kCellPixels);
  const bool color = LoadSheet(ColorBmpPath, sheets.ColorSheet, 64, 192);
  sheets.UpdateCounts();
  if (!moji) ShowMessage(Cp932("文字表示用ＢＭＰがロードできません。まず初期設定して下さい"), MojiBmpPath);
  if (!num) {
    ShowMessage(Cp932("数字表示用ＢＭＰがロードできません。INIファイルを削除して再起動下さい"), NumBmpPath);
  }
  if (!color) {
    ShowMessage(Cp932("マス表示用ＢＭＰがロードできません。INIファイルを削除して再起動下さい"), ColorBmpPath);
  }
  puzzle.ResetPuzzle();
  puzzle.ResetInput();
  BuildMojiSheet();
  ResizeReady = 1;
  LayoutGrid();
  if (ReadIni("ONKYO") == "OFF") {
    setChecked("MN_MODEONGAKU", false);
  } else {
    setChecked("MN_MODEONGAKU", true);
    SoundOpenPending = true;
  }
  InLayout = 0;
  clickCache = ClickCache{};
}

void TForm1::closeEvent(QCloseEvent* event) {
  if (!destroyed_ && !AskToSave()) {
    event->ignore();
    return;
  }
  if (ShutDown) ShutDown(); else FormDestroy();
  QMainWindow::closeEvent(event);
}

void TForm1::FormDestroy() {
  if (destroyed_) return;
  destroyed_ = true;
  InLayout = 1;
  if (sound.BgmDevice != 0) MidiClose(sound.BgmDevice);
  if (sound.LeftWavDevice != 0) WaveClose(sound.LeftWavDevice);
  if (sound.RightWavDevice != 0) WaveClose(sound.RightWavDevice);
  if (sound.FineWavDevice != 0) WaveClose(sound.FineWavDevice);
  // A refused write ends the writing (the keys after it are not written) but never the
  // release that follows. A minimised or maximised window stores its normal geometry.
  int left = x(), top = y(), width = ClientWidth(), height = ClientHeight();
  if ((isMinimized() || isMaximized()) && normalGeometry().isValid()) {
    const QRect normal = normalGeometry();
    left = normal.x();
    top = normal.y();
    width = normal.width();
    height = normal.height() - menuBar()->height() - StatusHeight();
  }
  const bool written = WriteIniKeys({{"Left", std::to_string(left)},
                                     {"Top", std::to_string(top)},
                                     {"Width", std::to_string(width)},
                                     {"Height", std::to_string(height)},
                                     {"MOJIBMP", MojiBmpPath},
                                     {"NUMBMP", NumBmpPath},
                                     {"COLORBMP", ColorBmpPath},
                                     {"BGMMID", sound.BgmMidPath},
                                     {"LEFTWAV", sound.LeftWavPath},
                                     {"RIGHTWAV", sound.RightWavPath},
                                     {"FINEWAV", sound.FineWavPath},
                                     {"FINEBMP", FineBmpPath},
                                     {"MONDAI", puzzle.MondaiName},
                                     {"ONKYO", checked("MN_MODEONGAKU") ? "ON" : "OFF"}});
  if (written) WriteRecentFiles();
  FreeImage(FinePicture);
  FreeImage(PaintBox1->Image);
  FreeImage(sheets.MojiSheet);
  FreeImage(sheets.NumSheet);
  FreeImage(sheets.ColorSheet);
}

std::string TForm1::ResolveProgramFile(const std::string& name) const {
  if (name.empty() || name.front() == '/') return name;
  return ProgramDir + name;
}

void TForm1::OpenPendingSound() {
  if (!SoundOpenPending) return;
  if (!soundLoaded_) return StartSoundLoading();
  SoundOpenPending = false;
  if (checked("MN_MODEONGAKU")) ReopenSound();
}

void TForm1::StartSoundLoading() {
  if (soundLoader_ == nullptr) {
    soundLoader_ = std::make_unique<SoundLoader>([this](std::unique_ptr<SoundPlayer> player) {
      TakeSoundPlayer(std::move(player));
    });
  }
  // The files to be opened first are read on the worker too; the soundfont comes with the music.
  soundLoader_->Start({ResolveProgramFile(sound.BgmMidPath), ResolveProgramFile(sound.LeftWavPath),
                       ResolveProgramFile(sound.RightWavPath), ResolveProgramFile(sound.FineWavPath)});
}

void TForm1::TakeSoundPlayer(std::unique_ptr<SoundPlayer> player) {
  soundLoaded_ = true;
  soundBackend_ = std::move(player);
  if (soundBackend_ != nullptr) SetSoundPlatform(soundBackend_.get(), QueuedGuiPoster(this));
  // A program already ending opens nothing more.
  if (!destroyed_) OpenPendingSound();
}

void TForm1::ReopenSound() {
  if (!soundLoaded_) {
    SoundOpenPending = true;
    return StartSoundLoading();
  }
  SoundOpenPending = false;
  SoundDevices resolved = sound;
  resolved.BgmMidPath = ResolveProgramFile(sound.BgmMidPath);
  resolved.LeftWavPath = ResolveProgramFile(sound.LeftWavPath);
  resolved.RightWavPath = ResolveProgramFile(sound.RightWavPath);
  resolved.FineWavPath = ResolveProgramFile(sound.FineWavPath);
  teku::ReopenSound(resolved, this);
  sound.BgmDevice = resolved.BgmDevice;
  sound.LeftWavDevice = resolved.LeftWavDevice;
  sound.RightWavDevice = resolved.RightWavDevice;
  sound.FineWavDevice = resolved.FineWavDevice;
}

void TForm1::PlayLeftClick() {
  OpenPendingSound();
  if (sound.LeftWavDevice != 0) WavePlay(sound.LeftWavDevice, this);
}

void TForm1::PlayRightClick() {
  OpenPendingSound();
  if (sound.RightWavDevice != 0) WavePlay(sound.RightWavDevice, this);
}

void TForm1::SoundNotify(std::uint32_t code, DeviceId device) {
  HandleSoundNotify(sound, code, device, checked("MN_MODEONGAKU"), this);
}

std::string TForm1::ReadIni(const std::string& key) { return TEKUINI1.ReadIni(key); }

std::int32_t TForm1::ReadIniInt(const std::string& key, std::int32_t fallback) {
  std::int32_t v = fallback;
  return ParseDecimal(ReadIni(key), v) ? v : fallback;
}

void TForm1::WriteIni(const std::string& key, const std::string& value) {
  TEKUINI1.WriteIni(key, value);
}

bool TForm1::WriteIniKeys(std::initializer_list<std::pair<const char*, std::string>> keys) {
  // Already reported at start: a settings folder that could not be made takes nothing.
  if (!settingsFolderOk_) return false;
  try {
    ProfileBatch batch(TEKUINI1.IniFileName);
    for (const auto& [key, value] : keys) WriteIni(key, value);
    batch.Commit();
    return true;
  } catch (const ProfileWriteError& e) {
    ShowMessage(Cp932(e.what()), Cp932("ミナモナンクロ支援ツールv0.42"));
    return false;
  }
}

void TForm1::WriteRecentFiles() {
  if (!settingsFolderOk_) return;
  try {
    ProfileBatch batch(TEKUINI1.IniFileName);
    Recent.Write([this](const std::string& key, const std::string& value) { WriteIni(key, value); },
                 [this](const std::string& key) { DeleteProfileKey(TEKUINI1.IniFileName, TEKUINI1.SectionName, key); });
    batch.Commit();
  } catch (const ProfileWriteError& e) {
    ShowMessage(Cp932(e.what()), Cp932("ミナモナンクロ支援ツールv0.42"));
  }
}

void TForm1::BuildMenu() {
  for (const MenuSpec& menuSpec : kMainMenu) {
    QMenu* menu = menuBar()->addMenu(QString::fromUtf8(menuSpec.caption));
    menu->setObjectName(QString::fromUtf8(menuSpec.name));
    for (int i = 0; i < menuSpec.count; ++i) {
      const MenuItemSpec& entry = menuSpec.items[i];
      QAction* action = entry.separator ? menu->addSeparator()
                                       : menu->addAction(QString::fromUtf8(entry.caption));
      action->setObjectName(QString::fromUtf8(entry.name));
      action->setCheckable(entry.checkable);
      action->setChecked(entry.checkedAtStart);
      items_[entry.name] = action;
    }
  }
  // Ours, beside the items the Windows build has: a fixed set of entries, updated in place, so
  // that an entry's own action never goes while its handler runs.
  auto* fileMenu = menuBar()->findChild<QMenu*>(QStringLiteral("MN_FILE"));
  RecentMenu = new QMenu(QString::fromUtf8("最近使ったファイル(&R)"), fileMenu);
  RecentMenu->menuAction()->setObjectName(QStringLiteral("MN_FILERECENT"));
  fileMenu->insertMenu(item("MN_FILESAVE"), RecentMenu);
  for (std::size_t i = 0; i < kRecentFilesMax; ++i) {
    QAction* entry = RecentMenu->addAction(QString());
    connect(entry, &QAction::triggered, this, [this, i] {
      if (i >= Recent.paths().size()) return;
      const std::string path = Recent.paths()[i];
      if (AskToSave()) OpenPuzzleAt(path);
    });
  }
  // Ours too: exports to the formats of other programs.
  auto* exportMenu = new QMenu(QString::fromUtf8("エクスポート(&X)"), fileMenu);
  exportMenu->menuAction()->setObjectName(QStringLiteral("MN_FILEEXPORT"));
  fileMenu->insertMenu(item("MN_FILEDUMMY2"), exportMenu);
  QAction* ipuz = exportMenu->addAction(QString::fromUtf8("ipuz(&I)..."));
  ipuz->setObjectName(QStringLiteral("MN_FILEEXPORTIPUZ"));
  items_["MN_FILEEXPORTIPUZ"] = ipuz;
  connect(ipuz, &QAction::triggered, this, [this] { MN_FILEEXPORTIPUZClick(); });
  connect(item("MN_FILESAVE"), &QAction::triggered, this, [this] { MN_FILESAVEClick(); });
  connect(item("MN_FILESAVEAS"), &QAction::triggered, this, [this] { MN_FILESAVEASClick(); });
  const std::pair<const char*, void (TForm1::*)()> handlers[] = {
      {"MN_FILEOPEN", &TForm1::MN_FILEOPENClick},     {"MN_FILENEWOPEN", &TForm1::MN_FILENEWOPENClick},
      {"MN_FILETANGO", &TForm1::MN_FILETANGOClick},
      {"MN_FILEFINE", &TForm1::MN_FILEFINEClick},     {"MN_FILEEND", &TForm1::MN_FILEENDClick},
      {"MN_MODEGAME", &TForm1::MN_MODEGAMEClick},     {"MN_MODEANSER", &TForm1::MN_MODEANSERClick},
      {"MN_MODECREATE", &TForm1::MN_MODECREATEClick}, {"MN_MODENANKURO", &TForm1::MN_MODENANKUROClick},
      {"MN_MODECROS", &TForm1::MN_MODECROSClick},     {"MN_MODEHINT", &TForm1::MN_MODEHINTClick},
      {"MN_MODEONGAKU", &TForm1::MN_MODEONGAKUClick}, {"MN_VIEWWRD", &TForm1::MN_VIEWWRDClick},
      {"MN_VIEWKAITOU", &TForm1::MN_VIEWKAITOUClick}, {"MN_VIEWMONDAI", &TForm1::MN_VIEWMONDAIClick},
      {"MN_VIEWFONT", &TForm1::MN_VIEWFONTClick},     {"MN_HELPEX", &TForm1::MN_HELPEXClick},
      {"MN_HELPVERSION", &TForm1::MN_HELPVERSIONClick},
  };
  for (const auto& [name, handler] : handlers) {
    QAction* action = item(name);
    // A check mark is the mode state: the handlers set it themselves, so a click on a
    // checkable item must not flip it first.
    connect(action, &QAction::triggered, this, [this, action, handler] {
      if (action->isCheckable()) action->setChecked(!action->isChecked());
      (this->*handler)();
    });
  }
}

void TForm1::RefreshRecentMenu() {
  const QList<QAction*> entries = RecentMenu->actions();
  const std::vector<std::string>& paths = Recent.paths();
  for (qsizetype i = 0; i < entries.size(); ++i) {
    const bool used = static_cast<std::size_t>(i) < paths.size();
    entries[i]->setVisible(used);
    if (!used) continue;
    QString shown = QFile::decodeName(QByteArray::fromStdString(paths[static_cast<std::size_t>(i)]));
    shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
    entries[i]->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(shown));
  }
  RecentMenu->menuAction()->setEnabled(!paths.empty());
}

namespace {
// The local path of the first entry of a drop, as bytes: the list keeps them %-escaped, which
// QUrl would read as UTF-8. Empty when that entry is not a puzzle file here.
std::string DroppedPuzzle(const QMimeData* data) {
  for (QByteArray uri : data->data(QStringLiteral("text/uri-list")).split('\n')) {
    uri = uri.trimmed();
    if (uri.isEmpty() || uri.startsWith('#')) continue;
    const std::string path = LocalPathOfUri(uri.toStdString());
    return HasPuzzleExtension(path) ? path : std::string();
  }
  return std::string();
}
}  // namespace

void TForm1::dragEnterEvent(QDragEnterEvent* event) {
  if (!DroppedPuzzle(event->mimeData()).empty()) event->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent* event) {
  const std::string path = DroppedPuzzle(event->mimeData());
  if (path.empty()) return;
  event->acceptProposedAction();
  // After the drop has ended: the save question must not hold the file manager's drag.
  QTimer::singleShot(0, this, [this, path] {
    if (AskToSave()) OpenPuzzleAt(path);
  });
}

QAction* TForm1::item(const std::string& name) const {
  const auto it = items_.find(name);
  return it == items_.end() ? nullptr : it->second;
}

bool TForm1::checked(const std::string& name) const {
  const QAction* a = item(name);
  return a != nullptr && a->isChecked();
}

void TForm1::setChecked(const std::string& name, bool on) {
  if (QAction* a = item(name)) a->setChecked(on);
}

ModeState TForm1::Modes() const {
  ModeState m;
  m.play = checked("MN_MODECREATE")  ? PlayMode::Create
           : checked("MN_MODEANSER") ? PlayMode::Answer
                                     : PlayMode::Game;
  m.kind = checked("MN_MODECROS") ? PuzzleKind::Crossword : PuzzleKind::Nankuro;
  m.hint = checked("MN_MODEHINT");
  m.sound = checked("MN_MODEONGAKU");
  m.letters = item("MN_MODELETTER") != nullptr && checked("MN_MODELETTER");
  return m;
}

void TForm1::SetModes(const ModeState& modes) {
  setChecked("MN_MODEGAME", modes.game());
  setChecked("MN_MODEANSER", modes.answer());
  setChecked("MN_MODECREATE", modes.create());
  setChecked("MN_MODENANKURO", modes.nankuro());
  setChecked("MN_MODECROS", modes.crossword());
}

// The menu bar's height at a window width (it wraps onto more lines in a narrow window).
int TForm1::MenuHeight(int windowWidth) const {
  const int h = menuBar()->heightForWidth(windowWidth);
  return h > 0 ? h : menuBar()->sizeHint().height();
}

// The client area is the window below its menu bar. It is computed rather than read from the
// central widget, whose geometry a hidden window does not update.
int TForm1::ClientWidth() const { return width(); }
int TForm1::ClientHeight() const { return height() - MenuHeight(width()) - StatusHeight(); }

int TForm1::StatusHeight() const {
  return keyboard != nullptr && !statusBar()->isHidden() ? statusBar()->sizeHint().height() : 0;
}

void TForm1::SetClientSize(int width, int height) {
  resize(width, height + MenuHeight(width) + StatusHeight());
  if (layout() != nullptr) layout()->activate();
}

GridView TForm1::View() {
  return GridView{puzzle, DrawSheets(), Modes(), ScrollBar_Width->value(), ScrollBar_Height->value()};
}

int TForm1::GridCellSize() const { return zoom != nullptr ? zoom->LogicalCell() : kCellPixels; }

double TForm1::DeviceRatio() const { return PaintBox1->deviceRatio(); }

GlyphSheets& TForm1::DrawSheets() { return zoom != nullptr ? zoom->Sheets() : sheets; }

void TForm1::LayoutGrid() {
  if (ClientWidth() == LastClientWidth && ClientHeight() == LastClientHeight &&
      puzzle.GridWidth == LastGridWidth && puzzle.GridHeight == LastGridHeight) {
    return;
  }
  InLayout = 1;
  const GridLayout g =
      ComputeGridLayout(ClientWidth(), ClientHeight(), puzzle.GridWidth, puzzle.GridHeight, GridCellSize());
  SetClientSize(g.clientWidth, g.clientHeight);
  PaintBox1->setGeometry(0, 0, g.paintWidth, g.paintHeight);
  ScrollBar_Height->setGeometry(g.vBarLeft, 0, 20, g.vBarHeight);
  ScrollBar_Width->setGeometry(0, g.hBarTop, g.hBarWidth, 20);
  ScrollBar_Width->setValue(0);
  ScrollBar_Height->setValue(0);
  PaintBox1->CreateImage(PaintBox1->DeviceWidth(), PaintBox1->DeviceHeight(), PaintBox1->Image);
  ScrollBar_Width->setVisible(g.hBarVisible);
  if (g.hBarVisible) ScrollBar_Width->setMaximum(g.hBarMax);
  ScrollBar_Height->setVisible(g.vBarVisible);
  if (g.vBarVisible) ScrollBar_Height->setMaximum(g.vBarMax);
  DrawGrid(View(), PaintBox1->Image);
  ShowBackBuffer();
  LastClientWidth = ClientWidth();
  LastClientHeight = ClientHeight();
  LastGridWidth = puzzle.GridWidth;
  LastGridHeight = puzzle.GridHeight;
  InLayout = 0;
}

void TForm1::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  FormResize();
}

void TForm1::FormResize() {
  if (ResizeReady == 0) return;
  ResizeReady = 0;
  if (InLayout == 1) {
    SetClientSize(SnapClientInLayout(ClientWidth()), SnapClientInLayout(ClientHeight()));
  } else {
    InLayout = 1;
    LayoutGrid();
    InLayout = 0;
  }
  ResizeReady = 1;
}

void TForm1::ScrollToOrigin() {
  const std::int32_t inLayout = InLayout;
  InLayout = 1;
  ScrollBar_Width->setValue(0);
  ScrollBar_Height->setValue(0);
  InLayout = inLayout;
}

void TForm1::wheelEvent(QWheelEvent* event) {
  const WheelSteps steps = wheel_.Turn(event->angleDelta().x(), event->angleDelta().y(),
                                       (event->modifiers() & Qt::ShiftModifier) != 0,
                                       QApplication::wheelScrollLines());
  // A bar the layout hid keeps its old range, so only the bars shown are moved.
  if (steps.across != 0 && !ScrollBar_Width->isHidden()) {
    ScrollBar_Width->setValue(ScrollBar_Width->value() + steps.across);
  }
  if (steps.down != 0 && !ScrollBar_Height->isHidden()) {
    ScrollBar_Height->setValue(ScrollBar_Height->value() + steps.down);
  }
  event->accept();
}

void TForm1::ScrollBar_WidthChange() {
  if (InLayout == 0) RedrawAndShow();
}

void TForm1::ScrollBar_HeightChange() {
  if (InLayout == 0) RedrawAndShow();
}

void TForm1::PaintBox1Paint() {
  if (InLayout != 0) return;
  BlitReady = 0;
  PaintBox1->PaintImage(PaintBox1->Image);
  BlitReady = 1;
  // A start-up measurement ends the program here, before the sound starts loading.
  ReportFirstPaint();
  if (SoundOpenPending) QTimer::singleShot(0, this, [this] { OpenPendingSound(); });
}

// For the start-up benchmark: with TEKU_EXIT_AFTER_FIRST_PAINT set, the first painted grid
// reports the resident memory on stderr and ends the program.
void TForm1::ReportFirstPaint() {
  static bool reported = false;
  if (reported || qEnvironmentVariableIsEmpty("TEKU_EXIT_AFTER_FIRST_PAINT")) return;
  reported = true;
  long pages = 0, resident = 0;
  if (std::FILE* f = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(f);
  }
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  std::fprintf(stderr, "first-paint rss_kib=%ld at_ns=%lld\n", resident * (sysconf(_SC_PAGESIZE) / 1024),
               static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
  QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
}

void TForm1::ShowBackBuffer() {
  if (BlitReady != 1) return;
  BlitReady = 0;
  PaintBox1->PaintImage(PaintBox1->Image);
  BlitReady = 1;
}

void TForm1::ShowBlock(std::int32_t x, std::int32_t y) {
  if (BlitReady != 1) return;
  BlitReady = 0;
  const std::int32_t cell = DrawSheets().cell;
  PaintBox1->PaintImageRect(x, y, cell, cell, PaintBox1->Image, x, y);
  BlitReady = 1;
}

void TForm1::RedrawAndShow() {
  DrawGrid(View(), PaintBox1->Image);
  ShowBackBuffer();
}

void TForm1::RedrawAndRepaint() {
  DrawGrid(View(), PaintBox1->Image);
  PaintBox1->update();
}

void TForm1::DrawCell(std::int32_t x, std::int32_t y) {
  teku::DrawCell(View(), PaintBox1->Image, x, y, [this](std::int32_t bx, std::int32_t by) { ShowBlock(bx, by); });
}

void TForm1::DrawNumberGroup(std::int32_t x, std::int32_t y) {
  teku::DrawNumberGroup(View(), PaintBox1->Image, x, y,
                        [this](std::int32_t bx, std::int32_t by) { ShowBlock(bx, by); });
}

void TForm1::BuildMojiSheet() {
  teku::BuildMojiSheet(sheets, puzzle.MojiTbl, glyphText);
  if (zoom != nullptr) zoom->RebuildCharacters();
}

void TForm1::ClearForNewSize() {
  // As after an open: a click on the cell clicked before counts again, and no dialog still
  // holding the old puzzle's text may write it into the new one.
  clickCache.ClickCacheStale = 1;
  if (side.TEKUHNTF != nullptr) side.TEKUHNTF->Discard();
  if (side.TEKUSPLF != nullptr) side.TEKUSPLF->hide();
  ScrollToOrigin();
  puzzle.ClearForNewSize([this] { BuildMojiSheet(); });
  if (edits != nullptr) edits->Reset();
}

void TForm1::RenderMojiGlyph(std::int32_t i, const std::string& text) {
  teku::RenderMojiGlyph(sheets, i, text, glyphText);
  if (zoom != nullptr) zoom->RenderGlyph(i, text);
}

void TForm1::MN_FILEENDClick() { close(); }

void TForm1::MN_HELPVERSIONClick() {
  if (AboutBox != nullptr) {
    AboutBox->show();
    AboutBox->raise();
  }
}

}  // namespace teku
