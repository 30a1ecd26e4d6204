#include "workbench/solver.h"

#include <algorithm>
#include <bit>
#include <map>

namespace teku {

namespace {

// A set of codes 0..255.
struct CodeSet {
  std::array<std::uint64_t, 4> w{};
  bool has(std::uint8_t c) const { return (w[c >> 6] >> (c & 63)) & 1; }
  void add(std::uint8_t c) { w[c >> 6] |= std::uint64_t{1} << (c & 63); }
  void remove(std::uint8_t c) { w[c >> 6] &= ~(std::uint64_t{1} << (c & 63)); }
  int count() const { return std::popcount(w[0]) + std::popcount(w[1]) + std::popcount(w[2]) + std::popcount(w[3]); }
  std::uint8_t first() const {
    for (int i = 0; i < 4; ++i) {
      if (w[i] != 0) return static_cast<std::uint8_t>(i * 64 + std::countr_zero(w[i]));
    }
    return 0;
  }
  CodeSet operator&(const CodeSet& o) const {
    CodeSet r;
    for (int i = 0; i < 4; ++i) r.w[i] = w[i] & o.w[i];
    return r;
  }
  bool operator==(const CodeSet&) const = default;
};

struct Stop {};  // unwinds the search when it must end early

class Search {
 public:
  Search(const SolverGrid& grid, const WordList& words, const SolverLimits& limits)
      : words_(words), limits_(limits), start_(std::chrono::steady_clock::now()) {
    // Numbers become dense variables; each slot keeps its variables by position.
    std::array<int, 256> var;
    var.fill(-1);
    for (const auto& slot : grid.runs) {
      Slot s;
      for (const std::uint8_t n : slot) {
        if (var[n] < 0) {
          var[n] = static_cast<int>(numbers_.size());
          numbers_.push_back(n);
        }
        s.vars.push_back(var[n]);
      }
      slots_.push_back(std::move(s));
    }
    domains_.resize(numbers_.size());
    slotsOf_.resize(numbers_.size());
    for (std::size_t s = 0; s < slots_.size(); ++s) {
      Slot& slot = slots_[s];
      for (std::size_t p = 0; p < slot.vars.size(); ++p) {
        const int v = slot.vars[p];
        if (std::find(slot.distinct.begin(), slot.distinct.end(), v) == slot.distinct.end()) {
          slot.distinct.push_back(v);
          slot.firstPos.push_back(static_cast<int>(p));
          slotsOf_[static_cast<std::size_t>(v)].push_back(static_cast<int>(s));
        }
        const auto at = std::find(slot.distinct.begin(), slot.distinct.end(), v) - slot.distinct.begin();
        slot.firstSame.push_back(slot.firstPos[static_cast<std::size_t>(at)]);
      }
    }
    for (std::size_t v = 0; v < numbers_.size(); ++v) {
      const std::uint8_t g = grid.given[numbers_[v]];
      if (g != 0) {
        domains_[v].add(g);
      } else {
        for (int c = 1; c < 256; ++c) domains_[v].add(static_cast<std::uint8_t>(c));
      }
    }
    failures_.assign(slots_.size(), 0);
    inQueue_.assign(slots_.size(), false);
  }

  SolveResult Run() {
    SolveResult result;
    try {
      if (!Root()) {
        result.blockedSlot = blocked_;
      } else {
        Descend();
        if (solutions_.empty()) {
          result.blockedSlot = static_cast<int>(std::max_element(failures_.begin(), failures_.end()) - failures_.begin());
        }
      }
      result.status = solutions_.empty() ? SolveStatus::kNoSolution
                      : solutions_.size() == 1 ? SolveStatus::kUnique : SolveStatus::kSeveral;
    } catch (const Stop&) {
      result.status = stopReason_;
    }
    result.solutions = solutions_;
    result.nodes = nodes_;
    return result;
  }

 private:
  struct Slot {
    std::vector<int> vars;       // by position
    std::vector<int> distinct;   // each variable once
    std::vector<int> firstPos;   // where each of `distinct` first stands
    std::vector<int> firstSame;  // by position: where its variable first stands
    std::size_t offset = 0, size = 0;  // candidates in arena_
  };
  struct ListUndo { int slot; std::size_t offset, size; };
  struct DomainUndo { int var; CodeSet before; };
  struct Level { std::size_t i, n; };

