#pragma once
// Results, progress lines and checkpoint files of the equal-sums search. The routines take no
// arguments: they read the run state and the path arrays.
#include <string>

namespace aequa {

// A verified solution in PathTerms (m left terms, then PathTermCount right terms): logged
// behind "New result: ", appended to the results file, then the search mode applied.
void ReportNewResult();
// A poll found RequestFlags not 0: saves when asked, logs the path, clears handled requests.
// With LeftTerms 0 (the representation command) no checkpoint is written.
void ReportProgress();
// Writes the checkpoint of the current path ("S%d-%d.%d", backup "S%d-%d.BAK").
void SaveCheckpoint();
// Before each value: resumes state from the value's checkpoint when it matches.
void LoadCheckpoint();

// Checkpoint and backup names of the current run and value.
std::string CheckpointName();
std::string CheckpointBackupName();

}  // namespace aequa
