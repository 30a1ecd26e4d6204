// Restoring window positions on the screens there are.
#include "app/window_placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <vector>

#include "app/grid_layout.h"

namespace teku {

namespace {
ScreenArea AreaOf(const QRect& r) { return ScreenArea{r.x(), r.y(), r.width(), r.height()}; }

QRect WorkArea() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 1920, 1080);
}
}  // namespace

QSize WorkAreaSize() { return WorkArea().size(); }

void RestoreWindowPosition(QWidget& window, std::int32_t left, std::int32_t top) {
  std::vector<ScreenArea> screens;
  for (const QScreen* s : QGuiApplication::screens()) screens.push_back(AreaOf(s->geometry()));
  PlaceStoredWindow(left, top, window.width(), screens, AreaOf(WorkArea()));
  window.move(left, top);
}

}  // namespace teku
