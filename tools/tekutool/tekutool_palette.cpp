// tekutool palette: the 256 entries of the program palette built with a given palette picture,
// one line each ("  7 C0C0C0").
#include <cstdio>
#include <string>

#include "services/ziredizu.h"
#include "tools/tekutool/options.h"

namespace tekutool {

namespace {

constexpr const char* kUsage = "palette [--initbmp FILE]";
constexpr const char* kSummary =
    "Prints the 256 entries of the program palette built with a palette picture.";

int RunPalette(const Args& args) {
  const ParsedArgs parsed = ParseArgs(args, {"--initbmp"}, {});
  if (!parsed.error.empty()) return Fail(kExitUsage, parsed.error + "; usage: tekutool " + kUsage);
  if (!parsed.positional.empty()) return Fail(kExitUsage, std::string("usage: tekutool ") + kUsage);
  StderrMessages messages;
  teku::PaletteSetup setup;
  setup.messages = &messages;
  setup.startPicture = parsed.value("--initbmp");
  const teku::ZIREDIZU services(DirectoryOf(teku::ZIREDIZU::RunningExecutable()), "TEKUCROSE",
                                setup);
  teku::Palette256 entries;
  services.GetPalette(entries);
  for (std::size_t i = 0; i < entries.size(); ++i) {
    std::printf("%3zu %02X%02X%02X\n", i, entries[i].red, entries[i].green, entries[i].blue);
  }
  return std::fflush(stdout) == 0 ? kExitOk : kExitFailure;
}

const TekutoolCommand kPalette({"palette", kUsage, kSummary, RunPalette});

}  // namespace

}  // namespace tekutool
