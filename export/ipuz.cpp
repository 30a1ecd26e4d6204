// ipuz reading and writing over nlohmann::json. Our own documents carry every table under keys of
// our own and read back exactly; documents of other programs are read from the standard fields.
#include "export/ipuz.h"

#include <map>
#include <nlohmann/json.hpp>
#include <optional>

#include "services/cp932.h"

namespace teku {

namespace {

using Json = nlohmann::ordered_json;

constexpr const char* kCrosswordKind = "http://ipuz.org/crossword#1";
constexpr const char* kCrosswordPrefix = "http://ipuz.org/crossword";

// ---- writing --------------------------------------------------------------------------------

std::string Utf8(const std::string& cp932) { return Cp932ToUtf8(cp932); }

Json IntList(const std::int32_t* values, std::size_t count) {
  Json out = Json::array();
  for (std::size_t i = 0; i < count; ++i) out.push_back(values[i]);
  return out;
}

// A text list without its empty tail.
Json Texts(const teku::TextList& list) {
  std::size_t n = list.size();
  while (n > 0 && list[n - 1].empty()) --n;
  Json out = Json::array();
  for (std::size_t i = 0; i < n; ++i) out.push_back(Utf8(list[i]));
  return out;
}

// The cell a clue slot belongs to, or -1 for a free slot.
std::int32_t ClueCell(std::int32_t value, std::int32_t cellCount) {
  if (value == kClueOfCell255) return 255 < cellCount ? 255 : -1;
  if (value == kNone || value < 1 || value > cellCount) return -1;
  return value - 1;
}

}  // namespace

std::string WriteIpuz(Puzzle& p, PuzzleKind kind, bool withSolution) {
  const bool coded = kind == PuzzleKind::Nankuro;
  const std::int32_t w = p.GridWidth, h = p.GridHeight, count = p.CellCount();
  Json j;
  j["version"] = "http://ipuz.org/v2";
  j["kind"] = coded ? Json::array({kCrosswordKind, kIpuzCodedKind}) : Json::array({kCrosswordKind});
  j["title"] = Utf8(p.Title);
  j["dimensions"] = {{"width", w}, {"height", h}};
  j["block"] = "#";
  j["empty"] = 0;

  // A crossword labels a cell with the number of its clue (the first slot that holds it).
  std::vector<std::int32_t> label(static_cast<std::size_t>(count), 0);
  if (!coded) {
    for (std::int32_t s = 0; s < kTableEntries; ++s) {
      const std::int32_t c = ClueCell(p.HintTbl[static_cast<std::size_t>(s)], count);
      if (c >= 0 && label[static_cast<std::size_t>(c)] == 0) label[static_cast<std::size_t>(c)] = s + 1;
    }
  }
  const auto letter = [&](const Table256& table, std::int32_t n) { return Utf8(TextAt(p.MojiTbl, TableAt(table, n))); };
  Json puzzle = Json::array(), solution = Json::array(), saved = Json::array(), cellBytes = Json::array();
  bool anyInput = false;
  {
    CellsLock cells(p);
    for (std::int32_t y = 0; y < h; ++y) {
      Json prow = Json::array(), srow = Json::array(), vrow = Json::array();
      for (std::int32_t x = 0; x < w; ++x) {
        const std::int32_t b = cells.at(x, y);
        cellBytes.push_back(b);
        if (b == kEmptyCell) {
          prow.push_back("#");
          srow.push_back("#");
          vrow.push_back("#");
          continue;
        }
        const bool numbered = b >= 1 && b <= 254;
        const std::int32_t shown = coded ? b : label[static_cast<std::size_t>(y * w + x)];
        const std::string answer = numbered ? letter(p.AnserTbl, b) : std::string();
        if (numbered && p.IsInitialCell(x, y) && !answer.empty()) {
          prow.push_back({{"cell", shown}, {"value", answer}});
        } else {
          prow.push_back(shown);
        }
        srow.push_back(answer.empty() ? Json(nullptr) : Json(answer));
        const std::string input = numbered ? letter(p.InputTbl, b) : std::string();
        anyInput = anyInput || !input.empty();
        vrow.push_back(input);
      }
      puzzle.push_back(std::move(prow));
      solution.push_back(std::move(srow));
      saved.push_back(std::move(vrow));
    }
  }
  j["puzzle"] = std::move(puzzle);
  if (withSolution) j["solution"] = std::move(solution);
  if (anyInput) j["saved"] = std::move(saved);
  if (!coded) {
    Json across = Json::array(), down = Json::array();
    for (std::int32_t s = 0; s < kTableEntries; ++s) {
      if (ClueCell(p.HintTbl[static_cast<std::size_t>(s)], count) < 0) continue;
      if (!TextAt(p.HintYoko, s).empty()) across.push_back(Json::array({s + 1, Utf8(TextAt(p.HintYoko, s))}));
      if (!TextAt(p.HintTate, s).empty()) down.push_back(Json::array({s + 1, Utf8(TextAt(p.HintTate, s))}));
    }
    j["clues"] = {{"Across", std::move(across)}, {"Down", std::move(down)}};
  }
  // Ours: what the standard fields cannot say exactly.
  j["tekucros:cells"] = std::move(cellBytes);
  j["tekucros:table"] = Texts(p.MojiTbl);
  if (withSolution) j["tekucros:answers"] = IntList(p.AnserTbl.data(), p.AnserTbl.size());
  j["tekucros:input"] = IntList(p.InputTbl.data(), p.InputTbl.size());
  j["tekucros:clueslots"] = IntList(p.HintTbl.data(), p.HintTbl.size());
  j["tekucros:down"] = Texts(p.HintTate);
  j["tekucros:across"] = Texts(p.HintYoko);
  j["tekucros:kaitou"] = IntList(p.Kaitou.data(), p.Kaitou.size());
  j["tekucros:syoki"] = IntList(p.Syoki.data(), p.Syoki.size());
  return j.dump() + "\n";
}

// ---- reading --------------------------------------------------------------------------------

namespace {

struct Reader {
  const Json& j;
  Puzzle& p;
  std::string error;

