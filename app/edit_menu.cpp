// Undo, redo and the recording of steps in the main window.
#include "app/edit_menu.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QWindow>

#include "app/grid_keyboard.h"
#include "app/main_window.h"
#include "dialogs/char_setting_dialog.h"
#include "dialogs/hint_dialog.h"
#include "dialogs/initial_settings_dialog.h"

namespace teku {

EditMenu::EditMenu(TForm1& form) : QObject(&form), form_(form) {
  auto* menu = new QMenu(QString::fromUtf8("編集(&E)"), &form);
  menu->setObjectName(QStringLiteral("MN_EDIT"));
  QMenuBar* bar = form.menuBar();
  bar->insertMenu(bar->actions().value(1), menu);
  undoAction = menu->addAction(QString::fromUtf8("元に戻す(&U)"));
  undoAction->setObjectName(QStringLiteral("MN_EDITUNDO"));
  undoAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
  redoAction = menu->addAction(QString::fromUtf8("やり直す(&R)"));
  redoAction->setObjectName(QStringLiteral("MN_EDITREDO"));
  redoAction->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
  form.AddItem("MN_EDITUNDO", undoAction);
  form.AddItem("MN_EDITREDO", redoAction);
  connect(undoAction, &QAction::triggered, this, [this] { Undo(); });
  connect(redoAction, &QAction::triggered, this, [this] { Redo(); });
  // Entering or leaving game mode replaces the player's input wholesale: the steps that led to
  // the old input no longer fit.
  connect(form.item("MN_MODEGAME"), &QAction::toggled, this, [this] {
    play.Clear();
    Update();
  });
  for (const char* mode : {"MN_MODEANSER", "MN_MODECREATE"}) {
    connect(form.item(mode), &QAction::toggled, this, [this] { Update(); });
  }
  form.installEventFilter(this);
  Update();
}

UndoHistory& EditMenu::Current() { return form_.checked("MN_MODEGAME") ? play : author; }

void EditMenu::Undo() { Step(true); }
void EditMenu::Redo() { Step(false); }

void EditMenu::Reset() {
  play.Reset();
  author.Reset();
  Settle();
}

void EditMenu::MarkSaved() {
  play.MarkSaved();
  author.MarkSaved();
  Settle();
}

void EditMenu::Record(const PuzzleState& before, std::uint64_t mergeKey, std::int32_t cursorX,
                      std::int32_t cursorY) {
  const PuzzleState after = CaptureState(form_.puzzle, form_.Modes().kind);
  UndoStep input, rest;
  DiffStates(before, after, input, rest);
  if (input.empty() && rest.empty()) return;
  for (UndoStep* step : {&input, &rest}) {
    step->mergeKey = mergeKey;
    step->cursorX = cursorX;
    step->cursorY = cursorY;
  }
  play.Push(std::move(input));
  author.Push(std::move(rest));
  Settle();
}

void EditMenu::Step(bool undo) {
  // An open clue or character dialog holds text that belongs before the step: the clue is
  // stored (as a step of its own, so it is the first to go), the character edit dropped.
  if (auto* hint = form_.side.TEKUHNTF; hint != nullptr && hint->isVisible()) hint->hide();
  if (auto* moji = form_.side.TEKUSPLF; moji != nullptr && moji->isVisible()) moji->hide();
  UndoHistory& history = Current();
  const UndoStep* step = undo ? history.Undo() : history.Redo();
  if (step == nullptr) {
    if (form_.keyboard != nullptr) {
      form_.keyboard->Say(QString::fromUtf8(undo ? "元に戻す操作はありません" : "やり直す操作はありません"));
    }
    return;
  }
  ModeState modes = form_.Modes();
  ApplyStep(form_.puzzle, modes.kind, *step, undo);
  form_.SetModes(modes);
  if (StepTouches(*step, StepField::Moji) || StepTouches(*step, StepField::MojiCount)) form_.BuildMojiSheet();
  if (StepTouches(*step, StepField::Width) || StepTouches(*step, StepField::Height)) form_.LayoutGrid();
  Puzzle& p = form_.puzzle;
  if (p.InGrid(step->cursorX, step->cursorY)) {
    p.CursorX = step->cursorX;
    p.CursorY = step->cursorY;
  }
  // The next click counts, and redraws the cell the cursor is on now.
  form_.clickCache.LastClickX = p.CursorX;
  form_.clickCache.LastClickY = p.CursorY;
  form_.clickCache.ClickCacheStale = 1;
  if (form_.keyboard != nullptr) form_.keyboard->ScrollCursorIntoView();
  form_.RedrawAndShow();
  form_.RefreshPanels();
  if (auto* settings = form_.side.TEKUINTF; settings != nullptr && settings->isVisible()) settings->FormShow();
  Settle();
  if (form_.keyboard != nullptr) {
    form_.keyboard->UpdateStatus();
    form_.keyboard->Say(QString::fromUtf8(undo ? "元に戻しました" : "やり直しました"));
  }
}

void EditMenu::Update() {
  UndoHistory& history = Current();
  undoAction->setEnabled(history.CanUndo());
  redoAction->setEnabled(history.CanRedo());
}

void EditMenu::Settle() {
  form_.Modified = play.AtSaved() && author.AtSaved() ? 0 : 1;
  Update();
  ShowMark();
  emit changed();
}

void EditMenu::ShowMark() {
  QWindow* window = form_.windowHandle();
  if (window == nullptr) return;
  const QString caption = form_.windowTitle();
  window->setTitle(form_.Modified != 0 ? QStringLiteral("*") + caption : caption);
}

bool EditMenu::eventFilter(QObject* watched, QEvent* event) {
  // The caption itself stays what the commands set; the mark is added where it is shown.
  if (watched == &form_ && (event->type() == QEvent::WindowTitleChange || event->type() == QEvent::Show)) {
    ShowMark();
  }
  return false;
}

EditStep::EditStep(TForm1& form, std::uint64_t mergeKey)
    : form_(form), menu_(form.edits), mergeKey_(mergeKey) {
  if (menu_ == nullptr) return;
  outer_ = menu_->depth_++ == 0;
  if (outer_) before_ = CaptureState(form.puzzle, form.Modes().kind);
}

EditStep::~EditStep() {
  if (menu_ == nullptr) return;
  --menu_->depth_;
  if (!outer_) return;
  const Puzzle& p = form_.puzzle;
  menu_->Record(before_, mergeKey_, at_ ? x_ : p.CursorX, at_ ? y_ : p.CursorY);
}

}  // namespace teku
