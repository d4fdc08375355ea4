#include "boinc/run_work_unit.h"

#include "boinc/work_requests.h"
#include "boinc/work_unit.h"
#include "core/output_log.h"
#include "core/timing.h"

namespace aequa::boinc {
namespace {

constexpr uint32_t kPollMs = 100;
constexpr uint32_t kPollsPerProgress = 10;

UnitEnd EndOf(SearchEnd end) {
  switch (end) {
    case SearchEnd::Finished:
      return UnitEnd::Finished;
    case SearchEnd::InternalError:
      return UnitEnd::InternalError;
    case SearchEnd::NoSearch:
      return UnitEnd::NoSearch;
    case SearchEnd::Halted:
      break;
  }
  return UnitEnd::Halted;
}

}  // namespace

UnitEnd RunWorkUnit(ClientPort& client, const PartInfo& part) {
  LeaveSavingToTheClient();
  client.FractionDone(FractionDone(part));
  StartSearch();
  bool suspended = false;
  bool saving = false;  // a checkpoint the client allowed and the search has not yet taken
  bool checkpointed = false;
  for (uint32_t polls = 1;; ++polls) {
    ProtocolSleep(kPollMs);
    const ClientStatus status = client.Status();
    if (status.quit || status.abort) {
      if (!suspended) StopSearch();
      if (saving) client.CheckpointCompleted();
      LogText(status.abort ? "Aborted by the client.\n" : "Quitting; the part goes on later.\n");
      return status.abort ? UnitEnd::Aborted : UnitEnd::Quit;
    }
    if (status.suspended && !suspended) {
      // Stopping saves the line and checkpoint; a search that ended meanwhile stays ended.
      StopSearch();
      const SearchEnd end = WaitForSearchEnd();
      if (saving) client.CheckpointCompleted();
      saving = false;
      if (end != SearchEnd::Halted) return EndOf(end);
      suspended = true;
      LogText("Suspended by the client.\n");
    } else if (!status.suspended && suspended) {
      suspended = false;
      LogText("Resumed by the client.\n");
      StartSearch();
    }
    if (suspended) continue;
    if (!SearchRunning()) break;
    if (saving && SaveAnswered()) {
      client.CheckpointCompleted();
      saving = false;
      // The first one only: the client may allow one a minute for days.
      if (!checkpointed) LogText("Checkpoint saved; later ones are not logged.\n");
      checkpointed = true;
    } else if (!saving && client.TimeToCheckpoint()) {
      RequestSave();
      saving = true;
    }
    if (polls % kPollsPerProgress == 0) client.FractionDone(FractionDone(part));
  }
  const SearchEnd end = WaitForSearchEnd();
  if (saving) client.CheckpointCompleted();
  client.FractionDone(FractionDone(part));
  // A search thread that could not start ends no work: the part is done only when its line
  // has left the queue.
  if (end == SearchEnd::Finished && !PartLeftTheQueue()) return UnitEnd::Halted;
  return EndOf(end);
}

}  // namespace aequa::boinc