  bool Fail(const std::string& message) {
    if (error.empty()) error = message;
    return false;
  }

  std::optional<std::string> Text(const Json& v) {
    if (!v.is_string()) return std::nullopt;
    return Utf8ToCp932(v.get<std::string>());
  }
  bool TextInto(const Json& v, std::string& out) {
    const auto t = Text(v);
    if (!t) return Fail("文字「" + (v.is_string() ? v.get<std::string>() : v.dump()) + "」はこのプログラムでは扱えません。");
    out = *t;
    return true;
  }

  // A list of at most `n` integers within [lo, hi]; missing entries keep their value.
  bool Ints(const char* key, std::int32_t* out, std::size_t n, std::int64_t lo, std::int64_t hi) {
    const Json& a = j.at(key);
    if (!a.is_array() || a.size() > n) return Fail(std::string("ipuz の ") + key + " が正しくありません。");
    for (std::size_t i = 0; i < a.size(); ++i) {
      if (!a[i].is_number_integer() || a[i].get<std::int64_t>() < lo || a[i].get<std::int64_t>() > hi) {
        return Fail(std::string("ipuz の ") + key + " が正しくありません。");
      }
      out[i] = static_cast<std::int32_t>(a[i].get<std::int64_t>());
    }
    return true;
  }
  bool Texts(const char* key, teku::TextList& out) {
    const Json& a = j.at(key);
    if (!a.is_array() || a.size() > static_cast<std::size_t>(kTableEntries)) {
      return Fail(std::string("ipuz の ") + key + " が正しくありません。");
    }
    out.assign(kTableEntries, std::string());
    for (std::size_t i = 0; i < a.size(); ++i) {
      if (!TextInto(a[i], out[i])) return false;
    }
    return true;
  }
  bool Has(const char* key) const { return j.contains(key); }

