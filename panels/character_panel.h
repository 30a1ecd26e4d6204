// TTEKUWRDF, the character selection panel: the characters (or, in create mode, the cell
// numbers) as a scrollable table of cells; a left click selects the entry the grid enters, a
// right click edits an entry's text in the character setting dialog.
#pragma once

#include <QScrollBar>
#include <QWidget>
#include <functional>

#include "app/wheel_scroll.h"
#include "panels/panel_render.h"
#include "surface/tekubmp_widget.h"

namespace teku {

class TForm1;

class TTEKUWRDF : public QWidget {
  Q_OBJECT

 public:
  explicit TTEKUWRDF(TForm1& form1);
  ~TTEKUWRDF() override;

  TTEKUBMP* PaintBox1 = nullptr;
  QScrollBar* ScrollBar1 = nullptr;

  std::int32_t SelectedMoji = kNone;
  std::int32_t PanelCols = 7, PanelRows = 11;
  std::int32_t PrevCellX = 0, PrevCellY = 0;
  std::int32_t EditCellX = 0, EditCellY = 0;
  std::int32_t LastClientWidth = 0, LastClientHeight = 0;
  std::int32_t InUpdate = 0;
  std::int32_t BlitReady = 0;
  std::int32_t ResizeReady = 0;
  std::int32_t LayoutReady = 1;

  // Shows the character setting dialog for the selected entry (wired by the program).
  std::function<void()> ShowCharDialog;

  void Refresh();
  // Shows the correct-answer picture in place of the characters until the next full redraw;
  // the next click in the panel brings the characters back first.
  void ShowPicture(TDibImage& picture);
  bool PictureShown = false;
  // Redraws the panel cells and the glyph of `entry` after its text changed.
  void RefreshEditedMoji(std::int32_t entry);
  void LayoutPanel();
  void DrawPanel();
  void DrawPanelCell(std::int32_t c, std::int32_t r);
  void SelectPanelCell(std::int32_t c, std::int32_t r);
  void PaintBox1MouseDown(Qt::MouseButton button, int x, int y);
  void ScrollBar1Change();
  void PaintBox1Paint();

  PanelView View() const;
  std::int32_t LastEntry() const;
  // The zoom changed: the panel keeps its size and shows its entries at the new cell size.
  void Rezoom();

  void setVisible(bool visible) override;

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  void FormCreate();
  void FormShow();
  void FormHide();
  void FormResize();
  void ShowBackBuffer();
  void ShowCell(std::int32_t c, std::int32_t r);
  void SetSelected(std::int32_t e);

  TForm1& form1_;
  WheelScroll wheel_;
};

}  // namespace teku
