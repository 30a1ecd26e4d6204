// The profile-file engine. Every file access goes through a ProfileDocument; a file is replaced
// by writing a temporary file beside it, flushing it to disk and renaming it over the target.
#include "services/profile_file.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <new>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "services/cp932.h"
#include "services/regular_file.h"

namespace teku {

namespace {

bool IsLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }
bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string Trim(const std::string& s) {
  std::size_t b = 0, e = s.size();
  while (b < e && IsBlank(s[b])) ++b;
  while (e > b && IsBlank(s[e - 1])) --e;
  return s.substr(b, e - b);
}

// ASCII letters upper-cased; the trail bytes of double-byte characters are left alone.
std::string UpperName(const std::string& s) {
  std::string out = s;
  for (std::size_t i = 0; i < out.size(); ++i) {
    const auto c = static_cast<unsigned char>(out[i]);
    if (IsLeadByte(c)) {
      ++i;
      continue;
    }
    if (c >= 'a' && c <= 'z') out[i] = static_cast<char>(c - 'a' + 'A');
  }
  return out;
}

// Lines end at CR, LF or CR LF. LineEnd gives where the line's text stops, NextLine where the
// next line starts.
std::size_t LineEnd(const std::string& t, std::size_t from) {
  const char* p = t.data() + from;
  const char* end = t.data() + t.size();
  while (p < end && *p != '\r' && *p != '\n') ++p;
  return static_cast<std::size_t>(p - t.data());
}

std::size_t NextLine(const std::string& t, std::size_t lineEnd) {
  if (lineEnd >= t.size()) return t.size();
  if (t[lineEnd] == '\r' && lineEnd + 1 < t.size() && t[lineEnd + 1] == '\n') return lineEnd + 2;
  return lineEnd + 1;
}

// The name of the section header line [from, end) ("[name]" after leading blanks), or false.
bool SectionName(const std::string& t, std::size_t from, std::size_t end, std::string* name) {
  std::size_t i = from;
  while (i < end && IsBlank(t[i])) ++i;
  if (i >= end || t[i] != '[') return false;
  const void* close = std::memchr(t.data() + i + 1, ']', end - i - 1);
  if (close == nullptr) return false;
  if (name != nullptr) {
    const auto c = static_cast<std::size_t>(static_cast<const char*>(close) - t.data());
    *name = Trim(t.substr(i + 1, c - i - 1));
  }
  return true;
}

std::string CutAtCharacter(const std::string& s, std::size_t max) {
  if (s.size() <= max) return s;
  std::size_t i = 0;
  while (i < s.size()) {
    const std::size_t len = IsLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size() ? 2 : 1;
    if (i + len > max) break;
    i += len;
  }
  return s.substr(0, i);
}

std::string Unquoted(const std::string& raw) {
  std::string v = Trim(raw);
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) {
    v = v.substr(1, v.size() - 2);
  }
  return v;
}

std::string WithoutLineBreaks(const std::string& value) {
  std::string v = value;
  for (char& c : v) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  return v;
}

constexpr char kUtf8Mark[] = "\xEF\xBB\xBF";

bool HasUtf8Mark(const std::string& text) { return text.compare(0, 3, kUtf8Mark) == 0; }

}  // namespace

// ---- what a file is ---------------------------------------------------------------------------

bool LooksLikeProfileText(const std::string& bytes) {
  if (bytes.size() >= 2) {
    const auto a = static_cast<unsigned char>(bytes[0]);
    const auto b = static_cast<unsigned char>(bytes[1]);
    if ((a == 0xFF && b == 0xFE) || (a == 0xFE && b == 0xFF)) return false;
  }
  if (std::memchr(bytes.data(), 0, bytes.size()) != nullptr) return false;
  const std::size_t start = HasUtf8Mark(bytes) ? 3 : 0;
  const std::size_t head = std::min(bytes.size(), start + 4096);
  bool lineEnd = false;
  for (std::size_t i = start; i < head; ++i) {
    const auto c = static_cast<unsigned char>(bytes[i]);
    if (c == '\r' || c == '\n') lineEnd = true;
    // Tab, form feed and the old end-of-file mark turn up in hand-edited text.
    else if (c < 0x20 && c != '\t' && c != '\f' && c != 0x1A) return false;
  }
  if (!lineEnd && bytes.size() > head) return false;
  bool blank = true;
  for (std::size_t i = start; i < bytes.size() && blank; ++i) {
    const char c = bytes[i];
    blank = c == ' ' || c == '\t' || c == '\r' || c == '\n';
  }
  if (blank) return true;
  for (std::size_t i = start; i < bytes.size();) {
    const std::size_t end = LineEnd(bytes, i);
    if (SectionName(bytes, i, end, nullptr)) return true;
    i = NextLine(bytes, end);
  }
  return false;
}

