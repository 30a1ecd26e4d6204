// TForm1: the main window. It owns the puzzle, the glyph sheets and the drawing surface of the
// grid; it lays out the grid view, shows the back buffer and carries the menu whose check marks
// are the program's mode state.
#pragma once

#include <QMainWindow>
#include <QScrollBar>
#include <functional>
#include <initializer_list>
#include <map>
#include <optional>
#include <memory>
#include <string>

#include "app/grid_click.h"
#include "app/grid_render.h"
#include "app/wheel_scroll.h"
#include "app/modes.h"
#include "app/puzzle_file.h"
#include "app/program_environment.h"
#include "app/puzzle_model.h"
#include "desktop/program_folders.h"
#include "desktop/recent_files.h"
#include "services/sound.h"
#include "services/ziredizu.h"
#include "surface/qt_text_rasterizer.h"
#include "surface/tekubmp_widget.h"

class QAction;
class QMenu;

namespace teku {

class SoundLoader;
class SoundPlayer;
class TTEKUWRDF;
class TTEKUKTOF;
class TTEKUINTF;
class TTEKUHNTF;
class TTEKUSPLF;
class TPasswordDlg;
class TTEKUOTOF;
class GridKeyboard;
class EditMenu;
class UniquenessMenu;
class ZoomView;
class WorkbenchMenu;

// The other windows, as the main window reaches them (set once they exist).
struct SideWindows {
  TTEKUWRDF* TEKUWRDF = nullptr;
  TTEKUKTOF* TEKUKTOF = nullptr;
  TTEKUINTF* TEKUINTF = nullptr;
  TTEKUHNTF* TEKUHNTF = nullptr;
  TTEKUSPLF* TEKUSPLF = nullptr;
  TPasswordDlg* PasswordDlg = nullptr;
  TTEKUOTOF* TEKUOTOF = nullptr;
};

class TForm1 : public QMainWindow, public SoundNotifyTarget {
  Q_OBJECT

 public:
  explicit TForm1(const ProgramEnvironment& environment = {}, QWidget* parent = nullptr);
  ~TForm1() override;

  // The destruction handler: sound closed, settings written, pictures released. Runs once,
  // when the window closes (or at the latest when it is destroyed).
  void FormDestroy();
  bool destroyed() const { return destroyed_; }
  // The program's shut-down, run when the window closes instead of FormDestroy alone (the
  // program sets it: the other windows store their settings first and go with this one).
  std::function<void()> ShutDown;

  // A message box with an information icon (the test sink when one was given). Every message box
  // and question of the windows goes through this and the Ask hooks below, so that tests and
  // scripted play answer them instead of a modal box that nobody would close.
  void ShowMessage(const std::string& text, const std::string& caption);
  // The same for the windows' own texts, held as Qt strings.
  void Inform(const QString& text, const QString& caption);

  // ---- the puzzle and what draws it -----------------------------------------------------
  Puzzle puzzle;
  GlyphSheets sheets;
  TDibImage FinePicture;
  QtTextRasterizer glyphText;  // GlyphBitmap and the font of FontDialog1

  // The program palette handed to every drawing surface.
  Palette256 PaletteEntries = DefaultPalette;
  HPalette PaletteHandle = nullptr;  // owned by TEKUINI1

  // ---- file names (bare names are looked up in the program directory) ----------------------
  ProgramFolders Folders;
  std::string ProgramDir;  // Folders.programDir: the executable's folder, or the installed data
  std::string MojiBmpPath = "TEKUMOJI.BMP";
  std::string NumBmpPath = "TEKUNUMB.BMP";
  std::string ColorBmpPath = "TEKUCOLR.BMP";
  std::string FineBmpPath = "SEIKAI.BMP";
  std::string ResolveProgramFile(const std::string& name) const;

  // ---- sound -----------------------------------------------------------------------------
  SoundDevices sound;
  // Closes the four devices and opens them again from the current names. Before the player
  // is loaded it starts the load instead, and the devices open when it is done.
  void ReopenSound();
  // With sound on at start, the devices open only once the grid is on screen, or before that at
  // the first sound wanted. The player (the sound module, the audio device and the soundfont)
  // is loaded on a worker thread meanwhile, so neither the first paint nor a click waits for it.
  bool SoundOpenPending = false;
  void OpenPendingSound();
  // Whether the player's load has ended (with a player, or without one: then sound is silent).
  bool SoundPlayerLoaded() const { return soundLoaded_; }
  void PlayLeftClick();
  void PlayRightClick();
  void SoundNotify(std::uint32_t code, DeviceId device) override;

