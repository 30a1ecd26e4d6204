// What the program is started with: where it lives and how it speaks to the user. The program
// passes its real executable and message boxes; tests pass a folder and a recording sink.
#pragma once

#include <string>

#include "surface/image_loader.h"

namespace teku {

struct ProgramEnvironment {
  // Full path of the executable; its folder is the program folder (settings, sheets, puzzles).
  std::string exePath;
  // Message boxes with an information icon; nullptr shows real ones.
  MessageSink* messages = nullptr;
};

}  // namespace teku
