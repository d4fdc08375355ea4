#pragma once
// End-to-end helpers: running `aequa` as a command, and a terminal under tmux that shows it.
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>

namespace aequa::test {

struct CommandResult {
  int status = -1;
  std::string output;  // standard output and error
};

inline std::string Quoted(const std::string& text) {
  std::string out = "'";
  for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

inline CommandResult Shell(const std::string& command) {
  CommandResult result;
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (pipe == nullptr) return result;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) result.output.append(buffer, n);
  int status = pclose(pipe);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

// `aequa --dir DIR ARGS`.
inline CommandResult Aequa(const std::string& dir, const std::string& args) {
  return Shell(Quoted(AEQUA_BINARY) + " --dir " + Quoted(dir) + " " + args);
}

inline bool WaitFor(const std::function<bool()>& done, int milliseconds = 20000) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  while (std::chrono::steady_clock::now() < end) {
    if (done()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return done();
}

// A tmux server of its own, whose terminals run `aequa` in a shell that stays open after it.
class Tmux {
 public:
  explicit Tmux(const std::string& socketPath) : socket_(socketPath) {}
  ~Tmux() { Run("kill-server"); }

  CommandResult Run(const std::string& args) {
    return Shell("tmux -S " + Quoted(socket_) + " -f /dev/null " + args);
  }
  // Opens terminal `name` (100 x 30) showing the window of `dir`.
  void OpenWindow(const std::string& name, const std::string& dir) {
    const std::string command = Quoted(AEQUA_BINARY) + " --dir " + Quoted(dir) +
                                "; echo \"window closed: $?\"; sleep 600";
    Run("new-session -d -s " + name + " -x 100 -y 30 " + Quoted(command));
  }
  std::string Capture(const std::string& name) { return Run("capture-pane -p -t " + name).output; }
  bool WaitForText(const std::string& name, const std::string& text, int ms = 20000) {
    return WaitFor([&] { return Capture(name).find(text) != std::string::npos; }, ms);
  }
  void Keys(const std::string& name, const std::string& keys) {
    Run("send-keys -t " + name + " " + keys);
  }
  void Close(const std::string& name) { Run("kill-session -t " + name); }
  std::string Title(const std::string& name) {
    return Run("display-message -p -t " + name + " '#{pane_title}'").output;
  }

 private:
  std::string socket_;
};

}  // namespace aequa::test
