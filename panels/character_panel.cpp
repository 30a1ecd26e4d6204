// The character selection panel.
#include "panels/character_panel.h"

#include <QApplication>
#include <QResizeEvent>
#include <QShowEvent>
#include <QWheelEvent>

#include "app/grid_zoom.h"
#include "app/main_window.h"
#include "app/window_placement.h"

namespace teku {

namespace {
// Writing letters, the panel offers the characters as it does for a crossword's answers: each
// may be picked again and again, none is marked as taken.
ModeState PanelModes(ModeState modes) {
  if (modes.writingLetters()) {
    modes.play = PlayMode::Answer;
    modes.kind = PuzzleKind::Crossword;
  }
  return modes;
}
}  // namespace


TTEKUWRDF::TTEKUWRDF(TForm1& form1) : QWidget(nullptr, Qt::Window), form1_(form1) {
  setObjectName(QStringLiteral("TEKUWRDF"));
  setWindowTitle(QString::fromUtf8("文字選択欄"));
  PaintBox1 = new TTEKUBMP(this);
  PaintBox1->setGeometry(0, 0, 224, 352);
  ScrollBar1 = new QScrollBar(Qt::Vertical, this);
  ScrollBar1->setGeometry(224, 0, 20, 352);
  ScrollBar1->setMinimum(0);
  move(6, 193);
  resize(244, 352);
  PaintBox1->OnPaint = [this] { PaintBox1Paint(); };
  PaintBox1->OnMouseDown = [this](Qt::MouseButton b, int x, int y) { PaintBox1MouseDown(b, x, y); };
  connect(ScrollBar1, &QScrollBar::valueChanged, this, [this] { ScrollBar1Change(); });
  FormCreate();
}

TTEKUWRDF::~TTEKUWRDF() {
  InUpdate = 1;
  FreeImage(PaintBox1->Image);
}

PanelView TTEKUWRDF::View() const {
  return PanelView{form1_.puzzle, form1_.DrawSheets(), PanelModes(form1_.Modes()), PanelCols, PanelRows,
                   ScrollBar1->value(), SelectedMoji};
}

std::int32_t TTEKUWRDF::LastEntry() const { return NumberingFor(PanelModes(form1_.Modes())).last; }

void TTEKUWRDF::FormCreate() {
  InUpdate = 0;
  BlitReady = 0;
  ResizeReady = 0;
  LayoutReady = 1;
  SelectedMoji = kNone;
  PrevCellX = 0;
  PrevCellY = 0;
  resize((width() - 5) / 32 * 32 + 20, height() / 32 * 32);
  PaintBox1->SetPalette(form1_.PaletteEntries, form1_.PaletteHandle);
  LayoutPanel();
  LastClientWidth = width();
  LastClientHeight = height();
  BlitReady = 1;
  ResizeReady = 1;
  PaintBox1->update();
}

void TTEKUWRDF::LayoutPanel() {
  if (LayoutReady == 0) return;
  LayoutReady = 0;
  const PanelLayout g = ComputePanelLayout(width(), height(), form1_.GridCellSize());
  resize(g.clientWidth, g.clientHeight);
  PaintBox1->SetDeviceRatio(form1_.DeviceRatio());
  PaintBox1->setGeometry(0, 0, g.paintWidth, g.paintHeight);
  PaintBox1->CreateImage(PaintBox1->DeviceWidth(), PaintBox1->DeviceHeight(), PaintBox1->Image);
  ScrollBar1->setGeometry(g.paintWidth, 0, 20, g.paintHeight);
  PanelCols = g.panelCols;
  PanelRows = g.panelRows;
  ScrollBar1->setMaximum(g.scrollMax);
  ScrollBar1->setValue(0);
  LayoutReady = 1;
}

void TTEKUWRDF::DrawPanel() {
  PictureShown = false;
  teku::DrawPanel(View(), PaintBox1->Image);
  // A full redraw follows a scroll or a mode change, which move the selected entry to another
  // cell (or out of sight): the next selection must clear its mark where it is now drawn.
  PanelCellOf(SelectedMoji, ScrollBar1->value(), PanelCols, PanelRows, PanelModes(form1_.Modes()), PrevCellX,
              PrevCellY);
}

void TTEKUWRDF::DrawPanelCell(std::int32_t c, std::int32_t r) {
  teku::DrawPanelCell(View(), PaintBox1->Image, c, r);
}

void TTEKUWRDF::ShowBackBuffer() {
  if (BlitReady != 1) return;
  BlitReady = 0;
  PaintBox1->PaintImage(PaintBox1->Image);
  BlitReady = 1;
}

void TTEKUWRDF::ShowCell(std::int32_t c, std::int32_t r) {
  if (BlitReady != 1) return;
  BlitReady = 0;
  const std::int32_t cell = form1_.DrawSheets().cell;
  PaintBox1->PaintImageRect(c * cell, r * cell, cell, cell, PaintBox1->Image, c * cell, r * cell);
  BlitReady = 1;
}

void TTEKUWRDF::Refresh() {
  DrawPanel();
  ShowBackBuffer();
}

void TTEKUWRDF::ShowPicture(TDibImage& picture) {
  const std::int32_t cell = form1_.DrawSheets().cell;
  TDibImage zoomed;
  // A zoomed panel shows the picture enlarged with it, pixel for whole pixels.
  if (cell != kCellPixels && ScaleToCell(*PaintBox1, picture, cell, zoomed)) {
    CopyImage(PaintBox1->Image, zoomed, kKeyNone);
    FreeImage(zoomed);
  } else {
    CopyImage(PaintBox1->Image, picture, kKeyNone);
  }
  PaintBox1->PaintImage(PaintBox1->Image);
  PictureShown = true;
}

void TTEKUWRDF::SelectPanelCell(std::int32_t c, std::int32_t r) {
  DrawPanelCell(PrevCellX, PrevCellY);
  ShowCell(PrevCellX, PrevCellY);
  DrawPanelCell(c, r);
  ShowCell(c, r);
  PrevCellX = c;
  PrevCellY = r;
}

void TTEKUWRDF::SetSelected(std::int32_t e) {
  // Another selection must let the next grid click through the repeat filter.
  if (e != SelectedMoji) form1_.clickCache.ClickCacheStale = 1;
  SelectedMoji = e;
}

void TTEKUWRDF::PaintBox1MouseDown(Qt::MouseButton button, int x, int y) {
  // Cells drawn one by one over the picture would leave most of it standing.
  if (PictureShown) Refresh();
  const std::int32_t cell = form1_.DrawSheets().cell;
  const std::int32_t c = x / cell, r = y / cell;
  const ModeState modes = PanelModes(form1_.Modes());
  const std::int32_t e = c < PanelCols ? PanelEntry(c, r, ScrollBar1->value(), PanelCols, modes) : -1;
  // A blank cell past the last entry (or beside the columns) selects nothing.
  const bool entry = e >= NumberingFor(modes).base && e <= LastEntry();
  if (button == Qt::RightButton) {
    form1_.PlayRightClick();
    if (modes.nankuro() && modes.game()) return;
    if (!entry) return;
    SetSelected(e);
    SelectPanelCell(c, r);
    EditCellX = c;
    EditCellY = r;
    if (ShowCharDialog) ShowCharDialog();
    return;
  }
  form1_.PlayLeftClick();
  if (!entry || EntryInUse(form1_.puzzle, modes, e)) return;
  SetSelected(e);
  SelectPanelCell(c, r);
}

void TTEKUWRDF::RefreshEditedMoji(std::int32_t entry) {
  DrawPanelCell(PrevCellX, PrevCellY);
  ShowCell(PrevCellX, PrevCellY);
  if (entry >= 0 && entry < kTableEntries) {
    form1_.RenderMojiGlyph(entry, TextAt(form1_.puzzle.MojiTbl, entry));
  }
  DrawPanelCell(EditCellX, EditCellY);
  ShowCell(EditCellX, EditCellY);
  PrevCellX = EditCellX;
  PrevCellY = EditCellY;
}

void TTEKUWRDF::ScrollBar1Change() {
  DrawPanel();
  ShowBackBuffer();
}

void TTEKUWRDF::PaintBox1Paint() {
  if (InUpdate != 0) return;
  BlitReady = 0;
  PaintBox1->PaintImage(PaintBox1->Image);
  BlitReady = 1;
}

void TTEKUWRDF::setVisible(bool visible) {
  // The stored place is the frame's, and only a window not yet shown is moved by its frame (see
  // RestoreWindowPosition), so the place is restored here rather than in FormShow.
  if (visible && !isVisible() && InUpdate == 0) {
    RestoreWindowPosition(*this, form1_.ReadIniInt("WLeft", x()), form1_.ReadIniInt("WTop", y()));
  }
  QWidget::setVisible(visible);
}

void TTEKUWRDF::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!event->spontaneous()) FormShow();
}

