// The diagnostic log TEKUTRC.LOG beside the executable: started fresh on every run, appended to
// one entry at a time (opened and closed per entry), capped at 300000 attempted entries.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace teku {

inline constexpr std::int32_t kTraceCap = 300000;

// Deletes and recreates the log in ExeName's directory with the line "TRACE ON", then turns
// tracing on (even when the file could not be created).
void TraceStart(const std::string& exeName);
// The same with the log at `logPath` itself, for tools that write it where they are told.
void TraceStartAt(const std::string& logPath, const std::string& exeName = std::string());
// Appends "<code> <text>\n"; text is written as the bytes it holds (code page 932).
void TraceWrite(std::int32_t code, std::string_view text);
// Appends "<code> " and max(1, min(count, 51)) big-endian words as 8 hex digits and a space each.
// Words are taken from `data`; bytes beyond its end read as 0, so a short buffer is never overrun.
void TraceDump(std::int32_t code, std::span<const std::uint8_t> data, std::int32_t count);

// Module state, for the program's own checks and for tests.
bool TraceIsOn();
std::int32_t TraceCount();
std::string TraceLogPath();
// Back to the initial state (off, count 0), as at program start.
void TraceReset();

}  // namespace teku