  // ---- settings (TEKUINI.INI) and the services component ------------------------------------
  ZIREDIZU TEKUINI1;
  std::string ReadIni(const std::string& key);
  // A settings key as a decimal integer; `fallback` when it is missing or malformed.
  std::int32_t ReadIniInt(const std::string& key, std::int32_t fallback);
  void WriteIni(const std::string& key, const std::string& value);
  // At start: a settings file that is not profile text, too large or unreadable is reported
  // (the program then never writes it).
  void ReportSettingsFile();
  // Writes the keys in order as one handler does: the first refused write shows
  // "%s に書き込めません" and the keys after it are not written. False after a refusal.
  bool WriteIniKeys(std::initializer_list<std::pair<const char*, std::string>> keys);

  // ---- the repeat-click cache of the grid ---------------------------------------------------
  ClickCache clickCache;

  // ---- flags and the layout cache -------------------------------------------------------
  std::int32_t Modified = 0;
  std::int32_t InLayout = 0;
  std::int32_t BlitReady = 1;
  std::int32_t ClickReady = 1;
  std::int32_t ResizeReady = 0;
  std::int32_t NewPuzzlePending = 0;
  std::int32_t LastClientWidth = 0, LastClientHeight = 0;
  std::int32_t LastGridWidth = 0, LastGridHeight = 0;

  // ---- controls -------------------------------------------------------------------------
  TTEKUBMP* PaintBox1 = nullptr;
  QScrollBar* ScrollBar_Width = nullptr;
  QScrollBar* ScrollBar_Height = nullptr;

  // Menu items by name (MN_FILEOPEN ...); separators included.
  QAction* item(const std::string& name) const;
  bool checked(const std::string& name) const;
  void setChecked(const std::string& name, bool on);
  // The mode state as the check marks hold it.
  ModeState Modes() const;
  // Sets the marks of a mode state (play mode and kind only).
  void SetModes(const ModeState& modes);

  // ---- the client area ------------------------------------------------------------------
  int ClientWidth() const;
  int ClientHeight() const;
  void SetClientSize(int width, int height);
  int MenuHeight(int windowWidth) const;

  // ---- grid view ------------------------------------------------------------------------
  GridView View();
  void LayoutGrid();
  void FormResize();
  // Both scroll bars back to 0 without a redraw of their own (the caller draws the new grid).
  void ScrollToOrigin();
  void ScrollBar_WidthChange();
  void ScrollBar_HeightChange();
  void PaintBox1Paint();
  // Composes the whole grid and shows it (when no copy is running).
  void RedrawAndShow();
  // Composes the whole grid and lets the paint box repaint itself.
  void RedrawAndRepaint();
  // Shows the back buffer whole, guarded by BlitReady.
  void ShowBackBuffer();
  // Shows the 32 x 32 block at (x, y) of the back buffer, guarded by BlitReady.
  void ShowBlock(std::int32_t x, std::int32_t y);
  void DrawCell(std::int32_t x, std::int32_t y);
  void DrawNumberGroup(std::int32_t x, std::int32_t y);
  void BuildMojiSheet();
  // Clears the puzzle to the size typed in the initial settings dialog.
  void ClearForNewSize();
  void RenderMojiGlyph(std::int32_t i, const std::string& text);

  // The version box, shown by MN_HELPVERSION.
  QWidget* AboutBox = nullptr;
  SideWindows side;

  // ---- commands ---------------------------------------------------------------------------
  void MN_FILEOPENClick();
  // True when the puzzle was written.
  bool MN_FILESAVEClick();
  bool MN_FILESAVEASClick();
  void MN_FILENEWOPENClick();
  void MN_FILETANGOClick();
  // ファイル → エクスポート → ipuz: the puzzle as an ipuz document for other programs.
  void MN_FILEEXPORTIPUZClick();
  void MN_FILEFINEClick();
  // Opens the puzzle at `path` as "開く" does once its file is chosen (the save question is
  // the caller's): a missing file, or one that is not a puzzle, is reported and changes nothing.
  // For the command line, a drop and the recent list. True when the puzzle was loaded.
  bool OpenPuzzleAt(const std::string& path);
  void MN_MODEGAMEClick();
  void MN_MODEANSERClick();
  void MN_MODECREATEClick();
  void MN_MODENANKUROClick();
  void MN_MODECROSClick();
  void MN_MODEHINTClick();
  void MN_MODEONGAKUClick();
  void MN_VIEWWRDClick();
  void MN_VIEWKAITOUClick();
  void MN_VIEWMONDAIClick();
  void MN_VIEWFONTClick();
  void MN_HELPEXClick();
  // The password gate of answer and create mode.
  bool PasswordGate();
  // Refresh of the character panel and the answer panel, each while it is shown.
  void RefreshPanels();
  void PaintBox1MouseDown(Qt::MouseButton button, int x, int y);

