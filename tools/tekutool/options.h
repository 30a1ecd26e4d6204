// Command-line parsing shared by the subcommands: positional arguments, options with a value
// (--name VALUE) and flags (--name), and the small output helpers they share.
#pragma once

#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "services/cp932.h"
#include "surface/image_loader.h"
#include "tools/tekutool/command.h"

namespace tekutool {

struct ParsedArgs {
  std::vector<std::string> positional;
  std::map<std::string, std::string> values;
  std::set<std::string> flags;
  std::string error;  // set when the arguments do not parse
  bool has(const std::string& name) const { return values.count(name) != 0 || flags.count(name) != 0; }
  std::string value(const std::string& name, const std::string& fallback = "") const {
    const auto it = values.find(name);
    return it == values.end() ? fallback : it->second;
  }
};

inline ParsedArgs ParseArgs(const Args& args, const std::set<std::string>& valueOptions,
                            const std::set<std::string>& flagOptions) {
  ParsedArgs out;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (valueOptions.count(a) != 0) {
      if (i + 1 >= args.size()) {
        out.error = a + " needs a value";
        return out;
      }
      out.values[a] = args[++i];
    } else if (flagOptions.count(a) != 0) {
      out.flags.insert(a);
    } else if (a.size() > 1 && a[0] == '-') {
      out.error = "unknown option '" + a + "'";
      return out;
    } else {
      out.positional.push_back(a);
    }
  }
  return out;
}

// The readers' messages (code page 932) on stderr as UTF-8.
class StderrMessages final : public teku::MessageSink {
 public:
  void Information(const std::string& text, const std::string& caption) override {
    std::fprintf(stderr, "%s: %s\n", teku::Cp932ToUtf8(caption).c_str(), teku::Cp932ToUtf8(text).c_str());
  }
};

// A JSON string literal of UTF-8 text.
inline std::string JsonString(const std::string& utf8) {
  std::string out = "\"";
  for (const unsigned char c : utf8) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 0x20) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\u%04x", c);
          out += buf;
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  return out + "\"";
}

// The directory part of a path, with its trailing '/', or "./".
inline std::string DirectoryOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
}
inline std::string BaseNameOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace tekutool
