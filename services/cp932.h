// Code page 932 (Shift-JIS as Windows has it) to and from UTF-8, with iconv, for the places
// where model text meets Unicode: the windows, JSON output, the generators.
#pragma once

#include <optional>
#include <string>

namespace teku {

// Bytes that are not valid code page 932 become U+FFFD.
std::string Cp932ToUtf8(const std::string& bytes);
// Nothing when the text is not valid UTF-8 or holds a character code page 932 cannot hold.
std::optional<std::string> Utf8ToCp932(const std::string& utf8);
// Every character code page 932 cannot hold, and every malformed sequence, becomes '?'.
std::string Utf8ToCp932Lossy(const std::string& utf8);

}  // namespace teku
