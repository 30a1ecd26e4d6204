// Zoom in the windows: clicks land on their cell at every step and scroll position and on a
// dense screen, a dense screen at 100 % shows what 200 % shows, the step is kept under a key of
// its own, the panels follow, and characters are drawn anew in the chosen font and size.
#include <QCoreApplication>
#include <QMouseEvent>
#include <QWheelEvent>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

#include "app/grid_zoom.h"
#include "app/main_window.h"
#include "app/program_windows.h"
#include "app/zoom_view.h"
#include "panels/answer_panel.h"
#include "panels/character_panel.h"
#include "services/cp932.h"
#include "support/column_grid.h"
#include "support/test_program.h"

namespace teku {
namespace {

class ZoomWindow : public ::testing::Test {
 protected:
  void SetUp() override { Start(); }
  void Start() {
    windows = std::make_unique<ProgramWindows>(program.environment());
    windows->Create();
    f = windows->Form1.get();
    f->show();
  }
  void Puzzle30() { testing::ShowColumnNumberedGrid(*f); }
  void ClickAt(int x, int y) {
    f->clickCache.ClickCacheStale = 1;
    f->PaintBox1MouseDown(Qt::LeftButton, x, y);
  }
  std::string Settings() {
    std::ifstream in(program.path("TEKUINI.INI"));
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }

  testing::TestProgram program;
  std::unique_ptr<ProgramWindows> windows;
  TForm1* f = nullptr;
};

TEST_F(ZoomWindow, EveryPressLandsOnItsCellAtEveryStepAndScrollPosition) {
  Puzzle30();
  for (const std::int32_t step : kZoomSteps) {
    f->zoom->SetZoom(step);
    const int cell = LogicalCell(step);
    ASSERT_EQ(f->DrawSheets().cell, cell);
    f->ScrollBar_Width->setValue(3);
    f->ScrollBar_Height->setValue(2);
    const int sx = f->ScrollBar_Width->value(), sy = f->ScrollBar_Height->value();
    ASSERT_GT(sx, 0) << step;
    for (const auto& [i, j] : {std::pair{0, 0}, std::pair{2, 1}}) {
      for (const auto& [px, py] : {std::pair{i * cell, j * cell}, std::pair{(i + 1) * cell - 1, (j + 1) * cell - 1}}) {
        ClickAt(px, py);
        EXPECT_EQ(std::make_pair(f->puzzle.CursorX, f->puzzle.CursorY), std::make_pair(sx + i, sy + j))
            << step << "% at " << px << "," << py;
      }
    }
  }
  // On a screen of two pixels per window pixel, a press between window pixels counts where the
  // screen pixel under it lies.
  f->zoom->SetZoom(100);
  f->zoom->SetDeviceRatio(2.0);
  ASSERT_EQ(f->PaintBox1->Image.width(), 2 * f->PaintBox1->width());
  f->ScrollBar_Width->setValue(0);
  f->ScrollBar_Height->setValue(0);
  for (const auto& [x, column] : {std::pair{31.75, 0}, std::pair{32.0, 1}}) {
    f->clickCache.ClickCacheStale = 1;
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(x, 5), f->PaintBox1->mapToGlobal(QPointF(x, 5)),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(f->PaintBox1, &press);
    EXPECT_EQ(f->puzzle.CursorX, column) << x;
  }
}

TEST_F(ZoomWindow, ADenseScreenAt100PercentShowsWhat200PercentShows) {
  Puzzle30();
  f->puzzle.CursorX = f->puzzle.CursorY = 2;
  f->zoom->SetZoom(200);
  f->RedrawAndShow();
  const int w = f->PaintBox1->Image.width(), h = f->PaintBox1->Image.height();
  std::vector<std::uint8_t> at200;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) at200.push_back(GetPixelNo(f->PaintBox1->Image, x, y));
  const QImage front200 = f->PaintBox1->front().copy(0, 0, w, h);
  f->zoom->SetZoom(100);
  f->zoom->SetDeviceRatio(2.0);
  f->RedrawAndShow();
  ASSERT_GE(f->PaintBox1->Image.width(), w);
  std::size_t i = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) ASSERT_EQ(GetPixelNo(f->PaintBox1->Image, x, y), at200[i++]) << x << "," << y;
  EXPECT_EQ(f->PaintBox1->front().devicePixelRatio(), 2.0);
  EXPECT_EQ(f->PaintBox1->front().copy(0, 0, w, h), front200) << "shown pixel for pixel";
}

