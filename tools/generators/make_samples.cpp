// Writes the two sample puzzles: SAMPLE1.CRS, a 15 x 15 number-crossword, and SAMPLE2.CRS, a
// 7 x 7 crossword with clues. Each is written as a full save would write it, in code page 932.
#include <iconv.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int kNone = 256;
constexpr int kEmptyCell = 255;
const std::string kBlack = "■";

// Splits UTF-8 text into its characters.
std::vector<std::string> Chars(const std::string& s) {
  std::vector<std::string> out;
  for (std::size_t i = 0; i < s.size();) {
    const auto b = static_cast<unsigned char>(s[i]);
    const std::size_t n = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
    out.push_back(s.substr(i, n));
    i += n;
  }
  return out;
}

const char* const kKatakana =
    "アイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホマミムメモヤユヨラリルレロワヲン"
    "ガギグゲゴザジズゼゾダヂヅデドバビブベボパピプペポァィゥェォッャュョヮヴー";
const char* const kHiragana =
    "あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむめもやゆよらりるれろわをん"
    "がぎぐげござじずぜぞだぢづでどばびぶべぼぱぴぷぺぽぁぃぅぇぉっゃゅょゎー";

struct Puzzle {
  int width = 0, height = 0;
  std::string title;
  bool crossword = false;
  std::vector<int> kaitou = std::vector<int>(32, kEmptyCell);
  std::vector<int> syoki = std::vector<int>(32, kNone);
  std::vector<int> cells;  // row-major
  std::vector<int> hintTbl = std::vector<int>(256, kNone);
  std::vector<std::string> moji = std::vector<std::string>(256);
  std::vector<int> anser = std::vector<int>(256, kNone);
  std::vector<std::string> tate = std::vector<std::string>(256), yoko = std::vector<std::string>(256);
};

std::string Join(const std::vector<int>& v, std::size_t from, std::size_t count) {
  std::string s;
  for (std::size_t i = from; i < from + count && i < v.size(); ++i) {
    if (i != from) s += ',';
    s += std::to_string(v[i]);
  }
  return s;
}

// The keys in the order of a full save; empty texts are left out as the save leaves them out.
std::string ProfileText(const Puzzle& p) {
  std::string out = "[TEKUCROSE]\r\n";
  const auto key = [&out](const std::string& k, const std::string& v) { out += k + "=" + v + "\r\n"; };
  key("WIDTH", std::to_string(p.width));
  key("HEIGHT", std::to_string(p.height));
  key("TITLE", p.title);
  key("VERSION", "011");
  key("PASSWORD", "");
  key("GAMEMODE", p.crossword ? "CROSSWORD" : "NANKURO");
  key("KAITOU", Join(p.kaitou, 0, 32));
  key("SYOKI", Join(p.syoki, 0, 32));
  for (std::size_t c = 0, n = 0; c < p.cells.size(); c += 32, ++n) key("TABLE" + std::to_string(n), Join(p.cells, c, 32));
  for (int n = 0; n < 8; ++n) key("HINTTBL" + std::to_string(n), Join(p.hintTbl, 32 * n, 32));
  for (int n = 0; n < 256; ++n) {
    if (!p.moji[n].empty()) key("MOJITBL" + std::to_string(n), p.moji[n]);
  }
  for (int n = 0; n < 8; ++n) key("ANSERTBL" + std::to_string(n), Join(p.anser, 32 * n, 32));
  for (int n = 0; n < 256; ++n) {
    if (!p.tate[n].empty()) key("HINTTATE" + std::to_string(n), p.tate[n]);
  }
  for (int n = 0; n < 256; ++n) {
    if (!p.yoko[n].empty()) key("HINTYOKO" + std::to_string(n), p.yoko[n]);
  }
  return out;
}

bool ToCp932(const std::string& utf8, std::string& out) {
  iconv_t cd = iconv_open("CP932", "UTF-8");
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  std::string in = utf8;
  out.assign(in.size() * 2 + 16, '\0');
  char* src = in.data();
  std::size_t srcLeft = in.size();
  char* dst = out.data();
  std::size_t dstLeft = out.size();
  const std::size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
  iconv_close(cd);
  if (r == static_cast<std::size_t>(-1) || srcLeft != 0) return false;
  out.resize(out.size() - dstLeft);
  return true;
}

