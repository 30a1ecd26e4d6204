// Paths of puzzle files as the user names them (file chooser, command line, a drop, the recent
// list) and as the settings keep them. Paths are bytes as the system gives them.
#pragma once

#include <string>
#include <vector>

#include "desktop/program_folders.h"

namespace teku {

// A name without '/' lies in `folder` (ending with '/'); anything else is a path of its own.
std::string ResolveInFolder(const std::string& folder, const std::string& name);

// What the MONDAI setting keeps for the puzzle at `path` (a full path): its bare name when it
// lies in the program folder, as the Windows build writes it, and the full path otherwise.
std::string PuzzleNameFor(const std::string& programDir, const std::string& path);

// A bare name in a folder that is the program's own rather than the user's (the installed data
// folder): a save there goes through the file chooser instead.
bool SaveNeedsChooser(const ProgramFolders& folders, const std::string& puzzleName);

// Where the file chooser opens: the current puzzle's folder, else the program folder of a
// portable program, else the home folder.
std::string ChooserFolder(const ProgramFolders& folders, const std::string& currentPath, const std::string& home);

// The puzzle the program was started with: the first argument that is not an option ("--" ends
// the options), made absolute against `cwd` ("./NAME" when the current folder is unknown);
// empty when there is none.
std::string PuzzleArgument(const std::vector<std::string>& args, const std::string& cwd);

// The local path of a "file:" URI of a drop (text/uri-list), its %-escapes decoded to bytes;
// empty for any other URI or a file on another host.
std::string LocalPathOfUri(const std::string& uri);

// True for "*.CRS" in any case.
bool HasPuzzleExtension(const std::string& path);

}  // namespace teku
