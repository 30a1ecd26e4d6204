// TTEKUKTOF, the answer panel: the 32 positions of the answer word in two rows; in create mode
// a click puts the number selected in the character panel into a position.
#pragma once

#include <QWidget>
#include <functional>

#include "panels/panel_render.h"
#include "surface/tekubmp_widget.h"

namespace teku {

class TForm1;

class TTEKUKTOF : public QWidget {
  Q_OBJECT

 public:
  // `selectedMoji` reads the character panel's selection.
  TTEKUKTOF(TForm1& form1, std::function<std::int32_t()> selectedMoji);
  ~TTEKUKTOF() override;

  TTEKUBMP* PaintBox1 = nullptr;
  std::int32_t SelectedSlot = kNoSlot;
  std::int32_t LastSlotX = 0, LastSlotY = 0;
  std::int32_t InUpdate = 0;
  std::int32_t BlitReady = 1;

  void Refresh();
  void DrawSlots();
  void DrawSlot(std::int32_t c, std::int32_t r);
  void DrawSlotGroup(std::int32_t c, std::int32_t r);
  void PaintBox1MouseDown(Qt::MouseButton button, int x, int y);
  void PaintBox1Paint();
  // Program end: stores KLeft and KTop.
  void FormDestroy();
  // The zoom changed: the positions and the window take the new cell size.
  void Rezoom();

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void FormCreate();
  void FormResize();
  // Sizes the paint box to 16 x 2 cells of the present zoom and the window around it.
  void FitToCell();
  AnswerView View() const;

  TForm1& form1_;
  std::function<std::int32_t()> selectedMoji_;
  bool destroyed_ = false;
};

}  // namespace teku
