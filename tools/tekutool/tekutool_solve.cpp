// tekutool solve: whether a number-crossword has exactly one solution with the word list, where
// it has others, and (--suggest) which given cells would leave it only one.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "desktop/program_folders.h"
#include "services/cp932.h"
#include "services/regular_file.h"
#include "services/ziredizu.h"
#include "tools/tekutool/options.h"
#include "tools/tekutool/puzzle_loading.h"
#include "workbench/uniqueness.h"

namespace tekutool {

namespace {

constexpr const char* kUsage = "solve PUZZLE [--words FILE]... [--suggest] [--json] [--time-limit S]";
constexpr const char* kSummary =
    "Proves whether the number-crossword has one solution with the word list (and FILEs, one word a "
    "line); exit 0 unique, 1 not, 2 bad input, 3 time limit; --suggest lists given cells that make it unique.";
constexpr int kExitLimit = 3;

std::string CountText(teku::SolveStatus s) {
  return s == teku::SolveStatus::kUnique ? "1" : s == teku::SolveStatus::kSeveral ? "2+" : "0";
}

std::string Direction(const teku::WordSlot& s) { return s.down ? "down" : "across"; }

std::string SlotJson(const teku::WordSlot& s) {
  return "\"direction\":\"" + Direction(s) + "\",\"x\":" + std::to_string(s.x + 1) + ",\"y\":" +
         std::to_string(s.y + 1) + ",\"length\":" + std::to_string(s.length);
}

std::string ReportJson(const teku::UniquenessReport& r) {
  const char* status = r.status == teku::SolveStatus::kUnique      ? "unique"
                       : r.status == teku::SolveStatus::kSeveral   ? "several"
                       : r.status == teku::SolveStatus::kNoSolution ? "none"
                       : r.status == teku::SolveStatus::kTimedOut  ? "time-limit"
                                                                   : "memory-limit";
  std::string out = "\"status\":\"" + std::string(status) + "\",\"solutions\":" + JsonString(CountText(r.status)) +
                    ",\"nodes\":" + std::to_string(r.nodes);
  char seconds[32];
  std::snprintf(seconds, sizeof seconds, "%.3f", r.seconds);
  out += ",\"seconds\":" + std::string(seconds);
  if (r.status == teku::SolveStatus::kNoSolution && r.blockedSlot >= 0) {
    out += ",\"blocked\":{" + SlotJson(r.wordSlots[static_cast<std::size_t>(r.blockedSlot)]) + "}";
  }
  out += ",\"differing\":[";
  for (std::size_t i = 0; i < r.differing.size(); ++i) {
    const std::uint8_t n = r.differing[i];
    out += (i ? ",{" : "{") + std::string("\"number\":") + std::to_string(n) + ",\"first\":" + JsonString(r.first[n]) +
           ",\"second\":" + JsonString(r.second[n]) + "}";
  }
  out += "],\"words\":[";
  for (std::size_t i = 0; i < r.changes.size(); ++i) {
    const teku::SlotChange& c = r.changes[i];
    out += (i ? ",{" : "{") + SlotJson(r.wordSlots[static_cast<std::size_t>(c.slot)]) + ",\"first\":" +
           JsonString(c.first) + ",\"second\":" + JsonString(c.second) + "}";
  }
  return out + "]";
}

void PrintReport(const teku::UniquenessReport& r) {
  std::printf("solutions: %s\n", CountText(r.status).c_str());
  if (r.status == teku::SolveStatus::kTimedOut) std::printf("undecided: the time limit ran out\n");
  if (r.status == teku::SolveStatus::kTooLarge) std::printf("undecided: the search reached its memory limit\n");
  if (r.status == teku::SolveStatus::kNoSolution && r.blockedSlot >= 0) {
    const teku::WordSlot& s = r.wordSlots[static_cast<std::size_t>(r.blockedSlot)];
    std::printf("no word fits: %s x=%d y=%d length %d\n", Direction(s).c_str(), s.x + 1, s.y + 1, s.length);
  }
  for (const std::uint8_t n : r.differing) {
    std::printf("number %d: %s / %s\n", n, r.first[n].c_str(), r.second[n].c_str());
  }
  for (const teku::SlotChange& c : r.changes) {
    const teku::WordSlot& s = r.wordSlots[static_cast<std::size_t>(c.slot)];
    std::printf("word %s x=%d y=%d: %s / %s\n", Direction(s).c_str(), s.x + 1, s.y + 1, c.first.c_str(),
                c.second.c_str());
  }
  std::printf("nodes: %llu\nseconds: %.3f\n", static_cast<unsigned long long>(r.nodes), r.seconds);
}

int ExitOf(teku::SolveStatus s) {
  switch (s) {
    case teku::SolveStatus::kUnique: return kExitOk;
    case teku::SolveStatus::kSeveral:
    case teku::SolveStatus::kNoSolution: return kExitFailure;
    default: return kExitLimit;
  }
}

int RunSolve(const Args& args) {
  // --words may come more than once: take those out before the common parse.
  Args rest;
  std::vector<std::string> wordFiles;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--words" && i + 1 < args.size()) {
      wordFiles.push_back(args[++i]);
    } else {
      rest.push_back(args[i]);
    }
  }
  const ParsedArgs parsed = ParseArgs(rest, {"--time-limit"}, {"--suggest", "--json"});
  if (!parsed.error.empty() || parsed.positional.size() != 1) {
    return Fail(kExitUsage, (parsed.error.empty() ? "" : parsed.error + "; ") + "usage: tekutool " + kUsage);
  }
  teku::SolverLimits limits;
  if (parsed.has("--time-limit")) {
    char* end = nullptr;
    const std::string v = parsed.value("--time-limit");
    const double seconds = std::strtod(v.c_str(), &end);
    if (v.empty() || *end != '\0' || !(seconds > 0) || seconds > 1e6) {
      return Fail(kExitUsage, "--time-limit needs a number of seconds, not '" + v + "'");
    }
    limits.timeLimit = std::chrono::duration_cast<std::chrono::steady_clock::duration>(
        std::chrono::duration<double>(seconds));
  }

