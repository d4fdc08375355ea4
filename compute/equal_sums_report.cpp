#include "compute/equal_sums_report.h"

#include <cstdio>
#include <string>

#include "compute/run_state.h"
#include "core/checkpoint_file.h"
#include "core/output_log.h"
#include "core/results_file.h"
#include "core/settings.h"
#include "core/shared_words.h"

namespace aequa {
namespace {

// Version 4: version 3 with the n that the value's search started with (it fixes the sieve
// that reduced the saved terms) after the elapsed time, and a CRC-32 of the file at its end.
// Versions 1 to 3 are still read.
constexpr uint32_t kCheckpointVersion = 4;

// Appends terms[0..count-1] grouped into runs of equal adjacent values ("98*2"), each run
// preceded by `first` for the first run and `between` for the others.
void AppendRuns(std::string& line, const uint32_t* terms, uint32_t count, const char* first,
                const char* between) {
  char number[32];
  uint32_t i = 0;
  bool isFirst = true;
  while (i < count) {
    uint32_t j = i + 1;
    while (j < count && terms[j] == terms[i]) ++j;
    line += isFirst ? first : between;
    isFirst = false;
    std::snprintf(number, sizeof number, "%d", static_cast<int>(terms[i]));
    line += number;
    if (j - i > 1) {
      std::snprintf(number, sizeof number, "*%d", static_cast<int>(j - i));
      line += number;
    }
    i = j;
  }
}

}  // namespace

std::string CheckpointName(const EqualSumsRun& run) {
  char name[64];
  std::snprintf(name, sizeof name, "S%d-%d.%d", static_cast<int>(run.leftTerms),
                static_cast<int>(run.currentValue), static_cast<int>(run.power));
  return name;
}

std::string FinishedMarkName(const EqualSumsRun& run, uint32_t x) {
  char name[64];
  std::snprintf(name, sizeof name, "S%d-%d.%d.DONE", static_cast<int>(run.leftTerms),
                static_cast<int>(x), static_cast<int>(run.power));
  return name;
}

void MarkFinished(const EqualSumsRun& run, uint32_t x) {
  std::string bytes;
  for (uint32_t word : {uint32_t{1}, run.power, run.leftTerms, run.rightTerms, run.searchMode}) {
    PutWord(bytes, word);
  }
  AppendCrc(bytes);
  SaveWholeFile(FinishedMarkName(run, x), bytes);
}

bool MarkedFinished(const EqualSumsRun& run, uint32_t x) {
  std::string bytes;
  if (!ReadWholeFile(FinishedMarkName(run, x), bytes)) return false;
  return bytes.size() == 24 && CrcMatches(bytes) && GetWord(bytes, 0) == 1 &&
         GetWord(bytes, 4) == run.power && GetWord(bytes, 8) == run.leftTerms &&
         GetWord(bytes, 12) >= run.rightTerms && GetWord(bytes, 16) == run.searchMode;
}

std::string CheckpointBackupName(const EqualSumsRun& run) {
  char name[64];
  std::snprintf(name, sizeof name, "S%d-%d.BAK", static_cast<int>(run.power),
                static_cast<int>(run.leftTerms));
  return name;
}

void ReportNewResult(EqualSumsRun& run) {
  const uint32_t m = run.leftTerms;
  const uint32_t c = run.pathTermCount;
  char head[64];
  std::snprintf(head, sizeof head, "(%d,%d,%d) ", static_cast<int>(run.power), static_cast<int>(m),
                static_cast<int>(c));
  std::string line = head;
  AppendRuns(line, run.pathTerms, m, "", "+");
  line += "=";
  AppendRuns(line, run.pathTerms + m, c, "", "+");
  line += "\n";
  AppendResults(line.c_str());
  LogText(run.control, ("New result: " + line).c_str());
  AnnounceResult(line.c_str());

  switch (run.searchMode) {
    case 0:  // Best: from now on only results with fewer right terms
      if (c <= run.rightTerms) {
        run.searchLimit = c;
        run.rightTerms = c - 1;
      }
      break;
    case 1:  // Same: results with as many right terms or fewer
      if (c <= run.rightTerms) {
        run.rightTerms = c;
        run.searchLimit = c + 1;
      }
      break;
    default:  // Exact
      run.searchLimit = run.rightTerms + 1;
      break;
  }
}

void ReportProgress(EqualSumsRun& run) {
  const uint32_t flags = run.control.requests.load();
  if ((flags & (REQ_HALT | REQ_SLICE | REQ_SAVE)) != 0) SaveCheckpoint(run);

  const bool halt = (flags & REQ_HALT) != 0;
  char head[64];
  if (halt) {
    std::snprintf(head, sizeof head, "Break at %d,%d,%d: ", static_cast<int>(run.power),
                  static_cast<int>(run.leftTerms), static_cast<int>(run.rightTerms));
  } else {
    std::snprintf(head, sizeof head, "%d,%d,%d: ", static_cast<int>(run.power),
                  static_cast<int>(run.leftTerms), static_cast<int>(run.pathTermCount));
  }
  std::string line = head;
  AppendRuns(line, run.pathTerms, run.leftTerms, "", "+");
  AppendRuns(line, run.pathTerms + run.leftTerms, run.pathTermCount, "-", "-");
  line += "\n";

  if ((flags & REQ_SLICE) != 0) return;  // the driver logs the slice and clears the word
  if (!NoRedraw.load()) {
    LogText(run.control, line.c_str());
    if (!halt) ReplaceNextLine(run.control);
  }
  run.control.requests.fetch_and(REQ_HALT);
}

void SaveCheckpoint(EqualSumsRun& run) {
  const uint32_t m = run.leftTerms;
  if (Settings.NoSave.load() != 0 || m == 0) return;
  // With results still held in memory, the checkpoint stays before them: a resume then
  // finds them again rather than skip past results that never reached the disk.
  if (HeldResultCount() > 0) return;
  const uint32_t c = run.pathTermCount;
  if (static_cast<uint64_t>(m) + c > kPathCapacity) return;  // cannot describe this path

  std::string bytes;
  bytes.reserve(32 + 4 * (m + c));
  for (uint32_t word : {kCheckpointVersion, run.power, run.currentValue, m, run.rightTerms,
                        run.searchMode, run.control.elapsedSeconds.load(), run.sieveRightTerms, c}) {
    PutWord(bytes, word);
  }
  for (uint32_t i = 0; i < m + c; ++i) PutWord(bytes, run.resumeTerms[i]);
  AppendCrc(bytes);

  SaveCheckpointFile(CheckpointName(run), CheckpointBackupName(run), bytes);
  run.control.saves.fetch_add(1);
}

void LoadCheckpoint(EqualSumsRun& run) {
  run.control.elapsedSeconds.store(0);
  run.resumed = 0;
  run.sieveRightTerms = run.rightTerms;
  run.resumeRejected = 0;
  std::string bytes;
  const std::string name = CheckpointName(run);
  if (!ReadWholeFile(name, bytes)) return;

  for (uint32_t& term : run.resumeTerms) term = 0xFFFFFFFFu;
  auto reject = [&name](const char* why) { SetCheckpointAside(name, why); };
  if (bytes.size() < 4) return reject("is too short to be read");
  const uint32_t version = GetWord(bytes, 0);
  if (version > kCheckpointVersion) {
    LogMessage(run.control, "Bad file version\n");
    return;
  }
  const bool hasElapsed = version >= 2;
  const size_t header = version >= 4 ? 36 : hasElapsed ? 32 : 28;
  if (bytes.size() < header) return reject("is too short to be read");
  const uint32_t power = GetWord(bytes, 4);
  const uint32_t value = GetWord(bytes, 8);
  const uint32_t left = GetWord(bytes, 12);
  const uint32_t right = GetWord(bytes, 16);
  const uint32_t mode = GetWord(bytes, 20);
  const uint32_t elapsed = hasElapsed ? GetWord(bytes, 24) : 0;
  const uint32_t count = GetWord(bytes, header - 4);
  const uint32_t sieveRight = version >= 4 ? GetWord(bytes, 28) : right;
  const uint64_t terms = static_cast<uint64_t>(left) + count;
  const size_t crcBytes = version >= 4 ? 4 : 0;
  if (terms > kPathCapacity || bytes.size() < header + 4 * terms + crcBytes) {
    return reject("is cut short or describes a path longer than a search holds");
  }
  if (version >= 4 &&
      (bytes.size() != header + 4 * terms + crcBytes || !CrcMatches(bytes))) {
    return reject("fails its checksum");
  }
  // Another line of the same power and left terms with another mode uses the same name: its
  // file is not this search's, and is left alone.
  if (mode != run.searchMode) return;
  if (power != run.power || value != run.currentValue || left != run.leftTerms) {
    return reject("belongs to another search than its name says");
  }
  if (right == 0 || right > kDepthCapacity || static_cast<uint64_t>(left) + right > kPathCapacity ||
      count >= right || sieveRight < right || sieveRight > kDepthCapacity ||
      GetWord(bytes, header) != value) {
    return reject("does not fit its line");
  }
  for (uint32_t i = 0; i < terms; ++i) run.resumeTerms[i] = GetWord(bytes, header + 4 * i);
  run.pathTermCount = count;

  if (right < run.rightTerms) {
    LogText(run.control, "Adjusting number of right terms\n");
  } else if (right > run.rightTerms) {
    // Saved before a result lowered n: the saved path is resumed with the n it was saved
    // with, so every solution with at most the lower n is still found in what is left.
    char text[96];
    std::snprintf(text, sizeof text, "Resuming with n=%d, as the value was saved\n",
                  static_cast<int>(right));
    LogText(run.control, text);
  }
  run.rightTerms = right;
  run.searchLimit = right + 1;
  run.sieveRightTerms = sieveRight;
  run.resumed = 1;
  run.control.elapsedSeconds.store(elapsed);
}

}  // namespace aequa
