// The equal-sums checkpoint loader on any file, followed by the search it resumes: no crash,
// no read past the path arrays, and a file it takes is one the program could have written
// (a version 4 file with its checksum, or an older version) and that fits the line.
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
  // The line: k = 3, one left term, at most 4 right terms, value 40, mode Exact.
  Power = 3;
  LeftTerms = 1;
  RightTerms = 4;
  SearchLimit = 5;
  SearchMode = 2;
  CurrentValue = 40;
  PrecisionWords = 1;
  fuzz::WriteInput(CheckpointName(), data, size);
  LoadCheckpoint();
  if (Resumed == 0) return 0;

  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const uint32_t version = GetWord(bytes, 0);
  if (version == 0 || version > 4) fuzz::Violated("a file of an unknown version was taken");
  if (version == 4 && !CrcMatches(bytes)) fuzz::Violated("a file failing its checksum was taken");
  if (ResumeTerms[0] != 40 || RightTerms == 0 || RightTerms > kDepthCapacity ||
      PathTermCount >= RightTerms) {
    fuzz::Violated("a path that does not fit the line was taken");
  }
  // The resumed search runs to its end or rejects the path; it never fails otherwise. (Long
  // right sides are not run: their searches take too long for a fuzzer.)
  if (RightTerms > 5) return 0;
  WorkItem item;
  item.power = Power;
  item.leftTerms = LeftTerms;
  item.rightTerms = SieveRightTerms;
  SetupSieve(item);
  if (!AllocPowers(uint64_t{4} * 41 * 4) || !AllocPaths(LeftTerms, RightTerms)) return 0;
  RequestFlags.store(0);
  InternalError.store(0);
  SelectKernel(ChooseFamily(SieveCount > 0, true), 0)();
  if (InternalError.load() != 0 && ResumeRejected == 0) fuzz::Violated("a resumed search failed");
  FreePowers();
  FreePaths();
  return 0;
}
