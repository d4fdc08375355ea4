#include "platform/background.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace aequa::platform {

long StartDetached(const std::vector<std::string>& arguments) {
  std::vector<char*> argv;
  static char self[] = "/proc/self/exe";
  argv.push_back(self);
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
