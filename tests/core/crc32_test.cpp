#include "core/crc32.h"

#include <gtest/gtest.h>

namespace aequa {
namespace {

TEST(ResultCrc, MatchesTheReflectedCrcWithoutComplement) {
  BuildCrcTable();
  EXPECT_EQ(ResultCrc("abc", 3), 0xCA6598D0u);
  EXPECT_EQ(ResultCrc("", 0), 0u);
}

}  // namespace
}  // namespace aequa
