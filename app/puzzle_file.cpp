// Puzzle file reading and writing. A whole load or save runs inside one profile batch, so the
// file is read once and written once.
#include "app/puzzle_file.h"

#include <climits>

#include "desktop/puzzle_path.h"

namespace teku {

bool ParseDecimal(const std::string& text, std::int32_t& value) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  if (i >= text.size()) return false;
  long long v = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    v = v * 10 + (text[i] - '0');
    if (v > static_cast<long long>(INT32_MAX) + 1) return false;
  }
  if (negative) v = -v;
  if (v < INT32_MIN || v > INT32_MAX) return false;
  value = static_cast<std::int32_t>(v);
  return true;
}

std::int32_t NumberListReader::Next() {
  if (rest_.empty()) return default_;
  const std::size_t comma = rest_.find(',');
  std::string item;
  if (comma == std::string::npos) {
    item = rest_;  // the last item stays: it is read again for every later entry
  } else {
    item = rest_.substr(0, comma);
    rest_.erase(0, comma + 1);
  }
  std::int32_t v = 0;
  return ParseDecimal(item, v) ? v : default_;
}

std::string JoinNumbers(const std::int32_t* values, std::size_t count) {
  std::string out;
  for (std::size_t i = 0; i < count; ++i) {
    if (i > 0) out += ',';
    out += std::to_string(values[i]);
  }
  return out;
}

namespace {

const char* const kHintSlot255Key = "HINTSLOT255";

std::string Path(const PuzzleFileContext& c, const std::string& name) { return ResolveInFolder(c.ini.ExeDir, name); }

void ReadList(PuzzleFileContext& c, const std::string& name, const std::string& key,
              std::int32_t* into, std::int32_t defaultValue) {
  NumberListReader reader(c.ini.ReadFileIni(name, key), defaultValue);
  for (int i = 0; i < kSlotCount; ++i) into[i] = reader.Next();
}

std::int32_t ReadInt(PuzzleFileContext& c, const std::string& name, const std::string& key,
                     std::int32_t defaultValue) {
  std::int32_t v = defaultValue;
  return ParseDecimal(c.ini.ReadFileIni(name, key), v) ? v : defaultValue;
}

}  // namespace

PuzzleFileStatus PuzzleStatusOf(ProfileFileState state) {
  switch (state) {
    case ProfileFileState::kText: return PuzzleFileStatus::kPuzzle;
    case ProfileFileState::kMissing: return PuzzleFileStatus::kMissing;
    case ProfileFileState::kNotText:
    case ProfileFileState::kNotRegular: return PuzzleFileStatus::kNotPuzzle;
    case ProfileFileState::kTooLarge: return PuzzleFileStatus::kTooLarge;
    case ProfileFileState::kNoMemory: return PuzzleFileStatus::kNoMemory;
    case ProfileFileState::kUnreadable: break;
  }
  return PuzzleFileStatus::kUnreadable;
}

PuzzleFileStatus CheckPuzzleFile(const PuzzleFileContext& c, const std::string& name) {
  if (name.empty()) return PuzzleFileStatus::kMissing;
  return PuzzleStatusOf(CheckProfileFile(Path(c, name)));
}

