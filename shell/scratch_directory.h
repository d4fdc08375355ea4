#pragma once
// A temporary data directory for the self-test and the benchmark: made new under the system's
// temporary directory, started in (lock, settings, Priority 9), its log kept quiet, and
// removed with the previous current directory restored at the end.
#include <string>

namespace aequa::ui {

class ScratchDirectory {
 public:
  ScratchDirectory();
  ~ScratchDirectory();
  ScratchDirectory(const ScratchDirectory&) = delete;
  ScratchDirectory& operator=(const ScratchDirectory&) = delete;

  bool ready() const { return ready_; }
  const std::string& path() const { return path_; }
  // Quiets the log again (a search may set a sink of its own).
  void Quiet();

 private:
  std::string path_;
  std::string previous_;
  bool ready_ = false;
};

}  // namespace aequa::ui
