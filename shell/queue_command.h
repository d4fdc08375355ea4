#pragma once
// `aequa queue`: the queued lines by number with their progress; `queue remove N` and
// `queue move N M` change the queue. Carried out the same way by the command line and by a
// running copy for a command forwarded to it, with the data directory current.
#include <string>
#include <vector>

namespace aequa::ui {

struct CommandOutput {
  int status = 0;
  std::string out;
  std::string err;
};

// The values after "queue": none (list), "remove N" or "move N M".
CommandOutput RunQueueCommand(const std::vector<std::string>& values);

// The numbered listing that `aequa queue` prints and the window's Queue box shows.
std::string QueueListing();

}  // namespace aequa::ui
