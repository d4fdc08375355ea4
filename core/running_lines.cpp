#include "core/running_lines.h"

#include <algorithm>
#include <mutex>
#include <vector>

namespace aequa {
namespace {

std::mutex linesLock;
std::vector<uint32_t>& Lines() {
  static std::vector<uint32_t> lines;
  return lines;
}

}  // namespace

bool LineRunning(uint32_t lineId) {
  if (lineId == 0) return false;
  std::lock_guard<std::mutex> hold(linesLock);
  const auto& lines = Lines();
  return std::find(lines.begin(), lines.end(), lineId) != lines.end();
}

RunningLineScope::RunningLineScope(uint32_t lineId) : lineId_(lineId) {
  if (lineId_ == 0) return;
  std::lock_guard<std::mutex> hold(linesLock);
  Lines().push_back(lineId_);
}

RunningLineScope::~RunningLineScope() {
  if (lineId_ == 0) return;
  std::lock_guard<std::mutex> hold(linesLock);
  auto& lines = Lines();
  const auto found = std::find(lines.begin(), lines.end(), lineId_);
  if (found != lines.end()) lines.erase(found);
}

}  // namespace aequa
