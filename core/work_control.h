#pragma once
// The worker threads, the timer thread and the commands that start and stop them. "Workers"
// worker threads share one queue: each takes the first line no other worker has taken, and an
// idle worker has the busiest one give away part of its line. The representation command runs
// on a thread of its own beside them.
#include <cstdint>
#include <functional>

#include "core/shared_words.h"

namespace aequa {

// Continue: clears the requests and starts the workers and the timer. Call only while no
// worker runs.
void StartWork();
// Starts `body` on the representation command's control, beside the workers (with the timer
// when none runs). The body follows the protocol: it sets its control active and counts itself
// in WorkerRunning while it runs. False when one runs already or it cannot be started.
bool StartQuestion(std::function<void(SearchControl& control)> body);
// Stop: raises REQ_HALT for every search thread and lets them run at normal priority.
void StopWork();
// Exit: when a thread runs, stops redrawing, stops the work and waits until every thread has
// ended.
void FinishWork();
// Waits until every thread has ended (the command line in the foreground).
void WaitForWorkEnd();

// How the last run of the workers ended: the queue ran empty, a halt was requested, a search
// reported an internal error (which takes precedence: the user has a file to send), or a line
// is of a kind this program cannot search.
enum class WorkEnd { Finished, Halted, InternalError, NoSearch };
WorkEnd LastWorkEnd();

// Continue is enabled exactly when no thread runs; Stop while one runs and a search thread has
// no halt pending; Compute Sum while no representation search runs.
bool ContinueEnabled();
bool StopEnabled();
bool QuestionEnabled();

void WorkerMain(uint32_t index);
void TimerMain(uint32_t unused);
// Applies "Priority", and "Affinity" (worker i on processor Affinity + i), to the calling
// search thread of control `index`.
void ApplyPriority(uint32_t index);

}  // namespace aequa
