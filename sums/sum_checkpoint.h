#pragma once
// The checkpoint of a sum-collision line: where the current window begins, in a file named for
// the line ("A<k>-<n>-<first>-<end>", the previous state in the same name with ".BAK"), so
// that lines of the same power and terms never share one. Files of the older shared name
// "A<k>-<n>" are still read.
#include <string>

#include "sums/sum_run.h"

namespace aequa {

std::string SumCheckpointName(const SumRun& run);
std::string SumCheckpointBackupName(const SumRun& run);
// The name every line of this power and term count shared before.
std::string LegacySumCheckpointName(const SumRun& run);

// Writes version 6: power, terms, start, elapsed seconds, window low, end, CRC-32. The previous
// checkpoint becomes the backup; each file is replaced as a whole.
void SaveSumCheckpoint(SumRun& run);
// Once per run, before the first window (endPower set): may set the window low and the elapsed
// seconds. A file that claims more than the line has searched (a window low past the range, a
// start past the line's, a failed checksum, another power or term count) is set aside and the
// line is searched from its start; a file of another line (another end) is ignored.
void LoadSumCheckpoint(SumRun& run);
// Removes the checkpoint and its backup (and a file of the older name).
void DeleteSumCheckpoint(const SumRun& run);

}  // namespace aequa
