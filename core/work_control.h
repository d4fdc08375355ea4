#pragma once
// The worker and timer threads and the commands that start and stop them.

namespace aequa {

// Continue: clears RequestFlags and starts the worker and the timer. Call only while
// neither runs.
void StartWork();
// Starts `body` in the worker's place (it must follow the worker's protocol: set
// WorkerRunning, stop the timer before it ends) together with the timer.
void StartWorkWith(void (*body)());
// Stop: raises REQ_HALT and lets the search threads run at normal priority.
void StopWork();
// Exit: when a thread runs, stops redrawing, stops the work and waits until both have ended.
void FinishWork();
// Waits until both threads have ended (the command line in the foreground).
void WaitForWorkEnd();

// How the last worker ended: the queue ran empty, a halt was requested, a search reported an
// internal error (which takes precedence: the user has a file to send), or a line is of a
// kind this program cannot search.
enum class WorkEnd { Finished, Halted, InternalError, NoSearch };
WorkEnd LastWorkEnd();

// Continue is enabled exactly when neither thread runs; Stop while one runs and no halt has
// been requested.
bool ContinueEnabled();
bool StopEnabled();

void WorkerMain();
void TimerMain();
// Applies "Priority" and "Affinity" to the calling search thread.
void ApplyPriority();

}  // namespace aequa