  // Whether a word has the slot's pattern: a number repeated in the slot repeats its character,
  // and two numbers never share one. Each position is compared by where its number (or
  // character) first stands.
  bool FitsPattern(const Slot& slot, std::string_view w) {
    ++stamp_;
    for (std::size_t p = 0; p < w.size(); ++p) {
      const auto c = static_cast<std::uint8_t>(w[p]);
      if (stampOf_[c] != stamp_) {
        stampOf_[c] = stamp_;
        firstOf_[c] = static_cast<int>(p);
      }
      if (firstOf_[c] != slot.firstSame[p]) return false;
    }
    return true;
  }

  bool Root() {
    // Slots of one length and pattern with no given number start from the same list.
    std::map<std::vector<int>, std::pair<std::size_t, std::size_t>> shared;
    for (std::size_t s = 0; s < slots_.size(); ++s) {
      Slot& slot = slots_[s];
      const std::size_t len = slot.vars.size();
      const bool open = std::all_of(slot.distinct.begin(), slot.distinct.end(), [this](int v) {
        return domains_[static_cast<std::size_t>(v)].count() > 1;
      });
      const auto known = shared.find(slot.firstSame);
      if (open && known != shared.end()) {
        slot.offset = known->second.first;
        slot.size = known->second.second;
      } else {
        slot.offset = arena_.size();
        const std::size_t count = words_.Count(len);
        for (std::size_t i = 0; i < count; ++i) {
          const std::string_view w = words_.Word(len, i);
          bool ok = true;
          for (std::size_t d = 0; d < slot.distinct.size() && ok; ++d) {
            ok = domains_[static_cast<std::size_t>(slot.distinct[d])].has(
                static_cast<std::uint8_t>(w[static_cast<std::size_t>(slot.firstPos[d])]));
          }
          if (ok && FitsPattern(slot, w)) Push(static_cast<std::uint32_t>(i));
        }
        slot.size = arena_.size() - slot.offset;
        if (open) shared[slot.firstSame] = {slot.offset, slot.size};
      }
      if (slot.size == 0) {
        blocked_ = static_cast<int>(s);
        return false;
      }
      queue_.push_back(static_cast<int>(s));
      inQueue_[s] = true;
    }
    for (std::size_t v = 0; v < domains_.size(); ++v) {
      if (domains_[v].count() == 1 && !AllDifferent(static_cast<int>(v))) return false;
    }
    return Propagate();
  }

  void Push(std::uint32_t i) {
    if ((arena_.size() + 1) * sizeof(std::uint32_t) > limits_.memoryLimit / 2) Abort(SolveStatus::kTooLarge);
    arena_.push_back(i);
  }

  [[noreturn]] void Abort(SolveStatus why) {
    stopReason_ = why;
    throw Stop{};
  }

  void SetDomain(int v, const CodeSet& d) {
    domainTrail_.push_back({v, domains_[static_cast<std::size_t>(v)]});
    domains_[static_cast<std::size_t>(v)] = d;
    for (const int s : slotsOf_[static_cast<std::size_t>(v)]) {
      if (!inQueue_[static_cast<std::size_t>(s)]) {
        inQueue_[static_cast<std::size_t>(s)] = true;
        queue_.push_back(s);
      }
    }
  }

  // Variable v has one character left: no other variable may take it.
  bool AllDifferent(int v) {
    std::vector<int> settled{v};
    while (!settled.empty()) {
      const int u = settled.back();
      settled.pop_back();
      const std::uint8_t c = domains_[static_cast<std::size_t>(u)].first();
      for (std::size_t o = 0; o < domains_.size(); ++o) {
        if (static_cast<int>(o) == u || !domains_[o].has(c)) continue;
        CodeSet d = domains_[o];
        d.remove(c);
        const int left = d.count();
        if (left == 0) {
          if (!slotsOf_[o].empty()) blocked_ = slotsOf_[o].front();
          return false;
        }
        SetDomain(static_cast<int>(o), d);
        if (left == 1) settled.push_back(static_cast<int>(o));
      }
    }
    return true;
  }

