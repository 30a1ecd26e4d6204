// The profile-file engine. Every file access goes through a ProfileDocument; a file is replaced
// by writing a temporary file beside it, flushing it to disk and renaming it over the target.
#include "services/profile_file.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

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

// The name of a section header line ("[name]" after leading blanks), or false.
bool SectionName(const std::string& line, std::string& name) {
  std::size_t i = 0;
  while (i < line.size() && IsBlank(line[i])) ++i;
  if (i >= line.size() || line[i] != '[') return false;
  const std::size_t close = line.find(']', i + 1);
  if (close == std::string::npos) return false;
  name = Trim(line.substr(i + 1, close - i - 1));
  return true;
}

// For a key line: its name and where its value starts; false for other lines.
bool KeyOf(const std::string& line, std::string& key, std::size_t& valueStart) {
  const std::size_t eq = line.find('=');
  if (eq == std::string::npos) return false;
  key = Trim(line.substr(0, eq));
  valueStart = eq + 1;
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

// ---- files ----------------------------------------------------------------------------------

bool ReadWholeFile(const std::string& path, std::string& text) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (f == nullptr) return false;
  text.clear();
  char buffer[65536];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) text.append(buffer, n);
  std::fclose(f);
  return true;
}

// Replaces the file with `text`: a temporary file beside it, flushed to disk, renamed over it.
// A read-only target or any failure leaves the old file as it was.
void ReplaceFile(const std::string& path, const std::string& text) {
  struct stat st {};
  mode_t mode = 0644;
  if (::stat(path.c_str(), &st) == 0) {
    if (!S_ISREG(st.st_mode) || (st.st_mode & 0222) == 0) throw ProfileWriteError(path);
    mode = st.st_mode & 07777;
  }
  const std::string temp = path + ".tmp" + std::to_string(::getpid());
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0) throw ProfileWriteError(path);
  bool ok = true;
  std::size_t done = 0;
  while (ok && done < text.size()) {
    const ssize_t w = ::write(fd, text.data() + done, text.size() - done);
    if (w < 0 && errno == EINTR) continue;
    if (w <= 0) ok = false; else done += static_cast<std::size_t>(w);
  }
  ok = ok && ::fchmod(fd, mode) == 0;
  ok = ok && ::fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  if (ok && ::rename(temp.c_str(), path.c_str()) == 0) return;
  ::unlink(temp.c_str());
  throw ProfileWriteError(path);
}

int g_failWrite = 0;

struct OpenBatch {
  ProfileDocument doc;
  int depth = 0;
  bool dirty = false;
};
std::map<std::string, OpenBatch>& Batches() {
  static std::map<std::string, OpenBatch> batches;
  return batches;
}

ProfileDocument LoadDocument(const std::string& path) {
  std::string text;
  if (!ReadWholeFile(path, text)) text.clear();
  return ProfileDocument::Parse(text);
}

void CountWrite(const std::string& path) {
  if (g_failWrite > 0 && --g_failWrite == 0) throw ProfileWriteError(path);
}

}  // namespace

ProfileWriteError::ProfileWriteError(const std::string& path)
    : std::runtime_error(path + " に書き込めません"), path_(path) {}

void FailProfileWriteNumber(int n) { g_failWrite = n; }

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
  doc.sections_.emplace_back();  // the prelude
  std::size_t i = 0;
  while (i < text.size()) {
    std::size_t end = i;
    while (end < text.size() && text[end] != '\r' && text[end] != '\n') ++end;
    Line line;
    line.text = text.substr(i, end - i);
    if (end < text.size()) {
      if (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') {
        line.eol = "\r\n";
        end += 2;
      } else {
        line.eol = std::string(1, text[end]);
        end += 1;
      }
    }
    i = end;
    std::string name;
    if (SectionName(line.text, name)) {
      Section s;
      s.upperName = UpperName(name);
      s.lines.push_back(std::move(line));
      doc.sections_.push_back(std::move(s));
      continue;
    }
    Section& s = doc.sections_.back();
    std::string key;
    std::size_t valueStart = 0;
    if (KeyOf(line.text, key, valueStart)) {
      line.valueStart = valueStart;
      s.keys.emplace(UpperName(key), s.lines.size());
      s.lastKey = s.lines.size();
    }
    s.lines.push_back(std::move(line));
  }
  return doc;
}

const ProfileDocument::Section* ProfileDocument::FindSection(const std::string& upperName) const {
  for (std::size_t i = 1; i < sections_.size(); ++i) {
    if (sections_[i].upperName == upperName) return &sections_[i];
  }
  return nullptr;
}

ProfileDocument::Section* ProfileDocument::FindSection(const std::string& upperName) {
  return const_cast<Section*>(static_cast<const ProfileDocument*>(this)->FindSection(upperName));
}

std::optional<std::string> ProfileDocument::Find(const std::string& section,
                                                 const std::string& key) const {
  const Section* s = FindSection(UpperName(Trim(section)));
  if (s == nullptr) return std::nullopt;
  const auto it = s->keys.find(UpperName(Trim(key)));
  if (it == s->keys.end()) return std::nullopt;
  const Line& line = s->lines[it->second];
  return line.text.substr(line.valueStart);
}

void ProfileDocument::EnsureLastLineEnds() {
  for (auto s = sections_.rbegin(); s != sections_.rend(); ++s) {
    if (s->lines.empty()) continue;
    if (s->lines.back().eol.empty()) s->lines.back().eol = "\r\n";
    return;
  }
}

