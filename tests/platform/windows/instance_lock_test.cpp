#include "platform/instance_lock.h"

#include <gtest/gtest.h>

namespace aequa {
namespace {

TEST(InstanceLock, TheNamedMutexAdmitsOneHolder) {
  EXPECT_EQ(platform::InstanceLockName(352474), "SUM 352474");
  ASSERT_TRUE(platform::AcquireInstanceLock(352474).acquired);
  platform::InstanceLockResult second = platform::AcquireInstanceLock(352474);
  EXPECT_FALSE(second.acquired);
  EXPECT_FALSE(second.failed);
  platform::ReleaseInstanceLock();
  EXPECT_TRUE(platform::AcquireInstanceLock(352474).acquired);
  platform::ReleaseInstanceLock();
}

}  // namespace
}  // namespace aequa
