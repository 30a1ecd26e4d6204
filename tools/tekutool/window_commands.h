// The commands that need Qt's fonts or windows. They live in a second executable beside
// tekutool, so that every other command starts without loading Qt, SDL or the synthesizer;
// tekutool hands these over to it unchanged.
#pragma once

namespace tekutool {

inline constexpr const char* kWindowExecutable = "tekutool-gui";

inline constexpr const char* kRenderUsage =
    "render PUZZLE OUT.BMP [--mode game|answer|create] [--cursor X,Y] [--sheets DIR] "
    "[--moji-sheet FILE] | render PUZZLE OUT.pdf|OUT.png|OUT.svg [--solution] [--paper A4|B5] "
    "[--landscape] [--large] [--dpi N]";
inline constexpr const char* kPlayUsage = "play PUZZLE|none SCRIPT";
inline constexpr const char* kRenderSummary =
    "Draws the grid of a puzzle as the main window shows it, into a BMP; or prints the puzzle's "
    "pages into a PDF, PNG pictures (one a page) or an SVG.";
inline constexpr const char* kPlaySummary =
    "Runs the program's windows offscreen, driven by a script, and prints the state as JSON.";

struct WindowCommand {
  const char* name;
  const char* usage;
  const char* summary;
  bool needsWindows;  // only where the windows are built
};
inline constexpr WindowCommand kWindowCommands[] = {
    {"play", kPlayUsage, kPlaySummary, true},
    {"render", kRenderUsage, kRenderSummary, false},
};

}  // namespace tekutool
