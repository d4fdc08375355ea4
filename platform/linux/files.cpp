#include "platform/files.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <random>

namespace aequa::platform {
namespace {

// A name beside `path` that nobody can guess in advance.
std::string TemporaryName(const std::string& path) {
  thread_local std::mt19937_64 random{std::random_device{}()};
  char suffix[24];
  std::snprintf(suffix, sizeof suffix, ".%016llx.tmp",
                static_cast<unsigned long long>(random()));
  return path + suffix;
}

// Creates a new temporary file beside `path`, never through a name that exists (a link
// planted there by someone else is not followed).
int CreateTemporary(const std::string& path, std::string& temp) {
  for (int attempt = 0; attempt < 16; ++attempt) {
    temp = TemporaryName(path);
    int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

}  // namespace

bool ReplaceFile(const std::string& path, std::string_view contents) {
  std::string temp;
  int fd = CreateTemporary(path, temp);
  if (fd < 0) return false;
  const char* data = contents.data();
  size_t left = contents.size();
  bool ok = true;
  while (left > 0) {
    ssize_t n = write(fd, data, left);
    if (n <= 0) {
      ok = false;
      break;
    }
    data += n;
    left -= static_cast<size_t>(n);
  }
  if (ok && fsync(fd) != 0) ok = false;
  if (close(fd) != 0) ok = false;
  if (ok && std::rename(temp.c_str(), path.c_str()) != 0) ok = false;
  if (!ok) unlink(temp.c_str());
  return ok;
}

bool RenameReplacing(const std::string& from, const std::string& to) {
  return std::rename(from.c_str(), to.c_str()) == 0;
}

}  // namespace aequa::platform
