// Mouse-wheel turns as scroll-bar steps, for the grid and the character panel: one notch (120
// eighths of a degree) moves `linesPerNotch` steps, Shift turns the vertical wheel across.
#pragma once

#include <cstdint>

namespace teku {

struct WheelSteps {
  std::int32_t across = 0;  // + scrolls right
  std::int32_t down = 0;    // + scrolls down
};

// Touchpads and free-spinning wheels send fractions of a notch; what does not make a whole step
// yet is kept for the next turn, so slow scrolling still moves.
class WheelScroll {
 public:
  // `dx`, `dy`: the wheel's angle delta (positive away from the user, or to the left).
  WheelSteps Turn(std::int32_t dx, std::int32_t dy, bool shift, std::int32_t linesPerNotch);

 private:
  std::int64_t restAcross_ = 0, restDown_ = 0;
};

}  // namespace teku
