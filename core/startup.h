#pragma once
// Start-up without the window: the data directory, the single copy per directory, the file
// names and the settings.
#include <cstdint>
#include <string>

namespace aequa {

struct StartupResult {
  enum class Outcome { Started, AlreadyRunning, NoDirectory, LockFailed };
  Outcome outcome = Outcome::Started;
  std::string directory;   // the data directory as text
  int32_t instanceKey = 0;
  long runningPid = 0;     // AlreadyRunning: the copy that runs there (0 if unknown)
  bool workQueued = false; // the work file holds at least one line
  bool created = false;    // the directory did not exist and was created
};

// Makes `directory` (created when `create` is set) the current directory, takes the
// directory's lock, names the files, loads the settings and reports whether work is queued.
// A copy that finds another one running touches no file.
StartupResult StartUp(const std::string& directory, bool create);

// The instance key of the current process (0 before StartUp).
int32_t InstanceKey();

}  // namespace aequa
