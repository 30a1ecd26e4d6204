// The play mode and puzzle kind as the menu check marks hold them. The forms read the marks and
// pass this snapshot to the core; the core never keeps a copy of its own.
#pragma once

namespace teku {

enum class PlayMode { Game, Answer, Create };
enum class PuzzleKind { Nankuro, Crossword };

struct ModeState {
  PlayMode play = PlayMode::Game;
  PuzzleKind kind = PuzzleKind::Nankuro;
  bool hint = false;   // initial-display designation (MN_MODEHINT)
  bool sound = true;   // MN_MODEONGAKU
  // Create mode only: cells take letters, numbered afterwards (文字で作成, MN_MODELETTER).
  bool letters = false;

  bool game() const { return play == PlayMode::Game; }
  bool answer() const { return play == PlayMode::Answer; }
  bool create() const { return play == PlayMode::Create; }
  bool writingLetters() const { return letters && play == PlayMode::Create; }
  bool nankuro() const { return kind == PuzzleKind::Nankuro; }
  bool crossword() const { return kind == PuzzleKind::Crossword; }
};

}  // namespace teku
