// Profile-file engine: a line-preserving document with an index of the first section of each
// name, plus atomic replacement of the file and an optional in-memory batch.
#include "services/profile_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <list>
#include <sstream>
#include <unordered_map>

namespace teku {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string Trim(const std::string& s) {
  std::size_t b = 0;
  std::size_t e = s.size();
  while (b < e && IsBlank(s[b])) ++b;
  while (e > b && IsBlank(s[e - 1])) --e;
  return s.substr(b, e - b);
}

std::string Fold(const std::string& s) {
  std::string out = s;
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return out;
}

bool IsLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

std::string Unquote(const std::string& trimmed) {
  if (trimmed.size() >= 2 && (trimmed.front() == '"' || trimmed.front() == '\'') &&
      trimmed.back() == trimmed.front()) {
    return trimmed.substr(1, trimmed.size() - 2);
  }
  return trimmed;
}

// Cuts at 1023 bytes without splitting a double-byte character.
std::string Clip(const std::string& value) {
  if (value.size() <= kProfileValueMax) return value;
  std::size_t i = 0;
  while (i < kProfileValueMax) {
    const std::size_t step = IsLeadByte(static_cast<unsigned char>(value[i])) ? 2 : 1;
    if (i + step > kProfileValueMax) break;
    i += step;
  }
  return value.substr(0, i);
}

std::function<bool(const std::string&, const std::string&)>& FailureHook() {
  static std::function<bool(const std::string&, const std::string&)> hook;
  return hook;
}

// Anything a platform would refuse: a file without write permission (also for a privileged
// user, as the read-only attribute would be), or a directory we cannot create files in.
bool Writable(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0) {
    if (!S_ISREG(st.st_mode)) return false;
    if ((st.st_mode & 0222) == 0 || ::access(path.c_str(), W_OK) != 0) return false;
  }
  const std::size_t slash = path.rfind('/');
  const std::string dir = slash == std::string::npos ? "." : path.substr(0, slash + 1);
  return ::access(dir.c_str(), W_OK) == 0;
}

bool ReadWholeFile(const std::string& path, std::string* text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream ss;
  ss << in.rdbuf();
  *text = ss.str();
  return true;
}

// Temporary file beside the target, flushed to disk, then renamed over it: a failure at any
// step leaves the old file whole.
void ReplaceFile(const std::string& path, const std::string& text) {
  if (!Writable(path)) throw ProfileWriteError(path);
  mode_t mode = 0644;
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0) mode = st.st_mode & 07777;
  std::string tmp = path + ".tmpXXXXXX";
  const int fd = ::mkstemp(tmp.data());
  if (fd < 0) throw ProfileWriteError(path);
  bool ok = true;
  std::size_t done = 0;
  while (ok && done < text.size()) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      ok = false;
    } else {
      done += static_cast<std::size_t>(n);
    }
  }
  ok = ok && ::fchmod(fd, mode) == 0;
  ok = ok && ::fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  ok = ok && std::rename(tmp.c_str(), path.c_str()) == 0;
  if (!ok) {
    ::unlink(tmp.c_str());
    throw ProfileWriteError(path);
  }
}

struct Batch {
  int depth = 0;
  struct Entry {
    std::unique_ptr<ProfileDocument> doc;
    bool dirty = false;
    bool checked = false;
  };
  std::map<std::string, Entry> files;
};

Batch& TheBatch() {
  static Batch batch;
  return batch;
}

Batch::Entry& BatchEntry(const std::string& path) {
  auto& entry = TheBatch().files[path];
  if (!entry.doc) {
    std::string text;
    ReadWholeFile(path, &text);
    entry.doc = std::make_unique<ProfileDocument>(text);
  }
  return entry;
}

}  // namespace

ProfileWriteError::ProfileWriteError(const std::string& path)
    : std::runtime_error(path + " に書き込めません"), path_(path) {}

// ---- Document ----------------------------------------------------------------------------

struct ProfileDocument::Impl {
  struct Line {
    std::string text;
    std::string eol;
  };
  using Iter = std::list<Line>::iterator;
  struct Section {
    Iter last;  // the header, or the last key line of the section
    std::unordered_map<std::string, Iter> keys;  // first line of each folded key name
  };
  std::list<Line> lines;
  std::unordered_map<std::string, Section> sections;  // first section of each folded name
  bool hasTrailingText = false;

  static bool SplitKey(const std::string& text, std::string* key, std::string* rawValue) {
    const std::size_t eq = text.find('=');
    if (eq == std::string::npos) return false;
    *key = Trim(text.substr(0, eq));
    if (rawValue) *rawValue = Trim(text.substr(eq + 1));
    return true;
  }

  static bool SectionHeader(const std::string& text, std::string* name) {
    const std::string t = Trim(text);
    if (t.empty() || t.front() != '[') return false;
    const std::size_t close = t.rfind(']');
    *name = Trim(close == std::string::npos || close == 0 ? t.substr(1) : t.substr(1, close - 1));
    return true;
  }

  void Parse(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size()) {
      std::size_t j = i;
      while (j < text.size() && text[j] != '\r' && text[j] != '\n') ++j;
      Line line{text.substr(i, j - i), {}};
      if (j < text.size()) {
        if (text[j] == '\r' && j + 1 < text.size() && text[j + 1] == '\n') {
          line.eol = "\r\n";
          j += 2;
        } else {
          line.eol = text.substr(j, 1);
          j += 1;
        }
      }
      lines.push_back(std::move(line));
      i = j;
    }
    Section* current = nullptr;
    for (auto it = lines.begin(); it != lines.end(); ++it) {
      std::string name;
      if (SectionHeader(it->text, &name)) {
        auto [pos, inserted] = sections.try_emplace(Fold(name), Section{it, {}});
        current = inserted ? &pos->second : nullptr;
        continue;
      }
      std::string key;
      if (current && SplitKey(it->text, &key, nullptr)) {
        current->keys.try_emplace(Fold(key), it);
        current->last = it;
      }
    }
  }
};

