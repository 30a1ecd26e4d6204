// The services component's identity and key access.
#include "services/ziredizu.h"

#include <climits>
#include <unistd.h>

#include "services/profile_file.h"

namespace teku {

std::string ZIREDIZU::SectionNameFor(const std::string& exeFileName) {
  std::string name = exeFileName;
  const std::size_t dot = name.find('.');
  if (dot == std::string::npos) return name;
  // Everything from the first '.' up to, not including, the last character goes.
  const std::size_t count = name.size() - 1 - dot;
  name.erase(dot, count);
  return name;
}

std::string ZIREDIZU::RunningExecutable() {
  char buffer[PATH_MAX];
  const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (n <= 0) return std::string();
  return std::string(buffer, static_cast<std::size_t>(n));
}

ZIREDIZU::ZIREDIZU() : ZIREDIZU(RunningExecutable()) {}

ZIREDIZU::ZIREDIZU(const std::string& exePath) {
  const std::size_t slash = exePath.find_last_of('/');
  ExeDir = slash == std::string::npos ? std::string() : exePath.substr(0, slash + 1);
  SectionName = SectionNameFor(slash == std::string::npos ? exePath : exePath.substr(slash + 1));
  IniFileName = ExeDir + "TEKUINI.INI";
}

ZIREDIZU::ZIREDIZU(const std::string& exeDir, const std::string& sectionName)
    : ExeDir(exeDir.empty() || exeDir.back() == '/' ? exeDir : exeDir + "/"),
      SectionName(sectionName) {
  IniFileName = ExeDir + "TEKUINI.INI";
}

std::string ZIREDIZU::ReadIni(const std::string& key) const {
  return ReadProfileString(IniFileName, SectionName, key, "");
}

std::string ZIREDIZU::ReadIniOr(const std::string& key, const std::string& defaultValue) const {
  return ReadProfileString(IniFileName, SectionName, key, defaultValue);
}

void ZIREDIZU::WriteIni(const std::string& key, const std::string& value) const {
  WriteProfileString(IniFileName, SectionName, key, value);
}

std::string ZIREDIZU::ReadFileIni(const std::string& fileName, const std::string& key) const {
  return ReadProfileString(ExeDir + fileName, SectionName, key, "");
}

void ZIREDIZU::WriteFileIni(const std::string& fileName, const std::string& key,
                            const std::string& value) const {
  WriteProfileString(ExeDir + fileName, SectionName, key, value);
}

}  // namespace teku