namespace {

ProfileFileState ReadProfileBytes(const std::string& path, std::string& bytes) {
  switch (ReadRegularFile(path, kProfileFileMax, bytes)) {
    case FileRead::kOk:
      return LooksLikeProfileText(bytes) ? ProfileFileState::kText : ProfileFileState::kNotText;
    case FileRead::kMissing: return ProfileFileState::kMissing;
    case FileRead::kNotRegular: return ProfileFileState::kNotRegular;
    case FileRead::kTooLarge: return ProfileFileState::kTooLarge;
    case FileRead::kNoMemory: return ProfileFileState::kNoMemory;
    case FileRead::kUnreadable: break;
  }
  return ProfileFileState::kUnreadable;
}

bool Readable(ProfileFileState s) { return s == ProfileFileState::kText || s == ProfileFileState::kNotText; }

// ---- parsed files, kept while the file stays as it was -------------------------------------

struct FileIdentity {
  dev_t dev = 0;
  ino_t ino = 0;
  off_t size = 0;
  std::int64_t mtimeNs = 0, ctimeNs = 0;
  bool operator==(const FileIdentity&) const = default;
};

std::int64_t Nanoseconds(const timespec& t) {
  return static_cast<std::int64_t>(t.tv_sec) * 1000000000 + t.tv_nsec;
}

bool IdentityOf(const std::string& path, FileIdentity& id) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  id = FileIdentity{st.st_dev, st.st_ino, st.st_size, Nanoseconds(st.st_mtim), Nanoseconds(st.st_ctim)};
  return true;
}

struct Loaded {
  ProfileFileState state = ProfileFileState::kMissing;
  std::shared_ptr<const ProfileDocument> doc;
};

struct CacheEntry {
  std::string path;
  FileIdentity id;
  Loaded loaded;
};
constexpr std::size_t kCacheEntries = 4;
// A file changed within this span of its last parse could change again without its time
// stamp moving (coarse file-system clocks: two seconds on FAT), so it is not kept.
constexpr std::int64_t kRacyNs = 3'000'000'000;

std::vector<CacheEntry>& Cache() {
  static std::vector<CacheEntry> cache;
  return cache;
}

void Forget(const std::string& path) {
  auto& cache = Cache();
  cache.erase(std::remove_if(cache.begin(), cache.end(), [&](const CacheEntry& e) { return e.path == path; }),
              cache.end());
}

const std::shared_ptr<const ProfileDocument>& EmptyDocument() {
  static const auto empty = std::make_shared<const ProfileDocument>();
  return empty;
}

// The file's state and document; the document is empty unless the state is readable. The
// identity is taken before the read, so a change during the read only makes the entry miss.
Loaded LoadFile(const std::string& path) {
  FileIdentity id;
  const bool known = IdentityOf(path, id);
  auto& cache = Cache();
  if (known) {
    for (const CacheEntry& e : cache) {
      if (e.path == path && e.id == id) return e.loaded;
    }
  }
  Loaded loaded;
  try {
    std::string bytes;
    loaded.state = ReadProfileBytes(path, bytes);
    loaded.doc = Readable(loaded.state) ? std::make_shared<const ProfileDocument>(ProfileDocument::Parse(bytes))
                                        : EmptyDocument();
    timespec now {};
    ::clock_gettime(CLOCK_REALTIME, &now);
    if (known && Readable(loaded.state) && id.mtimeNs + kRacyNs < Nanoseconds(now)) {
      Forget(path);
      if (cache.size() >= kCacheEntries) cache.erase(cache.begin());
      cache.push_back(CacheEntry{path, id, loaded});
    }
  } catch (const std::bad_alloc&) {
    Forget(path);
    loaded.state = ProfileFileState::kNoMemory;
    loaded.doc = EmptyDocument();
  }
  return loaded;
}

