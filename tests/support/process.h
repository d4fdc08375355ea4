#pragma once
// Runs the built `aequa` program for end-to-end tests.
#include <sys/types.h>

#include <string>
#include <vector>

namespace aequa::test {

struct ProcessResult {
  int status = -1;  // exit status, or -1 when it did not exit normally
  std::string out;
  std::string err;
};

// Runs the program to its end with the given arguments (no standard input).
ProcessResult RunAequa(const std::vector<std::string>& args);
// Runs another program (argv[0], looked up in PATH) the same way.
ProcessResult RunProgram(const std::vector<std::string>& argv);

// A program running in the background; its output goes to files read on demand.
class BackgroundAequa {
 public:
  explicit BackgroundAequa(const std::vector<std::string>& args);
  // `program` instead of aequa (looked up in PATH).
  BackgroundAequa(const std::string& program, const std::vector<std::string>& args);
  ~BackgroundAequa();
  // Waits (up to `seconds`) until the standard output holds `text`.
  bool WaitForOutput(const std::string& text, double seconds = 60);
  void Signal(int sig);
  // Waits (up to `seconds`, a bound for a program that would otherwise never end) until the
  // program has ended; then Wait returns at once.
  bool WaitForExit(double seconds = 60);
  ProcessResult Wait();
  pid_t pid() const { return pid_; }
  std::string Output() const;

 private:
  pid_t pid_ = -1;
  std::string outPath_;
  std::string errPath_;
  bool finished_ = false;
  int rawStatus_ = 0;
  bool reaped_ = false;
};

}  // namespace aequa::test
