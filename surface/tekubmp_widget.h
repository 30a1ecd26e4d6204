// TTEKUBMP: the drawing surface as a widget. It keeps what was last shown (the front image);
// PaintImage and PaintImageRect convert 8-bit pixels through the surface palette into it and
// schedule a repaint, and paintEvent runs the owner's paint handler and draws the front 1:1.
#pragma once

#include <QImage>
#include <QWidget>
#include <array>
#include <functional>

#include "surface/dib_image.h"

namespace teku {

class TTEKUBMP : public QWidget, public DibSurface {
  Q_OBJECT

 public:
  explicit TTEKUBMP(QWidget* parent = nullptr);
  ~TTEKUBMP() override;

  void SetPalette(const Palette256& entries, HPalette handle);

  // The whole picture on the control (a short one on its bottom edge, a tall one its top).
  void PaintImage(TDibImage& image);
  // The width x height block of the picture at (xSrc, ySrc), shown at (xDest, yDest).
  void PaintImageRect(std::int32_t xDest, std::int32_t yDest, std::int32_t width,
                      std::int32_t height, TDibImage& image, std::int32_t xSrc,
                      std::int32_t ySrc);

  // The owner's handlers.
  std::function<void()> OnPaint;
  std::function<void(Qt::MouseButton button, int x, int y)> OnMouseDown;

  // What the control shows now.
  const QImage& front() const { return front_; }

  // Screen pixels per window pixel. Above 1 the front, the pictures shown on it and the presses
  // reported to the owner are in screen (device) pixels, so nothing is scaled on the way out.
  void SetDeviceRatio(double ratio);
  double deviceRatio() const { return ratio_; }
  int DeviceWidth() const;
  int DeviceHeight() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  void RebuildColorTable();
  // Copies `rows` lines of `width` pixels, starting at picture row `srcTop` (top-down) and column
  // srcX, to the front image at (destX, destY); everything is cut to both images.
  void Blit(TDibImage& image, std::int32_t destX, std::int32_t destY, std::int32_t srcX,
            std::int32_t srcTop, std::int32_t width, std::int32_t rows);
  void Present(const QRect& rect);
  void Refront();

  QImage front_;
  double ratio_ = 1.0;
  std::array<QRgb, 256> rgb_{};
  bool inPaint_ = false;
};

}  // namespace teku
