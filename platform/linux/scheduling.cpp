#include "platform/scheduling.h"

#include <sched.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace aequa::platform {
namespace {

// Priority 1..10 to Linux scheduling, following the effective Windows priority of each
// setting (process class base plus thread offset). 1 runs only when the processor is idle.
struct LinuxPriority {
  bool idlePolicy;
  int nice;
};
constexpr LinuxPriority kPriorityTable[11] = {
    {true, 19},   // (unused)
    {true, 19},   // 1: normal class, idle thread        -> SCHED_IDLE
    {false, 19},  // 2: idle class, lowest               -> nice 19
    {false, 17},  // 3: idle class, below normal         -> nice 17
    {false, 15},  // 4: idle class, normal               -> nice 15
    {false, 13},  // 5: idle class, above normal         -> nice 13
    {false, 11},  // 6: idle class, highest              -> nice 11
    {false, 10},  // 7: normal class, lowest             -> nice 10
    {false, 5},   // 8: normal class, below normal       -> nice 5
    {false, 0},   // 9: normal class, normal             -> nice 0
    {false, -5},  // 10: normal class, above normal      -> nice -5 (needs the right to raise)
};

pid_t Tid() { return static_cast<pid_t>(syscall(SYS_gettid)); }

}  // namespace

ThreadRef CurrentThreadRef() { return Tid(); }

void ApplyThreadPriority(int32_t priority) {
  if (priority < 1) priority = 1;
  if (priority > 10) priority = 10;
  const LinuxPriority& p = kPriorityTable[priority];
  struct sched_param param {};
  param.sched_priority = 0;
  // Failures (no right to raise the priority) leave the thread as it is.
  sched_setscheduler(Tid(), p.idlePolicy ? SCHED_IDLE : SCHED_OTHER, &param);
  setpriority(PRIO_PROCESS, static_cast<id_t>(Tid()), p.nice);
}

void BindCurrentThread(uint32_t processor) {
  unsigned count = ProcessorCount();
  cpu_set_t set;
  CPU_ZERO(&set);
  CPU_SET(processor % count, &set);
  sched_setaffinity(Tid(), sizeof set, &set);
}

void RaiseForStop(ThreadRef thread) {
  if (thread <= 0) return;
  struct sched_param param {};
  sched_setscheduler(static_cast<pid_t>(thread), SCHED_OTHER, &param);
  setpriority(PRIO_PROCESS, static_cast<id_t>(thread), 0);
}

unsigned ProcessorCount() {
  long n = sysconf(_SC_NPROCESSORS_ONLN);
  return n > 0 ? static_cast<unsigned>(n) : 1u;
}

bool IsWindows9x() { return false; }

}  // namespace aequa::platform