  LoadedPuzzle loaded;
  if (!LoadPuzzleAt(parsed.positional[0], "TEKUCROSE", loaded)) return kExitUsage;
  if (!loaded.modes.nankuro()) return Fail(kExitUsage, parsed.positional[0] + " is a crossword, not a number-crossword");

  const teku::ProgramFolders folders = teku::ProgramFoldersOf(teku::ZIREDIZU::RunningExecutable());
  teku::WordList words;
  std::string error;
  if (!words.Load(folders.programDir + teku::kWordListFile, error)) {
    return Fail(kExitUsage, "the word list: " + error);
  }
  if (!folders.settingsDir.empty()) {
    const std::string own = folders.settingsDir + teku::kUserWordsFile;
    if (teku::IsReadableRegularFile(own) && !words.AddFile(own, error)) return Fail(kExitUsage, error);
  }
  for (const std::string& file : wordFiles) {
    std::vector<std::string> rejected;
    if (!words.AddFile(file, error, &rejected)) return Fail(kExitUsage, error);
    for (const std::string& line : rejected) {
      std::fprintf(stderr, "tekutool: %s: not a word of kana: %s\n", file.c_str(), line.c_str());
    }
  }

  const teku::PuzzleSolver solver(teku::NumberGridOf(loaded.puzzle), words);
  const teku::UniquenessReport report = solver.Check(limits);
  if (!report.problem.empty()) return Fail(kExitUsage, parsed.positional[0] + ": " + report.problem);
  teku::Suggestion suggestion;
  const bool suggest = parsed.has("--suggest") && report.status == teku::SolveStatus::kSeveral;
  if (suggest) suggestion = solver.Suggest(limits);

  const std::int32_t width = loaded.puzzle.GridWidth;
  if (parsed.has("--json")) {
    std::string out = "{" + ReportJson(report) + ",\"wordCount\":" + std::to_string(words.Size());
    if (parsed.has("--suggest")) {
      out += ",\"suggest\":[";
      for (std::size_t i = 0; i < suggestion.added.size(); ++i) {
        const teku::SuggestedGiven& g = suggestion.added[i];
        out += (i ? ",{" : "{") + std::string("\"x\":") + std::to_string(g.cell % width + 1) + ",\"y\":" +
               std::to_string(g.cell / width + 1) + ",\"number\":" + std::to_string(g.number) +
               ",\"character\":" + JsonString(g.character) + "}";
      }
      out += "]";
      if (suggest) out += ",\"after\":{" + ReportJson(suggestion.report) + "}";
      if (!suggestion.shortfall.empty()) out += ",\"shortfall\":" + JsonString(suggestion.shortfall);
    }
    out += "}\n";
    std::fwrite(out.data(), 1, out.size(), stdout);
  } else {
    PrintReport(report);
    if (suggest) {
      for (const teku::SuggestedGiven& g : suggestion.added) {
        std::printf("add given: x=%d y=%d number %d %s\n", g.cell % width + 1, g.cell / width + 1, g.number,
                    g.character.c_str());
      }
      std::printf("solutions with them: %s\n", CountText(suggestion.report.status).c_str());
      if (!suggestion.shortfall.empty()) std::printf("short of unique: %s\n", suggestion.shortfall.c_str());
    }
  }
  // The answer is about the puzzle as its file has it; the suggestion is advice on top.
  return ExitOf(report.status);
}

const TekutoolCommand kSolve({"solve", kUsage, kSummary, RunSolve});

}  // namespace

}  // namespace tekutool
