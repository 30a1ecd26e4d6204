// The uniqueness check and the hint suggestion in the main window.
#include "app/uniqueness_menu.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QProgressDialog>
#include <QScrollBar>
#include <QThread>
#include <chrono>
#include <thread>

#include "app/edit_menu.h"
#include "app/main_window.h"
#include "services/cp932.h"
#include "services/regular_file.h"

namespace teku {

namespace {

constexpr const char* kCaption = "一意性チェック";

// One check at a time: the shortcut of a second one must not start it inside the first.
struct Busy {
  explicit Busy(bool& flag) : flag_(flag) { flag_ = true; }
  ~Busy() { flag_ = false; }
  bool& flag_;
};

// Frames the marked numbers' cells over the grid; clicks pass through to it.
class MarkOverlay final : public QWidget {
 public:
  MarkOverlay(TForm1& form, const std::set<std::uint8_t>& marked)
      : QWidget(form.PaintBox1), form_(form), marked_(marked) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    if (marked_.empty()) return;
    QPainter p(this);
    p.setPen(QPen(QColor(230, 40, 40), 3));
    const int side = form_.GridCellSize();
    const int left = form_.ScrollBar_Width->value(), top = form_.ScrollBar_Height->value();
    CellsLock cells(form_.puzzle);
    if (!cells.ok()) return;
    for (std::int32_t y = 0; y < form_.puzzle.GridHeight; ++y) {
      for (std::int32_t x = 0; x < form_.puzzle.GridWidth; ++x) {
        if (marked_.count(cells.at(x, y)) == 0) continue;
        p.drawRect((x - left) * side + 2, (y - top) * side + 2, side - 4, side - 4);
      }
    }
  }

 private:
  TForm1& form_;
  const std::set<std::uint8_t>& marked_;
};

}  // namespace

UniquenessMenu::UniquenessMenu(TForm1& form) : QObject(&form), form_(form) {
  // Beside the author's other tools; a menu of its own only when that menu is missing.
  QMenuBar* bar = form.menuBar();
  auto* menu = form.findChild<QMenu*>(QStringLiteral("MN_WORK"));
  if (menu != nullptr) {
    menu->addSeparator();
  } else {
    menu = new QMenu(QString::fromUtf8("作成支援(&W)"), &form);
    menu->setObjectName(QStringLiteral("MN_WORK"));
    bar->addMenu(menu);
  }
  checkAction = menu->addAction(QString::fromUtf8("一意性チェック(&U)"));
  checkAction->setObjectName(QStringLiteral("MN_TOOLUNIQUE"));
  suggestAction = menu->addAction(QString::fromUtf8("ヒントを提案(&S)"));
  suggestAction->setObjectName(QStringLiteral("MN_TOOLSUGGEST"));
  form.AddItem("MN_TOOLUNIQUE", checkAction);
  form.AddItem("MN_TOOLSUGGEST", suggestAction);
  connect(checkAction, &QAction::triggered, this, [this] { Check(); });
  connect(suggestAction, &QAction::triggered, this, [this] { Suggest(); });
  overlay_ = new MarkOverlay(form, marked_);
  overlay_->hide();
}

bool UniquenessMenu::Usable() {
  const ModeState m = form_.Modes();
  if (m.nankuro() && (m.create() || m.answer())) return true;
  Show("一意性チェックはナンクロの作成モードか解答モードで使えます。");
  return false;
}

bool UniquenessMenu::LoadWords(WordList& words) {
  std::string error;
  if (!words.Load(form_.ProgramDir + kWordListFile, error)) {
    Show("単語リストを読めません: " + error);
    return false;
  }
  // The user's own words are read afresh at every check, so an edit counts at once.
  const std::string own = form_.Folders.settingsDir.empty() ? std::string() : form_.Folders.settingsDir + kUserWordsFile;
  if (!own.empty() && IsReadableRegularFile(own)) words.AddFile(own, error);
  return true;
}

