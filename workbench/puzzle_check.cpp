#include "workbench/puzzle_check.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <unordered_map>

#include "app/puzzle_model.h"
#include "app/word_slots.h"
#include "services/cp932.h"

namespace teku {

namespace {

using Index = std::size_t;

// The message texts are written here in UTF-8 and handed on in the model's code page.
std::string J(const char* utf8) { return Utf8ToCp932Lossy(utf8); }

// Everything the checks read, taken from the puzzle once.
struct Grid {
  std::int32_t w = 0, h = 0;
  std::vector<std::uint8_t> cells;  // row-major
  const Puzzle* p = nullptr;

  Index at(std::int32_t x, std::int32_t y) const {
    return static_cast<Index>(y) * static_cast<Index>(w) + static_cast<Index>(x);
  }
  bool open(std::int32_t x, std::int32_t y) const {
    return x >= 0 && y >= 0 && x < w && y < h && OpenCellValue(cells[at(x, y)]);
  }
  CheckCell cell(Index i) const {
    return {static_cast<std::int32_t>(i % static_cast<Index>(w)), static_cast<std::int32_t>(i / static_cast<Index>(w))};
  }
  // The character of number n, or empty when it has none that can be drawn.
  const std::string& character(std::int32_t n) const {
    static const std::string kEmpty;
    const std::int32_t c = TableAt(p->AnserTbl, n);
    return c >= 1 && c <= 254 ? TextAt(p->MojiTbl, c) : kEmpty;
  }
};

struct NumberUse {
  std::int32_t count = 0;
  Index first = 0;
};

void Add(std::vector<CheckProblem>& out, CheckKind kind, CheckSeverity severity,
         std::vector<std::int32_t> numbers, std::string text, std::vector<CheckCell> cells) {
  out.push_back({kind, severity, std::move(numbers), std::move(text), std::move(cells)});
}

// ---- numbers and characters ------------------------------------------------------------------

void CheckNumbers(const Grid& g, PuzzleKind kind, const std::array<NumberUse, 256>& use,
                  std::vector<CheckProblem>& out) {
  const bool nankuro = kind == PuzzleKind::Nankuro;
  std::unordered_map<std::string_view, std::vector<std::int32_t>> byCharacter;
  for (std::int32_t n = 1; n <= 254; ++n) {
    const NumberUse& u = use[static_cast<Index>(n)];
    const std::string& ch = g.character(n);
    if (u.count == 0) {
      if (TableAt(g.p->AnserTbl, n) != kNone) {
        Add(out, CheckKind::UncarriedNumber, CheckSeverity::Warning, {n}, ch, {});
      }
      continue;
    }
    if (ch.empty()) {
      std::vector<CheckCell> cells;
      for (Index i = u.first; i < g.cells.size(); ++i) {
        if (g.cells[i] == n) cells.push_back(g.cell(i));
      }
      Add(out, CheckKind::EmptyCharacter, CheckSeverity::Error, {n}, {}, std::move(cells));
      continue;
    }
    if (nankuro) {
      byCharacter[ch].push_back(n);
      if (u.count == 1) Add(out, CheckKind::SingleUse, CheckSeverity::Warning, {n}, ch, {g.cell(u.first)});
    }
  }
  for (auto& [ch, numbers] : byCharacter) {
    if (numbers.size() < 2) continue;
    std::vector<CheckCell> cells;
    for (std::int32_t n : numbers) cells.push_back(g.cell(use[static_cast<Index>(n)].first));
    Add(out, CheckKind::SharedCharacter, CheckSeverity::Error, numbers, std::string(ch), std::move(cells));
  }

  // Characters no number stands for may be there on purpose (a full kana table for the player
  // to pick from), so they are listed once, as information.
  std::array<bool, 256> referenced{};
  for (std::int32_t n = 0; n < kTableEntries; ++n) {
    const std::int32_t c = g.p->AnserTbl[static_cast<Index>(n)];
    if (c >= 0 && c < kTableEntries) referenced[static_cast<Index>(c)] = true;
  }
  std::string unused;
  for (std::int32_t c = 1; c <= 254; ++c) {
    const std::string& text = TextAt(g.p->MojiTbl, c);
    if (text.empty() || referenced[static_cast<Index>(c)]) continue;
    if (!unused.empty()) unused += ' ';
    unused += text;
  }
  if (!unused.empty()) Add(out, CheckKind::UnusedCharacter, CheckSeverity::Info, {}, unused, {});
}

// ---- words -----------------------------------------------------------------------------------

void CheckWords(const Grid& g, const std::vector<WordSlot>& slots, std::vector<CheckProblem>& out) {
  // A cell without a character reads as its number, so that it never matches a character.
  std::array<std::string, 256> spelling;
  for (std::int32_t n = 1; n <= 254; ++n) {
    const std::string& ch = g.character(n);
    spelling[static_cast<Index>(n)] = ch.empty() ? "\x01" + std::to_string(n) + "\x01" : ch;
  }
  std::unordered_map<std::string, std::vector<Index>> seen;
  seen.reserve(slots.size());
  std::vector<std::string> order;
  for (Index s = 0; s < slots.size(); ++s) {
    const WordSlot& slot = slots[s];
    std::string word;
    for (std::int32_t i = 0; i < slot.length; ++i) word += spelling[g.cells[g.at(slot.CellX(i), slot.CellY(i))]];
    auto [it, fresh] = seen.try_emplace(std::move(word));
    if (fresh) order.push_back(it->first);
    it->second.push_back(s);
  }
  for (const std::string& word : order) {
    const std::vector<Index>& where = seen[word];
    if (where.size() < 2) continue;
    std::vector<CheckCell> cells;
    for (Index s : where) cells.push_back({slots[s].x, slots[s].y});
    Add(out, CheckKind::RepeatedWord, CheckSeverity::Warning, {static_cast<std::int32_t>(where.size())}, word,
        std::move(cells));
  }
}

// ---- blocked cells ---------------------------------------------------------------------------

void CheckBlocks(const Grid& g, std::uint32_t rules, std::vector<CheckProblem>& out) {
  const auto blocked = [&](std::int32_t x, std::int32_t y) { return !g.open(x, y); };
  const auto inside = [&](std::int32_t x, std::int32_t y) { return x >= 0 && y >= 0 && x < g.w && y < g.h; };
  for (std::int32_t y = 0; y < g.h; ++y) {
    for (std::int32_t x = 0; x < g.w; ++x) {
      if (blocked(x, y)) {
        if ((rules & kRuleAdjacentBlocks) != 0) {
          if (x + 1 < g.w && blocked(x + 1, y)) {
            Add(out, CheckKind::AdjacentBlocks, CheckSeverity::Warning, {}, {}, {{x, y}, {x + 1, y}});
          }
          if (y + 1 < g.h && blocked(x, y + 1)) {
            Add(out, CheckKind::AdjacentBlocks, CheckSeverity::Warning, {}, {}, {{x, y}, {x, y + 1}});
          }
        }
        continue;
      }
      int walls = 0;
      for (const auto& [dx, dy] : {std::pair{-1, 0}, std::pair{1, 0}, std::pair{0, -1}, std::pair{0, 1}}) {
        if (!inside(x + dx, y + dy) || blocked(x + dx, y + dy)) ++walls;
      }
      const bool lone = walls == 4 && (rules & kRuleLoneCell) != 0;
      if (lone) Add(out, CheckKind::LoneCell, CheckSeverity::Warning, {}, {}, {{x, y}});
      if (walls >= 3 && !lone && (rules & kRuleWalledCell) != 0) {
        Add(out, CheckKind::WalledCell, CheckSeverity::Warning, {}, {}, {{x, y}});
      }
    }
  }
  if ((rules & kRuleBlockedCorner) != 0) {
    std::vector<CheckCell> corners = {{0, 0}, {g.w - 1, 0}, {0, g.h - 1}, {g.w - 1, g.h - 1}};
    std::sort(corners.begin(), corners.end(), [](CheckCell a, CheckCell b) { return a.y != b.y ? a.y < b.y : a.x < b.x; });
    corners.erase(std::unique(corners.begin(), corners.end()), corners.end());
    for (const CheckCell c : corners) {
      if (blocked(c.x, c.y)) Add(out, CheckKind::BlockedCorner, CheckSeverity::Warning, {}, {}, {c});
    }
  }
  const auto symmetry = [&](CheckKind kind, bool turn) {
    std::vector<CheckCell> cells;
    for (std::int32_t y = 0; y < g.h; ++y) {
      for (std::int32_t x = 0; x < g.w; ++x) {
        const std::int32_t mx = g.w - 1 - x, my = turn ? g.h - 1 - y : y;
        if (blocked(x, y) != blocked(mx, my)) cells.push_back({x, y});
      }
    }
    if (!cells.empty()) {
      const auto pairs = static_cast<std::int32_t>(cells.size() / 2);
      Add(out, kind, CheckSeverity::Warning, {pairs}, {}, std::move(cells));
    }
  };
  if ((rules & kRuleRotational) != 0) symmetry(CheckKind::NotRotational, true);
  if ((rules & kRuleMirror) != 0) symmetry(CheckKind::NotMirrored, false);

  if ((rules & kRuleConnected) != 0) {
    // Every group of white cells but the largest is cut off; ties go to the first in reading order.
    std::vector<std::int32_t> group(g.cells.size(), -1);
    std::vector<std::vector<Index>> groups;
    std::vector<Index> stack;
    for (Index start = 0; start < g.cells.size(); ++start) {
      if (group[start] >= 0 || !OpenCellValue(g.cells[start])) continue;
      const auto id = static_cast<std::int32_t>(groups.size());
      groups.emplace_back();
      group[start] = id;
      stack.push_back(start);
      while (!stack.empty()) {
        const Index i = stack.back();
        stack.pop_back();
        groups.back().push_back(i);
        const CheckCell c = g.cell(i);
        for (const auto& [dx, dy] : {std::pair{-1, 0}, std::pair{1, 0}, std::pair{0, -1}, std::pair{0, 1}}) {
          if (!g.open(c.x + dx, c.y + dy)) continue;
          const Index j = g.at(c.x + dx, c.y + dy);
          if (group[j] < 0) {
            group[j] = id;
            stack.push_back(j);
          }
        }
      }
    }
    if (groups.size() > 1) {
      Index largest = 0;
      for (Index k = 1; k < groups.size(); ++k) {
        if (groups[k].size() > groups[largest].size()) largest = k;
      }
      for (Index k = 0; k < groups.size(); ++k) {
        if (k == largest) continue;
        std::sort(groups[k].begin(), groups[k].end());
        std::vector<CheckCell> cells;
        for (Index i : groups[k]) cells.push_back(g.cell(i));
        const auto size = static_cast<std::int32_t>(cells.size());
        Add(out, CheckKind::SplitGrid, CheckSeverity::Warning, {size}, {}, std::move(cells));
      }
    }
  }
}

// ---- answer word, given cells, clues ---------------------------------------------------------

void CheckSlots(const Grid& g, const std::array<NumberUse, 256>& use, std::vector<CheckProblem>& out) {
  for (std::int32_t k = 0; k < kSlotCount; ++k) {
    const std::int32_t n = g.p->Kaitou[static_cast<Index>(k)];
    if (n == kEmptyCell || n == kNone) continue;
    if (n < 1 || n > 254 || use[static_cast<Index>(n)].count == 0) {
      Add(out, CheckKind::AnswerWordNumber, CheckSeverity::Error, {k + 1, n}, {}, {});
    }
  }
  for (std::int32_t k = 0; k < kSlotCount; ++k) {
    const std::int32_t v = g.p->Syoki[static_cast<Index>(k)];
    if (!g.p->SyokiNamesCell(v)) continue;
    const CheckCell c = g.cell(static_cast<Index>(v));
    const std::uint8_t n = g.cells[static_cast<Index>(v)];
    if (!OpenCellValue(n)) {
      Add(out, CheckKind::GivenOnEmpty, CheckSeverity::Error, {k + 1}, {}, {c});
    } else if (g.character(n).empty()) {
      Add(out, CheckKind::GivenWithoutAnswer, CheckSeverity::Error, {k + 1, n}, {}, {c});
    }
  }
}

void CheckClues(const Grid& g, const std::vector<WordSlot>& slots, std::vector<CheckProblem>& out) {
  // Per cell: bit 1 starts a word across, bit 2 down.
  std::vector<std::uint8_t> starts(g.cells.size(), 0);
  for (const WordSlot& s : slots) starts[g.at(s.x, s.y)] |= s.down ? 2 : 1;
  std::vector<std::int32_t> clueOf(g.cells.size(), -1);
  for (std::int32_t k = 0; k < kTableEntries; ++k) {
    const std::int32_t v = g.p->HintTbl[static_cast<Index>(k)];
    if (v == 0 || v == kNone) continue;
    const std::int64_t cell = v == kClueOfCell255 ? 255 : std::int64_t{v} - 1;
    if (cell < 0 || cell >= static_cast<std::int64_t>(g.cells.size()) || starts[static_cast<Index>(cell)] == 0) {
      std::vector<CheckCell> cells;
      if (cell >= 0 && cell < static_cast<std::int64_t>(g.cells.size())) cells.push_back(g.cell(static_cast<Index>(cell)));
      Add(out, CheckKind::ClueWithoutWord, CheckSeverity::Error, {k + 1}, {}, std::move(cells));
    } else if (clueOf[static_cast<Index>(cell)] < 0) {
      clueOf[static_cast<Index>(cell)] = k;
    }
  }
  for (Index i = 0; i < starts.size(); ++i) {
    if (starts[i] == 0) continue;
    const std::int32_t k = clueOf[i];
    // numbers: the clue slot (0 when none) and which texts are missing (1 across, 2 down).
    std::int32_t missing = 0;
    if ((starts[i] & 1) != 0 && (k < 0 || TextAt(g.p->HintYoko, k).empty())) missing |= 1;
    if ((starts[i] & 2) != 0 && (k < 0 || TextAt(g.p->HintTate, k).empty())) missing |= 2;
    if (missing != 0) Add(out, CheckKind::WordWithoutClue, CheckSeverity::Error, {k + 1, missing}, {}, {g.cell(i)});
  }
}

}  // namespace

const std::vector<CheckRuleName>& CheckRuleNames() {
  static const std::vector<CheckRuleName> names = {
      {kRuleLoneCell, "lone", "一文字だけの語を禁止"},
      {kRuleAdjacentBlocks, "adjacent", "連黒禁（黒マスの隣り合わせ）"},
      {kRuleBlockedCorner, "corner", "四隅黒禁"},
      {kRuleWalledCell, "walled", "三方を囲まれた白マスを禁止"},
      {kRuleConnected, "connected", "分断禁（白マスはすべてつながる）"},
      {kRuleRotational, "rotational", "点対称"},
      {kRuleMirror, "mirror", "左右対称"},
  };
  return names;
}

bool ParseCheckRules(const std::string& list, std::uint32_t& rules, std::string& badName) {
  std::uint32_t out = 0;
  std::size_t from = 0;
  while (from <= list.size()) {
    const std::size_t comma = std::min(list.find(',', from), list.size());
    const std::string name = list.substr(from, comma - from);
    from = comma + 1;
    if (name.empty() || name == "none") continue;
    if (name == "all") {
      out |= kAllCheckRules;
      continue;
    }
    const auto& names = CheckRuleNames();
    const auto it = std::find_if(names.begin(), names.end(), [&](const CheckRuleName& r) { return name == r.name; });
    if (it == names.end()) {
      badName = name;
      return false;
    }
    out |= it->rule;
  }
  rules = out;
  return true;
}

std::string CheckRulesText(std::uint32_t rules) {
  std::string out;
  for (const CheckRuleName& r : CheckRuleNames()) {
    if ((rules & r.rule) == 0) continue;
    if (!out.empty()) out += ',';
    out += r.name;
  }
  return out.empty() ? "none" : out;
}

std::vector<CheckProblem> CheckPuzzle(Puzzle& puzzle, PuzzleKind kind, std::uint32_t rules) {
  Grid g;
  g.w = puzzle.GridWidth;
  g.h = puzzle.GridHeight;
  g.p = &puzzle;
  g.cells = RowMajorCells(puzzle);
  std::vector<CheckProblem> out;
  if (g.w <= 0 || g.h <= 0 || g.cells.size() != static_cast<Index>(g.w) * static_cast<Index>(g.h)) return out;

  std::array<NumberUse, 256> use{};
  for (Index i = 0; i < g.cells.size(); ++i) {
    NumberUse& u = use[g.cells[i]];
    if (u.count++ == 0) u.first = i;
  }
  const std::vector<WordSlot> slots = FindWordSlots(g.w, g.h, g.cells);
  CheckNumbers(g, kind, use, out);
  CheckWords(g, slots, out);
  CheckBlocks(g, rules, out);
  CheckSlots(g, use, out);
  if (kind == PuzzleKind::Crossword) CheckClues(g, slots, out);

  const auto key = [](const CheckProblem& p) {
    const CheckCell c = p.cells.empty() ? CheckCell{-1, -1} : p.cells.front();
    return std::tuple(static_cast<int>(p.severity), c.y, c.x);
  };
  std::stable_sort(out.begin(), out.end(), [&](const CheckProblem& a, const CheckProblem& b) { return key(a) < key(b); });
  return out;
}

const char* CheckKindName(CheckKind kind) {
  switch (kind) {
    case CheckKind::SharedCharacter: return "shared-character";
    case CheckKind::EmptyCharacter: return "empty-character";
    case CheckKind::UnusedCharacter: return "unused-character";
    case CheckKind::SingleUse: return "single-use";
    case CheckKind::UncarriedNumber: return "uncarried-number";
    case CheckKind::RepeatedWord: return "repeated-word";
    case CheckKind::LoneCell: return "lone-cell";
    case CheckKind::AdjacentBlocks: return "adjacent-blocks";
    case CheckKind::BlockedCorner: return "blocked-corner";
    case CheckKind::WalledCell: return "walled-cell";
    case CheckKind::SplitGrid: return "split-grid";
    case CheckKind::NotRotational: return "not-rotational";
    case CheckKind::NotMirrored: return "not-mirrored";
    case CheckKind::AnswerWordNumber: return "answer-word-number";
    case CheckKind::GivenOnEmpty: return "given-on-empty";
    case CheckKind::GivenWithoutAnswer: return "given-without-answer";
    case CheckKind::WordWithoutClue: return "word-without-clue";
    case CheckKind::ClueWithoutWord: return "clue-without-word";
  }
  return "unknown";
}

std::string SeverityText(CheckSeverity severity) {
  switch (severity) {
    case CheckSeverity::Error: return J("エラー");
    case CheckSeverity::Warning: return J("警告");
    case CheckSeverity::Info: return J("参考");
  }
  return {};
}

std::string CellsText(const std::vector<CheckCell>& cells, std::size_t limit) {
  std::string out;
  for (std::size_t i = 0; i < cells.size() && i < limit; ++i) {
    if (i != 0) out += ' ';
    out += "(" + std::to_string(cells[i].x + 1) + "," + std::to_string(cells[i].y + 1) + ")";
  }
  if (cells.size() > limit) out += J(" ほか") + std::to_string(cells.size() - limit) + J("マス");
  return out;
}

std::string DescribeProblem(const CheckProblem& p) {
  const auto num = [&](std::size_t i) { return i < p.numbers.size() ? std::to_string(p.numbers[i]) : std::string(); };
  const std::string quoted = J("「") + p.text + J("」");
  switch (p.kind) {
    case CheckKind::SharedCharacter: {
      std::string list;
      for (std::size_t i = 0; i < p.numbers.size(); ++i) list += (i == 0 ? "" : J("・")) + num(i);
      return J("番号 ") + list + J(" が同じ文字") + quoted + J("です");
    }
    case CheckKind::EmptyCharacter: return J("番号 ") + num(0) + J(" に文字がありません");
    case CheckKind::UnusedCharacter: return J("どの番号にも使われていない文字: ") + p.text;
    case CheckKind::SingleUse: return J("番号 ") + num(0) + J("（") + p.text + J("）が1マスにしかありません");
    case CheckKind::UncarriedNumber:
      return J("番号 ") + num(0) + (p.text.empty() ? "" : J("（") + p.text + J("）")) + J(" はどのマスにもありません");
    case CheckKind::RepeatedWord: return J("同じ語") + quoted + J("が ") + num(0) + J(" か所にあります");
    case CheckKind::LoneCell: return J("どの語にも入らない1文字のマスです");
    case CheckKind::AdjacentBlocks: return J("黒マスが隣り合っています（連黒）");
    case CheckKind::BlockedCorner: return J("四隅が黒マスです");
    case CheckKind::WalledCell: return J("三方を囲まれた白マスです");
    case CheckKind::SplitGrid: return J("白マス ") + num(0) + J("個がほかから切り離されています（分断）");
    case CheckKind::NotRotational: return J("黒マスが点対称ではありません（") + num(0) + J("組）");
    case CheckKind::NotMirrored: return J("黒マスが左右対称ではありません（") + num(0) + J("組）");
    case CheckKind::AnswerWordNumber:
      return J("答えの ") + num(0) + J(" 文字目の番号 ") + num(1) + J(" はどのマスにもありません");
    case CheckKind::GivenOnEmpty: return J("初期表示の ") + num(0) + J(" 番目のマスに番号がありません");
    case CheckKind::GivenWithoutAnswer:
      return J("初期表示の ") + num(0) + J(" 番目のマス（番号 ") + num(1) + J("）に答えの文字がありません");
    case CheckKind::WordWithoutClue: {
      const std::int32_t missing = p.numbers.size() > 1 ? p.numbers[1] : 3;
      const std::string which = missing == 3 ? J("たて・よこ") : missing == 2 ? J("たて") : J("よこ");
      return J("語の始まりに") + which + J("のヒントがありません");
    }
    case CheckKind::ClueWithoutWord: return J("ヒント ") + num(0) + J(" のマスから始まる語がありません");
  }
  return {};
}

bool HasRealProblem(const std::vector<CheckProblem>& problems) {
  return std::any_of(problems.begin(), problems.end(),
                     [](const CheckProblem& p) { return p.severity != CheckSeverity::Info; });
}

std::string CheckSummary(const std::vector<CheckProblem>& problems) {
  std::array<std::size_t, 3> count{};
  for (const CheckProblem& p : problems) ++count[static_cast<std::size_t>(p.severity)];
  if (count[0] == 0 && count[1] == 0) {
    return J("問題なし") + (count[2] == 0 ? std::string() : J("（参考 ") + std::to_string(count[2]) + J("件）"));
  }
  return J("エラー ") + std::to_string(count[0]) + J("件・警告 ") + std::to_string(count[1]) + J("件・参考 ") +
         std::to_string(count[2]) + J("件");
}

}  // namespace teku
