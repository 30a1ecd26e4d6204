// ZIREDIZU, the services component: where the settings file lies, the one section name every
// key lives in, and the key access for the settings file and the puzzle files.
#pragma once

#include <string>

namespace teku {

class ZIREDIZU {
 public:
  // The identity of the running executable (its real path).
  ZIREDIZU();
  // The identity of an executable at `exePath` (for tools and tests).
  explicit ZIREDIZU(const std::string& exePath);
  // A program folder and an explicit section name.
  ZIREDIZU(const std::string& exeDir, const std::string& sectionName);

  std::string IniFileName;  // ExeDir + "TEKUINI.INI"
  std::string ExeDir;       // ends with '/'
  std::string SectionName;

  std::string ReadIni(const std::string& key) const;
  void WriteIni(const std::string& key, const std::string& value) const;
  std::string ReadFileIni(const std::string& fileName, const std::string& key) const;
  void WriteFileIni(const std::string& fileName, const std::string& key,
                    const std::string& value) const;
  // A read with a default for a missing key (only the palette picture's key uses one).
  std::string ReadIniOr(const std::string& key, const std::string& defaultValue) const;

  // TEKUCROS.EXE gives TEKUCROSE, MY.APP.EXE gives MYE, a name without '.' stays whole.
  static std::string SectionNameFor(const std::string& exeFileName);
  // The real path of the running executable.
  static std::string RunningExecutable();
};

}  // namespace teku
