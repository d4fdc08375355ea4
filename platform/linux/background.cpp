#include "platform/background.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>

namespace aequa::platform {

namespace {

// Started by its real path, the copy shows in ps and top under the program's name (through
// /proc/self/exe it would show as "exe").
std::string SelfPath() {
  char path[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  return n > 0 ? std::string(path, static_cast<size_t>(n)) : "/proc/self/exe";
}

}  // namespace

long StartDetached(const std::vector<std::string>& arguments) {
  std::string self = SelfPath();
  std::vector<char*> argv;
  argv.push_back(self.data());
  for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t pid = fork();
  if (pid < 0) return -1;
  if (pid == 0) {
    setsid();
    int null = open("/dev/null", O_RDWR);
    if (null >= 0) {
      dup2(null, 0);
      dup2(null, 1);
      dup2(null, 2);
      if (null > 2) close(null);
    }
    execv(self.c_str(), argv.data());
    // The file was replaced or removed since: the running image is still there.
    execv("/proc/self/exe", argv.data());
    _exit(127);
  }
  return pid;
}

bool ChildRunning(long pid) {
  int status = 0;
  return waitpid(static_cast<pid_t>(pid), &status, WNOHANG) == 0;
}

int RunSelfCaptured(const std::vector<std::string>& arguments, std::string& output) {
  output.clear();
  std::string self = SelfPath();
  std::vector<char*> argv;
  argv.push_back(self.data());
  for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) return -1;
  const pid_t pid = fork();
  if (pid < 0) {
    close(fds[0]);
    close(fds[1]);
    return -1;
  }
  if (pid == 0) {
    const int null = open("/dev/null", O_RDONLY);
    if (null >= 0) dup2(null, 0);
    dup2(fds[1], 1);
    dup2(fds[1], 2);
    execv(self.c_str(), argv.data());
    execv("/proc/self/exe", argv.data());
    _exit(127);
  }
  close(fds[1]);
  char buffer[4096];
  for (;;) {
    const ssize_t got = read(fds[0], buffer, sizeof buffer);
    if (got > 0) {
      output.append(buffer, static_cast<size_t>(got));
    } else if (got == 0 || errno != EINTR) {
      break;
    }
  }
  close(fds[0]);
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace aequa::platform
