#include "workbench/word_list.h"

#include <algorithm>
#include <cstring>

#include "services/regular_file.h"

namespace teku {

namespace {

constexpr char kMagic[8] = {'T', 'E', 'K', 'U', 'W', 'O', 'R', 'D'};
constexpr std::uint8_t kVersion = 1;
constexpr std::size_t kHeaderBytes = 12;  // magic, version, longest length, two spare bytes
constexpr std::int64_t kMaxListBytes = std::int64_t{64} << 20;

// The next character of UTF-8 text, or U+FFFD for a malformed sequence.
char32_t NextChar(std::string_view s, std::size_t& i) {
  const auto b = static_cast<unsigned char>(s[i]);
  const std::size_t n = b < 0x80 ? 1 : (b & 0xE0) == 0xC0 ? 2 : (b & 0xF0) == 0xE0 ? 3 : (b & 0xF8) == 0xF0 ? 4 : 0;
  if (n == 0 || i + n > s.size()) {
    ++i;
    return 0xFFFD;
  }
  char32_t c = n == 1 ? b : b & (0x7F >> n);
  for (std::size_t k = 1; k < n; ++k) {
    const auto t = static_cast<unsigned char>(s[i + k]);
    if ((t & 0xC0) != 0x80) {
      ++i;
      return 0xFFFD;
    }
    c = (c << 6) | (t & 0x3F);
  }
  i += n;
  return c;
}

std::uint32_t ReadU32(const std::string& b, std::size_t at) {
  return static_cast<std::uint32_t>(static_cast<unsigned char>(b[at])) |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 2])) << 16 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 3])) << 24;
}

std::string_view Trimmed(std::string_view s) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  // An ideographic space (U+3000) at either end is as blank as an ASCII one to a Japanese user.
  constexpr std::string_view kWideSpace = "\xE3\x80\x80";
  while (s.size() >= 3 && s.substr(0, 3) == kWideSpace) s.remove_prefix(3);
  while (s.size() >= 3 && s.substr(s.size() - 3) == kWideSpace) s.remove_suffix(3);
  return s;
}

}  // namespace

std::uint8_t KanaCode(char32_t c) {
  if (c >= 0x3041 && c <= 0x3096) c += 0x60;  // hiragana to katakana
  if (c >= 0x30A1 && c <= 0x30F6) return static_cast<std::uint8_t>(c - 0x30A0);
  if (c == 0x30FC) return kLongVowelCode;
  return 0;
}

std::optional<CodedWord> CodeWord(std::string_view utf8) {
  CodedWord out;
  for (std::size_t i = 0; i < utf8.size();) {
    const std::uint8_t code = KanaCode(NextChar(utf8, i));
    if (code == 0) return std::nullopt;
    out += static_cast<char>(code);
  }
  return out;
}

std::string KanaText(std::uint8_t code) {
  if (code == 0 || code >= kFirstPuzzleCode) return {};
  const char32_t c = 0x30A0 + code;  // always three bytes in UTF-8
  return {static_cast<char>(0xE0 | (c >> 12)), static_cast<char>(0x80 | ((c >> 6) & 0x3F)),
          static_cast<char>(0x80 | (c & 0x3F))};
}

std::string CompactWordList(std::vector<CodedWord> words) {
  std::erase_if(words, [](const CodedWord& w) {
    return w.size() < kShortestWord || w.size() > kLongestListedWord;
  });
  std::sort(words.begin(), words.end(), [](const CodedWord& a, const CodedWord& b) {
    return a.size() != b.size() ? a.size() < b.size() : a < b;
  });
  words.erase(std::unique(words.begin(), words.end()), words.end());
  std::string out(kMagic, sizeof kMagic);
  out += static_cast<char>(kVersion);
  out += static_cast<char>(kLongestListedWord);
  out += std::string(2, '\0');
  for (std::size_t len = kShortestWord; len <= kLongestListedWord; ++len) {
    const auto n = static_cast<std::uint32_t>(
        std::count_if(words.begin(), words.end(), [len](const CodedWord& w) { return w.size() == len; }));
    for (int k = 0; k < 4; ++k) out += static_cast<char>((n >> (8 * k)) & 0xFF);
  }
  for (const CodedWord& w : words) out += w;
  return out;
}