// ---- the folder lock ------------------------------------------------------------------------

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string BaseOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// flock on the folder rather than the file: the file is replaced by a rename, and a new file
// has nothing to lock yet. flock belongs to an open file description, so a process holds one
// descriptor per folder and counts its users.
class FolderLock {
 public:
  enum class State { kHeld, kUnlockable, kBusy };

  explicit FolderLock(const std::string& path) {
    const std::string folder = FolderOf(path);
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    struct stat st {};
    if (fd < 0 || ::fstat(fd, &st) != 0) {
      if (fd >= 0) ::close(fd);
      return;
    }
    key_ = {st.st_dev, st.st_ino};
    auto& held = Held();
    if (const auto it = held.find(key_); it != held.end()) {
      ::close(fd);
      ++it->second.count;
      state_ = State::kHeld;
      return;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    for (;;) {
      if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        held.emplace(key_, Holder{fd, 1});
        state_ = State::kHeld;
        return;
      }
      if (errno == EINTR) continue;
      // A file system without locks is used unlocked, as other programs use it.
      if (errno != EWOULDBLOCK || std::chrono::steady_clock::now() > deadline) {
        state_ = errno == EWOULDBLOCK ? State::kBusy : State::kUnlockable;
        ::close(fd);
        return;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  }
  ~FolderLock() {
    if (state_ != State::kHeld) return;
    auto& held = Held();
    const auto it = held.find(key_);
    if (it == held.end() || --it->second.count > 0) return;
    ::close(it->second.fd);
    held.erase(it);
  }
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;

  State state() const { return state_; }

 private:
  struct Holder {
    int fd;
    int count;
  };
  static std::map<std::pair<dev_t, ino_t>, Holder>& Held() {
    static std::map<std::pair<dev_t, ino_t>, Holder> held;
    return held;
  }
  State state_ = State::kUnlockable;
  std::pair<dev_t, ino_t> key_{};
};

// ---- replacing a file -------------------------------------------------------------------------

constexpr char kTempMark[] = ".tekusave-";
constexpr std::size_t kTempSuffixLength = 8;
std::string g_firstTempSuffix;

std::string RandomSuffix() {
  static const char kDigits[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  unsigned char bytes[kTempSuffixLength] = {};
  if (::getrandom(bytes, sizeof bytes, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof bytes)) {
    // Without the kernel's generator the name is only less surprising; O_EXCL keeps it safe.
    static std::uint64_t counter = 0;
    std::uint64_t x = static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
                      (static_cast<std::uint64_t>(::getpid()) << 32) ^ ++counter * 0x9E3779B97F4A7C15ull;
    for (unsigned char& b : bytes) {
      x ^= x >> 29;
      x *= 0xBF58476D1CE4E5B9ull;
      b = static_cast<unsigned char>(x >> 56);
    }
  }
  std::string s;
  for (unsigned char b : bytes) s += kDigits[b % (sizeof kDigits - 1)];
  return s;
}

bool IsOurTempName(const std::string& entry, const std::string& base) {
  const std::string prefix = base + kTempMark;
  if (entry.size() != prefix.size() + kTempSuffixLength || entry.compare(0, prefix.size(), prefix) != 0) return false;
  return std::all_of(entry.begin() + static_cast<std::ptrdiff_t>(prefix.size()), entry.end(),
                     [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; });
}

// What a save killed part way left behind. Only under the folder lock: then no save of ours
// is writing one.
void RemoveStaleTemps(const std::string& folder, const std::string& base) {
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (dir == nullptr) return;
  while (const dirent* e = ::readdir(dir)) {
    if (IsOurTempName(e->d_name, base)) ::unlink((folder + e->d_name).c_str());
  }
  ::closedir(dir);
}

bool WriteAll(int fd, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t w = ::write(fd, text.data() + done, text.size() - done);
    if (w < 0 && errno == EINTR) continue;
    if (w <= 0) return false;
    done += static_cast<std::size_t>(w);
  }
  return true;
}

// Replaces the file with `text`: a temporary file beside it, created exclusively and never
// through a link, flushed to disk, renamed over it. The file keeps its permissions (and its
// owner when the system allows). A file without any write permission (the read-only
// attribute) or that this user may not write is refused; any failure leaves the old file as it
// was.
void ReplaceFile(const std::string& path, const std::string& text, bool locked) {
  struct stat st {};
  mode_t mode = 0644;
  const bool exists = ::stat(path.c_str(), &st) == 0;
  if (!exists && errno != ENOENT) throw ProfileWriteError(path);
  if (exists) {
    if (S_ISDIR(st.st_mode)) throw ProfileWriteError(path);
    if (S_ISREG(st.st_mode)) {
      if ((st.st_mode & 0222) == 0 || ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0) {
        throw ProfileWriteError(path);
      }
      mode = st.st_mode & 07777;
    }
  }
  const std::string folder = FolderOf(path);
  const std::string base = BaseOf(path);
  if (locked) RemoveStaleTemps(folder, base);
  std::string temp;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    const std::string suffix = attempt == 0 && !g_firstTempSuffix.empty() ? g_firstTempSuffix : RandomSuffix();
    temp = folder + base + kTempMark + suffix;
    fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) throw ProfileWriteError(path);
  bool ok = WriteAll(fd, text);
  ok = ok && ::fchmod(fd, mode) == 0;
  if (ok && exists && S_ISREG(st.st_mode) && ::fchown(fd, st.st_uid, st.st_gid) != 0) {
    // Only root may give a file away; anyone else's file becomes theirs, as with any editor.
  }
  ok = ok && ::fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  Forget(path);
  if (ok && ::rename(temp.c_str(), path.c_str()) == 0) {
    const int dirFd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
      ::fsync(dirFd);
      ::close(dirFd);
    }
    return;
  }
  ::unlink(temp.c_str());
  throw ProfileWriteError(path);
}

