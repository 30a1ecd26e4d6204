// BMP output of picture records, written to a temporary file and renamed into place. The header
// and the pixels go out in one gathered write, straight from the record and its block.
#include "surface/dib_file.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/uio.h>
#include <unistd.h>

namespace teku {

namespace {
// Writes the two pieces whole, however the system splits the writing.
bool WriteBoth(int fd, const void* first, std::size_t firstSize, const void* second, std::size_t secondSize) {
  iovec pieces[2] = {{const_cast<void*>(first), firstSize}, {const_cast<void*>(second), secondSize}};
  iovec* next = pieces;
  int count = 2;
  while (count > 0) {
    const ssize_t n = ::writev(fd, next, count);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    auto done = static_cast<std::size_t>(n);
    while (count > 0 && done >= next->iov_len) {
      done -= next->iov_len;
      ++next;
      --count;
    }
    if (count > 0) {
      next->iov_base = static_cast<char*>(next->iov_base) + done;
      next->iov_len -= done;
    }
  }
  return true;
}
}  // namespace

bool SaveDibImage(TDibImage& image, const std::string& path) {
  PixelLock lock(image);
  if (!lock.ok()) return false;
  const std::string temp = path + ".tmp";
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  bool ok = WriteBoth(fd, &image.FileHeader, static_cast<std::size_t>(kBmpHeaderBytes), lock.bytes(), lock.size());
  ok = (::close(fd) == 0) && ok;
  if (ok && std::rename(temp.c_str(), path.c_str()) == 0) return true;
  std::remove(temp.c_str());
  return false;
}

}  // namespace teku
