#include "platform/append_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace aequa::platform {

bool AppendWhole(const std::string& path, std::string_view text, std::string& error) {
  const int fd = open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0666);
  if (fd < 0) {
    error = std::strerror(errno);
    return false;
  }
  struct stat before {};
  bool ok = fstat(fd, &before) == 0 && S_ISREG(before.st_mode);
  if (!ok) error = "not a regular file";
  const char* data = text.data();
  size_t left = text.size();
  while (ok && left > 0) {
    const ssize_t n = write(fd, data, left);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      error = n < 0 ? std::strerror(errno) : "nothing written";
      ok = false;
      break;
    }
    data += n;
    left -= static_cast<size_t>(n);
  }
  if (ok && fdatasync(fd) != 0) {
    error = std::strerror(errno);
    ok = false;
  }
  // A line reaches the file whole or not at all: cut a partial write off again.
  if (!ok && left != text.size()) (void)ftruncate(fd, before.st_size);
  if (close(fd) != 0 && ok) {
    error = std::strerror(errno);
    ok = false;
    (void)truncate(path.c_str(), before.st_size);
  }
  return ok;
}

}  // namespace aequa::platform
