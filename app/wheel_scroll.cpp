// Mouse-wheel scrolling.
#include "app/wheel_scroll.h"

#include <algorithm>

namespace teku {

namespace {
constexpr std::int64_t kNotch = 120;

// Adds `delta` to `rest` and takes out the whole steps it now holds.
std::int32_t TakeSteps(std::int64_t& rest, std::int64_t delta, std::int32_t linesPerNotch) {
  // A change of direction drops what was gathered the other way.
  if ((rest > 0 && delta < 0) || (rest < 0 && delta > 0)) rest = 0;
  rest += delta * linesPerNotch;
  const std::int64_t steps = rest / kNotch;
  rest -= steps * kNotch;
  // Turning the wheel away from the user scrolls up (or left): the bar's value goes down.
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(-steps, -(1 << 20), 1 << 20));
}
}  // namespace

WheelSteps WheelScroll::Turn(std::int32_t dx, std::int32_t dy, bool shift, std::int32_t linesPerNotch) {
  linesPerNotch = std::clamp(linesPerNotch, 1, 100);
  const std::int64_t across = std::int64_t{dx} + (shift ? dy : 0);
  const std::int64_t down = shift ? 0 : dy;
  WheelSteps s;
  if (across != 0) s.across = TakeSteps(restAcross_, across, linesPerNotch);
  if (down != 0) s.down = TakeSteps(restDown_, down, linesPerNotch);
  return s;
}

}  // namespace teku
