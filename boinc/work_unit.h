#pragma once
// A work unit's data directory (the slot the client runs the program in): laid out from the
// unit's input on the first start, found again on every later one; its progress as a fraction
// of the part's work; and its output files at the end.
#include <string>

#include "core/part_file.h"

namespace aequa::boinc {

enum class SlotState {
  Fresh,      // laid out now: the part starts from its beginning
  Resumed,    // laid out by an earlier start: the part goes on from what was saved there
  OtherPart,  // the directory holds another part's work: nothing was touched
  Unwritable,
};

// In the current directory, before the settings are loaded: on the first start writes the
// settings (the part defaults, and `userName` when given), the work file with the part's line,
// and last the part file, a copy of `input`; a start that finds the part file goes on.
SlotState PrepareSlot(const std::string& input, const PartInfo& part, const std::string& userName);

// How much of the part's work is done (0..1), from the line in the work file; 1 once the line
// has left the queue.
double FractionDone(const PartInfo& part);

// True once the part's line has left the work file: searched to its end (or refused).
bool PartLeftTheQueue();

// Copies the results file (empty when the search wrote none) and the part file to the
// output files.
bool WriteOutputs(const std::string& resultsPath, const std::string& partPath);

}  // namespace aequa::boinc
