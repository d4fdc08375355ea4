// The sum-collision checkpoint loader on any file: no crash, and the window it resumes from is
// never past the line's range nor taken from a file the program could not have written.
#include <string>

#include "core/checkpoint_file.h"
#include "core/output_log.h"
#include "fuzz_support.h"
#include "sums/sum_checkpoint.h"
#include "sums/sum_run.h"
#include "sums/u128.h"

using namespace aequa;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::EnterScratchDirectory();
  ResetLog();
  // The line: power 3, 2 terms, from 10 to 1000. Odd inputs go in under the name all lines
  // of the power and terms once shared, even ones under the line's own name.
  SearchControl control;
  SumRun run(control);
  run.k = 3;
  run.n = 2;
  run.first = run.start = 10;
  run.end = 1000;
  U128 startPower;
  RunPower(run, 10, startPower);
  RunPower(run, 1000, run.endPower);
  run.windowLow = startPower;
  const bool legacy = size % 2 == 1;
  fuzz::WriteInput(legacy ? LegacySumCheckpointName(run) : SumCheckpointName(run), data, size);
  LoadSumCheckpoint(run);
  const U128 windowLow = run.windowLow;
  const U128 endPower = run.endPower;
  DeleteSumCheckpoint(run);
  if (windowLow == startPower) return 0;

  // Work would be skipped: the file must be one the program wrote for this line.
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const uint32_t version = GetWord(bytes, 0);
  if (version > 6) fuzz::Violated("a file of an unknown version was taken");
  if (version == 6 && (bytes.size() != 44 || !CrcMatches(bytes) || GetWord(bytes, 36) != 1000)) {
    fuzz::Violated("a version 6 file of another line or failing its checksum was taken");
  }
  if (GetWord(bytes, 4) != 3 || GetWord(bytes, 8) != 2 || GetWord(bytes, 12) > 10) {
    fuzz::Violated("a file of another search was taken");
  }
  if (Less128(windowLow, startPower) || Less128(endPower, windowLow)) {
    fuzz::Violated("a window outside the line's range was taken");
  }
  return 0;
}
