#pragma once
// The work lines that a search runs on, by the settings store's line id, so that editing the
// queue (remove, move) leaves them alone.
#include <cstdint>

namespace aequa {

bool LineRunning(uint32_t lineId);

// Marks the line as running for the scope's life.
class RunningLineScope {
 public:
  explicit RunningLineScope(uint32_t lineId);
  ~RunningLineScope();
  RunningLineScope(const RunningLineScope&) = delete;
  RunningLineScope& operator=(const RunningLineScope&) = delete;
  uint32_t lineId() const { return lineId_; }

 private:
  uint32_t lineId_;
};

}  // namespace aequa
