#include "core/output_log.h"
#include "core/shared_words.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/results_file.h"
#include "core/settings.h"
#include "core/status_display.h"
#include "core/window_port.h"
#include "support/temp_dir.h"

namespace aequa {
namespace {

using test::ReadFile;
using test::TempDir;

int64_t fakeNow = 0;
int64_t FakeClock() { return fakeNow; }

class Output : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetLog();
    ResetStampTime();
    fakeNow = 1000000;
    SetStampClock(&FakeClock);
    SetUserIdentity("", "");
  }
  void TearDown() override { SetStampClock(nullptr); }
  TempDir dir;
};

TEST_F(Output, LinesCompleteAtTheirLineEndAndRollAfter47) {
  LogText("a\nb");
  EXPECT_EQ(CompletedLine(1), "a");
  EXPECT_EQ(CompletedLine(2), "");
  LogText("c\n");
  EXPECT_EQ(CompletedLine(1), "bc");
  ResetLog();
  for (int i = 1; i <= 48; ++i) LogText(("line " + std::to_string(i) + "\n").c_str());
  EXPECT_EQ(CompletedLine(1), "line 48");
  EXPECT_EQ(CompletedLine(47), "line 2");
  EXPECT_EQ(CompletedLine(48), "");  // outside the log
}

TEST_F(Output, LongLinesAreCutNotWrapped) {
  std::string text(200, 'z');
  LogText((text + "\nnext\n").c_str());
  EXPECT_EQ(CompletedLine(2), std::string(127, 'z'));
  EXPECT_EQ(CompletedLine(1), "next");
}

TEST_F(Output, ReplaceModeOverwritesTheNewestLineOnce) {
  SearchControl& search = ControlOf(3);
  LogText(search, "before\n");
  LogText(search, "x=1\n");
  ReplaceNextLine(search);
  LogText(search, "x=2\n");
  EXPECT_EQ(CompletedLine(1), "x=2");
  EXPECT_EQ(CompletedLine(2), "before");
  LogText(search, "x=3\n");  // once only
  EXPECT_EQ(CompletedLine(2), "x=2");
  // A shorter replacement leaves no tail of the old text, with or without a line end.
  LogText(search, "progress 12345\n");
  ReplaceNextLine(search);
  LogText(search, "p 1");
  EXPECT_EQ(CompletedLine(1), "p 1");
  LogText(search, "after\n");
  EXPECT_EQ(CompletedLine(1), "after");
  EXPECT_EQ(CompletedLine(2), "p 1");
}

// With several searches, a progress line is overwritten only by its own search's next text,
// and only while it is the newest line; each search's lines carry its number.
TEST_F(Output, SearchesReplaceOnlyTheirOwnProgressLines) {
  Settings.Workers = 2;
  LogText(ControlOf(0), "a: 1\n");
  ReplaceNextLine(ControlOf(0));
  LogText(ControlOf(1), "b: 1\n");  // another search: a new line
  LogText(ControlOf(0), "a: 2\n");  // its line is no longer the newest: a new line too
  EXPECT_EQ(CompletedLine(3), "[1] a: 1");
  EXPECT_EQ(CompletedLine(2), "[2] b: 1");
  EXPECT_EQ(CompletedLine(1), "[1] a: 2");
  ReplaceNextLine(ControlOf(0));
  LogText(ControlOf(0), "a: 3\n");
  EXPECT_EQ(CompletedLine(1), "[1] a: 3");
  EXPECT_EQ(CompletedLine(2), "[2] b: 1");
  Settings.Workers = 1;
}

std::vector<std::pair<std::string, bool>> sunk;
void Sink(const char* line, bool replaced) { sunk.emplace_back(line, replaced); }

TEST_F(Output, TheLineSinkSeesEveryCompletedOrReplacedLine) {
  sunk.clear();
  SetLogLineSink(&Sink);
  LogText(ControlOf(0), "one\ntw");
  LogText(ControlOf(0), "o\n");
  ReplaceNextLine(ControlOf(0));
  LogText(ControlOf(0), "three\n");
  SetLogLineSink(nullptr);
  ASSERT_EQ(sunk.size(), 3u);
  EXPECT_EQ(sunk[0], std::make_pair(std::string("one"), false));
  EXPECT_EQ(sunk[1], std::make_pair(std::string("two"), false));
  EXPECT_EQ(sunk[2], std::make_pair(std::string("three"), true));
}

