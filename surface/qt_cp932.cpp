// Code page 932 for the widgets, over the core's conversion.
#include "surface/qt_cp932.h"

#include "services/cp932.h"

namespace teku {

QString Cp932ToQString(const std::string& bytes) {
  const std::string utf8 = Cp932ToUtf8(bytes);
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::optional<std::string> QStringToCp932(const QString& text) {
  const QByteArray utf8 = text.toUtf8();
  return Utf8ToCp932(std::string(utf8.constData(), static_cast<std::size_t>(utf8.size())));
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
