// tekutool decode: loads a picture the way the program does and writes the resulting record
// (headers, colour table, pixel bytes as held) as a BMP file.
#include <cstdio>
#include <string>

#include "services/trace_log.h"
#include "services/ziredizu.h"
#include "surface/dib_file.h"
#include "surface/image_loader.h"
#include "tools/tekutool/options.h"

namespace tekutool {

namespace {

constexpr const char* kUsage = "decode PICTURE OUT.BMP [--initbmp FILE] [--trace LOGFILE]";
constexpr const char* kSummary =
    "Reads a picture (BMP, JPEG, MAG, ICO) onto the program palette and writes an 8-bit BMP.";

int RunDecode(const Args& args) {
  const ParsedArgs parsed = ParseArgs(args, {"--initbmp", "--trace"}, {});
  if (!parsed.error.empty()) return Fail(kExitUsage, parsed.error + "; usage: tekutool " + kUsage);
  const std::vector<std::string>& positional = parsed.positional;
  const std::string initBmp = parsed.value("--initbmp");
  const std::string traceLog = parsed.value("--trace");
  if (positional.size() != 2) return Fail(kExitUsage, std::string("usage: tekutool ") + kUsage);
  if (!traceLog.empty()) teku::TraceStartAt(traceLog);

  StderrMessages messages;
  // The pictures are mapped onto the palette the program would build with this palette
  // picture (the built-in one without --initbmp).
  teku::PaletteSetup setup;
  setup.messages = &messages;
  setup.startPicture = initBmp;
  const teku::ZIREDIZU services(DirectoryOf(teku::ZIREDIZU::RunningExecutable()), "TEKUCROSE",
                                setup);
  teku::DibSurface surface;
  teku::Palette256 entries;
  const teku::HPalette handle = services.GetPalette(entries);
  surface.SetPalette(entries, handle);
  teku::TDibImage image;
  teku::LoadImageFile(surface, positional[0], image, teku::ProgressSink(), &messages);
  if (!image.allocated()) return Fail(kExitNoPicture, "no picture from " + positional[0]);
  if (!teku::SaveDibImage(image, positional[1])) {
    return Fail(kExitFailure, "cannot write " + positional[1]);
  }
  return kExitOk;
}

const TekutoolCommand kDecode({"decode", kUsage, kSummary, RunDecode});

}  // namespace

}  // namespace tekutool
