// Reading files that a user may have replaced by anything: a FIFO, a device, a link to
// /dev/zero. Nothing here blocks on opening, and only regular files are read, up to a size.
#pragma once

#include <cstdint>
#include <string>

namespace teku {

enum class FileRead {
  kOk,
  kMissing,     // no such file (or a missing folder on the way)
  kNotRegular,  // a directory, FIFO, socket or device
  kTooLarge,    // more bytes than the caller allows
  kUnreadable,  // this user may not read it, or a read failed part way
  kNoMemory,
};

// The whole file at `path` into `bytes` (cleared on any outcome but kOk).
FileRead ReadRegularFile(const std::string& path, std::int64_t maxBytes, std::string& bytes);

// A descriptor of the regular file at `path` opened for reading, or -1. The open never waits
// for a FIFO's writer; the descriptor is blocking again when returned.
int OpenRegularFile(const std::string& path);

// True when `path` is a regular file this user can open, of at most `maxBytes` (any size
// when negative).
bool IsReadableRegularFile(const std::string& path, std::int64_t maxBytes = -1);

// Test hook: the read that crosses byte `offset` of a file fails with EIO (once); negative
// turns it off.
void FailFileReadAt(std::int64_t offset);

}  // namespace teku
