#pragma once
// Results, progress lines and checkpoint files of an equal-sums search, on its run: the path
// arrays, the term counts and the control words.
#include <string>

#include "compute/run_state.h"

namespace aequa {

// A verified solution in pathTerms (m left terms, then pathTermCount right terms): logged
// behind "New result: ", appended to the results file, then the search mode applied.
void ReportNewResult(EqualSumsRun& run);
// A poll found requests: saves when asked, logs the path, clears handled requests. With no
// left terms (the representation command) no checkpoint is written.
void ReportProgress(EqualSumsRun& run);
// Writes the checkpoint of the current path ("S%d-%d.%d", backup "S%d-%d.BAK").
void SaveCheckpoint(EqualSumsRun& run);
// Before each value: resumes state from the value's checkpoint when it matches; a file that
// cannot be trusted is set aside.
void LoadCheckpoint(EqualSumsRun& run);

// Checkpoint and backup names of the run's current value.
std::string CheckpointName(const EqualSumsRun& run);
std::string CheckpointBackupName(const EqualSumsRun& run);

// A value that finished in its turn while a smaller value of its line has not: a small file
// beside its checkpoint name ("S%d-%d.%d.DONE") records it, with the run's power, left terms,
// right terms and mode, so that the next turns skip it until the line's start passes it.
std::string FinishedMarkName(const EqualSumsRun& run, uint32_t x);
void MarkFinished(const EqualSumsRun& run, uint32_t x);
// True when x was finished by a search of this power, left terms and mode with at least the
// run's right terms.
bool MarkedFinished(const EqualSumsRun& run, uint32_t x);

}  // namespace aequa