void UniquenessMenu::RunWithProgress(const std::function<void(const SolverLimits&)>& work) {
  std::atomic<bool> cancel{false}, done{false};
  std::atomic<std::uint64_t> nodes{0};
  std::atomic<int> permille{0};
  SolverLimits limits;
  limits.cancel = &cancel;
  limits.progress = [&](const SolverProgress& p) {
    nodes = p.nodes;
    permille = static_cast<int>(p.fraction * 1000);
  };
  QProgressDialog dialog(QString::fromUtf8("解を探しています…"), QString::fromUtf8("中止"), 0, 1000, &form_);
  dialog.setWindowTitle(QString::fromUtf8(kCaption));
  dialog.setWindowModality(Qt::WindowModal);
  dialog.setMinimumDuration(300);
  if (whileRunning) whileRunning(cancel);
  std::thread worker([&] {
    work(limits);
    done = true;
  });
  while (!done) {
    if (dialog.wasCanceled()) cancel = true;
    dialog.setValue(permille);
    dialog.setLabelText(QString::fromUtf8("解を探しています… %1 通り調べました").arg(nodes.load()));
    // Until the modal dialog is up, the window takes no input: a click or a close must not
    // reach the puzzle while its check runs.
    QCoreApplication::processEvents(dialog.isVisible() ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents, 50);
    QThread::msleep(20);
  }
  worker.join();
}

void UniquenessMenu::Mark(const std::vector<std::uint8_t>& numbers) {
  marked_ = std::set<std::uint8_t>(numbers.begin(), numbers.end());
  overlay_->setGeometry(form_.PaintBox1->rect());
  overlay_->setVisible(!marked_.empty());
  overlay_->raise();
  overlay_->update();
}

void UniquenessMenu::Show(const std::string& utf8) {
  form_.ShowMessage(Utf8ToCp932Lossy(utf8), Utf8ToCp932Lossy(kCaption));
}

void UniquenessMenu::Check() {
  if (busy_ || !Usable()) return;
  const Busy busy(busy_);
  WordList words;
  if (!LoadWords(words)) return;
  const PuzzleSolver solver(NumberGridOf(form_.puzzle), words);
  UniquenessReport report;
  RunWithProgress([&](const SolverLimits& limits) { report = solver.Check(limits); });
  Mark(report.differing);
  Show(DescribeReport(report));
  Mark({});
}

void UniquenessMenu::Suggest() {
  if (busy_ || !Usable()) return;
  const Busy busy(busy_);
  WordList words;
  if (!LoadWords(words)) return;
  const PuzzleSolver solver(NumberGridOf(form_.puzzle), words);
  Suggestion s;
  RunWithProgress([&](const SolverLimits& limits) { s = solver.Suggest(limits); });
  if (!s.report.problem.empty() || s.report.status == SolveStatus::kCancelled ||
      s.report.status == SolveStatus::kTimedOut || s.report.status == SolveStatus::kTooLarge) {
    Show(DescribeReport(s.report));
    return;
  }
  std::string text;
  if (s.added.empty()) {
    text = s.report.status == SolveStatus::kUnique ? "追加する初期表示マスはありません。" : "";
  } else {
    // All the cells in one step: one undo takes the suggestion back whole.
    EditStep step(form_);
    Puzzle& p = form_.puzzle;
    text = "初期表示マスを追加しました:";
    for (const SuggestedGiven& g : s.added) {
      for (std::int32_t& slot : p.Syoki) {
        if (!p.SyokiNamesCell(slot)) {
          slot = g.cell;
          break;
        }
      }
      text += "\n  " + std::to_string(g.cell / p.GridWidth + 1) + "行" + std::to_string(g.cell % p.GridWidth + 1) +
              "列（" + std::to_string(g.number) + " = " + g.character + "）";
    }
    text += "\n";
    form_.RedrawAndShow();
  }
  if (!s.shortfall.empty()) text += s.shortfall + "。\n";
  Mark(s.report.differing);
  Show(text + DescribeReport(s.report));
  Mark({});
}

}  // namespace teku