int g_failWrite = 0;

struct OpenBatch {
  ProfileDocument doc;
  ProfileFileState state = ProfileFileState::kMissing;
  bool writable = false;
  std::unique_ptr<FolderLock> lock;
  int depth = 0;
  bool dirty = false;
};
std::map<std::string, OpenBatch>& Batches() {
  static std::map<std::string, OpenBatch> batches;
  return batches;
}

void CountWrite(const std::string& path) {
  if (g_failWrite > 0 && --g_failWrite == 0) throw ProfileWriteError(path);
}

void WriteInto(OpenBatch& batch, const std::string& section, const std::string& key, const std::string& value) {
  // A value that reads back the same as the one wanted leaves the file untouched.
  const auto raw = batch.doc.Find(section, key);
  if (raw && Unquoted(*raw) == WithoutLineBreaks(value)) return;
  if (batch.doc.Set(section, key, EncodeProfileValue(value))) batch.dirty = true;
}

}  // namespace

ProfileWriteError::ProfileWriteError(const std::string& path)
    : std::runtime_error(path + " に書き込めません"), path_(path) {}

void FailProfileWriteNumber(int n) { g_failWrite = n; }

void TryProfileTempSuffixFirst(const std::string& suffix) { g_firstTempSuffix = suffix; }

ProfileFileState CheckProfileFile(const std::string& path) {
  try {
    std::string bytes;
    return ReadProfileBytes(path, bytes);
  } catch (const std::bad_alloc&) {
    return ProfileFileState::kNoMemory;
  }
}

// ---- values -------------------------------------------------------------------------------

std::string DecodeProfileValue(const std::string& raw) {
  return CutAtCharacter(Unquoted(raw), kProfileValueMax);
}

