// The puzzle's JSON fields.
#include "tools/tekutool/puzzle_json.h"

#include "services/cp932.h"
#include "tools/tekutool/options.h"

namespace tekutool {

namespace {

template <typename T>
std::string IntArray(const T& values) {
  std::string out = "[";
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (i > 0) out += ",";
    out += std::to_string(values[i]);
  }
  return out + "]";
}

std::string TextArray(const teku::TextList& list) {
  std::string out = "[";
  for (std::size_t i = 0; i < list.size(); ++i) {
    if (i > 0) out += ",";
    out += JsonString(teku::Cp932ToUtf8(list[i]));
  }
  return out + "]";
}

}  // namespace

std::string PuzzleJsonFields(teku::Puzzle& p, const teku::ModeState& modes) {
  std::string cells = "[";
  {
    teku::CellsLock lock(p);
    for (int y = 0; y < p.GridHeight; ++y) {
      cells += y > 0 ? ",[" : "[";
      for (int x = 0; x < p.GridWidth; ++x) {
        if (x > 0) cells += ",";
        cells += std::to_string(lock.at(x, y));
      }
      cells += "]";
    }
  }
  cells += "]";
  std::string out = "\"width\":" + std::to_string(p.GridWidth);
  out += ",\"height\":" + std::to_string(p.GridHeight);
  out += ",\"title\":" + JsonString(teku::Cp932ToUtf8(p.Title));
  out += ",\"version\":" + JsonString(teku::Cp932ToUtf8(p.Version));
  out += ",\"password\":" + JsonString(teku::Cp932ToUtf8(p.Password));
  out += std::string(",\"kind\":") + (modes.crossword() ? "\"crossword\"" : "\"nankuro\"");
  out += ",\"kaitou\":" + IntArray(p.Kaitou);
  out += ",\"syoki\":" + IntArray(p.Syoki);
  out += ",\"anser\":" + IntArray(p.AnserTbl);
  out += ",\"input\":" + IntArray(p.InputTbl);
  out += ",\"hint\":" + IntArray(p.HintTbl);
  out += ",\"moji\":" + TextArray(p.MojiTbl);
  out += ",\"tate\":" + TextArray(p.HintTate);
  out += ",\"yoko\":" + TextArray(p.HintYoko);
  out += ",\"cells\":" + cells;
  return out;
}

}  // namespace tekutool
