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
  EXPECT_EQ(platform::InstanceLockName(352474), "aequa.lock");
  const std::string before = test::ReadFile("aequa.lock");
  // The lock is the directory's, whatever key a path to it gives.
  platform::InstanceLockResult second = platform::AcquireInstanceLock(-7);
  EXPECT_FALSE(second.acquired);
  EXPECT_FALSE(second.failed);
  EXPECT_EQ(second.holderPid, static_cast<long>(getpid()));
  EXPECT_EQ(test::ReadFile("aequa.lock"), before);  // the refused copy changed nothing
  platform::ReleaseInstanceLock();
  EXPECT_TRUE(platform::AcquireInstanceLock(352474).acquired);
  platform::ReleaseInstanceLock();
}

// A link planted at the lock's name is not followed: the file it points to keeps its text.
TEST(InstanceLock, APlantedLinkIsRefusedNotTruncated) {
  test::TempDir dir;
  test::TempDir elsewhere(false);
  test::WriteFile(elsewhere.file("victim"), "precious\n");
  ASSERT_EQ(symlink(elsewhere.file("victim").c_str(), "aequa.lock"), 0);
  EXPECT_TRUE(platform::AcquireInstanceLock(1).failed);
  EXPECT_EQ(test::ReadFile(elsewhere.file("victim")), "precious\n");
}

}  // namespace
}  // namespace aequa