TEST_F(ZoomWindow, TheStepIsKeptUnderItsOwnKeyAndThePanelsFollow) {
  QWheelEvent turn(QPointF(5, 5), f->PaintBox1->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, 120), Qt::NoButton,
                   Qt::ControlModifier, Qt::NoScrollPhase, false);
  QCoreApplication::sendEvent(f->PaintBox1, &turn);
  EXPECT_EQ(f->zoom->percent(), 150);
  EXPECT_EQ(f->ScrollBar_Height->value(), 0) << "Ctrl + the wheel zooms instead of scrolling";
  f->item("MN_VIEWZOOMIN")->trigger();
  EXPECT_EQ(f->zoom->percent(), 200);
  EXPECT_NE(Settings().find("ZOOM=200"), std::string::npos);
  EXPECT_EQ(Settings().find("Width="), std::string::npos) << "no other key is written for it";

  TTEKUWRDF& panel = *windows->TEKUWRDF;
  panel.show();
  EXPECT_EQ(panel.PanelCols, (panel.width() - 20) / 64);
  panel.PaintBox1MouseDown(Qt::LeftButton, 64 + 5, 5);
  EXPECT_EQ(panel.SelectedMoji, 2);
  windows->TEKUKTOF->show();
  EXPECT_EQ(windows->TEKUKTOF->PaintBox1->width(), 16 * 64);

  windows.reset();
  Start();
  EXPECT_EQ(f->zoom->percent(), 200) << "restored at the next start";
  EXPECT_EQ(f->DrawSheets().cell, 64);
  f->item("MN_VIEWZOOM100")->trigger();
  EXPECT_EQ(f->DrawSheets().cell, 32);
  EXPECT_FALSE(f->item("MN_VIEWZOOMOUT")->isEnabled());
}

// Rows of a glyph block that hold ink.
int InkRows(TDibImage& sheet, int cell, int glyph) {
  const int bx = glyph % 16 * cell, by = glyph / 16 * cell;
  int rows = 0;
  for (int y = 0; y < cell; ++y) {
    bool ink = false;
    for (int x = 0; x < cell && !ink; ++x) ink = GetPixelNo(sheet, bx + x, by + y) == kMojiInk;
    rows += ink;
  }
  return rows;
}

TEST_F(ZoomWindow, CharactersTakeTheChosenSizeAndAreDrawnAnewWhenZoomed) {
  Puzzle30();
  const int small = InkRows(f->sheets.MojiSheet, 32, 5);
  QFont large = f->glyphText.font();
  large.setPixelSize(26);
  f->glyphText.setFont(large);
  f->BuildMojiSheet();
  EXPECT_GT(InkRows(f->sheets.MojiSheet, 32, 5), small + 8);

  f->zoom->SetZoom(400);
  TDibImage enlarged;
  ASSERT_TRUE(ScaleToCell(*f->PaintBox1, f->sheets.MojiSheet, 128, enlarged));
  bool differs = false;
  for (int y = 0; y < 128 && !differs; ++y)
    for (int x = 0; x < 128 && !differs; ++x)
      differs = GetPixelNo(f->DrawSheets().MojiSheet, 5 * 128 + x, y) != GetPixelNo(enlarged, 5 * 128 + x, y);
  EXPECT_TRUE(differs) << "not the 32-pixel glyph enlarged";
  EXPECT_GT(InkRows(f->DrawSheets().MojiSheet, 128, 5), 3 * InkRows(f->sheets.MojiSheet, 32, 5));
}

}  // namespace
}  // namespace teku
