#include "platform/autostart.h"

#include <windows.h>

namespace aequa::platform {
namespace {

constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// The program's full path: the name of its Run value, and (in quotes) its data.
std::string ProgramPath() {
  char path[257] = {};
  DWORD n = GetModuleFileNameA(nullptr, path, 256);
  return std::string(path, n <= 256 ? n : 0);
}

HKEY OpenRunKey(HKEY root) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, kRunKey, 0, KEY_READ | KEY_WRITE, &key) != ERROR_SUCCESS) return nullptr;
  return key;
}

bool HasValue(HKEY root, const std::string& name) {
  HKEY key = OpenRunKey(root);
  if (key == nullptr) return false;
  const bool found = RegQueryValueExA(key, name.c_str(), nullptr, nullptr, nullptr, nullptr) ==
                     ERROR_SUCCESS;
  RegCloseKey(key);
  return found;
}

// The machine-wide Run key when this user may write it, else the user's own one.
HKEY RunRoot() {
  HKEY key = OpenRunKey(HKEY_LOCAL_MACHINE);
  if (key == nullptr) return HKEY_CURRENT_USER;
  RegCloseKey(key);
  return HKEY_LOCAL_MACHINE;
}

}  // namespace

// The entry is per program file, not per directory: the program's directory is its data
// directory.
bool AutostartRegistered(const std::string& /*directory*/) {
  const std::string path = ProgramPath();
  return HasValue(HKEY_LOCAL_MACHINE, path) || HasValue(HKEY_CURRENT_USER, path);
}

AutostartStatus RegisterAutostart(const std::string& /*directory*/) {
  const std::string path = ProgramPath();
  HKEY key = nullptr;
  if (RegCreateKeyExA(RunRoot(), (std::string(kRunKey) + "\\").c_str(), 0, nullptr, 0,
                      KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS) {
    return AutostartStatus::CannotCreate;
  }
  // The data is a command line: in quotes, a path with blanks is one word.
  const std::string command = "\"" + path + "\"";
  const LONG written =
      RegSetValueExA(key, path.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                     static_cast<DWORD>(command.size() + 1));
  RegCloseKey(key);
  return written == ERROR_SUCCESS ? AutostartStatus::Done : AutostartStatus::CannotWrite;
}

AutostartStatus UnregisterAutostart(const std::string& /*directory*/) {
  const std::string path = ProgramPath();
  bool ok = true;
  for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
    if (!HasValue(root, path)) continue;
    HKEY key = OpenRunKey(root);
    if (key == nullptr || RegDeleteValueA(key, path.c_str()) != ERROR_SUCCESS) ok = false;
    if (key != nullptr) RegCloseKey(key);
  }
  return ok ? AutostartStatus::Done : AutostartStatus::CannotWrite;
}

std::string AutostartEntryPath(const std::string& /*directory*/) {
  return std::string(RunRoot() == HKEY_LOCAL_MACHINE ? "HKEY_LOCAL_MACHINE\\" : "HKEY_CURRENT_USER\\") +
         kRunKey + "\\" + ProgramPath();
}

}  // namespace aequa::platform