  // Filters the queued slots' candidates by the domains and narrows the domains to what the
  // candidates still allow, until nothing changes.
  bool Propagate() {
    while (!queue_.empty()) {
      // Short lists first: what they settle reaches the long ones before those are scanned, so
      // a long list is scanned once for many changes rather than once for each.
      auto next = queue_.begin();
      for (auto it = queue_.begin(); it != queue_.end(); ++it) {
        if (slots_[static_cast<std::size_t>(*it)].size < slots_[static_cast<std::size_t>(*next)].size) next = it;
      }
      const int s = *next;
      *next = queue_.back();
      queue_.pop_back();
      inQueue_[static_cast<std::size_t>(s)] = false;
      Slot& slot = slots_[static_cast<std::size_t>(s)];
      const std::size_t len = slot.vars.size();
      std::array<CodeSet, 64> seen{};
      const std::size_t distinct = std::min<std::size_t>(slot.distinct.size(), seen.size());
      const std::size_t newOffset = arena_.size();
      for (std::size_t k = 0; k < slot.size; ++k) {
        const std::uint32_t i = arena_[slot.offset + k];
        const std::string_view w = words_.Word(len, i);
        bool ok = true;
        for (std::size_t d = 0; d < slot.distinct.size() && ok; ++d) {
          ok = domains_[static_cast<std::size_t>(slot.distinct[d])].has(static_cast<std::uint8_t>(w[static_cast<std::size_t>(slot.firstPos[d])]));
        }
        if (!ok) continue;
        Push(i);
        for (std::size_t d = 0; d < distinct; ++d) {
          seen[d].add(static_cast<std::uint8_t>(w[static_cast<std::size_t>(slot.firstPos[d])]));
        }
      }
      const std::size_t newSize = arena_.size() - newOffset;
      if (newSize == 0) {
        arena_.resize(newOffset);
        ++failures_[static_cast<std::size_t>(s)];
        blocked_ = s;
        queue_.clear();
        std::fill(inQueue_.begin(), inQueue_.end(), false);
        return false;
      }
      if (newSize == slot.size) {
        arena_.resize(newOffset);
      } else {
        listTrail_.push_back({s, slot.offset, slot.size});
        slot.offset = newOffset;
        slot.size = newSize;
      }
      for (std::size_t d = 0; d < distinct; ++d) {
        const int v = slot.distinct[d];
        const CodeSet before = domains_[static_cast<std::size_t>(v)];
        const CodeSet narrowed = before & seen[d];
        if (narrowed == before) continue;
        SetDomain(v, narrowed);
        if (narrowed.count() == 1 && !AllDifferent(v)) {
          queue_.clear();
          std::fill(inQueue_.begin(), inQueue_.end(), false);
          return false;
        }
      }
    }
    return true;
  }

  void Undo(std::size_t arenaMark, std::size_t listMark, std::size_t domainMark) {
    while (listTrail_.size() > listMark) {
      const ListUndo& u = listTrail_.back();
      slots_[static_cast<std::size_t>(u.slot)].offset = u.offset;
      slots_[static_cast<std::size_t>(u.slot)].size = u.size;
      listTrail_.pop_back();
    }
    while (domainTrail_.size() > domainMark) {
      domains_[static_cast<std::size_t>(domainTrail_.back().var)] = domainTrail_.back().before;
      domainTrail_.pop_back();
    }
    arena_.resize(arenaMark);
  }

  void Check() {
    ++nodes_;
    if ((nodes_ & 63) != 1) return;  // the first node too: a stop asked for before the start
    if (limits_.cancel != nullptr && limits_.cancel->load(std::memory_order_relaxed)) Abort(SolveStatus::kCancelled);
    const auto now = std::chrono::steady_clock::now();
    if (limits_.timeLimit.count() > 0 && now - start_ >= limits_.timeLimit) Abort(SolveStatus::kTimedOut);
    if (limits_.progress && now - lastReport_ >= std::chrono::milliseconds(100)) {
      lastReport_ = now;
      SolverProgress p;
      p.nodes = nodes_;
      double scale = 1;
      for (const Level& l : levels_) {
        p.fraction += scale * static_cast<double>(l.i) / static_cast<double>(l.n);
        scale /= static_cast<double>(l.n);
      }
      limits_.progress(p);
    }
  }

