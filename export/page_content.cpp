// The printed page's content, from the puzzle's tables.
#include "export/page_content.h"

#include <algorithm>
#include <map>

#include "services/cp932.h"

namespace teku {

namespace {

bool LeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

// The character of character index k, or empty when k shows none (as on the screen).
const std::string& CharacterOf(const Puzzle& p, std::int32_t k) {
  static const std::string kNoText;
  if (k <= 0 || k >= 255) return kNoText;
  return TextAt(p.MojiTbl, k);
}

// Code points of UTF-8 text.
std::vector<std::uint32_t> CodePoints(const std::string& utf8) {
  std::vector<std::uint32_t> out;
  for (std::size_t i = 0; i < utf8.size();) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    const int n = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
    std::uint32_t cp = n == 1 ? c : c & (0x3F >> (n - 1));
    for (int k = 1; k < n && i + static_cast<std::size_t>(k) < utf8.size(); ++k) {
      cp = cp << 6 | (static_cast<unsigned char>(utf8[i + static_cast<std::size_t>(k)]) & 0x3F);
    }
    out.push_back(cp);
    i += static_cast<std::size_t>(n);
  }
  return out;
}

// Half-width katakana U+FF66..U+FF9D as full-width katakana.
constexpr char16_t kHalfWidthKana[] =
    u"ヲァィゥェォャュョッーアイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホマミムメモヤユヨラリルレロワン";

}  // namespace

double TextEms(const std::string& s) {
  double ems = 0;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (LeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size()) {
      ems += 1;
      ++i;
    } else {
      ems += 0.5;
    }
  }
  return ems;
}

std::vector<std::string> Cp932Characters(const std::string& s) {
  std::vector<std::string> out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    const std::size_t n = LeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size() ? 2 : 1;
    out.push_back(s.substr(i, n));
    i += n - 1;
  }
  return out;
}

std::vector<std::uint32_t> GojuonKey(const std::string& cp932) {
  constexpr std::uint32_t kKana = 0, kLongVowel = 1u << 24, kOther = 2u << 24;
  std::vector<std::uint32_t> key;
  for (std::uint32_t cp : CodePoints(Cp932ToUtf8(cp932))) {
    // Voiced and semi-voiced marks after a half-width kana make its voiced form.
    if ((cp == 0xFF9E || cp == 0xFF9F) && !key.empty() && key.back() < kLongVowel) {
      key.back() += cp == 0xFF9E ? 4 : 8;
      continue;
    }
    if (cp >= 0xFF66 && cp <= 0xFF9D) cp = kHalfWidthKana[cp - 0xFF66];
    if (cp >= 0x30A1 && cp <= 0x30F6) cp -= 0x60;  // katakana to hiragana
    if (cp == 0x30FC || cp == 0xFF70) {
      key.push_back(kLongVowel);
    } else if (cp == 0x3094) {
      key.push_back(kKana | ((0x3046u << 2) + 1));  // vu beside u
    } else if (cp == 0x3095 || cp == 0x3096) {
      key.push_back(kKana | (((cp == 0x3095 ? 0x304Bu : 0x3051u) << 2) + 1));  // small ka, ke
    } else if (cp >= 0x3041 && cp <= 0x3093) {
      key.push_back(kKana | cp << 2);
    } else {
      key.push_back(kOther | cp);
    }
  }
  return key;
}