std::string EncodeProfileValue(const std::string& value) {
  const std::string v = WithoutLineBreaks(value);
  return Unquoted(v) == v ? v : "\"" + v + "\"";
}

// ---- documents ----------------------------------------------------------------------------

ProfileDocument ProfileDocument::Parse(const std::string& text) {
  ProfileDocument doc;
  if (HasUtf8Mark(text)) {
    // Line ends are the same bytes in both encodings, so line n of one is line n of the other.
    doc.utf8_ = text;
    doc.text_ = Utf8ToCp932Lossy(text.substr(3));
  } else {
    doc.text_ = text;
  }
  const std::string& t = doc.text_;
  for (std::size_t i = 0; i < t.size();) {
    const std::size_t end = LineEnd(t, i);
    if (SectionName(t, i, end, nullptr)) doc.headers_.push_back(i);
    i = NextLine(t, end);
  }
  return doc;
}

ProfileDocument::Section& ProfileDocument::Lookup(const std::string& upperName) const {
  for (Section& s : sections_) {
    if (s.upperName == upperName) return s;
  }
  Section s;
  s.upperName = upperName;
  for (std::size_t h = 0; h < headers_.size(); ++h) {
    const std::size_t start = headers_[h];
    const std::size_t end = LineEnd(text_, start);
    std::string name;
    SectionName(text_, start, end, &name);
    if (UpperName(name) != upperName) continue;
    const std::size_t sectionEnd = h + 1 < headers_.size() ? headers_[h + 1] : text_.size();
    s.where = Section::Where::kInText;
    s.insertAt = NextLine(text_, end);
    for (std::size_t line = s.insertAt; line < sectionEnd;) {
      const std::size_t lineEnd = LineEnd(text_, line);
      const std::size_t next = NextLine(text_, lineEnd);
      const void* eq = std::memchr(text_.data() + line, '=', lineEnd - line);
      if (eq != nullptr) {
        const auto at = static_cast<std::size_t>(static_cast<const char*>(eq) - text_.data());
        s.keys.emplace(UpperName(Trim(text_.substr(line, at - line))), Section::Key{false, line});
        s.insertAt = next;
      }
      line = next;
    }
    s.insertAtEnd = s.insertAt == sectionEnd;
    break;
  }
  sections_.push_back(std::move(s));
  return sections_.back();
}

std::string ProfileDocument::OldValue(std::size_t lineStart) const {
  const std::size_t end = LineEnd(text_, lineStart);
  const std::size_t eq = text_.find('=', lineStart);
  return text_.substr(eq + 1, end - eq - 1);
}

std::optional<std::string> ProfileDocument::Find(const std::string& section,
                                                 const std::string& key) const {
  const Section& s = Lookup(UpperName(Trim(section)));
  if (s.where == Section::Where::kAbsent) return std::nullopt;
  const auto it = s.keys.find(UpperName(Trim(key)));
  if (it == s.keys.end()) return std::nullopt;
  if (it->second.added) return s.added[it->second.at].second;
  if (const auto rw = rewrites_.find(it->second.at); rw != rewrites_.end()) return rw->second.stored;
  return OldValue(it->second.at);
}

bool ProfileDocument::Set(const std::string& section, const std::string& key,
                          const std::string& stored) {
  Section& s = Lookup(UpperName(Trim(section)));
  if (s.where == Section::Where::kAbsent) {
    s.where = Section::Where::kAppended;
    s.header = "[" + section + "]";
    for (std::size_t i = 0; i < sections_.size(); ++i) {
      if (&sections_[i] == &s) appended_.push_back(i);
    }
    endLastLine_ = true;
  }
  const std::string upperKey = UpperName(Trim(key));
  const auto it = s.keys.find(upperKey);
  if (it != s.keys.end()) {
    const std::size_t at = it->second.at;
    if (it->second.added) {
      if (s.added[at].second == stored) return false;
      s.added[at].second = stored;
      return true;
    }
    if (const auto rw = rewrites_.find(at); rw != rewrites_.end()) {
      if (rw->second.stored == stored) return false;
      rw->second.stored = stored;
      return true;
    }
    if (OldValue(at) == stored) return false;
    // The key keeps its own spelling; the line becomes KEY=VALUE.
    const std::size_t end = LineEnd(text_, at);
    const std::size_t eq = text_.find('=', at);
    rewrites_.emplace(at, Rewrite{NextLine(text_, end), Trim(text_.substr(at, eq - at)), stored});
    return true;
  }
  s.added.emplace_back(Trim(key), stored);
  s.keys.emplace(upperKey, Section::Key{true, s.added.size() - 1});
  if (s.where == Section::Where::kInText && s.insertAtEnd) endLastLine_ = true;
  return true;
}

