// The recent-files list.
#include "desktop/recent_files.h"

#include <algorithm>

#include "services/profile_file.h"

namespace teku {

namespace {
bool Storable(const std::string& path) {
  if (path.empty() || path.front() != '/') return false;
  if (path.find_first_of("\r\n") != std::string::npos) return false;
  // Blanks at either end or quotes round it come back through the value's own quoting; only
  // what a read would cut short is lost.
  return DecodeProfileValue(EncodeProfileValue(path)) == path;
}
}  // namespace

void RecentFiles::Add(const std::string& path) {
  if (!Storable(path)) return;
  Remove(path);
  paths_.insert(paths_.begin(), path);
  if (paths_.size() > kRecentFilesMax) paths_.resize(kRecentFilesMax);
}

void RecentFiles::Remove(const std::string& path) {
  paths_.erase(std::remove(paths_.begin(), paths_.end(), path), paths_.end());
}

std::string RecentFiles::Key(std::size_t index) { return "RECENTFILE" + std::to_string(index + 1); }

void RecentFiles::Read(const std::function<std::string(const std::string& key)>& read) {
  paths_.clear();
  for (std::size_t i = 0; i < kRecentFilesMax; ++i) {
    const std::string path = read(Key(i));
    if (!Storable(path) || std::find(paths_.begin(), paths_.end(), path) != paths_.end()) continue;
    paths_.push_back(path);
  }
}

void RecentFiles::Write(const std::function<void(const std::string& key, const std::string& value)>& write,
                        const std::function<void(const std::string& key)>& remove) const {
  for (std::size_t i = 0; i < kRecentFilesMax; ++i) {
    if (i < paths_.size()) write(Key(i), paths_[i]);
    else remove(Key(i));
  }
}

}  // namespace teku