  void Descend() {
    Check();
    // The slot with the fewest words left that is not settled yet; a longer one on a tie,
    // since it ties more numbers down.
    int best = -1;
    for (std::size_t s = 0; s < slots_.size(); ++s) {
      const Slot& slot = slots_[s];
      if (slot.size <= 1) continue;
      if (best < 0 || slot.size < slots_[static_cast<std::size_t>(best)].size ||
          (slot.size == slots_[static_cast<std::size_t>(best)].size &&
           slot.distinct.size() > slots_[static_cast<std::size_t>(best)].distinct.size())) {
        best = static_cast<int>(s);
      }
    }
    if (best < 0) {
      Assignment a{};
      for (std::size_t v = 0; v < numbers_.size(); ++v) a[numbers_[v]] = domains_[v].first();
      solutions_.push_back(a);
      return;
    }
    const std::size_t s = static_cast<std::size_t>(best);
    const std::size_t offset = slots_[s].offset, size = slots_[s].size;
    const std::size_t len = slots_[s].vars.size();
    levels_.push_back({0, size});
    for (std::size_t k = 0; k < size && solutions_.size() < 2; ++k) {
      levels_.back().i = k;
      const std::size_t arenaMark = arena_.size(), listMark = listTrail_.size(), domainMark = domainTrail_.size();
      const std::uint32_t i = arena_[offset + k];
      const std::string_view w = words_.Word(len, i);
      listTrail_.push_back({static_cast<int>(s), slots_[s].offset, slots_[s].size});
      Push(i);
      slots_[s].offset = arena_.size() - 1;
      slots_[s].size = 1;
      bool ok = true;
      for (std::size_t d = 0; d < slots_[s].distinct.size() && ok; ++d) {
        const int v = slots_[s].distinct[d];
        const std::uint8_t c = static_cast<std::uint8_t>(w[static_cast<std::size_t>(slots_[s].firstPos[d])]);
        // Numbers settled since the slot was last filtered may already rule the word out.
        const CodeSet& now = domains_[static_cast<std::size_t>(v)];
        if (!now.has(c)) {
          ok = false;
          break;
        }
        if (now.count() == 1) continue;
        CodeSet one;
        one.add(c);
        SetDomain(v, one);
        ok = AllDifferent(v);
      }
      inQueue_[s] = false;
      std::erase(queue_, static_cast<int>(s));
      if (ok && Propagate()) {
        Descend();
      } else {
        queue_.clear();
        std::fill(inQueue_.begin(), inQueue_.end(), false);
      }
      Undo(arenaMark, listMark, domainMark);
    }
    levels_.pop_back();
  }

  const WordList& words_;
  const SolverLimits& limits_;
  std::chrono::steady_clock::time_point start_, lastReport_{};
  std::vector<std::uint8_t> numbers_;  // variable -> number
  std::vector<CodeSet> domains_;
  std::vector<std::vector<int>> slotsOf_;
  std::vector<Slot> slots_;
  std::vector<std::uint32_t> arena_;
  std::vector<ListUndo> listTrail_;
  std::vector<DomainUndo> domainTrail_;
  std::vector<int> queue_;
  std::vector<bool> inQueue_;
  std::vector<std::uint64_t> failures_;
  std::vector<Level> levels_;
  std::vector<Assignment> solutions_;
  int blocked_ = -1;
  std::array<std::uint32_t, 256> stampOf_{};
  std::array<int, 256> firstOf_{};
  std::uint32_t stamp_ = 0;
  std::uint64_t nodes_ = 0;
  SolveStatus stopReason_ = SolveStatus::kCancelled;
};

}  // namespace

SolveResult Solve(const SolverGrid& grid, const WordList& words, const SolverLimits& limits) {
  Search search(grid, words, limits);
  return search.Run();
}

}  // namespace teku