void TTEKUWRDF::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  if (!event->spontaneous()) FormHide();
}

void TTEKUWRDF::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  FormResize();
}

void TTEKUWRDF::FormShow() {
  if (InUpdate == 1) return;
  InUpdate = 1;
  form1_.clickCache.ClickCacheStale = 1;
  form1_.setChecked("MN_VIEWWRD", true);
  std::int32_t w = form1_.ReadIniInt("WWidth", width());
  std::int32_t h = form1_.ReadIniInt("WHeight", height());
  const QSize work = WorkAreaSize();
  SnapPanelRestore(w, h, work.width(), work.height());
  resize(w, h);
  LastClientWidth = 0;
  LastClientHeight = 0;
  LayoutPanel();
  DrawPanel();
  InUpdate = 0;
  PaintBox1->update();
}

void TTEKUWRDF::FormHide() {
  form1_.setChecked("MN_VIEWWRD", false);
  form1_.WriteIniKeys({{"WLeft", std::to_string(x())},
                       {"WTop", std::to_string(y())},
                       {"WWidth", std::to_string(width())},
                       {"WHeight", std::to_string(height())}});
}

void TTEKUWRDF::Rezoom() {
  if (InUpdate == 1) return;
  InUpdate = 1;
  LayoutPanel();
  LastClientWidth = width();
  LastClientHeight = height();
  DrawPanel();
  InUpdate = 0;
  PaintBox1->update();
}

void TTEKUWRDF::wheelEvent(QWheelEvent* event) {
  // The panel scrolls only up and down, so Shift changes nothing.
  const WheelSteps steps =
      wheel_.Turn(0, event->angleDelta().y(), false, QApplication::wheelScrollLines());
  ScrollBar1->setValue(ScrollBar1->value() + steps.down);
  event->accept();
}

void TTEKUWRDF::FormResize() {
  if (width() == LastClientWidth && height() == LastClientHeight) return;
  if (InUpdate == 1 || ResizeReady == 0) return;
  ResizeReady = 0;
  InUpdate = 1;
  std::int32_t w = width(), h = height();
  SnapPanelResize(w, h, form1_.GridCellSize());
  resize(w, h);
  LayoutPanel();
  LastClientWidth = width();
  LastClientHeight = height();
  DrawPanel();
  InUpdate = 0;
  PaintBox1->update();
  ResizeReady = 1;
}

}  // namespace teku