PageContent ComposePage(Puzzle& p, PuzzleKind kind, bool solution) {
  PageContent page;
  page.title = p.Title;
  page.nankuro = kind == PuzzleKind::Nankuro;
  page.solution = solution;
  page.width = p.GridWidth;
  page.height = p.GridHeight;
  page.cells.resize(static_cast<std::size_t>(p.CellCount()));

  // A crossword cell's clue number: the first slot naming it, as the grid shows it.
  std::vector<std::int32_t> clueAt;
  if (!page.nankuro) {
    clueAt.assign(page.cells.size(), -1);
    for (int i = kTableEntries - 1; i >= 0; --i) {
      const std::int32_t v = p.HintTbl[static_cast<std::size_t>(i)];
      const std::int64_t cell = v == kClueOfCell255 ? 255 : static_cast<std::int64_t>(v) - 1;
      if (v != kNone && cell >= 0 && cell < p.CellCount()) clueAt[static_cast<std::size_t>(cell)] = i;
    }
  }
  std::array<bool, 256> numberGiven{};
  std::array<bool, 256> numberUsed{};
  std::int32_t maxNumber = 0;
  {
    CellsLock cells(p);
    for (std::int32_t y = 0; y < p.GridHeight; ++y) {
      for (std::int32_t x = 0; x < p.GridWidth; ++x) {
        const std::int32_t n = cells.at(x, y);
        PageCell& c = page.cells[static_cast<std::size_t>(y) * static_cast<std::size_t>(p.GridWidth) +
                                 static_cast<std::size_t>(x)];
        c.open = n >= 1 && n <= 254;
        if (!c.open) continue;
        numberUsed[static_cast<std::size_t>(n)] = true;
        maxNumber = std::max(maxNumber, n);
        if (page.nankuro) {
          c.label = std::to_string(n);
        } else if (const std::int32_t slot = clueAt[static_cast<std::size_t>(y * p.GridWidth + x)]; slot >= 0) {
          c.label = std::to_string(slot + 1);
        }
        c.given = p.IsInitialCell(x, y);
        if (c.given) numberGiven[static_cast<std::size_t>(n)] = true;
        if (c.given || solution) c.text = CharacterOf(p, TableAt(p.AnserTbl, n));
      }
    }
  }

  if (page.nankuro && !solution) {
    for (std::int32_t n = 1; n <= maxNumber; ++n) {
      const bool given = numberGiven[static_cast<std::size_t>(n)];
      page.numberTable.push_back(PageBox{std::to_string(n), given ? CharacterOf(p, p.AnserTbl[static_cast<std::size_t>(n)]) : "", given});
    }
    std::map<std::string, bool> inUse;  // character -> given
    for (std::int32_t n = 1; n <= maxNumber; ++n) {
      const std::string& ch = CharacterOf(p, p.AnserTbl[static_cast<std::size_t>(n)]);
      if (!numberUsed[static_cast<std::size_t>(n)] || ch.empty()) continue;
      inUse[ch] = inUse[ch] || numberGiven[static_cast<std::size_t>(n)];
    }
    for (const auto& [ch, given] : inUse) page.checkTable.push_back(PageBox{"", ch, given});
    std::stable_sort(page.checkTable.begin(), page.checkTable.end(),
                     [](const PageBox& a, const PageBox& b) { return GojuonKey(a.text) < GojuonKey(b.text); });
  }

  int last = -1;
  for (int s = 0; s < kSlotCount; ++s) {
    const std::int32_t k = p.Kaitou[static_cast<std::size_t>(s)];
    if (k >= 0 && k <= 254 && k != 0) last = s;
  }
  for (int s = 0; s <= last; ++s) {
    const std::int32_t k = p.Kaitou[static_cast<std::size_t>(s)];
    PageBox box;
    if (k >= 1 && k <= 254) {
      box.label = std::to_string(k);
      box.given = numberGiven[static_cast<std::size_t>(k)];
      if (solution || box.given) box.text = CharacterOf(p, p.AnserTbl[static_cast<std::size_t>(k)]);
    }
    page.answer.push_back(box);
  }

  if (!page.nankuro && !solution) {
    for (int i = 0; i < kTableEntries; ++i) {
      const std::int32_t v = p.HintTbl[static_cast<std::size_t>(i)];
      if (v == kNone || v == 0) continue;
      if (const std::string& t = TextAt(p.HintTate, i); !t.empty()) page.down.push_back(PageClue{i + 1, t});
      if (const std::string& t = TextAt(p.HintYoko, i); !t.empty()) page.across.push_back(PageClue{i + 1, t});
    }
  }
  return page;
}

}  // namespace teku
