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

DataDirectoryChoice DefaultDataDirectory() { return {ProgramDirectory(), false}; }

bool EnterDirectory(const std::string& path, bool create, bool* created) {
  bool made = false;
  if (create) {
    std::error_code ec;
    made = std::filesystem::create_directories(path, ec) && !ec;
  }
  if (created != nullptr) *created = made;
  return SetCurrentDirectoryA(path.c_str()) != 0;
}

std::string CurrentDirectory() {
  char path[MAX_PATH + 1] = {};
  DWORD n = GetCurrentDirectoryA(MAX_PATH, path);
  return std::string(path, n <= MAX_PATH ? n : 0);
}

// The final path of the directory (junctions, links and substituted drives resolved), without
// the "\\?\" prefix the system puts before it.
std::string ResolvedCurrentDirectory() {
  const std::string current = CurrentDirectory();
  HANDLE dir = CreateFileA(".", 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (dir == INVALID_HANDLE_VALUE) return current;
  char path[MAX_PATH + 8] = {};
  const DWORD n = GetFinalPathNameByHandleA(dir, path, sizeof path - 1,
                                            FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
  CloseHandle(dir);
  if (n == 0 || n >= sizeof path - 1) return current;
  std::string text(path, n);
  if (text.rfind("\\\\?\\UNC\\", 0) == 0) return "\\\\" + text.substr(8);
  if (text.rfind("\\\\?\\", 0) == 0) text = text.substr(4);
  return text;  // a drive's root keeps its backslash, as the current directory does
}

}  // namespace aequa::platform
