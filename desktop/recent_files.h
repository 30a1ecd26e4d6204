// The puzzles last opened or saved, newest first, as the "最近使ったファイル" menu lists them. They
// are kept in the settings file under keys of our own (RECENTFILE1 ... RECENTFILE8), which the
// Windows build never reads.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace teku {

inline constexpr std::size_t kRecentFilesMax = 8;

class RecentFiles {
 public:
  const std::vector<std::string>& paths() const { return paths_; }

  // `path` (a full path) goes to the front, once; the oldest beyond eight drop off. A path the
  // settings file could not give back unchanged (a line break in it, or longer than a value
  // reads) is not listed.
  void Add(const std::string& path);
  void Remove(const std::string& path);

  // "RECENTFILE1" for index 0.
  static std::string Key(std::size_t index);
  // Reads the keys; empty, relative and repeated entries are skipped.
  void Read(const std::function<std::string(const std::string& key)>& read);
  // Writes one key per entry and removes the keys of the slots left over.
  void Write(const std::function<void(const std::string& key, const std::string& value)>& write,
             const std::function<void(const std::string& key)>& remove) const;

 private:
  std::vector<std::string> paths_;
};

}  // namespace teku
