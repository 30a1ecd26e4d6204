// Termination signals: the first one waits in the pipe, a second one ends the process at once.
#include "services/termination_signals.h"

#include <csignal>
#include <cstdlib>
#include <gtest/gtest.h>

namespace teku {
namespace {

TEST(TerminationSignalsDeathTest, TheFirstSignalWaitsInThePipeAndASecondEndsAtOnce) {
  EXPECT_EXIT(
      {
        const int fd = CatchTerminationSignals();
        if (fd < 0 || CatchTerminationSignals() != fd || TakeTerminationSignal(fd) != 0) std::exit(1);
        std::raise(SIGHUP);
        if (TakeTerminationSignal(fd) != SIGHUP || TakeTerminationSignal(fd) != 0) std::exit(2);
        std::raise(SIGINT);
        std::exit(3);
      },
      ::testing::ExitedWithCode(128 + SIGINT), "");
}

}  // namespace
}  // namespace teku
