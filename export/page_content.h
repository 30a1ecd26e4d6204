// What a printed page of a puzzle shows, taken from the puzzle: the grid's cells with their corner
// numbers and characters, the number table, the check table, the answer word and the clues.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/modes.h"
#include "app/puzzle_model.h"

namespace teku {

struct PageCell {
  bool open = false;   // a numbered cell; the others print filled
  bool given = false;  // shown from the start
  std::string label;   // the small corner number: the cell's number, or a crossword clue's number
  std::string text;    // the character printed in the cell (code page 932), or empty
};

struct PageBox {
  std::string label;  // corner number (empty for none)
  std::string text;   // character (code page 932), or empty
  bool given = false;
};

struct PageClue {
  std::int32_t number = 0;
  std::string text;  // code page 932
};

struct PageContent {
  std::string title;  // code page 932
  bool nankuro = true;
  bool solution = false;
  std::int32_t width = 0, height = 0;
  std::vector<PageCell> cells;        // row by row
  std::vector<PageBox> numberTable;   // numbers 1..N (number-crossword)
  std::vector<PageBox> checkTable;    // the characters in use, in 50-sound order (number-crossword)
  std::vector<PageBox> answer;        // the answer word's positions, up to the last one in use
  std::vector<PageClue> down, across; // crossword clues by number
  const PageCell& cell(std::int32_t x, std::int32_t y) const {
    return cells[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)];
  }
};

// The puzzle page, or with `solution` the solution page: every open cell and every position of
// the answer word with its answer character.
PageContent ComposePage(Puzzle& puzzle, PuzzleKind kind, bool solution);

// Sort key of a text in 50-sound order: hiragana, katakana and half-width katakana of one sound
// sort together (small and voiced forms beside their plain one), the long-vowel mark after the
// kana, everything else after that by code point.
std::vector<std::uint32_t> GojuonKey(const std::string& cp932);

// Width of a text in ems of a fixed-pitch Japanese face: a double-byte character is one em, a
// single-byte one half.
double TextEms(const std::string& cp932);
// The text cut into characters (one or two bytes each).
std::vector<std::string> Cp932Characters(const std::string& cp932);

}  // namespace teku
