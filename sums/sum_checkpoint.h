#pragma once
// The checkpoint of a sum-collision run: where the current window begins, per power and term
// count, in "A%d-%d" with the previous state in "A%d-%d.BAK".
#include <string>

namespace aequa {

std::string SumCheckpointName();        // "A%d-%d" with the run's k and n
std::string SumCheckpointBackupName();  // "A%d-%d.BAK"

// Writes version 5: power, terms, start, elapsed seconds, WindowLow. The previous checkpoint
// becomes the backup; each file is replaced as a whole.
void SaveSumCheckpoint();
// Once per run, before the first window: may set WindowLow and ElapsedSeconds, and (version 3)
// raise the run's start. Missing, foreign and short files change nothing else.
void LoadSumCheckpoint();
// Removes the checkpoint and its backup.
void DeleteSumCheckpoint();

}  // namespace aequa
