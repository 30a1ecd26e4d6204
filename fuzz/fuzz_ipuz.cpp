// ipuz documents of any content are read or refused cleanly; what is read writes again and
// reads back as the same puzzle.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "export/ipuz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace teku;
  const std::string doc(reinterpret_cast<const char*>(data), size);
  Puzzle p;
  PuzzleKind kind{};
  std::string error;
  if (!ReadIpuz(doc, p, kind, error)) {
    if (error.empty()) std::abort();
    return 0;
  }
  Puzzle back;
  PuzzleKind kindBack{};
  if (!ReadIpuz(WriteIpuz(p, kind, true), back, kindBack, error)) std::abort();
  if (kindBack != kind || !(back.TakeSnapshot() == p.TakeSnapshot())) std::abort();
  return 0;
}
