// SIGTERM, SIGINT and SIGHUP, caught so that the program can end in order: the handler only
// writes the signal's number into a pipe whose read end the event loop watches. A second signal
// ends the process at once, so a shut-down that hangs can still be stopped.
#pragma once

namespace teku {

// Installs the handlers (once per process; later calls return the same pipe). Returns the pipe's
// read end (non-blocking), or -1 when no pipe could be made and the signals keep their defaults.
int CatchTerminationSignals();

// The signal waiting in the pipe `fd`, or 0 when none is.
int TakeTerminationSignal(int fd);

// Ends the process as the signal's default action does, for a caller that has finished its own
// shut-down: the parent sees the program killed by `signal`.
[[noreturn]] void EndByTerminationSignal(int signal);

}  // namespace teku
