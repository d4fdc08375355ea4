#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "core/instance_key.h"
#include "platform/files.h"
#include "platform/instance_lock.h"
#include "support/temp_dir.h"

namespace aequa {
namespace {

TEST(InstanceKey, HashesTheDirectoryTextWithSignedBytes) {
  EXPECT_EQ(InstanceKeyOf("D:\\A"), 352474);
  EXPECT_EQ(InstanceKeyOf("D:\\"), 20729);
  EXPECT_EQ(InstanceKeyOf("D:\\Work\\Aequa"), 1154885621);
  EXPECT_EQ(InstanceKeyOf("D:\\Caf\xE9"), 1731749244);  // E9 counts as -23
  EXPECT_EQ(InstanceKeyOf(""), -1);
}

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

TEST(ReplaceFile, WritesTheWholeFileAndLeavesNoTemporary) {
  test::TempDir dir;
  ASSERT_TRUE(platform::ReplaceFile("f.ini", "A=1\r\n"));
  ASSERT_TRUE(platform::ReplaceFile("f.ini", "B=2\r\n"));
  EXPECT_EQ(test::ReadFile("f.ini"), "B=2\r\n");
  EXPECT_FALSE(test::FileExists("f.ini.tmp"));
  EXPECT_FALSE(platform::ReplaceFile("missing-dir/f.ini", "x"));
}

}  // namespace
}  // namespace aequa
