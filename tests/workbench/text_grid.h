// Puzzles for the workbench tests written as rows of text: '#' is a blocked cell, any other
// character is the letter of its cell, numbered as the letters are written.
#pragma once

#include <string>
#include <vector>

#include "app/puzzle_model.h"
#include "services/cp932.h"
#include "workbench/letter_grid.h"

namespace teku::testing {

inline std::vector<std::string> Utf8Characters(const std::string& s) {
  std::vector<std::string> out;
  for (std::size_t i = 0; i < s.size();) {
    const auto b = static_cast<unsigned char>(s[i]);
    const std::size_t n = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
    out.push_back(s.substr(i, n));
    i += n;
  }
  return out;
}

inline std::string Sjis(const std::string& utf8) { return Utf8ToCp932Lossy(utf8); }

// The puzzle starts afresh but for its character table.
inline void WriteLetters(Puzzle& p, const std::vector<std::string>& rows) {
  const TextList table = p.MojiTbl;
  p.ResetPuzzle();
  p.MojiTbl = table;
  p.GridHeight = static_cast<std::int32_t>(rows.size());
  p.GridWidth = static_cast<std::int32_t>(Utf8Characters(rows.at(0)).size());
  for (std::int32_t y = 0; y < p.GridHeight; ++y) {
    const auto row = Utf8Characters(rows[static_cast<std::size_t>(y)]);
    for (std::int32_t x = 0; x < p.GridWidth; ++x) {
      if (row.at(static_cast<std::size_t>(x)) != "#") PutLetter(p, x, y, Sjis(row[static_cast<std::size_t>(x)]));
    }
  }
}

// The grid read back through the answer table, '#' for a cell without a character.
inline std::vector<std::string> ReadLetters(Puzzle& p) {
  std::vector<std::string> rows;
  CellsLock cells(p);
  for (std::int32_t y = 0; y < p.GridHeight; ++y) {
    std::string row;
    for (std::int32_t x = 0; x < p.GridWidth; ++x) {
      const std::int32_t c = TableAt(p.AnserTbl, cells.at(x, y));
      row += c >= 1 && c <= 254 ? Cp932ToUtf8(TextAt(p.MojiTbl, c)) : "#";
    }
    rows.push_back(row);
  }
  return rows;
}

inline std::uint8_t NumberAt(Puzzle& p, std::int32_t x, std::int32_t y) {
  CellsLock cells(p);
  return cells.at(x, y);
}

}  // namespace teku::testing
