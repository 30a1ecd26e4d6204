// The answer check: the player's input against the answer, for the numbers a player can enter.
#pragma once

#include "app/puzzle_model.h"

namespace teku {

// Right when every number 1..254 that some grid cell outside the given cells carries has the
// input equal to its answer (an answer of "none" needs an input of "none"). Numbers that only
// given cells carry, and answers of numbers no cell carries, do not count.
bool AnswerIsRight(Puzzle& puzzle);

}  // namespace teku
