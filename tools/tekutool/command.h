// Subcommands of tekutool. Each lives in its own file and registers itself with a static
// TekutoolCommand object, so adding one touches no other file.
#pragma once

#include <string>
#include <vector>

namespace tekutool {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitNoPicture = 3;

using Args = std::vector<std::string>;  // the arguments after the subcommand's name

struct Command {
  const char* name;
  const char* usage;    // one line: "info PUZZLE [--section NAME]"
  const char* summary;  // one sentence for --help
  int (*run)(const Args& args);
};

struct TekutoolCommand {
  explicit TekutoolCommand(Command command);
};

const std::vector<Command>& Commands();

// Prints "tekutool: <message>" on stderr and returns `code`.
int Fail(int code, const std::string& message);

}  // namespace tekutool
