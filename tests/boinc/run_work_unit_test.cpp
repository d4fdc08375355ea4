// A work unit's loop driven by a scripted client, in this process: suspend stops the search
// (saved) until resume, quit leaves the part to the next start, abort ends it, progress only
// grows, and every allowed checkpoint is answered.
#include "boinc/run_work_unit.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "boinc/work_requests.h"
#include "boinc/work_unit.h"
#include "core/settings.h"
#include "core/settings_store.h"
#include "core/startup.h"
#include "core/work_queue.h"
#include "shell/search_registry.h"
#include "support/temp_dir.h"

namespace aequa::boinc {
namespace {

using test::ReadFile;

class ScriptedClient final : public ClientPort {
 public:
  // The status to give at each poll, from what happened so far.
  std::function<ClientStatus(const ScriptedClient&)> script;
  int polls = 0;
  int checkpoints = 0;
  int suspendedPolls = 0;
  bool ranWhileSuspended = false;
  std::vector<double> fractions;

  ClientStatus Status() override {
    ++polls;
    const ClientStatus status = script ? script(*this) : ClientStatus{};
    if (status.suspended) {
      // The loop stops the search on the first suspended poll; from the next on it is idle.
      if (suspendedPolls++ > 0 && SearchRunning()) ranWhileSuspended = true;
    }
    return status;
  }
  bool TimeToCheckpoint() override { return true; }
  void CheckpointCompleted() override { ++checkpoints; }
  void FractionDone(double fraction) override { fractions.push_back(fraction); }
};

// A part laid out in a fresh directory, as the application lays out its slot.
class BoincWorkUnit : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string why;
    ASSERT_TRUE(ReadPartFile(kInput, part_, why)) << why;
    ASSERT_EQ(PrepareSlot(kInput, part_, "Tester"), SlotState::Fresh);
    ASSERT_EQ(StartUp(".", false).outcome, StartupResult::Outcome::Started);
    ui::RegisterSearches();
  }
  void TearDown() override { IniFreeAll(); }

  std::string Solutions() const { return ReadFile(dir_.file("SOLUTION.TXT")); }

  // The Penta identities at a = 133 and a = 399, about a second of work.
  static constexpr const char* kInput =
      "Part=1\r\nParts=1\r\nLine=PENTA=5,100,400,2\r\nRange=PENTA=5,100,400,2\r\n";
  test::TempDir dir_;
  PartInfo part_;
};

bool FoundBothIdentities(const std::string& results) {
  return results.find("133^5") != std::string::npos && results.find("399^5") != std::string::npos;
}

TEST_F(BoincWorkUnit, SuspendStopsTheSearchUntilResumeAndThePartStillEnds) {
  ScriptedClient client;
  client.script = [](const ScriptedClient& c) {
    ClientStatus status;
    status.suspended = c.checkpoints >= 1 && c.suspendedPolls < 10;
    return status;
  };
  EXPECT_EQ(RunWorkUnit(client, part_), UnitEnd::Finished);
  EXPECT_EQ(client.suspendedPolls, 10);
  EXPECT_FALSE(client.ranWhileSuspended);
  EXPECT_TRUE(FoundBothIdentities(Solutions()));
  ASSERT_FALSE(client.fractions.empty());
  EXPECT_EQ(client.fractions.back(), 1.0);
  for (size_t i = 1; i < client.fractions.size(); ++i) {
    EXPECT_LE(client.fractions[i - 1], client.fractions[i]);
  }
  EXPECT_EQ(IniLineCount(WorkFile()), 0u);
}

TEST_F(BoincWorkUnit, QuitLeavesThePartSavedForTheNextStart) {
  ScriptedClient quitting;
  quitting.script = [](const ScriptedClient& c) {
    ClientStatus status;
    status.quit = c.checkpoints >= 1;
    return status;
  };
  EXPECT_EQ(RunWorkUnit(quitting, part_), UnitEnd::Quit);
  EXPECT_FALSE(SearchRunning());
  ASSERT_EQ(IniLineCount(WorkFile()), 1u);
  const double fraction = FractionDone(part_);
  EXPECT_LT(fraction, 1.0);

  ScriptedClient next;
  EXPECT_EQ(RunWorkUnit(next, part_), UnitEnd::Finished);
  EXPECT_TRUE(FoundBothIdentities(Solutions()));
  ASSERT_FALSE(next.fractions.empty());
  EXPECT_EQ(next.fractions.front(), fraction);  // the next start goes on from the saved line
}

TEST_F(BoincWorkUnit, AbortEndsThePartAtOnce) {
  ScriptedClient client;
  client.script = [](const ScriptedClient& c) {
    ClientStatus status;
    status.abort = c.polls >= 2;
    return status;
  };
  EXPECT_EQ(RunWorkUnit(client, part_), UnitEnd::Aborted);
  EXPECT_FALSE(SearchRunning());
}

TEST_F(BoincWorkUnit, ASlotHoldingAnotherPartIsLeftAlone) {
  const std::string other =
      "Part=2\r\nParts=2\r\nLine=PENTA=5,250,400,2\r\nRange=PENTA=5,100,400,2\r\n";
  PartInfo part;
  std::string why;
  ASSERT_TRUE(ReadPartFile(other, part, why)) << why;
  EXPECT_EQ(PrepareSlot(other, part, ""), SlotState::OtherPart);
  EXPECT_EQ(PrepareSlot(kInput, part_, ""), SlotState::Resumed);
  EXPECT_EQ(ReadFile(dir_.file("worksum.ini")), "PENTA=5,100,400,2\r\n");
}

}  // namespace
}  // namespace aequa::boinc
