// Reading the data files that the generators put into the program directory.
#pragma once

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace teku::testing {

inline std::string ProgramPath(const std::string& name) { return std::string(TEKU_PROGRAM_DIR) + "/" + name; }

// The whole file; empty when it cannot be read.
inline std::vector<std::uint8_t> ReadProgramFile(const std::string& name) {
  std::ifstream in(ProgramPath(name), std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline std::uint32_t Le16(const std::vector<std::uint8_t>& b, std::size_t at) {
  return at + 2 <= b.size() ? b[at] | b[at + 1] << 8 : 0;
}
inline std::uint32_t Le32(const std::vector<std::uint8_t>& b, std::size_t at) {
  return at + 4 <= b.size() ? Le16(b, at) | Le16(b, at + 2) << 16 : 0;
}
inline std::uint32_t Be16(const std::vector<std::uint8_t>& b, std::size_t at) {
  return at + 2 <= b.size() ? b[at] << 8 | b[at + 1] : 0;
}
inline std::uint32_t Be32(const std::vector<std::uint8_t>& b, std::size_t at) {
  return at + 4 <= b.size() ? Be16(b, at) << 16 | Be16(b, at + 2) : 0;
}

}  // namespace teku::testing
