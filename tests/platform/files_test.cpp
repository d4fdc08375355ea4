#include "platform/files.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace aequa {
namespace {

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
