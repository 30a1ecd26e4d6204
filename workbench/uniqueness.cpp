#include "workbench/uniqueness.h"

#include <algorithm>
#include <chrono>

#include "app/puzzle_model.h"
#include "services/cp932.h"

namespace teku {

namespace {

using Clock = std::chrono::steady_clock;

// The limits of one check within a run of checks that share one time limit.
SolverLimits Remaining(const SolverLimits& limits, Clock::time_point start) {
  SolverLimits out = limits;
  if (limits.timeLimit.count() > 0) {
    out.timeLimit = std::max(limits.timeLimit - (Clock::now() - start), Clock::duration(1));
  }
  return out;
}

bool Stopped(SolveStatus s) {
  return s == SolveStatus::kCancelled || s == SolveStatus::kTimedOut || s == SolveStatus::kTooLarge;
}

}  // namespace

NumberGrid NumberGridOf(Puzzle& puzzle) {
  NumberGrid g;
  g.width = puzzle.GridWidth;
  g.height = puzzle.GridHeight;
  g.cells = RowMajorCells(puzzle);
  for (int n = 1; n <= 254; ++n) {
    const std::int32_t k = puzzle.AnserTbl[static_cast<std::size_t>(n)];
    if (k >= 1 && k <= 254) g.answer[static_cast<std::size_t>(n)] = Cp932ToUtf8(TextAt(puzzle.MojiTbl, k));
  }
  for (const std::int32_t s : puzzle.Syoki) {
    if (puzzle.SyokiNamesCell(s) && std::find(g.givens.begin(), g.givens.end(), s) == g.givens.end()) {
      g.givens.push_back(s);
    }
  }
  return g;
}

PuzzleSolver::PuzzleSolver(NumberGrid grid, WordList& words) : grid_(std::move(grid)), words_(words) {
  slots_ = FindWordSlots(grid_.width, grid_.height, grid_.cells);
  if (slots_.empty()) {
    problem_ = "盤面に2マス以上続く言葉がありません";
    return;
  }
  for (int n = 1; n <= 254; ++n) {
    const std::string& text = grid_.answer[static_cast<std::size_t>(n)];
    if (text.empty()) continue;
    const std::optional<CodedWord> kana = CodeWord(text);
    if (kana && kana->size() == 1) {
      answerCode_[static_cast<std::size_t>(n)] = static_cast<std::uint8_t>((*kana)[0]);
      continue;
    }
    // Anything else (a kanji, two characters in one cell) can only be matched by the puzzle's
    // own words, under a code of its own.
    auto it = std::find(puzzleCharacters_.begin(), puzzleCharacters_.end(), text);
    if (it == puzzleCharacters_.end()) {
      if (puzzleCharacters_.size() >= 256 - kFirstPuzzleCode) {
        problem_ = "カナ以外の文字が多すぎます";
        return;
      }
      it = puzzleCharacters_.insert(puzzleCharacters_.end(), text);
    }
    answerCode_[static_cast<std::size_t>(n)] =
        static_cast<std::uint8_t>(kFirstPuzzleCode + (it - puzzleCharacters_.begin()));
  }
  for (const WordSlot& slot : slots_) {
    CodedWord w;
    for (std::int32_t i = 0; i < slot.length; ++i) {
      const std::uint8_t n = grid_.cells[static_cast<std::size_t>(slot.CellY(i) * grid_.width + slot.CellX(i))];
      w += static_cast<char>(answerCode_[n]);
    }
    if (w.find('\0') == std::string::npos) words_.Add(w);
  }
}

std::string PuzzleSolver::Text(std::uint8_t code) const {
  if (code >= kFirstPuzzleCode) return puzzleCharacters_[code - kFirstPuzzleCode];
  return KanaText(code);
}

UniquenessReport PuzzleSolver::Check(const SolverLimits& limits) const { return CheckWith(grid_.givens, limits); }

UniquenessReport PuzzleSolver::CheckWith(const std::vector<std::int32_t>& givens, const SolverLimits& limits) const {
  UniquenessReport r;
  r.wordSlots = slots_;
  r.problem = problem_;
  if (!problem_.empty()) return r;
  const auto start = Clock::now();
  const auto numberAt = [this](std::int32_t x, std::int32_t y) {
    return grid_.cells[static_cast<std::size_t>(y * grid_.width + x)];
  };
  SolverGrid sg;
  for (const WordSlot& slot : slots_) {
    std::vector<std::uint8_t> numbers;
    for (std::int32_t i = 0; i < slot.length; ++i) numbers.push_back(numberAt(slot.CellX(i), slot.CellY(i)));
    sg.runs.push_back(std::move(numbers));
  }
  // A given cell shows its number's answer; one without an answer shows nothing and fixes nothing.
  for (const std::int32_t cell : givens) {
    if (cell < 0 || static_cast<std::size_t>(cell) >= grid_.cells.size()) continue;
    const std::uint8_t n = grid_.cells[static_cast<std::size_t>(cell)];
    if (OpenCellValue(n)) sg.given[n] = answerCode_[n];
  }
  const SolveResult result = Solve(sg, words_, limits);
  r.status = result.status;
  r.blockedSlot = result.blockedSlot;
  r.nodes = result.nodes;
  if (result.solutions.size() == 2) {
    const Assignment& a = result.solutions[0];
    const Assignment& b = result.solutions[1];
    for (int n = 1; n <= 254; ++n) {
      r.first[static_cast<std::size_t>(n)] = Text(a[static_cast<std::size_t>(n)]);
      r.second[static_cast<std::size_t>(n)] = Text(b[static_cast<std::size_t>(n)]);
      if (a[static_cast<std::size_t>(n)] != b[static_cast<std::size_t>(n)]) r.differing.push_back(static_cast<std::uint8_t>(n));
    }
    for (std::size_t s = 0; s < slots_.size(); ++s) {
      SlotChange c{static_cast<int>(s), {}, {}};
      for (const std::uint8_t n : sg.runs[s]) {
        c.first += r.first[n];
        c.second += r.second[n];
      }
      if (c.first != c.second) r.changes.push_back(std::move(c));
    }
  } else if (result.solutions.size() == 1) {
    for (int n = 1; n <= 254; ++n) r.first[static_cast<std::size_t>(n)] = Text(result.solutions[0][static_cast<std::size_t>(n)]);
  }
  r.seconds = std::chrono::duration<double>(Clock::now() - start).count();
  return r;
}

Suggestion PuzzleSolver::Suggest(const SolverLimits& limits) const {
  const auto start = Clock::now();
  Suggestion out;
  std::vector<std::int32_t> givens = grid_.givens;
  std::array<int, 256> cellsOf{};
  for (const std::uint8_t n : grid_.cells) {
    if (OpenCellValue(n)) ++cellsOf[n];
  }
  out.report = CheckWith(givens, Remaining(limits, start));
  while (out.report.status == SolveStatus::kSeveral) {
    if (givens.size() >= kMaxGivenCells) {
      out.shortfall = "初期表示マスは32個までです";
      return out;
    }
    // A number the two solutions disagree on, and of those the rarest: a letter that stands in
    // few cells is the one the words around it cannot pin down.
    std::vector<std::uint8_t> choices;
    for (const std::uint8_t n : out.report.differing) {
      if (answerCode_[n] != 0) choices.push_back(n);
    }
    if (choices.empty()) {
      out.shortfall = "別解で変わる数字の正解が入力されていません";
      return out;
    }
    std::stable_sort(choices.begin(), choices.end(),
                     [&cellsOf](std::uint8_t a, std::uint8_t b) { return cellsOf[a] < cellsOf[b]; });
    const std::uint8_t n = choices.front();
    const auto cell = std::find(grid_.cells.begin(), grid_.cells.end(), n) - grid_.cells.begin();
    givens.push_back(static_cast<std::int32_t>(cell));
    out.added.push_back({static_cast<std::int32_t>(cell), n, Text(answerCode_[n])});
    out.report = CheckWith(givens, Remaining(limits, start));
  }
  if (out.report.status != SolveStatus::kUnique || out.added.size() < 2) return out;
  // A later cell may settle what an earlier one was added for: keep only the cells without
  // which the puzzle is no longer unique.
  for (std::size_t k = 0; k < out.added.size();) {
    std::vector<std::int32_t> without = givens;
    std::erase(without, out.added[k].cell);
    const UniquenessReport r = CheckWith(without, Remaining(limits, start));
    if (Stopped(r.status)) return out;
    if (r.status == SolveStatus::kUnique) {
      givens = std::move(without);
      out.added.erase(out.added.begin() + static_cast<std::ptrdiff_t>(k));
      out.report = r;
    } else {
      ++k;
    }
  }
  return out;
}

std::string DescribeSlot(const WordSlot& slot) {
  return std::string(slot.down ? "タテ " : "ヨコ ") + std::to_string(slot.y + 1) + "行" + std::to_string(slot.x + 1) +
         "列から" + std::to_string(slot.length) + "文字";
}

std::string DescribeReport(const UniquenessReport& r) {
  if (!r.problem.empty()) return "チェックできません: " + r.problem + "。";
  const std::string scope = "（使用中の単語リストに対して）";
  switch (r.status) {
    case SolveStatus::kUnique:
      return "解は一つだけです" + scope + "。";
    case SolveStatus::kNoSolution:
      if (r.blockedSlot >= 0 && static_cast<std::size_t>(r.blockedSlot) < r.wordSlots.size()) {
        return "解がありません" + scope + "。" + DescribeSlot(r.wordSlots[static_cast<std::size_t>(r.blockedSlot)]) +
               " に入る言葉がありません。";
      }
      return "解がありません" + scope + "。";
    case SolveStatus::kSeveral: {
      std::string s = "解が二つ以上あります" + scope + "。\n違う数字:";
      for (const std::uint8_t n : r.differing) {
        s += " " + std::to_string(n) + "(" + r.first[n] + "/" + r.second[n] + ")";
      }
      s += "\n変わる言葉:";
      for (const SlotChange& c : r.changes) {
        s += "\n  " + DescribeSlot(r.wordSlots[static_cast<std::size_t>(c.slot)]) + ": " + c.first + " / " + c.second;
      }
      return s;
    }
    case SolveStatus::kCancelled: return "チェックを中止しました。";
    case SolveStatus::kTimedOut: return "制限時間内に決まりませんでした。";
    case SolveStatus::kTooLarge: return "探索が大きすぎてメモリの上限に達しました。";
  }
  return {};
}

}  // namespace teku
