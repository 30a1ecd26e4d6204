#include "workbench/letter_grid.h"

#include <array>
#include <map>
#include <unordered_map>
#include <vector>

#include "app/puzzle_model.h"
#include "app/word_slots.h"
#include "services/cp932.h"

namespace teku {

namespace {

using Index = std::size_t;

// The character of number n, or empty when it has none that can be drawn.
const std::string& CharacterOf(const Puzzle& p, std::int32_t n) {
  static const std::string kEmpty;
  const std::int32_t c = TableAt(p.AnserTbl, n);
  return c >= 1 && c <= 254 ? TextAt(p.MojiTbl, c) : kEmpty;
}

void EnsureTable(Puzzle& p) {
  if (p.MojiTbl.size() < static_cast<Index>(kTableEntries)) p.MojiTbl.resize(kTableEntries);
}

// How many cells in use carry each number.
std::array<std::int32_t, 256> CountNumbers(Puzzle& p) {
  std::array<std::int32_t, 256> count{};
  for (const std::uint8_t v : RowMajorCells(p)) ++count[v];
  return count;
}

// A table entry 1..254 that holds `text`, else the first empty one that no number points at.
std::int32_t EntryFor(const Puzzle& p, const std::string& text, const std::array<bool, 256>& taken) {
  for (std::int32_t c = 1; c <= 254; ++c) {
    if (TextAt(p.MojiTbl, c) == text) return c;
  }
  for (std::int32_t c = 1; c <= 254; ++c) {
    if (TextAt(p.MojiTbl, c).empty() && !taken[static_cast<Index>(c)]) return c;
  }
  return kNone;
}

std::array<bool, 256> ReferencedEntries(const Puzzle& p) {
  std::array<bool, 256> taken{};
  for (const std::int32_t c : p.AnserTbl) {
    if (c >= 0 && c < kTableEntries) taken[static_cast<Index>(c)] = true;
  }
  return taken;
}

bool WriteLetterCell(Puzzle& p, std::int32_t x, std::int32_t y, std::uint8_t value) {
  std::uint8_t old = kEmptyCell;
  {
    CellsLock cells(p);
    if (!cells.ok()) return false;
    old = cells.at(x, y);
    cells.set(x, y, value);
  }
  if (OpenCellValue(old) && old != value && CountNumbers(p)[old] == 0) p.AnserTbl[old] = kNone;
  return true;
}

// splitmix64: small, and the same numbers on every platform and standard library.
std::uint64_t NextRandom(std::uint64_t& state) {
  std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

}  // namespace

bool PutLetter(Puzzle& p, std::int32_t x, std::int32_t y, const std::string& character) {
  if (!p.InGrid(x, y) || character.empty()) return false;
  EnsureTable(p);
  std::int32_t number = kNone;
  for (std::int32_t n = 1; n <= 254 && number == kNone; ++n) {
    if (CharacterOf(p, n) == character) number = n;
  }
  if (number == kNone) {
    const std::array<std::int32_t, 256> count = CountNumbers(p);
    std::uint8_t here = kEmptyCell;
    {
      CellsLock cells(p);
      here = cells.at(x, y);
    }
    // The cell's own number is free too when nothing else carries it.
    for (std::int32_t n = 1; n <= 254 && number == kNone; ++n) {
      const bool unused = count[static_cast<Index>(n)] == 0 || (n == here && count[static_cast<Index>(n)] == 1);
      if (unused && (p.AnserTbl[static_cast<Index>(n)] == kNone || n == here)) number = n;
    }
    if (number == kNone) return false;
    const std::int32_t entry = EntryFor(p, character, ReferencedEntries(p));
    if (entry == kNone) return false;
    p.MojiTbl[static_cast<Index>(entry)] = character;
    p.AnserTbl[static_cast<Index>(number)] = entry;
  }
  return WriteLetterCell(p, x, y, static_cast<std::uint8_t>(number));
}

std::int32_t TableEntryFor(Puzzle& p, const std::string& character) {
  if (character.empty()) return kNone;
  EnsureTable(p);
  const std::int32_t entry = EntryFor(p, character, ReferencedEntries(p));
  if (entry != kNone) p.MojiTbl[static_cast<Index>(entry)] = character;
  return entry;
}

bool IsBlockMark(const std::string& character) {
  static const std::string full = Utf8ToCp932Lossy("＃"), block = Utf8ToCp932Lossy("■");
  return character == "#" || character == full || character == block;
}

bool ClearLetter(Puzzle& p, std::int32_t x, std::int32_t y) {
  return p.InGrid(x, y) && WriteLetterCell(p, x, y, kEmptyCell);
}

std::string FoldSmallKana(const std::string& character) {
  static const std::map<std::string, std::string> fold = [] {
    const char* const pairs[][2] = {
        {"ァ", "ア"}, {"ィ", "イ"}, {"ゥ", "ウ"}, {"ェ", "エ"}, {"ォ", "オ"}, {"ッ", "ツ"}, {"ャ", "ヤ"},
        {"ュ", "ユ"}, {"ョ", "ヨ"}, {"ヮ", "ワ"}, {"ヵ", "カ"}, {"ヶ", "ケ"}, {"ぁ", "あ"}, {"ぃ", "い"},
        {"ぅ", "う"}, {"ぇ", "え"}, {"ぉ", "お"}, {"っ", "つ"}, {"ゃ", "や"}, {"ゅ", "ゆ"}, {"ょ", "よ"},
        {"ゎ", "わ"}, {"ｧ", "ｱ"},   {"ｨ", "ｲ"},   {"ｩ", "ｳ"},   {"ｪ", "ｴ"},   {"ｫ", "ｵ"},   {"ｯ", "ﾂ"},
        {"ｬ", "ﾔ"},   {"ｭ", "ﾕ"},   {"ｮ", "ﾖ"},
    };
    std::map<std::string, std::string> m;
    for (const auto& pair : pairs) m[Utf8ToCp932Lossy(pair[0])] = Utf8ToCp932Lossy(pair[1]);
    return m;
  }();
  const auto it = fold.find(character);
  return it == fold.end() ? character : it->second;
}

NumberingResult NumberLetters(Puzzle& p, const NumberingOptions& options) {
  NumberingResult result;
  const std::vector<std::uint8_t> cells = RowMajorCells(p);
  const auto w = static_cast<Index>(std::max(p.GridWidth, 1));
  const auto spelling = [&](std::int32_t n) {
    const std::string& ch = CharacterOf(p, n);
    return options.foldSmallKana ? FoldSmallKana(ch) : ch;
  };

  // The characters in reading order of their first cell; number n reads as character k.
  std::vector<std::string> characters;
  std::unordered_map<std::string, std::int32_t> characterIndex;
  std::array<std::int32_t, 256> characterOfNumber;
  characterOfNumber.fill(-1);
  for (Index i = 0; i < cells.size(); ++i) {
    const std::uint8_t n = cells[i];
    if (!OpenCellValue(n) || characterOfNumber[n] >= 0) continue;
    const std::string ch = spelling(n);
    if (ch.empty()) {
      result.problem = NumberingProblem::NoCharacter;
      result.x = static_cast<std::int32_t>(i % w);
      result.y = static_cast<std::int32_t>(i / w);
      return result;
    }
    const auto [it, fresh] = characterIndex.try_emplace(ch, static_cast<std::int32_t>(characters.size()));
    if (fresh) characters.push_back(ch);
    characterOfNumber[n] = it->second;
  }
  // Each number has one character, so there are never more characters than the 254 numbers.
  const auto count = static_cast<std::int32_t>(characters.size());

  // Table entries: kept where the character already is, else the first empty one.
  std::array<bool, 256> taken{};
  std::vector<std::int32_t> entries(characters.size());
  for (Index k = 0; k < characters.size(); ++k) {
    const std::int32_t entry = EntryFor(p, characters[k], taken);
    if (entry == kNone) {
      result.problem = NumberingProblem::TableFull;
      return result;
    }
    entries[k] = entry;
    taken[static_cast<Index>(entry)] = true;
  }

  std::vector<std::int32_t> numbers(characters.size());
  for (Index k = 0; k < numbers.size(); ++k) numbers[k] = static_cast<std::int32_t>(k) + 1;
  if (options.shuffle) {
    std::uint64_t state = options.seed;
    for (Index k = numbers.size(); k > 1; --k) std::swap(numbers[k - 1], numbers[NextRandom(state) % k]);
  }

  std::array<std::int32_t, 256> renumber;
  renumber.fill(-1);
  for (Index n = 0; n < renumber.size(); ++n) {
    if (characterOfNumber[n] >= 0) renumber[n] = numbers[static_cast<Index>(characterOfNumber[n])];
  }
  for (std::int32_t& slot : p.Kaitou) {
    if (slot < 1 || slot > 254) continue;
    if (renumber[static_cast<Index>(slot)] >= 0) {
      slot = renumber[static_cast<Index>(slot)];
      continue;
    }
    const auto it = characterIndex.find(spelling(slot));
    if (it != characterIndex.end()) {
      slot = numbers[static_cast<Index>(it->second)];
    } else if (!CharacterOf(p, slot).empty()) {
      slot = kEmptyCell;
      ++result.answerSlotsCleared;
    }
  }

  EnsureTable(p);
  p.AnserTbl.fill(kNone);
  for (Index k = 0; k < characters.size(); ++k) {
    p.MojiTbl[static_cast<Index>(entries[k])] = characters[k];
    p.AnserTbl[static_cast<Index>(numbers[k])] = entries[k];
  }
  {
    CellsLock lock(p);
    for (Index i = 0; i < cells.size(); ++i) {
      if (renumber[cells[i]] < 0) continue;
      lock.set(static_cast<std::int64_t>(i % w), static_cast<std::int64_t>(i / w),
               static_cast<std::uint8_t>(renumber[cells[i]]));
    }
  }
  result.characters = count;
  return result;
}

std::string NumberingProblemText(const NumberingResult& r) {
  switch (r.problem) {
    case NumberingProblem::None: return {};
    case NumberingProblem::NoCharacter:
      return Utf8ToCp932Lossy("文字の入っていないマスがあります (" + std::to_string(r.x + 1) + "," +
                              std::to_string(r.y + 1) + ")。文字を入れるか黒マスにしてください");
    case NumberingProblem::TableFull:
      return Utf8ToCp932Lossy("文字表に空きがありません。使っていない文字を消してください");
  }
  return {};
}

}  // namespace teku
