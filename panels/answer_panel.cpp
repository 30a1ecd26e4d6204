// The answer panel.
#include "panels/answer_panel.h"

#include <QShowEvent>

#include "app/edit_menu.h"
#include "app/main_window.h"
#include "app/window_placement.h"

namespace teku {

TTEKUKTOF::TTEKUKTOF(TForm1& form1, std::function<std::int32_t()> selectedMoji)
    : QWidget(nullptr, Qt::Window), form1_(form1), selectedMoji_(std::move(selectedMoji)) {
  setObjectName(QStringLiteral("TEKUKTOF"));
  setWindowTitle(QString::fromUtf8("解答欄"));
  PaintBox1 = new TTEKUBMP(this);
  PaintBox1->setGeometry(0, 0, 512, 64);
  PaintBox1->OnPaint = [this] { PaintBox1Paint(); };
  PaintBox1->OnMouseDown = [this](Qt::MouseButton b, int x, int y) { PaintBox1MouseDown(b, x, y); };
  move(267, 1);
  resize(512, 64);
  FormCreate();
}

TTEKUKTOF::~TTEKUKTOF() {
  FormDestroy();
  FreeImage(PaintBox1->Image);
}

AnswerView TTEKUKTOF::View() const {
  return AnswerView{form1_.puzzle, form1_.DrawSheets(), form1_.Modes(), SelectedSlot};
}

void TTEKUKTOF::FormCreate() {
  InUpdate = 1;
  BlitReady = 0;
  RestoreWindowPosition(*this, form1_.ReadIniInt("KLeft", form1_.x()), form1_.ReadIniInt("KTop", form1_.y()));
  PaintBox1->SetPalette(form1_.PaletteEntries, form1_.PaletteHandle);
  PaintBox1->CreateImage(PaintBox1->width(), PaintBox1->height(), PaintBox1->Image);
  SelectedSlot = kNoSlot;
  LastSlotX = 0;
  LastSlotY = 0;
  InUpdate = 0;
  DrawSlots();
  BlitReady = 1;
}

void TTEKUKTOF::FormDestroy() {
  if (destroyed_) return;
  destroyed_ = true;
  InUpdate = 1;
  form1_.WriteIniKeys({{"KLeft", std::to_string(x())}, {"KTop", std::to_string(y())}});
}

void TTEKUKTOF::Refresh() {
  DrawSlots();
  PaintBox1->update();
}

void TTEKUKTOF::DrawSlots() { teku::DrawSlots(View(), PaintBox1->Image); }
void TTEKUKTOF::DrawSlot(std::int32_t c, std::int32_t r) { teku::DrawSlot(View(), PaintBox1->Image, c, r); }
void TTEKUKTOF::DrawSlotGroup(std::int32_t c, std::int32_t r) {
  teku::DrawSlotGroup(View(), PaintBox1->Image, c, r);
}

void TTEKUKTOF::PaintBox1MouseDown(Qt::MouseButton button, int x, int y) {
  const std::int32_t cell = form1_.DrawSheets().cell;
  const std::int32_t c = x / cell, r = y / cell, s = c + r * 16;
  if (s >= 0 && s < kAnswerSlots && c < 16 && form1_.checked("MN_MODECREATE")) {
    EditStep step(form1_);
    SelectedSlot = kNoSlot;
    DrawSlotGroup(LastSlotX, LastSlotY);
    SelectedSlot = s;
    auto& slot = form1_.puzzle.Kaitou[static_cast<std::size_t>(s)];
    const std::int32_t before = slot;
    if (button == Qt::RightButton) {
      form1_.PlayRightClick();
      slot = kEmptyCell;
      DrawSlot(c, r);
    } else {
      form1_.PlayLeftClick();
      // With nothing selected the position becomes empty (255) rather than holding "none".
      const std::int32_t sel = selectedMoji_ ? selectedMoji_() : kNone;
      slot = sel >= 0 && sel <= 255 ? sel : kEmptyCell;
      DrawSlotGroup(c, r);
    }
    if (slot != before) form1_.Modified = 1;
    PaintBox1->PaintImage(PaintBox1->Image);
    LastSlotX = c;
    LastSlotY = r;
    return;
  }
  DrawSlots();
  PaintBox1->PaintImage(PaintBox1->Image);
}

void TTEKUKTOF::PaintBox1Paint() {
  if (InUpdate != 0) return;
  BlitReady = 0;
  PaintBox1->PaintImage(PaintBox1->Image);
  BlitReady = 1;
}

void TTEKUKTOF::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (event->spontaneous()) return;
  form1_.setChecked("MN_VIEWKAITOU", true);
  FormResize();
}

void TTEKUKTOF::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  if (!event->spontaneous()) form1_.setChecked("MN_VIEWKAITOU", false);
}

void TTEKUKTOF::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (isVisible()) FormResize();
}

void TTEKUKTOF::FitToCell() {
  const int cell = form1_.GridCellSize();
  PaintBox1->SetDeviceRatio(form1_.DeviceRatio());
  if (PaintBox1->width() != 16 * cell) {
    PaintBox1->setGeometry(0, 0, 16 * cell, 2 * cell);
    resize(16 * cell, 2 * cell);
  }
}

void TTEKUKTOF::Rezoom() {
  FitToCell();
  if (isVisible()) FormResize();
}

void TTEKUKTOF::FormResize() {
  FitToCell();
  InUpdate = 1;
  BlitReady = 0;
  PaintBox1->CreateImage(PaintBox1->DeviceWidth(), PaintBox1->DeviceHeight(), PaintBox1->Image);
  InUpdate = 0;
  DrawSlots();
  BlitReady = 1;
  PaintBox1->update();
}

}  // namespace teku