bool ProfileDocument::Remove(const std::string& section, const std::string& key) {
  Section& s = Lookup(UpperName(Trim(section)));
  if (s.where == Section::Where::kAbsent) return false;
  const auto it = s.keys.find(UpperName(Trim(key)));
  if (it == s.keys.end()) return false;
  const Section::Key gone = it->second;
  s.keys.erase(it);
  if (gone.added) {
    s.added.erase(s.added.begin() + static_cast<std::ptrdiff_t>(gone.at));
    for (auto& [name, k] : s.keys) {
      if (k.added && k.at > gone.at) --k.at;
    }
    return true;
  }
  const std::size_t end = LineEnd(text_, gone.at);
  Rewrite& rw = rewrites_[gone.at];
  rw.next = NextLine(text_, end);
  rw.removed = true;
  return true;
}

std::string ProfileDocument::Render() const {
  // Untouched stretches are copied from the file as read (UTF-8 when it was); new lines are
  // code page 932 and converted for a UTF-8 file.
  std::string out;
  std::string fresh;
  std::size_t cp = 0, u = 3;  // the same line start in text_ and in utf8_
  const bool utf8 = !utf8_.empty();
  const auto flush = [&] {
    if (fresh.empty()) return;
    out += utf8 ? Cp932ToUtf8(fresh) : fresh;
    fresh.clear();
  };
  const auto copy = [&](std::size_t from, std::size_t to) {
    if (from >= to) return;
    flush();
    if (!utf8) {
      out.append(text_, from, to - from);
      return;
    }
    const auto advance = [&](std::size_t target) {
      while (cp < target) {
        cp = NextLine(text_, LineEnd(text_, cp));
        u = NextLine(utf8_, LineEnd(utf8_, u));
      }
    };
    advance(from);
    const std::size_t u0 = u;
    advance(to);
    out.append(utf8_, u0, u - u0);
  };
  const auto line = [&](const std::string& name, const std::string& stored) {
    fresh += name;
    fresh += '=';
    fresh += stored;
    fresh += "\r\n";
  };
  const bool lastLineOpen = !text_.empty() && text_.back() != '\r' && text_.back() != '\n' &&
                            !(!rewrites_.empty() && rewrites_.rbegin()->second.next == text_.size());
  bool ended = false;
  const auto endText = [&] {
    if (ended) return;
    ended = true;
    if (endLastLine_ && lastLineOpen) fresh += "\r\n";
  };

  if (utf8) out = kUtf8Mark;
  // Insertions before rewrites at one offset: a new key follows the line that ends there.
  std::vector<std::pair<std::size_t, const Section*>> inserts;
  for (const Section& s : sections_) {
    if (s.where == Section::Where::kInText && !s.added.empty()) inserts.emplace_back(s.insertAt, &s);
  }
  std::sort(inserts.begin(), inserts.end());
  auto ins = inserts.begin();
  auto rw = rewrites_.begin();
  std::size_t pos = 0;
  while (ins != inserts.end() || rw != rewrites_.end()) {
    if (ins != inserts.end() && (rw == rewrites_.end() || ins->first <= rw->first)) {
      copy(pos, ins->first);
      pos = ins->first;
      if (pos == text_.size()) endText();
      for (const auto& [name, stored] : ins->second->added) line(name, stored);
      ++ins;
    } else {
      copy(pos, rw->first);
      if (!rw->second.removed) line(rw->second.name, rw->second.stored);
      pos = rw->second.next;
      ++rw;
    }
  }
  copy(pos, text_.size());
  endText();
  for (const std::size_t i : appended_) {
    const Section& s = sections_[i];
    fresh += s.header;
    fresh += "\r\n";
    for (const auto& [name, stored] : s.added) line(name, stored);
  }
  flush();
  return out;
}

