// The BOINC application in the runtime's standalone mode, in a slot directory laid out as the
// client lays one out (soft links to the project's files, an init file allowing a checkpoint
// every second): a part run to its end, and a part killed after a checkpoint and started
// again, each giving the results of one run of the command line; the outputs checked by the
// validator.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <filesystem>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "core/results_reader.h"
#include "support/process.h"
#include "support/temp_dir.h"

namespace aequa {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::WriteFile;

bool Has(const std::string& text, const std::string& piece) {
  return text.find(piece) != std::string::npos;
}

std::set<std::string> Results(const std::string& text) {
  std::set<std::string> results;
  for (const ResultsLine& line : ReadResultsText(text)) {
    if (line.kind == ResultsLineKind::Result) results.insert(line.body);
  }
  return results;
}

size_t DoneLines(const std::string& text) {
  size_t count = 0;
  for (const ResultsLine& line : ReadResultsText(text)) count += line.kind == ResultsLineKind::Done;
  return count;
}

// A client's directory: the project's files, and one slot whose logical names link to them.
class ClientLayout {
 public:
  explicit ClientLayout(const std::vector<std::string>& range) {
    project_ = dir_.path() + "/projects/test";
    slot_ = dir_.path() + "/slots/0";
    fs::create_directories(slot_);
    std::vector<std::string> split = {"split"};
    split.insert(split.end(), range.begin(), range.end());
    split.insert(split.end(), {"--parts", "1", "--boinc", "--into", project_});
    const auto cut = test::RunAequa(split);
    EXPECT_EQ(cut.status, 0) << cut.err;
    Link("in", "part-0001.in");
    Link("results", "unit_0_r0");
    Link("part", "unit_0_r1");
    WriteFile(slot_ + "/init_data.xml",
              "<app_init_data>\n<checkpoint_period>1</checkpoint_period>\n"
              "<user_name>Tester</user_name>\n</app_init_data>\n");
  }

  const std::string& slot() const { return slot_; }
  std::string ProjectFile(const std::string& name) const { return project_ + "/" + name; }
  std::string SlotFile(const std::string& name) const { return slot_ + "/" + name; }

  // The application started in the slot, as the client starts it.
  test::BackgroundAequa Start() const {
    InSlot here(slot_);
    return test::BackgroundAequa(AEQUA_BOINC_BINARY, {});
  }

 private:
  struct InSlot {
    explicit InSlot(const std::string& dir) : previous(fs::current_path()) { fs::current_path(dir); }
    ~InSlot() { fs::current_path(previous); }
    fs::path previous;
  };

  void Link(const std::string& logical, const std::string& physical) {
    WriteFile(slot_ + "/" + logical,
              "<soft_link>../../projects/test/" + physical + "</soft_link>\n");
  }

  test::TempDir dir_{false};
  std::string project_;
  std::string slot_;
};

bool WaitForFileText(const std::string& path, const std::string& text, double seconds) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (std::chrono::steady_clock::now() < until) {
    if (Has(ReadFile(path), text)) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return false;
}

std::set<std::string> OneCommandLineRun(const std::vector<std::string>& range) {
  test::TempDir dir(false);
  WriteFile(dir.file("aequo.ini"), "Priority=9\r\n");
  std::vector<std::string> args = {"--dir", dir.path()};
  args.insert(args.end(), range.begin(), range.end());
  const auto run = test::RunAequa(args);
  EXPECT_EQ(run.status, 0) << run.err;
  return Results(ReadFile(dir.file("SOLUTION.TXT")));
}

// The unit's outputs are valid and say what the command line found.
void ExpectOutputs(const ClientLayout& client, const std::set<std::string>& expected) {
  const std::string results = client.ProjectFile("unit_0_r0");
  const std::string part = client.ProjectFile("unit_0_r1");
  ASSERT_TRUE(test::FileExists(results));
  EXPECT_EQ(ReadFile(part), ReadFile(client.ProjectFile("part-0001.in")));
  EXPECT_EQ(Results(ReadFile(results)), expected);
  const auto valid = test::RunProgram({AEQUA_VALIDATE_BINARY, "init", results, part});
  EXPECT_EQ(valid.status, 0) << valid.err;
  EXPECT_TRUE(test::FileExists(client.SlotFile("boinc_finish_called")));
}

// Each range takes a few seconds, finds results, and is asked to save once a second.
const std::vector<std::vector<std::string>> kRanges = {
    {"new", "5", "600", "800", "1", "4", "--mode", "exact"},  // 720^5 = 665^5+550^5+420^5+135^5
    {"compute", "3", "1", "30000", "2"},                       // the taxicab numbers below 30000^3
    {"penta", "5", "100", "900", "2"},                         // the identity at a = 133, 399, ...
};

TEST(BoincApp, APartRunToItsEndGivesTheResultsOfTheCommandLine) {
  const std::vector<std::string>& range = kRanges[2];
  const std::set<std::string> expected = OneCommandLineRun(range);
  ASSERT_FALSE(expected.empty());
  ClientLayout client(range);
  auto app = client.Start();
  ASSERT_TRUE(app.WaitForExit(120));
  EXPECT_EQ(app.Wait().status, 0);
  ExpectOutputs(client, expected);
  EXPECT_TRUE(Has(ReadFile(client.SlotFile("stderr.txt")), "Starting part 1 of 1."));
  // The results are signed with the volunteer's account name.
  EXPECT_TRUE(Has(ReadFile(client.ProjectFile("unit_0_r0")), " Tester"));
}

TEST(BoincApp, APartKilledAfterACheckpointGoesOnFromItAndGivesTheSameResults) {
  for (const auto& range : kRanges) {
    SCOPED_TRACE(range[0]);
    const std::set<std::string> expected = OneCommandLineRun(range);
    ASSERT_FALSE(expected.empty());
    ClientLayout client(range);
    {
      auto app = client.Start();
      ASSERT_TRUE(WaitForFileText(client.SlotFile("stderr.txt"), "Checkpoint saved", 60))
          << ReadFile(client.SlotFile("stderr.txt"));
      app.Signal(SIGKILL);
      ASSERT_TRUE(app.WaitForExit(30));
    }
    ASSERT_FALSE(test::FileExists(client.SlotFile("boinc_finish_called")));
    EXPECT_FALSE(test::FileExists(client.ProjectFile("unit_0_r0")));
    // The killed run left its progress in the slot: done lines, and its line moved on.
    EXPECT_GE(DoneLines(ReadFile(client.SlotFile("SOLUTION.TXT"))), 1u);
    const std::string input = ReadFile(client.ProjectFile("part-0001.in"));
    const std::string saved = ReadFile(client.SlotFile("worksum.ini"));
    ASSERT_FALSE(saved.empty());
    EXPECT_FALSE(Has(input, "Line=" + saved)) << saved;

    auto again = client.Start();
    ASSERT_TRUE(again.WaitForExit(120));
    EXPECT_EQ(again.Wait().status, 0);
    EXPECT_TRUE(Has(ReadFile(client.SlotFile("stderr.txt")), "Going on from the last checkpoint."));
    ExpectOutputs(client, expected);
  }
}

}  // namespace
}  // namespace aequa
