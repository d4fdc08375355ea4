#include "platform/background.h"

#include <windows.h>

namespace aequa::platform {

namespace {

std::string SelfPath() {
  char path[MAX_PATH + 1] = {};
  const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  return std::string(path, n <= MAX_PATH ? n : 0);
}

// One argument as the C runtime's parser reads it back: quoted when it holds a blank or a
// quote, with the backslashes before a quote (and before the closing quote) doubled.
void AppendQuoted(std::string& line, const std::string& argument) {
  if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos) {
    line += argument;
    return;
  }
  line += '"';
  size_t backslashes = 0;
  for (char c : argument) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    line.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
    backslashes = 0;
    line += c;
  }
  line.append(2 * backslashes, '\\');
  line += '"';
}

std::string CommandLine(const std::string& self, const std::vector<std::string>& arguments) {
  std::string line;
  AppendQuoted(line, self);
  for (const std::string& a : arguments) {
    line += ' ';
    AppendQuoted(line, a);
  }
  return line;
}

HANDLE OpenNullDevice(DWORD access) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  return CreateFileA("NUL", access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING,
                     0, nullptr);
}

}  // namespace

long StartDetached(const std::vector<std::string>& arguments) {
  const std::string self = SelfPath();
  std::string line = CommandLine(self, arguments);
  HANDLE null = OpenNullDevice(GENERIC_READ | GENERIC_WRITE);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = startup.hStdOutput = startup.hStdError = null;
  PROCESS_INFORMATION child{};
  const BOOL started =
      CreateProcessA(self.c_str(), line.data(), nullptr, nullptr, TRUE,
                     DETACHED_PROCESS | CREATE_NEW_PROCESS_GROUP, nullptr, nullptr, &startup, &child);
  if (null != INVALID_HANDLE_VALUE) CloseHandle(null);
  if (!started) return -1;
  CloseHandle(child.hThread);
  CloseHandle(child.hProcess);
  return static_cast<long>(child.dwProcessId);
}

bool ChildRunning(long pid) {
  HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(pid));
  if (process == nullptr) return false;
  const bool running = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
  CloseHandle(process);
  return running;
}

int RunSelfCaptured(const std::vector<std::string>& arguments, std::string& output) {
  output.clear();
  const std::string self = SelfPath();
  std::string line = CommandLine(self, arguments);
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE readEnd = nullptr;
  HANDLE writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return -1;
  // Only the child's end is inherited.
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  HANDLE null = OpenNullDevice(GENERIC_READ);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = null;
  startup.hStdOutput = startup.hStdError = writeEnd;
  PROCESS_INFORMATION child{};
  const BOOL started = CreateProcessA(self.c_str(), line.data(), nullptr, nullptr, TRUE,
                                      CREATE_NO_WINDOW, nullptr, nullptr, &startup, &child);
  // Closed here so that the read ends when the child closes its copy.
  CloseHandle(writeEnd);
  if (null != INVALID_HANDLE_VALUE) CloseHandle(null);
  if (!started) {
    CloseHandle(readEnd);
    return -1;
  }
  CloseHandle(child.hThread);
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got > 0) {
    output.append(buffer, got);
  }
  CloseHandle(readEnd);
  WaitForSingleObject(child.hProcess, INFINITE);
  DWORD status = 0;
  const bool exited = GetExitCodeProcess(child.hProcess, &status) != 0;
  CloseHandle(child.hProcess);
  return exited ? static_cast<int>(status) : -1;
}

}  // namespace aequa::platform