ProfileDocument::ProfileDocument(const std::string& text) : impl_(std::make_unique<Impl>()) {
  impl_->Parse(text);
}

ProfileDocument::~ProfileDocument() = default;

bool ProfileDocument::Find(const std::string& section, const std::string& key,
                           std::string* value) const {
  const auto s = impl_->sections.find(Fold(Trim(section)));
  if (s == impl_->sections.end()) return false;
  const auto k = s->second.keys.find(Fold(Trim(key)));
  if (k == s->second.keys.end()) return false;
  std::string name;
  std::string raw;
  Impl::SplitKey(k->second->text, &name, &raw);
  if (value) *value = Clip(Unquote(raw));
  return true;
}

bool ProfileDocument::Write(const std::string& section, const std::string& key,
                            const std::string& value) {
  std::string clean = value;
  for (char& c : clean) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  const std::string encoded = EncodeProfileValue(clean);
  const std::string sectionName = Trim(section);
  const std::string keyName = Trim(key);
  auto& lines = impl_->lines;
  auto s = impl_->sections.find(Fold(sectionName));
  if (s == impl_->sections.end()) {
    if (!lines.empty() && lines.back().eol.empty()) lines.back().eol = "\r\n";
    auto header = lines.insert(lines.end(), {"[" + sectionName + "]", "\r\n"});
    s = impl_->sections.emplace(Fold(sectionName), Impl::Section{header, {}}).first;
  }
  Impl::Section& sec = s->second;
  const auto k = sec.keys.find(Fold(keyName));
  if (k != sec.keys.end()) {
    std::string name;
    std::string raw;
    Impl::SplitKey(k->second->text, &name, &raw);
    if (Unquote(raw) == clean) return false;
    k->second->text = name + "=" + encoded;
    if (k->second->eol.empty()) k->second->eol = "\r\n";
    return true;
  }
  if (sec.last->eol.empty()) sec.last->eol = "\r\n";
  auto line = lines.insert(std::next(sec.last), {keyName + "=" + encoded, "\r\n"});
  sec.keys.emplace(Fold(keyName), line);
  sec.last = line;
  return true;
}

std::string ProfileDocument::Text() const {
  std::string out;
  std::size_t size = 0;
  for (const auto& line : impl_->lines) size += line.text.size() + line.eol.size();
  out.reserve(size);
  for (const auto& line : impl_->lines) {
    out += line.text;
    out += line.eol;
  }
  return out;
}

// ---- Values --------------------------------------------------------------------------------

std::string EncodeProfileValue(const std::string& value) {
  std::string clean = value;
  for (char& c : clean) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  if (clean.empty()) return clean;
  const bool blankEnds = IsBlank(clean.front()) || IsBlank(clean.back());
  if (blankEnds || Unquote(clean) != clean) return "\"" + clean + "\"";
  return clean;
}

// ---- File access ---------------------------------------------------------------------------

bool FindProfileString(const std::string& path, const std::string& section,
                       const std::string& key, std::string* value) {
  if (TheBatch().depth > 0) return BatchEntry(path).doc->Find(section, key, value);
  std::string text;
  if (!ReadWholeFile(path, &text)) return false;
  return ProfileDocument(text).Find(section, key, value);
}

std::string ReadProfileString(const std::string& path, const std::string& section,
                              const std::string& key, const std::string& fallback) {
  std::string value;
  return FindProfileString(path, section, key, &value) ? value : fallback;
}

void WriteProfileString(const std::string& path, const std::string& section,
                        const std::string& key, const std::string& value) {
  if (FailureHook() && FailureHook()(path, key)) throw ProfileWriteError(path);
  if (TheBatch().depth > 0) {
    auto& entry = BatchEntry(path);
    // Refuse at the first write of a read-only file, as the unbatched write would.
    if (!entry.checked) {
      if (!Writable(path)) throw ProfileWriteError(path);
      entry.checked = true;
    }
    if (entry.doc->Write(section, key, value)) entry.dirty = true;
    return;
  }
  std::string text;
  ReadWholeFile(path, &text);
  ProfileDocument doc(text);
  if (doc.Write(section, key, value)) ReplaceFile(path, doc.Text());
}

void SetProfileWriteFailureForTest(
    std::function<bool(const std::string&, const std::string&)> fail) {
  FailureHook() = std::move(fail);
}

// ---- Batch ---------------------------------------------------------------------------------

ProfileWriteBatch::ProfileWriteBatch() : outer_(TheBatch().depth == 0) { ++TheBatch().depth; }

void ProfileWriteBatch::Commit() {
  if (done_) return;
  done_ = true;
  Batch& batch = TheBatch();
  --batch.depth;
  if (!outer_) return;
  auto files = std::move(batch.files);
  batch.files.clear();
  std::string failed;
  for (auto& [path, entry] : files) {
    if (!entry.dirty) continue;
    try {
      ReplaceFile(path, entry.doc->Text());
    } catch (const ProfileWriteError&) {
      if (failed.empty()) failed = path;
    }
  }
  if (!failed.empty()) throw ProfileWriteError(failed);
}

ProfileWriteBatch::~ProfileWriteBatch() {
  if (done_) return;
  try {
    Commit();
  } catch (const ProfileWriteError&) {
    // Already unwinding from the error that ended the batch early; that one is reported.
  }
}

}  // namespace teku
