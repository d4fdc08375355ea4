// The start-at-boot entry: where it goes, what it runs, and that it is removed again.
#include "platform/autostart.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>

#include "support/temp_dir.h"

namespace aequa::test {
namespace {

class AutostartTest : public ::testing::Test {
 protected:
  void SetUp() override { setenv("XDG_CONFIG_HOME", (config.path() + "/cfg").c_str(), 1); }
  TempDir config{false};
};

TEST_F(AutostartTest, SystemdUnitRunsTheProgramInItsDirectoryAndIsWanted) {
  setenv("AEQUA_AUTOSTART", "systemd", 1);
  const std::string dir = "/data/My Work 100%";
  EXPECT_FALSE(platform::AutostartRegistered(dir));
  ASSERT_EQ(platform::RegisterAutostart(dir), platform::AutostartStatus::Done);
  EXPECT_TRUE(platform::AutostartRegistered(dir));
  const std::string unit = platform::AutostartEntryPath(dir);
  EXPECT_EQ(unit.rfind(config.path() + "/cfg/systemd/user/aequa-", 0), 0u);
  const std::string text = ReadFile(unit);
  EXPECT_NE(text.find("--dir \"/data/My Work 100%%\" serve\n"), std::string::npos) << text;
  EXPECT_NE(text.find("WantedBy=default.target"), std::string::npos);
  const std::filesystem::path wants = std::filesystem::path(config.path()) / "cfg/systemd/user/default.target.wants" /
                                      std::filesystem::path(unit).filename();
  EXPECT_TRUE(std::filesystem::is_symlink(wants));
  EXPECT_EQ(std::filesystem::canonical(wants), std::filesystem::canonical(unit));

  EXPECT_EQ(platform::UnregisterAutostart(dir), platform::AutostartStatus::Done);
  EXPECT_FALSE(platform::AutostartRegistered(dir));
  EXPECT_FALSE(std::filesystem::is_symlink(wants));
}

TEST_F(AutostartTest, XdgEntryQuotesThePathsAndDirectoriesGetEntriesOfTheirOwn) {
  setenv("AEQUA_AUTOSTART", "xdg", 1);
  ASSERT_EQ(platform::RegisterAutostart("/a/$HOME \"x\""), platform::AutostartStatus::Done);
  const std::string entry = platform::AutostartEntryPath("/a/$HOME \"x\"");
  EXPECT_EQ(entry.rfind(config.path() + "/cfg/autostart/aequa-", 0), 0u);
  EXPECT_NE(ReadFile(entry).find("--dir \"/a/\\$HOME \\\"x\\\"\" serve\n"), std::string::npos);
  EXPECT_FALSE(platform::AutostartRegistered("/b"));
  EXPECT_NE(platform::AutostartEntryPath("/b"), entry);
}

TEST_F(AutostartTest, FailuresAreReported) {
  setenv("AEQUA_AUTOSTART", "xdg", 1);
  EXPECT_EQ(platform::UnregisterAutostart("/nothing"), platform::AutostartStatus::CannotWrite);
  // A file where the directory should be.
  WriteFile(config.path() + "/cfg", "");
  EXPECT_EQ(platform::RegisterAutostart("/d"), platform::AutostartStatus::CannotCreate);
}

}  // namespace
}  // namespace aequa::test