TEST_F(Output, ResultLinesAreSignedWithTheCrcAndTheUserName) {
  SetUserIdentity("Ann", "ann@example.org");
  EXPECT_EQ(ReportResult("abc"), 1);
  EXPECT_EQ(CompletedLine(1), "abc S3:CA6598D0 Ann");
  std::string file = ReadFile(kResultsFileName);
  EXPECT_EQ(file.substr(file.size() - 21), "abc S3:CA6598D0 Ann\r\n");
}

TEST_F(Output, StampsComeAtMostEveryFiveMinutes) {
  AppendResults("one\n");
  fakeNow += 10;
  AppendResults("two\n");
  fakeNow += 291;  // 301 seconds after the first stamp
  AppendResults("three\n");
  std::string file = ReadFile(kResultsFileName);
  size_t first = file.find('[');
  size_t second = file.find('[', first + 1);
  ASSERT_NE(second, std::string::npos);
  EXPECT_EQ(file.find('[', second + 1), std::string::npos);
  // "[" + 24 characters + "]" + CR LF
  EXPECT_EQ(file.find("]\r\none\r\ntwo\r\n"), 25u);
  EXPECT_EQ(file.substr(second + 25), "]\r\nthree\r\n");
  EXPECT_EQ(file[4], ' ');  // weekday, blank, month
  EXPECT_EQ(file[8], ' ');
}

TEST_F(Output, ResultsThatCannotBeWrittenAreHeldStopTheWorkAndGoFirstLater) {
  std::filesystem::create_directory(kResultsFileName);  // cannot be written, even by root
  ControlOf(0).requests.store(REQ_DISPLAY);
  EXPECT_EQ(LogMessage("hello\n"), 0);
  EXPECT_EQ(CompletedLine(3), "hello");
  EXPECT_EQ(CompletedLine(2), "Error opening the results file.");
  EXPECT_NE(CompletedLine(1).find("Cannot write SOLUTION.TXT"), std::string::npos);
  EXPECT_EQ(ControlOf(0).requests.load(), REQ_HALT);  // every search is stopped
  EXPECT_EQ(ReportResult("abc"), 0);  // held behind the first, no second explanation
  EXPECT_EQ(CompletedLine(1), "Error opening the results file.");
  EXPECT_EQ(HeldResultCount(), 2u);
  EXPECT_FALSE(WriteHeldResults());

  std::filesystem::remove(kResultsFileName);
  EXPECT_EQ(AppendResults("third\n"), 1);  // the held texts go first, in order
  EXPECT_EQ(HeldResultCount(), 0u);
  const std::string file = ReadFile(kResultsFileName);
  EXPECT_EQ(file.substr(file.find(']') + 3), "hello\r\nabc S3:CA6598D0 \r\nthird\r\n");
  ControlOf(0).requests.store(0);
}

class FakeWindow : public WindowPort {
 public:
  void RequestRepaint() override { ++repaints; }
  bool IsMinimised() override { return minimised; }
  void SetTitle(const std::string& t) override { title = t; }
  void TrayIcon(int operation, const std::string& tip) override {
    trayCalls.push_back(std::to_string(operation) + ":" + tip);
  }
  int repaints = 0;
  bool minimised = false;
  std::string title = "Aequa";
  std::vector<std::string> trayCalls;
};

TEST_F(Output, StatusGoesToTheTrayTipAndToTheTitleOnlyWhileMinimised) {
  FakeWindow window;
  AttachWindow(&window);
  Settings.TrayIcon = 1;
  ShowStatus("k=5, on 80 from 80 to 90, m=1, n=4");
  EXPECT_EQ(window.title, "Aequa");
  ASSERT_EQ(window.trayCalls.size(), 1u);
  EXPECT_EQ(window.trayCalls[0], "1:Aequa - k=5, on 80 from 80 to 90, m=1, n=4");
  window.minimised = true;
  ShowStatus("IDLE");
  EXPECT_EQ(window.title, "Aequa - IDLE");
  window.minimised = false;
  ShowStatus("IDLE");
  EXPECT_EQ(window.title, "Aequa");
  Settings.TrayIcon = 0;
  ShowStatus("IDLE");
  EXPECT_EQ(window.trayCalls.size(), 3u);
  SetTrayIcon(0, nullptr);
  EXPECT_EQ(window.trayCalls.back(), "0:Aequa");
  EXPECT_EQ(LastStatusText(), "Aequa - IDLE");

  int before = window.repaints;
  LogText("x\n");
  EXPECT_EQ(window.repaints, before + 1);
  NoRedraw = true;
  LogText("y\n");
  EXPECT_EQ(window.repaints, before + 1);
  AttachWindow(nullptr);
}

}  // namespace
}  // namespace aequa
