// What the program is started with: where it lives and how it speaks to the user. The program
// passes its real executable and message boxes; tests pass a folder and a recording sink.
#pragma once

#include <optional>
#include <string>

#include "desktop/program_folders.h"
#include "surface/image_loader.h"

namespace teku {

struct ProgramEnvironment {
  // Full path of the executable; its name gives the settings section.
  std::string exePath;
  // Message boxes with an information icon; nullptr shows real ones.
  MessageSink* messages = nullptr;
  // Where data, settings and the log are; decided from exePath and the system when not given.
  std::optional<ProgramFolders> folders;
};

}  // namespace teku
