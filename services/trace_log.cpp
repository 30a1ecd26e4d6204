// The trace log: plain append-only text, one LF-terminated line per entry.
#include "services/trace_log.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace teku {

namespace {
std::int32_t g_traceOn = 0;
std::int32_t g_traceCount = 0;
std::string g_traceExeName;
std::string g_tracePath;  // where the log lives; follows the executable unless set directly

std::string LogPathFor(const std::string& exeName) {
  const auto slash = exeName.find_last_of('/');
  const std::string dir = slash == std::string::npos ? std::string() : exeName.substr(0, slash + 1);
  return dir + "TEKUTRC.LOG";
}

// The log is opened without following a link and without waiting on a FIFO, and only a
// regular file is written: a link planted at its name never makes us write elsewhere.
constexpr int kLogOpen = O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;

void WriteAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    data += n;
    size -= static_cast<std::size_t>(n);
  }
}

// Counts the attempt and appends `line` to an existing log; silent on every failure.
void AppendEntry(const std::string& line) {
  if (g_traceOn != 1 || g_traceCount >= kTraceCap) return;
  ++g_traceCount;
  const int fd = ::open(g_tracePath.c_str(), kLogOpen | O_APPEND);
  if (fd < 0) return;
  struct stat st {};
  if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) WriteAll(fd, line.data(), line.size());
  ::close(fd);
}
}  // namespace

void TraceStart(const std::string& exeName) { TraceStartAt(LogPathFor(exeName), exeName); }

void TraceStartAt(const std::string& logPath, const std::string& exeName) {
  g_traceOn = 0;
  g_traceCount = 0;
  g_traceExeName = exeName;
  g_tracePath = logPath;
  const std::string& path = g_tracePath;
  // Whatever holds the name goes (a link itself, not what it points to), then the log is
  // created afresh; a directory there stays and there is no log.
  struct stat st {};
  if (::lstat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode)) ::unlink(path.c_str());
  const int fd = ::open(path.c_str(), kLogOpen | O_CREAT | O_EXCL, 0666);
  if (fd >= 0) {
    static const char kHead[] = "TRACE ON\n";
    WriteAll(fd, kHead, sizeof kHead - 1);
    ::close(fd);
  }
  g_traceOn = 1;
}

void TraceWrite(std::int32_t code, std::string_view text) {
  if (g_traceOn != 1 || g_traceCount >= kTraceCap) return;
  std::string line = std::to_string(code);
  line += ' ';
  line.append(text.data(), text.size());
  line += '\n';
  AppendEntry(line);
}

void TraceDump(std::int32_t code, std::span<const std::uint8_t> data, std::int32_t count) {
  if (g_traceOn != 1 || g_traceCount >= kTraceCap) return;
  std::int32_t words = count - 1;
  if (words < 0) words = 0;
  if (words > 50) words = 50;
  words += 1;
  std::string line = std::to_string(code);
  line += ' ';
  char hex[10];
  for (std::int32_t w = 0; w < words; ++w) {
    std::uint32_t value = 0;
    for (int b = 0; b < 4; ++b) {
      const std::size_t at = static_cast<std::size_t>(w) * 4 + static_cast<std::size_t>(b);
      value = (value << 8) | (at < data.size() ? data[at] : 0u);
    }
    std::snprintf(hex, sizeof hex, "%08X ", static_cast<unsigned>(value));
    line += hex;
  }
  line += '\n';
  AppendEntry(line);
}

bool TraceIsOn() { return g_traceOn == 1; }
std::int32_t TraceCount() { return g_traceCount; }
std::string TraceLogPath() {
  return g_tracePath.empty() ? LogPathFor(g_traceExeName) : g_tracePath;
}

void TraceReset() {
  g_traceOn = 0;
  g_traceCount = 0;
  g_traceExeName.clear();
  g_tracePath.clear();
}

}  // namespace teku
