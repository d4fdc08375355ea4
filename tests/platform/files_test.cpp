#include "platform/files.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/temp_dir.h"

namespace aequa {
namespace {

namespace fs = std::filesystem;

// Only the file itself: no temporary is left beside it.
std::vector<std::string> Names(const std::string& dir) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
  return names;
}

TEST(ReplaceFile, WritesTheWholeFileAndLeavesNoTemporary) {
  test::TempDir dir;
  ASSERT_TRUE(platform::ReplaceFile("f.ini", "A=1\r\n"));
  ASSERT_TRUE(platform::ReplaceFile("f.ini", "B=2\r\n"));
  EXPECT_EQ(test::ReadFile("f.ini"), "B=2\r\n");
  EXPECT_EQ(Names(dir.path()), std::vector<std::string>{"f.ini"});
  EXPECT_FALSE(platform::ReplaceFile("missing-dir/f.ini", "x"));
}

// Another user of a shared data directory plants a link at the temporary file's name: the
// file it points to is never written.
TEST(ReplaceFile, APlantedLinkAtTheTemporaryNameIsNotFollowed) {
  test::TempDir dir;
  test::TempDir elsewhere(false);
  const std::string victim = elsewhere.file("victim");
  test::WriteFile(victim, "precious\n");
  std::error_code ec;
  fs::create_symlink(victim, "worksum.ini.tmp", ec);
  if (ec) GTEST_SKIP() << "this file system has no symbolic links";
  ASSERT_TRUE(platform::ReplaceFile("worksum.ini", "SUM=5,80,90,1,4,0,80,0\r\n"));
  EXPECT_EQ(test::ReadFile(victim), "precious\n");
  EXPECT_EQ(test::ReadFile("worksum.ini"), "SUM=5,80,90,1,4,0,80,0\r\n");
}

}  // namespace
}  // namespace aequa
