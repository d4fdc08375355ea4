#include "platform/instance_lock.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "support/temp_dir.h"

namespace aequa {
namespace {

TEST(InstanceLock, OnlyOneHolderPerDirectoryAndTheHolderIsNamed) {
  test::TempDir dir;
  platform::InstanceLockResult first = platform::AcquireInstanceLock(352474);
  ASSERT_TRUE(first.acquired);
  EXPECT_EQ(platform::InstanceLockName(352474), "SUM 352474.lock");
  const std::string before = test::ReadFile("SUM 352474.lock");
  platform::InstanceLockResult second = platform::AcquireInstanceLock(352474);
  EXPECT_FALSE(second.acquired);
  EXPECT_FALSE(second.failed);
  EXPECT_EQ(second.holderPid, static_cast<long>(getpid()));
  EXPECT_EQ(test::ReadFile("SUM 352474.lock"), before);  // the refused copy changed nothing
  platform::ReleaseInstanceLock();
  EXPECT_TRUE(platform::AcquireInstanceLock(352474).acquired);
  platform::ReleaseInstanceLock();
}

}  // namespace
}  // namespace aequa
