// Termination signals through a self-pipe.
#include "services/termination_signals.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace teku {

namespace {
int g_pipe[2] = {-1, -1};
volatile std::sig_atomic_t g_caught = 0;

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

extern "C" void OnTerminationSignal(int signal) {
  if (g_caught != 0) _exit(128 + signal);
  g_caught = signal;
  const int saved = errno;
  const unsigned char byte = static_cast<unsigned char>(signal);
  // A full pipe already holds a signal to act on; nothing is lost by dropping this byte.
  [[maybe_unused]] const ssize_t written = write(g_pipe[1], &byte, 1);
  errno = saved;
}
}  // namespace

int CatchTerminationSignals() {
  if (g_pipe[0] >= 0) return g_pipe[0];
  if (pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0) {
    g_pipe[0] = g_pipe[1] = -1;
    return -1;
  }
  struct sigaction action = {};
  action.sa_handler = OnTerminationSignal;
  sigemptyset(&action.sa_mask);
  // Blocking calls resume after the handler: the pipe, not EINTR, tells the program to end.
  action.sa_flags = SA_RESTART;
  for (const int s : kSignals) sigaction(s, &action, nullptr);
  return g_pipe[0];
}

int TakeTerminationSignal(int fd) {
  unsigned char byte = 0;
  return read(fd, &byte, 1) == 1 ? byte : 0;
}

void EndByTerminationSignal(int signal) {
  struct sigaction action = {};
  action.sa_handler = SIG_DFL;
  sigemptyset(&action.sa_mask);
  sigaction(signal, &action, nullptr);
  raise(signal);
  _exit(128 + signal);
}

}  // namespace teku
