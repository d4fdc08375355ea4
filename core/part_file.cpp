#include "core/part_file.h"

#include "core/work_queue.h"

namespace aequa {
namespace {

bool ReadCount(std::string_view value, uint32_t& out) {
  if (value.empty() || value.size() > 9) return false;
  uint32_t n = 0;
  for (char c : value) {
    if (c < '0' || c > '9') return false;
    n = n * 10 + static_cast<uint32_t>(c - '0');
  }
  out = n;
  return true;
}

// The part's line lies inside the whole range and is of the same search.
bool SameSearch(const WorkItem& part, const WorkItem& range) {
  if (part.kind != range.kind || part.power != range.power) return false;
  switch (part.kind) {
    case WORK_SUM:
      return part.leftTerms == range.leftTerms && part.rightTerms == range.rightTerms &&
             part.variant == range.variant;
    case WORK_ADD:
      return part.terms == range.terms;
    default:
      return part.variant == range.variant;
  }
}

}  // namespace

std::string PartFileText(const PartInfo& part) {
  return "# One part of a range cut by 'aequa split': this part's work line and the whole "
         "range.\r\nPart=" +
         std::to_string(part.index) + "\r\nParts=" + std::to_string(part.count) +
         "\r\nLine=" + WorkLineText(part.line) + "\r\nRange=" + WorkLineText(part.range) +
         "\r\n";
}

bool ReadPartFile(std::string_view text, PartInfo& part, std::string& why) {
  part = PartInfo{};
  bool haveIndex = false, haveCount = false, haveLine = false, haveRange = false;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty() || line.front() == '#' || line.front() == ';') continue;
    const size_t equals = line.find('=');
    const std::string_view key = line.substr(0, equals);
    const std::string_view value =
        equals == std::string_view::npos ? std::string_view() : line.substr(equals + 1);
    if (key == "Part") {
      haveIndex = ReadCount(value, part.index);
    } else if (key == "Parts") {
      haveCount = ReadCount(value, part.count);
    } else if (key == "Line") {
      haveLine = ReadWorkLineText(value, part.line) != 0;
    } else if (key == "Range") {
      haveRange = ReadWorkLineText(value, part.range) != 0;
    }
  }
  if (!haveIndex || !haveCount || part.index == 0 || part.index > part.count) {
    why = "no valid Part and Parts lines";
  } else if (!haveLine || !haveRange) {
    why = "no valid Line and Range work lines";
  } else if (!SameSearch(part.line, part.range) || part.line.start < part.range.start ||
             part.line.end > part.range.end) {
    why = "its Line is not a part of its Range";
  } else {
    return true;
  }
  return false;
}

}  // namespace aequa
