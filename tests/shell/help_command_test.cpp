// `aequa help TOPIC`: every topic reachable, unknown topics refused, and the texts that must
// follow the program (the manual page's commands, the settings' defaults) checked against it.
#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>

#include "core/settings.h"
#include "shell/command_table.h"
#include "shell/help_topics.h"
#include "support/process.h"
#include "support/temp_dir.h"

namespace aequa {
namespace {

using test::RunAequa;

// The topic names of the list that `aequa help` prints.
std::set<std::string> ListedTopics(const std::string& contents) {
  std::set<std::string> names;
  std::istringstream lines(contents);
  std::string line;
  while (std::getline(lines, line)) {
    if (line.rfind("  ", 0) != 0) continue;
    names.insert(line.substr(2, line.find(' ', 2) - 2));
  }
  return names;
}

TEST(HelpCommand, EveryListedTopicIsReachableAndEveryTopicIsListed) {
  test::ProcessResult list = RunAequa({"help"});
  ASSERT_EQ(list.status, 0) << list.err;
  const std::set<std::string> listed = ListedTopics(list.out);
  std::set<std::string> known;
  for (const ui::HelpTopic& t : ui::HelpTopics()) known.insert(t.name);
  EXPECT_EQ(listed, known);
  for (const std::string& name : listed) {
    test::ProcessResult topic = RunAequa({"help", name});
    EXPECT_EQ(topic.status, 0) << name;
    EXPECT_EQ(topic.out.rfind(ui::FindHelpTopic(name)->title, 0), 0u) << name;
    EXPECT_GT(topic.out.size(), 200u) << name;
    EXPECT_TRUE(topic.err.empty()) << name;
  }
}

TEST(HelpCommand, UnknownTopicsAndExtraArgumentsAreUsageErrors) {
  struct Case {
    std::vector<std::string> args;
    std::string message;
  };
  const Case cases[] = {
      {{"help", "frobnicate"}, "aequa: no help topic 'frobnicate'; 'aequa help' lists the topics"},
      {{"help", "SUM"}, "no help topic 'SUM'"},
      {{"help", "sum", "add"}, "'help' takes at most 1 argument"},
      {{"help", "--all"}, "--all does not apply to 'help'"},
  };
  for (const Case& c : cases) {
    test::ProcessResult r = RunAequa(c.args);
    EXPECT_EQ(r.status, 2) << c.message;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    EXPECT_TRUE(r.out.empty()) << c.message;
  }
}

TEST(HelpCommand, NeedsNoDataDirectoryAndTouchesNone) {
  test::TempDir dir(false);
  const std::string missing = dir.file("never");
  test::ProcessResult r = RunAequa({"--dir", missing, "help", "files"});
  EXPECT_EQ(r.status, 0);
  EXPECT_FALSE(test::FileExists(missing));
}

TEST(HelpCommand, ExplainsTheProgressLinesAndCountersOfEachSearch) {
  struct Case {
    const char* topic;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"sum", {"5,1,3: 1001-944-673-611", "0 242 28245 1784108", "Break at ", "done in", "tested"}},
      {"add", {"Range: ", "(3,2,2) at 1729", "deletions"}},
      {"penta", {"Searching 5 5's on 133 Penta2", "candidates"}},
      {"queue", {"SUM=power,start,end,left,right,mode,current,duration",
                 "ADD=power,start,end,terms,megabytes", "PENTA=power,start,end,type"}},
      {"settings", {"DisplayFrequency", "SaveFrequency", "Priority", "MaxExponents", "NoSave",
                    "ForceAVL", "ForceDisplay", "TrayIcon", "HideIcon", "Affinity", "Info",
                    "ResultBalloon"}},
      {"files", {"worksum.ini", "aequo.ini", "SOLUTION.TXT", "S<m>-<x>.<k>", "A<k>-<n>",
                 "aequa.lock", ".BAD"}},
  };
  for (const Case& c : cases) {
    const ui::HelpTopic* topic = ui::FindHelpTopic(c.topic);
    ASSERT_NE(topic, nullptr) << c.topic;
    for (const std::string& line : c.lines) {
      EXPECT_NE(topic->text.find(line), std::string::npos) << c.topic << ": " << line;
    }
  }
}

// The settings topic quotes the defaults held in memory; reading a missing file must give
// the same values.
TEST(HelpCommand, TheDefaultsItQuotesAreTheDefaultsRead) {
  test::TempDir dir;
  SetFileNames();
  LoadSettings();
  const SettingsValues defaults;
  EXPECT_EQ(Settings.DisplayFrequency.load(), defaults.DisplayFrequency.load());
  EXPECT_EQ(Settings.SaveFrequency.load(), defaults.SaveFrequency.load());
  EXPECT_EQ(Settings.Priority.load(), defaults.Priority.load());
  EXPECT_EQ(Settings.Affinity.load(), defaults.Affinity.load());
  EXPECT_EQ(Settings.TrayIcon.load(), defaults.TrayIcon.load());
  EXPECT_EQ(Settings.HideIcon.load(), defaults.HideIcon.load());
  EXPECT_EQ(Settings.NoSave.load(), defaults.NoSave.load());
  EXPECT_EQ(Settings.Info.load(), defaults.Info.load());
  EXPECT_EQ(Settings.ForceAVL.load(), defaults.ForceAVL.load());
  EXPECT_EQ(Settings.ForceDisplay.load(), defaults.ForceDisplay.load());
  EXPECT_EQ(Settings.AutoInstall.load(), defaults.AutoInstall.load());
  EXPECT_EQ(Settings.ResultBalloon.load(), defaults.ResultBalloon.load());
  EXPECT_EQ(MaxQueueLines(), 20u);
  EXPECT_NE(ui::FindHelpTopic("settings")->text.find("MaxExponents: the most lines the queue "
                                                     "takes; default 20"),
            std::string::npos);
}

TEST(HelpCommand, TheManualPageDescribesEveryCommand) {
  const std::string page = test::ReadFile(AEQUA_MANUAL_PAGE);
  ASSERT_FALSE(page.empty());
  for (const ui::CommandSpec& c : ui::Commands()) {
    const std::string name = c.name;
    const bool described = page.find(".B " + name + "\n") != std::string::npos ||
                           page.find(".BI " + name + " ") != std::string::npos ||
                           page.find(".BR " + name + " ") != std::string::npos;
    EXPECT_TRUE(described) << name;
  }
}

TEST(HelpText, WrapsParagraphsAndKeepsExamplesWhole) {
  const std::string example = "  " + std::string(100, 'x');
  const std::string text = std::string(30, 'a') + " " + std::string(30, 'b') + " " +
                           std::string(30, 'c') + "\n" + example + "\n\nshort\n";
  EXPECT_EQ(ui::WrapHelpText(text, 70), std::string(30, 'a') + " " + std::string(30, 'b') +
                                            "\n" + std::string(30, 'c') + "\n" + example +
                                            "\n\nshort\n");
  for (const ui::HelpTopic& t : ui::HelpTopics()) {
    std::istringstream lines(ui::WrapHelpText(t.text, 79));
    std::string line;
    while (std::getline(lines, line)) {
      if (line.rfind(" ", 0) != 0) {
        EXPECT_LE(line.size(), 79u) << t.name << ": " << line;
      }
    }
  }
}

}  // namespace
}  // namespace aequa
