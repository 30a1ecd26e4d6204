// The two sample puzzles as the generator wrote them: the file form of a full save (section,
// key order, CRLF, code page 932) and the puzzle itself, checked against the words the grids
// were built from.
#include <gtest/gtest.h>
#include <iconv.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "tests/tools/program_files.h"

namespace teku {
namespace {

using testing::ReadProgramFile;

bool Cp932ToUtf8(const std::string& in, std::string& out) {
  iconv_t cd = iconv_open("UTF-8", "CP932");
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  std::string src = in;
  out.assign(in.size() * 3 + 16, '\0');
  char* s = src.data();
  char* d = out.data();
  std::size_t sl = src.size(), dl = out.size();
  const std::size_t r = iconv(cd, &s, &sl, &d, &dl);
  iconv_close(cd);
  out.resize(out.size() - dl);
  return r != static_cast<std::size_t>(-1) && sl == 0;
}

std::vector<std::string> Utf8Chars(const std::string& s) {
  std::vector<std::string> out;
  for (std::size_t i = 0; i < s.size();) {
    const auto b = static_cast<unsigned char>(s[i]);
    const std::size_t n = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
    out.push_back(s.substr(i, n));
    i += n;
  }
  return out;
}

// A puzzle file read the plain way: its keys in file order, values decoded to UTF-8.
struct CrsFile {
  std::string error;
  std::vector<std::string> keys;
  std::map<std::string, std::string> values;

