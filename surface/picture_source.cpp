// File access for the readers: POSIX open, pread and close per call, so no reader holds a file.
// Only regular files are read: a FIFO or device in a picture's place is a file that cannot be
// opened.
#include "surface/picture_source.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "services/regular_file.h"

namespace teku {

std::int64_t ReadFileAt(const std::string& fileName, void* buffer, std::int64_t offset,
                        std::int64_t count) {
  const int fd = OpenRegularFile(fileName);
  if (fd < 0) return -1;
  std::int64_t done = 0;
  if (offset >= 0 && count > 0 && buffer != nullptr) {
    auto* out = static_cast<char*>(buffer);
    while (done < count) {
      const ssize_t n = ::pread(fd, out + done, static_cast<std::size_t>(count - done),
                                static_cast<off_t>(offset + done));
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      done += n;
    }
  }
  ::close(fd);
  return done;
}

std::int64_t FileSizeOf(const std::string& fileName) {
  const int fd = OpenRegularFile(fileName);
  if (fd < 0) return -1;
  struct stat st {};
  const bool ok = ::fstat(fd, &st) == 0;
  ::close(fd);
  return ok ? static_cast<std::int64_t>(st.st_size) : -1;
}

std::int64_t PictureFile::ReadAt(void* buffer, std::int64_t offset, std::int64_t count) const {
  return ReadFileAt(fileName_, buffer, offset, count);
}

std::int64_t PictureFile::Size() const { return FileSizeOf(fileName_); }

std::int64_t PictureBytes::ReadAt(void* buffer, std::int64_t offset, std::int64_t count) const {
  const auto size = static_cast<std::int64_t>(bytes_.size());
  if (offset < 0 || count <= 0 || offset >= size || buffer == nullptr) return 0;
  const std::int64_t n = std::min(count, size - offset);
  std::memcpy(buffer, bytes_.data() + offset, static_cast<std::size_t>(n));
  return n;
}

}  // namespace teku
