#include "platform/append_file.h"

#include <windows.h>

namespace aequa::platform {
namespace {

std::string LastErrorText() {
  char text[256] = "";
  FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                 GetLastError(), 0, text, sizeof text, nullptr);
  std::string s = text;
  while (!s.empty() && (s.back() == '\n' || s.back() == '\r' || s.back() == '.')) s.pop_back();
  return s.empty() ? "error " + std::to_string(GetLastError()) : s;
}

}  // namespace

bool AppendWhole(const std::string& path, std::string_view text, std::string& error) {
  // A file held open by another program without sharing fails here and is tried again later.
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    error = LastErrorText();
    return false;
  }
  LARGE_INTEGER before{};
  bool ok = GetFileSizeEx(file, &before) != 0;
  LARGE_INTEGER zero{};
  if (ok) ok = SetFilePointerEx(file, zero, nullptr, FILE_END) != 0;
  const char* data = text.data();
  size_t left = text.size();
  while (ok && left > 0) {
    DWORD chunk = left > 0x10000000 ? 0x10000000 : static_cast<DWORD>(left);
    DWORD written = 0;
    ok = WriteFile(file, data, chunk, &written, nullptr) != 0 && written == chunk;
    data += written;
    left -= written;
  }
  if (ok) ok = FlushFileBuffers(file) != 0;
  if (!ok) {
    error = LastErrorText();
    if (left != text.size() && SetFilePointerEx(file, before, nullptr, FILE_BEGIN) != 0) {
      SetEndOfFile(file);
    }
  }
  CloseHandle(file);
  return ok;
}

}  // namespace aequa::platform
