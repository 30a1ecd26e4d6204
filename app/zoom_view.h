// Zoom of the main window's grid and the two panels (表示: 拡大, 縮小, 等倍 and Ctrl + the wheel):
// the glyph sheets at the zoomed cell size in the screen's own pixels, the windows laid out
// again, and the step kept in the settings under ZOOM.
#pragma once

#include <QObject>
#include <cstdint>

#include "app/grid_render.h"
#include "surface/qt_text_rasterizer.h"

class QAction;

namespace teku {

class TForm1;

class ZoomView final : public QObject {
  Q_OBJECT

 public:
  // Adds the zoom items to 表示; the view stays at 100 % until Restore.
  explicit ZoomView(TForm1& form);

  // Takes the step stored in the settings (once the sheets are loaded).
  void Restore();
  // Zooms to a step (another value counts as 100) and stores it.
  void SetZoom(std::int32_t percent);
  std::int32_t percent() const { return percent_; }

  // A cell's side in window pixels and in screen pixels.
  std::int32_t LogicalCell() const;
  std::int32_t DeviceCell() const;
  // Screen pixels per window pixel; a test may set what the screen would say.
  double DeviceRatio() const;
  void SetDeviceRatio(double ratio);

  // The sheets the grid and the panels are composed from now.
  GlyphSheets& Sheets();
  // The character sheet changed (a new table, a new font, one edited entry).
  void RebuildCharacters();
  void RenderGlyph(std::int32_t i, const std::string& text);

  QAction* zoomIn = nullptr;
  QAction* zoomOut = nullptr;
  QAction* zoomReset = nullptr;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Builds the sheets for the present cell size and lays every window out again.
  void Apply();
  void Watch(QWidget* widget);

  TForm1& form_;
  std::int32_t percent_ = 100;
  double ratioOverride_ = 0;
  double appliedRatio_ = 1.0;
  int wheelRest_ = 0;
  GlyphSheets zoomed_;
  QtTextRasterizer text_;
};

}  // namespace teku
