#pragma once
// The description of one part of a range cut for many machines: the part's own work line,
// the whole range it belongs to, and its place among the parts. It lies in the part's data
// directory beside the work file (which the program rewrites as it goes, so the part's start
// would otherwise be lost) and is the input of a work unit; merging reads it back to know
// which units each part's "done" lines cover.
#include <cstdint>
#include <string>
#include <string_view>

#include "core/work_item.h"

namespace aequa {

inline constexpr const char* kPartFileName = "part.ini";

// Settings every part gets unless its coordinator sets them: cluster jobs and work units run
// at normal priority (the batch system or the volunteer's client decides what runs), one
// search per process.
inline constexpr const char* kPartSettingDefaults[] = {"Priority=9", "Workers=1"};

struct PartInfo {
  uint32_t index = 0;  // 1-based
  uint32_t count = 0;
  WorkItem line;       // the part's work line as it was written
  WorkItem range;      // the whole range
};

// "Part=1", "Parts=4", "Line=SUM=...", "Range=SUM=..." lines (CR LF), after a comment.
std::string PartFileText(const PartInfo& part);
// False, with the reason, for a text that does not describe a part.
bool ReadPartFile(std::string_view text, PartInfo& part, std::string& why);

}  // namespace aequa
