// The puzzle as the JSON fields `tekutool info` prints (without the enclosing braces).
#pragma once

#include <string>

#include "app/modes.h"
#include "app/puzzle_model.h"

namespace tekutool {

std::string PuzzleJsonFields(teku::Puzzle& p, const teku::ModeState& modes);

}  // namespace tekutool
