// The grid's keyboard, input method and status line.
#include "app/grid_keyboard.h"

#include <QGuiApplication>
#include <QInputMethod>
#include <QInputMethodEvent>
#include <QInputMethodQueryEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QStatusBar>
#include <QTimer>

#include "app/edit_menu.h"
#include "app/main_window.h"
#include "panels/answer_panel.h"
#include "panels/character_panel.h"
#include "surface/qt_cp932.h"

namespace teku {

namespace {
QString ModeName(const ModeState& m) {
  const char* play = m.writingLetters() ? "作成(文字)" : m.create() ? "作成" : m.answer() ? "解答" : "ｹﾞｰﾑ";
  const char* kind = m.crossword() ? "クロス" : "ナンクロ";
  return QString::fromUtf8(play) + QString::fromUtf8("・") + QString::fromUtf8(kind);
}
}  // namespace

GridKeyboard::GridKeyboard(TForm1& form) : QObject(&form), form_(form) {
  QStatusBar* bar = form.statusBar();
  bar->setSizeGripEnabled(false);
  cursorLabel_ = new QLabel(bar);
  cursorLabel_->setObjectName(QStringLiteral("GridCursorStatus"));
  bar->addPermanentWidget(cursorLabel_);
  preedit_ = new QLabel(form.PaintBox1);
  preedit_->setObjectName(QStringLiteral("GridPreedit"));
  preedit_->setAttribute(Qt::WA_TransparentForMouseEvents);
  preedit_->setAlignment(Qt::AlignCenter);
  preedit_->setStyleSheet(QStringLiteral("background: white; color: black; border: 1px solid black;"));
  preedit_->hide();
  form.PaintBox1->setFocusPolicy(Qt::StrongFocus);
  form.PaintBox1->setAttribute(Qt::WA_InputMethodEnabled);
  grid_ = form.PaintBox1;
  grid_->installEventFilter(this);
  form.PaintBox1->setFocus();
  UpdateStatus();
}

bool GridKeyboard::eventFilter(QObject* watched, QEvent* event) {
  if (watched != grid_) return false;
  switch (event->type()) {
    case QEvent::KeyPress: {
      auto* key = static_cast<QKeyEvent*>(event);
      if (!HandleKey(*key)) return false;
      key->accept();
      return true;
    }
    case QEvent::InputMethod: {
      auto* im = static_cast<QInputMethodEvent*>(event);
      SetPreedit(im->preeditString());
      if (!im->commitString().isEmpty()) Commit(im->commitString());
      im->accept();
      return true;
    }
    case QEvent::InputMethodQuery: {
      auto* query = static_cast<QInputMethodQueryEvent*>(event);
      const Qt::InputMethodQueries q = query->queries();
      if (q & Qt::ImEnabled) query->setValue(Qt::ImEnabled, true);
      if (q & Qt::ImCursorRectangle) query->setValue(Qt::ImCursorRectangle, CursorRect());
      if (q & Qt::ImFont) query->setValue(Qt::ImFont, form_.glyphText.font());
      if (q & Qt::ImHints) query->setValue(Qt::ImHints, static_cast<int>(Qt::ImhNone));
      if (q & Qt::ImSurroundingText) query->setValue(Qt::ImSurroundingText, QString());
      if (q & Qt::ImCursorPosition) query->setValue(Qt::ImCursorPosition, 0);
      if (q & Qt::ImAnchorPosition) query->setValue(Qt::ImAnchorPosition, 0);
      if (q & Qt::ImCurrentSelection) query->setValue(Qt::ImCurrentSelection, QString());
      query->accept();
      return true;
    }
    case QEvent::MouseButtonPress:
      // A click on the grid may bring up the character panel; typing goes on in the grid, so
      // the panel comes up without taking the keyboard (for this click only).
      if (QWidget* panel = form_.side.TEKUWRDF; panel != nullptr && !panel->isVisible()) {
        panel->setAttribute(Qt::WA_ShowWithoutActivating);
        QTimer::singleShot(0, panel, [panel] { panel->setAttribute(Qt::WA_ShowWithoutActivating, false); });
      }
      return false;
    case QEvent::Paint:
      // Every change of cell, mode or content is drawn: the status line follows the picture.
      UpdateStatus();
      return false;
    default:
      return false;
  }
}

bool GridKeyboard::HandleKey(const QKeyEvent& event) {
  if (event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return false;
  const auto move = [&](CursorKey key) {
    Apply(MoveGridCursor(form_.puzzle, form_.clickCache, state, key, form_.ScrollBar_Width->value(),
                         form_.ScrollBar_Height->value()));
  };
  switch (event.key()) {
    case Qt::Key_Left: move(CursorKey::Left); return true;
    case Qt::Key_Right: move(CursorKey::Right); return true;
    case Qt::Key_Up: move(CursorKey::Up); return true;
    case Qt::Key_Down: move(CursorKey::Down); return true;
    case Qt::Key_Home: move(CursorKey::Home); return true;
    case Qt::Key_End: move(CursorKey::End); return true;
    case Qt::Key_Delete:
    case Qt::Key_Backspace: {
      const KeyOutcome o = Change([&] { return DeleteOnGrid(form_.puzzle, form_.clickCache, state, form_.Modes()); });
      Apply(o);
      if (o.click.handled && form_.Modes().writingLetters()) form_.RedrawAndShow();
      Report(o, QString());
      return true;
    }
    case Qt::Key_Return:
    case Qt::Key_Enter: {
      const KeyOutcome o = EnterOnGrid(form_.puzzle, form_.clickCache, state, form_.Modes());
      Apply(o);
      Report(o, QString());
      return true;
    }
    case Qt::Key_Space:
      ToggleTypingDirection(state);
      UpdateStatus();
      return true;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Escape:
      return false;
    default:
      break;
  }
  const QString text = event.text();
  if (text.isEmpty() || !text.at(0).isPrint()) return false;
  Commit(text);
  return true;
}

void GridKeyboard::Commit(const QString& text) {
  SetPreedit(QString());
  for (const QChar& c : text) {
    if (c.isHighSurrogate() || c.isLowSurrogate() || !c.isPrint()) {
      Say(QString::fromUtf8("「%1」は使えない文字です").arg(text));
      return;
    }
  }
  const std::optional<std::string> bytes = QStringToCp932(text);
  if (!bytes) {
    Say(QString::fromUtf8("「%1」は使えない文字です").arg(text));
    return;
  }
  for (const std::string& ch : SplitCp932Characters(*bytes)) {
    const KeyOutcome o = Change([&] { return TypeOnGrid(form_.puzzle, form_.clickCache, state, form_.Modes(), ch); });
    // A letter new to the table needs its glyph before its cell is drawn.
    if (o.click.handled && form_.Modes().writingLetters() && o.entry >= 1 && o.entry <= 254) {
      form_.RenderMojiGlyph(o.entry, TextAt(form_.puzzle.MojiTbl, o.entry));
    }
    Apply(o);
    // A letter moves its cell from one number to another, and a blocked cell joins the group of
    // 255: the marks of the cursor's number are drawn anew everywhere.
    if (o.click.handled && form_.Modes().writingLetters()) form_.RedrawAndShow();
    if (o.problem != KeyProblem::None) {
      Report(o, Cp932ToQString(ch));
      return;
    }
  }
  Say(QString());
}

void GridKeyboard::SetPreedit(const QString& text) {
  const QRect cell = CursorRect();
  if (text.isEmpty() || cell.isEmpty()) {
    preedit_->hide();
    preedit_->clear();
    return;
  }
  QFont font = form_.glyphText.font();
  font.setPixelSize(std::max(8, cell.height() / 2));
  preedit_->setFont(font);
  preedit_->setText(text);
  // A long composition grows to the right of the cell rather than being cut.
  const int width = std::max(cell.width(), preedit_->sizeHint().width() + 4);
  preedit_->setGeometry(cell.x(), cell.y(), width, cell.height());
  preedit_->show();
  preedit_->raise();
}

QRect GridKeyboard::CursorRect() const {
  const Puzzle& p = form_.puzzle;
  if (!p.InGrid(p.CursorX, p.CursorY)) return QRect();
  const int cell = form_.GridCellSize();
  const QRect r((p.CursorX - form_.ScrollBar_Width->value()) * cell,
                (p.CursorY - form_.ScrollBar_Height->value()) * cell, cell, cell);
  return r.intersects(form_.PaintBox1->rect()) ? r : QRect();
}

QString GridKeyboard::CursorText() const {
  Puzzle& p = form_.puzzle;
  const ModeState modes = form_.Modes();
  const QString direction = QString::fromUtf8(state.direction == TypingDirection::Across ? "よこ→" : "たて↓");
  QString where = QString::fromUtf8("マス未選択");
  if (p.InGrid(p.CursorX, p.CursorY)) {
    std::int32_t n;
    {
      CellsLock cells(p);
      n = cells.at(p.CursorX, p.CursorY);
    }
    where = QString::fromUtf8("列%1 行%2").arg(p.CursorX + 1).arg(p.CursorY + 1);
    where += n >= 1 && n <= 254 ? QString::fromUtf8(" 番号%1").arg(n) : QString::fromUtf8(" 空き");
  }
  return where + QString::fromUtf8(" ") + ModeName(modes) + QString::fromUtf8(" ") + direction;
}

void GridKeyboard::UpdateStatus() {
  const QString text = CursorText();
  if (cursorLabel_->text() != text) cursorLabel_->setText(text);
}

void GridKeyboard::Say(const QString& message) {
  if (message.isEmpty()) {
    form_.statusBar()->clearMessage();
  } else {
    form_.statusBar()->showMessage(message, 5000);
  }
}

QString GridKeyboard::Message() const { return form_.statusBar()->currentMessage(); }

void GridKeyboard::Report(const KeyOutcome& o, const QString& character) {
  const char* text = nullptr;
  switch (o.problem) {
    case KeyProblem::None: return;
    case KeyProblem::NoCursor: text = "矢印キーかクリックでマスを選んで下さい"; break;
    case KeyProblem::NotNumbered: text = "このマスには文字を入れられません"; break;
    case KeyProblem::NotInTable: text = "「%1」は文字表にありません"; break;
    case KeyProblem::GivenCell: text = "初期表示のマスは変えられません"; break;
    case KeyProblem::InUse: text = "「%1」は他の番号に使われています"; break;
    case KeyProblem::NotANumber: text = "作成ﾓｰﾄﾞではマスの番号を数字で入れます"; break;
    case KeyProblem::NumberRange: text = "マスの番号は1～254です"; break;
  }
  QString message = QString::fromUtf8(text);
  if (message.contains(QStringLiteral("%1"))) message = message.arg(character);
  Say(message);
}

void GridKeyboard::RedrawCursorCell(std::int32_t x, std::int32_t y) {
  if (!form_.puzzle.InGrid(x, y)) return;
  if (form_.checked("MN_MODENANKURO")) {
    form_.DrawNumberGroup(x, y);
    return;
  }
  // DrawCell draws wherever the cell falls, so a cell scrolled out of view is left alone.
  const GridView view = form_.View();
  const int cell = form_.DrawSheets().cell;
  const int cols = (form_.PaintBox1->Image.width() + cell - 1) / cell;
  const int rows = (form_.PaintBox1->Image.height() + cell - 1) / cell;
  if (x < view.scrollX || y < view.scrollY || x >= view.scrollX + cols || y >= view.scrollY + rows) return;
  form_.DrawCell(x, y);
}

void GridKeyboard::ScrollCursorIntoView() {
  const Puzzle& p = form_.puzzle;
  if (!p.InGrid(p.CursorX, p.CursorY)) return;
  const int cell = form_.GridCellSize();
  const auto follow = [](QScrollBar* bar, int at, int visible) {
    if (bar->isHidden()) return;
    visible = std::max(visible, 1);
    if (at < bar->value()) bar->setValue(at);
    else if (at >= bar->value() + visible) bar->setValue(at - visible + 1);
  };
  follow(form_.ScrollBar_Width, p.CursorX, form_.PaintBox1->width() / cell);
  follow(form_.ScrollBar_Height, p.CursorY, form_.PaintBox1->height() / cell);
}

KeyOutcome GridKeyboard::Change(const std::function<KeyOutcome()>& action) {
  // The digits of one number typed in create mode are taken back together.
  EditStep step(form_);
  const KeyOutcome o = action();
  if (o.click.handled) step.At(o.click.cx, o.click.cy);
  if (state.typedNumber != 0) step.Join(TypedNumberMergeKey(state.numberRun));
  return o;
}

void GridKeyboard::Apply(const KeyOutcome& o) {
  const ClickOutcome& c = o.click;
  if (c.handled) {
    if (c.rightSound) form_.PlayRightClick();
    if (c.leftSound) form_.PlayLeftClick();
  }
  ScrollCursorIntoView();
  if (c.handled) {
    if (c.redraw == Redraw::NumberGroup) form_.DrawNumberGroup(c.cx, c.cy);
    if (c.redraw == Redraw::Cell) RedrawCursorCell(c.cx, c.cy);
    auto& side = form_.side;
    if (c.refreshAnswerPanel && form_.checked("MN_VIEWKAITOU") && side.TEKUKTOF != nullptr) side.TEKUKTOF->Refresh();
    if (c.refreshCharPanel && form_.checked("MN_VIEWWRD") && side.TEKUWRDF != nullptr) side.TEKUWRDF->Refresh();
  }
  if (o.cursorMoved) {
    RedrawCursorCell(o.fromX, o.fromY);
    RedrawCursorCell(form_.puzzle.CursorX, form_.puzzle.CursorY);
  }
  if (c.handled || o.cursorMoved) {
    SetPreedit(QString());
    UpdateStatus();
    // The candidate window follows the cursor cell.
    QGuiApplication::inputMethod()->update(Qt::ImCursorRectangle);
  }
}

}  // namespace teku
