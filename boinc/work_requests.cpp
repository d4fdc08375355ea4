#include "boinc/work_requests.h"

#include "core/settings.h"
#include "core/shared_words.h"
#include "core/work_control.h"

namespace aequa::boinc {

void LeaveSavingToTheClient() {
  // Minutes: about two years, and still within the timer's 32-bit count of seconds.
  Settings.SaveFrequency.store(1 << 20);
}

void StartSearch() { StartWork(); }

bool SearchRunning() { return !ContinueEnabled(); }

void StopSearch() {
  StopWork();
  WaitForWorkEnd();
}

SearchEnd WaitForSearchEnd() {
  WaitForWorkEnd();
  switch (LastWorkEnd()) {
    case WorkEnd::Finished:
      return SearchEnd::Finished;
    case WorkEnd::Halted:
      return SearchEnd::Halted;
    case WorkEnd::InternalError:
      return SearchEnd::InternalError;
    case WorkEnd::NoSearch:
      return SearchEnd::NoSearch;
  }
  return SearchEnd::Halted;
}

// Every search thread that runs takes the request; the save is answered once none still
// holds it.
void RequestSave() {
  for (uint32_t i = 0; i < kMaxWorkers; ++i) {
    SearchControl& control = ControlOf(i);
    if (control.active.load()) control.requests.fetch_or(REQ_SAVE);
  }
}

bool SaveAnswered() {
  for (uint32_t i = 0; i < kMaxWorkers; ++i) {
    const SearchControl& control = ControlOf(i);
    if (control.active.load() && control.Requested(REQ_SAVE)) return false;
  }
  return true;
}

}  // namespace aequa::boinc
