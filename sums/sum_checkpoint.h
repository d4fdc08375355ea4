#pragma once
// The checkpoint of a sum-collision run: where the current window begins, per power and term
// count, in "A%d-%d" with the previous state in "A%d-%d.BAK".
#include <string>

namespace aequa {

std::string SumCheckpointName();        // "A%d-%d" with the run's k and n
std::string SumCheckpointBackupName();  // "A%d-%d.BAK"

// Writes version 6: power, terms, start, elapsed seconds, WindowLow, end, CRC-32. The previous
// checkpoint becomes the backup; each file is replaced as a whole.
void SaveSumCheckpoint();
// Once per run, before the first window (EndPower set): may set WindowLow and ElapsedSeconds.
// A file that claims more than the line has searched (a window low past the range, a start
// past the line's, a failed checksum, another power or term count) is set aside and the line
// is searched from its start; a file of another line of the same power and terms is ignored.
void LoadSumCheckpoint();
// Removes the checkpoint and its backup.
void DeleteSumCheckpoint();

}  // namespace aequa
