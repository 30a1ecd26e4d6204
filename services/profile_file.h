// Profile files (section lines and KEY=VALUE lines, code page 932) read and written one key at a
// time with the semantics of the Windows profile functions, so files travel both ways unchanged.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>

namespace teku {

inline constexpr std::size_t kProfileValueMax = 1023;

// The one error the core lets escape: a write the platform refused. The message is
// "<full path> に書き込めません"; the file as it was before the write is still in place.
class ProfileWriteError : public std::runtime_error {
 public:
  explicit ProfileWriteError(const std::string& path);
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// Returns the value of `key` in the first section named `section` (ASCII case ignored), or
// `fallback` when the file, section or key is missing. A present empty value reads empty.
// At most 1023 bytes come back, never half of a double-byte character.
std::string ReadProfileString(const std::string& path, const std::string& section,
                              const std::string& key, const std::string& fallback = "");
// Same, reporting whether the key exists.
bool FindProfileString(const std::string& path, const std::string& section,
                       const std::string& key, std::string* value);

// Replaces or adds the key. CR and LF in `value` become spaces; a value the reader would change
// (blanks at its ends, a matching pair of quotes around it) is stored inside one more pair of
// double quotes. Throws ProfileWriteError when the file cannot be replaced.
void WriteProfileString(const std::string& path, const std::string& section,
                        const std::string& key, const std::string& value);

// The bytes a write puts after "KEY=" for `value`.
std::string EncodeProfileValue(const std::string& value);

// Applies profile-file edits to `text` in memory (used by the batch and by the fuzzer).
class ProfileDocument {
 public:
  explicit ProfileDocument(const std::string& text);
  ~ProfileDocument();
  ProfileDocument(const ProfileDocument&) = delete;
  ProfileDocument& operator=(const ProfileDocument&) = delete;

  bool Find(const std::string& section, const std::string& key, std::string* value) const;
  // Returns false when the value already stored reads back equal and nothing changed.
  bool Write(const std::string& section, const std::string& key, const std::string& value);
  std::string Text() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// While a batch is open, reads and writes of every path go to a copy in memory, and each file
// written is replaced once, atomically, when the batch ends: at Commit(), or when it is destroyed
// early (an exception on the way out), so the keys written before a failure are kept.
// Batches nest; the outermost one writes.
class ProfileWriteBatch {
 public:
  ProfileWriteBatch();
  ~ProfileWriteBatch();
  ProfileWriteBatch(const ProfileWriteBatch&) = delete;
  ProfileWriteBatch& operator=(const ProfileWriteBatch&) = delete;

  // Writes every changed file; throws ProfileWriteError for the first one refused.
  void Commit();

 private:
  bool outer_;
  bool done_ = false;
};

// For tests: when set and returning true for (path, key), that write is refused as if the
// platform had failed it.
void SetProfileWriteFailureForTest(std::function<bool(const std::string&, const std::string&)> fail);

}  // namespace teku
