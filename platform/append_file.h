#pragma once
// Appending to a file so that the text reaches it whole or not at all, and is on the disk
// when the call returns.
#include <string>
#include <string_view>

namespace aequa::platform {

// Appends `text` to `path` (created if missing) and flushes it to the disk. On any failure
// (cannot open, a short write on a full disk, a failed flush) the file is cut back to its
// length before the call, `error` says why, and the result is false.
bool AppendWhole(const std::string& path, std::string_view text, std::string& error);

}  // namespace aequa::platform
