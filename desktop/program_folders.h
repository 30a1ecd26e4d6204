// Where the program finds its data and keeps its settings and trace log: beside the executable
// for a build folder or a portable copy, the prefix's data folder and the XDG folders once installed.
#pragma once

#include <functional>
#include <string>

namespace teku {

struct ProgramFolders {
  // The data files (sheets, pictures, sounds, help, samples), and where bare puzzle names lie.
  std::string programDir;
  std::string settingsDir;  // TEKUINI.INI; empty when the user has no home to keep it in
  std::string stateDir;     // TEKUTRC.LOG; empty as above
  // All three are the executable's folder, as the Windows layout has them.
  bool portable = true;
};

// The environment the decision reads; values as the variables hold them (unset reads empty).
struct FolderEnvironment {
  std::string home;
  std::string configHome;  // XDG_CONFIG_HOME
  std::string stateHome;   // XDG_STATE_HOME
};

struct FolderProbes {
  std::function<bool(const std::string& dir)> isWritable;
  std::function<bool(const std::string& dir)> isDirectory;
};

// The data folder an installation puts beside its bin folder.
inline constexpr char kInstalledDataFolder[] = "share/tekucros/";

// For the executable at `exePath` (a full path). Every folder returned ends with '/'.
// - `EXEDIR/../share/tekucros/` exists: an installed program. Data from there, settings and log
//   in the XDG folders, whether or not the prefix is writable (a prefix in the home folder, or a
//   program run by root, must not collect settings in bin/).
// - otherwise the executable's folder holds the data; when it is writable it holds the settings
//   and log as well (portable), and when it is not they go to the XDG folders.
ProgramFolders DecideProgramFolders(const std::string& exePath, const FolderEnvironment& environment,
                                    const FolderProbes& probes);

// The running process's environment (HOME from the password database when unset) and the
// real file system.
FolderEnvironment CurrentFolderEnvironment();
FolderProbes SystemFolderProbes();
ProgramFolders ProgramFoldersOf(const std::string& exePath);

// Creates `dir` and the folders missing on the way to it, new ones private to the user. True
// when `dir` is a folder this user can write afterwards.
bool MakeFolders(const std::string& dir);

}  // namespace teku
