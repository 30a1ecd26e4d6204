// Non-blocking opens: O_NONBLOCK lets open() return at once on a FIFO without a writer, and
// fstat on the open descriptor decides, so a file swapped between a check and the open is
// judged by what was really opened.
#include "services/regular_file.h"

#include <cerrno>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

namespace teku {

namespace {
std::int64_t g_failReadAt = -1;

int OpenNonBlocking(const std::string& path, FileRead& why) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    why = errno == ENOENT || errno == ENOTDIR ? FileRead::kMissing : FileRead::kUnreadable;
    return -1;
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    why = FileRead::kNotRegular;
    ::close(fd);
    return -1;
  }
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  why = FileRead::kOk;
  return fd;
}
}  // namespace

void FailFileReadAt(std::int64_t offset) { g_failReadAt = offset; }

int OpenRegularFile(const std::string& path) {
  FileRead why = FileRead::kOk;
  return OpenNonBlocking(path, why);
}

bool IsReadableRegularFile(const std::string& path, std::int64_t maxBytes) {
  const int fd = OpenRegularFile(path);
  if (fd < 0) return false;
  struct stat st {};
  const bool ok = ::fstat(fd, &st) == 0 && (maxBytes < 0 || st.st_size <= maxBytes);
  ::close(fd);
  return ok;
}

FileRead ReadRegularFile(const std::string& path, std::int64_t maxBytes, std::string& bytes) {
  bytes.clear();
  // A device or FIFO is refused before it is opened: opening some devices has effects.
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) {
    return errno == ENOENT || errno == ENOTDIR ? FileRead::kMissing : FileRead::kUnreadable;
  }
  if (!S_ISREG(st.st_mode)) return FileRead::kNotRegular;
  if (st.st_size > maxBytes) return FileRead::kTooLarge;
  FileRead why = FileRead::kOk;
  const int fd = OpenNonBlocking(path, why);
  if (fd < 0) return why;
  FileRead result = FileRead::kOk;
  try {
    if (::fstat(fd, &st) == 0 && st.st_size <= maxBytes) bytes.reserve(static_cast<std::size_t>(st.st_size));
    char buffer[65536];
    for (;;) {
      // One byte past the limit tells a file that grew while it was read.
      const std::int64_t room = maxBytes + 1 - static_cast<std::int64_t>(bytes.size());
      const std::size_t want = room < static_cast<std::int64_t>(sizeof buffer) ? static_cast<std::size_t>(room) : sizeof buffer;
      ssize_t n = ::read(fd, buffer, want);
      if (n < 0 && errno == EINTR) continue;
      if (n > 0 && g_failReadAt >= 0 &&
          static_cast<std::int64_t>(bytes.size()) + n > g_failReadAt) {
        g_failReadAt = -1;
        n = -1;
        errno = EIO;
      }
      if (n < 0) {
        result = FileRead::kUnreadable;
        break;
      }
      if (n == 0) break;
      bytes.append(buffer, static_cast<std::size_t>(n));
      if (static_cast<std::int64_t>(bytes.size()) > maxBytes) {
        result = FileRead::kTooLarge;
        break;
      }
    }
  } catch (const std::bad_alloc&) {
    result = FileRead::kNoMemory;
  }
  ::close(fd);
  if (result != FileRead::kOk) {
    bytes.clear();
    bytes.shrink_to_fit();
  }
  return result;
}

}  // namespace teku
