// Code page 932 conversion with iconv.
#include "surface/qt_cp932.h"

#include <cerrno>
#include <iconv.h>

namespace teku {

namespace {
// Converts with iconv; `lossy` replaces undecodable input by U+FFFD (only for decoding).
bool Convert(const char* to, const char* from, const std::string& in, std::string& out,
             bool lossy, const std::string& replacement) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  std::string src = in;
  char* p = src.data();
  std::size_t left = src.size();
  char buffer[512];
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
      ++p;
      --left;
    }
  }
  iconv_close(cd);
  return ok;
}
}  // namespace

QString Cp932ToQString(const std::string& bytes) {
  std::string utf8;
  Convert("UTF-8", "CP932", bytes, utf8, true, "\xEF\xBF\xBD");
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::optional<std::string> QStringToCp932(const QString& text) {
  const QByteArray utf8 = text.toUtf8();
  std::string out;
  if (!Convert("CP932", "UTF-8", std::string(utf8.constData(), static_cast<std::size_t>(utf8.size())),
               out, false, "")) {
    return std::nullopt;
  }
  return out;
}

QString FieldTextProblem(const QString& text) {
  if (text.contains(QChar('\n')) || text.contains(QChar('\r'))) {
    return QString::fromUtf8("改行は入力できません。");
  }
  const std::optional<std::string> bytes = QStringToCp932(text);
  if (!bytes) return QString::fromUtf8("シフトJISで表せない文字が含まれています。");
  if (bytes->size() > 1023) return QString::fromUtf8("1023バイトを超える文字列は入力できません。");
  return QString();
}

}  // namespace teku
