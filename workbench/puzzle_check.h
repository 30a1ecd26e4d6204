// The puzzle check: every slip an author can make in a puzzle that a player would trip over,
// each with the cells involved, and the author's own rules for the blocked cells.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/modes.h"

namespace teku {

class Puzzle;

enum class CheckSeverity : std::uint8_t {
  Error,    // the puzzle cannot be played as meant
  Warning,  // playable, but against the rules a setter keeps
  Info,     // worth knowing, nothing to mend
};

enum class CheckKind : std::uint8_t {
  SharedCharacter,     // two or more numbers stand for one character
  EmptyCharacter,      // cells carry a number that has no character
  UnusedCharacter,     // characters of the table that no number stands for
  SingleUse,           // a number that only one cell carries
  UncarriedNumber,     // a number with a character that no cell carries
  RepeatedWord,        // one word in two or more places
  LoneCell,            // a white cell in no word
  AdjacentBlocks,      // two blocked cells side by side
  BlockedCorner,
  WalledCell,          // a white cell with a blocked cell or the edge on three sides
  SplitGrid,           // white cells cut off from the largest group of them
  NotRotational,       // blocked cells not the same turned half round
  NotMirrored,         // blocked cells not the same left to right
  AnswerWordNumber,    // an answer-word position names a number no cell carries
  GivenOnEmpty,        // a given cell that carries no number
  GivenWithoutAnswer,  // a given cell whose number has no character
  WordWithoutClue,     // crosswords: a word starts where no clue text is
  ClueWithoutWord,     // crosswords: a clue on a cell where no word starts
};

struct CheckCell {
  std::int32_t x = 0, y = 0;
  bool operator==(const CheckCell&) const = default;
};

struct CheckProblem {
  CheckKind kind{};
  CheckSeverity severity{};
  std::vector<std::int32_t> numbers;  // the numbers (or the slot) the problem is about
  std::string text;                   // code page 932: the character or word involved
  std::vector<CheckCell> cells;       // in reading order; the first is where to look
};

// The author's rules for blocked cells, each on or off.
enum CheckRule : std::uint32_t {
  kRuleLoneCell = 1u << 0,        // 一文字語禁
  kRuleAdjacentBlocks = 1u << 1,  // 連黒禁
  kRuleBlockedCorner = 1u << 2,   // 四隅黒禁
  kRuleWalledCell = 1u << 3,      // 三方囲み禁
  kRuleConnected = 1u << 4,       // 分断禁
  kRuleRotational = 1u << 5,      // 点対称
  kRuleMirror = 1u << 6,          // 左右対称
};
inline constexpr std::uint32_t kAllCheckRules = (1u << 7) - 1;
// What magazines hold every number-crossword to; the rest is a matter of taste.
inline constexpr std::uint32_t kDefaultCheckRules = kRuleLoneCell | kRuleAdjacentBlocks | kRuleConnected;

struct CheckRuleName {
  CheckRule rule;
  const char* name;   // for the command line and the settings file
  const char* label;  // UTF-8, for the window
};
const std::vector<CheckRuleName>& CheckRuleNames();
// "adjacent,corner", "all" or "none" into rule bits; false (with the bad name) on an unknown one.
bool ParseCheckRules(const std::string& list, std::uint32_t& rules, std::string& badName);
std::string CheckRulesText(std::uint32_t rules);

// The problems of the puzzle's cells in use, errors first, then in reading order of their cells.
std::vector<CheckProblem> CheckPuzzle(Puzzle& puzzle, PuzzleKind kind, std::uint32_t rules);

// Code page 932 text for people: the problem in one sentence, its severity, its cells as
// "(column,row)" counted from 1, and the closing line ("問題なし" when only information is left).
std::string DescribeProblem(const CheckProblem& problem);
std::string SeverityText(CheckSeverity severity);
std::string CellsText(const std::vector<CheckCell>& cells, std::size_t limit = 8);
std::string CheckSummary(const std::vector<CheckProblem>& problems);
// The name a script sees ("shared-character").
const char* CheckKindName(CheckKind kind);
// An error or a warning is there; information alone is not a problem.
bool HasRealProblem(const std::vector<CheckProblem>& problems);

}  // namespace teku
