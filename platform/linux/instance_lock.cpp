#include "platform/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace aequa::platform {
namespace {
int lockFd = -1;
}

// A file of a fixed name inside the directory: a name keyed on the path's text would differ
// between two paths to one directory (a bind mount), and each would get a copy of its own.
std::string InstanceLockName(int32_t /*key*/) { return "aequa.lock"; }

InstanceLockResult AcquireInstanceLock(int32_t key) {
  InstanceLockResult result;
  const std::string name = InstanceLockName(key);
  // Open without O_CREAT first, so that a second copy changes nothing on disk. A link planted
  // at the name is not followed (the file it points to would be truncated).
  int fd = open(name.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW);
  if (fd < 0 && errno == ENOENT) {
    fd = open(name.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
  }
  if (fd < 0) {
    result.failed = true;
    return result;
  }
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    char text[32] = {};
    ssize_t n = pread(fd, text, sizeof text - 1, 0);
    if (n > 0) result.holderPid = std::strtol(text, nullptr, 10);
    close(fd);
    return result;
  }
  char text[32];
  int len = std::snprintf(text, sizeof text, "%ld\n", static_cast<long>(getpid()));
  if (ftruncate(fd, 0) == 0 && pwrite(fd, text, static_cast<size_t>(len), 0) == len) {
    // The pid is only informative; a failure to write it does not matter.
  }
  if (lockFd >= 0) close(lockFd);
  lockFd = fd;
  result.acquired = true;
  return result;
}

void ReleaseInstanceLock() {
  if (lockFd >= 0) {
    close(lockFd);
    lockFd = -1;
  }
}

}  // namespace aequa::platform
