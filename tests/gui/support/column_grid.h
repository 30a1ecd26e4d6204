// A 30 x 30 number-crossword in the main window whose cells carry their column + 1: wider and
// taller than the view, so that keys and zoom have to scroll. ア is entry 5, ヒ entry 6.
#pragma once

#include "app/main_window.h"
#include "services/cp932.h"

namespace teku::testing {

inline void ShowColumnNumberedGrid(TForm1& f) {
  Puzzle& p = f.puzzle;
  p.GridWidth = p.GridHeight = 30;
  {
    CellsLock cells(p);
    for (int x = 0; x < 30; ++x)
      for (int y = 0; y < 30; ++y) cells.set(x, y, static_cast<std::uint8_t>(x + 1));
  }
  p.MojiTbl[5] = *Utf8ToCp932("ア");
  p.MojiTbl[6] = *Utf8ToCp932("ヒ");
  f.BuildMojiSheet();
  f.LayoutGrid();
}

}  // namespace teku::testing
