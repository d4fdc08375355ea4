#pragma once
// Runs one Penta work line: walks a over the line's range, calls the routine of its type for
// each a, reports every finished stretch and keeps the work line's start up to date.
#include <atomic>
#include <cstdint>

#include "core/work_item.h"

namespace aequa::penta {

// The power and type of the line being run (shown by other parts).
extern std::atomic<uint32_t> CurrentPower;
extern std::atomic<uint32_t> CurrentType;

// Code stored in InternalError for an unimplemented power or type.
inline constexpr int32_t kUnimplementedError = 6000;

// Returns 0 when the range was finished, 1 when the run ended early (stop request,
// unimplemented power or type, internal error). `item.start` is advanced in place.
int32_t RunPentaLine(WorkItem& item);

// Tests: run `routine` for every a in place of the type's routine (null restores them).
using PentaRoutineOverride = void (*)(int32_t a);
void SetRoutineOverride(PentaRoutineOverride routine);

}  // namespace aequa::penta
