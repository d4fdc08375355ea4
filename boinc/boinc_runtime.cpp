#include "boinc/boinc_runtime.h"

#include <boinc_api.h>
#include <app_ipc.h>

#include <cstdlib>

namespace aequa::boinc {
namespace {

// The runtime only sets flags; the work unit's loop decides what suspend, quit and abort do,
// so that the search saves before the process ends.
class RuntimePortImpl final : public ClientPort {
 public:
  ClientStatus Status() override {
    BOINC_STATUS status{};
    boinc_get_status(&status);
    ClientStatus out;
    out.suspended = status.suspended != 0;
    out.quit = status.quit_request != 0 || status.no_heartbeat != 0;
    out.abort = status.abort_request != 0;
    return out;
  }
  bool TimeToCheckpoint() override { return boinc_time_to_checkpoint() != 0; }
  void CheckpointCompleted() override { boinc_checkpoint_completed(); }
  void FractionDone(double fraction) override { boinc_fraction_done(fraction); }
};

RuntimePortImpl port;

}  // namespace

bool InitRuntime() {
  BOINC_OPTIONS options;
  boinc_options_defaults(options);
  options.direct_process_action = 0;  // flags only: the loop stops the search itself
  options.multi_thread = 1;           // the search and its timer run in threads of their own
  return boinc_init_options(&options) == 0;
}

std::string ResolveFileName(const char* logicalName) {
  std::string physical;
  if (boinc_resolve_filename_s(logicalName, physical) != 0) return logicalName;
  return physical;
}

ClientPort& RuntimePort() { return port; }

std::string UserNameOfAccount() {
  APP_INIT_DATA data;
  if (boinc_get_init_data(data) != 0) return "";
  return data.user_name;
}

void FinishWorkUnit(int status) {
  boinc_finish(status);
  std::exit(status);  // boinc_finish does not return; this only tells the compiler so
}

void ExitForNow() { std::exit(0); }

void TryAgainLater(const char* reason) {
  constexpr int kDelaySeconds = 600;
  boinc_temporary_exit(kDelaySeconds, reason);
  std::exit(0);
}

}  // namespace aequa::boinc
