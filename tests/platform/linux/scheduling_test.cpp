#include "platform/scheduling.h"

#include <gtest/gtest.h>
#include <sched.h>
#include <sys/resource.h>

#include <thread>

namespace aequa::platform {
namespace {

// Each case runs on a thread of its own: the settings apply to the calling thread only.
template <typename F>
void OnOwnThread(F f) {
  std::thread(f).join();
}

TEST(Scheduling, PrioritiesMapToIdlePolicyAndNiceValues) {
  OnOwnThread([] {
    ApplyThreadPriority(1);
    EXPECT_EQ(sched_getscheduler(0), SCHED_IDLE);
  });
  OnOwnThread([] {
    ApplyThreadPriority(2);
    EXPECT_EQ(sched_getscheduler(0), SCHED_OTHER);
    EXPECT_EQ(getpriority(PRIO_PROCESS, static_cast<id_t>(CurrentThreadRef())), 19);
  });
  OnOwnThread([] {
    ApplyThreadPriority(6);
    EXPECT_EQ(getpriority(PRIO_PROCESS, static_cast<id_t>(CurrentThreadRef())), 11);
  });
}

TEST(Scheduling, AffinityBindsToOneProcessorModuloTheCount) {
  OnOwnThread([] {
    const unsigned count = ProcessorCount();
    BindCurrentThread(count + 1);
    cpu_set_t set;
    CPU_ZERO(&set);
    ASSERT_EQ(sched_getaffinity(0, sizeof set, &set), 0);
    EXPECT_EQ(CPU_COUNT(&set), 1);
    EXPECT_TRUE(CPU_ISSET((count + 1) % count, &set));
  });
  EXPECT_FALSE(IsWindows9x());
}

}  // namespace
}  // namespace aequa::platform
