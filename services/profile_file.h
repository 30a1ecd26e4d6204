// Profile files (INI-style text in code page 932) read and written one key at a time, with the
// semantics of the Windows profile functions, so that files travel both ways unchanged. Writes
// replace the file atomically under a lock; a batch collects a whole save (or load) into one
// file access; a file that is not profile text, too large, or not readable in full is never
// rewritten.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
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
// The largest profile file read: the largest real puzzle is about 150 kB.
inline constexpr std::int64_t kProfileFileMax = 4 * 1024 * 1024;

// What a profile file was found to be when it was read.
enum class ProfileFileState {
  kText,        // profile text, or an empty file
  kMissing,     // no such file: reads as empty, a write creates it
  kNotText,     // see LooksLikeProfileText
  kNotRegular,  // a directory, FIFO, socket or device
  kTooLarge,    // more than kProfileFileMax bytes
  kUnreadable,  // this user may not read it, or a read failed part way
  kNoMemory,
};

// Reads the file and says what it is (no lock is taken).
ProfileFileState CheckProfileFile(const std::string& path);

// The value of `key` in `section` of the file at `path`, as the Windows functions return it:
// names matched without regard to ASCII case, blanks and tabs around key and value ignored, one
// matching pair of surrounding quotes removed, at most 1023 bytes (cut at a character
// boundary). `defaultValue` when the file, section or key is missing, or the file cannot be
// read (kNotText files are read as they are); a key present with an empty value reads empty.
// A file unchanged since it was last parsed is not parsed again.
std::string ReadProfileString(const std::string& path, const std::string& section,
                              const std::string& key, const std::string& defaultValue);

// Writes KEY=VALUE (CRLF lines) into `section`: an existing key is replaced in place, a new key
// goes after the last key of its section, a new section at the end of the file. A value that
// reading would change (blanks at either end, surrounding quotes) is written inside one more
// pair of double quotes; CR and LF become spaces. Writing the value already stored leaves the
// file untouched. Throws ProfileWriteError when the file cannot be replaced: this user may not
// write it, it could not be read in full, it is too large or it is not profile text.
void WriteProfileString(const std::string& path, const std::string& section,
                        const std::string& key, const std::string& value);

// Removes the first KEY= line of `section`, as writing a null value does on Windows; a missing
// key leaves the file untouched. Throws ProfileWriteError when the file cannot be replaced.
void DeleteProfileKey(const std::string& path, const std::string& section, const std::string& key);

// Replaces the file at `path` with `bytes` as a save does (under the folder's lock, through an
// exclusive temporary file, keeping the target's permissions). Throws ProfileWriteError.
void ReplaceFileWith(const std::string& path, const std::string& bytes);

// Whether a batch may replace a file that is not profile text (kNotText, kNotRegular): only
// once the user has said so.
enum class ForeignFile { kKeep, kReplace };

// While a batch for a path is open, reads and writes of that file work on a copy in memory; the
// file is replaced once, when the outermost batch commits or ends (also after a write failed
// part way, so that the keys written before it stay written). Batches for one path nest. The
// outermost batch holds an advisory lock on the file's folder from its read to its write, so
// that saves of two processes never interleave. With kReplace, a foreign file is read as
// empty and replaced whole.
class ProfileBatch {
 public:
  explicit ProfileBatch(const std::string& path, ForeignFile foreign = ForeignFile::kKeep);
  ~ProfileBatch();  // commits; an error here is swallowed (call Commit to see it)
  ProfileBatch(const ProfileBatch&) = delete;
  ProfileBatch& operator=(const ProfileBatch&) = delete;

  // Writes the collected changes now (outermost batch only). Throws ProfileWriteError.
  void Commit();
  // What the file was when the outermost batch read it.
  ProfileFileState state() const;

 private:
  std::string path_;
  bool open_ = true;
};

// Test hook: the n-th write from now (1 = the next one) throws as if the disk refused it;
// 0 turns the hook off.
void FailProfileWriteNumber(int n);
// Test hook: the next temporary file of a save is tried under this name suffix first (a
// name an attacker guessed); empty turns the hook off.
void TryProfileTempSuffixFirst(const std::string& suffix);

// One file's text, kept whole, with an index built on first use of each section that is
// looked up: the first occurrence of each key in the first occurrence of that section. Lines
// that are not touched keep their bytes and line ends. Text that starts with the UTF-8
// byte-order mark is read as code page 932 and rendered back as UTF-8 with the mark.
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
  struct Section {
    enum class Where { kAbsent, kInText, kAppended } where = Where::kAbsent;
    std::string upperName;
    std::string header;          // the header line of an appended section
    std::size_t insertAt = 0;    // where new keys go: after the last key line, or the header
    bool insertAtEnd = false;    // insertAt is the end of the section
    struct Key {
      bool added = false;
      std::size_t at = 0;  // the line's start in text_, or the index in `added`
    };
    std::unordered_map<std::string, Key> keys;  // upper-case name -> first line
    std::vector<std::pair<std::string, std::string>> added;  // new lines: name, stored value
  };
  struct Rewrite {
    std::size_t next = 0;  // where the old line, with its line end, stops
    std::string name, stored;
    bool removed = false;  // the line goes, with its line end
  };
  Section& Lookup(const std::string& upperName) const;
  std::string OldValue(std::size_t lineStart) const;

  std::string text_;                // code page 932
  std::string utf8_;                // the file as read, when it was UTF-8 with the mark
  std::vector<std::size_t> headers_;  // starts of the section header lines
  mutable std::deque<Section> sections_;  // the sections looked up so far
  std::vector<std::size_t> appended_;     // indices into sections_, in order of creation
  std::map<std::size_t, Rewrite> rewrites_;  // key lines of text_ that were set, by start
  bool endLastLine_ = false;  // a line end goes after the text's last line when it has none
};

// True unless the bytes are plainly not profile text: a UTF-16 byte-order mark, a NUL byte,
// control characters or no line end at all in the first 4 KiB, or, in a file of more than
// blanks and line ends, no section line.
bool LooksLikeProfileText(const std::string& bytes);

// The value text a write stores for `value`: quoted when reading would change it, line breaks
// as spaces. Reading it back gives `value` with line breaks as spaces.
std::string EncodeProfileValue(const std::string& value);
// What reading makes of the raw text after '=': trimmed, one pair of quotes removed, capped at
// 1023 bytes on a character boundary.
std::string DecodeProfileValue(const std::string& raw);

}  // namespace teku
