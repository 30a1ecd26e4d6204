// Model text (code page 932 bytes) to and from Qt strings, where text meets the widgets.
#pragma once

#include <QString>
#include <optional>
#include <string>

namespace teku {

// Bytes that are not valid code page 932 become U+FFFD.
QString Cp932ToQString(const std::string& bytes);
// Nothing when the text holds a character that code page 932 cannot represent.
std::optional<std::string> QStringToCp932(const QString& text);

// Why a text typed into a field cannot be stored in a puzzle or settings file, or empty when
// it can: code page 932 only, no line breaks, at most 1023 bytes.
QString FieldTextProblem(const QString& text);

}  // namespace teku