bool WritePuzzle(const Puzzle& p, const std::string& path) {
  std::string bytes;
  if (!ToCp932(ProfileText(p), bytes)) {
    std::fprintf(stderr, "make_samples: %s has text that code page 932 cannot hold\n", path.c_str());
    return false;
  }
  const std::string temp = path + ".tmp";
  std::FILE* f = std::fopen(temp.c_str(), "wb");
  if (f == nullptr) return false;
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  ok = std::fclose(f) == 0 && ok;
  if (ok && std::rename(temp.c_str(), path.c_str()) == 0) return true;
  std::remove(temp.c_str());
  return false;
}

[[noreturn]] void Fail(const std::string& what) {
  std::fprintf(stderr, "make_samples: %s\n", what.c_str());
  std::exit(1);
}

// The grid's characters, row-major, with kBlack for a blocked cell.
std::vector<std::string> GridChars(const std::vector<std::string>& rows, int width) {
  std::vector<std::string> g;
  for (const std::string& row : rows) {
    const std::vector<std::string> r = Chars(row);
    if (static_cast<int>(r.size()) != width) Fail("a grid row is not " + std::to_string(width) + " wide: " + row);
    g.insert(g.end(), r.begin(), r.end());
  }
  return g;
}

// Fills the character table from `alphabet` (index 1 onward) and returns character -> index.
std::map<std::string, int> FillMoji(Puzzle& p, const char* alphabet) {
  std::map<std::string, int> index;
  int i = 1;
  for (const std::string& ch : Chars(alphabet)) {
    p.moji[i] = ch;
    index[ch] = i++;
  }
  return index;
}

int IndexOf(const std::map<std::string, int>& index, const std::string& ch) {
  const auto it = index.find(ch);
  if (it == index.end()) Fail("the character table lacks " + ch);
  return it->second;
}

// ---- SAMPLE1.CRS: number-crossword ----------------------------------------------------------

const std::vector<std::string> kSample1 = {
    "フクロウ■バ■オヤコドン■ミチ",
    "■■ー■ブラジル■■ア■エキ■",
    "ハープ■ル■■ガ■フ■ヒ■サバ",
    "ー■■コーラ■ン■スピーカー■",
    "トナカイ■イシ■ヤマ■タ■■ナ",
    "■カ■■オオカミ■■ホームラン",
    "■■ジ■セン■ラ■■ル■ネ■■",
    "■タテ■ア■バイオリン■■■ク",
    "■コンビニ■タ■バー■ケ■ハル",
    "ア■シ■アリーナ■グレー■リマ",
    "オチャ■■■■イ■■■キツネ■",
    "■ャ■ペ■シイタケ■エ■■ズ■",
    "ラーメン■ョ■ー■■ダ■■ミス",
    "■ハ■ギョウザ■ナカマ■■■キ",
    "レンコン■ガ■クツ■メロディー",
};

Puzzle Sample1() {
  Puzzle p;
  p.width = p.height = 15;
  p.title = "見本ナンクロ　カタカナ１５×１５";
  const std::map<std::string, int> moji = FillMoji(p, kKatakana);
  const std::vector<std::string> g = GridChars(kSample1, p.width);

  // Numbers go to the characters in a fixed shuffled order, so that neither reading order nor
  // the character table gives them away.
  std::vector<std::string> order;
  for (const std::string& ch : g) {
    if (ch != kBlack && std::find(order.begin(), order.end(), ch) == order.end()) order.push_back(ch);
  }
  std::uint32_t seed = 0x5EED1u;
  for (std::size_t i = order.size(); i > 1; --i) {
    seed = seed * 1664525u + 1013904223u;
    std::swap(order[i - 1], order[(seed >> 8) % i]);
  }
  std::map<std::string, int> number;
  for (std::size_t i = 0; i < order.size(); ++i) {
    number[order[i]] = static_cast<int>(i) + 1;
    p.anser[i + 1] = IndexOf(moji, order[i]);
  }
  for (const std::string& ch : g) p.cells.push_back(ch == kBlack ? kEmptyCell : number.at(ch));

  // The answer word, read off the numbers of its characters.
  const std::vector<std::string> word = Chars("ナンクロ");
  for (std::size_t k = 0; k < word.size(); ++k) {
    if (number.count(word[k]) == 0) Fail("the answer word's " + word[k] + " is not in the grid");
    p.kaitou[k] = number.at(word[k]);
  }
  // Given cells: the long-vowel mark of ロープ, the ン of オヤコドン and the ホ of ホームラン.
  const int given[][2] = {{2, 1}, {11, 0}, {10, 5}};
  for (std::size_t k = 0; k < std::size(given); ++k) {
    const int lin = given[k][1] * p.width + given[k][0];
    if (g[lin] == kBlack) Fail("a given cell is blocked");
    p.syoki[k] = lin;
  }
  return p;
}

