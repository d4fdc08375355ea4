#pragma once
// The work unit's every use of the worker and timer threads and their shared request words,
// kept in one place: starting and stopping the search, asking it to save, and telling when it
// has.
#include <cstdint>

namespace aequa::boinc {

enum class SearchEnd { Finished, Halted, InternalError, NoSearch };

// The timer saves only when the client allows it: its own save period is set out of reach.
void LeaveSavingToTheClient();
void StartSearch();
bool SearchRunning();
// Asks the search to stop (it saves its line and checkpoint) and waits until it has.
void StopSearch();
// Waits until the search has ended by itself or after StopSearch.
SearchEnd WaitForSearchEnd();
// Asks the running search to save its line and checkpoint; SaveAnswered tells when it has
// taken the request.
void RequestSave();
bool SaveAnswered();

}  // namespace aequa::boinc
