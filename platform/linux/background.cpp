#include "platform/background.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>

namespace aequa::platform {

long StartDetached(const std::vector<std::string>& arguments) {
  // Started by its real path, the copy shows in ps and top under the program's name (through
  // /proc/self/exe it would show as "exe").
  char path[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  std::string self = n > 0 ? std::string(path, static_cast<size_t>(n)) : "/proc/self/exe";
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

}  // namespace aequa::platform