// ---- file operations ------------------------------------------------------------------------

std::string ReadProfileString(const std::string& path, const std::string& section,
                              const std::string& key, const std::string& defaultValue) {
  auto& batches = Batches();
  const auto it = batches.find(path);
  std::optional<std::string> raw;
  if (it != batches.end()) {
    raw = it->second.doc.Find(section, key);
  } else {
    raw = LoadFile(path).doc->Find(section, key);
  }
  return raw ? DecodeProfileValue(*raw) : defaultValue;
}

void WriteProfileString(const std::string& path, const std::string& section,
                        const std::string& key, const std::string& value) {
  CountWrite(path);
  auto& batches = Batches();
  if (const auto it = batches.find(path); it != batches.end()) {
    WriteInto(it->second, section, key, value);
    return;
  }
  ProfileBatch batch(path);
  WriteInto(batches.at(path), section, key, value);
  batch.Commit();
}

void DeleteProfileKey(const std::string& path, const std::string& section, const std::string& key) {
  CountWrite(path);
  auto& batches = Batches();
  if (const auto it = batches.find(path); it != batches.end()) {
    if (it->second.doc.Remove(section, key)) it->second.dirty = true;
    return;
  }
  ProfileBatch batch(path);
  if (batches.at(path).doc.Remove(section, key)) batches.at(path).dirty = true;
  batch.Commit();
}

void ReplaceFileWith(const std::string& path, const std::string& bytes) {
  FolderLock lock(path);
  if (lock.state() == FolderLock::State::kBusy) throw ProfileWriteError(path);
  ReplaceFile(path, bytes, lock.state() == FolderLock::State::kHeld);
}

ProfileBatch::ProfileBatch(const std::string& path, ForeignFile foreign) : path_(path) {
  auto& batches = Batches();
  auto it = batches.find(path);
  if (it == batches.end()) {
    OpenBatch b;
    b.lock = std::make_unique<FolderLock>(path);
    const Loaded loaded = LoadFile(path);
    b.state = loaded.state;
    const bool foreignFile = b.state == ProfileFileState::kNotText || b.state == ProfileFileState::kNotRegular;
    if (foreignFile && foreign == ForeignFile::kReplace) {
      b.writable = true;
    } else {
      b.writable = b.state == ProfileFileState::kText || b.state == ProfileFileState::kMissing;
      b.doc = *loaded.doc;
    }
    it = batches.emplace(path, std::move(b)).first;
  }
  ++it->second.depth;
}

ProfileFileState ProfileBatch::state() const {
  const auto& batches = Batches();
  const auto it = batches.find(path_);
  return it == batches.end() ? ProfileFileState::kMissing : it->second.state;
}

void ProfileBatch::Commit() {
  if (!open_) return;
  open_ = false;
  auto& batches = Batches();
  const auto it = batches.find(path_);
  if (it == batches.end()) return;
  if (--it->second.depth > 0) return;
  OpenBatch batch = std::move(it->second);
  batches.erase(it);
  if (!batch.dirty) return;
  // Another process still saving after the wait: its save would be lost under ours.
  if (!batch.writable || batch.lock->state() == FolderLock::State::kBusy) throw ProfileWriteError(path_);
  std::string text;
  try {
    text = batch.doc.Render();
  } catch (const std::bad_alloc&) {
    throw ProfileWriteError(path_);
  }
  ReplaceFile(path_, text, batch.lock->state() == FolderLock::State::kHeld);
}

ProfileBatch::~ProfileBatch() {
  try {
    Commit();
  } catch (const ProfileWriteError&) {
    // Reported by an explicit Commit; a destructor never throws.
  }
}

}  // namespace teku
