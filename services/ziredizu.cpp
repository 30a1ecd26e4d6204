// Identity and key access of the services component.
#include "services/ziredizu.h"

#include <unistd.h>

#include <vector>

#include "services/profile_file.h"

namespace teku {

std::string SectionNameFor(const std::string& exeFileName) {
  std::string name = exeFileName;
  const std::size_t dot = name.find('.');
  // Keeps the last character on purpose: files written by the original build depend on it.
  if (dot != std::string::npos && name.size() - dot > 1) name.erase(dot, name.size() - dot - 1);
  return name;
}

namespace {

std::string SelfExe() {
  std::vector<char> buf(4096);
  const ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size() - 1);
  return n > 0 ? std::string(buf.data(), static_cast<std::size_t>(n)) : std::string("./TEKUCROS.EXE");
}

}  // namespace

ZIREDIZU::ZIREDIZU() { SetIdentity(SelfExe()); }

ZIREDIZU::ZIREDIZU(const std::string& exePath) { SetIdentity(exePath); }

ZIREDIZU::ZIREDIZU(const std::string& exeDir, const std::string& sectionName)
    : ExeDir_(exeDir), SectionName_(sectionName) {
  if (ExeDir_.empty() || ExeDir_.back() != '/') ExeDir_ += '/';
  IniFileName_ = ExeDir_ + "TEKUINI.INI";
}

void ZIREDIZU::SetIdentity(const std::string& exePath) {
  const std::size_t slash = exePath.rfind('/');
  ExeDir_ = slash == std::string::npos ? std::string() : exePath.substr(0, slash + 1);
  SectionName_ = SectionNameFor(slash == std::string::npos ? exePath : exePath.substr(slash + 1));
  IniFileName_ = ExeDir_ + "TEKUINI.INI";
}

std::string ZIREDIZU::ReadIni(const std::string& key) const {
  return ReadProfileString(IniFileName_, SectionName_, key, "");
}

void ZIREDIZU::WriteIni(const std::string& key, const std::string& value) const {
  WriteProfileString(IniFileName_, SectionName_, key, value);
}

std::string ZIREDIZU::ReadFileIni(const std::string& fileName, const std::string& key) const {
  return ReadProfileString(ExeDir_ + fileName, SectionName_, key, "");
}

void ZIREDIZU::WriteFileIni(const std::string& fileName, const std::string& key,
                            const std::string& value) const {
  WriteProfileString(ExeDir_ + fileName, SectionName_, key, value);
}

}  // namespace teku
