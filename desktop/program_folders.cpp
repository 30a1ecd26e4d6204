// The program's folders.
#include "desktop/program_folders.h"

#include <cerrno>
#include <cstdlib>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace teku {

namespace {

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// "/usr/bin/" gives "/usr/"; the root has no parent.
std::string ParentFolder(const std::string& dir) {
  if (dir.size() < 2) return std::string();
  return FolderOf(dir.substr(0, dir.size() - 1));
}

// The XDG base directory rules: a relative value is not to be used.
std::string BaseFolder(const std::string& variable, const std::string& home, const char* underHome) {
  if (!variable.empty() && variable.front() == '/') return variable;
  if (home.empty()) return std::string();
  return home + underHome;
}

std::string Slashed(std::string dir) {
  if (!dir.empty() && dir.back() != '/') dir += '/';
  return dir;
}

std::string Variable(const char* name) {
  const char* v = std::getenv(name);
  return v != nullptr ? std::string(v) : std::string();
}

}  // namespace

ProgramFolders DecideProgramFolders(const std::string& exePath, const FolderEnvironment& environment,
                                    const FolderProbes& probes) {
  const std::string exeDir = FolderOf(exePath);
  ProgramFolders f;
  f.programDir = exeDir;
  const std::string prefix = ParentFolder(exeDir);
  const std::string installed = prefix.empty() ? std::string() : prefix + kInstalledDataFolder;
  if (!installed.empty() && probes.isDirectory(installed)) {
    f.programDir = installed;
  } else if (probes.isWritable(exeDir)) {
    f.settingsDir = f.stateDir = exeDir;
    return f;
  }
  f.portable = false;
  const std::string config = BaseFolder(environment.configHome, environment.home, "/.config");
  const std::string state = BaseFolder(environment.stateHome, environment.home, "/.local/state");
  f.settingsDir = config.empty() ? std::string() : Slashed(config) + "tekucros/";
  f.stateDir = state.empty() ? std::string() : Slashed(state) + "tekucros/";
  return f;
}

FolderEnvironment CurrentFolderEnvironment() {
  FolderEnvironment e{Variable("HOME"), Variable("XDG_CONFIG_HOME"), Variable("XDG_STATE_HOME")};
  if (e.home.empty()) {
    if (const passwd* pw = ::getpwuid(::getuid()); pw != nullptr && pw->pw_dir != nullptr) e.home = pw->pw_dir;
  }
  return e;
}

FolderProbes SystemFolderProbes() {
  return FolderProbes{
      [](const std::string& dir) { return !dir.empty() && ::access(dir.c_str(), W_OK | X_OK) == 0; },
      [](const std::string& dir) {
        struct stat st {};
        return ::stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
      }};
}

ProgramFolders ProgramFoldersOf(const std::string& exePath) {
  return DecideProgramFolders(exePath, CurrentFolderEnvironment(), SystemFolderProbes());
}

bool MakeFolders(const std::string& dir) {
  if (dir.empty() || dir.front() != '/') return false;
  // Each folder on the way, shortest first; one that exists already is left as it is.
  std::size_t at = 1;
  while (at <= dir.size()) {
    std::size_t slash = dir.find('/', at);
    if (slash == std::string::npos) slash = dir.size();
    const std::string step = dir.substr(0, slash);
    if (!step.empty() && ::mkdir(step.c_str(), 0700) != 0 && errno != EEXIST) return false;
    at = slash + 1;
  }
  struct stat st {};
  return ::stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && ::access(dir.c_str(), W_OK | X_OK) == 0;
}

}  // namespace teku
