// tekutool: the program's command-line companion for authors and scripted checks.
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>

#include "services/ziredizu.h"
#include "tools/tekutool/command.h"
#include "tools/tekutool/window_commands.h"

namespace tekutool {

namespace {
std::vector<Command>& Registry() {
  static std::vector<Command> commands;
  return commands;
}

#ifdef TEKUTOOL_FRONT
// The executable of the window commands, beside this one.
std::string WindowExecutable() {
  const std::string self = teku::ZIREDIZU::RunningExecutable();
  const std::size_t slash = self.find_last_of('/');
  return (slash == std::string::npos ? std::string() : self.substr(0, slash + 1)) + kWindowExecutable;
}

#ifdef TEKUTOOL_WINDOWS
constexpr bool kWindowsBuilt = true;
#else
constexpr bool kWindowsBuilt = false;
#endif
bool Offered(const WindowCommand& c) { return kWindowsBuilt || !c.needsWindows; }

// Runs a window command in the second executable, which answers as if it were this one.
int HandOver(const WindowCommand& c, char** argv) {
  const std::string exe = WindowExecutable();
  argv[0] = const_cast<char*>(exe.c_str());
  ::execv(exe.c_str(), argv);
  return Fail(kExitUsage, std::string("'") + c.name + "' needs " + exe + ": " + std::strerror(errno));
}
#endif

void PrintHelp(std::FILE* out) {
  std::fprintf(out, "usage: tekutool COMMAND [ARGS]\n\ncommands:\n");
  auto commands = Registry();
#ifdef TEKUTOOL_FRONT
  for (const WindowCommand& c : kWindowCommands) {
    if (Offered(c)) commands.push_back(Command{c.name, c.usage, c.summary, nullptr});
  }
#endif
  std::sort(commands.begin(), commands.end(),
            [](const Command& a, const Command& b) { return std::string(a.name) < b.name; });
  // A usage line and its sentence below it, the layout help2man makes the man page from.
  for (const Command& c : commands) std::fprintf(out, "  %s\n      %s\n", c.usage, c.summary);
  std::fprintf(out, "\noptions:\n  --help     this text\n  --version  the version of tekutool\n");
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
  if (name == "--version") {
    std::printf("tekutool %s\n", TEKU_VERSION);
    return kExitOk;
  }
  for (const Command& c : Commands()) {
    if (name == c.name) {
      Args args(argv + 2, argv + argc);
      return c.run(args);
    }
  }
#ifdef TEKUTOOL_FRONT
  for (const WindowCommand& c : kWindowCommands) {
    if (name == c.name && Offered(c)) return HandOver(c, argv);
  }
#endif
  return Fail(kExitUsage, "unknown command '" + name + "' (try tekutool --help)");
}
