// Profile files (INI-style text in code page 932) read and written one key at a time, with the
// semantics of the Windows profile functions, so that files travel both ways unchanged. Writes
// replace the file atomically; a batch collects a whole save (or load) into one file access.
#pragma once

#include <cstddef>
#include <optional>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <vector>

namespace teku {

// Raised when a file cannot be written. what() is "<full path> に書き込めません" (UTF-8 around
// the path's bytes); the file is left as it was.
class ProfileWriteError : public std::runtime_error {
 public:
  explicit ProfileWriteError(const std::string& path);
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

inline constexpr std::size_t kProfileValueMax = 1023;

// The value of `key` in `section` of the file at `path`, as the Windows functions return it:
// names matched without regard to ASCII case, blanks and tabs around key and value ignored, one
// matching pair of surrounding quotes removed, at most 1023 bytes (cut at a character
// boundary). `defaultValue` when the file, section or key is missing; a key present with an
// empty value reads empty.
std::string ReadProfileString(const std::string& path, const std::string& section,
                              const std::string& key, const std::string& defaultValue);

// Writes KEY=VALUE (CRLF lines) into `section`: an existing key is replaced in place, a new key
// goes after the last key of its section, a new section at the end of the file. A value that
// reading would change (blanks at either end, surrounding quotes) is written inside one more
// pair of double quotes; CR and LF become spaces. Writing the value already stored leaves the
// file untouched. Throws ProfileWriteError when the file cannot be replaced.
void WriteProfileString(const std::string& path, const std::string& section,
                        const std::string& key, const std::string& value);

// Removes the first KEY= line of `section`, as writing a null value does on Windows; a missing
// key leaves the file untouched. Throws ProfileWriteError when the file cannot be replaced.
void DeleteProfileKey(const std::string& path, const std::string& section, const std::string& key);

// While a batch for a path is open, reads and writes of that file work on a copy in memory; the
// file is replaced once, when the outermost batch commits or ends (also after a write failed
// part way, so that the keys written before it stay written). Batches for one path nest.
class ProfileBatch {
 public:
  explicit ProfileBatch(const std::string& path);
  ~ProfileBatch();  // commits; an error here is swallowed (call Commit to see it)
  ProfileBatch(const ProfileBatch&) = delete;
  ProfileBatch& operator=(const ProfileBatch&) = delete;

  // Writes the collected changes now (outermost batch only). Throws ProfileWriteError.
  void Commit();

 private:
  std::string path_;
  bool open_ = true;
};

// Test hook: the n-th write from now (1 = the next one) throws as if the disk refused it;
// 0 turns the hook off.
void FailProfileWriteNumber(int n);

// One file's text as lines, with an index of the first occurrence of each key in the first
// occurrence of each section. Lines that are not touched keep their bytes and line ends.
class ProfileDocument {
 public:
  static ProfileDocument Parse(const std::string& text);
  // The raw text after '=' of the key, or nothing.
  std::optional<std::string> Find(const std::string& section, const std::string& key) const;
  // Sets the key to `stored` (text as it goes after '='); false when nothing changed.
  bool Set(const std::string& section, const std::string& key, const std::string& stored);
  // Removes the key's line; false when there was none.
  bool Remove(const std::string& section, const std::string& key);
  std::string Render() const;

 private:
  struct Line {
    std::string text;  // without its line end
    std::string eol;   // "\r\n", "\n", "\r" or "" (the last line of a file without one)
    std::size_t valueStart = 0;  // for key lines: where the raw value starts in text
  };
  struct Section {
    std::string upperName;
    std::vector<Line> lines;  // lines[0] is the header (absent for the prelude)
    std::unordered_map<std::string, std::size_t> keys;  // upper-case key -> first line
    std::size_t lastKey = 0;  // index of the last key line (0: none yet)
  };
  Section* FindSection(const std::string& upperName);
  const Section* FindSection(const std::string& upperName) const;
  void EnsureLastLineEnds();

  std::vector<Section> sections_;  // sections_[0] is the prelude before any header
};

// The value text a write stores for `value`: quoted when reading would change it, line breaks
// as spaces. Reading it back gives `value` with line breaks as spaces.
std::string EncodeProfileValue(const std::string& value);
// What reading makes of the raw text after '=': trimmed, one pair of quotes removed, capped at
// 1023 bytes on a character boundary.
std::string DecodeProfileValue(const std::string& raw);

}  // namespace teku
