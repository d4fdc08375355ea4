#pragma once
// The searches that a worker hands each work line to, one per kind, all under one contract.
// The program registers the searches it is built with; the workers do not depend on them.
#include <cstdint>
#include <string>

#include "core/shared_words.h"
#include "core/work_item.h"

namespace aequa {

// How a search of a line ended. Finished: the line's range is exhausted (its line deleted)
// or the line is gone. Stopped: a halt came; the progress is written to the line and the
// checkpoint, and the line stays. Failed: an internal error; the search has reported it with
// FailLine, which dropped the line.
enum class SearchOutcome { Finished, Stopped, Failed };

// A search of one line: the item read from the queue (its lineId names the line that takes
// the progress), and the control words of the thread that runs it.
using SearchDriver = SearchOutcome (*)(SearchControl& control, WorkItem& item);

struct SearchDrivers {
  SearchDriver equalSums = nullptr;     // "SUM"
  SearchDriver sumCollision = nullptr;  // "ADD"
  SearchDriver penta = nullptr;         // "PENTA"
};

void RegisterDrivers(const SearchDrivers& drivers);
const SearchDrivers& RegisteredDrivers();

// The one way a search gives up a line after an internal error: logs `errorLine` (to the
// screen and the results file), asks for `fileToSend` when that file exists (a checkpoint the
// coordinator can examine; empty for none), drops the item's line and returns Failed.
SearchOutcome FailLine(SearchControl& control, const WorkItem& item, const std::string& errorLine,
                       const std::string& fileToSend);

// After a halt raised because results could not be written (the results file holds them):
// waits, trying to write them every display period. True once they are all on the disk, the
// halt cleared: a search that waits here goes on where it was. False when a Stop came: the
// search stops with its progress no further than the results on the disk.
bool WaitForResultsFile(SearchControl& control);

}  // namespace aequa
