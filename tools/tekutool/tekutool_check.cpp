// tekutool check: the puzzle check of the program's 検証 window, one line per problem or JSON;
// the exit status says whether there is anything beyond information.
#include <cstdio>
#include <string>

#include "services/cp932.h"
#include "tools/tekutool/options.h"
#include "tools/tekutool/puzzle_loading.h"
#include "workbench/puzzle_check.h"

namespace tekutool {

namespace {

constexpr const char* kUsage = "check PUZZLE [--rules R,...] [--json] [--section NAME]";
constexpr const char* kSummary =
    "Checks a puzzle: characters, numbers, repeated words, answer word, given cells, clues and the "
    "blocked-cell rules R (lone,adjacent,corner,walled,connected,rotational,mirror, all or none; "
    "default lone,adjacent,connected). Exit 1 when an error or warning is found.";

const char* SeverityName(teku::CheckSeverity s) {
  switch (s) {
    case teku::CheckSeverity::Error: return "error";
    case teku::CheckSeverity::Warning: return "warning";
    case teku::CheckSeverity::Info: return "info";
  }
  return "info";
}

std::string JsonReport(const std::vector<teku::CheckProblem>& problems, std::uint32_t rules) {
  std::string out = "{\"rules\":" + JsonString(teku::CheckRulesText(rules)) + ",\"problems\":[";
  for (std::size_t i = 0; i < problems.size(); ++i) {
    const teku::CheckProblem& p = problems[i];
    out += i == 0 ? "\n" : ",\n";
    out += std::string("{\"severity\":\"") + SeverityName(p.severity) + "\",\"kind\":\"" + teku::CheckKindName(p.kind) +
           "\",\"message\":" + JsonString(teku::Cp932ToUtf8(teku::DescribeProblem(p))) + ",\"numbers\":[";
    for (std::size_t k = 0; k < p.numbers.size(); ++k) out += (k == 0 ? "" : ",") + std::to_string(p.numbers[k]);
    out += "],\"text\":" + JsonString(teku::Cp932ToUtf8(p.text)) + ",\"cells\":[";
    for (std::size_t k = 0; k < p.cells.size(); ++k) {
      out += (k == 0 ? "{\"x\":" : ",{\"x\":") + std::to_string(p.cells[k].x) + ",\"y\":" + std::to_string(p.cells[k].y) + "}";
    }
    out += "]}";
  }
  return out + "],\n\"summary\":" + JsonString(teku::Cp932ToUtf8(teku::CheckSummary(problems))) + "}\n";
}

std::string TextReport(const std::vector<teku::CheckProblem>& problems) {
  std::string out;
  for (const teku::CheckProblem& p : problems) {
    out += teku::Cp932ToUtf8(teku::SeverityText(p.severity)) + " " + teku::CheckKindName(p.kind) + ": " +
           teku::Cp932ToUtf8(teku::DescribeProblem(p));
    if (!p.cells.empty()) out += " " + teku::Cp932ToUtf8(teku::CellsText(p.cells));
    out += "\n";
  }
  return out + teku::Cp932ToUtf8(teku::CheckSummary(problems)) + "\n";
}

int RunCheck(const Args& args) {
  const ParsedArgs parsed = ParseArgs(args, {"--section", "--rules"}, {"--json"});
  if (!parsed.error.empty() || parsed.positional.size() != 1) {
    return Fail(kExitUsage, (parsed.error.empty() ? "" : parsed.error + "; ") + "usage: tekutool " + kUsage);
  }
  std::uint32_t rules = teku::kDefaultCheckRules;
  std::string bad;
  if (parsed.has("--rules") && !teku::ParseCheckRules(parsed.value("--rules"), rules, bad)) {
    return Fail(kExitUsage, "unknown rule '" + bad + "' (rules: lone,adjacent,corner,walled,connected,rotational,mirror)");
  }
  LoadedPuzzle loaded;
  if (!LoadPuzzleAt(parsed.positional[0], parsed.value("--section", "TEKUCROSE"), loaded)) return kExitUsage;
  const auto problems = teku::CheckPuzzle(loaded.puzzle, loaded.modes.kind, rules);
  const std::string out = parsed.has("--json") ? JsonReport(problems, rules) : TextReport(problems);
  std::fwrite(out.data(), 1, out.size(), stdout);
  return teku::HasRealProblem(problems) ? kExitFailure : kExitOk;
}

const TekutoolCommand kCheck({"check", kUsage, kSummary, RunCheck});

}  // namespace

}  // namespace tekutool
