// tekutool: the program's command-line companion for authors and scripted checks.
#include <algorithm>
#include <cstdio>
#include <string>

#include "tools/tekutool/command.h"

namespace tekutool {

namespace {
std::vector<Command>& Registry() {
  static std::vector<Command> commands;
  return commands;
}

void PrintHelp(std::FILE* out) {
  std::fprintf(out, "usage: tekutool COMMAND [ARGS]\n\ncommands:\n");
  auto commands = Registry();
  std::sort(commands.begin(), commands.end(),
            [](const Command& a, const Command& b) { return std::string(a.name) < b.name; });
  for (const Command& c : commands) std::fprintf(out, "  tekutool %s\n", c.usage);
}
}  // namespace

TekutoolCommand::TekutoolCommand(Command command) { Registry().push_back(command); }

const std::vector<Command>& Commands() { return Registry(); }

int Fail(int code, const std::string& message) {
  std::fprintf(stderr, "tekutool: %s\n", message.c_str());
  return code;
}

}  // namespace tekutool

int main(int argc, char** argv) {
  using namespace tekutool;
  if (argc < 2) {
    return Fail(kExitUsage, "no command given (try tekutool --help)");
  }
  const std::string name = argv[1];
  if (name == "--help" || name == "-h" || name == "help") {
    PrintHelp(stdout);
    return kExitOk;
  }
  for (const Command& c : Commands()) {
    if (name == c.name) {
      Args args(argv + 2, argv + argc);
      return c.run(args);
    }
  }
  return Fail(kExitUsage, "unknown command '" + name + "' (try tekutool --help)");
}
