#pragma once
// Runs the queued part of a work unit while answering its client: progress once a second, a
// save whenever the client allows a checkpoint, the search stopped (and saved) while the
// client suspends it and started again on resume, stopped for good on quit or abort.
#include "boinc/client_port.h"
#include "core/part_file.h"

namespace aequa::boinc {

enum class UnitEnd {
  Finished,       // the part is searched to its end
  InternalError,  // a search failed a check
  NoSearch,       // the part is of a kind this program cannot search
  Halted,         // the search stopped by itself with work left (the work file failed, the
                  // search thread did not start)
  Quit,           // the client asked to quit: the part goes on at the next start
  Aborted,        // the client aborted the unit
};

UnitEnd RunWorkUnit(ClientPort& client, const PartInfo& part);

}  // namespace aequa::boinc
