// Code page 932 conversion.
#include "services/cp932.h"

#include <cerrno>
#include <iconv.h>

namespace teku {

namespace {
// How many bytes a lossy conversion skips at a character it cannot convert.
using SkipFn = std::size_t (*)(const char* p, std::size_t left);
std::size_t OneByte(const char*, std::size_t) { return 1; }
// A whole UTF-8 sequence, so that one character gives one replacement.
std::size_t Utf8Sequence(const char* p, std::size_t left) {
  const auto c = static_cast<unsigned char>(*p);
  std::size_t n = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
  std::size_t i = 1;
  while (i < n && i < left && (static_cast<unsigned char>(p[i]) & 0xC0) == 0x80) ++i;
  return i;
}

// Converts `in`; with `lossy`, each character that does not convert becomes `replacement`.
bool Convert(const char* to, const char* from, const std::string& in, std::string& out,
             bool lossy, const char* replacement, SkipFn skip = OneByte) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  std::string src = in;
  char* p = src.data();
  std::size_t left = src.size();
  char buffer[1024];
  bool ok = true;
  while (left > 0) {
    char* dst = buffer;
    std::size_t room = sizeof buffer;
    const std::size_t r = iconv(cd, &p, &left, &dst, &room);
    out.append(buffer, sizeof buffer - room);
    if (r == static_cast<std::size_t>(-1) && errno != E2BIG) {
      if (!lossy) {
        ok = false;
        break;
      }
      out += replacement;
      const std::size_t n = skip(p, left);
      p += n;
      left -= n;
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
  }
  iconv_close(cd);
  return ok;
}
}  // namespace

std::string Cp932ToUtf8(const std::string& bytes) {
  std::string out;
  Convert("UTF-8", "CP932", bytes, out, true, "\xEF\xBF\xBD");
  return out;
}

std::optional<std::string> Utf8ToCp932(const std::string& utf8) {
  std::string out;
  if (!Convert("CP932", "UTF-8", utf8, out, false, "")) return std::nullopt;
  return out;
}

std::string Utf8ToCp932Lossy(const std::string& utf8) {
  std::string out;
  Convert("CP932", "UTF-8", utf8, out, true, "?", Utf8Sequence);
  return out;
}

}  // namespace teku