// ---- SAMPLE2.CRS: crossword -----------------------------------------------------------------

const std::vector<std::string> kSample2 = {
    "■うた■せなか",
    "■さいふ■■ぞ",
    "むぎ■と■きく",
    "ら■えんぴつ■",
    "さば■■■ねこ",
    "き■すいか■こ",
    "■こし■きいろ",
};

// Clue of every word of the grid (across and down alike).
const std::map<std::string, std::string> kClues = {
    {"うた", "メロディーに詞をのせて声に出すもの"},
    {"せなか", "からだの後ろ側。自分では見えません"},
    {"さいふ", "お金を入れて持ち歩く入れ物"},
    {"むぎ", "パンやうどんの原料になる穀物"},
    {"きく", "秋に咲く花。菊人形にもなります"},
    {"えんぴつ", "芯をけずって使う筆記具"},
    {"さば", "青魚の代表。みそ煮でおなじみ"},
    {"ねこ", "ニャーと鳴くペット"},
    {"すいか", "夏の果物。赤い実に黒い種"},
    {"こし", "胸と足のあいだ。ここに手を当てて立つ"},
    {"きいろ", "信号の真ん中の色"},
    {"むらさき", "赤と青を混ぜた色"},
    {"うさぎ", "耳の長い動物。月でもちをつくとか"},
    {"たい", "お祝いの席に出る魚の王様"},
    {"すし", "酢飯に魚をのせた日本の料理"},
    {"ふとん", "寝るときに敷いたり掛けたりするもの"},
    {"かき", "秋に実る、だいだい色の果物"},
    {"きつね", "油揚げが好物といわれる動物"},
    {"かぞく", "一緒に暮らす親子や兄弟"},
    {"こころ", "からだに対して、気持ちや思い"},
};

std::string RunFrom(const std::vector<std::string>& g, int w, int h, int x, int y, int dx, int dy) {
  std::string s;
  while (x < w && y < h && g[y * w + x] != kBlack) s += g[y * w + x], x += dx, y += dy;
  return s;
}

Puzzle Sample2() {
  Puzzle p;
  p.width = p.height = 7;
  p.title = "見本クロスワード　ひらがな７×７";
  p.crossword = true;
  const std::map<std::string, int> moji = FillMoji(p, kHiragana);
  const std::vector<std::string> g = GridChars(kSample2, p.width);
  const int w = p.width, h = p.height;

  // Each white cell has a number of its own, so that entering one cell fills no other.
  int next = 1;
  for (const std::string& ch : g) {
    if (ch == kBlack) {
      p.cells.push_back(kEmptyCell);
    } else {
      p.anser[next] = IndexOf(moji, ch);
      p.cells.push_back(next++);
    }
  }
  // Clue numbers in reading order on the cells that start a word across or down.
  int slot = 0;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      if (g[y * w + x] == kBlack) continue;
      const bool startsAcross = (x == 0 || g[y * w + x - 1] == kBlack) && x + 1 < w && g[y * w + x + 1] != kBlack;
      const bool startsDown = (y == 0 || g[(y - 1) * w + x] == kBlack) && y + 1 < h && g[(y + 1) * w + x] != kBlack;
      if (!startsAcross && !startsDown) continue;
      p.hintTbl[slot] = y * w + x + 1;
      const auto clue = [](const std::string& word) {
        const auto it = kClues.find(word);
        if (it == kClues.end()) Fail("no clue for " + word);
        return it->second;
      };
      if (startsAcross) p.yoko[slot] = clue(RunFrom(g, w, h, x, y, 1, 0));
      if (startsDown) p.tate[slot] = clue(RunFrom(g, w, h, x, y, 0, 1));
      ++slot;
    }
  }
  return p;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_samples PROGRAM_DIR\n");
    return 2;
  }
  const std::string dir = std::string(argv[1]) + "/";
  bool ok = WritePuzzle(Sample1(), dir + "SAMPLE1.CRS");
  ok = WritePuzzle(Sample2(), dir + "SAMPLE2.CRS") && ok;
  if (!ok) {
    std::fprintf(stderr, "make_samples: cannot write the sample puzzles into %s\n", argv[1]);
    return 1;
  }
  return 0;
}
