#pragma once
// File operations that the standard library does not give portably.
#include <string>
#include <string_view>

// <windows.h> defines ReplaceFile as a macro for its own function of that name.
#ifdef ReplaceFile
#undef ReplaceFile
#endif

namespace aequa::platform {

// Writes `contents` to `path` so that a crash leaves either the old file or the new one,
// never a half-written one: a temporary file beside it is written, flushed and renamed
// over the old one. The temporary is always created new, never opened through a name that
// exists, so a link planted in a shared directory is not followed. Returns false (and
// leaves the old file untouched) on any failure.
bool ReplaceFile(const std::string& path, std::string_view contents);

// Renames `from` to `to`, replacing `to` if it exists. Returns false on failure.
bool RenameReplacing(const std::string& from, const std::string& to);

}  // namespace aequa::platform
