// Puts the program's windows back where the settings say they were left: the stored value is the
// frame's top left, clamped and snapped, and moved onto the primary screen when no screen shows
// the window's title bar.
#pragma once

#include <QSize>
#include <cstdint>

class QWidget;

namespace teku {

// The primary screen's work area (1920 x 1080 when there is no screen at all).
QSize WorkAreaSize();

// Moves `window`'s frame to the stored (left, top). Call it before the window is shown: Qt places
// a window's frame only while it has no native window yet or knows the frame's size, and a move
// made in the show handler of a window never mapped lands on its client area instead.
void RestoreWindowPosition(QWidget& window, std::int32_t left, std::int32_t top);

}  // namespace teku