  // A grid of `h` rows of `w` entries.
  bool Grid(const char* key, std::int32_t w, std::int32_t h) {
    const Json& g = j.at(key);
    bool ok = g.is_array() && g.size() == static_cast<std::size_t>(h);
    for (std::size_t y = 0; ok && y < g.size(); ++y) ok = g[y].is_array() && g[y].size() == static_cast<std::size_t>(w);
    return ok || Fail(std::string("ipuz の ") + key + " の大きさが盤と合いません。");
  }
};

// The label of an ipuz puzzle cell: the number, 0 for a plain cell, -1 for a block.
std::int64_t LabelOf(const Json& cell, const std::string& block) {
  const Json& c = cell.is_object() ? (cell.contains("cell") ? cell.at("cell") : Json(0)) : cell;
  if (c.is_null()) return -1;
  if (c.is_number_integer()) return c.get<std::int64_t>();
  if (c.is_string()) {
    const std::string s = c.get<std::string>();
    if (s == block) return -1;
    if (s.empty() || s.size() > 6 || s.find_first_not_of("0123456789") != std::string::npos) return 0;
    return std::stoll(s);
  }
  return 0;
}

// The letter of a solution, value or saved entry, or nothing.
std::optional<std::string> LetterOf(const Json& cell, const std::string& block) {
  const Json& v = cell.is_object() ? (cell.contains("value") ? cell.at("value") : Json(nullptr)) : cell;
  if (!v.is_string()) return std::nullopt;
  std::string s = v.get<std::string>();
  if (s.empty() || s == block) return std::nullopt;
  return s;
}

bool ReadDocument(Reader& r, PuzzleKind& kind) {
  const Json& j = r.j;
  Puzzle& p = r.p;
  if (!j.is_object()) return r.Fail("ipuz ファイルとして読めません。");
  bool crossword = false, coded = false;
  if (j.contains("kind") && j.at("kind").is_array()) {
    for (const Json& k : j.at("kind")) {
      if (!k.is_string()) continue;
      const std::string s = k.get<std::string>();
      crossword = crossword || s.rfind(kCrosswordPrefix, 0) == 0;
      coded = coded || s == kIpuzCodedKind;
    }
  }
  if (!crossword) return r.Fail("この ipuz はクロスワードではないので読み込めません。");
  kind = coded ? PuzzleKind::Nankuro : PuzzleKind::Crossword;
  const Json* dims = j.contains("dimensions") ? &j.at("dimensions") : nullptr;
  if (dims == nullptr || !dims->is_object() || !dims->contains("width") || !dims->contains("height") ||
      !dims->at("width").is_number_integer() || !dims->at("height").is_number_integer()) {
    return r.Fail("ipuz に盤の大きさがありません。");
  }
  const std::int64_t w = dims->at("width").get<std::int64_t>(), h = dims->at("height").get<std::int64_t>();
  if (w < 1 || w > kGridColumns || h < 1 || h > kGridRows) {
    return r.Fail("盤の大きさ " + std::to_string(w) + " x " + std::to_string(h) +
                  " は扱えません（最大 256 x 240）。");
  }
  p.GridWidth = static_cast<std::int32_t>(w);
  p.GridHeight = static_cast<std::int32_t>(h);
  const std::int32_t count = p.CellCount();
  if (j.contains("title") && !r.TextInto(j.at("title"), p.Title)) return false;
  const std::string block = j.contains("block") && j.at("block").is_string() ? j.at("block").get<std::string>() : "#";
  if (!j.contains("puzzle") || !r.Grid("puzzle", p.GridWidth, p.GridHeight)) return r.Fail("ipuz に盤がありません。");
  const Json& grid = j.at("puzzle");

  // Cell numbers: ours as written; otherwise a number-crossword's labels, or a crossword's white
  // cells numbered in reading order.
  std::vector<std::int32_t> bytes(static_cast<std::size_t>(count), kEmptyCell);
  std::map<std::int64_t, std::int32_t> labelled;  // clue label -> cell index
  std::int32_t next = 1;
  const bool ours = r.Has("tekucros:cells");
  for (std::int32_t i = 0; i < count; ++i) {
    const Json& cell = grid[static_cast<std::size_t>(i / p.GridWidth)][static_cast<std::size_t>(i % p.GridWidth)];
    const std::int64_t label = LabelOf(cell, block);
    if (label < 0) continue;
    if (label > 0) labelled.emplace(label, i);
    if (ours) continue;
    if (coded) {
      if (label > 254) return r.Fail("番号 " + std::to_string(label) + " は扱えません（1 から 254 まで）。");
      bytes[static_cast<std::size_t>(i)] = static_cast<std::int32_t>(label);
    } else {
      if (next > 254) return r.Fail("白いマスが 254 を超えるクロスワードは扱えません。");
      bytes[static_cast<std::size_t>(i)] = next++;
    }
  }
  if (ours && !r.Ints("tekucros:cells", bytes.data(), bytes.size(), 0, 255)) return false;
  {
    CellsLock cells(p);
    for (std::int32_t i = 0; i < count; ++i) {
      cells.set(i % p.GridWidth, i / p.GridWidth, static_cast<std::uint8_t>(bytes[static_cast<std::size_t>(i)]));
    }
  }

  // Ours: every table exactly as written; the standard fields say the same for other programs.
  if (ours) {
    return (!r.Has("tekucros:table") || r.Texts("tekucros:table", p.MojiTbl)) &&
           (!r.Has("tekucros:answers") || r.Ints("tekucros:answers", p.AnserTbl.data(), p.AnserTbl.size(), INT32_MIN, INT32_MAX)) &&
           (!r.Has("tekucros:input") || r.Ints("tekucros:input", p.InputTbl.data(), p.InputTbl.size(), INT32_MIN, INT32_MAX)) &&
           (!r.Has("tekucros:clueslots") || r.Ints("tekucros:clueslots", p.HintTbl.data(), p.HintTbl.size(), INT32_MIN, INT32_MAX)) &&
           (!r.Has("tekucros:down") || r.Texts("tekucros:down", p.HintTate)) &&
           (!r.Has("tekucros:across") || r.Texts("tekucros:across", p.HintYoko)) &&
           (!r.Has("tekucros:kaitou") || r.Ints("tekucros:kaitou", p.Kaitou.data(), p.Kaitou.size(), INT32_MIN, INT32_MAX)) &&
           (!r.Has("tekucros:syoki") || r.Ints("tekucros:syoki", p.Syoki.data(), p.Syoki.size(), INT32_MIN, INT32_MAX));
  }

  // Letters: a table built from the letters met.
  const auto indexOf = [&](const std::string& utf8) -> std::int32_t {
    std::string bytesOf;
    if (!r.TextInto(Json(utf8), bytesOf)) return -1;
    for (std::int32_t k = 1; k <= 254; ++k) {
      if (p.MojiTbl[static_cast<std::size_t>(k)] == bytesOf) return k;
    }
    for (std::int32_t k = 1; k <= 254; ++k) {
      if (!p.MojiTbl[static_cast<std::size_t>(k)].empty()) continue;
      p.MojiTbl[static_cast<std::size_t>(k)] = bytesOf;
      return k;
    }
    r.Fail("文字の種類が 254 を超えています。");
    return -1;
  };
  // A number's letter from a grid; a number-crossword's number has one letter only.
  const auto take = [&](const char* key, Table256& table) {
    if (!j.contains(key)) return true;
    if (!r.Grid(key, p.GridWidth, p.GridHeight)) return false;
    for (std::int32_t i = 0; i < count; ++i) {
      const std::int32_t n = bytes[static_cast<std::size_t>(i)];
      if (n < 1 || n > 254) continue;
      const auto l = LetterOf(j.at(key)[static_cast<std::size_t>(i / p.GridWidth)][static_cast<std::size_t>(i % p.GridWidth)], block);
      if (!l) continue;
      const std::int32_t k = indexOf(*l);
      if (k < 0) return false;
      std::int32_t& entry = table[static_cast<std::size_t>(n)];
      if (entry != kNone && entry != k) return r.Fail("番号 " + std::to_string(n) + " に二つの文字が当てられています。");
      entry = k;
    }
    return true;
  };
  if (!take("solution", p.AnserTbl) || !take("saved", p.InputTbl)) return false;

  // Given cells: their letter is the number's answer too.
  std::int32_t given = 0;
  for (std::int32_t i = 0; i < count; ++i) {
    const Json& cell = grid[static_cast<std::size_t>(i / p.GridWidth)][static_cast<std::size_t>(i % p.GridWidth)];
    const std::int32_t n = bytes[static_cast<std::size_t>(i)];
    const auto l = cell.is_object() ? LetterOf(cell, block) : std::nullopt;
    if (!l || n < 1 || n > 254) continue;
    if (given == kSlotCount) return r.Fail("初めから見えているマスは 32 までしか扱えません。");
    p.Syoki[static_cast<std::size_t>(given++)] = i;
    const std::int32_t k = indexOf(*l);
    if (k < 0) return false;
    if (p.AnserTbl[static_cast<std::size_t>(n)] == kNone) p.AnserTbl[static_cast<std::size_t>(n)] = k;
  }

  // Clues: slot = clue number - 1, held by the cell that carries the label.
  if (!coded && j.contains("clues") && j.at("clues").is_object()) {
    for (const auto& [direction, list] : j.at("clues").items()) {
      const bool across = direction.rfind("Across", 0) == 0, down = direction.rfind("Down", 0) == 0;
      if (!across && !down) return r.Fail("クロスワードのカギ「" + direction + "」は扱えません（たて・よこのみ）。");
      if (!list.is_array()) return r.Fail("ipuz のカギが正しくありません。");
      for (const Json& clue : list) {
        Json number, text;
        if (clue.is_array() && clue.size() >= 2) {
          number = clue[0];
          text = clue[1];
        } else if (clue.is_object() && clue.contains("number") && clue.contains("clue")) {
          number = clue.at("number");
          text = clue.at("clue");
        } else {
          return r.Fail("ipuz のカギが正しくありません。");
        }
        const std::int64_t num = LabelOf(number, block);
        const auto at = labelled.find(num);
        if (num < 1 || num > kTableEntries || at == labelled.end()) {
          return r.Fail("カギ " + number.dump() + " の番号が盤にありません。");
        }
        const auto slot = static_cast<std::size_t>(num - 1);
        p.HintTbl[slot] = ClueValueOf(at->second);
        if (!r.TextInto(text, across ? p.HintYoko[slot] : p.HintTate[slot])) return false;
      }
    }
  }

  return true;
}

}  // namespace

bool ReadIpuz(const std::string& document, Puzzle& p, PuzzleKind& kind, std::string& error) {
  p.ResetPuzzle();
  p.ResetInput();
  kind = PuzzleKind::Crossword;
  const Json j = Json::parse(document, nullptr, false);
  if (j.is_discarded()) {
    error = "ipuz ファイルとして読めません（JSON の形になっていません）。";
    return false;
  }
  Reader r{j, p, {}};
  bool ok = false;
  try {
    ok = ReadDocument(r, kind);
  } catch (const nlohmann::json::exception&) {
    ok = r.Fail("ipuz ファイルの形が正しくありません。");
  }
  if (!ok) {
    error = r.error;
    p.ResetPuzzle();
    p.ResetInput();
  }
  return ok;
}

}  // namespace teku
