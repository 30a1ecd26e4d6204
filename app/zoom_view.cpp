// Zoom of the grid and the panels.
#include "app/zoom_view.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QWheelEvent>

#include "app/grid_keyboard.h"
#include "app/grid_zoom.h"
#include "app/main_window.h"
#include "panels/answer_panel.h"
#include "panels/character_panel.h"

namespace teku {

namespace {
void FreeSheets(GlyphSheets& s) {
  FreeImage(s.MojiSheet);
  FreeImage(s.NumSheet);
  FreeImage(s.ColorSheet);
  s.UpdateCounts();
}
}  // namespace

ZoomView::ZoomView(TForm1& form) : QObject(&form), form_(form) {
  QMenu* view = form.menuBar()->findChild<QMenu*>(QStringLiteral("MN_VIEW"));
  if (view == nullptr) view = form.menuBar()->addMenu(QString::fromUtf8("表示(&V)"));
  view->addSeparator();
  zoomIn = view->addAction(QString::fromUtf8("拡大(&I)"));
  zoomIn->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Equal), QKeySequence(Qt::CTRL | Qt::Key_Plus)});
  zoomOut = view->addAction(QString::fromUtf8("縮小(&O)"));
  zoomOut->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Minus));
  zoomReset = view->addAction(QString::fromUtf8("等倍(&A)"));
  zoomReset->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_0));
  const std::pair<const char*, QAction*> items[] = {
      {"MN_VIEWZOOMIN", zoomIn}, {"MN_VIEWZOOMOUT", zoomOut}, {"MN_VIEWZOOM100", zoomReset}};
  for (const auto& [name, action] : items) {
    action->setObjectName(QString::fromUtf8(name));
    form.AddItem(name, action);
  }
  connect(zoomIn, &QAction::triggered, this, [this] { SetZoom(ZoomIn(percent_)); });
  connect(zoomOut, &QAction::triggered, this, [this] { SetZoom(ZoomOut(percent_)); });
  connect(zoomReset, &QAction::triggered, this, [this] { SetZoom(100); });
  zoomOut->setEnabled(false);
  form.installEventFilter(this);
  Watch(form.PaintBox1);
}

void ZoomView::Restore() {
  percent_ = ZoomStep(form_.ReadIniInt("ZOOM", 100));
  Apply();
}

void ZoomView::SetZoom(std::int32_t percent) {
  const std::int32_t step = ZoomStep(percent);
  if (step != percent_) {
    percent_ = step;
    Apply();
    form_.WriteIniKeys({{"ZOOM", std::to_string(percent_)}});
  }
  if (form_.keyboard != nullptr) form_.keyboard->Say(QString::fromUtf8("表示 %1%").arg(percent_));
}

std::int32_t ZoomView::LogicalCell() const { return teku::LogicalCell(percent_); }
std::int32_t ZoomView::DeviceCell() const { return teku::DeviceCell(percent_, appliedRatio_); }

double ZoomView::DeviceRatio() const {
  return ratioOverride_ > 0 ? ratioOverride_ : form_.devicePixelRatioF();
}

void ZoomView::SetDeviceRatio(double ratio) {
  ratioOverride_ = ratio;
  Apply();
}

GlyphSheets& ZoomView::Sheets() {
  return zoomed_.allocated() && zoomed_.cell == DeviceCell() ? zoomed_ : form_.sheets;
}

void ZoomView::RebuildCharacters() {
  if (!zoomed_.allocated()) return;
  text_.setFont(form_.glyphText.font());
  BuildMojiSheet(zoomed_, form_.puzzle.MojiTbl, text_);
}

void ZoomView::RenderGlyph(std::int32_t i, const std::string& text) {
  if (!zoomed_.allocated()) return;
  text_.setFont(form_.glyphText.font());
  RenderMojiGlyph(zoomed_, i, text, text_);
}

void ZoomView::Apply() {
  appliedRatio_ = std::max(1.0, DeviceRatio());
  FreeSheets(zoomed_);
  if (DeviceCell() != kCellPixels && form_.sheets.allocated()) {
    text_.setFont(form_.glyphText.font());
    if (!BuildSheetsForCell(*form_.PaintBox1, form_.sheets, DeviceCell(), form_.puzzle.MojiTbl, text_, zoomed_)) {
      // Too large for memory: the view stays as the files draw it.
      percent_ = 100;
      appliedRatio_ = 1.0;
      if (form_.keyboard != nullptr) form_.keyboard->Say(QString::fromUtf8("メモリが足りないため拡大できません"));
    }
  }
  zoomIn->setEnabled(percent_ < kZoomSteps.back());
  zoomOut->setEnabled(percent_ > kZoomSteps.front());
  form_.PaintBox1->SetDeviceRatio(DeviceCell() == kCellPixels ? 1.0 : appliedRatio_);
  // The window keeps its size; only the cells in it change.
  form_.LastClientWidth = 0;
  form_.LayoutGrid();
  if (form_.keyboard != nullptr) {
    form_.keyboard->ScrollCursorIntoView();
    form_.keyboard->SetPreedit(QString());
  }
  if (form_.side.TEKUWRDF != nullptr) form_.side.TEKUWRDF->Rezoom();
  if (form_.side.TEKUKTOF != nullptr) form_.side.TEKUKTOF->Rezoom();
}

void ZoomView::Watch(QWidget* widget) {
  if (widget == nullptr) return;
  widget->removeEventFilter(this);
  widget->installEventFilter(this);
}

bool ZoomView::eventFilter(QObject* watched, QEvent* event) {
  if (watched == &form_) {
    if (event->type() == QEvent::Show) {
      // The panels exist by the time the window is shown.
      if (form_.side.TEKUWRDF != nullptr) Watch(form_.side.TEKUWRDF->PaintBox1);
      if (form_.side.TEKUKTOF != nullptr) Watch(form_.side.TEKUKTOF->PaintBox1);
    }
    // A screen of another pixel density: the sheets are made anew for it.
    if ((event->type() == QEvent::Show || event->type() == QEvent::ScreenChangeInternal) &&
        ratioOverride_ <= 0 && std::max(1.0, DeviceRatio()) != appliedRatio_) {
      Apply();
    }
    return false;
  }
  if (event->type() != QEvent::Wheel) return false;
  auto* wheel = static_cast<QWheelEvent*>(event);
  if (!(wheel->modifiers() & Qt::ControlModifier)) return false;
  wheelRest_ += wheel->angleDelta().y();
  // One notch is one step; a touchpad's small turns add up to one.
  while (wheelRest_ >= 120) {
    wheelRest_ -= 120;
    SetZoom(ZoomIn(percent_));
  }
  while (wheelRest_ <= -120) {
    wheelRest_ += 120;
    SetZoom(ZoomOut(percent_));
  }
  wheel->accept();
  return true;
}

}  // namespace teku
