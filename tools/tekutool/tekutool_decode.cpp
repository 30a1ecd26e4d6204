// tekutool decode: loads a picture the way the program does and writes the resulting record
// (headers, colour table, pixel bytes as held) as a BMP file.
#include <iconv.h>

#include <cstdio>
#include <string>

#include "services/trace_log.h"
#include "surface/dib_file.h"
#include "surface/image_loader.h"
#include "tools/tekutool/command.h"

namespace tekutool {

namespace {

// The readers speak code page 932; a terminal expects UTF-8.
std::string ToUtf8(const std::string& cp932) {
  iconv_t cd = iconv_open("UTF-8", "CP932");
  if (cd == reinterpret_cast<iconv_t>(-1)) return cp932;
  std::string out(cp932.size() * 3 + 4, '\0');
  char* in = const_cast<char*>(cp932.data());
  std::size_t inLeft = cp932.size();
  char* to = out.data();
  std::size_t outLeft = out.size();
  const bool ok = iconv(cd, &in, &inLeft, &to, &outLeft) != static_cast<std::size_t>(-1);
  iconv_close(cd);
  if (!ok) return cp932;
  out.resize(out.size() - outLeft);
  return out;
}

class StderrMessages final : public teku::MessageSink {
 public:
  void Information(const std::string& text, const std::string& caption) override {
    std::fprintf(stderr, "%s: %s\n", ToUtf8(caption).c_str(), ToUtf8(text).c_str());
  }
};

constexpr const char* kUsage = "decode PICTURE OUT.BMP [--initbmp FILE] [--trace LOGFILE]";

int RunDecode(const Args& args) {
  std::vector<std::string> positional;
  std::string initBmp;
  std::string traceLog;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--initbmp" || a == "--trace") {
      if (i + 1 >= args.size()) return Fail(kExitUsage, a + " needs a file name");
      (a == "--initbmp" ? initBmp : traceLog) = args[++i];
    } else if (a.size() > 1 && a[0] == '-') {
      return Fail(kExitUsage, "unknown option '" + a + "'; usage: tekutool " + kUsage);
    } else {
      positional.push_back(a);
    }
  }
  if (positional.size() != 2) return Fail(kExitUsage, std::string("usage: tekutool ") + kUsage);
  // The palette built from a palette picture is not available yet: every picture is mapped
  // onto the built-in palette, with or without --initbmp.
  (void)initBmp;
  if (!traceLog.empty()) teku::TraceStartAt(traceLog);

  teku::DibSurface surface;
  teku::TDibImage image;
  StderrMessages messages;
  teku::LoadImageFile(surface, positional[0], image, teku::ProgressSink(), &messages);
  if (!image.allocated()) return Fail(kExitNoPicture, "no picture from " + positional[0]);
  if (!teku::SaveDibImage(image, positional[1])) {
    return Fail(kExitFailure, "cannot write " + positional[1]);
  }
  return kExitOk;
}

const TekutoolCommand kDecode({"decode", kUsage, RunDecode});

}  // namespace

}  // namespace tekutool
