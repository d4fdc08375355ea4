#include "platform/files.h"

#include <windows.h>
#undef ReplaceFile  // our own, not the system's ReplaceFileA

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

// Creates a new temporary file beside `path`; CREATE_NEW never opens a name that exists,
// so a link planted there by someone else is not followed.
HANDLE CreateTemporary(const std::string& path, std::string& temp) {
  for (int attempt = 0; attempt < 16; ++attempt) {
    temp = TemporaryName(path);
    HANDLE file = CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return file;
  }
  return INVALID_HANDLE_VALUE;
}

}  // namespace

bool ReplaceFile(const std::string& path, std::string_view contents) {
  std::string temp;
  HANDLE file = CreateTemporary(path, temp);
  if (file == INVALID_HANDLE_VALUE) return false;
  bool ok = true;
  const char* data = contents.data();
  size_t left = contents.size();
  while (ok && left > 0) {
    DWORD chunk = left > 0x10000000 ? 0x10000000 : static_cast<DWORD>(left);
    DWORD written = 0;
    ok = WriteFile(file, data, chunk, &written, nullptr) != 0 && written == chunk;
    data += written;
    left -= written;
  }
  if (ok) ok = FlushFileBuffers(file) != 0;
  if (CloseHandle(file) == 0) ok = false;
  if (ok) {
    ok = MoveFileExA(temp.c_str(), path.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
  }
  if (!ok) DeleteFileA(temp.c_str());
  return ok;
}

bool RenameReplacing(const std::string& from, const std::string& to) {
  return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

}  // namespace aequa::platform
