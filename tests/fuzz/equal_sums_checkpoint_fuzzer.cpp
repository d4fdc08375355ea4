// The equal-sums checkpoint loader on any file, followed by the search it resumes: no crash,
// no read past the path arrays, and a file it takes is one the program could have written
// (a version 4 file with its checksum, or an older version) and that fits the line.
#include <memory>
#include <string>

#include "compute/equal_sums_report.h"
#include "compute/kernel_layout.h"
#include "compute/kernels.h"
#include "compute/path_frames.h"
#include "compute/powers_table.h"
#include "compute/run_state.h"
#include "compute/sieve.h"
#include "core/checkpoint_file.h"
#include "core/output_log.h"
#include "core/shared_words.h"
#include "fuzz_support.h"

using namespace aequa;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::EnterScratchDirectory();
  ResetLog();
  static SearchControl control;
  auto owned = std::make_unique<EqualSumsRun>(control);
  EqualSumsRun& run = *owned;
  // The line: k = 3, one left term, at most 4 right terms, value 40, mode Exact.
  run.power = 3;
  run.leftTerms = 1;
  run.rightTerms = 4;
  run.searchLimit = 5;
  run.searchMode = 2;
  run.currentValue = 40;
  run.precisionWords = 1;
  fuzz::WriteInput(CheckpointName(run), data, size);
  LoadCheckpoint(run);
  if (run.resumed == 0) return 0;

  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const uint32_t version = GetWord(bytes, 0);
  if (version == 0 || version > 4) fuzz::Violated("a file of an unknown version was taken");
  if (version == 4 && !CrcMatches(bytes)) fuzz::Violated("a file failing its checksum was taken");
  if (run.resumeTerms[0] != 40 || run.rightTerms == 0 || run.rightTerms > kDepthCapacity ||
      run.pathTermCount >= run.rightTerms) {
    fuzz::Violated("a path that does not fit the line was taken");
  }
  // The resumed search runs to its end or rejects the path; it never fails otherwise. (Long
  // right sides are not run: their searches take too long for a fuzzer.)
  if (run.rightTerms > 5) return 0;
  run.sieve = SetupSieve(run.power, run.leftTerms, run.sieveRightTerms);
  if (!run.powers.Allocate(uint64_t{4} * 41 * 4) ||
      !run.frames.Allocate(run.leftTerms, run.rightTerms, run.precisionWords)) {
    return 0;
  }
  control.requests.store(0);
  control.internalError.store(0);
  SelectKernel(ChooseFamily(run.sieve.count > 0, true), 0)(run);
  if (control.internalError.load() != 0 && run.resumeRejected == 0) {
    fuzz::Violated("a resumed search failed");
  }
  return 0;
}
