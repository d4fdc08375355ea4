#include "platform/directories.h"

#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace aequa::platform {

std::string ProgramDirectory() {
  char buffer[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (n <= 0) return CurrentDirectory();
  std::string path(buffer, static_cast<size_t>(n));
  size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return CurrentDirectory();
  return slash == 0 ? std::string("/") : path.substr(0, slash);
}

DataDirectoryChoice DefaultDataDirectory() {
  const std::string program = ProgramDirectory();
  // Installed: the manual page lies under the same prefix (root could write to bin/ too).
  std::error_code ec;
  const bool installed =
      std::filesystem::exists(program + "/../share/man/man1/aequa.1", ec) && !ec;
  if (!installed && access(program.c_str(), W_OK) == 0) return {program, false};
  const char* xdg = std::getenv("XDG_DATA_HOME");
  if (xdg != nullptr && xdg[0] == '/') return {std::string(xdg) + "/aequa", true};
  const char* home = std::getenv("HOME");
  // With no home at all, the program's directory is the only one there is; it is refused
  // later, with its name, when it cannot be used.
  if (home == nullptr || home[0] != '/') return {program, false};
  return {std::string(home) + "/.local/share/aequa", true};
}

bool EnterDirectory(const std::string& path, bool create, bool* created) {
  bool made = false;
  if (create) {
    std::error_code ec;
    made = std::filesystem::create_directories(path, ec) && !ec;
  }
  if (created != nullptr) *created = made;
  return chdir(path.c_str()) == 0;
}

std::string CurrentDirectory() {
  char buffer[PATH_MAX];
  if (getcwd(buffer, sizeof buffer) == nullptr) return std::string();
  return buffer;
}

// The kernel reports the current directory with its links resolved already. (Two mounts of
// one directory still read differently; the lock file inside it covers them.)
std::string ResolvedCurrentDirectory() { return CurrentDirectory(); }

}  // namespace aequa::platform
