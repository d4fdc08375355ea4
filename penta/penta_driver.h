#pragma once
// Runs one Penta work line: walks a over the line's range, calls the routine of its type for
// each a, reports every finished stretch and keeps the work line's start up to date.
#include <cstdint>

#include "core/drivers.h"
#include "core/shared_words.h"
#include "core/work_item.h"
#include "penta/penta_search.h"
#include "penta/penta_tables.h"

namespace aequa::penta {

// The internal error of an unimplemented power or type.
inline constexpr int32_t kUnimplementedError = 6000;

// What tests change in a run: a routine in place of the type's, a table allocator that
// fails, a sink for the candidate lines.
struct PentaOptions {
  PentaRoutine routine = nullptr;
  TableAllocator allocator = nullptr;
  CandidateSink sink = nullptr;
};

// Finished when the range was searched (its line deleted); Stopped after a stop request, a
// report the results file could not take, or a line of another power (left in the queue);
// Failed after an internal error (the line dropped). `item.start` is advanced in place.
SearchOutcome RunPentaLine(SearchControl& control, WorkItem& item);
SearchOutcome RunPentaLine(SearchControl& control, WorkItem& item, const PentaOptions& options);

}  // namespace aequa::penta
