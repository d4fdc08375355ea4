#include "core/instance_key.h"

#include <gtest/gtest.h>

namespace aequa {
namespace {

TEST(InstanceKey, HashesTheDirectoryTextWithSignedBytes) {
  EXPECT_EQ(InstanceKeyOf("D:\\A"), 352474);
  EXPECT_EQ(InstanceKeyOf("D:\\"), 20729);
  EXPECT_EQ(InstanceKeyOf("D:\\Work\\Aequa"), 1154885621);
  EXPECT_EQ(InstanceKeyOf("D:\\Caf\xE9"), 1731749244);  // E9 counts as -23
  EXPECT_EQ(InstanceKeyOf(""), -1);
}

}  // namespace
}  // namespace aequa