bool WordList::Load(const std::string& path, std::string& error) {
  std::string bytes;
  switch (ReadRegularFile(path, kMaxListBytes, bytes)) {
    case FileRead::kOk: return Parse(std::move(bytes), error);
    case FileRead::kMissing: error = path + " がありません"; return false;
    case FileRead::kTooLarge: error = path + " は大きすぎます"; return false;
    default: error = path + " を読めません"; return false;
  }
}

bool WordList::Parse(std::string bytes, std::string& error) {
  bytes_.clear();
  runs_.clear();
  if (bytes.size() < kHeaderBytes || std::memcmp(bytes.data(), kMagic, sizeof kMagic) != 0 ||
      static_cast<std::uint8_t>(bytes[8]) != kVersion) {
    error = "単語リストの形式ではありません";
    return false;
  }
  const std::size_t longest = static_cast<std::uint8_t>(bytes[9]);
  if (longest < kShortestWord) {
    error = "単語リストの形式ではありません";
    return false;
  }
  std::vector<Run> runs(longest + 1);
  std::size_t offset = kHeaderBytes + 4 * (longest - 1);
  if (bytes.size() < offset) {
    error = "単語リストが途中で切れています";
    return false;
  }
  for (std::size_t len = kShortestWord; len <= longest; ++len) {
    const std::size_t count = ReadU32(bytes, kHeaderBytes + 4 * (len - kShortestWord));
    // Counts come from the file: each run must fit in what is left before it is believed.
    if (count > (bytes.size() - offset) / len) {
      error = "単語リストが途中で切れています";
      return false;
    }
    runs[len].offset = offset;
    runs[len].count = count;
    offset += count * len;
  }
  if (offset != bytes.size()) {
    error = "単語リストの長さが合いません";
    return false;
  }
  bytes_ = std::move(bytes);
  runs_ = std::move(runs);
  return true;
}

bool WordList::Add(const CodedWord& word) {
  if (word.size() < kShortestWord || Contains(word)) return false;
  if (runs_.size() <= word.size()) runs_.resize(word.size() + 1);
  runs_[word.size()].added += word;
  return true;
}

std::size_t WordList::AddText(std::string_view text, std::vector<std::string>* rejected) {
  std::size_t added = 0;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = Trimmed(text.substr(0, end));
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (line.starts_with("\xEF\xBB\xBF")) line = Trimmed(line.substr(3));  // a byte-order mark
    if (line.empty() || line.front() == '#') continue;
    const std::optional<CodedWord> word = CodeWord(line);
    if (!word) {
      if (rejected != nullptr) rejected->emplace_back(line);
      continue;
    }
    if (Add(*word)) ++added;
  }
  return added;
}

bool WordList::AddFile(const std::string& path, std::string& error, std::vector<std::string>* rejected) {
  std::string text;
  switch (ReadRegularFile(path, std::int64_t{16} << 20, text)) {
    case FileRead::kOk: AddText(text, rejected); return true;
    case FileRead::kMissing: error = path + " がありません"; return false;
    case FileRead::kTooLarge: error = path + " は大きすぎます"; return false;
    default: error = path + " を読めません"; return false;
  }
}

bool WordList::Contains(std::string_view word) const {
  const std::size_t len = word.size();
  if (len >= runs_.size()) return false;
  const Run& run = runs_[len];
  std::size_t lo = 0, hi = run.count;
  while (lo < hi) {
    const std::size_t mid = lo + (hi - lo) / 2;
    const int c = std::string_view(bytes_).substr(run.offset + mid * len, len).compare(word);
    if (c == 0) return true;
    if (c < 0) lo = mid + 1; else hi = mid;
  }
  for (std::size_t at = 0; at < run.added.size(); at += len) {
    if (std::string_view(run.added).substr(at, len) == word) return true;
  }
  return false;
}

std::size_t WordList::Count(std::size_t length) const {
  if (length == 0 || length >= runs_.size()) return 0;
  return runs_[length].count + runs_[length].added.size() / length;
}

std::string_view WordList::Word(std::size_t length, std::size_t i) const {
  const Run& run = runs_[length];
  if (i < run.count) return std::string_view(bytes_).substr(run.offset + i * length, length);
  return std::string_view(run.added).substr((i - run.count) * length, length);
}

std::size_t WordList::Size() const {
  std::size_t n = 0;
  for (std::size_t len = 0; len < runs_.size(); ++len) n += Count(len);
  return n;
}

}  // namespace teku