bool ProfileDocument::Set(const std::string& section, const std::string& key,
                          const std::string& stored) {
  Section* s = FindSection(UpperName(Trim(section)));
  if (s == nullptr) {
    EnsureLastLineEnds();
    Section fresh;
    fresh.upperName = UpperName(Trim(section));
    fresh.lines.push_back(Line{"[" + section + "]", "\r\n", 0});
    sections_.push_back(std::move(fresh));
    s = &sections_.back();
  }
  const std::string upperKey = UpperName(Trim(key));
  const auto it = s->keys.find(upperKey);
  if (it != s->keys.end()) {
    Line& line = s->lines[it->second];
    if (line.text.compare(line.valueStart, std::string::npos, stored) == 0) return false;
    // The key keeps its own spelling; the line becomes KEY=VALUE.
    const std::string name = Trim(line.text.substr(0, line.valueStart - 1));
    line.text = name + "=" + stored;
    line.valueStart = name.size() + 1;
    line.eol = "\r\n";
    return true;
  }
  const std::size_t at = s->lastKey == 0 ? 1 : s->lastKey + 1;
  if (at >= s->lines.size()) {
    EnsureLastLineEnds();
  } else if (s->lines[at - 1].eol.empty()) {
    s->lines[at - 1].eol = "\r\n";
  }
  const std::string name = Trim(key);
  s->lines.insert(s->lines.begin() + static_cast<std::ptrdiff_t>(at),
                  Line{name + "=" + stored, "\r\n", name.size() + 1});
  // Lines after the insertion point hold no keys, so the index needs no shifting.
  s->keys.emplace(upperKey, at);
  s->lastKey = at;
  return true;
}

bool ProfileDocument::Remove(const std::string& section, const std::string& key) {
  Section* s = FindSection(UpperName(Trim(section)));
  if (s == nullptr) return false;
  const auto it = s->keys.find(UpperName(Trim(key)));
  if (it == s->keys.end()) return false;
  s->lines.erase(s->lines.begin() + static_cast<std::ptrdiff_t>(it->second));
  // The lines after it moved up by one: index the section again.
  s->keys.clear();
  s->lastKey = 0;
  for (std::size_t i = 1; i < s->lines.size(); ++i) {
    std::string name;
    std::size_t valueStart = 0;
    if (!KeyOf(s->lines[i].text, name, valueStart)) continue;
    s->keys.emplace(UpperName(name), i);
    s->lastKey = i;
  }
  return true;
}

std::string ProfileDocument::Render() const {
  std::string out;
  for (const Section& s : sections_) {
    for (const Line& l : s.lines) {
      out += l.text;
      out += l.eol;
    }
  }
  return out;
}

// ---- file operations ------------------------------------------------------------------------

std::string ReadProfileString(const std::string& path, const std::string& section,
                              const std::string& key, const std::string& defaultValue) {
  auto& batches = Batches();
  const auto it = batches.find(path);
  if (it != batches.end()) {
    const auto raw = it->second.doc.Find(section, key);
    return raw ? DecodeProfileValue(*raw) : defaultValue;
  }
  const ProfileDocument doc = LoadDocument(path);
  const auto raw = doc.Find(section, key);
  return raw ? DecodeProfileValue(*raw) : defaultValue;
}

void WriteProfileString(const std::string& path, const std::string& section,
                        const std::string& key, const std::string& value) {
  CountWrite(path);
  const std::string stored = EncodeProfileValue(value);
  auto& batches = Batches();
  const auto it = batches.find(path);
  // A value that reads back the same as the one wanted leaves the file untouched.
  const auto unchanged = [&](const ProfileDocument& doc) {
    const auto raw = doc.Find(section, key);
    return raw && Unquoted(*raw) == WithoutLineBreaks(value);
  };
  if (it != batches.end()) {
    if (unchanged(it->second.doc)) return;
    if (it->second.doc.Set(section, key, stored)) it->second.dirty = true;
    return;
  }
  ProfileDocument doc = LoadDocument(path);
  if (unchanged(doc)) return;
  if (doc.Set(section, key, stored)) ReplaceFile(path, doc.Render());
}

void DeleteProfileKey(const std::string& path, const std::string& section, const std::string& key) {
  CountWrite(path);
  auto& batches = Batches();
  const auto it = batches.find(path);
  if (it != batches.end()) {
    if (it->second.doc.Remove(section, key)) it->second.dirty = true;
    return;
  }
  ProfileDocument doc = LoadDocument(path);
  if (doc.Remove(section, key)) ReplaceFile(path, doc.Render());
}

ProfileBatch::ProfileBatch(const std::string& path) : path_(path) {
  auto& batches = Batches();
  auto it = batches.find(path);
  if (it == batches.end()) it = batches.emplace(path, OpenBatch{LoadDocument(path), 0, false}).first;
  ++it->second.depth;
}

void ProfileBatch::Commit() {
  if (!open_) return;
  open_ = false;
  auto& batches = Batches();
  const auto it = batches.find(path_);
  if (it == batches.end()) return;
  if (--it->second.depth > 0) return;
  const bool dirty = it->second.dirty;
  const std::string text = dirty ? it->second.doc.Render() : std::string();
  batches.erase(it);
  if (dirty) ReplaceFile(path_, text);
}

ProfileBatch::~ProfileBatch() {
  try {
    Commit();
  } catch (const ProfileWriteError&) {
    // Reported by an explicit Commit; a destructor never throws.
  }
}

}  // namespace teku
