// The words the solver may put into a slot: katakana words held one byte per character, loaded
// from the compact list the build makes out of a dictionary, plus words added at run time.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace teku {

// A word as the solver sees it: one byte per character. Katakana U+30A1..U+30F6 are
// 0x01..0x56 and the long-vowel mark is 0x5C (code point - 0x30A0 for all of them); small kana
// stay apart from the large ones. 0x60..0xFF are free for characters a puzzle brings with it.
using CodedWord = std::string;

inline constexpr std::uint8_t kLongVowelCode = 0x5C;
inline constexpr std::uint8_t kFirstPuzzleCode = 0x60;

// The code of one character (hiragana read as katakana), or 0 when it has none.
std::uint8_t KanaCode(char32_t c);
// A whole word, or nothing when a character has no code.
std::optional<CodedWord> CodeWord(std::string_view utf8);
// The UTF-8 text of a kana code (codes from 0x60 up have none here: empty).
std::string KanaText(std::uint8_t code);

// The compact list's bytes: "TEKUWORD", version, longest length, then for each length from 2
// the number of words (32-bit little-endian), then the words of each length, sorted.
inline constexpr int kShortestWord = 2;
inline constexpr int kLongestListedWord = 15;
std::string CompactWordList(std::vector<CodedWord> words);

// The list the build makes, in the program's data folder, and the user's own words (one a
// line, UTF-8) in the settings folder.
inline constexpr char kWordListFile[] = "TEKUWORD.DIC";
inline constexpr char kUserWordsFile[] = "TEKUWORD.TXT";

class WordList {
 public:
  // Replaces the words with those of a compact list; false (with `error` set) when the file
  // cannot be read or is not such a list.
  bool Load(const std::string& path, std::string& error);
  bool Parse(std::string bytes, std::string& error);

  // Adds a word unless it is there already or shorter than two characters. True when added.
  bool Add(const CodedWord& word);
  // One word a line (UTF-8, hiragana read as katakana; blank lines and lines from '#' are
  // skipped). Returns the words added; `rejected` receives lines with other characters.
  std::size_t AddText(std::string_view text, std::vector<std::string>* rejected = nullptr);
  // AddText of a file of at most 16 MiB; false (with `error` set) when it cannot be read.
  bool AddFile(const std::string& path, std::string& error, std::vector<std::string>* rejected = nullptr);

  bool Contains(std::string_view word) const;
  // The words of one length: Count(n) words of n bytes each, one after another.
  std::size_t Count(std::size_t length) const;
  std::string_view Word(std::size_t length, std::size_t i) const;
  std::size_t Size() const;

 private:
  std::string bytes_;  // the compact list as loaded
  struct Run {
    std::size_t offset = 0, count = 0;  // sorted words in bytes_
    std::string added;                  // words added later, unsorted
  };
  std::vector<Run> runs_;  // by length
};

}  // namespace teku