namespace {

// Every key but INPUTTBL, inside the caller's batch.
void ReadPuzzleKeys(PuzzleFileContext& c, const std::string& name) {
  Puzzle& p = c.puzzle;
  p.ResetPuzzle();
  p.MondaiName = name;
  // Sizes the grid block cannot hold are clamped into it.
  p.GridWidth = ClampGridWidth(ReadInt(c, name, "WIDTH", 16));
  p.GridHeight = ClampGridHeight(ReadInt(c, name, "HEIGHT", 16));
  p.Title = c.ini.ReadFileIni(name, "TITLE");
  p.Version = c.ini.ReadFileIni(name, "VERSION");
  p.Password = c.ini.ReadFileIni(name, "PASSWORD");
  c.modes.kind = c.ini.ReadFileIni(name, "GAMEMODE") == "CROSSWORD" ? PuzzleKind::Crossword
                                                                     : PuzzleKind::Nankuro;
  c.modes.play = PlayMode::Game;
  ReadList(c, name, "KAITOU", p.Kaitou.data(), kEmptyCell);
  ReadList(c, name, "SYOKI", p.Syoki.data(), kNone);
  {
    CellsLock cells(p);
    NumberListReader reader("", kEmptyCell);
    const std::int32_t count = p.CellCount();
    for (std::int32_t i = 0; i < count; ++i) {
      if (i % 32 == 0) reader = NumberListReader(c.ini.ReadFileIni(name, "TABLE" + std::to_string(i / 32)), kEmptyCell);
      std::uint8_t cell = kEmptyCell;
      if (!reader.empty()) cell = static_cast<std::uint8_t>(reader.Next() & 0xFF);
      cells.set(i % p.GridWidth, i / p.GridWidth, cell);
    }
  }
  for (int n = 0; n < 8; ++n) {
    ReadList(c, name, "ANSERTBL" + std::to_string(n), p.AnserTbl.data() + 32 * n, kNone);
  }
  for (int n = 0; n < 8; ++n) {
    ReadList(c, name, "HINTTBL" + std::to_string(n), p.HintTbl.data() + 32 * n, kNone);
  }
  // Our own key: which slot holds the clue of cell 255, stored as 256 like a free slot.
  std::int32_t slot255 = kNone;
  if (ParseDecimal(c.ini.ReadFileIni(name, kHintSlot255Key), slot255) && slot255 >= 0 &&
      slot255 < kTableEntries && p.CellCount() > 255 && p.HintTbl[static_cast<std::size_t>(slot255)] == kNone) {
    p.HintTbl[static_cast<std::size_t>(slot255)] = kClueOfCell255;
  }
  p.MojiTbl.clear();
  p.HintTate.clear();
  p.HintYoko.clear();
  for (int n = 0; n < kTableEntries; ++n) {
    const std::string i = std::to_string(n);
    p.MojiTbl.push_back(c.ini.ReadFileIni(name, "MOJITBL" + i));
    p.HintTate.push_back(c.ini.ReadFileIni(name, "HINTTATE" + i));
    p.HintYoko.push_back(c.ini.ReadFileIni(name, "HINTYOKO" + i));
  }
}

// A whole load in one batch; with `input`, the player's input is read as well.
PuzzleFileStatus Load(PuzzleFileContext& c, const std::string& name, bool input) {
  if (name.empty()) {
    if (input) c.puzzle.ResetInput(); else c.puzzle.ResetPuzzle();
    c.puzzle.MondaiName = name;
    return PuzzleFileStatus::kMissing;
  }
  PuzzleFileStatus status;
  {
    ProfileBatch batch(Path(c, name));
    status = PuzzleStatusOf(batch.state());
    if (!Loaded(status)) return status;
    if (input) {
      c.puzzle.ResetInput();
      c.puzzle.MondaiName = name;
      for (int n = 0; n < 8; ++n) {
        ReadList(c, name, "INPUTTBL" + std::to_string(n), c.puzzle.InputTbl.data() + 32 * n, kNone);
      }
    }
    ReadPuzzleKeys(c, name);
  }
  // After the batch: the folder stays locked no longer than the file is read.
  if (c.buildMojiSheet) c.buildMojiSheet();
  return status;
}

}  // namespace

PuzzleFileStatus LoadPuzzleFile(PuzzleFileContext& c, const std::string& name) { return Load(c, name, true); }

PuzzleFileStatus LoadPuzzle(PuzzleFileContext& c, const std::string& name) { return Load(c, name, false); }

