// The program's icon, drawn rather than shipped: a corner of a number-crossword grid with one
// character filled in. The window, the version box and the installed icons all use it.
#pragma once

#include <QImage>

namespace teku {

// A square picture `size` pixels wide; 32 is the design's own grid, other sizes are scaled
// with smooth edges. Needs a QGuiApplication for the character's font.
QImage ProgramIconPicture(int size);

}  // namespace teku
