#include "platform/files.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

namespace aequa::platform {
namespace {

// Creates the temporary file "<path>.tmp" new. Whatever is found at that name (a leftover of
// a crash, or a link planted there by someone else) is removed, not opened: O_EXCL and
// O_NOFOLLOW never write through an existing name, so a link that comes back in between makes
// the write fail rather than reach another file.
int CreateTemporary(const std::string& temp) {
  unlink(temp.c_str());
  return open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
}

}  // namespace

bool ReplaceFile(const std::string& path, std::string_view contents) {
  const std::string temp = path + ".tmp";
  int fd = CreateTemporary(temp);
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
