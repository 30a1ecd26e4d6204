// Profile-file text of any kind (UTF-8 with the byte-order mark too): parsing, lookups, edits
// and rendering end cleanly, and what a write stores reads back as written.
#include <cstddef>
#include <cstdint>
#include <string>

#include "services/profile_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace teku;
  const std::string text(reinterpret_cast<const char*>(data), size);
  ProfileDocument doc = ProfileDocument::Parse(text);
  // A file nothing was written to renders as the bytes it was.
  if (doc.Render() != text) __builtin_trap();
  // Keys and values taken from the input itself.
  const std::size_t cut = size / 3;
  const std::string key = text.substr(0, std::min<std::size_t>(cut, 12));
  const std::string value = text.substr(cut, std::min<std::size_t>(size - cut, 40));
  for (const char* section : {"TEKUCROSE", "S", ""}) {
    if (auto raw = doc.Find(section, key)) (void)DecodeProfileValue(*raw);
  }
  doc.Set("TEKUCROSE", key.empty() ? "K" : key, EncodeProfileValue(value));
  const std::string rendered = doc.Render();
  const ProfileDocument again = ProfileDocument::Parse(rendered);
  (void)LooksLikeProfileText(text);
  // Only a key name that survives parsing can be looked up again; in a UTF-8 file only text that
  // code page 932 round-trips does.
  const bool utf8 = text.compare(0, 3, "\xEF\xBB\xBF") == 0;
  if (!utf8 && key.find_first_of("=\r\n[") == std::string::npos && !key.empty() && key.front() != ' ' &&
      key.back() != ' ' && key.front() != '\t' && key.back() != '\t') {
    const auto raw = again.Find("TEKUCROSE", key);
    std::string expected = value;
    for (char& c : expected) {
      if (c == '\r' || c == '\n') c = ' ';
    }
    if (!raw || DecodeProfileValue(*raw) != DecodeProfileValue(EncodeProfileValue(expected))) {
      __builtin_trap();
    }
  }
  return 0;
}
