// The start-at-boot entry: where it goes, what it runs, that it is removed again, and that no
// directory name can make it run anything else.
#include "platform/autostart.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <vector>

#include "support/temp_dir.h"

namespace aequa::test {
namespace {

// The value of the first line of `text` that starts with `key`.
std::string Value(const std::string& text, const std::string& key) {
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (line.rfind(key, 0) == 0) return line.substr(key.size());
  }
  return "(missing)";
}

std::vector<std::string> Keys(const std::string& text) {
  std::vector<std::string> keys;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line[0] != '[') keys.push_back(line.substr(0, line.find('=')));
  }
  return keys;
}

// The words of an ExecStart value as systemd reads them: double-quoted words with C escapes,
// then the specifier "%%" and the variable "$$" each one character.
std::vector<std::string> SystemdWords(const std::string& value) {
  std::vector<std::string> words;
  for (size_t i = 0; i < value.size();) {
    if (value[i] == ' ') {
      ++i;
      continue;
    }
    std::string word;
    if (value[i] == '"') {
      for (++i; i < value.size() && value[i] != '"'; ++i) {
        if (value[i] == '\\') ++i;
        word += value[i];
      }
      ++i;
    } else {
      while (i < value.size() && value[i] != ' ') word += value[i++];
    }
    std::string expanded;
    for (size_t j = 0; j < word.size(); ++j) {
      if ((word[j] == '%' || word[j] == '$') && j + 1 < word.size() && word[j + 1] == word[j]) {
        ++j;
      } else if (word[j] == '%' || word[j] == '$') {
        expanded += "(unexpanded)";
      }
      expanded += word[j];
    }
    words.push_back(expanded);
  }
  return words;
}

// The arguments of a desktop entry's Exec value: the string escapes first, then double-quoted
// arguments with backslash escapes, then "%%" as "%".
std::vector<std::string> DesktopWords(const std::string& value) {
  std::string unescaped;
  for (size_t i = 0; i < value.size(); ++i) {
    if (value[i] == '\\' && i + 1 < value.size()) {
      const char next = value[++i];
      unescaped += next == 's' ? ' ' : next == 'n' ? '\n' : next == 't' ? '\t' : next;
    } else {
      unescaped += value[i];
    }
  }
  std::vector<std::string> words;
  for (size_t i = 0; i < unescaped.size();) {
    if (unescaped[i] == ' ') {
      ++i;
      continue;
    }
    std::string word;
    if (unescaped[i] == '"') {
      for (++i; i < unescaped.size() && unescaped[i] != '"'; ++i) {
        if (unescaped[i] == '\\') ++i;
        word += unescaped[i];
      }
      ++i;
    } else {
      while (i < unescaped.size() && unescaped[i] != ' ') word += unescaped[i++];
    }
    std::string codes;
    for (size_t j = 0; j < word.size(); ++j) {
      if (word[j] == '%') ++j;  // "%%" is a "%"; any other field code is taken apart
      if (j < word.size()) codes += word[j];
    }
    words.push_back(codes);
  }
  return words;
}

class AutostartTest : public ::testing::Test {
 protected:
  void SetUp() override { setenv("XDG_CONFIG_HOME", (config.path() + "/cfg").c_str(), 1); }
  std::string Program() const {
    return std::filesystem::read_symlink("/proc/self/exe").string();
  }
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

// Directory names a hostile or careless neighbour might choose: each entry still runs exactly
// this program with exactly that directory, and holds no other keys.
TEST_F(AutostartTest, EveryDirectoryNameComesBackUnchangedFromBothKindsOfEntry) {
  const std::string names[] = {
      "/a/$HOME \"x\"",
      "/a/100% %h %n",
      "/a/back\\slash\\",
      "/a/`id` $(id) ;rm -rf ~; & | < > * ? # ~ 'q'",
      "/a/\\\"\\\\\"",
  };
  for (const char* kind : {"systemd", "xdg"}) {
    setenv("AEQUA_AUTOSTART", kind, 1);
    const bool systemd = std::string(kind) == "systemd";
    for (const std::string& dir : names) {
      SCOPED_TRACE(std::string(kind) + " " + dir);
      ASSERT_EQ(platform::RegisterAutostart(dir), platform::AutostartStatus::Done);
      const std::string text = ReadFile(platform::AutostartEntryPath(dir));
      const std::vector<std::string> words =
          systemd ? SystemdWords(Value(text, "ExecStart=")) : DesktopWords(Value(text, "Exec="));
      EXPECT_EQ(words, (std::vector<std::string>{Program(), "--dir", dir, "serve"})) << text;
      const std::vector<std::string> keys =
          systemd ? std::vector<std::string>{"Description", "Type", "ExecStart", "WantedBy"}
                  : std::vector<std::string>{"Type", "Name", "Comment", "Exec", "Terminal",
                                             "NoDisplay", "X-GNOME-Autostart-enabled"};
      EXPECT_EQ(Keys(text), keys) << text;
      // In a unit a line that ends in a backslash goes on on the next line.
      if (systemd) {
        EXPECT_EQ(text.find("\\\n"), std::string::npos) << text;
      }
      EXPECT_EQ(platform::UnregisterAutostart(dir), platform::AutostartStatus::Done);
    }
  }
}

// A line end in a directory's name would start a line of its own in the entry (a second
// ExecStart, an ExecStartPre): such a directory is refused and nothing is written.
TEST_F(AutostartTest, ADirectoryNameWithALineEndIsRefused) {
  for (const char* kind : {"systemd", "xdg"}) {
    setenv("AEQUA_AUTOSTART", kind, 1);
    for (const char* dir : {"/a\nExecStartPre=/bin/touch /tmp/owned", "/a\rX", "/a\tb"}) {
      EXPECT_EQ(platform::RegisterAutostart(dir), platform::AutostartStatus::BadPath);
      EXPECT_FALSE(platform::AutostartRegistered(dir));
      EXPECT_FALSE(FileExists(platform::AutostartEntryPath(dir)));
    }
  }
}

TEST_F(AutostartTest, DirectoriesGetEntriesOfTheirOwnAndFailuresAreReported) {
  setenv("AEQUA_AUTOSTART", "xdg", 1);
  ASSERT_EQ(platform::RegisterAutostart("/a"), platform::AutostartStatus::Done);
  EXPECT_EQ(platform::AutostartEntryPath("/a").rfind(config.path() + "/cfg/autostart/aequa-", 0),
            0u);
  EXPECT_FALSE(platform::AutostartRegistered("/b"));
  EXPECT_NE(platform::AutostartEntryPath("/b"), platform::AutostartEntryPath("/a"));
  EXPECT_EQ(platform::UnregisterAutostart("/nothing"), platform::AutostartStatus::CannotWrite);
  // A file where the directory should be.
  setenv("XDG_CONFIG_HOME", (config.path() + "/file").c_str(), 1);
  WriteFile(config.path() + "/file", "");
  EXPECT_EQ(platform::RegisterAutostart("/d"), platform::AutostartStatus::CannotCreate);
}

}  // namespace
}  // namespace aequa::test
