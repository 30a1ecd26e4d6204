// The trace log: plain append-only text, one LF-terminated line per entry.
#include "services/trace_log.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

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

bool FileExists(const std::string& path) {
  std::error_code ec;
  return std::filesystem::is_regular_file(path, ec);
}

// Counts the attempt and appends `line` to an existing log; silent on every failure.
void AppendEntry(const std::string& line) {
  if (g_traceOn != 1 || g_traceCount >= kTraceCap) return;
  ++g_traceCount;
  const std::string& path = g_tracePath;
  if (!FileExists(path)) return;
  std::FILE* f = std::fopen(path.c_str(), "r+b");
  if (f == nullptr) return;
  if (std::fseek(f, 0, SEEK_END) == 0) std::fwrite(line.data(), 1, line.size(), f);
  std::fclose(f);
}
}  // namespace

void TraceStart(const std::string& exeName) { TraceStartAt(LogPathFor(exeName), exeName); }

void TraceStartAt(const std::string& logPath, const std::string& exeName) {
  g_traceOn = 0;
  g_traceCount = 0;
  g_traceExeName = exeName;
  g_tracePath = logPath;
  const std::string& path = g_tracePath;
  if (FileExists(path)) std::remove(path.c_str());
  if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
    static const char kHead[] = "TRACE ON\n";
    std::fwrite(kHead, 1, sizeof kHead - 1, f);
    std::fclose(f);
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
