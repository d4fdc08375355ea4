#include "platform/directories.h"

#include <windows.h>

#include <filesystem>
#include <system_error>

namespace aequa::platform {

std::string ProgramDirectory() {
  char path[MAX_PATH + 1] = {};
  DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string text(path, n);
  size_t cut = text.find_last_of('\\');
  if (cut == std::string::npos) return CurrentDirectory();
  // A drive's root keeps its backslash ("D:\").
  return cut == 2 && text[1] == ':' ? text.substr(0, 3) : text.substr(0, cut);
}

bool EnterDirectory(const std::string& path, bool create) {
  if (create) {
    std::error_code ec;
    std::filesystem::create_directories(path, ec);
  }
  return SetCurrentDirectoryA(path.c_str()) != 0;
}

std::string CurrentDirectory() {
  char path[MAX_PATH + 1] = {};
  DWORD n = GetCurrentDirectoryA(MAX_PATH, path);
  return std::string(path, n <= MAX_PATH ? n : 0);
}

}  // namespace aequa::platform
