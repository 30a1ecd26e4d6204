// Word lists of any content are loaded or refused cleanly, and every word of a loaded one is
// found again; the same bytes read as a user's word file add only kana words.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "workbench/word_list.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace teku;
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  WordList list;
  std::string error;
  if (list.Parse(bytes, error)) {
    for (std::size_t len = 0; len <= kLongestListedWord + 1; ++len) {
      for (std::size_t i = 0; i < list.Count(len) && i < 64; ++i) {
        if (list.Word(len, i).size() != len) std::abort();
      }
    }
  } else if (error.empty() || list.Size() != 0) {
    std::abort();
  }
  WordList own;
  own.AddText(bytes);
  for (std::size_t len = 0; len < 64; ++len) {
    for (std::size_t i = 0; i < own.Count(len); ++i) {
      for (const char c : own.Word(len, i)) {
        const auto code = static_cast<std::uint8_t>(c);
        if (!((code >= 1 && code <= 0x56) || code == kLongVowelCode)) std::abort();
      }
    }
  }
  return 0;
}
