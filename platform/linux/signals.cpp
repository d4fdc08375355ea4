#include "platform/signals.h"

#include <pthread.h>
#include <signal.h>

#include <thread>

namespace aequa::platform {

void InstallStopHandler(void (*onStop)()) {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGTERM);
  // A closed terminal or ssh session: stop and save rather than die unsaved.
  sigaddset(&set, SIGHUP);
  // Output to a terminal or pipe that has gone fails instead of ending the process.
  signal(SIGPIPE, SIG_IGN);
  // Blocked here, the signals are inherited blocked by every later thread and taken
  // only by the waiting thread below.
  pthread_sigmask(SIG_BLOCK, &set, nullptr);
  std::thread([set, onStop]() {
    for (;;) {
      int sig = 0;
      if (sigwait(&set, &sig) == 0) onStop();
    }
  }).detach();
}

}  // namespace aequa::platform
