#include "platform/files.h"

#include <windows.h>
#undef ReplaceFile  // our own, not the system's ReplaceFileA


namespace aequa::platform {
namespace {

// Creates the temporary file "<path>.tmp" new. Whatever is found at that name (a leftover of
// a crash, or a link planted there by someone else) is deleted, not opened: CREATE_NEW never
// opens an existing name, so a link that comes back in between makes the write fail rather
// than reach another file.
HANDLE CreateTemporary(const std::string& temp) {
  DeleteFileA(temp.c_str());
  return CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                     nullptr);
}

}  // namespace

bool ReplaceFile(const std::string& path, std::string_view contents) {
  const std::string temp = path + ".tmp";
  HANDLE file = CreateTemporary(temp);
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