  std::vector<int> List(const std::string& key) const {
    std::vector<int> v;
    const auto it = values.find(key);
    if (it == values.end()) return v;
    std::size_t from = 0;
    while (true) {
      const std::size_t comma = it->second.find(',', from);
      v.push_back(std::stoi(it->second.substr(from, comma - from)));
      if (comma == std::string::npos) break;
      from = comma + 1;
    }
    return v;
  }
  // Entries 32n .. 32n+31 of a table spread over KEY0 .. KEY7.
  std::vector<int> Table(const std::string& prefix) const {
    std::vector<int> v;
    for (int n = 0; n < 8; ++n) {
      const std::vector<int> part = List(prefix + std::to_string(n));
      v.insert(v.end(), part.begin(), part.end());
    }
    return v;
  }
  std::string Text(const std::string& key) const {
    const auto it = values.find(key);
    return it == values.end() ? std::string() : it->second;
  }
};

CrsFile ReadCrs(const std::string& name) {
  CrsFile f;
  const std::vector<std::uint8_t> raw = ReadProgramFile(name);
  std::string text;
  if (raw.empty()) {
    f.error = "missing";
    return f;
  }
  if (!Cp932ToUtf8(std::string(raw.begin(), raw.end()), text)) {
    f.error = "not code page 932";
    return f;
  }
  std::vector<std::string> lines;
  std::size_t from = 0;
  while (from < text.size()) {
    const std::size_t lf = text.find('\n', from);
    if (lf == std::string::npos || lf == from || text[lf - 1] != '\r') {
      f.error = "a line that does not end in CR LF";
      return f;
    }
    lines.push_back(text.substr(from, lf - 1 - from));
    from = lf + 1;
  }
  if (lines.empty() || lines[0] != "[TEKUCROSE]") {
    f.error = "not in section TEKUCROSE";
    return f;
  }
  for (std::size_t i = 1; i < lines.size(); ++i) {
    const std::size_t eq = lines[i].find('=');
    if (eq == std::string::npos || lines[i][0] == '[') {
      f.error = "not a key line: " + lines[i];
      return f;
    }
    const std::string key = lines[i].substr(0, eq);
    if (f.values.count(key) != 0) f.error = "key twice: " + key;
    f.keys.push_back(key);
    f.values[key] = lines[i].substr(eq + 1);
  }
  return f;
}

// Keys in the order of a full save for this file's size and texts.
std::vector<std::string> FullSaveOrder(const CrsFile& f, int cells) {
  std::vector<std::string> k = {"WIDTH", "HEIGHT", "TITLE", "VERSION", "PASSWORD", "GAMEMODE", "KAITOU", "SYOKI"};
  for (int n = 0; n * 32 < cells; ++n) k.push_back("TABLE" + std::to_string(n));
  for (int n = 0; n < 8; ++n) k.push_back("HINTTBL" + std::to_string(n));
  for (const char* prefix : {"MOJITBL", "ANSERTBL", "HINTTATE", "HINTYOKO"}) {
    const std::string p = prefix;
    if (p == "ANSERTBL") {
      for (int n = 0; n < 8; ++n) k.push_back(p + std::to_string(n));
      continue;
    }
    for (int n = 0; n < 256; ++n) {
      if (!f.Text(p + std::to_string(n)).empty()) k.push_back(p + std::to_string(n));
    }
  }
  return k;
}

bool IsDecimalList(const std::string& v) {
  if (v.empty()) return false;
  std::size_t from = 0;
  while (true) {
    const std::size_t comma = v.find(',', from);
    const std::string item = v.substr(from, comma - from);
    if (item.empty() || item.size() > 4 || (item.size() > 1 && item[0] == '0')) return false;
    if (!std::all_of(item.begin(), item.end(), [](char c) { return c >= '0' && c <= '9'; })) return false;
    if (comma == std::string::npos) return true;
    from = comma + 1;
  }
}

// A decoded sample: the grid's characters and what the tables say about it.
struct Sample {
  CrsFile file;
  int width = 0, height = 0;
  std::vector<int> cells, anser, kaitou, syoki, hintTbl;
  std::vector<std::string> moji;     // 256 entries
  std::vector<std::string> chars;    // row-major; empty for a blocked cell
};

Sample Decode(const std::string& name) {
  Sample s;
  s.file = ReadCrs(name);
  if (!s.file.error.empty()) return s;
  s.width = std::stoi(s.file.Text("WIDTH"));
  s.height = std::stoi(s.file.Text("HEIGHT"));
  for (int n = 0; n * 32 < s.width * s.height; ++n) {
    const std::vector<int> part = s.file.List("TABLE" + std::to_string(n));
    s.cells.insert(s.cells.end(), part.begin(), part.end());
  }
  s.anser = s.file.Table("ANSERTBL");
  s.hintTbl = s.file.Table("HINTTBL");
  s.kaitou = s.file.List("KAITOU");
  s.syoki = s.file.List("SYOKI");
  for (int n = 0; n < 256; ++n) s.moji.push_back(s.file.Text("MOJITBL" + std::to_string(n)));
  for (int c : s.cells) {
    const int k = c >= 1 && c <= 254 && c < static_cast<int>(s.anser.size()) ? s.anser[c] : 256;
    s.chars.push_back(k >= 1 && k <= 254 ? s.moji[k] : std::string());
  }
  return s;
}

struct WordRun {
  int x, y;
  bool across;
  std::string word;
};

std::vector<WordRun> Runs(const Sample& s) {
  std::vector<WordRun> runs;
  const auto white = [&s](int x, int y) { return s.cells[y * s.width + x] != 255; };
  for (int pass = 0; pass < 2; ++pass) {
    const bool across = pass == 0;
    for (int y = 0; y < s.height; ++y) {
      for (int x = 0; x < s.width; ++x) {
        const int px = across ? x - 1 : x, py = across ? y : y - 1;
        if (!white(x, y) || (px >= 0 && py >= 0 && white(px, py))) continue;
        WordRun r{x, y, across, ""};
        int len = 0;
        for (int cx = x, cy = y; cx < s.width && cy < s.height && white(cx, cy); across ? ++cx : ++cy, ++len) {
          r.word += s.chars[cy * s.width + cx];
        }
        if (len >= 2) runs.push_back(r);
      }
    }
  }
  return runs;
}

// Structure common to both samples.
void ExpectFullSaveForm(const Sample& s, const std::string& mode) {
  ASSERT_EQ(s.file.error, "");
  EXPECT_EQ(s.file.keys, FullSaveOrder(s.file, s.width * s.height));
  EXPECT_EQ(s.file.Text("VERSION"), "011");
  EXPECT_EQ(s.file.Text("PASSWORD"), "");
  EXPECT_EQ(s.file.Text("GAMEMODE"), mode);
  EXPECT_FALSE(s.file.Text("TITLE").empty());
  for (const std::string& key : s.file.keys) {
    if (key == "KAITOU" || key == "SYOKI" || key.rfind("TABLE", 0) == 0 || key.rfind("HINTTBL", 0) == 0 ||
        key.rfind("ANSERTBL", 0) == 0) {
      EXPECT_TRUE(IsDecimalList(s.file.Text(key))) << key;
      EXPECT_LE(s.file.List(key).size(), 32u) << key;
    }
  }
  ASSERT_EQ(static_cast<int>(s.cells.size()), s.width * s.height);
  ASSERT_EQ(s.anser.size(), 256u);
  ASSERT_EQ(s.hintTbl.size(), 256u);
  ASSERT_EQ(s.kaitou.size(), 32u);
  ASSERT_EQ(s.syoki.size(), 32u);
  std::set<int> used;
  for (int c : s.cells) {
    EXPECT_TRUE((c >= 1 && c <= 254) || c == 255) << c;
    if (c != 255) used.insert(c);
  }
  // Every number has its answer character; no other number has one; and no answer is the
  // character index that the grid drawing takes for "no answer" (the cell count).
  for (int n = 0; n < 256; ++n) {
    if (used.count(n) != 0) {
      ASSERT_TRUE(s.anser[n] >= 1 && s.anser[n] <= 254) << n;
      EXPECT_FALSE(s.moji[s.anser[n]].empty()) << n;
      EXPECT_NE(s.anser[n], s.width * s.height) << n;
    } else {
      EXPECT_EQ(s.anser[n], 256) << n;
    }
  }
  // Every character of the table is one character.
  for (int i = 0; i < 256; ++i) {
    if (!s.moji[i].empty()) {
      EXPECT_EQ(Utf8Chars(s.moji[i]).size(), 1u) << i;
    }
  }
}

// Every white cell is in a word, and the white cells hang together.
void ExpectOneConnectedGridOfWords(const Sample& s, const std::vector<WordRun>& runs) {
  std::vector<int> covered(s.cells.size(), 0);
  for (const WordRun& r : runs) {
    for (std::size_t i = 0, n = Utf8Chars(r.word).size(); i < n; ++i) {
      ++covered[(r.y + (r.across ? 0 : static_cast<int>(i))) * s.width + r.x + (r.across ? static_cast<int>(i) : 0)];
    }
  }
  int white = 0, start = -1;
  for (std::size_t i = 0; i < s.cells.size(); ++i) {
    if (s.cells[i] == 255) continue;
    ++white;
    start = static_cast<int>(i);
    EXPECT_GT(covered[i], 0) << "cell " << i << " is in no word";
  }
  ASSERT_GE(start, 0);
  std::vector<int> stack = {start};
  std::set<int> seen = {start};
  while (!stack.empty()) {
    const int c = stack.back();
    stack.pop_back();
    const int x = c % s.width, y = c / s.width;
    const int next[4][2] = {{x - 1, y}, {x + 1, y}, {x, y - 1}, {x, y + 1}};
    for (const auto& p : next) {
      if (p[0] < 0 || p[1] < 0 || p[0] >= s.width || p[1] >= s.height) continue;
      const int n = p[1] * s.width + p[0];
      if (s.cells[n] != 255 && seen.insert(n).second) stack.push_back(n);
    }
  }
  EXPECT_EQ(static_cast<int>(seen.size()), white);
}

// ---- SAMPLE1.CRS ----------------------------------------------------------------------------

const std::set<std::string> kSample1Words = {
    "フクロウ", "オヤコドン", "ミチ", "ブラジル", "エキ", "ハープ", "サバ", "コーラ", "スピーカー",
    "トナカイ", "イシ", "ヤマ", "オオカミ", "ホームラン", "セン", "タテ", "バイオリン", "コンビニ",
    "バー", "ハル", "アリーナ", "グレー", "リマ", "オチャ", "キツネ", "シイタケ", "ラーメン", "ミス",
    "ギョウザ", "ナカマ", "レンコン", "クツ", "メロディー", "ハート", "アオ", "ナカ", "タコ",
    "チャーハン", "ロープ", "ジテンシャ", "コイ", "ペンギン", "ブルー", "オセアニア", "バラ",
    "ライオン", "ショウガ", "シカ", "バター", "オルガン", "ミライ", "ナイター", "オバ", "ナツ",
    "フスマ", "リーグ", "ドア", "ホルン", "エダマメ", "ヒーター", "ケーキ", "ムネ", "ミキサー",
    "ハリネズミ", "ナン", "クルマ", "スキー",
};

TEST(SampleNumberCrossword, IsWrittenAsAFullSave) {
  const Sample s = Decode("SAMPLE1.CRS");
  ExpectFullSaveForm(s, "NANKURO");
  EXPECT_EQ(s.width, 15);
  EXPECT_EQ(s.height, 15);
  for (int v : s.hintTbl) EXPECT_EQ(v, 256);
  for (int n = 0; n < 256; ++n) {
    EXPECT_EQ(s.file.Text("HINTTATE" + std::to_string(n)), "");
    EXPECT_EQ(s.file.Text("HINTYOKO" + std::to_string(n)), "");
  }
}

TEST(SampleNumberCrossword, EqualNumbersAreEqualCharactersAndTheOtherWayRound) {
  const Sample s = Decode("SAMPLE1.CRS");
  ASSERT_EQ(s.file.error, "");
  std::map<int, std::string> byNumber;
  std::map<std::string, int> byChar;
  for (std::size_t i = 0; i < s.cells.size(); ++i) {
    if (s.cells[i] == 255) continue;
    const auto [n, fresh] = byNumber.emplace(s.cells[i], s.chars[i]);
    EXPECT_EQ(n->second, s.chars[i]);
    const auto [c, freshChar] = byChar.emplace(s.chars[i], s.cells[i]);
    EXPECT_EQ(c->second, s.cells[i]) << s.chars[i] << " has two numbers";
  }
  EXPECT_GE(byNumber.size(), 40u);  // a real puzzle, not a handful of letters
}

TEST(SampleNumberCrossword, EveryRunAcrossAndDownIsAWordOfItsList) {
  const Sample s = Decode("SAMPLE1.CRS");
  ASSERT_EQ(s.file.error, "");
  const std::vector<WordRun> runs = Runs(s);
  std::set<std::string> found;
  for (const WordRun& r : runs) {
    EXPECT_EQ(kSample1Words.count(r.word), 1u) << r.word << " at " << r.x << "," << r.y;
    EXPECT_TRUE(found.insert(r.word).second) << r.word << " twice";
  }
  EXPECT_EQ(found, kSample1Words);
  ExpectOneConnectedGridOfWords(s, runs);
  int white = 0;
  for (int c : s.cells) white += c != 255;
  EXPECT_GE(white, 225 / 2);
}

TEST(SampleNumberCrossword, HasAFourCharacterAnswerWordAndTwoOrThreeGivenCells) {
  const Sample s = Decode("SAMPLE1.CRS");
  ASSERT_EQ(s.file.error, "");
  const std::set<int> used(s.cells.begin(), s.cells.end());
  std::string word;
  for (int k = 0; k < 32; ++k) {
    if (k < 4) {
      ASSERT_TRUE(s.kaitou[k] >= 1 && s.kaitou[k] <= 254) << k;
      EXPECT_EQ(used.count(s.kaitou[k]), 1u) << k;
      word += s.moji[s.anser[s.kaitou[k]]];
    } else {
      EXPECT_EQ(s.kaitou[k], 255) << k;
    }
  }
  EXPECT_EQ(word, "ナンクロ");
  std::set<int> given;
  for (int v : s.syoki) {
    if (v == 256) continue;
    ASSERT_TRUE(v >= 0 && v < s.width * s.height) << v;
    EXPECT_NE(s.cells[v], 255) << "given cell " << v << " is blocked";
    EXPECT_TRUE(given.insert(v).second) << v;
  }
  EXPECT_GE(given.size(), 2u);
  EXPECT_LE(given.size(), 3u);
  // Given cells show different characters, or one would be wasted.
  std::set<int> numbers;
  for (int v : given) numbers.insert(s.cells[v]);
  EXPECT_EQ(numbers.size(), given.size());
}

// ---- SAMPLE2.CRS ----------------------------------------------------------------------------

const std::set<std::string> kSample2Words = {
    "うた", "せなか", "さいふ", "むぎ", "きく", "えんぴつ", "さば", "ねこ", "すいか", "こし",
    "きいろ", "むらさき", "うさぎ", "たい", "すし", "ふとん", "かき", "きつね", "かぞく", "こころ",
};

TEST(SampleCrossword, IsWrittenAsAFullSave) {
  const Sample s = Decode("SAMPLE2.CRS");
  ExpectFullSaveForm(s, "CROSSWORD");
  EXPECT_EQ(s.width, 7);
  EXPECT_EQ(s.height, 7);
  for (int v : s.kaitou) EXPECT_EQ(v, 255);
  for (int v : s.syoki) EXPECT_EQ(v, 256);
}

TEST(SampleCrossword, EveryRunIsAWordAndEveryCellHasItsOwnNumber) {
  const Sample s = Decode("SAMPLE2.CRS");
  ASSERT_EQ(s.file.error, "");
  const std::vector<WordRun> runs = Runs(s);
  std::set<std::string> found;
  for (const WordRun& r : runs) {
    EXPECT_EQ(kSample2Words.count(r.word), 1u) << r.word;
    found.insert(r.word);
  }
  EXPECT_EQ(found, kSample2Words);
  ExpectOneConnectedGridOfWords(s, runs);
  std::set<int> numbers;
  for (int c : s.cells) {
    if (c != 255) {
      EXPECT_TRUE(numbers.insert(c).second) << c;
    }
  }
}

TEST(SampleCrossword, EachWordStartHoldsAClueSlotWithItsDownAndAcrossTexts) {
  const Sample s = Decode("SAMPLE2.CRS");
  ASSERT_EQ(s.file.error, "");
  std::map<int, std::pair<bool, bool>> starts;  // linear index -> starts across, starts down
  for (const WordRun& r : Runs(s)) {
    auto& st = starts[r.y * s.width + r.x];
    (r.across ? st.first : st.second) = true;
  }
  // Clue slots in reading order, numbered 1, 2, ... on the grid.
  std::size_t slot = 0;
  for (const auto& [cell, kinds] : starts) {
    SCOPED_TRACE(cell);
    ASSERT_LT(slot, 256u);
    EXPECT_EQ(s.hintTbl[slot], cell + 1);
    const std::string tate = s.file.Text("HINTTATE" + std::to_string(slot));
    const std::string yoko = s.file.Text("HINTYOKO" + std::to_string(slot));
    EXPECT_EQ(!yoko.empty(), kinds.first);
    EXPECT_EQ(!tate.empty(), kinds.second);
    ++slot;
  }
  for (; slot < 256; ++slot) EXPECT_EQ(s.hintTbl[slot], 256) << slot;
}

TEST(SampleCrossword, CluesAreJapaneseAndDoNotGiveTheWordAway) {
  const Sample s = Decode("SAMPLE2.CRS");
  ASSERT_EQ(s.file.error, "");
  std::map<int, std::pair<std::string, std::string>> words;  // linear index -> across, down
  for (const WordRun& r : Runs(s)) (r.across ? words[r.y * s.width + r.x].first : words[r.y * s.width + r.x].second) = r.word;
  for (int slot = 0; slot < 256 && s.hintTbl[slot] != 256; ++slot) {
    const auto& [across, down] = words[s.hintTbl[slot] - 1];
    const std::string yoko = s.file.Text("HINTYOKO" + std::to_string(slot));
    const std::string tate = s.file.Text("HINTTATE" + std::to_string(slot));
    if (!across.empty()) {
      EXPECT_EQ(yoko.find(across), std::string::npos) << yoko;
    }
    if (!down.empty()) {
      EXPECT_EQ(tate.find(down), std::string::npos) << tate;
    }
    for (const std::string& clue : {yoko, tate}) {
      if (!clue.empty()) {
        EXPECT_GE(Utf8Chars(clue).size(), 5u) << clue;
      }
    }
  }
}

}  // namespace
}  // namespace teku
