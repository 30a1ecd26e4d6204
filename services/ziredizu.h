// The services component: where the program lives, the one profile section it uses, and key
// access to TEKUINI.INI and to puzzle files in the program's directory.
#pragma once

#include <string>

namespace teku {

// The section name a given executable file name yields: from the first "." on, everything but
// the last character is dropped (TEKUCROS.EXE -> TEKUCROSE, MY.APP.EXE -> MYE).
std::string SectionNameFor(const std::string& exeFileName);

class ZIREDIZU {
 public:
  // Identity from the running executable (/proc/self/exe).
  ZIREDIZU();
  // Identity from a given executable path (tests, tools acting for another directory).
  explicit ZIREDIZU(const std::string& exePath);
  // A program directory and section chosen directly; `exeDir` gets a final "/" if it lacks one.
  ZIREDIZU(const std::string& exeDir, const std::string& sectionName);

  const std::string& ExeDir() const { return ExeDir_; }
  const std::string& SectionName() const { return SectionName_; }
  const std::string& IniFileName() const { return IniFileName_; }

  // Reads never fail: anything missing gives "". Writes throw ProfileWriteError.
  std::string ReadIni(const std::string& key) const;
  void WriteIni(const std::string& key, const std::string& value) const;
  std::string ReadFileIni(const std::string& fileName, const std::string& key) const;
  void WriteFileIni(const std::string& fileName, const std::string& key,
                    const std::string& value) const;

 private:
  void SetIdentity(const std::string& exePath);

  std::string IniFileName_;
  std::string ExeDir_;
  std::string SectionName_;
};

}  // namespace teku
