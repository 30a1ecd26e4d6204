#include "workbench/check_window.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QHideEvent>
#include <QInputDialog>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <cstdint>
#include <string>

#include "app/edit_menu.h"
#include "app/grid_keyboard.h"
#include "app/main_window.h"
#include "app/window_placement.h"
#include "surface/qt_cp932.h"
#include "workbench/letter_grid.h"

namespace teku {

namespace {

// The problems a character typed for a number can mend.
bool AboutNumbers(CheckKind kind) {
  return kind == CheckKind::SharedCharacter || kind == CheckKind::EmptyCharacter || kind == CheckKind::SingleUse;
}

}  // namespace

TCheckWindow::TCheckWindow(TForm1& form, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint), form_(form) {
  setObjectName(QStringLiteral("TCheckWindow"));
  setWindowTitle(QString::fromUtf8("検証"));
  auto* layout = new QVBoxLayout(this);
  auto* rules = new QGridLayout;
  std::string bad;
  const std::string stored = form_.ReadIni("CHECKRULES");
  if (stored.empty() || !ParseCheckRules(stored, rules_, bad)) rules_ = kDefaultCheckRules;
  int i = 0;
  for (const CheckRuleName& r : CheckRuleNames()) {
    auto* box = new QCheckBox(QString::fromUtf8(r.label), this);
    box->setObjectName(QString::fromUtf8(r.name));
    box->setChecked((rules_ & r.rule) != 0);
    connect(box, &QCheckBox::toggled, this, [this, rule = r.rule](bool on) {
      SetRules(on ? rules_ | rule : rules_ & ~static_cast<std::uint32_t>(rule));
    });
    rules->addWidget(box, i / 2, i % 2);
    ruleBoxes.push_back(box);
    ++i;
  }
  layout->addLayout(rules);

  list = new QTreeWidget(this);
  list->setColumnCount(3);
  list->setHeaderLabels({QString::fromUtf8("種類"), QString::fromUtf8("内容"), QString::fromUtf8("マス（列,行）")});
  list->setRootIsDecorated(false);
  list->setUniformRowHeights(true);
  list->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
  list->header()->setSectionResizeMode(1, QHeaderView::Stretch);
  connect(list, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) { GoTo(list->indexOfTopLevelItem(item)); });
  // Rows walked with the keys take the cursor along as clicks do.
  connect(list, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
    const int row = item != nullptr ? list->indexOfTopLevelItem(item) : -1;
    fixButton->setEnabled(row >= 0 && AboutNumbers(problems_[static_cast<std::size_t>(row)].kind));
    GoTo(row);
  });
  layout->addWidget(list, 1);
  setFocusProxy(list);

  auto* bottom = new QHBoxLayout;
  summary = new QLabel(this);
  summary->setObjectName(QStringLiteral("summary"));
  fixButton = new QPushButton(QString::fromUtf8("文字を直す(&F)..."), this);
  fixButton->setEnabled(false);
  connect(fixButton, &QPushButton::clicked, this, [this] { FixCharacter(); });
  bottom->addWidget(summary, 1);
  bottom->addWidget(fixButton);
  layout->addLayout(bottom);
  resize(560, 360);
  // Where it was left last time, made before the first show as a frame can only be placed then.
  // A size too small for the list or larger than any screen is a hand-edited one, and ignored.
  constexpr std::int32_t kNoPlace = INT32_MIN;
  const std::int32_t width = form_.ReadIniInt("CHECKWIDTH", 0), height = form_.ReadIniInt("CHECKHEIGHT", 0);
  if (width >= 240 && height >= 160 && width <= 8192 && height <= 8192) resize(width, height);
  const std::int32_t left = form_.ReadIniInt("CHECKLEFT", kNoPlace), top = form_.ReadIniInt("CHECKTOP", kNoPlace);
  if (left != kNoPlace && top != kNoPlace) RestoreWindowPosition(*this, left, top);

  AskCharacter = [this](const QString& prompt) -> std::optional<QString> {
    bool ok = false;
    const QString text = QInputDialog::getText(this, QString::fromUtf8("文字を直す"), prompt, QLineEdit::Normal, {}, &ok);
    if (!ok) return std::nullopt;
    return text;
  };
  if (form_.edits != nullptr) connect(form_.edits, &EditMenu::changed, this, &TCheckWindow::Refresh);
  for (const char* kind : {"MN_MODENANKURO", "MN_MODECROS"}) {
    if (QAction* a = form_.item(kind)) connect(a, &QAction::triggered, this, &TCheckWindow::Refresh);
  }
}

void TCheckWindow::SetRules(std::uint32_t rules) {
  if (rules == rules_) return;
  rules_ = rules;
  for (std::size_t i = 0; i < ruleBoxes.size(); ++i) {
    const QSignalBlocker quiet(ruleBoxes[i]);
    ruleBoxes[i]->setChecked((rules_ & CheckRuleNames()[i].rule) != 0);
  }
  form_.WriteIni("CHECKRULES", CheckRulesText(rules_));
  Refresh();
}

void TCheckWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  Refresh();
}

void TCheckWindow::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  // Minimised along with the main window is no closing.
  if (event->spontaneous() || form_.destroyed()) return;
  form_.WriteIniKeys({{"CHECKLEFT", std::to_string(x())},
                      {"CHECKTOP", std::to_string(y())},
                      {"CHECKWIDTH", std::to_string(width())},
                      {"CHECKHEIGHT", std::to_string(height())}});
}

void TCheckWindow::Refresh() {
  if (!isVisible()) return;
  const int keep = list->currentItem() != nullptr ? list->indexOfTopLevelItem(list->currentItem()) : -1;
  problems_ = CheckPuzzle(form_.puzzle, form_.Modes().kind, rules_);
  const QSignalBlocker quiet(list);
  list->clear();
  QList<QTreeWidgetItem*> rows;
  for (const CheckProblem& p : problems_) {
    auto* row = new QTreeWidgetItem({Cp932ToQString(SeverityText(p.severity)), Cp932ToQString(DescribeProblem(p)),
                                     Cp932ToQString(CellsText(p.cells))});
    if (p.severity == CheckSeverity::Error) row->setForeground(0, QColor(0xC0, 0, 0));
    row->setToolTip(1, row->text(1));
    rows.push_back(row);
  }
  list->addTopLevelItems(rows);
  if (keep >= 0 && keep < list->topLevelItemCount()) list->setCurrentItem(list->topLevelItem(keep));
  const int row = list->currentItem() != nullptr ? list->indexOfTopLevelItem(list->currentItem()) : -1;
  fixButton->setEnabled(row >= 0 && AboutNumbers(problems_[static_cast<std::size_t>(row)].kind));
  summary->setText(Cp932ToQString(CheckSummary(problems_)));
}

void TCheckWindow::GoTo(int row) {
  if (row < 0 || static_cast<std::size_t>(row) >= problems_.size()) return;
  const CheckProblem& p = problems_[static_cast<std::size_t>(row)];
  if (list->currentItem() != list->topLevelItem(row)) {
    const QSignalBlocker quiet(list);
    list->setCurrentItem(list->topLevelItem(row));
    fixButton->setEnabled(AboutNumbers(p.kind));
  }
  if (p.cells.empty() || !form_.puzzle.InGrid(p.cells.front().x, p.cells.front().y)) return;
  form_.puzzle.CursorX = p.cells.front().x;
  form_.puzzle.CursorY = p.cells.front().y;
  // The next click on the grid is a click of its own, not a repeat of one before the jump.
  form_.clickCache.ClickCacheStale = 1;
  if (form_.keyboard != nullptr) form_.keyboard->ScrollCursorIntoView();
  form_.RedrawAndShow();
  if (form_.keyboard != nullptr) form_.keyboard->UpdateStatus();
}

void TCheckWindow::FixCharacter() {
  const int row = list->currentItem() != nullptr ? list->indexOfTopLevelItem(list->currentItem()) : -1;
  if (row < 0 || !AboutNumbers(problems_[static_cast<std::size_t>(row)].kind)) return;
  const CheckProblem problem = problems_[static_cast<std::size_t>(row)];
  Puzzle& puzzle = form_.puzzle;
  std::int32_t number = problem.numbers.back();
  if (puzzle.InGrid(puzzle.CursorX, puzzle.CursorY)) {
    std::int32_t atCursor;
    {
      CellsLock cells(puzzle);
      atCursor = cells.at(puzzle.CursorX, puzzle.CursorY);
    }
    for (std::int32_t n : problem.numbers) {
      if (n == atCursor) number = n;
    }
  }
  const std::optional<QString> typed = AskCharacter(QString::fromUtf8("番号 %1 の文字").arg(number));
  if (!typed || typed->trimmed().isEmpty()) return;
  const std::optional<std::string> text = QStringToCp932(typed->trimmed());
  if (!text) {
    form_.Inform(QString::fromUtf8("「%1」は使えない文字です").arg(*typed), QString::fromUtf8("文字を直す"));
    return;
  }
  {
    EditStep step(form_);
    const std::int32_t entry = TableEntryFor(puzzle, *text);
    if (entry == kNone) {
      form_.Inform(QString::fromUtf8("文字表に空きがありません"), QString::fromUtf8("文字を直す"));
      return;
    }
    puzzle.AnserTbl[static_cast<std::size_t>(number)] = entry;
    form_.RenderMojiGlyph(entry, *text);
  }
  form_.RedrawAndShow();
  form_.RefreshPanels();
}

}  // namespace teku
