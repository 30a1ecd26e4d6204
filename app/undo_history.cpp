// Undo steps and the history.
#include "app/undo_history.h"

#include <algorithm>

namespace teku {

namespace {

void DiffTable(StepField field, const auto& before, const auto& after, UndoStep& step) {
  for (std::size_t i = 0; i < before.size(); ++i) {
    if (before[i] != after[i]) {
      step.changes.push_back({field, static_cast<std::int32_t>(i), before[i], after[i], {}, {}});
    }
  }
}

void DiffList(StepField field, StepField count, const TextList& before, const TextList& after,
              UndoStep& step) {
  const std::size_t n = std::max(before.size(), after.size());
  for (std::size_t i = 0; i < n; ++i) {
    const std::string& b = TextAt(before, static_cast<std::int64_t>(i));
    const std::string& a = TextAt(after, static_cast<std::int64_t>(i));
    if (b != a) step.changes.push_back({field, static_cast<std::int32_t>(i), 0, 0, b, a});
  }
  if (before.size() != after.size()) {
    step.changes.push_back({count, 0, static_cast<std::int32_t>(before.size()),
                            static_cast<std::int32_t>(after.size()), {}, {}});
  }
}

std::string Bytes(const std::vector<std::uint8_t>& cells) { return std::string(cells.begin(), cells.end()); }

void Put(auto& table, std::size_t entry, std::int32_t value) {
  if (entry < table.size()) table[entry] = value;
}

Table256* TableOf(Puzzle& p, StepField f) {
  switch (f) {
    case StepField::Anser: return &p.AnserTbl;
    case StepField::Input: return &p.InputTbl;
    case StepField::Hint: return &p.HintTbl;
    default: return nullptr;
  }
}

TextList* ListOf(Puzzle& p, StepField f) {
  switch (f) {
    case StepField::Moji: case StepField::MojiCount: return &p.MojiTbl;
    case StepField::Tate: case StepField::TateCount: return &p.HintTate;
    case StepField::Yoko: case StepField::YokoCount: return &p.HintYoko;
    default: return nullptr;
  }
}

}  // namespace

PuzzleState CaptureState(Puzzle& puzzle, PuzzleKind kind) { return PuzzleState{puzzle.TakeSnapshot(), kind}; }

void DiffStates(const PuzzleState& before, const PuzzleState& after, UndoStep& play, UndoStep& author) {
  const Puzzle::Snapshot& b = before.snapshot;
  const Puzzle::Snapshot& a = after.snapshot;
  play.width = author.width = a.width;
  DiffTable(StepField::Input, b.input, a.input, play);
  if (b.width != a.width) author.changes.push_back({StepField::Width, 0, b.width, a.width, {}, {}});
  if (b.height != a.height) author.changes.push_back({StepField::Height, 0, b.height, a.height, {}, {}});
  if (b.width == a.width && b.height == a.height) {
    DiffTable(StepField::Cell, b.cells, a.cells, author);
  } else {
    author.changes.push_back({StepField::Cells, 0, b.width, a.width, Bytes(b.cells), Bytes(a.cells)});
  }
  if (b.title != a.title) author.changes.push_back({StepField::Title, 0, 0, 0, b.title, a.title});
  if (b.password != a.password) author.changes.push_back({StepField::Password, 0, 0, 0, b.password, a.password});
  if (before.kind != after.kind) {
    author.changes.push_back({StepField::Kind, 0, static_cast<std::int32_t>(before.kind),
                              static_cast<std::int32_t>(after.kind), {}, {}});
  }
  DiffTable(StepField::Kaitou, b.kaitou, a.kaitou, author);
  DiffTable(StepField::Syoki, b.syoki, a.syoki, author);
  DiffTable(StepField::Anser, b.anser, a.anser, author);
  DiffTable(StepField::Hint, b.hint, a.hint, author);
  DiffList(StepField::Moji, StepField::MojiCount, b.moji, a.moji, author);
  DiffList(StepField::Tate, StepField::TateCount, b.tate, a.tate, author);
  DiffList(StepField::Yoko, StepField::YokoCount, b.yoko, a.yoko, author);
}

void ApplyStep(Puzzle& puzzle, PuzzleKind& kind, const UndoStep& step, bool undo) {
  // A list that changes length is first made long enough for every entry the step names, and
  // cut to its length afterwards.
  std::vector<std::pair<TextList*, std::int32_t>> lengths;
  for (const StepChange& c : step.changes) {
    const std::int32_t value = undo ? c.before : c.after;
    if (TextList* list = ListOf(puzzle, c.field); list != nullptr && c.field >= StepField::MojiCount) {
      list->resize(static_cast<std::size_t>(std::max({c.before, c.after, 0})));
      lengths.emplace_back(list, std::max(value, 0));
    }
  }
  CellsLock cells(puzzle);
  for (const StepChange& c : step.changes) {
    const std::int32_t value = undo ? c.before : c.after;
    const std::string& text = undo ? c.textBefore : c.textAfter;
    const auto entry = static_cast<std::size_t>(c.index);
    switch (c.field) {
      case StepField::Cell:
        if (step.width > 0) cells.set(c.index % step.width, c.index / step.width, static_cast<std::uint8_t>(value));
        break;
      case StepField::Kaitou: Put(puzzle.Kaitou, entry, value); break;
      case StepField::Syoki: Put(puzzle.Syoki, entry, value); break;
      case StepField::Anser: case StepField::Input: case StepField::Hint:
        Put(*TableOf(puzzle, c.field), entry, value);
        break;
      case StepField::Moji: case StepField::Tate: case StepField::Yoko: {
        TextList& list = *ListOf(puzzle, c.field);
        if (entry >= list.size()) list.resize(entry + 1);
        list[entry] = text;
        break;
      }
      case StepField::MojiCount: case StepField::TateCount: case StepField::YokoCount: break;
      case StepField::Width: puzzle.GridWidth = value; break;
      case StepField::Height: puzzle.GridHeight = value; break;
      case StepField::Title: puzzle.Title = text; break;
      case StepField::Password: puzzle.Password = text; break;
      case StepField::Kind: kind = static_cast<PuzzleKind>(value); break;
      case StepField::Cells:
        if (value > 0) {
          for (std::size_t i = 0; i < text.size(); ++i) {
            cells.set(static_cast<std::int64_t>(i) % value, static_cast<std::int64_t>(i) / value,
                      static_cast<std::uint8_t>(text[i]));
          }
        }
        break;
    }
  }
  for (const auto& [list, length] : lengths) list->resize(static_cast<std::size_t>(length));
}

bool StepTouches(const UndoStep& step, StepField field) {
  return std::any_of(step.changes.begin(), step.changes.end(),
                     [field](const StepChange& c) { return c.field == field; });
}

std::size_t UndoStep::Bytes() const {
  std::size_t n = sizeof(UndoStep) + changes.capacity() * sizeof(StepChange);
  for (const StepChange& c : changes) n += c.textBefore.capacity() + c.textAfter.capacity();
  return n;
}

UndoHistory::UndoHistory(std::size_t maxSteps, std::size_t maxBytes)
    : maxSteps_(std::max<std::size_t>(maxSteps, 1)), maxBytes_(maxBytes) {}

void UndoHistory::Push(UndoStep step) {
  if (step.empty()) return;
  while (steps_.size() > index_) {
    bytes_ -= steps_.back().Bytes();
    steps_.pop_back();
  }
  if (saved_ > static_cast<std::int64_t>(index_)) saved_ = -1;
  if (step.mergeKey != 0 && index_ > 0 && steps_.back().mergeKey == step.mergeKey && !AtSaved()) {
    UndoStep& top = steps_.back();
    bytes_ -= top.Bytes();
    for (StepChange& c : step.changes) {
      const auto same = std::find_if(top.changes.begin(), top.changes.end(), [&](const StepChange& t) {
        return t.field == c.field && t.index == c.index;
      });
      if (same == top.changes.end()) {
        top.changes.push_back(std::move(c));
      } else {
        same->after = c.after;
        same->textAfter = std::move(c.textAfter);
      }
    }
    top.cursorX = step.cursorX;
    top.cursorY = step.cursorY;
    bytes_ += top.Bytes();
    return;
  }
  bytes_ += step.Bytes();
  steps_.push_back(std::move(step));
  ++index_;
  Trim();
}

void UndoHistory::Trim() {
  while (steps_.size() > 1 && (steps_.size() > maxSteps_ || bytes_ > maxBytes_)) {
    bytes_ -= steps_.front().Bytes();
    steps_.pop_front();
    --index_;
    saved_ = saved_ > 0 ? saved_ - 1 : -1;
  }
}

const UndoStep* UndoHistory::Undo() {
  if (!CanUndo()) return nullptr;
  return &steps_[--index_];
}

const UndoStep* UndoHistory::Redo() {
  if (!CanRedo()) return nullptr;
  return &steps_[index_++];
}

void UndoHistory::Reset() {
  steps_.clear();
  index_ = 0;
  saved_ = 0;
  bytes_ = 0;
}

void UndoHistory::Clear() {
  const bool saved = AtSaved();
  Reset();
  if (!saved) saved_ = -1;
}

}  // namespace teku
