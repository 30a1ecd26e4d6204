// The drawing-surface widget.
#include "surface/tekubmp_widget.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "surface/paint_geometry.h"

namespace teku {

TTEKUBMP::TTEKUBMP(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_NoSystemBackground);
  RebuildColorTable();
}

TTEKUBMP::~TTEKUBMP() { FreeImage(Image); }

void TTEKUBMP::SetPalette(const Palette256& entries, HPalette handle) {
  DibSurface::SetPalette(entries, handle);
  RebuildColorTable();
}

void TTEKUBMP::RebuildColorTable() {
  for (int i = 0; i < 256; ++i) rgb_[static_cast<std::size_t>(i)] = qRgb(Palette[i].red, Palette[i].green, Palette[i].blue);
}

void TTEKUBMP::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  Refront();
}

int TTEKUBMP::DeviceWidth() const { return static_cast<int>(std::ceil(width() * ratio_)); }
int TTEKUBMP::DeviceHeight() const { return static_cast<int>(std::ceil(height() * ratio_)); }

void TTEKUBMP::SetDeviceRatio(double ratio) {
  if (!(ratio >= 1.0) || ratio == ratio_) return;
  ratio_ = ratio;
  front_ = QImage();
  Refront();
  update();
}

void TTEKUBMP::Refront() {
  const QSize size(DeviceWidth(), DeviceHeight());
  if (front_.size() == size || size.isEmpty()) return;
  // What was shown stays where it was; new area starts in the surface's background colour.
  QImage grown(size, QImage::Format_RGB32);
  grown.fill(rgb_[ClearColorNo]);
  if (!front_.isNull()) {
    QPainter p(&grown);
    p.drawImage(0, 0, front_);
  }
  grown.setDevicePixelRatio(ratio_);
  front_ = grown;
}

void TTEKUBMP::Blit(TDibImage& image, std::int32_t destX, std::int32_t destY, std::int32_t srcX,
                    std::int32_t srcTop, std::int32_t width, std::int32_t rows) {
  if (front_.isNull()) return;
  PixelLock lock(image);
  if (!lock.ok() || lock.width() == 0) return;
  const std::int64_t W = lock.width(), H = lock.height();
  for (std::int32_t r = 0; r < rows; ++r) {
    const std::int64_t sy = std::int64_t{srcTop} + r;
    const std::int64_t dy = std::int64_t{destY} + r;
    if (sy < 0 || sy >= H || dy < 0 || dy >= front_.height()) continue;
    const std::uint8_t* src = lock.bytes() + (H - 1 - sy) * W;
    auto* dst = reinterpret_cast<QRgb*>(front_.scanLine(static_cast<int>(dy)));
    for (std::int32_t c = 0; c < width; ++c) {
      const std::int64_t sx = std::int64_t{srcX} + c;
      const std::int64_t dx = std::int64_t{destX} + c;
      if (sx < 0 || sx >= W || dx < 0 || dx >= front_.width()) continue;
      dst[dx] = rgb_[src[sx]];
    }
  }
}

void TTEKUBMP::Present(const QRect& rect) {
  // Inside paintEvent the front is drawn right after the owner's handler returns.
  if (inPaint_ || rect.isEmpty()) return;
  if (ratio_ == 1.0) {
    update(rect);
  } else {
    update(QRectF(rect.x() / ratio_, rect.y() / ratio_, rect.width() / ratio_, rect.height() / ratio_).toAlignedRect());
  }
}

void TTEKUBMP::PaintImage(TDibImage& image) {
  if (!image.allocated()) return;
  const BlitGeometry g = WholePictureGeometry(DeviceWidth(), DeviceHeight(), image.width(), image.height());
  if (g.empty()) return;
  Blit(image, 0, g.destY, 0, g.srcTop, g.width, g.height);
  Present(QRect(0, g.destY, g.width, g.height));
}

void TTEKUBMP::PaintImageRect(std::int32_t xDest, std::int32_t yDest, std::int32_t w,
                              std::int32_t h, TDibImage& image, std::int32_t xSrc,
                              std::int32_t ySrc) {
  if (!image.allocated()) return;
  const BlitGeometry g =
      BlockGeometry(DeviceWidth(), DeviceHeight(), xDest, yDest, w, h, image.height(), xSrc, ySrc);
  if (g.empty()) return;
  Blit(image, g.destX, g.destY, g.srcX, g.srcTop, g.width, g.height);
  Present(QRect(g.destX, g.destY, g.width, g.height));
}

void TTEKUBMP::paintEvent(QPaintEvent* event) {
  inPaint_ = true;
  if (OnPaint) OnPaint();
  inPaint_ = false;
  QPainter p(this);
  if (front_.isNull()) return;
  const QRect r = event->rect();
  if (ratio_ == 1.0) {
    p.drawImage(r, front_, r);
  } else {
    // The front's pixels land one to one on the screen's.
    p.drawImage(QRectF(r), front_, QRectF(r.x() * ratio_, r.y() * ratio_, r.width() * ratio_, r.height() * ratio_));
  }
}

void TTEKUBMP::mousePressEvent(QMouseEvent* event) {
  if (!OnMouseDown) return;
  if (ratio_ == 1.0) {
    const QPoint pos = event->position().toPoint();
    OnMouseDown(event->button(), pos.x(), pos.y());
    return;
  }
  // The screen pixel under the pointer, exactly: the cells' edges lie on screen pixels.
  const QPointF pos = event->position() * ratio_;
  OnMouseDown(event->button(), static_cast<int>(std::floor(pos.x())), static_cast<int>(std::floor(pos.y())));
}

}  // namespace teku