  // The save question before work is replaced; false when the command must not go on.
  bool AskToSave();
  // The puzzles last opened or saved, and the "最近使ったファイル" submenu listing them.
  RecentFiles Recent;
  QMenu* RecentMenu = nullptr;
  void RefreshRecentMenu();
  // The puzzle file operations with the current mode marks.
  PuzzleFileContext FileContext(ModeState& modes);

  // ---- what the user is asked (real dialogs until a test or a script replaces them) ------------
  // A puzzle file to open or to save as: a full path, or nothing when cancelled.
  std::function<std::optional<std::string>()> ChooseOpenFile;
  std::function<std::optional<std::string>()> ChooseSaveFile;
  // "上書きしてよろしいですか。": true for OK.
  std::function<bool()> AskOverwrite;
  // "<path> は問題ファイルではありません。上書きしますか？" before a save replaces a file that
  // is not a puzzle: true for yes.
  std::function<bool(const std::string& path)> AskOverwriteNotPuzzle;
  enum class SaveAnswer { Yes, No, Cancel };
  // "内容が更新されています、内容を保存しますか？"
  std::function<SaveAnswer()> AskSaveChanges;
  // The file an export goes to (the filter names its kind): a full path, or nothing.
  std::function<std::optional<std::string>(const QString& filter)> ChooseExportFile;
  // A puzzle with a password is exported without its solution unless the author says otherwise:
  // Yes leaves the solution out, No writes it, Cancel exports nothing.
  std::function<SaveAnswer()> AskExportWithoutSolution;

  // The font dialog: gets the current font, returns the chosen one or nothing (cancelled).
  std::function<std::optional<QFont>(const QFont&)> ChooseFont;
  // The help window, made on first use.
  QWidget* HelpWindow = nullptr;

  // ---- keyboard, status line, undo and zoom ---------------------------------------------------
  // The grid's keys, input method and the status line under the grid.
  GridKeyboard* keyboard = nullptr;
  // Undo and redo (the 編集 menu); every change to the puzzle is recorded through it.
  EditMenu* edits = nullptr;
  // 一意性チェック and ヒントを提案 (in the 作成支援 menu).
  UniquenessMenu* uniqueness = nullptr;
  // A menu item of our own, reachable by name through item() like those of the table.
  void AddItem(const std::string& name, QAction* action) { items_[name] = action; }
  // The height the status line takes below the client area.
  int StatusHeight() const;
  // Zoom (表示: 拡大, 縮小, 等倍) of the grid and the panels.
  ZoomView* zoom = nullptr;
  // The author's tools: 文字で作成, 番号を振る and the 検証 window.
  WorkbenchMenu* workbench = nullptr;
  // A grid cell's side in window pixels (32 at 100 %).
  int GridCellSize() const;
  // Screen pixels per window pixel of the pictures shown (1 unless zoomed or on a dense screen).
  double DeviceRatio() const;
  // The sheets the grid and the panels are composed from: the loaded ones, or the zoomed ones.
  GlyphSheets& DrawSheets();

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void FormCreate();
  void ReportFirstPaint();
  // Loads a glyph sheet; a sheet too small for one block (or a colour sheet too small for its
  // tiles) counts as not loaded.
  bool LoadSheet(const std::string& name, TDibImage& sheet, std::int32_t minWidth,
                 std::int32_t minHeight);
  void RestoreGeometry(std::int32_t left, std::int32_t top, std::int32_t width,
                       std::int32_t height);

  // Loads the puzzle at `path`; with `mustExist`, a missing file is a problem rather than the
  // empty puzzle under that name.
  bool OpenPuzzle(const std::string& path, bool mustExist);
  bool OpenIpuz(const std::string& path);
  void ShowOpenedPuzzle(const ModeState& modes);
  // With `whole`, the puzzle is written in game mode as well, and then the input.
  bool SaveTo(const std::string& name, bool whole);
  bool SaveAs(bool whole);
  // The settings and log folders of an installed program, made at start; false when the
  // settings folder cannot be made (reported once, and then nothing is written to it).
  bool MakeSettingsFolders();
  void WriteRecentFiles();

  ProgramEnvironment environment_;
  bool settingsFolderOk_ = true;
  bool destroyed_ = false;
  void BuildMenu();
  void MN_FILEENDClick();
  void MN_HELPVERSIONClick();

  void StartSoundLoading();
  void TakeSoundPlayer(std::unique_ptr<SoundPlayer> player);
  std::unique_ptr<SoundLoader> soundLoader_;
  std::unique_ptr<SoundPlayer> soundBackend_;
  bool soundLoaded_ = false;
  std::map<std::string, QAction*> items_;
  QWidget* client_ = nullptr;
  WheelScroll wheel_;
};

}  // namespace teku
