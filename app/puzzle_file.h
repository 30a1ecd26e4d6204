// The puzzle file (*.CRS): every key of a puzzle and of a saved input, read and written one key
// at a time through the services component, in the program's directory.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "app/modes.h"
#include "app/puzzle_model.h"
#include "services/ziredizu.h"

namespace teku {

// Fills `count` entries from one list value: an empty or non-integer item takes `fallback`, and
// a value with fewer items repeats its last item for the rest.
void ReadNumberList(const std::string& value, std::int32_t fallback, std::int32_t* out, int count);
// Decimal items joined by "," with no comma at the end.
std::string JoinNumberList(const std::int32_t* values, int count);
// A whole value as a decimal integer (optional sign, digits only, fits in 32 bits).
bool ParseDecimal(const std::string& text, std::int32_t* value);

// Each takes a bare file name; an empty name does nothing beyond the resets it starts with.
// Loads set the kind marks from GAMEMODE and always switch to game mode; `buildMojiSheet`
// renders the character sheet anew after a load. Saves throw ProfileWriteError for a refused
// write; the keys written before it stay in the file.
bool LoadPuzzleFile(Puzzle& puzzle, const ZIREDIZU& ini, ModeState& modes,
                    const std::string& name, const std::function<void()>& buildMojiSheet);
bool LoadPuzzle(Puzzle& puzzle, const ZIREDIZU& ini, ModeState& modes, const std::string& name,
                const std::function<void()>& buildMojiSheet);
void SavePuzzle(Puzzle& puzzle, const ZIREDIZU& ini, const ModeState& modes,
                const std::string& name);
void SaveInput(const Puzzle& puzzle, const ZIREDIZU& ini, const std::string& name);
void LoadCharTableOnly(Puzzle& puzzle, const ZIREDIZU& ini, const std::string& name);

}  // namespace teku
