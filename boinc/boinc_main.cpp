// The work-unit program: runs one part of a range cut by `aequa split --boinc` under a
// volunteer's BOINC client, in the slot directory the client gives it.
#include <cstdio>
#include <string>

#include "boinc/boinc_runtime.h"
#include "boinc/run_work_unit.h"
#include "boinc/work_unit.h"
#include "core/checkpoint_file.h"
#include "core/output_log.h"
#include "core/settings_store.h"
#include "core/startup.h"
#include "platform/instance_lock.h"
#include "shell/command_status.h"
#include "shell/search_registry.h"

namespace {

using namespace aequa;
using namespace aequa::boinc;

// The logical names of the work unit's files, as the templates name them.
constexpr const char* kInputName = "in";
constexpr const char* kResultsOutputName = "results";
constexpr const char* kPartOutputName = "part";

// The log goes to standard error, which the client keeps and sends back with the result.
void LogToStandardError(const char* line, bool /*replaced*/) {
  std::fprintf(stderr, "%s\n", line);
  std::fflush(stderr);
}

[[noreturn]] void Fail(const std::string& message, int status) {
  std::fprintf(stderr, "aequa: %s\n", message.c_str());
  FinishWorkUnit(status);
}

void ReleaseDirectory() {
  IniFreeAll();
  platform::ReleaseInstanceLock();
}

}  // namespace

int main() {
  if (!InitRuntime()) {
    std::fprintf(stderr, "aequa: the BOINC runtime did not start\n");
    return ui::kExitRefused;
  }
  SetLogLineSink(&LogToStandardError);
  ui::RegisterSearches();

  const std::string inputPath = ResolveFileName(kInputName);
  std::string input, why;
  PartInfo part;
  if (!ReadWholeFile(inputPath, input)) Fail("cannot read the input " + inputPath, ui::kExitRefused);
  if (!ReadPartFile(input, part, why)) Fail(inputPath + ": " + why, ui::kExitRefused);

  switch (PrepareSlot(input, part, UserNameOfAccount())) {
    case SlotState::Fresh:
      LogText(("Starting part " + std::to_string(part.index) + " of " +
               std::to_string(part.count) + ".\n").c_str());
      break;
    case SlotState::Resumed:
      LogText("Going on from the last checkpoint.\n");
      break;
    case SlotState::OtherPart:
      Fail("the slot directory holds another part's work", ui::kExitRefused);
    case SlotState::Unwritable:
      Fail("cannot lay out the slot directory", ui::kExitRefused);
  }
  const StartupResult started = StartUp(".", false);
  if (started.outcome != StartupResult::Outcome::Started) {
    Fail("another copy runs in the slot directory", ui::kExitRunning);
  }

  const UnitEnd end = RunWorkUnit(RuntimePort(), part);
  switch (end) {
    case UnitEnd::Quit:
      ReleaseDirectory();
      ExitForNow();
    case UnitEnd::Aborted:
      ReleaseDirectory();
      FinishWorkUnit(ui::kExitHalted);
    case UnitEnd::Halted:
      ReleaseDirectory();
      TryAgainLater("the search stopped with work left");
    case UnitEnd::Finished:
    case UnitEnd::InternalError:
    case UnitEnd::NoSearch:
      break;
  }
  // The results go back whatever the end: an internal error's file is what the coordinator
  // needs to see.
  const bool written =
      WriteOutputs(ResolveFileName(kResultsOutputName), ResolveFileName(kPartOutputName));
  ReleaseDirectory();
  if (!written) Fail("cannot write the output files", ui::kExitRefused);
  FinishWorkUnit(end == UnitEnd::Finished        ? ui::kExitOk
                 : end == UnitEnd::InternalError ? ui::kExitInternalError
                                                 : ui::kExitRefused);
}
