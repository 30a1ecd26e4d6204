// Reader and writer of the puzzle file. Key order and the list rule match the files the
// original build wrote, so old files read the same and ours open there.
#include "app/puzzle_file.h"

#include <charconv>

#include "services/profile_file.h"

namespace teku {

namespace {

std::string Key(const char* prefix, int n) { return prefix + std::to_string(n); }

// The list reader keeps the key's remaining text between entries (the TABLE reader needs it).
class ListCursor {
 public:
  explicit ListCursor(std::string text) : rest_(std::move(text)) {}
  bool empty() const { return rest_.empty(); }
  std::int32_t Next(std::int32_t fallback) {
    if (rest_.empty()) return fallback;
    std::string item;
    const std::size_t comma = rest_.find(',');
    if (comma == std::string::npos) {
      item = rest_;
    } else {
      item = rest_.substr(0, comma);
      rest_.erase(0, comma + 1);
    }
    std::int32_t value = fallback;
    return ParseDecimal(item, &value) ? value : fallback;
  }

 private:
  std::string rest_;
};

void ReadList(const ZIREDIZU& ini, const std::string& name, const std::string& key,
              std::int32_t fallback, std::int32_t* out) {
  ReadNumberList(ini.ReadFileIni(name, key), fallback, out, kSlotCount);
}

std::int32_t ReadInt(const ZIREDIZU& ini, const std::string& name, const char* key,
                     std::int32_t fallback) {
  std::int32_t value = fallback;
  return ParseDecimal(ini.ReadFileIni(name, key), &value) ? value : fallback;
}

}  // namespace

bool ParseDecimal(const std::string& text, std::int32_t* value) {
  const char* begin = text.data();
  const char* end = begin + text.size();
  if (begin != end && *begin == '+') ++begin;
  if (begin == end) return false;
  std::int32_t parsed = 0;
  const auto [ptr, ec] = std::from_chars(begin, end, parsed);
  if (ec != std::errc() || ptr != end) return false;
  *value = parsed;
  return true;
}

void ReadNumberList(const std::string& value, std::int32_t fallback, std::int32_t* out,
                    int count) {
  ListCursor cursor(value);
  for (int i = 0; i < count; ++i) out[i] = cursor.Next(fallback);
}

std::string JoinNumberList(const std::int32_t* values, int count) {
  std::string out;
  for (int i = 0; i < count; ++i) {
    if (i > 0) out += ',';
    out += std::to_string(values[i]);
  }
  return out;
}

bool LoadPuzzleFile(Puzzle& puzzle, const ZIREDIZU& ini, ModeState& modes,
                    const std::string& name, const std::function<void()>& buildMojiSheet) {
  puzzle.ResetInput();
  puzzle.MondaiName = name;
  if (!name.empty()) {
    ProfileWriteBatch cache;  // reads only: one parse of the file for the whole load
    for (int n = 0; n < 8; ++n) {
      ReadList(ini, name, Key("INPUTTBL", n), kNone, puzzle.InputTbl.data() + n * kSlotCount);
    }
    cache.Commit();
  }
  return LoadPuzzle(puzzle, ini, modes, name, buildMojiSheet);
}

bool LoadPuzzle(Puzzle& puzzle, const ZIREDIZU& ini, ModeState& modes, const std::string& name,
                const std::function<void()>& buildMojiSheet) {
  puzzle.ResetPuzzle();
  puzzle.MondaiName = name;
  if (name.empty()) return true;
  ProfileWriteBatch cache;
  // A size the grid block cannot hold is clamped, never trusted.
  puzzle.GridWidth = ClampGridWidth(ReadInt(ini, name, "WIDTH", 16));
  puzzle.GridHeight = ClampGridHeight(ReadInt(ini, name, "HEIGHT", 16));
  puzzle.Title = ini.ReadFileIni(name, "TITLE");
  puzzle.Version = ini.ReadFileIni(name, "VERSION");
  puzzle.Password = ini.ReadFileIni(name, "PASSWORD");
  modes.kind = ini.ReadFileIni(name, "GAMEMODE") == "CROSSWORD" ? PuzzleKind::Crossword
                                                                : PuzzleKind::Nankuro;
  modes.play = PlayMode::Game;
  ReadList(ini, name, "KAITOU", kEmptyCell, puzzle.Kaitou.data());
  ReadList(ini, name, "SYOKI", kNone, puzzle.Syoki.data());
  {
    CellsLock lock(puzzle);
    const std::int32_t count = puzzle.CellCount();
    ListCursor cursor("");
    for (std::int32_t c = 0; c < count; ++c) {
      if (c % kSlotCount == 0) cursor = ListCursor(ini.ReadFileIni(name, Key("TABLE", c / kSlotCount)));
      std::int32_t value = kEmptyCell;
      if (!cursor.empty()) value = cursor.Next(kEmptyCell);
      lock.set(c % puzzle.GridWidth, c / puzzle.GridWidth, static_cast<std::uint8_t>(value & 0xFF));
    }
  }
  for (int n = 0; n < 8; ++n) {
    ReadList(ini, name, Key("ANSERTBL", n), kNone, puzzle.AnserTbl.data() + n * kSlotCount);
  }
  for (int n = 0; n < 8; ++n) {
    ReadList(ini, name, Key("HINTTBL", n), kNone, puzzle.HintTbl.data() + n * kSlotCount);
  }
  puzzle.MojiTbl.clear();
  puzzle.HintTate.clear();
  puzzle.HintYoko.clear();
  for (int n = 0; n < kTableEntries; ++n) {
    puzzle.MojiTbl.push_back(ini.ReadFileIni(name, Key("MOJITBL", n)));
    puzzle.HintTate.push_back(ini.ReadFileIni(name, Key("HINTTATE", n)));
    puzzle.HintYoko.push_back(ini.ReadFileIni(name, Key("HINTYOKO", n)));
  }
  cache.Commit();
  if (buildMojiSheet) buildMojiSheet();
  return true;
}

void SavePuzzle(Puzzle& puzzle, const ZIREDIZU& ini, const ModeState& modes,
                const std::string& name) {
  if (name.empty()) return;
  // One atomic rewrite at the end; an exception flushes what was written before it.
  ProfileWriteBatch batch;
  ini.WriteFileIni(name, "WIDTH", std::to_string(puzzle.GridWidth));
  ini.WriteFileIni(name, "HEIGHT", std::to_string(puzzle.GridHeight));
  ini.WriteFileIni(name, "TITLE", puzzle.Title);
  ini.WriteFileIni(name, "VERSION", "011");
  ini.WriteFileIni(name, "PASSWORD", puzzle.Password);
  ini.WriteFileIni(name, "GAMEMODE", modes.nankuro() ? "NANKURO" : "CROSSWORD");
  ini.WriteFileIni(name, "KAITOU", JoinNumberList(puzzle.Kaitou.data(), kSlotCount));
  ini.WriteFileIni(name, "SYOKI", JoinNumberList(puzzle.Syoki.data(), kSlotCount));
  {
    CellsLock lock(puzzle);
    const std::int32_t count = ClampGridWidth(puzzle.GridWidth) * ClampGridHeight(puzzle.GridHeight);
    const std::int32_t width = ClampGridWidth(puzzle.GridWidth);
    std::int32_t list[kSlotCount];
    int held = 0;
    int key = 0;
    for (std::int32_t c = 0; c < count; ++c) {
      list[held++] = lock.at(c % width, c / width);
      if (held == kSlotCount) {
        ini.WriteFileIni(name, Key("TABLE", key++), JoinNumberList(list, held));
        held = 0;
      }
    }
    if (held > 0) ini.WriteFileIni(name, Key("TABLE", key), JoinNumberList(list, held));
  }
  for (int n = 0; n < 8; ++n) {
    ini.WriteFileIni(name, Key("HINTTBL", n),
                     JoinNumberList(puzzle.HintTbl.data() + n * kSlotCount, kSlotCount));
  }
  for (std::size_t n = 0; n < puzzle.MojiTbl.size(); ++n) {
    if (!puzzle.MojiTbl[n].empty()) {
      ini.WriteFileIni(name, Key("MOJITBL", static_cast<int>(n)), puzzle.MojiTbl[n]);
    }
  }
  for (int n = 0; n < 8; ++n) {
    ini.WriteFileIni(name, Key("ANSERTBL", n),
                     JoinNumberList(puzzle.AnserTbl.data() + n * kSlotCount, kSlotCount));
  }
  for (std::size_t n = 0; n < puzzle.HintTate.size(); ++n) {
    if (!puzzle.HintTate[n].empty()) {
      ini.WriteFileIni(name, Key("HINTTATE", static_cast<int>(n)), puzzle.HintTate[n]);
    }
  }
  for (std::size_t n = 0; n < puzzle.HintYoko.size(); ++n) {
    if (!puzzle.HintYoko[n].empty()) {
      ini.WriteFileIni(name, Key("HINTYOKO", static_cast<int>(n)), puzzle.HintYoko[n]);
    }
  }
  batch.Commit();
}

void SaveInput(const Puzzle& puzzle, const ZIREDIZU& ini, const std::string& name) {
  if (name.empty()) return;
  ProfileWriteBatch batch;
  for (int n = 0; n < 8; ++n) {
    ini.WriteFileIni(name, Key("INPUTTBL", n),
                     JoinNumberList(puzzle.InputTbl.data() + n * kSlotCount, kSlotCount));
  }
  batch.Commit();
}

void LoadCharTableOnly(Puzzle& puzzle, const ZIREDIZU& ini, const std::string& name) {
  puzzle.MojiTbl.clear();
  ProfileWriteBatch cache;
  for (int n = 0; n < kTableEntries; ++n) {
    puzzle.MojiTbl.push_back(name.empty() ? std::string() : ini.ReadFileIni(name, Key("MOJITBL", n)));
  }
  cache.Commit();
}

}  // namespace teku