void SavePuzzle(PuzzleFileContext& c, const std::string& name, ForeignFile foreign) {
  if (name.empty()) return;
  Puzzle& p = c.puzzle;
  ProfileBatch batch(Path(c, name), foreign);
  const auto write = [&](const std::string& key, const std::string& value) {
    c.ini.WriteFileIni(name, key, value);
  };
  write("WIDTH", std::to_string(p.GridWidth));
  write("HEIGHT", std::to_string(p.GridHeight));
  write("TITLE", p.Title);
  write("VERSION", "011");
  write("PASSWORD", p.Password);
  write("GAMEMODE", c.modes.nankuro() ? "NANKURO" : "CROSSWORD");
  write("KAITOU", JoinNumbers(p.Kaitou.data(), kSlotCount));
  write("SYOKI", JoinNumbers(p.Syoki.data(), kSlotCount));
  {
    CellsLock cells(p);
    std::vector<std::int32_t> list;
    int key = 0;
    const std::int32_t count = p.CellCount();
    for (std::int32_t i = 0; i < count; ++i) {
      list.push_back(cells.at(i % p.GridWidth, i / p.GridWidth));
      if (list.size() == 32) {
        write("TABLE" + std::to_string(key++), JoinNumbers(list.data(), list.size()));
        list.clear();
      }
    }
    if (!list.empty()) write("TABLE" + std::to_string(key), JoinNumbers(list.data(), list.size()));
  }
  {
    Table256 hints = p.HintTbl;
    std::int32_t slot255 = kNone;
    for (std::size_t i = 0; i < hints.size(); ++i) {
      if (hints[i] != kClueOfCell255) continue;
      hints[i] = kNone;
      if (slot255 == kNone) slot255 = static_cast<std::int32_t>(i);
    }
    for (int n = 0; n < 8; ++n) write("HINTTBL" + std::to_string(n), JoinNumbers(hints.data() + 32 * n, 32));
    if (slot255 != kNone) write(kHintSlot255Key, std::to_string(slot255));
    else c.ini.DeleteFileIni(name, kHintSlot255Key);
  }
  for (std::size_t n = 0; n < p.MojiTbl.size(); ++n) {
    if (!p.MojiTbl[n].empty()) write("MOJITBL" + std::to_string(n), p.MojiTbl[n]);
  }
  for (int n = 0; n < 8; ++n) write("ANSERTBL" + std::to_string(n), JoinNumbers(p.AnserTbl.data() + 32 * n, 32));
  for (std::size_t n = 0; n < p.HintTate.size(); ++n) {
    if (!p.HintTate[n].empty()) write("HINTTATE" + std::to_string(n), p.HintTate[n]);
  }
  for (std::size_t n = 0; n < p.HintYoko.size(); ++n) {
    if (!p.HintYoko[n].empty()) write("HINTYOKO" + std::to_string(n), p.HintYoko[n]);
  }
  batch.Commit();
}

void SaveInput(PuzzleFileContext& c, const std::string& name, ForeignFile foreign) {
  if (name.empty()) return;
  ProfileBatch batch(Path(c, name), foreign);
  for (int n = 0; n < 8; ++n) {
    c.ini.WriteFileIni(name, "INPUTTBL" + std::to_string(n),
                       JoinNumbers(c.puzzle.InputTbl.data() + 32 * n, 32));
  }
  batch.Commit();
}

PuzzleFileStatus LoadCharTableOnly(PuzzleFileContext& c, const std::string& name) {
  if (name.empty()) {
    c.puzzle.MojiTbl.assign(kTableEntries, std::string());
    return PuzzleFileStatus::kMissing;
  }
  ProfileBatch batch(Path(c, name));
  const PuzzleFileStatus status = PuzzleStatusOf(batch.state());
  if (!Loaded(status)) return status;
  c.puzzle.MojiTbl.clear();
  for (int n = 0; n < kTableEntries; ++n) {
    c.puzzle.MojiTbl.push_back(c.ini.ReadFileIni(name, "MOJITBL" + std::to_string(n)));
  }
  return status;
}

}  // namespace teku
