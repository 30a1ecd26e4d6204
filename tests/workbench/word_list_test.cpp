#include "workbench/word_list.h"

#include <gtest/gtest.h>

#include <string>

namespace teku {
namespace {

TEST(WordList, TheDictionaryListHoldsCommonWordsInKatakanaOnly) {
  WordList list;
  std::string error;
  ASSERT_TRUE(list.Load(std::string(TEKU_PROGRAM_DIR) + "/TEKUWORD.DIC", error)) << error;
  EXPECT_GT(list.Size(), 100000u);
  for (const char* w : {"ネコ", "サクラ", "コーヒー", "トウキョウ", "ギョウザ"}) {
    EXPECT_TRUE(list.Contains(*CodeWord(w))) << w;
  }
  EXPECT_EQ(list.Count(1), 0u);
  EXPECT_EQ(list.Count(16), 0u);
  std::size_t longVowels = 0;
  for (std::size_t len = kShortestWord; len <= kLongestListedWord; ++len) {
    for (std::size_t i = 0; i < list.Count(len); ++i) {
      for (const char c : list.Word(len, i)) {
        const auto code = static_cast<std::uint8_t>(c);
        ASSERT_TRUE((code >= 0x01 && code <= 0x56) || code == kLongVowelCode) << int{code};
        longVowels += code == kLongVowelCode;
      }
    }
  }
  EXPECT_GT(longVowels, 1000u);
}

TEST(WordList, CompactFormReadsBackAndDamagedFilesAreRefused) {
  const std::string bytes = CompactWordList({*CodeWord("ネコ"), *CodeWord("ねこ"), *CodeWord("サクラ"),
                                             *CodeWord("ア"), *CodeWord("イヌ")});
  WordList list;
  std::string error;
  ASSERT_TRUE(list.Parse(bytes, error)) << error;
  EXPECT_EQ(list.Size(), 3u);  // ねこ is ネコ, and one character is no word
  EXPECT_EQ(list.Word(2, 0), *CodeWord("イヌ"));  // sorted
  EXPECT_TRUE(list.Contains(*CodeWord("サクラ")));
  EXPECT_FALSE(list.Add(*CodeWord("ネコ")));
  EXPECT_TRUE(list.Add(*CodeWord("ネコヤナギノキノシタノイエノマエ")));  // longer than the file holds
  EXPECT_EQ(list.Count(16), 1u);

  EXPECT_FALSE(list.Parse(bytes.substr(0, bytes.size() - 1), error));
  EXPECT_FALSE(list.Parse(bytes + "X", error));
  std::string huge = bytes;
  huge[12] = '\xFF';  // a count far beyond the file
  huge[15] = '\x7F';
  EXPECT_FALSE(list.Parse(huge, error));
  EXPECT_FALSE(list.Parse("TEKUWORD", error));
  EXPECT_EQ(list.Size(), 0u);
  EXPECT_FALSE(list.Load("/nonexistent/TEKUWORD.DIC", error));
  EXPECT_FALSE(CodeWord("ネコ犬").has_value());
  EXPECT_EQ(KanaText(KanaCode(U'ヴ')), "ヴ");
}

}  // namespace
}  // namespace teku
