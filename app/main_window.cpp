// The main window: menu, grid view layout, scrolling and painting.
#include "app/main_window.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenuBar>
#include <QResizeEvent>

#include "app/grid_layout.h"
#include "app/main_menu.h"
#include "services/sound_sdl.h"

namespace teku {

namespace {
const char* const kCaption = "ミナモ　ナンクロ支援ツールv0.42";
}

TForm1::TForm1(QWidget* parent) : QMainWindow(parent) {
  setWindowTitle(QString::fromUtf8(kCaption));
  ProgramDir = QCoreApplication::applicationDirPath().toStdString() + "/";
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
  move(246, 226);
  SetClientSize(468, 340);

  soundBackend_ = std::make_unique<SdlMediaBackend>();
  SetSoundPlatform(soundBackend_.get(), QueuedGuiPoster(this));

  PaintBox1->OnPaint = [this] { PaintBox1Paint(); };
  connect(ScrollBar_Width, &QScrollBar::valueChanged, this, [this] { ScrollBar_WidthChange(); });
  connect(ScrollBar_Height, &QScrollBar::valueChanged, this, [this] { ScrollBar_HeightChange(); });
}

TForm1::~TForm1() {
  CloseSound(sound);
  SetSoundPlatform(nullptr, nullptr);
  soundBackend_.reset();
}

std::string TForm1::ResolveProgramFile(const std::string& name) const {
  if (name.empty() || name.front() == '/') return name;
  return ProgramDir + name;
}

void TForm1::ReopenSound() {
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
  if (sound.LeftWavDevice != 0) WavePlay(sound.LeftWavDevice, this);
}

void TForm1::PlayRightClick() {
  if (sound.RightWavDevice != 0) WavePlay(sound.RightWavDevice, this);
}

void TForm1::SoundNotify(std::uint32_t code, DeviceId device) {
  HandleSoundNotify(sound, code, device, checked("MN_MODEONGAKU"), this);
}

std::string TForm1::ReadIni(const std::string&) { return std::string(); }

void TForm1::WriteIni(const std::string&, const std::string&) {}

void TForm1::BuildMenu() {
  for (const MenuSpec& menuSpec : kMainMenu) {
    QMenu* menu = menuBar()->addMenu(QString::fromUtf8(menuSpec.caption));
    menu->setObjectName(QString::fromUtf8(menuSpec.name));
    for (int i = 0; i < menuSpec.count; ++i) {
      const MenuItemSpec& spec = menuSpec.items[i];
      QAction* action = spec.separator ? menu->addSeparator()
                                       : menu->addAction(QString::fromUtf8(spec.caption));
      action->setObjectName(QString::fromUtf8(spec.name));
      if (spec.separator) action->setText(QString::fromUtf8(spec.caption));
      action->setCheckable(spec.checkable);
      action->setChecked(spec.checkedAtStart);
      items_[spec.name] = action;
    }
  }
  connect(item("MN_FILEEND"), &QAction::triggered, this, [this] { MN_FILEENDClick(); });
  connect(item("MN_HELPVERSION"), &QAction::triggered, this, [this] { MN_HELPVERSIONClick(); });
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
  return m;
}

void TForm1::SetModes(const ModeState& modes) {
  setChecked("MN_MODEGAME", modes.game());
  setChecked("MN_MODEANSER", modes.answer());
  setChecked("MN_MODECREATE", modes.create());
  setChecked("MN_MODENANKURO", modes.nankuro());
  setChecked("MN_MODECROS", modes.crossword());
}

int TForm1::ClientWidth() const { return client_->width(); }
int TForm1::ClientHeight() const { return client_->height(); }

void TForm1::SetClientSize(int width, int height) {
  const int menu = menuBar()->isVisible() ? menuBar()->height() : menuBar()->sizeHint().height();
  resize(width, height + menu);
}

GridView TForm1::View() {
  return GridView{puzzle, sheets, Modes(), ScrollBar_Width->value(), ScrollBar_Height->value()};
}

void TForm1::LayoutGrid() {
  if (ClientWidth() == LastClientWidth && ClientHeight() == LastClientHeight &&
      puzzle.GridWidth == LastGridWidth && puzzle.GridHeight == LastGridHeight) {
    return;
  }
  InLayout = 1;
  const GridLayout g =
      ComputeGridLayout(ClientWidth(), ClientHeight(), puzzle.GridWidth, puzzle.GridHeight);
  SetClientSize(g.clientWidth, g.clientHeight);
  PaintBox1->setGeometry(0, 0, g.paintWidth, g.paintHeight);
  ScrollBar_Height->setGeometry(g.vBarLeft, 0, 20, g.vBarHeight);
  ScrollBar_Width->setGeometry(0, g.hBarTop, g.hBarWidth, 20);
  ScrollBar_Width->setValue(0);
  ScrollBar_Height->setValue(0);
  PaintBox1->CreateImage(g.paintWidth, g.paintHeight, PaintBox1->Image);
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
  PaintBox1->PaintImageRect(x, y, kCellPixels, kCellPixels, PaintBox1->Image, x, y);
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

void TForm1::BuildMojiSheet() { teku::BuildMojiSheet(sheets, puzzle.MojiTbl, glyphText); }

void TForm1::ClearForNewSize() {
  puzzle.ClearForNewSize([this] { BuildMojiSheet(); });
}

void TForm1::RenderMojiGlyph(std::int32_t i, const std::string& text) {
  teku::RenderMojiGlyph(sheets, i, text, glyphText);
}

void TForm1::MN_FILEENDClick() { close(); }

void TForm1::MN_HELPVERSIONClick() {
  if (AboutBox != nullptr) {
    AboutBox->show();
    AboutBox->raise();
  }
}

}  // namespace teku
