// Puzzle paths.
#include "desktop/puzzle_path.h"

#include <cstdlib>

namespace teku {

namespace {

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The folder with links and "." and ".." resolved, so that two spellings of the program folder
// compare equal; as written when it cannot be resolved (a folder that is gone).
std::string CanonicalFolder(const std::string& dir) {
  char* real = ::realpath(dir.c_str(), nullptr);
  if (real == nullptr) return dir.empty() || dir.back() == '/' ? dir : dir + "/";
  std::string out(real);
  std::free(real);
  if (out.back() != '/') out += '/';
  return out;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::string ResolveInFolder(const std::string& folder, const std::string& name) {
  return name.find('/') == std::string::npos ? folder + name : name;
}

std::string PuzzleNameFor(const std::string& programDir, const std::string& path) {
  const std::string dir = FolderOf(path);
  if (dir.empty()) return path;
  if (CanonicalFolder(dir) != CanonicalFolder(programDir)) return path;
  return path.substr(dir.size());
}

bool SaveNeedsChooser(const ProgramFolders& folders, const std::string& puzzleName) {
  return !folders.portable && puzzleName.find('/') == std::string::npos;
}

std::string ChooserFolder(const ProgramFolders& folders, const std::string& currentPath, const std::string& home) {
  const std::string dir = FolderOf(currentPath);
  if (!dir.empty()) return dir;
  if (folders.portable || home.empty()) return folders.programDir;
  return home;
}

std::string PuzzleArgument(const std::vector<std::string>& args, const std::string& cwd) {
  bool options = true;
  for (const std::string& a : args) {
    if (options && a == "--") {
      options = false;
      continue;
    }
    if (a.empty() || (options && a.front() == '-')) continue;
    if (a.front() == '/') return a;
    // Never a bare name, which would mean the program folder.
    if (cwd.empty()) return "./" + a;
    return cwd.back() == '/' ? cwd + a : cwd + "/" + a;
  }
  return std::string();
}

std::string LocalPathOfUri(const std::string& uri) {
  const std::string scheme = "file://";
  if (uri.compare(0, scheme.size(), scheme) != 0) return std::string();
  std::string rest = uri.substr(scheme.size());
  // "file:///path" or "file://localhost/path"; a file on another host is not ours to open.
  const std::string localhost = "localhost";
  if (rest.compare(0, localhost.size(), localhost) == 0) rest.erase(0, localhost.size());
  if (rest.empty() || rest.front() != '/') return std::string();
  std::string path;
  for (std::size_t i = 0; i < rest.size(); ++i) {
    if (rest[i] == '%' && i + 2 < rest.size() && HexValue(rest[i + 1]) >= 0 && HexValue(rest[i + 2]) >= 0) {
      const int byte = HexValue(rest[i + 1]) * 16 + HexValue(rest[i + 2]);
      if (byte == 0) return std::string();
      path += static_cast<char>(byte);
      i += 2;
    } else {
      path += rest[i];
    }
  }
  return path;
}

bool HasPuzzleExtension(const std::string& path) {
  if (path.size() < 4) return false;
  std::string ext = path.substr(path.size() - 4);
  for (char& c : ext) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return ext == ".CRS";
}

}  // namespace teku
