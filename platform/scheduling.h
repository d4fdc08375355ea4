#pragma once
// Scheduling of the search threads: the user's priority 1..10 and processor affinity.
#include <cstdint>

namespace aequa::platform {

// An opaque identity of a thread that another thread can use to change its priority.
using ThreadRef = int64_t;
ThreadRef CurrentThreadRef();

// Applies the priority setting (1..10) to the calling thread (and, where the system has one,
// the process priority class).
void ApplyThreadPriority(int32_t priority);

// Binds the calling thread to one processor: `processor` modulo the number of processors
// (on Windows modulo 32, the width of the affinity mask).
void BindCurrentThread(uint32_t processor);

// Puts the process back to normal scheduling and raises the given thread above normal,
// so that a stop request is noticed quickly.
void RaiseForStop(ThreadRef thread);

unsigned ProcessorCount();

// True only on the Windows 95/98 platform.
bool IsWindows9x();

}  // namespace aequa::platform
