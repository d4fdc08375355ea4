// Builds without a window backend: the command line works on its own.
#include <cstdio>

#include "shell/window_entry.h"

namespace aequa::ui {

int OpenWindow(const std::string&, bool) {
  std::fprintf(stderr, "aequa: no command given, and this build has no window\n"
                       "Try 'aequa --help'.\n");
  return 2;
}

int ServeDirectory(const std::string&, bool) {
  std::fprintf(stderr, "aequa: this build cannot run in the background\n");
  return 2;
}

std::optional<int> ForwardToRunningCopy(const std::vector<std::string>&) { return std::nullopt; }

}  // namespace aequa::ui
